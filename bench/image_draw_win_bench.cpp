// Drawing an 800 by 600 24-bit image onto another through the real image calls
// (ImageCanvas, CanvasBegin, CanvasDrawImage, CanvasEnd) against memcpy of the
// same rows, and the demo's tile path (ImageGrab of a tile, then drawing it)
// against memcpy of the tile's rows; measured back to back in one run.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"
#include "bench_clock_win.h"

namespace {

uint8_t* Bits(ObjectNumber n) {
    DIBSECTION dib;
    GetObjectW(reinterpret_cast<HBITMAP>(ImageHandle(n)), sizeof(dib), &dib);
    return static_cast<uint8_t*>(dib.dsBm.bmBits);
}

// Rounds of count repetitions of work and of baseline, alternating so that
// both see the same machine state; the best round of each, in seconds per
// repetition.
template <typename Work, typename Baseline>
void BestPair(int rounds, int count, Work work, Baseline baseline, double* workTime, double* baselineTime) {
    *workTime = *baselineTime = 1e30;
    for (int r = 0; r < rounds; ++r) {
        double t0 = BenchNow();
        for (int i = 0; i < count; ++i) work();
        double t = (BenchNow() - t0) / count;
        if (t < *workTime) *workTime = t;
        t0 = BenchNow();
        for (int i = 0; i < count; ++i) baseline();
        t = (BenchNow() - t0) / count;
        if (t < *baselineTime) *baselineTime = t;
    }
}

}  // namespace

int main() {
    CanvasLibInit();
    ImagesInit();
    if (!ImageCreate(2, 800, 600) || !ImageCreate(3, 800, 600)) {
        std::printf("images could not be made\n");
        return 1;
    }
    uint8_t* source = Bits(2);
    uint8_t* target = Bits(3);
    for (size_t i = 0; i < 2400u * 600u; ++i) source[i] = static_cast<uint8_t>(i * 31 + 7);
    std::vector<uint8_t> scratch(2400u * 600u);

    auto copyRows = [&] {
        for (int row = 0; row < 600; ++row) std::memcpy(target + row * 2400, source + row * 2400, 2400);
    };
    copyRows();  // touches every page of both images once
    double draw, copy, cycle, cycleCopy;
    // The drawing call alone, on a Canvas begun once.
    CanvasBegin(ImageCanvas(3));
    BestPair(15, 40, [] { CanvasDrawImage(ImageHandle(2), 0, 0); }, copyRows, &draw, &copy);
    CanvasEnd();
    // With the Canvas made, begun and ended around every drawing.
    BestPair(15, 40, [] {
        CanvasBegin(ImageCanvas(3));
        CanvasDrawImage(ImageHandle(2), 0, 0);
        CanvasEnd();
    }, copyRows, &cycle, &cycleCopy);
    if (std::memcmp(source, target, 2400u * 600u) != 0) {
        std::printf("the drawn image differs from its source\n");
        return 1;
    }
    std::printf("800x600 24-bit drawImage, mode 0: %.1f us; memcpy of the rows: %.1f us; ratio %.2f\n", draw * 1e6,
                copy * 1e6, draw / copy);
    std::printf("with ImageCanvas, CanvasBegin and CanvasEnd around it: %.1f us; ratio %.2f\n", cycle * 1e6,
                cycle / cycleCopy);

    // The demo's tile path: grab a 40 by 30 tile of image 2 into image 4, draw it into image 3.
    auto copyTile = [&] {
        for (int row = 0; row < 30; ++row)
            std::memcpy(scratch.data() + row * 2400, source + (400 + row) * 2400 + 300, 120);
    };
    double tile, tileDraw, tileCopy;
    ImageGrab(2, 4, 100, 100, 40, 30);
    CanvasBegin(ImageCanvas(3));
    BestPair(9, 400, [] { CanvasDrawImage(ImageHandle(4), 104, 98); }, copyTile, &tileDraw, &tileCopy);
    BestPair(9, 400, [] {
        ImageGrab(2, 4, 100, 100, 40, 30);
        CanvasDrawImage(ImageHandle(4), 104, 98);
    }, copyTile, &tile, &tileCopy);
    CanvasEnd();
    std::printf("40x30 tile: draw %.2f us, ImageGrab + draw %.2f us, memcpy of its rows %.3f us\n", tileDraw * 1e6,
                tile * 1e6, tileCopy * 1e6);
    ImagesFreeAll();
    return 0;
}
