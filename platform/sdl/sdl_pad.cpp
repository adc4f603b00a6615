// Game controllers through SDL's game controller API: they move the game's pointer,
// click and give Escape, as the mouse and keys do.
#include <SDL.h>

#include <cstdio>

#include "platform/hands.h"
#include "platform/sdl/sdl_host.h"

// Changed on purpose: other hands than a mouse (docs/BEHAVIOUR.md).

namespace {

constexpr int kMostPads = 8;
SDL_GameController* pads[kMostPads] = {};
bool started = false;

int PadButtonOf(int button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return PADB_UP;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PADB_DOWN;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PADB_LEFT;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PADB_RIGHT;
    case SDL_CONTROLLER_BUTTON_A: return PADB_A;
    case SDL_CONTROLLER_BUTTON_B: return PADB_B;
    case SDL_CONTROLLER_BUTTON_START: return PADB_START;
    default: return -1;
    }
}

int SlotOf(SDL_JoystickID id) {
    for (int i = 0; i < kMostPads; i++)
        if (pads[i] && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pads[i])) == id) return i;
    return -1;
}

void Take(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) {
        const char* name = SDL_JoystickNameForIndex(deviceIndex);
        std::fprintf(stderr, "valimo: a controller SDL has no mapping for is ignored: %s\n", name ? name : "(unnamed)");
        return;
    }
    if (SlotOf(SDL_JoystickGetDeviceInstanceID(deviceIndex)) >= 0) return;
    for (int i = 0; i < kMostPads; i++) {
        if (pads[i]) continue;
        pads[i] = SDL_GameControllerOpen(deviceIndex);
        if (pads[i]) {
            const char* name = SDL_GameControllerName(pads[i]);
            std::fprintf(stderr, "valimo: controller connected: %s\n", name ? name : "(unnamed)");
        }
        return;
    }
}

void Drop(SDL_JoystickID id) {
    const int slot = SlotOf(id);
    if (slot < 0) return;
    std::fprintf(stderr, "valimo: controller removed\n");
    SDL_GameControllerClose(pads[slot]);
    pads[slot] = nullptr;
    HandsPadReleased();
}

float Axis(Sint16 value) { return value < 0 ? value / 32768.0f : value / 32767.0f; }

}  // namespace

void SdlStartPads() {
    if (started) return;
    started = true;
    SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "valimo: no controllers: %s\n", SDL_GetError());
        return;
    }
    // Controllers present at the start come as added events too.
}

void SdlStopPads() {
    if (!started) return;
    for (SDL_GameController*& pad : pads) {
        if (pad) SDL_GameControllerClose(pad);
        pad = nullptr;
    }
    HandsPadReleased();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    started = false;
}

bool SdlPadEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_JOYDEVICEADDED:
        // Every device comes here; the mapped ones come again as controllers.
        if (!SDL_IsGameController(event.jdevice.which)) Take(event.jdevice.which);
        return true;
    case SDL_CONTROLLERDEVICEADDED:
        Take(event.cdevice.which);
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        Drop(event.cdevice.which);
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        if (SlotOf(event.cbutton.which) < 0) return true;
        const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
        // The right shoulder is the host's, as Alt+Enter is.
        if (event.cbutton.button == SDL_CONTROLLER_BUTTON_RIGHTSHOULDER) {
            if (down) SdlToggleFullScreen();
            return true;
        }
        const int button = PadButtonOf(event.cbutton.button);
        if (button >= 0) HandsPadButton(button, down);
        return true;
    }
    case SDL_CONTROLLERAXISMOTION: {
        const int slot = SlotOf(event.caxis.which);
        if (slot < 0) return true;
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX || event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
            HandsPadStick(Axis(SDL_GameControllerGetAxis(pads[slot], SDL_CONTROLLER_AXIS_LEFTX)),
                          Axis(SDL_GameControllerGetAxis(pads[slot], SDL_CONTROLLER_AXIS_LEFTY)));
        }
        return true;
    }
    default:
        return false;
    }
}
