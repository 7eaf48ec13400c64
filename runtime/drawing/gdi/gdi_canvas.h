// The GDI back end: the slots of a Canvas that draws through a Windows device
// context. A plain DC (gdiKind 0) is held for the whole drawing; the screen's
// back buffer (gdiKind 7) can give its DC up for direct access to its pixel
// memory and take it back, so most slots first make sure the DC is held again
// and its drawing state re-applied.
//
// GdiCanvasCreate (declared with the Canvas) allocates a GDI Canvas, makes it
// current and installs these slots.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/drawing/canvas.h"

// Screen kind of a GDI Canvas: the DC is acquired and released on demand.
constexpr int GdiKindScreen = 7;

// GDI mode flags (setMode): 1 transparent text background, 2 inverting drawing
// (R2_NOT for lines and shapes, SRCINVERT for images), 4 outline only.
enum : int {
    GdiModeTransparent = 0x01,
    GdiModeInvert = 0x02,
    GdiModeOutline = 0x04,
};

// For the screen kind: when the DC has been given up for direct pixel access,
// takes it back and re-applies the drawing state (colours, alignment, mode or
// brush, pen and font). Does nothing otherwise.
void GdiEnsureDC(Canvas* canvas);

// Installs the GDI slots 0 to 25 into canvas (clip, unclip and release stay
// as they are).
void GdiInstallSlots(Canvas* canvas);

// The 16-bit or 32-bit value a colour 0x00BBGGRR becomes in a surface of the
// given pixel format (0x01, 0x02, 0x04 or 0x40); bytes per pixel in *size.
// Returns false for any other format.
bool GdiSurfacePixel(int pixelFormat, Color colour, uint32_t* value, int* size);

// Multiplies blue, green and red of count 32-bit pixels (bytes blue, green,
// red, alpha) by their alpha, (channel * alpha) >> 8; pixels with alpha 255
// stay as they are.
void GdiPremultiply(uint8_t* pixels, size_t count);
