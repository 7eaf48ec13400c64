// The sdl platform's part of numbered top-level windows (window_platform.h):
// SDL windows, whose window events take the place of the window procedure's
// messages. A window's NativeHandle is its SDL_Window*; its number rides along
// as the window's data "QZ_WindowID".
#include <SDL.h>

#include <string>

#include "runtime/window/event_queue.h"
#include "runtime/window/window_platform.h"

namespace {

const char* const kNumberKey = "QZ_WindowID";

std::string Utf8(const char16_t* text) {
    std::string out;
    if (!text) return out;
    for (const char16_t* p = text; *p; ++p) {
        uint32_t c = *p;
        if (c >= 0xD800 && c < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) c = 0x10000 + ((c - 0xD800) << 10) + (*++p - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The runtime number of the window an SDL event belongs to, -1 if none.
intptr_t NumberOfWindowId(uint32_t windowId) {
    SDL_Window* w = SDL_GetWindowFromID(windowId);
    if (!w) return -1;
    return reinterpret_cast<intptr_t>(SDL_GetWindowData(w, kNumberKey));
}

void Translate(const SDL_Event& e) {
    if (e.type == SDL_WINDOWEVENT) {
        intptr_t number = NumberOfWindowId(e.window.windowID);
        if (number == -1) return;
        uint32_t code = 0;
        switch (e.window.event) {
            case SDL_WINDOWEVENT_CLOSE: code = EventCloseWindow; break;
            case SDL_WINDOWEVENT_MOVED: code = EventWindowMoved; break;
            case SDL_WINDOWEVENT_SIZE_CHANGED: code = EventWindowSized; break;
            case SDL_WINDOWEVENT_MINIMIZED: code = EventWindowMinimised; break;
            case SDL_WINDOWEVENT_MAXIMIZED: code = EventWindowMaximised; break;
            case SDL_WINDOWEVENT_RESTORED: code = EventWindowRestored; break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: code = EventWindowActivated; break;
            case SDL_WINDOWEVENT_FOCUS_LOST: code = EventWindowDeactivated; break;
            default: return;
        }
        EventPost(code, 0, number, 0);
    } else if (e.type == SDL_QUIT) {
        // A quit request from the system (SIGINT, SIGTERM, the session ending)
        // asks every window to close, as its close box does; the program decides.
        ObjectNumber number = 0;
        for (void* w = ObjectTableFirst(WindowTable, &number); w; w = ObjectTableNext(WindowTable, &number))
            EventPost(EventCloseWindow, 0, number, 0);
    } else if (e.type == SDL_MOUSEBUTTONUP || (e.type == SDL_MOUSEBUTTONDOWN && e.button.clicks == 2)) {
        intptr_t number = NumberOfWindowId(e.button.windowID);
        if (number == -1) return;
        if (e.type == SDL_MOUSEBUTTONDOWN) {
            if (e.button.button == SDL_BUTTON_LEFT) EventPost(EventLeftButtonDouble, 0, number, 0);
        } else if (e.button.button == SDL_BUTTON_LEFT) {
            EventPost(EventLeftButtonUp, 0, number, 0);
        } else if (e.button.button == SDL_BUTTON_RIGHT) {
            EventPost(EventRightButtonUp, 0, number, 0);
        }
    }
}

}  // namespace

void WindowPlatformInit() {}
void WindowPlatformEnd() {}

bool WindowPlatformOpen(WindowRecord* record, ObjectNumber number, int x, int y, int innerWidth, int innerHeight,
                        const char16_t* title, uint32_t flags, NativeHandle) {
    if (innerWidth < 0 || innerHeight < 0) return false;
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    int px = x == WindowDefaultPosition ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : x;
    int py = y == WindowDefaultPosition ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : y;
    if (flags & CentreOnScreen) px = py = static_cast<int>(SDL_WINDOWPOS_CENTERED);
    uint32_t sdlFlags = (flags & StartHidden) ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN;
    if (flags & WindowMaximise) sdlFlags |= SDL_WINDOW_MAXIMIZED;
    if (flags & WindowMinimise) sdlFlags |= SDL_WINDOW_MINIMIZED;
    SDL_Window* window = SDL_CreateWindow(Utf8(title).c_str(), px, py, innerWidth, innerHeight, sdlFlags);
    if (!window) return false;
    record->window = reinterpret_cast<NativeHandle>(window);
    SDL_SetWindowData(window, kNumberKey, reinterpret_cast<void*>(number));
    // Closing the last window is the program's decision, not a quit request.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    return true;
}

void WindowPlatformClose(WindowRecord* record, ObjectNumber, bool) {
    SDL_DestroyWindow(reinterpret_cast<SDL_Window*>(record->window));
}

// Every event SDL has pending is taken at once and turned into runtime events
// where the runtime has one, so that a quit request or a close is seen at the
// next poll however much input came before it (pointer motion, which has no
// runtime event, is dropped; the system does not merge it as Windows does).
// Returns the type of the last event taken, 0 when there was none; the runtime
// events it raised come from the following polls, one per poll.
uint32_t WindowPlatformPoll() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return 0;
    // One pump, then only what it brought: input arriving meanwhile waits for
    // the next poll, so the loop ends.
    SDL_PumpEvents();
    SDL_Event e;
    uint32_t taken = 0;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
        Translate(e);
        taken = e.type;
    }
    return taken;
}

// Other threads have no receiver here.
EventReceiver EventReceiverCreate() { return {}; }
void EventReceiverDestroy(EventReceiver) {}
