// Process start-up and shutdown of the runtime: RuntimeStart creates the heaps
// and runs every library's initialiser in a fixed order before the program's
// own code; RuntimeEnd runs the release steps in a fixed order, destroys the
// heaps (MainHeap last) and ends the process with exit code 0.
#pragma once

// ModuleInstance, MainHeap, string heap, drawing library, image table, the
// current-Canvas mirror, array and container operations, GUI controls, the
// event-posting window with the event-binding map, and the window table, in
// this order.
void RuntimeStart();

// Closes the screen, the windows, the event window (freeing the event-binding
// map), the GUI controls, frees the images, unloads the drawing library,
// destroys the string heap and MainHeap, then ends the process with exit code 0.
[[noreturn]] void RuntimeEnd();

// The release steps of RuntimeEnd without ending the process (MainHeap is
// destroyed too, so nothing allocated from it may be used afterwards).
void RuntimeRelease();

// When set, called with the name of each release step just before the step
// runs, so that the shutdown order can be watched from outside. It must not
// use MainHeap, which the last step destroys.
extern void (*RuntimeReleaseWatcher)(const char* step);
// Runs one release step, named for RuntimeReleaseWatcher.
void RuntimeReleaseStep(const char* name, void (*step)());

// Start-up could not complete: reports message (to the standard error stream
// when there is one, otherwise in a message box), runs the release steps and
// ends the process with exitCode (non-zero).
[[noreturn]] void RuntimeFail(const char16_t* message, int exitCode);
