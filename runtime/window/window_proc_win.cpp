// The common window procedure of runtime windows, keyboard navigation between
// tab stops, and polling the thread's messages (WindowPlatformPoll).
#include <cwchar>

#include <windows.h>
#include <richedit.h>

#include "runtime/core/main_heap.h"
#include "runtime/window/event_queue.h"
#include "runtime/window/window_layout.h"
#include "runtime/window/window_platform.h"
#include "runtime/window/window_win.h"

ControlMessageHook ControlHandlerHook = nullptr;

namespace {

constexpr UINT kCueBoth = UISF_HIDEFOCUS | UISF_HIDEACCEL;
// Identifier of a child that raises menu commands instead of control notices.
constexpr LONG kMenuCommandControl = -10000;

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

bool ClassIs(HWND w, const wchar_t* name) {
    wchar_t cls[64];
    int n = GetClassNameW(w, cls, 64);
    return n > 0 && std::wcscmp(cls, name) == 0;
}

BOOL CALLBACK SendSysColorChange(HWND child, LPARAM) {
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

// Tab stops in window order, gathered into a MainHeap block.
struct TabStops {
    intptr_t* items;
    size_t count;
    size_t capacity;
    bool failed;
};

BOOL CALLBACK CollectTabStop(HWND child, LPARAM param) {
    auto* stops = reinterpret_cast<TabStops*>(param);
    if (!IsWindowEnabled(child) || !IsWindowVisible(child) || !(GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP))
        return TRUE;
    if (stops->count == stops->capacity) {
        size_t capacity = stops->capacity ? stops->capacity * 2 : 16;
        void* grown = stops->items ? MainReAlloc(stops->items, capacity * sizeof(intptr_t))
                                   : MainAlloc(capacity * sizeof(intptr_t));
        if (!grown) {
            stops->failed = true;
            return FALSE;
        }
        stops->items = static_cast<intptr_t*>(grown);
        stops->capacity = capacity;
    }
    stops->items[stops->count++] = reinterpret_cast<intptr_t>(child);
    return TRUE;
}

void PostFor(uint32_t code, intptr_t object, intptr_t number, int32_t data = 0) {
    EventPost(code, object, number, data);
}

}  // namespace

intptr_t WindowOwnerNumber(HWND hwnd, HWND* owner) {
    for (HWND w = hwnd; w; w = GetParent(w)) {
        if (HANDLE id = GetPropW(w, WINDOW_ID_PROPERTY)) {
            if (owner) *owner = w;
            return reinterpret_cast<intptr_t>(id) - 1;
        }
    }
    if (owner) *owner = nullptr;
    return -1;
}

void WindowShowKeyboardCues(HWND window) {
    LRESULT state = SendMessageW(window, WM_QUERYUISTATE, 0, 0);
    if (state & kCueBoth) SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, kCueBoth), 0);
}

void WindowHideKeyboardCues(HWND window) {
    LRESULT state = SendMessageW(window, WM_QUERYUISTATE, 0, 0);
    if ((state & kCueBoth) != kCueBoth) SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, kCueBoth), 0);
}

void WindowFocusStep(bool forward) {
    HWND active = GetActiveWindow();
    if (!active) return;
    HWND root = active;
    HWND focus = GetFocus();
    HWND current = (focus && IsChild(active, focus)) ? focus : nullptr;
    // Composite controls take the focus as a whole, and an MDI child keeps the
    // navigation inside itself.
    for (HWND w = current; w && w != active; w = GetParent(w)) {
        if (ClassIs(w, L"SysIPAddress32") || (ClassIs(w, L"ComboBoxEx32") && (GetWindowLongW(w, GWL_STYLE) & 0x1))) {
            current = w;
        } else if (ClassIs(w, L"MDI_ChildClass")) {
            root = w;
            if (w == focus) current = nullptr;
            break;
        }
    }
    TabStops stops{};
    EnumChildWindows(root, &CollectTabStop, reinterpret_cast<LPARAM>(&stops));
    if (!stops.failed) {
        intptr_t target = FocusStepTarget(stops.items, stops.count, reinterpret_cast<intptr_t>(current), forward);
        if (target) SetFocus(reinterpret_cast<HWND>(target));
    }
    MainFree(stops.items);
}

intptr_t WindowOfferToControl(HWND control, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!control || !ControlHandlerHook) return NotHandled;
    HANDLE id = GetPropW(control, CONTROL_ID_PROPERTY);
    if (!id || reinterpret_cast<intptr_t>(id) != static_cast<intptr_t>(GetWindowLongW(control, GWL_ID)))
        return NotHandled;
    return ControlHandlerHook(control, hwnd, msg, wParam, lParam);
}

