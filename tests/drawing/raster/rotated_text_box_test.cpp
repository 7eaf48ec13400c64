#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/drawing/raster/rotated_text_box.h"

namespace {

TEST(RotatedTextBox, QuarterTurns) {
    struct Case { float degrees; int minX, minY, maxX, maxY; };
    const float w = 37, h = 16;
    const Case cases[] = {
        {0, 0, 0, 37, 16},       // the measured text box itself
        {90, 0, -37, 16, 0},     // turned up: h wide, w high, above the point
        {180, -37, -16, 0, 0},   // upside down, left of and above the point
        {-90, -16, 0, 0, 37},    // turned down
        {270, -16, 0, 0, 37},
        {360, 0, 0, 37, 16},
    };
    for (const Case& c : cases) {
        const RotatedBox b = RotatedTextBox(w, h, c.degrees);
        EXPECT_EQ(b.minX, c.minX) << c.degrees;
        EXPECT_EQ(b.minY, c.minY) << c.degrees;
        EXPECT_EQ(b.maxX, c.maxX) << c.degrees;
        EXPECT_EQ(b.maxY, c.maxY) << c.degrees;
    }
}

TEST(RotatedTextBox, DiagonalCornersAreTruncated) {
    // 45 degrees: the top edge of 100 pixels ends at (70.7, -70.7), the left
    // edge of 10 pixels at (7.07, 7.07); the far corner at (77.8, -63.6).
    const RotatedBox b = RotatedTextBox(100, 10, 45);
    EXPECT_EQ(b.minX, 0);
    EXPECT_EQ(b.maxX, 77);
    EXPECT_EQ(b.minY, -70);
    EXPECT_EQ(b.maxY, 7);
}

TEST(RotatedTextBox, FullTurnsGiveNearlyTheSameBox) {
    const RotatedBox a = RotatedTextBox(120, 20, 30);
    const RotatedBox b = RotatedTextBox(120, 20, 390);
    EXPECT_NEAR(a.minX, b.minX, 1);
    EXPECT_NEAR(a.maxX, b.maxX, 1);
    EXPECT_NEAR(a.minY, b.minY, 1);
    EXPECT_NEAR(a.maxY, b.maxY, 1);
    EXPECT_GT(a.maxX - a.minX, 100);
}

TEST(RotatedTextBox, AbsurdInputsStayDefined) {
    const float inf = std::numeric_limits<float>::infinity();
    const RotatedBox a = RotatedTextBox(1e30f, 1e30f, 10);
    EXPECT_LE(a.minX, 0);
    const RotatedBox b = RotatedTextBox(10, 10, inf);
    EXPECT_EQ(b.maxX - b.minX, 0);
    EXPECT_EQ(b.maxY - b.minY, 0);
}

}  // namespace
