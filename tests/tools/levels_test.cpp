// The solver, reader and checker that vouch for levels.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "bmp_writer.h"
#include "gfx/display.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"
#include "puzzle/puzzle_support.h"
#include "test_support.h"
#include "tools/kit/image.h"
#include "tools/art/items.h"
#include "tools/levels/levels.h"
#include "tools/pack_as_solver.h"

namespace {

namespace fs = std::filesystem;


gen::CellMask Mask(const std::vector<std::string>& rows) {
    gen::CellMask m;
    m.h = int(rows.size());
    m.w = int(rows[0].size());
    for (const auto& r : rows)
        for (char c : r) m.solid.push_back(c == 'X');
    return m;
}

gen::CellMask Rect(int w, int h) { return Mask(std::vector<std::string>(size_t(h), std::string(size_t(w), 'X'))); }

// True when the spots pack every solid cell of the case once, each rectangle inside it.
bool PacksTheCase(const std::vector<gen::CellMask>& masks, const std::vector<gen::CaseSpot>& at) {
    std::vector<int> cover(70, 0);
    for (size_t i = 0; i < masks.size(); i++) {
        const auto& m = masks[i];
        if (at[i].x < 0 || at[i].y < 0 || at[i].x + m.w > 10 || at[i].y + m.h > 7) return false;
        for (int y = 0; y < m.h; y++)
            for (int x = 0; x < m.w; x++)
                if (m.At(x, y)) cover[size_t((at[i].y + y) * 10 + at[i].x + x)]++;
    }
    return std::all_of(cover.begin(), cover.end(), [](int c) { return c == 1; });
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    return all;
}

TEST(CaseSolver, CountsPackingsThatOnlySwapItemsOfOneShapeOnce) {
    // Two halves of one shape: swapping them is the same packing.
    auto same = gen::SolveCase({Rect(5, 7), Rect(5, 7)});
    EXPECT_TRUE(same.complete);
    EXPECT_EQ(same.solutions, 1u);
    // Two of different widths: either may go left. The solution names grid
    // cells: the case starts at column 5, row 0.
    auto two = gen::SolveCase({Rect(4, 7), Rect(6, 7)});
    EXPECT_EQ(two.solutions, 2u);
    EXPECT_EQ(std::min(two.solution[0].col, two.solution[1].col), 5);
    EXPECT_EQ(two.solution[0].row, 0);
    // Four double columns and two single ones: which 2 of 6 places the single
    // ones take, 15 ways; counting the items apart would give 15 x 4! x 2!.
    std::vector<gen::CellMask> columns = {Rect(2, 7), Rect(1, 7), Rect(2, 7), Rect(2, 7), Rect(1, 7), Rect(2, 7)};
    gen::CaseSearch found = gen::SearchCase(columns, 1000, 0, 20);
    EXPECT_EQ(found.packings, 15u);
    EXPECT_TRUE(found.complete);
    ASSERT_EQ(found.found.size(), 15u);
    std::set<std::vector<int>> seen;
    for (const auto& at : found.found) {
        EXPECT_TRUE(PacksTheCase(columns, at));
        std::vector<int> singles = {at[1].x, at[4].x};
        std::sort(singles.begin(), singles.end());
        EXPECT_TRUE(seen.insert(singles).second);
    }
}

TEST(CaseSolver, AnItemsWholeRectangleMustLieInTheCase) {
    // 69 cells with a clear corner, and one cell for it.
    std::vector<std::string> rows(7, "XXXXXXXXXX");
    rows[6][9] = '.';
    auto fits = gen::SolveCase({Mask(rows), Rect(1, 1)});
    EXPECT_EQ(fits.solutions, 1u);
    EXPECT_EQ(fits.solution[1].col, 5 + 9);
    EXPECT_EQ(fits.solution[1].row, 6);
    // The same cells in a picture one column wider, the last column clear: it
    // would cover the case exactly, but its rectangle sticks out.
    for (auto& r : rows) r += ".";
    auto wide = gen::SolveCase({Mask(rows), Rect(1, 1)});
    EXPECT_FALSE(wide.solvable);
    EXPECT_TRUE(wide.complete);
    // An item with no solid cell takes no part.
    gen::CellMask empty = Mask({".."});
    auto withEmpty = gen::SolveCase({Rect(5, 7), empty, Rect(5, 7)});
    EXPECT_TRUE(withEmpty.solvable);
}

TEST(CaseSolver, StopsAtItsCapOrStepLimitAndSaysTheCountIsALowerBound) {
    // Eight different blocks: thousands of packings.
    std::vector<gen::CellMask> blocks = {Rect(1, 3), Rect(1, 4), Rect(2, 3), Rect(2, 4),
                                         Rect(3, 3), Rect(3, 4), Rect(4, 3), Rect(4, 4)};
    auto capped = gen::SolveCase(blocks);
    EXPECT_EQ(capped.solutions, gen::kSolutionCap);
    EXPECT_FALSE(capped.complete);
    EXPECT_FALSE(capped.nodeLimitHit);
    auto limited = gen::SolveCase(blocks, gen::kSolutionCap, 50);
    EXPECT_FALSE(limited.complete);
    EXPECT_TRUE(limited.nodeLimitHit);
    EXPECT_LE(limited.nodes, 50u);
    EXPECT_LT(limited.solutions, gen::kSolutionCap);
}

TEST(CaseSolver, RandomPackingFillsTheCaseWithExactlyNItemsWithinTheirLimits) {
    std::vector<gen::CellMask> masks;
    for (const auto& s : gen::ItemShapes()) masks.push_back(Mask(s.rows));
    std::vector<int> limit(masks.size(), 1);
    std::vector<double> weight(masks.size(), 1.0);
    for (int n : {8, 12, 16}) {
        gen::Rng rng{uint64_t(n)};
        std::vector<gen::PackedItem> out;
        ASSERT_TRUE(gen::RandomPacking(masks, limit, weight, n, rng, 100000, out)) << n;
        ASSERT_EQ(out.size(), size_t(n));
        std::vector<gen::CellMask> used;
        std::vector<gen::CaseSpot> at;
        std::set<int> seen;
        for (const auto& p : out) {
            EXPECT_TRUE(seen.insert(p.mask).second) << "mask " << p.mask << " used twice";
            used.push_back(masks[size_t(p.mask)]);
            at.push_back(p.at);
        }
        EXPECT_TRUE(PacksTheCase(used, at)) << n;
    }
    // No packing has 80 items.
    gen::Rng rng(1);
    std::vector<gen::PackedItem> out;
    EXPECT_FALSE(gen::RandomPacking(masks, limit, weight, 80, rng, 100000, out));
}

struct TextCase {
    std::string text;
    std::string fault;  // a part of the fault expected; empty: none
    size_t most = 1;    // faults at most: one fault, one line
};

// The reader says what the game loads: each text is loaded by the game's own
// level list and loader, and the two must agree on the number and every item.
TEST(LevelText, ReadsWhatTheGameLoadsAndNamesEveryDifference) {
    MakeScratchDirectory();
    StartDisplay();
    WriteItemPicture("a.bmp", {"#"});
    WriteItemPicture("b.bmp", {"##"});
    std::string many = "LEVEL 2\nITEMS 65\n";
    for (int i = 0; i < 65; i++) many += "a.bmp 0 7\n";
    std::string longName = "LEVEL 2\nITEMS 2\n" + std::string(55, 'n') + ".bmp 0 7\nb.bmp 3 8\n";
    const std::vector<TextCase> cases = {
        {"LEVEL 3\nITEMS 2\na.bmp 0 7\nb.bmp 17 2\n", ""},
        {"LEVEL5  ITEMS1\ta.bmp 1\n8", ""},
        {"\xEF\xBB\xBFLEVEL 1\nITEMS 1\na.bmp 0 7\n", "byte-order mark"},
        {" LEVEL 1\nITEMS 1\na.bmp 0 7\n", "white space"},
        {"", "does not begin with the word LEVEL"},
        {"LEVEL x\nITEMS 1\na.bmp 0 7\n", "no level number"},
        {"LEVEL 7\nITEM 1\na.bmp 0 7\n", "not by ITEMS"},
        {"LEVEL 7\nITEMS\n", "no item count"},
        {"LEVEL 7\nITEMS -1\n", "below 0"},
        {"LEVEL 7\nITEMS 3\na.bmp 0 7\nb.bmp 2", "only 1 whole item record(s) follow (the file ends early)"},
        {"LEVEL 7\nITEMS 2\na.bmp 3x 7\nb.bmp 0 8\n", "no whole item record follows ('x' in item record 1 is not a whole number)"},
        {"LEVEL 7\nITEMS 2\na.bmp 0 7q 1 8\n", "row '7q' is not a whole number; the game reads what follows", 2},
        {"LEVEL 7\nITEMS 1\na.bmp 0 7\nb.bmp 0 8\n", "more text after the last of the 1 item records"},
        {many, "more than 64"},
        {longName, "longer than 58 characters"},
        {"LEVEL 7\nITEMS 1\nab 0 7\n", "does not end in .bmp"},
        {"LEVEL 99999999999\nITEMS 0\n", "level number out of range"},
        {"LEVEL -2\nITEMS 0\n", "level number -2 is below 0, so no player ever reaches it"},
        {"LEVEL 1\nITEMS 1\na\x01.bmp 0 7\n", "not text (0x01 at byte 17)"},
    };
    for (const auto& c : cases) {
        gen::LevelText read = gen::ReadLevelText(c.text);
        std::string faults = Joined(read.faults);
        if (c.fault.empty())
            EXPECT_EQ(faults, "") << c.text;
        else
            EXPECT_NE(faults.find(c.fault), std::string::npos) << c.text << "\n" << faults;
        EXPECT_LE(read.faults.size(), c.most) << faults;

        fs::remove_all("levels");
        WriteFile("levels/case.lev", c.text);
        LoadLevelList();
        ASSERT_EQ(levelList.count, 1);
        EXPECT_EQ(levelList.entries[0].levelNumber, read.level.number) << c.text;
        LoadLevel(levelList.entries[0].levelNumber);
        ASSERT_EQ(gameLevel.itemCount, int(read.level.items.size())) << c.text;
        for (size_t i = 0; i < read.level.items.size(); i++) {
            EXPECT_EQ(std::string(gameLevel.imagePaths[i]), "data/" + read.level.items[i].picture) << c.text;
            EXPECT_EQ(gameLevel.items[i].column, read.level.items[i].col) << c.text;
            EXPECT_EQ(gameLevel.items[i].row, read.level.items[i].row) << c.text;
        }
    }
}

std::string Good16() {
    std::vector<uint16_t> px(64 * 32, kMagenta555);
    for (int y = 0; y < 32; y++) px[size_t(y * 64 + 5)] = 0x03E0;  // one line of ink in the left cell
    return MakeBmp(64, 32, px);
}

std::string Patched(std::string b, size_t at, uint32_t v) {
    for (int k = 0; k < 4; k++) b[at + size_t(k)] = char((v >> (8 * k)) & 0xFF);
    return b;
}

TEST(ItemPictures, ReadAsTheGameReadsThemOrRefusedWithTheReason) {
    const std::string g = Good16();
    gen::ItemPicture good = gen::DecodeItemPicture(std::vector<uint8_t>(g.begin(), g.end()));
    EXPECT_EQ(good.fault, "");
    ASSERT_EQ(good.mask.w, 2);
    EXPECT_TRUE(good.mask.At(0, 0));
    EXPECT_FALSE(good.mask.At(1, 0));
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"GIF89a and more bytes than a header", "not a BMP"},
        {g.substr(0, 30), "cut short: 30 bytes"},
        {MakeBmp(32, 32, std::vector<uint16_t>(1024, 0x03E0), 24), "24-bit, not 16-bit; the game stops"},
        {g.substr(0, g.size() - 10), "cut short: 4086 of 4096 pixel bytes"},
        {MakeBmp(40, 32, std::vector<uint16_t>(40 * 32, 0x03E0)), "not whole 32-pixel cells"},
        {MakeBmp(32, 32, std::vector<uint16_t>(1024, kMagenta555)), "no solid cell"},
        {Patched(g, 10, 60), "pixels start at byte 60"},
        {Patched(g, 30, 3), "compression 3"},
        {Patched(g, 22, uint32_t(-32)), "size 64 x -32 pixels"},
    };
    for (const auto& [bytes, why] : bad) {
        gen::ItemPicture p = gen::DecodeItemPicture(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        EXPECT_NE(p.fault.find(why), std::string::npos) << why << " / " << p.fault;
    }
}

