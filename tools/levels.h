// Levels: the text format the game reads, the play grid's regions, an exact
// cover solver over the 10 x 7 case, the checker, and the generator that
// makes the shipped set.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/items.h"

namespace gen {

constexpr int kGridW = 20, kGridH = 11;
constexpr int kCaseX = 5, kCaseY = 0, kCaseW = 10, kCaseH = 7;

enum Region { kBlocked = 0, kCase = 1, kTable = 2 };
Region RegionAt(int col, int row);

struct LevelItem {
    std::string picture;  // file name in data/, e.g. "camera.bmp"
    int col = 0, row = 0;
};

struct Level {
    int number = 0;
    std::vector<LevelItem> items;
};

std::string FormatLevel(const Level& level);
// Reads the format the game reads; false with a reason on anything it would misread.
bool ParseLevel(const std::string& text, Level& level, std::string& error);

struct Placement {
    int col = 0, row = 0;  // item's top-left cell in the grid
};

struct SolveResult {
    bool solvable = false;
    uint64_t solutions = 0;
    bool complete = true;              // false: the count is a lower bound
    std::vector<Placement> solution;   // one solution, in grid cells
};

// Counting stops here: beyond it a level is as easy as it gets.
constexpr uint64_t kSolutionCap = 1024;
// Link updates a count may take; past it the count is a lower bound.
constexpr uint64_t kSolveBudget = 20000000;

// Packs the masks into the case, each used once, no rotation.
SolveResult SolveCase(const std::vector<CellMask>& masks, uint64_t cap = kSolutionCap);

// The first packing found, or none within maxUpdates link updates.
SolveResult SolveFirst(const std::vector<CellMask>& masks, uint64_t maxUpdates);

struct LevelReport {
    int items = 0;
    int cells = 0;
    SolveResult solve;
    std::vector<std::string> faults;
    double difficulty = 0;
};

// Checks a level against its item masks (by picture name). Faults: missing
// pictures, rectangles off the grid or not wholly on the table, solid cells
// overlapping at the start, cell total other than 70.
LevelReport CheckLevel(const Level& level, const std::map<std::string, CellMask>& masks);

// Higher is harder: more items, more irregular shapes, fewer solutions.
double Difficulty(const std::vector<CellMask>& masks, uint64_t solutions);

// The shipped levels, numbered from 0 and ordered by rising difficulty.
std::vector<Level> GenerateLevels(int count, uint64_t seed);

std::string LevelFileName(int number);

}  // namespace gen
