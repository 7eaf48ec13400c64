#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "demo/composition.h"
#include "demo/frame.h"
#include "runtime/core/numeric.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"
#include "picture.h"

namespace {

void Clear(ObjectNumber image) {
    Paint(image, [](int, int) { return 0; });
}

// A seed whose first draw of RandomUpTo(10) makes the seed line black or not.
int32_t SeedWhoseFirstLineIs(bool black) {
    for (int32_t seed = 1;; ++seed) {
        RandomSeed(seed);
        if ((RandomUpTo(10) < 2) == black) return seed;
    }
}

class DemoFrame : public ::testing::Test {
protected:
    DemoState s{};
    void SetUp(int32_t seed) { ASSERT_EQ(DemoSetUpInMemory(s, seed), 1); }
    void TearDown() override {
        CanvasEnd();
        DemoReleaseInMemory(s);
    }
};

TEST_F(DemoFrame, FirstFrameLeavesOnlyTheSeedLine) {
    SetUp(SeedWhoseFirstLineIs(false));
    EXPECT_EQ(s.angle, 41);
    ASSERT_EQ(DemoRunFrames(s, 1), 1);
    EXPECT_EQ(s.angle, 45);
    EXPECT_EQ(s.phaseX, 1);
    const Picture frame(DemoImageFrame), source(DemoImageSource);
    ASSERT_EQ(frame.width, 800);
    ASSERT_EQ(source.height, 600);
    for (uint32_t p : frame.pixels) ASSERT_EQ(p, 0u);
    // Red 216, green 49, blue 224 from the colour value 0x00E031D8, on the
    // diagonal from (400, 300) to (403, 303).
    std::set<std::pair<int, int>> lit;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            if (source.At(x, y) != 0) {
                EXPECT_EQ(source.At(x, y), 0xD831E0u) << x << "," << y;
                lit.insert({x, y});
            }
    EXPECT_TRUE(lit.count({400, 300}));
    EXPECT_TRUE(lit.count({402, 302}));
    for (const auto& p : lit) {
        EXPECT_EQ(p.first - 400, p.second - 300);
        EXPECT_GE(p.first, 400);
        EXPECT_LE(p.first, 403);
    }
}

TEST_F(DemoFrame, FirstFrameWithABlackSeedLeavesBothImagesBlack) {
    SetUp(SeedWhoseFirstLineIs(true));
    ASSERT_EQ(DemoRunFrames(s, 1), 1);
    for (uint32_t p : Picture(DemoImageFrame).pixels) ASSERT_EQ(p, 0u);
    for (uint32_t p : Picture(DemoImageSource).pixels) ASSERT_EQ(p, 0u);
}

TEST_F(DemoFrame, SecondSeedLineKeepsOnlyTheLowBytesOfTheColour) {
    // Both draws non-black: 216, 22, -237 give 0xFF1316D8, written as
    // red 216, green 22, blue 19.
    int32_t seed = 1;
    for (;; ++seed) {
        RandomSeed(seed);
        if (RandomUpTo(10) >= 2 && RandomUpTo(10) >= 2) break;
    }
    SetUp(seed);
    ASSERT_EQ(DemoRunFrames(s, 2), 1);
    const Picture source(DemoImageSource);
    std::set<uint32_t> colours;
    for (uint32_t p : source.pixels) colours.insert(p);
    EXPECT_TRUE(colours.count(0xD81613u));
    // The second line starts at the centre, over the spread first one.
    EXPECT_EQ(source.At(400, 300), 0xD81613u);
}

TEST_F(DemoFrame, TheSameSeedGivesTheSameFrames) {
    const int32_t seed = 4242;
    SetUp(seed);
    ASSERT_EQ(DemoRunFrames(s, 12), 1);
    const Picture source1(DemoImageSource), frame1(DemoImageFrame);
    DemoReleaseInMemory(s);
    SetUp(seed);
    ASSERT_EQ(DemoRunFrames(s, 12), 1);
    EXPECT_TRUE(Picture(DemoImageSource) == source1);
    EXPECT_TRUE(Picture(DemoImageFrame) == frame1);
    // And the pictures moved on from the first frame: colour spread.
    int lit = 0;
    for (uint32_t p : source1.pixels) lit += p != 0;
    EXPECT_GT(lit, 0);
}

// The tile moves are point-symmetric about pixel (400, 300): tile (p, q) and
// tile (2nX - p, 2nY - q) cover mirrored source rectangles and move by opposite
// displacements. Marker pairs at mirrored places must therefore land at
// mirrored places, except where a later tile paints over an earlier one in
// the two-pixel overlaps (the order of the schedule is not symmetric).
TEST_F(DemoFrame, MirroredPixelsLandOnMirroredPlaces) {
    SetUp(1);
    for (int32_t phase : {0, 17, 31}) {
        s.phaseX = s.phaseY = phase;
        Clear(DemoImageSource);
        Clear(DemoImageFrame);
        // Markers on a grid of 5 pixels in the upper half, numbered row by
        // row, and their mirrors about (400, 300) in the lower half.
        const int columns = 159, rows = 60, markers = columns * rows;
        const auto marker = [&](int x, int y) -> int {
            if (x < 4 || y < 4 || (x - 4) % 5 || (y - 4) % 5) return -1;
            const int c = (x - 4) / 5, r = (y - 4) / 5;
            return c < columns && r < rows ? r * columns + c + 1 : -1;
        };
        Paint(DemoImageSource, [&](int x, int y) -> int64_t {
            int id = marker(x, y);
            if (id > 0) return 0x400000 | id;
            id = marker(800 - x, 600 - y);
            return id > 0 ? 0x800000 | id : -1;
        });
        const int id = markers + 1;
        ASSERT_EQ(DemoComposeFrame(s), 1);
        const Picture frame(DemoImageFrame);
        // The frame's tiles (its cut lists and ring sizes are still in place):
        // each marker must have moved by the displacement of a tile whose
        // source rectangle holds it.
        std::vector<DemoTileMove> tiles;
        for (int32_t p = 0; p <= 2 * s.ringSizeX + 1; ++p)
            for (int32_t q = 0; q <= 2 * s.ringSizeY + 1; ++q) {
                const DemoTileMove m = DemoTileGeometry(s, p, q);
                if (m.draws) tiles.push_back(m);
            }
        const auto movedByATile = [&](int sx, int sy, int x, int y) {
            for (const DemoTileMove& m : tiles)
                if (sx >= m.left && sx < m.left + m.width && sy >= m.top && sy < m.top + m.height &&
                    x - sx == m.x - m.left && y - sy == m.y - m.top)
                    return true;
            return false;
        };
        int landed = 0, mirrored = 0, wrong = 0;
        for (int y = 1; y < 600; ++y)
            for (int x = 1; x < 800; ++x) {
                const uint32_t p = frame.At(x, y);
                if ((p & 0xFF0000u) != 0x400000u) continue;
                ++landed;
                const int index = int(p & 0xFFFFu) - 1;
                const int sx = 4 + index % columns * 5, sy = 4 + index / columns * 5;
                EXPECT_TRUE(movedByATile(sx, sy, x, y)) << sx << "," << sy << " -> " << x << "," << y;
                const uint32_t m = frame.At(800 - x, 600 - y);
                if (m == (0x800000u | (p & 0xFFFFu))) {
                    ++mirrored;
                } else if ((m & 0xFF0000u) == 0x800000u && (m & 0xFFFFu) != (p & 0xFFFFu)) {
                    ++wrong;  // another marker where the mirror of this one belongs
                }
            }
        EXPECT_GT(landed, id * 9 / 10) << "phase " << phase;
        EXPECT_GT(mirrored, landed * 95 / 100) << "phase " << phase;
        EXPECT_LT(wrong, landed / 50) << "phase " << phase;
        std::printf("phase %d: %d markers, %d landed, %d mirrored, %d other\n", phase, id - 1, landed, mirrored, wrong);
    }
}

// Two passes through the rings with a fixed seed: the colour has spread from
// the centre over most of the picture. Pixels are counted in 2 by 2 blocks,
// since a line drawn on one diagonal parity keeps it under every move (each
// displacement (u - v, u + v) has an even coordinate sum).
TEST_F(DemoFrame, ColourSpreadsOverTheCentreAfterManyFrames) {
    SetUp(1);
    ASSERT_EQ(DemoRunFrames(s, 200), 1);
    EXPECT_EQ(s.phaseX, 200 % 41);
    EXPECT_EQ(s.angle, (41 + 4 * 200) % 360);
    const Picture source(DemoImageSource);
    int blocks = 0, coloured = 0;
    for (int y = 150; y < 450; y += 2)
        for (int x = 200; x < 600; x += 2, ++blocks)
            coloured += (source.At(x, y) | source.At(x + 1, y) | source.At(x, y + 1) | source.At(x + 1, y + 1)) != 0;
    std::printf("coloured blocks in the middle 400 by 300: %d of %d\n", coloured, blocks);
    EXPECT_GT(coloured, blocks / 2);
    // Closer in, where new colour enters every frame, nearly all of it.
    blocks = coloured = 0;
    for (int y = 250; y < 350; y += 2)
        for (int x = 340; x < 460; x += 2, ++blocks)
            coloured += (source.At(x, y) | source.At(x + 1, y) | source.At(x, y + 1) | source.At(x + 1, y + 1)) != 0;
    std::printf("coloured blocks in the middle 120 by 100: %d of %d\n", coloured, blocks);
    EXPECT_GT(coloured, blocks * 17 / 20);
}

// A tile of row 2nY+1 reads the cut entry past the ones its frame writes. In
// the frames of rings 31 and 32 an earlier frame has left a value there that
// makes the tile copy a one-row strip of the last row into one of the last
// three rows: its pixels move by (u - v, u + v) with v = nY + 1, so the row
// offset exceeds the column offset by 2nY + 2, which no other tile gives.
TEST_F(DemoFrame, RingsThirtyOneAndThirtyTwoCopyALastRowStrip) {
    SetUp(1);
    for (int frame = 0; frame < 41; ++frame) {
        const int32_t phase = s.phaseX;
        const int32_t nY = DemoInts(s.ringStartY)[phase + 1] - DemoInts(s.ringStartY)[phase];
        const bool expectStrip = phase == 31 || phase == 32;
        if (phase < 29 || phase > 34) {
            ASSERT_EQ(DemoRunFrames(s, 1), 1);
            continue;
        }
        // Only the last row of image 2 is lit, each pixel naming its column.
        Clear(DemoImageSource);
        Clear(DemoImageFrame);
        Paint(DemoImageSource, [](int x, int y) -> int64_t { return y == 599 ? 0x5A0000 | (x + 1) : -1; });
        ASSERT_EQ(DemoComposeFrame(s), 1);
        const Picture picture(DemoImageFrame);
        int strip = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                const uint32_t p = picture.At(x, y);
                if ((p & 0xFF0000u) != 0x5A0000u) continue;
                const int dx = x - int((p & 0xFFFFu) - 1);
                const int dy = y - 599;
                if (dy - dx == 2 * nY + 2) {
                    ++strip;
                    EXPECT_GE(y, 597);
                }
            }
        EXPECT_EQ(strip > 0, expectStrip) << "ring " << phase << ": " << strip;
        DemoCopyBackAndSeed(s);
    }
}

}  // namespace
