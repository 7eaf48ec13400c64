// Drawing a 24-bit block onto a 24-bit raster target in mode 0 against memcpy
// of the same rows, measured back to back in one run: whole 800 by 600 images
// and the demo's small tiles.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/raster/blit.h"

namespace {

constexpr int kWidth = 800, kHeight = 600, kPitch = 2400;

struct Buffers {
    std::vector<uint8_t> source, target;
    Canvas canvas;
    Buffers() : source(static_cast<size_t>(kPitch) * kHeight), target(source.size()) {
        for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 31 + 7);
        std::memset(&canvas, 0, sizeof(canvas));
        canvas.width = canvas.fullWidth = kWidth;
        canvas.height = canvas.fullHeight = kHeight;
        canvas.depth = 24;
        canvas.raster.pixels = canvas.raster.fullPixels = target.data();
        canvas.raster.pitch = kPitch;
        canvas.raster.bytesPerPixel = 3;
        canvas.raster.bottomUp = PixelFormatBottomUp;
        canvas.raster.pixelFormat = PixelFormatBGR24 | PixelFormatBottomUp;
    }
};

// One pass over the target in tiles of w by h (the whole image when w = 800):
// each tile drawn from the same-sized block at the source's position.
void BlitTiles(Buffers& b, int w, int h) {
    for (int y = 0; y + h <= kHeight; y += h)
        for (int x = 0; x + w <= kWidth; x += w) {
            const uint8_t* tile = b.source.data() + static_cast<size_t>(kHeight - y - h) * kPitch + x * 3;
            BlitFrom24(&b.canvas, tile, kPitch, x, y, w, h, 255);
        }
}

void CopyTiles(Buffers& b, int w, int h) {
    for (int y = 0; y + h <= kHeight; y += h)
        for (int x = 0; x + w <= kWidth; x += w)
            for (int r = 0; r < h; ++r) {
                const size_t offset = static_cast<size_t>(kHeight - y - h + r) * kPitch + static_cast<size_t>(x) * 3;
                std::memcpy(b.target.data() + offset, b.source.data() + offset, static_cast<size_t>(w) * 3);
            }
}

void BM_BlitFrom24(benchmark::State& state) {
    Buffers b;
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    for (auto _ : state) {
        BlitTiles(b, w, h);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kWidth / w * w) * (kHeight / h * h) * 3);
}

void BM_MemcpyRows(benchmark::State& state) {
    Buffers b;
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    for (auto _ : state) {
        CopyTiles(b, w, h);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kWidth / w * w) * (kHeight / h * h) * 3);
}

// blit / memcpy, alternating in the same loop so both see the same machine state.
void BM_BlitVersusMemcpyRatio(benchmark::State& state) {
    Buffers b;
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    double blitNs = 0, copyNs = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        BlitTiles(b, w, h);
        benchmark::ClobberMemory();
        auto t1 = std::chrono::steady_clock::now();
        CopyTiles(b, w, h);
        benchmark::ClobberMemory();
        auto t2 = std::chrono::steady_clock::now();
        blitNs += std::chrono::duration<double, std::nano>(t1 - t0).count();
        copyNs += std::chrono::duration<double, std::nano>(t2 - t1).count();
    }
    state.counters["blit/memcpy"] = copyNs > 0 ? blitNs / copyNs : 0;
}

}  // namespace

BENCHMARK(BM_BlitFrom24)->Args({800, 600})->Args({40, 30})->Args({16, 12});
BENCHMARK(BM_MemcpyRows)->Args({800, 600})->Args({40, 30})->Args({16, 12});
BENCHMARK(BM_BlitVersusMemcpyRatio)->Args({800, 600})->Args({40, 30})->Args({16, 12});

BENCHMARK_MAIN();
