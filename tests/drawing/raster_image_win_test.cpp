#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "runtime/drawing/gdi/drawing_library.h"
#include "runtime/drawing/image.h"
#include "runtime/drawing/raster/raster_image.h"
#include "runtime/drawing/resample.h"

#include "dib_section_win.h"

namespace {

void Paint(NativeHandle h, int seed) {
    DIBSECTION dib = Section(h);
    for (int y = 0; y < dib.dsBm.bmHeight; ++y)
        for (int x = 0; x < dib.dsBm.bmWidth; ++x) {
            uint8_t* p = PixelOf(h, x, y);
            p[0] = static_cast<uint8_t>(x * 3 + seed);
            p[1] = static_cast<uint8_t>(y * 5 + seed);
            p[2] = static_cast<uint8_t>(x ^ y);
            if (dib.dsBm.bmBitsPixel == 32) p[3] = static_cast<uint8_t>(255 - seed);
        }
}

void FillPixels(NativeHandle h, const uint8_t* bytes) {
    DIBSECTION dib = Section(h);
    const size_t n = static_cast<size_t>(dib.dsBm.bmBitsPixel / 8);
    for (int y = 0; y < dib.dsBm.bmHeight; ++y)
        for (int x = 0; x < dib.dsBm.bmWidth; ++x) std::memcpy(PixelOf(h, x, y), bytes, n);
}

class RasterImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ImagesInit();
        DrawingLibraryInit();
    }
    void TearDown() override {
        CanvasEnd();
        ImageFree(-1);
    }
    // Begins an image Canvas on number in the given drawing mode.
    Canvas* Begin(ObjectNumber number, int mode = 0) {
        Canvas* canvas = ImageCanvas(number);
        EXPECT_NE(canvas, nullptr);
        if (!canvas) return nullptr;
        EXPECT_NE(CanvasBegin(canvas), 0);
        if (mode) canvas->setMode(canvas, mode);
        return canvas;
    }
};

TEST_F(RasterImageTest, FullSizeCopyIsByteForByte) {
    ASSERT_NE(ImageCreate(2, 800, 600), 0);
    ASSERT_NE(ImageCreate(3, 800, 600), 0);
    Paint(ImageHandle(2), 3);
    Begin(3);
    CanvasDrawImage(ImageHandle(2), 0, 0);
    CanvasEnd();
    EXPECT_EQ(std::memcmp(Section(ImageHandle(3)).dsBm.bmBits, Section(ImageHandle(2)).dsBm.bmBits, 2400u * 600u), 0);
}

TEST_F(RasterImageTest, ClippingAtTheEdges) {
    struct Case {
        int x, y;
        int firstX, firstY;  // target pixel that receives source pixel (sx, sy)
        int sx, sy;
        int written;         // pixels written
    };
    const Case cases[] = {
        {-3, -2, 0, 0, 3, 2, 56}, {795, 595, 795, 595, 0, 0, 25}, {800, 0, 0, 0, 0, 0, 0}, {0, -10, 0, 0, 0, 0, 0},
        {0, 600, 0, 0, 0, 0, 0},  {-10, 3, 0, 0, 0, 0, 0},         {2147483647, -2147483647 - 1, 0, 0, 0, 0, 0},
    };
    ASSERT_NE(ImageCreate(3, 800, 600), 0);
    ASSERT_NE(ImageCreate(4, 10, 10), 0);
    const uint8_t white[3] = {255, 255, 255};
    FillPixels(ImageHandle(4), white);
    PixelOf(ImageHandle(4), 3, 2)[0] = 7;
    PixelOf(ImageHandle(4), 0, 0)[0] = 7;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        std::memset(Section(ImageHandle(3)).dsBm.bmBits, 0, 2400u * 600u);
        Begin(3);
        CanvasDrawImage(ImageHandle(4), c.x, c.y);
        CanvasEnd();
        const auto* bits = static_cast<const uint8_t*>(Section(ImageHandle(3)).dsBm.bmBits);
        int written = 0;
        for (size_t i = 0; i < 2400u * 600u; i += 3) written += bits[i + 1] != 0;
        EXPECT_EQ(written, c.written);
        if (c.written) {
            EXPECT_EQ(PixelOf(ImageHandle(3), c.firstX, c.firstY)[0], 7);
        }
    }
}

