// The card, top to bottom: eight colour bars with a fan of lines across them
// in each drawing mode; ellipses and rounded boxes, filled and hollow, and a
// box split by a diagonal whose halves are flood-filled, one up to a border
// colour and one over the region of its own colour; and the pattern drawn at
// its own size and stretched twice.
#include "examples/testcard/card.h"

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"
#include "runtime/drawing/raster/raster_pixel.h"

namespace {

constexpr Color kOpaque = 0xFF000000u;
constexpr Color kBars[] = {0xFFFFFF, 0x00FFFF, 0xFFFF00, 0x00FF00, 0xFF00FF, 0x0000FF, 0xFF0000, 0x000000};
constexpr int kModes[] = {0,          ModeXorColor,       ModeHollow,       ModeAlphaOnly, ModeBlendOver,
                          ModeBlendKeepAlpha, ModeGradientFill, ModeFilter, ModeWriteAll};
constexpr Color kFan = 0x804080FFu;  // orange, half transparent
constexpr Color kRed = 0x0000FF | kOpaque;

// The gradient runs from black at the left edge to white at the right.
double AcrossTheCard(Canvas*, int x, int) { return x / static_cast<double>(CardWidth); }
// The filter inverts what it draws over.
Color Inverted(int, int, Color, Color target) { return ~target | kOpaque; }

void Fans() {
    for (int i = 0; i < static_cast<int>(sizeof kModes / sizeof kModes[0]); ++i) {
        CanvasSetMode(kModes[i]);
        const int x = 5 + 70 * i;
        for (int k = 0; k < 7; ++k) CanvasLine(x, 10, x + 60, 10 + 16 * k, kFan);
    }
    CanvasSetMode(0);
}

void Shapes() {
    CanvasEllipse(70, 190, 60, 50, 0x00C000 | kOpaque);
    CanvasRoundBox(270, 140, 120, 100, 20, 20, 0xC00000 | kOpaque);
    CanvasSetMode(ModeHollow);
    CanvasEllipse(200, 190, 60, 50, 0xFFFFFF | kOpaque);
    CanvasRoundBox(410, 140, 120, 100, 30, 20, 0x00FFFF | kOpaque);
    CanvasBox(550, 140, 80, 100, kRed);
    CanvasSetMode(0);
    CanvasLine(550, 140, 629, 239, kRed);
    CanvasFillArea(600, 160, kRed, 0xFFFF00 | kOpaque);
    CanvasFillArea(560, 230, 0xFFFFFFFFu, 0xFF00FF | kOpaque);
}

void Pictures() {
    const NativeHandle pattern = ImageHandle(CardPattern);
    CanvasDrawImage(pattern, 20, 300);
    CanvasDrawImageSized(pattern, 80, 270, 128, 96);
    CanvasDrawImageSized(pattern, 240, 280, 380, 190);
}

}  // namespace

int CardCreateImages() {
    if (!ImageCreate(CardImage, CardWidth, CardHeight, 32) || !ImageCreate(CardPattern, 32, 24, 32, 0x402000))
        return 0;
    if (!CanvasBegin(ImageCanvas(CardPattern))) return 0;
    for (int y = 0; y < 24; y += 8)
        for (int x = (y / 8) % 2 * 8; x < 32; x += 16) CanvasBox(x, y, 8, 8, 0x30A0F0 | kOpaque);
    CanvasLine(0, 23, 31, 0, 0xFFFFFF | kOpaque);
    CanvasEnd();
    return 1;
}

int CardDraw() {
    if (!CanvasBegin(ImageCanvas(CardImage))) return 0;
    RasterSetGradientCallback(CurrentCanvas, AcrossTheCard);
    RasterSetFilterCallback(CurrentCanvas, Inverted);
    CanvasSetMode(ModeWriteAll);
    CanvasBox(0, 0, CardWidth, CardHeight, 0x303030 | kOpaque);
    CanvasSetMode(0);
    for (int i = 0; i < 8; ++i) CanvasBox(80 * i, 0, 80, 120, kBars[i] | kOpaque);
    Fans();
    Shapes();
    Pictures();
    CanvasEnd();
    return 1;
}
