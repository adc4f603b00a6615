#include "gfx/movie.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/valimo.h"
#include "avi_writer.h"
#include "gfx/display.h"
#include "platform/faults.h"
#include "platform/headless/headless.h"
#include "test_support.h"

namespace {

const char* const kNoDecoder =
    "Failed to decomress a video file, make sure the Microsoft Video 1 codec is present on your system\n"
    "See faq.html in the game's folder for details on this error.\n";

uint16_t FrameColour(int k) { return Rgb555(2 + (k * 7 + 3) % 30, (k * 13 + 20) % 32, (k * 5 + 9) % 32); }

uint16_t As565(uint16_t c) {
    const int r = Expand5(c >> 10), g = Expand5(c >> 5), b = Expand5(c);
    return uint16_t((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

std::vector<TestPicture> NumberedFrames(int width, int height, int count) {
    std::vector<TestPicture> pictures;
    for (int k = 0; k < count; k++) pictures.push_back(SolidPicture(width, height, FrameColour(k)));
    return pictures;
}

uint16_t SpritePixel(int x, int y) {
    SurfaceLock lock;
    LockSurface(movieSprite, &lock);
    const uint16_t p = lock.pixels[size_t(y) * size_t(lock.pitch / 2) + size_t(x)];
    UnlockSurface(movieSprite, &lock);
    return p;
}

// The display and the start-up steps movies rely on, as InitGame leaves them.
void StartMovies(int pixelMode) {
    MakeScratchDirectory();
    quitRequested = false;
    if (pixelMode == 15) HeadlessDisplay555();
    if (pixelMode == 0) HeadlessDisplay8Bit();
    StartDisplay();
    drawDib = DrawDibOpen();
    movieFrameDrawer = pixelMode == 15 ? DrawMovieFrame555 : pixelMode == 16 ? DrawMovieFrame565 : nullptr;
}

std::string UnknownCodecMovie() {
    std::string bytes;
    EXPECT_TRUE(WriteTestAvi("plain.avi", 16, 8, NumberedFrames(16, 8, 3)));
    bytes = ReadFile("plain.avi");
    for (size_t at = FindBytes(bytes, "MSVC"); at != std::string::npos; at = FindBytes(bytes, "MSVC", at))
        bytes.replace(at, 4, "QZQZ");
    return bytes;
}

TEST(Movie, OpensWithItsSizeAndFrameCount) {
    StartMovies(16);
    ASSERT_TRUE(WriteTestAvi("intro.avi", 160, 120, NumberedFrames(160, 120, 90)));
    OpenMovie("intro.avi");
    EXPECT_NE(ReadLog().find("Loading intro.avi\nVideo decompressed successfully: 160, 120\n"), std::string::npos);
    EXPECT_FALSE(quitRequested);
    EXPECT_EQ(movieWidth, 160);
    EXPECT_EQ(movieHeight, 120);
    EXPECT_EQ(movieFrameCount, 90);
    ASSERT_NE(movieSprite, nullptr);
    CloseMovie();
    EXPECT_EQ(movieSprite, nullptr);
    EXPECT_EQ(movieFrameCount, 0);
}

TEST(Movie, MissingFileLogsBothLinesAndEndsTheProgram) {
    StartMovies(16);
    OpenMovie("intro.avi");
    EXPECT_NE(ReadLog().find("Loading intro.avi\nFailed to open intro.avi\n"), std::string::npos);
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(movieFrameCount, 0);
    EXPECT_EQ(movieSprite, nullptr);
    DrawMovieFrame565(0);
    CloseMovie();
}

TEST(Movie, GarbageAndHugeFilesDoNotOpen) {
    StartMovies(16);
    std::string garbage;
    for (int i = 0; i < 4000; i++) garbage += char((i * 31337 + 7) % 253);
    WriteFile("garbage.avi", garbage);
    OpenMovie("garbage.avi");
    EXPECT_NE(ReadLog().find("Loading garbage.avi\nFailed to open garbage.avi\n"), std::string::npos);
    EXPECT_TRUE(quitRequested);

    quitRequested = false;
    ASSERT_TRUE(WriteTestAvi("m.avi", 16, 8, NumberedFrames(16, 8, 2)));
    std::string huge = ReadFile("m.avi");
    const size_t strf = FindBytes(huge, "strf");
    PutLe32(huge, strf + 8 + 4, 30000);
    PutLe32(huge, strf + 8 + 8, 20000);
    WriteFile("outro.avi", huge);
    OpenMovie("outro.avi");
    EXPECT_NE(ReadLog().find("Loading outro.avi\nFailed to open outro.avi\n"), std::string::npos);
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(movieFrameCount, 0);
}

class MovieConversion : public testing::TestWithParam<int> {};

TEST_P(MovieConversion, RedAndWhiteTakeTheDisplayLayout) {
    const int mode = GetParam();
    StartMovies(mode);
    TestPicture picture(8 * 8);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) picture[size_t(y * 8 + x)] = x < 4 ? Rgb555(31, 0, 0) : Rgb555(31, 31, 31);
    ASSERT_TRUE(WriteTestAvi("intro.avi", 8, 8, {picture}));
    OpenMovie("intro.avi");
    ASSERT_EQ(movieFrameCount, 1);
    movieFrameDrawer(0);
    EXPECT_EQ(SpritePixel(0, 0), mode == 15 ? 0x7C00 : 0xF800);
    EXPECT_EQ(SpritePixel(3, 7), mode == 15 ? 0x7C00 : 0xF800);
    EXPECT_EQ(SpritePixel(4, 0), mode == 15 ? 0x7FFF : 0xFFFF);
    EXPECT_EQ(SpritePixel(7, 7), mode == 15 ? 0x7FFF : 0xFFFF);
    CloseMovie();
}

INSTANTIATE_TEST_SUITE_P(Modes, MovieConversion, testing::Values(15, 16));

TEST(Movie, FramesShowInTheOrderAskedForwardAndBackward) {
    StartMovies(16);
    ASSERT_TRUE(WriteTestAvi("intro.avi", 32, 16, NumberedFrames(32, 16, 20), "msvideo1", 6));
    OpenMovie("intro.avi");
    ASSERT_EQ(movieFrameCount, 20);
    for (int k = 0; k < 20; k++) {
        DrawMovieFrame565(k);
        ASSERT_EQ(SpritePixel(31, 15), As565(FrameColour(k))) << k;
    }
    for (int k : {19, 13, 2, 0, 7}) {
        DrawMovieFrame565(k);
        EXPECT_EQ(SpritePixel(0, 0), As565(FrameColour(k))) << k;
    }
    // Past the end nothing is drawn.
    DrawMovieFrame565(20);
    EXPECT_EQ(SpritePixel(0, 0), As565(FrameColour(7)));
    CloseMovie();
}

TEST(Movie, WidthsWithPaddedRowsPlayStraight) {
    StartMovies(16);
    for (int width : {6, 10, 13}) {
        const int height = 7;
        TestPicture picture(size_t(width * height));
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) picture[size_t(y * width + x)] = Rgb555(x * 2, y * 4, 31 - x - y);
        ASSERT_TRUE(WriteTestAvi("odd.avi", width, height, {picture, picture}, "zmbv"));
        OpenMovie("odd.avi");
        ASSERT_EQ(movieFrameCount, 2);
        DrawMovieFrame565(1);
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                ASSERT_EQ(SpritePixel(x, y), As565(picture[size_t(y * width + x)])) << width << ": " << x << "," << y;
        CloseMovie();
    }
}

TEST(Movie, UndecodableMovieEndsAtOnce) {
    StartMovies(16);
    WriteFile("intro.avi", UnknownCodecMovie());
    OpenMovie("intro.avi");
    const std::string log = ReadLog();
    EXPECT_NE(log.find(std::string("Loading intro.avi\n") + kNoDecoder), std::string::npos);
    EXPECT_EQ(log.find("Video decompressed successfully"), std::string::npos);
    EXPECT_FALSE(quitRequested);
    EXPECT_EQ(movieFrameCount, 0);
    EXPECT_EQ(movieSprite, nullptr);
    DrawMovieFrame565(0);
    CloseMovie();
    // The next movie plays.
    ASSERT_TRUE(WriteTestAvi("outro.avi", 8, 8, NumberedFrames(8, 8, 2)));
    OpenMovie("outro.avi");
    EXPECT_EQ(movieFrameCount, 2);
    CloseMovie();
}

// The steps that work on any display log as they do there; only the drawing is
// missing, which one line says, and the movie is over at once.
TEST(Movie, EightBitDisplayHasNoDrawerAndEndsTheMovieAtOnce) {
    StartMovies(0);
    ASSERT_EQ(PixelMode, 0);
    ASSERT_TRUE(WriteTestAvi("intro.avi", 8, 4, NumberedFrames(8, 4, 5)));
    const std::string before = ReadLog();
    OpenMovie("intro.avi");
    EXPECT_EQ(ReadLog().substr(before.size()),
              "Loading intro.avi\nVideo decompressed successfully: 8, 4\n"
              "No movie frames can be drawn on an 8-bit display; the movie is skipped\n");
    EXPECT_FALSE(quitRequested);
    EXPECT_EQ(movieFrameCount, 0);
    CloseMovie();
    EXPECT_EQ(movieSprite, nullptr);
}

TEST(Movie, AFrameThatFailsKeepsThePreviousPicture) {
    StartMovies(16);
    ASSERT_TRUE(WriteTestAvi("intro.avi", 8, 8, NumberedFrames(8, 8, 6)));
    OpenMovie("intro.avi");
    InjectFault("AVIStreamGetFrame", AVIERR_FILEREAD, 3, 1);
    const int shown[] = {0, 1, 2, 2, 4, 5};
    for (int k = 0; k < 6; k++) {
        DrawMovieFrame565(k);
        EXPECT_EQ(SpritePixel(0, 0), As565(FrameColour(shown[k]))) << k;
    }
    CloseMovie();
}

TEST(Movie, PlaysOnAfterTheDisplayWasLost) {
    StartMovies(16);
    ASSERT_TRUE(WriteTestAvi("intro.avi", 8, 8, NumberedFrames(8, 8, 4)));
    OpenMovie("intro.avi");
    DrawMovieFrame565(0);
    // A failed lock ends the process with status 0; only a finished run exits with 3.
    EXPECT_EXIT(
        {
            HeadlessLoseSurfaces();
            primarySurface->Restore();
            DrawMovieFrame565(1);
            std::exit(SpritePixel(5, 5) == As565(FrameColour(1)) ? 3 : 4);
        },
        testing::ExitedWithCode(3), "");
    CloseMovie();
}

TEST(Movie, BitmapWithoutMemoryIsLoggedAndHarmless) {
    StartMovies(16);
    ASSERT_TRUE(WriteTestAvi("intro.avi", 8, 8, NumberedFrames(8, 8, 3)));
    InjectFault("CreateDIBSection", AVIERR_MEMORY);
    OpenMovie("intro.avi");
    EXPECT_NE(ReadLog().find("Video decompressed successfully: 8, 8\nvideodata is not valid\n"), std::string::npos);
    for (int k = 0; k < movieFrameCount; k++) DrawMovieFrame565(k);
    CloseMovie();
}

TEST(Movie, OpeningAgainClosesTheMovieBefore) {
    StartMovies(15);
    ASSERT_TRUE(WriteTestAvi("intro.avi", 16, 8, NumberedFrames(16, 8, 4)));
    ASSERT_TRUE(WriteTestAvi("outro.avi", 8, 4, NumberedFrames(8, 4, 2)));
    OpenMovie("intro.avi");
    DrawMovieFrame555(3);
    OpenMovie("outro.avi");
    EXPECT_EQ(movieWidth, 8);
    EXPECT_EQ(movieFrameCount, 2);
    DrawMovieFrame555(1);
    EXPECT_EQ(SpritePixel(7, 3), FrameColour(1));
    CloseMovie();
    CloseMovie();
}

// A movie larger than the screen is drawn as the intro is: doubled at (320 - width,
// 240 - height), cut by the clipper, every screen pixel the movie pixel the doubling
// puts there, nothing written outside the back buffer (the sanitizer build runs this).
TEST(Movie, MoviesLargerThanTheScreenAreDrawnDoubledAndCut) {
    StartMovies(15);
    const auto colour = [](int x, int y) { return Rgb555(x % 32, y % 32, (x / 32 + 3 * (y / 32)) % 32); };
    for (const auto& [width, height] : {std::pair(641, 479), std::pair(4096, 4096)}) {
        TestPicture picture;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) picture.push_back(colour(x, y));
        ASSERT_TRUE(WriteTestAvi("intro.avi", width, height, {picture}, "zmbv"));
        OpenMovie("intro.avi");
        ASSERT_EQ(movieFrameCount, 1) << ReadLog();
        movieFrameDrawer(0);
        ASSERT_EQ(BlitSprite(backBuffer, movieSprite, 320 - width, 240 - height, 2 * width, 2 * height), DD_OK);
        SurfaceLock lock;
        LockSurface(backBuffer, &lock);
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++)
                ASSERT_EQ(lock.pixels[y * lock.pitch / 2 + x], colour((x + width - 320) / 2, (y + height - 240) / 2))
                    << width << ": " << x << "," << y;
        UnlockSurface(backBuffer, &lock);
        CloseMovie();
    }
}

}  // namespace
