// The windowed screen in a plain Win32 window: set-up, the back buffer as a
// GDI drawing target, presentation and device-loss recovery. Needs a display.
#include <gtest/gtest.h>
#include <windows.h>
#include <d3d9.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "runtime/core/object_table.h"
#include "runtime/drawing/canvas.h"
#include "runtime/drawing/gdi/drawing_library_win.h"
#include "runtime/drawing/gdi/gdi_canvas.h"
#include "runtime/drawing/image.h"
#include "runtime/screen/screen.h"
#include "runtime/screen/screen_state_win.h"

namespace {

constexpr Color kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

int parentMessages = 0;

LRESULT CALLBACK ParentTestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 5) {
        ++parentMessages;
        return 77;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeParent(int clientWidth = 800, int clientHeight = 600) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ParentTestProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ScreenTestParent";
        registered = RegisterClassExW(&windowClass) != 0;
    }
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    HWND window = CreateWindowExW(0, L"ScreenTestParent", L"screen test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    return window;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

NativeHandle Native(HWND window) { return reinterpret_cast<NativeHandle>(window); }

// Desktop formats the screen is tested in (its back buffer takes the
// desktop's): depth, pixel-format code, bytes per pixel, and the raw pixel
// of pure red with the bits that hold colour.
struct DesktopFormat {
    D3DFORMAT format;
    int depth, code, bytes;
    uint32_t red, colourBits;
};
constexpr DesktopFormat kDesktopFormats[] = {
    {D3DFMT_X8R8G8B8, 32, 0x40, 4, 0xFF0000, 0xFFFFFF},
    {D3DFMT_R5G6B5, 16, 0x04, 2, 0xF800, 0xFFFF},
};

// Reads the back buffer's pixels (after the Canvas has given it back).
struct BackBufferView {
    D3DLOCKED_RECT locked{};
    bool ok = false;
    BackBufferView() { ok = Screen.backBuffer && SUCCEEDED(Screen.backBuffer->LockRect(&locked, nullptr, D3DLOCK_READONLY)); }
    ~BackBufferView() {
        if (ok) Screen.backBuffer->UnlockRect();
    }
    uint32_t Raw(int x, int y, int bytes = 4) const {
        uint32_t value = 0;
        memcpy(&value, static_cast<const uint8_t*>(locked.pBits) + y * locked.Pitch + x * bytes, bytes);
        return value;
    }
    // COLORREF of an X8R8G8B8 pixel.
    Color At(int x, int y) const {
        uint32_t p = Raw(x, y);
        return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
    }
};

class ScreenTest : public ::testing::Test {
protected:
    HWND parent = nullptr;
    const DesktopFormat* desktop = nullptr;
    static void SetUpTestSuite() {
        DrawingLibraryInit();
        ImagesInit();
    }
    void SetUp() override {
        if (!GraphicsInit()) GTEST_SKIP() << "no Direct3D 9 here";
        D3DDISPLAYMODE mode{};
        ASSERT_EQ(Screen.direct3d->GetAdapterDisplayMode(0, &mode), D3D_OK);
        for (const DesktopFormat& known : kDesktopFormats)
            if (known.format == mode.Format) desktop = &known;
        if (!desktop) GTEST_SKIP() << "desktop format " << mode.Format << " is not one these tests know";
        parent = MakeParent();
        ASSERT_NE(parent, nullptr);
        Pump();
    }
    void TearDown() override {
        CanvasEnd();
        ScreenClose();
        if (parent) DestroyWindow(parent);
        Pump();
    }
    void Open() { ASSERT_EQ(ScreenOpenWindowed(Native(parent), 0, 0, 800, 600, 0, 0, 0), 1); }
};

// Tests that read colours back exactly: they need a 32-bit desktop.
class TrueColourScreenTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        if (desktop->format != D3DFMT_X8R8G8B8) GTEST_SKIP() << "the desktop is not X8R8G8B8";
    }
};

