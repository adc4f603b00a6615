#include "platform/headless/headless_devices.h"

#include <cstring>
#include <deque>

#include "platform/host_devices.h"

namespace {

uint8_t keys[256] = {};
int32_t pendingDx = 0, pendingDy = 0;
uint8_t button = 0;
bool mouseAcquired = false;
std::deque<HeadlessInputFrame> script;

bool audioPresent = true;
bool audioOpen = false;
std::vector<const IDirectSoundBuffer*> started;

}  // namespace

void HeadlessQueueInput(const HeadlessInputFrame& frame) { script.push_back(frame); }
int HeadlessQueuedInputFrames() { return int(script.size()); }
void HeadlessSetKey(int code, bool down) {
    if (code >= 0 && code < 256) keys[code] = down ? 0x80 : 0;
}
void HeadlessReleaseAllKeys() { std::memset(keys, 0, sizeof keys); }
void HeadlessMoveMouse(int dx, int dy) {
    pendingDx += dx;
    pendingDy += dy;
}
void HeadlessSetMouseButton(bool down) { button = down ? 0x80 : 0; }
bool HeadlessMouseAcquired() { return mouseAcquired; }

void HeadlessSetAudioDevice(bool present) { audioPresent = present; }
bool HeadlessAudioOpen() { return audioOpen; }
const std::vector<const IDirectSoundBuffer*>& HeadlessSoundsStarted() { return started; }
void HeadlessClearSoundsStarted() { started.clear(); }
std::vector<uint8_t> HeadlessMixSound(int samples) {
    std::vector<uint8_t> out(size_t(samples > 0 ? samples : 0), uint8_t(0x80));
    if (audioOpen && samples > 0) MixSoundBuffers(out.data(), samples);
    return out;
}

// ---- the host interface ----

void HostAcquireKeyboard() {}
void HostAcquireMouse() { mouseAcquired = true; }
void HostUnacquireMouse() { mouseAcquired = false; }

void HostReadKeyboard(uint8_t state[256]) { std::memcpy(state, keys, sizeof keys); }

void HostReadMouse(int32_t* dx, int32_t* dy, int32_t* dz, uint8_t buttons[4]) {
    if (!script.empty()) {
        const HeadlessInputFrame frame = script.front();
        script.pop_front();
        pendingDx += frame.dx;
        pendingDy += frame.dy;
        button = frame.button ? 0x80 : 0;
        std::memset(keys, 0, sizeof keys);
        for (int code : frame.keys) HeadlessSetKey(code, true);
    }
    *dx = pendingDx;
    *dy = pendingDy;
    *dz = 0;
    pendingDx = pendingDy = 0;
    buttons[0] = button;
    buttons[1] = buttons[2] = buttons[3] = 0;
}

void HostPointerNudged(int32_t, int32_t) {}

bool HostOpenAudio() {
    audioOpen = audioPresent;
    return audioOpen;
}
void HostCloseAudio() { audioOpen = false; }
void HostSoundStarted(const IDirectSoundBuffer* buffer) { started.push_back(buffer); }
