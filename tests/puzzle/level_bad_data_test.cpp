// Level files as players edit and share them: cut short, with words for numbers,
// wild counts, directories in place of files. The list and the loader take what
// is whole, say so in the log, keep every item on the grid, and go on.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/valimo.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"
#include "puzzle/puzzle_support.h"
#include "test_support.h"

namespace {

class LevelBadData : public testing::Test {
protected:
    void SetUp() override {
        MakeScratchDirectory();
        StartDisplay();
        WriteItemPicture("one.bmp", {"#"});
        WriteItemPicture("ell.bmp", {"##", "#."});
    }

    // Lists and loads a single level file holding `text`; the items loaded.
    int ListAndLoad(const std::string& text) {
        WriteFile("levels/a.lev", text);
        WriteFile("valimo.log", "");
        LoadLevelList();
        EXPECT_EQ(levelList.count, 1);
        LoadLevel(levelList.entries[0].levelNumber);
        EXPECT_FALSE(quitRequested) << ReadLog();
        EXPECT_GE(gameLevel.itemCount, 0);
        EXPECT_LE(gameLevel.itemCount, MAX_ITEMS);
        for (int i = 0; i < gameLevel.itemCount; i++) {
            const Item& it = gameLevel.items[i];
            EXPECT_GE(it.column, 0);
            EXPECT_GE(it.row, 0);
            EXPECT_LE(it.column + it.width, GRID_COLUMNS);
            EXPECT_LE(it.row + it.height, GRID_ROWS);
        }
        // A frame of play over whatever was loaded.
        PlayFrame();
        EXPECT_GE(packedCells, 0);
        EXPECT_LE(packedCells, CASE_CELLS);
        return gameLevel.itemCount;
    }
};

TEST_F(LevelBadData, CutAtEveryByteLoadsTheRecordsBegunInFull) {
    const std::string text = "LEVEL 4\nITEMS 3\none.bmp 1 2\nell.bmp 10 3\none.bmp 18 9\n";
    int tried = 0;
    for (size_t length = 0; length <= text.size(); length++) {
        SCOPED_TRACE(testing::Message() << "first " << length << " bytes");
        const std::string cut = text.substr(0, length);
        // A record counts once its row has begun (a cut inside a number shortens it).
        int begun = 0;
        for (const char* row : {"2\nell", "3\none.bmp 18", "9\n"}) begun += length > text.find(row);
        const bool counted = length > text.find('3');
        EXPECT_EQ(ListAndLoad(cut), counted ? begun : 0);
        if (counted && begun < 3) {
            EXPECT_NE(ReadLog().find("Level file levels/a.lev holds " + std::to_string(begun) +
                                     " whole item record(s) of 3\n"),
                      std::string::npos)
                << ReadLog();
        }
        tried++;
    }
    RecordProperty("inputs", tried);
}

TEST_F(LevelBadData, WordsForNumbersAndWildCountsLoadOnlyWholeItems) {
    struct Case {
        std::string text;
        int items;
    };
    const Case cases[] = {
        {"LEVEL four\nITEMS 1\none.bmp 1 1\n", 0},
        {"LEVEL 0\nITEMS one\none.bmp 1 1\n", 0},
        {"LEVEL 0\nITEMS 1\none.bmp x 1\n", 0},
        {"LEVEL 0\nITEMS 2\none.bmp 1 y\none.bmp 2 2\n", 0},
        {"LEVEL 0\nITEMS 1\none.bmp 1.5 1\n", 0},
        {"LEVEL 0\nITEMS 1\none.bmp 0x1 1\n", 0},
        {"LEVEL 0\nITEMS 2147483647\none.bmp 1 1\none.bmp 2 2\n", 2},
        {"LEVEL 0\nITEMS 99999999999999999999\none.bmp 1 1\n", 1},
        {"LEVEL 0\nITEMS -1\none.bmp 1 1\n", 0},
        {"LEVEL 0\nITEMS -2147483648\none.bmp 1 1\n", 0},
        {"LEVEL 0\nITEMS 0\none.bmp 1 1\n", 0},
        {"LEVEL 0\nITEMS 1\none.bmp -2147483648 2147483647\n", 1},
        {"LEVEL 0\nITEMS 1\none.bmp 99999999999999999999 -99999999999999999999\n", 1},
        {"LEVEL 0\nITEMS 2\none.bmp 1 1 extra words\none.bmp 2 2\n", 1},
        {"LEVEL 0\nITEMS 1\n\n\n\t one.bmp\n1\n\n1\n", 1},
        {"LEVEL 0\r\nITEMS 2\r\none.bmp 1 1\r\nell.bmp 3 3\r\n", 2},
        {"LEVEL 0\nITEMS 1\n" + std::string(100000, 'n') + ".bmp 1 1\n", 0},
        {"LEVEL 0\nITEMS 1\none.bmp " + std::string(100000, '1') + " 1\n", 1},
        {"LEVEL 0\nITEMS 1\nmissing.bmp 1 1\n", 1},
        {"LEVEL 0\nITEMS 1\n\xC3\xA4\xFF.bmp 1 1\n", 1},
        {std::string("LEVEL 0\nITEMS 1\none\0.bmp 1 1\n", 29), 1},
        {"", 0},
        {std::string(70000, '\n'), 0},
        {std::string(4096, '\0'), 0},
    };
    int tried = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 70));
        EXPECT_EQ(ListAndLoad(c.text), c.items);
        tried++;
    }
    RecordProperty("inputs", tried);
}

TEST_F(LevelBadData, DirectoriesWhereFilesShouldBeAreSkippedOrGiveEmptyItems) {
    std::filesystem::create_directories("levels/dir.lev");
    std::filesystem::create_directories("data/dir.bmp");
    WriteFile("levels/b.lev", "LEVEL 0\nITEMS 2\ndir.bmp 1 1\none.bmp 3 3\n");
    LoadLevelList();
    ASSERT_EQ(levelList.count, 1);
    EXPECT_STREQ(levelList.entries[0].fileName, "b.lev");
    LoadLevel(0);
    EXPECT_FALSE(quitRequested);
    ASSERT_EQ(gameLevel.itemCount, 2);
    EXPECT_NE(ReadLog().find("Item picture data/dir.bmp did not load; the item has no cells\n"), std::string::npos)
        << ReadLog();
    PlayFrame();
}

}  // namespace