TEST_F(ScreenTest, GraphicsInitMakesTheHiddenWindowOnce) {
    intptr_t first = GraphicsInit();
    EXPECT_NE(first, 0);
    EXPECT_EQ(GraphicsInit(), first);
    EXPECT_EQ(reinterpret_cast<intptr_t>(ScreenSpriteTable()), first);
    HWND hidden = ScreenHiddenWindow();
    ASSERT_NE(hidden, nullptr);
    wchar_t name[64] = {};
    GetClassNameW(hidden, name, 64);
    EXPECT_STREQ(name, L"MultimediaBase Class");
    RECT r{};
    GetWindowRect(hidden, &r);
    EXPECT_EQ(r.right - r.left, 1);
    EXPECT_EQ(r.bottom - r.top, 1);
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_NE(Screen.direct3d, nullptr);
    // The hidden window is never destroyed by a close request.
    EXPECT_EQ(SendMessageW(hidden, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(hidden));
}

TEST_F(ScreenTest, HiddenWindowActivationDrivesUsabilityWithoutAWindowedScreen) {
    HWND hidden = ScreenHiddenWindow();
    SendMessageW(hidden, WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(Screen.deviceUsable, 0);
    SendMessageW(hidden, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(Screen.deviceUsable, 1);
    Open();
    SendMessageW(hidden, WM_ACTIVATE, WA_INACTIVE, 0);  // a windowed screen ignores it
    EXPECT_EQ(Screen.deviceUsable, 1);
}

TEST_F(ScreenTest, OpenRefusesANullParent) {
    EXPECT_EQ(ScreenOpenWindowed(0, 0, 0, 800, 600, 0, 0, 0), 0);
    EXPECT_EQ(Screen.isOpen, 0);
    EXPECT_EQ(Screen.childWindow, nullptr);
    ScreenClose();  // nothing open: nothing happens
    EXPECT_EQ(Screen.isOpen, 0);
}

TEST_F(ScreenTest, FailedOpenLeavesNoChildBehind) {
    Open();
    HWND gone = MakeParent(100, 100);
    DestroyWindow(gone);
    EXPECT_EQ(ScreenOpenWindowed(Native(gone), 0, 0, 100, 100, 0, 0, 0), 0);
    EXPECT_EQ(Screen.isOpen, 0);        // the first screen was closed first
    EXPECT_EQ(Screen.isWindowed, 0);
    EXPECT_EQ(Screen.childWindow, nullptr);
    EXPECT_EQ(Screen.device, nullptr);
    EXPECT_EQ(Screen.bufferWidth, 0);
    EXPECT_EQ(ScreenFlip(), 1);         // nothing to present
    EXPECT_EQ(ScreenCanvas(), nullptr);
    // A later open works as usual.
    Open();
    EXPECT_EQ(Screen.isOpen, 1);
}

TEST_F(ScreenTest, OpenMakesAStaticChildAndABlackBackBuffer) {
    Open();
    EXPECT_EQ(Screen.isOpen, 1);
    EXPECT_EQ(Screen.isWindowed, 1);
    EXPECT_EQ(Screen.deviceUsable, 1);
    EXPECT_EQ(Screen.parentWindow, parent);
    HWND child = Screen.childWindow;
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), parent);
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    EXPECT_EQ(_wcsicmp(name, L"STATIC"), 0);
    RECT client{};
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    POINT origin{0, 0};
    MapWindowPoints(child, parent, &origin, 1);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    EXPECT_EQ(GetWindowLongW(child, GWL_STYLE) & (WS_BORDER | WS_CAPTION), 0);

    const D3DPRESENT_PARAMETERS& p = Screen.presentParams;
    EXPECT_EQ(p.BackBufferWidth, 800u);
    EXPECT_EQ(p.BackBufferHeight, 600u);
    EXPECT_EQ(p.BackBufferCount, 1u);
    EXPECT_EQ(p.SwapEffect, D3DSWAPEFFECT_COPY);
    EXPECT_EQ(p.hDeviceWindow, child);
    EXPECT_TRUE(p.Windowed);
    EXPECT_FALSE(p.EnableAutoDepthStencil);
    EXPECT_EQ(p.Flags, static_cast<DWORD>(D3DPRESENTFLAG_LOCKABLE_BACKBUFFER));
    EXPECT_EQ(p.PresentationInterval, static_cast<UINT>(D3DPRESENT_INTERVAL_ONE));
    EXPECT_EQ(p.BackBufferFormat, desktop->format);
    EXPECT_EQ(Screen.screenDepth, desktop->depth);
    EXPECT_EQ(Screen.screenPixelFormat, desktop->code);
    // A run on a display of known depth names it (run-tests.sh has one of 16 bits).
    if (const char* depth = std::getenv("WIRLO_DESKTOP_DEPTH")) {
        EXPECT_EQ(Screen.screenDepth, std::atoi(depth));
    }
    EXPECT_EQ(Screen.bufferWidth, 800);
    EXPECT_EQ(Screen.outputHeight, 600);

    D3DDEVICE_CREATION_PARAMETERS creation{};
    ASSERT_EQ(Screen.device->GetCreationParameters(&creation), D3D_OK);
    EXPECT_TRUE(creation.BehaviorFlags & D3DCREATE_FPU_PRESERVE);
    EXPECT_EQ(creation.hFocusWindow, child);

    EXPECT_EQ(GetPropW(parent, L"qz_dxsize"), reinterpret_cast<HANDLE>(1));
    BackBufferView view;
    ASSERT_TRUE(view.ok);
    for (int y : {0, 299, 599})
        for (int x : {0, 400, 799}) EXPECT_EQ(view.Raw(x, y, desktop->bytes) & desktop->colourBits, 0u) << x << "," << y;
}

TEST_F(ScreenTest, ImmediatePresentationWhenVsyncIsOff) {
    ASSERT_EQ(ScreenOpenWindowed(Native(parent), 0, 0, 320, 200, 0, 0, 0, 0), 1);
    EXPECT_EQ(Screen.presentParams.PresentationInterval, static_cast<UINT>(D3DPRESENT_INTERVAL_IMMEDIATE));
}

TEST_F(ScreenTest, ReopeningClosesTheFirstScreenAndSubclassesTheParentOnce) {
    Open();
    HWND firstChild = Screen.childWindow;
    LONG_PTR procAfterFirst = GetWindowLongPtrW(parent, GWLP_WNDPROC);
    ASSERT_EQ(ScreenOpenWindowed(Native(parent), 10, 20, 640, 480, 0, 0, 0), 1);
    EXPECT_FALSE(IsWindow(firstChild));
    EXPECT_NE(Screen.childWindow, firstChild);
    EXPECT_EQ(GetWindowLongPtrW(parent, GWLP_WNDPROC), procAfterFirst);
    // Messages still reach the parent's own procedure exactly once.
    parentMessages = 0;
    EXPECT_EQ(SendMessageW(parent, WM_USER + 5, 0, 0), 77);
    EXPECT_EQ(parentMessages, 1);
    POINT origin{0, 0};
    MapWindowPoints(Screen.childWindow, parent, &origin, 1);
    EXPECT_EQ(origin.x, 10);
    EXPECT_EQ(origin.y, 20);
    EXPECT_EQ(Screen.bufferWidth, 640);
}

TEST_F(ScreenTest, CloseReleasesEverythingAndKeepsTheParentWorking) {
    Open();
    HWND child = Screen.childWindow;
    ScreenClose();
    EXPECT_EQ(Screen.isOpen, 0);
    EXPECT_EQ(Screen.isWindowed, 0);
    EXPECT_EQ(Screen.device, nullptr);
    EXPECT_EQ(Screen.backBuffer, nullptr);
    EXPECT_EQ(Screen.childWindow, nullptr);
    EXPECT_EQ(Screen.bufferWidth, 0);
    EXPECT_EQ(Screen.screenDepth, 0);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_NE(Screen.direct3d, nullptr);  // Direct3D stays for the process
    parentMessages = 0;
    SendMessageW(parent, WM_SIZE, 0, MAKELPARAM(100, 100));
    EXPECT_EQ(SendMessageW(parent, WM_USER + 5, 0, 0), 77);
    EXPECT_EQ(parentMessages, 1);
    EXPECT_EQ(ScreenCanvas(), nullptr);
    EXPECT_EQ(CurrentCanvas, nullptr);
    ScreenClose();
}

TEST_F(ScreenTest, AutoStretchFollowsTheParentsSize) {
    ASSERT_EQ(ScreenOpenWindowed(Native(parent), 5, 6, 400, 300, 1, 10, 20), 1);
    RECT client{};
    GetClientRect(Screen.childWindow, &client);
    EXPECT_EQ(client.right, 800 - 10 - 5);
    EXPECT_EQ(client.bottom, 600 - 20 - 6);
    RECT frame{0, 0, 500, 400};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SetWindowPos(parent, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    GetClientRect(Screen.childWindow, &client);
    EXPECT_EQ(client.right, 500 - 10 - 5);
    EXPECT_EQ(client.bottom, 400 - 20 - 6);
    // The back buffer keeps its size; presentation stretches it.
    EXPECT_EQ(Screen.bufferWidth, 400);
    EXPECT_EQ(Screen.presentParams.BackBufferWidth, 400u);
    EXPECT_EQ(ScreenFlip(), 1);
    EXPECT_EQ(Screen.deviceUsable, 1);
}

TEST_F(ScreenTest, ScreenCanvasDescribesTheBackBuffer) {
    Open();
    Canvas* canvas = ScreenCanvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(CurrentCanvas, canvas);
    EXPECT_EQ(canvas->gdi.gdiKind, GdiKindScreen);
    EXPECT_EQ(canvas->width, 800);
    EXPECT_EQ(canvas->height, 600);
    EXPECT_EQ(canvas->depth, desktop->depth);
    EXPECT_EQ(canvas->gdi.surfacePixelFormat, desktop->code);
    EXPECT_EQ(canvas->gdi.grabAs24, 1);
    EXPECT_EQ(canvas->gdi.lockedBits, nullptr);
    EXPECT_NE(canvas->gdi.dc, 0);
    EXPECT_NE(CanvasBegin(canvas), 0);
    canvas->plotColor(canvas, 5, 7, kRed);  // written in the back buffer's own format
    CanvasEnd();
    // Neither the DC nor the lock is held any more: a lock succeeds.
    BackBufferView view;
    ASSERT_TRUE(view.ok);
    EXPECT_EQ(view.Raw(5, 7, desktop->bytes) & desktop->colourBits, desktop->red);
    EXPECT_EQ(view.Raw(6, 7, desktop->bytes) & desktop->colourBits, 0u);
}

TEST_F(ScreenTest, HooksSwitchBetweenDcAndLock) {
    Open();
    Canvas* canvas = ScreenCanvas();
    ASSERT_NE(CanvasBegin(canvas), 0);
    void* bits = canvas->bufferAddress(canvas);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(canvas->gdi.dc, 0);
    EXPECT_GE(canvas->bufferPitch(canvas), 800 * desktop->bytes);
    canvas->plot(canvas, 1, 1);  // takes the DC back: unlocks first
    EXPECT_EQ(canvas->gdi.lockedBits, nullptr);
    EXPECT_NE(canvas->gdi.dc, 0);
    CanvasEnd();
    {
        BackBufferView view;
        EXPECT_TRUE(view.ok);
    }
    // Ending while locked unlocks too.
    canvas = ScreenCanvas();
    ASSERT_NE(CanvasBegin(canvas), 0);
    ASSERT_NE(canvas->bufferAddress(canvas), nullptr);
    CanvasEnd();
    BackBufferView view;
    EXPECT_TRUE(view.ok);
}

TEST_F(TrueColourScreenTest, GdiCasesOnTheBackBuffer) {
    Open();
    HBITMAP image = nullptr;
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, 6, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        image = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(image, nullptr);
        for (int i = 0; i < 48; ++i) static_cast<uint32_t*>(bits)[i] = 0xFF00F0F0;  // COLORREF 0xF0F000, opaque
    }
    HBITMAP alphaImage = nullptr;
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        alphaImage = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(alphaImage, nullptr);
        for (int i = 0; i < 4; ++i) static_cast<uint32_t*>(bits)[i] = 0x800000C8;  // blue 200, alpha 128
    }
    Canvas* canvas = ScreenCanvas();
    ASSERT_NE(CanvasBegin(canvas), 0);
    CanvasLine(10, 10, 20, 10, kRed);                  // both ends
    canvas->box(canvas, 50, 50, -1, -1);                // one pixel at (49, 49)
    canvas->drawImageSized(canvas, reinterpret_cast<NativeHandle>(image), 100, 100, 0, 77);  // own size
    canvas->setFrontColor(canvas, kGreen);
    canvas->frontColor = kGreen;
    canvas->box(canvas, 200, 200, 8, 6);
    canvas->setMode(canvas, GdiModeInvert);
    canvas->drawImage(canvas, reinterpret_cast<NativeHandle>(image), 200, 200);  // XOR with green
    canvas->setMode(canvas, 0);
    canvas->drawAlphaImage(canvas, reinterpret_cast<NativeHandle>(image), 300, 300, 0);    // nothing
    canvas->drawAlphaImage(canvas, reinterpret_cast<NativeHandle>(image), 310, 300, 255);  // copy
    canvas->drawAlphaImage(canvas, reinterpret_cast<NativeHandle>(alphaImage), 400, 400, 255);
    canvas->plotColor(canvas, 500, 500, kRed);          // straight into the locked surface
    EXPECT_EQ(canvas->gdi.dcState, -1);
    CanvasLine(600, 10, 610, 10, kBlue);                // takes the DC back, state re-applied
    EXPECT_EQ(canvas->gdi.dcState, 1);
    // Inverting mode survives giving the DC up and taking it back.
    canvas->setMode(canvas, GdiModeInvert);
    canvas->box(canvas, 700, 100, 20, 20);              // inverted black: white
    ASSERT_NE(canvas->bufferAddress(canvas), nullptr);
    canvas->line(canvas, 700, 110, 719, 110);           // inverted again: black, end pixel blue
    HDC dc = reinterpret_cast<HDC>(canvas->gdi.dc);
    EXPECT_EQ(GetROP2(dc), R2_NOT);
    EXPECT_EQ(GetTextColor(dc), kBlue);
    EXPECT_EQ(GetTextAlign(dc) & TA_UPDATECP, static_cast<UINT>(TA_UPDATECP));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), reinterpret_cast<HGDIOBJ>(canvas->gdi.pen));
    CanvasEnd();
    DeleteObject(image);
    DeleteObject(alphaImage);

    BackBufferView view;
    ASSERT_TRUE(view.ok);
    EXPECT_EQ(view.At(9, 10), 0u);
    EXPECT_EQ(view.At(10, 10), kRed);
    EXPECT_EQ(view.At(20, 10), kRed);
    EXPECT_EQ(view.At(21, 10), 0u);
    EXPECT_EQ(view.At(49, 49), kRed);
    EXPECT_EQ(view.At(50, 50), 0u);
    EXPECT_EQ(view.At(48, 48), 0u);
    EXPECT_EQ(view.At(107, 105), 0xF0F000u);
    EXPECT_EQ(view.At(108, 105), 0u);
    EXPECT_EQ(view.At(107, 106), 0u);
    EXPECT_EQ(view.At(203, 203), 0xF0F000u ^ kGreen);
    EXPECT_EQ(view.At(300, 300), 0u);
    EXPECT_EQ(view.At(310, 300), 0xF0F000u);
    EXPECT_EQ(view.At(401, 401), 0x640000u);            // (200 * 128) >> 8 = 100
    EXPECT_EQ(view.Raw(500, 500), 0xFFFF0000u);
    EXPECT_EQ(view.At(600, 10), kBlue);
    EXPECT_EQ(view.At(610, 10), kBlue);
    EXPECT_EQ(view.At(705, 105), kWhite);
    EXPECT_EQ(view.At(705, 110), 0u);
    EXPECT_EQ(view.At(719, 110), kBlue);
}

