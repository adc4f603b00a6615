// An intro larger than the screen, as a player might bring from any video tool.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "avi_writer.h"
#include "e2e/game_run.h"
#include "e2e/log_lines.h"
#include "platform/headless/headless.h"
#include "test_support.h"

namespace {

// Within a small step of the 5-5-5 colour, after MJPEG and the 5-6-5 display.
void ExpectNear(uint16_t shown565, uint16_t wanted555, const char* where) {
    const int r = shown565 >> 11, g = (shown565 >> 6) & 31, b = shown565 & 31;
    EXPECT_LE(std::abs(r - (wanted555 >> 10 & 31)), 2) << where << " red";
    EXPECT_LE(std::abs(g - (wanted555 >> 5 & 31)), 2) << where << " green";
    EXPECT_LE(std::abs(b - (wanted555 & 31)), 2) << where << " blue";
}

// 641 x 479 MJPEG: the intro plays doubled at (-321, -239), cut by the clipper, one
// frame per game frame, and the game goes on to the player selection.
TEST(BigMovie, A641By479MjpegIntroPlaysAndEndsAtTheSelection) {
    PrepareGame("PLAYERS 1\nanna 0 0 0\n");
    const int width = 641, height = 479;
    const uint16_t left[] = {Rgb555(28, 4, 4), Rgb555(4, 28, 4), Rgb555(4, 4, 28)};
    const uint16_t right[] = {Rgb555(24, 24, 4), Rgb555(4, 24, 24), Rgb555(24, 4, 24)};
    std::vector<TestPicture> pictures;
    for (int k = 0; k < 3; k++) {
        TestPicture p(size_t(width * height));
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++) p[size_t(y * width + x)] = x < 320 ? left[k] : right[k];
        pictures.push_back(p);
    }
    ASSERT_TRUE(WriteTestAvi("intro.avi", width, height, pictures, "mjpeg"));
    StartGame();
    ASSERT_FALSE(quitRequested) << ReadLog();
    ExpectLinesInOrder(ReadLog(), {"Loading intro.avi\n", "Video decompressed successfully: 641, 479\n"});
    ASSERT_EQ(GameState, GS_INTRO);
    // Screen column x shows movie column (x + 321) / 2: the halves meet at 319.
    for (int k = 0; k < 2; k++) {
        ASSERT_TRUE(Frame());
        ASSERT_EQ(GameState, GS_INTRO) << k;
        ExpectNear(HeadlessFramePixel(0, 0), left[k], "top left");
        ExpectNear(HeadlessFramePixel(316, 479), left[k], "left of the seam");
        ExpectNear(HeadlessFramePixel(322, 0), right[k], "right of the seam");
        ExpectNear(HeadlessFramePixel(639, 479), right[k], "bottom right");
    }
    ASSERT_TRUE(Frame());
    EXPECT_EQ(GameState, GS_SELECT_PLAYER);
    EXPECT_EQ(frameRateCap, 50);
    EXPECT_EQ(ReadLog().find("Failed to open"), std::string::npos);
}

}  // namespace
