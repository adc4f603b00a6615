// How whole runs end when files are missing or cannot be used, and the flow's
// guards where no player is current.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "e2e/game_run.h"
#include "e2e/log_lines.h"
#include "gfx/display.h"
#include "gui/registry.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "profiles/profiles.h"
#include "profiles/save_faults.h"
#include "puzzle/level.h"
#include "puzzle/status.h"
#include "test_support.h"

namespace {

const char* const kNoDecoder =
    "Failed to decomress a video file, make sure the Microsoft Video 1 codec is present on your system\n";

// The generated movie with its codec renamed to one no decoder knows.
void MakeUndecodable(const char* name) {
    std::string bytes = ReadFile(name);
    int renamed = 0;
    for (size_t at = bytes.find("MSVC"); at != std::string::npos; at = bytes.find("MSVC", at)) {
        bytes.replace(at, 4, "QZQZ");
        renamed++;
    }
    ASSERT_GT(renamed, 0);
    WriteFile(name, bytes);
}

void ToSelection() {
    StartGame();
    ASSERT_FALSE(quitRequested) << ReadLog();
    ASSERT_GE(RunUntilState(GS_SELECT_PLAYER, 3000), 0);
}

const std::vector<std::string> kShutDown = {"Exiting main loop\n",        "Shutting down DirectSound\n",
                                            "DirectInput Release\n",      "Releasing static sprites\n",
                                            "Freeing GUI\n",              "Releasing font(s)\n",
                                            "DirectDraw Release\n"};

// The disk fills while a new player is made: the game ends in order, but says so
// in the log, on stderr and, once the window is gone, in a box; status 1.
TEST(Endings, AFailedSaveIsToldAfterTheWindowAndEndsWithStatusOne) {
    const std::string dir = PrepareGame();
    StartGame();
    ASSERT_GE(RunUntilState(GS_WELCOME, 2000), 0);
    Click(315, 290);  // "Continue..."
    Click(300, 242);  // into the id box
    Type("anna");
    FailSaveOperation(1, true, ENOSPC);
    testing::internal::CaptureStderr();
    Click(276, 297);  // "Create Player"
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(quitRequested);
    EXPECT_FALSE(Frame()) << "the loop ends";
    const std::string told = "Cannot save the players in " + std::filesystem::canonical(dir).string() +
                             "/prefs.dat: No space left on device. The game has ended; the file keeps the players "
                             "as they were last saved.";
    EXPECT_EQ(said, "valimo: " + told + "\n");
    EXPECT_EXIT(EndGame(), testing::ExitedWithCode(1), "^message box \"Valimo\": " + told + "\n$");
    StopSaveFaults();
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 0\n");
    const std::string log = ReadLog();
    ExpectLinesInOrder(log, {"Failed to save profiles\n", told + "\n"});
    ExpectLinesInOrder(log.substr(log.find(told)), kShutDown);
}

TEST(Endings, MissingPrefsEndsBeforeTheFirstFrame) {
    PrepareGame("");
    StartGame();
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(HeadlessFramesPresented(), 0);
    EXPECT_EXIT(EndGame(), testing::ExitedWithCode(0), "");
    const std::string log = ReadLog();
    ExpectLinesInOrder(log, {"Attempting to read prefs.dat\n", "ERROR: Unable to open prefs.dat\n"});
    ExpectLinesInOrder(log.substr(log.find("ERROR: Unable to open prefs.dat\n")), kShutDown);
    EXPECT_EQ(HeadlessFramesPresented(), 0);
}

// "Quit to Windows" saves first; the outro that does not open ends the run after
// the frame in which it was started.
TEST(Endings, MissingOutroEndsInOrderAfterItsFrame) {
    PrepareGame("PLAYERS 1\nanna 0 0 0\n");
    std::remove("outro.avi");
    ToSelection();
    Click(416, 327);
    MoveTo(320, 163, true);
    MoveTo(320, 163, false);
    Click(320, 272);
    ASSERT_EQ(GameState, GS_PLAYING);
    PressKey(DIK_ESCAPE);
    ASSERT_EQ(GameState, GS_QUIT_GAME);
    std::remove("prefs.dat");
    MoveTo(340, 272, true);
    const int presented = HeadlessFramesPresented();
    EXPECT_FALSE(MoveTo(340, 272, false)) << "the loop ends after this pass";
    EXPECT_EQ(HeadlessFramesPresented(), presented + 1);
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 1\nanna 0 0 0\n");
    EXPECT_EXIT(EndGame(), testing::ExitedWithCode(0), "");
    std::vector<std::string> lines = {"Loading outro.avi\n", "Failed to open outro.avi\n"};
    lines.insert(lines.end(), kShutDown.begin(), kShutDown.end());
    ExpectLinesInOrder(ReadLog(), lines);
}

TEST(Endings, UndecodableIntroGoesStraightToWelcome) {
    PrepareGame();
    MakeUndecodable("intro.avi");
    StartGame();
    ASSERT_FALSE(quitRequested);
    MoveTo(600, 400);
    EXPECT_EQ(GameState, GS_WELCOME);
    EXPECT_EQ(frameRateCap, 50);
    EXPECT_TRUE(pointerVisible);
    ExpectLinesInOrder(ReadLog(), {"Loading intro.avi\n", kNoDecoder, "Entering main loop\n"});
    EXPECT_EQ(ReadLog().find("Video decompressed successfully"), std::string::npos);
}

TEST(Endings, UndecodableOutroGoesStraightToTheClosingScreen) {
    PrepareGame("PLAYERS 1\nanna 0 0 0\n");
    MakeUndecodable("outro.avi");
    ToSelection();
    Click(416, 304);  // "Quit Game", "YES"
    Click(275, 272);
    EXPECT_EQ(GameState, GS_CLOSING);
    EXPECT_EQ(frameRateCap, 60);
    EXPECT_TRUE(pointerVisible);
    EXPECT_FALSE(quitRequested);
    ExpectLinesInOrder(ReadLog(), {"Loading outro.avi\n", kNoDecoder});
}

// An 8-bit display has no movie drawer: both movies open and decode as anywhere,
// then end at once, and the log says why without blaming the codec.
TEST(Endings, EightBitDisplaySkipsTheMovies) {
    PrepareGame("PLAYERS 1\nanna 0 0 0\n");
    HeadlessDisplay8Bit();
    StartGame();
    ASSERT_FALSE(quitRequested) << ReadLog();
    ASSERT_EQ(PixelMode, 0);
    MoveTo(600, 400);
    EXPECT_EQ(GameState, GS_SELECT_PLAYER);
    Click(416, 304);
    Click(275, 272);
    EXPECT_EQ(GameState, GS_CLOSING);
    const char* const skipped = "No movie frames can be drawn on an 8-bit display; the movie is skipped\n";
    ExpectLinesInOrder(ReadLog(), {"Loading intro.avi\nVideo decompressed successfully: ", skipped,
                                   "Loading outro.avi\nVideo decompressed successfully: ", skipped});
    EXPECT_EQ(ReadLog().find(kNoDecoder), std::string::npos);
}

// A player whose file says level 2147483647 plays on at the top of the range: the
// list, the level panel and the congratulation all show 99999.
TEST(Endings, APlayerAtTheTopOfTheLevelRangePlaysOn) {
    PrepareGame("PLAYERS 2\nanna 2147483647 0 0\nbruno -2147483648 0 0\n");
    ToSelection();
    EXPECT_EQ(profiles[0].level, MAX_PLAYER_LEVEL);
    EXPECT_EQ(profiles[1].level, 0);
    Click(416, 327);  // "Continue..."
    ASSERT_EQ(GameState, GS_MAIN_MENU);
    MoveTo(320, 163, true);  // "Play"
    MoveTo(320, 163, false);
    ASSERT_EQ(GameState, GS_NEW_LEVEL);
    Click(320, 272);  // "Continue"
    ASSERT_EQ(GameState, GS_PLAYING);
    EXPECT_EQ(levelShown, 99999);
    EXPECT_GT(gameLevel.itemCount, 0);  // no file has that number: the first of the list
    ExpectLinesInOrder(ReadLog(), {"prefs.dat: player anna is at level 2147483647, read as 99998\n",
                                   "prefs.dat: player bruno is at level -2147483648, read as 0\n"});
}

// With no player marked as current, "Continue" in the new-level window loads
// nothing and no name is drawn.
TEST(Endings, NewLevelContinueWithoutCurrentPlayerStays) {
    PrepareGame("PLAYERS 1\nanna 2 0 0\n");
    ToSelection();
    Click(416, 327);
    MoveTo(320, 163, true);
    MoveTo(320, 163, false);
    ASSERT_EQ(GameState, GS_NEW_LEVEL);
    profiles[0].selected = false;
    ASSERT_EQ(CurrentPlayer(), NO_PLAYER);
    Click(320, 272);
    EXPECT_EQ(GameState, GS_NEW_LEVEL);
    EXPECT_FALSE(gameLevel.itemsLoaded);
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 1\nanna 2 0 0\n");
    profiles[0].selected = true;
    Click(320, 272);
    EXPECT_EQ(GameState, GS_PLAYING);
    for (int i = 0; i < levelList.count; i++)
        if (levelList.entries[i].levelNumber == 2) {
            EXPECT_EQ(gameLevel.itemCount, levelList.entries[i].itemCount);
        }
}

}  // namespace
