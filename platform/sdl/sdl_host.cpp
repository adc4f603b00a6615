// The real game's host: one SDL window, full screen on the desktop by default
// and a fitted window after Alt+Enter; focus and close events become window
// messages.
#include "platform/sdl/sdl_host.h"

#include <SDL_syswm.h>
#include <dlfcn.h>
#include <signal.h>
#include <sys/prctl.h>
#include <strings.h>
#include <time.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/command_line.h"
#include "platform/faults.h"
#include "platform/frame_change.h"
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
// The game's wish (it hides the desktop arrow and draws its own) and what is set now.
bool cursorWanted = true;
bool cursorShown = true;
bool displayLost = false;
bool quitPosted = false;
// Where the desktop pointer was last seen: over the picture, or outside the
// window or over the bars (then the game draws no arrow of its own).
bool pointerOverPicture = true;

// ---- the display going away ----

// Changed on purpose: display loss (docs/BEHAVIOUR.md).
// Xlib's own end for a broken connection is exit(1), whose exit handlers then
// wait on the dead connection. Its exit handler (libX11 1.7 and later) may
// return instead: the connection is marked broken and every later call on it
// returns at once, so the game can end in order.
using XIOHandler = int (*)(void*);
using XIOExitHandler = void (*)(void*, void*);

int QuietXIOError(void*) { return 0; }

void XConnectionBroke(void*, void*) { SdlLoseDisplay(); }

