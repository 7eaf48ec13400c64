// Runtime windows on a display: opening and closing, the common window
// procedure's events, the event queue as seen through WindowPollEvent, and
// Tab navigation.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "runtime/core/module_instance.h"
#include "runtime/window/event_queue.h"
#include "runtime/window/window.h"
#include "runtime/window/window_win.h"

namespace {

constexpr uint32_t kDemoFlags = WS_CAPTION | WS_SYSMENU;

HWND H(intptr_t handle) { return reinterpret_cast<HWND>(handle); }

// Pumps messages and pops events until nothing has happened for a while.
std::vector<uint32_t> Settle(int quietMs = 60) {
    std::vector<uint32_t> seen;
    DWORD quietSince = GetTickCount();
    for (int guard = 0; guard < 100000; ++guard) {
        uint32_t r = WindowPollEvent();
        if (r) {
            seen.push_back(r);
            quietSince = GetTickCount();
            continue;
        }
        if (GetTickCount() - quietSince >= static_cast<DWORD>(quietMs)) break;
        Sleep(5);
    }
    return seen;
}

// Pending events as full records, oldest first, without removing them.
std::vector<Event> Pending() {
    std::vector<Event> out;
    for (EventNode* n = PendingEvents ? PendingEvents->head : nullptr; n; n = n->next)
        out.push_back(Event{n->code, n->object, n->window, n->data});
    return out;
}

std::vector<uint32_t> CodesOf(const std::vector<Event>& events, intptr_t window) {
    std::vector<uint32_t> out;
    for (const Event& e : events)
        if (e.window == window) out.push_back(e.code);
    return out;
}

std::wstring ClassNameOf(HWND w) {
    wchar_t buffer[128];
    int n = GetClassNameW(w, buffer, 128);
    return std::wstring(buffer, n > 0 ? n : 0);
}

bool ClassRegistered(const wchar_t* name) {
    WNDCLASSW wc;
    return GetClassInfoW(reinterpret_cast<HINSTANCE>(ModuleInstanceInit()), name, &wc) != 0;
}

SIZE AdjustedSize(DWORD style, DWORD exStyle, int w, int h) {
    RECT r{0, 0, w, h};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

class WindowGui : public ::testing::Test {
protected:
    void SetUp() override {
        WindowLibInit();
        EventPostInit();
        WindowClose(AnyNumber);
        Settle();
        EventQueueClear(PendingEvents);
    }
    void TearDown() override {
        WindowClose(AnyNumber);
        Settle();
        EventQueueClear(PendingEvents);
    }
};

TEST_F(WindowGui, DemoWindowHasExactClientAreaAndAdjustedFrame) {
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int x = (desktop.right - desktop.left - 800) / 2;
    const int y = (desktop.bottom - desktop.top - 600) / 2;
    intptr_t result = WindowOpen(0, x, y, 800, 600, u"Wirlo", kDemoFlags);
    ASSERT_NE(result, 0);
    HWND hwnd = H(WindowHandle(0));
    EXPECT_EQ(H(result), hwnd);
    ASSERT_TRUE(IsWindow(hwnd));

    RECT client, outer;
    GetClientRect(hwnd, &client);
    GetWindowRect(hwnd, &outer);
    EXPECT_EQ(client.right - client.left, 800);
    EXPECT_EQ(client.bottom - client.top, 600);
    SIZE adjusted = AdjustedSize(kDemoFlags, 0, 800, 600);
    EXPECT_EQ(outer.right - outer.left, adjusted.cx);
    EXPECT_EQ(outer.bottom - outer.top, adjusted.cy);
    EXPECT_EQ(outer.left, x);
    EXPECT_EQ(outer.top, y);

    wchar_t title[32];
    GetWindowTextW(hwnd, title, 32);
    EXPECT_EQ(std::wstring(title), L"Wirlo");
    EXPECT_EQ(ClassNameOf(hwnd), L"WindowClass_0");
    EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropW(hwnd, L"QZ_WindowID")), 1);

    LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), static_cast<LONG_PTR>(WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(hwnd, &placement);
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
    EXPECT_FALSE(IsIconic(hwnd));
    EXPECT_FALSE(IsZoomed(hwnd));

    auto* record = static_cast<WindowRecord*>(ObjectTableGet(WindowTable, 0));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->accelCount, 2);
    EXPECT_NE(record->accelTable, 0);
    EXPECT_EQ(record->minMaxState, 0);
    ACCEL entries[4] = {};
    ASSERT_EQ(CopyAcceleratorTableW(reinterpret_cast<HACCEL>(record->accelTable), entries, 4), 2);
    EXPECT_EQ(entries[0].fVirt, FVIRTKEY | FNOINVERT);
    EXPECT_EQ(entries[0].key, VK_TAB);
    EXPECT_EQ(entries[0].cmd, CommandFocusNext);
    EXPECT_EQ(entries[1].fVirt, FVIRTKEY | FNOINVERT | FSHIFT);
    EXPECT_EQ(entries[1].key, VK_TAB);
    EXPECT_EQ(entries[1].cmd, CommandFocusPrevious);
}

