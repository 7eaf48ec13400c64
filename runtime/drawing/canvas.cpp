#include "runtime/drawing/canvas.h"

#include "runtime/core/main_heap.h"
#include "runtime/core/platform.h"

Canvas* CurrentCanvas = nullptr;

namespace {
uint32_t canvasTlsIndex = UINT32_MAX;
}

void CanvasLibInit() {
    if (canvasTlsIndex == UINT32_MAX) canvasTlsIndex = TlsIndexAlloc();
}

void CanvasLibEnd() {
    CanvasEnd();
    if (canvasTlsIndex != UINT32_MAX) TlsIndexFree(canvasTlsIndex);
    canvasTlsIndex = UINT32_MAX;
}

void CanvasSetCurrent(Canvas* canvas) {
    CurrentCanvas = canvas;
    if (canvasTlsIndex != UINT32_MAX) TlsIndexSet(canvasTlsIndex, canvas);
}

Canvas* CanvasAllocate() {
    auto* canvas = static_cast<Canvas*>(MainAlloc(sizeof(Canvas)));
    if (canvas) CanvasSetCurrent(canvas);
    return canvas;
}

NativeHandle CanvasBegin(Canvas* canvas) {
    if (!canvas) return 0;
    canvas->fullWidth = canvas->width;
    canvas->fullHeight = canvas->height;
    NativeHandle output = canvas->begin ? canvas->begin(canvas) : 0;
    if (output) return output;
    if (canvas->release) canvas->release(canvas, 0);
    MainFree(canvas);
    CanvasSetCurrent(nullptr);
    return 0;
}

void CanvasEnd() {
    Canvas* canvas = CurrentCanvas;
    if (!canvas) return;
    if (canvas->end) canvas->end(canvas);
    if (canvas->release) canvas->release(canvas, 1);
    MainFree(canvas);
    CanvasSetCurrent(nullptr);
}

// With no current Canvas, or a slot the back end lacks, the front functions
// draw nothing.
void CanvasDrawImage(NativeHandle image, int x, int y) {
    Canvas* canvas = CurrentCanvas;
    if (canvas && canvas->drawImage) canvas->drawImage(canvas, image, x + canvas->originX, y + canvas->originY);
}

void CanvasLine(int x1, int y1, int x2, int y2, Color colour) {
    Canvas* canvas = CurrentCanvas;
    if (!canvas) return;
    if (colour != canvas->frontColor) {
        canvas->frontColor = colour;
        if (canvas->setFrontColor) canvas->setFrontColor(canvas, colour);
    }
    if (canvas->line)
        canvas->line(canvas, x1 + canvas->originX, y1 + canvas->originY, x2 + canvas->originX, y2 + canvas->originY);
}
