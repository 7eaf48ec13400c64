// Raster lines and shapes: the run writers shared by every shape, the line
// walk with its clipping, boxes, rounded boxes, ellipses and the flood fill.
// Coordinates are drawing-area coordinates; everything is clipped to the area,
// and every pixel is written by the current drawing mode.
#pragma once

#include "runtime/drawing/canvas.h"

// count pixels of row y from x rightward / of column x from y downward,
// clipped to the drawing area.
void RasterSpanH(Canvas* canvas, int x, int count, int y);
void RasterSpanV(Canvas* canvas, int x, int y, int count);

// Clips a segment to lo <= a <= hi on one axis, carrying the other axis (b)
// along the segment (truncated toward zero). Returns false when no part of the
// segment lies in the range.
bool ClipSegmentAxis(int& a1, int& b1, int& a2, int& b2, int lo, int hi);

// The shape slots.
void RasterLine(Canvas* canvas, int x1, int y1, int x2, int y2);
void RasterBox(Canvas* canvas, int x, int y, int w, int h);
void RasterRoundBox(Canvas* canvas, int x, int y, int w, int h, int rx, int ry);
void RasterEllipse(Canvas* canvas, int x, int y, int rx, int ry);
// border: the colour that stops the fill, or -1 to fill the region of the
// start pixel's colour.
void RasterFillArea(Canvas* canvas, int x, int y, Color border);

// Largest radius (in magnitude) whose arc is traced. The decision values of
// an arc whose radii are both r reach about 6 * r^3 (less when either radius
// is smaller), which fits signed 64-bit integers for r up to 1,154,346.
// Beyond this limit an arc cannot be traced exactly, so an ellipse draws
// nothing and a rounded box only its parts that do not depend on the arc (its
// straight edges, or its full-width middle rows when filled).
constexpr int RasterMaxRadius = 1150000;
