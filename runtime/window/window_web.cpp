// The web platform's part of numbered top-level windows (window_platform.h).
// A window is an HTML canvas of the window's client size on the page, placed
// by the page (its position on the desktop means nothing there); its title
// becomes the page's title; its NativeHandle is the number of its canvas in
// the page's list. The browser's events on a canvas take the place of window
// messages.
//
// At the runtime's end the canvases stay on the page with their last picture,
// as the page outlives the program; a window closed while the program runs, by
// its number or with all the others (WindowClose(AnyNumber)), leaves it.
#include <emscripten.h>

#include "runtime/window/event_queue.h"
#include "runtime/window/window_platform.h"

namespace {

// What WindowPollEvent returns after taking one browser event from the page:
// the kind of that event, as the other builds return the message identifier.
enum : uint32_t {
    PageMouseUp = 1,
    PageDoubleClick = 2,
    PageFocus = 3,
    PageBlur = 4,
};

}  // namespace

// The page's side: Module.wirloWindows[handle] is an open window's canvas
// (handle 0 is never used), Module.wirloEvents the browser events not yet
// polled, each [kind, button, window number, handle]. The page may name the
// element that windows go into as Module.windowParent.
EM_JS(void, WebWindowsInit, (), {
    if (Module.wirloWindows) return;
    Module.wirloWindows = [null];
    Module.wirloEvents = [];
});

EM_JS(int, WebWindowCreate, (int number, int width, int height, const char16_t* title, int hidden), {
    const canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    canvas.tabIndex = 0;
    canvas.className = 'wirlo-window';
    if (hidden) canvas.style.display = 'none';
    const handle = Module.wirloWindows.length;
    const post = (kind, button) => {
        if (Module.wirloWindows[handle] === canvas) Module.wirloEvents.push([kind, button, number, handle]);
    };
    /* The kinds are PageMouseUp, PageDoubleClick, PageFocus and PageBlur. */
    canvas.addEventListener('mouseup', e => post(1, e.button));
    canvas.addEventListener('dblclick', e => post(2, e.button));
    canvas.addEventListener('focus', () => post(3, 0));
    canvas.addEventListener('blur', () => post(4, 0));
    canvas.addEventListener('contextmenu', e => e.preventDefault());
    (Module.windowParent || document.body).appendChild(canvas);
    // The title's UTF-16 code units up to the terminating zero (the runtime's
    // own string helpers are not part of every emscripten release's output).
    let text = "";
    for (let p = title >> 1; title && HEAPU16[p]; ++p) text += String.fromCharCode(HEAPU16[p]);
    if (text) document.title = text;
    Module.wirloWindows.push(canvas);
    return handle;
});

EM_JS(void, WebWindowClose, (int handle, int keepOnPage), {
    const canvas = Module.wirloWindows[handle];
    if (!canvas) return;
    Module.wirloWindows[handle] = null;
    if (!keepOnPage) canvas.remove();
});

// The oldest browser event of an open window as kind * 16 + button, or 0; the
// window's number in *number. Events of windows closed since are dropped.
EM_JS(int, WebEventTake, (int* number), {
    for (;;) {
        const e = Module.wirloEvents.shift();
        if (!e) return 0;
        if (!Module.wirloWindows[e[3]]) continue;
        HEAP32[number >> 2] = e[2];
        return e[0] * 16 + Math.min(e[1], 15);
    }
});

void WindowPlatformInit() { WebWindowsInit(); }
void WindowPlatformEnd() {}

bool WindowPlatformOpen(WindowRecord* record, ObjectNumber number, int, int, int innerWidth, int innerHeight,
                        const char16_t* title, uint32_t flags, NativeHandle) {
    if (innerWidth < 0 || innerHeight < 0) return false;
    record->window =
        WebWindowCreate(static_cast<int>(number), innerWidth, innerHeight, title, (flags & StartHidden) ? 1 : 0);
    return true;
}

void WindowPlatformClose(WindowRecord* record, ObjectNumber, bool atEnd) {
    WebWindowClose(static_cast<int>(record->window), atEnd ? 1 : 0);
}

namespace {

// Turns one browser event, as WebEventTake gives it, into a runtime event
// where the runtime has one; returns its kind.
uint32_t Translate(int taken, int number) {
    const uint32_t kind = static_cast<uint32_t>(taken) / 16, button = static_cast<uint32_t>(taken) % 16;
    switch (kind) {
        case PageMouseUp:
            if (button == 0) EventPost(EventLeftButtonUp, 0, number, 0);
            if (button == 2) EventPost(EventRightButtonUp, 0, number, 0);
            break;
        case PageDoubleClick:
            if (button == 0) EventPost(EventLeftButtonDouble, 0, number, 0);
            break;
        case PageFocus: EventPost(EventWindowActivated, 0, number, 0); break;
        case PageBlur: EventPost(EventWindowDeactivated, 0, number, 0); break;
        default: break;
    }
    return kind;
}

}  // namespace

// Every browser event not yet polled is taken at once, as on the sdl platform,
// so that nothing the program must see waits behind a pile of others; returns
// the kind of the last one taken, 0 when there was none. The runtime events it
// raised come from the following polls, one per poll.
uint32_t WindowPlatformPoll() {
    uint32_t kind = 0;
    int number = -1;
    while (const int taken = WebEventTake(&number)) kind = Translate(taken, number);
    return kind;
}

// Other threads have no receiver here.
EventReceiver EventReceiverCreate() { return {}; }
void EventReceiverDestroy(EventReceiver) {}
