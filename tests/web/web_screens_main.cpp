// The first run that the browser test plays, under the headless host: each screen
// it compares against, and the pointer moves and keys that reach it.
//   valimo-web-screens OUTDIR first   a new player, the main menu, a level, one item packed
//   valimo-web-screens OUTDIR again   the next visit: the player list after the intro
//   valimo-web-screens OUTDIR upload  OUTDIR/upload-prefs.dat, partly damaged, as the
//                                     game reads it: the player list after the intro
// OUTDIR/intro-frames.txt holds the CRC-32 of every intro frame's RGB bytes;
// OUTDIR/steps-MODE.txt lists the steps ("move X Y", "click X Y", "type TEXT",
// "key NAME" for a KeyboardEvent.code, "shot NAME"); OUTDIR/NAME.png is the screen at each shot.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <zlib.h>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "e2e/game_run.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "platform/png.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"
#include "tools/levels/levels.h"

namespace {

constexpr int kRestX = 600, kRestY = 400;  // a pointer away from every button
// Frames for every animation to settle (the menu's panels take 81).
constexpr int kSettle = 120;

std::string outDir;
FILE* steps = nullptr;
bool ok = true;

void Step(const std::string& line) { std::fprintf(steps, "%s\n", line.c_str()); }

void Settle(int x = kRestX, int y = kRestY) {
    Step("move " + std::to_string(x) + " " + std::to_string(y));
    for (int i = 0; i < kSettle; i++) MoveTo(x, y);
}

void Shot(const char* name) {
    if (!HeadlessWriteFramePng(outDir + "/" + name + ".png")) {
        std::fprintf(stderr, "valimo-web-screens: cannot write %s\n", name);
        ok = false;
    }
    Step(std::string("shot ") + name);
}

void ClickAt(int x, int y) {
    Step("click " + std::to_string(x) + " " + std::to_string(y));
    MoveTo(x, y);
    Click(x, y);
}

void Expect(bool what, const char* where) {
    if (what) return;
    std::fprintf(stderr, "valimo-web-screens: the run went astray at %s\n", where);
    ok = false;
}

// The cell centre of an item's first solid cell, at its place or at (column, row).
void FirstVisit() {
    PrepareGame("PLAYERS 0\n");
    StartGame();
    // Every picture of the intro, by checksum: the browser's samples must be among them.
    FILE* intro = std::fopen((outDir + "/intro-frames.txt").c_str(), "w");
    for (int i = 0; i < 3000 && GameState != GS_WELCOME; i++) {
        Frame();
        const std::vector<uint8_t> rgb = PixelsToRgb(HeadlessLastFrame().data(), 640, 480, 640, HeadlessLastFramePixelMode());
        if (intro) std::fprintf(intro, "%08lx\n", crc32(0, rgb.data(), uInt(rgb.size())));
    }
    if (intro) std::fclose(intro);
    Expect(intro && GameState == GS_WELCOME, "the intro");
    Settle();
    Shot("web-welcome");
    ClickAt(315, 290);  // WELCOME "Continue..."
    Expect(GameState == GS_FIRST_ID, "the welcome");
    ClickAt(300, 242);  // into the id box
    Step("type maya");
    Type("maya");
    Settle();
    Shot("web-new-player");
    ClickAt(276, 297);  // "Create Player"
    Expect(GameState == GS_SELECT_PLAYER, "the new player");
    ClickAt(416, 327);  // "Continue..."
    Expect(GameState == GS_MAIN_MENU, "the player list");
    Settle();
    Shot("web-main-menu");
    ClickAt(320, 163);  // "Play"
    Expect(GameState == GS_NEW_LEVEL, "the main menu");
    ClickAt(320, 272);  // NEWLEVEL "Continue"
    Expect(GameState == GS_PLAYING, "the new level");
    Settle();
    Shot("web-level");

    const gen::SolveResult found = SolveLevelInPlay();
    Expect(found.solvable, "the solver");
    if (!found.solvable) return;
    const Item& first = gameLevel.items[0];
    int fromX, fromY, toX, toY;
    SolidCellCentre(first, first.column, first.row, &fromX, &fromY);
    SolidCellCentre(first, found.solution[0].col, found.solution[0].row, &toX, &toY);
    ClickAt(fromX, fromY);
    Expect(carrying, "picking up");
    Step("move " + std::to_string(toX) + " " + std::to_string(toY));
    MoveTo(toX, toY);
    ClickAt(toX, toY);
    Expect(!carrying && packedPercent > 0.0f, "packing");
    Settle();
    Shot("web-packed");

    // Quitting: the outro, the closing screen, and its "Order Now!".
    Step("key Escape");
    PressKey(DIK_ESCAPE);
    Expect(GameState == GS_QUIT_GAME, "Escape");
    ClickAt(340, 272);  // "Quit to Windows": saved, then the outro
    Expect(GameState == GS_OUTRO, "the quit dialog");
    Expect(RunUntilState(GS_CLOSING, 3000) > 0, "the outro");
    Settle();
    Shot("web-closing");
    ClickAt(380, 450);  // "Order Now!"
    Expect(quitRequested, "Order Now!");
}

void NextVisit() {
    PrepareGame("PLAYERS 1\nmaya 0 0 0\n");
    StartGame();
    Expect(RunUntilState(GS_SELECT_PLAYER, 3000) > 0, "the intro");
    Settle();
    Shot("web-player-kept");
}

// Uploaded by the browser test: one whole record between two damaged ones.
constexpr const char* kUploaded = "PLAYERS 3\nteo 2 0 0\nbroken\nzoe 1 x 0\n";

void Uploaded() {
    FILE* f = std::fopen((outDir + "/upload-prefs.dat").c_str(), "wb");
    if (!f || std::fputs(kUploaded, f) < 0 || std::fclose(f) != 0) {
        std::fprintf(stderr, "valimo-web-screens: cannot write upload-prefs.dat\n");
        ok = false;
        return;
    }
    PrepareGame(kUploaded);
    StartGame();
    Expect(RunUntilState(GS_SELECT_PLAYER, 3000) > 0, "the intro");
    Settle();
    Shot("web-uploaded");
}

}  // namespace

int main(int argc, char** argv) {
    const bool known = argc == 3 && (std::strcmp(argv[2], "first") == 0 || std::strcmp(argv[2], "again") == 0 ||
                                     std::strcmp(argv[2], "upload") == 0);
    if (!known) {
        std::fprintf(stderr, "usage: valimo-web-screens OUTDIR first|again|upload\n");
        return 2;
    }
    outDir = std::filesystem::absolute(argv[1]).string();
    std::filesystem::create_directories(outDir);
    const std::string mode = argv[2];
    steps = std::fopen((outDir + "/steps-" + mode + ".txt").c_str(), "w");
    if (!steps) return 1;
    if (mode == "first") FirstVisit();
    else if (mode == "again") NextVisit();
    else Uploaded();
    std::fclose(steps);
    return ok ? 0 : 1;
}
