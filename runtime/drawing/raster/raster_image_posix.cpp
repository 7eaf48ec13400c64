// The image slots of a raster Canvas in the native build, where an image handle
// is a NativeBitmap: plain and alpha drawing are the row blitters; sized drawing
// resamples 32-bit bitmaps and picks the nearest pixel for 24-bit ones.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "runtime/drawing/image.h"
#include "runtime/drawing/native_bitmap_posix.h"
#include "runtime/drawing/raster/blit.h"
#include "runtime/drawing/raster/raster_image.h"
#include "runtime/drawing/resample.h"

namespace {

void Blit(Canvas* canvas, const NativeBitmap* b, int x, int y, int alpha, int useAlpha) {
    if (b->bitCount == 32)
        BlitFrom32(canvas, b->bits, b->pitch, x, y, b->width, b->height, alpha, useAlpha);
    else
        BlitFrom24(canvas, b->bits, b->pitch, x, y, b->width, b->height, alpha);
}

// A copy of the bitmap at w by h, or 0 (also for sizes whose bytes do not fit).
NativeBitmap* Resized(const NativeBitmap* b, int w, int h) {
    NativeBitmap* out = NativeBitmapCreate(w, h, b->bitCount);
    if (!out) return nullptr;
    if (b->bitCount == 32 && ResamplePixels32(out->bits, w, h, b->bits, b->width, b->height)) return out;
    const int bpp = b->bitCount / 8;
    for (int r = 0; r < h; ++r) {
        const int sr = static_cast<int>(static_cast<int64_t>(r) * b->height / h);
        for (int c = 0; c < w; ++c) {
            const int sc = static_cast<int>(static_cast<int64_t>(c) * b->width / w);
            std::memcpy(out->bits + int64_t{r} * out->pitch + int64_t{c} * bpp,
                        b->bits + int64_t{sr} * b->pitch + int64_t{sc} * bpp, static_cast<size_t>(bpp));
        }
    }
    return out;
}

}  // namespace

bool RasterHandleIsBitmap(NativeHandle handle) { return handle != 0; }

void RasterDrawBitmap(Canvas* canvas, NativeHandle handle, int x, int y, int w, int h, int alpha, int useAlpha) {
    const NativeBitmap* b = NativeBitmapOf(handle);
    if (!canvas || !b) return;
    if (w == -1) w = b->width;
    if (h == -1) h = b->height;
    if (w < 1 || h < 1) return;
    if (w == b->width && h == b->height) {
        Blit(canvas, b, x, y, alpha, useAlpha);
        return;
    }
    NativeBitmap* resized = Resized(b, w, h);
    if (!resized) return;
    Blit(canvas, resized, x, y, alpha, useAlpha);
    NativeBitmapDestroy(resized);
}

void RasterBlitDib(Canvas* canvas, NativeHandle dib, int x, int y, int alpha, int useAlpha) {
    if (canvas && dib) Blit(canvas, NativeBitmapOf(dib), x, y, alpha, useAlpha);
}
