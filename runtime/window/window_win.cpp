// The Windows part of numbered top-level windows (window_platform.h): each
// window with a class of its own, Tab/Shift+Tab accelerators and the
// control-container subclass.
#include "runtime/window/window_win.h"

#include "runtime/core/main_heap.h"
#include "runtime/core/module_instance.h"
#include "runtime/window/window_layout.h"
#include "runtime/window/window_platform.h"

namespace {

struct WindowLib {
    HICON icon;      // application icon resource 1, 0 when the program has none
    HCURSOR cursor;  // the arrow
};

// The thread's control container: the window new controls go into, and the
// stack of nested containers of the control library.
constexpr int kContainerStackSize = 10;
struct ContainerState {
    HWND current;
    HWND stack[kContainerStackSize];
    int depth;
};

// Property block of a control container window. While another window is the
// container, the state it replaced is kept in `saved`.
struct ContainerBlock {
    HWND window;
    ContainerState* saved;
    WNDPROC previous;  // the replaced window procedure
};

WindowLib* windowLib = nullptr;
ContainerState* containers = nullptr;

HINSTANCE Instance() { return reinterpret_cast<HINSTANCE>(ModuleInstanceInit()); }

// "QZ_GadgetStack_<module instance>".
const wchar_t* ContainerPropertyName() {
    static char16_t name[NumberedNameCapacity];
    if (!name[0]) FormatNumberedName(name, NumberedNameCapacity, u"QZ_GadgetStack_", ModuleInstanceInit());
    return reinterpret_cast<const wchar_t*>(name);
}

void ClassName(char16_t (&name)[NumberedNameCapacity], ObjectNumber number) {
    FormatNumberedName(name, NumberedNameCapacity, u"WindowClass_", number);
}

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* block = static_cast<ContainerBlock*>(GetPropW(hwnd, ContainerPropertyName()));
    if (!block) return DefWindowProcW(hwnd, msg, wParam, lParam);
    WNDPROC previous = block->previous;
    if (msg == WM_NCDESTROY) {
        if (containers && containers->current == hwnd) *containers = ContainerState{};
        MainFree(block->saved);
        MainFree(block);
        RemovePropW(hwnd, ContainerPropertyName());
        // Later messages go straight to the class procedure.
        if (previous) SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    if (!previous) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
}

// Makes hwnd the thread's current control container, keeping the state it
// replaces with the previous container.
void MakeControlContainer(HWND hwnd) {
    if (!containers) return;
    if (containers->current) {
        auto* previous = static_cast<ContainerBlock*>(GetPropW(containers->current, ContainerPropertyName()));
        if (previous) {
            if (!previous->saved) previous->saved = static_cast<ContainerState*>(MainAlloc(sizeof(ContainerState)));
            if (previous->saved) *previous->saved = *containers;
        }
    }
    auto* block = static_cast<ContainerBlock*>(MainAlloc(sizeof(ContainerBlock)));
    if (!block) return;
    block->window = hwnd;
    if (!SetPropW(hwnd, ContainerPropertyName(), block)) {
        MainFree(block);
        return;
    }
    block->previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ContainerProc)));
    *containers = ContainerState{};
    containers->current = hwnd;
}

void CentreWindow(HWND hwnd, uint32_t flags, HWND parent) {
    RECT outer;
    if (!GetWindowRect(hwnd, &outer)) return;
    int w = outer.right - outer.left;
    int h = outer.bottom - outer.top;
    WindowPosition at;
    HWND reference = nullptr;
    if (!(flags & CentreOnScreen)) reference = parent ? parent : GetActiveWindow();
    RECT r;
    if (reference && reference != hwnd && GetWindowRect(reference, &r)) {
        at = WindowCentreOnRect(r.left, r.top, r.right, r.bottom, w, h);
    } else {
        // On the screen, also for centring on a parent when there is nothing
        // to centre on.
        at = WindowCentreOnScreen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), w, h);
    }
    SetWindowPos(hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The Tab and Shift+Tab accelerators. Without them the window still works; it
// only has no keyboard navigation between its controls.
void BuildAccelerators(WindowRecord* record) {
    auto* entries = static_cast<ACCEL*>(MainAlloc(2 * sizeof(ACCEL)));
    if (!entries) return;
    entries[0] = ACCEL{FVIRTKEY | FNOINVERT, VK_TAB, static_cast<WORD>(CommandFocusNext)};
    entries[1] = ACCEL{FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, static_cast<WORD>(CommandFocusPrevious)};
    record->accelEntries = entries;
    record->accelCount = 2;
    record->accelTable = reinterpret_cast<NativeHandle>(CreateAcceleratorTableW(entries, 2));
}

}  // namespace

