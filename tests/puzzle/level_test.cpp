#include "puzzle/level.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "app/valimo.h"
#include "gfx/display.h"
#include "platform/headless/headless.h"
#include "puzzle/packing.h"
#include "puzzle/puzzle_support.h"
#include "test_support.h"

namespace {

const char kHeaderLine[] = "Loading level list... [ ";

std::vector<uint8_t> Mask(int slot) { return gameLevel.items[slot].mask; }

TEST(LevelList, KeepsTheSearchOrderAndReadsEachHeader) {
    MakeScratchDirectory();
    WriteFile("levels/b.lev", "LEVEL 0\nITEMS 2\nx.bmp 0 0\ny.bmp 0 0\n");
    WriteFile("levels/a.lev", "LEVEL 7\r\nITEMS 1\r\n");
    WriteFile("levels/c.lev", "LEVEL 3 ITEMZ 4\n");
    LoadLevelList();
    EXPECT_EQ(ReadLog(), std::string(kHeaderLine) + "3 level(s) found ]\n");
    ASSERT_EQ(levelList.count, 3);
    EXPECT_STREQ(levelList.entries[0].fileName, "a.lev");
    EXPECT_STREQ(levelList.entries[1].fileName, "b.lev");
    EXPECT_STREQ(levelList.entries[2].fileName, "c.lev");
    EXPECT_EQ(levelList.entries[0].levelNumber, 7);
    EXPECT_EQ(levelList.entries[0].itemCount, 1);
    EXPECT_EQ(levelList.entries[1].levelNumber, 0);
    EXPECT_EQ(levelList.entries[1].itemCount, 2);
    // A header that stops matching keeps what it read so far.
    EXPECT_EQ(levelList.entries[2].levelNumber, 3);
    EXPECT_EQ(levelList.entries[2].itemCount, 0);
    EXPECT_FALSE(quitRequested);
}

TEST(LevelList, AHeaderNotAtTheVeryStartReadsAsZero) {
    MakeScratchDirectory();
    WriteFile("levels/a.lev", " LEVEL 4\nITEMS 2\n");
    WriteFile("levels/b.lev", "\xEF\xBB\xBFLEVEL 5\nITEMS 2\n");
    WriteFile("levels/c.lev", "LEVEL 99999999999\nITEMS -3\n");
    LoadLevelList();
    EXPECT_EQ(levelList.entries[0].levelNumber, 0);
    EXPECT_EQ(levelList.entries[0].itemCount, 0);
    EXPECT_EQ(levelList.entries[1].levelNumber, 0);
    EXPECT_EQ(levelList.entries[2].levelNumber, INT32_MAX);
    EXPECT_EQ(levelList.entries[2].itemCount, -3);
}

TEST(LevelList, NoLevelFileEndsTheProgram) {
    MakeScratchDirectory();
    WriteFile("levels/readme.txt", "LEVEL 0\nITEMS 0\n");
    EXPECT_EXIT(LoadLevelList(), testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadLog().rfind(std::string(kHeaderLine) +
                                  "System Error Occured at ERROR: No level files (.lev) were found in the "
                                  "'levels' directory\n",
                              0),
              0u)
        << ReadLog();
}

TEST(LevelList, AnUnreadableFileStopsTheScanAndAsksToQuit) {
    MakeScratchDirectory();
    WriteLevel("a.lev", 5, {});
    WriteLevel("b.lev", 6, {});
    WriteLevel("c.lev", 7, {});
    chmod("levels/b.lev", 0);
    EXPECT_EXIT(
        {
            DropFileAccessOverride();
            LoadLevelList();
            const bool ok = quitRequested && levelList.count == 3 && levelList.entries[0].levelNumber == 5 &&
                            levelList.entries[2].levelNumber == 0;
            std::_Exit(ok ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadLog(), std::string(kHeaderLine) + "Failed to open a level (.lev) file: levels/b.lev\n");
}

TEST(LevelList, KeepsTheFirst256FilesAndSaysHowManyWereLeftOut) {
    MakeScratchDirectory();
    for (int i = 0; i < 260; i++) {
        char name[16];
        std::snprintf(name, sizeof name, "%03d.lev", i);
        WriteLevel(name, i, {});
    }
    const std::string longName = std::string(60, 'x') + ".lev";  // 64 characters
    WriteLevel(longName, 1000, {});
    LoadLevelList();
    // The opening text and the count stay one line; our lines about the rest follow it.
    EXPECT_EQ(ReadLog(), std::string(kHeaderLine) + "256 level(s) found ]\n" +
                             "Level file name longer than 63 characters, not listed: " + longName +
                             "\nMore than 256 level files: 4 left out\n");
    ASSERT_EQ(levelList.count, 256);
    EXPECT_STREQ(levelList.entries[255].fileName, "255.lev");
    EXPECT_EQ(levelList.entries[255].levelNumber, 255);
}

TEST(LevelList, ManyLongNamesAreCountedAfterTheLineAndNoneListedEndsTheProgram) {
    MakeScratchDirectory();
    for (int i = 0; i < 12; i++) WriteLevel(std::string(60, char('a' + i)) + ".lev", i, {});
    const std::string firstLong = "Level file name longer than 63 characters, not listed: ";
    EXPECT_EXIT(LoadLevelList(), testing::ExitedWithCode(0), "");
    const std::string log = ReadLog();
    EXPECT_EQ(log.rfind(std::string(kHeaderLine) + "0 level(s) found ]\n" + firstLong, 0), 0u) << log;
    // Eight long names are named, the rest counted, and then the end.
    size_t named = 0;
    for (size_t at = log.find(firstLong); at != std::string::npos; at = log.find(firstLong, at + 1)) named++;
    EXPECT_EQ(named, 8u);
    EXPECT_NE(log.find("\n4 more level file names longer than 63 characters, not listed\n"
                       "System Error Occured at ERROR: No level files (.lev) were found in the 'levels' directory\n"),
              std::string::npos)
        << log;
}

class LevelLoading : public testing::Test {
protected:
    void SetUp() override {
        MakeScratchDirectory();
        StartDisplay();
    }
    void ListAndLoad(int number) {
        LoadLevelList();
        LoadLevel(number);
    }
    std::string LogAfterList() {
        const std::string log = ReadLog();
        const size_t at = log.find(" level(s) found ]\n");
        return at == std::string::npos ? log : log.substr(at + 18);
    }
};

TEST_F(LevelLoading, AMissingNumberLoadsTheFirstEntryAndDuplicatesTakeTheFirst) {
    WriteItemPicture("one.bmp", {"#"});
    WriteItemPicture("two.bmp", {"#"});
    WriteItemPicture("three.bmp", {"#"});
    WriteLevel("a.lev", 4, {{"one.bmp", 1, 2}});
    WriteLevel("b.lev", 2, {{"two.bmp", 3, 4}});
    WriteLevel("c.lev", 2, {{"three.bmp", 5, 6}});
    ListAndLoad(2);
    EXPECT_STREQ(gameLevel.items[0].name, "two");
    EXPECT_EQ(gameLevel.items[0].column, 3);
    EXPECT_EQ(gameLevel.items[0].row, 4);
    LoadLevel(9);
    EXPECT_STREQ(gameLevel.items[0].name, "one");
    EXPECT_STREQ(gameLevel.imagePaths[0], "data/one.bmp");
    EXPECT_EQ(gameLevel.itemCount, 1);
    EXPECT_TRUE(gameLevel.itemsLoaded);
    EXPECT_EQ(LogAfterList(), "");
}

TEST_F(LevelLoading, ALevelFileGoneSinceTheListKeepsTheItemSetAndAsksToQuit) {
    WriteItemPicture("one.bmp", {"#"});
    WriteLevel("a.lev", 0, {{"one.bmp", 1, 2}});
    WriteLevel("b.lev", 1, {});
    ListAndLoad(0);
    std::remove("levels/b.lev");
    LoadLevel(1);
    EXPECT_EQ(LogAfterList(), "ERROR: Unable to open file: levels/b.lev\n");
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(gameLevel.itemCount, 1);
    EXPECT_NE(gameLevel.items[0].image, nullptr);
}

TEST_F(LevelLoading, TheListsItemCountDecidesHowManyRecordsAreRead) {
    WriteItemPicture("one.bmp", {"#"});
    WriteFile("levels/a.lev", "LEVEL 0\nITEMS 1\none.bmp 1 1\none.bmp 2 2\n");
    ListAndLoad(0);
    EXPECT_EQ(gameLevel.itemCount, 1);
}

TEST_F(LevelLoading, MissingRecordsLeaveOnlyWholeItems) {
    WriteItemPicture("one.bmp", {"#"});
    WriteFile("levels/a.lev", "LEVEL 0\nITEMS 4\none.bmp 1 1\none.bmp 2 2\none.bmp 3\n");
    ListAndLoad(0);
    EXPECT_EQ(gameLevel.itemCount, 2);
    EXPECT_EQ(gameLevel.items[1].column, 2);
    EXPECT_EQ(LogAfterList(), "Level file levels/a.lev holds 2 whole item record(s) of 4\n");
}

TEST_F(LevelLoading, AtMost64ItemsAreLoaded) {
    WriteItemPicture("one.bmp", {"#"});
    std::vector<ItemRecord> items(70, ItemRecord{"one.bmp", 0, 0});
    WriteLevel("a.lev", 0, items);
    ListAndLoad(0);
    EXPECT_EQ(gameLevel.itemCount, 64);
    EXPECT_EQ(gameLevel.items[64].image, nullptr);
    EXPECT_EQ(LogAfterList(), "Level file levels/a.lev lists 70 items; only the first 64 are loaded\n");
}

TEST_F(LevelLoading, OverlongImageNamesAreLeftOutWholeAndNamesAreCut) {
    const std::string longest = std::string(54, 'n') + ".bmp";  // 58: the path is 63
    const std::string tooLong = std::string(55, 'm') + ".bmp";
    WriteItemPicture(longest, {"#"});
    WriteItemPicture("pic", {"#"});
    WriteFile("levels/a.lev", "LEVEL 0\nITEMS 3\n" + tooLong + " 1 1\n" + longest + " 2 2\npic 3 3\n");
    ListAndLoad(0);
    ASSERT_EQ(gameLevel.itemCount, 2);
    EXPECT_EQ(std::string(gameLevel.items[0].name), std::string(54, 'n'));
    EXPECT_EQ(gameLevel.items[0].column, 2);
    // A name of four characters or fewer has nothing left after its extension.
    EXPECT_STREQ(gameLevel.items[1].name, "");
    EXPECT_EQ(gameLevel.items[1].width, 1);
    EXPECT_EQ(LogAfterList(), "Item image name longer than 58 characters, item left out: " + tooLong + "...\n");
}

TEST_F(LevelLoading, ItemsLeavingTheGridAreMovedInsideOrLeftOut) {
    WriteItemPicture("wide.bmp", {"###"});
    WritePlainPicture("huge.bmp", 32 * 21, 32);
    WriteItemPicture("one.bmp", {"#"});
    WriteLevel("a.lev", 0, {{"wide.bmp", 18, 10}, {"one.bmp", -2, 11}, {"huge.bmp", 3, 2147483647}, {"wide.bmp", 17, 0}});
    ListAndLoad(0);
    EXPECT_EQ(gameLevel.items[0].column, 17);
    EXPECT_EQ(gameLevel.items[0].row, 10);
    EXPECT_EQ(gameLevel.items[1].column, 0);
    EXPECT_EQ(gameLevel.items[1].row, 10);
    EXPECT_EQ(gameLevel.items[2].width, 0);
    EXPECT_EQ(gameLevel.items[2].image, nullptr);
    EXPECT_TRUE(gameLevel.items[2].mask.empty());
    EXPECT_EQ(gameLevel.items[3].column, 17);
    EXPECT_EQ(LogAfterList(),
              "Item wide at column 18, row 10 leaves the grid; placed at column 17, row 10\n"
              "Item one at column -2, row 11 leaves the grid; placed at column 0, row 10\n"
              "Item huge is 21 x 1 cells, larger than the grid; it is left out\n"
              "Item huge at column 3, row 2147483647 leaves the grid; placed at column 3, row 10\n");
}

TEST_F(LevelLoading, AMissingPictureGivesAnItemWithNoCellsNotThePreviousPicture) {
    WriteItemPicture("one.bmp", {"##"});
    WriteFile("data/junk.bmp", "not a picture at all");
    WriteLevel("a.lev", 0, {{"one.bmp", 0, 2}, {"gone.bmp", 0, 4}, {"junk.bmp", 0, 6}});
    ListAndLoad(0);
    ASSERT_EQ(gameLevel.itemCount, 3);
    for (int slot : {1, 2}) {
        EXPECT_EQ(gameLevel.items[slot].image, nullptr);
        EXPECT_EQ(gameLevel.items[slot].width, 0);
        EXPECT_TRUE(gameLevel.items[slot].mask.empty());
    }
    EXPECT_STREQ(gameLevel.items[1].name, "gone");
    EXPECT_EQ(LogAfterList(),
              "ERROR: Cannot open bitmap data/gone.bmp\n"
              "Item picture data/gone.bmp did not load; the item has no cells\n"
              "ERROR: Not a BITMAP\n"
              "Item picture data/junk.bmp did not load; the item has no cells\n");
}

TEST_F(LevelLoading, LoadingAnItemSetWhileCarryingEndsTheCarry) {
    WriteItemPicture("one.bmp", {"#"});
    WriteLevel("a.lev", 0, {{"one.bmp", 0, 2}, {"one.bmp", 0, 4}});
    ListAndLoad(0);
    gameLevel.items[1].carried = true;
    carrying = true;
    carriedItem = 1;
    ReloadItems();
    EXPECT_FALSE(carrying);
    EXPECT_FALSE(gameLevel.items[1].carried);
    EXPECT_EQ(gameLevel.items[1].row, 4);
    EXPECT_EQ(LogAfterList(), "Item set loaded while item 1 was carried; the carry ends\n");
}

TEST_F(LevelLoading, ReloadMakesFreshPicturesAndKeepsPositions) {
    WriteItemPicture("one.bmp", {"#."});
    WriteLevel("a.lev", 0, {{"one.bmp", 3, 2}});
    ListAndLoad(0);
    gameLevel.items[0].column = 9;
    ReleaseItems();
    EXPECT_FALSE(gameLevel.itemsLoaded);
    EXPECT_EQ(gameLevel.items[0].image, nullptr);
    EXPECT_EQ(gameLevel.items[0].width, 0);
    EXPECT_EQ(Mask(0), (std::vector<uint8_t>{1, 0}));  // releasing keeps the mask
    ReloadItems();
    EXPECT_TRUE(gameLevel.itemsLoaded);
    EXPECT_NE(gameLevel.items[0].image, nullptr);
    EXPECT_EQ(gameLevel.items[0].column, 9);
    EXPECT_EQ(gameLevel.items[0].width, 2);
    FreeLevel();
    EXPECT_TRUE(gameLevel.items[0].mask.empty());
    EXPECT_FALSE(gameLevel.itemsLoaded);
}

class ItemMasks : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        MakeScratchDirectory();
        if (GetParam()) HeadlessDisplay555();
        StartDisplay();
    }
};

TEST_P(ItemMasks, MagentaCellsAreTransparentAndOneOtherPixelMakesACellSolid) {
    ASSERT_EQ(PixelMode, GetParam() ? 15 : 16);
    // 3 x 2 cells: magenta everywhere except one pixel in the last row of the
    // middle top cell, and the right bottom cell's last pixel; a near-magenta
    // pixel counts as solid.
    std::vector<uint16_t> pixels(96 * 64, kMagenta555);
    pixels[31 * 96 + 40] = 0x0001;
    pixels[63 * 96 + 95] = 0x7C1E;
    pixels[5 * 96 + 5] = 0x7C1F | 0x8000;  // the unused top bit does not matter
    WriteBmp("data/shape.bmp", 96, 64, pixels);
    LoadItem(0, "data/shape.bmp");
    EXPECT_EQ(gameLevel.items[0].width, 3);
    EXPECT_EQ(gameLevel.items[0].height, 2);
    EXPECT_EQ(Mask(0), (std::vector<uint8_t>{0, 1, 0, 0, 0, 1}));
    EXPECT_STREQ(gameLevel.items[0].name, "shape");
}

TEST_P(ItemMasks, PartCellsTakeNoPartAndSmallPicturesGiveEmptyItems) {
    // 70 x 40: 2 x 1 cells; the columns and rows past the whole cells are ignored.
    std::vector<uint16_t> pixels(70 * 40, kMagenta555);
    for (int y = 0; y < 40; y++) pixels[size_t(y) * 70 + 68] = kSolid555;
    for (int x = 0; x < 70; x++) pixels[size_t(35) * 70 + x] = kSolid555;
    pixels[0] = kSolid555;
    WriteBmp("data/odd.bmp", 70, 40, pixels);
    LoadItem(0, "data/odd.bmp");
    EXPECT_EQ(gameLevel.items[0].width, 2);
    EXPECT_EQ(gameLevel.items[0].height, 1);
    EXPECT_EQ(Mask(0), (std::vector<uint8_t>{1, 0}));
    // Drawn squeezed into its two cells: the column at x = 68 lands inside them.
    gameLevel.items[0].column = 0;
    gameLevel.items[0].row = 0;
    gameLevel.itemCount = 1;
    ClearSprite(backBuffer, 0);
    DrawItems(false);
    const uint16_t* screen = backBuffer->Pixels() + 128 * 640 + 10 * 640;
    EXPECT_NE(*std::max_element(screen + 56, screen + 64), 0);
    EXPECT_EQ(*std::max_element(screen + 64, screen + 72), 0);

    WritePlainPicture("thin.bmp", 31, 64);
    LoadItem(1, "data/thin.bmp");
    EXPECT_EQ(gameLevel.items[1].width, 0);
    EXPECT_EQ(gameLevel.items[1].height, 2);
    EXPECT_TRUE(Mask(1).empty());
}

INSTANTIATE_TEST_SUITE_P(PixelModes, ItemMasks, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& param) { return param.param ? "555" : "565"; });

}  // namespace
