// Looking into DIB sections from the Windows-side tests.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "runtime/drawing/image.h"

inline HBITMAP Bmp(NativeHandle h) { return reinterpret_cast<HBITMAP>(h); }

// The section's description (a failed query fails the test).
inline DIBSECTION Section(NativeHandle h) {
    DIBSECTION dib;
    std::memset(&dib, 0, sizeof(dib));
    EXPECT_EQ(GetObjectW(Bmp(h), sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    return dib;
}

// Pixel (x, y) of a bottom-up DIB section, y counted from the top.
inline uint8_t* PixelOf(NativeHandle h, int x, int y) {
    DIBSECTION dib = Section(h);
    const int bytes = dib.dsBm.bmBitsPixel / 8;
    const int pitch = DibRowPitch(dib.dsBm.bmWidth, dib.dsBm.bmBitsPixel);
    const int row = dib.dsBm.bmHeight - 1 - y;
    return static_cast<uint8_t*>(dib.dsBm.bmBits) + static_cast<size_t>(row) * pitch + static_cast<size_t>(x) * bytes;
}
