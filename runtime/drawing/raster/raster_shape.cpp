// Raster lines and shapes. Every shape clips against the drawing area before it
// touches memory: runs are clipped, single points skipped, lines clipped before
// the walk. Coordinate arithmetic is done in 64 bits so that no caller value
// can overflow it.
#include "runtime/drawing/raster/raster_shape.h"

#include <cstring>
#include <utility>

#include "runtime/core/numeric.h"
#include "runtime/drawing/raster/raster_pixel.h"
#include "runtime/drawing/raster/raster_shape_internal.h"

namespace {

inline bool IsCopyMode(const Canvas* canvas) {
    const int writing = ModeXorColor | ModeAlphaOnly | ModeBlendOver | ModeBlendKeepAlpha | ModeWriteAll |
                        ModeGradientFill | ModeFilter;
    return !(canvas->raster.modeFlags & writing);
}

// A 24-bit run in the copy mode is a copy from a row of the colour's pixels,
// kept for the last colour used, so that a run costs what a memory copy of its
// bytes costs.
struct RunPattern24 {
    static constexpr size_t kBytes = 3 * 1024;
    uint8_t bytes[kBytes];
    uint32_t colour = 0xFFFFFFFFu;  // no colour yet

    const uint8_t* For(uint8_t blue, uint8_t green, uint8_t red) {
        const uint32_t key = blue | static_cast<uint32_t>(green) << 8 | static_cast<uint32_t>(red) << 16;
        if (key != colour) {
            for (size_t i = 0; i < kBytes; i += 3) {
                bytes[i] = blue;
                bytes[i + 1] = green;
                bytes[i + 2] = red;
            }
            colour = key;
        }
        return bytes;
    }
};

void FillRun24(uint8_t* p, int count, uint8_t blue, uint8_t green, uint8_t red) {
    static thread_local RunPattern24 pattern;
    const uint8_t* source = pattern.For(blue, green, red);
    size_t bytes = static_cast<size_t>(count) * 3;
    while (bytes > 0) {
        const size_t chunk = bytes < RunPattern24::kBytes ? bytes : RunPattern24::kBytes;
        std::memcpy(p, source, chunk);
        p += chunk;
        bytes -= chunk;
    }
}

// Writes count pixels starting at (x, y), stepping (dx, dy) and the address by
// step; the mode is chosen once for the run.
void WriteRun(Canvas* canvas, int x, int y, int dx, int dy, intptr_t step, int count) {
    uint8_t* p = RasterPixelAddress(canvas, x, y);
    if (RasterNeedsGeneralWriter(canvas)) {
        for (int i = 0; i < count; ++i, p += step, x += dx, y += dy) RasterWritePixelAt(canvas, p, x, y);
        return;
    }
    const RasterTail& r = canvas->raster;
    if (IsCopyMode(canvas)) {
        const uint8_t blue = static_cast<uint8_t>(r.frontBlue), green = static_cast<uint8_t>(r.frontGreen),
                      red = static_cast<uint8_t>(r.frontRed);
        if (dx == 1 && r.bytesPerPixel == 3) {
            FillRun24(p, count, blue, green, red);
            return;
        }
        for (int i = 0; i < count; ++i, p += step) {
            p[0] = blue;
            p[1] = green;
            p[2] = red;
        }
        return;
    }
    RasterFrontWriter write = RasterFrontWriterFor(canvas);
    for (int i = 0; i < count; ++i, p += step) write(canvas, p);
}

}  // namespace

void RasterSpan64H(Canvas* canvas, int64_t x, int64_t count, int64_t y) {
    if (y < 0 || y >= canvas->height) return;
    if (x < 0) {
        count += x;
        x = 0;
    }
    if (x + count > canvas->width) count = canvas->width - x;
    if (count <= 0) return;
    WriteRun(canvas, static_cast<int>(x), static_cast<int>(y), 1, 0, canvas->raster.bytesPerPixel,
             static_cast<int>(count));
}

void RasterSpan64V(Canvas* canvas, int64_t x, int64_t y, int64_t count) {
    if (x < 0 || x >= canvas->width) return;
    if (y < 0) {
        count += y;
        y = 0;
    }
    if (y + count > canvas->height) count = canvas->height - y;
    if (count <= 0) return;
    WriteRun(canvas, static_cast<int>(x), static_cast<int>(y), 0, 1, RasterRowStep(canvas), static_cast<int>(count));
}

void RasterPlot64(Canvas* canvas, int64_t x, int64_t y) {
    if (x >= 0 && y >= 0 && x < canvas->width && y < canvas->height)
        RasterWritePixelAt(canvas, RasterPixelAddress(canvas, static_cast<int>(x), static_cast<int>(y)),
                           static_cast<int>(x), static_cast<int>(y));
}

void RasterSpanH(Canvas* canvas, int x, int count, int y) { RasterSpan64H(canvas, x, count, y); }

void RasterSpanV(Canvas* canvas, int x, int y, int count) { RasterSpan64V(canvas, x, y, count); }

