// Image objects through the runtime's own operations only, so the same cases
// run against the Windows build's DIB sections and the native build's bitmaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"

namespace {

// An image's pixel memory, found through an image Canvas.
struct ImagePixels {
    uint8_t* base = nullptr;
    int pitch = 0, width = 0, height = 0, bytesPerPixel = 0, format = 0;
    // Pixel (x, y), y counted from the top of the image (rows are stored bottom-up).
    uint8_t* At(int x, int y) const {
        return base + static_cast<size_t>(height - 1 - y) * pitch + static_cast<size_t>(x) * bytesPerPixel;
    }
};

ImagePixels Open(ObjectNumber number) {
    ImagePixels p;
    Canvas* canvas = ImageCanvas(number);
    EXPECT_NE(canvas, nullptr);
    if (!canvas) return p;
    p.base = canvas->raster.pixels;
    p.pitch = canvas->raster.pitch;
    p.width = canvas->width;
    p.height = canvas->height;
    p.bytesPerPixel = canvas->raster.bytesPerPixel;
    p.format = canvas->raster.pixelFormat;
    CanvasEnd();
    return p;
}

void Paint(ObjectNumber number, int seed) {
    ImagePixels p = Open(number);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            uint8_t* px = p.At(x, y);
            px[0] = static_cast<uint8_t>(x * 3 + seed);
            px[1] = static_cast<uint8_t>(y * 7 + seed);
            px[2] = static_cast<uint8_t>(x + y + 1);
            if (p.bytesPerPixel == 4) px[3] = static_cast<uint8_t>(255 - x);
        }
}

void Fill(ObjectNumber number, const uint8_t* bytes) {
    ImagePixels p = Open(number);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) std::memcpy(p.At(x, y), bytes, static_cast<size_t>(p.bytesPerPixel));
}

class ImageObjects : public ::testing::Test {
protected:
    void SetUp() override {
        CanvasLibInit();
        ImagesInit();
    }
    void TearDown() override {
        CanvasEnd();
        ImageFree(-1);
    }
};

TEST_F(ImageObjects, CreateGivesBlackBottomUpImagesOfTheRightFormat) {
    const intptr_t handle = ImageCreate(2, 800, 600);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(ImageHandle(2), handle);
    ImagePixels p = Open(2);
    EXPECT_EQ(p.width, 800);
    EXPECT_EQ(p.height, 600);
    EXPECT_EQ(p.bytesPerPixel, 3);
    EXPECT_EQ(p.pitch, 2400);
    EXPECT_EQ(p.format, 0x8010);
    size_t nonZero = 0;
    for (size_t i = 0; i < 2400u * 600u; ++i) nonZero += p.base[i] != 0;
    EXPECT_EQ(nonZero, 0u);

    ASSERT_NE(ImageCreate(3, 801, 2, 32), 0);
    p = Open(3);
    EXPECT_EQ(p.format, 0x8040);
    EXPECT_EQ(p.pitch, 3204);
    ASSERT_NE(ImageCreate(3, 801, 2, 24), 0);
    EXPECT_EQ(Open(3).pitch, 2404);
}

