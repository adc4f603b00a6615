#include "sound/sound.h"

#include <cstring>
#include <vector>

#include "base/log.h"
#include "platform/mmio.h"

IDirectSound* directSound = nullptr;
bool soundDisabled = false;
SoundEffect soundEffects[SOUND_SLOTS] = {};

namespace {

constexpr DWORD kEffectCaps =
    DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
static_assert(kEffectCaps == 0xEA);

bool ValidSlot(int slot) { return slot >= 0 && slot < SOUND_SLOTS; }

const char* SoundErrorText(HRESULT result) {
    switch (result) {
    case DSERR_ALLOCATED: return "DSERR_ALLOCATED\n";
    case DSERR_BADFORMAT: return "DSERR_BADFORMAT\n";
    case DSERR_INVALIDPARAM: return "DSERR_INVALIDPARAM\n";
    case DSERR_NOAGGREGATION: return "DSERR_NOAGGREGATION\n";
    case DSERR_OUTOFMEMORY: return "DSERR_OUTOFMEMORY\n";
    case DSERR_UNINITIALIZED: return "DSERR_UNINITIALIZED\n";
    case DSERR_UNSUPPORTED: return "DSERR_UNSUPPORTED\n";
    default: return "Unidentified Sound Error\n";
    }
}

// Reads a WAV's sample bytes, or nothing when the file is not one we take. The size
// comes from the data chunk, which the reader only finds when the file holds it all.
bool ReadWave(const char* fileName, std::vector<uint8_t>* samples) {
    HMMIO file = mmioOpen(fileName, nullptr, MMIO_ALLOCBUF | MMIO_READ);
    if (!file) return false;
    MMCKINFO form{};
    form.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(file, &form, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR) {
        mmioClose(file, 0);
        return false;
    }
    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) {
        mmioClose(file, 0);
        return false;
    }
    WAVEFORMATEX format{};
    constexpr LONG kFormatBytes = 18;
    if (mmioRead(file, reinterpret_cast<char*>(&format), kFormatBytes) != kFormatBytes ||
        format.wFormatTag != WAVE_FORMAT_PCM || mmioAscend(file, &chunk, 0) != MMSYSERR_NOERROR) {
        mmioClose(file, 0);
        return false;
    }
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) {
        mmioClose(file, 0);
        return false;
    }
    samples->resize(chunk.cksize);
    const LONG got = chunk.cksize ? mmioRead(file, reinterpret_cast<char*>(samples->data()), LONG(chunk.cksize)) : 0;
    mmioClose(file, 0);
    return got == LONG(chunk.cksize);
}

}  // namespace

void InitDirectSound(HWND window) {
    WriteLog("Initializing DirectSound\n");
    for (SoundEffect& effect : soundEffects) effect = SoundEffect{};
    soundDisabled = false;
    if (DirectSoundCreate(nullptr, &directSound, nullptr) != DS_OK) {
        directSound = nullptr;
        soundDisabled = true;
        WriteLog("Failed to create DirectSound object; SOUND IS DISABLED (Possibly due to a hardware issue)\n");
        return;
    }
    if (directSound->SetCooperativeLevel(window, DSSCL_NORMAL) != DS_OK) {
        WriteLog("DirectSound failed to set cooperative level; SOUND IS DISABLED (Possibly due to a hardware issue)\n");
        directSound->Release();
        directSound = nullptr;
        soundDisabled = true;
    }
}

void ShutdownDirectSound() {
    WriteLog("Shutting down DirectSound\n");
    if (soundDisabled || !directSound) return;
    for (int slot = 0; slot < SOUND_SLOTS; slot++) ReleaseSoundEffect(slot);
    directSound->Release();
    directSound = nullptr;
}

void LoadSoundEffects() {
    LoadSoundEffect(0, "data/click.wav");
    LoadSoundEffect(1, "data/drop0.wav");
    LoadSoundEffect(2, "data/drop1.wav");
    LoadSoundEffect(3, "data/drop2.wav");
    LoadSoundEffect(4, "data/drop3.wav");
    LoadSoundEffect(5, "data/drop4.wav");
    LoadSoundEffect(6, "data/key.wav");
    DuplicateSoundEffect(7, 6);
    DuplicateSoundEffect(8, 6);
    DuplicateSoundEffect(9, 6);
    LoadSoundEffect(10, "data/done.wav");
}

void LoadSoundEffect(int slot, const char* fileName) {
    if (soundDisabled || !directSound || !ValidSlot(slot) || soundEffects[slot].loaded) return;
    std::vector<uint8_t> samples;
    if (!ReadWave(fileName, &samples)) return;

    SoundEffect& effect = soundEffects[slot];
    effect.buffer = MakeSoundBuffer(DWORD(samples.size()), kEffectCaps);
    effect.size = DWORD(samples.size());

    void* region1 = nullptr;
    void* region2 = nullptr;
    DWORD bytes1 = 0, bytes2 = 0;
    if (effect.buffer->Lock(0, effect.size, &region1, &bytes1, &region2, &bytes2, DSBLOCK_ENTIREBUFFER) != DS_OK)
        SystemError("Failed to lock a sound buffer\n");
    // The regions together are the buffer's size, which is the data's size.
    const DWORD first = bytes1 < effect.size ? bytes1 : effect.size;
    std::memcpy(region1, samples.data(), first);
    const DWORD rest = effect.size - first;
    if (rest > 0 && region2) std::memcpy(region2, samples.data() + first, rest < bytes2 ? rest : bytes2);
    if (effect.buffer->Unlock(region1, bytes1, region2, bytes2) != DS_OK)
        SystemError("Failed to unlock a sound buffer\n");
    effect.loaded = true;
}

void DuplicateSoundEffect(int slot, int sourceSlot) {
    if (soundDisabled || !directSound || !ValidSlot(slot) || !ValidSlot(sourceSlot)) return;
    const SoundEffect& source = soundEffects[sourceSlot];
    // Without a source buffer, or when duplicating fails, the slot stays empty.
    if (!source.loaded || !source.buffer) return;
    IDirectSoundBuffer* copy = nullptr;
    if (directSound->DuplicateSoundBuffer(source.buffer, &copy) != DS_OK || !copy) return;
    ReleaseSoundEffect(slot);
    soundEffects[slot] = SoundEffect{copy, source.loaded, source.size};
}

void PlaySoundEffect(int slot) {
    if (soundDisabled || !ValidSlot(slot)) return;
    const SoundEffect& effect = soundEffects[slot];
    if (effect.loaded && effect.buffer) effect.buffer->Play(0, 0, 0);
}

IDirectSoundBuffer* MakeSoundBuffer(DWORD size, DWORD capabilities) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 22050;
    format.nAvgBytesPerSec = 22050;
    format.nBlockAlign = 1;
    format.wBitsPerSample = 8;
    format.cbSize = 0;
    DSBUFFERDESC desc{};
    desc.dwSize = DSBUFFERDESC_SIZE;
    desc.dwFlags = capabilities;
    desc.dwBufferBytes = size;
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    const HRESULT result = directSound ? directSound->CreateSoundBuffer(&desc, &buffer, nullptr) : DSERR_UNINITIALIZED;
    if (result != DS_OK) {
        WriteLog("DirectSound failed to create sound buffer: ");
        SystemError(SoundErrorText(result));
    }
    return buffer;
}

void ReleaseSoundEffect(int slot) {
    if (!ValidSlot(slot)) return;
    SoundEffect& effect = soundEffects[slot];
    if (effect.buffer) effect.buffer->Release();
    effect = SoundEffect{};
}
