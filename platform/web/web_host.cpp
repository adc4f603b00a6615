// The game in a browser page: the canvas shows each frame, the page's focus and
// visibility become window messages, and the frame loop rests in the browser's
// event loop (Asyncify) whenever it sleeps, so the page stays responsive.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstring>

#include "platform/frame_change.h"
#include "platform/host.h"
#include "platform/web/web.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr int64_t kTicksPerSecond = 1000000;

bool windowCreated = false;
bool focused = true;
bool focusChanged = false;
bool eventPending = false;
uint32_t rgba[kWidth * kHeight];
// The frame loop rests through HostSleepUntil and HostWaitEvents, which hand the
// page back to the browser. A pass late for its deadline does not sleep, so the
// host yields itself when the browser has waited too long for its turn.
int64_t lastYield = 0;
constexpr int64_t kLongestWithoutYield = 50000;
int64_t timerLateness = 500;
// Later than this is the machine being busy: waiting it out would only add to that.
constexpr int64_t kMostLateness = 1000;

// The page's frame function (index.html) copies the picture into the canvas.
// The whole 640 x 480 picture, of which the rectangle at (x, y) changed.
EM_JS(void, WebShowFrame, (const void* pixels, int x, int y, int w, int h), {
    if (Module.valimoShowFrame) Module.valimoShowFrame(HEAPU8.subarray(pixels, pixels + 640 * 480 * 4), x, y, w, h);
});

// Frames presented, drawn or not: the page's frame rate for its tests.
// The page asks the game to end in order (another tab took the game over).
EM_JS(int, WebQuitAsked, (), { return Module.valimoQuitAsked ? 1 : 0; });

EM_JS(void, WebCountFrame, (), { Module.valimoPresented = (Module.valimoPresented || 0) + 1; });

EM_JS(void, WebOpenAddress, (const char* address), {
    var text = UTF8ToString(address);
    // Files of the game folder are served beside the page.
    var prefix = "file:///game/";
    if (text.indexOf(prefix) == 0) text = text.substring(prefix.length);
    if (Module.valimoOpen) Module.valimoOpen(text); else window.open(text, "_blank", "noopener");
});

EM_JS(void, WebScreenSize, (int* width, int* height), {
    HEAP32[width >> 2] = Math.round(screen.width * (window.devicePixelRatio || 1));
    HEAP32[height >> 2] = Math.round(screen.height * (window.devicePixelRatio || 1));
});

EM_JS(void, WebShowCursor, (int show), {
    if (Module.canvas) Module.canvas.style.cursor = show ? "default" : "none";
});

void FocusTo(bool now) {
    if (now == focused) return;
    focused = now;
    focusChanged = true;
    eventPending = true;
    if (!now) WebForgetInput();
}

bool PageVisible() {
    EmscriptenVisibilityChangeEvent state;
    return emscripten_get_visibility_status(&state) != EMSCRIPTEN_RESULT_SUCCESS || !state.hidden;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    FocusTo(!event->hidden);
    return EM_FALSE;
}

EM_BOOL OnFocus(int type, const EmscriptenFocusEvent*, void*) {
    FocusTo(type == EMSCRIPTEN_EVENT_FOCUS && PageVisible());
    return EM_FALSE;
}

// Only the rectangle that changed is converted and put on the canvas.
void ShowFrame(const uint16_t* pixels, int pitchPixels, int pixelMode, const FrameRect& r) {
    // Byte order of the canvas: red, green, blue, alpha.
    for (int y = r.y; y < r.y + r.h; y++) {
        const uint16_t* row = pixels + size_t(y) * size_t(pitchPixels);
        uint32_t* out = rgba + size_t(y) * kWidth;
        for (int x = r.x; x < r.x + r.w; x++) {
            const unsigned p = row[x];
            unsigned red, g, b;
            if (pixelMode == 15) {
                red = (p >> 10) & 31;
                g = ((p >> 5) & 31) << 1;
                b = p & 31;
            } else {
                red = p >> 11;
                g = (p >> 5) & 63;
                b = p & 31;
            }
            red = (red << 3) | (red >> 2);
            g = (g << 2) | (g >> 4);
            b = (b << 3) | (b >> 2);
            out[x] = red | g << 8 | b << 16 | 0xFF000000u;
        }
    }
    WebShowFrame(rgba, r.x, r.y, r.w, r.h);
}

