// Making levels: a random packing of the case, its items shuffled and laid out
// on the table, counted by the checker's own solver. Behind `valimo-levels new`,
// and the way to propose a level for the committed set.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/levels/levels.h"

namespace gen {

struct Piece {
    std::string picture;  // file name in data/
    CellMask mask;
};

// The shipped items, each with the shape its picture is drawn to.
std::vector<Piece> ShippedPieces();

// Puts every item on the table: rectangles wholly on table cells, no solid
// cells shared. Prefers spots where rectangles do not overlap at all.
bool LayOutOnTable(std::vector<LevelItem>& items, const std::vector<CellMask>& masks, Rng& rng);

struct MadeLevel {
    Level level;
    std::vector<CellMask> masks;  // by item, in file order
    SolveResult solve;            // as the checker counts it
    double difficulty = 0;
};

// A player's level of about n items (n itself when it can be had, else the
// nearest count that can): solvable, every item on the table, and with a
// single distinct solution when unique is set. The same seed gives the same
// level. False with a reason when none was found.
bool MakePlayerLevel(const std::vector<Piece>& pieces, int n, bool unique, uint64_t seed, MadeLevel& out,
                     std::string& error);

// The most cells one piece covers, and so the fewest items that can fill the
// case with these pieces, by area alone; a level never holds more than kMostItems.
int LargestArea(const std::vector<Piece>& pieces);
int FewestItems(const std::vector<Piece>& pieces);
constexpr int kMostItems = kMaxLevelItems;

}  // namespace gen
