// The program reads its options, chooses the folder the game plays in, as a
// shortcut's "Start in" folder did, then runs the game there; the game reads
// and writes by relative names from it.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/valimo.h"
#include "platform/command_line.h"
#include "platform/game_dir.h"

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
    if (!place.warning.empty()) std::fprintf(stderr, "valimo: %s\n", place.warning.c_str());
    if (chdir(place.dir.c_str()) != 0) {
        std::fprintf(stderr, "valimo: cannot enter %s: %s\n", place.dir.c_str(), std::strerror(errno));
        return 1;
    }
    WinMain();
}
