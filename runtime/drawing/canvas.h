// The drawing context. Every 2D drawing operation goes through the one current
// Canvas: a record of operation slots filled by a back end (GDI or raster), the
// output's geometry, origin, clip state and colours, and a back-end tail.
//
// Protocol: an output-specific function (ImageCanvas, ScreenCanvas) prepares a
// Canvas and makes it current; CanvasBegin starts it; the front functions add
// the origin and call a slot; CanvasEnd ends and frees it.
//
// Native handles (device contexts, bitmaps, fonts, GDI objects) are kept as
// pointer-sized integers so that this header needs no platform headers;
// native_handle.h says what each holds on each platform.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/core/native_handle.h"

using Color = uint32_t;  // 0xAABBGGRR: red in the low byte

// Pixel-format codes.
enum : int {
    PixelFormat8 = 0x01,
    PixelFormatX1R5G5B5 = 0x02,
    PixelFormatR5G6B5 = 0x04,
    PixelFormatBGR24 = 0x10,
    PixelFormatBGRA32 = 0x40,
    PixelFormatBottomUp = 0x8000,
};

// Raster drawing-mode flags (the GDI back end gives bits 1, 2 and 4 meanings of its own).
enum : int {
    ModeTransparentText = 0x01,
    ModeXorColor = 0x02,
    ModeHollow = 0x04,
    ModeAlphaOnly = 0x08,
    ModeBlendOver = 0x10,
    ModeBlendKeepAlpha = 0x20,
    ModeGradientFill = 0x40,
    ModeFilter = 0x80,
    ModeWriteAll = 0x100,
};

struct Canvas;
struct GradientStop;
struct BlockPool;

typedef double (*GradientCallback)(Canvas* canvas, int x, int y);
typedef Color (*FilterCallback)(int x, int y, Color source, Color target);

// Tail used by the GDI back end.
struct GdiTail {
    int gdiKind;          // 0 plain DC; 7 the screen's back buffer (DC acquired on demand)
    void* lockedBits;     // screen kind: locked pixel memory while the DC is released
    int lockedPitch;
    int surfacePixelFormat;
    NativeHandle (*acquireDC)(Canvas* canvas);
    void* (*releaseDC)(Canvas* canvas, int* lockedPitch);
    NativeHandle dc;
    int modeFlags;
    int dcState;          // 1 DC held, -1 released with the pixel memory locked
    NativeHandle brush, pen;  // of the front colour; owned
    NativeHandle font;        // not owned
    NativeHandle initialBrush, initialPen;  // owned
    NativeHandle savedBrush, savedPen;
    int italicOverhang;
    NativeHandle rotatedFont;  // owned
    float rotatedAngle;
    int grabAs24;
    NativeHandle savedFont;
};

// Tail used by the raster back end.
struct RasterTail {
    GradientCallback gradientCallback;
    FilterCallback filterCallback;
    GradientStop* gradientStops;  // sorted by increasing position
    BlockPool* fillPool;
    void* fillSpans;
    uint8_t* pixels;     // pixel (0,0) of the current drawing area (see bottomUp)
    int pitch;           // bytes from one stored row to the next, positive
    int pixelFormat;
    int bytesPerPixel;   // 3 or 4
    int modeFlags;
    int premultiply, gradientOn, filterOn;
    int bottomUp;
    uint8_t* fullPixels;  // pixels of the unclipped output
    int frontRed, frontGreen, frontBlue, frontAlpha, frontInverse;
    int backRed, backGreen, backBlue, backAlpha, backInverse;
    NativeHandle textFont, textDC, textBitmap;
    uint8_t* textBits;
    int textPitch, textBufferHeight, textOverhang;
    NativeHandle textRotatedFont;
    float textRotatedAngle;
    NativeHandle imageDC;
    int savedBatchLimit;
    NativeHandle imageBitmap;
};

