// Block pool against the C heap: the same pattern of allocations and frees
// (a queue that fills to a working set, then turns over), measured in one run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "runtime/core/block_pool.h"

namespace {

constexpr int kElement = 24;  // an event-queue node's size class

template <typename Alloc, typename Free>
void Churn(benchmark::State& state, Alloc alloc, Free release) {
    const int live = static_cast<int>(state.range(0));
    std::vector<void*> ring(static_cast<size_t>(live), nullptr);
    size_t at = 0;
    for (auto _ : state) {
        for (int i = 0; i < 1024; ++i) {
            if (ring[at]) release(ring[at]);
            ring[at] = alloc();
            benchmark::DoNotOptimize(ring[at]);
            at = (at + 1) % ring.size();
        }
    }
    for (void* p : ring)
        if (p) release(p);
    state.SetItemsProcessed(state.iterations() * 1024);
}

void BM_PoolAllocFree(benchmark::State& state) {
    BlockPool* pool = PoolCreate(kElement, 16, 256, PoolPrivate);
    Churn(state, [pool] { return PoolAlloc(pool); }, [pool](void* p) { PoolFree(pool, p); });
    PoolRelease(pool);
}

void BM_MallocFree(benchmark::State& state) {
    Churn(state, [] { return std::malloc(kElement); }, [](void* p) { std::free(p); });
}

// The ratio pool / malloc, measured back to back in the same process.
void BM_PoolVersusMallocRatio(benchmark::State& state) {
    BlockPool* pool = PoolCreate(kElement, 16, 256, PoolPrivate);
    const int live = static_cast<int>(state.range(0));
    std::vector<void*> ring(static_cast<size_t>(live), nullptr);
    double poolNs = 0, mallocNs = 0;
    for (auto _ : state) {
        auto run = [&](auto alloc, auto release) {
            auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < 4096; ++i) {
                size_t at = static_cast<size_t>(i) % ring.size();
                if (ring[at]) release(ring[at]);
                ring[at] = alloc();
                benchmark::DoNotOptimize(ring[at]);
            }
            for (void*& p : ring) {
                if (p) release(p);
                p = nullptr;
            }
            return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
        };
        poolNs += run([pool] { return PoolAlloc(pool); }, [pool](void* p) { PoolFree(pool, p); });
        mallocNs += run([] { return std::malloc(kElement); }, [](void* p) { std::free(p); });
    }
    state.counters["pool/malloc"] = mallocNs > 0 ? poolNs / mallocNs : 0;
    PoolRelease(pool);
}

}  // namespace

BENCHMARK(BM_PoolAllocFree)->Arg(64)->Arg(4096);
BENCHMARK(BM_MallocFree)->Arg(64)->Arg(4096);
BENCHMARK(BM_PoolVersusMallocRatio)->Arg(64)->Arg(4096);

BENCHMARK_MAIN();
