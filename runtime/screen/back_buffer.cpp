#include "runtime/screen/back_buffer.h"

#include <cstdlib>

bool BackBufferCreate(BackBuffer* buffer, int width, int height) {
    *buffer = BackBuffer{};
    if (width <= 0 || height <= 0) return false;
    auto* pixels = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(width) * static_cast<size_t>(height), 4));
    if (!pixels) return false;
    *buffer = {pixels, width, height, width * 4};
    return true;
}

void BackBufferFree(BackBuffer* buffer) {
    std::free(buffer->pixels);
    *buffer = BackBuffer{};
}

Canvas* BackBufferCanvas(const BackBuffer& buffer, NativeHandle surface) {
    if (!buffer.pixels) return nullptr;
    Canvas* canvas = RasterCanvasCreate(PixelFormatBGRA32);
    if (!canvas) return nullptr;
    canvas->width = buffer.width;
    canvas->height = buffer.height;
    canvas->depth = 32;
    canvas->raster.pixels = buffer.pixels;
    canvas->raster.pitch = buffer.pitch;
    canvas->raster.imageDC = surface;
    return canvas;
}
