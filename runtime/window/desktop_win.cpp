#include <windows.h>

#include "runtime/window/desktop.h"

intptr_t DesktopWindow() { return reinterpret_cast<intptr_t>(GetDesktopWindow()); }

DesktopRectangle DesktopGetRect() {
    RECT r{};
    GetWindowRect(GetDesktopWindow(), &r);
    return {r.left, r.top, r.right, r.bottom};
}

// Windows keeps the key state and the connection to the display itself.
void DesktopInit() {}
void DesktopEnd() {}

int KeyAsyncState(int virtualKey) { return GetAsyncKeyState(virtualKey) != 0; }
