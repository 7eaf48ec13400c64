// What the program asks of the desktop and the keyboard outside any window:
// the desktop's rectangle (to centre a window on it) and the asynchronous state
// of a key (Escape ends the demo). Each platform supplies all of it, in
// desktop_<platform>.cpp.
#pragma once

#include <cstdint>

struct DesktopRectangle {
    int left, top, right, bottom;
};

// The desktop window (0 where there is no such window) and its rectangle in
// screen coordinates.
intptr_t DesktopWindow();
DesktopRectangle DesktopGetRect();
// The first start step of the runtime: whatever lets KeyAsyncState see a key
// pressed and released between two queries (sdl: an event watch; web: the
// page's key listeners; Windows keeps that state itself).
void DesktopInit();
// The last end step: undoes DesktopInit and closes the connection to the
// display, if the platform holds one (sdl: quits SDL), once every window and
// the screen are gone.
void DesktopEnd();

// Virtual-key codes used by the program.
enum : int { KeyEscape = 27 };

// Non-zero when the key is down now or was pressed since the previous query.
int KeyAsyncState(int virtualKey);
