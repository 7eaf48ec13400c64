#include "runtime/drawing/raster/rotated_text_box.h"

#include <algorithm>
#include <cmath>

namespace {

// Truncation toward zero that stays defined for any value: out-of-range and
// NaN products (absurd sizes) give 0 rather than undefined behaviour.
int Trunc(double v) {
    if (!(v > -2147483648.0 && v < 2147483648.0)) return 0;
    return static_cast<int>(v);
}

}  // namespace

RotatedBox RotatedTextBox(float width, float height, float degrees) {
    const double halfPi = 1.57079632679489661923;
    // The angle in radians and the sines and cosines are single-precision
    // values; the products are formed in double precision and truncated.
    const float r = static_cast<float>(static_cast<double>(degrees) * 3.14159265358979323846 / 180.0);
    const float s = static_cast<float>(std::sin(-static_cast<double>(r)));
    const float c = static_cast<float>(std::cos(-static_cast<double>(r)));
    const float downX = static_cast<float>(std::cos(halfPi - r));
    const float downY = static_cast<float>(std::sin(halfPi - r));

    // A: end of the top edge; B: bottom-left corner; C: bottom-right corner.
    const int ax = Trunc(static_cast<double>(c) * width);
    const int ay = Trunc(static_cast<double>(s) * width);
    const int bx = Trunc(static_cast<double>(downX) * height);
    const int by = Trunc(static_cast<double>(downY) * height);
    const int cx = Trunc(bx + static_cast<double>(c) * width);
    const int cy = Trunc(by + static_cast<double>(s) * width);

    RotatedBox box;
    box.minX = std::min({0, ax, bx, cx});
    box.maxX = std::max({0, ax, bx, cx});
    box.minY = std::min({0, ay, by, cy});
    box.maxY = std::max({0, ay, by, cy});
    return box;
}