bool ClipSegmentAxis(int& a1, int& b1, int& a2, int& b2, int lo, int hi) {
    // The slope along the segment, from the end points as given.
    const double slope =
        a1 == a2 ? 0.0 : (static_cast<double>(b2) - b1) / (static_cast<double>(a2) - static_cast<double>(a1));
    if (a1 < lo) {
        if (a2 < lo) return false;
        b1 = TruncToInt(b1 - (static_cast<double>(a1) - lo) * slope);
        a1 = lo;
        if (a2 > hi) {
            b2 = TruncToInt((static_cast<double>(hi) - a2) * slope + b2);
            a2 = hi;
        }
    } else if (a1 > hi) {
        if (a2 > hi) return false;
        b1 = TruncToInt((static_cast<double>(hi) - a1) * slope + b1);
        a1 = hi;
        if (a2 < lo) {
            b2 = TruncToInt(b2 - (static_cast<double>(a2) - lo) * slope);
            a2 = lo;
        }
    } else if (a2 > hi) {
        b2 = TruncToInt((static_cast<double>(hi) - a2) * slope + b2);
        a2 = hi;
    } else if (a2 < lo) {
        b2 = TruncToInt(b2 - (static_cast<double>(a2) - lo) * slope);
        a2 = lo;
    }
    return true;
}

namespace {

// The line walk from (xs, ys) along the major axis; minorStep is +1 or -1.
// The pixel address is stepped, not recomputed.
template <bool XMajor, class Write>
void WalkLine(Canvas* canvas, int xs, int ys, int majorEnd, int minorStep, int64_t majorLength,
              int64_t minorLength, Write write) {
    const intptr_t xStep = canvas->raster.bytesPerPixel;
    const intptr_t yStep = RasterRowStep(canvas);
    const intptr_t majorStep = XMajor ? xStep : yStep;
    const intptr_t minorAddressStep = XMajor ? yStep * minorStep : xStep * minorStep;
    int x = xs, y = ys;
    uint8_t* p = RasterPixelAddress(canvas, x, y);
    int64_t e = 2 * minorLength - majorLength;
    write(p, x, y);
    int& major = XMajor ? x : y;
    int& minor = XMajor ? y : x;
    while (major < majorEnd) {
        ++major;
        p += majorStep;
        if (e < 0) {
            e += 2 * minorLength;
        } else {
            minor += minorStep;
            p += minorAddressStep;
            e += 2 * (minorLength - majorLength);
        }
        write(p, x, y);
    }
}

template <class Write>
void Walk(Canvas* canvas, int x1, int y1, int x2, int y2, Write write) {
    const int64_t adx = x2 > x1 ? int64_t{x2} - x1 : int64_t{x1} - x2;
    const int64_t ady = y2 > y1 ? int64_t{y2} - y1 : int64_t{y1} - y2;
    if (ady <= adx) {
        if (x1 > x2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        WalkLine<true>(canvas, x1, y1, x2, y2 > y1 ? 1 : -1, adx, ady, write);
    } else {
        if (y1 > y2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        WalkLine<false>(canvas, x1, y1, y2, x2 > x1 ? 1 : -1, ady, adx, write);
    }
}

}  // namespace

void RasterLine(Canvas* canvas, int x1, int y1, int x2, int y2) {
    if (y1 == y2) {
        RasterSpan64H(canvas, x1 < x2 ? x1 : x2, (x2 > x1 ? int64_t{x2} - x1 : int64_t{x1} - x2) + 1, y1);
        return;
    }
    if (x1 == x2) {
        RasterSpan64V(canvas, x1, y1 < y2 ? y1 : y2, (y2 > y1 ? int64_t{y2} - y1 : int64_t{y1} - y2) + 1);
        return;
    }
    if (canvas->width <= 0 || canvas->height <= 0) return;
    if (!ClipSegmentAxis(x1, y1, x2, y2, 0, canvas->width - 1)) return;
    if (!ClipSegmentAxis(y1, x1, y2, x2, 0, canvas->height - 1)) return;
    // Clipping interpolates between end points inside the area, so both ends
    // are inside now; the check guards the memory all the same.
    if (!RasterInArea(canvas, x1, y1) || !RasterInArea(canvas, x2, y2)) return;

    if (RasterNeedsGeneralWriter(canvas)) {
        Walk(canvas, x1, y1, x2, y2, [canvas](uint8_t* p, int x, int y) { RasterWritePixelAt(canvas, p, x, y); });
    } else if (IsCopyMode(canvas)) {
        const RasterTail& r = canvas->raster;
        const uint8_t blue = static_cast<uint8_t>(r.frontBlue), green = static_cast<uint8_t>(r.frontGreen),
                      red = static_cast<uint8_t>(r.frontRed);
        Walk(canvas, x1, y1, x2, y2, [blue, green, red](uint8_t* p, int, int) {
            p[0] = blue;
            p[1] = green;
            p[2] = red;
        });
    } else {
        RasterFrontWriter write = RasterFrontWriterFor(canvas);
        Walk(canvas, x1, y1, x2, y2, [canvas, write](uint8_t* p, int, int) { write(canvas, p); });
    }
}

void RasterBox(Canvas* canvas, int x, int y, int w, int h) {
    int64_t bx = x, by = y, bw = w, bh = h;
    if (bw < 0) {
        bx += bw;
        bw = -bw;
    }
    if (bh < 0) {
        by += bh;
        bh = -bh;
    }
    if (canvas->raster.modeFlags & ModeHollow) {
        RasterSpan64H(canvas, bx, bw, by);
        RasterSpan64H(canvas, bx, bw, by + bh - 1);
        RasterSpan64V(canvas, bx, by + 1, bh - 2);
        RasterSpan64V(canvas, bx + bw - 1, by + 1, bh - 2);
        return;
    }
    if (bx < 0) {
        bw += bx;
        bx = 0;
    }
    if (by < 0) {
        bh += by;
        by = 0;
    }
    if (bx + bw > canvas->width) bw = canvas->width - bx;
    if (by + bh > canvas->height) bh = canvas->height - by;
    if (bw <= 0 || bh <= 0) return;
    for (int64_t row = by; row < by + bh; ++row) RasterSpan64H(canvas, bx, bw, row);
}
