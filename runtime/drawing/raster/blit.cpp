#include "runtime/drawing/raster/blit.h"

#include <cstdlib>
#include <cstring>

#include "runtime/drawing/canvas.h"

namespace {

// Everything a row rule needs besides the two row addresses.
struct RowContext {
    Canvas* canvas;
    int alpha;                // opacity of a 24-bit source
    const uint8_t* sourceAlpha;  // 32-bit sources: stored alpha -> opacity (alpha byte scaled by alpha)
    int x;                    // drawing-area column of the row's first pixel
    int y;                    // drawing-area row, counted from the top
};

typedef void (*RowRule)(uint8_t* target, const uint8_t* source, int count, const RowContext& c);

// Opacity of one source pixel: the scaled alpha byte of a 32-bit source, the
// block's alpha for a 24-bit one.
template <int SB>
inline int Opacity(const uint8_t* s, const RowContext& c) {
    if constexpr (SB == 4) return c.sourceAlpha[s[3]];
    else return c.alpha;
}

template <int SB, int TB>
void RowFilter(uint8_t* t, const uint8_t* s, int count, const RowContext& c) {
    FilterCallback filter = c.canvas->raster.filterCallback;
    for (int i = 0; i < count; ++i, t += TB, s += SB) {
        Color source = static_cast<Color>(Opacity<SB>(s, c)) << 24 | static_cast<Color>(s[0]) << 16 |
                       static_cast<Color>(s[1]) << 8 | s[2];
        Color targetAlpha = TB == 4 ? t[3] : 255;
        Color target = targetAlpha << 24 | static_cast<Color>(t[0]) << 16 | static_cast<Color>(t[1]) << 8 | t[2];
        Color result = filter ? filter(c.x + i, c.y, source, target) : target;
        t[0] = static_cast<uint8_t>(result >> 16);
        t[1] = static_cast<uint8_t>(result >> 8);
        t[2] = static_cast<uint8_t>(result);
        if constexpr (TB == 4) t[3] = static_cast<uint8_t>(result >> 24);
    }
}

template <int SB, int TB>
void RowXor(uint8_t* t, const uint8_t* s, int count, const RowContext&) {
    for (int i = 0; i < count; ++i, t += TB, s += SB) {
        t[0] ^= s[0];
        t[1] ^= s[1];
        t[2] ^= s[2];
    }
}

// Colour bytes copied, a 32-bit target's alpha untouched.
template <int SB, int TB>
void RowCopyColour(uint8_t* t, const uint8_t* s, int count, const RowContext&) {
    for (int i = 0; i < count; ++i, t += TB, s += SB) {
        t[0] = s[0];
        t[1] = s[1];
        t[2] = s[2];
    }
}

// Whole pixels copied as one block (same pixel size on both sides).
template <int B>
void RowBlock(uint8_t* t, const uint8_t* s, int count, const RowContext&) {
    std::memcpy(t, s, static_cast<size_t>(count) * B);
}

// 32-bit target: colour copied, alpha := opacity.
template <int SB>
void RowWriteAll(uint8_t* t, const uint8_t* s, int count, const RowContext& c) {
    for (int i = 0; i < count; ++i, t += 4, s += SB) {
        t[0] = s[0];
        t[1] = s[1];
        t[2] = s[2];
        t[3] = static_cast<uint8_t>(Opacity<SB>(s, c));
    }
}

template <int SB>
void RowAlphaOnly(uint8_t* t, const uint8_t* s, int count, const RowContext& c) {
    for (int i = 0; i < count; ++i, t += 4, s += SB) t[3] = static_cast<uint8_t>(Opacity<SB>(s, c));
}

// Straight-alpha "over" onto a 32-bit target; KeepAlpha leaves the target's
// alpha byte as it was.
template <int SB, bool KeepAlpha>
void RowBlendOver(uint8_t* t, const uint8_t* s, int count, const RowContext& c) {
    for (int i = 0; i < count; ++i, t += 4, s += SB) {
        const uint32_t a = static_cast<uint32_t>(Opacity<SB>(s, c));
        if (a == 0) continue;
        const uint32_t d = t[3];
        const uint32_t inverse = 255 - a;
        if (d == 0) {
            t[0] = s[0];
            t[1] = s[1];
            t[2] = s[2];
        } else {
            const uint32_t targetWeight = inverse * d;
            const uint32_t sourceWeight = a * 255;
            const uint32_t divisor = targetWeight + sourceWeight;
            for (int ch = 0; ch < 3; ++ch)
                t[ch] = static_cast<uint8_t>((t[ch] * targetWeight + s[ch] * sourceWeight) / divisor);
        }
        if constexpr (!KeepAlpha) t[3] = static_cast<uint8_t>((d * inverse + a * 255) / 255);
    }
}

// 24-bit target: each channel T := (S*A + T*(255 - A)) / 255.
template <int SB>
void RowBlend24(uint8_t* t, const uint8_t* s, int count, const RowContext& c) {
    for (int i = 0; i < count; ++i, t += 3, s += SB) {
        const uint32_t a = static_cast<uint32_t>(Opacity<SB>(s, c));
        const uint32_t inverse = 255 - a;
        for (int ch = 0; ch < 3; ++ch) t[ch] = static_cast<uint8_t>((s[ch] * a + t[ch] * inverse) / 255);
    }
}

// The row rule for a 32-bit source, chosen once per call (first test that holds).
RowRule RuleFrom32(int mode, bool target32, int alpha, int useAlpha) {
    if (target32) {
        if (mode & ModeFilter) return RowFilter<4, 4>;
        if (mode & ModeXorColor) return RowXor<4, 4>;
        if (mode & ModeWriteAll) return alpha == 255 ? RowBlock<4> : RowWriteAll<4>;
        if (mode & ModeAlphaOnly) return RowAlphaOnly<4>;
        if (mode & ModeBlendOver) return RowBlendOver<4, false>;
        if (mode & ModeBlendKeepAlpha) return RowBlendOver<4, true>;
        if (useAlpha) return RowBlendOver<4, false>;
        return RowCopyColour<4, 4>;
    }
    // A 24-bit target has no write-all mode; the flag, should it be set, is passed over.
    if (mode & ModeFilter) return RowFilter<4, 3>;
    if (mode & ModeXorColor) return RowXor<4, 3>;
    if (mode & ModeAlphaOnly) return nullptr;
    if (mode & (ModeBlendOver | ModeBlendKeepAlpha)) return RowBlend24<4>;
    if (useAlpha) return RowBlend24<4>;
    return RowCopyColour<4, 3>;
}

// The row rule for a 24-bit source whose opacity is alpha.
RowRule RuleFrom24(int mode, bool target32, int alpha) {
    if (target32) {
        if (mode & ModeFilter) return RowFilter<3, 4>;
        if (mode & ModeXorColor) return RowXor<3, 4>;
        if (mode & ModeWriteAll) return RowWriteAll<3>;
        if (mode & ModeAlphaOnly) return RowAlphaOnly<3>;
        if (mode & ModeBlendOver) return RowBlendOver<3, false>;
        if (mode & ModeBlendKeepAlpha) return RowBlendOver<3, true>;
        if (alpha == 255) return RowCopyColour<3, 4>;
        if (alpha == 0) return nullptr;
        return RowBlendOver<3, false>;
    }
    if (mode & ModeFilter) return RowFilter<3, 3>;
    if (mode & ModeXorColor) return RowXor<3, 3>;
    if (mode & ModeAlphaOnly) return nullptr;
    if (alpha == 255) return RowBlock<3>;
    if (alpha == 0) return nullptr;
    return RowBlend24<3>;
}

int ClampAlpha(int alpha) { return alpha < 0 ? 0 : alpha > 255 ? 255 : alpha; }

// Whether rows rows of rowBytes bytes from a, stepA apart, share a byte with
// those from b, stepB apart.
bool RowsOverlap(const uint8_t* a, int64_t stepA, int64_t rowBytesA, const uint8_t* b, int64_t stepB,
                 int64_t rowBytesB, int rows) {
    const int64_t spanA = stepA * (rows - 1), spanB = stepB * (rows - 1);
    const auto startA = reinterpret_cast<uintptr_t>(a), startB = reinterpret_cast<uintptr_t>(b);
    const uintptr_t lowA = startA + static_cast<uintptr_t>(spanA < 0 ? spanA : 0);
    const uintptr_t highA = startA + static_cast<uintptr_t>((spanA > 0 ? spanA : 0) + rowBytesA);
    const uintptr_t lowB = startB + static_cast<uintptr_t>(spanB < 0 ? spanB : 0);
    const uintptr_t highB = startB + static_cast<uintptr_t>((spanB > 0 ? spanB : 0) + rowBytesB);
    return lowA < highB && lowB < highA;
}

void BlitRows(Canvas* canvas, const void* bits, int pitch, int sourceBytes, int x, int y, int width, int height,
              RowRule rule, const RowContext& base) {
    if (!rule || !bits || !canvas->raster.pixels) return;
    BlitRect r;
    if (!BlitClip(canvas, x, y, width, height, &r)) return;
    const RasterTail& raster = canvas->raster;
    const int targetBytes = raster.bytesPerPixel;
    uint8_t* t = raster.pixels + static_cast<int64_t>(r.targetRow) * raster.pitch +
                 static_cast<int64_t>(r.targetX) * targetBytes;
    const uint8_t* s = static_cast<const uint8_t*>(bits) + static_cast<int64_t>(r.sourceRow) * pitch +
                       static_cast<int64_t>(r.sourceX) * sourceBytes;
    int64_t sourceStep = static_cast<int64_t>(r.sourceStep) * pitch;
    const int64_t sourceRowBytes = static_cast<int64_t>(r.width) * sourceBytes;
    // An image drawn onto itself: the rows are read from a copy taken first,
    // so the picture is the one a copy through a temporary image gives.
    uint8_t* copy = nullptr;
    if (RowsOverlap(t, raster.pitch, static_cast<int64_t>(r.width) * targetBytes, s, sourceStep, sourceRowBytes,
                    r.height)) {
        copy = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(sourceRowBytes) * static_cast<size_t>(r.height)));
        if (!copy) return;
        for (int k = 0; k < r.height; ++k)
            std::memcpy(copy + k * sourceRowBytes, s + k * sourceStep, static_cast<size_t>(sourceRowBytes));
        s = copy;
        sourceStep = sourceRowBytes;
    }
    if (rule == RowBlock<3> || rule == RowBlock<4>) {
        // Block copies (the common case) go straight to memcpy, row after row.
        for (int k = 0; k < r.height; ++k)
            std::memcpy(t + k * static_cast<int64_t>(raster.pitch), s + k * sourceStep, static_cast<size_t>(sourceRowBytes));
    } else {
        RowContext c = base;
        c.x = r.targetX;
        for (int k = 0; k < r.height; ++k) {
            const int64_t targetRow = static_cast<int64_t>(r.targetRow) + k;
            c.y = static_cast<int>(raster.bottomUp ? canvas->height - 1 - targetRow : targetRow);
            rule(t + k * static_cast<int64_t>(raster.pitch), s + k * sourceStep, r.width, c);
        }
    }
    std::free(copy);
}

}  // namespace

