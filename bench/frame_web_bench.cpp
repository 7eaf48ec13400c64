// Time of one frame of the effect in memory in the web build (WebAssembly,
// run under node): the tile composition of image 3 from image 2 and the
// copy-back with the seed line, beside memcpy of the bytes the frame moves in
// the same WebAssembly memory, measured in the same run; then the conversion
// each ScreenFlip makes for the page. bench/frame-compare.sh
// prints it beside the native build's figures.
//
//   node frame_web_bench.js [FRAMES]     (default 123: three turns of the rings)
#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "demo/frame.h"
#include "frame_timing.h"
#include "runtime/screen/rgba_copy.h"

namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// What each ScreenFlip adds before the page gets the picture: the back buffer
// turned into the page's byte order, beside memcpy of the same bytes.
void PrintFlipConversion() {
    const size_t pixels = static_cast<size_t>(DemoScreenWidth) * DemoScreenHeight;
    std::vector<uint8_t> from(pixels * 4, 0x5A), to(pixels * 4), copy(pixels * 4);
    std::vector<double> convert, memcopy;
    for (int i = 0; i < 101; ++i) {
        from[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
        const double t0 = Now();
        CopyBgraToOpaqueRgba(from.data(), to.data(), pixels);
        const double t1 = Now();
        std::memcpy(copy.data(), from.data(), pixels * 4);
        const double t2 = Now();
        convert.push_back(t1 - t0);
        memcopy.push_back(t2 - t1);
    }
    if (to[7] == 1 && copy[7] == 1) std::printf(" ");  // keep the copies
    const double c = BenchMedian(convert), m = BenchMedian(memcopy);
    std::printf("median flip conversion (800x600 to the page's byte order): %.3f ms, memcpy %.3f ms, ratio %.1f\n",
                c * 1e3, m * 1e3, c / m);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = FrameBenchFrames(argc, argv);
    DemoState s;
    if (!FrameBenchSetUp(s)) return 1;
    const FrameTimes times = TimeFrames(s, frames, Now);
    DemoReleaseInMemory(s);
    PrintFrameTimes(times);
    PrintFlipConversion();
    return 0;
}
