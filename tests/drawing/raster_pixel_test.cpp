#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "runtime/drawing/raster/raster_pixel.h"
#include "tests/drawing/raster_fixture.h"

namespace {

constexpr int Wide = PixelFormatBGRA32 | PixelFormatBottomUp;
constexpr int Narrow = PixelFormatBGR24 | PixelFormatBottomUp;

TEST(RasterSetMode, NormalisesFlagsAndChoosesTheWriterPair) {
    struct Case {
        int format, flags, modeFlags, premultiply, sameAs;
    } cases[] = {
        {Wide, 0x110, 0x100, 0, 0x100},   {Narrow, 0x110, 0x000, 0, 0x00},  {Wide, 0x18, 0x18, 1, 0x08},
        {Narrow, 0x18, 0x18, 1, 0x08},    {Wide, 0x12, 0x12, 0, 0x02},      {Narrow, 0x12, 0x12, 0, 0x02},
        {Wide, 0x30, 0x30, 1, 0x10},      {Narrow, 0x20, 0x20, 1, 0x10},    {Wide, 0x20, 0x20, 1, 0x20},
        {Wide, 0x138, 0x100, 0, 0x100},   {Narrow, 0x138, 0x000, 0, 0x00},  {Wide, 0x14, 0x14, 1, 0x10},
        {Wide, 0x50, 0x50, 0, 0x40},      {Wide, 0x90, 0x90, 0, 0x40},      {Narrow, 0x42, 0x42, 0, 0x80},
        {Wide, 0x05, 0x05, 0, 0x00},      {Wide, 0x1001, 0x1001, 0, 0x00},  {Wide, 0x102, 0x102, 0, 0x02},
    };
    for (const Case& k : cases) {
        MemoryCanvas m(2, 2, k.format);
        Canvas* c = m.canvas;
        c->setMode(c, k.sameAs);
        auto plot = c->plot;
        auto plotColor = c->plotColor;
        c->setMode(c, k.flags);
        EXPECT_EQ(c->raster.modeFlags, k.modeFlags) << std::hex << k.format << " " << k.flags;
        EXPECT_EQ(c->raster.premultiply, k.premultiply) << std::hex << k.format << " " << k.flags;
        EXPECT_EQ(c->raster.gradientOn, k.modeFlags & 0x40);
        EXPECT_EQ(c->raster.filterOn, k.modeFlags & 0x80);
        EXPECT_EQ(c->plot, plot) << std::hex << k.format << " " << k.flags;
        EXPECT_EQ(c->plotColor, plotColor) << std::hex << k.format << " " << k.flags;
    }
}

TEST(RasterSetMode, AlphaOnlyOnA24BitTargetWritesNothing) {
    MemoryCanvas m(3, 3, Narrow, 0x11);
    Canvas* c = m.canvas;
    c->setMode(c, 0x18);
    m.SetFront(0xFFFFFFFF);
    c->plot(c, 1, 1);
    c->plotColor(c, 1, 1, 0xFFFFFFFF);
    c->line(c, 0, 0, 2, 2);
    c->box(c, 0, 0, 3, 3);
    for (uint8_t b : m.memory) EXPECT_EQ(b, 0x11);
}

TEST(RasterSetMode, ResplitsBothColoursForThePremultiplication) {
    MemoryCanvas m(1, 1, Wide);
    Canvas* c = m.canvas;
    c->frontColor = 0x80102030;
    c->backColor = 0x40FF0001;
    c->setMode(c, ModeBlendOver);
    const RasterTail& r = c->raster;
    EXPECT_EQ(r.frontRed, 0x30 * 0x80);
    EXPECT_EQ(r.frontGreen, 0x20 * 0x80);
    EXPECT_EQ(r.frontBlue, 0x10 * 0x80);
    EXPECT_EQ(r.frontAlpha, 0x80);
    EXPECT_EQ(r.frontInverse, 0x7F);
    EXPECT_EQ(r.backRed, 1 * 0x40);
    EXPECT_EQ(r.backBlue, 0xFF * 0x40);
    EXPECT_EQ(r.backInverse, 0xBF);
    c->setMode(c, 0);
    EXPECT_EQ(r.frontRed, 0x30);
    EXPECT_EQ(r.backBlue, 0xFF);
    EXPECT_EQ(r.backAlpha, 0x40);
}

// Each writer family, front member (plot after setFrontColor) and explicit
// member (plotColor) alike, on one pixel.
TEST(RasterWriters, WriteEachModeByItsRule) {
    struct Case {
        const char* name;
        int format, mode;
        Color colour, target, expected;
    } cases[] = {
        {"copy32", Wide, 0, 0x40646464, 0x80C8C8C8, 0x80646464},
        {"copy24 ignores alpha", Narrow, 0, 0xFF336699, 0x00000000, 0x00336699},
        {"xor32 keeps alpha", Wide, ModeXorColor, 0x40646464, 0x80C8C8C8, 0x80ACACAC},
        {"xor24", Narrow, ModeXorColor, 0xFF0000FF, 0x00123456, 0x001234A9},
        {"write-all", Wide, ModeWriteAll, 0x40646464, 0x80C8C8C8, 0x40646464},
        {"alpha-only", Wide, ModeAlphaOnly, 0x40646464, 0x80C8C8C8, 0x40C8C8C8},
        {"blend-over example", Wide, ModeBlendOver, 0x40646464, 0x80C8C8C8, 0x9F9F9F9F},
        {"blend-keep-alpha", Wide, ModeBlendKeepAlpha, 0x40646464, 0x80C8C8C8, 0x809F9F9F},
        {"blend-over alpha 0 changes nothing", Wide, ModeBlendOver, 0x00646464, 0x80C8C8C8, 0x80C8C8C8},
        {"blend-over onto alpha 0", Wide, ModeBlendOver, 0x40123456, 0x00C8C8C8, 0x40123456},
        {"blend-keep onto alpha 0", Wide, ModeBlendKeepAlpha, 0x40123456, 0x00C8C8C8, 0x00123456},
        {"blend-over opaque", Wide, ModeBlendOver, 0xFF123456, 0x80C8C8C8, 0xFF123456},
        {"blend-over onto opaque", Wide, ModeBlendOver, 0x80FF0000, 0xFF0000FF, 0xFF80007F},
        {"blend24 example", Narrow, ModeBlendOver, 0x80646464, 0x00C8C8C8, 0x00959595},
        {"blend24 keep-alpha bit", Narrow, ModeBlendKeepAlpha, 0x80646464, 0x00C8C8C8, 0x00959595},
        {"blend24 alpha 255 exact", Narrow, ModeBlendOver, 0xFF123456, 0x00C8C8C8, 0x00123456},
        {"blend24 alpha 0 unchanged", Narrow, ModeBlendOver, 0x00123456, 0x00C8C8C8, 0x00C8C8C8},
    };
    for (const Case& k : cases) {
        for (int member = 0; member < 2; ++member) {
            MemoryCanvas m(3, 2, k.format);
            Canvas* c = m.canvas;
            c->setMode(c, k.mode);
            m.Set(1, 1, k.target);
            if (member == 0) {
                m.SetFront(k.colour);
                c->plot(c, 1, 1);
            } else {
                c->plotColor(c, 1, 1, k.colour);
            }
            EXPECT_EQ(m.Get(1, 1), k.expected) << k.name << (member ? " plotColor" : " plot");
            EXPECT_EQ(m.Get(0, 1), 0u) << k.name;  // neighbours untouched
            EXPECT_EQ(m.Get(2, 1), 0u) << k.name;
            EXPECT_EQ(m.Get(1, 0), 0u) << k.name;
        }
    }
}

TEST(RasterWriters, ModeZeroStoresBlueGreenRedInMemoryOrder) {
    MemoryCanvas m(1, 1, PixelFormatBGR24);
    m.SetFront(0xFF336699);
    m.canvas->plot(m.canvas, 0, 0);
    ASSERT_EQ(m.memory.size(), 4u);
    EXPECT_EQ(m.memory[0], 0x33);
    EXPECT_EQ(m.memory[1], 0x66);
    EXPECT_EQ(m.memory[2], 0x99);
    EXPECT_EQ(m.memory[3], 0x00);  // row padding untouched
}

TEST(RasterWriters, BlendKeepAlphaNeverChangesAlpha) {
    for (Color target : {0x00102030u, 0x01FFFFFFu, 0x80808080u, 0xFF000000u})
        for (Color colour : {0x00FFFFFFu, 0x01000000u, 0x7F405060u, 0xFFFFFFFFu}) {
            MemoryCanvas m(1, 1, Wide);
            m.canvas->setMode(m.canvas, ModeBlendKeepAlpha);
            m.Set(0, 0, target);
            m.SetFront(colour);
            m.canvas->plot(m.canvas, 0, 0);
            m.canvas->plotColor(m.canvas, 0, 0, colour);
            EXPECT_EQ(m.Get(0, 0) >> 24, target >> 24);
        }
}

TEST(RasterReaders, PointReturnsAlphaOnlyInAlphaModesOf32BitTargets) {
    struct Case {
        int format, mode;
        Color expected;
    } cases[] = {
        {Wide, 0, 0x00112233},           {Wide, ModeXorColor, 0x00112233}, {Wide, ModeHollow, 0x00112233},
        {Wide, ModeGradientFill, 0x00112233}, {Wide, ModeAlphaOnly, 0xFF112233}, {Wide, ModeBlendOver, 0xFF112233},
        {Wide, ModeBlendKeepAlpha, 0xFF112233}, {Wide, ModeFilter, 0xFF112233},  {Wide, ModeWriteAll, 0xFF112233},
        {Narrow, ModeBlendOver, 0x00112233},   {Narrow, ModeWriteAll, 0x00112233},
    };
    for (const Case& k : cases) {
        MemoryCanvas m(2, 2, k.format);
        m.Set(1, 0, 0xFF112233);
        m.canvas->setMode(m.canvas, k.mode);
        EXPECT_EQ(m.canvas->point(m.canvas, 1, 0), k.expected) << std::hex << k.mode;
    }
}

TEST(RasterWriters, DefaultFilterKeepsTheTargetAndRecordsTheColour) {
    for (int format : {Wide, Narrow}) {
        MemoryCanvas m(2, 2, format);
        m.Set(0, 0, 0x7F445566);
        m.canvas->setMode(m.canvas, ModeFilter);
        m.canvas->plotColor(m.canvas, 0, 0, 0x80ABCDEF);
        EXPECT_EQ(m.Get(0, 0), format == Wide ? 0x7F445566u : 0x00445566u);
        EXPECT_EQ(m.canvas->frontColor, 0x80ABCDEFu);
    }
}

Color InvertFilter(int, int, Color source, Color target) { return (target ^ 0x00FFFFFF) + (source & 0xFF000000); }

TEST(RasterWriters, FilterStoresWhatTheCallbackReturns) {
    MemoryCanvas m(2, 1, Wide);
    RasterSetFilterCallback(m.canvas, InvertFilter);
    m.canvas->setMode(m.canvas, ModeFilter | ModeBlendOver);  // the filter's result is stored as it is
    m.Set(1, 0, 0x00102030);
    m.canvas->plotColor(m.canvas, 1, 0, 0x40000000);
    EXPECT_EQ(m.Get(1, 0), 0x40EFDFCFu);
    RasterSetFilterCallback(m.canvas, nullptr);
    EXPECT_EQ(m.canvas->raster.filterCallback, RasterDefaultFilter);
}

// The general writer gives the same pixel as the installed pair for the same
// mode and colour.
TEST(RasterWriters, GeneralWriterMatchesTheWriterPairs) {
    const int modes[] = {0, ModeXorColor, ModeWriteAll, ModeAlphaOnly, ModeBlendOver, ModeBlendKeepAlpha};
    const Color colours[] = {0x00000000, 0xFFFFFFFF, 0x40646464, 0x80FF0010, 0x01020304, 0xFE7F8081};
    const Color targets[] = {0x00000000, 0x80C8C8C8, 0xFF102030, 0x01FFFFFF};
    for (int format : {Wide, Narrow})
        for (int mode : modes)
            for (Color colour : colours)
                for (Color target : targets) {
                    MemoryCanvas pair(1, 1, format), general(1, 1, format);
                    pair.canvas->setMode(pair.canvas, mode);
                    pair.Set(0, 0, target);
                    pair.SetFront(colour);
                    pair.canvas->plot(pair.canvas, 0, 0);

                    general.canvas->gradientColor1 = colour;  // the default gradient position is 1.0
                    general.canvas->setMode(general.canvas, mode | ModeGradientFill);
                    general.Set(0, 0, target);
                    general.canvas->plot(general.canvas, 0, 0);
                    EXPECT_EQ(general.Get(0, 0), pair.Get(0, 0))
                        << std::hex << format << " mode " << mode << " colour " << colour << " target " << target;
                }
}

TEST(RasterWriters, CoordinatesOutsideTheAreaAreIgnored) {
    const int modes[] = {0, ModeXorColor, ModeWriteAll, ModeAlphaOnly, ModeBlendOver, ModeBlendKeepAlpha,
                         ModeGradientFill, ModeFilter};
    const int points[][2] = {{-1, 0}, {0, -1}, {4, 0}, {0, 3}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX},
                             {4, 3},  {-1, 3}, {INT_MIN, 0}, {0, INT_MAX}};
    for (int format : {Wide, Narrow, int{PixelFormatBGR24}})
        for (int mode : modes) {
            MemoryCanvas m(4, 3, format, 0x5A);
            Canvas* c = m.canvas;
            c->setMode(c, mode);
            m.SetFront(0xFFFFFFFF);
            for (const auto& p : points) {
                c->plot(c, p[0], p[1]);
                c->plotColor(c, p[0], p[1], 0x12345678);
                EXPECT_EQ(c->point(c, p[0], p[1]), 0u);
                RasterWritePixel(c, p[0], p[1]);
                RasterPlotChecked(c, p[0], p[1]);
            }
            for (uint8_t b : m.memory) ASSERT_EQ(b, 0x5A) << std::hex << format << " " << mode;
        }
}

