#include "runtime/screen/screen.h"

#include <initializer_list>

#include "runtime/core/module_instance.h"
#include "runtime/drawing/gdi/gdi_canvas.h"
#include "runtime/screen/screen_state_win.h"

ScreenState Screen;

namespace {

constexpr HRESULT kDriverInternalError = static_cast<HRESULT>(0x88760827);
constexpr HRESULT kDeviceLost = static_cast<HRESULT>(0x88760868);
constexpr HRESULT kDeviceNotReset = static_cast<HRESULT>(0x88760869);
constexpr wchar_t kHiddenClass[] = L"MultimediaBase Class";
constexpr wchar_t kSizeProperty[] = L"qz_dxsize";
// The parent's own procedure, kept on the parent so that each subclassed
// window forwards to its own previous procedure.
constexpr wchar_t kProcProperty[] = L"qz_dxproc";

typedef IDirect3D9*(WINAPI* Direct3DCreate9Function)(UINT);

HWND hiddenWindow = nullptr;

HINSTANCE Instance() { return reinterpret_cast<HINSTANCE>(ModuleInstanceInit()); }

LRESULT CALLBACK HiddenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 1;
    }
    case WM_ERASEBKGND: return 1;
    case WM_CLOSE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_KEYUP:
    case WM_SYSKEYUP: return 0;
    case WM_ACTIVATE:
        if (!Screen.isWindowed) Screen.deviceUsable = LOWORD(wParam) != WA_INACTIVE;
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void FitChild() {
    if (!Screen.autoStretch || !Screen.childWindow) return;
    RECT r{};
    GetClientRect(Screen.parentWindow, &r);
    SetWindowPos(Screen.childWindow, nullptr, 0, 0, r.right - Screen.rightOffset - Screen.childX,
                 r.bottom - Screen.bottomOffset - Screen.childY, SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER);
}

LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Screen.isOpen) {
        if (message == WM_PAINT) {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            if (Screen.bufferWidth) ScreenFlip();
            return 0;
        }
        if (message == WM_ERASEBKGND) return 1;
    }
    WNDPROC previous = Screen.childPrevProc;
    return previous ? CallWindowProcW(previous, window, message, wParam, lParam)
                    : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Screen.isOpen && message == WM_SIZE && window == Screen.parentWindow) {
        FitChild();
        if (Screen.bufferWidth) ScreenFlip();
    }
    auto previous = reinterpret_cast<WNDPROC>(GetPropW(window, kProcProperty));
    if (!previous) previous = Screen.parentPrevProc;
    return previous ? CallWindowProcW(previous, window, message, wParam, lParam)
                    : DefWindowProcW(window, message, wParam, lParam);
}

bool CreateHiddenWindow() {
    if (hiddenWindow) return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = HiddenProc;
    windowClass.hInstance = Instance();
    windowClass.hIcon = LoadIconW(Instance(), MAKEINTRESOURCEW(1));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kHiddenClass;
    if (!RegisterClassExW(&windowClass)) return false;
    hiddenWindow = CreateWindowExW(0, kHiddenClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, Instance(), nullptr);
    if (!hiddenWindow) UnregisterClassW(kHiddenClass, Instance());
    return hiddenWindow != nullptr;
}

// Gives up a child window whose screen could not be opened.
void DropChild() {
    if (Screen.childWindow) DestroyWindow(Screen.childWindow);
    Screen.childWindow = nullptr;
    Screen.childPrevProc = nullptr;
    Screen.isWindowed = 0;
    Screen.bufferWidth = Screen.bufferHeight = Screen.outputWidth = Screen.outputHeight = 0;
}

int OpenFailed() {
    DropChild();
    ScreenEmptySprites();
    return 0;
}

IDirect3DSurface9* TakeBackBuffer() {
    IDirect3DSurface9* surface = nullptr;
    if (FAILED(Screen.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &surface))) surface = nullptr;
    return surface;
}

// ---- the screen Canvas's hooks ----

IDirect3DSurface9* CanvasSurface() { return Screen.backBuffer; }

NativeHandle AcquireScreenDC(Canvas* canvas) {
    GdiTail& g = canvas->gdi;
    if (g.dc) return g.dc;
    IDirect3DSurface9* surface = CanvasSurface();
    if (!surface) return 0;
    if (g.lockedBits) {
        surface->UnlockRect();
        g.lockedBits = nullptr;
    }
    HDC dc = nullptr;
    if (FAILED(surface->GetDC(&dc))) return 0;
    g.dc = reinterpret_cast<NativeHandle>(dc);
    return g.dc;
}

void* LockScreen(Canvas* canvas, int* pitch) {
    GdiTail& g = canvas->gdi;
    IDirect3DSurface9* surface = CanvasSurface();
    if (!surface) return g.lockedBits;
    if (g.dc) {
        surface->ReleaseDC(reinterpret_cast<HDC>(g.dc));
        g.dc = 0;
    }
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(surface->LockRect(&locked, nullptr, 0))) {
        g.lockedBits = locked.pBits;
        *pitch = locked.Pitch;
    }
    return g.lockedBits;
}

