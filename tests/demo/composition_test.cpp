#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "demo/composition.h"
#include "demo_fixture.h"
#include "runtime/core/numeric.h"

namespace {

using Ints = std::vector<int32_t>;
using Tile = std::pair<int32_t, int32_t>;

void Record(DemoState&, int32_t p, int32_t q, void* context) {
    static_cast<std::vector<Tile>*>(context)->push_back({p, q});
}

std::vector<Tile> Schedule(BuiltTables& t) {
    std::vector<Tile> calls;
    DemoTileSchedule(t.s, Record, &calls);
    return calls;
}

TEST(DemoComposition, FirstFrameCutListsAndCentreTile) {
    BuiltTables t;
    ASSERT_EQ(DemoFillCutLists(t.s), 1);
    EXPECT_EQ(t.s.ringSizeX, 9);
    EXPECT_EQ(t.s.ringSizeY, 7);
    EXPECT_EQ(BuiltTables::Elements(t.s.cutX, 0, 20),
              Ints({0, 37, 75, 113, 151, 189, 227, 265, 303, 341, 458, 496, 534, 572, 610, 648, 686, 724, 762, 799}));
    // Entries past 2nX+1 were not written this frame.
    EXPECT_EQ(BuiltTables::Elements(t.s.cutX, 20, 25), Ints({0, 0, 0, 0, 0}));
    // The centre tile spans columns 341 to 459 and stays in place.
    const DemoTileMove centre = DemoTileGeometry(t.s, 9, 7);
    EXPECT_EQ(centre.left, 341);
    EXPECT_EQ(centre.left + centre.width - 1, 459);
    EXPECT_EQ(centre.x, 341);
    EXPECT_EQ(centre.y, DemoInts(t.s.cutY)[7]);
    EXPECT_TRUE(centre.draws);
}

TEST(DemoComposition, CutListsAscendForEveryPhase) {
    BuiltTables t;
    for (int32_t phase = 0; phase < 41; ++phase) {
        t.s.phaseX = t.s.phaseY = phase;
        ASSERT_EQ(DemoFillCutLists(t.s), 1);
        struct Axis { void* cut; int32_t n; int32_t last; };
        const Axis axes[] = {{t.s.cutX, t.s.ringSizeX, 799}, {t.s.cutY, t.s.ringSizeY, 599}};
        for (const Axis& a : axes) {
            Ints cut = BuiltTables::Elements(a.cut, 0, 2 * a.n + 2);
            EXPECT_EQ(cut.front(), 0);
            EXPECT_EQ(cut.back(), a.last);
            EXPECT_TRUE(std::is_sorted(cut.begin(), cut.end())) << "phase " << phase;
            // Strictly ascending, except that the last ring holds the outermost
            // cell, whose cuts coincide with the first and the last column.
            const auto repeat = std::adjacent_find(cut.begin(), cut.end());
            if (phase != 40) {
                EXPECT_TRUE(repeat == cut.end()) << "phase " << phase;
            } else {
                EXPECT_EQ(cut[1], 0);
                EXPECT_EQ(cut[2 * a.n], a.last);
            }
        }
    }
}

TEST(DemoComposition, ScheduleMovesEveryTileOnceWithItsMirror) {
    BuiltTables t;
    struct Case { int32_t nX, nY; };
    const Case cases[] = {{9, 6}, {9, 7}, {9, 8}, {10, 7}, {10, 8}};
    for (const Case& c : cases) {
        t.s.ringSizeX = c.nX;
        t.s.ringSizeY = c.nY;
        const std::vector<Tile> calls = Schedule(t);
        EXPECT_EQ(calls.size(), size_t((2 * c.nX + 2) * (2 * c.nY + 2))) << c.nX << "," << c.nY;
        std::set<Tile> distinct(calls.begin(), calls.end());
        EXPECT_EQ(distinct.size(), calls.size());
        for (const Tile& tile : calls) {
            EXPECT_GE(tile.first, 0);
            EXPECT_LE(tile.first, 2 * c.nX + 1);
            EXPECT_GE(tile.second, 0);
            EXPECT_LE(tile.second, 2 * c.nY + 1);
        }
        for (size_t i = 0; i + 1 < calls.size(); i += 2) {
            EXPECT_EQ(calls[i + 1].first, 2 * c.nX + 1 - calls[i].first);
            EXPECT_EQ(calls[i + 1].second, 2 * c.nY + 1 - calls[i].second);
        }
        // The offsets and the larger ring size are left in the window fields.
        EXPECT_EQ(t.s.windowX, std::max(c.nX, c.nY));
        EXPECT_EQ(t.s.windowY, 0);
    }
}

TEST(DemoComposition, ScheduleOrderOfTheFirstFrame) {
    BuiltTables t;
    t.s.ringSizeX = 9;
    t.s.ringSizeY = 7;
    const std::vector<Tile> calls = Schedule(t);
    // a = 0: the first row (y = -2) is outside, so case B moves column 0 from
    // the rows b - 0 >= -2, with their mirrors.
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[0], Tile(0, 0));
    EXPECT_EQ(calls[1], Tile(19, 15));
    EXPECT_EQ(calls[2], Tile(0, 1));
    EXPECT_EQ(calls[3], Tile(19, 14));
    // Round a = 2, b = 2: the right-hand case first (row 0, counted from the
    // offset row), then the left-hand case, each tile followed by its mirror.
    const std::vector<Tile> round22 = {{17, 0}, {2, 15}, {2, 2}, {17, 13}};
    EXPECT_NE(std::search(calls.begin(), calls.end(), round22.begin(), round22.end()), calls.end());
    // Where a tile is painted twice over by a neighbour, the later one wins;
    // the centre tile comes after the tiles that overlap it from the left.
    const auto pos = [&](Tile tile) { return std::find(calls.begin(), calls.end(), tile) - calls.begin(); };
    EXPECT_LT(pos(Tile(0, 0)), pos(Tile(9, 7)));
}

