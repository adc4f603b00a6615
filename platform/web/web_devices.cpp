// The page's keyboard, pointer (mouse and touch) and sound.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/host.h"
#include "platform/host_devices.h"
#include "platform/keymap.h"
#include "platform/web/web_keys.h"
#include "platform/web/web.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

bool watching = false;
// Keys by scancode (USB usage), as the events told: held now, and pressed since
// the last read (a tap shorter than a frame counts as held for that read); the
// Return of Alt+Enter is the page's, never the game's.
bool keyHeld[SCANCODE_COUNT] = {};
bool keyPressed[SCANCODE_COUNT] = {};
bool keyHidden[SCANCODE_COUNT] = {};
bool buttonHeld = false, buttonPressed = false;

// The game reads relative motion; the page knows where its pointer is. The first
// read sends the game's pointer to the corner, every later one moves it from where
// the reported motion has put it to where the page's pointer stands.
bool firstRead = true;
int32_t pointerX = 0, pointerY = 0;
int32_t targetX = kWidth / 2, targetY = kHeight / 2;

bool audioOpen = false;

void ForgetPending() {
    std::memset(keyHeld, 0, sizeof keyHeld);
    std::memset(keyPressed, 0, sizeof keyPressed);
    std::memset(keyHidden, 0, sizeof keyHidden);
    buttonHeld = buttonPressed = false;
}

bool IsAltEnter(const EmscriptenKeyboardEvent* e) {
    return e->altKey && !e->repeat && (std::strcmp(e->code, "Enter") == 0 || std::strcmp(e->code, "NumpadEnter") == 0);
}

// The canvas's place on the page, to read the pointer against.
EM_JS(int, WebPictureAt, (double clientX, double clientY, int* x, int* y), {
    var canvas = Module.canvas;
    if (!canvas) return 0;
    var r = canvas.getBoundingClientRect();
    if (r.width <= 0 || r.height <= 0) return 0;
    var px = Math.floor((clientX - r.left) * 640 / r.width);
    var py = Math.floor((clientY - r.top) * 480 / r.height);
    HEAP32[x >> 2] = Math.max(0, Math.min(640, px));
    HEAP32[y >> 2] = Math.max(0, Math.min(480, py));
    return 1;
});

EM_JS(void, WebStartAudio, (), {
    if (Module.valimoStartAudio) Module.valimoStartAudio();
});

// Seconds of sound queued ahead of the browser's audio clock; -1 without sound.
EM_JS(double, WebAudioAhead, (), {
    return Module.valimoAudioAhead ? Module.valimoAudioAhead() : -1;
});

EM_JS(void, WebQueueAudio, (const uint8_t* samples, int count), {
    if (Module.valimoQueueAudio) Module.valimoQueueAudio(HEAPU8.subarray(samples, samples + count));
});

void SeePointer(double clientX, double clientY) {
    int x = 0, y = 0;
    if (!WebPictureAt(clientX, clientY, &x, &y)) return;
    targetX = x;
    targetY = y;
}

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* e, void*) {
    WebNoteEvent();
    const int key = WebCodeToScancode(e->code);
    if (type == EMSCRIPTEN_EVENT_KEYDOWN) {
        // The page switches full screen on Alt+Enter (index.html), also before and after the game.
        if (IsAltEnter(e)) {
            if (key > 0) keyHidden[key] = true;
            return EM_TRUE;
        }
        // The browser keeps its own shortcuts: reload, developer tools, copy and paste.
        if (e->ctrlKey || e->metaKey || std::strcmp(e->code, "F5") == 0 || std::strcmp(e->code, "F11") == 0 ||
            std::strcmp(e->code, "F12") == 0)
            return EM_FALSE;
        if (key > 0 && !keyHidden[key]) {
            keyHeld[key] = true;
            if (!e->repeat) keyPressed[key] = true;
        }
        return key > 0 ? EM_TRUE : EM_FALSE;
    }
    if (key > 0) keyHeld[key] = keyHidden[key] = false;
    return key > 0 ? EM_TRUE : EM_FALSE;
}

EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* e, void*) {
    WebNoteEvent();
    SeePointer(e->clientX, e->clientY);
    if (type == EMSCRIPTEN_EVENT_MOUSEDOWN && e->button == 0) {
        buttonHeld = buttonPressed = true;
        WebStartAudio();
    } else if (type == EMSCRIPTEN_EVENT_MOUSEUP && e->button == 0) {
        buttonHeld = false;
    }
    return EM_FALSE;
}

