// Image objects on GDI DIB sections.
#include <windows.h>

#include <cstring>

#include "runtime/drawing/gdi/drawing_library.h"
#include "runtime/drawing/image.h"
#include "runtime/drawing/image_table.h"
#include "runtime/drawing/gdi/gdi_canvas.h"
#include "runtime/drawing/raster/blit.h"

namespace {

HBITMAP AsBitmap(NativeHandle h) { return reinterpret_cast<HBITMAP>(h); }
NativeHandle AsHandle(HGDIOBJ h) { return reinterpret_cast<NativeHandle>(h); }

// A new zero-filled bottom-up DIB section and its pixel address.
NativeHandle NewDib(int width, int height, int bitCount, void** bits) {
    *bits = nullptr;
    if (width < 1 || height < 1) return 0;
    BITMAPINFO info;
    std::memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bitCount > 24 ? bitCount : 24);
    info.bmiHeader.biCompression = BI_RGB;
    // With DIB_RGB_COLORS the section needs no device context: making and
    // deleting one would only cost time on the demo's busiest path (ImageGrab).
    return AsHandle(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0));
}

// The two memory DCs ImageGrab copies between. Making and deleting memory
// DCs for every grab cost more than the copy itself (tens of microseconds
// each where the system's display driver is loaded), and the demo grabs a few
// hundred times per frame, so they are made once and kept until
// ImagesFreeAll. Between grabs each holds the placeholder bitmap it was made
// with: no image's bitmap stays selected, so any image can be deleted or
// selected elsewhere at any time.
struct GrabDeviceContexts {
    HDC source = nullptr;
    HDC target = nullptr;
    HGDIOBJ sourcePlaceholder = nullptr;
    HGDIOBJ targetPlaceholder = nullptr;
};
GrabDeviceContexts GrabDCs;

void GrabDCsRelease() {
    if (GrabDCs.source) DeleteDC(GrabDCs.source);
    if (GrabDCs.target) DeleteDC(GrabDCs.target);
    GrabDCs = GrabDeviceContexts{};
}

bool GrabDCsReady() {
    if (GrabDCs.source && GrabDCs.target) return true;
    GrabDCsRelease();
    HDC source = CreateCompatibleDC(nullptr);
    HDC target = source ? CreateCompatibleDC(nullptr) : nullptr;
    HGDIOBJ sourcePlaceholder = source ? GetCurrentObject(source, OBJ_BITMAP) : nullptr;
    HGDIOBJ targetPlaceholder = target ? GetCurrentObject(target, OBJ_BITMAP) : nullptr;
    if (!sourcePlaceholder || !targetPlaceholder) {
        if (source) DeleteDC(source);
        if (target) DeleteDC(target);
        return false;
    }
    GrabDCs = GrabDeviceContexts{source, target, sourcePlaceholder, targetPlaceholder};
    return true;
}

// Makes the pages of a new DIB section's pixel memory present in one call
// before BitBlt writes them. A fresh section's pages are otherwise brought in
// one fault at a time during the copy, which costs more than the copy of a
// small tile. The lock is dropped at once: it only serves to fault the pages
// in, and a failure (a working-set limit) just leaves the faults to the copy.
void PrefaultPixels(void* bits, int pitch, int height) {
    if (!bits) return;
    const SIZE_T bytes = static_cast<SIZE_T>(pitch) * static_cast<SIZE_T>(height);
    if (VirtualLock(bits, bytes)) VirtualUnlock(bits, bytes);
}

}  // namespace

void ImagesFreeAll() {
    ObjectTableFreeAll(ImageTable);
    GrabDCsRelease();
}

NativeHandle DibCreate(int width, int height, int bitCount) {
    void* bits = nullptr;
    return NewDib(width, height, bitCount, &bits);
}

