#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/gdi/drawing_library_win.h"
#include "runtime/drawing/gdi/gdi_canvas.h"

namespace {

constexpr int kSize = 64;
constexpr Color kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

// A 32-bit top-down DIB section of the given size; bits in *bits.
HBITMAP MakeDib(int width, int height, uint32_t** bits, int bitCount = 32) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (bits) *bits = static_cast<uint32_t*>(memory);
    return bitmap;
}

// COLORREF 0x00BBGGRR from a 32-bit DIB pixel (bytes blue, green, red, x).
Color ToColorRef(uint32_t pixel) { return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF); }
uint32_t ToPixel(Color c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

// A 32-bit surface the tests draw on; as a plain DC, or as a screen-kind
// output whose DC the back end gives up and takes back through the hooks.
struct Surface {
    HBITMAP bitmap = nullptr;
    uint32_t* bits = nullptr;
    HDC dc = nullptr;
    HGDIOBJ previous = nullptr;
    int acquires = 0, releases = 0;
    bool failLock = false;

    Surface() {
        bitmap = MakeDib(kSize, kSize, &bits);
        Attach();
    }
    ~Surface() {
        Detach();
        DeleteObject(bitmap);
    }
    void Attach() {
        dc = CreateCompatibleDC(nullptr);
        previous = SelectObject(dc, bitmap);
    }
    void Detach() {
        if (!dc) return;
        SelectObject(dc, previous);
        DeleteDC(dc);
        dc = nullptr;
    }
    void Fill(Color colour) {
        GdiFlush();
        for (int i = 0; i < kSize * kSize; ++i) bits[i] = ToPixel(colour);
    }
    Color At(int x, int y) {
        GdiFlush();
        return ToColorRef(bits[y * kSize + x] & 0xFFFFFF);
    }
};

Surface* screenSurface = nullptr;

NativeHandle AcquireHook(Canvas*) {
    ++screenSurface->acquires;
    screenSurface->Attach();
    return reinterpret_cast<NativeHandle>(screenSurface->dc);
}

void* LockHook(Canvas* canvas, int* pitch) {
    ++screenSurface->releases;
    GdiFlush();
    screenSurface->Detach();
    canvas->gdi.dc = 0;
    if (screenSurface->failLock) return nullptr;
    *pitch = kSize * 4;
    return screenSurface->bits;
}

class GdiCanvasTest : public ::testing::Test {
protected:
    Surface surface;

    Canvas* Start(bool screenKind = false) {
        surface.Fill(0);
        Canvas* canvas = GdiCanvasCreate();
        EXPECT_NE(canvas, nullptr);
        canvas->gdi.dc = reinterpret_cast<NativeHandle>(surface.dc);
        canvas->width = canvas->height = kSize;
        canvas->depth = 32;
        if (screenKind) {
            screenSurface = &surface;
            canvas->gdi.gdiKind = GdiKindScreen;
            canvas->gdi.surfacePixelFormat = PixelFormatBGRA32;
            canvas->gdi.acquireDC = AcquireHook;
            canvas->gdi.releaseDC = LockHook;
            canvas->gdi.grabAs24 = 1;
        }
        EXPECT_EQ(CanvasBegin(canvas), reinterpret_cast<NativeHandle>(surface.dc));
        return canvas;
    }
    void TearDown() override {
        CanvasEnd();
        screenSurface = nullptr;
    }
};

TEST_F(GdiCanvasTest, NewCanvasStartsWithNoColourAndGdiSlots) {
    Canvas* canvas = GdiCanvasCreate();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(CurrentCanvas, canvas);
    EXPECT_EQ(canvas->frontColor, 0xFFFFFFFFu);
    EXPECT_EQ(canvas->backColor, 0xFFFFFFFFu);
    EXPECT_EQ(canvas->gradientColor1, 0x00FFFFFFu);
    EXPECT_EQ(canvas->gradientColor2, 0u);
    EXPECT_NE(canvas->line, nullptr);
    EXPECT_NE(canvas->textWidth, nullptr);
    EXPECT_EQ(canvas->clip, nullptr);
    EXPECT_EQ(canvas->unclip, nullptr);
    EXPECT_EQ(canvas->release, nullptr);
}

TEST_F(GdiCanvasTest, BeginWithoutDcFails) {
    Canvas* canvas = GdiCanvasCreate();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(CanvasBegin(canvas), 0);
    EXPECT_EQ(CurrentCanvas, nullptr);
}

TEST_F(GdiCanvasTest, EndRestoresTheDcsObjects) {
    HGDIOBJ pen = GetCurrentObject(surface.dc, OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(surface.dc, OBJ_BRUSH);
    HGDIOBJ font = GetCurrentObject(surface.dc, OBJ_FONT);
    Start();
    CanvasLine(0, 0, 5, 5, kRed);
    EXPECT_NE(GetCurrentObject(surface.dc, OBJ_PEN), pen);
    CanvasEnd();
    EXPECT_EQ(GetCurrentObject(surface.dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(surface.dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(surface.dc, OBJ_FONT), font);
}

TEST_F(GdiCanvasTest, LineIncludesBothEndPoints) {
    Start();
    CanvasLine(10, 10, 20, 10, kRed);
    for (int x = 8; x <= 22; ++x) EXPECT_EQ(surface.At(x, 10), (x >= 10 && x <= 20) ? kRed : 0u) << "x " << x;
    CanvasLine(30, 40, 30, 30, kGreen);  // upwards: the end point is the top one
    for (int y = 29; y <= 41; ++y) EXPECT_EQ(surface.At(30, y), (y >= 30 && y <= 40) ? kGreen : 0u) << "y " << y;
}

TEST_F(GdiCanvasTest, LineInTheUnsetColourUsesTheBeginPen) {
    // frontColor starts as -1: a line in that colour sets no colour, so its
    // body is drawn with the black pen selected by begin.
    Canvas* canvas = Start();
    surface.Fill(kWhite);
    CanvasLine(5, 5, 15, 5, 0xFFFFFFFFu);
    EXPECT_EQ(canvas->gdi.pen, 0);
    for (int x = 5; x < 15; ++x) EXPECT_EQ(surface.At(x, 5), 0u) << "x " << x;
    EXPECT_EQ(surface.At(4, 5), kWhite);
    // The next colour is set once and kept for a run of lines.
    CanvasLine(5, 7, 15, 7, kGreen);
    NativeHandle pen = canvas->gdi.pen;
    EXPECT_NE(pen, 0);
    CanvasLine(5, 9, 15, 9, kGreen);
    EXPECT_EQ(canvas->gdi.pen, pen);
    EXPECT_EQ(surface.At(15, 9), kGreen);
}

TEST_F(GdiCanvasTest, InvertingLineKeepsItsEndPixelInTheFrontColour) {
    Canvas* canvas = Start();
    surface.Fill(kGreen);
    CanvasLine(0, 0, 0, 0, kRed);  // sets the colour
    canvas->setMode(canvas, GdiModeInvert);
    canvas->line(canvas, 10, 5, 20, 5);
    for (int x = 10; x < 20; ++x) EXPECT_EQ(surface.At(x, 5), kGreen ^ kWhite) << "x " << x;
    EXPECT_EQ(surface.At(20, 5), kRed);
    EXPECT_EQ(surface.At(21, 5), kGreen);
}

TEST_F(GdiCanvasTest, BoxOfOnePixelTakesTheSignsIntoAccount) {
    struct Case {
        int w, h, px, py;
    };
    const Case cases[] = {{1, 1, 20, 20}, {-1, -1, 19, 19}, {-1, 1, 19, 20}, {1, -1, 20, 19}};
    Canvas* canvas = Start();
    CanvasLine(0, 0, 0, 0, kBlue);
    for (const Case& c : cases) {
        surface.Fill(0);
        canvas->box(canvas, 20, 20, c.w, c.h);
        int lit = 0;
        for (int y = 15; y < 25; ++y)
            for (int x = 15; x < 25; ++x)
                if (surface.At(x, y)) ++lit;
        EXPECT_EQ(lit, 1) << c.w << "," << c.h;
        EXPECT_EQ(surface.At(c.px, c.py), kBlue) << c.w << "," << c.h;
    }
}

TEST_F(GdiCanvasTest, BoxFillsWithTheFrontColourUnlessOutlineOnly) {
    Canvas* canvas = Start();
    CanvasLine(0, 0, 0, 0, kRed);
    canvas->box(canvas, 10, 10, 10, 10);
    EXPECT_EQ(surface.At(10, 10), kRed);
    EXPECT_EQ(surface.At(15, 15), kRed);
    EXPECT_EQ(surface.At(19, 19), kRed);
    EXPECT_EQ(surface.At(20, 20), 0u);
    canvas->setMode(canvas, GdiModeOutline);
    canvas->box(canvas, 30, 30, 10, 10);
    EXPECT_EQ(surface.At(30, 30), kRed);
    EXPECT_EQ(surface.At(35, 35), 0u);
}

TEST_F(GdiCanvasTest, CircleOfRadiusOneLeavesTheCentreOutWhenOutlineOnly) {
    Canvas* canvas = Start();
    CanvasLine(0, 0, 0, 0, kRed);
    surface.Fill(0);
    canvas->circle(canvas, 10, 10, 1);
    EXPECT_EQ(surface.At(10, 10), kRed);
    EXPECT_EQ(surface.At(9, 10), kRed);
    EXPECT_EQ(surface.At(10, 11), kRed);
    EXPECT_EQ(surface.At(9, 9), 0u);
    canvas->setMode(canvas, GdiModeOutline);
    canvas->circle(canvas, 30, 30, 1);
    EXPECT_EQ(surface.At(30, 30), 0u);
    EXPECT_EQ(surface.At(31, 30), kRed);
    canvas->ellipse(canvas, 40, 40, 1, 1);
    EXPECT_EQ(surface.At(40, 40), 0u);
    EXPECT_EQ(surface.At(40, 39), kRed);
    canvas->ellipse(canvas, 50, 50, 1, 0);  // one radius zero: the centre stays
    EXPECT_EQ(surface.At(50, 50), kRed);
    EXPECT_EQ(surface.At(49, 50), kRed);
    EXPECT_EQ(surface.At(50, 49), 0u);
}

TEST_F(GdiCanvasTest, PlotPointAndFill) {
    Canvas* canvas = Start();
    CanvasLine(0, 0, 0, 0, kGreen);
    canvas->plot(canvas, 3, 4);
    EXPECT_EQ(surface.At(3, 4), kGreen);
    EXPECT_EQ(canvas->point(canvas, 3, 4), kGreen);
    canvas->plotColor(canvas, 5, 6, kBlue);  // a plain DC draws through GDI
    EXPECT_EQ(surface.At(5, 6), kBlue);
    // Outline mode is switched off for the fill and restored afterwards.
    surface.Fill(0);
    canvas->setMode(canvas, GdiModeOutline);
    canvas->box(canvas, 10, 10, 20, 20);
    CanvasLine(0, 0, 0, 0, kRed);
    canvas->fillArea(canvas, 15, 15, kGreen);
    EXPECT_EQ(surface.At(15, 15), kRed);
    EXPECT_EQ(surface.At(28, 28), kRed);
    EXPECT_EQ(surface.At(40, 40), 0u);
    EXPECT_EQ(canvas->gdi.modeFlags, GdiModeOutline);
    canvas->fillArea(canvas, 40, 40, 0xFFFFFFFFu);  // the black outside, up to the green border
    EXPECT_EQ(surface.At(40, 40), kRed);
    EXPECT_EQ(surface.At(0, 0), kRed);
    EXPECT_EQ(surface.At(15, 15), kRed);
}

class ImageTest : public GdiCanvasTest {
protected:
    HBITMAP image = nullptr;
    uint32_t* imageBits = nullptr;
    void MakeImage(int w, int h, uint32_t pixel, int bitCount = 32) {
        image = MakeDib(w, h, &imageBits, bitCount);
        ASSERT_NE(image, nullptr);
        if (bitCount == 32)
            for (int i = 0; i < w * h; ++i) imageBits[i] = pixel;
    }
    void TearDown() override {
        GdiCanvasTest::TearDown();
        if (image) DeleteObject(image);
    }
    NativeHandle Handle() const { return reinterpret_cast<NativeHandle>(image); }
};

TEST_F(ImageTest, DrawImageCopiesAtItsOwnSize) {
    MakeImage(8, 6, ToPixel(kRed));
    Start();
    CanvasDrawImage(Handle(), 4, 5);
    EXPECT_EQ(surface.At(4, 5), kRed);
    EXPECT_EQ(surface.At(11, 10), kRed);
    EXPECT_EQ(surface.At(12, 10), 0u);
    EXPECT_EQ(surface.At(11, 11), 0u);
    EXPECT_EQ(surface.At(3, 5), 0u);
}

TEST_F(ImageTest, SizedDrawingWithAZeroSideUsesTheBitmapsSize) {
    struct Case {
        int w, h;
        int right, bottom;  // exclusive extent of the drawn area
    };
    const Case cases[] = {{0, 0, 8, 6}, {0, 30, 8, 6}, {30, 0, 8, 6}, {8, 6, 8, 6}, {16, 12, 16, 12}};
    MakeImage(8, 6, ToPixel(kGreen));
    Canvas* canvas = Start();
    for (const Case& c : cases) {
        surface.Fill(0);
        canvas->drawImageSized(canvas, Handle(), 0, 0, c.w, c.h);
        EXPECT_EQ(surface.At(c.right - 1, c.bottom - 1), kGreen) << c.w << "x" << c.h;
        EXPECT_EQ(surface.At(c.right, c.bottom - 1), 0u) << c.w << "x" << c.h;
        EXPECT_EQ(surface.At(c.right - 1, c.bottom), 0u) << c.w << "x" << c.h;
    }
}

TEST_F(ImageTest, InvertingModeCombinesImagesByXor) {
    MakeImage(4, 4, ToPixel(0x00F0F0));
    Canvas* canvas = Start();
    surface.Fill(0x0F0F0F);
    canvas->setMode(canvas, GdiModeInvert);
    CanvasDrawImage(Handle(), 0, 0);
    EXPECT_EQ(surface.At(0, 0), 0x0FFFFFu);
    EXPECT_EQ(surface.At(3, 3), 0x0FFFFFu);
    EXPECT_EQ(surface.At(4, 4), 0x0F0F0Fu);
    CanvasDrawImage(Handle(), 0, 0);  // twice: back to the start
    EXPECT_EQ(surface.At(0, 0), 0x0F0F0Fu);
}

TEST_F(ImageTest, AlphaZeroDrawsNothingAndAlphaFullCopies) {
    MakeImage(4, 4, 0, 24);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, image);
    RECT all{0, 0, 4, 4};
    HBRUSH brush = CreateSolidBrush(kRed);
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
    Canvas* canvas = Start();
    surface.Fill(kBlue);
    canvas->drawAlphaImage(canvas, Handle(), 0, 0, 0);
    EXPECT_EQ(surface.At(0, 0), kBlue);
    canvas->drawAlphaImage(canvas, Handle(), 0, 0, 255);
    EXPECT_EQ(surface.At(0, 0), kRed);
    EXPECT_EQ(surface.At(3, 3), kRed);
    EXPECT_EQ(surface.At(4, 4), kBlue);
    canvas->drawAlphaImage(canvas, 0, 10, 10, 255);  // null handle: nothing
    EXPECT_EQ(surface.At(10, 10), kBlue);
}

TEST_F(ImageTest, ConstantAlphaBlendsOrCopiesWithoutAlphaBlend) {
    MakeImage(4, 4, 0, 24);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, image);
    RECT all{0, 0, 4, 4};
    HBRUSH brush = CreateSolidBrush(0xC8);  // red 200
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
    Canvas* canvas = Start();
    if (DrawingAlphaBlend()) {
        canvas->drawAlphaImage(canvas, Handle(), 0, 0, 128);
        Color blended = surface.At(1, 1);
        EXPECT_GE(blended & 0xFF, 99u);
        EXPECT_LE(blended & 0xFF, 101u);
    }
    AlphaBlendFunction saved = DrawingSetAlphaBlend(nullptr);
    surface.Fill(0);
    canvas->drawAlphaImage(canvas, Handle(), 0, 0, 128);
    DrawingSetAlphaBlend(saved);
    EXPECT_EQ(surface.At(1, 1), 0xC8u);
}

TEST_F(ImageTest, PerPixelAlphaIsPremultipliedBeforeBlending) {
    if (!DrawingAlphaBlend()) DrawingLibraryInit();
    if (!DrawingAlphaBlend()) GTEST_SKIP() << "no AlphaBlend on this system";
    // Blue 200 at alpha 128 over black: the premultiplied copy holds blue 100,
    // which AlphaBlend adds to nothing.
    MakeImage(2, 2, 0x800000C8);
    imageBits[3] = 0xFF0000C8;  // one opaque pixel stays as it is
    Canvas* canvas = Start();
    canvas->drawAlphaImage(canvas, Handle(), 0, 0, 255);
    EXPECT_EQ(surface.At(0, 0), 0x640000u);
    EXPECT_EQ(surface.At(1, 1), 0xC80000u);
    // The image itself is not changed.
    EXPECT_EQ(imageBits[0], 0x800000C8u);
    // Without AlphaBlend, an image with alpha is drawn as a plain image.
    AlphaBlendFunction saved = DrawingSetAlphaBlend(nullptr);
    surface.Fill(0);
    canvas->drawAlphaImage(canvas, Handle(), 0, 0, 255);
    DrawingSetAlphaBlend(saved);
    EXPECT_EQ(surface.At(0, 0), 0xC80000u);
}

TEST_F(GdiCanvasTest, TextMeasuresAndAdvances) {
    Canvas* canvas = Start();
    EXPECT_EQ(canvas->textWidth(canvas, u""), 0);
    EXPECT_EQ(canvas->textWidth(canvas, nullptr), 0);
    EXPECT_EQ(canvas->textHeight(canvas, u""), 0);
    int width = canvas->textWidth(canvas, u"Wirlo");
    EXPECT_GT(width, 0);
    EXPECT_GT(canvas->textHeight(canvas, u"Wirlo"), 0);
    EXPECT_EQ(canvas->drawText(canvas, 5, 2, u"Wirlo"), 5 + width - canvas->gdi.italicOverhang);
    EXPECT_EQ(canvas->drawText(canvas, 7, 2, u""), 7);
    canvas->setFont(canvas, -1);
    EXPECT_EQ(canvas->gdi.font, reinterpret_cast<NativeHandle>(GetStockObject(SYSTEM_FONT)));
    EXPECT_EQ(canvas->gdi.italicOverhang, 0);
}

TEST_F(GdiCanvasTest, RotatedTextKeepsItsFontForTheSameAngle) {
    Canvas* canvas = Start();
    HFONT font = CreateFontW(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
    ASSERT_NE(font, nullptr);
    canvas->setFont(canvas, reinterpret_cast<NativeHandle>(font));
    CanvasLine(0, 0, 0, 0, kWhite);
    canvas->drawRotatedText(canvas, 30, 30, u"", 90.0f);
    EXPECT_EQ(canvas->gdi.rotatedFont, 0);
    canvas->drawRotatedText(canvas, 30, 30, u"Hi", 450.0f);
    NativeHandle rotated = canvas->gdi.rotatedFont;
    EXPECT_NE(rotated, 0);
    EXPECT_EQ(canvas->gdi.rotatedAngle, 90.0f);
    canvas->drawRotatedText(canvas, 30, 30, u"Hi", 90.0f);
    EXPECT_EQ(canvas->gdi.rotatedFont, rotated);
    EXPECT_EQ(GetCurrentObject(surface.dc, OBJ_FONT), font);  // the plain font is selected again
    canvas->setFont(canvas, -1);  // a new font drops the rotated one
    EXPECT_EQ(canvas->gdi.rotatedFont, 0);
    CanvasEnd();
    DeleteObject(font);
}

// ---- the screen kind: the DC is given up for direct pixel access ----

TEST_F(GdiCanvasTest, PlainDcHasNoBuffer) {
    Canvas* canvas = Start();
    EXPECT_EQ(canvas->bufferAddress(canvas), nullptr);
    EXPECT_EQ(canvas->bufferPitch(canvas), 0);
    EXPECT_EQ(canvas->bufferPixelFormat(canvas), 0);
    EXPECT_EQ(canvas->gdi.dcState, 1);
}

TEST_F(GdiCanvasTest, BufferAddressGivesTheDcUpUntilTheNextGdiCall) {
    Canvas* canvas = Start(true);
    EXPECT_EQ(canvas->bufferPixelFormat(canvas), PixelFormatBGRA32);
    EXPECT_EQ(canvas->bufferAddress(canvas), surface.bits);
    EXPECT_EQ(canvas->gdi.dcState, -1);
    EXPECT_EQ(canvas->bufferPitch(canvas), kSize * 4);
    // Again while locked: no second release.
    EXPECT_EQ(canvas->bufferAddress(canvas), surface.bits);
    EXPECT_EQ(surface.releases, 1);
    // Text measurement of an empty text does not touch the DC.
    EXPECT_EQ(canvas->textWidth(canvas, u""), 0);
    EXPECT_EQ(canvas->gdi.dcState, -1);
    EXPECT_EQ(surface.acquires, 0);
    CanvasLine(0, 0, 3, 0, kRed);
    EXPECT_EQ(canvas->gdi.dcState, 1);
    EXPECT_EQ(surface.acquires, 1);
    EXPECT_EQ(surface.At(3, 0), kRed);
}

TEST_F(GdiCanvasTest, EnsureDcReappliesTheDrawingState) {
    Canvas* canvas = Start(true);
    CanvasLine(0, 0, 0, 0, kRed);
    canvas->setBackColor(canvas, kBlue);
    canvas->backColor = kBlue;
    canvas->setMode(canvas, GdiModeInvert | GdiModeTransparent);
    ASSERT_NE(canvas->bufferAddress(canvas), nullptr);
    surface.Fill(kGreen);
    // The next GDI call gets a fresh DC with none of the state above.
    canvas->line(canvas, 10, 10, 20, 10);
    HDC dc = surface.dc;
    EXPECT_EQ(reinterpret_cast<HDC>(canvas->gdi.dc), dc);
    EXPECT_EQ(GetTextColor(dc), kRed);
    EXPECT_EQ(GetBkColor(dc), kBlue);
    EXPECT_EQ(GetTextAlign(dc) & TA_UPDATECP, static_cast<UINT>(TA_UPDATECP));
    EXPECT_EQ(GetROP2(dc), R2_NOT);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), reinterpret_cast<HGDIOBJ>(canvas->gdi.pen));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), reinterpret_cast<HGDIOBJ>(canvas->gdi.font));
    EXPECT_EQ(surface.At(15, 10), kGreen ^ kWhite);  // inverted body
    EXPECT_EQ(surface.At(20, 10), kRed);            // end pixel in the front colour
    // Without a mode the brush is selected again instead.
    canvas->setMode(canvas, 0);
    ASSERT_NE(canvas->bufferAddress(canvas), nullptr);
    canvas->box(canvas, 30, 30, 5, 5);
    EXPECT_EQ(GetCurrentObject(surface.dc, OBJ_BRUSH), reinterpret_cast<HGDIOBJ>(canvas->gdi.brush));
    EXPECT_EQ(GetROP2(surface.dc), R2_COPYPEN);
    EXPECT_EQ(surface.At(32, 32), kRed);
}