TEST(DemoComposition, TileGeometryOfTheFirstFrame) {
    BuiltTables t;
    ASSERT_EQ(DemoFillCutLists(t.s), 1);
    const Ints cutY = BuiltTables::Elements(t.s.cutY, 0, 16);
    struct Case { int32_t p, q; DemoTileMove m; };
    const Case cases[] = {
        // Top-left corner tile: moved up and left, clipped at both edges.
        {0, 0, {2, 16, 37, 23, 0, 0, true}},
        // Last row of real tiles moving up: the grab runs from row 562 to row
        // 600, one row below the image, because only the destination is clipped.
        {0, 14, {16, 562, 23, 39, 0, 560, true}},
        {1, 14, {37, 562, 40, 39, 22, 561, true}},
        // The centre tile stays in place.
        {9, 7, {341, 265, 119, 71, 341, 265, true}},
        // Last column: starts at the last column and lands right of the image.
        {19, 0, {0, 0, 0, 0, 0, 0, false}},
        {19, 15, {0, 0, 0, 0, 0, 0, false}},
    };
    for (const Case& c : cases) {
        const DemoTileMove m = DemoTileGeometry(t.s, c.p, c.q);
        EXPECT_EQ(m.draws, c.m.draws) << c.p << "," << c.q;
        if (!c.m.draws) continue;
        EXPECT_EQ(m.left, c.m.left) << c.p << "," << c.q;
        EXPECT_EQ(m.top, c.m.top) << c.p << "," << c.q;
        EXPECT_EQ(m.width, c.m.width) << c.p << "," << c.q;
        EXPECT_EQ(m.height, c.m.height) << c.p << "," << c.q;
        EXPECT_EQ(m.x, c.m.x) << c.p << "," << c.q;
        EXPECT_EQ(m.y, c.m.y) << c.p << "," << c.q;
    }
}

// Runs the tile work of consecutive frames on the same cut lists, as the
// program does, and hands every tile's geometry to the check.
template <typename Check>
void ForEachTileOfFrames(BuiltTables& t, int frames, Check check) {
    struct Context { Check* check; int frame; } context{&check, 0};
    for (context.frame = 0; context.frame < frames; ++context.frame) {
        const int32_t phase = t.s.phaseX;
        ASSERT_EQ(DemoComposeTiles(
                      t.s,
                      [](DemoState& s, int32_t p, int32_t q, void* c) {
                          auto* ctx = static_cast<Context*>(c);
                          (*ctx->check)(ctx->frame, s, p, q, DemoTileGeometry(s, p, q));
                      },
                      &context),
                  1);
        EXPECT_EQ(t.s.phaseX, (phase + 1) % 41);
        EXPECT_EQ(t.s.phaseY, t.s.phaseX);
    }
}

