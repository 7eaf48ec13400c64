#include <gtest/gtest.h>

#include "runtime/drawing/image.h"

namespace {

TEST(DibRowPitch, RowsArePaddedToFourBytes) {
    struct Case {
        int width, bits, pitch;
    };
    const Case cases[] = {
        {800, 24, 2400}, {801, 24, 2404}, {801, 32, 3204}, {1, 24, 4},  {2, 24, 8},  {3, 24, 12}, {5, 24, 16},
        {1, 1, 4},       {32, 1, 4},      {33, 1, 8},      {9, 4, 8},   {5, 8, 8},   {4, 8, 4},   {3, 16, 8},
        {3, 15, 8},      {10, 32, 40},    {10, 0, 40},     {0, 24, 0},  {32767, 24, 98304},
    };
    for (const Case& c : cases) EXPECT_EQ(DibRowPitch(c.width, c.bits), c.pitch) << c.width << " x " << c.bits;
}

}  // namespace