TEST_F(TrueColourScreenTest, GrabsFromTheScreenAreTwentyFourBitImages) {
    Open();
    Canvas* canvas = ScreenCanvas();
    ASSERT_NE(CanvasBegin(canvas), 0);
    CanvasLine(10, 10, 20, 10, kRed);
    ASSERT_NE(canvas->bufferAddress(canvas), nullptr);  // the grab takes the DC back
    intptr_t handle = canvas->grabImage(canvas, 7, 10, 10, 11, 2);
    CanvasEnd();
    ASSERT_NE(handle, 0);
    EXPECT_EQ(ImageHandle(7), handle);
    auto* record = static_cast<ImageRecord*>(ObjectTableGet(ImageTable, 7));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->width, 11);
    EXPECT_EQ(record->height, 2);
    EXPECT_EQ(record->depth, 24);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(reinterpret_cast<HGDIOBJ>(handle), sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
    // Bottom-up rows: the grabbed top row (the line) is the last stored row.
    const uint8_t* top = static_cast<const uint8_t*>(section.dsBm.bmBits) + section.dsBm.bmWidthBytes;
    for (int x = 0; x < 11; ++x) {
        EXPECT_EQ(top[x * 3 + 2], 0xFF) << x;
        EXPECT_EQ(top[x * 3 + 0], 0x00) << x;
    }
    ImageFree(7);
}