// One finger is the pointer: touching presses the button where it touches.
EM_BOOL OnTouch(int type, const EmscriptenTouchEvent* e, void*) {
    WebNoteEvent();
    if (e->numTouches <= 0) return EM_FALSE;
    const EmscriptenTouchPoint& t = e->touches[0];
    SeePointer(t.clientX, t.clientY);
    if (type == EMSCRIPTEN_EVENT_TOUCHSTART) {
        buttonHeld = buttonPressed = true;
        WebStartAudio();
    } else if (type == EMSCRIPTEN_EVENT_TOUCHEND || type == EMSCRIPTEN_EVENT_TOUCHCANCEL) {
        buttonHeld = false;
    }
    // No mouse events made up from the touch, no scrolling of the page.
    return EM_TRUE;
}

}  // namespace

void WebWatchInput() {
    if (watching) return;
    watching = true;
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, nullptr, EM_FALSE, OnKey);
    emscripten_set_keyup_callback(window, nullptr, EM_FALSE, OnKey);
    emscripten_set_mousedown_callback("#canvas", nullptr, EM_FALSE, OnMouse);
    // Moves and releases anywhere on the page count, as a held button dragged off the picture.
    emscripten_set_mousemove_callback(window, nullptr, EM_FALSE, OnMouse);
    emscripten_set_mouseup_callback(window, nullptr, EM_FALSE, OnMouse);
    emscripten_set_touchstart_callback("#canvas", nullptr, EM_FALSE, OnTouch);
    emscripten_set_touchmove_callback("#canvas", nullptr, EM_FALSE, OnTouch);
    emscripten_set_touchend_callback("#canvas", nullptr, EM_FALSE, OnTouch);
    emscripten_set_touchcancel_callback("#canvas", nullptr, EM_FALSE, OnTouch);
}

void WebForgetInput() { ForgetPending(); }

void HostAcquireKeyboard() { WebWatchInput(); }
void HostAcquireMouse() { WebWatchInput(); }
void HostUnacquireMouse() {}

void HostReadKeyboard(uint8_t state[256]) {
    std::memset(state, 0, 256);
    if (!WebFocused()) {
        ForgetPending();
        return;
    }
    ReadKeyboardFromScancodes(keyHeld, keyPressed, keyHidden, state);
}

void HostReadMouse(int32_t* dx, int32_t* dy, int32_t* dz, uint8_t buttons[4]) {
    *dx = *dy = *dz = 0;
    buttons[0] = buttons[1] = buttons[2] = buttons[3] = 0;
    if (!WebFocused()) {
        ForgetPending();
        return;
    }
    if (firstRead) {
        *dx = *dy = -(1 << 20);
        pointerX = pointerY = 0;
        firstRead = false;
    } else {
        // Until the page's pointer is seen, the game's stands in the middle.
        *dx = targetX - pointerX;
        *dy = targetY - pointerY;
        pointerX = targetX;
        pointerY = targetY;
    }
    buttons[0] = buttonHeld || buttonPressed ? 0x80 : 0;
    buttonPressed = false;
}

// The page's pointer cannot be moved: the game's stands where the keys put it
// until the page's pointer moves again.
void HostPointerNudged(int32_t dx, int32_t dy) {
    pointerX = std::clamp(pointerX + dx, 0, kWidth);
    pointerY = std::clamp(pointerY + dy, 0, kHeight);
    targetX = pointerX;
    targetY = pointerY;
}

bool HostOpenAudio() {
    audioOpen = WebAudioAhead() >= 0;
    if (!audioOpen) std::fprintf(stderr, "valimo: no sound: this browser has no Web Audio\n");
    return audioOpen;
}

void HostCloseAudio() { audioOpen = false; }
void HostSoundStarted(const IDirectSoundBuffer*) { WebStartAudio(); }

void WebFeedAudio() {
    if (!audioOpen) return;
    // Blocks of about 46 ms, kept about 0.14 s ahead: a frame late never runs dry.
    // Silence is mixed at the pace of the clock but not handed to the browser.
    static uint8_t block[1024];
    static double silentUntil = 0.0;
    constexpr double kBlockMs = 1000.0 * sizeof block / 22050.0;
    for (int i = 0; i < 4; i++) {
        const double ahead = WebAudioAhead();
        if (ahead < 0 || ahead > 0.14) break;
        const double now = emscripten_get_now();
        if (ahead == 0 && now < silentUntil) break;
        MixSoundBuffers(block, int(sizeof block));
        bool silent = true;
        for (uint8_t sample : block) silent = silent && sample == 0x80;
        if (!silent) {
            WebQueueAudio(block, int(sizeof block));
            continue;
        }
        silentUntil = std::max(now, silentUntil) + kBlockMs;
        break;
    }
}