TEST_F(WindowGui, ReopeningANumberClosesTheOldWindowAndItsEvents) {
    HWND first = H(WindowOpen(0, 10, 10, 200, 100, u"one", kDemoFlags));
    ASSERT_TRUE(IsWindow(first));
    EXPECT_TRUE(ClassRegistered(L"WindowClass_0"));
    Settle();
    EventQueueClear(PendingEvents);
    SendMessageW(first, WM_LBUTTONUP, 0, 0);
    ASSERT_EQ(CodesOf(Pending(), 0), std::vector<uint32_t>{EventLeftButtonUp});

    HWND second = H(WindowOpen(0, 20, 20, 300, 150, u"two", kDemoFlags));
    ASSERT_TRUE(IsWindow(second));
    EXPECT_NE(first, second);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(H(WindowHandle(0)), second);
    for (const Event& e : Pending()) EXPECT_NE(e.code, static_cast<uint32_t>(EventLeftButtonUp));

    WindowClose(0);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_EQ(WindowHandle(0), 0);
    EXPECT_FALSE(ClassRegistered(L"WindowClass_0"));
    WindowClose(0);  // not open: nothing happens
    WindowClose(12345);
}

TEST_F(WindowGui, FlagsZeroGivesACaptionWithoutSystemMenu) {
    HWND hwnd = H(WindowOpen(3, 0, 0, 120, 80, u"plain", 0));
    ASSERT_TRUE(IsWindow(hwnd));
    LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, static_cast<LONG_PTR>(WS_CAPTION));
    EXPECT_EQ(style & WS_SYSMENU, 0);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 120);
    EXPECT_EQ(client.bottom, 80);
}

TEST_F(WindowGui, ShowStatesFollowTheFlags) {
    struct Case {
        const char* name;
        uint32_t flags;
        bool visible, iconic, zoomed;
        int minMax;
    };
    const Case cases[] = {
        {"hidden", kDemoFlags | StartHidden, false, false, false, 0},
        {"maximised", WS_OVERLAPPEDWINDOW | WindowMaximise, true, false, true, 1},
        {"minimised", WS_OVERLAPPEDWINDOW | WindowMinimise, true, true, false, 1},
        {"normal without activation", kDemoFlags | ShowNoActivate, true, false, false, 0},
    };
    for (const Case& c : cases) {
        HWND hwnd = H(WindowOpen(4, 50, 50, 200, 100, u"state", c.flags));
        ASSERT_TRUE(IsWindow(hwnd)) << c.name;
        EXPECT_EQ(IsWindowVisible(hwnd) != 0, c.visible) << c.name;
        EXPECT_EQ(IsIconic(hwnd) != 0, c.iconic) << c.name;
        EXPECT_EQ(IsZoomed(hwnd) != 0, c.zoomed) << c.name;
        auto* record = static_cast<WindowRecord*>(ObjectTableGet(WindowTable, 4));
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->minMaxState, c.minMax) << c.name;
        EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE) & ShowNoActivate, 0) << c.name;
        Settle();
    }
}

TEST_F(WindowGui, NullTitleGivesAnEmptyCaption) {
    HWND hwnd = H(WindowOpen(1, 30, 30, 100, 50, nullptr, kDemoFlags));
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(GetWindowTextLengthW(hwnd), 0);
}

