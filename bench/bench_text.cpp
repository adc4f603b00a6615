// One line of text as a dialog draws it: 60 characters, one keyed blit each.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/font.h"

namespace {

// A 14-pixel font picture whose every glyph has a block of ink on magenta.
void WriteFontPicture(const char* path) {
    const int cell = 14, width = 12 * cell, height = 8 * cell;
    std::string file(54, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++) file[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    file[26] = 1;
    file[28] = 16;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            const int cx = x % cell, cy = y % cell;
            const uint16_t p = cx >= 1 && cx <= 8 && cy >= 2 && cy <= 11 ? 0x0000 : 0x7C1F;
            file.push_back(char(p & 0xFF));
            file.push_back(char(p >> 8));
        }
    FILE* out = std::fopen(path, "wb");
    if (!out) return;
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
}

void StartFonts() {
    static bool started = false;
    if (started) return;
    started = true;
    char pattern[] = "/tmp/valimo-bench-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (!dir) std::abort();
    std::snprintf(startDirectory, sizeof startDirectory, "%s", dir);
    SetCurrentDirectoryA(dir);
    for (const char* name : {"TimesRoman.bmp", "TimesRoman2.bmp", "Century.bmp"}) WriteFontPicture(name);
    mainWindow = CreateMainWindow("Valimo", 0, 0, 640, 480, WndProc);
    InitDirectDraw(mainWindow, nullptr, 640, 480, 16);
    InitFonts();
}

void BM_PrintTextLine(benchmark::State& state) {
    StartFonts();
    SelectFont(0);
    const char* line = "The quick brown fox jumps over the lazy dog; packing cases!";
    std::string text(line);
    text.resize(60, '.');
    for (auto _ : state) {
        PrintText(text.c_str(), 20, 200);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 60);
}
BENCHMARK(BM_PrintTextLine);

}  // namespace
