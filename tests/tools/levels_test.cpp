// The shipped levels and the solver and checker that vouch for them.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "tools/image.h"
#include "tools/items.h"
#include "tools/levels.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = VALIMO_GAME_DIR;

std::map<std::string, gen::CellMask> ShippedMasks() {
    std::map<std::string, gen::CellMask> masks;
    for (const auto& e : fs::directory_iterator(kGame / "data")) {
        gen::Image16 img;
        if (e.path().extension() == ".bmp" && gen::ReadBmp(e.path().string(), img))
            masks[e.path().filename().string()] = gen::MaskFromImage(img);
    }
    return masks;
}

std::vector<gen::Level> ShippedLevels() {
    std::vector<gen::Level> levels;
    for (const auto& e : fs::directory_iterator(kGame / "levels")) {
        if (e.path().extension() != ".lev") continue;
        std::vector<uint8_t> bytes;
        gen::Level lv;
        std::string error;
        EXPECT_TRUE(gen::ReadFile(e.path().string(), bytes));
        EXPECT_TRUE(gen::ParseLevel(std::string(bytes.begin(), bytes.end()), lv, error)) << e.path() << ": " << error;
        levels.push_back(lv);
    }
    std::sort(levels.begin(), levels.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
    return levels;
}

gen::CellMask Rect(int w, int h) {
    gen::CellMask m;
    m.w = w;
    m.h = h;
    m.solid.assign(size_t(w * h), true);
    return m;
}

TEST(ShippedLevels, AtLeastThirtyNumberedFromZeroWithoutGaps) {
    auto levels = ShippedLevels();
    ASSERT_GE(levels.size(), 30u);
    for (size_t i = 0; i < levels.size(); i++) EXPECT_EQ(levels[i].number, int(i));
}

TEST(ShippedLevels, FilesReadAsTheGameReadsThem) {
    for (const auto& e : fs::directory_iterator(kGame / "levels")) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(gen::ReadFile(e.path().string(), bytes));
        std::string text(bytes.begin(), bytes.end());
        // The header pattern "LEVEL %d\nITEMS %d", from the very first byte.
        int number = -1, count = -1;
        ASSERT_EQ(std::sscanf(text.c_str(), "LEVEL %d\nITEMS %d", &number, &count), 2) << e.path();
        EXPECT_EQ(text.rfind("LEVEL ", 0), 0u);
        EXPECT_GT(count, 0);
        EXPECT_LE(count, 64);
        EXPECT_LE(e.path().filename().string().size(), 63u);
    }
}

// Every level: each item's picture exists, its rectangle lies wholly on the
// table, no two items share a solid cell, the cells add up to 70, the case can
// be packed, and the set gets harder from level to level.
TEST(ShippedLevels, SolvableFromALegalStartAndOrderedByDifficulty) {
    auto masks = ShippedMasks();
    double previous = -1;
    int previousItems = 0;
    auto levels = ShippedLevels();
    for (const auto& lv : levels) {
        gen::LevelReport r = gen::CheckLevel(lv, masks);
        for (const auto& f : r.faults) ADD_FAILURE() << "level " << lv.number << ": " << f;
        EXPECT_TRUE(r.solve.solvable) << "level " << lv.number;
        EXPECT_EQ(r.cells, 70) << "level " << lv.number;
        EXPECT_GE(r.difficulty, previous) << "level " << lv.number;
        previous = r.difficulty;
        if (lv.number == 0) previousItems = r.items;
    }
    // From a few large things to many small ones.
    ASSERT_FALSE(levels.empty());
    EXPECT_LE(previousItems, 9);
    EXPECT_GE(levels.back().items.size(), 15u);
}

TEST(ShippedLevels, EveryLevelUsesDistinctThings) {
    for (const auto& lv : ShippedLevels()) {
        std::set<std::string> seen;
        for (const auto& it : lv.items) EXPECT_TRUE(seen.insert(it.picture).second) << lv.number << " " << it.picture;
    }
}

