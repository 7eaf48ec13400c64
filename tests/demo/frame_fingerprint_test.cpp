// The effect gives the same pictures in every build: after 300 frames from a
// fixed seed, images 2 and 3 have one fingerprint, pinned here, which the
// Windows build (DIB sections, GDI grabs) and the native build (plain pixel
// memory) must both reach. A difference in any byte of either image changes it.
// The 300 frames also run the whole frame loop under the sanitizers natively.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

#include "demo/frame.h"
#include "picture.h"

namespace {

// FNV-1a over the pixels' bytes, row by row from the top.
uint64_t Fingerprint(const Picture& p) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint32_t v : p.pixels)
        for (int k = 0; k < 3; ++k) {
            h ^= (v >> (8 * k)) & 0xFF;
            h *= 0x100000001b3ull;
        }
    return h;
}

TEST(DemoFrameFingerprint, ThreeHundredFramesFromSeedOne) {
    DemoState s{};
    ASSERT_EQ(DemoSetUpInMemory(s, 1), 1);
    ASSERT_EQ(DemoRunFrames(s, 300), 1);
    const Picture source(DemoImageSource), frame(DemoImageFrame);
    const uint64_t sourcePrint = Fingerprint(source), framePrint = Fingerprint(frame);
    std::printf("fingerprints after 300 frames: image 2 %016llx, image 3 %016llx\n",
                static_cast<unsigned long long>(sourcePrint), static_cast<unsigned long long>(framePrint));
    EXPECT_EQ(sourcePrint, 0xef466b586de41901ull);
    EXPECT_EQ(framePrint, 0x852ab7b20ac24b42ull);
    DemoReleaseInMemory(s);
}

}  // namespace
