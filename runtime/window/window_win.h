// Shared by the Windows implementation files of the window library.
#pragma once

#include <windows.h>

#include "runtime/window/window.h"

// Window properties the library sets or reads.
#define WINDOW_ID_PROPERTY L"QZ_WindowID"
#define FOCUS_PROPERTY L"QZ_Focus"
#define CONTROL_ID_PROPERTY L"QZ_ID"
#define HOTKEY_PROPERTY L"QZ_Hotkey"

// Tray-icon callback message and the control-forwarding message.
constexpr UINT TrayIconMessage = 12501;
constexpr UINT ControlForwardMessage = 13120;

// The window procedure of every "WindowClass_<n>" class.
LRESULT CALLBACK WindowClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The common handler: raises events and returns a result, or NotHandled when
// the message is to go on to DefWindowProcW.
intptr_t WindowCommonHandler(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Finds the runtime window that owns hwnd (hwnd or its nearest ancestor with
// the "QZ_WindowID" property). Returns its number, or -1 with *owner set to 0.
intptr_t WindowOwnerNumber(HWND hwnd, HWND* owner);

// Keyboard cues (focus rectangles and accelerator underlines) of a window.
void WindowShowKeyboardCues(HWND window);
void WindowHideKeyboardCues(HWND window);

// Moves the keyboard focus to the next or previous tab stop of the active window.
void WindowFocusStep(bool forward);

// The accelerator table WindowPollEvent translates with for the active window,
// or 0 for none.
HACCEL WindowChooseAccelerators(HWND active);

// Handlers of GUI controls. The control library installs this hook; it gets the
// control, the window the message went to, and the message, and returns the
// result or NotHandled to decline. Without a hook every offer is declined.
using ControlMessageHook = intptr_t (*)(HWND control, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
extern ControlMessageHook ControlHandlerHook;
// Offers a message to the handler of a control: the control must be non-null
// and carry the "QZ_ID" property equal to its identifier.
intptr_t WindowOfferToControl(HWND control, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Appends an event from any thread: a MainHeap block of six 32-bit words (0 not
// read, code, object, window, data, extra) is posted to the hidden receiver,
// which queues the event and frees the block on the receiver's thread. Returns
// false when there is no receiver or the block cannot be posted.
bool EventPostAcrossThreads(uint32_t code, int32_t object, int32_t window, int32_t data, int32_t extra);
