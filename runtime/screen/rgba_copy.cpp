#include "runtime/screen/rgba_copy.h"

#include <cstring>

void CopyBgraToOpaqueRgba(const uint8_t* bgra, uint8_t* rgba, size_t count) {
    // A pixel at a time as one little-endian word: 0xAARRGGBB in, 0xFFBBGGRR out.
    for (size_t i = 0; i < count; ++i) {
        uint32_t p;
        std::memcpy(&p, bgra + 4 * i, 4);
        const uint32_t q = 0xFF000000u | (p & 0x0000FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
        std::memcpy(rgba + 4 * i, &q, 4);
    }
}
