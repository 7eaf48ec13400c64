#include "runtime/drawing/gdi/italic_overhang.h"

#include <windows.h>

int ItalicOverhang(NativeHandle font) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return 0;
    HGDIOBJ previousFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(font));
    int overhang = 0;
    TEXTMETRICW metrics{};
    SIZE extent{};
    if (GetTextMetricsW(dc, &metrics) && metrics.tmItalic &&
        GetTextExtentPoint32W(dc, L"H", 1, &extent) && extent.cx > 0 && extent.cy > 0) {
        // The bitmap must be compatible with a colour surface: a bitmap made on
        // a fresh memory DC is monochrome, which still tells lit from unlit.
        HBITMAP bitmap = CreateCompatibleBitmap(dc, 2 * extent.cx, 2 * extent.cy);
        if (bitmap) {
            HGDIOBJ previousBitmap = SelectObject(dc, bitmap);
            SetBkMode(dc, OPAQUE);
            SetTextAlign(dc, 0);
            SetBkColor(dc, 0);
            SetTextColor(dc, 0xFFFFFF);
            RECT all{0, 0, 2 * extent.cx, 2 * extent.cy};
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            TextOutW(dc, 0, 0, L"H", 1);
            bool found = false;
            for (int column = 2 * extent.cx - 1; column >= 0 && !found; --column) {
                for (int row = 0; row < extent.cy; ++row) {
                    COLORREF pixel = GetPixel(dc, column, row);
                    if (pixel != 0 && pixel != CLR_INVALID) {
                        overhang = column - extent.cx + 2;
                        found = true;
                        break;
                    }
                }
            }
            SelectObject(dc, previousBitmap);
            DeleteObject(bitmap);
        }
    }
    SelectObject(dc, previousFont);
    DeleteDC(dc);
    return overhang;
}