intptr_t ImageCreate(ObjectNumber number, int width, int height, int depth, Color colour) {
    if (depth == 32) colour = colour == 0xFFFFFFFFu ? 0 : (colour | 0xFF000000u);
    auto* record = static_cast<ImageRecord*>(ObjectTableGetOrCreate(ImageTable, number));
    if (!record) return 0;
    HBITMAP bitmap = ImageSizeFits(width, height) ? AsBitmap(DibCreate(width, height, depth)) : nullptr;
    BITMAP info;
    if (bitmap && GetObjectW(bitmap, sizeof(info), &info) != sizeof(info)) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    if (!bitmap) {
        // A fresh dynamic entry that got no image would stay behind empty; drop it.
        if (number == AnyNumber) ObjectTableFree(ImageTable, ObjectTableDynamicNumber(record));
        return 0;
    }
    const int pitch = DibRowPitch(info.bmWidth, info.bmBitsPixel);
    if (depth < 24) depth = 24;

    if (depth == 32 && info.bmBits) {
        // Memory order blue, green, red, alpha: 0xAABBGGRR becomes 0xAARRGGBB.
        const uint32_t pixel = (colour & 0xFF00FF00u) | (colour & 0xFFu) << 16 | (colour >> 16 & 0xFFu);
        auto* row = static_cast<uint8_t*>(info.bmBits);
        for (int r = 0; r < info.bmHeight; ++r, row += pitch) {
            auto* p = reinterpret_cast<uint32_t*>(row);
            for (int c = 0; c < info.bmWidth; ++c) p[c] = pixel;
        }
    } else if (HDC dc = CreateCompatibleDC(nullptr)) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        // A 24-bit image has no alpha: only the colour bytes count.
        HBRUSH brush = CreateSolidBrush(colour & 0x00FFFFFFu);
        RECT rect = {0, 0, info.bmWidth, info.bmHeight};
        if (brush) {
            FillRect(dc, &rect, brush);
            DeleteObject(brush);
        }
        SelectObject(dc, old);
        DeleteDC(dc);
        GdiFlush();
    }

    record->bitmap = AsHandle(bitmap);
    record->width = static_cast<int16_t>(info.bmWidth);
    record->height = static_cast<int16_t>(info.bmHeight);
    record->depth = static_cast<int8_t>(info.bmBitsPixel);
    return ImageCreatedResult(number, record);
}

Canvas* ImageCanvas(ObjectNumber number) {
    ImageRecord* record = ImageRecordOf(number);
    if (!record) return nullptr;
    HBITMAP bitmap = AsBitmap(record->bitmap);
    if (GetObjectType(bitmap) != OBJ_BITMAP) return nullptr;
    const int format = record->depth == 32 ? PixelFormatBGRA32 : PixelFormatBGR24;
    DIBSECTION dib;
    if (GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits) return nullptr;
    // The pixel writers address the memory with the record's size and depth; a
    // bitmap smaller than that or of another pixel size cannot be drawn into.
    if (dib.dsBm.bmWidth < record->width || dib.dsBm.bmHeight < record->height ||
        dib.dsBm.bmBitsPixel != (format == PixelFormatBGRA32 ? 32 : 24))
        return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return nullptr;
    Canvas* canvas = RasterCanvasCreate(format | PixelFormatBottomUp);
    if (!canvas) {
        DeleteDC(dc);
        return nullptr;
    }
    RasterTail& raster = canvas->raster;
    raster.imageBitmap = record->bitmap;
    raster.savedBatchLimit = static_cast<int>(GdiGetBatchLimit());
    GdiSetBatchLimit(1);
    raster.imageDC = AsHandle(dc);
    SelectObject(dc, bitmap);
    raster.pitch = DibRowPitch(dib.dsBm.bmWidth, dib.dsBm.bmBitsPixel);
    raster.pixels = static_cast<uint8_t*>(dib.dsBm.bmBits);
    canvas->width = record->width;
    canvas->height = record->height;
    canvas->release = ImageCanvasRelease;
    canvas->depth = format == PixelFormatBGRA32 ? 32 : 24;
    return canvas;
}

void ImageCanvasRelease(Canvas* canvas, int) {
    if (!canvas) return;
    if (canvas->raster.imageDC) DeleteDC(reinterpret_cast<HDC>(canvas->raster.imageDC));
    canvas->raster.imageDC = 0;
    GdiSetBatchLimit(static_cast<DWORD>(canvas->raster.savedBatchLimit));
}

intptr_t ImageGrab(ObjectNumber source, ObjectNumber target, int x, int y, int width, int height) {
    ImageRecord* record = ImageRecordOf(source);
    if (!record || !ImageSizeFits(width, height)) return 0;
    const int depth = record->depth;
    void* bits = nullptr;
    HBITMAP bitmap = AsBitmap(NewDib(width, height, depth, &bits));
    if (!bitmap) return 0;
    if (!GrabDCsReady()) {
        DeleteObject(bitmap);
        return 0;
    }
    // A bitmap can be selected into one DC at a time. When the source is the
    // image of the current image Canvas, its bitmap already sits in that
    // Canvas's DC, which serves as the source; any other bitmap that cannot be
    // selected fails the grab rather than copying the DC's placeholder bitmap.
    HDC sourceDC = nullptr;
    if (SelectObject(GrabDCs.source, AsBitmap(record->bitmap))) {
        sourceDC = GrabDCs.source;
    } else if (CurrentCanvas && CurrentCanvas->release == ImageCanvasRelease &&
               CurrentCanvas->raster.imageBitmap == record->bitmap && CurrentCanvas->raster.imageDC) {
        sourceDC = reinterpret_cast<HDC>(CurrentCanvas->raster.imageDC);
    }
    BOOL copied = FALSE;
    if (sourceDC && SelectObject(GrabDCs.target, bitmap)) {
        PrefaultPixels(bits, DibRowPitch(width, depth > 24 ? depth : 24), height);
        copied = BitBlt(GrabDCs.target, 0, 0, width, height, sourceDC, x, y, SRCCOPY);
        SelectObject(GrabDCs.target, GrabDCs.targetPlaceholder);
    }
    if (sourceDC == GrabDCs.source) SelectObject(GrabDCs.source, GrabDCs.sourcePlaceholder);
    // Both bitmaps have left the DCs before the table is touched: the target
    // number may be the source itself, whose bitmap is then deleted.
    intptr_t result = copied ? ImageStore(target, AsHandle(bitmap), width, height, depth) : 0;
    if (!result) DeleteObject(bitmap);
    return result;
}

