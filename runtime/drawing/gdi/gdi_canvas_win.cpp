#include "runtime/drawing/gdi/gdi_canvas.h"

#include <windows.h>

#include <cmath>
#include <initializer_list>

#include "runtime/drawing/gdi/drawing_library_win.h"
#include "runtime/drawing/gdi/italic_overhang.h"
#include "runtime/drawing/image.h"

namespace {

HDC Dc(Canvas* canvas) { return reinterpret_cast<HDC>(canvas->gdi.dc); }

template <typename T>
NativeHandle Native(T handle) {
    return reinterpret_cast<NativeHandle>(handle);
}

template <typename T>
T Gdi(NativeHandle handle) {
    return reinterpret_cast<T>(handle);
}

int TextLength(const char16_t* text) {
    int length = 0;
    if (text)
        while (text[length]) ++length;
    return length;
}

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

}  // namespace

// Takes the screen's DC back after direct pixel access and re-applies the
// drawing state: colours, alignment, mode (or brush), pen and font.
void GdiEnsureDC(Canvas* canvas) {
    GdiTail& g = canvas->gdi;
    if (g.gdiKind != GdiKindScreen || g.dcState != -1) return;
    g.dcState = 1;
    g.dc = g.acquireDC ? g.acquireDC(canvas) : 0;
    HDC dc = Dc(canvas);
    SetTextColor(dc, canvas->frontColor);
    SetTextAlign(dc, TA_UPDATECP);
    SetBkColor(dc, canvas->backColor);
    if (g.modeFlags)
        canvas->setMode(canvas, g.modeFlags);
    else
        SelectObject(dc, Gdi<HGDIOBJ>(g.brush));
    SelectObject(dc, Gdi<HGDIOBJ>(g.pen));
    SelectObject(dc, Gdi<HGDIOBJ>(g.font));
}

