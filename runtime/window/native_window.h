// What the window code shared by the non-Windows builds (window_posix.cpp) asks
// of the code that makes their windows: SDL2 in the native build, the page in
// the web build.
#pragma once

#include "runtime/window/window.h"

// Destroys the window behind handle. WindowClose has dropped the window's
// pending events before and frees its entry after.
void NativeWindowDestroy(NativeHandle window);
