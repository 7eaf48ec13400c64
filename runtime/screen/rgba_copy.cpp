#include "runtime/screen/rgba_copy.h"

#include <cstring>

void CopyBgraToOpaqueRgba(const uint8_t* bgra, uint8_t* rgba, size_t count) {
    // Little-endian words (every target is little-endian): a pixel 0xAARRGGBB
    // becomes 0xFFBBGGRR. Two pixels at a time in a 64-bit word, which halves
    // the work in WebAssembly, then the odd one.
    size_t i = 0;
    for (; i + 2 <= count; i += 2) {
        uint64_t p;
        std::memcpy(&p, bgra + 4 * i, 8);
        const uint64_t q = 0xFF000000FF000000ull | (p & 0x0000FF000000FF00ull) | ((p >> 16) & 0x000000FF000000FFull) |
                           ((p & 0x000000FF000000FFull) << 16);
        std::memcpy(rgba + 4 * i, &q, 8);
    }
    for (; i < count; ++i) {
        uint32_t p;
        std::memcpy(&p, bgra + 4 * i, 4);
        const uint32_t q = 0xFF000000u | (p & 0x0000FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16);
        std::memcpy(rgba + 4 * i, &q, 4);
    }
}