TEST(RasterPlotChecked, WritesInsideTheArea) {
    MemoryCanvas m(4, 3, Narrow);
    m.SetFront(0x00ABCDEF);
    RasterPlotChecked(m.canvas, 3, 2);
    EXPECT_EQ(m.Get(3, 2), 0x00ABCDEFu);
    // Row 2 is the first stored row of a bottom-up output.
    EXPECT_EQ(m.memory[9], 0xAB);
    EXPECT_EQ(m.memory[11], 0xEF);
    EXPECT_EQ(m.memory[0], 0);
}

double gradientPosition;
double FixedPosition(Canvas*, int, int) { return gradientPosition; }

TEST(GradientColorAt, FollowsTheStops) {
    struct Case {
        double t;
        Color expected;
    } twoStops[] = {
        {0.1, 0xFF000066},  // u = 0.4 between gradientColor2 and red
        {1.0, 0xFFFF0000},  // exactly the last stop, at 1.0
        {0.25, 0xFF0000FF}, // exactly the first stop
        {0.625, 0xFF7F007F},
        {0.0, 0xFF000000},
    };
    MemoryCanvas m(1, 1, Wide);
    Canvas* c = m.canvas;
    RasterSetGradientCallback(c, FixedPosition);
    ASSERT_TRUE(RasterAddGradientStop(c, 1.0f, 0xFFFF0000));  // blue
    ASSERT_TRUE(RasterAddGradientStop(c, 0.25f, 0xFF0000FF));  // red
    for (const Case& k : twoStops) {
        gradientPosition = k.t;
        EXPECT_EQ(GradientColorAt(c, 0, 0), k.expected) << k.t;
    }

    RasterClearGradientStops(c);
    ASSERT_TRUE(RasterAddGradientStop(c, 0.5f, 0xFF00FF00));  // green, last stop below 1
    gradientPosition = 0.75;
    EXPECT_EQ(GradientColorAt(c, 0, 0), 0xFF7FFF7Fu);  // halfway from green to white
    gradientPosition = 0.25;
    EXPECT_EQ(GradientColorAt(c, 0, 0), 0xFF007F00u);  // halfway from black to green

    RasterClearGradientStops(c);
    c->gradientColor1 = 0x00FFFFFF;
    c->gradientColor2 = 0xFF000000;
    gradientPosition = 0.5;
    EXPECT_EQ(GradientColorAt(c, 0, 0), 0x7F7F7F7Fu);
    RasterSetGradientCallback(c, nullptr);
    EXPECT_EQ(GradientColorAt(c, 0, 0), 0x00FFFFFFu);  // the default position is 1.0
}

