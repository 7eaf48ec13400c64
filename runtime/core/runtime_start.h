// Process start-up and shutdown of the runtime. RuntimeStart runs every
// library's start step in a fixed order before the program's own code;
// RuntimeEnd runs their end steps in the opposite order (MainHeap's near the
// last) and ends the process with exit code 0. The order is one list shared by
// every platform (runtime_start.cpp); a library that only some platforms have
// is absent from the others' lists.
//
// Every end step leaves its library as it was before its start step, so
// RuntimeRelease followed by RuntimeStart gives a runtime as fresh as the
// first, in the same process.
#pragma once

// Start steps: the module instance, MainHeap, the string heap, (Windows: the
// drawing library,) the image table, the current-Canvas mirror, array
// operations, (Windows: GUI controls,) container operations, the event queue
// with the event-binding map (Windows: and the event-posting window), and the
// window table.
void RuntimeStart();

// End steps: the screen, the windows, the event library, (Windows: GUI
// controls,) the current Canvas, the images, (Windows: the drawing library,)
// the string heap, MainHeap, and last the connection to the display; then ends
// the process with exit code 0.
[[noreturn]] void RuntimeEnd();

// The end steps of RuntimeEnd without ending the process. Nothing allocated
// from MainHeap may be used afterwards; RuntimeStart may run again.
void RuntimeRelease();

// When set, called with the name of each end step just before the step runs,
// so that the shutdown order can be watched from outside. It must not use
// MainHeap, which one of the steps destroys.
extern void (*RuntimeReleaseWatcher)(const char* step);

// Start-up could not complete: shows message (process.h), runs the end steps
// and ends the process with exitCode (1 when 0 is given).
[[noreturn]] void RuntimeFail(const char16_t* message, int exitCode);
