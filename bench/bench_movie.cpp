#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/valimo.h"
#include "avi_writer.h"
#include "gfx/display.h"
#include "gfx/movie.h"
#include "platform/avi.h"
#include "platform/headless/headless.h"
#include "test_support.h"

namespace {

constexpr int kWidth = 320, kHeight = 240, kFrames = 30;

// A moving picture, so every frame really has to be decoded.
std::vector<TestPicture> MovingPictures() {
    std::vector<TestPicture> pictures;
    for (int k = 0; k < kFrames; k++) {
        TestPicture p(size_t(kWidth) * kHeight);
        for (int y = 0; y < kHeight; y++)
            for (int x = 0; x < kWidth; x++)
                p[size_t(y) * kWidth + size_t(x)] = Rgb555((x + k) / 10, (y + 2 * k) / 8, (x ^ y) / 16);
        pictures.push_back(std::move(p));
    }
    return pictures;
}

void SetUpMovie() {
    static bool done = false;
    if (done) return;
    done = true;
    MakeScratchDirectory();
    StartDisplay();
    drawDib = DrawDibOpen();
    movieFrameDrawer = DrawMovieFrame565;
    WriteTestAvi("intro.avi", kWidth, kHeight, MovingPictures(), "msvideo1", 15);
    OpenMovie("intro.avi");
}

// One game frame of a movie: decode the next frame, convert it into the sprite.
void BM_MovieFrame320x240(benchmark::State& state) {
    SetUpMovie();
    if (movieFrameCount != kFrames) {
        state.SkipWithError("movie did not open");
        return;
    }
    int frame = 0;
    for (auto _ : state) {
        movieFrameDrawer(frame);
        // Wrapping back to 0 restarts the decoder once per pass over the movie.
        frame = (frame + 1) % kFrames;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MovieFrame320x240);

// The copy a frame costs at the least, for scale.
void BM_Memcpy320x240x3(benchmark::State& state) {
    std::vector<uint8_t> from(size_t(kWidth) * kHeight * 3, 1), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Memcpy320x240x3);

}  // namespace
