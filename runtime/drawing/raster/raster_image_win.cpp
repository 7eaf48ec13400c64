// Drawing GDI bitmaps and icons onto a raster Canvas: every source is brought
// into a 24- or 32-bit DIB section of the requested size, whose rows the
// blitters then copy with clipping by the drawing mode.
#include <windows.h>

#include <cstring>

#include "runtime/drawing/image.h"
#include "runtime/drawing/raster/blit.h"
#include "runtime/drawing/raster/raster_image.h"
#include "runtime/drawing/resample.h"

namespace {

HBITMAP AsBitmap(NativeHandle h) { return reinterpret_cast<HBITMAP>(h); }
NativeHandle AsHandle(HGDIOBJ h) { return reinterpret_cast<NativeHandle>(h); }

// A new bottom-up DIB section made on dc, with its pixel address, or 0 (also
// for sizes whose pixels the blitters could not address).
HBITMAP NewSection(HDC dc, int width, int height, int bitCount, BITMAPINFO* info, void** bits) {
    std::memset(info, 0, sizeof(*info));
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info->bmiHeader.biCompression = BI_RGB;
    *bits = nullptr;
    if (!DibSizeFits(width, height, bitCount)) return nullptr;
    HBITMAP dib = CreateDIBSection(dc, info, DIB_RGB_COLORS, bits, nullptr, 0);
    if (dib && !*bits) {
        DeleteObject(dib);
        dib = nullptr;
    }
    return dib;
}

}  // namespace

bool RasterHandleIsBitmap(NativeHandle handle) {
    return handle && GetObjectType(reinterpret_cast<HGDIOBJ>(handle)) == OBJ_BITMAP;
}

void RasterDrawBitmap(Canvas* canvas, NativeHandle handle, int x, int y, int w, int h, int alpha, int useAlpha) {
    if (!canvas || !handle) return;
    HGDIOBJ object = reinterpret_cast<HGDIOBJ>(handle);
    if (GetObjectType(object) != OBJ_BITMAP) {
        NativeHandle dib = IconToDib(handle);
        if (!dib) return;
        RasterDrawBitmap(canvas, dib, x, y, w, h, alpha, 1);
        DeleteObject(AsBitmap(dib));
        return;
    }
    DIBSECTION section;
    const int size = GetObjectW(object, sizeof(section), &section);
    if (size == static_cast<int>(sizeof(section))) {
        const BITMAP& bm = section.dsBm;
        if ((w == -1 || w == bm.bmWidth) && (h == -1 || h == bm.bmHeight) && bm.bmBitsPixel >= 24) {
            RasterBlitDib(canvas, handle, x, y, alpha, useAlpha);
            return;
        }
        NativeHandle resized = ResizedBitmapCopy(handle, w, h);
        if (!resized) return;
        RasterBlitDib(canvas, resized, x, y, alpha, useAlpha);
        DeleteObject(AsBitmap(resized));
        return;
    }
    if (size != static_cast<int>(sizeof(BITMAP))) return;
    NativeHandle dib = DeviceBitmapToDib(handle);
    if (!dib) return;
    RasterDrawBitmap(canvas, dib, x, y, w, h, alpha, useAlpha);
    DeleteObject(AsBitmap(dib));
}

void RasterBlitDib(Canvas* canvas, NativeHandle dib, int x, int y, int alpha, int useAlpha) {
    DIBSECTION section;
    if (GetObjectW(reinterpret_cast<HGDIOBJ>(dib), sizeof(section), &section) != static_cast<int>(sizeof(section)))
        return;
    const BITMAP& bm = section.dsBm;
    const int bitCount = bm.bmBitsPixel;
    const int pitch = DibRowPitch(bm.bmWidth, bitCount);
    const uint8_t* bits = static_cast<const uint8_t*>(bm.bmBits);
    if (!bits) return;
    if (bitCount == 32)
        BlitFrom32(canvas, bits, pitch, x, y, bm.bmWidth, bm.bmHeight, alpha, useAlpha);
    else if (bitCount == 24)
        BlitFrom24(canvas, bits, pitch, x, y, bm.bmWidth, bm.bmHeight, alpha);
}

