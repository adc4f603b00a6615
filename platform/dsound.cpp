#include "platform/dsound.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "platform/faults.h"
#include "platform/host_devices.h"

namespace {

// The host's audio thread mixes while the game starts and releases buffers: both
// sides take this lock around the list and each buffer's play state.
std::mutex soundLock;
std::vector<IDirectSoundBuffer*> liveBuffers;
int openObjects = 0;

bool FixedFormat(const WAVEFORMATEX* f) {
    return f && f->wFormatTag == WAVE_FORMAT_PCM && f->nChannels == 1 && f->nSamplesPerSec == 22050 &&
           f->wBitsPerSample == 8 && f->nBlockAlign == 1 && f->nAvgBytesPerSec == 22050;
}

}  // namespace

HRESULT DirectSoundCreate(void* guid, IDirectSound** object, void* outer) {
    HRESULT fault;
    if (TakeFault("DirectSoundCreate", &fault)) return fault;
    if (!object) return DSERR_INVALIDPARAM;
    *object = nullptr;
    if (outer) return DSERR_NOAGGREGATION;
    if (openObjects == 0 && !HostOpenAudio()) return DSERR_NODRIVER;
    openObjects++;
    *object = new IDirectSound();
    return DS_OK;
}

HRESULT IDirectSound::SetCooperativeLevel(HWND window, DWORD newLevel) {
    HRESULT fault;
    if (TakeFault("IDirectSound::SetCooperativeLevel", &fault)) return fault;
    if (!window || newLevel < DSSCL_NORMAL || newLevel > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
    level = newLevel;
    return DS_OK;
}

HRESULT IDirectSound::CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer) {
    HRESULT fault;
    if (TakeFault("IDirectSound::CreateSoundBuffer", &fault)) return fault;
    if (!buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (outer) return DSERR_NOAGGREGATION;
    if (level == 0) return DSERR_PRIOLEVELNEEDED;
    if (!desc || (desc->dwSize != DSBUFFERDESC_SIZE && desc->dwSize != DSBUFFERDESC1_SIZE))
        return DSERR_INVALIDPARAM;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) return DSERR_UNSUPPORTED;
    if ((desc->dwFlags & DSBCAPS_LOCHARDWARE) && (desc->dwFlags & DSBCAPS_LOCSOFTWARE)) return DSERR_INVALIDPARAM;
    if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
    if (!desc->lpwfxFormat) return DSERR_INVALIDPARAM;
    if (!FixedFormat(desc->lpwfxFormat)) return DSERR_BADFORMAT;
    std::shared_ptr<std::vector<uint8_t>> samples;
    try {
        // Silence until the owner fills it.
        samples = std::make_shared<std::vector<uint8_t>>(desc->dwBufferBytes, uint8_t(0x80));
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    IDirectSoundBuffer* created = new IDirectSoundBuffer(std::move(samples), desc->dwFlags);
    std::lock_guard<std::mutex> guard(soundLock);
    liveBuffers.push_back(created);
    *buffer = created;
    return DS_OK;
}

HRESULT IDirectSound::DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate) {
    HRESULT fault;
    if (TakeFault("IDirectSound::DuplicateSoundBuffer", &fault)) {
        if (duplicate) *duplicate = nullptr;
        return fault;
    }
    if (!original || !duplicate) return DSERR_INVALIDPARAM;
    *duplicate = nullptr;
    IDirectSoundBuffer* copy = new IDirectSoundBuffer(original->data, original->caps);
    std::lock_guard<std::mutex> guard(soundLock);
    liveBuffers.push_back(copy);
    *duplicate = copy;
    return DS_OK;
}

ULONG IDirectSound::Release() {
    if (--refs > 0) return refs;
    if (--openObjects == 0) HostCloseAudio();
    delete this;
    return 0;
}

IDirectSoundBuffer::IDirectSoundBuffer(std::shared_ptr<std::vector<uint8_t>> samples, DWORD flags)
    : data(std::move(samples)), caps(flags) {}

