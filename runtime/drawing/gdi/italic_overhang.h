// How far a font's glyphs lean past their advance width: the pixels that text
// measurement adds to every width for the font (0 for an upright font).
#pragma once

#include "runtime/drawing/canvas.h"

// Measures the overhang of font (a font handle) by drawing "H" white on black
// into a scratch bitmap and finding its right-most lit column. 0 for an upright
// font, for a font handle that cannot be used, or when GDI resources run out.
int ItalicOverhang(NativeHandle font);
