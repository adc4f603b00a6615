// The generated files read by the game's own loaders, from a copy of the game
// directory: sound effects, fonts and movies load without an error line.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/font.h"
#include "gfx/movie.h"
#include "sound/sound.h"
#include "test_support.h"
#include "tools/art/fonts.h"
#include "tools/art/text_places.h"
#include "tools/kit/image.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = VALIMO_GAME_DIR;

// A scratch start directory holding the generated files the test names.
void CopyGameFiles(const std::vector<std::string>& files) {
    std::string dir = MakeScratchDirectory();
    fs::create_directories(fs::path(dir) / "data");
    for (const auto& f : files) fs::copy_file(kGame / f, fs::path(dir) / f);
}

TEST(GameReadsData, SoundEffectsLoadIntoTheirSlots) {
    CopyGameFiles({"data/click.wav", "data/drop0.wav", "data/drop1.wav", "data/drop2.wav", "data/drop3.wav",
                   "data/drop4.wav", "data/key.wav", "data/done.wav"});
    mainWindow = CreateMainWindow("Valimo", 0, 0, 640, 480, WndProc);
    InitDirectSound(mainWindow);
    ASSERT_FALSE(soundDisabled);
    std::string before = ReadLog();
    LoadSoundEffects();
    EXPECT_EQ(ReadLog(), before);
    for (int slot = 0; slot <= 10; slot++) {
        EXPECT_TRUE(soundEffects[slot].loaded) << slot;
        EXPECT_GT(soundEffects[slot].size, 100u) << slot;
    }
    // Each slot holds its file's samples.
    std::vector<uint8_t> done;
    ASSERT_TRUE(gen::ReadFile((kGame / "data/done.wav").string(), done));
    EXPECT_EQ(soundEffects[10].size, done.size() - 44);
    ShutdownDirectSound();
}

TEST(GameReadsData, FontsAreCutAndMeasuredAsTheGeneratorMeasuredThem) {
    CopyGameFiles({"TimesRoman.bmp", "TimesRoman2.bmp", "Century.bmp"});
    StartDisplay();
    std::string before = ReadLog();
    InitFonts();
    EXPECT_EQ(ReadLog().substr(before.size()),
              "Building font (TimesRoman.bmp)\nBuilding font (TimesRoman2.bmp)\nBuilding font (Century.bmp)\n");
    const char* files[3] = {"TimesRoman.bmp", "TimesRoman2.bmp", "Century.bmp"};
    const int cells[3] = {14, 14, 18};
    for (int f = 0; f < 3; f++) {
        gen::Image16 img;
        ASSERT_TRUE(gen::ReadBmp((kGame / files[f]).string(), img));
        auto adv = gen::MeasureAdvances(img, cells[f]);
        SelectFont(f);
        for (const auto& p : gen::TextPlaces()) {
            if (p.font != f) continue;
            EXPECT_EQ(TextWidth(p.text.c_str()), gen::TextWidth(adv, p.text)) << p.text;
        }
    }
    ReleaseFonts();
}

TEST(GameReadsData, MoviesOpenDecodeAndPlayEveryFrame) {
    CopyGameFiles({"intro.avi", "outro.avi"});
    quitRequested = false;
    StartDisplay();
    drawDib = DrawDibOpen();
    movieFrameDrawer = PixelMode == 15 ? DrawMovieFrame555 : DrawMovieFrame565;
    for (const char* name : {"intro.avi", "outro.avi"}) {
        std::string before = ReadLog();
        OpenMovie(name);
        std::string log = ReadLog().substr(before.size());
        EXPECT_EQ(log.find("Failed"), std::string::npos) << log;
        EXPECT_NE(log.find("Video decompressed successfully: " + std::to_string(movieWidth) + ", " +
                           std::to_string(movieHeight) + "\n"),
                  std::string::npos)
            << log;
        EXPECT_FALSE(quitRequested);
        EXPECT_GT(movieFrameCount, 60);
        ASSERT_NE(movieSprite, nullptr);
        // The middle of the show is not black: something is drawn.
        for (int i = 0; i < movieFrameCount; i++) movieFrameDrawer(i);
        movieFrameDrawer(movieFrameCount / 2);
        const uint16_t* px = movieSprite->Pixels();
        int lit = 0;
        for (int i = 0; i < movieWidth * movieHeight; i++) lit += px[i] != 0;
        EXPECT_GT(lit, movieWidth * movieHeight / 2) << name;
        CloseMovie();
    }
}

}  // namespace