TEST_F(WindowGui, Positions) {
    const int sw = GetSystemMetrics(SM_CXSCREEN);
    const int sh = GetSystemMetrics(SM_CYSCREEN);

    // The system's default position instead of -65535.
    HWND byDefault = H(WindowOpen(1, WindowDefaultPosition, 40, 100, 50, u"d", kDemoFlags));
    ASSERT_TRUE(IsWindow(byDefault));
    RECT r;
    GetWindowRect(byDefault, &r);
    EXPECT_GT(r.left, WindowDefaultPosition);
    EXPECT_GT(r.top, WindowDefaultPosition);
    EXPECT_GE(r.left, 0);

    // y = -65535 with centring: centred, not placed at -65535.
    HWND centred = H(WindowOpen(2, 5, WindowDefaultPosition, 300, 200, u"c", kDemoFlags | CentreOnScreen));
    ASSERT_TRUE(IsWindow(centred));
    GetWindowRect(centred, &r);
    SIZE outer = AdjustedSize(kDemoFlags, 0, 300, 200);
    EXPECT_EQ(r.left, (sw - outer.cx) / 2);
    EXPECT_EQ(r.top, (sh - outer.cy) / 2);

    // Wider than the screen: x is 0.
    HWND wide = H(WindowOpen(3, 100, 100, sw + 200, 100, u"w", kDemoFlags | CentreOnScreen));
    ASSERT_TRUE(IsWindow(wide));
    GetWindowRect(wide, &r);
    EXPECT_EQ(r.left, 0);
    SIZE wideOuter = AdjustedSize(kDemoFlags, 0, sw + 200, 100);
    EXPECT_EQ(r.top, (sh - wideOuter.cy) / 2);

    // Centred on a parent that is partly off the left and top: clamped to 0.
    HWND parent = H(WindowOpen(4, -400, -300, 500, 400, u"p", kDemoFlags));
    ASSERT_TRUE(IsWindow(parent));
    HWND child = H(WindowOpen(5, 0, 0, 400, 300, u"o", kDemoFlags | CentreOnParent, reinterpret_cast<NativeHandle>(parent)));
    ASSERT_TRUE(IsWindow(child));
    EXPECT_EQ(GetWindow(child, GW_OWNER), parent);
    RECT pr;
    GetWindowRect(parent, &pr);
    GetWindowRect(child, &r);
    int ex = pr.left + ((pr.right - pr.left) - (r.right - r.left)) / 2;
    int ey = pr.top + ((pr.bottom - pr.top) - (r.bottom - r.top)) / 2;
    EXPECT_EQ(r.left, ex < 0 ? 0 : ex);
    EXPECT_EQ(r.top, ey < 0 ? 0 : ey);

    // Centred on a parent well inside the screen.
    SetWindowPos(parent, nullptr, 100, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND inner = H(WindowOpen(6, 0, 0, 100, 80, u"i", kDemoFlags | CentreOnParent, reinterpret_cast<NativeHandle>(parent)));
    GetWindowRect(parent, &pr);
    GetWindowRect(inner, &r);
    EXPECT_EQ(r.left, pr.left + ((pr.right - pr.left) - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, pr.top + ((pr.bottom - pr.top) - (r.bottom - r.top)) / 2);

    // Closing an owned window hands the activation back to its owner.
    SetActiveWindow(inner);
    WindowClose(6);
    EXPECT_EQ(GetActiveWindow(), parent);
    // Closing the owner takes its owned windows with it; closing those
    // afterwards only releases their records and classes.
    WindowClose(4);
    EXPECT_FALSE(IsWindow(child));
    WindowClose(5);
    EXPECT_EQ(WindowHandle(5), 0);
    EXPECT_FALSE(ClassRegistered(L"WindowClass_5"));
}

TEST_F(WindowGui, ToolWindowStyles) {
    HWND hwnd = H(WindowOpen(1, 10, 10, 150, 60, u"tool",
                             ToolWindow | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WindowMaximise));
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_NE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, static_cast<LONG_PTR>(WS_CAPTION));
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_FALSE(IsZoomed(hwnd));
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 150);
    EXPECT_EQ(client.bottom, 60);
    MINMAXINFO info{};
    info.ptMinTrackSize.x = 100;
    EXPECT_EQ(SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.ptMinTrackSize.x, 1);
}

TEST_F(WindowGui, DynamicNumbers) {
    intptr_t number = WindowOpen(AnyNumber, 10, 10, 100, 60, u"dyn", kDemoFlags);
    ASSERT_NE(number, 0);
    HWND hwnd = H(WindowHandle(number));
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_NE(number, reinterpret_cast<intptr_t>(hwnd));
    EXPECT_EQ(ObjectTableGet(WindowTable, number), reinterpret_cast<void*>(number));
    EXPECT_EQ(ClassNameOf(hwnd), L"WindowClass_" + std::to_wstring(static_cast<long long>(number)));
    EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropW(hwnd, L"QZ_WindowID")), number + 1);
    // Its events carry the dynamic number.
    Settle();
    EventQueueClear(PendingEvents);
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    Settle(30);
    WindowClose(number);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(WindowHandle(number), 0);
}

TEST_F(WindowGui, CloseBoxRaisesCloseEventOnTheFollowingPoll) {
    struct Case {
        const char* name;
        UINT msg;
        WPARAM wParam;
    };
    const Case cases[] = {{"WM_CLOSE", WM_CLOSE, 0}, {"close box", WM_SYSCOMMAND, SC_CLOSE}};
    HWND hwnd = H(WindowOpen(0, 40, 40, 320, 200, u"Wirlo", kDemoFlags));
    ASSERT_TRUE(IsWindow(hwnd));
    for (const Case& c : cases) {
        Settle();
        EventQueueClear(PendingEvents);
        ASSERT_TRUE(PostMessageW(hwnd, c.msg, c.wParam, 0));
        // Other messages may be waiting; the poll that dispatches ours returns
        // its identifier and the very next poll returns the event.
        uint32_t r = 0;
        for (int i = 0; i < 1000 && r != c.msg; ++i) r = WindowPollEvent();
        ASSERT_EQ(r, c.msg) << c.name;
        std::vector<Event> pending = Pending();
        ASSERT_FALSE(pending.empty()) << c.name;
        EXPECT_EQ(pending.back().object, 0) << c.name;
        EXPECT_EQ(pending.back().window, 0) << c.name;
        EXPECT_EQ(WindowPollEvent(), static_cast<uint32_t>(EventCloseWindow)) << c.name;
        EXPECT_TRUE(IsWindow(hwnd)) << c.name;
        EXPECT_TRUE(IsWindowVisible(hwnd)) << c.name;
    }
}

