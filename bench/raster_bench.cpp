// Raster drawing against plain memory operations on the same bytes, measured
// in one run: a full-width run in a 24-bit image against memset, and a burst
// of 1000 lines in mode 0 against memcpy of as many bytes as the lines write.
// The counters are ratios (raster time / baseline time): 1.0 is as fast as the
// baseline.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/raster/raster_shape.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count();
}

// A 24-bit bottom-up raster Canvas over memory owned by the benchmark.
struct Image {
    int width, height, pitch;
    std::vector<uint8_t> memory;
    Canvas* canvas;

    Image(int w, int h) : width(w), height(h), pitch((w * 3 + 3) & ~3), memory(static_cast<size_t>(pitch) * h) {
        canvas = RasterCanvasCreate(PixelFormatBGR24 | PixelFormatBottomUp);
        canvas->width = w;
        canvas->height = h;
        canvas->depth = 24;
        canvas->raster.pixels = memory.data();
        canvas->raster.pitch = pitch;
        CanvasBegin(canvas);
        canvas->frontColor = 0x00336699;
        canvas->setFrontColor(canvas, canvas->frontColor);
    }
    ~Image() { CanvasEnd(); }
};

constexpr int kRows = 64;

void BM_SpanFill24(benchmark::State& state) {
    Image image(static_cast<int>(state.range(0)), kRows);
    int row = 0;
    for (auto _ : state) {
        RasterSpanH(image.canvas, 0, image.width, row);
        row = (row + 1) % kRows;
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * image.width * 3);
}

void BM_MemsetRow(benchmark::State& state) {
    Image image(static_cast<int>(state.range(0)), kRows);
    int row = 0;
    for (auto _ : state) {
        std::memset(image.memory.data() + static_cast<size_t>(row) * image.pitch, 0x66,
                    static_cast<size_t>(image.width) * 3);
        row = (row + 1) % kRows;
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * image.width * 3);
}

// Time of one full-width run / time of memset of the same bytes.
void BM_SpanVersusMemsetRatio(benchmark::State& state) {
    Image image(static_cast<int>(state.range(0)), kRows);
    const size_t bytes = static_cast<size_t>(image.width) * 3;
    double spanNs = 0, memsetNs = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (int i = 0; i < 256; ++i) {
            RasterSpanH(image.canvas, 0, image.width, i % kRows);
            benchmark::ClobberMemory();
        }
        spanNs += Since(t0);
        t0 = Clock::now();
        for (int i = 0; i < 256; ++i) {
            std::memset(image.memory.data() + static_cast<size_t>(i % kRows) * image.pitch, 0x66, bytes);
            benchmark::ClobberMemory();
        }
        memsetNs += Since(t0);
    }
    state.counters["span/memset"] = memsetNs > 0 ? spanNs / memsetNs : 0;
}

struct Segment {
    int x1, y1, x2, y2;
};

// 1000 lines from the centre of an 800 by 600 image, up to 100 pixels long,
// as the demo's seed lines are; the pixels they write.
std::vector<Segment> MakeBurst(long* pixels) {
    std::srand(1);
    std::vector<Segment> lines;
    *pixels = 0;
    for (int i = 0; i < 1000; ++i) {
        Segment s{400, 300, 400 + std::rand() % 201 - 100, 300 + std::rand() % 201 - 100};
        lines.push_back(s);
        *pixels += std::max(std::abs(s.x2 - s.x1), std::abs(s.y2 - s.y1)) + 1;
    }
    return lines;
}

void BM_LineBurst(benchmark::State& state) {
    Image image(800, 600);
    long pixels;
    std::vector<Segment> lines = MakeBurst(&pixels);
    for (auto _ : state) {
        for (const Segment& s : lines) image.canvas->line(image.canvas, s.x1, s.y1, s.x2, s.y2);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * pixels);
}

// Time of the 1000-line burst / time of memcpy of the bytes the lines write.
void BM_LineBurstVersusMemcpyRatio(benchmark::State& state) {
    Image image(800, 600);
    long pixels;
    std::vector<Segment> lines = MakeBurst(&pixels);
    std::vector<uint8_t> source(static_cast<size_t>(pixels) * 3, 0x5A), target(source.size());
    double lineNs = 0, memcpyNs = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (const Segment& s : lines) image.canvas->line(image.canvas, s.x1, s.y1, s.x2, s.y2);
        benchmark::ClobberMemory();
        lineNs += Since(t0);
        t0 = Clock::now();
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::ClobberMemory();
        memcpyNs += Since(t0);
    }
    state.counters["lines/memcpy"] = memcpyNs > 0 ? lineNs / memcpyNs : 0;
    state.counters["pixels"] = static_cast<double>(pixels);
}

}  // namespace

BENCHMARK(BM_SpanFill24)->Arg(800)->Arg(1920)->Arg(4096);
BENCHMARK(BM_MemsetRow)->Arg(800)->Arg(1920)->Arg(4096);
BENCHMARK(BM_SpanVersusMemsetRatio)->Arg(800)->Arg(1920)->Arg(4096);
BENCHMARK(BM_LineBurst);
BENCHMARK(BM_LineBurstVersusMemcpyRatio);

BENCHMARK_MAIN();
