#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "runtime/drawing/raster/blit.h"
#include "tests/drawing/pixel_block.h"

namespace {

// Draws source onto target at (x, y) through the blitter of the source's depth.
void Draw(PixelBlock& target, PixelBlock& source, int x, int y, int mode = 0, int alpha = 255, int useAlpha = 0) {
    BlockCanvas canvas(target, mode);
    // A top-down source is handed over as a bottom-up block with a negative pitch.
    const uint8_t* bits = source.bytes.get();
    int pitch = source.pitch;
    if (!source.bottomUp) {
        bits += static_cast<size_t>(source.height - 1) * source.pitch;
        pitch = -pitch;
    }
    if (source.bytesPerPixel == 4)
        BlitFrom32(canvas.get(), bits, pitch, x, y, source.width, source.height, alpha, useAlpha);
    else
        BlitFrom24(canvas.get(), bits, pitch, x, y, source.width, source.height, alpha);
}

// Checks target against the picture expected from drawing source at (x, y) in
// a copying mode: every pixel covered by the source has its colour bytes, every
// other pixel keeps the background pattern.
void ExpectCopied(PixelBlock& target, PixelBlock& source, int x, int y, int backgroundSeed) {
    PixelBlock background(target.width, target.height, target.bytesPerPixel, target.bottomUp);
    background.Pattern(backgroundSeed);
    int mismatches = 0;
    for (int ty = 0; ty < target.height; ++ty)
        for (int tx = 0; tx < target.width; ++tx) {
            const int64_t sx = static_cast<int64_t>(tx) - x, sy = static_cast<int64_t>(ty) - y;
            const bool covered = sx >= 0 && sy >= 0 && sx < source.width && sy < source.height;
            const uint8_t* want = covered ? source.At(static_cast<int>(sx), static_cast<int>(sy)) : background.At(tx, ty);
            const uint8_t* got = target.At(tx, ty);
            const bool same = std::memcmp(got, want, 3) == 0 &&
                              (target.bytesPerPixel == 3 || got[3] == background.At(tx, ty)[3]);
            if (!same && ++mismatches <= 3)
                ADD_FAILURE() << "pixel (" << tx << "," << ty << ") wrong after drawing at (" << x << "," << y << ")";
        }
    EXPECT_EQ(mismatches, 0);
}

struct Position {
    int x, y;
};

const Position kPositions[] = {
    {0, 0}, {-3, -2}, {15, 10}, {20, 0}, {0, -10}, {-10, 0}, {0, 15}, {19, 14}, {-9, -9}, {5, 3},
    {INT_MAX, 0}, {0, INT_MAX}, {INT_MIN, 0}, {0, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN},
    {INT_MAX - 5, INT_MIN + 5}, {-2147483600, 3},
};

TEST(BlitClipping, CopiesExactlyTheVisiblePartWhateverThePosition) {
    struct Layout {
        int targetBpp, sourceBpp;
        bool targetBottomUp, sourceBottomUp;
    };
    const Layout layouts[] = {
        {3, 3, true, true}, {3, 4, true, true}, {4, 3, true, true}, {4, 4, true, true},
        {3, 3, false, true}, {4, 4, false, true}, {3, 3, true, false}, {4, 3, false, false},
    };
    for (const Layout& l : layouts)
        for (const Position& p : kPositions) {
            SCOPED_TRACE(testing::Message() << "target " << l.targetBpp << (l.targetBottomUp ? "bu" : "td")
                                            << " source " << l.sourceBpp << (l.sourceBottomUp ? "bu" : "td"));
            PixelBlock target(20, 15, l.targetBpp, l.targetBottomUp);
            target.Pattern(1);
            PixelBlock source(10, 10, l.sourceBpp, l.sourceBottomUp);
            source.Pattern(99);
            Draw(target, source, p.x, p.y);
            ExpectCopied(target, source, p.x, p.y, 1);
        }
}

TEST(BlitClipping, RandomPositionsAndSizesStayInsideBothBlocks) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> size(1, 40), position(-60, 60);
    for (int round = 0; round < 300; ++round) {
        const int bpp = round % 2 ? 4 : 3;
        PixelBlock target(size(random), size(random), bpp, round % 3 != 0);
        target.Pattern(2);
        PixelBlock source(size(random), size(random), round % 4 < 2 ? 3 : 4);
        source.Pattern(7);
        const int x = position(random), y = position(random);
        Draw(target, source, x, y);
        ExpectCopied(target, source, x, y, 2);
        if (HasFailure()) return;
    }
}