TEST_F(ImageObjects, FillsByDepthAndColour) {
    struct Case {
        int depth;
        Color colour;
        int bytesPerPixel;
        uint8_t bytes[4];
    };
    const Case cases[] = {
        {32, 0, 4, {0, 0, 0, 0xFF}},          {32, 0xFFFFFFFFu, 4, {0, 0, 0, 0}},
        {32, 0x000000FFu, 4, {0, 0, 0xFF, 0xFF}}, {24, 0x00336699u, 3, {0x33, 0x66, 0x99}},
        {16, 0x0000FF00u, 3, {0, 0xFF, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "depth " << c.depth << " colour " << std::hex << c.colour);
        ASSERT_NE(ImageCreate(5, 3, 3, c.depth, c.colour), 0);
        ImagePixels p = Open(5);
        ASSERT_EQ(p.bytesPerPixel, c.bytesPerPixel);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(std::memcmp(p.At(x, y), c.bytes, static_cast<size_t>(c.bytesPerPixel)), 0) << x << "," << y;
    }
}

TEST_F(ImageObjects, FailedCreateEmptiesTheNumber) {
    const int sizes[][2] = {{0, 5}, {5, 0}, {-1, 5}, {32768, 1}};
    for (auto& s : sizes) {
        ASSERT_NE(ImageCreate(4, 2, 2), 0);
        EXPECT_EQ(ImageCreate(4, s[0], s[1]), 0);
        EXPECT_EQ(ImageHandle(4), 0);
        EXPECT_EQ(ImageCanvas(4), nullptr);
        EXPECT_EQ(ImageCreate(AnyNumber, s[0], s[1]), 0);
    }
}

TEST_F(ImageObjects, GrabReachingBelowTheSourceGivesABlackLastRow) {
    ASSERT_NE(ImageCreate(2, 20, 10), 0);
    Paint(2, 1);
    const intptr_t grabbed = ImageGrab(2, 4, 2, 1, 10, 10);
    ASSERT_NE(grabbed, 0);
    EXPECT_EQ(ImageHandle(4), grabbed);
    ImagePixels source = Open(2), p = Open(4);
    ASSERT_EQ(p.width, 10);
    ASSERT_EQ(p.height, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            if (y == 9) {
                EXPECT_EQ(p.At(x, y)[0] | p.At(x, y)[1] | p.At(x, y)[2], 0) << x;
            } else {
                EXPECT_EQ(std::memcmp(p.At(x, y), source.At(x + 2, y + 1), 3), 0) << x << "," << y;
            }
        }
}

TEST_F(ImageObjects, GrabRectanglesAroundTheSource) {
    ASSERT_NE(ImageCreate(2, 6, 5), 0);
    Paint(2, 11);
    const ImagePixels source = Open(2);
    struct Case { int x, y, w, h; };
    const Case cases[] = {{0, 0, 6, 5}, {2, 1, 3, 3}, {3, 3, 4, 3}, {-2, -1, 4, 4}, {6, 0, 2, 2}, {0, 5, 3, 1}, {-9, -9, 3, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "grab " << c.x << "," << c.y << " " << c.w << "x" << c.h);
        ASSERT_NE(ImageGrab(2, 4, c.x, c.y, c.w, c.h), 0);
        const ImagePixels p = Open(4);
        ASSERT_EQ(p.width, c.w);
        ASSERT_EQ(p.height, c.h);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const int sx = c.x + x, sy = c.y + y;
                if (sx >= 0 && sx < 6 && sy >= 0 && sy < 5)
                    EXPECT_EQ(std::memcmp(p.At(x, y), source.At(sx, sy), 3), 0) << x << "," << y;
                else
                    EXPECT_EQ(p.At(x, y)[0] | p.At(x, y)[1] | p.At(x, y)[2], 0) << x << "," << y;
            }
    }
    EXPECT_EQ(ImageGrab(2, 4, 0, 0, 0, 2), 0);  // an empty rectangle makes no image
}

TEST_F(ImageObjects, GrabNumbering) {
    ASSERT_NE(ImageCreate(2, 8, 8, 32), 0);
    Paint(2, 3);
    const intptr_t a = ImageGrab(2, AnyNumber, 0, 0, 2, 2);
    const intptr_t b = ImageGrab(2, AnyNumber, 0, 0, 2, 2);
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(Open(a).bytesPerPixel, 4);
    const intptr_t first = ImageGrab(2, 6, 0, 0, 3, 3);
    const intptr_t second = ImageGrab(2, 6, 1, 1, 3, 3);
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_EQ(ImageHandle(6), second);
    // Into its own number: the source is replaced by the grabbed part of itself.
    const uint8_t expect = Open(2).At(4, 4)[0];
    ASSERT_NE(ImageGrab(2, 2, 4, 4, 2, 2), 0);
    EXPECT_EQ(Open(2).width, 2);
    EXPECT_EQ(Open(2).At(0, 0)[0], expect);
    // A missing source changes nothing.
    EXPECT_EQ(ImageGrab(77, 6, 0, 0, 2, 2), 0);
    EXPECT_EQ(ImageHandle(6), second);
}

