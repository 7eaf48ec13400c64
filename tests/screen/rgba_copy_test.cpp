#include <gtest/gtest.h>

#include <cstring>

#include "runtime/screen/rgba_copy.h"

namespace {

// The web build's screen hands the page red, green, blue and an opaque alpha
// whatever the back buffer's alpha byte holds; exactly count pixels are
// written, from and to addresses that need not be word-aligned.
TEST(RgbaCopy, SwapsRedAndBlueMakesAlphaOpaqueAndWritesCountPixels) {
    const uint8_t bgra[1 + 12] = {0x99, 0x10, 0x20, 0x30, 0x00, 0xFF, 0x00, 0x80, 0x7F, 0x01, 0x02, 0x03, 0xFF};
    uint8_t rgba[1 + 16];
    std::memset(rgba, 0xEE, sizeof rgba);
    CopyBgraToOpaqueRgba(bgra + 1, rgba + 1, 3);
    const uint8_t expected[1 + 16] = {0xEE, 0x30, 0x20, 0x10, 0xFF, 0x80, 0x00, 0xFF, 0xFF,
                                      0x03, 0x02, 0x01, 0xFF, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(0, std::memcmp(expected, rgba, sizeof rgba));
}

}  // namespace
