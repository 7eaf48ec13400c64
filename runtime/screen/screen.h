// The windowed screen: a Direct3D 9 device, loaded at run time, that presents
// its back buffer into a borderless "STATIC" child window inside a runtime
// window. The program draws into the back buffer through a GDI Canvas
// (ScreenCanvas) and shows it with ScreenFlip, which is paced by the display's
// vertical retrace. There is one screen per process.
#pragma once

#include <cstdint>

#include "runtime/drawing/canvas.h"

// Loads Direct3D 9, checks that adapter 0 can show a 16- or 32-bit mode and
// creates the library's hidden window and sprite table (natively: starts SDL's
// video and fails when no display is to be had, only a driver that shows
// nothing). Returns non-zero (the sprite table) on success, 0 on failure; after
// a success it returns at once.
intptr_t GraphicsInit();

// Opens the screen in a child window at (x, y) of parentWindow's client area
// with a width by height back buffer in the desktop's format. With
// autoStretch, the child follows the parent's size minus the right and bottom
// margins. vsync 0 presents immediately instead of once per retrace.
// Closes any screen already open first. Returns 1 on success, 0 on failure.
int ScreenOpenWindowed(NativeHandle parentWindow, int x, int y, int width, int height, int autoStretch,
                       int rightOffset, int bottomOffset, int vsync = 1);

// Closes the screen if one is open: device, back buffer and child window.
void ScreenClose();
// The shutdown step of the screen library: closes the screen.
void ScreenLibEnd();

// A GDI Canvas on the back buffer, already current, or 0 (no screen, or the
// back buffer's DC cannot be had). Begin it with CanvasBegin and finish with
// CanvasEnd, which gives the back buffer back, before ScreenFlip.
Canvas* ScreenCanvas();

// Presents the back buffer into the child window, recovering a lost device
// where it can. Returns 0 when the device has been found lost for good, else 1.
int ScreenFlip();
