#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "runtime/core/numeric.h"

namespace {

TEST(TruncToInt, TruncatesTowardZero) {
    struct Case { double in; int32_t out; };
    const Case cases[] = {
        {2.7, 2}, {-2.7, -2}, {0.3, 0}, {2.5, 2}, {3.5, 3}, {-0.7, 0}, {-2.5, -2}, {0.0, 0},
        {2147483647.9, 2147483647}, {-2147483648.9, INT32_MIN},
        // Beyond 32 bits: the low 32 bits of the 64-bit truncation.
        {4294967296.0 + 5.5, 5}, {4294967295.0, -1}, {-4294967297.0, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(TruncToInt(c.in), c.out) << c.in;
}

TEST(TruncToInt, UnrepresentableValuesGiveZero) {
    EXPECT_EQ(TruncToInt(1e300), 0);
    EXPECT_EQ(TruncToInt(-1e300), 0);
    EXPECT_EQ(TruncToInt(std::nan("")), 0);
}

TEST(Random, RawOutputsAfterSeeding) {
    struct Case { int32_t seed; uint32_t raw[3]; };
    const Case cases[] = {
        {0, {0x8B910D61u, 0xC8AFE081u, 0xA90E502Fu}},
        {1, {0xB8C1309Fu, 0x2E59857Au, 0x9B9E595Fu}},
    };
    for (const Case& c : cases) {
        RandomSeed(c.seed);
        for (uint32_t expected : c.raw) EXPECT_EQ(static_cast<uint32_t>(RandomUpTo(-1)), expected) << "seed " << c.seed;
    }
}

TEST(Random, UpToTenAfterSeedOne) {
    RandomSeed(1);
    const int32_t expected[] = {7, 1, 6, 10, 0, 1, 5, 3};
    for (int32_t e : expected) EXPECT_EQ(RandomUpTo(10), e);
}

TEST(Random, RangesAndReseeding) {
    RandomSeed(12345);
    bool seen[11] = {};
    for (int n = 0; n < 2000; ++n) {
        EXPECT_EQ(RandomUpTo(0), 0);
        int32_t v = RandomUpTo(10);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 10);
        seen[v] = true;
    }
    for (bool s : seen) EXPECT_TRUE(s);
    RandomSeed(99);
    int32_t first = RandomUpTo(-1);
    RandomSeed(99);
    EXPECT_EQ(RandomUpTo(-1), first);
}

}  // namespace
