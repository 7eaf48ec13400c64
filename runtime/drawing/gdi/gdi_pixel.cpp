// Colour conversion for direct writes into a screen surface's pixel memory.
#include "runtime/drawing/gdi/gdi_canvas.h"

bool GdiSurfacePixel(int pixelFormat, Color c, uint32_t* value, int* size) {
    switch (pixelFormat) {
    case PixelFormat8:
        *value = c & 0xFF;
        *size = 1;
        return true;
    case PixelFormatX1R5G5B5:
        // Blue is masked to its five bits so that a colour with a top byte set
        // cannot spill into green and red.
        *value = ((c >> 6) & 0x3E0) | ((c & 0xF8) << 7) | ((c >> 19) & 0x1F);
        *size = 2;
        return true;
    case PixelFormatR5G6B5:
        *value = ((c >> 5) & 0x7E0) + ((c >> 19) & 0x1F) + ((c & 0xF8) << 8);
        *size = 2;
        return true;
    case PixelFormatBGRA32:
        *value = 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        *size = 4;
        return true;
    default:
        return false;
    }
}

void GdiPremultiply(uint8_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i, pixels += 4) {
        unsigned alpha = pixels[3];
        if (alpha == 255) continue;
        for (int channel = 0; channel < 3; ++channel) pixels[channel] = static_cast<uint8_t>((pixels[channel] * alpha) >> 8);
    }
}
