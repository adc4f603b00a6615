// What a host provides below the input and sound layers. Only platform/ includes this.
#pragma once
#include <cstdint>

class IDirectSoundBuffer;

// Input. The devices are acquired once; a host whose window loses the focus reports
// every key and button released and no motion until the focus returns.
void HostAcquireKeyboard();
void HostAcquireMouse();
void HostUnacquireMouse();
// The keyboard state by DirectInput key code, 0x80 for a key held down.
void HostReadKeyboard(uint8_t state[256]);
// Motion since the last read, in 640 x 480 screen pixels, and the button bytes.
void HostReadMouse(int32_t* dx, int32_t* dy, int32_t* dz, uint8_t buttons[4]);
// The keyboard alone or a controller moved the game's pointer by (dx, dy) after
// the host's read: the host's own idea of where it stands follows.
void HostPointerNudged(int32_t dx, int32_t dy);

// Sound. Opening the audio device; false when the machine has none. Once open, the
// host calls MixSoundBuffers whenever it wants more samples.
bool HostOpenAudio();
void HostCloseAudio();
// A buffer was asked to play (for the headless host's record).
void HostSoundStarted(const IDirectSoundBuffer* buffer);

// The mixer, from platform/dsound.cpp: `samples` bytes of 8-bit unsigned mono
// 22050 Hz sound, every playing buffer mixed from its own position. Safe to call
// from the host's audio thread; it allocates nothing.
void MixSoundBuffers(uint8_t* out, int samples);
