// A returning household of two players: selection, deleting an id, and the two
// ways of logging out, which leave the status panels differently.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "e2e/game_run.h"
#include "e2e/log_lines.h"
#include "gfx/font.h"
#include "gui/registry.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "profiles/profiles.h"
#include "puzzle/status.h"
#include "test_support.h"

namespace {

const char* const kTwoPlayers = "PLAYERS 2\nanna 0 0 0\nbruno 3 0 0\n";

// Inside the level panel once it has arrived at x 512; black while it is off screen.
constexpr int kPanelX = 560, kPanelY = 80;
// Left margin of the player list rows (the names start at x 185).
constexpr int kRowX = 182;
int RowY(int row) { return 169 + 17 * row + 8; }

void ToSelection() {
    PrepareGame(kTwoPlayers);
    StartGame();
    ASSERT_GE(RunUntilState(GS_SELECT_PLAYER, 3000), 0);
    MoveTo(600, 400);
}

void SelectMenuRow(int row) {
    MoveTo(320, 163 + 20 * row, true);
    MoveTo(320, 163 + 20 * row, false);
}

TEST(TwoPlayers, SelectionStartsOnTheFirstAndFollowsAClick) {
    ToSelection();
    EXPECT_EQ(CurrentPlayer(), 0);
    const uint16_t chosen = HeadlessFramePixel(kRowX, RowY(0));
    EXPECT_NE(HeadlessFramePixel(kRowX, RowY(1)), chosen) << "only the first row is highlighted";

    Click(250, RowY(1));
    EXPECT_EQ(CurrentPlayer(), 1);
    EXPECT_EQ(HeadlessFramePixel(kRowX, RowY(1)), chosen);
    EXPECT_NE(HeadlessFramePixel(kRowX, RowY(0)), chosen);
}

TEST(TwoPlayers, DeleteIdAsksACentredQuestionAndDeletesOnYes) {
    ToSelection();
    Click(250, RowY(1));
    Click(416, 250);  // "Delete Id"
    ASSERT_EQ(GameState, GS_DELETE_ID);
    const int window = FindWindowId("DELETEID");
    const GuiText& question = windows[window].texts[0];
    EXPECT_STREQ(question.text, "Are you sure you want to delete bruno?");
    SelectFont(1);
    EXPECT_EQ(question.x, 150 - TextWidth(question.text) / 2);

    // The drawn question sits in the middle of the 300-pixel window (x 170 to 470).
    const int wx = windows[window].x, ty = windows[window].y + question.y;
    int left = 640, right = -1;
    for (int y = ty; y < ty + 14; y++) {
        const uint16_t body = HeadlessFramePixel(wx + 4, y);
        for (int x = wx + 4; x < wx + 296; x++)
            if (HeadlessFramePixel(x, y) != body) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    }
    ASSERT_GT(right, left);
    EXPECT_NEAR((left + right) / 2.0, wx + 150, 3.0);

    Click(358, 272);  // "No": nothing deleted
    EXPECT_EQ(GameState, GS_SELECT_PLAYER);
    EXPECT_EQ(profileCount, 2);
    EXPECT_EQ(ReadFile("prefs.dat"), kTwoPlayers);

    Click(416, 250);
    Click(269, 272);  // "Yes"
    EXPECT_EQ(GameState, GS_SELECT_PLAYER);
    EXPECT_EQ(profileCount, 1);
    EXPECT_EQ(CurrentPlayer(), 0);
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 1\nanna 0 0 0\n");
}

TEST(TwoPlayers, MenuLogOutResetsThePanelsQuitGameLogOutKeepsThem) {
    ToSelection();
    Click(416, 327);  // "Continue..."
    ASSERT_EQ(GameState, GS_MAIN_MENU);
    EXPECT_EQ(HeadlessFramePixel(kPanelX, kPanelY), 0) << "panels start off screen";
    for (int i = 0; i < 100; i++) MoveTo(600, 400);
    const uint16_t panel = HeadlessFramePixel(kPanelX, kPanelY);
    ASSERT_NE(panel, 0);

    // "Log out", "YES": no save, and the next main menu slides the panels in again.
    std::remove("prefs.dat");
    SelectMenuRow(5);
    ASSERT_EQ(GameState, GS_LOGOUT);
    Click(365, 422);  // "NO"
    EXPECT_EQ(GameState, GS_MAIN_MENU);
    EXPECT_EQ(HeadlessFramePixel(kPanelX, kPanelY), panel);
    SelectMenuRow(5);
    Click(275, 422);  // "YES"
    ASSERT_EQ(GameState, GS_SELECT_PLAYER);
    EXPECT_EQ(ReadFile("prefs.dat"), "");
    Click(416, 327);
    ASSERT_EQ(GameState, GS_MAIN_MENU);
    EXPECT_EQ(HeadlessFramePixel(kPanelX, kPanelY), 0);
    EXPECT_EQ(levelShown, 0);

    // Into play, then "Log Out" from the quit-game dialog: saved, panels stay.
    for (int i = 0; i < 100; i++) MoveTo(600, 400);
    SelectMenuRow(0);
    ASSERT_EQ(GameState, GS_NEW_LEVEL);
    Click(320, 272);
    ASSERT_EQ(GameState, GS_PLAYING);
    PressKey(DIK_ESCAPE);
    ASSERT_EQ(GameState, GS_QUIT_GAME);
    Click(430, 272);  // "Log Out"
    ASSERT_EQ(GameState, GS_SELECT_PLAYER);
    EXPECT_EQ(ReadFile("prefs.dat"), kTwoPlayers);
    Click(416, 327);
    ASSERT_EQ(GameState, GS_MAIN_MENU);
    EXPECT_EQ(HeadlessFramePixel(kPanelX, kPanelY), panel) << "panels already in place";
    EXPECT_EQ(levelShown, 1);
}

// Rows that the flow ignores: no state change, no click sound.
TEST(TwoPlayers, ModeAndBestTimeRowsDoNothing) {
    ToSelection();
    Click(416, 327);
    for (int i = 0; i < 100; i++) MoveTo(600, 400);
    for (int row : {1, 4}) {
        HeadlessClearSoundsStarted();
        SelectMenuRow(row);
        EXPECT_EQ(GameState, GS_MAIN_MENU) << "row " << row;
        EXPECT_TRUE(HeadlessSoundsStarted().empty()) << "row " << row;
    }
    SelectMenuRow(2);  // "Instructions" clicks
    EXPECT_EQ(GameState, GS_INSTRUCTIONS);
    EXPECT_EQ(HeadlessSoundsStarted().size(), 1u);
}

// With the order page in the game's folder it opens by file URL; without it
// nothing opens. Either way the click is logged and the game ends in order.
class OrderNow : public testing::TestWithParam<bool> {};

TEST_P(OrderNow, LogsOpensThePageIfThereAndEnds) {
    const bool pageThere = GetParam();
    ToSelection();
    if (pageThere) WriteFile("order.html", "<!DOCTYPE html><title>t</title>\n");
    Click(416, 304);  // "Quit Game"
    ASSERT_EQ(GameState, GS_QUIT_CONFIRM);
    Click(275, 272);  // "YES": the outro starts in the same frame
    ASSERT_EQ(GameState, GS_OUTRO);
    ASSERT_GE(RunUntilState(GS_CLOSING, 3000), 0);
    MoveTo(380, 450, true);  // "Order Now!"
    EXPECT_FALSE(MoveTo(380, 450, false));
    if (pageThere) {
        ASSERT_EQ(HeadlessOpenedUrls().size(), 1u);
        EXPECT_EQ(HeadlessOpenedUrls()[0], "file://" + std::string(startDirectory) + "/order.html");
    } else {
        EXPECT_TRUE(HeadlessOpenedUrls().empty());
    }
    EXPECT_EXIT(EndGame(), testing::ExitedWithCode(0), "");
    ExpectLinesInOrder(ReadLog(), {"Loading outro.avi\n", "The user clicked Order Game button\n",
                                   "Exiting main loop\n", "DirectDraw Release\n"});
}

INSTANTIATE_TEST_SUITE_P(PageInFolder, OrderNow, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& param) { return param.param ? "There" : "Missing"; });

}  // namespace
