// Image objects through their public operations only, so the same checks run
// on the Windows build's DIB sections and on the native build's pixel memory:
// both must number, fill, grab and clip alike.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"

namespace {

// The stored bytes of an image, bottom row first, read through a Canvas.
struct Pixels {
    int width = 0, height = 0, bytesPerPixel = 0, pitch = 0;
    std::vector<uint8_t> bytes;
    // Pixel (x, y) with y = 0 the top row.
    const uint8_t* At(int x, int y) const {
        return bytes.data() + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(pitch) +
               static_cast<size_t>(x) * static_cast<size_t>(bytesPerPixel);
    }
};

Pixels Read(ObjectNumber number) {
    Pixels p;
    Canvas* canvas = ImageCanvas(number);
    if (!canvas || !CanvasBegin(canvas)) return p;
    p.width = canvas->width;
    p.height = canvas->height;
    p.bytesPerPixel = canvas->depth / 8;
    p.pitch = canvas->bufferPitch(canvas);
    auto* base = static_cast<const uint8_t*>(canvas->bufferAddress(canvas));
    p.bytes.assign(base, base + static_cast<size_t>(p.pitch) * static_cast<size_t>(p.height));
    CanvasEnd();
    return p;
}

class ImageBehaviourTest : public ::testing::Test {
protected:
    void SetUp() override { ImagesInit(); }
    void TearDown() override { ImagesFreeAll(); }
};

TEST_F(ImageBehaviourTest, NewImagesAreBlackAndNumbered) {
    NativeHandle handle = ImageCreate(2, 800, 600);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(ImageHandle(2), handle);
    Pixels p = Read(2);
    EXPECT_EQ(p.width, 800);
    EXPECT_EQ(p.height, 600);
    EXPECT_EQ(p.bytesPerPixel, 3);
    EXPECT_EQ(p.pitch, 2400);
    for (uint8_t b : p.bytes) ASSERT_EQ(b, 0);
    // Depth 16 is recorded as 24; a width or height of 0 fails and leaves the number empty.
    ASSERT_NE(ImageCreate(5, 3, 3, 16), 0);
    EXPECT_EQ(static_cast<ImageRecord*>(ObjectTableGet(ImageTable, 5))->depth, 24);
    EXPECT_EQ(ImageCreate(6, 0, 10), 0);
    EXPECT_EQ(ImageCreate(6, 10, 0), 0);
    EXPECT_EQ(ImageHandle(6), 0);
}

TEST_F(ImageBehaviourTest, ThirtyTwoBitFills) {
    struct Case { Color colour; uint8_t bytes[4]; };
    const Case cases[] = {
        {0x00000000u, {0x00, 0x00, 0x00, 0xFF}},  // opaque black
        {0xFFFFFFFFu, {0x00, 0x00, 0x00, 0x00}},  // -1: transparent black
        {0x000000FFu, {0x00, 0x00, 0xFF, 0xFF}},  // red
        {0x80336699u, {0x33, 0x66, 0x99, 0xFF}},  // any other colour is made opaque
    };
    for (const Case& c : cases) {
        ASSERT_NE(ImageCreate(7, 3, 2, 32, c.colour), 0);
        Pixels p = Read(7);
        ASSERT_EQ(p.bytesPerPixel, 4);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                for (int k = 0; k < 4; ++k) EXPECT_EQ(p.At(x, y)[k], c.bytes[k]) << std::hex << c.colour;
    }
}

TEST_F(ImageBehaviourTest, NumbersReplaceAndAnyNumberIsFresh) {
    intptr_t a = ImageCreate(AnyNumber, 4, 4);
    intptr_t b = ImageCreate(AnyNumber, 4, 4);
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_NE(ImageHandle(a), 0);
    ImageFree(a);
    EXPECT_EQ(ImageHandle(a), 0);
    EXPECT_NE(ImageHandle(b), 0);
    NativeHandle first = ImageCreate(3, 4, 4);
    NativeHandle second = ImageCreate(3, 8, 2);
    ASSERT_NE(second, 0);
    EXPECT_EQ(ImageHandle(3), second);
    EXPECT_EQ(Read(3).width, 8);
    (void)first;
}

TEST_F(ImageBehaviourTest, GrabCopiesAndLeavesOutsideBlack) {
    ASSERT_NE(ImageCreate(2, 6, 5), 0);
    {
        Canvas* canvas = ImageCanvas(2);
        ASSERT_TRUE(CanvasBegin(canvas));
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) canvas->plotColor(canvas, x, y, ColorRGB(10 * x + 1, 10 * y + 1, 7));
        CanvasEnd();
    }
    struct Case { int x, y, w, h; };
    const Case cases[] = {{0, 0, 6, 5}, {2, 1, 3, 3}, {3, 3, 4, 3}, {-2, -1, 4, 4}, {6, 0, 2, 2}, {0, 5, 3, 1}};
    for (const Case& c : cases) {
        ASSERT_NE(ImageGrab(2, 4, c.x, c.y, c.w, c.h), 0);
        Pixels p = Read(4);
        ASSERT_EQ(p.width, c.w);
        ASSERT_EQ(p.height, c.h);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const int sx = c.x + x, sy = c.y + y;
                const bool inside = sx >= 0 && sx < 6 && sy >= 0 && sy < 5;
                EXPECT_EQ(p.At(x, y)[2], inside ? 10 * sx + 1 : 0) << c.x << "," << c.y << " at " << x << "," << y;
                EXPECT_EQ(p.At(x, y)[1], inside ? 10 * sy + 1 : 0);
            }
    }
    EXPECT_EQ(ImageGrab(9, 4, 0, 0, 2, 2), 0);  // no such source
    EXPECT_EQ(ImageGrab(2, 4, 0, 0, 0, 2), 0);  // empty rectangle
}

TEST_F(ImageBehaviourTest, RasterGrabAtANegativeCorner) {
    ASSERT_NE(ImageCreate(2, 20, 20), 0);
    Canvas* canvas = ImageCanvas(2);
    ASSERT_TRUE(CanvasBegin(canvas));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) canvas->plotColor(canvas, x, y, ColorRGB(x + 1, y + 1, 0));
    ASSERT_NE(canvas->grabImage(canvas, 8, -5, -5, 10, 10), 0);
    CanvasEnd();
    Pixels p = Read(8);
    ASSERT_EQ(p.width, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 5 && y >= 5;
            EXPECT_EQ(p.At(x, y)[2], inside ? x - 5 + 1 : 0);
            EXPECT_EQ(p.At(x, y)[1], inside ? y - 5 + 1 : 0);
        }
}

TEST_F(ImageBehaviourTest, DrawingAnImageCopiesItByteForByte) {
    ASSERT_NE(ImageCreate(2, 800, 600), 0);
    ASSERT_NE(ImageCreate(3, 800, 600), 0);
    {
        Canvas* canvas = ImageCanvas(3);
        ASSERT_TRUE(CanvasBegin(canvas));
        for (int i = 0; i < 600; i += 7) CanvasLine(0, i, 799, 599 - i, ColorRGB(i % 256, 255 - i % 256, 77));
        CanvasEnd();
    }
    Canvas* canvas = ImageCanvas(2);
    ASSERT_TRUE(CanvasBegin(canvas));
    CanvasDrawImage(ImageHandle(3), 0, 0);
    CanvasEnd();
    EXPECT_EQ(Read(2).bytes, Read(3).bytes);
}

}  // namespace