TEST_F(ScreenTest, FlipPresentsAndPacesNothingWhenNoScreenIsOpen) {
    // No screen: messages of the thread are pumped, nothing is presented.
    PostMessageW(parent, WM_USER + 5, 0, 0);
    parentMessages = 0;
    EXPECT_EQ(ScreenFlip(), 1);
    EXPECT_EQ(parentMessages, 1);
    Open();
    Canvas* canvas = ScreenCanvas();
    ASSERT_NE(CanvasBegin(canvas), 0);
    canvas->setFrontColor(canvas, kWhite);
    canvas->box(canvas, 0, 0, 800, 600);
    CanvasEnd();
    EXPECT_EQ(ScreenFlip(), 1);
    EXPECT_EQ(Screen.deviceUsable, 1);
    // With a windowed screen the flip pumps nothing.
    PostMessageW(parent, WM_USER + 5, 0, 0);
    parentMessages = 0;
    EXPECT_EQ(ScreenFlip(), 1);
    EXPECT_EQ(parentMessages, 0);
    Pump();
    EXPECT_EQ(parentMessages, 1);
}

// ---- device loss, through a device whose status calls are scripted ----

struct ScriptedDevice {
    void** vtable;
    IDirect3DDevice9* real;
    HRESULT lostUntilTick;   // 0: not lost
    DWORD lostUntil;
    HRESULT afterLoss;       // status once the loss is over
    HRESULT resetResult;
    int resets = 0, presents = 0, tests = 0;
    RECT lastSource{}, lastDestination{};
};

