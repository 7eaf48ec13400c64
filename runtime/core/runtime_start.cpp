#include "runtime/core/runtime_start.h"

#include <iterator>

#include "runtime/core/array.h"
#include "runtime/core/container_map.h"
#include "runtime/core/main_heap.h"
#include "runtime/core/module_instance.h"
#include "runtime/core/process.h"
#include "runtime/core/string_heap.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/gdi/drawing_library.h"
#include "runtime/drawing/image.h"
#include "runtime/gui/gui_lib.h"
#include "runtime/screen/screen.h"
#include "runtime/window/desktop.h"
#include "runtime/window/window.h"

void (*RuntimeReleaseWatcher)(const char* step) = nullptr;

namespace {

// One library's part: its start step, and its end step with the name the
// release watcher is given. Either may be absent (null).
struct RuntimeStep {
    void (*start)();
    const char* endName;
    void (*end)();
};

// The libraries in start order; they end in the opposite order, so each ends
// before the libraries it uses. The screen has no start step here (the program
// calls GraphicsInit) and ends first; the desktop (the key watch, and the
// display connection that windows and screen open when they need it) ends last.
const RuntimeStep Steps[] = {
    {DesktopInit, "DesktopEnd", DesktopEnd},
    {[] { ModuleInstanceInit(); }, nullptr, nullptr},
    {[] { MainHeapInit(); }, "MainHeapEnd", MainHeapEnd},
    {StringLibInit, "StringLibEnd", StringLibEnd},
#ifdef WIRLO_PLATFORM_WIN
    {DrawingLibraryInit, "DrawingLibraryEnd", DrawingLibraryEnd},
#endif
    {ImagesInit, "ImagesEnd", ImagesEnd},
    {CanvasLibInit, "CanvasLibEnd", CanvasLibEnd},
    {ArrayLibInit, nullptr, nullptr},
#ifdef WIRLO_PLATFORM_WIN
    {[] { GuiLibInit(); }, "GuiLibEnd", GuiLibEnd},
#endif
    {ContainerLibInit, nullptr, nullptr},
    {EventPostInit, "EventPostEnd", EventPostEnd},
    {WindowLibInit, "WindowLibEnd", WindowLibEnd},
    {nullptr, "ScreenLibEnd", ScreenLibEnd},
};

}  // namespace

void RuntimeStart() {
    for (const RuntimeStep& step : Steps)
        if (step.start) step.start();
}

void RuntimeRelease() {
    for (auto step = std::rbegin(Steps); step != std::rend(Steps); ++step) {
        if (!step->end) continue;
        if (RuntimeReleaseWatcher) RuntimeReleaseWatcher(step->endName);
        step->end();
    }
}

void RuntimeEnd() {
    RuntimeRelease();
    ProcessExit(0);
}

void RuntimeFail(const char16_t* message, int exitCode) {
    ProcessShowFailure(message);
    RuntimeRelease();
    ProcessExit(exitCode ? exitCode : 1);
}
