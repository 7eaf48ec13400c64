#include "runtime/drawing/canvas.h"

#include "runtime/core/main_heap.h"
#include "runtime/core/platform.h"

Canvas* CurrentCanvas = nullptr;

namespace {

uint32_t canvasTlsIndex = UINT32_MAX;

bool FitsInt(int64_t value) { return value >= INT32_MIN && value <= INT32_MAX; }

// (x, y) plus the origin, in *at; false when that lies beyond int's range,
// where no drawing area reaches, nor any shape of int's size placed there.
bool WithOrigin(const Canvas* canvas, int x, int y, int* at) {
    const int64_t left = int64_t{x} + canvas->originX, top = int64_t{y} + canvas->originY;
    if (!FitsInt(left) || !FitsInt(top)) return false;
    at[0] = static_cast<int>(left);
    at[1] = static_cast<int>(top);
    return true;
}

// The current Canvas with colour as its front colour, or 0.
Canvas* InColour(Color colour) {
    Canvas* canvas = CurrentCanvas;
    if (canvas && colour != canvas->frontColor) {
        canvas->frontColor = colour;
        if (canvas->setFrontColor) canvas->setFrontColor(canvas, colour);
    }
    return canvas;
}

// Moves the end points of a segment along it until coordinate a of both fits
// an int, b following by the slope. False when the whole segment lies beyond
// that range, where no drawing area reaches.
bool ClipToInt(int64_t& a1, int64_t& b1, int64_t& a2, int64_t& b2) {
    if ((a1 < INT32_MIN && a2 < INT32_MIN) || (a1 > INT32_MAX && a2 > INT32_MAX)) return false;
    const double slope = a1 == a2 ? 0.0 : static_cast<double>(b2 - b1) / static_cast<double>(a2 - a1);
    auto pull = [slope](int64_t& a, int64_t& b) {
        const int64_t to = a < INT32_MIN ? INT32_MIN : a > INT32_MAX ? INT32_MAX : a;
        b += static_cast<int64_t>(static_cast<double>(to - a) * slope);
        a = to;
    };
    pull(a1, b1);
    pull(a2, b2);
    return true;
}

}  // namespace

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
// draw nothing. The origin is added in 64 bits; what then lies beyond int's
// range is clipped away, as it is off every drawing area.
void CanvasDrawImage(NativeHandle image, int x, int y) {
    Canvas* canvas = CurrentCanvas;
    int at[2];
    if (canvas && canvas->drawImage && WithOrigin(canvas, x, y, at)) canvas->drawImage(canvas, image, at[0], at[1]);
}

void CanvasDrawImageSized(NativeHandle image, int x, int y, int w, int h) {
    Canvas* canvas = CurrentCanvas;
    int at[2];
    if (canvas && canvas->drawImageSized && WithOrigin(canvas, x, y, at))
        canvas->drawImageSized(canvas, image, at[0], at[1], w, h);
}

void CanvasLine(int x1, int y1, int x2, int y2, Color colour) {
    Canvas* canvas = InColour(colour);
    if (!canvas || !canvas->line) return;
    int64_t ax = int64_t{x1} + canvas->originX, ay = int64_t{y1} + canvas->originY;
    int64_t bx = int64_t{x2} + canvas->originX, by = int64_t{y2} + canvas->originY;
    if (!ClipToInt(ax, ay, bx, by) || !ClipToInt(ay, ax, by, bx)) return;
    canvas->line(canvas, static_cast<int>(ax), static_cast<int>(ay), static_cast<int>(bx), static_cast<int>(by));
}

void CanvasSetMode(int flags) {
    Canvas* canvas = CurrentCanvas;
    if (canvas && canvas->setMode) canvas->setMode(canvas, flags);
}

void CanvasBox(int x, int y, int w, int h, Color colour) {
    Canvas* canvas = InColour(colour);
    int at[2];
    if (canvas && canvas->box && WithOrigin(canvas, x, y, at)) canvas->box(canvas, at[0], at[1], w, h);
}

void CanvasRoundBox(int x, int y, int w, int h, int rx, int ry, Color colour) {
    Canvas* canvas = InColour(colour);
    int at[2];
    if (canvas && canvas->roundBox && WithOrigin(canvas, x, y, at)) canvas->roundBox(canvas, at[0], at[1], w, h, rx, ry);
}

void CanvasEllipse(int x, int y, int rx, int ry, Color colour) {
    Canvas* canvas = InColour(colour);
    int at[2];
    if (canvas && canvas->ellipse && WithOrigin(canvas, x, y, at)) canvas->ellipse(canvas, at[0], at[1], rx, ry);
}

void CanvasFillArea(int x, int y, Color border, Color colour) {
    Canvas* canvas = InColour(colour);
    int at[2];
    if (canvas && canvas->fillArea && WithOrigin(canvas, x, y, at)) canvas->fillArea(canvas, at[0], at[1], border);
}
