// The sound device and the table of sound effects loaded from WAV files.
#pragma once
#include <cstdint>

#include "platform/dsound.h"

// Effect slots.
constexpr int SFX_CLICK = 0;
constexpr int SFX_DROP_FIRST = 1;  // 1 to 5: the drop sounds
constexpr int SFX_KEY_FIRST = 6;   // 6 to 9: the key click and its three copies
constexpr int SFX_DONE = 10;
constexpr int SOUND_SLOTS = 64;

struct SoundEffect {
    IDirectSoundBuffer* buffer;
    bool loaded;
    DWORD size;  // bytes of sound data
};

extern IDirectSound* directSound;
extern bool soundDisabled;
extern SoundEffect soundEffects[SOUND_SLOTS];

void InitDirectSound(HWND window);
void ShutdownDirectSound();
void LoadSoundEffects();
void LoadSoundEffect(int slot, const char* fileName);
void DuplicateSoundEffect(int slot, int sourceSlot);
void PlaySoundEffect(int slot);
IDirectSoundBuffer* MakeSoundBuffer(DWORD size, DWORD capabilities);
void ReleaseSoundEffect(int slot);
