// The image slots of a raster Canvas, the same in both builds: each draws
// through RasterDrawBitmap, which brings the source to the requested size and
// hands its rows to the blitters.
#include "runtime/drawing/raster/raster_image.h"

#include "runtime/drawing/image.h"

namespace {

void DrawImageSlot(Canvas* canvas, NativeHandle handle, int x, int y) {
    if (handle) RasterDrawBitmap(canvas, handle, x, y, -1, -1, 255, 0);
}

void DrawImageSizedSlot(Canvas* canvas, NativeHandle handle, int x, int y, int w, int h) {
    if (handle) RasterDrawBitmap(canvas, handle, x, y, w, h, 255, 0);
}

void DrawAlphaImageSlot(Canvas* canvas, NativeHandle handle, int x, int y, int alpha) {
    if (RasterHandleIsBitmap(handle)) RasterDrawBitmap(canvas, handle, x, y, -1, -1, alpha, 1);
}

}  // namespace

void RasterInstallImageSlots(Canvas* canvas) {
    canvas->drawImage = DrawImageSlot;
    canvas->drawImageSized = DrawImageSizedSlot;
    canvas->drawAlphaImage = DrawAlphaImageSlot;
    canvas->grabImage = RasterGrabImage;
}
