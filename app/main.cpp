// The program chooses the folder the game plays in, as a shortcut's "Start in"
// folder did, then runs the game there; the game reads and writes by relative
// names from it.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/valimo.h"
#include "platform/game_dir.h"

int main() {
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
