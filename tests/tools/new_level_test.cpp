// valimo-levels new: a player's level, made for a few seeds and sizes, saved
// beside the shipped ones, listed and loaded by the game, vouched for by the
// checker and completed when packed as the solver packs it.
#include <gtest/gtest.h>

#include <filesystem>

#include "puzzle/level.h"
#include "test_support.h"
#include "tools/levels/levels.h"
#include "tools/pack_as_solver.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = VALIMO_GAME_DIR;

TEST(NewLevels, PlayedByTheGameAfterTheShippedOnes) {
    std::string dir = MakeScratchDirectory();
    fs::copy(kGame / "data", fs::path(dir) / "data", fs::copy_options::recursive);
    fs::copy(kGame / "levels", fs::path(dir) / "levels", fs::copy_options::recursive);
    int shipped = 0;
    for (const auto& e : fs::directory_iterator(kGame / "levels")) shipped += e.path().extension() == ".lev";
    ASSERT_GE(shipped, 96);
    // Numbered after the shipped levels by itself; the next numbered by hand.
    std::vector<gen::Level> made;
    for (const std::string arguments :
         {std::string("--items 9 --seed 11"), "--items 12 --seed 4 --unique --number " + std::to_string(shipped + 1),
          "--items 14 --seed 5 --number " + std::to_string(shipped + 2),
          "--items 30 --seed 6 --number " + std::to_string(shipped + 3)}) {
        SCOPED_TRACE(arguments);
        ToolRun run = RunLevelsTool("new --data data " + arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(RunLevelsTool("new --data data " + arguments).out, run.out) << "the same seed, another level";
        gen::Level lv;
        std::string error;
        ASSERT_TRUE(gen::ParseLevel(run.out, lv, error)) << error << "\n" << run.out;
        EXPECT_EQ(lv.number, shipped + int(made.size()));
        EXPECT_EQ(lv.items.size(), std::stoul(arguments.substr(8)));
        const std::string file = "levels/mine-" + std::to_string(made.size()) + ".lev";
        WriteFile(file, run.out);
        ToolRun check = RunLevelsTool("check --data data " + file);
        EXPECT_EQ(check.status, 0) << check.out;
        if (arguments.find("--unique") != std::string::npos) {
            EXPECT_NE(check.out.find(", solvable, 1 distinct solution, "), std::string::npos) << check.out;
        }
        made.push_back(lv);
    }

    StartPuzzleForOnePlayer();
    EXPECT_EQ(levelList.count, shipped + int(made.size()));
    for (const gen::Level& lv : made) {
        PackAsTheSolverPacks(lv, MasksOf(lv, dir + "/data"));
        if (HasFatalFailure()) return;
    }
}

TEST(NewLevels, ImpossibleWishesAreRefusedWithTheReason) {
    const std::string data = "--data " + (kGame / "data").string() + " ";
    struct Refusal {
        std::string arguments, why;
        int status = 2;  // 2: bad usage, 1: nothing to make a level of
    };
    const Refusal refused[] = {
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
        {"--items 9 --data /nonexistent", "/nonexistent: not a folder"},
        {"--items 9 --data " + MakeScratchDirectory(), "holds none of the game's item pictures", 1},
    };
    for (const auto& [arguments, why, status] : refused) {
        ToolRun run = RunLevelsTool("new " + data + arguments);
        EXPECT_EQ(run.status, status) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_NE(run.err.find(why), std::string::npos) << arguments << "\n" << run.err;
    }
}

}  // namespace
