// The windowed screen of the native build, on SDL2: a renderer with vertical
// sync in the runtime window and a streaming texture. The back buffer is plain
// 32-bit top-down pixel memory (blue, green, red, alpha) that ScreenCanvas
// hands to a raster Canvas, so drawing an image onto the screen is the raster
// blit; ScreenFlip uploads it into the texture and presents it.
#include <SDL.h>

#include <cstring>

#include "runtime/screen/back_buffer.h"
#include "runtime/screen/screen.h"

namespace {

struct ScreenState {
    SDL_Window* window;
    SDL_Renderer* renderer;
    SDL_Texture* texture;
    BackBuffer buffer;
};

ScreenState screen;

// Without a display SDL falls back to video drivers that show nothing and pace
// nothing; a screen there would run unseen, so they count as no screen at all.
bool ShowsPictures(const char* driver) {
    return driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

int OpenFailed() {
    ScreenEmptySprites();
    return 0;
}

}  // namespace

bool ScreenPlatformInit() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    if (!ShowsPictures(SDL_GetCurrentVideoDriver())) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    return true;
}

// SDL's video stays up for the windows; the last end step (DesktopEnd) quits SDL.
void ScreenPlatformEnd() {}

int ScreenOpenWindowed(NativeHandle parentWindow, int x, int y, int width, int height, int, int, int, int vsync) {
    ScreenClose();
    auto* window = reinterpret_cast<SDL_Window*>(parentWindow);
    if (!window || width <= 0 || height <= 0 || x < 0 || y < 0) return OpenFailed();
    uint32_t flags = vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, flags | SDL_RENDERER_ACCELERATED);
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, flags | SDL_RENDERER_SOFTWARE);
    if (!renderer) return OpenFailed();
    SDL_Texture* texture =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    BackBuffer buffer;
    if (!texture || !BackBufferCreate(&buffer, width, height)) {
        if (texture) SDL_DestroyTexture(texture);
        SDL_DestroyRenderer(renderer);
        return OpenFailed();
    }
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);  // the alpha byte is not shown
    screen = {window, renderer, texture, buffer};
    // The back buffer starts black, shown once so the window never holds garbage.
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
    return 1;
}

void ScreenClose() {
    if (!screen.renderer) return;
    ScreenEmptySprites();
    SDL_DestroyTexture(screen.texture);
    SDL_DestroyRenderer(screen.renderer);
    BackBufferFree(&screen.buffer);
    screen = ScreenState{};
}

Canvas* ScreenCanvas() { return BackBufferCanvas(screen.buffer, reinterpret_cast<NativeHandle>(screen.texture)); }

int ScreenFlip() {
    if (!screen.renderer) return 0;
    SDL_UpdateTexture(screen.texture, nullptr, screen.buffer.pixels, screen.buffer.pitch);
    SDL_RenderClear(screen.renderer);
    SDL_RenderCopy(screen.renderer, screen.texture, nullptr, nullptr);
    SDL_RenderPresent(screen.renderer);
    return 1;
}
