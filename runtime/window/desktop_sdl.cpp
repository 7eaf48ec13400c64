// The desktop and the keyboard on SDL2 (desktop.h). SDL itself starts when the
// screen or the first window needs it and is quit by the runtime's last end
// step.
#include <SDL.h>

#include "runtime/window/desktop.h"

namespace {

bool escapePressed = false;  // latched by the event watch until the next query

// Sees every event as SDL takes it from the system, so that a key pressed and
// released between two queries is still reported.
int WatchKeys(void*, SDL_Event* e) {
    if (e->type == SDL_KEYDOWN && e->key.keysym.sym == SDLK_ESCAPE) escapePressed = true;
    return 1;
}

}  // namespace

// SDL keeps its event watches from before its start; SDL_Quit drops them.
void DesktopInit() { SDL_AddEventWatch(WatchKeys, nullptr); }

void DesktopEnd() {
    SDL_DelEventWatch(WatchKeys, nullptr);
    escapePressed = false;
    if (SDL_WasInit(0)) SDL_Quit();
}

intptr_t DesktopWindow() { return 0; }

DesktopRectangle DesktopGetRect() {
    SDL_Rect r{0, 0, 0, 0};
    if (SDL_WasInit(SDL_INIT_VIDEO) || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) SDL_GetDisplayBounds(0, &r);
    return {r.x, r.y, r.x + r.w, r.y + r.h};
}

int KeyAsyncState(int virtualKey) {
    if (virtualKey != KeyEscape || !SDL_WasInit(SDL_INIT_VIDEO)) return 0;
    SDL_PumpEvents();
    const Uint8* keys = SDL_GetKeyboardState(nullptr);
    int down = (keys && keys[SDL_SCANCODE_ESCAPE]) || escapePressed;
    escapePressed = false;
    return down;
}