TEST_F(GdiCanvasTest, PlotColorWritesStraightIntoTheLockedSurface) {
    struct Case {
        int format;
        int bytes;
        uint32_t value;
    };
    const Case cases[] = {{PixelFormatR5G6B5, 2, 0xF800}, {PixelFormatX1R5G5B5, 2, 0x7C00}, {PixelFormatBGRA32, 4, 0xFFFF0000}};
    for (const Case& c : cases) {
        Canvas* canvas = Start(true);
        canvas->gdi.surfacePixelFormat = c.format;
        canvas->plotColor(canvas, 3, 2, kRed);
        EXPECT_EQ(canvas->gdi.dcState, -1) << c.format;
        const uint8_t* row = reinterpret_cast<const uint8_t*>(surface.bits) + 2 * kSize * 4;
        uint32_t written = 0;
        memcpy(&written, row + 3 * c.bytes, c.bytes);
        EXPECT_EQ(written, c.value) << std::hex << c.format;
        // Neighbours untouched.
        uint32_t before = 1;
        memcpy(&before, row + 2 * c.bytes, c.bytes);
        EXPECT_EQ(before, 0u) << c.format;
        // A run of pixel writes keeps the surface locked.
        canvas->plotColor(canvas, 4, 2, kRed);
        EXPECT_EQ(surface.releases, 1);
        // Outside the surface nothing is written.
        canvas->plotColor(canvas, -1, 0, kRed);
        canvas->plotColor(canvas, kSize, kSize - 1, kRed);
        canvas->plotColor(canvas, 0, kSize, kRed);
        EXPECT_EQ(surface.bits[kSize * kSize - 1], 0u);
        EXPECT_EQ(surface.bits[0], 0u);
        CanvasEnd();
        surface.Detach();
        surface.Attach();
        surface.releases = 0;
    }
}

TEST_F(GdiCanvasTest, PlotColorFallsBackToGdiWhenTheLockFails) {
    Canvas* canvas = Start(true);
    surface.failLock = true;
    canvas->plotColor(canvas, 3, 2, kGreen);
    EXPECT_EQ(canvas->gdi.dcState, 1);
    EXPECT_EQ(surface.At(3, 2), kGreen);
    // A format without direct writes draws through GDI too.
    canvas->gdi.surfacePixelFormat = PixelFormatBGR24;
    canvas->plotColor(canvas, 4, 2, kBlue);
    EXPECT_EQ(surface.At(4, 2), kBlue);
}

}  // namespace
