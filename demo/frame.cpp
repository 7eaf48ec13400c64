#include "demo/frame.h"

#include "demo/composition.h"
#include "demo/tables.h"
#include "runtime/core/array.h"
#include "runtime/core/main_heap.h"
#include "runtime/core/numeric.h"
#include "runtime/core/runtime_start.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"
#include "runtime/program/program.h"
#include "runtime/window/desktop.h"

namespace {

void MoveTileVisitor(DemoState& s, int32_t p, int32_t q, void*) { DemoMoveTile(s, p, q); }

// Cut lists and phases still advance when no Canvas could be made, so the
// effect stays in step; nothing is drawn.
void SkipTile(DemoState&, int32_t, int32_t, void*) {}

}  // namespace

void DemoSetUpWindowed(DemoState& s) {
    if (!DemoSetUpStart(s)) RuntimeFail(u"Wirlo: out of memory while starting.", ExitNoMemory);

    s.desktopWindow = DesktopWindow();
    const DesktopRectangle desktopRect = DesktopGetRect();
    s.desktopRect[0] = desktopRect.left;
    s.desktopRect[1] = desktopRect.top;
    s.desktopRect[2] = desktopRect.right;
    s.desktopRect[3] = desktopRect.bottom;
    // 400 and 300 are constants, not the half sizes.
    s.windowX = (s.desktopRect[2] - s.desktopRect[0]) / 2 - 400;
    s.windowY = (s.desktopRect[3] - s.desktopRect[1]) / 2 - 300;

    ProgramOpenScreen(u"Wirlo", s.windowX, s.windowY, DemoScreenWidth, DemoScreenHeight);
    if (!DemoCreateImages(s)) RuntimeFail(u"Wirlo cannot start: its images could not be created.", ExitNoImages);
    if (!DemoSetUpTables(s)) RuntimeFail(u"Wirlo: out of memory while building its tables.", ExitNoMemory);
}

void DemoRunFrame(DemoState& s) {
    DemoComposeFrame(s);
    ProgramShowImage(DemoImageFrame);
    DemoCopyBackAndSeed(s);
}

int DemoSetUpStart(DemoState& s) {
    const int ok = DemoCreateCutLists(s);
    DemoSetScreenSize(s, DemoScreenWidth, DemoScreenHeight);
    return ok;
}

int DemoCreateImages(DemoState& s) {
    int ok = ImageCreate(DemoImageSource, s.screenWidth, s.screenHeight) != 0;
    ok &= ImageCreate(DemoImageFrame, s.screenWidth, s.screenHeight) != 0;
    return ok;
}

int DemoSetUpTables(DemoState& s) {
    DemoSetRingConstants(s);
    return DemoBuildTables(s);
}

int DemoMoveTile(DemoState& s, int32_t p, int32_t q) {
    const DemoTileMove m = DemoTileGeometry(s, p, q);
    if (m.draws) {
        ImageGrab(DemoImageSource, DemoImageTile, m.left, m.top, m.width, m.height);
        CanvasDrawImage(ImageHandle(DemoImageTile), m.x, m.y);
    }
    return 0;
}

int DemoComposeFrame(DemoState& s) {
    if (!CanvasBegin(ImageCanvas(DemoImageFrame))) {
        DemoComposeTiles(s, SkipTile, nullptr);
        return 0;
    }
    const int ok = DemoComposeTiles(s, MoveTileVisitor, nullptr);
    CanvasEnd();
    return ok;
}

int DemoCopyBackAndSeed(DemoState& s) {
    const int drawing = CanvasBegin(ImageCanvas(DemoImageSource)) != 0;
    if (drawing) CanvasDrawImage(ImageHandle(DemoImageFrame), 0, 0);
    // The colour comes from the angle before this frame's step, the direction
    // from the angle after it.
    const DemoSeedLine line = DemoNextSeedLine(s);
    if (!drawing) return 0;
    CanvasLine(line.x1, line.y1, line.x2, line.y2, line.colour);
    CanvasEnd();
    return 1;
}

int DemoSetUpInMemory(DemoState& s, int32_t seed) {
    if (!MainHeapInit()) return 0;
    CanvasLibInit();
    ImagesInit();
    s = DemoState{};
    int ok = DemoSetUpStart(s);
    ok &= DemoCreateImages(s);
    ok &= ok ? DemoSetUpTables(s) : 0;
    RandomSeed(seed);
    return ok;
}

int DemoRunFrames(DemoState& s, int frames) {
    int ok = 1;
    for (int i = 0; i < frames; ++i) {
        ok &= DemoComposeFrame(s);
        ok &= DemoCopyBackAndSeed(s);
    }
    return ok;
}

void DemoReleaseInMemory(DemoState& s) {
    void* arrays[] = {s.cutX, s.cutY, s.ringCellsX, s.ringStartX, s.ringCellsY, s.ringStartY, s.freeCell};
    for (void* a : arrays) ArrayFree(a);
    ImageFree(DemoImageSource);
    ImageFree(DemoImageFrame);
    ImageFree(DemoImageTile);
}
