// The image slots of a raster Canvas: drawImage, drawImageSized,
// drawAlphaImage and grabImage, and the conversions behind them. Image handles
// are native GDI bitmaps (DIB sections or device bitmaps) or icons in the
// Windows build, NativeBitmaps in the native build. ResizedBitmapCopy,
// DeviceBitmapToDib and IconToDib exist in the Windows build only.
#pragma once

#include "runtime/drawing/canvas.h"

void RasterInstallImageSlots(Canvas* canvas);

// Whether a handle is a bitmap (an icon is not): only bitmaps are drawn with
// a constant alpha.
bool RasterHandleIsBitmap(NativeHandle handle);

// Draws a bitmap or icon with its top-left pixel at (x, y) of the drawing area,
// at size w by h (-1: the bitmap's own size in that dimension). alpha 0..255
// is the opacity; useAlpha != 0 blends a 32-bit source by its alpha channel.
// Icons are always blended by their alpha.
void RasterDrawBitmap(Canvas* canvas, NativeHandle handle, int x, int y, int w, int h, int alpha, int useAlpha);
// Draws a 24- or 32-bit DIB section at its own size.
void RasterBlitDib(Canvas* canvas, NativeHandle dib, int x, int y, int alpha, int useAlpha);

// Each returns a new bottom-up DIB section owned by the caller, or 0.
// ResizedBitmapCopy: the bitmap at w by h (-1: own size); 32-bit bitmaps are
// resampled with their alpha, others stretched by GDI.
NativeHandle ResizedBitmapCopy(NativeHandle bitmap, int w, int h);
// A device-dependent bitmap as a 24- or 32-bit DIB; a 32-bit bitmap whose
// alpha bytes are all 0 comes out opaque.
NativeHandle DeviceBitmapToDib(NativeHandle bitmap);
// An icon as a 32-bit DIB with alpha from the icon (or from its mask). A
// monochrome icon (no colour bitmap) gives 0.
NativeHandle IconToDib(NativeHandle icon);
