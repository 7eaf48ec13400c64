#include "runtime/drawing/raster/text_composite.h"

#include <cstdint>

#include "runtime/drawing/raster/raster_pixel.h"

namespace {

// Average coverage of a block pixel, 0..1, as a single-precision value. Every
// rule that needs it uses this one value, multiplied afterwards in double
// precision (the products of a float and a byte are exact there).
float AverageCoverage(const uint8_t* c) {
    return static_cast<float>(c[0] + c[1] + c[2]) / 765.0f;
}

// trunc(a * alpha): the front alpha weighted by the average coverage.
int WeightedAlpha(float a, int alpha) {
    return static_cast<int>(static_cast<double>(a) * alpha);
}

// trunc((1 - a) * under + a * over) for alpha bytes.
uint8_t MixAlpha(float a, int under, int over) {
    double v = (1.0 - static_cast<double>(a)) * under + static_cast<double>(a) * over;
    if (v > 255.0) v = 255.0;
    return static_cast<uint8_t>(static_cast<int>(v));
}

// Straight-alpha "over": colour channel c with weight w (0..255) onto channel t
// whose pixel has alpha d.
uint8_t OverChannel(int t, int d, int c, int w) {
    if (w == 0) return static_cast<uint8_t>(t);
    if (d == 0) return static_cast<uint8_t>(c);
    return static_cast<uint8_t>((c * w * 255 + t * (255 - w) * d) / ((255 - w) * d + w * 255));
}

// The front colour in block byte order: blue, green, red.
void FrontChannels(const TextColors& k, int out[3]) {
    out[0] = k.blue;
    out[1] = k.green;
    out[2] = k.red;
}

void BackChannels(const TextColors& k, int out[3]) {
    out[0] = k.backBlue;
    out[1] = k.backGreen;
    out[2] = k.backRed;
}

}  // namespace

TextOverBackground TextOverBack(const uint8_t* coverage, const TextColors& colors) {
    int front[3], back[3], x[3];
    FrontChannels(colors, front);
    BackChannels(colors, back);
    const int fa = colors.alpha, ba = colors.backAlpha;
    const int v = WeightedAlpha(AverageCoverage(coverage), fa);
    for (int k = 0; k < 3; ++k) {
        // A nearly opaque background keeps the per-channel coverage (sub-pixel
        // rendering); a translucent one uses the average so that the colour
        // does not shift against the single alpha written with it.
        const int w = ba >= 192 ? coverage[k] * fa / 255 : v;
        if (w == 0)
            x[k] = back[k];
        else if (ba == 0)
            x[k] = front[k];
        else
            x[k] = (front[k] * w * 255 + back[k] * (255 - w) * ba) / (w * 255 + (255 - w) * ba);
    }
    TextOverBackground r;
    r.blue = x[0];
    r.green = x[1];
    r.red = x[2];
    r.alpha = ((255 - v) * ba + v * 255) / 255;
    return r;
}

void TextCompositePixel(uint8_t* t, int bytesPerPixel, const uint8_t* c, const TextColors& colors, int modeFlags,
                        bool opaque) {
    int front[3], back[3];
    FrontChannels(colors, front);
    BackChannels(colors, back);
    const int fa = colors.alpha;
    const bool wide = bytesPerPixel == 4;

    if (modeFlags & ModeXorColor) {
        if (AverageCoverage(c) > 0.5f) {
            for (int k = 0; k < 3; ++k) t[k] ^= static_cast<uint8_t>(front[k]);
        } else if (opaque) {
            for (int k = 0; k < 3; ++k) t[k] ^= static_cast<uint8_t>(back[k]);
        }
        return;
    }

    if ((modeFlags & ModeWriteAll) && wide) {
        if (opaque) {
            const TextOverBackground x = TextOverBack(c, colors);
            t[0] = static_cast<uint8_t>(x.blue);
            t[1] = static_cast<uint8_t>(x.green);
            t[2] = static_cast<uint8_t>(x.red);
            t[3] = static_cast<uint8_t>(x.alpha);
        } else {
            // Transparent background: the text replaces colour and alpha where
            // it covers the pixel and leaves the pixel where it does not; edge
            // pixels move towards the front colour and alpha by their coverage.
            // (Writing the front colour over the whole text rectangle would
            // paint an opaque box, which is what an opaque background is for.)
            for (int k = 0; k < 3; ++k) t[k] = static_cast<uint8_t>((front[k] * c[k] + (255 - c[k]) * t[k]) / 255);
            t[3] = MixAlpha(AverageCoverage(c), t[3], fa);
        }
        return;
    }

    if (modeFlags & ModeAlphaOnly) {
        if (wide) t[3] = MixAlpha(AverageCoverage(c), opaque ? colors.backAlpha : t[3], fa);
        return;
    }

    if (modeFlags & (ModeBlendOver | ModeBlendKeepAlpha)) {
        const bool composeAlpha = (modeFlags & ModeBlendOver) != 0;
        if (opaque) {
            const TextOverBackground x = TextOverBack(c, colors);
            const int xc[3] = {x.blue, x.green, x.red};
            const int h = x.alpha;
            if (!wide) {
                for (int k = 0; k < 3; ++k) t[k] = static_cast<uint8_t>((xc[k] * h + t[k] * (255 - h)) / 255);
                return;
            }
            const int d = t[3];
            for (int k = 0; k < 3; ++k) t[k] = OverChannel(t[k], d, xc[k], h);
            if (composeAlpha) t[3] = static_cast<uint8_t>(((255 - h) * d + h * 255) / 255);
            return;
        }
        if (!wide) {
            for (int k = 0; k < 3; ++k) {
                const int w = c[k] * fa / 255;
                t[k] = static_cast<uint8_t>(((255 - w) * t[k] + front[k] * w) / 255);
            }
            return;
        }
        const int d = t[3];
        const int v = WeightedAlpha(AverageCoverage(c), fa);
        for (int k = 0; k < 3; ++k) t[k] = OverChannel(t[k], d, front[k], d >= 192 ? c[k] * fa / 255 : v);
        if (composeAlpha) t[3] = static_cast<uint8_t>(((255 - v) * d + v * 255) / 255);
        return;
    }

    // Copy: each channel mixed by its own coverage; the alpha byte is left.
    for (int k = 0; k < 3; ++k) {
        const int under = opaque ? back[k] : t[k];
        t[k] = static_cast<uint8_t>(((255 - c[k]) * under + front[k] * c[k]) / 255);
    }
}

