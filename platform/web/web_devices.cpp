// The page's keyboard, pointer (mouse and touch) and sound.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "platform/hands.h"
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

// Changed on purpose: phones, touch and the phone's own keyboard (docs/BEHAVIOUR.md).
// One finger is the pointer, the first down; others are ignored. A tap clicks
// where it lifts; press, drag and release carries an item and drops it where the
// finger lifts; held still, the finger hovers, so an item's label shows.
constexpr double kLongPressMs = 500.0;
constexpr int kDragPixels = 8;  // picture pixels from where it touched
int finger = -1;
double fingerAt = 0.0;
int32_t fingerX = 0, fingerY = 0, startX = 0, startY = 0;
bool fingerPressed = false, fingerLong = false, carriedAtStart = false;
// The drag's press is read at the point the finger first touched.
bool pressAtStart = false;
// A drop where the finger lifts: reads to go (the button up, down, up again).
int dropReads = 0;

const EmscriptenTouchPoint* FingerIn(const EmscriptenTouchEvent* e, bool starting) {
    for (int i = 0; i < e->numTouches; i++) {
        const EmscriptenTouchPoint& t = e->touches[i];
        if (!t.isChanged) continue;
        if (starting ? finger < 0 : t.identifier == finger) return &t;
    }
    return nullptr;
}

void SeeFinger(const EmscriptenTouchPoint& t) {
    int x = 0, y = 0;
    if (!WebPictureAt(t.clientX, t.clientY, &x, &y)) return;
    fingerX = x;
    fingerY = y;
    if (!pressAtStart) {
        targetX = x;
        targetY = y;
    }
}

EM_BOOL OnTouch(int type, const EmscriptenTouchEvent* e, void*) {
    WebNoteEvent();
    const EmscriptenTouchPoint* t = FingerIn(e, type == EMSCRIPTEN_EVENT_TOUCHSTART);
    // No mouse events made up from the touch, no scrolling of the page.
    if (!t) return EM_TRUE;
    if (type == EMSCRIPTEN_EVENT_TOUCHSTART) {
        // Sound may take a while to start on the first touch: the hold counts from after it.
        WebStartAudio();
        finger = t->identifier;
        fingerAt = emscripten_get_now();
        fingerPressed = fingerLong = pressAtStart = false;
        carriedAtStart = CurrentHandsHints().carrying;
        SeeFinger(*t);
        startX = fingerX;
        startY = fingerY;
        return EM_TRUE;
    }
    SeeFinger(*t);
    const bool far = std::abs(fingerX - startX) > kDragPixels || std::abs(fingerY - startY) > kDragPixels;
    if (type == EMSCRIPTEN_EVENT_TOUCHMOVE) {
        // A drag takes up what lies where it began; a carried item just follows.
        if (far && !fingerPressed && !fingerLong && !carriedAtStart) {
            fingerPressed = true;
            pressAtStart = true;
            targetX = startX;
            targetY = startY;
            buttonHeld = buttonPressed = true;
        }
        return EM_TRUE;
    }
    finger = -1;
    if (type == EMSCRIPTEN_EVENT_TOUCHCANCEL) {
        buttonHeld = false;
        pressAtStart = false;
        return EM_TRUE;
    }
    if (fingerPressed) {
        buttonHeld = false;
        // What the drag took up is dropped where the finger lifts.
        if (dropReads == 0) dropReads = 3;
    } else if (!fingerLong) {
        buttonPressed = true;  // a tap, or the lift of a carried item: one click there
    }
    return EM_TRUE;
}

// The page lays a real text input over the game's text box, so a phone opens its
// own keyboard; told only when something changed.
EM_JS(void, WebTextBox, (int shown, int focused, int x, int y, int w, int h, const char* text, int most), {
    if (Module.valimoTextBox) Module.valimoTextBox(shown, focused, x, y, w, h, UTF8ToString(text), most);
});

void MirrorTextBox() {
    static HandsHints told{};
    static char toldText[64] = {};
    const HandsHints& h = CurrentHandsHints();
    const char* text = h.boxText ? h.boxText : "";
    if (h.boxShown == told.boxShown && h.typing == told.typing && h.boxX == told.boxX && h.boxY == told.boxY &&
        h.boxWidth == told.boxWidth && std::strncmp(text, toldText, sizeof toldText) == 0)
        return;
    told = h;
    std::snprintf(toldText, sizeof toldText, "%s", text);
    WebTextBox(h.boxShown, h.typing, h.boxX, h.boxY, h.boxWidth, h.boxHeight, toldText, h.boxLength);
}

// Changed on purpose: controllers in the page (docs/BEHAVIOUR.md).
// Controllers of the page (index.html reads the Gamepad API): the buttons as bits
// in the order of PadButton and the left stick; -1 with no controller.
EM_JS(int, WebReadPads, (float* stick), {
    var read = Module.valimoReadPads ? Module.valimoReadPads() : null;
    if (!read) return -1;
    HEAPF32[stick >> 2] = read.x;
    HEAPF32[(stick >> 2) + 1] = read.y;
    return read.bits;
});

int padBits = -1;

// The pads' changes since the last read reach the same hands as SDL's controllers.
void ReadPads() {
    float stick[2] = {0.0f, 0.0f};
    const int bits = WebReadPads(stick);
    if (bits < 0) {
        if (padBits >= 0) HandsPadReleased();
        padBits = -1;
        return;
    }
    const int was = padBits < 0 ? 0 : padBits;
    for (int b = 0; b < PADB_COUNT; b++)
        if (((bits ^ was) >> b) & 1) HandsPadButton(b, ((bits >> b) & 1) != 0);
    HandsPadStick(stick[0], stick[1]);
    if (bits != was) WebNoteEvent();
    padBits = bits;
}

void ForgetPads() {
    if (padBits >= 0) HandsPadReleased();
    padBits = -1;
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

// A character of the page's text input ('\b' Backspace, '\n' Return).
extern "C" EMSCRIPTEN_KEEPALIVE void valimo_type_char(int c) {
    HandsTypeChar(c);
    WebNoteEvent();
}

void HostAcquireKeyboard() { WebWatchInput(); }
void HostAcquireMouse() { WebWatchInput(); }
void HostUnacquireMouse() {}

void HostReadKeyboard(uint8_t state[256]) {
    std::memset(state, 0, 256);
    if (!WebFocused()) {
        ForgetPending();
        ForgetPads();
        return;
    }
    ReadPads();
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
    if (pressAtStart && buttons[0]) {
        pressAtStart = false;
        targetX = fingerX;
        targetY = fingerY;
    }
    if (finger >= 0 && !fingerPressed && !fingerLong && !carriedAtStart &&
        emscripten_get_now() - fingerAt >= kLongPressMs)
        fingerLong = true;
    // The drop after a drag: a read with the button up, one with it down, then up.
    if (dropReads > 0) {
        dropReads--;
        buttons[0] = dropReads == 1 && CurrentHandsHints().carrying ? 0x80 : 0;
    }
    MirrorTextBox();
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
