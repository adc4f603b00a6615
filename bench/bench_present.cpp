// Showing one 640 x 480 frame on SDL's software renderer, as a machine without a
// graphics card does: the upload and the scaled draw into a full-screen target,
// beside a copy of one output frame (width x height x 4 bytes) made in the same
// run. Target: at most 10x that copy at each size (the x_memcpy counter). Both
// are timed in this thread's processor time, so that a busy machine does not
// tilt the ratio.
#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <vector>

#include "platform/frame_change.h"
#include "platform/sdl/sdl_present.h"

namespace {

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Seconds for one copy of w x h x 4 bytes, the best of a few rounds.
double CopySeconds(int w, int h) {
    std::vector<uint8_t> from(size_t(w) * size_t(h) * 4, 7), to(from.size());
    double best = 1e9;
    for (int round = 0; round < 5; round++) {
        const double t0 = ThreadSeconds();
        for (int i = 0; i < 20; i++) {
            std::memcpy(to.data(), from.data(), from.size());
            benchmark::DoNotOptimize(to.data());
            benchmark::ClobberMemory();
        }
        best = std::min(best, (ThreadSeconds() - t0) / 20);
    }
    return best;
}

std::vector<uint16_t> AFrame() {
    std::vector<uint16_t> frame(640 * 480);
    for (size_t i = 0; i < frame.size(); i++) frame[i] = uint16_t(i * 2654435761u >> 13);
    return frame;
}

void Present(benchmark::State& state, PresentPath path) {
    const int w = int(state.range(0)), h = int(state.range(1));
    SDL_Surface* output = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888);
    SDL_Renderer* renderer = output ? SDL_CreateSoftwareRenderer(output) : nullptr;
    if (!renderer) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    PresenterAttach(renderer);
    PresenterForcePath(path);
    const std::vector<uint16_t> frame = AFrame();
    PresentPicture(frame.data(), 640, 16);  // textures made outside the timing
    const double copy = CopySeconds(w, h);
    const double t0 = ThreadSeconds();
    for (auto _ : state) {
        PresentPicture(frame.data(), 640, 16);
        benchmark::ClobberMemory();
    }
    const double each = (ThreadSeconds() - t0) / double(state.iterations());
    state.counters["x_memcpy"] = each / copy;
    state.counters["memcpy_us"] = copy * 1e6;
    PresenterAttach(nullptr);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(output);
}

// What the game does on a software renderer: our scaler into a texture of the
// output's size, drawn unscaled.
void BM_PresentSoftware(benchmark::State& state) { Present(state, PRESENT_ON_PROCESSOR); }
BENCHMARK(BM_PresentSoftware)->Args({1920, 1080})->Args({1366, 768})->Args({2560, 1440})->Unit(benchmark::kMicrosecond);

// For comparison: the graphics card's way (nearest into a target texture, then
// linear down) left to SDL's software renderer.
void BM_PresentCardWayInSoftware(benchmark::State& state) { Present(state, PRESENT_ON_CARD); }
BENCHMARK(BM_PresentCardWayInSoftware)->Args({1920, 1080})->Args({1366, 768})->Unit(benchmark::kMicrosecond);

// What the host does with each flipped frame on a machine without a graphics
// card: the frame compared with the one shown, then only what changed scaled into
// the window's own surface and sent on (SDL's dummy video driver stands in for
// the display). Three frames: the same as before (a still menu), a 32 x 32 change
// (the pointer moved) and a whole new one. Target: the unchanged frame at most a
// tenth of a copy of the output, the pointer's change at most one copy.
enum Change { SAME_FRAME, POINTER_MOVED, NEW_FRAME };

void PresentChange(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const Change change = Change(state.range(2));
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Window* window = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0
                             ? SDL_CreateWindow("bench", 0, 0, w, h, SDL_WINDOW_HIDDEN)
                             : nullptr;
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
    if (!renderer) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    PresenterAttach(renderer);
    std::vector<uint16_t> frames[2] = {AFrame(), AFrame()};
    if (change == NEW_FRAME)
        for (uint16_t& p : frames[1]) p = uint16_t(~p);
    if (change == POINTER_MOVED)
        for (int y = 200; y < 232; y++)
            for (int x = 300; x < 332; x++) frames[1][size_t(y) * 640 + size_t(x)] ^= 0x5555;
    FrameShowWhole();
    NoteFrame(frames[0].data(), 640, 16);
    PresentPicture(frames[0].data(), 640, 16);
    const double copy = CopySeconds(w, h);
    int next = 1;
    const double t0 = ThreadSeconds();
    for (auto _ : state) {
        const std::vector<uint16_t>& f = frames[change == SAME_FRAME ? 0 : next];
        if (PresenterNeedsWhole()) FrameShowWhole();
        const FrameRect r = NoteFrame(f.data(), 640, 16);
        if (r.w > 0) PresentPicture(f.data(), 640, 16, r);
        next ^= 1;
        benchmark::ClobberMemory();
    }
    const double each = (ThreadSeconds() - t0) / double(state.iterations());
    state.counters["x_memcpy"] = each / copy;
    state.counters["memcpy_us"] = copy * 1e6;
    state.counters["window_surface"] = PresenterOnWindowSurface() ? 1 : 0;
    PresenterAttach(nullptr);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
BENCHMARK(PresentChange)
    ->ArgNames({"w", "h", "change"})
    ->ArgsProduct({{1366}, {768}, {SAME_FRAME, POINTER_MOVED, NEW_FRAME}})
    ->ArgsProduct({{1920}, {1080}, {SAME_FRAME, POINTER_MOVED, NEW_FRAME}})
    ->Unit(benchmark::kMicrosecond);

void BM_OutputFrameMemcpy(benchmark::State& state) {
    const size_t bytes = size_t(state.range(0)) * size_t(state.range(1)) * 4;
    std::vector<uint8_t> from(bytes, 7), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(BM_OutputFrameMemcpy)
    ->Args({1920, 1080})
    ->Args({1366, 768})
    ->Args({2560, 1440})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
