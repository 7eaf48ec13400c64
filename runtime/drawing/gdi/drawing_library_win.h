// The typed AlphaBlend entry point for the Windows drawing code.
#pragma once

#include <windows.h>

#include "runtime/drawing/gdi/drawing_library.h"

typedef BOOL(WINAPI* AlphaBlendFunction)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

// AlphaBlend from msimg32.dll, or null when unavailable.
AlphaBlendFunction DrawingAlphaBlend();
// Replaces the entry point (null: unavailable) and returns the previous one;
// lets tests take the fallback paths on a system that has the function.
AlphaBlendFunction DrawingSetAlphaBlend(AlphaBlendFunction function);