TEST_F(ImageObjects, GrabFromTheImageBeingDrawnSeesWhatWasDrawn) {
    ASSERT_NE(ImageCreate(2, 8, 8), 0);
    Canvas* canvas = ImageCanvas(2);
    ASSERT_NE(CanvasBegin(canvas), 0);
    canvas->plotColor(canvas, 6, 1, ColorRGB(200, 100, 50));
    ASSERT_NE(ImageGrab(2, 4, 5, 0, 3, 3), 0);
    CanvasEnd();
    ImagePixels p = Open(4);
    ASSERT_EQ(p.width, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(p.At(x, y)[2], x == 1 && y == 1 ? 200 : 0) << x << "," << y;
    EXPECT_EQ(p.At(1, 1)[1], 100);
    EXPECT_EQ(p.At(1, 1)[0], 50);
}

TEST_F(ImageObjects, FreeingOrReplacingTheImageBeingDrawnEndsItsCanvas) {
    const char* routes[] = {"create", "grab from another", "grab from itself", "grabImage slot", "free", "free all"};
    for (int route = 0; route < 6; ++route) {
        SCOPED_TRACE(routes[route]);
        ASSERT_NE(ImageCreate(2, 8, 8), 0);
        ASSERT_NE(ImageCreate(3, 8, 8), 0);
        Canvas* canvas = ImageCanvas(2);
        ASSERT_NE(CanvasBegin(canvas), 0);
        switch (route) {
        case 0: EXPECT_NE(ImageCreate(2, 8, 8), 0); break;
        case 1: EXPECT_NE(ImageGrab(3, 2, 0, 0, 8, 8), 0); break;
        case 2: EXPECT_NE(ImageGrab(2, 2, 0, 0, 8, 8), 0); break;
        case 3: EXPECT_NE(canvas->grabImage(canvas, 2, 0, 0, 8, 8), 0); break;
        case 4: ImageFree(2); break;
        default: ImageFree(-1); break;
        }
        // The Canvas went with its pixels: drawing on reaches no memory.
        EXPECT_EQ(CurrentCanvas, nullptr);
        CanvasLine(0, 0, 7, 7, 0x00FFFFFF);
        if (!ImageHandle(2)) continue;
        const ImagePixels p = Open(2);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) EXPECT_EQ(p.At(x, y)[0] | p.At(x, y)[1] | p.At(x, y)[2], 0) << x << "," << y;
    }
}

TEST_F(ImageObjects, RasterGrabAtANegativeCorner) {
    ASSERT_NE(ImageCreate(2, 30, 20), 0);
    Paint(2, 5);
    Canvas* canvas = ImageCanvas(2);
    ASSERT_NE(canvas, nullptr);
    ASSERT_NE(CanvasBegin(canvas), 0);
    ASSERT_NE(canvas->grabImage, nullptr);
    ASSERT_NE(canvas->grabImage(canvas, 7, -5, -5, 10, 10), 0);
    CanvasEnd();
    ImagePixels source = Open(2), p = Open(7);
    ASSERT_EQ(p.width, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            if (x < 5 || y < 5) {
                EXPECT_EQ(p.At(x, y)[0] | p.At(x, y)[1] | p.At(x, y)[2], 0) << x << "," << y;
            } else {
                EXPECT_EQ(std::memcmp(p.At(x, y), source.At(x - 5, y - 5), 3), 0) << x << "," << y;
            }
        }
}

TEST_F(ImageObjects, DrawingCopiesByteForByteAndClips) {
    ASSERT_NE(ImageCreate(2, 800, 600), 0);
    ASSERT_NE(ImageCreate(3, 800, 600), 0);
    Paint(2, 9);
    ASSERT_NE(CanvasBegin(ImageCanvas(3)), 0);
    CanvasDrawImage(ImageHandle(2), 0, 0);
    CanvasEnd();
    EXPECT_EQ(std::memcmp(Open(3).base, Open(2).base, 2400u * 600u), 0);

    ASSERT_NE(ImageCreate(4, 10, 10), 0);
    const uint8_t white[3] = {255, 255, 255};
    Fill(4, white);
    Open(4).At(3, 2)[0] = 7;
    Open(4).At(0, 0)[0] = 7;
    struct Case {
        int x, y, written, markX, markY;
    };
    const Case cases[] = {{-3, -2, 56, 0, 0}, {795, 595, 25, 795, 595}, {800, 0, 0, 0, 0}, {0, -10, 0, 0, 0}};
    for (const Case& c : cases) {
        ASSERT_NE(ImageCreate(3, 800, 600), 0);
        ASSERT_NE(CanvasBegin(ImageCanvas(3)), 0);
        CanvasDrawImage(ImageHandle(4), c.x, c.y);
        CanvasEnd();
        ImagePixels p = Open(3);
        int written = 0;
        for (size_t i = 1; i < 2400u * 600u; i += 3) written += p.base[i] != 0;
        EXPECT_EQ(written, c.written) << c.x << "," << c.y;
        if (c.written) {
            EXPECT_EQ(p.At(c.markX, c.markY)[0], 7) << c.x << "," << c.y;
        }
    }
}

