// The program's module handle, used for window classes, the application icon
// and hidden helper windows. Start-up sets it; code that runs before start-up
// (tests, tools) gets it on first use through ModuleInstanceInit.
#pragma once

#include <cstdint>

// HINSTANCE of the executable as a pointer-sized value; 0 before it is set and
// in builds without modules.
extern intptr_t ModuleInstance;

// Sets ModuleInstance from the system when it is still 0 and returns it.
intptr_t ModuleInstanceInit();
