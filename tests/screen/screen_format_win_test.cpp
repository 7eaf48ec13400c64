#include <gtest/gtest.h>

#include "runtime/screen/screen_state_win.h"

namespace {

TEST(ScreenFormat, BitsPerPixelOfEveryBackBufferFormat) {
    struct Case {
        D3DFORMAT format;
        int bits;
        int code;
    };
    const Case cases[] = {
        {D3DFMT_R8G8B8, 24, 0},        {D3DFMT_A8R8G8B8, 32, 0},     {D3DFMT_X8R8G8B8, 32, 0x40},
        {D3DFMT_R5G6B5, 16, 0x04},     {D3DFMT_X1R5G5B5, 16, 0x02},  {D3DFMT_A1R5G5B5, 16, 0},
        {D3DFMT_A4R4G4B4, 16, 0},      {D3DFMT_R3G3B2, 8, 0},        {D3DFMT_A8, 8, 0},
        {D3DFMT_A8R3G3B2, 16, 0},      {D3DFMT_X4R4G4B4, 16, 0},     {D3DFMT_A2B10G10R10, 32, 0},
        {D3DFMT_A8B8G8R8, 0, 0},       {D3DFMT_X8B8G8R8, 0, 0},      {D3DFMT_G16R16, 32, 0},
        {D3DFMT_A2R10G10B10, 32, 0},   {D3DFMT_A16B16G16R16, 64, 0}, {D3DFMT_UNKNOWN, 0, 0},
        {static_cast<D3DFORMAT>(19), 0, 0}, {static_cast<D3DFORMAT>(37), 0, 0}, {D3DFMT_D16, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScreenFormatDepth(c.format), c.bits) << "format " << c.format;
        EXPECT_EQ(ScreenFormatCode(c.format), c.code) << "format " << c.format;
    }
}

}  // namespace
