// Whole-game costs: one frame of the play state, the main menu and a movie, beside
// a plain copy of one frame; start-up to the first intro frame; peak memory of a
// scripted run. The game's module state can start only once per process, so each
// measurement runs the game in a child process and hands its figure back.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "e2e/game_run.h"
#include "gfx/display.h"
#include "gfx/movie.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "puzzle/level.h"
#include "puzzle/status.h"
#include "test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

struct ChildResult {
    double value = NAN;
    long maxRssKb = 0;
};

// Runs `work` in a child process; its return value and the child's peak memory.
ChildResult InChild(const std::function<double()>& work) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const double value = work();
        (void)!write(fds[1], &value, sizeof value);
        _exit(0);
    }
    close(fds[1]);
    ChildResult result;
    if (read(fds[0], &result.value, sizeof result.value) != sizeof result.value) result.value = NAN;
    close(fds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.maxRssKb = usage.ru_maxrss;
    return result;
}

// A level of 20 items, taken from the generated levels at their own start places.
void WriteTwentyItemLevel() {
    std::vector<std::string> records;
    for (const auto& entry : std::filesystem::directory_iterator("levels")) {
        std::ifstream in(entry.path());
        std::string line;
        std::getline(in, line);
        std::getline(in, line);
        while (std::getline(in, line) && records.size() < 20)
            if (!line.empty()) records.push_back(line);
        if (records.size() == 20) break;
    }
    std::string text = "LEVEL 90\nITEMS " + std::to_string(records.size()) + "\n";
    for (const std::string& r : records) text += r + "\n";
    WriteFile("levels/level90.lev", text);
}

// Start-up of a player's game up to the selection screen.
bool StartToSelection() {
    PrepareGame("PLAYERS 1\nbench 0 0 0\n");
    WriteTwentyItemLevel();
    StartGame();
    return !quitRequested && RunUntilState(GS_SELECT_PLAYER, 5000) >= 0;
}

double TimeFrames(int frames) {
    const auto start = Clock::now();
    for (int i = 0; i < frames; i++) {
        GameFrame();
        FlipScreen();
    }
    return std::chrono::duration<double>(Clock::now() - start).count() / frames;
}

void ReportChild(benchmark::State& state, const ChildResult& r) {
    if (std::isnan(r.value)) {
        state.SkipWithError("the game did not get there");
        return;
    }
    for (auto _ : state) state.SetIterationTime(r.value);
}

constexpr int kFrames = 600;

// The reference: copying one 640 x 480 frame of 16-bit pixels.
void BM_FrameMemcpy(benchmark::State& state) {
    std::vector<uint16_t> from(640 * 480, 0x1234), to(640 * 480);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(uint16_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameMemcpy);

void BM_PlayFrame20Items(benchmark::State& state) {
    const ChildResult r = InChild([] {
        if (!StartToSelection()) return double(NAN);
        GameState = GS_PLAYING;
        LoadLevel(90);
        if (gameLevel.itemCount != 20) return double(NAN);
        mouseX = 320;
        mouseY = 300;
        TimeFrames(100);  // the panels in place
        const double t = TimeFrames(kFrames);
        return GameState == GS_PLAYING ? t : double(NAN);
    });
    ReportChild(state, r);
}
BENCHMARK(BM_PlayFrame20Items)->UseManualTime()->Iterations(1);

void BM_MainMenuFrame(benchmark::State& state) {
    const ChildResult r = InChild([] {
        if (!StartToSelection()) return double(NAN);
        GameState = GS_MAIN_MENU;
        mouseX = 600;
        mouseY = 400;
        TimeFrames(100);
        return TimeFrames(kFrames);
    });
    ReportChild(state, r);
}
BENCHMARK(BM_MainMenuFrame)->UseManualTime()->Iterations(1);

// The outro, doubled to the full screen, decoded one frame per game frame.
void BM_MovieFrame(benchmark::State& state) {
    const ChildResult r = InChild([] {
        if (!StartToSelection()) return double(NAN);
        double total = 0;
        int frames = 0;
        while (frames < kFrames) {
            GameState = GS_OUTRO;
            OpenMovie("outro.avi");
            movieFrame = 0;
            if (movieFrameCount < 2) return double(NAN);
            const int n = movieFrameCount - 1;  // stop before the last ends the movie
            total += TimeFrames(n) * n;
            frames += n;
            CloseMovie();
        }
        return total / frames;
    });
    ReportChild(state, r);
}
BENCHMARK(BM_MovieFrame)->UseManualTime()->Iterations(1);

// From the entry point to the first intro frame on the screen.
void BM_StartUpToFirstIntroFrame(benchmark::State& state) {
    for (auto _ : state) {
        const ChildResult r = InChild([] {
            PrepareGame("PLAYERS 1\nbench 0 0 0\n");
            const auto start = Clock::now();
            StartGame();
            Frame();
            const double t = std::chrono::duration<double>(Clock::now() - start).count();
            return GameState == GS_INTRO && HeadlessFramesPresented() == 1 && movieFrame == 1 ? t : double(NAN);
        });
        if (std::isnan(r.value)) {
            state.SkipWithError("no intro frame");
            return;
        }
        state.SetIterationTime(r.value);
    }
}
BENCHMARK(BM_StartUpToFirstIntroFrame)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// A first run from the intro through a solved level to the closing screen.
void BM_WholeRunPeakMemory(benchmark::State& state) {
    ChildResult r;
    for (auto _ : state) {
        r = InChild([] {
            PrepareGame();
            StartGame();
            if (RunUntilState(GS_WELCOME, 5000) < 0) return double(NAN);
            Click(315, 290);
            Click(300, 242);
            Type("anna");
            Click(276, 297);
            Click(416, 327);
            MoveTo(320, 163, true);
            MoveTo(320, 163, false);
            Click(320, 272);
            if (GameState != GS_PLAYING || !SolveLevelWithPointer()) return double(NAN);
            Click(320, 272);
            PressKey(DIK_ESCAPE);
            Click(340, 272);
            if (RunUntilState(GS_CLOSING, 5000) < 0) return double(NAN);
            return 1.0;
        });
    }
    if (std::isnan(r.value)) {
        state.SkipWithError("the scripted run did not reach the closing screen");
        return;
    }
    state.counters["peak_rss_MB"] = double(r.maxRssKb) / 1024.0;
}
BENCHMARK(BM_WholeRunPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