int64_t Now() { return int64_t(emscripten_get_now() * 1000.0); }

void SleepMicroseconds(int64_t micros) {
    emscripten_sleep(unsigned(std::max<int64_t>(0, micros / 1000)));
    lastYield = Now();
}

}  // namespace

void WebNoteEvent() { eventPending = true; }
bool WebFocused() { return focused; }

bool HostCreateWindow(const char* title, int width, int height) {
    if (width != kWidth || height != kHeight) return false;
    emscripten_set_window_title(title);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, OnVisibility);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnFocus);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnFocus);
    windowCreated = true;
    return true;
}

void HostShowWindow() {
    // As on the original system, showing the window gives it the focus.
    focused = true;
    focusChanged = false;
    WebWatchInput();
}

bool HostHasWindow() { return windowCreated; }

void HostPumpEvents() {
    eventPending = false;
    static bool quitPosted = false;
    if (!quitPosted && WebQuitAsked()) {
        quitPosted = true;
        PostHostMessage(WM_QUIT, 0, 0);
    }
    if (focusChanged) {
        focusChanged = false;
        PostHostMessage(WM_ACTIVATE, focused ? 1 : 0, 0);
    }
}

void HostShowCursor(bool show) { WebShowCursor(show ? 1 : 0); }

// The canvas is the picture: no bars around it to stand over.
bool HostCursorOverPicture() { return true; }

void HostScreenSize(int* width, int* height) { WebScreenSize(width, height); }

int64_t HostCounterFrequency() { return kTicksPerSecond; }
int64_t HostCounter() { return Now(); }

void HostSleepUntil(int64_t deadline) {
    // The browser's timers fire late, by a millisecond or two and more under load:
    // each sleep ends early by the lateness seen so far, and the rest of the wait,
    // short, is waited out (a zero-length timer nested in others takes four).
    // Timers count whole milliseconds: the nearest one is taken, so a wait ends up to
    // half of one late as often as it ends early, and the processor spins a quarter
    // as long as when it always ended early.
    for (int64_t now = Now(); now < deadline; now = Now()) {
        const int64_t sleep = (deadline - now - timerLateness + 500) / 1000 * 1000;
        if (sleep < 1000) continue;
        const int64_t wanted = now + sleep;
        SleepMicroseconds(sleep);
        const int64_t late = std::clamp<int64_t>(Now() - wanted, 0, kMostLateness);
        timerLateness += (late - timerLateness) / 4;
    }
}

void HostWaitEvents(int timeoutMs) {
    // Events since the last pump count: the pump clears them once it has posted them.
    const int64_t end = Now() + int64_t(std::max(timeoutMs, 0)) * 1000;
    while (!eventPending) {
        const int64_t left = end - Now();
        if (left <= 0) break;
        // Short steps: an event wakes the loop within a few milliseconds.
        SleepMicroseconds(std::min<int64_t>(left, 10000));
    }
}

void HostDisplayFormat(DWORD* bitCount, DWORD* redMask, DWORD* greenMask, DWORD* blueMask) {
    *bitCount = 16;
    *redMask = 0xF800;
    *greenMask = 0x07E0;
    *blueMask = 0x001F;
}

void HostPresent(const uint16_t* pixels, int pitchPixels, int width, int height, int pixelMode) {
    if (width != kWidth || height != kHeight || !pixels) return;
    // Changed on purpose: presenting rests (docs/BEHAVIOUR.md).
    // A frame like the last one is not drawn again: a still screen costs the page nothing.
    const FrameRect changed = NoteFrame(pixels, pitchPixels, pixelMode);
    if (changed.w > 0 && changed.h > 0) ShowFrame(pixels, pitchPixels, pixelMode, changed);
    WebCountFrame();
    WebWatchFiles();
    WebFeedAudio();
    if (Now() - lastYield > kLongestWithoutYield) SleepMicroseconds(0);
}

// The canvas keeps its picture, covered or not, and the page draws it again at a new size.
void HostRepaint() {}

void HostOpenUrl(const char* address) {
    if (address && address[0]) WebOpenAddress(address);
}

// The page has no desktop boxes; what the game says on stderr reaches its console.
bool HostMessageBox(const char* caption, const char* text, bool error) { return false; }