TEST(BlitClipping, EdgeCasesOnAnImageSizedTarget) {
    PixelBlock target(800, 600, 3);
    PixelBlock source(10, 10, 3);
    source.Pattern(5);
    struct Case {
        int x, y, expectWidth, expectHeight;
    };
    const Case cases[] = {{-3, -2, 7, 8}, {795, 595, 5, 5}, {800, 0, 0, 0}, {0, -10, 0, 0}, {0, 600, 0, 0}};
    for (const Case& c : cases) {
        target.Pattern(1);
        BlockCanvas canvas(target);
        BlitRect r;
        const bool visible = BlitClip(canvas.get(), c.x, c.y, 10, 10, &r);
        EXPECT_EQ(visible, c.expectWidth > 0) << c.x << "," << c.y;
        if (visible) {
            EXPECT_EQ(r.width, c.expectWidth);
            EXPECT_EQ(r.height, c.expectHeight);
        }
        Draw(target, source, c.x, c.y);
        ExpectCopied(target, source, c.x, c.y, 1);
    }
}

TEST(BlitClipping, NegativeOrEmptyDrawingAreaDrawsNothing) {
    PixelBlock target(8, 8, 3);
    PixelBlock source(4, 4, 3);
    source.Pattern(3);
    const int sizes[][2] = {{-5, 8}, {8, -5}, {0, 8}, {8, 0}, {INT_MIN, INT_MIN}};
    for (auto& s : sizes) {
        BlockCanvas canvas(target);
        canvas->width = s[0];
        canvas->height = s[1];
        BlitFrom24(canvas.get(), source.bytes.get(), source.pitch, 0, 0, 4, 4, 255);
        BlitRect r;
        EXPECT_FALSE(BlitClip(canvas.get(), 0, 0, 4, 4, &r));
    }
    for (size_t i = 0; i < target.Size(); ++i) ASSERT_EQ(target.bytes[i], 0);
    // A source of no pixels or a null pointer draws nothing either.
    BlockCanvas canvas(target);
    BlitFrom24(canvas.get(), nullptr, 12, 0, 0, 4, 4, 255);
    BlitFrom32(canvas.get(), source.bytes.get(), 16, 0, 0, 0, 4, 255, 0);
    BlitFrom32(canvas.get(), source.bytes.get(), 16, 0, 0, 4, -4, 255, 0);
    for (size_t i = 0; i < target.Size(); ++i) ASSERT_EQ(target.bytes[i], 0);
}

TEST(Blit, FullImageCopyIsByteForByte) {
    PixelBlock target(800, 600, 3);
    PixelBlock source(800, 600, 3);
    source.Pattern(11);
    Draw(target, source, 0, 0);
    EXPECT_EQ(std::memcmp(target.bytes.get(), source.bytes.get(), source.Size()), 0);
}

TEST(Blit, DrawsIntoTheClippedDrawingAreaOnly) {
    // A drawing area narrowed to columns 2..5 and rows 1..3 of a 8 by 6 output.
    PixelBlock target(8, 6, 3);
    PixelBlock source(8, 6, 3);
    source.Pattern(4);
    BlockCanvas canvas(target);
    canvas->width = 4;
    canvas->height = 3;
    canvas->raster.pixels = target.At(2, 3);  // the area's bottom-left pixel starts its first stored row
    BlitFrom24(canvas.get(), source.bytes.get(), source.pitch, -1, -1, 8, 6, 255);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 1 && y < 4;
            const uint8_t* p = target.At(x, y);
            if (!inside) {
                EXPECT_EQ(p[0] | p[1] | p[2], 0) << x << "," << y;
            } else {
                // Area pixel (x-2, y-1) comes from source pixel (x-2+1, y-1+1).
                EXPECT_EQ(std::memcmp(p, source.At(x - 1, y), 3), 0) << x << "," << y;
            }
        }
}

// One pixel drawn by a rule: source pixel onto target pixel.
struct RuleCase {
    const char* name;
    int sourceBpp, targetBpp, mode, alpha, useAlpha;
    uint8_t source[4];
    uint8_t target[4];
    uint8_t expect[4];
};

