#include "runtime/drawing/image.h"

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
