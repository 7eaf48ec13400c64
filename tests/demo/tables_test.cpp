#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <vector>

#include "demo_fixture.h"
#include "runtime/core/array.h"

namespace {

using Ints = std::vector<int32_t>;

TEST(DemoTables, RingConstantsInSinglePrecision) {
    DemoState s{};
    DemoSetScreenSize(s, 800, 600);
    DemoSetRingConstants(s);
    EXPECT_EQ(s.halfWidth, 400);
    EXPECT_EQ(s.halfHeight, 300);
    uint32_t bits;
    std::memcpy(&bits, &s.stepX, 4);
    EXPECT_EQ(bits, 0x3D4CCCCDu);
    EXPECT_EQ(s.ringCountX, 41.0f);
    EXPECT_EQ(s.ringCountY, 41.0f);
    EXPECT_EQ(s.ringWidthX, 401.0f / 41.0f);
    EXPECT_EQ(s.ringWidthY, 301.0f / 41.0f);
    EXPECT_FLOAT_EQ(s.ringWidthX, 9.780488f);
    EXPECT_FLOAT_EQ(s.ringWidthY, 7.3414636f);
}

TEST(DemoTables, ArraysHaveTheirSizesAndTypeCode) {
    BuiltTables t;
    struct Case { void* array; int32_t count; };
    const Case cases[] = {{t.s.ringCellsX, 403}, {t.s.ringStartX, 43}, {t.s.ringCellsY, 303},
                          {t.s.ringStartY, 43}, {t.s.freeCell, 401}, {t.s.cutX, 25}, {t.s.cutY, 21}};
    for (const Case& c : cases) {
        ASSERT_NE(c.array, nullptr);
        EXPECT_EQ(ArrayCount(c.array), c.count);
        EXPECT_EQ(ArrayHeaderOf(c.array)->typeCode, 21);
        EXPECT_EQ(ArrayHeaderOf(c.array)->elementSize, 4);
    }
    // Entries past the tables are never written.
    EXPECT_EQ(BuiltTables::Elements(t.s.ringCellsX, 400, 403), Ints({0, 0, 0}));
    EXPECT_EQ(BuiltTables::Elements(t.s.ringCellsY, 300, 303), Ints({0, 0, 0}));
    EXPECT_EQ(DemoInts(t.s.ringStartX)[42], 0);
    EXPECT_EQ(DemoInts(t.s.ringStartY)[42], 0);
    // Every cell was handed out.
    for (int32_t k = 0; k < 400; ++k) ASSERT_EQ(DemoInts(t.s.freeCell)[k], 0) << k;
}

TEST(DemoTables, RingSizesOfBothAxes) {
    BuiltTables t;
    const Ints x = {9, 10, 10, 10, 9, 10, 10, 10, 10, 9, 10, 10, 10, 9, 10, 10, 10, 10, 9, 10, 10,
                    10, 9, 10, 10, 10, 10, 9, 10, 10, 10, 9, 10, 10, 10, 10, 9, 10, 10, 10, 9};
    const Ints y = {7, 8, 7, 7, 8, 7, 7, 8, 7, 7, 8, 7, 7, 8, 7, 7, 8, 7, 7, 8, 7,
                    8, 7, 7, 8, 7, 7, 8, 7, 7, 8, 7, 7, 8, 7, 7, 8, 7, 7, 8, 6};
    Ints gotX, gotY;
    for (int32_t r = 0; r < 41; ++r) {
        gotX.push_back(DemoRingLength(t.s, DemoAxis::X, r));
        gotY.push_back(DemoRingLength(t.s, DemoAxis::Y, r));
    }
    EXPECT_EQ(gotX, x);
    EXPECT_EQ(gotY, y);
    EXPECT_EQ(std::accumulate(gotX.begin(), gotX.end(), 0), 400);
    EXPECT_EQ(std::accumulate(gotY.begin(), gotY.end(), 0), 300);
    // The y pass ran last and left its largest ring; the cut lists got 2 * max + 5.
    EXPECT_EQ(t.s.maxRingSize, 8);
    EXPECT_EQ(ArrayCount(t.s.cutX), 2 * 10 + 5);
    EXPECT_EQ(ArrayCount(t.s.cutY), 2 * 8 + 5);
}

TEST(DemoTables, FirstRingsOfBothAxes) {
    BuiltTables t;
    struct Case { DemoAxis axis; int32_t ring; Ints cells; };
    const Case cases[] = {
        {DemoAxis::X, 0, {58, 96, 134, 172, 210, 248, 286, 324, 362}},
        {DemoAxis::X, 1, {0, 20, 77, 115, 153, 191, 229, 267, 305, 343}},
        {DemoAxis::X, 2, {10, 39, 106, 144, 182, 220, 258, 296, 334, 379}},
        {DemoAxis::Y, 0, {34, 72, 110, 148, 186, 224, 262}},
        {DemoAxis::Y, 1, {1, 53, 91, 129, 167, 205, 243, 279}},
        {DemoAxis::Y, 2, {18, 44, 82, 120, 158, 196, 234}},
    };
    for (const Case& c : cases) EXPECT_EQ(t.Ring(c.axis, c.ring), c.cells) << int(c.axis) << " ring " << c.ring;
}

TEST(DemoTables, RingStartsBeginAndEnd) {
    BuiltTables t;
    EXPECT_EQ(BuiltTables::Elements(t.s.ringStartX, 0, 7), Ints({0, 9, 19, 29, 39, 48, 58}));
    EXPECT_EQ(BuiltTables::Elements(t.s.ringStartX, 39, 42), Ints({381, 391, 400}));
    EXPECT_EQ(BuiltTables::Elements(t.s.ringStartY, 0, 6), Ints({0, 7, 15, 22, 29, 37}));
    EXPECT_EQ(BuiltTables::Elements(t.s.ringStartY, 39, 42), Ints({286, 294, 300}));
}

TEST(DemoTables, RingBoundariesTruncateInXAndRoundInY) {
    BuiltTables t;
    for (int32_t r = 0; r < 41; ++r) {
        const int32_t endX = r == 40 ? 400 : static_cast<int32_t>(std::floor(r * 9.780488 + 9.780488));
        const int32_t endY = r == 40 ? 300 : static_cast<int32_t>(std::nearbyint(r * 7.3414636 + 7.3414636));
        EXPECT_EQ(DemoInts(t.s.ringStartX)[r + 1], endX) << r;
        EXPECT_EQ(DemoInts(t.s.ringStartY)[r + 1], endY) << r;
    }
}

TEST(DemoTables, EachPassIsAPermutationWithAscendingRings) {
    BuiltTables t;
    struct Case { DemoAxis axis; void* cells; int32_t h; };
    const Case cases[] = {{DemoAxis::X, t.s.ringCellsX, 400}, {DemoAxis::Y, t.s.ringCellsY, 300}};
    for (const Case& c : cases) {
        Ints all = BuiltTables::Elements(c.cells, 0, c.h);
        std::sort(all.begin(), all.end());
        Ints expected(c.h);
        std::iota(expected.begin(), expected.end(), 0);
        EXPECT_EQ(all, expected);
        for (int32_t r = 0; r < 41; ++r) {
            Ints ring = t.Ring(c.axis, r);
            EXPECT_TRUE(std::is_sorted(ring.begin(), ring.end())) << r;
            EXPECT_EQ(std::adjacent_find(ring.begin(), ring.end()), ring.end()) << r;
        }
    }
}

TEST(DemoTables, RingCounterIsLeftInTheAngle) {
    BuiltTables t;
    EXPECT_EQ(t.s.angle, 41);
}

TEST(DemoTables, RebuildingGivesTheSameTables) {
    BuiltTables a, b;
    EXPECT_EQ(BuiltTables::Elements(a.s.ringCellsX, 0, 403), BuiltTables::Elements(b.s.ringCellsX, 0, 403));
    EXPECT_EQ(BuiltTables::Elements(a.s.ringCellsY, 0, 303), BuiltTables::Elements(b.s.ringCellsY, 0, 303));
}

// Other sizes: every cell lands in exactly one ring, rings stay ascending, and
// a ring whose computed size is 0 gets no cells (its start equals the next).
TEST(DemoTables, OtherScreenSizesCoverEveryCellOnce) {
    struct Case { int32_t w, h; };
    const Case cases[] = {{800, 600}, {640, 480}, {100, 30}, {2, 2}, {320, 1000}, {1, 1}};
    for (const Case& c : cases) {
        BuiltTables t(c.w, c.h);
        struct Axis { DemoAxis axis; void* cells; int32_t h; };
        const Axis axes[] = {{DemoAxis::X, t.s.ringCellsX, t.s.halfWidth}, {DemoAxis::Y, t.s.ringCellsY, t.s.halfHeight}};
        for (const Axis& a : axes) {
            Ints all = BuiltTables::Elements(a.cells, 0, a.h);
            std::sort(all.begin(), all.end());
            Ints expected(a.h);
            std::iota(expected.begin(), expected.end(), 0);
            EXPECT_EQ(all, expected) << c.w << "x" << c.h;
            int32_t total = 0;
            for (int32_t r = 0; r < 41; ++r) {
                const int32_t n = DemoRingLength(t.s, a.axis, r);
                EXPECT_GE(n, 0);
                total += n;
                Ints ring = t.Ring(a.axis, r);
                EXPECT_TRUE(std::is_sorted(ring.begin(), ring.end()));
            }
            EXPECT_EQ(total, a.h);
        }
    }
}

TEST(DemoTables, MissingOrShortArraysAreRefused) {
    DemoState s{};
    DemoSetScreenSize(s, 800, 600);
    DemoSetRingConstants(s);
    EXPECT_EQ(DemoTablePass(s, DemoAxis::X), 0);  // nothing created yet
    ASSERT_EQ(DemoCreateCutLists(s), 1);
    ASSERT_EQ(DemoBuildTables(s), 1);
    // A ring-cell array too short for the axis must not be written past its end.
    ASSERT_EQ(ArrayResize(100, &s.ringCellsX), 1);
    EXPECT_EQ(DemoTablePass(s, DemoAxis::X), 0);
    ASSERT_EQ(ArrayResize(10, &s.ringStartY), 1);
    EXPECT_EQ(DemoTablePass(s, DemoAxis::Y), 0);
    void* arrays[] = {s.cutX, s.cutY, s.ringCellsX, s.ringStartX, s.ringCellsY, s.ringStartY, s.freeCell};
    for (void* a : arrays) ArrayFree(a);
}

// The pass written plainly, one candidate at a time with conditional adds, as
// a reference for the batched scoring of the tables.
struct ReferenceTable {
    Ints cells, starts;
    float lastScore = 0.0f;     // where the last candidate's loop stopped
    int32_t lastDistance = 0;
};

ReferenceTable ReferencePass(int32_t h, float w, bool truncate, Ints& freeCell) {
    ReferenceTable t;
    t.cells.assign(size_t(h) + 3, 0);
    t.starts.assign(43, 0);
    int32_t cellCount = 0, cellTotal = 0, r = 0;
    float accumWidth = 0.0f;
    for (int32_t k = 0; k < h; ++k) freeCell[k] = 1;
    while (r <= 40) {
        t.starts[r] = cellCount;
        int32_t ringSize = truncate ? int32_t(double(accumWidth) + w) - cellTotal
                                    : int32_t(std::nearbyint(double(accumWidth) + w - cellTotal));
        cellTotal += ringSize;
        if (cellTotal > h) {
            ringSize -= cellTotal - h;
            cellTotal = h;
        }
        for (int32_t pick = 0; pick < ringSize; ++pick) {
            float bestScore = 0.0f;
            int32_t bestCell = 0;
            for (int32_t k = 0; k < h; ++k) {
                if (!freeCell[k]) continue;
                float score = 0.0f, weight = 1.0f;
                int32_t d = 0;
                for (; k + d < h && double(bestScore) < double(score) + 12.0 * double(weight); ++d) {
                    if (k - d >= 0 ? freeCell[k - d] : freeCell[d - k]) score = float(score + weight);
                    if (freeCell[k + d]) score = float(score + weight);
                    weight = float(weight / 1.5);
                }
                t.lastScore = score;
                t.lastDistance = d;
                if (score >= bestScore) {
                    bestCell = k;
                    bestScore = score;
                }
            }
            freeCell[bestCell] = 0;
            int32_t i = cellCount;
            while (i > t.starts[r] && t.cells[i - 1] > bestCell) {
                t.cells[i] = t.cells[i - 1];
                --i;
            }
            t.cells[i] = bestCell;
            ++cellCount;
        }
        accumWidth = float(accumWidth + w);
        ++r;
    }
    t.starts[r] = cellCount;
    return t;
}

TEST(DemoTables, BatchedScoringMatchesThePlainPass) {
    struct Case { int32_t w, h; };
    const Case cases[] = {{800, 600}, {1024, 768}, {333, 211}, {64, 48}, {6, 4}};
    for (const Case& c : cases) {
        BuiltTables t(c.w, c.h);
        Ints freeCell(size_t(std::max(t.s.halfWidth, t.s.halfHeight)) + 1, 0);
        const ReferenceTable x = ReferencePass(t.s.halfWidth, t.s.ringWidthX, true, freeCell);
        const ReferenceTable y = ReferencePass(t.s.halfHeight, t.s.ringWidthY, false, freeCell);
        EXPECT_EQ(BuiltTables::Elements(t.s.ringCellsX, 0, t.s.halfWidth + 3), x.cells) << c.w;
        EXPECT_EQ(BuiltTables::Elements(t.s.ringStartX, 0, 43), x.starts) << c.w;
        EXPECT_EQ(BuiltTables::Elements(t.s.ringCellsY, 0, t.s.halfHeight + 3), y.cells) << c.h;
        EXPECT_EQ(BuiltTables::Elements(t.s.ringStartY, 0, 43), y.starts) << c.h;
        // The score loop's fields hold where the y pass's last loop stopped.
        EXPECT_EQ(t.s.score, y.lastScore) << c.h;
        EXPECT_EQ(t.s.distance, y.lastDistance) << c.h;
    }
}

}  // namespace
