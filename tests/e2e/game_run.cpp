#include "e2e/game_run.h"

#include <filesystem>
#include <utility>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "input/input.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"
#include "test_support.h"

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

namespace {

struct Placement {
    int item;
    int column, row;
};

// Exact cover of the 10 x 7 case by the level's items, without rotation.
bool Cover(std::vector<bool>& used, std::vector<uint8_t>& caseCells, std::vector<Placement>& out) {
    int first = -1;
    for (int i = 0; i < CASE_CELLS; i++)
        if (!caseCells[size_t(i)]) {
            first = i;
            break;
        }
    if (first < 0) return true;
    const int fc = first % CASE_COLUMNS, fr = first / CASE_COLUMNS;
    for (int item = 0; item < gameLevel.itemCount; item++) {
        if (used[size_t(item)]) continue;
        const Item& it = gameLevel.items[item];
        // The item's first solid cell in reading order must land on the first free cell.
        int ox = -1, oy = -1;
        for (int y = 0; y < it.height && ox < 0; y++)
            for (int x = 0; x < it.width; x++)
                if (it.mask[size_t(y * it.width + x)]) {
                    ox = x;
                    oy = y;
                    break;
                }
        if (ox < 0) continue;
        const int column = fc - ox, row = fr - oy;
        bool fits = column >= 0 && row >= 0 && column + it.width <= CASE_COLUMNS && row + it.height <= CASE_ROWS;
        for (int y = 0; y < it.height && fits; y++)
            for (int x = 0; x < it.width && fits; x++)
                if (it.mask[size_t(y * it.width + x)] && caseCells[size_t((row + y) * CASE_COLUMNS + column + x)])
                    fits = false;
        if (!fits) continue;
        auto mark = [&](uint8_t v) {
            for (int y = 0; y < it.height; y++)
                for (int x = 0; x < it.width; x++)
                    if (it.mask[size_t(y * it.width + x)]) caseCells[size_t((row + y) * CASE_COLUMNS + column + x)] = v;
        };
        mark(1);
        used[size_t(item)] = true;
        out.push_back({item, column + CASE_LEFT, row});
        if (Cover(used, caseCells, out)) return true;
        out.pop_back();
        used[size_t(item)] = false;
        mark(0);
    }
    return false;
}

}  // namespace

bool SolveLevelWithPointer() {
    std::vector<bool> used(size_t(gameLevel.itemCount), false);
    std::vector<uint8_t> caseCells(CASE_CELLS, 0);
    std::vector<Placement> plan;
    if (!Cover(used, caseCells, plan)) return false;
    for (const Placement& p : plan) {
        const Item& it = gameLevel.items[p.item];
        int sx = 0, sy = 0;
        for (int i = 0; i < it.width * it.height; i++)
            if (it.mask[size_t(i)]) {
                sx = i % it.width;
                sy = i / it.width;
                break;
            }
        // Take it by a solid cell's centre and put that cell's centre where it belongs.
        Click(32 * (it.column + sx) + 16, GRID_TOP + 32 * (it.row + sy) + 16);
        if (!carrying) return false;
        MoveTo(32 * (p.column + sx) + 16, GRID_TOP + 32 * (p.row + sy) + 16);
        Click(32 * (p.column + sx) + 16, GRID_TOP + 32 * (p.row + sy) + 16);
        if (carrying) return false;
        if (GameState != GS_PLAYING) break;
    }
    return true;
}
