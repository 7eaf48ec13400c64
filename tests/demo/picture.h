// Reading and writing the pixels of an image through a raster Canvas on it,
// the same way in the Windows and the native build.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"
#include "runtime/drawing/raster/raster_pixel.h"

// An image's pixels as 0xRRGGBB values, row 0 at the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;

    explicit Picture(ObjectNumber image) {
        Canvas* canvas = ImageCanvas(image);
        if (!CanvasBegin(canvas)) return;
        width = canvas->width;
        height = canvas->height;
        pixels.resize(size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = RasterPixelAddress(canvas, x, y);
                pixels[size_t(y) * width + x] = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            }
        CanvasEnd();
    }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
    bool operator==(const Picture& o) const { return width == o.width && height == o.height && pixels == o.pixels; }
};

// Sets pixels of an image to 0xRRGGBB values: fill(x, y) gives each pixel's
// value, or -1 to leave it.
template <typename Fill>
void Paint(ObjectNumber image, Fill fill) {
    Canvas* canvas = ImageCanvas(image);
    if (!CanvasBegin(canvas)) return;
    for (int y = 0; y < canvas->height; ++y)
        for (int x = 0; x < canvas->width; ++x) {
            const int64_t v = fill(x, y);
            if (v < 0) continue;
            uint8_t* p = RasterPixelAddress(canvas, x, y);
            p[0] = uint8_t(v);
            p[1] = uint8_t(v >> 8);
            p[2] = uint8_t(v >> 16);
        }
    CanvasEnd();
}