TEST_F(WindowGui, IdenticalEventsCoalesceAndDifferentOnesAreKept) {
    HWND hwnd = H(WindowOpen(2, 40, 40, 200, 100, u"q", kDemoFlags));
    ASSERT_TRUE(IsWindow(hwnd));
    Settle();
    EventQueueClear(PendingEvents);
    SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
    SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
    SendMessageW(hwnd, WM_TIMER, 7, 0);
    SendMessageW(hwnd, WM_TIMER, 7, 0);
    SendMessageW(hwnd, WM_TIMER, 8, 0);
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(500, 0), 0);
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(501, 0), 0);
    std::vector<Event> pending = Pending();
    ASSERT_EQ(pending.size(), 5u);
    const uint32_t codes[] = {EventLeftButtonUp, EventTimerTick, EventTimerTick, EventMenuCommand, EventMenuCommand};
    const intptr_t objects[] = {0, 7, 8, 500, 501};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(pending[i].code, codes[i]) << i;
        EXPECT_EQ(pending[i].object, objects[i]) << i;
        EXPECT_EQ(pending[i].window, 2) << i;
    }
    for (uint32_t code : codes) EXPECT_EQ(WindowPollEvent(), code);
}

TEST_F(WindowGui, ClosingAWindowDropsOnlyItsEvents) {
    HWND one = H(WindowOpen(1, 10, 10, 100, 60, u"1", kDemoFlags));
    HWND two = H(WindowOpen(2, 150, 10, 100, 60, u"2", kDemoFlags));
    ASSERT_TRUE(IsWindow(one) && IsWindow(two));
    Settle();
    EventQueueClear(PendingEvents);
    SendMessageW(one, WM_LBUTTONUP, 0, 0);
    SendMessageW(two, WM_LBUTTONUP, 0, 0);
    SendMessageW(one, WM_RBUTTONUP, 0, 0);
    SendMessageW(two, WM_RBUTTONUP, 0, 0);
    SendMessageW(one, WM_LBUTTONDBLCLK, 0, 0);
    SendMessageW(two, WM_LBUTTONDBLCLK, 0, 0);
    WindowClose(1);
    std::vector<Event> pending = Pending();
    EXPECT_TRUE(CodesOf(pending, 1).empty());
    const std::vector<uint32_t> expected{EventLeftButtonUp, EventRightButtonUp, EventLeftButtonDouble};
    std::vector<uint32_t> kept = CodesOf(pending, 2);
    ASSERT_GE(kept.size(), 3u);
    EXPECT_EQ(std::vector<uint32_t>(kept.begin(), kept.begin() + 3), expected);
}

