// The page's program: the packed game folder is /game, the player's files are
// kept by the browser; then the game runs as on the desktop, from its folder.
#include <unistd.h>

#include <cstdio>

#include "app/valimo.h"
#include "platform/web/web.h"

int main() {
    constexpr const char* kGameDir = "/game";
    if (!WebPrepareFiles(kGameDir)) {
        std::fprintf(stderr, "valimo: cannot lay out the player's files in %s\n", kGameDir);
        return 1;
    }
    if (chdir(kGameDir) != 0) {
        std::fprintf(stderr, "valimo: the page holds no game folder\n");
        return 1;
    }
    WinMain();
}
