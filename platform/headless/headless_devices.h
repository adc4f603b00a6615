// Control of the headless host's keyboard, mouse and sound device, for tests.
#pragma once
#include <cstdint>
#include <vector>

class IDirectSoundBuffer;

// One frame of scripted input: motion and button for the next mouse read, and the
// keys (DirectInput codes) held from then on.
struct HeadlessInputFrame {
    int dx = 0;
    int dy = 0;
    bool button = false;
    std::vector<int> keys;
};

// Queues frames; each mouse read takes the next one (a frame-loop pass reads the
// mouse once). With the queue empty, reads give no motion and the state as it was.
void HeadlessQueueInput(const HeadlessInputFrame& frame);
int HeadlessQueuedInputFrames();

// Direct control between reads.
void HeadlessSetKey(int code, bool down);
void HeadlessReleaseAllKeys();
void HeadlessMoveMouse(int dx, int dy);  // added to the motion of the next mouse read
void HeadlessSetMouseButton(bool down);
bool HeadlessMouseAcquired();

// Sound: an audio device is present unless a test says otherwise (before the sound
// object is created).
void HeadlessSetAudioDevice(bool present);
bool HeadlessAudioOpen();
// Every buffer started with Play, in order.
const std::vector<const IDirectSoundBuffer*>& HeadlessSoundsStarted();
void HeadlessClearSoundsStarted();
// Runs the mixer for `samples` samples, as the audio device would, and returns them.
std::vector<uint8_t> HeadlessMixSound(int samples);