namespace {

// Gives the screen's DC up and locks its pixel memory.
void ReleaseToBuffer(Canvas* canvas) {
    GdiTail& g = canvas->gdi;
    if (g.gdiKind != GdiKindScreen || g.dcState != 1) return;
    g.lockedBits = g.releaseDC ? g.releaseDC(canvas, &g.lockedPitch) : nullptr;
    g.dcState = -1;
}

void SetPixelIn(Canvas* canvas, int x, int y, Color colour) { SetPixelV(Dc(canvas), x, y, colour); }

// ---- begin / end ----

NativeHandle Begin(Canvas* canvas) {
    GdiTail& g = canvas->gdi;
    g.initialBrush = Native(CreateSolidBrush(0));
    g.initialPen = Native(CreatePen(PS_SOLID, 0, 0));
    g.modeFlags = 0;
    g.dcState = 1;
    HDC dc = Dc(canvas);
    if (!dc) {
        // CanvasBegin fails and frees the record without calling end: the
        // objects made above would otherwise be lost.
        DeleteObject(Gdi<HGDIOBJ>(g.initialBrush));
        DeleteObject(Gdi<HGDIOBJ>(g.initialPen));
        g.initialBrush = g.initialPen = 0;
        return 0;
    }
    SetTextAlign(dc, TA_UPDATECP);
    g.font = Native(GetStockObject(SYSTEM_FONT));
    g.brush = Native(CreateSolidBrush(0));
    g.savedBrush = Native(SelectObject(dc, Gdi<HGDIOBJ>(g.initialBrush)));
    g.savedPen = Native(SelectObject(dc, Gdi<HGDIOBJ>(g.initialPen)));
    g.savedFont = Native(SelectObject(dc, Gdi<HGDIOBJ>(g.font)));
    return g.dc;
}

void End(Canvas* canvas) {
    GdiTail& g = canvas->gdi;
    HDC dc = Dc(canvas);
    if (dc) {
        if (g.savedBrush) SelectObject(dc, Gdi<HGDIOBJ>(g.savedBrush));
        if (g.savedPen) SelectObject(dc, Gdi<HGDIOBJ>(g.savedPen));
        if (g.savedFont) SelectObject(dc, Gdi<HGDIOBJ>(g.savedFont));
    }
    for (NativeHandle* owned : {&g.brush, &g.pen, &g.rotatedFont, &g.initialBrush, &g.initialPen}) {
        if (*owned) DeleteObject(Gdi<HGDIOBJ>(*owned));
        *owned = 0;
    }
}

// ---- colours and mode ----

void SetFrontColor(Canvas* canvas, Color colour) {
    GdiEnsureDC(canvas);
    GdiTail& g = canvas->gdi;
    HDC dc = Dc(canvas);
    if (!(g.modeFlags & GdiModeOutline)) {
        if (HBRUSH brush = CreateSolidBrush(colour)) {
            SelectObject(dc, brush);
            if (g.brush) DeleteObject(Gdi<HGDIOBJ>(g.brush));
            g.brush = Native(brush);
        }
    }
    if (HPEN pen = CreatePen(PS_SOLID, 0, colour)) {
        SelectObject(dc, pen);
        if (g.pen) DeleteObject(Gdi<HGDIOBJ>(g.pen));
        g.pen = Native(pen);
    }
    SetTextColor(dc, colour);
}

void SetBackColor(Canvas* canvas, Color colour) {
    GdiEnsureDC(canvas);
    SetBkColor(Dc(canvas), colour);
}

void SetMode(Canvas* canvas, int flags) {
    GdiEnsureDC(canvas);
    GdiTail& g = canvas->gdi;
    HDC dc = Dc(canvas);
    g.modeFlags = flags;
    SetROP2(dc, (flags & GdiModeInvert) ? R2_NOT : R2_COPYPEN);
    SelectObject(dc, (flags & GdiModeOutline) ? GetStockObject(NULL_BRUSH) : Gdi<HGDIOBJ>(g.brush));
    SetBkMode(dc, (flags & GdiModeTransparent) ? TRANSPARENT : OPAQUE);
    canvas->setFrontColor(canvas, canvas->frontColor);
}

// ---- images ----

bool BitmapSize(HBITMAP bitmap, int* width, int* height) {
    BITMAP description{};
    if (GetObjectW(bitmap, sizeof description, &description) < static_cast<int>(sizeof description)) return false;
    *width = description.bmWidth;
    *height = description.bmHeight;
    return true;
}

void DrawImageSized(Canvas* canvas, NativeHandle image, int x, int y, int w, int h) {
    GdiEnsureDC(canvas);
    HDC dc = Dc(canvas);
    if (GetObjectType(Gdi<HGDIOBJ>(image)) != OBJ_BITMAP) {
        DrawIconEx(dc, x, y, Gdi<HICON>(image), w, h, 0, nullptr, DI_NORMAL);
        return;
    }
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return;
    HBITMAP bitmap = Gdi<HBITMAP>(image);
    int bitmapWidth = 0, bitmapHeight = 0;
    BitmapSize(bitmap, &bitmapWidth, &bitmapHeight);
    DWORD rop = (canvas->gdi.modeFlags & GdiModeInvert) ? SRCINVERT : SRCCOPY;
    if (w == 0 || h == 0) {
        w = bitmapWidth;
        h = bitmapHeight;
    }
    // A bitmap that cannot be selected (it is selected into another DC) is
    // not drawn rather than drawn as the memory DC's empty default bitmap.
    if (HGDIOBJ previous = SelectObject(memory, bitmap)) {
        if (w == bitmapWidth && h == bitmapHeight) {
            BitBlt(dc, x, y, w, h, memory, 0, 0, rop);
        } else {
            SetStretchBltMode(dc, HALFTONE);
            StretchBlt(dc, x, y, w, h, memory, 0, 0, bitmapWidth, bitmapHeight, rop);
        }
        SelectObject(memory, previous);
    }
    DeleteDC(memory);
}

void DrawImage(Canvas* canvas, NativeHandle image, int x, int y) { DrawImageSized(canvas, image, x, y, 0, 0); }

// Whether a bitmap carries an alpha channel worth blending with: AlphaBlend is
// available and the bitmap is a 32-bit DIB section, or a 32-bit device bitmap
// with at least one non-zero alpha byte.
bool HasAlpha(HBITMAP bitmap) {
    if (!DrawingAlphaBlend() || GetObjectType(bitmap) != OBJ_BITMAP) return false;
    DIBSECTION section{};
    int got = GetObjectW(bitmap, sizeof section, &section);
    if (got == static_cast<int>(sizeof section)) return section.dsBm.bmBitsPixel == 32;
    if (got < static_cast<int>(sizeof(BITMAP)) || section.dsBm.bmBitsPixel != 32) return false;
    int width = section.dsBm.bmWidth, height = section.dsBm.bmHeight;
    if (width <= 0 || height <= 0) return false;
    size_t bytes = static_cast<size_t>(width) * 4 * static_cast<size_t>(height);
    HANDLE heap = GetProcessHeap();
    auto* pixels = static_cast<uint8_t*>(HeapAlloc(heap, 0, bytes));
    if (!pixels) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bool found = false;
    HDC screen = CreateCompatibleDC(nullptr);
    if (screen && GetDIBits(screen, bitmap, 0, height, pixels, &info, DIB_RGB_COLORS) == height) {
        for (size_t i = 3; i < bytes && !found; i += 4) found = pixels[i] != 0;
    }
    if (screen) DeleteDC(screen);
    HeapFree(heap, 0, pixels);
    return found;
}

// A 32-bit bottom-up DIB section copy of bitmap whose colour channels are
// multiplied by their alpha, as AlphaBlend's per-pixel mode wants them.
HBITMAP PremultipliedCopy(HBITMAP bitmap) {
    if (!DrawingAlphaBlend()) return nullptr;
    int width = 0, height = 0;
    if (!BitmapSize(bitmap, &width, &height) || width <= 0 || height <= 0) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!copy || !bits) {
        if (copy) DeleteObject(copy);
        return nullptr;
    }
    HDC screen = CreateCompatibleDC(nullptr);
    bool copied = screen && GetDIBits(screen, bitmap, 0, height, bits, &info, DIB_RGB_COLORS) == height;
    if (screen) DeleteDC(screen);
    if (!copied) {
        DeleteObject(copy);
        return nullptr;
    }
    GdiPremultiply(static_cast<uint8_t*>(bits), static_cast<size_t>(width) * static_cast<size_t>(height));
    return copy;
}

