#include "runtime/gui/gui_lib.h"

#include <windows.h>
#include <commctrl.h>

#include "runtime/core/main_heap.h"
#include "runtime/core/object_table.h"
#include "runtime/core/platform.h"

namespace {

// Control classes the library registers: tab, hot-key, date and time,
// extended combo box and the internet-address control.
constexpr DWORD kControlClasses = ICC_TAB_CLASSES | ICC_HOTKEY_CLASS | ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                  ICC_INTERNET_CLASSES;
static_assert(kControlClasses == 0x0B48, "class set");

struct ControlRecord {
    HWND window;
    int kind;
};

struct GuiLibrary {
    RuntimeLock lock;
    HFONT defaultFont;
    ObjectTable* controls;
    HWND auxiliaryWindow;  // made only by operations this system does not use
};

GuiLibrary* library = nullptr;

typedef BOOL(WINAPI* InitCommonControlsExFunction)(const INITCOMMONCONTROLSEX*);

void ControlFree(ObjectNumber number) {
    if (!library) return;
    auto* control = static_cast<ControlRecord*>(ObjectTableGet(library->controls, number));
    if (!control) return;
    if (IsWindow(control->window)) DestroyWindow(control->window);
    ObjectTableFree(library->controls, number);
}

void InitLock(void* block) { LockInit(&static_cast<GuiLibrary*>(block)->lock); }

}  // namespace

bool GuiLibInit() {
    if (library) return true;
    library = static_cast<GuiLibrary*>(RuntimeAlloc(sizeof(GuiLibrary), InitLock));
    if (!library) return false;
    library->defaultFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    library->controls = ObjectTableCreate(sizeof(ControlRecord), 50, ControlFree);
    // comctl32 is a system library; it stays loaded for the process.
    HMODULE comctl = LoadLibraryW(L"comctl32.dll");
    auto init = comctl ? reinterpret_cast<InitCommonControlsExFunction>(
                             reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")))
                       : nullptr;
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), kControlClasses};
    return init && init(&classes);
}

void GuiLibEnd() {
    if (!library) return;
    if (library->auxiliaryWindow) DestroyWindow(library->auxiliaryWindow);
    if (library->controls) {
        ObjectTableFreeAll(library->controls);
        ObjectTableDestroy(library->controls);
    }
    LockDelete(&library->lock);
    MainFree(library);
    library = nullptr;
}

ObjectTable* GuiControlTable() { return library ? library->controls : nullptr; }
NativeHandle GuiDefaultFont() { return library ? reinterpret_cast<NativeHandle>(library->defaultFont) : 0; }
