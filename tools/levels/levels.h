// Levels: the text format the game reads, the play grid's regions, the item
// pictures as the game reads them, and the checker that vouches for a level.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "puzzle/level.h"
#include "puzzle/packing.h"
#include "tools/levels/case_solver.h"
#include "tools/art/items.h"

namespace gen {

// The game's own limits, so that the checker can never judge by others.
constexpr int kGridW = GRID_COLUMNS, kGridH = GRID_ROWS;
constexpr int kCaseX = CASE_LEFT, kCaseY = 0;
constexpr int kMaxLevelItems = MAX_LEVEL_ITEMS;
constexpr size_t kMaxPictureName = MAX_IMAGE_NAME;

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
std::string LevelFileName(int number);

// Level text read as the game reads it. Each fault is something the game would
// read otherwise than the text seems to mean, or not at all.
struct LevelText {
    Level level;           // what the game loads
    bool header = false;   // LEVEL and ITEMS both read
    std::vector<std::string> faults;
};
LevelText ReadLevelText(const std::string& text);

// Strict: false with the first fault as the reason.
bool ParseLevel(const std::string& text, Level& level, std::string& error);

// An item picture read as the game reads it: 16-bit, pixels from byte 54, the
// mask by the colour-key rule. A fault says why the game cannot use it as an item.
struct ItemPicture {
    CellMask mask;
    int width = 0, height = 0;  // pixels
    std::string fault;          // empty when it is a good item picture
    bool convertible = false;   // `valimo-levels picture` mends the fault
    int cellsW = 0, cellsH = 0; // the cells to scale it to, when its size is not whole cells
};
ItemPicture DecodeItemPicture(const std::vector<uint8_t>& bytes);
ItemPicture ReadItemPicture(const std::string& path);

struct Placement {
    int col = 0, row = 0;  // item's top-left cell in the grid
};

struct SolveResult {
    bool solvable = false;
    uint64_t solutions = 0;            // distinct packings
    bool complete = true;              // false: the count is a lower bound
    bool nodeLimitHit = false;         // the search ran out of steps before the cap
    std::vector<Placement> solution;   // one solution, in grid cells
    uint64_t nodes = 0;                // search steps taken
};

// Counting stops here: beyond it a level is as easy as it gets.
constexpr uint64_t kSolutionCap = 1024;
// Search steps a count may take; past it the count is a lower bound. About a
// second or two: no level a person could solve needs more.
constexpr uint64_t kSolveBudget = 20000000;

// Distinct packings of the masks into the case, each used once, no rotation.
SolveResult SolveCase(const std::vector<CellMask>& masks, uint64_t cap = kSolutionCap,
                      uint64_t maxNodes = kSolveBudget);

// The first packing found, or none within maxNodes steps (0: no limit).
SolveResult SolveFirst(const std::vector<CellMask>& masks, uint64_t maxNodes);

struct LevelReport {
    int items = 0;
    int cells = 0;
    bool counted = false;  // every picture was there and the cells add up, so the solver ran
    SolveResult solve;
    std::vector<std::string> faults;
    double difficulty = 0;
};

// Checks a level against its item masks (by picture name). Faults: missing or
// bad pictures (pictureFaults gives the reason by name), items with no solid
// cell, rectangles off the grid or not wholly on the table, solid cells
// overlapping at the start, a cell total other than 70, no packing.
LevelReport CheckLevel(const Level& level, const std::map<std::string, CellMask>& masks,
                       const std::map<std::string, std::string>& pictureFaults = {});

// The master tier after the first 64 levels: many small items, packed in one
// way only. A level numbered within it is held to that.
constexpr int kMasterFirst = 64, kMasterCount = 32;
constexpr int kMasterFewestItems = 16, kMasterMostItems = 20;
bool InMasterTier(int number);

// Higher is harder: more items, more irregular shapes, fewer solutions.
double Difficulty(const std::vector<CellMask>& masks, uint64_t solutions);

}  // namespace gen