bool BlitClip(const Canvas* canvas, int x, int y, int width, int height, BlitRect* rect) {
    if (width < 1 || height < 1) return false;
    const int64_t areaWidth = canvas->width;
    const int64_t areaHeight = canvas->height;
    const bool bottomUp = canvas->raster.bottomUp != 0;
    int64_t sourceX = 0, sourceRow = 0, w = width, h = height;
    int64_t targetX = x;
    int64_t targetRow = bottomUp ? areaHeight - y - height : y;
    if (targetX < 0) {
        w += targetX;
        sourceX = -targetX;
        targetX = 0;
    }
    if (targetRow < 0) {
        h += targetRow;
        sourceRow = -targetRow;
        targetRow = 0;
    }
    if (targetX + w > areaWidth) w = areaWidth - targetX;
    if (targetRow + h > areaHeight) h = areaHeight - targetRow;
    if (w < 1 || h < 1) return false;
    // A top-down target walks the bottom-up source from its top stored row down.
    if (!bottomUp) sourceRow = height - sourceRow - 1;
    rect->targetX = static_cast<int>(targetX);
    rect->targetRow = static_cast<int>(targetRow);
    rect->sourceX = static_cast<int>(sourceX);
    rect->sourceRow = static_cast<int>(sourceRow);
    rect->sourceStep = bottomUp ? 1 : -1;
    rect->width = static_cast<int>(w);
    rect->height = static_cast<int>(h);
    return true;
}

