// The test card gives the same picture in every build: after one frame its
// image has one fingerprint, pinned here, over all four bytes of every pixel
// (the alpha-only and write-all lines change the alpha bytes too), which the
// Windows builds and the native build must all reach (the web build's picture
// is compared with the native one's, tests/e2e/frames_web.sh). Drawing the card
// again gives the same picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

#include "examples/testcard/card.h"
#include "runtime/core/main_heap.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/image.h"
#include "runtime/drawing/raster/raster_pixel.h"

namespace {

// FNV-1a over the card's bytes, row by row from the top; 0 without a Canvas.
uint64_t CardFingerprint() {
    if (!CanvasBegin(ImageCanvas(CardImage))) return 0;
    uint64_t h = 0xcbf29ce484222325ull;
    for (int y = 0; y < CardHeight; ++y)
        for (int x = 0; x < CardWidth; ++x)
            for (int k = 0; k < 4; ++k) {
                h ^= RasterPixelAddress(CurrentCanvas, x, y)[k];
                h *= 0x100000001b3ull;
            }
    CanvasEnd();
    return h;
}

TEST(TestCard, OneFrameGivesThePinnedPictureEveryTime) {
    ASSERT_NE(MainHeapInit(), nullptr);
    CanvasLibInit();
    ImagesInit();
    ASSERT_EQ(CardCreateImages(), 1);
    ASSERT_EQ(CardDraw(), 1);
    const uint64_t first = CardFingerprint();
    std::printf("test card fingerprint: %016llx\n", static_cast<unsigned long long>(first));
    EXPECT_EQ(first, 0x1a1181249734ffd8ull);
    ASSERT_EQ(CardDraw(), 1);
    EXPECT_EQ(CardFingerprint(), first);
    ImageFree(CardImage);
    ImageFree(CardPattern);
}

}  // namespace