TEST_F(WindowGui, SizeEventsFollowTheWindowState) {
    HWND hwnd = H(WindowOpen(1, 20, 20, 300, 200, u"s", WS_OVERLAPPEDWINDOW | WindowMaximise));
    ASSERT_TRUE(IsZoomed(hwnd));
    auto sizeCodes = [] {
        std::vector<uint32_t> out;
        for (uint32_t c : CodesOf(Pending(), 1))
            if (c == EventWindowMinimised || c == EventWindowMaximised || c == EventWindowRestored || c == EventWindowSized)
                out.push_back(c);
        return out;
    };
    struct Step {
        const char* name;
        int command;
        std::vector<uint32_t> codes;
        int minMax;
    };
    const Step steps[] = {
        {"restore from maximised", SW_RESTORE, {EventWindowRestored, EventWindowSized}, 0},
        {"minimise", SW_MINIMIZE, {EventWindowMinimised}, 1},
        {"maximise from minimised", SW_MAXIMIZE, {EventWindowMaximised, EventWindowSized}, 1},
        {"restore again", SW_RESTORE, {EventWindowRestored, EventWindowSized}, 0},
    };
    auto* record = static_cast<WindowRecord*>(ObjectTableGet(WindowTable, 1));
    ASSERT_NE(record, nullptr);
    for (const Step& s : steps) {
        Settle();
        EventQueueClear(PendingEvents);
        ShowWindow(hwnd, s.command);
        EXPECT_EQ(sizeCodes(), s.codes) << s.name;
        EXPECT_EQ(record->minMaxState, s.minMax) << s.name;
    }
    // A plain resize of a normal window is only a size change.
    ShowWindow(hwnd, SW_RESTORE);
    Settle();
    EventQueueClear(PendingEvents);
    SetWindowPos(hwnd, nullptr, 0, 0, 250, 180, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(sizeCodes(), std::vector<uint32_t>{EventWindowSized});
}

TEST_F(WindowGui, MovesAndCommandsRaiseTheirEvents) {
    HWND hwnd = H(WindowOpen(7, 20, 20, 200, 100, u"m", kDemoFlags));
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(42)), nullptr, nullptr);
    HWND menuLike = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(-10000)), nullptr, nullptr);
    ASSERT_TRUE(child && menuLike);
    Settle();
    EventQueueClear(PendingEvents);
    SetWindowPos(hwnd, nullptr, 60, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(42, 5), reinterpret_cast<LPARAM>(child));
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(77, 5), reinterpret_cast<LPARAM>(menuLike));
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(9000, 1), 0);  // accelerator other than Tab
    SendMessageW(hwnd, TrayIconMessage, 3, WM_RBUTTONDOWN);
    SendMessageW(hwnd, TrayIconMessage, 3, WM_MOUSEMOVE);     // posts nothing
    SendMessageW(hwnd, TrayIconMessage, 4, WM_LBUTTONDBLCLK);
    struct Expect { uint32_t code; intptr_t object; int32_t data; };
    const Expect expected[] = {
        {EventWindowMoved, 7, 0},    {EventControlNotify, 42, 5}, {EventMenuCommand, 77, 0},
        {EventMenuCommand, 9000, 0}, {EventTrayIcon, 3, 1},       {EventTrayIcon, 4, 2},
    };
    std::vector<Event> pending = Pending();
    std::vector<Event> mine;
    for (const Event& e : pending)
        if (e.window == 7 && e.code != EventEraseBackground && e.code != EventWindowSized) mine.push_back(e);
    ASSERT_EQ(mine.size(), std::size(expected));
    for (size_t i = 0; i < mine.size(); ++i) {
        EXPECT_EQ(mine[i].code, expected[i].code) << i;
        EXPECT_EQ(mine[i].object, expected[i].object) << i;
        EXPECT_EQ(mine[i].data, expected[i].data) << i;
    }
    // Messages to a window that is no runtime window raise events with window -1.
    EventQueueClear(PendingEvents);
    WindowCommonHandler(GetDesktopWindow(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(WindowCommonHandler(GetDesktopWindow(), WM_TIMER, 1, 0), NotHandled);
    std::vector<Event> stray = Pending();
    ASSERT_EQ(stray.size(), 1u);
    EXPECT_EQ(stray[0].window, -1);
    EXPECT_EQ(stray[0].code, static_cast<uint32_t>(EventLeftButtonUp));
}

// A control handler installed by the control library sees control messages
// first; a claimed WM_COMMAND raises nothing.
TEST_F(WindowGui, ControlHandlerHookIsOfferedControlMessages) {
    HWND hwnd = H(WindowOpen(8, 20, 20, 200, 100, u"h", kDemoFlags));
    HWND control = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(31)), nullptr, nullptr);
    ASSERT_TRUE(control);
    static int offers;
    offers = 0;
    ControlHandlerHook = [](HWND, HWND, UINT msg, WPARAM, LPARAM) -> intptr_t {
        ++offers;
        return msg == WM_COMMAND ? 0 : 77;
    };
    Settle();
    EventQueueClear(PendingEvents);
    // Without the "QZ_ID" property the control is not one of the library's.
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(31, 2), reinterpret_cast<LPARAM>(control));
    EXPECT_EQ(offers, 0);
    EXPECT_EQ(CodesOf(Pending(), 8), std::vector<uint32_t>{EventControlNotify});
    EventQueueClear(PendingEvents);
    SetPropW(control, L"QZ_ID", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(31)));
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(31, 2), reinterpret_cast<LPARAM>(control));
    EXPECT_EQ(offers, 1);
    EXPECT_TRUE(CodesOf(Pending(), 8).empty());
    EXPECT_EQ(WindowCommonHandler(hwnd, WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(control)), 77);
    NMHDR header{control, 31, 0};
    EXPECT_EQ(WindowCommonHandler(hwnd, WM_NOTIFY, 31, reinterpret_cast<LPARAM>(&header)), 77);
    EXPECT_EQ(offers, 3);
    ControlHandlerHook = nullptr;
    EXPECT_EQ(WindowCommonHandler(hwnd, WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(control)), NotHandled);
    RemovePropW(control, L"QZ_ID");
}

