// What a windowed program's entry does around its own work, written once for
// every program on the runtime: window 0 with the windowed screen inside it,
// the exit codes and messages of a start that fails, showing an image on the
// screen, and the end test of the frame loop (the close box or Escape).
//
//   RuntimeStart();
//   const ProgramPosition at = ProgramCentredWindow(width, height);
//   ProgramOpenScreen(u"Title", at.x, at.y, width, height);
//   ... the program's images (ExitNoImages when they cannot be made) ...
//   do {
//       ... draw the frame into an image ...
//       ProgramShowImage(image);
//   } while (!ProgramEndRequested());
//   RuntimeEnd();
#pragma once

#include "runtime/core/object_table.h"

// Exit codes of a start that fails (RuntimeFail; ExitUsage: a command line the
// program does not take, command_line.h); 0 is every normal end.
enum : int {
    ExitNoMemory = 2,
    ExitNoGraphics = 3,
    ExitNoWindow = 4,
    ExitNoScreen = 5,
    ExitNoImages = 6,
    ExitUsage = 7,
};

struct ProgramPosition {
    int x, y;
};

// Where the outer frame of a window with a width by height client area goes
// to be centred on the desktop: half the desktop's size less half the window's.
ProgramPosition ProgramCentredWindow(int width, int height);

// GraphicsInit, window 0 at (x, y) with a width by height client area, the
// title and a caption with a system menu, and the windowed screen filling it.
// A step that cannot be done ends the program through RuntimeFail with
// "<title> cannot start: ..." and ExitNoGraphics, ExitNoWindow or ExitNoScreen.
void ProgramOpenScreen(const char16_t* title, int x, int y, int width, int height);

// Draws the image at (0, 0) of the screen and presents it (ScreenFlip, paced by
// the display).
void ProgramShowImage(ObjectNumber image);

// Polls once; true when that returned the close event of a window, or when
// Escape is down or was pressed since the last test.
bool ProgramEndRequested();
