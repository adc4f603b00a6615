// An intro larger than the screen, as a player might bring from any video tool.
#include <gtest/gtest.h>

#include <tuple>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "avi_writer.h"
#include "e2e/game_run.h"
#include "platform/headless/headless.h"
#include "test_support.h"

namespace {

// 641 x 479 MJPEG: drawn doubled at (-321, -239) and cut by the clipper, so screen
// column x shows movie column (x + 321) / 2 and the halves meet at 319; one frame
// per game frame, then the player selection.
TEST(BigMovie, A641By479MjpegIntroPlaysAndEndsAtTheSelection) {
    PrepareGame("PLAYERS 1\nanna 0 0 0\n");
    const uint16_t left[] = {Rgb555(28, 4, 4), Rgb555(4, 28, 4), Rgb555(4, 4, 28)};
    const uint16_t right[] = {Rgb555(24, 24, 4), Rgb555(4, 24, 24), Rgb555(24, 4, 24)};
    std::vector<TestPicture> pictures;
    for (int k = 0; k < 3; k++) {
        pictures.emplace_back();
        for (int i = 0; i < 641 * 479; i++) pictures.back().push_back(i % 641 < 320 ? left[k] : right[k]);
    }
    ASSERT_TRUE(WriteTestAvi("intro.avi", 641, 479, pictures, "mjpeg"));
    StartGame();
    ASSERT_EQ(GameState, GS_INTRO) << ReadLog();
    EXPECT_NE(ReadLog().find("Loading intro.avi\nVideo decompressed successfully: 641, 479\n"), std::string::npos);
    for (int k = 0; k < 2; k++) {
        ASSERT_TRUE(Frame());
        for (const auto& [x, y, wanted] : {std::tuple(0, 0, left[k]), std::tuple(316, 479, left[k]),
                                           std::tuple(322, 0, right[k]), std::tuple(639, 479, right[k])}) {
            const uint16_t shown = HeadlessFramePixel(x, y);  // 5-6-5, within a step or two after MJPEG
            EXPECT_LE(std::abs((shown >> 11) - (wanted >> 10)) + std::abs((shown >> 6 & 31) - (wanted >> 5 & 31)) +
                          std::abs((shown & 31) - (wanted & 31)),
                      3)
                << k << ": " << x << "," << y;
        }
    }
    ASSERT_TRUE(Frame());
    EXPECT_EQ(GameState, GS_SELECT_PLAYER);
    EXPECT_EQ(frameRateCap, 50);
}

}  // namespace
