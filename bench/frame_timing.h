// The frame measurement of the timed harnesses (frame_win_bench under wine64,
// frame_web_bench under node): every frame of the effect in memory, its tile
// composition of image 3 from image 2 (begin, every tile's grab and draw, end)
// and its copy-back with the seed line, timed with the harness's clock beside
// memcpy of the bytes that same frame moves, measured in the same run.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "demo/composition.h"
#include "demo/frame.h"

// Frames to time: the harness's first argument, by default 123 (three turns of
// the rings).
inline int FrameBenchFrames(int argc, char** argv) { return argc > 1 ? std::max(1, std::atoi(argv[1])) : 123; }

// The warm-up: one turn of the rings, so that the pictures hold colour.
constexpr int FrameBenchWarmUp = 41;

// Sets s up in memory (seed 1) and runs the warm-up frames. Reports a failed
// set-up and returns false.
inline bool FrameBenchSetUp(DemoState& s) {
    s = DemoState{};
    if (!DemoSetUpInMemory(s, 1)) {
        std::fprintf(stderr, "set-up failed\n");
        return false;
    }
    DemoRunFrames(s, FrameBenchWarmUp);
    return true;
}

inline double BenchMedian(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct FrameTimes {
    int frames;
    int tiles;        // tiles drawn, over all frames
    long long bytes;  // bytes moved, over all frames
    double compose;   // medians in seconds: the composition of image 3,
    double frame;     // the whole frame (composition, copy-back and seed),
    double copy;      // and memcpy of the frame's bytes
};

// Bytes one frame moves: every drawn tile is copied twice (grab into image 4,
// draw onto image 3), and the copy-back moves the whole image once.
struct FrameByteCounter {
    long long bytes = 0;
    int tiles = 0;
    static void Count(DemoState& s, int32_t p, int32_t q, void* context) {
        auto* counter = static_cast<FrameByteCounter*>(context);
        const DemoTileMove m = DemoTileGeometry(s, p, q);
        if (!m.draws) return;
        counter->bytes += 2LL * m.width * m.height * 3;
        ++counter->tiles;
    }
};

// Runs frames frames of s (set up in memory), each timed with now(), a clock
// in seconds.
template <typename Clock>
FrameTimes TimeFrames(DemoState& s, int frames, Clock now) {
    const size_t imageBytes = static_cast<size_t>(DemoScreenWidth) * DemoScreenHeight * 3;
    std::vector<char> from(imageBytes * 2 + 4096, 1), to(imageBytes * 2 + 4096, 0);
    std::vector<double> composeTimes, frameTimes, copyTimes;
    FrameTimes t{frames, 0, 0, 0, 0, 0};
    for (int i = 0; i < frames; ++i) {
        // What this frame moves, from the same cut lists and phases.
        DemoState probe = s;
        FrameByteCounter counter;
        DemoComposeTiles(probe, FrameByteCounter::Count, &counter);
        const long long bytes = counter.bytes + static_cast<long long>(imageBytes);
        t.bytes += bytes;
        t.tiles += counter.tiles;

        const double t0 = now();
        DemoComposeFrame(s);
        const double t1 = now();
        DemoCopyBackAndSeed(s);
        const double t2 = now();
        composeTimes.push_back(t1 - t0);
        frameTimes.push_back(t2 - t0);

        // Baseline: memcpy of the same number of bytes, in image-sized pieces.
        const double c0 = now();
        for (long long left = bytes; left > 0;) {
            const size_t n = static_cast<size_t>(std::min<long long>(left, static_cast<long long>(imageBytes)));
            std::memcpy(to.data() + (left & 4095), from.data(), n);
            left -= static_cast<long long>(n);
        }
        copyTimes.push_back(now() - c0);
        if (to[static_cast<size_t>(i) % to.size()] == 7) std::printf(" ");  // keep the copies
    }
    t.compose = BenchMedian(composeTimes);
    t.frame = BenchMedian(frameTimes);
    t.copy = BenchMedian(copyTimes);
    return t;
}

inline void PrintFrameTimes(const FrameTimes& t) {
    std::printf("frames measured:            %d (after %d warm-up frames)\n", t.frames, FrameBenchWarmUp);
    std::printf("tiles drawn per frame:      %.1f\n", static_cast<double>(t.tiles) / t.frames);
    std::printf("bytes moved per frame:      %.2f MB\n", static_cast<double>(t.bytes) / t.frames / 1e6);
    std::printf("median composition (image 3): %.3f ms\n", t.compose * 1e3);
    std::printf("median frame (compose + copy-back and seed): %.3f ms\n", t.frame * 1e3);
    std::printf("median memcpy of the same bytes: %.3f ms\n", t.copy * 1e3);
    std::printf("ratio frame / memcpy:       %.1f\n", t.frame / t.copy);
    std::printf("frames per second possible: %.0f (60 Hz budget 16.7 ms: %.0f%% used)\n", 1.0 / t.frame,
                t.frame / (1.0 / 60.0) * 100.0);
}
