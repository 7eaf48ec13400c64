// A raster drawing area over memory the test owns, with guard bytes before and
// after it, and a hand-built Canvas describing it: any write outside the area
// shows up in GuardsIntact (and under AddressSanitizer past the guards).
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "runtime/drawing/canvas.h"

struct GuardedTarget {
    static constexpr int kGuard = 256;
    static constexpr uint8_t kGuardByte = 0xA5;
    int width, height, bpp, pitch;
    std::vector<uint8_t> memory;
    Canvas canvas{};

    GuardedTarget(int w, int h, int bytesPerPixel, bool bottomUp, uint8_t fill = 0)
        : width(w), height(h), bpp(bytesPerPixel), pitch((w * bytesPerPixel + 3) & ~3),
          memory(static_cast<size_t>(pitch) * h + 2 * kGuard, kGuardByte) {
        // The area is what lies between the two guards, whatever the sizes.
        std::fill(memory.begin() + kGuard, memory.end() - kGuard, fill);
        canvas.width = canvas.fullWidth = w;
        canvas.height = canvas.fullHeight = h;
        canvas.depth = bytesPerPixel * 8;
        RasterTail& r = canvas.raster;
        r.pixels = r.fullPixels = memory.data() + kGuard;
        r.pitch = pitch;
        r.bytesPerPixel = bytesPerPixel;
        r.pixelFormat = (bytesPerPixel == 4 ? PixelFormatBGRA32 : PixelFormatBGR24) | (bottomUp ? PixelFormatBottomUp : 0);
        r.bottomUp = bottomUp ? 1 : 0;
        r.backInverse = r.frontInverse = 255;
    }

    void SetMode(int flags) {
        canvas.raster.modeFlags = flags;
        canvas.raster.gradientOn = flags & ModeGradientFill;
        canvas.raster.filterOn = flags & ModeFilter;
    }
    // Address of pixel (x, y) of the whole area, y counted from the top.
    uint8_t* At(int x, int y) {
        const int row = canvas.raster.bottomUp ? height - y - 1 : y;
        return memory.data() + kGuard + row * pitch + x * bpp;
    }
    void Fill(uint8_t b, uint8_t g, uint8_t r, uint8_t a = 0) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t* p = At(x, y);
                p[0] = b, p[1] = g, p[2] = r;
                if (bpp == 4) p[3] = a;
            }
    }
    bool GuardsIntact() const {
        for (int i = 0; i < kGuard; ++i)
            if (memory[i] != kGuardByte || memory[memory.size() - 1 - i] != kGuardByte) return false;
        return true;
    }
};
