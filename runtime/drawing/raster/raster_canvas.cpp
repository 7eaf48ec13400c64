// The raster Canvas: creation, begin and end, the buffer queries and clipping.
// A raster Canvas draws by writing the bytes of its pixel memory directly.
#include <cstdint>

#include "runtime/core/array.h"
#include "runtime/core/block_pool.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/raster/raster_canvas.h"
#include "runtime/drawing/raster/raster_image.h"
#include "runtime/drawing/raster/raster_pixel.h"
#include "runtime/drawing/raster/raster_shape.h"
#include "runtime/drawing/raster/raster_text.h"

namespace {

NativeHandle RasterBegin(Canvas* canvas) {
    RasterTail& r = canvas->raster;
    if (!r.pixels) {
        // The record is freed without an end: drop the stops set up so far.
        RasterClearGradientStops(canvas);
        return 0;
    }
    r.fullPixels = r.pixels;
    RasterTextBegin(canvas);
    // An image output answers with its memory DC; an output that is plain
    // pixel memory has no DC, and its memory is its handle.
    return r.imageDC ? r.imageDC : reinterpret_cast<NativeHandle>(r.pixels);
}

void RasterEnd(Canvas* canvas) {
    RasterTail& r = canvas->raster;
    RasterTextEnd(canvas);
    if (r.fillPool) {
        PoolRelease(r.fillPool);
        r.fillPool = nullptr;
    }
    if (r.fillSpans) ArrayFree(r.fillSpans);
    r.fillSpans = nullptr;
    RasterClearGradientStops(canvas);
}

void* RasterBufferAddress(Canvas* canvas) { return canvas->raster.fullPixels; }
int RasterBufferPitch(Canvas* canvas) { return canvas->raster.pitch; }
int RasterBufferPixelFormat(Canvas* canvas) { return canvas->raster.pixelFormat; }

// Narrows one axis of the drawing area to [start, start + size) of [0, full).
// A range lying wholly outside leaves an empty area.
void ClipAxis(int64_t& start, int64_t& size, int64_t full) {
    if (start < 0) {
        size += start;
        start = 0;
    } else if (start > full) {
        start = full;
    }
    if (start + size > full) size = full - start;
    if (size < 0) size = 0;
}

}  // namespace

void RasterClip(Canvas* canvas, int x, int y, int w, int h) {
    RasterTail& r = canvas->raster;
    int64_t cx = x, cy = y, cw = w, ch = h;
    ClipAxis(cx, cw, canvas->fullWidth);
    ClipAxis(cy, ch, canvas->fullHeight);
    if (cw > 0 && ch > 0) {
        int64_t row = r.bottomUp ? canvas->fullHeight - cy - ch : cy;
        r.pixels = r.fullPixels + cx * r.bytesPerPixel + row * r.pitch;
    } else {
        r.pixels = r.fullPixels;  // nothing is drawn in an empty area
    }
    canvas->width = static_cast<int>(cw);
    canvas->height = static_cast<int>(ch);
    canvas->originX = canvas->baseOriginX - static_cast<int>(cx);
    canvas->originY = canvas->baseOriginY - static_cast<int>(cy);
}

void RasterUnclip(Canvas* canvas) {
    canvas->width = canvas->fullWidth;
    canvas->height = canvas->fullHeight;
    canvas->originX = canvas->baseOriginX;
    canvas->originY = canvas->baseOriginY;
    canvas->raster.pixels = canvas->raster.fullPixels;
}

Canvas* RasterCanvasCreate(int pixelFormat) {
    Canvas* canvas = CanvasAllocate();
    if (!canvas) return nullptr;
    RasterTail& r = canvas->raster;
    r.pixelFormat = pixelFormat;
    r.bottomUp = pixelFormat & PixelFormatBottomUp;
    r.bytesPerPixel = (pixelFormat & 0x60) ? 4 : 3;

    canvas->gradientColor1 = 0xFFFFFFFFu;
    canvas->gradientColor2 = 0xFF000000u;
    canvas->frontColor = 0;
    canvas->backColor = 0;

    canvas->setBackColor = RasterSetBackColor;
    canvas->box = RasterBox;
    canvas->roundBox = RasterRoundBox;
    canvas->bufferAddress = RasterBufferAddress;
    canvas->bufferPitch = RasterBufferPitch;
    canvas->bufferPixelFormat = RasterBufferPixelFormat;
    canvas->setMode = RasterSetMode;
    canvas->ellipse = RasterEllipse;
    canvas->fillArea = RasterFillArea;
    canvas->setFrontColor = RasterSetFrontColor;
    canvas->line = RasterLine;
    canvas->clip = RasterClip;
    canvas->unclip = RasterUnclip;
    r.gradientCallback = RasterDefaultGradient;
    r.filterCallback = RasterDefaultFilter;

    RasterSetMode(canvas, 0);

    canvas->begin = RasterBegin;
    canvas->end = RasterEnd;
    RasterInstallTextSlots(canvas);
    RasterInstallImageSlots(canvas);
    return canvas;
}
