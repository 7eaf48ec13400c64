// The desktop and the keyboard in the browser (desktop.h): the desktop is the
// device's screen, and the Escape key is watched on the whole page, as the
// desktop's key state is.
#include <emscripten.h>

#include "runtime/window/desktop.h"

// Module.wirloKeys holds the Escape key's state: down now, and pressed since
// the last query. The listeners stay with the page.
EM_JS(void, WebKeysInit, (), {
    if (Module.wirloKeys) return;
    const keys = Module.wirloKeys = {down: false, pressed: false};
    addEventListener('keydown', e => {
        if (e.key === 'Escape') keys.down = keys.pressed = true;
    });
    addEventListener('keyup', e => {
        if (e.key === 'Escape') keys.down = false;
    });
    addEventListener('blur', () => { keys.down = false; });
});

EM_JS(int, WebEscapeState, (), {
    const keys = Module.wirloKeys;
    if (!keys) return 0;
    const state = keys.down || keys.pressed;
    keys.pressed = false;
    return state ? 1 : 0;
});

EM_JS(void, WebScreenSize, (int* size), {
    HEAP32[size >> 2] = screen.width;
    HEAP32[(size >> 2) + 1] = screen.height;
});

void DesktopInit() { WebKeysInit(); }

// The page holds no connection to close.
void DesktopEnd() {}

intptr_t DesktopWindow() { return 0; }

DesktopRectangle DesktopGetRect() {
    int size[2] = {0, 0};
    WebScreenSize(size);
    return {0, 0, size[0], size[1]};
}

int KeyAsyncState(int virtualKey) { return virtualKey == KeyEscape ? WebEscapeState() : 0; }
