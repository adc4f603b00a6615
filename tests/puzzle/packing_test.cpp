#include "puzzle/packing.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/sprite.h"
#include "input/input.h"
#include "platform/headless/headless_devices.h"
#include "puzzle/level.h"
#include "puzzle/puzzle_support.h"
#include "sound/sound.h"
#include "sound/wave_files.h"
#include "test_support.h"

namespace {

constexpr int kHand = 1;
constexpr uint16_t kSolid565 = 0x07C0;  // kSolid555 on the 5-6-5 screen
constexpr uint16_t kLabel565 = 0xFF67;

uint16_t ScreenPixel(int x, int y) { return backBuffer->Pixels()[size_t(y) * 640 + size_t(x)]; }

class Packing : public testing::Test {
protected:
    void SetUp() override {
        MakeScratchDirectory();
        StartDisplay();
        BuildGridTemplate();
    }
    // Lays items out as a loaded level would: pictures from data/, positions given.
    struct Laid {
        std::vector<std::string> cells;
        int column, row;
    };
    void Lay(const std::vector<Laid>& items) {
        static char paths[MAX_ITEMS][NAME_LENGTH];
        for (size_t i = 0; i < items.size(); i++) {
            const std::string name = "item" + std::to_string(i) + ".bmp";
            WriteItemPicture(name, items[i].cells);
            std::snprintf(paths[i], NAME_LENGTH, "data/%s", name.c_str());
            gameLevel.items[i].column = items[i].column;
            gameLevel.items[i].row = items[i].row;
        }
        LoadItems(paths, int(items.size()));
    }
    // One frame with the pointer at (x, y), clicked or not.
    void Frame(int x, int y, bool click) {
        mouseX = x;
        mouseY = y;
        mouseClick = click;
        ClearSprite(backBuffer, 0);
        PlayFrame();
    }
    void PickUp(int item, int x, int y) {
        Frame(x, y, true);
        ASSERT_TRUE(carrying);
        ASSERT_EQ(carriedItem, item);
    }
};

TEST_F(Packing, TheTemplateHasTheCaseTheTableAndTwoBlockedCorners) {
    int counts[3] = {0, 0, 0};
    for (const GridCell& cell : gridTemplate.cells) {
        counts[cell.region]++;
        EXPECT_EQ(cell.occupied, cell.region == RegionBlocked);
    }
    EXPECT_EQ(counts[RegionBlocked], 20);
    EXPECT_EQ(counts[RegionCase], 70);
    EXPECT_EQ(counts[RegionTable], 130);
    ResetGrid();
    EXPECT_EQ(CellAt(4, 1)->region, RegionBlocked);
    EXPECT_EQ(CellAt(15, 0)->region, RegionBlocked);
    EXPECT_EQ(CellAt(5, 0)->region, RegionCase);
    EXPECT_EQ(CellAt(14, 6)->region, RegionCase);
    EXPECT_EQ(CellAt(14, 7)->region, RegionTable);
    EXPECT_EQ(CellAt(4, 2)->region, RegionTable);
    EXPECT_EQ(CellAt(20, 0), nullptr);
    EXPECT_EQ(CellAt(0, 11), nullptr);
    EXPECT_EQ(CellAt(-1, 3), nullptr);
}

TEST_F(Packing, PlacementAnswersMismatchForAnyRectangleReachingOutOfTheGrid) {
    Lay({{{".."}, 0, 10}});
    ResetGrid();
    EXPECT_EQ(TestPlacement(0, 18, 10, 2, 1), PlaceFits);
    EXPECT_EQ(TestPlacement(0, 19, 10, 2, 1), PlaceMismatch);
    EXPECT_EQ(TestPlacement(0, 0, 10, 1, 2), PlaceMismatch);
    EXPECT_EQ(TestPlacement(0, -1, 5, 2, 1), PlaceMismatch);
    EXPECT_EQ(TestPlacement(0, 3, -1, 2, 1), PlaceMismatch);
    EXPECT_EQ(TestPlacement(0, 20, 3, 0, 0), PlaceMismatch);
    // Blocked cells differ from the table beside and below them.
    EXPECT_EQ(TestPlacement(0, 0, 1, 2, 2), PlaceMismatch);
}

TEST_F(Packing, OnlySolidCellsCollideButTheWholeRectangleMustShareOneRegion) {
    Lay({{{"#."}, 0, 3}, {{"#"}, 1, 4}});
    ResetGrid();
    DrawItems(true);
    EXPECT_EQ(TestPlacement(0, 1, 4, 2, 1), PlaceCollision);  // its solid cell on the other item's
    EXPECT_EQ(TestPlacement(0, 0, 4, 2, 1), PlaceFits);       // only its transparent cell there
    EXPECT_EQ(TestPlacement(1, 0, 3, 1, 1), PlaceCollision);
    EXPECT_EQ(TestPlacement(1, 1, 3, 1, 1), PlaceFits);        // the transparent cell
    EXPECT_EQ(TestPlacement(0, 4, 3, 2, 1), PlaceMismatch);    // table and case
    EXPECT_EQ(TestPlacement(0, 15, 1, 2, 1), PlaceCollision);  // blocked cells are occupied
}

TEST_F(Packing, OneClickOnSharedCellsPicksTheLowestIndexAndTheLabelNamesTheHighest) {
    Lay({{{"#"}, 2, 4}, {{"#"}, 2, 4}, {{"."}, 2, 4}});
    Frame(CellCentreX(2), CellCentreY(4), false);
    EXPECT_EQ(hoverItem, 1);
    EXPECT_EQ(pointerShape, kHand);
    EXPECT_EQ(ScreenPixel(CellCentreX(2) + 20, CellCentreY(4) + 2), kLabel565);
    EXPECT_FALSE(carrying);

    Frame(CellCentreX(2), CellCentreY(4), true);
    EXPECT_TRUE(carrying);
    EXPECT_EQ(carriedItem, 0);
    EXPECT_TRUE(gameLevel.items[0].carried);
    EXPECT_FALSE(gameLevel.items[1].carried);
    EXPECT_FALSE(mouseClick);  // taken by the pick-up: no drop in the same frame
    // Label set before the pick-up stays; later items no longer change it.
    EXPECT_EQ(hoverItem, 0);
    EXPECT_EQ(gameLevel.items[0].grabX, 16);
    EXPECT_EQ(gameLevel.items[0].grabY, 16);
}

TEST_F(Packing, ThePixelOnACellBorderIsOverBothCells) {
    Lay({{{"#"}, 3, 5}, {{"#"}, 4, 5}, {{"#"}, 3, 6}});
    Frame(32 * 4, CellCentreY(5), false);
    EXPECT_EQ(hoverItem, 1);
    Frame(CellCentreX(3), 128 + 32 * 6, false);
    EXPECT_EQ(hoverItem, 2);
    Frame(32 * 4, 128 + 32 * 6, true);
    EXPECT_EQ(carriedItem, 0);
    EXPECT_EQ(gameLevel.items[0].grabX, 32);
    EXPECT_EQ(gameLevel.items[0].grabY, 32);
}

TEST_F(Packing, TransparentCellsAndEmptyItemsAreNeverPickedUpOrLabelled) {
    WritePlainPicture("thin.bmp", 20, 64);
    Lay({{{"#."}, 0, 3}});
    std::snprintf(gameLevel.imagePaths[1], NAME_LENGTH, "data/thin.bmp");
    gameLevel.items[1].column = 0;
    gameLevel.items[1].row = 5;
    LoadItems(gameLevel.imagePaths, 2);
    Frame(CellCentreX(1), CellCentreY(3), true);
    Frame(CellCentreX(0) - 10, CellCentreY(5), true);
    EXPECT_FALSE(carrying);
    EXPECT_FALSE(hoverMark);
    EXPECT_EQ(pointerShape, 0);
    EXPECT_FALSE(CellAt(1, 3)->occupied);
    EXPECT_TRUE(CellAt(0, 3)->occupied);
    EXPECT_FALSE(CellAt(0, 5)->occupied);
    EXPECT_EQ(ScreenPixel(5, CellCentreY(5)), 0);  // not drawn
}

TEST_F(Packing, ADropRoundsToTheNearestCellHalvesUp) {
    Lay({{{"#"}, 0, 3}});
    PickUp(0, 10, 128 + 32 * 3 + 4);  // grab offset (10, 4)
    // Top-left pixel at x = 32 * 2 + 15, y = 128 + 32 * 5 + 16.
    Frame(10 + 64 + 15, 4 + 128 + 160 + 16, true);
    EXPECT_FALSE(carrying);
    EXPECT_EQ(gameLevel.items[0].column, 2);
    EXPECT_EQ(gameLevel.items[0].row, 6);
    EXPECT_EQ(pointerShape, kHand);
}

TEST_F(Packing, AFailedDropKeepsCarryingAndUsesUpTheClick) {
    Lay({{{".#"}, 0, 3}, {{"#"}, 2, 8}});
    PickUp(0, CellCentreX(1), CellCentreY(3));
    // The transparent left cell over the table, the solid one in the case.
    Frame(CellCentreX(5), CellCentreY(3), true);
    EXPECT_TRUE(carrying);
    EXPECT_FALSE(mouseClick);
    EXPECT_EQ(pointerShape, kHand);
    EXPECT_EQ(gameLevel.items[0].column, 0);
    // Its solid cell on the other item's.
    Frame(CellCentreX(2), CellCentreY(8), true);
    EXPECT_TRUE(carrying);
    // Above the grid nothing is tried, even where a drop would fit after rounding.
    Frame(CellCentreX(8), 128 - 17 + 16, true);
    EXPECT_TRUE(carrying);
    EXPECT_EQ(pointerShape, kHand);
    // Back where it lay: the carried item marks nothing, so its old place is free.
    Frame(CellCentreX(1), CellCentreY(3), true);
    EXPECT_FALSE(carrying);
    EXPECT_EQ(gameLevel.items[0].column, 0);
    EXPECT_EQ(gameLevel.items[0].row, 3);
}

TEST_F(Packing, EveryFittingDropPlaysOneOfTheFiveDropSoundsInTheUnseededSequence) {
    InitDirectSound(mainWindow);
    for (int k = 0; k < 5; k++) {
        const std::string path = "data/drop" + std::to_string(k) + ".wav";
        WriteFile(path, SimpleWave(std::vector<uint8_t>(16, 0x80)));
        LoadSoundEffect(SFX_DROP_FIRST + k, path.c_str());
        ASSERT_TRUE(soundEffects[SFX_DROP_FIRST + k].loaded);
    }
    std::srand(1);  // the state of a generator nobody seeded
    std::vector<int> expected;
    for (int i = 0; i < 6; i++) expected.push_back(std::rand() % 5 + SFX_DROP_FIRST);
    std::srand(1);

    Lay({{{"#"}, 0, 3}, {{"#"}, 0, 5}});
    for (int i = 0; i < 6; i++) {
        PickUp(0, CellCentreX(0), CellCentreY(3 + (i % 2) * 3));
        Frame(CellCentreX(0), CellCentreY(5), true);  // onto the other item: no sound
        Frame(CellCentreX(0), CellCentreY(i % 2 ? 3 : 6), true);
        ASSERT_FALSE(carrying);
    }
    std::vector<int> played;
    for (const IDirectSoundBuffer* buffer : HeadlessSoundsStarted())
        for (int slot = 0; slot < SOUND_SLOTS; slot++)
            if (soundEffects[slot].buffer == buffer) played.push_back(slot);
    EXPECT_EQ(played, expected);
}

TEST_F(Packing, TheCarriedItemIsDrawnUnderThePointerAndKeptOnScreen) {
    Lay({{{"##"}, 0, 3}});
    PickUp(0, 10, CellCentreY(3));  // grab (10, 16)
    Frame(700, 500, false);
    EXPECT_EQ(mouseX, 640 - (64 - 10));
    EXPECT_EQ(mouseY, 480 - (32 - 16));
    EXPECT_EQ(ScreenPixel(639, 479), kSolid565);
    EXPECT_EQ(ScreenPixel(575, 447), 0);
    Frame(0, 0, false);
    EXPECT_EQ(mouseX, 10);
    EXPECT_EQ(mouseY, 16);
    EXPECT_EQ(ScreenPixel(0, 0), kSolid565);
    EXPECT_EQ(ScreenPixel(63, 31), kSolid565);
    EXPECT_EQ(ScreenPixel(64, 31), 0);
    // It no longer lies on the grid.
    EXPECT_EQ(ScreenPixel(5, CellCentreY(3)), 0);
    EXPECT_FALSE(CellAt(0, 3)->occupied);
}

TEST_F(Packing, WithoutInteractionItemsAreOnlyDrawn) {
    Lay({{{"#"}, 6, 2}});
    ResetGrid();
    mouseX = CellCentreX(6);
    mouseY = CellCentreY(2);
    mouseClick = true;
    DrawItems(false);
    EXPECT_FALSE(carrying);
    EXPECT_TRUE(mouseClick);
    EXPECT_FALSE(CellAt(6, 2)->occupied);
    EXPECT_EQ(ScreenPixel(CellCentreX(6), CellCentreY(2)), kSolid565);
    EXPECT_NE(ScreenPixel(CellCentreX(6) + 21, CellCentreY(2) + 3), kLabel565);
}

TEST_F(Packing, LiftingAnItemOutOfTheCaseLowersTheCountOneFrameLater) {
    Lay({{{"#####", "#####", "#####", "#####", "#####", "#####", "#####"}, 5, 0}, {{"##"}, 10, 0}});
    Frame(0, 0, false);
    EXPECT_EQ(packedCells, 37);
    PickUp(1, CellCentreX(10), CellCentreY(0));
    EXPECT_EQ(packedCells, 37);
    Frame(CellCentreX(10), CellCentreY(0), false);
    EXPECT_EQ(packedCells, 35);
    EXPECT_EQ(packedPercent, 50.0f);
}

TEST_F(Packing, CaseCountsGiveTheSinglePrecisionShare) {
    Lay({{{"##########", "##########", "##########", "##########", "##########", "##########", "#########."}, 5, 0}});
    Frame(0, 0, false);
    EXPECT_EQ(packedCells, 69);
    EXPECT_EQ(packedPercent, 98.571434f);
    // Table cells do not count.
    gameLevel.items[0].row = 4;
    Frame(0, 0, false);
    EXPECT_EQ(packedCells, 30);
}

}  // namespace
