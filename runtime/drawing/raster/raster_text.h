// Raster text: the text slots of a raster Canvas and the text state that the
// raster begin and end create and delete. Text rendering needs GDI, so the
// Windows build implements these (raster_text_win.cpp); the native build has no
// raster text and its versions install nothing.
#pragma once

#include "runtime/drawing/canvas.h"

// Installs setFont, drawText, textWidth, textHeight and drawRotatedText.
void RasterInstallTextSlots(Canvas* canvas);
// Called by the raster begin: creates the text DC and selects the system font.
void RasterTextBegin(Canvas* canvas);
// Called by the raster end: deletes the text DC, buffer bitmap and rotated font.
void RasterTextEnd(Canvas* canvas);

// Selects into dc a copy of the text font turned by degrees (reduced modulo
// 360), made once and kept in textRotatedFont while the reduced angle stays
// the same. False when the font cannot be read or made (always in the native
// build).
bool RotatedFontSelect(Canvas* canvas, NativeHandle dc, float degrees);
