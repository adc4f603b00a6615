// A first run of the generated game, from the intro to the closing screen, played
// by a script as a new player would.
#include <gtest/gtest.h>

#include <cstring>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "e2e/game_run.h"
#include "e2e/log_lines.h"
#include "gui/registry.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "profiles/profiles.h"
#include "puzzle/level.h"
#include "puzzle/status.h"
#include "test_support.h"

namespace {

TEST(FirstRun, FromTheIntroThroughTwoLevelsToTheClosingScreen) {
    PrepareGame();
    StartGame();
    ASSERT_FALSE(quitRequested) << ReadLog();
    // Showing the window activated it at once: the first frame draws, no restore is due.
    EXPECT_EQ(windowActive, 1);
    EXPECT_EQ(graphicsValid, 1);
    Frame();
    EXPECT_EQ(HeadlessFramesPresented(), 1);
    EXPECT_EQ(frameRateCap, 30);
    EXPECT_FALSE(pointerVisible);

    // The intro plays one movie frame per game frame, then the first-run welcome.
    const int introFrames = RunUntilState(GS_WELCOME, 2000);
    ASSERT_GT(introFrames, 10);
    EXPECT_EQ(frameRateCap, 50);
    EXPECT_TRUE(pointerVisible);

    Click(315, 290);  // WELCOME "Continue..."
    ASSERT_EQ(GameState, GS_FIRST_ID);
    Click(300, 242);  // into the id box
    Type("anna");
    Click(276, 297);  // "Create Player"
    ASSERT_EQ(GameState, GS_SELECT_PLAYER);
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 1\nanna 0 0 0\n");

    Click(416, 327);  // "Continue..."
    ASSERT_EQ(GameState, GS_MAIN_MENU);
    // The panels slide in; the figures appear on the 81st animated frame.
    for (int i = 0; i < 79; i++) MoveTo(600, 400);
    const uint16_t before = HeadlessFramePixel(512 + 18 + 8, 52 + 4 + 8);
    MoveTo(600, 400);
    MoveTo(600, 400);
    EXPECT_NE(HeadlessFramePixel(512 + 18 + 8, 52 + 4 + 8), before) << "level figures on the 81st frame";

    MoveTo(320, 163, true);  // "Play": pressed, then released on the row
    MoveTo(320, 163, false);
    ASSERT_EQ(GameState, GS_NEW_LEVEL);
    Click(320, 272);  // NEWLEVEL "Continue"
    ASSERT_EQ(GameState, GS_PLAYING);
    EXPECT_EQ(levelShown, 1);

    ASSERT_TRUE(SolveLevelWithPointer());
    ASSERT_EQ(GameState, GS_NEW_LEVEL);
    EXPECT_EQ(profiles[0].level, 1);
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 1\nanna 1 0 0\n");
    const int newLevel = FindWindowId("NEWLEVEL");
    EXPECT_STREQ(windows[newLevel].texts[0].text, "Congratulations! You've completed level 1");

    Click(320, 272);  // "Continue": the next level
    ASSERT_EQ(GameState, GS_PLAYING);
    EXPECT_EQ(levelShown, 2);
    EXPECT_GT(gameLevel.itemCount, 0);

    PressKey(DIK_ESCAPE);
    ASSERT_EQ(GameState, GS_QUIT_GAME);
    Click(340, 272);  // "Quit to Windows": saved, then the outro
    ASSERT_EQ(GameState, GS_OUTRO);
    EXPECT_EQ(frameRateCap, 30);
    ASSERT_GE(RunUntilState(GS_CLOSING, 2000), 10);
    EXPECT_EQ(frameRateCap, 60);

    MoveTo(260, 450, true);  // "Quit"
    EXPECT_FALSE(MoveTo(260, 450, false));
    EXPECT_TRUE(quitRequested);
    EXPECT_EXIT(EndGame(), testing::ExitedWithCode(0), "");

    const std::string log = ReadLog();
    ExpectLinesInOrder(log, {
        "Valimo v1.0 Log File\n\n",
        "ValimoInit()\n",
        "Initializing DirectDraw\n",
        "VideoMode: 565\n",
        "Initializing DirectInput\n",
        "Initializing DirectSound\n",
        "Preparing to initialize MSS\n",
        "Initializing GUI\n",
        "Building font (TimesRoman.bmp)\n",
        "Building font (TimesRoman2.bmp)\n",
        "Building font (Century.bmp)\n",
        "Loading static sprites\n",
        "Loading intro.avi\n",
        "Video decompressed successfully: ",
        "Entering main loop\n\n[ - ]\n\n",
        "Window is Maximized\n",
        "Loading outro.avi\n",
        "Exiting main loop\n",
        "Shutting down DirectSound\n",
        "DirectInput Release\n",
        "Releasing static sprites\n",
        "Freeing GUI\n",
        "Releasing font(s)\n",
        "DirectDraw Release\n",
    });
    EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;
    EXPECT_EQ(log.find("RestoringGraphics"), std::string::npos) << log;
    EXPECT_EQ(log.find("Failed"), std::string::npos) << log;
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 1\nanna 1 0 0\n");
}

}  // namespace
