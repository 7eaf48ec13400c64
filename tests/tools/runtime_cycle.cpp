// The runtime's start and end, twice in one process. Round one: start-up, every
// library ready; the demo's whole set-up (window, screen, images, tables) and
// three presented frames, a Canvas left current; the end steps, run twice,
// leave every library's globals as before its start. Round two: start-up
// again, the demo's set-up and ten frames of its loop, and the shutdown, whose
// exit code must be 0. With "fail" it instead ends round one through the
// start-up failure path with exit code 9.
// Used by tests/e2e/runtime_*.sh; prints one line per failed check. Needs a
// display.
#include <cstdio>
#include <cstring>

#include "demo/demo_state.h"
#include "demo/frame.h"
#include "runtime/core/array.h"
#include "runtime/core/main_heap.h"
#include "runtime/core/module_instance.h"
#include "runtime/core/process.h"
#include "runtime/core/runtime_start.h"
#include "runtime/core/string_heap.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"
#include "runtime/program/program.h"
#include "runtime/screen/screen.h"
#include "runtime/window/event_bindings.h"
#include "runtime/window/event_queue.h"
#include "runtime/window/window.h"
#ifdef WIRLO_PLATFORM_WIN
#include "runtime/drawing/gdi/drawing_library.h"
#include "runtime/gui/gui_lib.h"
#endif

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::printf("FAILED: %s\n", what);
    std::fflush(stdout);
    ++failures;
}

// Every library ready (true) or as before its start (false).
void CheckLibraries(bool started) {
    Check((MainHeap != nullptr) == started, "MainHeap");
    Check((StringHeap != nullptr) == started, "string heap");
    Check((ImageTable != nullptr) == started, "image table");
    Check((WindowTable != nullptr) == started, "window table");
    Check((PendingEvents != nullptr) == started, "event queue");
    Check((EventBindings != nullptr) == started, "event-binding map");
    Check(ScreenSpriteTable() == nullptr, "no sprite table before GraphicsInit");
    Check(CurrentCanvas == nullptr, "no Canvas current");
#ifdef WIRLO_PLATFORM_WIN
    Check(AlphaBlendAvailable() == started, "AlphaBlend loaded");
    Check((GuiControlTable() != nullptr) == started, "GUI control table");
    Check((EventPostWindow() != 0) == started, "event window");
#endif
}

}  // namespace

int main(int argc, char** argv) {
    const bool failPath = argc > 1 && std::strcmp(argv[1], "fail") == 0;
    RuntimeStart();
    CheckLibraries(true);
    Check(ModuleInstance == ProcessModuleHandle(), "module instance");
    Check(ArrayOps.create == ArrayCreate && ArrayOps.free == ArrayFree, "array operations published");
    if (failPath) RuntimeFail(u"runtime_cycle: the failure path works.", 9);

    std::memset(&Demo, 0, sizeof Demo);
    DemoSetUpWindowed(Demo);
    for (int frame = 0; frame < 3; ++frame) DemoRunFrame(Demo);
    Check(CanvasBegin(ImageCanvas(DemoImageSource)) != 0, "a Canvas left current");
    RuntimeRelease();
    RuntimeRelease();
    CheckLibraries(false);

    RuntimeStart();
    CheckLibraries(true);
    std::memset(&Demo, 0, sizeof Demo);
    DemoSetUpWindowed(Demo);
    int frames = 0;
    while (frames < 10) {
        DemoRunFrame(Demo);
        ++frames;
        if (ProgramEndRequested()) break;
    }
    Check(frames == 10, "ten frames after the restart");
    std::printf("checks done: %d failed\n", failures);
    std::fflush(stdout);
    if (failures) ProcessExit(1);
    RuntimeEnd();
}
