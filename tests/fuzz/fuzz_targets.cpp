#include "fuzz/fuzz_targets.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/movie.h"
#include "gfx/sprite.h"
#include "input/input.h"
#include "platform/headless/headless_devices.h"
#include "platform/host_devices.h"
#include "platform/journal.h"
#include "platform/mmio.h"
#include "platform/win.h"
#include "profiles/profiles.h"
#include "profiles/save_file.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"
#include "puzzle/progress.h"
#include "sound/sound.h"

namespace {

// A private directory, made once per process, where inputs are written and read.
const std::string& FuzzDirectory() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/valimo-fuzz-XXXXXX";
        std::string made = mkdtemp(pattern) ? pattern : "/tmp";
        if (chdir(made.c_str()) != 0) std::abort();
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

// The size of the "data" chunk the game would play, or -1 when it finds none.
int64_t DataChunkSize(const char* name) {
    HMMIO file = mmioOpen(name, nullptr, MMIO_READ);
    if (!file) return -1;
    MMCKINFO form{};
    form.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    int64_t size = -1;
    // The game looks for "data" only after "fmt ", so an earlier "data" chunk is not the one it plays.
    if (mmioDescend(file, &form, nullptr, MMIO_FINDRIFF) == MMSYSERR_NOERROR &&
        mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK) == MMSYSERR_NOERROR &&
        mmioAscend(file, &chunk, 0) == MMSYSERR_NOERROR) {
        chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
        if (mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK) == MMSYSERR_NOERROR) size = chunk.cksize;
    }
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

int FuzzLevel(const uint8_t* data, size_t size) {
    // A name with a directory in it could reach any file, and a picture of another
    // bit count ends the program by design.
    if (std::memchr(data, '/', size)) return 0;
    FuzzDirectory();
    static int runs = 0;
    if (++runs % 1000 == 0) std::remove("valimo.log");
    EnsureDisplay();
    static bool pictures = false;
    if (!pictures) {
        pictures = true;
        std::filesystem::create_directories("levels");
        std::filesystem::create_directories("data");
        // a.bmp: 2 x 1 cells, the right one magenta; b.bmp: 1 x 1 solid.
        uint8_t bmp[54 + 64 * 32 * 2] = {'B', 'M'};
        bmp[10] = 54;
        bmp[14] = 40;
        bmp[18] = 64;
        bmp[22] = 32;
        bmp[26] = 1;
        bmp[28] = 16;
        for (int i = 0; i < 64 * 32; i++) {
            const uint16_t p = (i % 64) < 32 ? 0x03E0 : 0x7C1F;
            bmp[54 + 2 * i] = uint8_t(p & 0xFF);
            bmp[55 + 2 * i] = uint8_t(p >> 8);
        }
        WriteInput("data/a.bmp", bmp, sizeof bmp);
        bmp[18] = 32;
        WriteInput("data/b.bmp", bmp, 54 + 32 * 32 * 2);
        BuildGridTemplate();
    }
    if (!WriteInput("levels/fuzz.lev", data, size)) return 0;
    LoadLevelList();
    if (levelList.count == 0) return 0;
    LoadLevel(levelList.entries[0].levelNumber);
    // Every item picked up where it lies and dropped at a place taken from the input.
    for (int i = 0; i < gameLevel.itemCount; i++) {
        const Item& item = gameLevel.items[i];
        const uint8_t pick = size ? data[size_t(i) % size] : 0;
        for (int step = 0; step < 2; step++) {
            mouseX = step == 0 ? 32 * item.column + 16 : (pick * 7) % 641;
            mouseY = step == 0 ? 128 + 32 * item.row + 16 : (pick * 13) % 481;
            mouseClick = true;
            PlayFrame();
        }
    }
    carrying = false;
    return 0;
}

