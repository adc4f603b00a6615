// The sound layer: a DirectSound-style object and secondary buffers in one fixed
// format (PCM, mono, 22050 Hz, 8 bits), duplicates sharing their source's data,
// with the original result codes. Mixing happens in the layer (MixSoundBuffers).
#pragma once
#include <cstdint>
#include <cstddef>
#include <memory>
#include <vector>

#include "platform/win.h"

using WORD = uint16_t;

constexpr HRESULT DS_OK = 0;
constexpr HRESULT DSERR_GENERIC = HRESULT(0x80004005u);
constexpr HRESULT DSERR_UNSUPPORTED = HRESULT(0x80004001u);
constexpr HRESULT DSERR_NOINTERFACE = HRESULT(0x80004002u);
constexpr HRESULT DSERR_OUTOFMEMORY = HRESULT(0x8007000Eu);
constexpr HRESULT DSERR_INVALIDPARAM = HRESULT(0x80070057u);
constexpr HRESULT DSERR_NOAGGREGATION = HRESULT(0x80040110u);
constexpr HRESULT DSERR_ALLOCATED = HRESULT(0x8878000Au);
constexpr HRESULT DSERR_CONTROLUNAVAIL = HRESULT(0x8878001Eu);
constexpr HRESULT DSERR_INVALIDCALL = HRESULT(0x88780032u);
constexpr HRESULT DSERR_PRIOLEVELNEEDED = HRESULT(0x88780046u);
constexpr HRESULT DSERR_BADFORMAT = HRESULT(0x88780064u);
constexpr HRESULT DSERR_NODRIVER = HRESULT(0x88780078u);
constexpr HRESULT DSERR_ALREADYINITIALIZED = HRESULT(0x88780082u);
constexpr HRESULT DSERR_BUFFERLOST = HRESULT(0x88780096u);
constexpr HRESULT DSERR_OTHERAPPHASPRIO = HRESULT(0x887800A0u);
constexpr HRESULT DSERR_UNINITIALIZED = HRESULT(0x887800AAu);

constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSSCL_EXCLUSIVE = 3;
constexpr DWORD DSSCL_WRITEPRIMARY = 4;

constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x1;
constexpr DWORD DSBCAPS_STATIC = 0x2;
constexpr DWORD DSBCAPS_LOCHARDWARE = 0x4;
constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x8;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr DWORD DSBCAPS_CTRLPAN = 0x40;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x80;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x10000;
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x8000;

constexpr DWORD DSBLOCK_FROMWRITECURSOR = 0x1;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x2;
constexpr DWORD DSBPLAY_LOOPING = 0x1;
constexpr DWORD DSBSTATUS_PLAYING = 0x1;
constexpr DWORD DSBSTATUS_LOOPING = 0x4;

constexpr DWORD DSBSIZE_MIN = 4;
constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;

constexpr WORD WAVE_FORMAT_PCM = 1;

// The 18-byte wave format record, as it lies in a WAV file's format chunk.
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
static_assert(offsetof(WAVEFORMATEX, cbSize) == 16);

struct DSGUID {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

// dwSize is that of the original record with its 3D algorithm field: 36.
struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    WAVEFORMATEX* lpwfxFormat;
    DSGUID guid3DAlgorithm;
};
constexpr DWORD DSBUFFERDESC_SIZE = 36;
constexpr DWORD DSBUFFERDESC1_SIZE = 20;

class IDirectSoundBuffer {
public:
    HRESULT Lock(DWORD offset, DWORD bytes, void** region1, DWORD* bytes1, void** region2, DWORD* bytes2,
                 DWORD flags);
    HRESULT Unlock(void* region1, DWORD bytes1, void* region2, DWORD bytes2);
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags);
    HRESULT Stop();
    HRESULT GetStatus(DWORD* status);
    HRESULT GetCurrentPosition(DWORD* play, DWORD* write);
    HRESULT SetCurrentPosition(DWORD position);
    ULONG Release();

    // For the hosts and tests.
    DWORD Size() const { return DWORD(data->size()); }
    const uint8_t* Data() const { return data->data(); }
    DWORD Caps() const { return caps; }
    bool SharesDataWith(const IDirectSoundBuffer* other) const { return other && other->data == data; }

private:
    friend class IDirectSound;
    friend void MixSoundBuffers(uint8_t* out, int samples);
    IDirectSoundBuffer(std::shared_ptr<std::vector<uint8_t>> samples, DWORD flags);

    // Shared by a buffer and its duplicates; each has its own position.
    std::shared_ptr<std::vector<uint8_t>> data;
    DWORD caps;
    DWORD position = 0;
    bool playing = false;
    bool looping = false;
    ULONG refs = 1;
};

class IDirectSound {
public:
    HRESULT SetCooperativeLevel(HWND window, DWORD level);
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer);
    HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate);
    ULONG Release();

private:
    friend HRESULT DirectSoundCreate(void* guid, IDirectSound** object, void* outer);
    IDirectSound() = default;
    DWORD level = 0;
    ULONG refs = 1;
};

// Fails with DSERR_NODRIVER on a machine without an audio device.
HRESULT DirectSoundCreate(void* guid, IDirectSound** object, void* outer);

// Sound buffers alive now, and how many distinct copies of sample data they hold.
int LiveSoundBufferCount();
int LiveSoundDataCount();
