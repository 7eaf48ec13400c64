// Compositing of rendered text into a raster drawing area.
//
// Text is rendered elsewhere (by the platform's text renderer) white on black
// into a 24-bit top-down block; each block pixel's blue, green and red bytes are
// the coverages of the matching target channels. TextComposite mixes the front
// colour (and, with an opaque background, the back colour) into the target by
// those coverages, following the drawing mode of the Canvas. It needs no
// platform API and is shared by every build.
#pragma once

#include <cstdint>

#include "runtime/drawing/canvas.h"

// Composites the block (top-down, 3 bytes per pixel, rows pitch bytes apart, w
// by h pixels) with its top-left pixel at (x, y) of the current drawing area.
// The background is transparent when transparent is non-zero or the mode has
// ModeTransparentText, else it is painted in the back colour. Everything is
// clipped to the drawing area: no byte outside it is written and no block pixel
// outside w by h is read, whatever x, y, w and h are.
void TextComposite(Canvas* canvas, const uint8_t* block, int pitch, int x, int y, int w, int h, int transparent);

// The colour components one block pixel is mixed from.
struct TextColors {
    int red, green, blue, alpha;          // front colour (0..255 each)
    int backRed, backGreen, backBlue, backAlpha;  // back colour, straight (not premultiplied)
};

// Writes one target pixel (bytesPerPixel 3 or 4, bytes blue, green, red[, alpha])
// from the coverages of one block pixel (bytes blue, green, red) for the given
// mode flags and background. Gradient and filter modes are handled by
// TextComposite around this; here mode 0x40 and 0x80 are ignored.
void TextCompositePixel(uint8_t* target, int bytesPerPixel, const uint8_t* coverage, const TextColors& colors,
                        int modeFlags, bool opaque);

// The colour X and alpha h of text over the opaque back colour for one block
// pixel (used by ModeWriteAll and the blend modes with an opaque background).
struct TextOverBackground {
    int blue, green, red, alpha;
};
TextOverBackground TextOverBack(const uint8_t* coverage, const TextColors& colors);
