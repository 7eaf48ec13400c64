// Test helpers: exact-size pixel blocks (so the address sanitizer sees any
// byte read or written past them) and a raster Canvas over one.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

#include "runtime/drawing/canvas.h"

struct PixelBlock {
    int width = 0, height = 0, bytesPerPixel = 3, pitch = 0;
    bool bottomUp = true;
    std::unique_ptr<uint8_t[]> bytes;

    PixelBlock(int w, int h, int bpp, bool bottomUpRows = true)
        : width(w), height(h), bytesPerPixel(bpp), pitch((w * bpp + 3) / 4 * 4), bottomUp(bottomUpRows),
          bytes(new uint8_t[static_cast<size_t>(pitch) * h]()) {}

    size_t Size() const { return static_cast<size_t>(pitch) * height; }
    // Pixel (x, y), y counted from the top of the image.
    uint8_t* At(int x, int y) {
        const int row = bottomUp ? height - 1 - y : y;
        return bytes.get() + static_cast<size_t>(row) * pitch + static_cast<size_t>(x) * bytesPerPixel;
    }
    // Fills every pixel with bytes derived from its position (and seed), alpha included.
    void Pattern(int seed) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t* p = At(x, y);
                p[0] = static_cast<uint8_t>(x * 7 + seed);
                p[1] = static_cast<uint8_t>(y * 13 + seed * 3);
                p[2] = static_cast<uint8_t>(x * y + seed * 5);
                if (bytesPerPixel == 4) p[3] = static_cast<uint8_t>(x + y * 3 + seed);
            }
    }
    void Fill(uint8_t b, uint8_t g, uint8_t r, uint8_t a = 0) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t* p = At(x, y);
                p[0] = b;
                p[1] = g;
                p[2] = r;
                if (bytesPerPixel == 4) p[3] = a;
            }
    }
};

// A raster Canvas drawing into block (not current, not begun); mode flags as given.
struct BlockCanvas {
    Canvas canvas;
    explicit BlockCanvas(PixelBlock& block, int mode = 0) {
        std::memset(&canvas, 0, sizeof(canvas));
        canvas.width = canvas.fullWidth = block.width;
        canvas.height = canvas.fullHeight = block.height;
        canvas.depth = block.bytesPerPixel * 8;
        RasterTail& r = canvas.raster;
        r.pixels = r.fullPixels = block.bytes.get();
        r.pitch = block.pitch;
        r.bytesPerPixel = block.bytesPerPixel;
        r.bottomUp = block.bottomUp ? PixelFormatBottomUp : 0;
        r.pixelFormat = (block.bytesPerPixel == 4 ? PixelFormatBGRA32 : PixelFormatBGR24) | r.bottomUp;
        r.modeFlags = mode;
    }
    Canvas* operator->() { return &canvas; }
    Canvas* get() { return &canvas; }
};
