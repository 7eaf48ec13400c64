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

namespace {

// The current Canvas with colour as its front colour, or 0.
Canvas* InColour(Color colour) {
    Canvas* canvas = CurrentCanvas;
    if (canvas && colour != canvas->frontColor) {
        canvas->frontColor = colour;
        if (canvas->setFrontColor) canvas->setFrontColor(canvas, colour);
    }
    return canvas;
}

}  // namespace

void CanvasDrawImage(NativeHandle image, int x, int y) {
    Canvas* canvas = CurrentCanvas;
    if (canvas && canvas->drawImage) canvas->drawImage(canvas, image, x + canvas->originX, y + canvas->originY);
}

void CanvasDrawImageSized(NativeHandle image, int x, int y, int w, int h) {
    Canvas* canvas = CurrentCanvas;
    if (canvas && canvas->drawImageSized)
        canvas->drawImageSized(canvas, image, x + canvas->originX, y + canvas->originY, w, h);
}

void CanvasLine(int x1, int y1, int x2, int y2, Color colour) {
    Canvas* canvas = InColour(colour);
    if (canvas && canvas->line)
        canvas->line(canvas, x1 + canvas->originX, y1 + canvas->originY, x2 + canvas->originX, y2 + canvas->originY);
}

void CanvasSetMode(int flags) {
    Canvas* canvas = CurrentCanvas;
    if (canvas && canvas->setMode) canvas->setMode(canvas, flags);
}

void CanvasBox(int x, int y, int w, int h, Color colour) {
    Canvas* canvas = InColour(colour);
    if (canvas && canvas->box) canvas->box(canvas, x + canvas->originX, y + canvas->originY, w, h);
}

void CanvasRoundBox(int x, int y, int w, int h, int rx, int ry, Color colour) {
    Canvas* canvas = InColour(colour);
    if (canvas && canvas->roundBox) canvas->roundBox(canvas, x + canvas->originX, y + canvas->originY, w, h, rx, ry);
}

void CanvasEllipse(int x, int y, int rx, int ry, Color colour) {
    Canvas* canvas = InColour(colour);
    if (canvas && canvas->ellipse) canvas->ellipse(canvas, x + canvas->originX, y + canvas->originY, rx, ry);
}

void CanvasFillArea(int x, int y, Color border, Color colour) {
    Canvas* canvas = InColour(colour);
    if (canvas && canvas->fillArea) canvas->fillArea(canvas, x + canvas->originX, y + canvas->originY, border);
}
