// The real game's keyboard, mouse and audio device.
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/hands.h"
#include "platform/host_devices.h"
#include "platform/keymap.h"
#include "platform/sdl/sdl_host.h"

static_assert(SDL_SCANCODE_A == 4 && SDL_SCANCODE_ESCAPE == 41 && SDL_SCANCODE_KP_ENTER == 88 &&
                  SDL_SCANCODE_LCTRL == 224 && SDL_SCANCODE_AUDIONEXT == 258 && SDL_NUM_SCANCODES <= SCANCODE_COUNT,
              "the key table is numbered as SDL numbers its scancodes");

namespace {

bool watching = false;
bool focused = false;
// Keys by SDL scancode, as the events told: held now, pressed since the last
// read (a tap shorter than a frame counts as held for that read), and the Return
// of Alt+Enter, which the game never sees until it is released.
bool keyHeld[SCANCODE_COUNT] = {};
bool keyPressed[SCANCODE_COUNT] = {};
bool keyHidden[SCANCODE_COUNT] = {};
bool buttonHeld = false, buttonPressed = false;

// Changed on purpose: the host's pointer rules (docs/BEHAVIOUR.md).
// The pointer. The game reads relative motion; the host computes it from the
// desktop pointer, in full screen as in a window, so that the game's pointer
// stands where the desktop's is whatever moves it: a mouse, a touchscreen, a
// tablet, a virtual machine's pointer, a remote desktop. For that the host keeps
// where the motion it reported has put the game's pointer: at the first reads
// it sends the pointer to the corner, then to its place.
int placed = 0;  // reads done of the two that place the pointer
int32_t pointerX = 0, pointerY = 0;
bool hasTarget = false;  // where the desktop pointer was last seen over the window
int32_t targetX = 0, targetY = 0;
// The window changed between full screen and a window, or moved: the desktop
// pointer is looked up at the next reads, as no motion may come to tell where it
// now is (a crossing event may tell where it was before the window settled).
int lookAgain = 0;
SDL_AudioDeviceID audioDevice = 0;

void ForgetPending() {
    std::memset(keyHeld, 0, sizeof keyHeld);
    std::memset(keyPressed, 0, sizeof keyPressed);
    std::memset(keyHidden, 0, sizeof keyHidden);
    buttonHeld = buttonPressed = false;
    hasTarget = false;
}

int32_t Clamp(int64_t v, int32_t high) { return v <= 0 ? 0 : v > high ? high : int32_t(v); }

// The desktop pointer at (x, y) of the window, in picture pixels.
void SeeDesktopPointer(int x, int y) {
    int w = PICTURE_WIDTH, h = PICTURE_HEIGHT;
    if (SdlWindow()) SDL_GetWindowSize(SdlWindow(), &w, &h);
    const PicturePoint p = PointerInPicture(x, y, w, h);
    targetX = p.x;
    targetY = p.y;
    hasTarget = true;
    SdlPointerOver(x, y);
}

// Where the desktop pointer is now. SDL's own idea of it is from before the
// window moved; where the display cannot be asked (Wayland) the game's pointer
// stays until the next motion places it.
void LookForDesktopPointer() {
    int x = 0, y = 0;
    if (SdlDesktopPointer(&x, &y)) SeeDesktopPointer(x, y);
}

// Sees each event as it is queued; the window's own event loop reads the queue.
int WatchEvent(void*, SDL_Event* event) {
    switch (event->type) {
    case SDL_KEYDOWN: {
        const int key = event->key.keysym.scancode;
        if (key < 0 || key >= SDL_NUM_SCANCODES) break;
        // Changed on purpose: Alt+Enter (docs/BEHAVIOUR.md).
        if (IsAltEnter(*event)) {
            keyHidden[key] = true;
        } else if (!keyHidden[key]) {
            keyHeld[key] = true;
            if (!event->key.repeat) keyPressed[key] = true;
        }
        break;
    }
    case SDL_KEYUP: {
        const int key = event->key.keysym.scancode;
        if (key < 0 || key >= SDL_NUM_SCANCODES) break;
        keyHeld[key] = keyHidden[key] = false;
        break;
    }
    case SDL_MOUSEMOTION:
        // Touch comes here too, as SDL's pointer events of a touch.
        SeeDesktopPointer(event->motion.x, event->motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event->button.button == SDL_BUTTON_LEFT) buttonHeld = buttonPressed = true;
        break;
    case SDL_MOUSEBUTTONUP:
        if (event->button.button == SDL_BUTTON_LEFT) buttonHeld = false;
        break;
    case SDL_WINDOWEVENT:
        // The window moved or changed size under a pointer that may stand still.
        if (event->window.event == SDL_WINDOWEVENT_MOVED || event->window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            SdlPointerFollowWindow();
        if (event->window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            focused = false;
            ForgetPending();
            HandsPadReleased();
        } else if (event->window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            focused = true;
        }
        break;
    default:
        break;
    }
    return 1;
}

void Watch() {
    if (watching) return;
    SDL_AddEventWatch(WatchEvent, nullptr);
    watching = true;
}

// The motion of this read: the placing reads first, then to the desktop pointer.
void NextMotion(int32_t* dx, int32_t* dy) {
    if (lookAgain > 0) {
        lookAgain--;
        LookForDesktopPointer();
    }
    int64_t x = 0, y = 0;
    if (placed == 0) {
        x = y = -(int64_t(1) << 20);
        placed = 1;
    } else if (placed == 1) {
        // Not yet seen: the middle, as the game places its pointer itself.
        x = (hasTarget ? targetX : PICTURE_WIDTH / 2) - pointerX;
        y = (hasTarget ? targetY : PICTURE_HEIGHT / 2) - pointerY;
        placed = 2;
    } else if (hasTarget) {
        x = targetX - pointerX;
        y = targetY - pointerY;
    }
    *dx = int32_t(x);
    *dy = int32_t(y);
    pointerX = Clamp(int64_t(pointerX) + x, PICTURE_WIDTH);
    pointerY = Clamp(int64_t(pointerY) + y, PICTURE_HEIGHT);
}

void AudioCallback(void*, Uint8* stream, int length) { MixSoundBuffers(stream, length); }

}  // namespace

void SdlInputShown() {
    Watch();
    SdlStartPads();
    focused = true;
}

void SdlPointerFollowWindow() { lookAgain = 25; }

void HostAcquireKeyboard() { Watch(); }

void HostAcquireMouse() {
    Watch();
}

void HostUnacquireMouse() {}

void HostReadKeyboard(uint8_t state[256]) {
    std::memset(state, 0, 256);
    // Away from the game nothing is held, so nothing stays stuck down on return.
    if (!focused) {
        ForgetPending();
        return;
    }
    ReadKeyboardFromScancodes(keyHeld, keyPressed, keyHidden, state);
}

void HostReadMouse(int32_t* dx, int32_t* dy, int32_t* dz, uint8_t buttons[4]) {
    *dz = 0;
    buttons[0] = buttons[1] = buttons[2] = buttons[3] = 0;
    if (!focused) {
        ForgetPending();
        *dx = *dy = 0;
        return;
    }
    NextMotion(dx, dy);
    buttons[0] = buttonHeld || buttonPressed ? 0x80 : 0;
    buttonPressed = false;
}

// The desktop pointer is left where it is: the game's pointer stands where the
// keys or the controller put it until the desktop pointer moves again.
void HostPointerNudged(int32_t dx, int32_t dy) {
    pointerX = Clamp(int64_t(pointerX) + dx, PICTURE_WIDTH);
    pointerY = Clamp(int64_t(pointerY) + dy, PICTURE_HEIGHT);
    if (hasTarget) {
        targetX = pointerX;
        targetY = pointerY;
    }
}

bool HostOpenAudio() {
    if (audioDevice != 0) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "valimo: no sound: %s\n", SDL_GetError());
        return false;
    }
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = 22050;
    want.format = AUDIO_U8;
    want.channels = 1;
    want.samples = 512;  // about 23 ms: a click sounds when it is made
    want.callback = AudioCallback;
    // No changes allowed: SDL converts our one format to whatever the device takes.
    audioDevice = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (audioDevice == 0) {
        std::fprintf(stderr, "valimo: no sound device: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(audioDevice, 0);
    return true;
}

void HostCloseAudio() {
    if (audioDevice == 0) return;
    SDL_CloseAudioDevice(audioDevice);
    audioDevice = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void HostSoundStarted(const IDirectSoundBuffer*) {}
