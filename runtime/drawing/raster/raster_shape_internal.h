// Helpers shared by the raster shape files: run writers and a checked point
// that take 64-bit coordinates, so that shape arithmetic never overflows.
#pragma once

#include <cstdint>
#include <type_traits>

#include "runtime/drawing/canvas.h"

void RasterSpan64H(Canvas* canvas, int64_t x, int64_t count, int64_t y);
void RasterSpan64V(Canvas* canvas, int64_t x, int64_t y, int64_t count);
void RasterPlot64(Canvas* canvas, int64_t x, int64_t y);

// Traces a quarter ellipse of radii a and b (0 <= a, b <= RasterMaxRadius) with
// integer decision values in the integer width of U (uint32_t or uint64_t;
// arithmetic wraps like the machine's, compares are signed). part1(xo, yo) is
// called for the points of the flat part, part2(xo, yo) for the steep part.
// Returns Y0, the value of yo when the steep part begins.
template <class U, class Part1, class Part2>
int64_t RasterTraceArc(int64_t a, int64_t b, Part1 part1, Part2 part2) {
    using S = typename std::conditional<sizeof(U) == 4, int32_t, int64_t>::type;
    const U ua = static_cast<U>(a), ub = static_cast<U>(b);
    const U a2 = 2 * ua * ua, a4 = 4 * ua * ua, b2 = 2 * ub * ub, b4 = 4 * ub * ub;
    int64_t xo = a, yo = 0;
    U s = 0;
    U t = 4 * ua * ub * ub;
    U d1 = static_cast<U>(static_cast<S>(ub * ub) >> 1) - 2 * ua * ub * ub + 2 * ua * ua;
    U d2 = static_cast<U>(static_cast<S>(ua * ua) >> 1) - 4 * ua * ub * ub + 2 * ub * ub;
    // The flat part ends before yo passes b; the bound only guards the loop.
    while (static_cast<S>(d2) < 0 && yo <= b) {
        part1(xo, yo);
        ++yo;
        s += a4;
        if (static_cast<S>(d1) < 0) {
            d1 += s + a2;
            d2 += s;
        } else {
            --xo;
            t -= b4;
            d1 += s - t + a2;
            d2 += s - t + b2;
        }
    }
    const int64_t y0 = yo;
    while (xo >= 0) {
        part2(xo, yo);
        --xo;
        t -= b4;
        if (static_cast<S>(d2) < 0) {
            ++yo;
            s += a4;
            d2 += s - t + b2;
        } else {
            d2 += b2 - t;
        }
    }
    return y0;
}