TEST_F(WindowGui, ControlContainerSubclassAndProperty) {
    std::wstring property = L"QZ_GadgetStack_" + std::to_wstring(static_cast<long long>(ModuleInstanceInit()));
    HWND container = H(WindowOpen(1, 10, 10, 100, 60, u"c", kDemoFlags));
    HWND plain = H(WindowOpen(2, 10, 10, 100, 60, u"p", kDemoFlags | NoControlContainer));
    ASSERT_TRUE(container && plain);
    auto* block = static_cast<HWND*>(GetPropW(container, property.c_str()));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[0], container);
    EXPECT_NE(GetWindowLongPtrW(container, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&WindowClassProc));
    EXPECT_EQ(GetPropW(plain, property.c_str()), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(plain, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&WindowClassProc));
    // The subclass passes messages on: the class procedure still raises events.
    Settle();
    EventQueueClear(PendingEvents);
    SendMessageW(container, WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(CodesOf(Pending(), 1), std::vector<uint32_t>{EventRightButtonUp});
    // A second container replaces the first; destroying both cleans up.
    HWND next = H(WindowOpen(3, 10, 10, 100, 60, u"n", kDemoFlags));
    EXPECT_NE(GetPropW(next, property.c_str()), nullptr);
    WindowClose(1);
    WindowClose(3);
    EXPECT_FALSE(IsWindow(container));
    EXPECT_FALSE(IsWindow(next));
}

// Keys as WindowPollEvent sees them: a posted key-down with the thread's key
// state set for the modifiers.
uint32_t PressTab(HWND focus, bool shift) {
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE saved[256];
    std::copy(keys, keys + 256, saved);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_LSHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = keys[VK_MENU] = 0;
    SetKeyboardState(keys);
    PostMessageW(focus, WM_KEYDOWN, VK_TAB, 0x000F0001);
    uint32_t r = 0;
    for (int i = 0; i < 1000 && r != WM_KEYDOWN; ++i) r = WindowPollEvent();
    SetKeyboardState(saved);
    return r;
}

TEST_F(WindowGui, TabAndShiftTabMoveTheFocusAmongTabStops) {
    HWND hwnd = H(WindowOpen(0, 30, 30, 300, 200, u"tabs", kDemoFlags));
    ASSERT_TRUE(IsWindow(hwnd));
    HWND stops[3];
    for (int i = 0; i < 3; ++i) {
        stops[i] = CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10 + 40 * i, 80, 30,
                                   hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), nullptr, nullptr);
        ASSERT_TRUE(stops[i]);
    }
    // Neither a disabled, a hidden nor a non-tab-stop child is a candidate.
    HWND disabled = CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_DISABLED, 100, 10, 50, 20,
                                    hwnd, nullptr, nullptr, nullptr);
    HWND hidden = CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | WS_TABSTOP, 100, 40, 50, 20, hwnd, nullptr, nullptr, nullptr);
    HWND noStop = CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | WS_VISIBLE, 100, 70, 50, 20, hwnd, nullptr, nullptr, nullptr);
    ASSERT_TRUE(disabled && hidden && noStop);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    Settle();
    ASSERT_EQ(GetActiveWindow(), hwnd);

    struct Case {
        const char* name;
        int from;  // index of the focused stop, -1: the window itself
        bool shift;
        int to;
    };
    const Case cases[] = {
        {"Tab from the last wraps to the first", 2, false, 0},
        {"Shift+Tab from the last", 2, true, 1},
        {"Tab from the first", 0, false, 1},
        {"Shift+Tab from the first wraps to the last", 0, true, 2},
        {"Tab with the focus outside the stops", -1, false, 0},
        {"Shift+Tab with the focus outside the stops", -1, true, 2},
    };
    for (const Case& c : cases) {
        HWND from = c.from >= 0 ? stops[c.from] : hwnd;
        SetFocus(from);
        ASSERT_EQ(GetFocus(), from) << c.name;
        EXPECT_EQ(PressTab(from, c.shift), static_cast<uint32_t>(WM_KEYDOWN)) << c.name;
        EXPECT_EQ(GetFocus(), stops[c.to]) << c.name;
    }
    // Focus on a child that is not a tab stop: Tab stays put.
    SetFocus(noStop);
    PressTab(noStop, false);
    EXPECT_EQ(GetFocus(), noStop);
    // The commands work when sent directly too.
    SetFocus(stops[1]);
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(CommandFocusNext, 1), 0);
    EXPECT_EQ(GetFocus(), stops[2]);
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(CommandFocusPrevious, 1), 0);
    EXPECT_EQ(GetFocus(), stops[1]);
    // Tab stops raise no events.
    for (const Event& e : Pending()) EXPECT_NE(e.code, static_cast<uint32_t>(EventMenuCommand));
}

