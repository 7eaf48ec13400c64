// The GUI controls library's start and end. This system creates no controls;
// the library still sets itself up at start-up as every runtime library does:
// its lock, the default GUI font, its control table, its record, and the
// common controls (version 6 through the application manifest).
#pragma once

#include "runtime/drawing/canvas.h"

struct ObjectTable;

// Sets the library up; a second call does nothing. Returns false when the
// common controls could not be initialised (the library is usable without).
bool GuiLibInit();
// Destroys the library's auxiliary window if it made one, frees its controls,
// table and record: the library is as before GuiLibInit.
void GuiLibEnd();

// The control table (0 before GuiLibInit) and the default GUI font.
ObjectTable* GuiControlTable();
NativeHandle GuiDefaultFont();
