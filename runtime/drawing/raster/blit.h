// Copying blocks of pixels onto a raster Canvas, and out of it.
//
// A source block is bottom-up (its first stored row is the image's bottom
// row), 3 bytes per pixel (blue, green, red) or 4 (blue, green, red, alpha),
// with rows `pitch` bytes apart. A negative pitch is allowed: with `bits`
// pointing at the last stored row it describes a top-down block read as a
// bottom-up one.
//
// Every function here clips against the Canvas's current drawing area
// (`width` by `height` pixels from `raster.pixels`) and against the source
// block, in 64-bit arithmetic, so no coordinate or size can make it touch a
// byte outside either block.
#pragma once

#include <cstdint>

struct Canvas;

// The part of a source block that lands inside the drawing area.
struct BlitRect {
    int targetX;     // first target column written
    int targetRow;   // stored-row index of the first target row written
    int sourceX;     // first source column read
    int sourceRow;   // stored-row index of the source row for targetRow
    int sourceStep;  // +1: next target row reads the next stored source row; -1: the previous one
    int width;       // pixels per row
    int height;      // rows
};

// Clips a width by height source block drawn with its top-left pixel at (x, y)
// of the drawing area. Returns false when nothing is visible.
bool BlitClip(const Canvas* canvas, int x, int y, int width, int height, BlitRect* rect);

// Draws a 24-bit source block by the Canvas's drawing mode; alpha 0..255 is
// the opacity of the whole block (values outside are clamped).
void BlitFrom24(Canvas* canvas, const void* bits, int pitch, int x, int y, int width, int height, int alpha);

// Draws a 32-bit source block by the Canvas's drawing mode. The opacity of a
// pixel is its alpha byte scaled by alpha; it is used by the blend and alpha
// modes, and by useAlpha != 0 in mode 0.
void BlitFrom32(Canvas* canvas, const void* bits, int pitch, int x, int y, int width, int height, int alpha,
                int useAlpha);

// Copies the rectangle (x, y, target width, target height) of the drawing
// area into a zero-filled bottom-up target block of the Canvas's pixel size.
// Parts of the rectangle outside the drawing area are left as they are.
// Returns the number of rows copied.
int BlitCopyOut(const Canvas* canvas, int x, int y, void* targetBits, int targetPitch, int targetWidth,
                int targetHeight);
