// The screen library's process-wide state, for the screen's own code and its
// tests.
#pragma once

#include <cstdint>

#include <windows.h>
#include <d3d9.h>

struct ScreenState {
    int isOpen;        // set last by a successful open, cleared last by ScreenClose
    int isWindowed;    // the screen lives in a child window
    int deviceUsable;  // the device can present
    HWND parentWindow;
    HWND childWindow;
    int childX, childY;
    int autoStretch;
    int rightOffset, bottomOffset;
    int bufferWidth, bufferHeight;  // requested back-buffer size; 0 when closed
    int outputWidth, outputHeight;  // current render target size (presentation source)
    int screenDepth;
    int screenPixelFormat;
    int refreshRate;
    IDirect3D9* direct3d;
    IDirect3DDevice9* device;
    IDirect3DSurface9* backBuffer;
    D3DPRESENT_PARAMETERS presentParams;
    WNDPROC childPrevProc, parentPrevProc;
};

#if INTPTR_MAX == INT32_MAX
static_assert(sizeof(D3DPRESENT_PARAMETERS) == 56, "32-bit presentation parameters");
#endif

extern ScreenState Screen;

// The hidden "MultimediaBase Class" window made by GraphicsInit (0 before).
HWND ScreenHiddenWindow();

// Bits per pixel of a back-buffer format; 0 for formats outside the table.
int ScreenFormatDepth(D3DFORMAT format);
// Pixel-format code for direct access (0x40, 0x04, 0x02), or 0 for others.
int ScreenFormatCode(D3DFORMAT format);
