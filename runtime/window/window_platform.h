// What each platform supplies for windows and events. The library's own part
// (window.cpp: numbering, records, closing, polling; event_post.cpp: the
// pending-event queue and the receiver's start and end) is written once on top
// of these. Each platform implements all of them, in window_<platform>.cpp;
// Windows keeps its polling in window_proc_win.cpp, beside the window
// procedure, and its receiver in event_post_win.cpp.
#pragma once

#include <cstdint>

#include "runtime/window/window.h"

// WindowLibInit's platform part, after WindowTable is made (Windows: the
// default icon and cursor, the control-container state; web: the page's list
// of windows and their events).
void WindowPlatformInit();
// WindowLibEnd's platform part, after every window is closed and WindowTable
// is freed: gives back what WindowPlatformInit made.
void WindowPlatformEnd();

// Makes the native window of a new record: client area innerWidth by
// innerHeight, outer frame at (x, y) (WindowDefaultPosition: the platform's
// choice), the title (null: empty), the flags and owner of WindowOpen. number
// is the window's number (the dynamic number for AnyNumber), for the events it
// raises. Fills record->window (non-zero) and what else the record holds;
// returns false, having made nothing, when the window cannot be made.
bool WindowPlatformOpen(WindowRecord* record, ObjectNumber number, int x, int y, int innerWidth, int innerHeight,
                        const char16_t* title, uint32_t flags, NativeHandle parent);
// Destroys what WindowPlatformOpen made for the record. atEnd is true during
// the runtime's end step (the web page keeps the canvases then, with their
// last picture). The window's pending events are dropped and its entry freed
// afterwards.
void WindowPlatformClose(WindowRecord* record, ObjectNumber number, bool atEnd);

// Takes what the platform has for the program's windows, without waiting,
// and turns it into runtime events (EventPost) where the runtime has one.
// Returns the platform's own identifier of the last message or event taken
// (Windows: the message it dispatched), 0 when there was nothing.
uint32_t WindowPlatformPoll();

// The hidden receiver through which other threads post events (Windows: the
// "PostEventClass" window and the "QZ_PostEventMessage" message); {0, 0} on a
// platform without one.
struct EventReceiver {
    NativeHandle window;
    uint32_t message;
};
EventReceiver EventReceiverCreate();
void EventReceiverDestroy(EventReceiver receiver);
