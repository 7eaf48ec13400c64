#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "runtime/drawing/raster/raster_shape.h"
#include "tests/drawing/raster_fixture.h"

namespace {

using Points = std::vector<std::pair<int, int>>;
using Counts = std::map<std::pair<int, int>, int>;

Points Written(const Counts& counts) {
    Points points;
    for (const auto& entry : counts) points.push_back(entry.first);
    return points;
}

Points Sorted(Points points) {
    std::sort(points.begin(), points.end());
    return points;
}

Points Row(int x1, int x2, int y) {
    Points points;
    for (int x = x1; x <= x2; ++x) points.push_back({x, y});
    return points;
}

TEST(RasterLine, WritesThePublishedPixelsInBothDirections) {
    struct Case {
        const char* name;
        int x1, y1, x2, y2;
        Points expected;
    } cases[] = {
        {"horizontal", 10, 5, 14, 5, Row(10, 14, 5)},
        {"horizontal reversed", 14, 5, 10, 5, Row(10, 14, 5)},
        {"shallow", 0, 0, 4, 2, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
        {"shallow reversed", 4, 2, 0, 0, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
        {"steep", 0, 0, 2, 4, {{0, 0}, {1, 1}, {1, 2}, {2, 3}, {2, 4}}},
        {"steep reversed", 2, 4, 0, 0, {{0, 0}, {1, 1}, {1, 2}, {2, 3}, {2, 4}}},
        {"rising", 0, 4, 4, 0, {{0, 4}, {1, 3}, {2, 2}, {3, 1}, {4, 0}}},
        {"vertical", 3, 7, 3, 4, {{3, 4}, {3, 5}, {3, 6}, {3, 7}}},
        {"single pixel", 6, 6, 6, 6, {{6, 6}}},
        {"clipped run", -10, 5, 10, 5, Row(0, 10, 5)},
        {"run off the right", 95, 1, 200, 1, Row(95, 99, 1)},
        {"clipped vertical", 2, -5, 2, 1, {{2, 0}, {2, 1}}},
        {"wholly left", -10, 0, -1, 20, {}},
        {"wholly right", 100, 0, 150, 20, {}},
        {"wholly above", 0, -5, 40, -1, {}},
        {"wholly below", 0, 100, 40, 120, {}},
        {"row below", 0, 100, 40, 100, {}},
        {"column right", 100, 0, 100, 40, {}},
    };
    for (const Case& k : cases) {
        for (int format : {0x8010, 0x10, 0x8040}) {
            MemoryCanvas m(100, 100, format);
            WriteCounter counter(m.canvas);
            m.canvas->line(m.canvas, k.x1, k.y1, k.x2, k.y2);
            Counts counts = counter.Take();
            EXPECT_EQ(Written(counts), Sorted(k.expected)) << k.name;
            for (const auto& entry : counts) EXPECT_EQ(entry.second, 1) << k.name;
        }
    }
}

TEST(RasterLine, ClipsAgainstTheAreaBeforeWalking) {
    MemoryCanvas m(100, 100, 0x8010);
    WriteCounter counter(m.canvas);
    m.canvas->line(m.canvas, -10, 0, 10, 20);
    Points points = Written(counter.Take());
    ASSERT_FALSE(points.empty());
    EXPECT_EQ(points.front(), std::make_pair(0, 10));  // first clipped to start at (0, 10)
    EXPECT_EQ(points.back(), std::make_pair(10, 20));
    EXPECT_EQ(points.size(), 11u);

    m.canvas->line(m.canvas, 40, -50, 240, 150);  // crosses the top and right edges
    points = Written(counter.Take());
    EXPECT_EQ(points, Points({{90, 0}, {91, 1}, {92, 2}, {93, 3}, {94, 4}, {95, 5}, {96, 6}, {97, 7}, {98, 8}, {99, 9}}));

    m.canvas->line(m.canvas, 50, -50, 250, 150);  // passes just outside the top right corner
    EXPECT_TRUE(counter.Take().empty());
}

// A line and its reverse write the same pixels; every pixel is written once
// and lies inside the area, whatever the end points (AddressSanitizer checks
// the memory).
TEST(RasterLine, IsSymmetricAndStaysInsideForAnyEndPoints) {
    std::srand(7);
    const int extremes[] = {INT_MIN, INT_MIN + 1, -100000, -1, 0, 37, 79, 80, 100000, INT_MAX - 1, INT_MAX};
    auto pick = [&](int range) {
        int r = std::rand() % 4;
        if (r == 0) return extremes[std::rand() % 11];
        return std::rand() % (range * 3) - range;
    };
    for (int format : {0x8010, 0x8040, 0x10}) {
        MemoryCanvas m(80, 37, format);
        WriteCounter counter(m.canvas);
        for (int i = 0; i < 400; ++i) {
            int x1 = pick(80), y1 = pick(37), x2 = pick(80), y2 = pick(37);
            m.canvas->line(m.canvas, x1, y1, x2, y2);
            Counts forward = counter.Take();
            m.canvas->line(m.canvas, x2, y2, x1, y1);
            Counts backward = counter.Take();
            EXPECT_EQ(Written(forward), Written(backward)) << x1 << "," << y1 << " " << x2 << "," << y2;
            for (const auto& entry : forward) {
                EXPECT_EQ(entry.second, 1);
                EXPECT_TRUE(entry.first.first >= 0 && entry.first.first < 80);
                EXPECT_TRUE(entry.first.second >= 0 && entry.first.second < 37);
            }
            // A line whose end points both lie inside is drawn without gaps.
            if (x1 >= 0 && x1 < 80 && x2 >= 0 && x2 < 80 && y1 >= 0 && y1 < 37 && y2 >= 0 && y2 < 37) {
                size_t length = std::max(std::abs(x2 - x1), std::abs(y2 - y1)) + 1;
                EXPECT_EQ(forward.size(), length);
                EXPECT_EQ(forward.count({x1, y1}), 1u);
                EXPECT_EQ(forward.count({x2, y2}), 1u);
            }
        }
    }
}

TEST(RasterLine, ModeZeroWritesTheColourBytesWithTheAddressWalk) {
    for (int format : {0x8010, 0x10, 0x8040, 0x40}) {
        MemoryCanvas m(8, 6, format, 0x11);
        m.SetFront(0xFF336699);
        m.canvas->line(m.canvas, 0, 0, 7, 5);
        m.canvas->line(m.canvas, 7, 0, 0, 5);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                bool onLine = (x == 0 && y == 0) || (x == 7 && y == 5) || (x == 7 && y == 0) || (x == 0 && y == 5);
                Color c = m.Get(x, y) & 0xFFFFFF;
                EXPECT_TRUE(onLine ? c == 0x336699u : (c == 0x111111u || c == 0x336699u)) << x << "," << y;
            }
        if (format & 0x40) {
            EXPECT_EQ(m.Get(0, 0) >> 24, 0x11u);  // alpha untouched in mode 0
        }
    }
}

TEST(RasterLine, OtherModesWriteEachPixelByTheModeRule) {
    for (int format : {0x8010, 0x8040}) {
        MemoryCanvas m(30, 20, format, 0x37), reference(30, 20, format, 0x37);
        for (MemoryCanvas* c : {&m, &reference}) {
            c->canvas->setMode(c->canvas, ModeBlendOver);
            c->SetFront(0x80F01020);
        }
        m.canvas->line(m.canvas, 2, 3, 27, 15);
        WriteCounter counter(m.canvas);  // the same line's pixels, one by one
        m.canvas->line(m.canvas, 2, 3, 27, 15);
        for (const auto& entry : counter.Take()) RasterWritePixel(reference.canvas, entry.first.first, entry.first.second);
        EXPECT_EQ(m.memory, reference.memory) << format;

        // XOR twice restores the image.
        m.canvas->setMode(m.canvas, ModeXorColor);
        m.SetFront(0x00FFFFFF);
        std::vector<uint8_t> before = m.memory;
        m.canvas->line(m.canvas, 29, 0, 0, 19);
        EXPECT_NE(m.memory, before);
        m.canvas->line(m.canvas, 0, 19, 29, 0);
        EXPECT_EQ(m.memory, before) << format;
    }
}

TEST(RasterSpan, ClipsRunsToTheArea) {
    struct Case {
        bool vertical;
        int a, b, count;
        Points expected;
    } cases[] = {
        {false, -3, 2, 5, Row(0, 1, 2)},       {false, 8, 2, 5, Row(8, 9, 2)},  {false, 0, -1, 5, {}},
        {false, 0, 4, 5, {}},                  {false, 3, 1, 0, {}},            {false, 3, 1, -4, {}},
        {false, INT_MIN, 1, INT_MAX, {}},      {false, -5, 1, INT_MAX, Row(0, 9, 1)},
        {true, 2, -1, 3, {{2, 0}, {2, 1}}},    {true, 2, 3, 9, {{2, 3}}},       {true, 10, 0, 3, {}},
        {true, -1, 0, 3, {}},
    };
    for (const Case& k : cases) {
        MemoryCanvas m(10, 4, 0x8010);
        WriteCounter counter(m.canvas);
        if (k.vertical) RasterSpanV(m.canvas, k.a, k.b, k.count);
        else RasterSpanH(m.canvas, k.a, k.count, k.b);
        EXPECT_EQ(Written(counter.Take()), Sorted(k.expected)) << k.vertical << " " << k.a << "," << k.b;
    }
}

TEST(RasterSpan, EveryModeMatchesThePixelWriter) {
    const int modes[] = {0, ModeXorColor, ModeWriteAll, ModeAlphaOnly, ModeBlendOver, ModeBlendKeepAlpha};
    for (int format : {0x8010, 0x8040})
        for (int mode : modes) {
            MemoryCanvas run(40, 3, format, 0x80), single(40, 3, format, 0x80);
            for (MemoryCanvas* m : {&run, &single}) {
                m->canvas->setMode(m->canvas, mode);
                m->SetFront(0x7F20A0F0);
            }
            RasterSpanH(run.canvas, 1, 37, 1);
            RasterSpanV(run.canvas, 39, 0, 3);
            for (int x = 1; x < 38; ++x) RasterWritePixel(single.canvas, x, 1);
            for (int y = 0; y < 3; ++y) RasterWritePixel(single.canvas, 39, y);
            EXPECT_EQ(run.memory, single.memory) << format << " " << mode;
        }
}

TEST(RasterBox, NormalisesNegativeSizesAndClips) {
    struct Case {
        const char* name;
        int x, y, w, h, hollow;
        int left, top, right, bottom;  // inclusive bounds of the written pixels; left > right: none
        size_t count;
    } cases[] = {
        {"negative size", 10, 10, -5, -5, 0, 5, 5, 9, 9, 25},
        {"plain", 2, 3, 4, 2, 0, 2, 3, 5, 4, 8},
        {"clipped", -3, -3, 6, 6, 0, 0, 0, 2, 2, 9},
        {"off the area", 30, 3, 4, 2, 0, 1, 0, 0, 0, 0},
        {"empty", 3, 3, 0, 5, 0, 1, 0, 0, 0, 0},
        {"hollow", 2, 2, 5, 4, 1, 2, 2, 6, 5, 14},
        {"hollow negative", 7, 6, -5, -4, 1, 2, 2, 6, 5, 14},
        {"hollow height 2", 1, 1, 4, 2, 1, 1, 1, 4, 2, 8},
        {"huge", INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 1, 0, 0, 0, 0},
        {"huge positive", -10, -10, INT_MAX, INT_MAX, 0, 0, 0, 19, 19, 400},
        {"huge hollow", -10, -10, INT_MAX, INT_MAX, 1, 0, 0, 19, 19, 0},
    };
    for (const Case& k : cases) {
        MemoryCanvas m(20, 20, 0x8010);
        WriteCounter counter(m.canvas, k.hollow ? ModeHollow : 0);
        m.canvas->box(m.canvas, k.x, k.y, k.w, k.h);
        Counts counts = counter.Take();
        EXPECT_EQ(counts.size(), k.count) << k.name;
        for (const auto& entry : counts) {
            EXPECT_EQ(entry.second, 1) << k.name;
            EXPECT_TRUE(entry.first.first >= k.left && entry.first.first <= k.right) << k.name;
            EXPECT_TRUE(entry.first.second >= k.top && entry.first.second <= k.bottom) << k.name;
        }
    }
}

TEST(RasterBox, HollowBoxOfHeightOneInXorLeavesTheRowUnchanged) {
    MemoryCanvas m(10, 3, 0x8010, 0x5C);
    m.canvas->setMode(m.canvas, ModeXorColor | ModeHollow);
    m.SetFront(0x00FFFFFF);
    m.canvas->box(m.canvas, 1, 1, 8, 1);
    for (uint8_t b : m.memory) EXPECT_EQ(b, 0x5C);
    m.canvas->box(m.canvas, 1, 0, 8, 3);  // height 3: the outline changes
    EXPECT_EQ(m.Get(1, 1), 0x00A3A3A3u);
    EXPECT_EQ(m.Get(2, 1), 0x005C5C5Cu);
}

int Count(const Counts& counts, int x, int y) {
    auto it = counts.find({x, y});
    return it == counts.end() ? 0 : it->second;
}

TEST(RasterEllipse, PublishedDoubleWrites) {
    MemoryCanvas m(100, 100, 0x8010);
    for (int hollow : {0, 1}) {
        WriteCounter counter(m.canvas, hollow ? ModeHollow : 0);
        m.canvas->ellipse(m.canvas, 50, 50, 0, 0);
        Counts counts = counter.Take();
        EXPECT_EQ(counts.size(), 1u);
        EXPECT_EQ(Count(counts, 50, 50), 2) << hollow;

        // ry = 0: the horizontal diameter, each point twice.
        m.canvas->ellipse(m.canvas, 50, 50, 6, 0);
        counts = counter.Take();
        EXPECT_EQ(Written(counts), Row(44, 56, 50)) << hollow;
        for (const auto& entry : counts) EXPECT_EQ(entry.second, 2) << hollow;
    }
}

TEST(RasterEllipse, FilledEllipseIsSymmetricAndWrittenOnce) {
    MemoryCanvas m(200, 200, 0x8010);
    for (int rx : {1, 2, 5, 13, 40, 90})
        for (int ry : {1, 3, 7, 20, 60, 99}) {
            WriteCounter counter(m.canvas);
            m.canvas->ellipse(m.canvas, 100, 100, rx, ry);
            Counts counts = counter.Take();
            for (const auto& entry : counts) {
                int x = entry.first.first, y = entry.first.second;
                // Only the centre row may be written twice: when the flat part
                // of the arc never runs, the steep part writes it from above
                // and from below.
                EXPECT_EQ(entry.second, y == 100 ? Count(counts, 100, 100) : 1)
                    << rx << "," << ry << " at " << x << "," << y;
                EXPECT_EQ(Count(counts, 200 - x, y), entry.second);
                EXPECT_EQ(Count(counts, x, 200 - y), entry.second);
                EXPECT_LE(std::abs(x - 100), rx);
                EXPECT_LE(std::abs(y - 100), ry);
            }
            // The ends of the horizontal diameter are on the ellipse, the rows
            // drawn are consecutive, and each row is one run.
            EXPECT_GT(Count(counts, 100 + rx, 100), 0);
            int rowsDrawn = 0, top = 100;
            for (int y = 100 - ry; y <= 100 + ry; ++y) {
                int first = -1, last = -1, n = 0;
                for (int x = 0; x < 200; ++x)
                    if (Count(counts, x, y)) {
                        if (first < 0) first = x;
                        last = x;
                        ++n;
                    }
                if (n == 0) continue;
                if (rowsDrawn++ == 0) top = y;
                EXPECT_EQ(n, last - first + 1) << rx << "," << ry << " row " << y;
            }
            EXPECT_EQ(rowsDrawn, 2 * (100 - top) + 1) << rx << "," << ry;

            // The outline is a subset of the filled shape and keeps its extremes.
            WriteCounter outline(m.canvas, ModeHollow);
            m.canvas->ellipse(m.canvas, 100, 100, rx, ry);
            for (const auto& entry : outline.Take())
                EXPECT_GT(Count(counts, entry.first.first, entry.first.second), 0) << rx << "," << ry;
        }
}

TEST(RasterEllipse, LargeRadiiUseWideDecisionValues) {
    // Radii beyond 700 use 64-bit decision values: the arc must still reach
    // its extremes and stay symmetric, up to the largest radius traced.
    MemoryCanvas m(64, 64, 0x8010);
    for (int r : {699, 700, 701, 5000, 100000, 600000, RasterMaxRadius}) {
        WriteCounter counter(m.canvas, ModeHollow);
        m.canvas->ellipse(m.canvas, 32 - r, 32, r, r);  // the right end of the circle lies at (32, 32)
        Counts counts = counter.Take();
        EXPECT_EQ(Count(counts, 32, 32), 1) << r;
        for (const auto& entry : counts)
            if (entry.first.second > 0) {
                EXPECT_EQ(Count(counts, entry.first.first, 64 - entry.first.second), 1) << r;
            }
        m.canvas->ellipse(m.canvas, 32, 32 + r, r, r);  // top end at (32, 32)
        counts = counter.Take();
        EXPECT_EQ(Count(counts, 32, 32), 1) << r;
    }
}

TEST(RasterEllipse, ExtremeArgumentsStayInsideTheArea) {
    MemoryCanvas m(30, 20, 0x8040);
    const int values[] = {INT_MIN, -1200000, -701, -1, 0, 1, 15, 700, 701, 1200000, INT_MAX};
    for (int hollow : {0, 1}) {
        m.canvas->setMode(m.canvas, hollow ? ModeHollow : 0);
        m.SetFront(0xFFFFFFFF);
        for (int c : values)
            for (int r : values) {
                m.canvas->ellipse(m.canvas, c, 10, r, 5);
                m.canvas->ellipse(m.canvas, 15, c, 5, r);
                m.canvas->roundBox(m.canvas, c, c, r, r, 3, 3);
                m.canvas->roundBox(m.canvas, 2, 2, 20, 10, r, c);
            }
    }
}

TEST(RasterEllipse, NegativeRadii) {
    // A negative rx traces nothing; a negative ry traces as its magnitude.
    MemoryCanvas m(60, 60, 0x8010);
    for (int hollow : {0, 1}) {
        WriteCounter counter(m.canvas, hollow ? ModeHollow : 0);
        m.canvas->ellipse(m.canvas, 50, 50, -5, 3);
        m.canvas->ellipse(m.canvas, 20, 20, -7, -4);
        EXPECT_TRUE(counter.Take().empty()) << hollow;
        m.canvas->ellipse(m.canvas, 20, 20, 7, 4);
        Counts positive = counter.Take();
        m.canvas->ellipse(m.canvas, 20, 20, 7, -4);
        EXPECT_EQ(counter.Take(), positive) << hollow;
    }
}

TEST(RasterRoundBox, PublishedDoubleWrites) {
    MemoryCanvas m(30, 30, 0x8010);
    {
        WriteCounter counter(m.canvas);
        m.canvas->roundBox(m.canvas, 2, 3, 6, 4, 0, 0);
        Counts counts = counter.Take();
        EXPECT_EQ(counts.size(), 24u);
        for (const auto& entry : counts) {
            int y = entry.first.second;
            EXPECT_EQ(entry.second, (y == 3 || y == 6) ? 2 : 1) << entry.first.first << "," << y;
        }
    }
    {
        WriteCounter counter(m.canvas, ModeHollow);
        m.canvas->roundBox(m.canvas, 2, 3, 6, 4, 0, 0);
        Counts counts = counter.Take();
        EXPECT_EQ(counts.size(), 16u);
        for (const auto& entry : counts) {
            int x = entry.first.first, y = entry.first.second;
            bool corner = (x == 2 || x == 7) && (y == 3 || y == 6);
            EXPECT_EQ(entry.second, corner ? 2 : 1) << x << "," << y;
        }
    }
}

TEST(RasterRoundBox, NegativeVerticalRadiusTracesItsMagnitudeAndPlacesTheSignedOne) {
    // roundBox(10, 10, 40, 30, 5, -4): the arc of radii 5 and 4 is placed at
    // rows 6 - yo above and 43 + yo below, so the corners bulge out of the box;
    // there are no corner rows, the middle rows are 6 to 43.
    MemoryCanvas m(60, 60, 0x8010);
    for (int hollow : {0, 1}) {
        Counts expected;
        auto run = [&](int y, int x1, int x2) {  // rows y and 49 - y, each pixel once
            for (int x = x1; x <= x2; ++x) ++expected[{x, y}], ++expected[{x, 49 - y}];
        };
        run(2, 13, 14);
        run(2, 45, 46);
        if (hollow) {
            for (int y = 3; y <= 4; ++y) run(y, 15 - y, 15 - y), run(y, 44 + y, 44 + y);
            for (int y = 5; y <= 24; ++y) run(y, 10, 10), run(y, 49, 49);
            run(10, 15, 44);  // the straight top and bottom edges, at y and y + h - 1
        } else {
            for (int y = 3; y <= 4; ++y) run(y, 15 - y, 44 + y);
            for (int y = 5; y <= 24; ++y) run(y, 10, 49);
        }
        WriteCounter counter(m.canvas, hollow ? ModeHollow : 0);
        m.canvas->roundBox(m.canvas, 10, 10, 40, 30, 5, -4);
        EXPECT_EQ(counter.Take(), expected) << hollow;
        // Radii too large to trace leave out the arc but not the edges and middle rows.
        m.canvas->roundBox(m.canvas, 10, 10, 40, 30, RasterMaxRadius + 1, 4);
        Counts rows = counter.Take();
        EXPECT_EQ(rows.size(), hollow ? 44u : 880u) << hollow;
        EXPECT_EQ(Count(rows, 10, 14) + Count(rows, 49, 35), 2) << hollow;
    }
}

TEST(RasterRoundBox, RoundedBoxStaysWithinItsRectangleAndIsSymmetric) {
    MemoryCanvas m(60, 50, 0x8010);
    const int sizes[][4] = {{20, 15, 4, 3}, {30, 20, 10, 6}, {11, 9, 5, 4}, {40, 40, 1, 12}, {25, 12, 12, 1}};
    for (const auto& s : sizes)
        for (int hollow : {0, 1}) {
            WriteCounter counter(m.canvas, hollow ? ModeHollow : 0);
            const int x = 5, y = 4;
            m.canvas->roundBox(m.canvas, x, y, s[0], s[1], s[2], s[3]);
            Counts counts = counter.Take();
            ASSERT_FALSE(counts.empty());
            for (const auto& entry : counts) {
                int px = entry.first.first, py = entry.first.second;
                EXPECT_TRUE(px >= x && px < x + s[0] && py >= y && py < y + s[1])
                    << s[0] << "x" << s[1] << " at " << px << "," << py;
                // Mirror images across both axes of the box.
                EXPECT_EQ(Count(counts, 2 * x + s[0] - 1 - px, py) > 0, true) << px << "," << py;
                EXPECT_EQ(Count(counts, px, 2 * y + s[1] - 1 - py) > 0, true) << px << "," << py;
            }
            // The middle of each edge is drawn; the very corners are not.
            EXPECT_GT(Count(counts, x + s[0] / 2, y), 0);
            EXPECT_GT(Count(counts, x, y + s[1] / 2), 0);
            EXPECT_EQ(Count(counts, x, y), 0);
            EXPECT_EQ(Count(counts, x + s[0] / 2, y + s[1] / 2) > 0, !hollow);
        }
    WriteCounter counter(m.canvas);
    m.canvas->roundBox(m.canvas, 5, 5, 0, 10, 2, 2);
    m.canvas->roundBox(m.canvas, 5, 5, 10, -1, 2, 2);
    EXPECT_TRUE(counter.Take().empty());
}

TEST(RasterShapes, EmptyAreaDrawsNothing) {
    MemoryCanvas m(20, 20, 0x8010, 0x33);
    Canvas* c = m.canvas;
    c->clip(c, -50, -50, 10, 10);
    ASSERT_EQ(c->width, 0);
    m.SetFront(0x00FFFFFF);
    c->line(c, 0, 0, 19, 7);
    c->line(c, 0, 0, 19, 0);
    c->box(c, 0, 0, 20, 20);
    c->ellipse(c, 5, 5, 3, 3);
    c->roundBox(c, 0, 0, 10, 10, 2, 2);
    c->fillArea(c, 0, 0, 0xFFFFFFFFu);
    c->plot(c, 0, 0);
    for (uint8_t b : m.memory) EXPECT_EQ(b, 0x33);
}

}  // namespace