void BlitFrom24(Canvas* canvas, const void* bits, int pitch, int x, int y, int width, int height, int alpha) {
    if (!canvas) return;
    alpha = ClampAlpha(alpha);
    RowContext c{canvas, alpha, nullptr, 0, 0};
    RowRule rule = RuleFrom24(canvas->raster.modeFlags, canvas->raster.bytesPerPixel == 4, alpha);
    BlitRows(canvas, bits, pitch, 3, x, y, width, height, rule, c);
}

void BlitFrom32(Canvas* canvas, const void* bits, int pitch, int x, int y, int width, int height, int alpha,
                int useAlpha) {
    if (!canvas) return;
    alpha = ClampAlpha(alpha);
    RowRule rule = RuleFrom32(canvas->raster.modeFlags, canvas->raster.bytesPerPixel == 4, alpha, useAlpha);
    // Stored alpha -> opacity, for the rules that read it; the colour copies do not.
    uint8_t opacity[256];
    if (rule != RowCopyColour<4, 4> && rule != RowCopyColour<4, 3> && rule != RowBlock<4>)
        for (int a = 0; a < 256; ++a) opacity[a] = static_cast<uint8_t>(alpha == 255 ? a : a * alpha / 255);
    RowContext c{canvas, alpha, opacity, 0, 0};
    BlitRows(canvas, bits, pitch, 4, x, y, width, height, rule, c);
}

