#include <gtest/gtest.h>

#include <cstdint>

#include "runtime/drawing/gdi/gdi_canvas.h"

namespace {

TEST(GdiSurfacePixel, ConvertsColoursForEachSurfaceFormat) {
    struct Case {
        int format;
        Color colour;
        uint32_t value;
        int size;
    };
    const Case cases[] = {
        {PixelFormatR5G6B5, 0x0000FF, 0xF800, 2},       // red
        {PixelFormatX1R5G5B5, 0x0000FF, 0x7C00, 2},
        {PixelFormatBGRA32, 0x0000FF, 0xFFFF0000, 4},
        {PixelFormatR5G6B5, 0x00FF00, 0x07E0, 2},       // green
        {PixelFormatX1R5G5B5, 0x00FF00, 0x03E0, 2},
        {PixelFormatBGRA32, 0x00FF00, 0xFF00FF00, 4},
        {PixelFormatR5G6B5, 0xFF0000, 0x001F, 2},       // blue
        {PixelFormatX1R5G5B5, 0xFF0000, 0x001F, 2},
        {PixelFormatBGRA32, 0xFF0000, 0xFF0000FF, 4},
        {PixelFormatR5G6B5, 0x000000, 0x0000, 2},
        {PixelFormatBGRA32, 0x000000, 0xFF000000, 4},   // opaque black
        {PixelFormatR5G6B5, 0x00030303, 0x0000, 2},     // below one step of every channel
        {PixelFormatBGRA32, 0x00123456, 0xFF563412, 4},
        {PixelFormat8, 0x00123456, 0x56, 1},
        // A top byte in the colour must not leak into the other channels.
        {PixelFormatX1R5G5B5, 0xFFFF0000, 0x001F, 2},
        {PixelFormatR5G6B5, 0xFFFF0000, 0x001F, 2},
        {PixelFormatBGRA32, 0xFF0000FF, 0xFFFF0000, 4},
    };
    for (const Case& c : cases) {
        uint32_t value = 0xDEADBEEF;
        int size = 0;
        ASSERT_TRUE(GdiSurfacePixel(c.format, c.colour, &value, &size)) << c.format;
        EXPECT_EQ(value, c.value) << std::hex << "format " << c.format << " colour " << c.colour;
        EXPECT_EQ(size, c.size) << c.format;
    }
}

TEST(GdiSurfacePixel, RefusesFormatsWithoutDirectWrites) {
    const int formats[] = {0, PixelFormatBGR24, PixelFormatBGR24 | PixelFormatBottomUp, 0x20, 0x8040};
    for (int format : formats) {
        uint32_t value = 7;
        int size = 9;
        EXPECT_FALSE(GdiSurfacePixel(format, 0xFF, &value, &size)) << format;
        EXPECT_EQ(value, 7u);
        EXPECT_EQ(size, 9);
    }
}

TEST(GdiPremultiply, ScalesChannelsByAlphaExceptOpaquePixels) {
    struct Case {
        uint8_t in[4];
        uint8_t out[4];
    };
    const Case cases[] = {
        {{200, 0, 0, 128}, {100, 0, 0, 128}},
        {{255, 255, 255, 255}, {255, 255, 255, 255}},   // opaque: unchanged
        {{255, 255, 255, 254}, {253, 253, 253, 254}},   // (255*254)>>8 = 253
        {{10, 20, 30, 0}, {0, 0, 0, 0}},
        {{255, 128, 1, 1}, {0, 0, 0, 1}},
        {{200, 100, 50, 128}, {100, 50, 25, 128}},
    };
    uint8_t pixels[sizeof cases / sizeof cases[0] * 4];
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        for (int b = 0; b < 4; ++b) pixels[i * 4 + b] = cases[i].in[b];
    GdiPremultiply(pixels, sizeof cases / sizeof cases[0]);
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        for (int b = 0; b < 4; ++b) EXPECT_EQ(pixels[i * 4 + b], cases[i].out[b]) << "pixel " << i << " byte " << b;
}

TEST(GdiPremultiply, TouchesOnlyTheGivenPixels) {
    uint8_t pixels[12] = {200, 200, 200, 0, 200, 200, 200, 0, 200, 200, 200, 0};
    GdiPremultiply(pixels + 4, 1);
    EXPECT_EQ(pixels[0], 200);
    EXPECT_EQ(pixels[4], 0);
    EXPECT_EQ(pixels[8], 200);
    GdiPremultiply(pixels, 0);
    EXPECT_EQ(pixels[0], 200);
}

}  // namespace