void ReleaseScreen(Canvas* canvas, int /*ended*/) {
    GdiTail& g = canvas->gdi;
    IDirect3DSurface9* surface = CanvasSurface();
    if (g.dc) {
        if (surface) surface->ReleaseDC(reinterpret_cast<HDC>(g.dc));
        g.dc = 0;
    }
    if (g.lockedBits) {
        if (surface) surface->UnlockRect();
        g.lockedBits = nullptr;
    }
}

}  // namespace

HWND ScreenHiddenWindow() { return hiddenWindow; }

int ScreenFormatDepth(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_A16B16G16R16: return 64;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A2B10G10R10:
    case D3DFMT_G16R16:
    case D3DFMT_A2R10G10B10: return 32;
    case D3DFMT_R8G8B8: return 24;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8R3G3B2:
    case D3DFMT_X4R4G4B4: return 16;
    case D3DFMT_R3G3B2:
    case D3DFMT_A8: return 8;
    default: return 0;
    }
}

int ScreenFormatCode(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_X8R8G8B8: return PixelFormatBGRA32;
    case D3DFMT_R5G6B5: return PixelFormatR5G6B5;
    case D3DFMT_X1R5G5B5: return PixelFormatX1R5G5B5;
    default: return 0;
    }
}

bool ScreenPlatformInit() {
    if (!CreateHiddenWindow()) return false;
    HMODULE library = LoadLibraryW(L"d3d9.dll");
    if (!library) return false;
    auto create = reinterpret_cast<Direct3DCreate9Function>(
        reinterpret_cast<void*>(GetProcAddress(library, "Direct3DCreate9")));
    if (!create) return false;
    if (!Screen.direct3d) Screen.direct3d = create(D3D_SDK_VERSION);
    if (!Screen.direct3d) return false;
    int modes = 0;
    for (D3DFORMAT format : {D3DFMT_X1R5G5B5, D3DFMT_R5G6B5, D3DFMT_X8R8G8B8})
        modes += static_cast<int>(Screen.direct3d->GetAdapterModeCount(0, format));
    if (modes <= 0) {
        Screen.direct3d->Release();
        Screen.direct3d = nullptr;
        return false;
    }
    return true;
}

void ScreenPlatformEnd() {
    if (hiddenWindow) {
        DestroyWindow(hiddenWindow);
        UnregisterClassW(kHiddenClass, Instance());
    }
    hiddenWindow = nullptr;
    // The Direct3D object stays (the next GraphicsInit takes it again); the
    // rest of the state is as before the first GraphicsInit.
    IDirect3D9* direct3d = Screen.direct3d;
    Screen = ScreenState{};
    Screen.direct3d = direct3d;
}

int ScreenOpenWindowed(NativeHandle parentHandle, int x, int y, int width, int height, int autoStretch,
                       int rightOffset, int bottomOffset, int vsync) {
    ScreenClose();
    HWND parent = reinterpret_cast<HWND>(parentHandle);
    if (!parent || !Screen.direct3d) {
        ScreenEmptySprites();
        return 0;
    }
    Screen.childX = x;
    Screen.childY = y;
    Screen.rightOffset = rightOffset;
    Screen.bottomOffset = bottomOffset;
    Screen.autoStretch = autoStretch;
    Screen.isWindowed = 1;
    Screen.parentWindow = parent;
    Screen.outputWidth = Screen.bufferWidth = width;
    Screen.outputHeight = Screen.bufferHeight = height;
    Screen.screenDepth = 0;

    Screen.childWindow = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, x, y, width, height, parent, nullptr,
                                         Instance(), nullptr);
    if (!Screen.childWindow) return OpenFailed();
    FitChild();
    Screen.childPrevProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Screen.childWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChildProc)));

    D3DPRESENT_PARAMETERS& params = Screen.presentParams;
    ZeroMemory(&params, sizeof params);
    D3DDISPLAYMODE mode{};
    if (FAILED(Screen.direct3d->GetAdapterDisplayMode(0, &mode))) return OpenFailed();
    params.BackBufferWidth = static_cast<UINT>(width);
    params.BackBufferHeight = static_cast<UINT>(height);
    params.BackBufferFormat = mode.Format;
    params.BackBufferCount = 1;
    params.MultiSampleType = D3DMULTISAMPLE_NONE;
    params.MultiSampleQuality = 0;
    params.SwapEffect = D3DSWAPEFFECT_COPY;
    params.hDeviceWindow = Screen.childWindow;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = FALSE;
    params.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    params.FullScreen_RefreshRateInHz = 0;
    params.PresentationInterval = vsync ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;

    D3DCAPS9 caps{};
    if (FAILED(Screen.direct3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps))) return OpenFailed();
    // FPU_PRESERVE keeps the processor's rounding mode and precision as the
    // program set them: the demo's arithmetic depends on them.
    DWORD behaviour = D3DCREATE_FPU_PRESERVE | ((caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT)
                                                    ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                    : D3DCREATE_SOFTWARE_VERTEXPROCESSING);
    IDirect3DDevice9* device = nullptr;
    if (FAILED(Screen.direct3d->CreateDevice(0, D3DDEVTYPE_HAL, Screen.childWindow, behaviour, &params, &device)) ||
        !device)
        return OpenFailed();
    Screen.device = device;

    D3DFORMAT format = params.BackBufferFormat;
    if (int code = ScreenFormatCode(format)) Screen.screenPixelFormat = code;
    Screen.screenDepth = ScreenFormatDepth(format);

    Screen.backBuffer = TakeBackBuffer();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 0.0f, 0);

    if (!GetPropW(parent, kSizeProperty)) {
        Screen.parentPrevProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ParentProc)));
        SetPropW(parent, kProcProperty, reinterpret_cast<HANDLE>(Screen.parentPrevProc));
        SetPropW(parent, kSizeProperty, reinterpret_cast<HANDLE>(1));
    }

    D3DDISPLAYMODE current{};
    if (SUCCEEDED(Screen.direct3d->GetAdapterDisplayMode(0, &current))) Screen.refreshRate = static_cast<int>(current.RefreshRate);

    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetSoftwareVertexProcessing(FALSE);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetRenderState(D3DRS_MULTISAMPLEANTIALIAS, FALSE);
    Screen.isOpen = 1;
    Screen.deviceUsable = 1;
    return 1;
}

