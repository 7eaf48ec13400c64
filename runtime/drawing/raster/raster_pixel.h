// Raster pixel writers and drawing modes: how a raster Canvas addresses a
// pixel, splits a colour into the components its writers use, and writes one
// pixel in each drawing mode. Lines, shapes, fills, image blitting and text
// compositing all write through the rules declared here.
//
// Pixel memory: rows of `pitch` bytes; a pixel is blue, green, red (and alpha
// on 32-bit outputs) in that byte order. On a bottom-up output row y = 0 of the
// drawing area is the last stored row of the area.
#pragma once

#include <cstdint>

#include "runtime/drawing/canvas.h"

// One stop of the gradient: the list hangs off canvas->raster.gradientStops,
// sorted by increasing position, and belongs to the Canvas.
struct GradientStop {
    GradientStop* next;
    float position;  // 0 to 1
    int red, green, blue, alpha;
};

// Address of pixel (x, y) of the current drawing area. No range check.
inline uint8_t* RasterPixelAddress(const Canvas* canvas, int x, int y) {
    const RasterTail& r = canvas->raster;
    intptr_t row = r.bottomUp ? static_cast<intptr_t>(canvas->height) - 1 - y : y;
    return r.pixels + row * r.pitch + static_cast<intptr_t>(x) * r.bytesPerPixel;
}

// Bytes from a pixel to the one below it (negative on bottom-up outputs).
inline intptr_t RasterRowStep(const Canvas* canvas) {
    return canvas->raster.bottomUp ? -static_cast<intptr_t>(canvas->raster.pitch) : canvas->raster.pitch;
}

inline bool RasterInArea(const Canvas* canvas, int x, int y) {
    return x >= 0 && y >= 0 && x < canvas->width && y < canvas->height;
}

// Splits colour (0xAABBGGRR) into the five components a writer uses: the
// channels (multiplied by alpha when the Canvas premultiplies), alpha and
// 255 - alpha.
void SplitColor(const Canvas* canvas, Color colour, int& red, int& green, int& blue, int& alpha, int& inverse);

// The raster versions of the mode and colour slots.
void RasterSetMode(Canvas* canvas, int flags);
void RasterSetFrontColor(Canvas* canvas, Color colour);
void RasterSetBackColor(Canvas* canvas, Color colour);

// Writes pixel (x, y) of the drawing area by the current mode, gradient and
// filter included. The caller keeps (x, y) inside the drawing area.
void RasterWritePixel(Canvas* canvas, int x, int y);
// As RasterWritePixel, for a caller that already holds the pixel's address.
void RasterWritePixelAt(Canvas* canvas, uint8_t* pixel, int x, int y);
// RasterWritePixel when (x, y) lies inside the drawing area, else nothing.
void RasterPlotChecked(Canvas* canvas, int x, int y);

// Writes one pixel from the front components by the current mode, without
// gradient or filter. Runs pick the writer once and call it along the run.
using RasterFrontWriter = void (*)(Canvas* canvas, uint8_t* pixel);
RasterFrontWriter RasterFrontWriterFor(const Canvas* canvas);
// True when every pixel must go through RasterWritePixel (gradient or filter on).
inline bool RasterNeedsGeneralWriter(const Canvas* canvas) {
    return canvas->raster.gradientOn || canvas->raster.filterOn;
}

// The colour of the gradient at (x, y): between gradientColor2 (position 0) and
// gradientColor1 (position 1), through the stops.
Color GradientColorAt(Canvas* canvas, int x, int y);

// Adds a gradient stop, keeping the list sorted by position (a stop at an
// existing position goes after the ones already there). Returns false, adding
// nothing, when position is outside 0..1 (or not a number) or memory runs out.
bool RasterAddGradientStop(Canvas* canvas, float position, Color colour);
// Removes every gradient stop.
void RasterClearGradientStops(Canvas* canvas);
// Installs the per-pixel callbacks; null restores the default (a gradient
// position of 1.0, and a filter that keeps the target colour).
void RasterSetGradientCallback(Canvas* canvas, GradientCallback callback);
void RasterSetFilterCallback(Canvas* canvas, FilterCallback callback);

// The default callbacks.
double RasterDefaultGradient(Canvas* canvas, int x, int y);
Color RasterDefaultFilter(int x, int y, Color source, Color target);
