// Full-screen blits and fills beside a plain copy of the same bytes.
// Targets: the opaque blit within 1.5x of the copy, the keyed blit within 3x.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/sprite.h"

namespace {

struct Screen {
    Sprite picture;  // 640 x 480, every other pixel magenta
    Sprite quarter;  // 160 x 120
    Screen() {
        mainWindow = CreateMainWindow("Valimo", 0, 0, 640, 480, WndProc);
        InitDirectDraw(mainWindow, nullptr, 640, 480, 16);
        picture = CreateSprite(640, 480, 1, DDSCAPS_VIDEOMEMORY);
        quarter = CreateSprite(160, 120, 0, DDSCAPS_VIDEOMEMORY);
        for (int y = 0; y < 480; y += 2) FillSpriteRect(picture, 0, y, 640, 1, 0xF81F);
        FillSpriteRect(picture, 0, 1, 640, 1, 0x1234);
    }
};

Screen& TheScreen() {
    static Screen screen;
    return screen;
}

void BM_Memcpy640x480(benchmark::State& state) {
    std::vector<uint16_t> from(640 * 480, 1), to(640 * 480);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size() * 2);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 640 * 480 * 2);
}
BENCHMARK(BM_Memcpy640x480);

void BM_OpaqueBlit640x480(benchmark::State& state) {
    Screen& s = TheScreen();
    for (auto _ : state) {
        BlitSprite(backBuffer, s.picture, 0, 0, 640, 480);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 640 * 480 * 2);
}
BENCHMARK(BM_OpaqueBlit640x480);

void BM_KeyedBlit640x480(benchmark::State& state) {
    Screen& s = TheScreen();
    for (auto _ : state) {
        BlitSpriteKeyed(backBuffer, s.picture, 0, 0, 640, 480);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 640 * 480 * 2);
}
BENCHMARK(BM_KeyedBlit640x480);

void BM_ScaledBlit160x120To320x240(benchmark::State& state) {
    Screen& s = TheScreen();
    for (auto _ : state) {
        BlitSprite(backBuffer, s.quarter, 160, 120, 320, 240);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ScaledBlit160x120To320x240);

void BM_Fill640x480(benchmark::State& state) {
    TheScreen();
    for (auto _ : state) {
        ClearSprite(backBuffer, 0x1234);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 640 * 480 * 2);
}
BENCHMARK(BM_Fill640x480);

}  // namespace
