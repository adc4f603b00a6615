// Drives the generated game through every screen under the headless host and
// writes each as a PNG: `valimo-screens OUTDIR` (make screens).
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "e2e/game_run.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"

namespace {

std::string outDir;
int written = 0;

void Shot(const char* name) {
    const std::string path = outDir + "/" + name + ".png";
    if (HeadlessWriteFramePng(path)) {
        written++;
    } else {
        std::fprintf(stderr, "valimo-screens: cannot write %s\n", path.c_str());
    }
}

void Frames(int n) {
    for (int i = 0; i < n; i++) MoveTo(mouseX, mouseY);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: valimo-screens OUTDIR\n");
        return 2;
    }
    outDir = std::filesystem::absolute(argv[1]).string();
    std::filesystem::create_directories(outDir);

    PrepareGame("PLAYERS 2\nanna 2 0 0\nbruno 0 0 0\n");
    StartGame();
    Frames(60);  // past the fade-in
    Shot("01-intro");
    RunUntilState(GS_SELECT_PLAYER, 3000);
    MoveTo(200, 300);
    Shot("02-select-player");

    Click(416, 250);  // "Delete Id"
    Shot("03-delete-id");
    Click(358, 272);  // "No"
    Click(416, 227);  // "New Id"
    Click(300, 242);
    Type("carla");
    Shot("04-add-id");
    Click(365, 297);  // "Cancel"
    Click(416, 304);  // "Quit Game"
    Shot("05-quit-confirm");
    Click(365, 272);  // "NO" (the window is centred: 220, 190)

    Click(416, 327);  // "Continue..."
    Frames(100);
    MoveTo(320, 203, true);  // "Instructions" held
    Shot("06-main-menu");
    MoveTo(320, 203);
    Shot("07-instructions");
    Click(320, 450);
    MoveTo(320, 223, true);
    MoveTo(320, 223);
    Shot("08-credits");
    Click(320, 450);
    MoveTo(320, 163, true);
    MoveTo(320, 163);
    Shot("09-new-level");
    Click(320, 272);
    // Hover an item for its label, then carry one.
    const Item& first = gameLevel.items[0];
    int sx = 0, sy = 0;
    for (int i = 0; i < first.width * first.height; i++)
        if (first.mask[size_t(i)]) {
            sx = i % first.width;
            sy = i / first.width;
            break;
        }
    MoveTo(32 * (first.column + sx) + 16, GRID_TOP + 32 * (first.row + sy) + 16);
    Shot("10-play-label");
    Click(mouseX, mouseY);
    MoveTo(300, 200);
    Shot("11-play-carrying");
    Click(300, 200);
    PressKey(DIK_ESCAPE);
    Shot("12-quit-game");
    Click(430, 272);  // "Log Out"
    Click(416, 327);
    MoveTo(320, 263, true);
    MoveTo(320, 263);
    Shot("13-logout");
    Click(275, 422);  // LOGOUT "YES"
    Click(416, 304);
    Click(275, 272);  // QUIT "YES": the outro
    Frames(30);
    Shot("14-outro");
    RunUntilState(GS_CLOSING, 3000);
    Frames(2);
    Shot("15-closing");
    std::printf("%d screens written to %s\n", written, outDir.c_str());
    return written == 15 ? 0 : 1;
}
