#include <gtest/gtest.h>
#include <windows.h>

#include "runtime/core/object_table.h"
#include "runtime/gui/gui_lib.h"

namespace {

TEST(GuiLib, StartsOnceWithTheDefaultFontAndAnEmptyControlTable) {
    EXPECT_TRUE(GuiLibInit());
    ObjectTable* table = GuiControlTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->growth, 50);
    ObjectNumber number = 0;
    EXPECT_EQ(ObjectTableFirst(table, &number), nullptr);
    EXPECT_EQ(GuiDefaultFont(), reinterpret_cast<NativeHandle>(GetStockObject(DEFAULT_GUI_FONT)));
    EXPECT_TRUE(GuiLibInit());
    EXPECT_EQ(GuiControlTable(), table);
    // The common controls are registered: the tab control's class exists.
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    WNDCLASSEXW tab{};
    tab.cbSize = sizeof tab;
    EXPECT_TRUE(GetClassInfoExW(comctl, L"SysTabControl32", &tab) || GetClassInfoExW(nullptr, L"SysTabControl32", &tab));
    GuiLibEnd();
    GuiLibEnd();
}

}  // namespace
