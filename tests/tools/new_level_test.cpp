// valimo-levels new: a player's level, made for a few seeds and sizes, saved
// beside the shipped ones, listed and loaded by the game, vouched for by the
// checker and completed when packed as the solver packs it.
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
#include "tools/levels.h"
#include "tools/pack_as_solver.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = VALIMO_GAME_DIR;

struct Wish {
    const char* arguments;
    int items;          // what the level must hold
    bool unique;
};

TEST(NewLevels, PlayedByTheGameAfterTheShippedOnes) {
    std::string dir = MakeScratchDirectory();
    fs::copy(kGame / "data", fs::path(dir) / "data", fs::copy_options::recursive);
    fs::copy(kGame / "levels", fs::path(dir) / "levels", fs::copy_options::recursive);
    const std::string data = (fs::path(dir) / "data").string();
    const Wish wishes[] = {
        {"--items 9 --seed 11", 9, false},
        {"--items 12 --seed 4 --unique --number 65", 12, true},
        {"--items 14 --seed 5 --number 66", 14, false},
        {"--items 30 --seed 6 --number 67", 30, false},
    };
    std::vector<gen::Level> made;
    for (const Wish& w : wishes) {
        ToolRun run = RunLevelsTool(std::string("new --data data ") + w.arguments);
        ASSERT_EQ(run.status, 0) << w.arguments << "\n" << run.err;
        // The same seed makes the same level.
        EXPECT_EQ(RunLevelsTool(std::string("new --data data ") + w.arguments).out, run.out) << w.arguments;
        gen::Level lv;
        std::string error;
        ASSERT_TRUE(gen::ParseLevel(run.out, lv, error)) << error << "\n" << run.out;
        EXPECT_EQ(lv.number, 64 + int(made.size())) << w.arguments;
        EXPECT_EQ(int(lv.items.size()), w.items) << w.arguments;
        const std::string file = "mine-" + std::to_string(made.size()) + ".lev";
        WriteFile("levels/" + file, run.out);

        ToolRun check = RunLevelsTool("check --data data levels/" + file);
        EXPECT_EQ(check.status, 0) << check.out;
        EXPECT_NE(check.out.find(", solvable, "), std::string::npos) << check.out;
        if (w.unique) {
            EXPECT_NE(check.out.find(", solvable, 1 distinct solution, "), std::string::npos) << check.out;
        }
        made.push_back(lv);
    }

    StartDisplay();
    InitInput(mainWindow, nullptr);
    BuildGridTemplate();
    LoadLevelList();
    EXPECT_EQ(levelList.count, 64 + int(made.size()));
    profileCount = 1;
    std::strcpy(profiles[0].name, "tester");
    profiles[0].selected = true;
    for (const gen::Level& lv : made) {
        PackAsTheSolverPacks(lv, MasksOf(lv, data));
        if (HasFatalFailure()) return;
    }
}

TEST(NewLevels, ImpossibleWishesAreRefusedWithTheReason) {
    const std::string data = "--data " + (kGame / "data").string() + " ";
    const std::pair<std::string, std::string> refused[] = {
        {"--items 0", "--items 0: a level needs items to pack"},
        {"--items 71", "--items 71: more items than the 70 cells of the case can hold"},
        {"--items 65", "--items 65: a level holds at most 64 items"},
        {"--items 5", "--items 5: no picture covers more than 12 cells, so 6 or more items are needed"},
        {"--items ten", "--items ten: not a whole number"},
        {"--items -3", "--items -3: not a whole number"},
        {"--items", "--items needs a number"},
        {"--seed 4", "new needs --items N"},
        {"--items 9 --colour red", "unknown argument --colour"},
        {"--items 9 --number 4294967296", "too large for a level number"},
    };
    for (const auto& [arguments, why] : refused) {
        ToolRun run = RunLevelsTool("new " + data + arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_NE(run.err.find(why), std::string::npos) << arguments << "\n" << run.err;
    }
    ToolRun nowhere = RunLevelsTool("new --items 9 --data /nonexistent");
    EXPECT_EQ(nowhere.status, 2);
    EXPECT_NE(nowhere.err.find("/nonexistent: not a folder"), std::string::npos) << nowhere.err;
    ToolRun empty = RunLevelsTool("new --items 9 --data " + MakeScratchDirectory());
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("holds none of the game's item pictures"), std::string::npos) << empty.err;
}

}  // namespace
