// The windowed screen of the web build: the back buffer is plain 32-bit
// top-down pixel memory (blue, green, red, alpha) that ScreenCanvas hands to a
// raster Canvas, as in the native build; ScreenFlip turns it into the page's
// byte order (red, green, blue, opaque alpha), puts it onto the window's HTML
// canvas and then gives the browser its turn until the next animation frame,
// which paces the loop at the display's rate as the presentation interval
// does on Windows. With vsync 0 it gives the browser only a turn of its task
// queue, so the loop runs as fast as it can and the page stays responsive.
#include <emscripten.h>

#include <cstdlib>

#include "runtime/screen/back_buffer.h"
#include "runtime/screen/rgba_copy.h"
#include "runtime/screen/screen.h"

namespace {

struct ScreenState {
    NativeHandle window;  // the runtime window's canvas
    BackBuffer buffer;    // blue-green-red-alpha
    uint8_t* shown;       // what the page is given, red-green-blue-alpha
    int x, y, vsync;
};

ScreenState screen;

int OpenFailed() {
    ScreenEmptySprites();
    return 0;
}

}  // namespace

// Whether the page can draw: a document whose canvases have a 2D context.
EM_JS(int, WebCanDraw, (), {
    if (typeof document === 'undefined') return 0;
    const probe = document.createElement('canvas');
    return probe.getContext && probe.getContext('2d') ? 1 : 0;
});

// Whether the window's canvas is on the page (and so can be drawn on).
EM_JS(int, WebWindowExists, (int window), {
    const windows = Module.wirloWindows;
    return windows && windows[window] ? 1 : 0;
});

// Puts the width by height pixels at rgba onto the window's canvas at (x, y).
// The ImageData is a view of the program's memory, not a copy; a new view each
// time, as the memory may have grown since the last one.
EM_JS(void, WebPut, (int window, const uint8_t* rgba, int x, int y, int width, int height), {
    const canvas = Module.wirloWindows && Module.wirloWindows[window];
    if (!canvas) return;
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    canvas.getContext('2d').putImageData(new ImageData(bytes, width, height), x, y);
});

// Gives the browser its turn: until its next animation frame (vsync), or for
// one turn of its task queue.
EM_ASYNC_JS(void, WebWait, (int vsync), {
    if (vsync) {
        await new Promise(resolve => requestAnimationFrame(() => resolve()));
    } else {
        await new Promise(resolve => {
            const channel = new MessageChannel();
            channel.port1.onmessage = () => resolve();
            channel.port2.postMessage(0);
        });
    }
});

namespace {

void Show() {
    const BackBuffer& b = screen.buffer;
    CopyBgraToOpaqueRgba(b.pixels, screen.shown, static_cast<size_t>(b.width) * static_cast<size_t>(b.height));
    WebPut(static_cast<int>(screen.window), screen.shown, screen.x, screen.y, b.width, b.height);
}

}  // namespace

bool ScreenPlatformInit() { return WebCanDraw() != 0; }

void ScreenPlatformEnd() {}

int ScreenOpenWindowed(NativeHandle parentWindow, int x, int y, int width, int height, int, int, int, int vsync) {
    ScreenClose();
    if (!parentWindow || !WebWindowExists(static_cast<int>(parentWindow)) || width <= 0 || height <= 0 || x < 0 ||
        y < 0)
        return OpenFailed();
    BackBuffer buffer;
    if (!BackBufferCreate(&buffer, width, height)) return OpenFailed();
    auto* shown = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(buffer.pitch) * static_cast<size_t>(height)));
    if (!shown) {
        BackBufferFree(&buffer);
        return OpenFailed();
    }
    screen = {parentWindow, buffer, shown, x, y, vsync};
    // The back buffer starts black, shown once so the canvas never holds anything else.
    Show();
    return 1;
}

void ScreenClose() {
    if (!screen.buffer.pixels) return;
    ScreenEmptySprites();
    BackBufferFree(&screen.buffer);
    std::free(screen.shown);
    screen = ScreenState{};
}

Canvas* ScreenCanvas() { return BackBufferCanvas(screen.buffer, screen.window); }

int ScreenFlip() {
    if (!screen.buffer.pixels) return 0;
    Show();
    WebWait(screen.vsync);
    return 1;
}
