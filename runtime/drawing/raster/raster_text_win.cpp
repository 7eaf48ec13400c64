// Raster text: GDI renders the text white on black into an off-screen 24-bit
// top-down DIB section, and TextComposite mixes that block into the pixel
// memory by the rendered brightness of each channel.
//
// State lives in the raster tail of the Canvas: textDC (made by
// RasterTextBegin), the growing text buffer textBitmap/textBits/textPitch/
// textBufferHeight, the selected textFont and its textOverhang, and a rotated
// copy of the font (textRotatedFont, textRotatedAngle) reused while the angle
// stays the same.
#include <windows.h>

#include <climits>
#include <cmath>
#include <cstdint>

#include "runtime/drawing/canvas.h"
#include "runtime/drawing/gdi/italic_overhang.h"
#include "runtime/drawing/raster/raster_text.h"
#include "runtime/drawing/raster/rotated_text_box.h"
#include "runtime/drawing/raster/text_composite.h"

namespace {

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

// Length of a zero-terminated text; a null pointer is an empty text.
int TextLength(const char16_t* text) {
    if (!text) return 0;
    int n = 0;
    while (text[n] && n < INT_MAX) ++n;
    return n;
}

HDC TextDC(const Canvas* canvas) { return reinterpret_cast<HDC>(canvas->raster.textDC); }

// Row pitch of a 24-bit DIB: rows padded to a multiple of 4 bytes.
int Pitch24(int width) { return ((width * 24 + 31) / 32) * 4; }

// A 24-bit top-down DIB section of width by height pixels, or 0.
HBITMAP CreateTopDown24(HDC dc, int width, int height, void** bits) {
    *bits = nullptr;
    if (width <= 0 || height <= 0 || width > (INT_MAX - 31) / 24) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    if (bitmap && !*bits) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

// Width in pixels of the text buffer: the columns a buffer row holds.
int TextBufferWidth(const Canvas* canvas) { return canvas->raster.textPitch / 3; }

bool Measure(HDC dc, const char16_t* text, int length, SIZE* size) {
    size->cx = size->cy = 0;
    return GetTextExtentPoint32W(dc, Wide(text), length, size) != 0;
}

int ClampToInt(int64_t v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

void RasterSetFont(Canvas* canvas, NativeHandle font) {
    RasterTail& r = canvas->raster;
    HDC dc = TextDC(canvas);
    if (!dc) return;
    HFONT f = font == -1 ? static_cast<HFONT>(GetStockObject(SYSTEM_FONT)) : reinterpret_cast<HFONT>(font);
    r.textOverhang = ItalicOverhang(reinterpret_cast<NativeHandle>(f));
    SelectObject(dc, f);
    r.textFont = reinterpret_cast<NativeHandle>(f);
    if (r.textRotatedFont) {
        DeleteObject(reinterpret_cast<HFONT>(r.textRotatedFont));
        r.textRotatedFont = 0;
    }

    SIZE size;
    Measure(dc, u"Hg", 2, &size);
    const int needed = size.cy + 20 > 50 ? size.cy + 20 : 50;
    if (needed <= r.textBufferHeight) return;  // the buffer never shrinks

    // The buffer spans the whole output, not just a clipped drawing area, so
    // that it stays wide enough after unclip.
    const int width = canvas->fullWidth > canvas->width ? canvas->fullWidth : canvas->width;
    void* bits = nullptr;
    HBITMAP bitmap = CreateTopDown24(dc, width, needed, &bits);
    if (!bitmap) return;  // keep the old buffer
    r.textBufferHeight = needed;
    r.textBits = static_cast<uint8_t*>(bits);
    r.textPitch = Pitch24(width);
    SelectObject(dc, bitmap);
    if (r.textBitmap) DeleteObject(reinterpret_cast<HBITMAP>(r.textBitmap));
    r.textBitmap = reinterpret_cast<NativeHandle>(bitmap);
    SetBkMode(dc, OPAQUE);
    SetTextAlign(dc, 0);
    SetBkColor(dc, 0);
    SetTextColor(dc, 0xFFFFFF);
}

int RasterDrawText(Canvas* canvas, int x, int y, const char16_t* text) {
    RasterTail& r = canvas->raster;
    HDC dc = TextDC(canvas);
    const int length = TextLength(text);
    if (!length || !dc || !r.textBits) return x;
    SIZE size;
    if (!Measure(dc, text, length, &size)) return x;
    int cx = size.cx, cy = size.cy;
    if (r.textOverhang > 0) {
        // Italic glyphs reach past the cell that the opaque background clears:
        // clear the whole buffer so no earlier text shows in the overhang.
        RECT all = {0, 0, TextBufferWidth(canvas), r.textBufferHeight};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        cx += r.textOverhang;
    }
    if (cy > r.textBufferHeight) cy = r.textBufferHeight;

    // A text starting left of the drawing area is rendered shifted left, so
    // that its visible part starts at buffer column 0 and lands at column 0.
    const int left = x < 0 ? x : 0;
    if (!TextOutW(dc, left, 0, Wide(text), length)) return x;
    GdiFlush();

    int64_t w = static_cast<int64_t>(left) + cx;
    if (w > TextBufferWidth(canvas)) w = TextBufferWidth(canvas);  // never read past a buffer row
    if (w > 0) TextComposite(canvas, r.textBits, r.textPitch, x - left, y, static_cast<int>(w), cy, 0);
    return ClampToInt(static_cast<int64_t>(x) + cx);
}

int RasterTextWidth(Canvas* canvas, const char16_t* text) {
    HDC dc = TextDC(canvas);
    const int length = TextLength(text);
    if (!length || !dc) return 0;
    SIZE size;
    if (!Measure(dc, text, length, &size)) return 0;
    return size.cx + canvas->raster.textOverhang;
}

int RasterTextHeight(Canvas* canvas, const char16_t* text) {
    HDC dc = TextDC(canvas);
    const int length = TextLength(text);
    if (!length || !dc) return 0;
    SIZE size;
    if (!Measure(dc, text, length, &size)) return 0;
    return size.cy;
}

void RasterDrawRotatedText(Canvas* canvas, int x, int y, const char16_t* text, float degrees) {
    const int length = TextLength(text);
    if (!length) return;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return;
    HBITMAP bitmap = nullptr;
    SIZE size;
    if (RotatedFontSelect(canvas, reinterpret_cast<NativeHandle>(dc), degrees) && Measure(dc, text, length, &size)) {
        const RotatedBox box =
            RotatedTextBox(static_cast<float>(size.cx), static_cast<float>(size.cy), degrees);
        const int w = box.maxX - box.minX, h = box.maxY - box.minY;
        void* bits = nullptr;
        bitmap = CreateTopDown24(dc, w, h, &bits);
        if (bitmap) {
            SelectObject(dc, bitmap);
            RECT all = {0, 0, w, h};
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            SetBkColor(dc, 0);
            SetTextColor(dc, 0xFFFFFF);
            const int64_t tx = static_cast<int64_t>(x) + box.minX, ty = static_cast<int64_t>(y) + box.minY;
            if (TextOutW(dc, -box.minX, -box.minY, Wide(text), length) && tx == ClampToInt(tx) &&
                ty == ClampToInt(ty)) {
                GdiFlush();
                TextComposite(canvas, static_cast<const uint8_t*>(bits), Pitch24(w), static_cast<int>(tx),
                              static_cast<int>(ty), w, h, 1);
            }
        }
    }
    DeleteDC(dc);
    if (bitmap) DeleteObject(bitmap);
}

}  // namespace

bool RotatedFontSelect(Canvas* canvas, NativeHandle dcHandle, float degrees) {
    RasterTail& r = canvas->raster;
    HDC dc = reinterpret_cast<HDC>(dcHandle);
    const float angle = static_cast<float>(std::fmod(static_cast<double>(degrees), 360.0));
    if (!std::isfinite(angle)) return false;
    if (r.textRotatedFont && r.textRotatedAngle == angle) {
        SelectObject(dc, reinterpret_cast<HFONT>(r.textRotatedFont));
        return true;
    }
    LOGFONTW font;
    if (!r.textFont || GetObjectW(reinterpret_cast<HFONT>(r.textFont), sizeof font, &font) != sizeof font) return false;
    font.lfEscapement = font.lfOrientation = static_cast<LONG>(static_cast<double>(angle) * 10.0);
    font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    if (r.textRotatedFont) {
        DeleteObject(reinterpret_cast<HFONT>(r.textRotatedFont));
        r.textRotatedFont = 0;
    }
    HFONT rotated = CreateFontIndirectW(&font);
    if (!rotated) return false;
    SelectObject(dc, rotated);
    r.textRotatedFont = reinterpret_cast<NativeHandle>(rotated);
    r.textRotatedAngle = angle;
    return true;
}

void RasterInstallTextSlots(Canvas* canvas) {
    canvas->setFont = RasterSetFont;
    canvas->drawText = RasterDrawText;
    canvas->textWidth = RasterTextWidth;
    canvas->textHeight = RasterTextHeight;
    canvas->drawRotatedText = RasterDrawRotatedText;
}

void RasterTextBegin(Canvas* canvas) {
    canvas->raster.textDC = reinterpret_cast<NativeHandle>(CreateCompatibleDC(nullptr));
    RasterSetFont(canvas, -1);
}

void RasterTextEnd(Canvas* canvas) {
    RasterTail& r = canvas->raster;
    if (r.textDC) DeleteDC(reinterpret_cast<HDC>(r.textDC));
    if (r.textBitmap) DeleteObject(reinterpret_cast<HBITMAP>(r.textBitmap));
    if (r.textRotatedFont) DeleteObject(reinterpret_cast<HFONT>(r.textRotatedFont));
    r.textDC = r.textBitmap = r.textRotatedFont = 0;
    r.textBits = nullptr;
    r.textPitch = r.textBufferHeight = 0;
}
