// What the game costs on the player's machine while it waits: the real frame
// loop of the SDL host (a 640 x 480 window on SDL's software renderer, under
// SDL's offscreen driver) showing the main menu for 5 s, then inactive for 5 s.
// Reported: processor time per second of wall time (the share of one core), the
// mean frame period and the worst lateness of a pass past its deadline.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "platform/command_line.h"
#include "platform/host.h"
#include "platform/sdl/sdl_host.h"
#include "test_support.h"

namespace {

double ProcessorSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void Push(const SDL_Event& e) { SDL_PushEvent(const_cast<SDL_Event*>(&e)); }

void PushClick(int x, int y, bool down) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SDL_GetWindowID(SdlWindow());
    e.motion.x = x;
    e.motion.y = y;
    Push(e);
    e = SDL_Event{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = SDL_GetWindowID(SdlWindow());
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = x;
    e.button.y = y;
    Push(e);
}

// The generated game with one player, started in a window and clicked on to the
// main menu (the intro is cut short: it is not what is measured).
bool StartAtTheMainMenu() {
    static int started = 0;
    if (started) return started > 0;
    started = -1;
    namespace fs = std::filesystem;
    const fs::path here = MakeScratchDirectory();
    for (const fs::directory_entry& e : fs::directory_iterator(VALIMO_GAME_DIR)) {
        const std::string name = e.path().filename().string();
        if (name != "valimo.log" && name != "valimo" && name != "prefs.dat") fs::create_symlink(e.path(), here / name);
    }
    std::ofstream(here / "prefs.dat") << "PLAYERS 1\nanna 0 0 0\n";
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SetStartInWindow(true);
    WinMainStart();
    if (quitRequested || !SdlWindow()) return false;
    for (int i = 0; i < 5; i++) FrameLoopPass();
    GameState = stateAfterIntro;
    frameRateCap = 50;
    for (int i = 0; i < 5; i++) FrameLoopPass();
    PushClick(416, 327, true);  // the player list's "Continue..."
    for (int i = 0; i < 3; i++) FrameLoopPass();
    PushClick(416, 327, false);
    for (int i = 0; i < 3 && GameState != GS_MAIN_MENU; i++) FrameLoopPass();
    if (GameState != GS_MAIN_MENU) return false;
    // The panels slide in: measured once they stand.
    for (int i = 0; i < 100; i++) FrameLoopPass();
    started = 1;
    return true;
}

void Measure(benchmark::State& state, double seconds) {
    const int64_t frequency = HostCounterFrequency();
    const int64_t wallStart = HostCounter();
    const double processorStart = ProcessorSeconds();
    int64_t previousEnd = 0, firstEnd = 0, worstLate = 0;
    int periods = 0;
    while (HostCounter() - wallStart < int64_t(seconds * double(frequency))) {
        const bool active = windowActive != 0;
        FrameLoopPass();
        const int64_t end = HostCounter();
        if (!active) continue;
        worstLate = std::max(worstLate, end - (frameStart + frequency / frameRateCap));
        if (previousEnd == 0) {
            firstEnd = end;
        } else {
            periods++;
        }
        previousEnd = end;
    }
    const double wall = double(HostCounter() - wallStart) / double(frequency);
    const double processor = ProcessorSeconds() - processorStart;
    state.SetIterationTime(wall);
    state.counters["cpu_per_wall_%"] = 100.0 * processor / wall;
    if (periods > 0) {
        state.counters["frames"] = periods + 1;
        state.counters["mean_period_ms"] = 1000.0 * double(previousEnd - firstEnd) / double(frequency) / periods;
        state.counters["worst_late_ms"] = 1000.0 * double(worstLate) / double(frequency);
    }
}

void BM_MainMenuInAWindow(benchmark::State& state) {
    if (!StartAtTheMainMenu()) {
        state.SkipWithError("the game did not reach the main menu");
        return;
    }
    for (auto _ : state) Measure(state, 5.0);
}
BENCHMARK(BM_MainMenuInAWindow)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_Inactive(benchmark::State& state) {
    if (!StartAtTheMainMenu()) {
        state.SkipWithError("the game did not reach the main menu");
        return;
    }
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(SdlWindow());
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    Push(e);
    for (int i = 0; i < 3 && windowActive; i++) FrameLoopPass();
    if (windowActive) {
        state.SkipWithError("the window stayed active");
        return;
    }
    for (auto _ : state) Measure(state, 5.0);
}
BENCHMARK(BM_Inactive)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
