// The raster Canvas's own slots: clipping of the drawing area. Creation is
// RasterCanvasCreate (canvas.h).
#pragma once

struct Canvas;

// Narrows the drawing area to the part of the rectangle that lies on the
// output; the origin moves so that front-function coordinates stay relative
// to the whole output. A rectangle wholly off the output leaves an empty area.
void RasterClip(Canvas* canvas, int x, int y, int w, int h);
// Restores the whole output as the drawing area.
void RasterUnclip(Canvas* canvas);
