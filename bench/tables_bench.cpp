// Time to build both partition tables for 800 by 600 (about 3.3 million score
// steps), beside a baseline in the same run: clearing the same number of
// 32-bit words that the score loops read.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "demo/demo_state.h"
#include "demo/tables.h"
#include "runtime/core/array.h"

namespace {

void FreeAll(DemoState& s) {
    void* arrays[] = {s.cutX, s.cutY, s.ringCellsX, s.ringStartX, s.ringCellsY, s.ringStartY, s.freeCell};
    for (void* a : arrays) ArrayFree(a);
}

void BuildBothTables(benchmark::State& state) {
    for (auto _ : state) {
        DemoState s{};
        DemoCreateCutLists(s);
        DemoSetScreenSize(s, 800, 600);
        DemoSetRingConstants(s);
        benchmark::DoNotOptimize(DemoBuildTables(s));
        benchmark::DoNotOptimize(DemoInts(s.ringCellsY)[0]);
        FreeAll(s);
    }
}
BENCHMARK(BuildBothTables)->Unit(benchmark::kMillisecond);

// Baseline: writing 3.3 million words (13 MB) once.
void WriteScoreStepWords(benchmark::State& state) {
    std::vector<int32_t> words(3300000);
    for (auto _ : state) {
        std::memset(words.data(), 1, words.size() * sizeof(int32_t));
        benchmark::DoNotOptimize(words.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(WriteScoreStepWords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