TEST_F(WindowGui, TabWithoutTabStopsDoesNothing) {
    HWND hwnd = H(WindowOpen(0, 30, 30, 200, 100, u"none", kDemoFlags));
    HWND child = CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, hwnd, nullptr, nullptr, nullptr);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    Settle();
    SetFocus(child);
    EXPECT_EQ(PressTab(child, false), static_cast<uint32_t>(WM_KEYDOWN));
    EXPECT_EQ(GetFocus(), child);
    EXPECT_EQ(PressTab(child, true), static_cast<uint32_t>(WM_KEYDOWN));
    EXPECT_EQ(GetFocus(), child);
}

TEST_F(WindowGui, ActivationRemembersTheFocus) {
    HWND a = H(WindowOpen(1, 10, 10, 200, 100, u"a", kDemoFlags));
    HWND b = H(WindowOpen(2, 250, 10, 200, 100, u"b", kDemoFlags));
    HWND button = CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 50, 20, a, nullptr, nullptr, nullptr);
    SetActiveWindow(a);
    SetFocus(button);
    Settle();
    EventQueueClear(PendingEvents);
    SetActiveWindow(b);
    EXPECT_EQ(GetPropW(a, L"QZ_Focus"), button);
    EXPECT_EQ(CodesOf(Pending(), 1), std::vector<uint32_t>{EventWindowDeactivated});
    std::vector<uint32_t> ofB = CodesOf(Pending(), 2);
    EXPECT_NE(std::find(ofB.begin(), ofB.end(), static_cast<uint32_t>(EventWindowActivated)), ofB.end());
    SetActiveWindow(a);
    EXPECT_EQ(GetFocus(), button);
}

TEST_F(WindowGui, FailedOpensLeaveNothingBehind) {
    HWND bogusParent = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF1234));
    struct Case { const char* name; ObjectNumber number; HWND parent; };
    const Case cases[] = {{"invalid number", -5, nullptr}, {"invalid owner", 9, bogusParent}, {"dynamic, invalid owner", AnyNumber, bogusParent}};
    for (const Case& c : cases) {
        EXPECT_EQ(WindowOpen(c.number, 0, 0, 50, 50, u"x", kDemoFlags, reinterpret_cast<NativeHandle>(c.parent)), 0) << c.name;
        EXPECT_EQ(ObjectTableFirst(WindowTable, nullptr), nullptr) << c.name;
    }
    EXPECT_FALSE(ClassRegistered(L"WindowClass_9"));
    EXPECT_FALSE(ClassRegistered(L"WindowClass_-5"));
}

// Writable rich-edit controls keep Tab, hot-key controls get no accelerators,
// and only runtime windows have a table.
TEST_F(WindowGui, AcceleratorChoice) {
    HWND hwnd = H(WindowOpen(0, 30, 30, 300, 200, u"acc", kDemoFlags));
    LoadLibraryW(L"riched20.dll");
    HWND rich = CreateWindowExW(0, L"RichEdit20W", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 100, 40, hwnd, nullptr, nullptr, nullptr);
    HWND button = CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 60, 80, 30, hwnd, nullptr, nullptr, nullptr);
    ASSERT_TRUE(rich && button);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    Settle();
    HACCEL table = reinterpret_cast<HACCEL>(static_cast<WindowRecord*>(ObjectTableGet(WindowTable, 0))->accelTable);
    BYTE saved[256], keys[256];
    GetKeyboardState(saved);
    struct Case { const char* name; HWND focus; bool readOnly, hotkey, tabDown, shiftDown; HWND active; bool expectTable; };
    const Case cases[] = {
        {"button", button, false, false, true, false, hwnd, true},
        {"writable rich edit", rich, false, false, true, false, hwnd, false},
        {"writable rich edit, Shift+Tab", rich, false, false, true, true, hwnd, true},
        {"read-only rich edit", rich, true, false, true, false, hwnd, true},
        {"hot-key control", button, false, true, true, false, hwnd, false},
        {"no active window", button, false, false, true, false, nullptr, false},
        {"not a runtime window", button, false, false, true, false, H(EventPostWindow()), false},
    };
    for (const Case& c : cases) {
        SetFocus(c.focus);
        SendMessageW(rich, EM_SETOPTIONS, c.readOnly ? ECOOP_OR : ECOOP_AND, c.readOnly ? ECO_READONLY : ~ECO_READONLY);
        if (c.hotkey) SetPropW(c.focus, L"QZ_Hotkey", reinterpret_cast<HANDLE>(1));
        std::copy(saved, saved + 256, keys);
        keys[VK_TAB] = c.tabDown ? 0x80 : 0;
        keys[VK_SHIFT] = c.shiftDown ? 0x80 : 0;
        SetKeyboardState(keys);
        EXPECT_EQ(WindowChooseAccelerators(c.active), c.expectTable ? table : nullptr) << c.name;
        SetKeyboardState(saved);
        RemovePropW(c.focus, L"QZ_Hotkey");
    }
}