const RuleCase kRuleCases[] = {
    // 32-bit source.
    {"copy ignores alpha onto 24", 4, 3, 0, 255, 0, {10, 20, 30, 100}, {200, 200, 200}, {10, 20, 30}},
    {"copy keeps target alpha", 4, 4, 0, 255, 0, {10, 20, 30, 100}, {200, 200, 200, 7}, {10, 20, 30, 7}},
    {"copy ignores alpha argument", 4, 4, 0, 0, 0, {10, 20, 30, 100}, {200, 200, 200, 7}, {10, 20, 30, 7}},
    {"useAlpha opaque pixel, A=128", 4, 3, 0, 128, 1, {10, 10, 10, 255}, {200, 200, 200}, {104, 104, 104}},
    {"useAlpha pixel 100, A=50", 4, 3, 0, 128, 1, {10, 10, 10, 100}, {200, 200, 200}, {162, 162, 162}},
    {"useAlpha transparent pixel", 4, 3, 0, 255, 1, {10, 10, 10, 0}, {200, 200, 200}, {200, 200, 200}},
    {"blend over 32", 4, 4, ModeBlendOver, 255, 0, {100, 100, 100, 64}, {200, 200, 200, 128}, {159, 159, 159, 159}},
    {"blend keep alpha 32", 4, 4, ModeBlendKeepAlpha, 255, 0, {100, 100, 100, 64}, {200, 200, 200, 128},
     {159, 159, 159, 128}},
    {"blend over, A=0 untouched", 4, 4, ModeBlendOver, 255, 0, {1, 2, 3, 0}, {200, 201, 202, 128},
     {200, 201, 202, 128}},
    {"blend over onto transparent", 4, 4, ModeBlendOver, 255, 0, {1, 2, 3, 90}, {200, 201, 202, 0}, {1, 2, 3, 90}},
    {"useAlpha blends over on 32", 4, 4, 0, 255, 1, {100, 100, 100, 64}, {200, 200, 200, 128},
     {159, 159, 159, 159}},
    {"blend over onto 24", 4, 3, ModeBlendOver, 255, 0, {100, 100, 100, 128}, {200, 200, 200}, {149, 149, 149}},
    {"blend keep alpha onto 24", 4, 3, ModeBlendKeepAlpha, 255, 0, {100, 100, 100, 128}, {200, 200, 200},
     {149, 149, 149}},
    {"xor 32", 4, 4, ModeXorColor, 255, 0, {0x0F, 0xF0, 0xFF, 9}, {0xFF, 0xFF, 0x0F, 5}, {0xF0, 0x0F, 0xF0, 5}},
    {"xor wins over blend", 4, 3, ModeXorColor | ModeBlendOver, 255, 0, {1, 2, 3, 0}, {3, 3, 3}, {2, 1, 0}},
    {"write all opaque", 4, 4, ModeWriteAll, 255, 0, {1, 2, 3, 4}, {9, 9, 9, 9}, {1, 2, 3, 4}},
    {"write all scaled", 4, 4, ModeWriteAll, 128, 0, {1, 2, 3, 200}, {9, 9, 9, 9}, {1, 2, 3, 100}},
    {"write all flag on 24 copies", 4, 3, ModeWriteAll, 255, 0, {1, 2, 3, 4}, {9, 9, 9}, {1, 2, 3}},
    {"alpha only 32", 4, 4, ModeAlphaOnly, 128, 0, {1, 2, 3, 255}, {9, 9, 9, 9}, {9, 9, 9, 128}},
    {"alpha only wins over blend", 4, 4, ModeAlphaOnly | ModeBlendOver, 255, 0, {1, 2, 3, 40}, {9, 9, 9, 9},
     {9, 9, 9, 40}},
    {"alpha only onto 24", 4, 3, ModeAlphaOnly, 255, 0, {1, 2, 3, 255}, {9, 9, 9}, {9, 9, 9}},
    {"gradient and hollow play no part", 4, 4, ModeGradientFill | ModeHollow, 255, 0, {1, 2, 3, 4}, {9, 9, 9, 9},
     {1, 2, 3, 9}},
    // 24-bit source.
    {"24 copy onto 24", 3, 3, 0, 255, 0, {1, 2, 3}, {9, 9, 9}, {1, 2, 3}},
    {"24 alpha 0 draws nothing", 3, 3, 0, 0, 0, {1, 2, 3}, {9, 9, 9}, {9, 9, 9}},
    {"24 blend A=128", 3, 3, 0, 128, 0, {100, 100, 100}, {200, 200, 200}, {149, 149, 149}},
    {"24 blend modes on 24 use alpha", 3, 3, ModeBlendOver, 128, 0, {100, 100, 100}, {200, 200, 200},
     {149, 149, 149}},
    {"24 copy onto 32 keeps alpha", 3, 4, 0, 255, 0, {1, 2, 3}, {9, 9, 9, 7}, {1, 2, 3, 7}},
    {"24 alpha 0 onto 32", 3, 4, 0, 0, 0, {1, 2, 3}, {9, 9, 9, 7}, {9, 9, 9, 7}},
    {"24 partial alpha blends over on 32", 3, 4, 0, 64, 0, {100, 100, 100}, {200, 200, 200, 128},
     {159, 159, 159, 159}},
    {"24 blend over on 32", 3, 4, ModeBlendOver, 64, 0, {100, 100, 100}, {200, 200, 200, 128}, {159, 159, 159, 159}},
    {"24 blend keep alpha on 32", 3, 4, ModeBlendKeepAlpha, 64, 0, {100, 100, 100}, {200, 200, 200, 128},
     {159, 159, 159, 128}},
    {"24 write all", 3, 4, ModeWriteAll, 77, 0, {1, 2, 3}, {9, 9, 9, 9}, {1, 2, 3, 77}},
    {"24 alpha only", 3, 4, ModeAlphaOnly, 255, 0, {1, 2, 3}, {9, 9, 9, 9}, {9, 9, 9, 255}},
    {"24 alpha only onto 24", 3, 3, ModeAlphaOnly, 255, 0, {1, 2, 3}, {9, 9, 9}, {9, 9, 9}},
    {"24 xor", 3, 3, ModeXorColor, 255, 0, {1, 2, 3}, {3, 3, 3}, {2, 1, 0}},
    {"alpha above 255 is clamped", 3, 3, 0, 300, 0, {1, 2, 3}, {9, 9, 9}, {1, 2, 3}},
    {"alpha below 0 is clamped", 3, 3, 0, -4, 0, {1, 2, 3}, {9, 9, 9}, {9, 9, 9}},
};