TEST_F(RasterImageTest, ThirtyTwoBitSourceByDrawImageAndDrawAlphaImage) {
    ASSERT_NE(ImageCreate(3, 4, 1), 0);
    ASSERT_NE(ImageCreate(5, 2, 1, 32), 0);
    uint8_t* p0 = PixelOf(ImageHandle(5), 0, 0);
    uint8_t* p1 = PixelOf(ImageHandle(5), 1, 0);
    const uint8_t a[4] = {10, 10, 10, 255}, b[4] = {10, 10, 10, 100};
    std::memcpy(p0, a, 4);
    std::memcpy(p1, b, 4);
    const uint8_t grey[3] = {200, 200, 200};
    struct Case {
        bool alphaCall;
        int alpha;
        uint8_t first, second;
    };
    const Case cases[] = {{false, 255, 10, 10}, {true, 128, 104, 162}, {true, 255, 10, 125}, {true, 0, 200, 200}};
    for (const Case& c : cases) {
        FillPixels(ImageHandle(3), grey);
        Canvas* canvas = Begin(3);
        if (c.alphaCall)
            canvas->drawAlphaImage(canvas, ImageHandle(5), 1, 0, c.alpha);
        else
            canvas->drawImage(canvas, ImageHandle(5), 1, 0);
        CanvasEnd();
        EXPECT_EQ(PixelOf(ImageHandle(3), 0, 0)[0], 200);
        EXPECT_EQ(PixelOf(ImageHandle(3), 1, 0)[0], c.first) << c.alpha;
        EXPECT_EQ(PixelOf(ImageHandle(3), 2, 0)[0], c.second) << c.alpha;
        EXPECT_EQ(PixelOf(ImageHandle(3), 3, 0)[0], 200);
    }
}

TEST_F(RasterImageTest, TwentyFourBitSourceByAlpha) {
    ASSERT_NE(ImageCreate(3, 2, 2), 0);
    ASSERT_NE(ImageCreate(5, 2, 2, 24, ColorRGB(100, 100, 100)), 0);
    const uint8_t grey[3] = {200, 200, 200};
    struct Case {
        int alpha;
        uint8_t expect;
    };
    const Case cases[] = {{0, 200}, {255, 100}, {128, 149}};
    for (const Case& c : cases) {
        FillPixels(ImageHandle(3), grey);
        Canvas* canvas = Begin(3);
        canvas->drawAlphaImage(canvas, ImageHandle(5), 0, 0, c.alpha);
        CanvasEnd();
        EXPECT_EQ(PixelOf(ImageHandle(3), 1, 1)[1], c.expect) << c.alpha;
    }
}

TEST_F(RasterImageTest, AlphaOnlyModeSetsAlphaFromATwentyFourBitSource) {
    ASSERT_NE(ImageCreate(3, 6, 6, 32, 0xFFFFFFFFu), 0);  // transparent black
    ASSERT_NE(ImageCreate(5, 4, 4, 24, ColorRGB(1, 2, 3)), 0);
    Canvas* canvas = Begin(3, ModeAlphaOnly);
    canvas->drawImage(canvas, ImageHandle(5), 3, -1);
    CanvasEnd();
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const uint8_t* p = PixelOf(ImageHandle(3), x, y);
            EXPECT_EQ(p[0] | p[1] | p[2], 0);
            EXPECT_EQ(p[3], x >= 3 && y <= 2 ? 255 : 0) << x << "," << y;
        }
}