TEST(DemoComposition, LastColumnNeverDraws) {
    BuiltTables t;
    int lastColumnTiles = 0;
    ForEachTileOfFrames(t, 82, [&](int frame, DemoState& s, int32_t p, int32_t, const DemoTileMove& m) {
        if (p != 2 * s.ringSizeX + 1) return;
        ++lastColumnTiles;
        EXPECT_FALSE(m.draws) << "frame " << frame;
    });
    EXPECT_GT(lastColumnTiles, 82 * 14);
}

TEST(DemoComposition, GrabsStayInsideTheImageButForOneRowBelow) {
    BuiltTables t;
    int grabs = 0, belowTheImage = 0;
    // A first cycle fills the cut lists' spare entries; count the second.
    ForEachTileOfFrames(t, 82, [&](int frame, DemoState&, int32_t, int32_t, const DemoTileMove& m) {
        if (frame < 41 || !m.draws) return;
        ++grabs;
        EXPECT_GE(m.left, 0);
        EXPECT_GE(m.top, 0);
        EXPECT_LE(m.left + m.width, 800);
        EXPECT_LE(m.top + m.height, 601);
        if (m.top + m.height == 601) ++belowTheImage;
        // Destinations always lie inside the image.
        EXPECT_GE(m.x, 0);
        EXPECT_GE(m.y, 0);
        EXPECT_LE(m.x + m.width, 800);
        EXPECT_LE(m.y + m.height, 600);
    });
    ASSERT_GT(belowTheImage, 0);
    const double ratio = double(grabs) / belowTheImage;
    EXPECT_GT(ratio, 120.0);
    EXPECT_LT(ratio, 170.0);
}

// A tile of row 2nY+1 reads the cut entry the frame did not write; it lands
// in the image only when an earlier frame left a value near the last row
// there, and then copies a one-row strip of the last row into one of the last
// three rows. That happens in the frames of rings 31 and 32.
TEST(DemoComposition, LastRowStripsComeFromLeftoverCutEntries) {
    BuiltTables t;
    std::set<int32_t> phases;
    int strips = 0;
    ForEachTileOfFrames(t, 82, [&](int frame, DemoState& s, int32_t, int32_t q, const DemoTileMove& m) {
        if (q != 2 * s.ringSizeY + 1 || !m.draws) return;
        ++strips;
        phases.insert(frame % 41);
        EXPECT_EQ(m.top, 599);
        EXPECT_EQ(m.height, 1);
        EXPECT_GE(m.y, 597);
        EXPECT_LE(m.y, 599);
    });
    EXPECT_GT(strips, 0);
    EXPECT_EQ(phases, std::set<int32_t>({31, 32}));
}

TEST(DemoComposition, PhasesWrapAfterTheLastRing) {
    DemoState s{};
    s.ringCountX = s.ringCountY = 41.0f;
    s.phaseX = s.phaseY = 39;
    DemoAdvancePhase(s);
    EXPECT_EQ(s.phaseX, 40);
    DemoAdvancePhase(s);
    EXPECT_EQ(s.phaseX, 0);
    EXPECT_EQ(s.phaseY, 0);
}

TEST(DemoComposition, ShortCutListsAreRefused) {
    BuiltTables t;
    ASSERT_EQ(ArrayResize(10, &t.s.cutX), 1);
    DemoInts(t.s.cutX)[0] = 1234;
    EXPECT_EQ(DemoFillCutLists(t.s), 0);
    EXPECT_EQ(DemoInts(t.s.cutX)[0], 1234);
    int visits = 0;
    EXPECT_EQ(DemoComposeTiles(t.s, [](DemoState&, int32_t, int32_t, void* c) { ++*static_cast<int*>(c); }, &visits), 0);
    EXPECT_EQ(visits, 0);
    t.s.phaseX = 41;  // no such ring
    ASSERT_EQ(ArrayResize(25, &t.s.cutX), 1);
    EXPECT_EQ(DemoFillCutLists(t.s), 0);
}