TEST(GradientColorAt, StaysDefinedForAnyCallbackResult) {
    MemoryCanvas m(1, 1, Wide);
    Canvas* c = m.canvas;
    RasterSetGradientCallback(c, FixedPosition);
    ASSERT_TRUE(RasterAddGradientStop(c, 0.0f, 0xFF0000FF));
    for (double t : {-1.0, 2.0, 1e30, -1e30, 1e300, -1e300, std::nan(""), double{INFINITY}, -double{INFINITY}}) {
        gradientPosition = t;
        (void)GradientColorAt(c, 0, 0);  // no undefined conversion (UBSan)
    }
    RasterClearGradientStops(c);
    gradientPosition = 2.0;  // beyond 1: the low 8 bits of each channel
    c->gradientColor1 = 0xFF000080;
    c->gradientColor2 = 0xFF000000;
    EXPECT_EQ(GradientColorAt(c, 0, 0), 0xFF000000u);
}

TEST(RasterAddGradientStop, KeepsTheListSortedAndRejectsBadPositions) {
    MemoryCanvas m(1, 1, Wide);
    Canvas* c = m.canvas;
    EXPECT_TRUE(RasterAddGradientStop(c, 0.5f, 1));
    EXPECT_TRUE(RasterAddGradientStop(c, 0.25f, 2));
    EXPECT_TRUE(RasterAddGradientStop(c, 1.0f, 3));
    EXPECT_TRUE(RasterAddGradientStop(c, 0.25f, 4));
    EXPECT_TRUE(RasterAddGradientStop(c, 0.0f, 5));
    EXPECT_FALSE(RasterAddGradientStop(c, -0.1f, 6));
    EXPECT_FALSE(RasterAddGradientStop(c, 1.5f, 7));
    EXPECT_FALSE(RasterAddGradientStop(c, std::nanf(""), 8));
    const float positions[] = {0.0f, 0.25f, 0.25f, 0.5f, 1.0f};
    const int reds[] = {5, 2, 4, 1, 3};
    int i = 0;
    for (GradientStop* s = c->raster.gradientStops; s; s = s->next, ++i) {
        ASSERT_LT(i, 5);
        EXPECT_EQ(s->position, positions[i]);
        EXPECT_EQ(s->red, reds[i]);
        EXPECT_EQ(s->alpha, 0);
    }
    EXPECT_EQ(i, 5);
}

TEST(RasterWritePixel, GradientModeLeavesTheLastColourInTheFrontComponents) {
    MemoryCanvas m(4, 1, Narrow);
    Canvas* c = m.canvas;
    RasterSetGradientCallback(c, FixedPosition);
    gradientPosition = 0.5;
    c->gradientColor1 = 0xFF0000C8;
    c->gradientColor2 = 0xFF000000;
    c->setMode(c, ModeGradientFill | ModeBlendOver);
    m.Set(2, 0, 0x00000064);
    c->plot(c, 2, 0);
    EXPECT_EQ(c->raster.frontRed, 100 * 255);  // premultiplied for the blend
    EXPECT_EQ(c->raster.frontAlpha, 255);
    EXPECT_EQ(c->raster.frontInverse, 0);
    EXPECT_EQ(m.Get(2, 0), 0x00000064u);
    c->setMode(c, ModeGradientFill);
    c->plot(c, 1, 0);
    EXPECT_EQ(c->raster.frontRed, 100);
    EXPECT_EQ(m.Get(1, 0), 0x00000064u);
}

}  // namespace
