// Raster pixel writers: one writer pair per drawing mode, chosen once by
// setMode so that plot and plotColor make no mode tests per pixel, and the
// general writer that applies gradient and filter.
#include "runtime/drawing/raster/raster_pixel.h"

#include <limits>

#include "runtime/core/main_heap.h"
#include "runtime/core/numeric.h"

namespace {

inline uint8_t Byte(int value) { return static_cast<uint8_t>(value & 0xFF); }
inline int Red(Color c) { return static_cast<int>(c & 0xFF); }
inline int Green(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int Blue(Color c) { return static_cast<int>((c >> 16) & 0xFF); }
inline int Alpha(Color c) { return static_cast<int>(c >> 24); }

// Over composition of a straight-alpha colour (channels c*, alpha a) onto a
// straight-alpha 32-bit target. With a = 0 nothing changes; onto a target of
// alpha 0 the channels are taken as they are.
inline void BlendOver(uint8_t* p, int a, int cr, int cg, int cb, bool writeAlpha) {
    if (a == 0) return;
    int d = p[3];
    if (d == 0) {
        p[0] = Byte(cb);
        p[1] = Byte(cg);
        p[2] = Byte(cr);
    } else {
        int keep = (255 - a) * d;
        int add = a * 255;
        int divisor = add + keep;
        p[0] = Byte((p[0] * keep + cb * add) / divisor);
        p[1] = Byte((p[1] * keep + cg * add) / divisor);
        p[2] = Byte((p[2] * keep + cr * add) / divisor);
    }
    if (writeAlpha) p[3] = Byte((d * (255 - a) + a * 255) / 255);
}

// Each writer family: Front writes from the front components, Explicit from a
// colour argument whose channels are never premultiplied.
struct CopyOp {
    static void Front(Canvas* c, uint8_t* p) {
        const RasterTail& r = c->raster;
        p[0] = Byte(r.frontBlue);
        p[1] = Byte(r.frontGreen);
        p[2] = Byte(r.frontRed);
    }
    static void Explicit(uint8_t* p, Color c) {
        p[0] = Byte(Blue(c));
        p[1] = Byte(Green(c));
        p[2] = Byte(Red(c));
    }
};

struct XorOp {
    static void Front(Canvas* c, uint8_t* p) {
        const RasterTail& r = c->raster;
        p[0] ^= Byte(r.frontBlue);
        p[1] ^= Byte(r.frontGreen);
        p[2] ^= Byte(r.frontRed);
    }
    static void Explicit(uint8_t* p, Color c) {
        p[0] ^= Byte(Blue(c));
        p[1] ^= Byte(Green(c));
        p[2] ^= Byte(Red(c));
    }
};

struct WriteAllOp {
    static void Front(Canvas* c, uint8_t* p) {
        CopyOp::Front(c, p);
        p[3] = Byte(c->raster.frontAlpha);
    }
    static void Explicit(uint8_t* p, Color c) {
        CopyOp::Explicit(p, c);
        p[3] = Byte(Alpha(c));
    }
};

struct AlphaOnlyOp {
    static void Front(Canvas* c, uint8_t* p) { p[3] = Byte(c->raster.frontAlpha); }
    static void Explicit(uint8_t* p, Color c) { p[3] = Byte(Alpha(c)); }
};

struct EmptyOp {
    static void Front(Canvas*, uint8_t*) {}
    static void Explicit(uint8_t*, Color) {}
};

struct Blend24Op {
    static void Front(Canvas* c, uint8_t* p) {
        const RasterTail& r = c->raster;
        p[0] = Byte((p[0] * r.frontInverse + r.frontBlue) / 255);
        p[1] = Byte((p[1] * r.frontInverse + r.frontGreen) / 255);
        p[2] = Byte((p[2] * r.frontInverse + r.frontRed) / 255);
    }
    static void Explicit(uint8_t* p, Color c) {
        int a = Alpha(c), inverse = 255 - a;
        p[0] = Byte((p[0] * inverse + Blue(c) * a) / 255);
        p[1] = Byte((p[1] * inverse + Green(c) * a) / 255);
        p[2] = Byte((p[2] * inverse + Red(c) * a) / 255);
    }
};

template <bool WriteAlpha>
struct BlendOverOp {
    // The front components hold channel x alpha: dividing by alpha is exact.
    static void Front(Canvas* c, uint8_t* p) {
        const RasterTail& r = c->raster;
        int a = r.frontAlpha;
        if (a == 0) return;
        BlendOver(p, a, r.frontRed / a, r.frontGreen / a, r.frontBlue / a, WriteAlpha);
    }
    static void Explicit(uint8_t* p, Color c) { BlendOver(p, Alpha(c), Red(c), Green(c), Blue(c), WriteAlpha); }
};

// plot, plotColor and point ignore coordinates outside the drawing area.
template <class Op>
void PlotWith(Canvas* canvas, int x, int y) {
    if (RasterInArea(canvas, x, y)) Op::Front(canvas, RasterPixelAddress(canvas, x, y));
}

template <class Op>
void PlotColorWith(Canvas* canvas, int x, int y, Color colour) {
    if (RasterInArea(canvas, x, y)) Op::Explicit(RasterPixelAddress(canvas, x, y), colour);
}

void PlotGeneral(Canvas* canvas, int x, int y) { RasterWritePixel(canvas, x, y); }

void PlotColorGeneral(Canvas* canvas, int x, int y, Color colour) {
    if (!RasterInArea(canvas, x, y)) return;
    canvas->frontColor = colour;
    RasterWritePixel(canvas, x, y);
}

Color PointWithoutAlpha(Canvas* canvas, int x, int y) {
    if (!RasterInArea(canvas, x, y)) return 0;
    const uint8_t* p = RasterPixelAddress(canvas, x, y);
    return static_cast<Color>(p[0]) << 16 | static_cast<Color>(p[1]) << 8 | p[2];
}

Color PointWithAlpha(Canvas* canvas, int x, int y) {
    if (!RasterInArea(canvas, x, y)) return 0;
    const uint8_t* p = RasterPixelAddress(canvas, x, y);
    return static_cast<Color>(p[3]) << 24 | static_cast<Color>(p[0]) << 16 | static_cast<Color>(p[1]) << 8 | p[2];
}

template <class Op>
void InstallPair(Canvas* canvas) {
    canvas->plot = PlotWith<Op>;
    canvas->plotColor = PlotColorWith<Op>;
}

// Step 5 of the general writer: the mode's rule with the front components.
template <class Op>
void FrontWriter(Canvas* canvas, uint8_t* p) {
    Op::Front(canvas, p);
}

}  // namespace

void SplitColor(const Canvas* canvas, Color colour, int& red, int& green, int& blue, int& alpha, int& inverse) {
    alpha = Alpha(colour);
    inverse = 255 - alpha;
    if (canvas->raster.premultiply == 1) {
        red = Red(colour) * alpha;
        green = Green(colour) * alpha;
        blue = Blue(colour) * alpha;
    } else {
        red = Red(colour);
        green = Green(colour);
        blue = Blue(colour);
    }
}

void RasterSetFrontColor(Canvas* canvas, Color colour) {
    RasterTail& r = canvas->raster;
    SplitColor(canvas, colour, r.frontRed, r.frontGreen, r.frontBlue, r.frontAlpha, r.frontInverse);
}

void RasterSetBackColor(Canvas* canvas, Color colour) {
    RasterTail& r = canvas->raster;
    SplitColor(canvas, colour, r.backRed, r.backGreen, r.backBlue, r.backAlpha, r.backInverse);
}

void RasterSetMode(Canvas* canvas, int flags) {
    RasterTail& r = canvas->raster;
    const bool wide = r.bytesPerPixel == 4;
    // Writing all four bytes overrides the alpha and blend bits, and does not
    // exist on 24-bit outputs.
    if (flags & ModeWriteAll) {
        flags &= ~(ModeAlphaOnly | ModeBlendOver | ModeBlendKeepAlpha);
        if (!wide) flags &= ~ModeWriteAll;
    }
    r.modeFlags = flags;
    r.premultiply = (flags & (ModeBlendOver | ModeBlendKeepAlpha)) &&
                            !(flags & (ModeXorColor | ModeGradientFill | ModeFilter | ModeWriteAll))
                        ? 1
                        : 0;
    r.gradientOn = flags & ModeGradientFill;
    r.filterOn = flags & ModeFilter;

    if (flags & (ModeGradientFill | ModeFilter)) {
        canvas->plot = PlotGeneral;
        canvas->plotColor = PlotColorGeneral;
    } else if (flags & ModeXorColor) {
        InstallPair<XorOp>(canvas);
    } else if (flags & ModeWriteAll) {
        InstallPair<WriteAllOp>(canvas);
    } else if (flags & ModeAlphaOnly) {
        if (wide) InstallPair<AlphaOnlyOp>(canvas);
        else InstallPair<EmptyOp>(canvas);
    } else if (flags & ModeBlendOver) {
        if (wide) InstallPair<BlendOverOp<true>>(canvas);
        else InstallPair<Blend24Op>(canvas);
    } else if (flags & ModeBlendKeepAlpha) {
        if (wide) InstallPair<BlendOverOp<false>>(canvas);
        else InstallPair<Blend24Op>(canvas);
    } else {
        InstallPair<CopyOp>(canvas);
    }

    const int alphaModes = ModeAlphaOnly | ModeBlendOver | ModeBlendKeepAlpha | ModeFilter | ModeWriteAll;
    canvas->point = wide && (flags & alphaModes) ? PointWithAlpha : PointWithoutAlpha;

    RasterSetFrontColor(canvas, canvas->frontColor);
    RasterSetBackColor(canvas, canvas->backColor);
}

RasterFrontWriter RasterFrontWriterFor(const Canvas* canvas) {
    const int flags = canvas->raster.modeFlags;
    const bool wide = canvas->raster.bytesPerPixel == 4;
    if (flags & ModeXorColor) return FrontWriter<XorOp>;
    if (flags & ModeWriteAll) return wide ? FrontWriter<WriteAllOp> : FrontWriter<CopyOp>;
    if (flags & ModeAlphaOnly) return wide ? FrontWriter<AlphaOnlyOp> : FrontWriter<EmptyOp>;
    if (flags & ModeBlendOver) return wide ? FrontWriter<BlendOverOp<true>> : FrontWriter<Blend24Op>;
    if (flags & ModeBlendKeepAlpha) return wide ? FrontWriter<BlendOverOp<false>> : FrontWriter<Blend24Op>;
    return FrontWriter<CopyOp>;
}

void RasterWritePixelAt(Canvas* canvas, uint8_t* p, int x, int y) {
    RasterTail& r = canvas->raster;
    if (r.gradientOn || r.filterOn) {
        Color source = r.gradientOn ? GradientColorAt(canvas, x, y) : canvas->frontColor;
        if (r.filterOn) {
            const bool wide = r.bytesPerPixel == 4;
            Color target = (wide ? static_cast<Color>(p[3]) << 24 : 0xFF000000u) | static_cast<Color>(p[0]) << 16 |
                           static_cast<Color>(p[1]) << 8 | p[2];
            FilterCallback filter = r.filterCallback ? r.filterCallback : RasterDefaultFilter;
            Color out = filter(x, y, source, target);
            CopyOp::Explicit(p, out);
            if (wide) p[3] = Byte(Alpha(out));
            return;
        }
        // The gradient colour becomes the front colour; the blend modes take
        // it premultiplied.
        r.frontAlpha = Alpha(source);
        if (r.modeFlags & (ModeBlendOver | ModeBlendKeepAlpha)) {
            r.frontInverse = 255 - r.frontAlpha;
            r.frontRed = Red(source) * r.frontAlpha;
            r.frontGreen = Green(source) * r.frontAlpha;
            r.frontBlue = Blue(source) * r.frontAlpha;
        } else {
            r.frontRed = Red(source);
            r.frontGreen = Green(source);
            r.frontBlue = Blue(source);
        }
    }
    RasterFrontWriterFor(canvas)(canvas, p);
}

void RasterWritePixel(Canvas* canvas, int x, int y) {
    if (RasterInArea(canvas, x, y)) RasterWritePixelAt(canvas, RasterPixelAddress(canvas, x, y), x, y);
}

void RasterPlotChecked(Canvas* canvas, int x, int y) {
    if (RasterInArea(canvas, x, y)) RasterWritePixelAt(canvas, RasterPixelAddress(canvas, x, y), x, y);
}

namespace {

// u x P + (1 - u) x Q for one channel, written as Q + u x (P - Q) so that equal
// channels stay exact; truncated, with the low 8 bits kept.
inline Color Mix(double u, int p, int q) {
    return static_cast<Color>(TruncToInt(q + u * (p - q))) & 0xFF;
}

inline Color MixColor(double u, int pr, int pg, int pb, int pa, int qr, int qg, int qb, int qa) {
    return Mix(u, pr, qr) | Mix(u, pg, qg) << 8 | Mix(u, pb, qb) << 16 | Mix(u, pa, qa) << 24;
}

// A double rounded to float; values beyond the float range become infinite
// rather than undefined.
inline float ToFloat(double value) {
    if (value > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    if (value < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

}  // namespace

Color GradientColorAt(Canvas* canvas, int x, int y) {
    const RasterTail& r = canvas->raster;
    GradientCallback callback = r.gradientCallback ? r.gradientCallback : RasterDefaultGradient;
    const float t = ToFloat(callback(canvas, x, y));
    const Color c1 = canvas->gradientColor1, c2 = canvas->gradientColor2;

    const GradientStop* stop = r.gradientStops;
    if (!stop)
        return MixColor(t, Red(c1), Green(c1), Blue(c1), Alpha(c1), Red(c2), Green(c2), Blue(c2), Alpha(c2));

    const GradientStop* previous = nullptr;
    while (stop && stop->position <= t) {
        previous = stop;
        stop = stop->next;
    }
    if (!previous) {
        float u = t / stop->position;
        return MixColor(u, stop->red, stop->green, stop->blue, stop->alpha, Red(c2), Green(c2), Blue(c2), Alpha(c2));
    }
    if (stop) {
        float u = (t - previous->position) / (stop->position - previous->position);
        return MixColor(u, stop->red, stop->green, stop->blue, stop->alpha, previous->red, previous->green,
                        previous->blue, previous->alpha);
    }
    if (previous->position == 1.0f) {
        return static_cast<Color>(previous->red & 0xFF) | static_cast<Color>(previous->green & 0xFF) << 8 |
               static_cast<Color>(previous->blue & 0xFF) << 16 | static_cast<Color>(previous->alpha & 0xFF) << 24;
    }
    float u = (t - previous->position) / (1.0f - previous->position);
    return MixColor(u, Red(c1), Green(c1), Blue(c1), Alpha(c1), previous->red, previous->green, previous->blue,
                    previous->alpha);
}

bool RasterAddGradientStop(Canvas* canvas, float position, Color colour) {
    if (!(position >= 0.0f && position <= 1.0f)) return false;
    auto* stop = static_cast<GradientStop*>(MainAlloc(sizeof(GradientStop)));
    if (!stop) return false;
    stop->position = position;
    stop->red = Red(colour);
    stop->green = Green(colour);
    stop->blue = Blue(colour);
    stop->alpha = Alpha(colour);
    GradientStop** link = &canvas->raster.gradientStops;
    while (*link && (*link)->position <= position) link = &(*link)->next;
    stop->next = *link;
    *link = stop;
    return true;
}

void RasterClearGradientStops(Canvas* canvas) {
    GradientStop* stop = canvas->raster.gradientStops;
    while (stop) {
        GradientStop* next = stop->next;
        MainFree(stop);
        stop = next;
    }
    canvas->raster.gradientStops = nullptr;
}

double RasterDefaultGradient(Canvas*, int, int) { return 1.0; }

Color RasterDefaultFilter(int, int, Color, Color target) { return target; }

void RasterSetGradientCallback(Canvas* canvas, GradientCallback callback) {
    canvas->raster.gradientCallback = callback ? callback : RasterDefaultGradient;
}

void RasterSetFilterCallback(Canvas* canvas, FilterCallback callback) {
    canvas->raster.filterCallback = callback ? callback : RasterDefaultFilter;
}
