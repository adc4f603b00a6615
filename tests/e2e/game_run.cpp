#include "e2e/game_run.h"

#include <filesystem>
#include <utility>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "input/input.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"
#include "test_support.h"
#include "tools/levels/levels.h"

namespace fs = std::filesystem;

std::string PrepareGame(const std::string& prefs) {
    const std::string dir = MakeScratchDirectory();
    const fs::path from(VALIMO_GAME_DIR);
    for (const char* name : {"levels", "data"}) fs::copy(from / name, fs::path(dir) / name, fs::copy_options::recursive);
    for (const char* name : {"gui.bmp", "TimesRoman.bmp", "TimesRoman2.bmp", "Century.bmp", "intro.avi", "outro.avi"})
        fs::copy_file(from / name, fs::path(dir) / name);
    if (!prefs.empty()) WriteFile("prefs.dat", prefs);
    return dir;
}

void StartGame() { WinMainStart(); }

bool Frame(const HeadlessInputFrame& input) {
    HeadlessQueueInput(input);
    return FrameLoopPass();
}

bool MoveTo(int x, int y, bool button, std::vector<int> keys) {
    HeadlessInputFrame input;
    input.dx = x - mouseX;
    input.dy = y - mouseY;
    input.button = button;
    input.keys = std::move(keys);
    return Frame(input);
}

void Click(int x, int y) {
    MoveTo(x, y, true);
    MoveTo(x, y, false);
}

namespace {
int KeyCode(char c) {
    static const char* const rows[] = {"1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm"};
    static const int starts[] = {0x02, 0x10, 0x1E, 0x2C};
    for (int r = 0; r < 4; r++)
        for (int i = 0; rows[r][i]; i++)
            if (rows[r][i] == c) return starts[r] + i;
    return 0;
}
}  // namespace

void Type(const std::string& text) {
    for (char c : text) {
        MoveTo(mouseX, mouseY, false, {KeyCode(c)});
        MoveTo(mouseX, mouseY, false, {});
    }
}

void PressKey(int code) {
    MoveTo(mouseX, mouseY, false, {code});
    MoveTo(mouseX, mouseY, false, {});
}

int RunUntilState(int state, int limit) {
    for (int n = 0; n < limit; n++) {
        if (GameState == state) return n;
        Frame();
    }
    return GameState == state ? limit : -1;
}

void EndGame() { WinMainEnd(); }

gen::SolveResult SolveLevelInPlay() {
    std::vector<gen::CellMask> masks;
    for (int i = 0; i < gameLevel.itemCount; i++) {
        const Item& it = gameLevel.items[i];
        gen::CellMask mask;
        mask.w = it.width;
        mask.h = it.height;
        for (uint8_t cell : it.mask) mask.solid.push_back(cell != 0);
        masks.push_back(mask);
    }
    return gen::SolveFirst(masks, 0);
}

void SolidCellCentre(const Item& it, int column, int row, int* x, int* y) {
    int sx = 0, sy = 0;
    for (int i = 0; i < it.width * it.height; i++)
        if (it.mask[size_t(i)]) {
            sx = i % it.width;
            sy = i / it.width;
            break;
        }
    *x = 32 * (column + sx) + 16;
    *y = GRID_TOP + 32 * (row + sy) + 16;
}

bool SolveLevelWithPointer() {
    const gen::SolveResult found = SolveLevelInPlay();
    if (!found.solvable) return false;
    for (int item = 0; item < gameLevel.itemCount; item++) {
        const gen::Placement& p = found.solution[size_t(item)];
        const Item& it = gameLevel.items[item];
        // Take it by a solid cell's centre and put that cell's centre where it belongs.
        int fromX, fromY, toX, toY;
        SolidCellCentre(it, it.column, it.row, &fromX, &fromY);
        SolidCellCentre(it, p.col, p.row, &toX, &toY);
        Click(fromX, fromY);
        if (!carrying) return false;
        MoveTo(toX, toY);
        Click(toX, toY);
        if (carrying) return false;
        if (GameState != GS_PLAYING) break;
    }
    return true;
}
