#include "tools/pack_as_solver.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include <cstring>

#include "app/valimo.h"
#include "gfx/display.h"
#include "input/input.h"
#include "profiles/profiles.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"
#include "puzzle/puzzle_support.h"
#include "test_support.h"

void StartPuzzleForOnePlayer() {
    StartDisplay();
    InitInput(mainWindow, nullptr);
    BuildGridTemplate();
    LoadLevelList();
    profileCount = 1;
    std::strcpy(profiles[0].name, "tester");
    profiles[0].selected = true;
}

void PackAsTheSolverPacks(const gen::Level& lv, const std::vector<gen::CellMask>& m) {
    gen::SolveResult plan = gen::SolveFirst(m, 0);
    ASSERT_TRUE(plan.solvable) << "level " << lv.number;
    profiles[0].level = lv.number;
    LoadLevel(lv.number);
    ASSERT_EQ(gameLevel.itemCount, int(lv.items.size())) << "level " << lv.number;
    PointerFrame(0, 0, false);
    ASSERT_EQ(packedCells, 0) << "level " << lv.number;
    bool completed = false;
    for (size_t i = 0; i < lv.items.size(); i++) {
        const Item& item = gameLevel.items[i];
        ASSERT_EQ(item.column, lv.items[i].col);
        ASSERT_EQ(item.row, lv.items[i].row);
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
        completed = PointerFrame(x, y, false);
    }
    EXPECT_TRUE(completed) << "level " << lv.number;
    EXPECT_EQ(profiles[0].level, lv.number + 1);
}

std::vector<gen::CellMask> MasksOf(const gen::Level& lv, const std::string& dataDir) {
    std::vector<gen::CellMask> masks;
    for (const auto& it : lv.items) {
        gen::ItemPicture p = gen::ReadItemPicture(dataDir + "/" + it.picture);
        EXPECT_EQ(p.fault, "") << it.picture;
        masks.push_back(p.mask);
    }
    return masks;
}

ToolRun RunLevelsTool(const std::string& arguments) {
    ToolRun run;
    std::string errFile = (std::filesystem::temp_directory_path() / ("valimo-levels-err-" + std::to_string(getpid()))).string();
    std::string cmd = std::string(VALIMO_LEVELS_TOOL) + " " + arguments + " 2>" + errFile;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return run;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) run.out.append(buf, n);
    int status = pclose(p);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadFile(errFile);
    std::remove(errFile.c_str());
    return run;
}