void AlphaBlendBitmap(HDC dc, int x, int y, int w, int h, HBITMAP bitmap, HDC memory, int alpha, bool perPixel) {
    if (w == 0 || h == 0) BitmapSize(bitmap, &w, &h);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (AlphaBlendFunction blend = DrawingAlphaBlend()) {
        BLENDFUNCTION function{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), static_cast<BYTE>(perPixel ? AC_SRC_ALPHA : 0)};
        blend(dc, x, y, w, h, memory, 0, 0, w, h, function);
    } else if (!perPixel) {
        BitBlt(dc, x, y, w, h, memory, 0, 0, SRCCOPY);
    }
    if (previous) SelectObject(memory, previous);
}

void DrawAlphaImage(Canvas* canvas, NativeHandle image, int x, int y, int alpha) {
    if (!image) return;
    GdiEnsureDC(canvas);
    HDC dc = Dc(canvas);
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return;
    HBITMAP bitmap = Gdi<HBITMAP>(image);
    bool done = false;
    if (HasAlpha(bitmap)) {
        if (HBITMAP copy = PremultipliedCopy(bitmap)) {
            AlphaBlendBitmap(dc, x, y, 0, 0, copy, memory, alpha, true);
            DeleteObject(copy);
            done = true;
        }
    }
    if (!done) {
        if (alpha == 255) {
            int w = 0, h = 0;
            BitmapSize(bitmap, &w, &h);
            if (HGDIOBJ previous = SelectObject(memory, bitmap)) {
                BitBlt(dc, x, y, w, h, memory, 0, 0, SRCCOPY);
                SelectObject(memory, previous);
            }
        } else if (alpha != 0) {
            AlphaBlendBitmap(dc, x, y, 0, 0, bitmap, memory, alpha, false);
        }
    }
    DeleteDC(memory);
}