void WindowPlatformInit() {
    HINSTANCE instance = Instance();
    windowLib = static_cast<WindowLib*>(RuntimeAlloc(sizeof(WindowLib), nullptr));
    containers = static_cast<ContainerState*>(RuntimeAlloc(sizeof(ContainerState), nullptr));
    if (windowLib) {
        windowLib->icon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        windowLib->cursor = LoadCursorW(nullptr, IDC_ARROW);
    }
}

void WindowPlatformEnd() {
    MainFree(windowLib);
    MainFree(containers);
    windowLib = nullptr;
    containers = nullptr;
}

bool WindowPlatformOpen(WindowRecord* record, ObjectNumber number, int x, int y, int innerWidth, int innerHeight,
                        const char16_t* title, uint32_t flags, NativeHandle parent) {
    HINSTANCE instance = Instance();
    char16_t className[NumberedNameCapacity];
    ClassName(className, number);
    const auto* wideClass = reinterpret_cast<const wchar_t*>(className);
    const wchar_t* wideTitle = title ? reinterpret_cast<const wchar_t*>(title) : L"";

    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &WindowClassProc;
    wc.hInstance = instance;
    wc.hIcon = windowLib ? windowLib->icon : nullptr;
    wc.hCursor = windowLib ? windowLib->cursor : nullptr;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = wideClass;
    RegisterClassW(&wc);  // a failure shows in CreateWindowExW

    const WindowStyleChoice choice = WindowChooseStyle(flags);
    RECT frame{0, 0, innerWidth, innerHeight};
    AdjustWindowRectEx(&frame, choice.adjustStyle, FALSE, choice.exStyle);
    const WindowPosition at = WindowCreatePosition(x, y, flags);

    HWND owner = reinterpret_cast<HWND>(parent);
    HWND hwnd = CreateWindowExW(choice.exStyle, wideClass, wideTitle, choice.createStyle, at.x, at.y,
                                frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                                instance, nullptr);
    if (!hwnd) {
        UnregisterClassW(wideClass, instance);
        return false;
    }
    record->window = reinterpret_cast<NativeHandle>(hwnd);

    if (flags & (CentreOnScreen | CentreOnParent)) CentreWindow(hwnd, flags, owner);
    if (!choice.hidden) ShowWindow(hwnd, choice.showCommand);

    record->minMaxState = choice.minMaxState;
    BuildAccelerators(record);
    if (!choice.noContainer) MakeControlContainer(hwnd);
    SetPropW(hwnd, WINDOW_ID_PROPERTY, reinterpret_cast<HANDLE>(number + 1));
    return true;
}

void WindowPlatformClose(WindowRecord* record, ObjectNumber number, bool) {
    HWND hwnd = reinterpret_cast<HWND>(record->window);
    // The window may already be gone (owned windows go with their owner); its
    // handle then must not be acted on, as it may name another window by now.
    const bool alive = IsWindow(hwnd) &&
                       reinterpret_cast<intptr_t>(GetPropW(hwnd, WINDOW_ID_PROPERTY)) == number + 1;
    if (alive) {
        if (HWND owner = GetWindow(hwnd, GW_OWNER)) SetActiveWindow(owner);
        RemovePropW(hwnd, WINDOW_ID_PROPERTY);
        DestroyWindow(hwnd);
    }
    char16_t className[NumberedNameCapacity];
    ClassName(className, number);
    UnregisterClassW(reinterpret_cast<const wchar_t*>(className), Instance());
    if (record->accelEntries) {
        MainFree(record->accelEntries);
        if (record->accelTable) DestroyAcceleratorTable(reinterpret_cast<HACCEL>(record->accelTable));
    }
}
