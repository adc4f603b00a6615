// A whole level played through the puzzle's own operations, frame by frame, with
// a scripted pointer, as the play state drives them.
#include <gtest/gtest.h>

#include <cstring>

#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/sprite.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_devices.h"
#include "profiles/profiles.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"
#include "puzzle/puzzle_support.h"
#include "test_support.h"

namespace {

constexpr uint16_t kSolid565 = 0x07C0;

struct Move {
    int item;
    int column, row;  // where it goes
    int cells;        // its solid cells
};

class PlayedLevel : public testing::Test {
protected:
    void SetUp() override {
        MakeScratchDirectory();
        StartDisplay();
        InitInput(mainWindow, nullptr);
        BuildGridTemplate();
    }
};

TEST_F(PlayedLevel, ItemsCarriedFromTheTableFillTheCase) {
    const std::vector<std::string> slab = {"#####", "#####"};
    WriteItemPicture("slab.bmp", slab);
    WriteItemPicture("notched.bmp", {"####.", "#####"});
    WriteItemPicture("cube.bmp", {"#"});
    WriteItemPicture("rod.bmp", {"##########"});
    WriteLevel("b.lev", 3, {{"cube.bmp", 0, 2}});
    WriteLevel("a.lev", 0,
               {{"slab.bmp", 0, 2},
                {"slab.bmp", 0, 4},
                {"slab.bmp", 0, 6},
                {"slab.bmp", 0, 8},
                {"slab.bmp", 15, 2},
                {"notched.bmp", 15, 4},
                {"cube.bmp", 15, 7},
                {"rod.bmp", 5, 10}});
    LoadLevelList();
    LoadLevel(0);
    ASSERT_EQ(gameLevel.itemCount, 8);
    profileCount = 1;
    std::strcpy(profiles[0].name, "tester");
    profiles[0].selected = true;

    EXPECT_FALSE(PointerFrame(0, 0, false));
    EXPECT_EQ(packedCells, 0);
    const Move moves[] = {{0, 5, 0, 10}, {1, 10, 0, 10}, {2, 5, 2, 10}, {3, 10, 2, 10},
                          {4, 5, 4, 10}, {5, 10, 4, 9},  {6, 14, 4, 1}, {7, 5, 6, 10}};
    int expected = 0;
    int jitter = -15;
    for (const Move& move : moves) {
        const Item& item = gameLevel.items[move.item];
        // Pick it up by the middle of its top-left cell.
        PointerFrame(CellCentreX(item.column), CellCentreY(item.row), true);
        ASSERT_TRUE(carrying);
        ASSERT_EQ(carriedItem, move.item);
        // Carry it across the screen, past the top, to a little off its target.
        const int x = 32 * move.column + 16 + jitter, y = 128 + 32 * move.row + 16 - jitter;
        PointerFrame(320, 40, false);
        PointerFrame((320 + x) / 2, (40 + y) / 2, false);
        EXPECT_EQ(HeadlessFramePixel((320 + x) / 2, (40 + y) / 2), kSolid565);
        PointerFrame(x, y, true);
        ASSERT_FALSE(carrying) << "item " << move.item;
        EXPECT_EQ(item.column, move.column);
        EXPECT_EQ(item.row, move.row);
        // The count of the drop frame was made while it was still carried.
        EXPECT_EQ(packedCells, expected);
        const bool completed = PointerFrame(x, y, false);
        expected += move.cells;
        // The frame that fills the case completes the level at once, and no other frame does.
        EXPECT_EQ(packedCells, expected < 70 ? expected : 0);
        EXPECT_EQ(completed, expected == 70) << "item " << move.item;
        jitter = jitter == 15 ? -15 : jitter + 5;
    }
    EXPECT_EQ(packedPercent, 0.0f);
    EXPECT_EQ(profiles[0].level, 1);
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 1\ntester 1 0 0\n");
    for (int row = 0; row < 7; row++)
        for (int column = 5; column < 15; column++)
            EXPECT_EQ(HeadlessFramePixel(CellCentreX(column), CellCentreY(row)), kSolid565) << column << "," << row;
    // The table is empty again.
    for (int row = 2; row < 11; row++) EXPECT_EQ(HeadlessFramePixel(CellCentreX(1), CellCentreY(row)), 0);
}

}  // namespace
