// The image slots of a raster Canvas: drawImage, drawImageSized,
// drawAlphaImage and grabImage. Image handles are native bitmaps in the
// Windows build (raster_image_win.cpp).
#pragma once

struct Canvas;

void RasterInstallImageSlots(Canvas* canvas);