TEST_F(ImageObjects, AlphaDrawingOfAThirtyTwoBitSource) {
    ASSERT_NE(ImageCreate(3, 3, 1), 0);
    ASSERT_NE(ImageCreate(5, 2, 1, 32), 0);
    const uint8_t opaque[4] = {10, 10, 10, 255}, faint[4] = {10, 10, 10, 100};
    std::memcpy(Open(5).At(0, 0), opaque, 4);
    std::memcpy(Open(5).At(1, 0), faint, 4);
    const uint8_t grey[3] = {200, 200, 200};
    struct Case {
        bool alphaCall;
        int alpha;
        uint8_t first, second;
    };
    const Case cases[] = {{false, 255, 10, 10}, {true, 128, 104, 162}, {true, 255, 10, 125}};
    for (const Case& c : cases) {
        Fill(3, grey);
        Canvas* canvas = ImageCanvas(3);
        ASSERT_NE(CanvasBegin(canvas), 0);
        if (c.alphaCall)
            canvas->drawAlphaImage(canvas, ImageHandle(5), 0, 0, c.alpha);
        else
            canvas->drawImage(canvas, ImageHandle(5), 0, 0);
        CanvasEnd();
        ImagePixels p = Open(3);
        EXPECT_EQ(p.At(0, 0)[1], c.first) << c.alpha;
        EXPECT_EQ(p.At(1, 0)[1], c.second) << c.alpha;
        EXPECT_EQ(p.At(2, 0)[1], 200);
    }
}

TEST_F(ImageObjects, SizedDrawingOfAThirtyTwoBitSourceResamples) {
    ASSERT_NE(ImageCreate(3, 4, 4, 32, 0xFFFFFFFFu), 0);
    ASSERT_NE(ImageCreate(5, 1, 1, 32, 0x00102030u), 0);
    Canvas* canvas = ImageCanvas(3);
    ASSERT_NE(CanvasBegin(canvas), 0);
    canvas->drawImageSized(canvas, ImageHandle(5), 1, 1, 3, 2);
    CanvasEnd();
    ImagePixels p = Open(3);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool inside = x >= 1 && y >= 1 && y < 3;
            const uint8_t want[3] = {static_cast<uint8_t>(inside ? 0x10 : 0), static_cast<uint8_t>(inside ? 0x20 : 0),
                                     static_cast<uint8_t>(inside ? 0x30 : 0)};
            EXPECT_EQ(std::memcmp(p.At(x, y), want, 3), 0) << x << "," << y;
        }
}

TEST_F(ImageObjects, DrawingAnImageOntoItselfGivesWhatACopyGives) {
    const int shifts[][2] = {{2, 0}, {-2, 0}, {0, 3}, {0, -3}};
    for (int depth : {24, 32})
        for (const auto& d : shifts) {
            SCOPED_TRACE(testing::Message() << depth << "-bit, shift " << d[0] << "," << d[1]);
            for (ObjectNumber n : {1, 2, 3}) {
                ASSERT_NE(ImageCreate(n, 8, 8, depth), 0);
                Paint(n, 4);
            }
            ASSERT_NE(CanvasBegin(ImageCanvas(1)), 0);
            CanvasDrawImage(ImageHandle(1), d[0], d[1]);
            CanvasEnd();
            ASSERT_NE(CanvasBegin(ImageCanvas(2)), 0);
            CanvasDrawImage(ImageHandle(3), d[0], d[1]);  // 3 is the copy of 1
            CanvasEnd();
            EXPECT_EQ(std::memcmp(Open(1).base, Open(2).base, static_cast<size_t>(Open(1).pitch) * 8), 0);
        }
}

// Sizes whose pixels need more than 2^31 - 1 bytes are refused: a row pitch
// that would wrap, and 32767 by 21848 at 24 bits (inside the size limits).
TEST_F(ImageObjects, SizedDrawingThatCannotBeAddressedDrawsNothing) {
    const int cases[][3] = {{24, 1431655767, 2}, {32, 536870912, 1}, {24, 32767, 21848}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << "-bit to " << c[1] << "x" << c[2]);
        ASSERT_NE(ImageCreate(3, 4, 4), 0);
        ASSERT_NE(ImageCreate(5, 2, 2, c[0], 0x00FFFFFF), 0);
        Canvas* canvas = ImageCanvas(3);
        ASSERT_NE(CanvasBegin(canvas), 0);
        canvas->drawImageSized(canvas, ImageHandle(5), 0, 0, c[1], c[2]);
        CanvasEnd();
        const ImagePixels p = Open(3);
        EXPECT_EQ(std::count(p.base, p.base + p.pitch * 4, 0), p.pitch * 4);
    }
}

}  // namespace
