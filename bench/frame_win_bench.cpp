// Time of one frame of the effect in memory: the tile composition of image 3
// from image 2 (begin, every tile's grab and draw, end) and the copy-back with
// the seed line, beside memcpy of the bytes the frame moves, measured in the
// same run. Prints the medians, their ratio and the frames per second that
// leaves within a 60 Hz budget, then where one grab's time goes: each GDI
// call of a grab made the plain way (fresh DCs), timed alone.
//
//   frame_win_bench [FRAMES]     (default 123: three turns of the rings)
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "demo/frame.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"
#include "bench_clock_win.h"
#include "frame_timing.h"

namespace {

// The GDI calls a grab is made of, each timed alone on a tile of the given
// side copied out of an 800 by 600 section, beside memcpy of the tile's rows.
struct GrabPieces {
    double createSection, createDC, select, blit, deleteDC, deleteSection, memcpyTile;
};

GrabPieces TimeGrabPieces(int side) {
    const int count = 300;
    std::vector<double> createSection, createDC, select, blit, deleteDC, deleteSection, copy;
    HBITMAP source = reinterpret_cast<HBITMAP>(DibCreate(DemoScreenWidth, DemoScreenHeight, 24));
    const size_t rowBytes = static_cast<size_t>(DibRowPitch(side, 24));
    std::vector<char> from(static_cast<size_t>(DibRowPitch(DemoScreenWidth, 24)) * side), to(rowBytes * side);
    for (int i = 0; i < count && source; ++i) {
        const double t0 = BenchNow();
        HBITMAP tile = reinterpret_cast<HBITMAP>(DibCreate(side, side, 24));
        const double t1 = BenchNow();
        HDC sourceDC = CreateCompatibleDC(nullptr);
        const double t2 = BenchNow();
        HDC tileDC = CreateCompatibleDC(nullptr);
        const double t3 = BenchNow();
        HGDIOBJ oldSource = SelectObject(sourceDC, source);
        const double t4 = BenchNow();
        HGDIOBJ oldTile = SelectObject(tileDC, tile);
        const double t5 = BenchNow();
        BitBlt(tileDC, 0, 0, side, side, sourceDC, i % 400, i % 300, SRCCOPY);
        const double t6 = BenchNow();
        SelectObject(sourceDC, oldSource);
        SelectObject(tileDC, oldTile);
        const double t7 = BenchNow();
        DeleteDC(sourceDC);
        const double t8 = BenchNow();
        DeleteDC(tileDC);
        const double t9 = BenchNow();
        DeleteObject(tile);
        const double t10 = BenchNow();
        for (int r = 0; r < side; ++r)
            std::memcpy(to.data() + r * rowBytes, from.data() + static_cast<size_t>(r) * 2400, rowBytes);
        const double t11 = BenchNow();
        createSection.push_back(t1 - t0);
        createDC.push_back(t2 - t1);
        createDC.push_back(t3 - t2);
        select.push_back(t4 - t3);
        select.push_back(t5 - t4);
        select.push_back((t7 - t6) / 2);
        blit.push_back(t6 - t5);
        deleteDC.push_back(t8 - t7);
        deleteDC.push_back(t9 - t8);
        deleteSection.push_back(t10 - t9);
        copy.push_back(t11 - t10);
    }
    if (source) DeleteObject(source);
    if (copy.empty()) return GrabPieces{0, 0, 0, 0, 0, 0, 1};
    if (to[static_cast<size_t>(side)] == 7) std::printf(" ");  // keep the copies
    return GrabPieces{BenchMedian(createSection), BenchMedian(createDC), BenchMedian(select), BenchMedian(blit),
                      BenchMedian(deleteDC),      BenchMedian(deleteSection), std::max(BenchMedian(copy), 1e-9)};
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = FrameBenchFrames(argc, argv);
    DemoState s;
    if (!FrameBenchSetUp(s)) return 1;

    const FrameTimes times = TimeFrames(s, frames, BenchNow);
    // Where a tile's time goes: the grab into image 4 alone, and the draw of
    // image 4 onto image 3 alone, for a tile of average size.
    const long long imageBytes = static_cast<long long>(DemoScreenWidth) * DemoScreenHeight * 3;
    const int side =
        static_cast<int>(std::sqrt(static_cast<double>(times.bytes - imageBytes * frames) / (2.0 * 3.0 * times.tiles)));
    std::vector<double> grabTimes, drawTimes;
    for (int i = 0; i < 300; ++i) {
        const double g0 = BenchNow();
        ImageGrab(DemoImageSource, DemoImageTile, i % 400, i % 300, side, side);
        grabTimes.push_back(BenchNow() - g0);
    }
    if (CanvasBegin(ImageCanvas(DemoImageFrame))) {
        for (int i = 0; i < 300; ++i) {
            const double d0 = BenchNow();
            CanvasDrawImage(ImageHandle(DemoImageTile), i % 400, i % 300);
            drawTimes.push_back(BenchNow() - d0);
        }
        CanvasEnd();
    }
    // Timed while an image Canvas is current, as the frame's grabs are.
    const bool drawing = CanvasBegin(ImageCanvas(DemoImageFrame)) != 0;
    const GrabPieces pieces = TimeGrabPieces(side);
    if (drawing) CanvasEnd();
    DemoReleaseInMemory(s);

    PrintFrameTimes(times);
    std::printf("median grab of a %dx%d tile:  %.1f us\n", side, side, BenchMedian(grabTimes) * 1e6);
    if (!drawTimes.empty()) std::printf("median draw of that tile:   %.1f us\n", BenchMedian(drawTimes) * 1e6);
    const double tileCopy = pieces.memcpyTile;
    std::printf("pieces of one grab (median us, and against memcpy of the tile's rows, %.2f us):\n", tileCopy * 1e6);
    const struct {
        const char* name;
        double time;
    } rows[] = {
        {"CreateDIBSection", pieces.createSection},
        {"CreateCompatibleDC", pieces.createDC},
        {"SelectObject", pieces.select},
        {"BitBlt into the new section", pieces.blit},
        {"DeleteDC", pieces.deleteDC},
        {"DeleteObject of a filled section", pieces.deleteSection},
    };
    for (const auto& row : rows)
        std::printf("  %-34s %7.1f us  %6.0fx\n", row.name, row.time * 1e6, row.time / tileCopy);
    return 0;
}