void ScreenClose() {
    if (!Screen.isOpen) return;
    ScreenEmptySprites();
    if (Screen.device) {
        if (Screen.backBuffer) Screen.backBuffer->Release();
        Screen.device->Release();
        Screen.backBuffer = nullptr;
        Screen.device = nullptr;
    }
    Screen.bufferWidth = Screen.bufferHeight = Screen.outputWidth = Screen.outputHeight = Screen.screenDepth = 0;
    DestroyWindow(Screen.childWindow);
    Screen.isWindowed = 0;
    Screen.childWindow = nullptr;
    Screen.childPrevProc = nullptr;
    InvalidateRect(Screen.parentWindow, nullptr, TRUE);
    Screen.isOpen = 0;
}

Canvas* ScreenCanvas() {
    IDirect3DSurface9* surface = Screen.backBuffer;
    if (!surface) return nullptr;
    HDC dc = nullptr;
    if (FAILED(surface->GetDC(&dc)) || !dc) return nullptr;
    Canvas* canvas = GdiCanvasCreate();
    if (!canvas) {
        // Without a Canvas nobody would give the back buffer's DC back.
        surface->ReleaseDC(dc);
        return nullptr;
    }
    GdiTail& g = canvas->gdi;
    g.gdiKind = GdiKindScreen;
    g.dc = reinterpret_cast<NativeHandle>(dc);
    g.lockedBits = nullptr;
    g.surfacePixelFormat = Screen.screenPixelFormat;
    g.acquireDC = AcquireScreenDC;
    g.releaseDC = LockScreen;
    g.grabAs24 = 1;
    canvas->width = Screen.bufferWidth;
    canvas->height = Screen.bufferHeight;
    canvas->depth = Screen.screenDepth;
    canvas->release = ReleaseScreen;
    return canvas;
}

int ScreenFlip() {
    if (!Screen.isWindowed) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    IDirect3DDevice9* device = Screen.device;
    if (!Screen.deviceUsable || !device) return 1;
    HRESULT hr = device->TestCooperativeLevel();
    if (hr == kDriverInternalError) {
        Screen.deviceUsable = 0;
        return 0;
    }
    if (hr == kDeviceLost) {
        DWORD start = GetTickCount();
        for (;;) {
            Sleep(1);
            hr = device->TestCooperativeLevel();
            if (hr == kDriverInternalError) {
                Screen.deviceUsable = 0;
                return 0;
            }
            if (hr == kDeviceNotReset || hr == D3D_OK) break;
            if (static_cast<DWORD>(GetTickCount() - start) >= 32) break;
        }
        if (hr == kDeviceLost) {
            Screen.deviceUsable = 0;
            return 0;
        }
    }
    if (hr == kDeviceNotReset) {
        if (Screen.backBuffer) Screen.backBuffer->Release();
        Screen.backBuffer = nullptr;
        if (FAILED(device->Reset(&Screen.presentParams))) {
            Screen.deviceUsable = 0;
            return 0;
        }
        Screen.backBuffer = TakeBackBuffer();
    }
    if (Screen.isWindowed) {
        RECT destination{};
        GetClientRect(Screen.childWindow, &destination);
        RECT source{0, 0, Screen.outputWidth, Screen.outputHeight};
        hr = device->Present(&source, &destination, nullptr, nullptr);
    } else {
        hr = device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    Screen.deviceUsable = hr == D3D_OK;
    return 1;
}