HRESULT IDirectSoundBuffer::Lock(DWORD offset, DWORD bytes, void** region1, DWORD* bytes1, void** region2,
                                 DWORD* bytes2, DWORD flags) {
    HRESULT fault;
    if (TakeFault("IDirectSoundBuffer::Lock", &fault)) return fault;
    if (!region1 || !bytes1) return DSERR_INVALIDPARAM;
    const DWORD size = Size();
    if (flags & DSBLOCK_ENTIREBUFFER) bytes = size;
    if (flags & DSBLOCK_FROMWRITECURSOR) {
        std::lock_guard<std::mutex> guard(soundLock);
        offset = position;
    }
    if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
    // A lock that runs past the end wraps round to the start: the second region.
    const DWORD first = std::min(bytes, size - offset);
    *region1 = data->data() + offset;
    *bytes1 = first;
    if (first < bytes) {
        if (!region2 || !bytes2) return DSERR_INVALIDPARAM;
        *region2 = data->data();
        *bytes2 = bytes - first;
    } else {
        if (region2) *region2 = nullptr;
        if (bytes2) *bytes2 = 0;
    }
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Unlock(void* region1, DWORD bytes1, void* region2, DWORD bytes2) {
    HRESULT fault;
    if (TakeFault("IDirectSoundBuffer::Unlock", &fault)) return fault;
    const uint8_t* begin = data->data();
    const uint8_t* end = begin + data->size();
    auto inside = [&](void* region, DWORD bytes) {
        if (!region) return bytes == 0;
        const uint8_t* p = static_cast<const uint8_t*>(region);
        return p >= begin && p < end && bytes <= DWORD(end - p);
    };
    if (!inside(region1, bytes1) || !inside(region2, bytes2)) return DSERR_INVALIDPARAM;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Play(DWORD reserved, DWORD priority, DWORD flags) {
    HRESULT fault;
    if (TakeFault("IDirectSoundBuffer::Play", &fault)) return fault;
    {
        std::lock_guard<std::mutex> guard(soundLock);
        // A buffer already playing goes on from where it is.
        playing = true;
        looping = (flags & DSBPLAY_LOOPING) != 0;
    }
    HostSoundStarted(this);
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Stop() {
    HRESULT fault;
    if (TakeFault("IDirectSoundBuffer::Stop", &fault)) return fault;
    std::lock_guard<std::mutex> guard(soundLock);
    playing = false;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetStatus(DWORD* status) {
    if (!status) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(soundLock);
    *status = (playing ? DSBSTATUS_PLAYING : 0) | (playing && looping ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetCurrentPosition(DWORD* play, DWORD* write) {
    std::lock_guard<std::mutex> guard(soundLock);
    if (play) *play = position;
    if (write) *write = position;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetCurrentPosition(DWORD newPosition) {
    if (newPosition >= Size()) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> guard(soundLock);
    position = newPosition;
    return DS_OK;
}

ULONG IDirectSoundBuffer::Release() {
    if (--refs > 0) return refs;
    {
        std::lock_guard<std::mutex> guard(soundLock);
        liveBuffers.erase(std::remove(liveBuffers.begin(), liveBuffers.end(), this), liveBuffers.end());
    }
    delete this;
    return 0;
}

int LiveSoundBufferCount() {
    std::lock_guard<std::mutex> guard(soundLock);
    return int(liveBuffers.size());
}

int LiveSoundDataCount() {
    std::lock_guard<std::mutex> guard(soundLock);
    int count = 0;
    for (size_t i = 0; i < liveBuffers.size(); i++) {
        bool seen = false;
        for (size_t j = 0; j < i && !seen; j++) seen = liveBuffers[j]->SharesDataWith(liveBuffers[i]);
        if (!seen) count++;
    }
    return count;
}

void MixSoundBuffers(uint8_t* out, int samples) {
    if (!out || samples <= 0) return;
    // Mixed in short runs on the stack: the audio thread must not allocate.
    constexpr int kRun = 256;
    int sum[kRun];
    std::lock_guard<std::mutex> guard(soundLock);
    for (int done = 0; done < samples; done += kRun) {
        const int count = std::min(kRun, samples - done);
        std::fill(sum, sum + count, 0);
        for (IDirectSoundBuffer* buffer : liveBuffers) {
            if (!buffer->playing) continue;
            const uint8_t* source = buffer->data->data();
            const DWORD size = DWORD(buffer->data->size());
            if (size == 0) buffer->playing = false;
            int i = 0;
            while (i < count && buffer->playing) {
                const int take = int(std::min<DWORD>(DWORD(count - i), size - buffer->position));
                const uint8_t* from = source + buffer->position;
                for (int k = 0; k < take; k++) sum[i + k] += int(from[k]) - 128;
                i += take;
                buffer->position += DWORD(take);
                if (buffer->position >= size) {
                    // Played through: a one-shot stops and starts from the top next time.
                    buffer->position = 0;
                    if (!buffer->looping) buffer->playing = false;
                }
            }
        }
        for (int k = 0; k < count; k++) out[done + k] = uint8_t(std::clamp(sum[k], -128, 127) + 128);
    }
}