void TextComposite(Canvas* canvas, const uint8_t* block, int pitch, int x, int y, int w, int h, int transparent) {
    if (!canvas || !block) return;
    RasterTail& r = canvas->raster;
    if (!r.pixels || (r.bytesPerPixel != 3 && r.bytesPerPixel != 4)) return;
    const int width = canvas->width, height = canvas->height;

    // Clip in 64-bit arithmetic so that far-off positions and sizes cannot wrap.
    int64_t right = static_cast<int64_t>(x) + w;
    int64_t bottom = static_cast<int64_t>(y) + h;
    if (right > width) right = width;
    if (bottom > height) bottom = height;
    if (w <= 0 || h <= 0 || right <= 0 || bottom <= 0 || x >= width || y >= height) return;
    const int firstColumn = x < 0 ? -x : 0;
    const int firstRow = y < 0 ? -y : 0;
    const int columns = static_cast<int>(right - x);  // block columns firstColumn..columns-1
    const int rows = static_cast<int>(bottom - y);

    const bool opaque = !(r.modeFlags & ModeTransparentText) && !transparent;
    const int bpp = r.bytesPerPixel;

    TextColors colors;
    auto loadFront = [&colors](Color c) {
        colors.red = static_cast<int>(c & 0xFF);
        colors.green = static_cast<int>((c >> 8) & 0xFF);
        colors.blue = static_cast<int>((c >> 16) & 0xFF);
        colors.alpha = static_cast<int>(c >> 24);
    };
    loadFront(canvas->frontColor);
    // The back components may hold channel x alpha (blend modes); the text
    // rules want the plain channels.
    colors.backAlpha = r.backAlpha & 0xFF;
    auto plainBack = [&r, &colors](int component) {
        if (!r.premultiply) return component & 0xFF;
        return colors.backAlpha ? (component / colors.backAlpha) & 0xFF : 0;
    };
    colors.backRed = plainBack(r.backRed);
    colors.backGreen = plainBack(r.backGreen);
    colors.backBlue = plainBack(r.backBlue);

    for (int i = firstRow; i < rows; ++i) {
        const int targetY = y + i;
        const int storedRow = r.bottomUp ? height - targetY - 1 : targetY;
        uint8_t* line = r.pixels + static_cast<intptr_t>(storedRow) * r.pitch;
        const uint8_t* src = block + static_cast<intptr_t>(i) * pitch;
        for (int j = firstColumn; j < columns; ++j) {
            const int targetX = x + j;
            uint8_t* t = line + static_cast<intptr_t>(targetX) * bpp;
            const uint8_t* c = src + static_cast<intptr_t>(j) * 3;
            if (r.gradientOn) loadFront(GradientColorAt(canvas, targetX, targetY));
            if (r.filterOn) {
                const float a = AverageCoverage(c);
                const Color passed = static_cast<Color>(colors.red) | static_cast<Color>(colors.green) << 8 |
                                     static_cast<Color>(colors.blue) << 16 |
                                     static_cast<Color>(WeightedAlpha(a, colors.alpha)) << 24;
                const Color targetColor = static_cast<Color>(t[2]) | static_cast<Color>(t[1]) << 8 |
                                          static_cast<Color>(t[0]) << 16 |
                                          static_cast<Color>(bpp == 4 ? t[3] : 0xFF) << 24;
                const Color result = r.filterCallback ? r.filterCallback(targetX, targetY, passed, targetColor)
                                                      : targetColor;
                t[0] = static_cast<uint8_t>(result >> 16);
                t[1] = static_cast<uint8_t>(result >> 8);
                t[2] = static_cast<uint8_t>(result);
                if (bpp == 4) t[3] = static_cast<uint8_t>(result >> 24);
                continue;
            }
            TextCompositePixel(t, bpp, c, colors, r.modeFlags, opaque);
        }
    }
}
