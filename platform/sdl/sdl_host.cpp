// The real game's host: one SDL window, full screen on the desktop by default
// and a fitted window after Alt+Enter; focus and close events become window
// messages.
#include "platform/sdl/sdl_host.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/faults.h"
#include "platform/host.h"
#include "platform/sdl/sdl_present.h"

namespace {

SDL_Window* window = nullptr;
SDL_Renderer* renderer = nullptr;
bool windowed = false;
int iconWidth = 0, iconHeight = 0;
// The size of the window's display when last looked at. Some video drivers do not
// notice that the screen changed size; a full-screen window does, so its size
// counts as the display's too.
int displayW = 0, displayH = 0;
int knownBoundsW = 0, knownBoundsH = 0;  // as the video driver reports them
// Until when (SDL ticks) the window manager may still put its frame round a new
// window; the window is fitted again once the frame is known.
Uint32 frameDeadline = 0;
WindowFrame frameAssumed;

bool StartVideo() {
    if (SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) return false;
    std::vector<std::string> available;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); i++) available.emplace_back(SDL_GetVideoDriver(i));
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    // The Wayland library finds its socket in XDG_RUNTIME_DIR unless it is given a
    // path; without either it only prints its own complaint.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool waylandReachable = (runtime && *runtime) || (wayland && wayland[0] == '/');
    for (const std::string& driver : VideoDriversToTry(requested, available, waylandReachable)) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver.c_str());
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    }
    return false;
}

void SayNoDisplay() {
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (requested && *requested) {
        std::fprintf(stderr,
                     "valimo: no display: the video driver \"%s\" named by SDL_VIDEODRIVER did not start (%s)\n",
                     requested, SDL_GetError());
    } else if ((x11 && *x11) || (wayland && *wayland)) {
        std::string tried;
        if (x11 && *x11) tried = std::string("DISPLAY=\"") + x11 + "\"";
        if (wayland && *wayland)
            tried += std::string(tried.empty() ? "" : " nor ") + "WAYLAND_DISPLAY=\"" + wayland + "\"";
        std::fprintf(stderr, "valimo: no display: cannot open %s; check DISPLAY or WAYLAND_DISPLAY\n", tried.c_str());
    } else {
        std::fprintf(stderr,
                     "valimo: no display found: neither DISPLAY nor WAYLAND_DISPLAY is set; start the game on a "
                     "desktop\n");
    }
}

int WindowDisplay() {
    const int index = window ? SDL_GetWindowDisplayIndex(window) : 0;
    return index < 0 ? 0 : index;
}

SDL_Rect DisplayBounds() {
    SDL_Rect bounds{0, 0, PICTURE_WIDTH, PICTURE_HEIGHT};
    SDL_GetDisplayBounds(WindowDisplay(), &bounds);
    return bounds;
}

WindowFrame KnownFrame() {
    WindowFrame f;
    if (window && SDL_GetWindowBordersSize(window, &f.top, &f.left, &f.bottom, &f.right) != 0) return frameAssumed;
    return f;
}

// The largest whole multiple of the picture that fits the usable desktop, wholly on it.
void FitWindow() {
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(WindowDisplay(), &usable) != 0) usable = DisplayBounds();
    if (displayW > 0 && displayH > 0) {
        usable.w = std::min(usable.w, displayW);
        usable.h = std::min(usable.h, displayH);
    }
    frameAssumed = KnownFrame();
    const ScreenArea a = PlaceWindow({usable.x, usable.y, usable.w, usable.h}, frameAssumed);
    SDL_SetWindowSize(window, a.w, a.h);
    SDL_SetWindowPosition(window, a.x, a.y);
}

void BecomeWindow() {
    windowed = true;
    FitWindow();
    frameDeadline = SDL_GetTicks() + 3000;
    SdlPointerFollowWindow();
}

bool SetFullScreen(Uint32 flags) {
    HRESULT fault;
    if (TakeFault("SDL_SetWindowFullscreen", &fault)) {
        SDL_SetError("injected fault");
        return false;
    }
    return SDL_SetWindowFullscreen(window, flags) == 0;
}

void GoFullScreen() {
    // Covering the display first: without a window manager nobody else moves the window.
    const SDL_Rect bounds = DisplayBounds();
    SDL_SetWindowPosition(window, bounds.x, bounds.y);
    SDL_SetWindowSize(window, bounds.w, bounds.h);
    if (!SetFullScreen(SDL_WINDOW_FULLSCREEN_DESKTOP)) {
        std::fprintf(stderr, "valimo: full screen was refused (%s); the game runs in a window\n", SDL_GetError());
        SetFullScreen(0);
        BecomeWindow();
        return;
    }
    windowed = false;
    frameDeadline = 0;
    SdlPointerFollowWindow();
}

void ToggleFullScreen() {
    if (windowed) {
        GoFullScreen();
    } else {
        SetFullScreen(0);
        BecomeWindow();
    }
}

void LoadIcon() {
    iconWidth = iconHeight = 0;
    SDL_Surface* icon = SDL_LoadBMP("icon.bmp");
    if (!icon) return;
    SDL_SetWindowIcon(window, icon);
    iconWidth = icon->w;
    iconHeight = icon->h;
    SDL_FreeSurface(icon);
}

// A display that changed size: a window is fitted again; full screen follows by itself.
void DisplayChanged(int w, int h) {
    if (w == displayW && h == displayH) return;
    displayW = w;
    displayH = h;
    if (windowed) {
        FitWindow();
        int fittedW = 0, fittedH = 0;
        SDL_GetWindowSize(window, &fittedW, &fittedH);
        std::fprintf(stderr, "valimo: the screen is now %d x %d; the window is fitted again at %d x %d\n", w, h,
                     fittedW, fittedH);
    } else {
        const PictureScaling s = ScalePicture(w, h);
        std::fprintf(stderr, "valimo: the screen is now %d x %d; the picture fills %d x %d of it\n", w, h, s.area.w,
                     s.area.h);
    }
}

