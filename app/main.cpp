// The program reads its options, chooses the folder the game plays in, as a
// shortcut's "Start in" folder did, then runs the game there; the game reads
// and writes by relative names from it.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/valimo.h"
#include "platform/command_line.h"
#include "platform/game_dir.h"
#include "platform/journal.h"
#include "platform/png.h"
#include "platform/win.h"

#ifndef VALIMO_VERSION
#define VALIMO_VERSION "unknown"
#endif

namespace {

std::string CurrentDir() {
    char here[4096];
    return getcwd(here, sizeof here) ? here : "";
}

// A replay plays on a copy of the recorded players' file, in a folder of its
// own beside the game's data: nothing of the player's is opened for writing,
// and nothing at all before the file has proved to be one this program plays.
int Replay(const CommandLine& line) {
    JournalHeader header;
    std::string why;
    if (!LoadReplay(line.replay.c_str(), VALIMO_VERSION, &header, why)) {
        std::fprintf(stderr, "valimo: %s: %s\n", line.replay.c_str(), why.c_str());
        return 2;
    }
    const StartPlace place = ChooseStartDir(CurrentDir(), ProgramDir(), ShippedDataDir(), std::getenv("XDG_DATA_HOME"),
                                            std::getenv("HOME"), false);
    const std::string data = place.layFrom.empty() ? place.dir : place.layFrom;
    if (data.empty() || !HoldsGame(data)) {
        std::fprintf(stderr, "valimo: %s: no game data to replay it with\n", line.replay.c_str());
        return 2;
    }
    if (GameDataDigest(data) != header.dataDigest) {
        std::fprintf(stderr, "valimo: %s: recorded with other game data than %s\n", line.replay.c_str(), data.c_str());
        return 2;
    }
    const std::string folder = LayReplayFolder(data, line.into, header, why);
    if (folder.empty() || chdir(folder.c_str()) != 0) {
        std::fprintf(stderr, "valimo: %s\n", folder.empty() ? why.c_str() : std::strerror(errno));
        return 1;
    }
    if (line.headless) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    // A watcher gets a window unless they ask for the whole screen.
    SetStartInWindow(line.window || !line.fullScreenAsked);
    journalWriteFrame = [](const char* path, const uint16_t* pixels, int width, int height, int pixelMode) {
        return WritePng(path, width, height, PixelsToRgb(pixels, width, height, width, pixelMode));
    };
    StartReplay(line.headless, line.into.empty() ? folder : "");
    WinMain();
}

}  // namespace

int main(int argc, char** argv) {
    // Before anything of the game: a mistyped option writes no log and makes no folder.
    const CommandLine line = ParseCommandLine(argc, argv);
    switch (line.action) {
    case CommandLine::HELP:
        std::fputs(UsageText(), stdout);
        return 0;
    case CommandLine::VERSION:
        std::printf("valimo %s\n", VALIMO_VERSION);
        return 0;
    case CommandLine::BAD:
        std::fprintf(stderr, "valimo: unknown option '%s'\n%s", line.bad.c_str(), UsageText());
        return 2;
    case CommandLine::RUN:
        break;
    }
    if (!line.replay.empty()) return Replay(line);
    SetStartInWindow(line.window);
    const StartPlace place = ChooseStartDirForThisRun();
    if (place.dir.empty()) {
        std::fprintf(stderr, "valimo: %s\n", place.error.c_str());
        return 1;
    }
    if (place.busy) {
        // Changed on purpose: one game per folder (docs/BEHAVIOUR.md).
        const std::string text = "Valimo is already running in " + place.dir + "; this copy ends and leaves it as it is";
        std::fprintf(stderr, "valimo: %s\n", text.c_str());
        MessageBoxA(nullptr, text.c_str(), "Valimo", MB_OK | MB_ICONERROR);
        return 1;
    }
    for (size_t at = 0; at < place.warning.size();) {
        const size_t end = std::min(place.warning.find('\n', at), place.warning.size());
        std::fprintf(stderr, "valimo: %s\n", place.warning.substr(at, end - at).c_str());
        at = end + 1;
    }
    // Named from where the player typed it; one that cannot be written leaves the game unrecorded.
    std::string why;
    if (!line.record.empty() && !OpenRecording(line.record.c_str(), why))
        std::fprintf(stderr, "valimo: cannot record into %s: %s; the game plays unrecorded\n", line.record.c_str(),
                     why.c_str());
    if (chdir(place.dir.c_str()) != 0) {
        std::fprintf(stderr, "valimo: cannot enter %s: %s\n", place.dir.c_str(), std::strerror(errno));
        return 1;
    }
    StartRecording(VALIMO_VERSION);
    WinMain();
}
