// What a platform supplies around the runtime's start and end: the process's
// module handle, a start-up failure message shown to the user, and the end of
// the process. Each platform implements all three in process_<platform>.cpp
// (process_posix.cpp serves the sdl and the web platform); RuntimeStart,
// RuntimeEnd and RuntimeFail (runtime_start.h) are written once on top of them.
#pragma once

#include <cstdint>

// The executable's module handle (HINSTANCE) as a pointer-sized value; 0 on a
// platform without module handles.
intptr_t ProcessModuleHandle();

// Shows a start-up failure message where the user sees it: the standard error
// stream when there is one (a terminal, a redirection, the page's console);
// on Windows without one, a message box captioned with the program's name.
void ProcessShowFailure(const char16_t* message);

// Ends the process with the exit code. Does not return.
[[noreturn]] void ProcessExit(int code);