NativeHandle ImageGrabDC(int which) {
    return AsHandle(which == 0 ? GrabDCs.source : which == 1 ? GrabDCs.target : nullptr);
}

void ImageFree(ObjectNumber number) {
    if (number == -1) {
        ObjectTableFreeAll(ImageTable);
        return;
    }
    ImageRecord* record = ImageRecordOf(number);
    if (!record) return;
    // The Canvas's DC goes first: a bitmap still selected into it could not
    // be deleted.
    ImageEndItsCanvas(record->bitmap);
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(record->bitmap);
    if (GetObjectType(handle) == OBJ_BITMAP) DeleteObject(handle);
    else DestroyIcon(reinterpret_cast<HICON>(handle));
    ObjectTableFree(ImageTable, number);
}

int ImageHasAlpha(NativeHandle handle) {
    if (!AlphaBlendAvailable()) return 0;
    HBITMAP bitmap = AsBitmap(handle);
    if (!bitmap || GetObjectType(bitmap) != OBJ_BITMAP) return 0;
    DIBSECTION dib;
    const int size = GetObjectW(bitmap, sizeof(dib), &dib);
    if (size == static_cast<int>(sizeof(dib))) return dib.dsBm.bmBitsPixel == 32 ? 1 : 0;
    if (size != static_cast<int>(sizeof(BITMAP)) || dib.dsBm.bmBitsPixel != 32) return 0;
    // A device bitmap: look for any non-zero alpha byte.
    const int width = dib.dsBm.bmWidth, height = dib.dsBm.bmHeight;
    if (width < 1 || height < 1) return 0;
    const size_t bytes = static_cast<size_t>(DibRowPitch(width, 32)) * static_cast<size_t>(height);
    void* block = HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!block) return 0;
    int found = 0;
    if (HDC dc = CreateCompatibleDC(nullptr)) {
        BITMAPINFO info;
        std::memset(&info, 0, sizeof(info));
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), block, &info, DIB_RGB_COLORS)) {
            const auto* p = static_cast<const uint8_t*>(block);
            for (size_t i = 3; i < bytes; i += 4)
                if (p[i]) {
                    found = 1;
                    break;
                }
        }
        DeleteDC(dc);
    }
    HeapFree(GetProcessHeap(), 0, block);
    return found;
}

intptr_t RasterGrabImage(Canvas* canvas, intptr_t target, int x, int y, int w, int h) {
    if (!canvas || !ImageSizeFits(w, h)) return 0;
    HBITMAP bitmap = AsBitmap(DibCreate(w, h, canvas->depth));
    if (!bitmap) return 0;
    DIBSECTION dib;
    if (GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits) {
        DeleteObject(bitmap);
        return 0;
    }
    // The new image has the Canvas's pixel size, so rows copy byte for byte.
    if (dib.dsBm.bmBitsPixel == canvas->raster.bytesPerPixel * 8)
        BlitCopyOut(canvas, x, y, dib.dsBm.bmBits, DibRowPitch(w, dib.dsBm.bmBitsPixel), w, h);
    intptr_t result = ImageStore(target, AsHandle(bitmap), w, h, dib.dsBm.bmBitsPixel);
    if (!result) DeleteObject(bitmap);
    return result;
}

intptr_t GdiGrabImage(Canvas* canvas, intptr_t target, int x, int y, int w, int h) {
    if (!canvas || !ImageSizeFits(w, h)) return 0;
    GdiEnsureDC(canvas);
    int bitCount = canvas->depth;
    if (canvas->gdi.grabAs24 && bitCount == 32) bitCount = 24;
    HBITMAP bitmap = AsBitmap(DibCreate(w, h, bitCount));
    if (!bitmap) return 0;
    HDC output = reinterpret_cast<HDC>(canvas->gdi.dc);
    BOOL copied = FALSE;
    if (HDC dc = CreateCompatibleDC(output)) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        copied = BitBlt(dc, 0, 0, w, h, output, x, y, SRCCOPY);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    // The depth recorded is that of the bitmap made (DIBs have at least 24 bits).
    intptr_t result = copied ? ImageStore(target, AsHandle(bitmap), w, h, bitCount > 24 ? bitCount : 24) : 0;
    if (!result) DeleteObject(bitmap);
    return result;
}