void* scriptedTable[119];
ScriptedDevice* scripted = nullptr;

HRESULT STDMETHODCALLTYPE ScriptedTest(IDirect3DDevice9*) {
    ++scripted->tests;
    if (scripted->lostUntilTick && GetTickCount() < scripted->lostUntil) return scripted->lostUntilTick;
    return scripted->afterLoss;
}
HRESULT STDMETHODCALLTYPE ScriptedReset(IDirect3DDevice9*, D3DPRESENT_PARAMETERS*) {
    ++scripted->resets;
    if (scripted->resetResult == D3D_OK) scripted->afterLoss = D3D_OK;
    return scripted->resetResult;
}
HRESULT STDMETHODCALLTYPE ScriptedPresent(IDirect3DDevice9*, const RECT* source, const RECT* destination, HWND,
                                           const RGNDATA*) {
    ++scripted->presents;
    if (source) scripted->lastSource = *source;
    if (destination) scripted->lastDestination = *destination;
    return D3D_OK;
}
HRESULT STDMETHODCALLTYPE ScriptedBackBuffer(IDirect3DDevice9*, UINT chain, UINT index, D3DBACKBUFFER_TYPE type,
                                              IDirect3DSurface9** surface) {
    return scripted->real->GetBackBuffer(chain, index, type, surface);
}