// A function of the display library SDL already uses for the window, found
// without loading a library of our own (SDL keeps it loaded); null when the
// window is on another kind of display or the library lacks it.
void* DisplayFunction(SDL_SYSWM_TYPE subsystem, const char* library, const char* name, SDL_SysWMinfo* info) {
    SDL_VERSION(&info->version);
    if (!window || !SDL_GetWindowWMInfo(window, info) || info->subsystem != subsystem) return nullptr;
    void* handle = dlopen(library, RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return nullptr;
    void* function = dlsym(handle, name);
    dlclose(handle);
    return function;
}

void WatchX11Connection() {
    SDL_SysWMinfo info;
    auto setExitHandler = reinterpret_cast<void (*)(void*, XIOExitHandler, void*)>(
        DisplayFunction(SDL_SYSWM_X11, "libX11.so.6", "XSetIOErrorExitHandler", &info));
    auto setHandler = reinterpret_cast<XIOHandler (*)(XIOHandler)>(
        DisplayFunction(SDL_SYSWM_X11, "libX11.so.6", "XSetIOErrorHandler", &info));
    if (setExitHandler && setHandler) {
        setHandler(QuietXIOError);
        setExitHandler(info.info.x11.display, XConnectionBroke, nullptr);
    }
}

// Only an X server tells a client where the pointer is: asked of the window
// itself, not reckoned from where SDL last saw the window.
bool AskX11Pointer(int* x, int* y) {
    if (displayLost) return false;
    using QueryPointer = int (*)(void*, unsigned long, unsigned long*, unsigned long*, int*, int*, int*, int*,
                                 unsigned*);
    SDL_SysWMinfo info;
    const auto query =
        reinterpret_cast<QueryPointer>(DisplayFunction(SDL_SYSWM_X11, "libX11.so.6", "XQueryPointer", &info));
    unsigned long root = 0, child = 0;
    int rootX = 0, rootY = 0;
    unsigned mask = 0;
    return query && query(info.info.x11.display, info.info.x11.window, &root, &child, &rootX, &rootY, x, y, &mask) != 0;
}

// SDL turns a Wayland connection that fails into SDL_QUIT; the display's error
// tells it from a quit asked for by a signal.
bool WaylandConnectionBroken() {
    SDL_SysWMinfo info;
    const auto getError = reinterpret_cast<int (*)(void*)>(
        DisplayFunction(SDL_SYSWM_WAYLAND, "libwayland-client.so.0", "wl_display_get_error", &info));
    return getError && getError(info.info.wl.display) != 0;
}

// At exit SDL gives back what it holds, except a display connection that is gone.
void QuitSdlAtExit() {
    if (displayLost) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    SDL_Quit();
}

// Seen as they are queued, in order with the motion the input devices watch:
// a pointer gone from the window is drawn by the desktop alone.
int WatchCrossing(void*, SDL_Event* event) {
    if (event->type == SDL_WINDOWEVENT && event->window.event == SDL_WINDOWEVENT_LEAVE) pointerOverPicture = false;
    return 1;
}

void ApplyCursor(bool show) {
    if (show == cursorShown || displayLost || !SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    cursorShown = show;
}

// In full screen the desktop pointer stays on the picture, never in a window.
void ConfinePointer() {
    if (!window || displayLost) return;
    if (windowed) {
        SDL_SetWindowMouseRect(window, nullptr);
        return;
    }
    const ScreenArea a = SdlPictureInWindow();
    const SDL_Rect rect{a.x, a.y, a.w, a.h};
    SDL_SetWindowMouseRect(window, &rect);
}

volatile sig_atomic_t hangUpCaught = 0;

void OnHangUp(int) { hangUpCaught = 1; }

// Changed on purpose: a hang-up ends the game in order (docs/BEHAVIOUR.md).
// SDL turns SIGINT and SIGTERM into SDL_QUIT; a closed terminal or an ended
// session sends SIGHUP, which would kill the game between two writes. A hang-up
// ignored by whoever started the game (nohup) stays ignored.
void CatchHangUp() {
    struct sigaction current {};
    if (sigaction(SIGHUP, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) return;
    struct sigaction caught {};
    caught.sa_handler = OnHangUp;
    sigemptyset(&caught.sa_mask);
    sigaction(SIGHUP, &caught, nullptr);
}

bool StartVideo() {
    if (SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) return false;
    CatchHangUp();
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
    ConfinePointer();
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
    ConfinePointer();
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
        ConfinePointer();
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
    // A test's lost display is only pretended: the connection is still there to close.
    PresenterAttach(nullptr);
    FrameForget();
    SdlStopPads();
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    renderer = nullptr;
    window = nullptr;
    windowed = false;
    displayW = displayH = knownBoundsW = knownBoundsH = 0;
    cursorShown = true;
    displayLost = quitPosted = false;
}

bool SdlDisplayLost() { return displayLost; }

bool SdlDesktopPointer(int* x, int* y) { return AskX11Pointer(x, y); }

void SdlLoseDisplay() {
    if (displayLost) return;
    displayLost = true;
    std::fprintf(stderr, "valimo: the display has gone away; the game ends\n");
}

// Changed on purpose: one arrow where the pointer is (docs/BEHAVIOUR.md).
// Over the bars, in full screen as in a window, the desktop's arrow shows and the
// game draws none.
void SdlPointerOver(int x, int y) {
    const ScreenArea a = SdlPictureInWindow();
    // SDL holds what it reports to the rectangle the pointer is confined to in full
    // screen; a tablet's or a remote desktop's pointer goes past it into the bars,
    // so at its edge the display is asked where the pointer really is.
    int realX = x, realY = y;
    if (!windowed && (x <= a.x || y <= a.y || x >= a.x + a.w - 1 || y >= a.y + a.h - 1) &&
        SdlDesktopPointer(&realX, &realY)) {
        x = realX;
        y = realY;
    }
    pointerOverPicture = x >= a.x && y >= a.y && x < a.x + a.w && y < a.y + a.h;
    if (!cursorWanted) ApplyCursor(!pointerOverPicture);
}

bool HostCursorOverPicture() { return pointerOverPicture; }

std::string SoftwareRasteriser(const char* glRendererName) {
    if (!glRendererName) return "";
    std::string lower = glRendererName;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (const char* known : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
        if (lower.find(known) != std::string::npos) return glRendererName;
    return "";
}

namespace {

// What the GL renderer draws with; empty when it is not a GL renderer.
std::string GlRendererName() {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0) return "";
    using GetString = const unsigned char* (*)(unsigned);
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(0x1F01) : nullptr;  // GL_RENDERER
    return name ? reinterpret_cast<const char*>(name) : "";
}

bool IsWayland() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && strcasecmp(driver, "wayland") == 0;
}

// SDL's software renderer, drawing straight into the window (X11, and SDL's
// offscreen and dummy drivers): with no graphics card a GL window framebuffer
// would only rasterise on the processor again. Wayland has no other way to the
// screen than GL; SDL decides that once, so the hint is not given there.
SDL_Renderer* CreateSoftwareRenderer() {
    if (!IsWayland()) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

// The window's renderer. A GL renderer that rasterises on the processor does not
// scale the picture: our own scaler does, much faster. `onProcessor` tells the
// presenter so when the renderer stays a GL one.
SDL_Renderer* CreateRenderer(bool* onProcessor) {
    *onProcessor = false;
    SDL_Renderer* r = nullptr;
    HRESULT fault;
    if (!TakeFault("SDL_CreateRenderer(accelerated)", &fault)) r = SDL_CreateRenderer(window, -1, 0);
    if (!r) return CreateSoftwareRenderer();
    renderer = r;
    const std::string rasteriser = SoftwareRasteriser(GlRendererName().c_str());
    renderer = nullptr;
    if (rasteriser.empty()) return r;
    if (!IsWayland()) {
        SDL_DestroyRenderer(r);
        r = CreateSoftwareRenderer();
        if (r) {
            std::fprintf(stderr,
                         "valimo: no graphics card (the GL renderer is %s); the picture is scaled by the game's own "
                         "scaler and shown by SDL's software renderer\n",
                         rasteriser.c_str());
            return r;
        }
        r = SDL_CreateRenderer(window, -1, 0);
        if (!r) return nullptr;
    }
    // On Wayland only GL reaches the screen at the output's own pixels; it then
    // only copies what our scaler made.
    *onProcessor = true;
    std::fprintf(stderr,
                 "valimo: no graphics card (the GL renderer is %s); the picture is scaled by the game's own scaler\n",
                 rasteriser.c_str());
    return r;
}

}  // namespace

bool HostCreateWindow(const char* title, int width, int height) {
    // The game ends by exiting the process: SDL gives back what it holds then.
    static bool quitAtExit = false;
    if (!quitAtExit) std::atexit(QuitSdlAtExit);
    quitAtExit = true;
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // The desktop entry and the window manager know the game by this class.
    setenv("SDL_VIDEO_X11_WMCLASS", "valimo", 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", "valimo", 0);
    if (!StartVideo()) {
        SayNoDisplay();
        return false;
    }
    SDL_DelEventWatch(WatchCrossing, nullptr);
    SDL_AddEventWatch(WatchCrossing, nullptr);
    pointerOverPicture = true;
    const SDL_Rect bounds = DisplayBounds();
    // High resolution: on a scaled Wayland output the picture is drawn at the
    // output's own pixels, not enlarged (and softened) by the compositor.
    window = SDL_CreateWindow(title, bounds.x, bounds.y, bounds.w, bounds.h,
                              SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window) {
        std::fprintf(stderr, "valimo: cannot create the window: %s\n", SDL_GetError());
        return false;
    }
    SDL_SetWindowMinimumSize(window, width, height);
    LoadIcon();
    WatchX11Connection();
    bool onProcessor = false;
    renderer = CreateRenderer(&onProcessor);
    if (!renderer) {
        std::fprintf(stderr, "valimo: cannot create a renderer: %s\n", SDL_GetError());
        SDL_DestroyWindow(window);
        window = nullptr;
        return false;
    }
    PresenterAttach(renderer);
    if (onProcessor) PresenterForcePath(PRESENT_ON_PROCESSOR);
    displayW = knownBoundsW = bounds.w;
    displayH = knownBoundsH = bounds.h;
    if (StartInWindow()) {
        BecomeWindow();
    } else {
        GoFullScreen();
    }
    cursorShown = true;
    ApplyCursor(cursorWanted);
    return true;
}

void SdlToggleFullScreen() {
    if (window && !displayLost) ToggleFullScreen();
}

void HostShowWindow() {
    if (!window || displayLost) return;
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    SdlInputShown();
}

bool HostHasWindow() { return window != nullptr; }

namespace {

void HandleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        if (WaylandConnectionBroken()) SdlLoseDisplay();
        PostHostMessage(WM_QUIT, 0, 0);
        quitPosted = true;
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
        case SDL_WINDOWEVENT_DISPLAY_CHANGED:
            CheckDisplay();
            PostHostMessage(WM_PAINT, 0, 0);
            break;
        case SDL_WINDOWEVENT_MOVED:
            CheckDisplay();
            break;
        // Changed on purpose: repaint when uncovered (docs/BEHAVIOUR.md).
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
            PostHostMessage(WM_PAINT, 0, 0);
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
        SdlPadEvent(event);
        break;
    }
}

// Drivers that wake a waiting program when the desktop sends something; the
// others (offscreen, dummy) only have what the program pushes itself.
bool DriverWakesOnEvents() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && (strcasecmp(driver, "x11") == 0 || strcasecmp(driver, "wayland") == 0);
}

// A lost display ends the game as a quit request does, told once; then nothing
// more is read from it.
bool DisplayGone() {
    if (!displayLost) return false;
    if (!quitPosted) PostHostMessage(WM_QUIT, 0, 0);
    quitPosted = true;
    return true;
}

}  // namespace

void HostPumpEvents() {
    HRESULT fault;
    if (TakeFault("display connection", &fault)) SdlLoseDisplay();
    if (DisplayGone()) return;
    SDL_Event event;
    if (hangUpCaught) {
        hangUpCaught = 0;
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
    while (SDL_PollEvent(&event)) HandleEvent(event);
    // The connection may have broken while the events were read.
    if (DisplayGone()) return;
    if (window) CheckFrame();
}

void HostWaitEvents(int timeoutMs) {
    if (DisplayGone() || !SDL_WasInit(SDL_INIT_VIDEO) || timeoutMs <= 0) return;
    SDL_Event event;
    if (DriverWakesOnEvents()) {
        // The event taken here is the first of the queue: handled now, it keeps its order.
        if (SDL_WaitEventTimeout(&event, timeoutMs)) HandleEvent(event);
        return;
    }
    // SDL would poll every millisecond for these; a hundredth of a second is soon enough.
    const int64_t end = HostCounter() + int64_t(timeoutMs) * 1000000;
    for (;;) {
        SDL_PumpEvents();
        if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
        const int64_t now = HostCounter();
        if (now >= end) return;
        HostSleepUntil(std::min(end, now + 10000000));
    }
}

void HostShowCursor(bool show) {
    // Also before the window exists: the wish is applied when it is made.
    cursorWanted = show;
    ApplyCursor(show);
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

// The counter is the clock the cap sleeps on, in nanoseconds: a sleep to a
// deadline then ends exactly when the counter reaches it.
int64_t HostCounterFrequency() { return 1000000000; }
int64_t HostCounter() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void HostSleepUntil(int64_t deadline) {
    // The kernel may wake a sleeper up to its timer slack late (50 us by default):
    // a fortieth of a percent of every frame. The game asks for none.
    static const bool exact = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    (void)exact;
    // A signal ends the sleep early; the loop sleeps again until the counter is there.
    while (HostCounter() < deadline) {
        const timespec at{time_t(deadline / 1000000000), long(deadline % 1000000000)};
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
    }
}

void HostDisplayFormat(DWORD* bitCount, DWORD* redMask, DWORD* greenMask, DWORD* blueMask) {
    *bitCount = 16;
    *redMask = 0xF800;
    *greenMask = 0x07E0;
    *blueMask = 0x001F;
}

void HostPresent(const uint16_t* pixels, int pitchPixels, int width, int height, int pixelMode) {
    if (displayLost || width != PICTURE_WIDTH || height != PICTURE_HEIGHT) return;
    // Changed on purpose: presenting rests (docs/BEHAVIOUR.md).
    if (PresenterNeedsWhole()) FrameShowWhole();
    const FrameRect changed = NoteFrame(pixels, pitchPixels, pixelMode);
    if (changed.w > 0 && changed.h > 0) PresentPicture(pixels, pitchPixels, pixelMode, changed);
}

void HostRepaint() {
    const uint16_t* frame = ShownFrame();
    if (displayLost || !frame) return;
    PresentPicture(frame, PICTURE_WIDTH, ShownFramePixelMode());
}

void HostOpenUrl(const char* address) {
    if (address && !displayLost) SDL_OpenURL(address);
}

// Before SDL starts (a second copy) or after the game's window is done with: SDL
// shows a box without its video. The test drivers have no desktop to show it on.
bool HostMessageBox(const char* caption, const char* text, bool error) {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (displayLost || (driver && (!strcasecmp(driver, "dummy") || !strcasecmp(driver, "offscreen")))) return false;
    if (window) SDL_HideWindow(window);
    // SDL's box on X11 never wraps: one long line would run off a small screen.
    std::string lines = text;
    constexpr size_t kLineLength = 64;
    for (size_t start = 0, space = 0; (space = lines.find(' ', start + kLineLength)) != std::string::npos;) {
        lines[space] = '\n';
        start = space + 1;
    }
    const Uint32 kind = error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    return SDL_ShowSimpleMessageBox(kind, caption, lines.c_str(), nullptr) == 0;
}