// ---- lines, shapes, pixels ----

void Line(Canvas* canvas, int x1, int y1, int x2, int y2) {
    GdiEnsureDC(canvas);
    HDC dc = Dc(canvas);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    // LineTo leaves the end point out; it is added in the front colour, also
    // in inverting mode. GDI applies the mix mode to single pixels as well, so
    // the plain copy mode is in force for that one pixel.
    bool inverting = (canvas->gdi.modeFlags & GdiModeInvert) != 0;
    if (inverting) SetROP2(dc, R2_COPYPEN);
    SetPixelV(dc, x2, y2, canvas->frontColor);
    if (inverting) SetROP2(dc, R2_NOT);
}

void Box(Canvas* canvas, int x, int y, int w, int h) {
    GdiEnsureDC(canvas);
    if ((w == 1 || w == -1) && (h == 1 || h == -1)) {
        SetPixelIn(canvas, w == -1 ? x - 1 : x, h == -1 ? y - 1 : y, canvas->frontColor);
        return;
    }
    Rectangle(Dc(canvas), x, y, x + w, y + h);
}

void RoundBox(Canvas* canvas, int x, int y, int w, int h, int rx, int ry) {
    GdiEnsureDC(canvas);
    RoundRect(Dc(canvas), x, y, x + w, y + h, 2 * rx, 2 * ry);
}

void Circle(Canvas* canvas, int x, int y, int r) {
    GdiEnsureDC(canvas);
    HDC dc = Dc(canvas);
    Color colour = canvas->frontColor;
    if (r == 0) {
        SetPixelV(dc, x, y, colour);
        Ellipse(dc, x, y, x + 1, y + 1);
    } else if (r == 1) {
        SetPixelV(dc, x, y - 1, colour);
        SetPixelV(dc, x, y + 1, colour);
        SetPixelV(dc, x - 1, y, colour);
        SetPixelV(dc, x + 1, y, colour);
        if (!(canvas->gdi.modeFlags & GdiModeOutline)) SetPixelV(dc, x, y, colour);
    } else {
        Ellipse(dc, x - r, y - r, x + r + 1, y + r + 1);
    }
}

void EllipseSlot(Canvas* canvas, int x, int y, int rx, int ry) {
    GdiEnsureDC(canvas);
    HDC dc = Dc(canvas);
    Color colour = canvas->frontColor;
    if (rx == 0 && ry == 0) {
        SetPixelV(dc, x, y, colour);
        return;
    }
    if (rx > 1 || ry > 1) {
        Ellipse(dc, x - rx, y - ry, x + rx + 1, y + ry + 1);
        return;
    }
    if (rx == 1) {
        SetPixelV(dc, x - 1, y, colour);
        SetPixelV(dc, x + 1, y, colour);
    }
    if (ry == 1) {
        SetPixelV(dc, x, y - 1, colour);
        SetPixelV(dc, x, y + 1, colour);
    }
    bool bothRadii = rx != 0 && ry != 0;
    if (!((canvas->gdi.modeFlags & GdiModeOutline) && bothRadii)) SetPixelV(dc, x, y, colour);
}