TEST_F(RasterImageTest, DeviceBitmapWithoutAlphaDrawsOpaque) {
    uint32_t pixels[4] = {0x00112233u, 0x00112233u, 0x00445566u, 0x00445566u};  // alpha all 0
    HBITMAP ddb = CreateBitmap(2, 2, 1, 32, pixels);
    ASSERT_NE(ddb, nullptr);
    uint32_t partly[4] = {0x80FFFFFFu, 0, 0, 0};
    HBITMAP ddbAlpha = CreateBitmap(2, 2, 1, 32, partly);
    ASSERT_NE(ImageCreate(3, 2, 2), 0);
    Canvas* canvas = Begin(3);
    canvas->drawAlphaImage(canvas, reinterpret_cast<NativeHandle>(ddb), 0, 0, 255);
    // Device bitmap rows are top-down: the first row is the image's top.
    EXPECT_EQ(PixelOf(ImageHandle(3), 0, 0)[0], 0x33);
    EXPECT_EQ(PixelOf(ImageHandle(3), 0, 0)[2], 0x11);
    EXPECT_EQ(PixelOf(ImageHandle(3), 1, 1)[0], 0x66);
    // A device bitmap with some alpha keeps it: fully transparent pixels draw nothing.
    canvas->drawAlphaImage(canvas, reinterpret_cast<NativeHandle>(ddbAlpha), 0, 0, 255);
    EXPECT_EQ(PixelOf(ImageHandle(3), 1, 1)[0], 0x66);
    EXPECT_NE(PixelOf(ImageHandle(3), 0, 0)[0], 0x33);
    CanvasEnd();
    DeleteObject(ddb);
    DeleteObject(ddbAlpha);
}

// An 8 by 8 icon: red colour, opaque on its left half by the mask.
HICON MakeIcon(bool withColour) {
    uint8_t maskBits[16 * 2];
    for (int row = 0; row < 16; ++row) {
        maskBits[row * 2] = withColour ? 0x0F : 0x00;  // left 4 pixels 0 (opaque), right 4 pixels 1
        maskBits[row * 2 + 1] = 0;
    }
    HBITMAP mask = CreateBitmap(8, withColour ? 8 : 16, 1, 1, maskBits);
    HBITMAP colour = nullptr;
    if (withColour) {
        uint32_t red[64];
        for (uint32_t& p : red) p = 0x00FF0000u;
        colour = CreateBitmap(8, 8, 1, 32, red);
    }
    ICONINFO ii = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(mask);
    if (colour) DeleteObject(colour);
    return icon;
}

TEST_F(RasterImageTest, IconsBlendByTheirMaskAndMonochromeIconsDrawNothing) {
    HICON icon = MakeIcon(true);
    HICON mono = MakeIcon(false);
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(mono, nullptr);
    ASSERT_NE(ImageCreate(3, 8, 8, 24, ColorRGB(0, 255, 0)), 0);
    Canvas* canvas = Begin(3);
    canvas->drawImage(canvas, reinterpret_cast<NativeHandle>(mono), 0, 0);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelOf(ImageHandle(3), x, 3)[1], 255) << x;
    canvas->drawImage(canvas, reinterpret_cast<NativeHandle>(icon), 0, 0);
    for (int x = 0; x < 8; ++x) {
        const uint8_t* p = PixelOf(ImageHandle(3), x, 3);
        if (x < 4) {
            EXPECT_EQ(p[2], 255) << x;
            EXPECT_EQ(p[1], 0) << x;
        } else {
            EXPECT_EQ(p[2], 0) << x;
            EXPECT_EQ(p[1], 255) << x;
        }
    }
    // drawAlphaImage ignores icons.
    std::memset(Section(ImageHandle(3)).dsBm.bmBits, 0, 8 * 24);
    canvas->drawAlphaImage(canvas, reinterpret_cast<NativeHandle>(icon), 0, 0, 255);
    EXPECT_EQ(PixelOf(ImageHandle(3), 0, 0)[2], 0);
    CanvasEnd();
    EXPECT_EQ(IconToDib(reinterpret_cast<NativeHandle>(mono)), 0);
    DestroyIcon(icon);
    DestroyIcon(mono);
}

