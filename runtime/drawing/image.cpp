#include "runtime/drawing/image.h"

#include "runtime/drawing/image_table.h"

ObjectTable* ImageTable = nullptr;

int DibRowPitch(int width, int bitsPerPixel) {
    const int64_t w = width;
    int64_t pitch;
    switch (bitsPerPixel) {
    case 1: pitch = (w + 31) / 32 * 4; break;
    case 4: pitch = (w + 7) / 8 * 4; break;
    case 8: pitch = (w + 3) / 4 * 4; break;
    case 15:
    case 16: pitch = (w + 1) / 2 * 4; break;
    case 24: pitch = (w + 1) * 3 / 4 * 4; break;
    default: pitch = w * 4; break;
    }
    return static_cast<int>(pitch);
}

bool DibSizeFits(int width, int height, int bitsPerPixel) {
    if (width < 1 || height < 1) return false;
    const int64_t pitch = (int64_t{width} * bitsPerPixel + 31) / 32 * 4;
    return pitch * height <= INT32_MAX;
}

bool ImageSizeFits(int width, int height) {
    return width >= 1 && height >= 1 && width <= ImageMaxSize && height <= ImageMaxSize;
}

ImageRecord* ImageRecordOf(ObjectNumber number) {
    return static_cast<ImageRecord*>(ObjectTableGet(ImageTable, number));
}

intptr_t ImageCreatedResult(ObjectNumber number, const ImageRecord* record) {
    return number == AnyNumber ? ObjectTableDynamicNumber(record) : record->bitmap;
}

intptr_t ImageStore(ObjectNumber number, NativeHandle bitmap, int width, int height, int depth) {
    auto* record = static_cast<ImageRecord*>(ObjectTableGetOrCreate(ImageTable, number));
    if (!record) return 0;
    record->bitmap = bitmap;
    record->width = static_cast<int16_t>(width);
    record->height = static_cast<int16_t>(height);
    record->depth = static_cast<int8_t>(depth);
    return ImageCreatedResult(number, record);
}

void ImageEndItsCanvas(NativeHandle bitmap) {
    const Canvas* canvas = CurrentCanvas;
    if (canvas && canvas->release == ImageCanvasRelease && canvas->raster.imageBitmap == bitmap) CanvasEnd();
}

void ImagesInit() {
    if (!ImageTable) ImageTable = ObjectTableCreate(sizeof(ImageRecord), 16, ImageFree);
}

void ImagesEnd() {
    if (!ImageTable) return;
    ImagesFreeAll();
    ObjectTableDestroy(ImageTable);
    ImageTable = nullptr;
}

NativeHandle ImageHandle(ObjectNumber number) {
    ImageRecord* record = ImageRecordOf(number);
    return record ? record->bitmap : 0;
}
