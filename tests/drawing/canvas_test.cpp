#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "runtime/drawing/canvas.h"
#include "tests/drawing/raster_fixture.h"

namespace {

TEST(ColorRGB, PacksComponentsWithoutClampingOrMasking) {
    struct Case {
        int32_t r, g, b;
        Color expected;
    } cases[] = {
        {255, 0, 0, 0x000000FFu}, {0, 0, 255, 0x00FF0000u}, {256, 0, 0, 0x00000100u},
        {0, 255, 0, 0x0000FF00u}, {1, 2, 3, 0x00030201u},   {0, 0, 256, 0x01000000u},
        {-1, 0, 0, 0xFFFFFFFFu},  {0, 256, 0, 0x00010000u},
    };
    for (const Case& c : cases) EXPECT_EQ(ColorRGB(c.r, c.g, c.b), c.expected) << c.r << "," << c.g << "," << c.b;
}

int releaseCalls[2];
void CountRelease(Canvas*, int ended) { ++releaseCalls[ended ? 1 : 0]; }

TEST(CanvasLifecycle, EndTwiceDoesNothingTheSecondTime) {
    releaseCalls[0] = releaseCalls[1] = 0;
    std::vector<uint8_t> memory(4 * 4 * 4);
    Canvas* canvas = RasterCanvasCreate(PixelFormatBGRA32);
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(CurrentCanvas, canvas);
    canvas->width = canvas->height = 4;
    canvas->raster.pixels = memory.data();
    canvas->raster.pitch = 16;
    canvas->release = CountRelease;
    EXPECT_NE(CanvasBegin(canvas), 0);
    EXPECT_EQ(CurrentCanvas, canvas);
    CanvasEnd();
    EXPECT_EQ(CurrentCanvas, nullptr);
    EXPECT_EQ(releaseCalls[1], 1);
    CanvasEnd();
    EXPECT_EQ(releaseCalls[1], 1);
    EXPECT_EQ(releaseCalls[0], 0);
}

TEST(CanvasLifecycle, FailedBeginReleasesAndFreesTheCanvas) {
    releaseCalls[0] = releaseCalls[1] = 0;
    Canvas* canvas = RasterCanvasCreate(PixelFormatBGR24 | PixelFormatBottomUp);
    ASSERT_NE(canvas, nullptr);
    canvas->width = canvas->height = 4;
    canvas->release = CountRelease;  // no pixels: the raster begin fails
    ASSERT_TRUE(RasterAddGradientStop(canvas, 0.5f, 0));  // dropped with the record
    EXPECT_EQ(CanvasBegin(canvas), 0);
    EXPECT_EQ(CurrentCanvas, nullptr);
    EXPECT_EQ(releaseCalls[0], 1);
    EXPECT_EQ(CanvasBegin(nullptr), 0);
    CanvasEnd();  // nothing current: nothing happens
    EXPECT_EQ(releaseCalls[1], 0);
}

TEST(CanvasLifecycle, BeginCopiesTheCurrentSizeEveryTime) {
    MemoryCanvas m(8, 6, PixelFormatBGR24);
    EXPECT_EQ(m.canvas->fullWidth, 8);
    EXPECT_EQ(m.canvas->fullHeight, 6);
    m.canvas->width = 5;
    m.canvas->height = 3;
    EXPECT_NE(CanvasBegin(m.canvas), 0);
    EXPECT_EQ(m.canvas->fullWidth, 5);
    EXPECT_EQ(m.canvas->fullHeight, 3);
}

int frontColorCalls;
Color lastFrontColor;
void CountFrontColor(Canvas* canvas, Color colour) {
    ++frontColorCalls;
    lastFrontColor = colour;
    RasterSetFrontColor(canvas, colour);
}

TEST(CanvasLine, SetsTheColourOnlyWhenItChangesAndAddsTheOrigin) {
    MemoryCanvas m(16, 16, PixelFormatBGR24);
    m.canvas->setFrontColor = CountFrontColor;
    frontColorCalls = 0;
    // A new raster Canvas draws in colour 0 without being told.
    std::fill(m.memory.begin(), m.memory.end(), 0x55);
    CanvasLine(0, 0, 3, 0, 0);
    EXPECT_EQ(frontColorCalls, 0);
    EXPECT_EQ(m.Get(3, 0), 0u);
    CanvasLine(0, 1, 3, 1, 0x123456);
    CanvasLine(0, 2, 3, 2, 0x123456);
    EXPECT_EQ(frontColorCalls, 1);
    EXPECT_EQ(lastFrontColor, 0x123456u);
    EXPECT_EQ(m.canvas->frontColor, 0x123456u);
    m.canvas->originX = 5;
    m.canvas->originY = 7;
    CanvasLine(0, 0, 0, 0, 0xABCDEF);
    EXPECT_EQ(frontColorCalls, 2);
    EXPECT_EQ(m.Get(5, 7), 0xABCDEFu);
}

// A line from far outside int's range once the origin is added: the part
// inside the drawing area is drawn as if the arithmetic were exact.
TEST(CanvasLine, EndPointsBeyondIntAfterTheOriginAreClipped) {
    MemoryCanvas m(10, 4, PixelFormatBGR24);
    m.canvas->clip(m.canvas, 5, 0, 5, 4);  // origin -5
    CanvasLine(INT_MIN, 0, 9, 0, 0xFFFFFF);
    CanvasLine(INT_MAX, 1, INT_MIN, 1, 0xFFFFFF);
    m.canvas->unclip(m.canvas);
    m.canvas->originX = 1;
    m.canvas->originY = -3;
    CanvasLine(2, INT_MIN, 2, 5, 0xFFFFFF);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(m.Get(x, y), (y < 2 && x >= 5) || (x == 3 && y < 3) ? 0xFFFFFFu : 0u) << x << "," << y;
}

int drawnX, drawnY;
NativeHandle drawnImage;
void RecordDrawImage(Canvas*, NativeHandle image, int x, int y) {
    drawnImage = image;
    drawnX = x;
    drawnY = y;
}

TEST(CanvasDrawImage, AddsTheOriginAndIgnoresMissingSlotOrCanvas) {
    MemoryCanvas m(4, 4, PixelFormatBGR24);
    m.canvas->drawImage = RecordDrawImage;
    m.canvas->originX = -3;
    m.canvas->originY = 2;
    CanvasDrawImage(42, 10, 20);
    EXPECT_EQ(drawnImage, 42);
    EXPECT_EQ(drawnX, 7);
    EXPECT_EQ(drawnY, 22);
    // Past int's range with the origin added the image is off every area.
    CanvasDrawImage(45, INT_MIN, 0);
    EXPECT_EQ(drawnImage, 42);
    CanvasDrawImage(46, INT_MIN + 3, INT_MAX - 2);
    EXPECT_EQ(drawnX, INT_MIN);
    EXPECT_EQ(drawnY, INT_MAX);
    m.canvas->drawImage = nullptr;
    CanvasDrawImage(43, 0, 0);
    EXPECT_EQ(drawnImage, 46);
    CanvasEnd();
    CanvasDrawImage(44, 0, 0);  // no Canvas: nothing happens
    CanvasLine(0, 0, 1, 1, 5);
    EXPECT_EQ(drawnImage, 46);
}

// The shape front functions: each puts its point at the origin's offset,
// makes its colour the front colour, and draws nothing where the origin takes
// the point beyond int's range.
int shapeCalls;
void RecordPoint(int x, int y) {
    drawnX = x;
    drawnY = y;
    ++shapeCalls;
}

TEST(CanvasShapes, AddTheOriginSetTheColourAndSkipPointsBeyondInt) {
    MemoryCanvas m(4, 4, PixelFormatBGR24);
    Canvas* c = m.canvas;
    c->box = [](Canvas*, int x, int y, int, int) { RecordPoint(x, y); };
    c->roundBox = [](Canvas*, int x, int y, int, int, int, int) { RecordPoint(x, y); };
    c->ellipse = [](Canvas*, int x, int y, int, int) { RecordPoint(x, y); };
    c->fillArea = [](Canvas*, int x, int y, Color) { RecordPoint(x, y); };
    c->drawImageSized = [](Canvas*, NativeHandle, int x, int y, int, int) { RecordPoint(x, y); };
    void (*const shapes[])(int, Color) = {
        [](int x, Color k) { CanvasBox(x, 2, 3, 3, k); },       [](int x, Color k) { CanvasRoundBox(x, 2, 3, 3, 1, 1, k); },
        [](int x, Color k) { CanvasEllipse(x, 2, 3, 3, k); },   [](int x, Color k) { CanvasFillArea(x, 2, 0, k); },
        [](int x, Color) { CanvasDrawImageSized(1, x, 2, 3, 3); },
    };
    for (auto shape : shapes) {
        shapeCalls = 0;
        c->originX = 5;
        c->originY = -7;
        c->frontColor = 0;
        shape(1, 0x123456);
        EXPECT_EQ(shapeCalls, 1);
        EXPECT_EQ(drawnX, 6);
        EXPECT_EQ(drawnY, -5);
        EXPECT_TRUE(c->frontColor == 0x123456u || shape == shapes[4]);
        c->originX = INT_MAX;
        shape(1, 0x123456);
        EXPECT_EQ(shapeCalls, 1);
    }
}

}  // namespace
