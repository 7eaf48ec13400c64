#include <gtest/gtest.h>
#include <windows.h>

#include "drawing/font_choice_win.h"
#include "runtime/drawing/gdi/italic_overhang.h"

namespace {

TEST(ItalicOverhang, UprightFontsHaveNone) {
    EXPECT_EQ(ItalicOverhang(reinterpret_cast<NativeHandle>(GetStockObject(SYSTEM_FONT))), 0);
    HFONT upright = TrueTypeFont(40);
    ASSERT_NE(upright, nullptr) << kNoSuitableFont;
    EXPECT_EQ(ItalicOverhang(reinterpret_cast<NativeHandle>(upright)), 0);
    DeleteObject(upright);
}

TEST(ItalicOverhang, ItalicFontLeansPastItsAdvance) {
    // A large bold italic "H" whose right bearing is negative puts lit pixels
    // that far right of its advance width; the overhang is that lean (the
    // last lit column may reach one pixel further).
    int lean = 0;
    HFONT italic = LeaningItalicFont(60, &lean);
    ASSERT_NE(italic, nullptr) << kNoSuitableFont;
    const int overhang = ItalicOverhang(reinterpret_cast<NativeHandle>(italic));
    EXPECT_GE(overhang, lean);
    EXPECT_LE(overhang, lean + 1);
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
