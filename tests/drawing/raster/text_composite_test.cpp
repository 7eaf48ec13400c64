#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/raster/text_composite.h"

#include "guarded_target.h"

namespace {

// The guarded area with the colours the compositor reads.
struct Target : GuardedTarget {
    using GuardedTarget::GuardedTarget;
    void SetFront(Color c) { canvas.frontColor = c; }
    void SetBack(Color c) {
        RasterTail& r = canvas.raster;
        r.backRed = c & 0xFF;
        r.backGreen = (c >> 8) & 0xFF;
        r.backBlue = (c >> 16) & 0xFF;
        r.backAlpha = c >> 24;
        r.backInverse = 255 - r.backAlpha;
    }
};

// A coverage block of w by h pixels, every pixel (blue, green, red) = cov,
// exactly as large as its rows so that any over-read is caught by the sanitiser.
std::vector<uint8_t> Block(int w, int h, uint8_t cb, uint8_t cg, uint8_t cr) {
    std::vector<uint8_t> b(static_cast<size_t>(w) * h * 3);
    for (size_t i = 0; i < b.size(); i += 3) b[i] = cb, b[i + 1] = cg, b[i + 2] = cr;
    return b;
}

// One pixel composited onto a 1 by 1 target.
struct PixelCase {
    const char* name;
    int bpp;
    int mode;
    int transparent;
    Color front, back;
    uint8_t target[4];    // blue, green, red, alpha before
    uint8_t coverage[3];  // blue, green, red
    uint8_t expected[4];  // blue, green, red, alpha after (alpha ignored on 24-bit)
};

void RunPixelCases(const PixelCase* cases, size_t count) {
    for (size_t n = 0; n < count; ++n) {
        const PixelCase& c = cases[n];
        Target t(1, 1, c.bpp, true);
        t.SetMode(c.mode);
        t.SetFront(c.front);
        t.SetBack(c.back);
        std::memcpy(t.At(0, 0), c.target, c.bpp);
        const uint8_t block[3] = {c.coverage[0], c.coverage[1], c.coverage[2]};
        TextComposite(&t.canvas, block, 3, 0, 0, 1, 1, c.transparent);
        const uint8_t* p = t.At(0, 0);
        for (int k = 0; k < c.bpp; ++k) EXPECT_EQ(p[k], c.expected[k]) << c.name << " byte " << k;
        EXPECT_TRUE(t.GuardsIntact()) << c.name;
    }
}

TEST(TextComposite, CopyMode) {
    const Color front = 0xFF1020F0, back = 0x00406080;  // front: red F0 green 20 blue 10
    const PixelCase cases[] = {
        {"opaque, no coverage takes the back colour", 3, 0, 0, front, back, {1, 2, 3}, {0, 0, 0}, {0x40, 0x60, 0x80}},
        {"opaque, full coverage takes the front colour", 3, 0, 0, front, back, {1, 2, 3}, {255, 255, 255}, {0x10, 0x20, 0xF0}},
        {"transparent argument, no coverage leaves the target", 3, 0, 1, front, back, {1, 2, 3}, {0, 0, 0}, {1, 2, 3}},
        {"transparent mode bit, no coverage leaves the target", 3, ModeTransparentText, 0, front, back, {1, 2, 3}, {0, 0, 0}, {1, 2, 3}},
        {"transparent, full coverage takes the front colour", 3, 0, 1, front, back, {1, 2, 3}, {255, 255, 255}, {0x10, 0x20, 0xF0}},
        // Each channel takes its own coverage: blue full, green none, red half.
        // red: ((255-128)*0x80 + 0xF0*128)/255 = (16256+30720)/255 = 184
        {"opaque, per-channel coverage", 3, 0, 0, front, back, {1, 2, 3}, {255, 0, 128}, {0x10, 0x60, 184}},
        // red: (0xF0*128 + 127*200)/255 = (30720+25400)/255 = 220
        {"transparent, per-channel coverage", 3, 0, 1, front, back, {9, 9, 200}, {255, 0, 128}, {0x10, 9, 220}},
        {"32-bit keeps the alpha byte", 4, 0, 0, front, 0xFF406080, {1, 2, 3, 77}, {255, 255, 255}, {0x10, 0x20, 0xF0, 77}},
    };
    RunPixelCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(TextComposite, XorThreshold) {
    const Color front = 0x00F0F0F0, back = 0x000F0F0F;
    // Coverage sums 383 and 382 lie just above and below one half of 765.
    const PixelCase cases[] = {
        {"above half, opaque: XOR front", 3, ModeXorColor, 0, front, back, {0xFF, 0, 0x0F}, {128, 128, 127}, {0x0F, 0xF0, 0xFF}},
        {"above half, transparent: XOR front", 3, ModeXorColor, 1, front, back, {0xFF, 0, 0x0F}, {128, 128, 127}, {0x0F, 0xF0, 0xFF}},
        {"below half, opaque: XOR back", 3, ModeXorColor, 0, front, back, {0xFF, 0, 0x0F}, {128, 127, 127}, {0xF0, 0x0F, 0x00}},
        {"below half, transparent: unchanged", 3, ModeXorColor, 1, front, back, {0xFF, 0, 0x0F}, {128, 127, 127}, {0xFF, 0, 0x0F}},
        {"32-bit alpha untouched", 4, ModeXorColor, 0, 0xFFF0F0F0, back, {0, 0, 0, 9}, {255, 255, 255}, {0xF0, 0xF0, 0xF0, 9}},
    };
    RunPixelCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(TextComposite, AlphaOnly) {
    const PixelCase cases[] = {
        {"24-bit writes nothing", 3, ModeAlphaOnly, 0, 0xFF00FF00, 0xFF0000FF, {1, 2, 3}, {255, 255, 255}, {1, 2, 3}},
        {"opaque, full coverage: front alpha", 4, ModeAlphaOnly, 0, 0xC8000000, 0x32000000, {1, 2, 3, 4}, {255, 255, 255}, {1, 2, 3, 0xC8}},
        {"opaque, no coverage: back alpha", 4, ModeAlphaOnly, 0, 0xC8000000, 0x32000000, {1, 2, 3, 4}, {0, 0, 0}, {1, 2, 3, 0x32}},
        {"transparent, no coverage: unchanged", 4, ModeAlphaOnly, 1, 0xC8000000, 0x32000000, {1, 2, 3, 4}, {0, 0, 0}, {1, 2, 3, 4}},
        // a = 510/765 = 2/3: trunc(200*2/3 + 90/3) = trunc(133.33+30) = 163
        {"transparent, two thirds", 4, ModeAlphaOnly, 1, 0xC8000000, 0x32000000, {1, 2, 3, 90}, {255, 255, 0}, {1, 2, 3, 163}},
    };
    RunPixelCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(TextComposite, WriteAll) {
    const PixelCase cases[] = {
        {"opaque, full coverage: front colour and alpha", 4, ModeWriteAll, 0, 0xFF102030, 0xFF405060, {1, 2, 3, 4}, {255, 255, 255}, {0x10, 0x20, 0x30, 0xFF}},
        {"opaque, no coverage: back colour and alpha", 4, ModeWriteAll, 0, 0xFF102030, 0xC8405060, {1, 2, 3, 4}, {0, 0, 0}, {0x40, 0x50, 0x60, 0xC8}},
        // Back alpha 0 (< 192): V = 128 for every channel; X = front; h = 128.
        {"opaque over a clear back colour", 4, ModeWriteAll, 0, 0x80102030, 0x00405060, {1, 2, 3, 4}, {255, 255, 255}, {0x10, 0x20, 0x30, 128}},
        {"transparent, no coverage: unchanged", 4, ModeWriteAll, 1, 0x80102030, 0xFF405060, {1, 2, 3, 4}, {0, 0, 0}, {1, 2, 3, 4}},
        {"transparent, full coverage: front colour and alpha", 4, ModeWriteAll, 1, 0x80102030, 0xFF405060, {1, 2, 3, 4}, {255, 255, 255}, {0x10, 0x20, 0x30, 0x80}},
        // Coverage 51 of 255 (a = 0.2): blue (0x10*51 + 204*100)/255 = 83; alpha trunc(0.8*50 + 0.2*250) = 90
        {"transparent, partial coverage", 4, ModeWriteAll, 1, 0xFA000010, 0, {100, 100, 100, 50}, {51, 51, 51}, {80, 80, 83, 90}},
        // Not a 24-bit mode: a stray bit falls through to copy.
        {"24-bit falls back to copy", 3, ModeWriteAll, 0, 0xFF102030, 0xFF405060, {1, 2, 3}, {255, 255, 255}, {0x10, 0x20, 0x30}},
    };
    RunPixelCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(TextComposite, Blends) {
    const PixelCase cases[] = {
        // Transparent 24-bit: ak = 255*128/255 = 128: (127*100 + 200*128)/255 = 150.
        {"24-bit transparent", 3, ModeBlendOver, 1, 0x80C8C8C8, 0, {100, 100, 100}, {255, 255, 255}, {150, 150, 150}},
        {"24-bit transparent, no coverage", 3, ModeBlendKeepAlpha, 1, 0x80C8C8C8, 0, {100, 100, 100}, {0, 0, 0}, {100, 100, 100}},
        // Opaque 24-bit over a clear back colour: X = front, h = 128: (200*128 + 100*127)/255 = 150.
        {"24-bit opaque, clear back", 3, ModeBlendOver, 0, 0x80C8C8C8, 0, {100, 100, 100}, {255, 255, 255}, {150, 150, 150}},
        {"24-bit opaque, no coverage paints the opaque back", 3, ModeBlendOver, 0, 0xFFC8C8C8, 0xFF102030, {1, 2, 3}, {0, 0, 0}, {0x10, 0x20, 0x30}},
        // 32-bit transparent, T = 200, D = 128, C = 100, A = 64: channel 159, alpha 159.
        {"32-bit transparent over", 4, ModeBlendOver, 1, 0x40646464, 0, {200, 200, 200, 128}, {255, 255, 255}, {159, 159, 159, 159}},
        {"32-bit transparent keep alpha", 4, ModeBlendKeepAlpha, 1, 0x40646464, 0, {200, 200, 200, 128}, {255, 255, 255}, {159, 159, 159, 128}},
        {"32-bit transparent onto clear pixel", 4, ModeBlendOver, 1, 0x40102030, 0, {200, 200, 200, 0}, {255, 255, 255}, {0x10, 0x20, 0x30, 64}},
        // Target alpha >= 192 uses per-channel coverage: blue covered, green and red not.
        {"32-bit transparent, opaque target, per channel", 4, ModeBlendOver, 1, 0xFF102030, 0, {200, 200, 200, 255}, {255, 0, 0}, {0x10, 200, 200, 255}},
        // Opaque 32-bit: no coverage over an opaque back colour gives X = back, h = 255.
        {"32-bit opaque, no coverage", 4, ModeBlendOver, 0, 0xFF102030, 0xFF405060, {1, 2, 3, 9}, {0, 0, 0}, {0x40, 0x50, 0x60, 255}},
        {"32-bit opaque keep alpha", 4, ModeBlendKeepAlpha, 0, 0xFF102030, 0xFF405060, {1, 2, 3, 9}, {255, 255, 255}, {0x10, 0x20, 0x30, 9}},
        {"32-bit opaque, clear back, no coverage leaves target", 4, ModeBlendOver, 0, 0xFF102030, 0x00405060, {1, 2, 3, 9}, {0, 0, 0}, {1, 2, 3, 9}},
    };
    RunPixelCases(cases, sizeof cases / sizeof cases[0]);
}

TEST(TextComposite, TextOverBackground) {
    TextColors k{};
    k.red = 200, k.green = 100, k.blue = 0, k.alpha = 255;
    k.backRed = 0, k.backGreen = 50, k.backBlue = 250, k.backAlpha = 128;
    // Ba < 192: one V = trunc(a*Fa) for all channels; a = 382/765.
    const uint8_t half[3] = {127, 127, 128};
    TextOverBackground x = TextOverBack(half, k);
    const int v = 127;  // trunc(382/765 * 255) = trunc(127.33)
    EXPECT_EQ(x.red, (200 * v * 255 + 0) / (v * 255 + (255 - v) * 128));
    EXPECT_EQ(x.green, (100 * v * 255 + 50 * (255 - v) * 128) / (v * 255 + (255 - v) * 128));
    EXPECT_EQ(x.blue, (0 + 250 * (255 - v) * 128) / (v * 255 + (255 - v) * 128));
    EXPECT_EQ(x.alpha, ((255 - v) * 128 + v * 255) / 255);
    // Ba >= 192: per-channel coverage; an uncovered channel keeps the back value.
    k.backAlpha = 200;
    const uint8_t blueOnly[3] = {255, 0, 0};
    x = TextOverBack(blueOnly, k);
    EXPECT_EQ(x.blue, 0);
    EXPECT_EQ(x.green, 50);
    EXPECT_EQ(x.red, 0);
    EXPECT_EQ(x.alpha, ((255 - 85) * 200 + 85 * 255) / 255);  // V = trunc(255/765*255) = 85
}

TEST(TextComposite, PremultipliedBackComponentsAreReadAsPlainChannels) {
    Target t(1, 1, 3, true);
    t.SetMode(ModeBlendOver);
    t.SetFront(0xFF000000);
    RasterTail& r = t.canvas.raster;
    r.premultiply = 1;
    r.backAlpha = 255;
    r.backRed = 10 * 255, r.backGreen = 20 * 255, r.backBlue = 30 * 255;
    const uint8_t none[3] = {0, 0, 0};
    TextComposite(&t.canvas, none, 3, 0, 0, 1, 1, 0);
    EXPECT_EQ(t.At(0, 0)[0], 30);
    EXPECT_EQ(t.At(0, 0)[1], 20);
    EXPECT_EQ(t.At(0, 0)[2], 10);
}

TEST(TextComposite, BlockRowsMapToDrawingAreaRows) {
    for (bool bottomUp : {true, false}) {
        Target t(4, 3, 3, bottomUp);
        t.SetFront(0x00FFFFFF);
        // Block 2 by 2: only block row 0, column 1 is covered.
        std::vector<uint8_t> block(2 * 2 * 3, 0);
        block[3] = block[4] = block[5] = 255;
        TextComposite(&t.canvas, block.data(), 6, 1, 1, 2, 2, 1);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(t.At(x, y)[0], (x == 2 && y == 1) ? 255 : 0) << "bottomUp " << bottomUp << " at " << x << "," << y;
    }
}

TEST(TextComposite, ClipsToTheDrawingArea) {
    struct Case { int x, y, w, h; int firstX, firstY, lastX, lastY; };  // expected lit area, inclusive; first > last: none
    const Case cases[] = {
        {0, 0, 5, 4, 0, 0, 4, 3},
        {-3, -2, 5, 4, 0, 0, 1, 1},
        {8, 5, 5, 4, 8, 5, 9, 7},
        {-5, 0, 5, 4, 1, 0, 0, -1},      // ends exactly at column 0: nothing
        {10, 0, 5, 4, 1, 0, 0, -1},      // starts at the right edge
        {0, 8, 5, 4, 1, 0, 0, -1},
        {-2000000000, -2000000000, 5, 4, 1, 0, 0, -1},
        {2000000000, 2000000000, 5, 4, 1, 0, 0, -1},
        {2147483000, 0, 5, 4, 1, 0, 0, -1},  // x + w would wrap a 32-bit int
        {0, 0, 0, 4, 1, 0, 0, -1},
        {0, 0, -5, 4, 1, 0, 0, -1},
        {0, 0, 5, -4, 1, 0, 0, -1},
    };
    for (int bpp : {3, 4}) {
        for (const Case& c : cases) {
            Target t(10, 8, bpp, true);
            t.SetFront(0x00FFFFFF);
            const int bw = c.w > 0 ? c.w : 1, bh = c.h > 0 ? c.h : 1;
            std::vector<uint8_t> block = Block(bw, bh, 255, 255, 255);
            TextComposite(&t.canvas, block.data(), bw * 3, c.x, c.y, c.w, c.h, 1);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 10; ++x) {
                    const bool lit = x >= c.firstX && x <= c.lastX && y >= c.firstY && y <= c.lastY;
                    ASSERT_EQ(t.At(x, y)[1], lit ? 255 : 0) << c.x << "," << c.y << " " << c.w << "x" << c.h << " at " << x << "," << y;
                }
            EXPECT_TRUE(t.GuardsIntact());
        }
    }
}

TEST(TextComposite, BlockColumnsLandOnTargetColumnsWhenStartingLeft) {
    // Each block column carries its index as coverage; starting at x = -3 the
    // block column 3 must land at target column 0.
    Target t(6, 1, 3, true);
    t.SetFront(0x00FFFFFF);
    std::vector<uint8_t> block(8 * 3);
    for (int j = 0; j < 8; ++j) block[j * 3] = block[j * 3 + 1] = block[j * 3 + 2] = static_cast<uint8_t>(j * 10);
    TextComposite(&t.canvas, block.data(), 24, -3, 0, 8, 1, 1);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(t.At(x, 0)[0], (x + 3) * 10) << x;
    EXPECT_EQ(t.At(5, 0)[0], 0);
}

TEST(TextComposite, ClippedAreaUsesItsOwnPixelsAndSize) {
    // A drawing area narrowed to columns 2..5 and rows 1..2 of a 8 by 4 output.
    Target t(8, 4, 4, true);
    t.SetFront(0x00FFFFFF);
    t.canvas.width = 4;
    t.canvas.height = 2;
    // Bottom-up: the area's first stored row is fullHeight - y - h = 4 - 1 - 2 = 1.
    t.canvas.raster.pixels = t.memory.data() + Target::kGuard + 1 * t.pitch + 2 * 4;
    std::vector<uint8_t> block = Block(20, 20, 255, 255, 255);
    TextComposite(&t.canvas, block.data(), 60, -5, -5, 20, 20, 1);
    t.canvas.width = 8, t.canvas.height = 4;  // address the whole output again
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(t.At(x, y)[0], (x >= 2 && x <= 5 && y >= 1 && y <= 2) ? 255 : 0) << x << "," << y;
    EXPECT_TRUE(t.GuardsIntact());
}

struct FilterLog {
    int calls = 0;
    int x = 0, y = 0;
    Color source = 0, target = 0;
};
FilterLog filterLog;

Color RecordingFilter(int x, int y, Color source, Color target) {
    ++filterLog.calls;
    filterLog.x = x, filterLog.y = y, filterLog.source = source, filterLog.target = target;
    return 0x11223344;
}

TEST(TextComposite, FilterReceivesWeightedColourAndStoresItsResult) {
    for (int bpp : {3, 4}) {
        filterLog = FilterLog{};
        Target t(4, 4, bpp, true);
        t.SetMode(ModeFilter | ModeXorColor);  // the filter wins over every other rule
        t.SetFront(0xC8102030);
        t.canvas.raster.filterCallback = RecordingFilter;
        uint8_t* p = t.At(2, 3);
        p[0] = 0x0A, p[1] = 0x0B, p[2] = 0x0C;
        if (bpp == 4) p[3] = 0x0D;
        const uint8_t block[3] = {255, 255, 0};  // a = 2/3: alpha trunc(200*2/3) = 133
        TextComposite(&t.canvas, block, 3, 2, 3, 1, 1, 0);
        EXPECT_EQ(filterLog.calls, 1);
        EXPECT_EQ(filterLog.x, 2);
        EXPECT_EQ(filterLog.y, 3);
        EXPECT_EQ(filterLog.source, 0x85102030u);
        EXPECT_EQ(filterLog.target, bpp == 4 ? 0x0D0A0B0Cu : 0xFF0A0B0Cu);
        EXPECT_EQ(p[0], 0x22);
        EXPECT_EQ(p[1], 0x33);
        EXPECT_EQ(p[2], 0x44);
        if (bpp == 4) {
            EXPECT_EQ(p[3], 0x11);
        }
    }
}

double GradientAtOne(Canvas*, int, int) { return 1.0; }

TEST(TextComposite, GradientColourReplacesTheFrontColour) {
    Target t(2, 1, 3, true);
    t.SetMode(ModeGradientFill);
    t.SetFront(0x00000000);
    t.canvas.gradientColor1 = 0xFF336699;
    t.canvas.gradientColor2 = 0xFF000000;
    t.canvas.raster.gradientCallback = GradientAtOne;
    std::vector<uint8_t> block = Block(2, 1, 255, 255, 255);
    TextComposite(&t.canvas, block.data(), 6, 0, 0, 2, 1, 1);
    EXPECT_EQ(t.At(1, 0)[0], 0x33);
    EXPECT_EQ(t.At(1, 0)[1], 0x66);
    EXPECT_EQ(t.At(1, 0)[2], 0x99);
}

TEST(TextComposite, MissingPixelsOrBlockDrawNothing) {
    Target t(2, 2, 3, true);
    t.SetFront(0x00FFFFFF);
    TextComposite(&t.canvas, nullptr, 3, 0, 0, 1, 1, 1);
    TextComposite(nullptr, nullptr, 3, 0, 0, 1, 1, 1);
    uint8_t* pixels = t.canvas.raster.pixels;
    t.canvas.raster.pixels = nullptr;
    const uint8_t block[3] = {255, 255, 255};
    TextComposite(&t.canvas, block, 3, 0, 0, 1, 1, 1);
    t.canvas.raster.pixels = pixels;
    EXPECT_EQ(t.At(0, 0)[0], 0);
}

}  // namespace

namespace {

// Through a real raster Canvas: the back colour set by its slot, in the modes
// where the back components hold premultiplied channels.
TEST(TextComposite, BackColourFromTheRasterCanvasSlots) {
    struct Case { int mode; Color back; uint8_t expected[3]; };
    const Case cases[] = {
        {0, 0x80405060, {0x40, 0x50, 0x60}},
        {ModeBlendOver, 0xFF405060, {0x40, 0x50, 0x60}},       // premultiplied by 255
        {ModeBlendKeepAlpha, 0xFF405060, {0x40, 0x50, 0x60}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> pixels(4 * 4, 7);
        Canvas* canvas = RasterCanvasCreate(PixelFormatBGR24 | PixelFormatBottomUp);
        ASSERT_NE(canvas, nullptr);
        canvas->width = 1, canvas->height = 1;
        canvas->raster.pixels = pixels.data();
        canvas->raster.pitch = 4;
        ASSERT_NE(CanvasBegin(canvas), 0);
        canvas->setMode(canvas, c.mode);
        canvas->setBackColor(canvas, c.back);
        const uint8_t none[3] = {0, 0, 0};
        TextComposite(canvas, none, 3, 0, 0, 1, 1, 0);
        CanvasEnd();
        for (int k = 0; k < 3; ++k) EXPECT_EQ(pixels[k], c.expected[k]) << "mode " << c.mode << " byte " << k;
        EXPECT_EQ(pixels[3], 7);
    }
}

}  // namespace