intptr_t WindowCommonHandler(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND owner = nullptr;
    const intptr_t number = WindowOwnerNumber(hwnd, &owner);
    auto* record = number != -1 ? static_cast<WindowRecord*>(ObjectTableGet(WindowTable, number)) : nullptr;
    const bool ownWindow = record && reinterpret_cast<HWND>(record->window) == hwnd;

    switch (msg) {
    case WM_MOVE:
        if (ownWindow) PostFor(EventWindowMoved, number, number);
        return 0;

    case WM_SIZE:
        if (owner && owner != hwnd) return 1;
        if (!record) return NotHandled;
        switch (wParam) {
        case SIZE_RESTORED:
            if (record->minMaxState == 1) {
                record->minMaxState = 0;
                PostFor(EventWindowRestored, 0, number);
            }
            PostFor(EventWindowSized, 0, number);
            break;
        case SIZE_MINIMIZED:
            record->minMaxState = 1;
            PostFor(EventWindowMinimised, 0, number);
            break;
        case SIZE_MAXIMIZED:
            record->minMaxState = 1;
            PostFor(EventWindowMaximised, 0, number);
            PostFor(EventWindowSized, 0, number);
            break;
        default:
            PostFor(EventWindowSized, 0, number);
            break;
        }
        return 0;

    case WM_ACTIVATE:
        if (LOWORD(wParam)) {
            HWND saved = static_cast<HWND>(GetPropW(hwnd, FOCUS_PROPERTY));
            if (saved && IsWindow(saved)) SetFocus(saved);
            PostFor(EventWindowActivated, 0, number);
        } else {
            SetPropW(hwnd, FOCUS_PROPERTY, GetFocus());
            WindowHideKeyboardCues(hwnd);
            PostFor(EventWindowDeactivated, 0, number);
        }
        return 1;

    case WM_CLOSE:
        // The program decides whether the window goes; it only hears of it.
        if (ownWindow) PostFor(EventCloseWindow, number, number);
        return 0;

    case WM_ERASEBKGND:
        PostFor(EventEraseBackground, 0, number);
        return NotHandled;

    case WM_SYSCOLORCHANGE:
        if (record) EnumChildWindows(hwnd, &SendSysColorChange, 0);
        return NotHandled;

    case WM_GETMINMAXINFO:
        if (!record) return NotHandled;
        if ((GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) && lParam)
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.x = 1;
        return 0;

    case WM_NCDESTROY:
        RemovePropW(hwnd, FOCUS_PROPERTY);
        return 1;

    case WM_COMMAND: {
        HWND control = reinterpret_cast<HWND>(lParam);
        intptr_t claimed = WindowOfferToControl(control, hwnd, msg, wParam, lParam);
        if (claimed != NotHandled) return 0;
        if (control) {
            LONG id = GetWindowLongW(control, GWL_ID);
            if (id == kMenuCommandControl) PostFor(EventMenuCommand, LOWORD(wParam), number);
            else PostFor(EventControlNotify, id, number, HIWORD(wParam));
        } else if (HIWORD(wParam) == 0) {
            PostFor(EventMenuCommand, LOWORD(wParam), number);
        } else if (LOWORD(wParam) == CommandFocusNext) {
            WindowFocusStep(true);
        } else if (LOWORD(wParam) == CommandFocusPrevious) {
            WindowFocusStep(false);
        } else {
            PostFor(EventMenuCommand, LOWORD(wParam), number);
        }
        return 0;
    }

    case WM_TIMER:
        if (!record) return NotHandled;
        PostFor(EventTimerTick, static_cast<intptr_t>(wParam), number);
        return 0;

    case WM_LBUTTONUP:
        PostFor(EventLeftButtonUp, 0, number);
        return 0;
    case WM_LBUTTONDBLCLK:
        PostFor(EventLeftButtonDouble, 0, number);
        return 0;
    case WM_RBUTTONUP:
        PostFor(EventRightButtonUp, 0, number);
        return 0;

    case TrayIconMessage: {
        int32_t data = -1;
        switch (lParam) {
        case WM_LBUTTONDOWN: data = 0; break;
        case WM_RBUTTONDOWN: data = 1; break;
        case WM_LBUTTONDBLCLK: data = 2; break;
        case WM_RBUTTONDBLCLK: data = 3; break;
        default: break;
        }
        if (data >= 0) PostFor(EventTrayIcon, static_cast<intptr_t>(wParam), number, data);
        PostMessageW(hwnd, WM_NULL, 0, 0);
        return 0;
    }

    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        return WindowOfferToControl(header ? header->hwndFrom : nullptr, hwnd, msg, wParam, lParam);
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case ControlForwardMessage:
        return WindowOfferToControl(reinterpret_cast<HWND>(lParam), hwnd, msg, wParam, lParam);

    default:
        return NotHandled;
    }
}

LRESULT CALLBACK WindowClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    intptr_t result = WindowCommonHandler(hwnd, msg, wParam, lParam);
    SetLastError(0);
    if (result == NotHandled) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return static_cast<LRESULT>(result);
}

HACCEL WindowChooseAccelerators(HWND active) {
    HWND focus = GetFocus();
    const bool modifiers = KeyDown(VK_CONTROL) || KeyDown(VK_SHIFT) || KeyDown(VK_MENU);
    if (focus && KeyDown(VK_TAB) && !modifiers) {
        // A writable rich-edit control takes Tab itself.
        wchar_t cls[5];
        if (GetClassNameW(focus, cls, 5) == 4 && std::wcsncmp(cls, L"Rich", 4) == 0 &&
            !(SendMessageW(focus, EM_GETOPTIONS, 0, 0) & ECO_READONLY))
            return nullptr;
    }
    if (active && modifiers) WindowShowKeyboardCues(active);
    if (focus && GetPropW(focus, HOTKEY_PROPERTY)) return nullptr;
    if (!active) return nullptr;
    intptr_t id = reinterpret_cast<intptr_t>(GetPropW(active, WINDOW_ID_PROPERTY));
    if (!id) return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(active, &process);
    if (process != GetCurrentProcessId()) return nullptr;
    auto* record = static_cast<WindowRecord*>(ObjectTableGet(WindowTable, id - 1));
    return record ? reinterpret_cast<HACCEL>(record->accelTable) : nullptr;
}

// One message at most: translated by the active window's accelerators, or
// translated and dispatched; its events wait in the queue for later polls.
uint32_t WindowPlatformPoll() {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) return 0;
    HWND active = GetActiveWindow();
    HACCEL table = WindowChooseAccelerators(active);
    if (table && TranslateAcceleratorW(active, table, &msg)) {
        if (active) WindowShowKeyboardCues(active);
    } else {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return msg.message;
}