struct Canvas {
    // Operation slots, in this order; a slot a back end does not support is null.
    void (*setBackColor)(Canvas*, Color colour);
    void (*box)(Canvas*, int x, int y, int w, int h);
    void (*roundBox)(Canvas*, int x, int y, int w, int h, int rx, int ry);
    void (*circle)(Canvas*, int x, int y, int r);
    void (*setFont)(Canvas*, NativeHandle font);  // -1: the system font
    void* (*bufferAddress)(Canvas*);
    int (*bufferPitch)(Canvas*);
    int (*bufferPixelFormat)(Canvas*);
    void (*setMode)(Canvas*, int flags);
    void (*drawImage)(Canvas*, NativeHandle image, int x, int y);
    void (*drawImageSized)(Canvas*, NativeHandle image, int x, int y, int w, int h);
    void (*drawAlphaImage)(Canvas*, NativeHandle image, int x, int y, int alpha);
    int (*drawText)(Canvas*, int x, int y, const char16_t* text);  // x just after the text
    void (*drawRotatedText)(Canvas*, int x, int y, const char16_t* text, float degrees);
    void (*ellipse)(Canvas*, int x, int y, int rx, int ry);
    void (*fillArea)(Canvas*, int x, int y, Color border);  // border -1: the colour at (x, y)
    void (*setFrontColor)(Canvas*, Color colour);
    intptr_t (*grabImage)(Canvas*, intptr_t image, int x, int y, int w, int h);
    void (*line)(Canvas*, int x1, int y1, int x2, int y2);
    void (*plot)(Canvas*, int x, int y);
    void (*plotColor)(Canvas*, int x, int y, Color colour);
    Color (*point)(Canvas*, int x, int y);
    NativeHandle (*begin)(Canvas*);
    void (*end)(Canvas*);
    int (*textHeight)(Canvas*, const char16_t* text);
    int (*textWidth)(Canvas*, const char16_t* text);
    void (*clip)(Canvas*, int x, int y, int w, int h);
    void (*unclip)(Canvas*);

    // Target finaliser: ended 0 when CanvasBegin fails, 1 from CanvasEnd.
    void (*release)(Canvas*, int ended);

    int width, height;  // current drawing area (after clipping)
    int depth;          // bits per pixel of the output
    int originX, originY;
    int fullWidth, fullHeight;
    int baseOriginX, baseOriginY;
    Color gradientColor1, gradientColor2;
    Color frontColor;   // -1: no colour set yet (GDI)
    Color backColor;

    union {
        GdiTail gdi;
        RasterTail raster;
    };
};
// 32-bit layout: 28 slots, release, then 14 32-bit fields before the tail.
#if INTPTR_MAX == INT32_MAX
static_assert(offsetof(Canvas, release) == 112 && offsetof(Canvas, width) == 116 &&
                  offsetof(Canvas, frontColor) == 160 && offsetof(Canvas, gdi) == 168,
              "32-bit Canvas layout");
#endif

// The current Canvas (one process-wide pointer, mirrored to a thread-local slot).
extern Canvas* CurrentCanvas;

// Allocates the thread-local slot that mirrors the current Canvas.
void CanvasLibInit();
// The library's end step: ends the current Canvas, if one was left, and frees
// the thread-local slot.
void CanvasLibEnd();
// Makes canvas current (null: none) and mirrors it to the thread-local slot.
void CanvasSetCurrent(Canvas* canvas);
// A zero-filled Canvas record from MainHeap, made current; 0 when memory runs out.
Canvas* CanvasAllocate();

Canvas* GdiCanvasCreate();
Canvas* RasterCanvasCreate(int pixelFormat);

NativeHandle CanvasBegin(Canvas* canvas);
void CanvasEnd();

// The front functions. Each adds the origin to its coordinates and calls one
// slot of the current Canvas; with no current Canvas, or a slot its back end
// lacks, it draws nothing. Those with a colour first make it the front colour,
// calling setFrontColor only when it differs from frontColor, so a run of
// shapes in one colour sets it once.
void CanvasDrawImage(NativeHandle image, int x, int y);
// The image brought to w by h.
void CanvasDrawImageSized(NativeHandle image, int x, int y, int w, int h);
// Both end points included.
void CanvasLine(int x1, int y1, int x2, int y2, Color colour);
// The drawing-mode flags (Mode...) for what follows.
void CanvasSetMode(int flags);
// Filled, or its outline in ModeHollow.
void CanvasBox(int x, int y, int w, int h, Color colour);
void CanvasRoundBox(int x, int y, int w, int h, int rx, int ry, Color colour);
// Centred on (x, y) with radii rx and ry.
void CanvasEllipse(int x, int y, int rx, int ry, Color colour);
// Floods from (x, y) up to pixels of the border colour, or with border -1
// over the region of the start pixel's colour.
void CanvasFillArea(int x, int y, Color border, Color colour);

// r + g*256 + b*65536 in 32-bit arithmetic, without clamping or masking.
inline Color ColorRGB(int32_t r, int32_t g, int32_t b) {
    return static_cast<Color>(r) + static_cast<Color>(g) * 256u + static_cast<Color>(b) * 65536u;
}