// Finds a seed for which the next RandomUpTo(10) gives at least 2 (or below 2).
int32_t SeedWhoseFirstDraw(bool black) {
    for (int32_t seed = 1;; ++seed) {
        RandomSeed(seed);
        if ((RandomUpTo(10) < 2) == black) {
            RandomSeed(seed);
            return seed;
        }
    }
}

TEST(DemoSeedLine, FirstTwoFrames) {
    DemoState s{};
    s.halfWidth = 400;
    s.halfHeight = 300;
    s.angle = 41;
    SeedWhoseFirstDraw(false);
    DemoSeedLine line = DemoNextSeedLine(s);
    EXPECT_EQ(s.red, -40);
    EXPECT_EQ(s.green, -206);
    EXPECT_EQ(s.blue, 225);
    EXPECT_EQ(line.colour, 0x00E031D8u);
    EXPECT_EQ(s.angle, 45);
    EXPECT_EQ(line.x1, 400);
    EXPECT_EQ(line.y1, 300);
    EXPECT_EQ(line.x2, 403);
    EXPECT_EQ(line.y2, 303);

    SeedWhoseFirstDraw(false);
    line = DemoNextSeedLine(s);
    EXPECT_EQ(s.red, 216);
    EXPECT_EQ(s.green, 22);
    EXPECT_EQ(s.blue, -237);
    EXPECT_EQ(line.colour, 0xFF1316D8u);  // the negative blue borrows into the top byte
    EXPECT_EQ(s.angle, 49);
}

TEST(DemoSeedLine, BlackWhenTheDrawIsBelowTwo) {
    DemoState s{};
    s.halfWidth = 400;
    s.halfHeight = 300;
    s.angle = 41;
    SeedWhoseFirstDraw(true);
    const DemoSeedLine line = DemoNextSeedLine(s);
    EXPECT_EQ(line.colour, 0u);
    EXPECT_EQ(s.red | s.green | s.blue, 0);
    EXPECT_EQ(s.angle, 45);  // the angle advances all the same
    EXPECT_EQ(line.x2, 403);
}

TEST(DemoSeedLine, BlackInAboutTwoFramesOfEleven) {
    DemoState s{};
    s.angle = 41;
    RandomSeed(12345);
    int black = 0;
    const int frames = 11000;
    for (int i = 0; i < frames; ++i) black += DemoNextSeedLine(s).colour == 0;
    EXPECT_NEAR(black, frames * 2 / 11, 150);
}

TEST(DemoSeedLine, AngleCyclesAndEndPointsStayNearTheCentre) {
    DemoState s{};
    s.halfWidth = 400;
    s.halfHeight = 300;
    s.angle = 41;
    RandomSeed(7);
    std::set<std::pair<int32_t, int32_t>> ends;
    std::set<int32_t> angles;
    for (int i = 0; i < 2 * 90; ++i) {
        const DemoSeedLine line = DemoNextSeedLine(s);
        EXPECT_EQ(s.angle % 4, 1);
        EXPECT_GE(s.angle, 0);
        EXPECT_LT(s.angle, 360);
        angles.insert(s.angle);
        EXPECT_LE(std::abs(line.x2 - 400), 4);
        EXPECT_LE(std::abs(line.y2 - 300), 4);
        EXPECT_EQ(line.x1, 400);
        EXPECT_EQ(line.y1, 300);
        ends.insert({line.x2, line.y2});
        // Each part stays within -254..254 and the colour is their unmasked sum.
        for (int32_t part : {s.red, s.green, s.blue}) {
            EXPECT_GE(part, -254);
            EXPECT_LE(part, 254);
        }
        EXPECT_EQ(line.colour, uint32_t(s.red) + uint32_t(s.green) * 256u + uint32_t(s.blue) * 65536u);
    }
    EXPECT_EQ(angles.size(), 90u);
    EXPECT_EQ(ends.size(), 32u);
}

}  // namespace
