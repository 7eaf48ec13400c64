// Numbered top-level windows and runtime events.
//
// A program opens a window by number (WindowOpen), hands its native handle to
// the screen (WindowHandle, screen.h) and polls once per frame
// (WindowPollEvent), which returns the oldest pending event or, when none is
// pending, takes what the platform has: on Windows at most one Win32 message,
// which the common window procedure of the window's own class
// ("WindowClass_<number>") turns into runtime events; elsewhere the SDL or the
// page's events. The runtime's start and end steps set the library up and
// close every window.
//
// Numbering, records, closing and polling are written once (window.cpp,
// event_post.cpp); what a platform supplies is declared in window_platform.h.
// A window's NativeHandle is an HWND, an SDL_Window* or the number of its
// canvas on the page (native_handle.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/core/native_handle.h"
#include "runtime/core/object_table.h"

// Event codes returned by WindowPollEvent.
enum : uint32_t {
    EventControlNotify = 13100,
    EventMenuCommand = 13101,
    EventTrayIcon = 13102,
    EventWindowActivated = 13104,
    EventWindowMinimised = 13107,
    EventWindowMaximised = 13108,
    EventWindowRestored = 13109,
    EventTimerTick = 13110,
    EventRightButtonUp = 13111,
    EventLeftButtonUp = 13112,
    EventLeftButtonDouble = 13113,
    EventWindowDeactivated = 13114,
    EventEraseBackground = 13115,
    EventCloseWindow = 13116,
    EventWindowMoved = 13117,
    EventWindowSized = 13118,
};

// Result of a message handler that sends the message on to the default
// window procedure; control handlers decline a message with the same value.
constexpr intptr_t NotHandled = static_cast<intptr_t>(static_cast<uint32_t>(0xD0D0D0D1u));

// Commands of the Tab and Shift+Tab accelerators every window carries.
enum : uint32_t {
    CommandFocusNext = 64001,
    CommandFocusPrevious = 64002,
};

// WindowOpen flags. Bits not listed here are Win32 window styles passed on as
// they are (WS_CAPTION 0x00C00000, WS_SYSMENU 0x00080000, ...).
enum : uint32_t {
    CentreOnScreen = 0x00000001,
    CentreOnParent = 0x00000002,      // ignored together with CentreOnScreen
    ToolWindow = 0x00000004,
    NoControlContainer = 0x00000008,
    WindowMaximise = 0x01000000,      // WS_MAXIMIZE: shown maximised
    ShowNoActivate = 0x02000000,
    StartHidden = 0x10000000,
    WindowMinimise = 0x20000000,      // WS_MINIMIZE: shown minimised
};

// The x or y of WindowOpen that asks for the system's default position.
constexpr int WindowDefaultPosition = -65535;

// One open window: the entry of WindowTable.
struct WindowRecord {
    NativeHandle window;   // the top-level window; non-zero while the entry is in use
    void* accelEntries;    // MainHeap block of the window's ACCEL entries, 0 if none
    NativeHandle accelTable;
    int32_t accelCount;    // entries in accelEntries: 2 (0 when they could not be made)
    int32_t minMaxState;   // 1 while minimised or maximised
};
#if INTPTR_MAX == INT32_MAX
static_assert(offsetof(WindowRecord, accelTable) == 8 && offsetof(WindowRecord, accelCount) == 12 &&
                  offsetof(WindowRecord, minMaxState) == 16 && sizeof(WindowRecord) == 20,
              "32-bit window record: five 4-byte fields");
#endif

extern ObjectTable* WindowTable;

// Start-up: creates WindowTable and sets up the platform's part (Windows: the
// default icon and cursor). Does nothing when the library is already set up.
void WindowLibInit();
// The library's end step: closes every open window and frees the table, as
// before WindowLibInit.
void WindowLibEnd();

// Opens window `number` (>= 0, reusing and first closing an open one) or a
// window with a dynamic number (AnyNumber). x, y place the outer frame
// (WindowDefaultPosition: the system's choice); innerWidth, innerHeight are the
// client size; a null title is an empty one; parent is the owner window or 0.
// Returns 0 on failure, the dynamic number for AnyNumber, otherwise the window's
// native handle.
intptr_t WindowOpen(ObjectNumber number, int x, int y, int innerWidth, int innerHeight,
                    const char16_t* title, uint32_t flags, NativeHandle parent);
intptr_t WindowOpen(ObjectNumber number, int x, int y, int innerWidth, int innerHeight,
                    const char16_t* title, uint32_t flags);

// The native handle of an open window, 0 when the number is not open.
NativeHandle WindowHandle(ObjectNumber number);
// Closes one window (its pending events are dropped); AnyNumber closes all.
void WindowClose(ObjectNumber number);

// The code of the oldest pending event; otherwise what the platform has pending
// is taken and turned into events (WindowPlatformPoll), and the result is the
// identifier of what was taken, or 0 when there was nothing: on Windows the one
// Win32 message it translated and dispatched; on the sdl and web platforms,
// which do not merge pointer motion, every pending platform event is taken at
// once and the last one's type returned, so a close never waits behind input.
// Never blocks.
uint32_t WindowPollEvent();

// Start-up: the pending-event queue, the event-binding map and the platform's
// receiver for events from other threads (Windows: the hidden "PostEventClass"
// window and the "QZ_PostEventMessage" message). Does nothing when already set
// up.
void EventPostInit();
// The end step: destroys the receiver, frees the event-binding map and the
// pending-event queue.
void EventPostEnd();
// The registered "QZ_PostEventMessage" identifier, 0 without a receiver.
uint32_t EventPostMessage();
// The hidden receiver window, 0 without one.
NativeHandle EventPostWindow();
