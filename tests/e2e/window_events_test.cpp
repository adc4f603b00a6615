// The global keys and window events of a running game: F for the figure, left
// Alt + Tab with the restore that follows, and a close request.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "e2e/game_run.h"
#include "e2e/log_lines.h"
#include "gui/registry.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "profiles/profiles.h"
#include "puzzle/status.h"
#include "test_support.h"

namespace {

// Any lit pixel where the figure is drawn (the top left corner is black otherwise).
bool FigureDrawn() {
    for (int y = 0; y < 14; y++)
        for (int x = 0; x < 30; x++)
            if (HeadlessFramePixel(x, y) != 0) return true;
    return false;
}

void ToWelcome() {
    PrepareGame();
    StartGame();
    ASSERT_GE(RunUntilState(GS_WELCOME, 3000), 0);
}

void ToPlay(const std::string& prefs) {
    PrepareGame(prefs);
    StartGame();
    ASSERT_GE(RunUntilState(GS_SELECT_PLAYER, 3000), 0);
    Click(416, 327);
    MoveTo(320, 163, true);
    MoveTo(320, 163, false);
    ASSERT_EQ(GameState, GS_NEW_LEVEL);
    Click(320, 272);
    ASSERT_EQ(GameState, GS_PLAYING);
}

TEST(WindowEvents, FTogglesOncePerPressButNotInWelcome) {
    ToWelcome();
    PressKey(DIK_F);
    EXPECT_FALSE(showFps);
    EXPECT_FALSE(FigureDrawn());

    Click(315, 290);  // "Continue...": the first id
    ASSERT_EQ(GameState, GS_FIRST_ID);
    Click(300, 242);  // focus the id box
    Type("ab");
    PressKey(DIK_F);  // typed and toggled alike
    EXPECT_TRUE(showFps);
    EXPECT_TRUE(FigureDrawn());
    const int box = FindWindowId("ADDNEWID");
    EXPECT_STREQ(windows[box].textBoxes[0].text, "abf");

    // Held for many frames: one toggle.
    for (int i = 0; i < 10; i++) MoveTo(mouseX, mouseY, false, {DIK_F});
    EXPECT_FALSE(showFps);
    MoveTo(mouseX, mouseY);
    EXPECT_FALSE(showFps);
    EXPECT_FALSE(FigureDrawn());
}

// Left Alt + Tab in the new-level window after a level was completed, with the
// DELETEID question and the QUIT position changed before.
TEST(WindowEvents, AltTabRestoresOnThe32ndFrameWithDeclaredWindows) {
    PrepareGame("PLAYERS 2\nanna 0 0 0\nbruno 0 0 0\n");
    StartGame();
    ASSERT_GE(RunUntilState(GS_SELECT_PLAYER, 3000), 0);
    Click(416, 250);  // "Delete Id", then "No"
    Click(358, 272);
    Click(416, 304);  // "Quit Game" centres QUIT, then "NO"
    Click(365, 272);
    const int quit = FindWindowId("QUIT");
    ASSERT_EQ(windows[quit].x, 220);
    Click(416, 327);
    MoveTo(320, 163, true);
    MoveTo(320, 163, false);
    Click(320, 272);
    ASSERT_EQ(GameState, GS_PLAYING);
    ASSERT_TRUE(SolveLevelWithPointer());
    ASSERT_EQ(GameState, GS_NEW_LEVEL);
    const int newLevel = FindWindowId("NEWLEVEL");
    ASSERT_STREQ(windows[newLevel].texts[0].text, "Congratulations! You've completed level 1");
    const int deleteId = FindWindowId("DELETEID");
    ASSERT_STRNE(windows[deleteId].texts[0].text, "run-time");

    // Right Alt (0xB8) with Tab is not the switch.
    MoveTo(mouseX, mouseY, false, {0xB8, DIK_TAB});
    EXPECT_EQ(windowActive, 1);
    MoveTo(mouseX, mouseY, false, {DIK_LMENU, DIK_TAB});
    EXPECT_EQ(windowActive, 0);
    HeadlessReleaseAllKeys();
    HeadlessLoseSurfaces();
    const int presented = HeadlessFramesPresented();
    for (int i = 0; i < 5; i++) FrameLoopPass();  // inactive: no frame work
    EXPECT_EQ(HeadlessFramesPresented(), presented);

    // Uncovered while inactive: the frame on the screen is shown again at once,
    // and no game frame runs for it.
    const std::vector<uint16_t> shown = HeadlessLastFrame();
    const std::string logBefore = ReadLog();
    HeadlessPostMessage(WM_PAINT, 0, 0);
    HeadlessPostMessage(WM_PAINT, 0, 0);
    FrameLoopPass();
    FrameLoopPass();
    EXPECT_EQ(HeadlessRepaints(), 1) << "two requests waiting make one repaint";
    EXPECT_EQ(HeadlessFramesPresented(), presented);
    EXPECT_TRUE(HeadlessLastFrame() == shown);
    EXPECT_EQ(ReadLog(), logBefore);
    EXPECT_EQ(windowActive, 0);

    HeadlessPostMessage(WM_ACTIVATE, 1, 0);
    for (int i = 0; i < 31; i++) {
        if (i == 10) HeadlessPostMessage(WM_PAINT, 0, 0);
        FrameLoopPass();
        ASSERT_EQ(graphicsValid, 0) << "frame " << i + 1;
    }
    EXPECT_EQ(HeadlessRepaints(), 1) << "no repaint while the pictures wait to be restored";
    EXPECT_EQ(ReadLog().find("RestoringGraphics"), std::string::npos);
    EXPECT_EQ(HeadlessFramesPresented(), presented) << "31 silent frames";

    FrameLoopPass();  // the 32nd restores and draws nothing
    EXPECT_EQ(graphicsValid, 1);
    EXPECT_STREQ(windows[newLevel].texts[0].text, "Click Continue to start playing");
    EXPECT_EQ(windows[newLevel].texts[0].x, 30);
    EXPECT_STREQ(windows[deleteId].texts[0].text, "run-time");
    EXPECT_EQ(windows[quit].x, 30);
    EXPECT_EQ(windows[quit].y, 30);

    FrameLoopPass();  // the 33rd draws the new-level screen again
    EXPECT_EQ(HeadlessFramesPresented(), presented + 2);
    HeadlessPostMessage(WM_PAINT, 0, 0);
    FrameLoopPass();
    EXPECT_EQ(HeadlessRepaints(), 2);
    EXPECT_EQ(GameState, GS_NEW_LEVEL);
    EXPECT_NE(HeadlessFramePixel(320, 300), 0);
    Click(320, 272);
    EXPECT_EQ(GameState, GS_PLAYING);
    EXPECT_EQ(levelShown, 2);

    ExpectLinesInOrder(ReadLog(), {"Window is Maximized\n", "Window is Maximized\n", "RestoringGraphics...\n",
                                   "Loading static sprites...\n", "Restoring GUI...\n"});
}

TEST(WindowEvents, CloseRequestIsIgnoredOutsidePlay) {
    ToWelcome();
    HeadlessPostMessage(WM_CLOSE, 0, 0);
    MoveTo(600, 400);
    EXPECT_EQ(GameState, GS_WELCOME);
    EXPECT_FALSE(quitRequested);
    EXPECT_TRUE(HeadlessWindowShown());
}

TEST(WindowEvents, CloseRequestInPlayOpensQuitGame) {
    ToPlay("PLAYERS 1\nanna 0 0 0\n");
    HeadlessPostMessage(WM_CLOSE, 0, 0);
    MoveTo(600, 400);
    EXPECT_EQ(GameState, GS_QUIT_GAME);
    EXPECT_NE(HeadlessFramePixel(320, 240), 0);
    Click(230, 272);  // "Return to Game"
    EXPECT_EQ(GameState, GS_PLAYING);
    EXPECT_FALSE(quitRequested);
}

}  // namespace