// The checker judges by the game's own grid and limits: its regions are the
// ones the game builds, cell by cell, and its numbers are the game's.
TEST(LevelChecker, JudgesByTheGamesOwnGridAndLimits) {
    BuildGridTemplate();
    ResetGrid();
    for (int row = 0; row < GRID_ROWS; row++)
        for (int col = 0; col < GRID_COLUMNS; col++)
            EXPECT_EQ(int(gen::RegionAt(col, row)), int(CellAt(col, row)->region)) << col << "," << row;
    EXPECT_EQ(gen::kGridW * gen::kGridH, GRID_COLUMNS * GRID_ROWS);
    EXPECT_EQ(gen::kCaseW * gen::kCaseH, CASE_CELLS);
    EXPECT_EQ(gen::kMaxLevelItems, MAX_LEVEL_ITEMS);
    EXPECT_EQ(gen::kMaxPictureName, size_t(MAX_IMAGE_NAME));
}

TEST(LevelChecker, ReportsOverlapsRectanglesOffTheTableAndAWrongCellCount) {
    std::map<std::string, gen::CellMask> masks = {{"a.bmp", Rect(5, 7)}, {"b.bmp", Rect(5, 6)}, {"e.bmp", Mask({".."})}};
    gen::Level lv;
    lv.items = {{"a.bmp", 0, 2}, {"b.bmp", 2, 3}};  // b's cells land on a's
    auto r = gen::CheckLevel(lv, masks);
    std::string all = Joined(r.faults);
    EXPECT_NE(all.find("items a.bmp and b.bmp overlap at 2,3"), std::string::npos) << all;
    EXPECT_NE(all.find("cover 65 cells, not the case's 70"), std::string::npos) << all;
    EXPECT_FALSE(r.counted);

    lv.items = {{"a.bmp", 5, 0}, {"a.bmp", 15, 2}};  // the first starts in the case
    r = gen::CheckLevel(lv, masks);
    ASSERT_EQ(r.faults.size(), 1u) << Joined(r.faults);
    EXPECT_NE(r.faults[0].find("a.bmp at 5,0: rectangle not wholly on the table"), std::string::npos);
    EXPECT_TRUE(r.counted);
    EXPECT_EQ(r.solve.solutions, 1u);

    lv.items = {{"a.bmp", 0, 5}, {"a.bmp", 16, 2}, {"missing.bmp", 0, 0}, {"bad.bmp", 0, 0}, {"e.bmp", 0, 9}};
    r = gen::CheckLevel(lv, masks, {{"bad.bmp", "24-bit"}});
    all = Joined(r.faults);
    EXPECT_NE(all.find("a.bmp at 16,2: rectangle leaves the grid"), std::string::npos) << all;
    EXPECT_NE(all.find("missing.bmp: no picture"), std::string::npos) << all;
    EXPECT_NE(all.find("bad.bmp: 24-bit"), std::string::npos) << all;
    EXPECT_NE(all.find("e.bmp: no solid cell"), std::string::npos) << all;
    EXPECT_FALSE(r.counted);

    // Seventy cells that cannot be packed.
    masks["tall.bmp"] = Rect(1, 8);
    masks["wide.bmp"] = Rect(5, 4);
    masks["rest.bmp"] = Rect(6, 7);
    lv.items = {{"tall.bmp", 0, 2}, {"wide.bmp", 15, 7}, {"rest.bmp", 1, 2}};
    r = gen::CheckLevel(lv, masks);
    EXPECT_NE(Joined(r.faults).find("cannot be packed into the case"), std::string::npos) << Joined(r.faults);
}

