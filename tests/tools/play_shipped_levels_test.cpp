// Every shipped level played through by the game's own puzzle code: each item
// carried from its start on the table to its place in the solver's packing,
// until the case is full and the level completes.
#include <gtest/gtest.h>

#include <filesystem>

#include "profiles/profiles.h"
#include "puzzle/level.h"
#include "test_support.h"
#include "tools/kit/image.h"
#include "tools/pack_as_solver.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = VALIMO_GAME_DIR;

TEST(ShippedLevelsInTheGame, EachCompletesWhenPackedAsTheSolverPacksIt) {
    std::string dir = MakeScratchDirectory();
    fs::copy(kGame / "data", fs::path(dir) / "data", fs::copy_options::recursive);
    fs::copy(kGame / "levels", fs::path(dir) / "levels", fs::copy_options::recursive);
    StartPuzzleForOnePlayer();

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
    EXPECT_GE(played, 96);

    // Each level leads to the next by its number, the 64th to the first of the
    // master tier; after the last the first file of the list is played, as ever.
    for (const auto& [done, next] : {std::pair{"level63.lev", "level64.lev"}, {"level95.lev", ""}}) {
        gen::Level lv, want;
        std::string error;
        ASSERT_TRUE(gen::ParseLevel(ReadFile((kGame / "levels" / done).string()), lv, error)) << error;
        PackAsTheSolverPacks(lv, MasksOf(lv, (kGame / "data").string()));
        if (HasFatalFailure()) return;
        LoadLevel(profiles[0].level);
        const std::string nextFile = *next ? next : levelList.entries[0].fileName;
        ASSERT_TRUE(gen::ParseLevel(ReadFile((kGame / "levels" / nextFile).string()), want, error)) << error;
        if (*next) EXPECT_EQ(want.number, lv.number + 1);
        ASSERT_EQ(gameLevel.itemCount, int(want.items.size())) << done;
        for (size_t i = 0; i < want.items.size(); i++)
            EXPECT_EQ(std::string(gameLevel.items[i].name) + ".bmp", want.items[i].picture) << done;
    }
}

}  // namespace
