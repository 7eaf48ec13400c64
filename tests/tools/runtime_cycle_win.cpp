// Runs the runtime's start-up, checks that every library is ready, opens what
// the demo opens (window 0, the windowed screen, two images), and ends through
// the shutdown sequence, whose exit code must be 0. With "fail" it instead
// ends through the start-up failure path with exit code 9.
// Used by tests/e2e/runtime_win.sh; prints one line per failed check.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "runtime/core/array.h"
#include "runtime/core/main_heap.h"
#include "runtime/core/module_instance.h"
#include "runtime/core/string_heap.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/gdi/drawing_library.h"
#include "runtime/drawing/image.h"
#include "runtime/core/runtime_start.h"
#include "runtime/gui/gui_lib.h"
#include "runtime/screen/screen.h"
#include "runtime/screen/screen_state_win.h"
#include "runtime/window/window.h"

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::printf("FAILED: %s\n", what);
    std::fflush(stdout);
    ++failures;
}

}  // namespace

int main(int argc, char** argv) {
    bool failPath = argc > 1 && std::strcmp(argv[1], "fail") == 0;
    RuntimeStart();
    Check(ModuleInstance == reinterpret_cast<intptr_t>(GetModuleHandleW(nullptr)), "module instance");
    Check(MainHeap != nullptr, "MainHeap");
    Check(StringHeap != nullptr, "string heap");
    Check(AlphaBlendAvailable(), "AlphaBlend loaded");
    Check(ImageTable != nullptr, "image table");
    Check(ArrayOps.create == ArrayCreate && ArrayOps.free == ArrayFree, "array operations published");
    Check(GuiControlTable() != nullptr, "GUI control table");
    Check(EventPostWindow() != 0, "event window");
    Check(WindowTable != nullptr, "window table");
    Check(CurrentCanvas == nullptr, "no Canvas current");
    if (failPath) RuntimeFail(u"runtime_cycle: the failure path works.", 9);

    Check(GraphicsInit() != 0, "GraphicsInit");
    Check(WindowOpen(0, 10, 10, 320, 200, u"runtime cycle", 0xC80000) != 0, "window 0");
    Check(ScreenOpenWindowed(WindowHandle(0), 0, 0, 320, 200, 0, 0, 0) == 1, "screen");
    Check(ImageCreate(2, 32, 32) != 0 && ImageCreate(3, 32, 32) != 0, "images");
    std::printf("checks done: %d failed\n", failures);
    std::fflush(stdout);
    if (failures) ExitProcess(1);
    RuntimeEnd();
}
