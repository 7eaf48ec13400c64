// Start-up and shutdown of the non-Windows builds (native and web): the same
// libraries in the same order as the Windows build, less those that only exist
// there (the alpha blending DLL, the GUI controls, the hidden event window);
// the display connection is closed last, before the process ends with exit
// code 0.
#include <cstdio>
#include <cstdlib>

#include "runtime/core/array.h"
#include "runtime/core/container_map.h"
#include "runtime/core/main_heap.h"
#include "runtime/core/module_instance.h"
#include "runtime/core/runtime_start.h"
#include "runtime/core/string_heap.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"
#include "runtime/screen/screen.h"
#include "runtime/window/desktop.h"
#include "runtime/window/window.h"

void RuntimeStart() {
    ModuleInstanceInit();
    MainHeapInit();
    StringLibInit();
    ImagesInit();
    CanvasLibInit();
    ArrayLibInit();
    ContainerLibInit();
    EventPostInit();
    WindowLibInit();
}

void RuntimeRelease() {
    RuntimeReleaseStep("ScreenLibEnd", ScreenLibEnd);
    RuntimeReleaseStep("WindowLibEnd", WindowLibEnd);
    RuntimeReleaseStep("EventPostEnd", EventPostEnd);
    RuntimeReleaseStep("ImagesFreeAll", ImagesFreeAll);
    RuntimeReleaseStep("StringLibEnd", StringLibEnd);
    RuntimeReleaseStep("MainHeapEnd", MainHeapEnd);
    // The tables created at start-up lived in MainHeap and are gone with it.
    ImageTable = nullptr;
    WindowTable = nullptr;
    DesktopEnd();
}

void RuntimeEnd() {
    RuntimeRelease();
    std::exit(0);
}

void RuntimeFail(const char16_t* message, int exitCode) {
    for (const char16_t* p = message; p && *p; ++p) std::fputc(*p < 0x80 ? static_cast<int>(*p) : '?', stderr);
    std::fputc('\n', stderr);
    RuntimeRelease();
    std::exit(exitCode ? exitCode : 1);
}
