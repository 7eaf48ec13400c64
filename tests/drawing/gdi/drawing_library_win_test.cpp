#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include "runtime/drawing/gdi/drawing_library_win.h"

namespace {

TEST(DrawingLibrary, LoadsAlphaBlendAndUnloadsIt) {
    DrawingLibraryEnd();
    EXPECT_FALSE(AlphaBlendAvailable());
    EXPECT_EQ(DrawingAlphaBlend(), nullptr);
    DrawingLibraryInit();
    ASSERT_TRUE(AlphaBlendAvailable()) << "msimg32.dll is part of every system this runs on";
    AlphaBlendFunction loaded = DrawingAlphaBlend();
    DrawingLibraryInit();  // a second start changes nothing
    EXPECT_EQ(DrawingAlphaBlend(), loaded);
    EXPECT_EQ(DrawingSetAlphaBlend(nullptr), loaded);
    EXPECT_FALSE(AlphaBlendAvailable());
    EXPECT_EQ(DrawingSetAlphaBlend(loaded), nullptr);
    EXPECT_TRUE(AlphaBlendAvailable());
}

TEST(DrawingLibrary, NoVisualStylesWithoutVersionSixCommonControls) {
    // This test program carries no manifest, so the common controls it gets
    // are an older version and visual styles cannot be active.
    DrawingLibraryEnd();
    DrawingLibraryInit();
    HMODULE comctl = LoadLibraryW(L"COMCTL32.DLL");
    ASSERT_NE(comctl, nullptr);
    auto getVersion = reinterpret_cast<HRESULT(CALLBACK*)(DLLVERSIONINFO*)>(
        reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")));
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (getVersion && SUCCEEDED(getVersion(&info)) && info.dwMajorVersion < 6) {
        EXPECT_FALSE(DrawingVisualStyles());
    }
    FreeLibrary(comctl);
}

}  // namespace
