// Every shipped level played through by the game's own puzzle code: each item
// carried from its start on the table to its place in the solver's packing,
// until the case is full and the level completes.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "gfx/display.h"
#include "input/input.h"
#include "platform/headless/headless_devices.h"
#include "profiles/profiles.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"
#include "puzzle/puzzle_support.h"
#include "test_support.h"
#include "tools/image.h"
#include "tools/items.h"
#include "tools/levels.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = VALIMO_GAME_DIR;

TEST(ShippedLevelsInTheGame, EachCompletesWhenPackedAsTheSolverPacksIt) {
    std::string dir = MakeScratchDirectory();
    fs::copy(kGame / "data", fs::path(dir) / "data", fs::copy_options::recursive);
    fs::copy(kGame / "levels", fs::path(dir) / "levels", fs::copy_options::recursive);
    StartDisplay();
    InitInput(mainWindow, nullptr);
    BuildGridTemplate();
    LoadLevelList();
    profileCount = 1;
    std::strcpy(profiles[0].name, "tester");
    profiles[0].selected = true;

    std::map<std::string, gen::CellMask> masks;
    for (const auto& e : fs::directory_iterator(kGame / "data")) {
        gen::Image16 img;
        if (e.path().extension() == ".bmp" && gen::ReadBmp(e.path().string(), img))
            masks[e.path().filename().string()] = gen::MaskFromImage(img);
    }
    int played = 0;
    for (const auto& e : fs::directory_iterator(kGame / "levels")) {
        std::vector<uint8_t> bytes;
        gen::Level lv;
        std::string error;
        ASSERT_TRUE(gen::ReadFile(e.path().string(), bytes));
        ASSERT_TRUE(gen::ParseLevel(std::string(bytes.begin(), bytes.end()), lv, error)) << error;
        std::vector<gen::CellMask> m;
        for (const auto& it : lv.items) m.push_back(masks.at(it.picture));
        gen::SolveResult plan = gen::SolveFirst(m, 0);
        ASSERT_TRUE(plan.solvable) << lv.number;

        profiles[0].level = lv.number;
        LoadLevel(lv.number);
        ASSERT_EQ(gameLevel.itemCount, int(lv.items.size())) << lv.number;
        GameState = GS_PLAYING;
        PointerFrame(0, 0, false);
        ASSERT_EQ(packedCells, 0) << lv.number;
        for (size_t i = 0; i < lv.items.size(); i++) {
            const Item& item = gameLevel.items[i];
            ASSERT_EQ(item.column, lv.items[i].col);
            // The game builds the same mask from the picture as the solver used.
            ASSERT_EQ(item.width, m[i].w);
            ASSERT_EQ(item.height, m[i].h);
            for (size_t k = 0; k < m[i].solid.size(); k++) ASSERT_EQ(item.mask[k] != 0, bool(m[i].solid[k])) << item.name;
            // Hold it by its first solid cell.
            int c = 0, r = 0;
            while (!m[i].At(c, r)) {
                if (++c == m[i].w) {
                    c = 0;
                    r++;
                }
            }
            PointerFrame(CellCentreX(item.column + c), CellCentreY(item.row + r), true);
            ASSERT_TRUE(carrying) << "level " << lv.number << " item " << i;
            ASSERT_EQ(carriedItem, int(i));
            PointerFrame(320, 60, false);
            const int x = CellCentreX(plan.solution[i].col + c), y = CellCentreY(plan.solution[i].row + r);
            PointerFrame(x, y, false);
            PointerFrame(x, y, true);
            ASSERT_FALSE(carrying) << "level " << lv.number << " item " << lv.items[i].picture << " did not fit";
            PointerFrame(x, y, false);
        }
        EXPECT_EQ(GameState, GS_NEW_LEVEL) << "level " << lv.number;
        EXPECT_EQ(profiles[0].level, lv.number + 1);
        played++;
    }
    EXPECT_GE(played, 30);
}

}  // namespace