class DeviceLossTest : public ScreenTest {
protected:
    ScriptedDevice device{};
    void Script(HRESULT lostStatus, DWORD lostFor, HRESULT afterLoss, HRESULT resetResult, bool stretch = false) {
        if (stretch)
            ASSERT_EQ(ScreenOpenWindowed(Native(parent), 0, 0, 800, 600, 1, 0, 0), 1);
        else
            Open();
        device.real = Screen.device;
        void** realTable = *reinterpret_cast<void***>(Screen.device);
        memcpy(scriptedTable, realTable, sizeof scriptedTable);
        scriptedTable[3] = reinterpret_cast<void*>(ScriptedTest);
        scriptedTable[16] = reinterpret_cast<void*>(ScriptedReset);
        scriptedTable[17] = reinterpret_cast<void*>(ScriptedPresent);
        scriptedTable[18] = reinterpret_cast<void*>(ScriptedBackBuffer);
        device.vtable = scriptedTable;
        device.lostUntilTick = lostStatus;
        device.lostUntil = GetTickCount() + lostFor;
        device.afterLoss = afterLoss;
        device.resetResult = resetResult;
        scripted = &device;
        Screen.device = reinterpret_cast<IDirect3DDevice9*>(&device);
    }
    void TearDown() override {
        if (scripted) Screen.device = device.real;
        scripted = nullptr;
        ScreenTest::TearDown();
    }
};