TEST(BlitRules, EveryModeRowOfBothSources) {
    for (const RuleCase& c : kRuleCases) {
        SCOPED_TRACE(c.name);
        PixelBlock target(3, 2, c.targetBpp);
        PixelBlock source(1, 1, c.sourceBpp);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) std::memcpy(target.At(x, y), c.target, static_cast<size_t>(c.targetBpp));
        std::memcpy(source.At(0, 0), c.source, static_cast<size_t>(c.sourceBpp));
        Draw(target, source, 1, 1, c.mode, c.alpha, c.useAlpha);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const uint8_t* want = x == 1 && y == 1 ? c.expect : c.target;
                const uint8_t* got = target.At(x, y);
                for (int b = 0; b < c.targetBpp; ++b)
                    EXPECT_EQ(got[b], want[b]) << "pixel " << x << "," << y << " byte " << b;
            }
    }
}

struct FilterCall {
    int x, y;
    Color source, target;
};
std::vector<FilterCall> gFilterCalls;

Color RecordingFilter(int x, int y, Color source, Color target) {
    gFilterCalls.push_back({x, y, source, target});
    return 0x80112233u;  // alpha 0x80, blue 0x11, green 0x22, red 0x33
}

TEST(BlitRules, FilterSeesDrawingAreaCoordinatesAndBothColours) {
    struct Case {
        int sourceBpp, targetBpp, alpha;
        bool bottomUp;
        Color firstSource, firstTarget;
    };
    // Source top-left pixel: blue 1, green 2, red 3 (alpha 200 on 32 bits).
    const Case cases[] = {
        {4, 4, 255, true, 0xC8010203u, 0x40050607u},
        {4, 4, 128, false, 0x64010203u, 0x40050607u},
        {3, 3, 90, true, 0x5A010203u, 0xFF050607u},
        {3, 4, 255, true, 0xFF010203u, 0x40050607u},
    };
    for (const Case& c : cases) {
        PixelBlock target(4, 4, c.targetBpp, c.bottomUp);
        target.Fill(5, 6, 7, 0x40);
        PixelBlock source(2, 2, c.sourceBpp);
        source.Fill(50, 50, 50, 10);
        uint8_t* p = source.At(0, 0);
        p[0] = 1;  // memory order blue, green, red
        p[1] = 2;
        p[2] = 3;
        if (c.sourceBpp == 4) p[3] = 200;
        gFilterCalls.clear();
        BlockCanvas canvas(target, ModeFilter | ModeBlendOver);
        canvas->raster.filterCallback = RecordingFilter;
        if (c.sourceBpp == 4)
            BlitFrom32(canvas.get(), source.bytes.get(), source.pitch, 1, 2, 2, 2, c.alpha, 0);
        else
            BlitFrom24(canvas.get(), source.bytes.get(), source.pitch, 1, 2, 2, 2, c.alpha);
        ASSERT_EQ(gFilterCalls.size(), 4u);
        bool sawTopLeft = false;
        for (const FilterCall& call : gFilterCalls) {
            EXPECT_TRUE(call.x >= 1 && call.x <= 2 && call.y >= 2 && call.y <= 3) << call.x << "," << call.y;
            if (call.x == 1 && call.y == 2) {
                sawTopLeft = true;
                EXPECT_EQ(call.source, c.firstSource);
                EXPECT_EQ(call.target, c.firstTarget);
            }
        }
        EXPECT_TRUE(sawTopLeft);
        const uint8_t* written = target.At(2, 3);
        EXPECT_EQ(written[0], 0x11);
        EXPECT_EQ(written[1], 0x22);
        EXPECT_EQ(written[2], 0x33);
        if (c.targetBpp == 4) {
            EXPECT_EQ(written[3], 0x80);
        }
        EXPECT_EQ(target.At(0, 0)[0], 5);
    }
}

