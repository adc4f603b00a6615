// Every shipped level played through by the game's own puzzle code: each item
// carried from its start on the table to its place in the solver's packing,
// until the case is full and the level completes.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "app/valimo.h"
#include "gfx/display.h"
#include "input/input.h"
#include "profiles/profiles.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"
#include "test_support.h"
#include "tools/image.h"
#include "tools/pack_as_solver.h"

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

    int played = 0;
    for (const auto& e : fs::directory_iterator(kGame / "levels")) {
        std::vector<uint8_t> bytes;
        gen::Level lv;
        std::string error;
        ASSERT_TRUE(gen::ReadFile(e.path().string(), bytes));
        ASSERT_TRUE(gen::ParseLevel(std::string(bytes.begin(), bytes.end()), lv, error)) << error;
        PackAsTheSolverPacks(lv, MasksOf(lv, (kGame / "data").string()));
        if (HasFatalFailure()) return;
        played++;
    }
    EXPECT_GE(played, 64);
}

}  // namespace