void CheckDisplay() {
    const SDL_Rect bounds = DisplayBounds();
    if (bounds.w != knownBoundsW || bounds.h != knownBoundsH) {
        knownBoundsW = bounds.w;
        knownBoundsH = bounds.h;
        DisplayChanged(bounds.w, bounds.h);
        return;
    }
    if (!windowed && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN)) {
        int w = 0, h = 0;
        SDL_GetWindowSize(window, &w, &h);
        if (w >= PICTURE_WIDTH && h >= PICTURE_HEIGHT) DisplayChanged(w, h);
    }
}

// Once the window manager has framed a new window, the frame counts in its fit.
void CheckFrame() {
    if (frameDeadline == 0 || !windowed) return;
    if (SDL_TICKS_PASSED(SDL_GetTicks(), frameDeadline)) {
        frameDeadline = 0;
        return;
    }
    WindowFrame f;
    if (SDL_GetWindowBordersSize(window, &f.top, &f.left, &f.bottom, &f.right) != 0) return;
    if (f.top == 0 && f.left == 0 && f.bottom == 0 && f.right == 0) return;
    frameDeadline = 0;
    if (f.top != frameAssumed.top || f.left != frameAssumed.left || f.bottom != frameAssumed.bottom ||
        f.right != frameAssumed.right)
        FitWindow();
}

}  // namespace

std::vector<std::string> VideoDriversToTry(const char* requested, const std::vector<std::string>& available,
                                           bool waylandReachable) {
    if (requested && *requested) return {requested};
    std::vector<std::string> drivers;
    for (const std::string& d : available) {
        const char* name = d.c_str();
        if (strcasecmp(name, "offscreen") == 0 || strcasecmp(name, "dummy") == 0 || strcasecmp(name, "evdev") == 0)
            continue;
        if (strcasecmp(name, "wayland") == 0 && !waylandReachable) continue;
        drivers.push_back(d);
    }
    return drivers;
}

bool IsAltEnter(const SDL_Event& event) {
    if (event.type != SDL_KEYDOWN || event.key.repeat) return false;
    const SDL_Scancode key = event.key.keysym.scancode;
    return (key == SDL_SCANCODE_RETURN || key == SDL_SCANCODE_KP_ENTER) && (event.key.keysym.mod & KMOD_ALT) != 0;
}

SDL_Window* SdlWindow() { return window; }
SDL_Renderer* SdlRenderer() { return renderer; }
bool SdlWindowed() { return windowed; }
int SdlIconWidth() { return iconWidth; }
int SdlIconHeight() { return iconHeight; }

ScreenArea SdlPictureInWindow() {
    int w = PICTURE_WIDTH, h = PICTURE_HEIGHT;
    if (window) SDL_GetWindowSize(window, &w, &h);
    return ScalePicture(w, h).area;
}

void SdlCloseWindow() {
    PresenterAttach(nullptr);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    renderer = nullptr;
    window = nullptr;
    windowed = false;
    displayW = displayH = knownBoundsW = knownBoundsH = 0;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool HostCreateWindow(const char* title, int width, int height) {
    // The game ends by exiting the process: SDL gives back what it holds then.
    static bool quitAtExit = false;
    if (!quitAtExit) std::atexit(SDL_Quit);
    quitAtExit = true;
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The desktop entry and the window manager know the game by this class.
    setenv("SDL_VIDEO_X11_WMCLASS", "valimo", 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", "valimo", 0);
    if (!StartVideo()) {
        SayNoDisplay();
        return false;
    }
    const SDL_Rect bounds = DisplayBounds();
    window = SDL_CreateWindow(title, bounds.x, bounds.y, bounds.w, bounds.h, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!window) {
        std::fprintf(stderr, "valimo: cannot create the window: %s\n", SDL_GetError());
        return false;
    }
    SDL_SetWindowMinimumSize(window, width, height);
    LoadIcon();
    renderer = SDL_CreateRenderer(window, -1, 0);
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) {
        std::fprintf(stderr, "valimo: cannot create a renderer: %s\n", SDL_GetError());
        SDL_DestroyWindow(window);
        window = nullptr;
        return false;
    }
    PresenterAttach(renderer);
    displayW = knownBoundsW = bounds.w;
    displayH = knownBoundsH = bounds.h;
    GoFullScreen();
    return true;
}

void HostShowWindow() {
    if (!window) return;
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    SdlInputShown();
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
            switch (event.window.event) {
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                PostHostMessage(WM_ACTIVATE, 1, 0);
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                if (!windowed) LoseAllSurfaces();
                PostHostMessage(WM_ACTIVATE, 0, 0);
                break;
            case SDL_WINDOWEVENT_CLOSE:
                PostHostMessage(WM_CLOSE, 0, 0);
                break;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
            case SDL_WINDOWEVENT_MOVED:
            case SDL_WINDOWEVENT_DISPLAY_CHANGED:
                CheckDisplay();
                break;
            default:
                break;
            }
            break;
        case SDL_DISPLAYEVENT:
            CheckDisplay();
            break;
        case SDL_KEYDOWN:
            if (IsAltEnter(event) && window) ToggleFullScreen();
            break;
        default:
            break;
        }
    }
    if (window) CheckFrame();
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
    if (width != PICTURE_WIDTH || height != PICTURE_HEIGHT) return;
    PresentPicture(pixels, pitchPixels, pixelMode);
}

void HostOpenUrl(const char* address) {
    if (address) SDL_OpenURL(address);
}
