#include "fuzz/fuzz_targets.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/movie.h"
#include "gfx/sprite.h"
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

const FuzzTarget fuzzTargets[] = {
    {"bitmap", FuzzBitmap},
    {"movie", FuzzMovie},
};
const int fuzzTargetCount = int(sizeof fuzzTargets / sizeof fuzzTargets[0]);
