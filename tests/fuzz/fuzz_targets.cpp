#include "fuzz/fuzz_targets.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/sprite.h"
#include "platform/headless/headless_devices.h"
#include "platform/mmio.h"
#include "sound/sound.h"
#include "platform/host_devices.h"
#include "platform/win.h"

namespace {

// A private directory, made once per process, where inputs are written and read.
const std::string& FuzzDirectory() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/valimo-fuzz-XXXXXX";
        std::string made = mkdtemp(pattern) ? pattern : "/tmp";
        chdir(made.c_str());
        snprintf(startDirectory, sizeof startDirectory, "%s", made.c_str());
        return made;
    }();
    return dir;
}

void EnsureDisplay() {
    if (lpdd) return;
    mainWindow = CreateMainWindow("Valimo", 0, 0, 640, 480, WndProc);
    InitDirectDraw(nullptr, 640, 480, 16);
}

bool WriteInput(const char* name, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(name, "wb");
    if (!f) return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int FuzzBitmap(const uint8_t* data, size_t size) {
    // A bit count other than 16 ends the program by design.
    if (size >= 30 && data[0] == 'B' && data[1] == 'M' && (data[28] != 16 || data[29] != 0)) return 0;
    FuzzDirectory();
    static int runs = 0;
    if (++runs % 1000 == 0) std::remove("valimo.log");  // keep a long run's log small
    EnsureDisplay();
    if (!WriteInput("fuzz.bmp", data, size)) return 0;
    LoadBitmapFile("fuzz.bmp");
    Sprite sprite = CreateSprite(loadedBitmap.width, loadedBitmap.height, 1, DDSCAPS_VIDEOMEMORY);
    CopyBitmapToSprite(sprite, loadedBitmap.pixels.data(), loadedBitmap.width, loadedBitmap.height);
    BlitSpriteKeyed(backBuffer, sprite, 10, 10, loadedBitmap.width, loadedBitmap.height);
    ReleaseSprite(&sprite);
    return 0;
}

namespace {

// The size of the first "data" chunk the file holds, or -1 when there is none.
int64_t DataChunkSize(const char* name) {
    HMMIO file = mmioOpen(name, nullptr, MMIO_READ);
    if (!file) return -1;
    MMCKINFO form{};
    form.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    int64_t size = -1;
    if (mmioDescend(file, &form, nullptr, MMIO_FINDRIFF) == MMSYSERR_NOERROR &&
        mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK) == MMSYSERR_NOERROR)
        size = chunk.cksize;
    mmioClose(file, 0);
    return size;
}

}  // namespace

int FuzzWave(const uint8_t* data, size_t size) {
    FuzzDirectory();
    static int runs = 0;
    if (++runs % 1000 == 0) std::remove("valimo.log");
    if (!directSound) {
        mainWindow = CreateMainWindow("Valimo", 0, 0, 640, 480, WndProc);
        InitDirectSound();
    }
    if (!WriteInput("fuzz.wav", data, size)) return 0;
    // A sound too short for a buffer ends the program by design.
    const int64_t samples = DataChunkSize("fuzz.wav");
    if (samples >= 0 && samples < int64_t(DSBSIZE_MIN)) return 0;
    LoadSoundEffect(0, "fuzz.wav");
    DuplicateSoundEffect(1, 0);
    PlaySoundEffect(1);
    uint8_t mixed[256];
    MixSoundBuffers(mixed, sizeof mixed);
    ReleaseSoundEffect(1);
    ReleaseSoundEffect(0);
    return 0;
}

const FuzzTarget fuzzTargets[] = {
    {"bitmap", FuzzBitmap},
    {"wave", FuzzWave},
};
const int fuzzTargetCount = int(sizeof fuzzTargets / sizeof fuzzTargets[0]);
