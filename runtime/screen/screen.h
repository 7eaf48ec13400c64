// The windowed screen: a back buffer the program draws into through a Canvas
// and shows in a runtime window, paced by the display. On Windows it is a
// Direct3D 9 device, loaded at run time, that presents its back buffer into a
// borderless "STATIC" child window of the runtime window; on the sdl platform
// an SDL renderer in the window; in the browser the window's canvas. There is
// one screen per process.
//
// A program calls GraphicsInit once, opens its window (window.h), opens the
// screen in it with ScreenOpenWindowed, and then per frame draws on
// ScreenCanvas (CanvasBegin ... CanvasEnd) and shows it with ScreenFlip. The
// runtime's end steps close the screen (ScreenLibEnd).
#pragma once

#include <cstdint>

#include "runtime/drawing/canvas.h"

struct ObjectTable;

// ---- Written once (screen.cpp) ----

// Sets the platform's graphics up (ScreenPlatformInit) and creates the sprite
// table. Returns non-zero (the sprite table) on success, 0 on failure; after a
// success it returns at once.
intptr_t GraphicsInit();
// The screen library's end step: closes the screen, frees the sprite table and
// gives back what GraphicsInit set up (ScreenPlatformEnd), so that a later
// GraphicsInit starts afresh.
void ScreenLibEnd();
// The sprite table made by GraphicsInit (0 before). No operation of this system
// adds sprites; it marks the library as set up.
ObjectTable* ScreenSpriteTable();
// Empties the sprite table (when a screen closes or fails to open).
void ScreenEmptySprites();

// ---- What each platform supplies, in screen_<platform>.cpp ----

// GraphicsInit's platform part: whatever a screen needs before it can be
// opened (Windows: the hidden "MultimediaBase Class" window and Direct3D 9
// with a 16- or 32-bit mode on adapter 0; sdl: SDL's video with a driver that
// shows pictures; web: a page whose canvases can draw). False when no screen
// can be had.
bool ScreenPlatformInit();
// ScreenLibEnd's platform part, after the screen is closed: gives back what
// ScreenPlatformInit set up. (Windows keeps the Direct3D object and d3d9.dll
// for the process, as the system releases them only at its end.)
void ScreenPlatformEnd();

// Opens the screen in parentWindow (the window's NativeHandle, window.h) at
// (x, y) of its client area with a width by height back buffer in the
// desktop's format. With autoStretch, the screen follows the parent's size
// minus the right and bottom margins. vsync 0 presents immediately instead of
// once per retrace. Closes any screen already open first. Returns 1 on
// success, 0 on failure (and empties the sprite table).
int ScreenOpenWindowed(NativeHandle parentWindow, int x, int y, int width, int height, int autoStretch,
                       int rightOffset, int bottomOffset, int vsync = 1);

// Closes the screen if one is open: device, back buffer and child window.
void ScreenClose();

// A Canvas on the back buffer, already current, or 0 (no screen, or the back
// buffer cannot be had): a GDI Canvas on Windows, a raster Canvas on the
// 32-bit top-down back buffer elsewhere. Begin it with CanvasBegin and finish
// with CanvasEnd, which gives the back buffer back, before ScreenFlip.
Canvas* ScreenCanvas();

// Presents the back buffer, paced by the display (vsync), recovering a lost
// device where it can. Returns 0 when there is no screen or the device has
// been found lost for good, else 1.
int ScreenFlip();
