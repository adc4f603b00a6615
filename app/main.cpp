// The program reads its options, chooses the folder the game plays in, as a
// shortcut's "Start in" folder did, then runs the game there; the game reads
// and writes by relative names from it.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/valimo.h"
#include "platform/command_line.h"
#include "platform/game_dir.h"
#include "platform/win.h"

#ifndef VALIMO_VERSION
#define VALIMO_VERSION "unknown"
#endif

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
    if (chdir(place.dir.c_str()) != 0) {
        std::fprintf(stderr, "valimo: cannot enter %s: %s\n", place.dir.c_str(), std::strerror(errno));
        return 1;
    }
    WinMain();
}
