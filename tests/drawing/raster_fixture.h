// A raster Canvas over pixel memory that the test owns, sized exactly so that
// AddressSanitizer reports any write outside it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/raster/raster_pixel.h"

struct MemoryCanvas {
    std::vector<uint8_t> memory;
    Canvas* canvas = nullptr;
    int width = 0, height = 0, pitch = 0, bytesPerPixel = 0;
    bool bottomUp = false;

    MemoryCanvas(int w, int h, int pixelFormat, uint8_t fill = 0) {
        width = w;
        height = h;
        bytesPerPixel = (pixelFormat & 0x60) ? 4 : 3;
        bottomUp = (pixelFormat & PixelFormatBottomUp) != 0;
        pitch = (w * bytesPerPixel + 3) & ~3;
        memory.assign(static_cast<size_t>(pitch) * h, fill);
        canvas = RasterCanvasCreate(pixelFormat);
        canvas->width = w;
        canvas->height = h;
        canvas->depth = bytesPerPixel * 8;
        canvas->raster.pixels = memory.data();
        canvas->raster.pitch = pitch;
        EXPECT_NE(CanvasBegin(canvas), 0);
    }
    ~MemoryCanvas() {
        if (CurrentCanvas == canvas) CanvasEnd();
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    // Pixel (x, y) of the whole output, independent of the Canvas's own
    // addressing: row 0 is the last stored row on a bottom-up output.
    uint8_t* At(int x, int y) {
        int row = bottomUp ? height - 1 - y : y;
        return memory.data() + static_cast<size_t>(row) * pitch + static_cast<size_t>(x) * bytesPerPixel;
    }
    // Blue, green, red as 0xRRGGBB-free colour value 0x00BBGGRR (alpha added on 32-bit).
    Color Get(int x, int y) {
        const uint8_t* p = At(x, y);
        Color c = p[2] | p[1] << 8 | p[0] << 16;
        if (bytesPerPixel == 4) c |= static_cast<Color>(p[3]) << 24;
        return c;
    }
    void Set(int x, int y, Color c) {
        uint8_t* p = At(x, y);
        p[0] = static_cast<uint8_t>(c >> 16);
        p[1] = static_cast<uint8_t>(c >> 8);
        p[2] = static_cast<uint8_t>(c);
        if (bytesPerPixel == 4) p[3] = static_cast<uint8_t>(c >> 24);
    }
    void SetFront(Color c) {
        canvas->frontColor = c;
        canvas->setFrontColor(canvas, c);
    }
};

// Counts the writes of every pixel: in ModeFilter each written pixel calls the
// filter once with its drawing-area coordinates.
struct WriteCounter {
    static std::map<std::pair<int, int>, int>& Counts() {
        static std::map<std::pair<int, int>, int> counts;
        return counts;
    }
    static Color Filter(int x, int y, Color, Color target) {
        ++Counts()[{x, y}];
        return target;
    }
    explicit WriteCounter(Canvas* canvas, int extraMode = 0) {
        Counts().clear();
        RasterSetFilterCallback(canvas, Filter);
        canvas->setMode(canvas, ModeFilter | extraMode);
    }
    std::map<std::pair<int, int>, int> Take() {
        auto result = Counts();
        Counts().clear();
        return result;
    }
};
