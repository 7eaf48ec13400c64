#include "runtime/core/runtime_start.h"

#include <windows.h>

#include "runtime/core/array.h"
#include "runtime/core/container_map.h"
#include "runtime/core/main_heap.h"
#include "runtime/core/module_instance.h"
#include "runtime/core/string_heap.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/gdi/drawing_library.h"
#include "runtime/drawing/image.h"
#include "runtime/gui/gui_lib.h"
#include "runtime/screen/screen.h"
#include "runtime/window/window.h"

void RuntimeStart() {
    ModuleInstance = reinterpret_cast<intptr_t>(GetModuleHandleW(nullptr));
    MainHeapInit();
    StringLibInit();
    DrawingLibraryInit();
    ImagesInit();
    CanvasLibInit();
    ArrayLibInit();
    GuiLibInit();
    ContainerLibInit();
    EventPostInit();
    WindowLibInit();
}

void RuntimeRelease() {
    RuntimeReleaseStep("ScreenLibEnd", ScreenLibEnd);
    RuntimeReleaseStep("WindowLibEnd", WindowLibEnd);
    RuntimeReleaseStep("EventPostEnd", EventPostEnd);
    RuntimeReleaseStep("GuiLibEnd", GuiLibEnd);
    RuntimeReleaseStep("ImagesFreeAll", ImagesFreeAll);
    RuntimeReleaseStep("DrawingLibraryEnd", DrawingLibraryEnd);
    RuntimeReleaseStep("StringLibEnd", StringLibEnd);
    RuntimeReleaseStep("MainHeapEnd", MainHeapEnd);
}

void RuntimeEnd() {
    RuntimeRelease();
    ExitProcess(0);
}

void RuntimeFail(const char16_t* message, int exitCode) {
    const wchar_t* text = reinterpret_cast<const wchar_t*>(message);
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    bool written = false;
    if (error && error != INVALID_HANDLE_VALUE) {
        // The message as UTF-8 with a line end; written where a console or a
        // redirected stream is attached.
        char line[1024];
        int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, line, sizeof line - 2, nullptr, nullptr);
        if (bytes > 0) {
            line[bytes - 1] = '\n';
            DWORD done = 0;
            written = WriteFile(error, line, static_cast<DWORD>(bytes), &done, nullptr) && done == static_cast<DWORD>(bytes);
        }
    }
    if (!written) MessageBoxW(nullptr, text, L"Wirlo", MB_OK | MB_ICONERROR);
    RuntimeRelease();
    ExitProcess(static_cast<UINT>(exitCode ? exitCode : 1));
}
