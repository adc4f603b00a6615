// Completing a level: the current player's progress, the new-level text, the save.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "gui/gui_test_support.h"
#include "gui/registry.h"
#include "profiles/profiles.h"
#include "puzzle/packing.h"
#include "puzzle/progress.h"
#include "sound/sound.h"
#include "test_support.h"

namespace {

void SetPlayers(std::initializer_list<int> selected) {
    profileCount = 3;
    const char* names[] = {"anna", "bruno", "carla"};
    for (int i = 0; i < 3; i++) {
        profiles[i] = {};
        profiles[i].level = i;
        std::snprintf(profiles[i].name, sizeof profiles[i].name, "%s", names[i]);
    }
    for (int i : selected) profiles[i].selected = true;
}

TEST(Progress, CurrentPlayerIsTheLastSelected) {
    SetPlayers({});
    EXPECT_EQ(CurrentPlayer(), NO_PLAYER);
    SetPlayers({0, 2});
    EXPECT_EQ(CurrentPlayer(), 2);
    profileCount = 2;  // marks past the count do not count
    EXPECT_EQ(CurrentPlayer(), 0);
}

TEST(Progress, CompleteLevelRaisesSavesAndCongratulates) {
    StartGui();
    WriteTestSound("data/done.wav");
    LoadSoundEffect(SFX_DONE, "data/done.wav");
    ForgetSounds();
    SetPlayers({1});
    packedCells = 70;
    CompleteLevel();
    EXPECT_EQ(profiles[1].level, 2);
    EXPECT_EQ(profiles[0].level, 0);
    EXPECT_EQ(packedCells, 0);
    const GuiText& text = windows[FindWindowId("NEWLEVEL")].texts[0];
    EXPECT_STREQ(text.text, "Congratulations! You've completed level 2");
    EXPECT_EQ(text.x, 35);
    EXPECT_EQ(text.y, 35);
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 3\nanna 0 0 0\nbruno 2 0 0\ncarla 2 0 0\n");
    EXPECT_EQ(SoundsPlayed(), std::vector<int>{SFX_DONE});
}

// At the top of the level range the level stays, and the text still names the
// level just completed; a level beyond it (never read from a file) is not raised.
TEST(Progress, CompleteLevelStopsAtTheTopOfTheRange) {
    StartGui();
    const GuiText& text = windows[FindWindowId("NEWLEVEL")].texts[0];
    const struct {
        int before, after;
        const char* congratulation;
    } cases[] = {
        {MAX_PLAYER_LEVEL - 1, MAX_PLAYER_LEVEL, "Congratulations! You've completed level 99998"},
        {MAX_PLAYER_LEVEL, MAX_PLAYER_LEVEL, "Congratulations! You've completed level 99999"},
        {INT_MAX, INT_MAX, "Congratulations! You've completed level 99999"},
    };
    for (const auto& c : cases) {
        SetPlayers({0});
        profiles[0].level = c.before;
        CompleteLevel();
        EXPECT_EQ(profiles[0].level, c.after) << c.before;
        EXPECT_STREQ(text.text, c.congratulation);
    }
}

// Without a current player the step writes nothing outside the table (or anywhere).
TEST(Progress, CompleteLevelWithoutCurrentPlayerWritesNothing) {
    StartGui();
    SetPlayers({});
    PlayerProfile before[MAX_PLAYERS];
    std::memcpy(before, profiles, sizeof before);
    const int window = FindWindowId("NEWLEVEL");
    const GuiText declared = windows[window].texts[0];
    packedCells = 70;
    CompleteLevel();
    EXPECT_EQ(std::memcmp(before, profiles, sizeof before), 0);
    EXPECT_STREQ(windows[window].texts[0].text, declared.text);
    EXPECT_EQ(windows[window].texts[0].x, declared.x);
    EXPECT_EQ(ReadFile("prefs.dat"), "");
    EXPECT_EQ(packedCells, 0);
}

}  // namespace