TEST(BlitCopyOut, GrabAtNegativeCornerKeepsUncoveredPartZero) {
    PixelBlock output(20, 20, 3);
    output.Pattern(8);
    PixelBlock grabbed(10, 10, 3);
    BlockCanvas canvas(output);
    EXPECT_EQ(BlitCopyOut(canvas.get(), -5, -5, grabbed.bytes.get(), grabbed.pitch, 10, 10), 5);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const uint8_t* p = grabbed.At(x, y);
            if (x < 5 || y < 5) {
                EXPECT_EQ(p[0] | p[1] | p[2], 0) << x << "," << y;
            } else {
                EXPECT_EQ(std::memcmp(p, output.At(x - 5, y - 5), 3), 0) << x << "," << y;
            }
        }
}

TEST(BlitCopyOut, RandomRectanglesMatchTheOutputAndStayInside) {
    std::mt19937 random(777);
    std::uniform_int_distribution<int> size(1, 30), position(-40, 40);
    for (int round = 0; round < 200; ++round) {
        const int bpp = round % 2 ? 4 : 3;
        PixelBlock output(size(random), size(random), bpp, round % 5 != 0);
        output.Pattern(round);
        const int w = size(random), h = size(random), x = position(random), y = position(random);
        PixelBlock grabbed(w, h, bpp);
        BlockCanvas canvas(output);
        BlitCopyOut(canvas.get(), x, y, grabbed.bytes.get(), grabbed.pitch, w, h);
        for (int gy = 0; gy < h; ++gy)
            for (int gx = 0; gx < w; ++gx) {
                const int ox = x + gx, oy = y + gy;
                const bool inside = ox >= 0 && oy >= 0 && ox < output.width && oy < output.height;
                const uint8_t* p = grabbed.At(gx, gy);
                if (inside) {
                    ASSERT_EQ(std::memcmp(p, output.At(ox, oy), static_cast<size_t>(bpp)), 0) << round;
                } else {
                    for (int b = 0; b < bpp; ++b) ASSERT_EQ(p[b], 0) << round;
                }
            }
    }
    // Extreme positions copy nothing and touch nothing.
    PixelBlock output(4, 4, 3);
    PixelBlock grabbed(4, 4, 3);
    BlockCanvas canvas(output);
    EXPECT_EQ(BlitCopyOut(canvas.get(), INT_MAX, INT_MIN, grabbed.bytes.get(), grabbed.pitch, 4, 4), 0);
    EXPECT_EQ(BlitCopyOut(canvas.get(), INT_MIN, INT_MAX, grabbed.bytes.get(), grabbed.pitch, 4, 4), 0);
}

}  // namespace