void FillArea(Canvas* canvas, int x, int y, Color border) {
    GdiEnsureDC(canvas);
    int mode = canvas->gdi.modeFlags;
    HBRUSH temporary = nullptr;
    HGDIOBJ previous = nullptr;
    if (mode & GdiModeOutline) {
        canvas->setMode(canvas, mode & ~GdiModeOutline);
        temporary = CreateSolidBrush(canvas->frontColor);
        if (temporary) previous = SelectObject(Dc(canvas), temporary);
    }
    HDC dc = Dc(canvas);
    if (border == 0xFFFFFFFFu)
        ExtFloodFill(dc, x, y, GetPixel(dc, x, y), FLOODFILLSURFACE);
    else
        ExtFloodFill(dc, x, y, border, FLOODFILLBORDER);
    if (mode & GdiModeOutline) {
        if (previous) SelectObject(dc, previous);
        if (temporary) DeleteObject(temporary);
        canvas->setMode(canvas, mode);
    }
}

void Plot(Canvas* canvas, int x, int y) {
    GdiEnsureDC(canvas);
    SetPixelIn(canvas, x, y, canvas->frontColor);
}

void PlotColor(Canvas* canvas, int x, int y, Color colour) {
    GdiTail& g = canvas->gdi;
    uint32_t value = 0;
    int size = 0;
    if (g.gdiKind == GdiKindScreen && GdiSurfacePixel(g.surfacePixelFormat, colour, &value, &size)) {
        ReleaseToBuffer(canvas);
        if (g.lockedBits) {
            // Direct writes stay inside the surface, like SetPixelV would.
            if (x < 0 || y < 0 || x >= canvas->width || y >= canvas->height) return;
            uint8_t* pixel = static_cast<uint8_t*>(g.lockedBits) + static_cast<intptr_t>(y) * g.lockedPitch +
                             static_cast<intptr_t>(x) * size;
            switch (size) {
            case 1: *pixel = static_cast<uint8_t>(value); break;
            case 2: *reinterpret_cast<uint16_t*>(pixel) = static_cast<uint16_t>(value); break;
            default: *reinterpret_cast<uint32_t*>(pixel) = value; break;
            }
            return;
        }
        // The lock failed: draw through the DC instead of writing nowhere.
    }
    GdiEnsureDC(canvas);
    SetPixelIn(canvas, x, y, colour);
}

Color Point(Canvas* canvas, int x, int y) {
    GdiEnsureDC(canvas);
    return GetPixel(Dc(canvas), x, y);
}

// ---- buffer queries ----

void* BufferAddress(Canvas* canvas) {
    if (canvas->gdi.gdiKind != GdiKindScreen) return nullptr;
    ReleaseToBuffer(canvas);
    return canvas->gdi.lockedBits;
}

int BufferPitch(Canvas* canvas) { return canvas->gdi.gdiKind == GdiKindScreen ? canvas->gdi.lockedPitch : 0; }

int BufferPixelFormat(Canvas* canvas) {
    return canvas->gdi.gdiKind == GdiKindScreen ? canvas->gdi.surfacePixelFormat : 0;
}

// ---- text ----

void SetFont(Canvas* canvas, NativeHandle font) {
    GdiEnsureDC(canvas);
    GdiTail& g = canvas->gdi;
    if (font == -1) font = Native(GetStockObject(SYSTEM_FONT));
    SelectObject(Dc(canvas), Gdi<HGDIOBJ>(font));
    g.font = font;
    g.italicOverhang = ItalicOverhang(font);
    if (g.rotatedFont) DeleteObject(Gdi<HGDIOBJ>(g.rotatedFont));
    g.rotatedFont = 0;
}

int DrawTextSlot(Canvas* canvas, int x, int y, const char16_t* text) {
    GdiEnsureDC(canvas);
    HDC dc = Dc(canvas);
    MoveToEx(dc, x, y, nullptr);
    int length = TextLength(text);
    if (length) TextOutW(dc, 0, 0, Wide(text), length);
    POINT previous{};
    MoveToEx(dc, 0, 0, &previous);
    return previous.x;
}

