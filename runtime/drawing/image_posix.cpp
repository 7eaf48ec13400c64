// Image objects of the native build: the same numbering, replacement, fills,
// clipping and zero-filled pixels as the Windows build's DIB sections, on plain
// bottom-up pixel memory (NativeBitmap).
#include <cstdlib>
#include <cstring>

#include "runtime/drawing/image.h"
#include "runtime/drawing/image_table.h"
#include "runtime/drawing/native_bitmap_posix.h"
#include "runtime/drawing/raster/blit.h"

namespace {

intptr_t StoreImage(ObjectNumber number, NativeBitmap* bitmap) {
    return ImageStore(number, reinterpret_cast<NativeHandle>(bitmap), bitmap->width, bitmap->height, bitmap->bitCount);
}

}  // namespace

NativeBitmap* NativeBitmapCreate(int width, int height, int bitCount) {
    if (bitCount < 24) bitCount = 24;
    if (bitCount > 24) bitCount = 32;
    if (!DibSizeFits(width, height, bitCount)) return nullptr;
    auto* bitmap = static_cast<NativeBitmap*>(std::calloc(1, sizeof(NativeBitmap)));
    if (!bitmap) return nullptr;
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bitCount = bitCount;
    bitmap->pitch = DibRowPitch(width, bitCount);
    bitmap->bits = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(bitmap->pitch), static_cast<size_t>(height)));
    if (!bitmap->bits) {
        std::free(bitmap);
        return nullptr;
    }
    return bitmap;
}

void NativeBitmapDestroy(NativeBitmap* bitmap) {
    if (!bitmap) return;
    std::free(bitmap->bits);
    std::free(bitmap);
}

void ImagesFreeAll() { ObjectTableFreeAll(ImageTable); }

NativeHandle DibCreate(int width, int height, int bitCount) {
    return reinterpret_cast<NativeHandle>(NativeBitmapCreate(width, height, bitCount));
}

intptr_t ImageCreate(ObjectNumber number, int width, int height, int depth, Color colour) {
    if (depth == 32) colour = colour == 0xFFFFFFFFu ? 0 : (colour | 0xFF000000u);
    ImagesInit();
    auto* record = static_cast<ImageRecord*>(ObjectTableGetOrCreate(ImageTable, number));
    if (!record) return 0;
    NativeBitmap* bitmap = ImageSizeFits(width, height) ? NativeBitmapCreate(width, height, depth) : nullptr;
    if (!bitmap) {
        // A fresh dynamic entry that got no image would stay behind empty; drop it.
        if (number == AnyNumber) ObjectTableFree(ImageTable, ObjectTableDynamicNumber(record));
        return 0;
    }
    uint8_t* row = bitmap->bits;
    if (bitmap->bitCount == 32) {
        // Memory order blue, green, red, alpha.
        const uint8_t px[4] = {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                               static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 24)};
        for (int r = 0; r < height; ++r, row += bitmap->pitch)
            for (int c = 0; c < width; ++c) std::memcpy(row + c * 4, px, 4);
    } else if (colour & 0x00FFFFFFu) {
        const uint8_t px[3] = {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                               static_cast<uint8_t>(colour)};
        for (int r = 0; r < height; ++r, row += bitmap->pitch)
            for (int c = 0; c < width; ++c) std::memcpy(row + c * 3, px, 3);
    }
    record->bitmap = reinterpret_cast<NativeHandle>(bitmap);
    record->width = static_cast<int16_t>(width);
    record->height = static_cast<int16_t>(height);
    record->depth = static_cast<int8_t>(bitmap->bitCount);
    return ImageCreatedResult(number, record);
}

Canvas* ImageCanvas(ObjectNumber number) {
    ImageRecord* record = ImageRecordOf(number);
    if (!record) return nullptr;
    NativeBitmap* bitmap = NativeBitmapOf(record->bitmap);
    const int format = bitmap->bitCount == 32 ? PixelFormatBGRA32 : PixelFormatBGR24;
    Canvas* canvas = RasterCanvasCreate(format | PixelFormatBottomUp);
    if (!canvas) return nullptr;
    canvas->raster.imageBitmap = record->bitmap;
    canvas->raster.pitch = bitmap->pitch;
    canvas->raster.pixels = bitmap->bits;
    canvas->width = bitmap->width;
    canvas->height = bitmap->height;
    canvas->depth = bitmap->bitCount;
    canvas->release = ImageCanvasRelease;  // marks the Canvas as an image's
    return canvas;
}

void ImageCanvasRelease(Canvas*, int) {}

intptr_t ImageGrab(ObjectNumber source, ObjectNumber target, int x, int y, int width, int height) {
    ImageRecord* record = ImageRecordOf(source);
    if (!record || !ImageSizeFits(width, height)) return 0;
    const NativeBitmap* from = NativeBitmapOf(record->bitmap);
    NativeBitmap* to = NativeBitmapCreate(width, height, from->bitCount);
    if (!to) return 0;
    // Copy the part of the rectangle that lies on the source; the rest stays
    // black, as a block transfer from a memory DC leaves it.
    const int64_t left = x < 0 ? 0 : x, top = y < 0 ? 0 : y;
    const int64_t right = static_cast<int64_t>(x) + width < from->width ? static_cast<int64_t>(x) + width : from->width;
    const int64_t bottom = static_cast<int64_t>(y) + height < from->height ? static_cast<int64_t>(y) + height : from->height;
    const int bpp = from->bitCount / 8;
    for (int64_t r = top; r < bottom && left < right; ++r) {
        const uint8_t* src = from->bits + (from->height - 1 - r) * from->pitch + left * bpp;
        uint8_t* dst = to->bits + (height - 1 - (r - y)) * to->pitch + (left - x) * bpp;
        std::memcpy(dst, src, static_cast<size_t>((right - left) * bpp));
    }
    intptr_t result = StoreImage(target, to);
    if (!result) NativeBitmapDestroy(to);
    return result;
}

void ImageFree(ObjectNumber number) {
    if (number == -1) {
        ObjectTableFreeAll(ImageTable);
        return;
    }
    ImageRecord* record = ImageRecordOf(number);
    if (!record) return;
    ImageEndItsCanvas(record->bitmap);
    NativeBitmapDestroy(NativeBitmapOf(record->bitmap));
    ObjectTableFree(ImageTable, number);
}

int ImageHasAlpha(NativeHandle handle) {
    const NativeBitmap* bitmap = NativeBitmapOf(handle);
    return bitmap && bitmap->bitCount == 32 ? 1 : 0;
}

intptr_t RasterGrabImage(Canvas* canvas, intptr_t target, int x, int y, int w, int h) {
    if (!canvas || !ImageSizeFits(w, h)) return 0;
    NativeBitmap* bitmap = NativeBitmapCreate(w, h, canvas->raster.bytesPerPixel * 8);
    if (!bitmap) return 0;
    BlitCopyOut(canvas, x, y, bitmap->bits, bitmap->pitch, w, h);
    intptr_t result = StoreImage(target, bitmap);
    if (!result) NativeBitmapDestroy(bitmap);
    return result;
}
