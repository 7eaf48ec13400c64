// Time of one frame of the effect in memory in the web build (WebAssembly,
// run under node): the tile composition of image 3 from image 2 and the
// copy-back with the seed line, beside memcpy of the bytes the frame moves in
// the same WebAssembly memory, measured in the same run. bench/frame-compare.sh
// prints it beside the native build's figures.
//
//   node frame_web_bench.js [FRAMES]     (default 123: three turns of the rings)
#include <chrono>

#include "demo/frame.h"
#include "frame_timing.h"

namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = FrameBenchFrames(argc, argv);
    DemoState s;
    if (!FrameBenchSetUp(s)) return 1;
    const FrameTimes times = TimeFrames(s, frames, Now);
    DemoReleaseInMemory(s);
    PrintFrameTimes(times);
    return 0;
}
