#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

#include "runtime/core/block_pool.h"
#include "runtime/drawing/raster/raster_shape.h"
#include "tests/drawing/raster_fixture.h"

namespace {

constexpr Color NoBorder = 0xFFFFFFFFu;

// The order in which a fill writes its pixels, recorded through the filter.
std::vector<std::pair<int, int>> writeOrder;
Color RecordOrder(int x, int y, Color, Color target) {
    writeOrder.push_back({x, y});
    return target;
}

// The fill written plainly as nested calls, on a grid of colours, recording
// the order of its writes. It is the behaviour the explicit stack must keep.
struct ReferenceFill {
    std::vector<Color>& grid;
    int width, height;
    Color key;
    bool untilBorder;
    std::vector<std::vector<std::pair<int, int>>> spans;
    std::vector<std::pair<int, int>> order;

    bool Inside(int x, int y) const {
        Color c = grid[y * width + x] & 0xFFFFFF;
        return untilBorder ? c != key : c == key;
    }
    bool Filled(int y, int x) const {
        for (const auto& s : spans[y])
            if (s.first < x && x < s.second) return true;
        return false;
    }
    void Write(int x, int y) { order.push_back({x, y}); }
    void Fill(int x, int y) {
        int left = x - 1;
        while (left >= 0 && Inside(left, y)) Write(left--, y);
        int right = x;
        while (right < width && Inside(right, y)) Write(right++, y);
        spans[y].push_back({left, right});
        for (int row : {y - 1, y + 1}) {
            if (row < 0 || row >= height) continue;
            bool may = true;
            for (int j = left + 1; j < right; ++j) {
                if (may && Inside(j, row) && !Filled(row, j)) Fill(j, row);
                may = !Inside(j, row);
            }
        }
    }
};

struct Scene {
    int width, height;
    std::vector<Color> grid;
};

void Paint(MemoryCanvas& m, const Scene& s) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) m.Set(x, y, s.grid[y * s.width + x]);
}

TEST(RasterFillArea, KeepsTheDepthFirstOrderOnRandomScenes) {
    std::srand(11);
    for (int round = 0; round < 60; ++round) {
        Scene s{3 + std::rand() % 20, 3 + std::rand() % 14, {}};
        const int colours = 2 + round % 3;
        for (int i = 0; i < s.width * s.height; ++i)
            s.grid.push_back(static_cast<Color>(std::rand() % colours) * 0x00404040u);
        const int x = std::rand() % s.width, y = std::rand() % s.height;
        const bool untilBorder = round % 2 == 0;
        const Color border = untilBorder ? 0x00404040u : NoBorder;

        ReferenceFill reference{s.grid, s.width, s.height,
                                untilBorder ? 0x404040u : (s.grid[y * s.width + x] & 0xFFFFFF), untilBorder,
                                std::vector<std::vector<std::pair<int, int>>>(s.height), {}};
        reference.Fill(x, y);

        for (int format : {0x8010, 0x8040}) {
            MemoryCanvas m(s.width, s.height, format);
            Paint(m, s);
            RasterSetFilterCallback(m.canvas, RecordOrder);
            m.canvas->setMode(m.canvas, ModeFilter);
            writeOrder.clear();
            m.canvas->fillArea(m.canvas, x, y, border);
            EXPECT_EQ(writeOrder, reference.order) << "round " << round;
        }
    }
}

TEST(RasterFillArea, StartingOnABorderPixelStillFillsTheRunToItsLeft) {
    MemoryCanvas m(10, 5, 0x8010, 0x00);
    for (int y = 0; y < 5; ++y) m.Set(5, y, 0x0000FF);
    m.SetFront(0x00FF00);
    m.canvas->fillArea(m.canvas, 5, 2, 0x0000FF);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x) {
            Color expected = x < 5 ? 0x00FF00u : x == 5 ? 0x0000FFu : 0u;
            EXPECT_EQ(m.Get(x, y), expected) << x << "," << y;
        }
}

TEST(RasterFillArea, FillsAUniformAreaOnceEvenInItsOwnColour) {
    for (int format : {0x8010, 0x8040, 0x10}) {
        MemoryCanvas m(23, 17, format, 0x40);
        WriteCounter counter(m.canvas);
        m.canvas->fillArea(m.canvas, 11, 8, NoBorder);
        auto counts = counter.Take();
        EXPECT_EQ(counts.size(), 23u * 17u);
        for (const auto& entry : counts) EXPECT_EQ(entry.second, 1);

        // Copy mode with the front colour equal to the area's: the fill ends.
        m.canvas->setMode(m.canvas, 0);
        m.SetFront(0x00404040);
        m.canvas->fillArea(m.canvas, 0, 0, NoBorder);
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 23; ++x) EXPECT_EQ(m.Get(x, y) & 0xFFFFFF, 0x404040u);
    }
}

