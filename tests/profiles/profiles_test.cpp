#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/valimo.h"
#include "bmp_writer.h"
#include "gfx/display.h"
#include "gfx/sprite.h"
#include "gui/gui_test_support.h"
#include "gui/registry.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "profiles/profiles.h"
#include "test_support.h"

namespace {

void ForgetProfiles() {
    std::memset(profiles, 0, sizeof profiles);
    profileCount = 0;
}

TEST(ProfileFile, ReadsAndWritesTheTextFormat) {
    MakeScratchDirectory();
    WriteFile("prefs.dat", "PLAYERS 2\nann 0 0 0\n  bob\n3\t7 12\n");
    EXPECT_TRUE(LoadProfiles());
    EXPECT_EQ(ReadLog(), "Attempting to read prefs.dat\n");
    ASSERT_EQ(profileCount, 2);
    EXPECT_STREQ(profiles[0].name, "ann");
    EXPECT_STREQ(profiles[1].name, "bob");
    EXPECT_EQ(profiles[1].level, 3);
    EXPECT_EQ(profiles[1].timeMajor, 7);
    EXPECT_EQ(profiles[1].timeMinor, 12);
    EXPECT_TRUE(profiles[0].selected);
    EXPECT_FALSE(profiles[1].selected);
    EXPECT_TRUE(profiles[1].keep);
    EXPECT_EQ(CurrentPlayer(), 0);

    SaveProfiles();
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 2\nann 0 0 0\nbob 3 7 12\n");
    EXPECT_EQ(profileCount, 2);
    EXPECT_FALSE(quitRequested);
}

TEST(ProfileFile, AFirstRunHasNoPlayersAndNoCurrentOne) {
    MakeScratchDirectory();
    WriteFile("prefs.dat", "PLAYERS 0\n");
    EXPECT_TRUE(LoadProfiles());
    EXPECT_EQ(profileCount, 0);
    EXPECT_TRUE(profiles[0].selected);
    EXPECT_EQ(CurrentPlayer(), NO_PLAYER);
    SaveProfiles();
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 0\n");
}

TEST(ProfileFile, AMissingFileEndsTheProgramBeforeItsFirstFrame) {
    MakeScratchDirectory();
    EXPECT_FALSE(LoadProfiles());
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(ReadLog(), "Attempting to read prefs.dat\nERROR: Unable to open prefs.dat\n");
    EXPECT_EQ(profileCount, 0);
}

TEST(ProfileFile, BadCountsAndShortFilesGiveOnlyWholeRecords) {
    struct Case {
        std::string file;
        int count;
    };
    std::string twelve = "PLAYERS 12\n";
    for (int i = 0; i < 12; i++) twelve += "p" + std::to_string(i) + " " + std::to_string(i) + " 0 0\n";
    const Case cases[] = {
        {twelve, 10},
        {"PLAYERS 99999999999999999999\nann 0 0 0\n", 0},
        {"PLAYERS -3\nann 0 0 0\n", 0},
        {"PLAYERS 3\nann 0 0 0\nbob 1 2 3\n", 2},
        {"PLAYERS 3\nann 0 0 0\nbob 1 2 3\ncat 4\n", 2},
        {"PLAYERS 2\nann 0 0 0\nbob x 0 0\n", 1},
        {"PLAYERS 2\nann 0 0 0 bob 1 0 0\n", 2},
        {"PLAYER 2\nann 0 0 0\n", 0},
        {"", 0},
    };
    for (const Case& c : cases) {
        MakeScratchDirectory();
        ForgetProfiles();
        WriteFile("prefs.dat", c.file);
        EXPECT_TRUE(LoadProfiles()) << c.file;
        EXPECT_EQ(profileCount, c.count) << c.file;
        for (int i = c.count; i < MAX_PLAYERS; i++) EXPECT_STREQ(profiles[i].name, "") << c.file;
        EXPECT_FALSE(quitRequested);
    }
    EXPECT_STREQ(profiles[0].name, "");
}

// A damaged record costs that record alone: the ones after it are read, so the
// next save keeps them, and the log names the line left out.
TEST(ProfileFile, ADamagedRecordCostsThatRecordAlone) {
    struct Case {
        std::string file;
        const char* ids;      // the ids kept, in order
        const char* skipped;  // the log's lines after the first
    };
    const std::string left = "prefs.dat: a damaged player record is left out: ";
    const Case cases[] = {
        {"PLAYERS 4\nann 0 0 0\nbob x 0 0\ncarl 2 1 1\ndora 1 0 0\n", "ann carl dora", "bob x 0 0\n"},
        // A field missing: the next line begins the next record.
        {"PLAYERS 3\nann 0 0 0\nbob 4 0\ncarl 2 1 1\n", "ann carl", "bob 4 0\n"},
        {"PLAYERS 3\nann 0 0\nbob 1 1 1\ncarl 2 1 1\n", "bob carl", "ann 0 0\n"},
        // Damage at the end of a line takes the rest of that line with it.
        {"PLAYERS 3\nann 1 2 3.5 lee 7 7\nbob 1 0 0\n", "bob", "ann 1 2 3.5 lee 7 7\n"},
        {"PLAYERS 3\nann 0 0 0\nbob 99999999999 0 0\ncat 1 1 1\n", "ann cat", "bob 99999999999 0 0\n"},
        // Two damaged records, and a control byte shown as '?'.
        {"PLAYERS 4\nann 0 0 0\nb\x01" "b - 0 0\ncarl 1 1 1\ndora 0 0 zero\neve 5 5 5\n", "ann carl eve",
         "b?b - 0 0\n" "+dora 0 0 zero\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        MakeScratchDirectory();
        ForgetProfiles();
        WriteFile("prefs.dat", c.file);
        LoadProfiles();
        std::string ids;
        for (int i = 0; i < profileCount; i++) ids += std::string(i ? " " : "") + profiles[i].name;
        EXPECT_EQ(ids, c.ids);
        std::string expected = "Attempting to read prefs.dat\n" + left;
        for (const char* p = c.skipped; *p; p++) expected += *p == '+' ? left : std::string(1, *p);
        EXPECT_EQ(ReadLog(), expected);
        EXPECT_FALSE(quitRequested);
    }
    // The next save keeps every player read.
    SaveProfiles();
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 3\nann 0 0 0\ncarl 1 1 1\neve 5 5 5\n");

    // A file of nothing but damage is not read to its end, nor logged line by line.
    std::string garbage = "PLAYERS 10\n";
    for (int i = 0; i < 5000; i++) garbage += "x y z w\n";
    MakeScratchDirectory();
    ForgetProfiles();
    WriteFile("prefs.dat", garbage);
    LoadProfiles();
    EXPECT_EQ(profileCount, 0);
    const std::string log = ReadLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1 + MAX_PLAYERS);
}

// A level is held to what the game can show (as level + 1) and raise, wherever it
// came from, and every figure made from it stays defined.
TEST(ProfileFile, LevelsAreHeldToARangeTheGameCanShowAndRaise) {
    MakeScratchDirectory();
    ForgetProfiles();
    WriteFile("prefs.dat", "PLAYERS 5\nmax 2147483647 0 0\nmin -2147483648 0 0\ntop 99998 0 0\nover 99999 1 2\n"
                           "low -1 0 0\n");
    LoadProfiles();
    EXPECT_EQ(ReadLog(), "Attempting to read prefs.dat\n"
                         "prefs.dat: player max is at level 2147483647, read as 99998\n"
                         "prefs.dat: player min is at level -2147483648, read as 0\n"
                         "prefs.dat: player over is at level 99999, read as 99998\n"
                         "prefs.dat: player low is at level -1, read as 0\n");
    SaveProfiles();
    EXPECT_EQ(ReadFile("prefs.dat"),
              "PLAYERS 5\nmax 99998 0 0\nmin 0 0 0\ntop 99998 0 0\nover 99998 1 2\nlow 0 0 0\n");
    // The shown number, for anything a table could hold.
    EXPECT_EQ(std::vector<int>({ShownLevel(0), ShownLevel(MAX_PLAYER_LEVEL), ShownLevel(INT_MAX), ShownLevel(INT_MIN)}),
              std::vector<int>({1, 99999, 99999, 1}));
}

TEST(ProfileFile, LongIdsInTheFileAreCutAndThenReadBackAsWritten) {
    MakeScratchDirectory();
    WriteFile("prefs.dat", "PLAYERS 2\nabcdefghijklmnopqrstuvwxyz 5 1 2\n" + std::string(5000, 'z') + " 1 0 0\n");
    LoadProfiles();
    ASSERT_EQ(profileCount, 2);
    EXPECT_STREQ(profiles[0].name, "abcdefghijklmnopq");
    EXPECT_EQ(profiles[0].level, 5);
    EXPECT_EQ(std::string(profiles[1].name), std::string(17, 'z'));
    EXPECT_EQ(profiles[1].level, 1);
    SaveProfiles();
    const std::string saved = ReadFile("prefs.dat");
    ForgetProfiles();
    LoadProfiles();
    SaveProfiles();
    EXPECT_EQ(ReadFile("prefs.dat"), saved);
    EXPECT_EQ(saved, "PLAYERS 2\nabcdefghijklmnopq 5 1 2\n" + std::string(17, 'z') + " 1 0 0\n");
}

// The player list: rows at y = 169 + 17 i from x 180 to 359; a smiley in slot 21.
class PlayerList : public testing::Test {
protected:
    void Start(const char* file) {
        StartGui();
        WriteBmp("smile.bmp", 10, 10, std::vector<uint16_t>(100, Rgb555(0, 31, 0)));
        LoadStaticSprite(21, "smile.bmp", 1);
        WriteFile("prefs.dat", file);
        LoadProfiles();
        ClearScreen(0x0001);
    }
    static int Row(int i) { return 169 + 17 * i; }
};

TEST_F(PlayerList, TenStripedRowsWithTheSelectedOneInRed) {
    Start("PLAYERS 3\nann 0 0 0\nbob 3 0 0\ncat 1 2 3\n");
    profiles[0].selected = false;
    profiles[2].selected = true;
    DrawPlayerList();
    EXPECT_EQ(ScreenPixel(181, 156), 0x1814);
    for (int i = 0; i < 10; i++) {
        const uint16_t expected = i == 2 ? 0xC000 : i % 2 == 0 ? 0x18C3 : 0x3186;
        EXPECT_EQ(ScreenPixel(180, Row(i)), expected) << i;
        EXPECT_EQ(ScreenPixel(359, Row(i) + 16), expected) << i;
    }
    EXPECT_EQ(ScreenPixel(179, Row(0)), 0x0001);
    EXPECT_EQ(ScreenPixel(360, Row(0)), 0x0001);
    EXPECT_EQ(ScreenPixel(200, Row(10)), 0x0001);
}

TEST_F(PlayerList, LevelThreeShowsTheSmileyInsteadOfLevelAndTime) {
    Start("PLAYERS 3\nann 0 0 0\nbob 3 0 0\ncat 1 2 3\n");
    DrawPlayerList();
    // "1 / (0:0)" centred on 325: its second 0 covers x 336 to 341 in the test font.
    EXPECT_NE(ScreenPixel(340, Row(0) + 5), 0x3186);
    EXPECT_NE(ScreenPixel(340, Row(0) + 5), 0xC000);
    EXPECT_EQ(ScreenPixel(320, Row(1) + 5), 0x07C0);
    EXPECT_EQ(ScreenPixel(340, Row(1) + 5), 0x3186);
    EXPECT_NE(ScreenPixel(186, Row(1) + 5), 0x3186);  // the id is still there
}

TEST_F(PlayerList, The555DisplayHasItsOwnColours) {
    HeadlessDisplay555();
    Start("PLAYERS 1\nann 0 0 0\n");
    ASSERT_EQ(PixelMode, 15);
    DrawPlayerList();
    EXPECT_EQ(ScreenPixel(181, 156), 0x0C14);
    EXPECT_EQ(ScreenPixel(180, Row(0)), 0x6000);
    EXPECT_EQ(ScreenPixel(180, Row(1)), 0x18C6);
    EXPECT_EQ(ScreenPixel(180, Row(2)), 0x0C63);
}

TEST_F(PlayerList, DeletingTheSecondOfThreeKeepsTheOthersInOrder) {
    Start("PLAYERS 3\nann 0 0 0\nbob 3 0 0\ncat 1 2 3\n");
    for (PlayerProfile& p : profiles) p.selected = false;
    profiles[1].selected = true;
    DeleteSelectedPlayer();
    ASSERT_EQ(profileCount, 2);
    EXPECT_STREQ(profiles[0].name, "ann");
    EXPECT_STREQ(profiles[1].name, "cat");
    EXPECT_EQ(profiles[1].timeMinor, 3);
    EXPECT_EQ(CurrentPlayer(), 0);
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 2\nann 0 0 0\ncat 1 2 3\n");

    // Down to none: the first, empty row still shows as selected.
    DeleteSelectedPlayer();
    DeleteSelectedPlayer();
    EXPECT_EQ(profileCount, 0);
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 0\n");
    DrawPlayerList();
    EXPECT_EQ(ScreenPixel(180, Row(0)), 0xC000);
    EXPECT_EQ(CurrentPlayer(), NO_PLAYER);
}

TEST_F(PlayerList, AClickPicksTheRowUnderIt) {
    Start("PLAYERS 3\nann 0 0 0\nbob 3 0 0\ncat 1 2 3\n");
    SetMouse(200, 186, true, true);
    PickPlayer();
    EXPECT_EQ(CurrentPlayer(), 1);
    EXPECT_TRUE(mouseClick);  // not consumed
    SetMouse(361, 220, true, true);
    PickPlayer();
    EXPECT_EQ(CurrentPlayer(), 1);
    SetMouse(180, 220, true, false);  // held from an earlier frame
    PickPlayer();
    EXPECT_EQ(CurrentPlayer(), 1);
    SetMouse(360, 220, true, true);
    PickPlayer();
    EXPECT_EQ(CurrentPlayer(), 2);
    SetMouse(200, Row(3) + 5, true, true);  // a row without a player
    PickPlayer();
    EXPECT_EQ(CurrentPlayer(), 2);
    int selected = 0;
    for (const PlayerProfile& p : profiles) selected += p.selected;
    EXPECT_EQ(selected, 1);
}

// ADDNEWID: the box at (265, 235), "Create Player" at (236, 287), "Cancel" at (325, 287).
class NewPlayer : public testing::Test {
protected:
    void Start(int glyphWidth) {
        StartGui(glyphWidth);
        WriteFile("prefs.dat", "PLAYERS 0\n");
        LoadProfiles();
        Frame(270, 240, true, true);
        Frame(270, 240, false);
    }
    int Frame(int x, int y, bool held, bool pressedNow = false, std::initializer_list<int> keys = {}) {
        SetKeys(keys);
        SetMouse(x, y, held, pressedNow);
        return AddPlayer();
    }
    void Type(std::initializer_list<int> codes) {
        for (int code : codes) {
            Frame(600, 20, false, false, {code});
            Frame(600, 20, false);
        }
    }
    int Click(int x) {
        const int pressed = Frame(x, 290, true, true);
        const int released = Frame(x, 290, false);
        return pressed == 2 ? released : -1;
    }
    const char* BoxText() { return windows[FindWindowId("ADDNEWID")].textBoxes[0].text; }
};

TEST_F(NewPlayer, CreatesAProfileAtLevelZeroFromTheTypedId) {
    Start(6);
    Type({30, 31, 32});  // a s d
    EXPECT_EQ(Click(240), 1);
    ASSERT_EQ(profileCount, 1);
    EXPECT_STREQ(profiles[0].name, "asd");
    EXPECT_EQ(profiles[0].level, 0);
    EXPECT_EQ(CurrentPlayer(), 0);
    SaveProfiles();
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 1\nasd 0 0 0\n");
    EXPECT_EQ(Frame(600, 20, false), 2);
    EXPECT_EQ(Click(330), 0);
    EXPECT_EQ(profileCount, 1);
}

TEST_F(NewPlayer, AnEmptyOrBlankIdCreatesNothing) {
    Start(6);
    EXPECT_EQ(Click(240), 2);
    GuiTextBox& box = windows[FindWindowId("ADDNEWID")].textBoxes[0];
    std::strcpy(box.text, "   ");
    box.length = 3;
    EXPECT_EQ(Click(240), 2);
    EXPECT_EQ(profileCount, 0);
}

TEST_F(NewPlayer, TheBoxTakesOneWordOfAtMost17CharactersAndTheFileKeepsIt) {
    Start(4);  // narrow glyphs: the field's width alone would allow 25
    Type({30, 48, 57, 46, 32});  // a b space c d
    EXPECT_STREQ(BoxText(), "abcd");
    Type({16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 44, 45, 47, 49, 50, 2, 3, 4});
    const std::string shown = BoxText();
    EXPECT_EQ(shown, "abcdqwertyuiopzxv");
    EXPECT_EQ(Click(240), 1);
    EXPECT_EQ(std::string(profiles[0].name), shown);
    SaveProfiles();
    ForgetProfiles();
    LoadProfiles();
    ASSERT_EQ(profileCount, 1);
    EXPECT_EQ(std::string(profiles[0].name), shown);
}

TEST_F(NewPlayer, AnIdPutInTheBoxBehindItsBackIsStoredAsOneShortWord) {
    Start(6);
    GuiTextBox& box = windows[FindWindowId("ADDNEWID")].textBoxes[0];
    std::strcpy(box.text, "ann  lee");
    box.length = 8;
    EXPECT_EQ(Click(240), 1);
    EXPECT_STREQ(profiles[0].name, "annlee");
}

}  // namespace
