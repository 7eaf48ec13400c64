// NativeHandle: a platform's own object, kept as a pointer-sized integer so
// that the runtime's headers need no platform headers; 0 is never a valid one.
// What it holds on each platform:
//
//   object                 win                     sdl                 web
//   window (WindowHandle)  HWND                    SDL_Window*         number of its canvas on the page
//                                                                      (Module.wirloWindows[n], n >= 1)
//   image (ImageHandle)    HBITMAP, a DIB section  NativeBitmap*       NativeBitmap*
//   font, pen, brush, DC   HFONT, HPEN, HBRUSH,    -                   -
//                          HDC
//   an image Canvas's      its memory DC           the pixel memory    the pixel memory
//   output (CanvasBegin)
//   the screen Canvas's    the back buffer's DC    SDL_Texture*        the window's canvas number
//   output
#pragma once

#include <cstdint>

using NativeHandle = intptr_t;