TEST(CaseSolver, CountsEveryPackingAndSeesWhatCannotFit) {
    // Two halves of the case: either may go left.
    auto two = gen::SolveCase({Rect(5, 7), Rect(5, 7)});
    EXPECT_TRUE(two.solvable);
    EXPECT_TRUE(two.complete);
    EXPECT_EQ(two.solutions, 2u);
    // The solution names grid cells: the case starts at column 5, row 0.
    EXPECT_EQ(std::min(two.solution[0].col, two.solution[1].col), 5);
    EXPECT_EQ(two.solution[0].row, 0);
    // Seventy cells that cannot pack: a piece taller than the case.
    auto tall = gen::SolveCase({Rect(1, 8), Rect(9, 7), Rect(1, 6)});
    EXPECT_FALSE(tall.solvable);
    EXPECT_TRUE(tall.complete);
    // Ten columns of seven: 10! packings, counted up to the cap.
    std::vector<gen::CellMask> columns(10, Rect(1, 7));
    auto many = gen::SolveCase(columns);
    EXPECT_TRUE(many.solvable);
    EXPECT_FALSE(many.complete);
    EXPECT_EQ(many.solutions, gen::kSolutionCap);
}

TEST(LevelChecker, ReportsOverlapsRectanglesOffTheTableAndAWrongCellCount) {
    std::map<std::string, gen::CellMask> masks = {{"a.bmp", Rect(5, 7)}, {"b.bmp", Rect(5, 6)}};
    gen::Level lv;
    lv.items = {{"a.bmp", 0, 2}, {"b.bmp", 2, 3}};  // b's cells land on a's
    auto r = gen::CheckLevel(lv, masks);
    std::string all;
    for (const auto& f : r.faults) all += f + "\n";
    EXPECT_NE(all.find("overlap"), std::string::npos) << all;
    EXPECT_NE(all.find("cells 65, not 70"), std::string::npos) << all;

    lv.items = {{"a.bmp", 5, 0}, {"a.bmp", 15, 2}};  // the first starts in the case
    r = gen::CheckLevel(lv, masks);
    ASSERT_EQ(r.faults.size(), 1u);
    EXPECT_NE(r.faults[0].find("not wholly on the table"), std::string::npos);

    lv.items = {{"a.bmp", 0, 5}, {"a.bmp", 16, 2}, {"missing.bmp", 0, 0}};  // off the grid; no picture
    r = gen::CheckLevel(lv, masks);
    all.clear();
    for (const auto& f : r.faults) all += f + "\n";
    EXPECT_NE(all.find("leaves the grid"), std::string::npos) << all;
    EXPECT_NE(all.find("missing.bmp: no picture"), std::string::npos) << all;
}

TEST(LevelChecker, CommandPrintsOneLinePerLevelAndSucceedsOnTheShippedSet) {
    std::string cmd = std::string(VALIMO_LEVELS_TOOL) + " check " + (kGame / "levels").string();
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[512];
    while (fgets(buf, sizeof buf, p)) out += buf;
    int status = pclose(p);
    EXPECT_EQ(status, 0) << out;
    size_t lines = 0, good = 0;
    for (size_t at = 0; (at = out.find('\n', at)) != std::string::npos; at++) lines++;
    for (size_t at = 0; (at = out.find(", solvable, solutions ", at)) != std::string::npos; at++) good++;
    EXPECT_EQ(lines, ShippedLevels().size());
    EXPECT_EQ(good, lines);
    EXPECT_NE(out.find("level00.lev: level 0, items "), std::string::npos) << out;
    EXPECT_NE(out.find("cells 70"), std::string::npos);
    EXPECT_EQ(out.find("NOT SOLVABLE"), std::string::npos);
}

TEST(LevelFormat, WrittenLevelsReadBackAndBadOnesAreRefused) {
    gen::Level lv{3, {{"camera.bmp", 0, 7}, {"sock.bmp", 17, 2}}};
    std::string text = gen::FormatLevel(lv);
    EXPECT_EQ(text, "LEVEL 3\nITEMS 2\ncamera.bmp 0 7\nsock.bmp 17 2\n");
    gen::Level back;
    std::string error;
    ASSERT_TRUE(gen::ParseLevel(text, back, error));
    EXPECT_EQ(back.number, 3);
    ASSERT_EQ(back.items.size(), 2u);
    EXPECT_EQ(back.items[1].picture, "sock.bmp");
    EXPECT_EQ(back.items[1].col, 17);
    EXPECT_FALSE(gen::ParseLevel(" LEVEL 3\nITEMS 0\n", back, error));  // must begin the file
    EXPECT_FALSE(gen::ParseLevel("LEVEL 3\nITEMS 2\ncamera.bmp 0 7\n", back, error));
    EXPECT_FALSE(gen::ParseLevel("LEVEL 3\nITEMS 65\n", back, error));
}

}  // namespace
