// The shutdown sequence, run for real in a child process: every release step
// in its order, the event-binding map alive from start-up until the event
// library's release step, and exit code 0.
#include <gtest/gtest.h>

#include <cstdio>

#include "runtime/core/container_map.h"
#include "runtime/core/runtime_start.h"
#include "runtime/window/event_bindings.h"

namespace {

// Writes " step:buckets" for each release step: the buckets of the
// event-binding map as the step begins (0 once the map is gone).
void WriteStep(const char* step) {
    std::fprintf(stderr, " %s:%d", step, MapBuckets(EventBindings));
    std::fflush(stderr);
}

TEST(RuntimeEndDeathTest, RunsTheReleaseStepsInOrderAndExitsWithZero) {
    // A fresh process: the start-up it runs is the program's own, not one
    // layered on what earlier tests left behind.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
#ifdef WIRLO_PLATFORM_WIN
    const char* order =
        " ScreenLibEnd:1024 WindowLibEnd:1024 EventPostEnd:1024 GuiLibEnd:0 CanvasLibEnd:0 ImagesEnd:0"
        " DrawingLibraryEnd:0 StringLibEnd:0 MainHeapEnd:0 DesktopEnd:0$";
#else
    const char* order =
        " ScreenLibEnd:1024 WindowLibEnd:1024 EventPostEnd:1024 CanvasLibEnd:0 ImagesEnd:0 StringLibEnd:0"
        " MainHeapEnd:0 DesktopEnd:0$";
#endif
    EXPECT_EXIT(
        {
            RuntimeStart();
            RuntimeReleaseWatcher = WriteStep;
            RuntimeEnd();
        },
        testing::ExitedWithCode(0), order);
}

}  // namespace