TEST_F(RasterImageTest, SizedDrawingResamplesOnlyWhenTheSizeChanges) {
    ASSERT_NE(ImageCreate(3, 8, 2, 32), 0);
    ASSERT_NE(ImageCreate(5, 2, 1, 32), 0);
    const uint8_t transparent[4] = {0, 0, 0, 0}, opaque[4] = {0, 0, 0, 255};
    std::memcpy(PixelOf(ImageHandle(5), 0, 0), transparent, 4);
    std::memcpy(PixelOf(ImageHandle(5), 1, 0), opaque, 4);
    Canvas* canvas = Begin(3);
    // Its own size, given explicitly or as -1: drawn directly, the source untouched.
    canvas->drawImageSized(canvas, ImageHandle(5), 0, 0, 2, 1);
    canvas->drawImageSized(canvas, ImageHandle(5), 0, 0, -1, 1);
    EXPECT_EQ(PixelOf(ImageHandle(5), 0, 0)[0], 0);
    // Another size: resampled, which rewrites the transparent source pixel as white.
    canvas->drawImageSized(canvas, ImageHandle(5), 0, 1, 4, 1);
    EXPECT_EQ(PixelOf(ImageHandle(5), 0, 0)[0], 255);
    EXPECT_EQ(PixelOf(ImageHandle(5), 0, 0)[3], 0);
    EXPECT_EQ(PixelOf(ImageHandle(3), 0, 1)[0], 255);  // white leaked into the colour bytes (mode 0 copy)
    EXPECT_EQ(PixelOf(ImageHandle(3), 3, 1)[0], 0);
    EXPECT_EQ(PixelOf(ImageHandle(3), 4, 1)[0], 0);  // nothing beyond the requested width
    // Sizes with no pixels draw nothing.
    canvas->drawImageSized(canvas, ImageHandle(5), 0, 0, 0, 5);
    canvas->drawImageSized(canvas, ImageHandle(5), 0, 0, 5, -7);
    CanvasEnd();
}

TEST_F(RasterImageTest, TwentyFourBitSourcesAreStretchedSmoothly) {
    ASSERT_NE(ImageCreate(3, 8, 8), 0);
    ASSERT_NE(ImageCreate(5, 2, 2, 24, ColorRGB(40, 80, 120)), 0);
    Canvas* canvas = Begin(3);
    canvas->drawImageSized(canvas, ImageHandle(5), 1, 1, 6, 5);
    CanvasEnd();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const uint8_t* p = PixelOf(ImageHandle(3), x, y);
            const bool inside = x >= 1 && x < 7 && y >= 1 && y < 6;
            EXPECT_NEAR(p[2], inside ? 40 : 0, 2) << x << "," << y;
            EXPECT_NEAR(p[0], inside ? 120 : 0, 2) << x << "," << y;
        }
}

TEST_F(RasterImageTest, BadHandlesDrawNothing) {
    ASSERT_NE(ImageCreate(3, 4, 4), 0);
    Canvas* canvas = Begin(3);
    canvas->drawImage(canvas, 0, 0, 0);
    canvas->drawImage(canvas, reinterpret_cast<NativeHandle>(GetStockObject(WHITE_BRUSH)), 0, 0);
    canvas->drawImage(canvas, 12345, 0, 0);
    canvas->drawImageSized(canvas, 0, 0, 0, 2, 2);
    canvas->drawAlphaImage(canvas, 0, 0, 0, 255);
    CanvasEnd();
    const auto* p = static_cast<const uint8_t*>(Section(ImageHandle(3)).dsBm.bmBits);
    for (int i = 0; i < 48; ++i) ASSERT_EQ(p[i], 0);
}

TEST_F(RasterImageTest, ResampleBitmapChecksBothSections) {
    ASSERT_NE(ImageCreate(1, 4, 4, 32), 0);
    ASSERT_NE(ImageCreate(2, 2, 2, 32, ColorRGB(9, 9, 9)), 0);
    ASSERT_NE(ImageCreate(3, 2, 2, 24), 0);
    HBITMAP ddb = CreateBitmap(2, 2, 1, 32, nullptr);
    EXPECT_EQ(ResampleBitmap32(ImageHandle(1), 4, 4, ImageHandle(2), 2, 2), 1);
    EXPECT_EQ(PixelOf(ImageHandle(1), 2, 2)[0], 9);
    EXPECT_EQ(ResampleBitmap32(ImageHandle(1), 4, 4, ImageHandle(3), 2, 2), 0);
    EXPECT_EQ(ResampleBitmap32(ImageHandle(1), 4, 4, reinterpret_cast<NativeHandle>(ddb), 2, 2), 0);
    EXPECT_EQ(ResampleBitmap32(ImageHandle(1), 8, 8, ImageHandle(2), 2, 2), 0);  // larger than the section
    DeleteObject(ddb);
}

}  // namespace