int FuzzMovie(const uint8_t* data, size_t size) {
    FuzzDirectory();
    static int runs = 0;
    if (++runs % 1000 == 0) std::remove("valimo.log");
    EnsureDisplay();
    drawDib = DrawDibOpen();
    movieFrameDrawer = DrawMovieFrame565;
    if (!WriteInput("fuzz.avi", data, size)) return 0;
    OpenMovie("fuzz.avi");
    quitRequested = false;
    // As the game flow plays it, then once more from a step back.
    const int frames = std::min(movieFrameCount, 64);
    for (int k = 0; k < frames; k++) movieFrameDrawer(k);
    if (frames > 1) movieFrameDrawer(frames / 2);
    BlitSprite(backBuffer, movieSprite, 320 - movieWidth, 240 - movieHeight, 2 * movieWidth, 2 * movieHeight);
    CloseMovie();
    return 0;
}

namespace {

// The table as it stands, in the file's own words, to compare two loads.
std::string ProfileTable() {
    std::string table = std::to_string(profileCount) + "\n";
    for (int i = 0; i < profileCount && i < MAX_PLAYERS; i++)
        table += std::string(profiles[i].name, strnlen(profiles[i].name, PLAYER_NAME_SIZE)) + " " +
                 std::to_string(profiles[i].level) + " " + std::to_string(profiles[i].timeMajor) + " " +
                 std::to_string(profiles[i].timeMinor) + (profiles[i].selected ? " *\n" : "\n");
    return table;
}

std::string FileBytes(const char* name) {
    std::string bytes;
    if (FILE* f = std::fopen(name, "rb")) {
        char chunk[512];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
        std::fclose(f);
    }
    return bytes;
}

}  // namespace

int FuzzProfiles(const uint8_t* data, size_t size) {
    FuzzDirectory();
    static int runs = 0;
    if (++runs % 1000 == 0) std::remove("valimo.log");
    EnsureDisplay();
    // Durability is the save tests' matter; here only what is written counts.
    saveFileOps.flush = [](int) { return true; };
    saveFileOps.syncDirectory = [](const char*) { return true; };
    std::memset(profiles, 0, sizeof profiles);
    profileCount = 0;
    quitRequested = false;
    if (!WriteInput("prefs.dat", data, size)) return 0;
    LoadProfiles();
    if (quitRequested || profileCount < 0 || profileCount > MAX_PLAYERS ||
        CurrentPlayer() != (profileCount > 0 ? 0 : NO_PLAYER))
        __builtin_trap();
    for (int i = 0; i < profileCount; i++)
        if (profiles[i].name[0] == 0 || strnlen(profiles[i].name, PLAYER_NAME_SIZE) > PLAYER_ID_MAX_LENGTH)
            __builtin_trap();
    // What was read is written, and what was written reads back the same.
    const std::string first = ProfileTable();
    SaveProfiles();
    const std::string saved = FileBytes("prefs.dat");
    std::memset(profiles, 0, sizeof profiles);
    profileCount = 0;
    LoadProfiles();
    if (quitRequested || ProfileTable() != first) __builtin_trap();
    SaveProfiles();
    if (quitRequested || FileBytes("prefs.dat") != saved) __builtin_trap();
    DrawPlayerList();
    // Levels stay where the game can show and raise them, also once one is completed.
    for (int i = 0; i < profileCount; i++)
        if (profiles[i].level < 0 || profiles[i].level > MAX_PLAYER_LEVEL) __builtin_trap();
    if (profileCount > 0) {
        CompleteLevel();
        if (profiles[0].level < 1 || profiles[0].level > MAX_PLAYER_LEVEL) __builtin_trap();
    }
    return 0;
}

int FuzzReplay(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    JournalHeader header;
    if (!CheckJournal(bytes, &header).empty()) return 0;
    // What the check took, the replay reads the same way: to the end mark, never past it.
    size_t at = 0;
    std::string why;
    if (!ReadJournalHeader(bytes, &header, &at, why)) __builtin_trap();
    JournalRecord record;
    do
        if (!ReadJournalRecord(bytes, &at, &record, why)) __builtin_trap();
    while (record.tag != JT_END);
    if (at != bytes.size() || header.prefs.size() > size) __builtin_trap();
    return 0;
}

const FuzzTarget fuzzTargets[] = {
    {"bitmap", FuzzBitmap},
    {"wave", FuzzWave},
    {"level", FuzzLevel},
    {"movie", FuzzMovie},
    {"profiles", FuzzProfiles},
    {"replay", FuzzReplay},
};
const int fuzzTargetCount = int(sizeof fuzzTargets / sizeof fuzzTargets[0]);
