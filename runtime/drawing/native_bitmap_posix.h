// The native build's bitmaps: plain bottom-up pixel memory laid out exactly as
// a DIB section (3 or 4 bytes per pixel, blue first, rows padded to 4 bytes,
// first stored row = bottom row). An image handle is the address of one.
#pragma once

#include <cstdint>

#include "runtime/drawing/canvas.h"

struct NativeBitmap {
    int width;
    int height;
    int bitCount;  // 24 or 32
    int pitch;     // bytes per stored row
    uint8_t* bits;
};

// A zero-filled bitmap (bitCount below 24 makes 24 bits), or 0, also when its
// pixels would take more than 2^31 - 1 bytes (DibSizeFits).
NativeBitmap* NativeBitmapCreate(int width, int height, int bitCount);
void NativeBitmapDestroy(NativeBitmap* bitmap);
// The bitmap behind a handle, or 0 for 0.
inline NativeBitmap* NativeBitmapOf(NativeHandle handle) { return reinterpret_cast<NativeBitmap*>(handle); }
