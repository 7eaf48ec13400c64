#include <gtest/gtest.h>

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/raster/raster_canvas.h"
#include "tests/drawing/raster_fixture.h"

namespace {

TEST(RasterCanvasCreate, DerivesLayoutFromThePixelFormat) {
    struct Case {
        int format, bytesPerPixel;
        bool bottomUp;
    } cases[] = {
        {0x8010, 3, true}, {0x8040, 4, true}, {0x10, 3, false}, {0x40, 4, false}, {0x20, 4, false}, {0x02, 3, false},
    };
    for (const Case& c : cases) {
        Canvas* canvas = RasterCanvasCreate(c.format);
        ASSERT_NE(canvas, nullptr);
        EXPECT_EQ(CurrentCanvas, canvas);
        EXPECT_EQ(canvas->raster.pixelFormat, c.format);
        EXPECT_EQ(canvas->raster.bytesPerPixel, c.bytesPerPixel) << c.format;
        EXPECT_EQ(canvas->raster.bottomUp != 0, c.bottomUp) << c.format;
        EXPECT_EQ(canvas->gradientColor1, 0xFFFFFFFFu);
        EXPECT_EQ(canvas->gradientColor2, 0xFF000000u);
        EXPECT_EQ(canvas->frontColor, 0u);
        EXPECT_EQ(canvas->raster.frontInverse, 255);
        EXPECT_EQ(canvas->raster.backInverse, 255);
        EXPECT_EQ(canvas->raster.modeFlags, 0);
        EXPECT_EQ(canvas->circle, nullptr);
        for (auto slot : {reinterpret_cast<void*>(canvas->setBackColor), reinterpret_cast<void*>(canvas->box),
                          reinterpret_cast<void*>(canvas->roundBox), reinterpret_cast<void*>(canvas->ellipse),
                          reinterpret_cast<void*>(canvas->fillArea), reinterpret_cast<void*>(canvas->line),
                          reinterpret_cast<void*>(canvas->plot), reinterpret_cast<void*>(canvas->plotColor),
                          reinterpret_cast<void*>(canvas->point), reinterpret_cast<void*>(canvas->begin),
                          reinterpret_cast<void*>(canvas->end), reinterpret_cast<void*>(canvas->clip),
                          reinterpret_cast<void*>(canvas->unclip)})
            EXPECT_NE(slot, nullptr);
        EXPECT_EQ(canvas->raster.gradientCallback(canvas, 3, 4), 1.0);
        EXPECT_EQ(canvas->raster.filterCallback(0, 0, 1, 2), 2u);
        // Never begun: the caller frees it.
        CanvasEnd();
    }
}

TEST(RasterCanvas, BufferQueriesReportTheWholeOutput) {
    MemoryCanvas m(10, 5, PixelFormatBGR24 | PixelFormatBottomUp);
    Canvas* c = m.canvas;
    EXPECT_EQ(c->bufferAddress(c), m.memory.data());
    EXPECT_EQ(c->bufferPitch(c), 32);
    EXPECT_EQ(c->bufferPixelFormat(c), 0x8010);
    c->clip(c, 2, 1, 3, 3);
    EXPECT_EQ(c->bufferAddress(c), m.memory.data());
}

TEST(RasterCanvas, ClipNarrowsTheAreaAndMovesTheOrigin) {
    struct Case {
        int x, y, w, h;
        int width, height, originX, originY;
    } cases[] = {
        {-10, 0, 50, 50, 40, 50, 0, 0},   {60, 0, 50, 50, 40, 50, -60, 0},  {10, 20, 30, 40, 30, 40, -10, -20},
        {0, -30, 100, 80, 100, 50, 0, 0}, {90, 90, 5, 5, 5, 5, -90, -90},   {-200, 0, 50, 50, 0, 50, 0, 0},
        {150, 150, 10, 10, 0, 0, -100, -100}, {10, 10, -5, -5, 0, 0, -10, -10},
        {-5, -5, 2147483647, 2147483647, 100, 100, 0, 0},
    };
    for (const Case& k : cases) {
        for (int format : {0x8010, 0x40}) {
            MemoryCanvas m(100, 100, format);
            Canvas* c = m.canvas;
            c->clip(c, k.x, k.y, k.w, k.h);
            EXPECT_EQ(c->width, k.width) << k.x << "," << k.y;
            EXPECT_EQ(c->height, k.height) << k.x << "," << k.y;
            EXPECT_EQ(c->originX, k.originX) << k.x << "," << k.y;
            EXPECT_EQ(c->originY, k.originY) << k.x << "," << k.y;
            // Front-function coordinates stay those of the whole output: the
            // area's own (0, 0) is pixel (-originX, -originY) of the output.
            m.SetFront(0x00C0B0A0);
            CanvasLine(-1000, -1000 + 0, 1000, -1000, 0x00C0B0A0);  // off the output: nothing
            c->plot(c, 0, 0);
            if (k.width > 0 && k.height > 0) {
                EXPECT_EQ(m.Get(-k.originX, -k.originY) & 0xFFFFFF, 0x00C0B0A0u);
            }
            // Drawing everywhere in the area stays inside it.
            c->box(c, -5, -5, 1000, 1000);
            c->unclip(c);
            EXPECT_EQ(c->width, 100);
            EXPECT_EQ(c->height, 100);
            EXPECT_EQ(c->originX, 0);
            EXPECT_EQ(c->originY, 0);
            EXPECT_EQ(c->raster.pixels, m.memory.data());
        }
    }
}

TEST(RasterCanvas, ClippedAreaCoversExactlyTheRectangle) {
    for (int format : {0x8010, 0x10, 0x8040}) {
        MemoryCanvas m(20, 12, format);
        Canvas* c = m.canvas;
        c->clip(c, 3, 2, 5, 4);
        m.SetFront(0x00FFFFFF);
        c->box(c, -100, -100, 1000, 1000);
        int written = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 20; ++x) {
                bool inside = x >= 3 && x < 8 && y >= 2 && y < 6;
                EXPECT_EQ((m.Get(x, y) & 0xFFFFFF) == 0xFFFFFF, inside) << format << " " << x << "," << y;
                written += inside;
            }
        EXPECT_EQ(written, 20);
    }
}

TEST(RasterCanvas, EndFreesFillAndGradientState) {
    MemoryCanvas m(8, 8, PixelFormatBGR24);
    Canvas* c = m.canvas;
    ASSERT_TRUE(RasterAddGradientStop(c, 0.5f, 0xFF0000FF));
    c->fillArea(c, 1, 1, 0xFFFFFFFFu);
    EXPECT_NE(c->raster.fillPool, nullptr);
    EXPECT_NE(c->raster.fillSpans, nullptr);
    c->end(c);
    EXPECT_EQ(c->raster.fillPool, nullptr);
    EXPECT_EQ(c->raster.fillSpans, nullptr);
    EXPECT_EQ(c->raster.gradientStops, nullptr);
}

}  // namespace
