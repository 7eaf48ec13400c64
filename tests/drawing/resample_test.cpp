#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "runtime/drawing/resample.h"

namespace {

struct TableDeleter {
    void operator()(ResampleTable* t) const { ResampleTableFree(t); }
};
using Table = std::unique_ptr<ResampleTable, TableDeleter>;

double WeightAt(const ResampleTable& t, int i, int k) {
    return t.weights[static_cast<size_t>(i) * t.slots + (k - t.first[i])];
}

TEST(ResampleKernel, MitchellNetravaliOneThirdValues) {
    struct Case {
        double x, cubic, triangle;
    };
    const Case cases[] = {
        {0.0, 8.0 / 9.0, 1.0}, {1.0, 1.0 / 18.0, 0.0}, {-1.0, 1.0 / 18.0, 0.0},
        {1.5, -0.0347222222, 0.0}, {0.5, 0.5347222222, 0.5}, {2.0, 0.0, 0.0}, {-3.0, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(ResampleCubicKernel(c.x), c.cubic, 1e-9) << c.x;
        EXPECT_NEAR(ResampleTriangleKernel(c.x), c.triangle, 1e-12) << c.x;
    }
}

TEST(ResampleWeights, WindowsScalesAndCentres) {
    // Each case: output count, input count, expected radius and weight scale,
    // the windows and the centres the weights must come from.
    struct Case {
        bool cubic;
        int out, in;
        double radius, weightScale;
        std::vector<int> first, last;
        std::vector<double> centres;
    };
    const Case cases[] = {
        {true, 3, 1, 2.0, 1.0, {0, 0, 0}, {0, 0, 0}, {-1.0 / 3, 0.0, 1.0 / 3}},
        {true, 2, 4, 4.0, 0.5, {0, 0}, {3, 3}, {0.5, 2.5}},
        {true, 4, 2, 2.0, 1.0, {0, 0, 0, 0}, {1, 1, 1, 1}, {-0.25, 0.25, 0.75, 1.25}},
        {false, 4, 2, 1.0, 1.0, {0, 0, 0, 0}, {1, 1, 1, 1}, {-0.25, 0.25, 0.75, 1.25}},
        {true, 5, 5, 2.0, 1.0, {0, 0, 0, 1, 2}, {2, 3, 4, 4, 4}, {0, 1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.in << " -> " << c.out << (c.cubic ? " cubic" : " triangle"));
        Table t(ResampleWeights(c.cubic, c.out, c.in));
        ASSERT_TRUE(t);
        EXPECT_DOUBLE_EQ(t->radius, c.radius);
        EXPECT_DOUBLE_EQ(t->weightScale, c.weightScale);
        EXPECT_EQ(t->slots, 2 * static_cast<int>(std::ceil(c.radius)) + 1);
        double (*kernel)(double) = c.cubic ? ResampleCubicKernel : ResampleTriangleKernel;
        for (int i = 0; i < c.out; ++i) {
            EXPECT_EQ(t->first[i], c.first[static_cast<size_t>(i)]) << i;
            EXPECT_EQ(t->last[i], c.last[static_cast<size_t>(i)]) << i;
            double raw = 0;
            for (int k = t->first[i]; k <= t->last[i]; ++k)
                raw += kernel((c.centres[static_cast<size_t>(i)] - k) * c.weightScale);
            double sum = 0;
            for (int k = t->first[i]; k <= t->last[i]; ++k) {
                const double want = kernel((c.centres[static_cast<size_t>(i)] - k) * c.weightScale) / raw;
                EXPECT_NEAR(WeightAt(*t, i, k), want, 1e-12) << "output " << i << " input " << k;
                sum += WeightAt(*t, i, k);
            }
            EXPECT_NEAR(sum, 1.0, 1e-12);
        }
    }
}

TEST(ResampleWeights, RefusesEmptyCountsAndAbsurdWindows) {
    EXPECT_EQ(ResampleWeights(true, 0, 5), nullptr);
    EXPECT_EQ(ResampleWeights(true, 5, 0), nullptr);
    EXPECT_EQ(ResampleWeights(true, -1, 5), nullptr);
    EXPECT_EQ(ResampleWeights(true, 1, 1 << 30), nullptr);
}

std::vector<uint8_t> Pixels(int count, uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
    std::vector<uint8_t> p(static_cast<size_t>(count) * 4);
    for (int i = 0; i < count; ++i) {
        p[static_cast<size_t>(i) * 4] = b;
        p[static_cast<size_t>(i) * 4 + 1] = g;
        p[static_cast<size_t>(i) * 4 + 2] = r;
        p[static_cast<size_t>(i) * 4 + 3] = a;
    }
    return p;
}

TEST(ResamplePixels, OnePixelToThreeGivesThreeCopies) {
    auto src = Pixels(1, 10, 20, 30, 40);
    std::vector<uint8_t> dst(12, 0);
    ASSERT_EQ(ResamplePixels32(dst.data(), 3, 1, src.data(), 1, 1), 1);
    EXPECT_EQ(dst, Pixels(3, 10, 20, 30, 40));
}

TEST(ResamplePixels, UniformImagesStayUniformInBothPassOrders) {
    const int sizes[][4] = {{5, 3, 2, 7}, {3, 5, 7, 2}, {8, 8, 3, 3}, {2, 2, 9, 9}, {1, 7, 4, 1}, {6, 1, 1, 5}};
    for (auto& s : sizes) {
        auto src = Pixels(s[0] * s[1], 12, 200, 99, 180);
        std::vector<uint8_t> dst(static_cast<size_t>(s[2]) * s[3] * 4, 0);
        ASSERT_EQ(ResamplePixels32(dst.data(), s[2], s[3], src.data(), s[0], s[1]), 1);
        EXPECT_EQ(dst, Pixels(s[2] * s[3], 12, 200, 99, 180)) << s[0] << "x" << s[1] << " -> " << s[2] << "x" << s[3];
    }
}

// An image whose pixels depend only on the column (or only on the row) must
// come out as the one-dimensional resize of that profile on every line, in
// either pass order: this pins which pass runs along which axis.
TEST(ResamplePixels, PassesRunAlongTheRightAxes) {
    struct Case {
        int srcW, srcH, dstW, dstH;
        bool byColumn;
    };
    const Case cases[] = {{6, 2, 3, 5, true}, {6, 5, 3, 2, true}, {2, 6, 5, 3, false}, {5, 6, 2, 3, false},
                          {4, 4, 7, 7, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.srcW << "x" << c.srcH << " -> " << c.dstW << "x" << c.dstH);
        const int profileIn = c.byColumn ? c.srcW : c.srcH, profileOut = c.byColumn ? c.dstW : c.dstH;
        std::vector<uint8_t> src(static_cast<size_t>(c.srcW) * c.srcH * 4);
        for (int y = 0; y < c.srcH; ++y)
            for (int x = 0; x < c.srcW; ++x) {
                const int v = (c.byColumn ? x : y) * 40 + 10;
                uint8_t* p = &src[(static_cast<size_t>(y) * c.srcW + x) * 4];
                p[0] = static_cast<uint8_t>(v);
                p[1] = static_cast<uint8_t>(250 - v);
                p[2] = static_cast<uint8_t>(v / 2);
                p[3] = 255;
            }
        std::vector<uint8_t> dst(static_cast<size_t>(c.dstW) * c.dstH * 4, 0);
        ASSERT_EQ(ResamplePixels32(dst.data(), c.dstW, c.dstH, src.data(), c.srcW, c.srcH), 1);
        Table t(ResampleWeights(true, profileOut, profileIn));
        ASSERT_TRUE(t);
        for (int y = 0; y < c.dstH; ++y)
            for (int x = 0; x < c.dstW; ++x) {
                const int i = c.byColumn ? x : y;
                double acc = 0;
                for (int k = t->first[i]; k <= t->last[i]; ++k) acc += WeightAt(*t, i, k) * (k * 40 + 10);
                const double want = std::fmin(255.0, std::fmax(0.0, std::trunc(acc + 0.5)));
                const uint8_t got = dst[(static_cast<size_t>(y) * c.dstW + x) * 4];
                EXPECT_EQ(got, want) << x << "," << y;
                EXPECT_EQ(dst[(static_cast<size_t>(y) * c.dstW + x) * 4 + 3], 255);
            }
    }
}

TEST(ResamplePixels, TwoPassOutputIsExact) {
    // Bytes worked out from the filter's formulas, each pass rounding every
    // channel to trunc(acc + 0.5). Halving a line weighs its two pixels 1/2
    // each, so the first two cases round exact halves in both passes (12.5
    // gives 13, where rounding halves to even would give 12). The first runs
    // the horizontal pass first, the second the vertical one; the third has a
    // transparent pixel, which enters as white.
    struct Case {
        int srcW, srcH, dstW, dstH;
        std::vector<uint8_t> src, dst;  // rows in memory order, blue, green, red, alpha
    };
    const Case cases[] = {
        {2, 2, 1, 1, {10, 0, 255, 1, 15, 3, 250, 4, 20, 7, 0, 9, 27, 10, 5, 200}, {19, 6, 128, 54}},
        {2, 2, 3, 1, {10, 40, 90, 254, 15, 41, 93, 255, 15, 45, 99, 255, 22, 52, 200, 254},
         {13, 43, 95, 255, 16, 45, 121, 255, 19, 47, 147, 255}},
        {3, 2, 2, 3, {0, 100, 200, 255, 50, 150, 250, 128, 255, 0, 30, 60, 90, 20, 10, 255, 0, 0, 0, 0, 200, 220, 240, 255},
         {17, 120, 221, 206, 176, 57, 114, 85, 86, 116, 163, 181, 199, 147, 181, 121, 155, 111, 104, 155, 222, 236, 248, 156}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> src = c.src, dst(c.dst.size(), 0);
        ASSERT_EQ(ResamplePixels32(dst.data(), c.dstW, c.dstH, src.data(), c.srcW, c.srcH), 1);
        EXPECT_EQ(dst, c.dst) << c.srcW << "x" << c.srcH << " -> " << c.dstW << "x" << c.dstH;
    }
}

TEST(ResamplePixels, TransparentPixelsBecomeWhiteAndLightenTheirNeighbours) {
    // Opaque black next to transparent black.
    std::vector<uint8_t> src = {0, 0, 0, 0, 0, 0, 0, 255};
    std::vector<uint8_t> dst(16, 0);
    ASSERT_EQ(ResamplePixels32(dst.data(), 4, 1, src.data(), 2, 1), 1);
    EXPECT_EQ(src, (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 0, 255}));
    // Near the transparent pixel the colour leans to white and alpha to 0.
    EXPECT_GT(dst[0], 128);
    EXPECT_LT(dst[3], 128);
    EXPECT_LT(dst[12], 128);
    EXPECT_GT(dst[15], 128);
    // A pixel with any alpha keeps its colour.
    std::vector<uint8_t> faint = {7, 8, 9, 1};
    std::vector<uint8_t> out(4, 0);
    ASSERT_EQ(ResamplePixels32(out.data(), 1, 1, faint.data(), 1, 1), 1);
    EXPECT_EQ(faint, (std::vector<uint8_t>{7, 8, 9, 1}));
}

TEST(ResamplePixels, OvershootIsClampedToTheByteRange) {
    // A hard edge enlarged: the kernel's negative lobes overshoot on both sides.
    const uint8_t row[] = {0, 0, 0, 255, 255, 255};
    std::vector<uint8_t> src(6 * 4);
    for (int i = 0; i < 6; ++i) {
        src[static_cast<size_t>(i) * 4] = row[i];
        src[static_cast<size_t>(i) * 4 + 3] = 255;  // opaque, so the colour is not rewritten
    }
    std::vector<uint8_t> dst(13 * 4, 0);
    ASSERT_EQ(ResamplePixels32(dst.data(), 13, 1, src.data(), 6, 1), 1);
    Table t(ResampleWeights(true, 13, 6));
    bool below = false, above = false;
    for (int i = 0; i < 13; ++i) {
        double acc = 0;
        for (int k = t->first[i]; k <= t->last[i]; ++k) acc += WeightAt(*t, i, k) * row[k];
        below |= acc < -0.5;
        above |= acc >= 255.5;
        const double want = std::fmin(255.0, std::fmax(0.0, std::trunc(acc + 0.5)));
        EXPECT_EQ(dst[static_cast<size_t>(i) * 4], want) << i << " acc " << acc;
    }
    EXPECT_TRUE(below);
    EXPECT_TRUE(above);
}

TEST(ResamplePixels, RefusesMissingBlocksAndEmptySizes) {
    auto src = Pixels(4, 1, 2, 3, 4);
    std::vector<uint8_t> dst(16, 0);
    EXPECT_EQ(ResamplePixels32(nullptr, 2, 2, src.data(), 2, 2), 0);
    EXPECT_EQ(ResamplePixels32(dst.data(), 2, 2, nullptr, 2, 2), 0);
    EXPECT_EQ(ResamplePixels32(dst.data(), 0, 2, src.data(), 2, 2), 0);
    EXPECT_EQ(ResamplePixels32(dst.data(), 2, 2, src.data(), 2, -1), 0);
}

}  // namespace
