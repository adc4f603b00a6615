// One dialog per frame: the cost of DrawWindow with its buttons, texts and a text box.
// Target: a dialog frame under 2% of the 20 ms frame budget (400 us).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/valimo.h"
#include "gfx/display.h"
#include "gui/dialogs.h"
#include "gui/registry.h"
#include "gui/window_draw.h"
#include "input/input.h"

namespace {

void WriteBmp16(const char* path, int width, int height, const std::vector<uint16_t>& topDown) {
    std::string s(54, '\0');
    auto put = [&s](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; i++) s[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
    };
    s[0] = 'B';
    s[1] = 'M';
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, uint32_t(width), 4);
    put(22, uint32_t(height), 4);
    put(26, 1, 2);
    put(28, 16, 2);
    for (int row = height - 1; row >= 0; row--)
        for (int col = 0; col < width; col++) {
            const uint16_t p = topDown[size_t(row) * size_t(width) + size_t(col)];
            s.push_back(char(p & 0xFF));
            s.push_back(char(p >> 8));
        }
    if (FILE* f = std::fopen(path, "wb")) {
        std::fwrite(s.data(), 1, s.size(), f);
        std::fclose(f);
    }
}

void WriteFont(const char* path, int cell) {
    const int width = 12 * cell, height = 8 * cell;
    std::vector<uint16_t> pixels(size_t(width) * size_t(height), 0x7C1F);
    for (int glyph = 1; glyph < 96; glyph++)
        for (int y = 2; y < cell - 3; y++)
            for (int x = 0; x < cell / 2; x++)
                pixels[size_t((glyph / 12) * cell + y) * size_t(width) + size_t((glyph % 12) * cell + x)] = 0x7FFF;
    WriteBmp16(path, width, height, pixels);
}

struct Gui {
    Gui() {
        char pattern[] = "/tmp/valimo-bench-XXXXXX";
        if (!mkdtemp(pattern) || chdir(pattern) != 0) std::abort();
        std::snprintf(startDirectory, sizeof startDirectory, "%s", pattern);
        std::vector<uint16_t> skin(96 * 64);
        for (size_t i = 0; i < skin.size(); i++) skin[i] = uint16_t(i * 37 % 0x7C00);
        WriteBmp16("gui.bmp", 96, 64, skin);
        WriteFont("TimesRoman.bmp", 14);
        WriteFont("TimesRoman2.bmp", 14);
        WriteFont("Century.bmp", 18);
        mainWindow = CreateMainWindow("Valimo", 0, 0, 640, 480, WndProc);
        InitDirectDraw(mainWindow, nullptr, 640, 480, 16);
        GuiInit();
    }
};

void Setup() { static Gui gui; }

void BM_DrawWindowQuitGame(benchmark::State& state) {
    Setup();
    mouseX = 10;
    mouseY = 10;
    mouseButton = 0;
    for (auto _ : state) benchmark::DoNotOptimize(DrawWindow("QUITGAME"));
}
BENCHMARK(BM_DrawWindowQuitGame);

void BM_DrawWindowAddNewIdFocused(benchmark::State& state) {
    Setup();
    const int slot = FindWindowId("ADDNEWID");
    std::snprintf(windows[slot].textBoxes[0].text, 128, "player");
    windows[slot].textBoxes[0].length = 6;
    windows[slot].textBoxes[0].focused = true;
    mouseX = 10;
    mouseY = 10;
    mouseButton = 0;
    for (auto _ : state) benchmark::DoNotOptimize(DrawWindow("ADDNEWID"));
}
BENCHMARK(BM_DrawWindowAddNewIdFocused);

void BM_ScreenButtons(benchmark::State& state) {
    Setup();
    for (auto _ : state)
        for (int i = 0; i < 4; i++) benchmark::DoNotOptimize(DrawScreenButton(i));
}
BENCHMARK(BM_ScreenButtons);

}  // namespace