void DrawRotatedText(Canvas* canvas, int x, int y, const char16_t* text, float degrees) {
    GdiEnsureDC(canvas);
    int length = TextLength(text);
    if (!length) return;
    GdiTail& g = canvas->gdi;
    HDC dc = Dc(canvas);
    float angle = static_cast<float>(std::fmod(static_cast<double>(degrees), 360.0));
    if (g.rotatedFont && g.rotatedAngle == angle) {
        SelectObject(dc, Gdi<HGDIOBJ>(g.rotatedFont));
    } else {
        LOGFONTW description{};
        if (GetObjectW(Gdi<HGDIOBJ>(g.font), sizeof description, &description) != static_cast<int>(sizeof description))
            return;
        description.lfEscapement = description.lfOrientation = static_cast<LONG>(angle * 10.0f);
        description.lfOutPrecision = OUT_TT_ONLY_PRECIS;
        HFONT rotated = CreateFontIndirectW(&description);
        if (!rotated) return;
        SelectObject(dc, rotated);
        if (g.rotatedFont) DeleteObject(Gdi<HGDIOBJ>(g.rotatedFont));
        g.rotatedFont = Native(rotated);
        g.rotatedAngle = angle;
    }
    bool opaque = !(g.modeFlags & GdiModeTransparent);
    if (opaque) SetBkMode(dc, TRANSPARENT);
    MoveToEx(dc, x, y, nullptr);
    TextOutW(dc, 0, 0, Wide(text), length);
    if (opaque) SetBkMode(dc, OPAQUE);
    SelectObject(dc, Gdi<HGDIOBJ>(g.font));
}

SIZE TextExtent(Canvas* canvas, const char16_t* text, int length) {
    GdiEnsureDC(canvas);
    SIZE extent{};
    GetTextExtentPoint32W(Dc(canvas), Wide(text), length, &extent);
    return extent;
}

int TextHeight(Canvas* canvas, const char16_t* text) {
    int length = TextLength(text);
    return length ? TextExtent(canvas, text, length).cy : 0;
}

int TextWidth(Canvas* canvas, const char16_t* text) {
    int length = TextLength(text);
    return length ? TextExtent(canvas, text, length).cx + canvas->gdi.italicOverhang : 0;
}

}  // namespace

void GdiInstallSlots(Canvas* canvas) {
    canvas->setBackColor = SetBackColor;
    canvas->box = Box;
    canvas->roundBox = RoundBox;
    canvas->circle = Circle;
    canvas->setFont = SetFont;
    canvas->bufferAddress = BufferAddress;
    canvas->bufferPitch = BufferPitch;
    canvas->bufferPixelFormat = BufferPixelFormat;
    canvas->setMode = SetMode;
    canvas->drawImage = DrawImage;
    canvas->drawImageSized = DrawImageSized;
    canvas->drawAlphaImage = DrawAlphaImage;
    canvas->drawText = DrawTextSlot;
    canvas->drawRotatedText = DrawRotatedText;
    canvas->ellipse = EllipseSlot;
    canvas->fillArea = FillArea;
    canvas->setFrontColor = SetFrontColor;
    canvas->grabImage = GdiGrabImage;
    canvas->line = Line;
    canvas->plot = Plot;
    canvas->plotColor = PlotColor;
    canvas->point = Point;
    canvas->begin = Begin;
    canvas->end = End;
    canvas->textHeight = TextHeight;
    canvas->textWidth = TextWidth;
}

Canvas* GdiCanvasCreate() {
    Canvas* canvas = CanvasAllocate();
    if (!canvas) return nullptr;
    canvas->gradientColor1 = 0x00FFFFFF;
    canvas->gradientColor2 = 0;
    canvas->frontColor = 0xFFFFFFFFu;
    canvas->backColor = 0xFFFFFFFFu;
    GdiInstallSlots(canvas);
    return canvas;
}