int BlitCopyOut(const Canvas* canvas, int x, int y, void* targetBits, int targetPitch, int targetWidth,
                int targetHeight) {
    if (!canvas || !targetBits || !canvas->raster.pixels) return 0;
    const int64_t areaWidth = canvas->width;
    const int64_t areaHeight = canvas->height;
    int64_t left = x, top = y, columnOffset = 0, rowOffset = 0, w = targetWidth, h = targetHeight;
    if (left < 0) {
        columnOffset = -left;
        w += left;
        left = 0;
    }
    if (top < 0) {
        rowOffset = -top;
        h += top;
        top = 0;
    }
    if (left + w > areaWidth) w = areaWidth - left;
    if (top + h > areaHeight) h = areaHeight - top;
    if (w < 1 || h < 1) return 0;
    const RasterTail& raster = canvas->raster;
    const int64_t bytes = raster.bytesPerPixel;
    auto* target = static_cast<uint8_t*>(targetBits);
    for (int64_t k = 0; k < h; ++k) {
        // k counts stored rows of the target from the bottom of the copied band.
        const int64_t targetRow = targetHeight - rowOffset - h + k;
        const int64_t imageRow = top + h - 1 - k;  // drawing-area row, from the top
        const int64_t sourceRow = raster.bottomUp ? areaHeight - 1 - imageRow : imageRow;
        std::memcpy(target + targetRow * targetPitch + columnOffset * bytes,
                    raster.pixels + sourceRow * raster.pitch + left * bytes, static_cast<size_t>(w * bytes));
    }
    return static_cast<int>(h);
}