// Showing or hiding keyboard cues asks for a change only when the window's
// state differs from the wanted one.
LRESULT cueState;
std::vector<WPARAM> cueChanges;
LRESULT CALLBACK CueProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_QUERYUISTATE) return cueState;
    if (msg == WM_CHANGEUISTATE) {
        cueChanges.push_back(wParam);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_F(WindowGui, KeyboardCues) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &CueProbeProc;
    wc.hInstance = reinterpret_cast<HINSTANCE>(ModuleInstanceInit());
    wc.lpszClassName = L"CueProbe";
    RegisterClassW(&wc);
    HWND probe = CreateWindowExW(0, L"CueProbe", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(probe);
    struct Case { LRESULT state; bool show; std::vector<WPARAM> sent; };
    const Case cases[] = {
        {0, true, {}}, {1, true, {0x30002}}, {2, true, {0x30002}}, {3, true, {0x30002}}, {4, true, {}},
        {0, false, {0x30001}}, {1, false, {0x30001}}, {2, false, {0x30001}}, {3, false, {}}, {7, false, {}},
    };
    for (const Case& c : cases) {
        cueState = c.state;
        cueChanges.clear();
        if (c.show) WindowShowKeyboardCues(probe);
        else WindowHideKeyboardCues(probe);
        EXPECT_EQ(cueChanges, c.sent) << "state " << c.state << (c.show ? " show" : " hide");
    }
    // A modifier held while polling shows the cues of the active window.
    BYTE saved[256], keys[256];
    GetKeyboardState(saved);
    std::copy(saved, saved + 256, keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    cueState = 3;
    cueChanges.clear();
    WindowChooseAccelerators(probe);
    SetKeyboardState(saved);
    EXPECT_EQ(cueChanges, std::vector<WPARAM>{0x30002});
    DestroyWindow(probe);
    UnregisterClassW(L"CueProbe", wc.hInstance);
}

TEST_F(WindowGui, EmptyQueuesPollZeroAtOnce) {
    HWND hwnd = H(WindowOpen(0, 30, 30, 200, 100, u"e", kDemoFlags));
    ASSERT_TRUE(IsWindow(hwnd));
    Settle();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EventQueueClear(PendingEvents);
    EXPECT_EQ(WindowPollEvent(), 0u);
    EXPECT_EQ(WindowPollEvent(), 0u);
}

TEST_F(WindowGui, EventsPostedFromAnotherThreadArriveThroughTheReceiver) {
    ASSERT_NE(EventPostWindow(), 0);
    ASSERT_NE(EventPostMessage(), 0u);
    wchar_t cls[32];
    GetClassNameW(H(EventPostWindow()), cls, 32);
    EXPECT_EQ(std::wstring(cls), L"PostEventClass");
    EXPECT_FALSE(IsWindowVisible(H(EventPostWindow())));
    EXPECT_EQ(RegisterWindowMessageW(L"QZ_PostEventMessage"), EventPostMessage());
    bool posted = false;
    std::thread sender([&] { posted = EventPostAcrossThreads(EventTimerTick, 5, 9, 11, 1); });
    sender.join();
    ASSERT_TRUE(posted);
    uint32_t r = 0;
    for (int i = 0; i < 1000 && r != EventPostMessage(); ++i) r = WindowPollEvent();
    EXPECT_EQ(r, EventPostMessage());
    std::vector<Event> pending = Pending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].code, static_cast<uint32_t>(EventTimerTick));
    EXPECT_EQ(pending[0].object, 5);
    EXPECT_EQ(pending[0].window, 9);
    EXPECT_EQ(pending[0].data, 11);
    EXPECT_EQ(WindowPollEvent(), static_cast<uint32_t>(EventTimerTick));
}

TEST_F(WindowGui, LibraryEndClosesEveryWindow) {
    HWND a = H(WindowOpen(0, 10, 10, 80, 40, u"a", kDemoFlags));
    HWND b = H(WindowOpen(5, 10, 10, 80, 40, u"b", kDemoFlags));
    intptr_t dynamic = WindowOpen(AnyNumber, 10, 10, 80, 40, u"c", kDemoFlags);
    HWND c = H(WindowHandle(dynamic));
    ASSERT_TRUE(a && b && c);
    WindowLibEnd();
    EXPECT_FALSE(IsWindow(a));
    EXPECT_FALSE(IsWindow(b));
    EXPECT_FALSE(IsWindow(c));
    EXPECT_EQ(WindowHandle(0), 0);
    EXPECT_EQ(WindowHandle(dynamic), 0);
    EXPECT_FALSE(ClassRegistered(L"WindowClass_5"));
    // The library stays usable.
    EXPECT_NE(WindowOpen(0, 10, 10, 80, 40, u"again", kDemoFlags), 0);
}

}  // namespace
