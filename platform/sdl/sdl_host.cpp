// The real game's host: one SDL window, full-screen desktop by default, the
// 640 x 480 back buffer scaled up with letterboxing; focus and close events
// become window messages.
#include <SDL.h>

#include <cstdio>

#include "platform/host.h"

namespace {

SDL_Window* window = nullptr;
SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;
int textureMode = 0;
bool fullScreen = true;

void ToggleFullScreen() {
    fullScreen = !fullScreen;
    SDL_SetWindowFullscreen(window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

}  // namespace

bool HostCreateWindow(const char* title, int width, int height) {
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "valimo: no display: %s\n", SDL_GetError());
        return false;
    }
    window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width * 2, height * 2,
                              SDL_WINDOW_HIDDEN | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_RESIZABLE);
    if (!window) {
        std::fprintf(stderr, "valimo: cannot create the window: %s\n", SDL_GetError());
        return false;
    }
    SDL_SetWindowMinimumSize(window, width, height);
    // Read when the texture is created: nearest-pixel scaling keeps the pixels sharp.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    renderer = SDL_CreateRenderer(window, -1, 0);
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) {
        std::fprintf(stderr, "valimo: cannot create a renderer: %s\n", SDL_GetError());
        SDL_DestroyWindow(window);
        window = nullptr;
        return false;
    }
    SDL_RenderSetLogicalSize(renderer, width, height);
    return true;
}

void HostShowWindow() {
    if (!window) return;
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
}

bool HostHasWindow() { return window != nullptr; }

void HostPumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT:
            PostHostMessage(WM_QUIT, 0, 0);
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                PostHostMessage(WM_ACTIVATE, 1, 0);
            } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                if (fullScreen) LoseAllSurfaces();
                PostHostMessage(WM_ACTIVATE, 0, 0);
            } else if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                PostHostMessage(WM_CLOSE, 0, 0);
            }
            break;
        case SDL_KEYDOWN:
            if (event.key.keysym.scancode == SDL_SCANCODE_RETURN && (event.key.keysym.mod & KMOD_ALT) &&
                !event.key.repeat)
                ToggleFullScreen();
            break;
        default:
            break;
        }
    }
}

void HostShowCursor(bool show) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void HostScreenSize(int* width, int* height) {
    SDL_DisplayMode mode;
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        *width = mode.w;
        *height = mode.h;
    } else {
        *width = 640;
        *height = 480;
    }
}

int64_t HostCounterFrequency() { return int64_t(SDL_GetPerformanceFrequency()); }
int64_t HostCounter() { return int64_t(SDL_GetPerformanceCounter()); }

void HostDisplayFormat(DWORD* bitCount, DWORD* redMask, DWORD* greenMask, DWORD* blueMask) {
    *bitCount = 16;
    *redMask = 0xF800;
    *greenMask = 0x07E0;
    *blueMask = 0x001F;
}

void HostPresent(const uint16_t* pixels, int pitchPixels, int width, int height, int pixelMode) {
    if (!renderer) return;
    if (!texture || textureMode != pixelMode) {
        if (texture) SDL_DestroyTexture(texture);
        texture = SDL_CreateTexture(renderer, pixelMode == 15 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565,
                                    SDL_TEXTUREACCESS_STREAMING, width, height);
        textureMode = pixelMode;
        if (!texture) return;
    }
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(renderer, &outW, &outH);
    SDL_RenderSetIntegerScale(renderer, outW >= width && outH >= height ? SDL_TRUE : SDL_FALSE);
    SDL_UpdateTexture(texture, nullptr, pixels, pitchPixels * 2);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

void HostOpenUrl(const char* address) {
    if (address) SDL_OpenURL(address);
}
