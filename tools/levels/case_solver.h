// Packs item masks into the 10 x 7 case, without rotation, as the game allows:
// every item's whole rectangle inside the case, solid cells never shared.
//
// Items of one shape are interchangeable, so the search places shapes, not
// items: a packing that only swaps two items of the same shape is one packing.
// It fills the first empty cell in turn, so each packing is met exactly once.
#pragma once
#include <cstdint>
#include <vector>

#include "puzzle/packing.h"
#include "tools/kit/image.h"
#include "tools/art/items.h"

namespace gen {

constexpr int kCaseW = CASE_COLUMNS, kCaseH = CASE_ROWS;

struct CaseSpot {
    int x = 0, y = 0;  // top-left cell of the item's rectangle within the case
};

struct CaseSearch {
    uint64_t packings = 0;       // distinct packings found (stops at the cap)
    bool complete = true;        // false: the count is a lower bound
    bool nodeLimitHit = false;   // the search ran out of steps (else the cap stopped it)
    uint64_t nodes = 0;          // steps taken
    // The first packings found, as many as were asked for: by item, where it
    // goes. Items with no solid cell take no part and are put at (0, 0).
    std::vector<std::vector<CaseSpot>> found;
};

// Counts distinct packings of the masks into the case up to cap, taking at
// most maxNodes steps (0: no limit), and keeps the first `keep` of them.
CaseSearch SearchCase(const std::vector<CellMask>& masks, uint64_t cap, uint64_t maxNodes, int keep = 1);

// A random packing of the case by exactly n items drawn from the masks: mask
// i at most limit[i] times, likelier by weight[i] and the nearer its area is to
// what each item still to place must cover on average. Gives up after maxNodes
// steps.
struct PackedItem {
    int mask = 0;  // index into masks
    CaseSpot at;
};
bool RandomPacking(const std::vector<CellMask>& masks, const std::vector<int>& limit, const std::vector<double>& weight,
                   int n, Rng& rng, uint64_t maxNodes, std::vector<PackedItem>& out);

}  // namespace gen
