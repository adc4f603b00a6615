// The audio device's period: 1024 samples (46 ms at 22050 Hz) with four key clicks
// sounding together. The mixer should take well under 1% of it.
#include <benchmark/benchmark.h>

#include "platform/dsound.h"
#include "platform/host_devices.h"

namespace {

void BM_MixFourBuffers(benchmark::State& state) {
    static IDirectSound* sound = nullptr;
    static IDirectSoundBuffer* buffers[4] = {};
    static PlatformWindow* window = nullptr;
    if (!sound) {
        window = CreateMainWindow("Valimo", 0, 0, 640, 480, nullptr);
        if (DirectSoundCreate(nullptr, &sound, nullptr) != DS_OK ||
            sound->SetCooperativeLevel(window, DSSCL_NORMAL) != DS_OK) {
            state.SkipWithError("no sound device");
            return;
        }
        WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 22050, 1, 8, 0};
        DSBUFFERDESC desc{DSBUFFERDESC_SIZE, 0xEA, 22050, 0, &format, {}};
        sound->CreateSoundBuffer(&desc, &buffers[0], nullptr);
        void *a = nullptr, *b = nullptr;
        DWORD na = 0, nb = 0;
        buffers[0]->Lock(0, 0, &a, &na, &b, &nb, DSBLOCK_ENTIREBUFFER);
        for (DWORD i = 0; i < na; i++) static_cast<uint8_t*>(a)[i] = uint8_t(128 + (i * 7) % 32 - 16);
        buffers[0]->Unlock(a, na, b, nb);
        for (int i = 1; i < 4; i++) sound->DuplicateSoundBuffer(buffers[0], &buffers[i]);
        // Each loops through its second of sound, so all four sound in every period.
        for (IDirectSoundBuffer* buffer : buffers) buffer->Play(0, 0, DSBPLAY_LOOPING);
    }
    uint8_t out[1024];
    for (auto _ : state) {
        MixSoundBuffers(out, 1024);
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 1024);
}
BENCHMARK(BM_MixFourBuffers);

}  // namespace
