// One play frame's puzzle work on a level of 20 items: reset the grid, draw the
// items with pick-up and hover, draw the carried one, try a drop, count the case.
#include <benchmark/benchmark.h>

#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/sprite.h"
#include "input/input.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"

namespace {

constexpr int kItems = 20;

// 20 items of 2 x 2 cells with one transparent corner, in two rows across the
// table and the case; sprites made in memory, masks built as a load builds them.
void LayLevel() {
    static bool laid = false;
    if (laid) return;
    laid = true;
    mainWindow = CreateMainWindow("Valimo", 0, 0, 640, 480, WndProc);
    InitDirectDraw(mainWindow, nullptr, 640, 480, 16);
    BuildGridTemplate();
    for (int i = 0; i < kItems; i++) {
        Item& item = gameLevel.items[i];
        item.image = CreateSprite(64, 64, 1, DDSCAPS_VIDEOMEMORY);
        FillSpriteRect(item.image, 0, 0, 64, 64, 0x07C0);
        FillSpriteRect(item.image, 32, 0, 32, 32, ColorKey());
        item.width = 2;
        item.height = 2;
        item.column = 2 * (i % 10);
        item.row = i < 10 ? 3 : 7;
        std::snprintf(item.name, sizeof item.name, "item%d", i);
        BuildItemMask(i);
    }
    gameLevel.itemCount = kItems;
    gameLevel.itemsLoaded = true;
}

// Carrying item 0 and clicking with it over item 5: the drop collides, so every
// frame does the same work.
void BM_PlayFrameCarrying(benchmark::State& state) {
    LayLevel();
    gameLevel.items[0].carried = true;
    gameLevel.items[0].grabX = 16;
    gameLevel.items[0].grabY = 16;
    carrying = true;
    carriedItem = 0;
    for (auto _ : state) {
        mouseX = 32 * 10 + 16;
        mouseY = 128 + 32 * 4 + 16;
        mouseClick = true;
        PlayFrame();
        benchmark::DoNotOptimize(packedCells);
    }
    gameLevel.items[0].carried = false;
    carrying = false;
}
BENCHMARK(BM_PlayFrameCarrying);

// Nothing carried, the pointer over an item: its name label is drawn.
void BM_PlayFrameHover(benchmark::State& state) {
    LayLevel();
    for (auto _ : state) {
        mouseX = 32 * 12 + 16;
        mouseY = 128 + 32 * 8 + 16;
        mouseClick = false;
        PlayFrame();
        benchmark::DoNotOptimize(packedCells);
    }
}
BENCHMARK(BM_PlayFrameHover);

}  // namespace
