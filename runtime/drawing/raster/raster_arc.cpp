// Ellipses and rounded boxes: a quarter ellipse traced with integer decision
// values and mirrored into the other quarters (or the box's corners).
#include <cstdint>

#include "runtime/drawing/raster/raster_pixel.h"
#include "runtime/drawing/raster/raster_shape.h"
#include "runtime/drawing/raster/raster_shape_internal.h"

namespace {

// Radii up to this trace in 32-bit decision values, larger ones in 64-bit.
constexpr int64_t Narrow = 700;

template <class Part1, class Part2>
int64_t TraceArc(int64_t a, int64_t b, Part1 part1, Part2 part2) {
    if (a > Narrow || b > Narrow) return RasterTraceArc<uint64_t>(a, b, part1, part2);
    return RasterTraceArc<uint32_t>(a, b, part1, part2);
}

inline int64_t Magnitude(int v) { return v < 0 ? -int64_t{v} : int64_t{v}; }

// Whether an arc of these radii can be traced exactly (see RasterMaxRadius).
inline bool Traceable(int rx, int ry) { return Magnitude(rx) <= RasterMaxRadius && Magnitude(ry) <= RasterMaxRadius; }

}  // namespace

void RasterEllipse(Canvas* canvas, int cx, int cy, int rx, int ry) {
    // The trace starts at xo = rx and ends when xo drops below 0, so a
    // negative rx traces no point at all. ry enters the decision values only
    // squared: a negative ry traces as its magnitude.
    if (rx < 0 || !Traceable(rx, ry)) return;
    if (canvas->width <= 0 || canvas->height <= 0) return;
    const int64_t a = rx, b = Magnitude(ry);
    const int64_t x = cx, y = cy;
    if (canvas->raster.modeFlags & ModeHollow) {
        TraceArc(
            a, b,
            [&](int64_t xo, int64_t yo) {
                RasterPlot64(canvas, x + xo, y + yo);
                RasterPlot64(canvas, x - xo, y + yo);
                if (yo != 0) {
                    RasterPlot64(canvas, x + xo, y - yo);
                    RasterPlot64(canvas, x - xo, y - yo);
                }
            },
            [&](int64_t xo, int64_t yo) {
                RasterPlot64(canvas, x + xo, y + yo);
                RasterPlot64(canvas, x + xo, y - yo);
                if (xo != 0) {
                    RasterPlot64(canvas, x - xo, y + yo);
                    RasterPlot64(canvas, x - xo, y - yo);
                }
            });
        return;
    }
    int64_t y0 = 0;
    bool steep = false;
    TraceArc(
        a, b,
        [&](int64_t xo, int64_t yo) {
            RasterSpan64H(canvas, x - xo, 2 * xo + 1, y + yo);
            if (yo != 0) RasterSpan64H(canvas, x - xo, 2 * xo + 1, y - yo);
        },
        [&](int64_t xo, int64_t yo) {
            if (!steep) {
                // The first steep point: yo is where the steep part begins.
                steep = true;
                y0 = yo;
            }
            const int64_t length = yo - y0 + 1;
            RasterSpan64V(canvas, x + xo, y + y0, length);
            RasterSpan64V(canvas, x + xo, y - yo, length);
            if (xo != 0) {
                RasterSpan64V(canvas, x - xo, y + y0, length);
                RasterSpan64V(canvas, x - xo, y - yo, length);
            }
        });
}

void RasterRoundBox(Canvas* canvas, int bx, int by, int bw, int bh, int brx, int bry) {
    if (bw <= 0 || bh <= 0) return;
    if (canvas->width <= 0 || canvas->height <= 0) return;
    const int64_t x = bx, y = by, w = bw, h = bh, rx = brx, ry = bry;
    const bool hollow = canvas->raster.modeFlags & ModeHollow;
    // Corner columns and rows for an arc point (xo, yo).
    auto left = [&](int64_t xo) { return x + rx - xo; };
    auto right = [&](int64_t xo) { return x + w - 1 - rx + xo; };
    auto top = [&](int64_t yo) { return y + ry - yo; };
    auto bottom = [&](int64_t yo) { return y + h - 1 - ry + yo; };

    int64_t y0 = 0;
    bool steep = false;
    auto part1 = [&](int64_t xo, int64_t yo) {
        if (yo == 0) return;
        if (hollow) {
            RasterPlot64(canvas, right(xo), bottom(yo));
            RasterPlot64(canvas, left(xo), bottom(yo));
            RasterPlot64(canvas, right(xo), top(yo));
            RasterPlot64(canvas, left(xo), top(yo));
        } else {
            RasterSpan64H(canvas, left(xo), w - 2 * (rx - xo), top(yo));
            RasterSpan64H(canvas, left(xo), w - 2 * (rx - xo), bottom(yo));
        }
    };
    auto part2 = [&](int64_t xo, int64_t yo) {
        if (!steep) {
            steep = true;
            y0 = yo;
        }
        if (xo == 0) return;
        if (hollow) {
            RasterPlot64(canvas, right(xo), bottom(yo));
            RasterPlot64(canvas, right(xo), top(yo));
            RasterPlot64(canvas, left(xo), bottom(yo));
            RasterPlot64(canvas, left(xo), top(yo));
        } else {
            const int64_t length = yo - y0 + 1;
            RasterSpan64V(canvas, left(xo), top(yo), length);
            RasterSpan64V(canvas, right(xo), top(yo), length);
            RasterSpan64V(canvas, left(xo), bottom(y0), length);
            RasterSpan64V(canvas, right(xo), bottom(y0), length);
        }
    };
    // The arc is traced with rx as given (a negative rx traces nothing and
    // leaves Y0 at 0) and with ry's magnitude; its points are placed with the
    // signed radii. An arc that cannot be traced exactly leaves out its points
    // and the corner rows, whose extent depends on Y0.
    const bool traced = Traceable(brx, bry);
    if (traced && rx >= 0) y0 = TraceArc(rx, ry < 0 ? -ry : ry, part1, part2);

    if (hollow) {
        RasterSpan64H(canvas, x + rx, w - 2 * rx, y);
        RasterSpan64H(canvas, x + rx, w - 2 * rx, y + h - 1);
        RasterSpan64V(canvas, x, y + ry, h - 2 * ry);
        RasterSpan64V(canvas, x + w - 1, y + ry, h - 2 * ry);
        return;
    }
    if (traced && y0 <= ry) {
        for (int64_t i = 0; i <= ry - y0; ++i) {
            RasterSpan64H(canvas, x + rx, w - 2 * rx, y + ry - y0 - i);
            RasterSpan64H(canvas, x + rx, w - 2 * rx, y + h - 1 - ry + y0 + i);
        }
    }
    // Only the middle rows that lie in the drawing area are visited.
    const int64_t first = y + ry < 0 ? 0 : y + ry;
    const int64_t last = y + h - ry - 1 < canvas->height ? y + h - ry - 1 : canvas->height - 1;
    for (int64_t row = first; row <= last; ++row) RasterSpan64H(canvas, x, w, row);
}