NativeHandle ResizedBitmapCopy(NativeHandle bitmap, int w, int h) {
    HDC sourceDC = CreateCompatibleDC(nullptr);
    HDC targetDC = sourceDC ? CreateCompatibleDC(nullptr) : nullptr;
    if (!targetDC) {
        if (sourceDC) DeleteDC(sourceDC);
        return 0;
    }
    HBITMAP source = AsBitmap(bitmap);
    HBITMAP result = nullptr;
    BITMAP bm;
    HGDIOBJ oldSource = SelectObject(sourceDC, source);
    if (GetObjectW(source, sizeof(bm), &bm) == static_cast<int>(sizeof(bm))) {
        if (w == -1) w = bm.bmWidth;
        if (h == -1) h = bm.bmHeight;
        BITMAPINFO info;
        void* bits;
        result = NewSection(targetDC, w, h, bm.bmBitsPixel > 24 ? 32 : 24, &info, &bits);
        if (result) {
            HGDIOBJ oldTarget = SelectObject(targetDC, result);
            if (w == bm.bmWidth && h == bm.bmHeight) {
                BitBlt(targetDC, 0, 0, w, h, sourceDC, 0, 0, SRCCOPY);
            } else if (bm.bmBitsPixel < 32) {
                SetStretchBltMode(targetDC, HALFTONE);
                SetBrushOrgEx(targetDC, 0, 0, nullptr);
                StretchBlt(targetDC, 0, 0, w, h, sourceDC, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
            } else {
                GdiFlush();
                ResampleBitmap32(AsHandle(result), w, h, bitmap, bm.bmWidth, bm.bmHeight);
            }
            SelectObject(targetDC, oldTarget);
        }
    }
    if (oldSource) SelectObject(sourceDC, oldSource);
    DeleteDC(sourceDC);
    DeleteDC(targetDC);
    GdiFlush();
    return AsHandle(result);
}

NativeHandle DeviceBitmapToDib(NativeHandle bitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return 0;
    HBITMAP source = AsBitmap(bitmap);
    HBITMAP dib = nullptr;
    BITMAP bm;
    if (GetObjectW(source, sizeof(bm), &bm) == static_cast<int>(sizeof(bm))) {
        BITMAPINFO info;
        void* bits;
        const int bitCount = bm.bmBitsPixel > 24 ? 32 : 24;
        dib = NewSection(dc, bm.bmWidth, bm.bmHeight, bitCount, &info, &bits);
        if (dib && !GetDIBits(dc, source, 0, static_cast<UINT>(bm.bmHeight), bits, &info, DIB_RGB_COLORS)) {
            DeleteObject(dib);
            dib = nullptr;
        }
        if (dib && bm.bmBitsPixel == 32) {
            // A device bitmap that never had alpha reads back all zero: make it opaque.
            auto* p = static_cast<uint8_t*>(bits);
            const size_t bytes = static_cast<size_t>(bm.bmWidth) * 4 * static_cast<size_t>(bm.bmHeight);
            bool anyAlpha = false;
            for (size_t i = 3; i < bytes && !anyAlpha; i += 4) anyAlpha = p[i] != 0;
            if (!anyAlpha)
                for (size_t i = 3; i < bytes; i += 4) p[i] = 255;
        }
    }
    DeleteDC(dc);
    return AsHandle(dib);
}

NativeHandle IconToDib(NativeHandle icon) {
    ICONINFO ii;
    if (!GetIconInfo(reinterpret_cast<HICON>(icon), &ii)) return 0;
    // A monochrome icon has no colour bitmap and draws nothing here.
    if (!ii.hbmColor) {
        if (ii.hbmMask) DeleteObject(ii.hbmMask);
        return 0;
    }
    if (ImageHasAlpha(AsHandle(ii.hbmColor))) {
        if (ii.hbmMask) DeleteObject(ii.hbmMask);
        return AsHandle(ii.hbmColor);
    }
    HBITMAP dib = nullptr;
    BITMAP bm;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc && GetObjectW(ii.hbmColor, sizeof(bm), &bm) == static_cast<int>(sizeof(bm))) {
        BITMAPINFO info;
        void* bits;
        const int width = bm.bmWidth, height = bm.bmHeight;
        dib = NewSection(dc, width, height, 32, &info, &bits);
        if (dib) {
            HGDIOBJ old = SelectObject(dc, dib);
            DrawIconEx(dc, 0, 0, reinterpret_cast<HICON>(icon), width, height, 0, nullptr, DI_IMAGE);
            GdiFlush();
            // Opacity from the mask: a black mask pixel is opaque.
            if (ii.hbmMask) SelectObject(dc, ii.hbmMask);
            auto* p = static_cast<uint8_t*>(bits);
            const size_t pitch = static_cast<size_t>(width) * 4;
            for (int i = 0; i < height; ++i)
                for (int j = 0; j < width; ++j)
                    p[static_cast<size_t>(height - i - 1) * pitch + static_cast<size_t>(j) * 4 + 3] =
                        ii.hbmMask && GetPixel(dc, j, i) == 0 ? 255 : 0;
            SelectObject(dc, old);
        }
    }
    if (dc) DeleteDC(dc);
    if (ii.hbmMask) DeleteObject(ii.hbmMask);
    DeleteObject(ii.hbmColor);
    return AsHandle(dib);
}
