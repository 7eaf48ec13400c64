// The back buffer of the screens that draw in memory (the native and the web
// build): 32-bit top-down pixel memory (blue, green, red, alpha) that a raster
// Canvas draws on, so drawing an image onto the screen is the raster blit.
#pragma once

#include <cstdint>

#include "runtime/drawing/canvas.h"

struct BackBuffer {
    uint8_t* pixels;  // 0 while there is none
    int width, height, pitch;
};

// Black (zero-filled) width by height pixels; false when memory runs out.
bool BackBufferCreate(BackBuffer* buffer, int width, int height);
// Frees the pixels and empties the record.
void BackBufferFree(BackBuffer* buffer);
// A raster Canvas on the pixels, already current, or 0 (no pixels, or no
// memory for the Canvas); surface is what the Canvas keeps as its output.
Canvas* BackBufferCanvas(const BackBuffer& buffer, NativeHandle surface);