TEST(RasterFillArea, StopsAtTheBorderAndIgnoresAlpha) {
    MemoryCanvas m(20, 20, 0x8040, 0x00);
    m.canvas->setMode(m.canvas, ModeHollow);
    m.SetFront(0x000000FF);
    m.canvas->box(m.canvas, 3, 4, 10, 8);
    // Border pixels with another alpha still count as border.
    m.Set(3, 7, 0x7F0000FF);
    m.canvas->setMode(m.canvas, 0);
    m.SetFront(0x0000FF00);
    m.canvas->fillArea(m.canvas, 6, 6, 0xAB0000FF);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            bool edge = (x == 3 || x == 12) && y >= 4 && y <= 11;
            edge = edge || ((y == 4 || y == 11) && x >= 3 && x <= 12);
            bool inside = x > 3 && x < 12 && y > 4 && y < 11;
            Color c = m.Get(x, y) & 0xFFFFFF;
            EXPECT_EQ(c, edge ? 0x0000FFu : inside ? 0x00FF00u : 0u) << x << "," << y;
        }
}

TEST(RasterFillArea, XorFillFlipsEveryPixelOfTheRegionOnce) {
    MemoryCanvas m(16, 12, 0x8010, 0x00);
    for (int x = 0; x < 16; ++x) m.Set(x, 6, 0x123456);
    m.canvas->setMode(m.canvas, ModeXorColor);
    m.SetFront(0x00FFFFFF);
    m.canvas->fillArea(m.canvas, 4, 2, NoBorder);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(m.Get(x, y), y < 6 ? 0xFFFFFFu : y == 6 ? 0x123456u : 0u) << x << "," << y;
}

TEST(RasterFillArea, OutsideStartPointsDoNothing) {
    MemoryCanvas m(8, 8, 0x8010, 0x21);
    m.SetFront(0x00FFFFFF);
    for (auto p : {std::make_pair(-1, 0), std::make_pair(0, -1), std::make_pair(8, 0), std::make_pair(0, 8)})
        m.canvas->fillArea(m.canvas, p.first, p.second, NoBorder);
    for (uint8_t b : m.memory) EXPECT_EQ(b, 0x21);
}

// A serpentine of one-pixel corridors: every row of a corridor is its own
// run, so the fill nests as deep as the corridor is long.
TEST(RasterFillArea, DeepNestingNeedsNoDeepCallStack) {
    const int w = 301, h = 200;
    MemoryCanvas m(w, h, 0x8010, 0x00);
    for (int x = 1; x < w; x += 2)
        for (int y = 0; y < h; ++y) {
            bool gap = ((x / 2) % 2 == 0) ? y == h - 1 : y == 0;
            if (!gap) m.Set(x, y, 0xFFFFFF);
        }
    m.SetFront(0x00FF0000);
    m.canvas->fillArea(m.canvas, 0, 0, 0x00FFFFFF);
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y) {
            bool wall = x % 2 == 1 && !(((x / 2) % 2 == 0) ? y == h - 1 : y == 0);
            ASSERT_EQ(m.Get(x, y), wall ? 0xFFFFFFu : 0xFF0000u) << x << "," << y;
        }
    // The working memory is kept for the next fill and emptied after each.
    EXPECT_NE(m.canvas->raster.fillPool, nullptr);
    EXPECT_EQ(m.canvas->raster.fillPool->totalBlocks, 0);
}

TEST(RasterFillArea, WorkingMemoryGrowsWithTheArea) {
    MemoryCanvas m(30, 40, 0x8010);
    Canvas* c = m.canvas;
    c->clip(c, 0, 0, 30, 10);
    c->fillArea(c, 1, 1, NoBorder);
    void* spans = c->raster.fillSpans;
    ASSERT_NE(spans, nullptr);
    c->unclip(c);
    m.SetFront(0x00010203);
    c->fillArea(c, 1, 39, NoBorder);
    EXPECT_NE(c->raster.fillSpans, nullptr);
    for (int y = 0; y < 40; ++y) EXPECT_EQ(m.Get(29, y), 0x00010203u) << y;
}

}  // namespace