TEST_F(DeviceLossTest, PresentsTheWholeBufferIntoTheChild) {
    Script(0, 0, D3D_OK, D3D_OK);
    EXPECT_EQ(ScreenFlip(), 1);
    EXPECT_EQ(device.presents, 1);
    EXPECT_EQ(device.resets, 0);
    EXPECT_EQ(device.lastSource.right, 800);
    EXPECT_EQ(device.lastSource.bottom, 600);
    EXPECT_EQ(device.lastDestination.right, 800);
    EXPECT_EQ(device.lastDestination.bottom, 600);
}

TEST_F(DeviceLossTest, ResizedParentStretchesTheSameSourceOverTheChild) {
    Script(0, 0, D3D_OK, D3D_OK, true);
    RECT frame{0, 0, 400, 300};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SetWindowPos(parent, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_GE(device.presents, 1);  // the parent's WM_SIZE presents again
    device.presents = 0;
    EXPECT_EQ(ScreenFlip(), 1);
    EXPECT_EQ(device.presents, 1);
    EXPECT_EQ(device.lastSource.right, 800);
    EXPECT_EQ(device.lastSource.bottom, 600);
    EXPECT_EQ(device.lastDestination.right, 400);
    EXPECT_EQ(device.lastDestination.bottom, 300);
}

TEST_F(DeviceLossTest, ShortLossIsResetAndPresented) {
    Script(static_cast<HRESULT>(0x88760868), 10, static_cast<HRESULT>(0x88760869), D3D_OK);
    IDirect3DSurface9* before = Screen.backBuffer;
    before->AddRef();
    EXPECT_EQ(ScreenFlip(), 1);
    EXPECT_EQ(device.resets, 1);
    EXPECT_EQ(device.presents, 1);
    EXPECT_EQ(Screen.deviceUsable, 1);
    EXPECT_NE(Screen.backBuffer, nullptr);  // taken again after the reset
    before->Release();
}

TEST_F(DeviceLossTest, LongLossGivesUpAndLaterFlipsDoNothing) {
    Script(static_cast<HRESULT>(0x88760868), 10000, D3D_OK, D3D_OK);
    DWORD start = GetTickCount();
    EXPECT_EQ(ScreenFlip(), 0);
    EXPECT_GE(GetTickCount() - start, 30u);
    EXPECT_EQ(Screen.deviceUsable, 0);
    EXPECT_EQ(device.presents, 0);
    int tests = device.tests;
    EXPECT_EQ(ScreenFlip(), 1);
    EXPECT_EQ(device.tests, tests);  // no longer even asked
    EXPECT_EQ(device.presents, 0);
}

TEST_F(DeviceLossTest, DriverErrorAndFailedResetMakeTheDeviceUnusable) {
    Script(0, 0, static_cast<HRESULT>(0x88760827), D3D_OK);
    EXPECT_EQ(ScreenFlip(), 0);
    EXPECT_EQ(Screen.deviceUsable, 0);
    EXPECT_EQ(device.presents, 0);
    Screen.deviceUsable = 1;
    device.afterLoss = static_cast<HRESULT>(0x88760869);
    device.resetResult = D3DERR_INVALIDCALL;
    EXPECT_EQ(ScreenFlip(), 0);
    EXPECT_EQ(device.resets, 1);
    EXPECT_EQ(Screen.deviceUsable, 0);
    EXPECT_EQ(Screen.backBuffer, nullptr);
    EXPECT_EQ(ScreenCanvas(), nullptr);  // no back buffer: no Canvas
}

}  // namespace
