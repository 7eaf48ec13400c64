// One frame of the effect in memory on the native image back end (the frame
// code without the Windows GDI calls behind each grab), beside memcpy of the
// bytes a frame moves (every drawn tile twice, and the whole image once).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "demo/composition.h"
#include "demo/frame.h"

namespace {

void CountTileBytes(DemoState& s, int32_t p, int32_t q, void* context) {
    const DemoTileMove m = DemoTileGeometry(s, p, q);
    if (m.draws) *static_cast<long long*>(context) += 2LL * m.width * m.height * 3;
}

long long BytesPerFrame() {
    DemoState s{};
    DemoSetUpInMemory(s, 1);
    long long bytes = 0;
    for (int i = 0; i < 41; ++i) DemoComposeTiles(s, CountTileBytes, &bytes);
    DemoReleaseInMemory(s);
    return bytes / 41 + 800LL * 600 * 3;
}

void Frame(benchmark::State& state) {
    DemoState s{};
    DemoSetUpInMemory(s, 1);
    DemoRunFrames(s, 41);
    for (auto _ : state) {
        DemoComposeFrame(s);
        DemoCopyBackAndSeed(s);
    }
    DemoReleaseInMemory(s);
}
BENCHMARK(Frame)->Unit(benchmark::kMillisecond);

void MemcpyOfAFramesBytes(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(BytesPerFrame());
    std::vector<char> from(bytes, 1), to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(MemcpyOfAFramesBytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
