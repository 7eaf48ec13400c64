#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "runtime/window/window.h"
#include "runtime/window/window_layout.h"

namespace {

constexpr uint32_t kDemoFlags = 0x00C80000;  // WS_CAPTION | WS_SYSMENU
constexpr uint32_t kSysMenu = 0x00080000;
constexpr uint32_t kMinBox = 0x00020000;
constexpr uint32_t kMaxBox = 0x00010000;
constexpr uint32_t kThickFrame = 0x00040000;

TEST(WindowChooseStyle, FlagTranslation) {
    struct Case {
        const char* name;
        uint32_t flags;
        uint32_t createStyle;
        uint32_t adjustStyle;
        uint32_t exStyle;
        bool hidden, noActivate, noContainer;
        int show;
        int minMax;
    };
    const Case cases[] = {
        {"demo", kDemoFlags, kDemoFlags, kDemoFlags, 0, false, false, false, ShowNormal, 0},
        {"zero gets a caption", 0, StyleCaption, StyleCaption, 0, false, false, false, ShowNormal, 0},
        {"centring only gets a caption", CentreOnScreen | CentreOnParent, StyleCaption, StyleCaption, 0, false, false, false, ShowNormal, 0},
        {"hidden only", StartHidden, StyleCaption, StyleCaption, 0, true, false, false, ShowNormal, 0},
        {"no container only gets a caption", NoControlContainer, StyleCaption, StyleCaption, 0, false, false, true, ShowNormal, 0},
        {"sysmenu alone keeps no caption", kSysMenu, kSysMenu, kSysMenu, 0, false, false, false, ShowNormal, 0},
        {"maximised", kDemoFlags | WindowMaximise, kDemoFlags | WindowMaximise, kDemoFlags | WindowMaximise, 0, false, false, false, ShowMaximized, 1},
        {"maximised no activate", kDemoFlags | WindowMaximise | ShowNoActivate, kDemoFlags | WindowMaximise,
         kDemoFlags | WindowMaximise | ShowNoActivate, 0, false, true, false, ShowNA, 1},
        {"minimised", kDemoFlags | WindowMinimise, kDemoFlags | WindowMinimise, kDemoFlags | WindowMinimise, 0, false, false, false, ShowMinimized, 1},
        {"minimised no activate", kDemoFlags | WindowMinimise | ShowNoActivate, kDemoFlags | WindowMinimise,
         kDemoFlags | WindowMinimise | ShowNoActivate, 0, false, true, false, ShowMinNoActive, 1},
        {"both: maximise wins", kDemoFlags | WindowMinimise | WindowMaximise, kDemoFlags | WindowMinimise | WindowMaximise,
         kDemoFlags | WindowMinimise | WindowMaximise, 0, false, false, false, ShowMaximized, 1},
        {"no activate alone", ShowNoActivate, 0, ShowNoActivate, 0, false, true, false, ShowNoActivateCmd, 0},
        {"tool window drops min/max", ToolWindow | kSysMenu | kMinBox | kMaxBox | kThickFrame | WindowMaximise | WindowMinimise,
         StyleCaption | kSysMenu | kThickFrame, StyleCaption | kSysMenu | kThickFrame, ExStyleToolWindow, false, false, false, ShowNormal, 0},
        {"centred hidden demo", kDemoFlags | CentreOnScreen | StartHidden | NoControlContainer, kDemoFlags, kDemoFlags, 0, true, false, true, ShowNormal, 0},
    };
    for (const Case& c : cases) {
        WindowStyleChoice s = WindowChooseStyle(c.flags);
        EXPECT_EQ(s.createStyle, c.createStyle) << c.name;
        EXPECT_EQ(s.adjustStyle, c.adjustStyle) << c.name;
        EXPECT_EQ(s.exStyle, c.exStyle) << c.name;
        EXPECT_EQ(s.hidden, c.hidden) << c.name;
        EXPECT_EQ(s.noActivate, c.noActivate) << c.name;
        EXPECT_EQ(s.noContainer, c.noContainer) << c.name;
        EXPECT_EQ(s.showCommand, c.show) << c.name;
        EXPECT_EQ(s.minMaxState, c.minMax) << c.name;
        // The runtime's own bits never reach the system as styles.
        EXPECT_EQ(s.createStyle & (StartHidden | ShowNoActivate | 0x7u), 0u) << c.name;
    }
}

TEST(WindowCreatePosition, DefaultPositionRules) {
    constexpr int D = WindowDefaultPosition;
    constexpr int U = INT_MIN;  // CW_USEDEFAULT
    struct Case { int x, y; uint32_t flags; int ex, ey; };
    const Case cases[] = {
        {10, 20, 0, 10, 20},
        {D, 20, 0, U, U},
        {D, 20, CentreOnScreen, U, U},
        {10, D, 0, U, U},
        {10, D, CentreOnScreen, 10, D},
        {10, D, CentreOnParent, 10, D},
        {D, D, CentreOnScreen, U, U},
        {-65534, -1, 0, -65534, -1},
    };
    for (const Case& c : cases) {
        WindowPosition p = WindowCreatePosition(c.x, c.y, c.flags);
        EXPECT_EQ(p.x, c.ex) << c.x << "," << c.y << " flags " << c.flags;
        EXPECT_EQ(p.y, c.ey) << c.x << "," << c.y << " flags " << c.flags;
    }
}

TEST(WindowCentre, OnScreenAndOnRect) {
    struct Case { int sw, sh, w, h, x, y; };
    const Case screen[] = {
        {1280, 1024, 806, 629, 237, 197},
        {1280, 1024, 807, 630, 236, 197},   // truncation of odd differences
        {1280, 1024, 2000, 500, 0, 262},    // wider than the screen
        {1280, 1024, 300, 5000, 490, 0},    // taller than the screen
        {1280, 1024, 1280, 1024, 0, 0},
    };
    for (const Case& c : screen) {
        WindowPosition p = WindowCentreOnScreen(c.sw, c.sh, c.w, c.h);
        EXPECT_EQ(p.x, c.x) << c.w << "x" << c.h;
        EXPECT_EQ(p.y, c.y) << c.w << "x" << c.h;
    }
    struct RectCase { int l, t, r, b, w, h, x, y; };
    const RectCase rects[] = {
        {100, 100, 500, 400, 200, 100, 200, 200},
        {-300, 50, 100, 450, 300, 100, 0, 200},     // parent off the left: clamped
        {50, -500, 450, 100, 100, 100, 200, 0},     // parent off the top: clamped
        {0, 0, 100, 100, 301, 301, 0, 0},           // larger than the parent
        {10, 10, 111, 111, 10, 10, 55, 55},
    };
    for (const RectCase& c : rects) {
        WindowPosition p = WindowCentreOnRect(c.l, c.t, c.r, c.b, c.w, c.h);
        EXPECT_EQ(p.x, c.x) << c.l << "," << c.t;
        EXPECT_EQ(p.y, c.y) << c.l << "," << c.t;
    }
}

std::u16string Name(const char16_t* prefix, intptr_t value, size_t capacity = NumberedNameCapacity) {
    char16_t buffer[64];
    size_t n = FormatNumberedName(buffer, capacity, prefix, value);
    EXPECT_EQ(n, std::u16string(buffer).size());
    return buffer;
}

TEST(FormatNumberedName, SignedDecimal) {
    EXPECT_EQ(Name(u"WindowClass_", 0), u"WindowClass_0");
    EXPECT_EQ(Name(u"WindowClass_", 12), u"WindowClass_12");
    EXPECT_EQ(Name(u"WindowClass_", -1), u"WindowClass_-1");
    EXPECT_EQ(Name(u"", 1234567890), u"1234567890");
    EXPECT_EQ(Name(nullptr, 7), u"7");
    if (sizeof(intptr_t) == 8) {
        EXPECT_EQ(Name(u"WindowClass_", INTPTR_MIN), u"WindowClass_-9223372036854775808");
        EXPECT_EQ(Name(u"QZ_GadgetStack_", INTPTR_MAX), u"QZ_GadgetStack_9223372036854775807");
    } else {
        EXPECT_EQ(Name(u"WindowClass_", INTPTR_MIN), u"WindowClass_-2147483648");
    }
}

TEST(FormatNumberedName, TooSmallBufferGivesEmptyName) {
    char16_t buffer[8] = {u'x', u'x', u'x', u'x', u'x', u'x', u'x', u'x'};
    EXPECT_EQ(FormatNumberedName(buffer, 4, u"abc", 5), 0u);  // needs 5 with the terminator
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[4], u'x');  // nothing written past the capacity
    EXPECT_EQ(FormatNumberedName(buffer, 5, u"abc", 5), 4u);
    EXPECT_EQ(std::u16string(buffer), u"abc5");
    EXPECT_EQ(FormatNumberedName(buffer, 0, u"abc", 5), 0u);
}

TEST(FocusStepTarget, ForwardAndBackward) {
    const intptr_t stops[] = {11, 22, 33};
    struct Case { const char* name; size_t count; intptr_t current; bool forward; intptr_t target; };
    const Case cases[] = {
        {"next from first", 3, 11, true, 22},
        {"next from last wraps", 3, 33, true, 11},
        {"next without focus", 3, 0, true, 11},
        {"next from a non-candidate stays", 3, 44, true, 0},
        {"previous from last", 3, 33, false, 22},
        {"previous from first wraps", 3, 11, false, 33},
        {"previous without focus", 3, 0, false, 33},
        {"previous from a non-candidate", 3, 44, false, 33},
        {"no candidates forward", 0, 0, true, 0},
        {"no candidates backward", 0, 11, false, 0},
        {"single candidate forward", 1, 11, true, 11},
        {"single candidate backward", 1, 11, false, 11},
    };
    for (const Case& c : cases) EXPECT_EQ(FocusStepTarget(stops, c.count, c.current, c.forward), c.target) << c.name;
    EXPECT_EQ(FocusStepTarget(nullptr, 3, 0, true), 0);
}

}  // namespace
