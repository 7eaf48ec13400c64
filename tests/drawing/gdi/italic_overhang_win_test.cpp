#include <gtest/gtest.h>
#include <windows.h>

#include "runtime/drawing/gdi/italic_overhang.h"

namespace {

HFONT MakeFont(int height, bool italic, int weight = FW_NORMAL) {
    return CreateFontW(height, 0, 0, 0, weight, italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS,
                       CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Times New Roman");
}

TEST(ItalicOverhang, UprightFontsHaveNone) {
    EXPECT_EQ(ItalicOverhang(reinterpret_cast<NativeHandle>(GetStockObject(SYSTEM_FONT))), 0);
    HFONT upright = MakeFont(40, false);
    ASSERT_NE(upright, nullptr);
    EXPECT_EQ(ItalicOverhang(reinterpret_cast<NativeHandle>(upright)), 0);
    DeleteObject(upright);
}

TEST(ItalicOverhang, ItalicFontLeansPastItsAdvance) {
    // A large slanted "H" puts lit pixels to the right of its advance width
    // (or close to it): the result is the lean in pixels, at most the width.
    HFONT italic = MakeFont(60, true, FW_BOLD);
    ASSERT_NE(italic, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, italic);
    SIZE extent{};
    GetTextExtentPoint32W(dc, L"H", 1, &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    int overhang = ItalicOverhang(reinterpret_cast<NativeHandle>(italic));
    if (metrics.tmItalic) {
        EXPECT_GT(overhang, 0);
        EXPECT_LE(overhang, extent.cx + 1);
    } else {
        EXPECT_EQ(overhang, 0);
    }
    // Measuring twice gives the same figure: nothing is left selected or leaked.
    EXPECT_EQ(ItalicOverhang(reinterpret_cast<NativeHandle>(italic)), overhang);
    DeleteObject(italic);
}

TEST(ItalicOverhang, UnusableHandleYieldsZero) {
    EXPECT_EQ(ItalicOverhang(0), 0);
    HBRUSH notAFont = CreateSolidBrush(0);
    EXPECT_EQ(ItalicOverhang(reinterpret_cast<NativeHandle>(notAFont)), 0);
    DeleteObject(notAFont);
}

}  // namespace