// Whatever it is given, the checker answers with a line naming the file and
// its fault and a status of 1; it neither crashes nor waits.
TEST(LevelChecker, CommandNamesTheFileAndFaultOfBrokenInput) {
    std::string dir = MakeScratchDirectory();
    WriteItemPicture("a.bmp", {"#####", "#####", "#####", "#####", "#####", "#####", "#####"});
    WriteFile("data/deep.bmp", MakeBmp(32, 32, std::vector<uint16_t>(1024, 0x03E0), 24));
    // Eight different blocks, packed thousands of ways.
    const int blocks[8][2] = {{1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 3}, {3, 4}, {4, 3}, {4, 4}};
    std::string easy = "LEVEL 97\nITEMS 8\n";
    int col = 0;
    for (const auto& [w, h] : blocks) {
        std::string name = "b" + std::to_string(w) + std::to_string(h) + ".bmp";
        WriteItemPicture(name, std::vector<std::string>(size_t(h), std::string(size_t(w), '#')));
        easy += name + " " + std::to_string(col) + " 7\n";
        col += w;
    }
    WriteFile("levels/good.lev", "LEVEL 96\nITEMS 2\na.bmp 0 2\na.bmp 15 2\n");
    WriteFile("levels/easy.lev", easy);
    WriteFile("levels/short.lev", "LEVEL 96\nITEMS 2\na.bmp 0 2\n");
    WriteFile("levels/binary.lev", std::string("\x7F" "ELF\x02\x01\x01\0\0\0", 10) + std::string(200, '\0'));
    WriteFile("levels/nopicture.lev", "LEVEL 96\nITEMS 2\na.bmp 0 2\nhat.bmp 15 2\n");
    WriteFile("levels/deep.lev", "LEVEL 96\nITEMS 2\na.bmp 0 2\ndeep.bmp 15 2\n");
    WriteFile("mine.txt", "LEVEL 96\nITEMS 2\na.bmp 0 2\na.bmp 15 2\n");
    fs::create_directory("empty");
    ASSERT_EQ(mkfifo("levels/pipe.lev", 0600), 0);
    ToolRun run = RunLevelsTool("check --data data levels mine.txt empty nothing.lev");
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    const char* expected[] = {
        "levels/good.lev: level 96, 2 items, 70 cells, solvable, 1 distinct solution, difficulty 50.0, no faults\n",
        "levels/easy.lev: level 97, 8 items, 70 cells, solvable, at least 1024 distinct solutions, difficulty 80.0, no faults\n",
        "levels/short.lev: fault: ITEMS says 2, but only 1 whole item record(s) follow (the file ends early)\n",
        "levels/binary.lev: fault: holds a byte that is not text (0x7F at byte 0); a level file is plain text\n",
        "levels/binary.lev: fault: does not begin with the word LEVEL; the game reads it as level 0 with no items\n",
        "levels/nopicture.lev: fault: item hat.bmp: picture data/hat.bmp: cannot be read (No such file or directory)\n",
        "levels/deep.lev: fault: item deep.bmp: picture data/deep.bmp: 24-bit, not 16-bit; the game stops with a fatal error "
        "on it; convert it with: valimo-levels picture data/deep.bmp data/deep.bmp\n",
        "levels/pipe.lev: fault: not a plain file\n",
        "mine.txt: level 96, 2 items, 70 cells, solvable, 1 distinct solution, difficulty 50.0, 1 fault\n",
        "mine.txt: fault: the file name does not end in .lev, so the game does not list it\n",
        "empty: fault: no level files (.lev) in this folder\n",
        "nothing.lev: fault: cannot be read (No such file or directory)\n",
    };
    for (const char* line : expected) EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    EXPECT_NE(run.out.find("levels/short.lev: level 96, 1 items, 35 cells, not solvable, 2 faults\n"), std::string::npos)
        << run.out;

    // Bad usage: no file, an unknown option, a data folder that is not there.
    EXPECT_EQ(RunLevelsTool("check").status, 2);
    EXPECT_EQ(RunLevelsTool("check --fast levels").status, 2);
    ToolRun noData = RunLevelsTool("check --data nowhere levels");
    EXPECT_EQ(noData.status, 2);
    EXPECT_NE(noData.err.find("nowhere: not a folder"), std::string::npos) << noData.err;
    EXPECT_EQ(RunLevelsTool("check --data data levels/good.lev").status, 0);
}

}  // namespace
