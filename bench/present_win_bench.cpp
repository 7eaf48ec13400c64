// Frames per second of the whole demo frame with presentation, beside the
// in-memory composition of the same frames measured in the same run:
//   in memory    composition of image 3 and the copy-back with the seed line;
//   present      the program's frame: the same, plus drawing image 3 onto the
//                back buffer and ScreenFlip, paced by the retrace interval;
//   immediate    the same with a screen that presents without waiting for the
//                retrace (the cost of getting a frame to the display).
// Needs a display (an Xvfb display under Wine).
//
//   present_win_bench [FRAMES]   (default 82: two turns of the rings per round)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo/demo_state.h"
#include "demo/frame.h"
#include "runtime/core/runtime_start.h"
#include "runtime/screen/screen.h"
#include "runtime/screen/screen_state_win.h"
#include "runtime/window/window.h"
#include "bench_clock_win.h"

namespace {

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

double InMemory(int frames) {
    const double start = BenchNow();
    for (int i = 0; i < frames; ++i) {
        DemoComposeFrame(Demo);
        DemoCopyBackAndSeed(Demo);
    }
    return frames / (BenchNow() - start);
}

double Presented(int frames) {
    const double start = BenchNow();
    for (int i = 0; i < frames; ++i) {
        DemoRunFrame(Demo);
        WindowPollEvent();
    }
    return frames / (BenchNow() - start);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 82;
    std::memset(&Demo, 0, sizeof Demo);
    RuntimeStart();
    // The demo's own set-up: a failed step ends the run with its message.
    DemoSetUpWindowed(Demo);
    Pump();

    // One turn of the rings first, so the pictures hold colour. Then rounds
    // that alternate the two ways of running frames, so that both see the
    // same machine load; the medians are reported.
    InMemory(41);
    constexpr int kRounds = 3;
    double memory[kRounds], present[kRounds], immediate[kRounds];
    for (int r = 0; r < kRounds; ++r) {
        memory[r] = InMemory(frames);
        present[r] = Presented(frames);
    }
    ScreenOpenWindowed(WindowHandle(0), 0, 0, DemoScreenWidth, DemoScreenHeight, 0, 0, 0, 0);
    Pump();
    for (int r = 0; r < kRounds; ++r) immediate[r] = Presented(frames);
    std::sort(memory, memory + kRounds);
    std::sort(present, present + kRounds);
    std::sort(immediate, immediate + kRounds);
    const double m = memory[kRounds / 2], p = present[kRounds / 2], i = immediate[kRounds / 2];

    std::printf("frames per run          %d x %d rounds (800x600, %d-bit screen, refresh %d Hz), medians\n", frames,
                kRounds, Screen.screenDepth, Screen.refreshRate);
    std::printf("in memory               %8.1f frames/s\n", m);
    std::printf("present (retrace)       %8.1f frames/s   %.3f x in memory\n", p, p / m);
    std::printf("present (immediate)     %8.1f frames/s   %.3f x in memory\n", i, i / m);
    std::printf("presentation cost       %8.2f ms/frame (immediate, beyond the in-memory frame)\n",
                1000.0 / i - 1000.0 / m);
    RuntimeRelease();
    return 0;
}
