// The real game's keyboard, mouse and audio device.
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/host_devices.h"
#include "platform/keymap.h"

static_assert(SDL_SCANCODE_A == 4 && SDL_SCANCODE_ESCAPE == 41 && SDL_SCANCODE_KP_ENTER == 88 &&
                  SDL_SCANCODE_LCTRL == 224 && SDL_SCANCODE_AUDIONEXT == 258 && SDL_NUM_SCANCODES <= SCANCODE_COUNT,
              "the key table is numbered as SDL numbers its scancodes");

namespace {

bool watching = false;
// Presses seen since the last read count as held for that read, so a tap shorter
// than a frame (a quick key, a touchpad click) is not lost between two polls.
bool keyPressed[SDL_NUM_SCANCODES] = {};
bool buttonPressed = false;
int32_t motionX = 0, motionY = 0;
SDL_AudioDeviceID audioDevice = 0;

bool HasFocus() { return SDL_GetKeyboardFocus() != nullptr; }

void ForgetPending() {
    std::memset(keyPressed, 0, sizeof keyPressed);
    buttonPressed = false;
    motionX = motionY = 0;
}

// Sees each event as it is queued, after the renderer has turned mouse motion into
// 640 x 480 logical pixels; the window's own event loop reads the queue.
int WatchEvent(void*, SDL_Event* event) {
    switch (event->type) {
    case SDL_KEYDOWN:
        if (event->key.keysym.scancode < SDL_NUM_SCANCODES && !event->key.repeat)
            keyPressed[event->key.keysym.scancode] = true;
        break;
    case SDL_MOUSEMOTION:
        if (event->motion.which != SDL_TOUCH_MOUSEID) {
            motionX += event->motion.xrel;
            motionY += event->motion.yrel;
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event->button.button == SDL_BUTTON_LEFT) buttonPressed = true;
        break;
    case SDL_WINDOWEVENT:
        if (event->window.event == SDL_WINDOWEVENT_FOCUS_LOST) ForgetPending();
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

void AudioCallback(void*, Uint8* stream, int length) { MixSoundBuffers(stream, length); }

}  // namespace

void HostAcquireKeyboard() { Watch(); }

void HostAcquireMouse() {
    Watch();
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_SetRelativeMouseMode(SDL_TRUE);
}

void HostUnacquireMouse() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_SetRelativeMouseMode(SDL_FALSE);
}

void HostReadKeyboard(uint8_t state[256]) {
    std::memset(state, 0, 256);
    // Away from the game nothing is held, so nothing stays stuck down on return.
    if (!HasFocus()) {
        ForgetPending();
        return;
    }
    int count = 0;
    const Uint8* held = SDL_GetKeyboardState(&count);
    if (count > SDL_NUM_SCANCODES) count = SDL_NUM_SCANCODES;
    for (int scancode = 0; scancode < count; scancode++) {
        if (!held[scancode] && !keyPressed[scancode]) continue;
        const int code = ScancodeToDik(scancode);
        if (code > 0 && code < 256) state[code] = 0x80;
    }
    std::memset(keyPressed, 0, sizeof keyPressed);
}

void HostReadMouse(int32_t* dx, int32_t* dy, int32_t* dz, uint8_t buttons[4]) {
    *dz = 0;
    buttons[0] = buttons[1] = buttons[2] = buttons[3] = 0;
    if (!HasFocus()) {
        ForgetPending();
        *dx = *dy = 0;
        return;
    }
    *dx = motionX;
    *dy = motionY;
    const bool held = (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0;
    buttons[0] = held || buttonPressed ? 0x80 : 0;
    motionX = motionY = 0;
    buttonPressed = false;
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
