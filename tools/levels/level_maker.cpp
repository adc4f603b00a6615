#include "tools/levels/level_maker.h"

#include <algorithm>
#include <cstdlib>

namespace gen {

namespace {

CellMask ShapeMask(const ItemShape& s) {
    CellMask m;
    m.w = s.W();
    m.h = s.H();
    for (int r = 0; r < m.h; r++)
        for (int c = 0; c < m.w; c++) m.solid.push_back(s.Solid(c, r));
    return m;
}

bool Irregular(const CellMask& m) { return m.Count() != m.w * m.h; }

// From this many items on, a level with one solution is drawn ten times as often.
constexpr int kManyItems = 16;
// Steps a random packing may take before the draw starts again.
constexpr uint64_t kPackingSteps = 4000;
// Steps a made level's count may take: well inside the checker's limit, so
// the checker always counts it to the end.
constexpr uint64_t kMakerSolveSteps = 2000000;

struct Draw {
    const std::vector<Piece>& pieces;
    std::vector<CellMask> masks;
    explicit Draw(const std::vector<Piece>& p) : pieces(p) {
        for (const auto& piece : p) masks.push_back(piece.mask);
    }

    // A level of the packed items whose start lies on the table, its items in
    // shuffled order so the file does not give the packing away.
    bool Lay(std::vector<PackedItem> packed, Rng& rng, MadeLevel& out) const {
        for (size_t i = packed.size(); i > 1; i--) std::swap(packed[i - 1], packed[size_t(rng.Below(int(i)))]);
        out = MadeLevel{};
        for (const auto& p : packed) {
            out.level.items.push_back({pieces[size_t(p.mask)].picture, 0, 0});
            out.masks.push_back(masks[size_t(p.mask)]);
        }
        return LayOutOnTable(out.level.items, out.masks, rng);
    }

    // A solvable level of n items.
    bool Candidate(int n, const std::vector<int>& limit, const std::vector<double>& weight, Rng& rng, MadeLevel& out) {
        std::vector<PackedItem> packed;
        return RandomPacking(masks, limit, weight, n, rng, kPackingSteps, packed) && Lay(packed, rng, out);
    }
};

// Weights that make few ways to pack likelier: irregular shapes pin each other
// down, while rectangles and small things slip into many places.
void FavourFewWays(const std::vector<CellMask>& masks, std::vector<double>& weight) {
    for (size_t i = 0; i < masks.size(); i++)
        if (!Irregular(masks[i]) || masks[i].Count() <= 3) weight[i] *= 0.01;
}

// One attempt's own random numbers, so that an attempt can be made again alone.
uint64_t AttemptSeed(uint64_t seed, int slot, int attempt) {
    uint64_t z = seed ^ (uint64_t(slot) << 32) ^ uint64_t(attempt) * 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

std::vector<Piece> ShippedPieces() {
    std::vector<Piece> out;
    for (const auto& s : ItemShapes()) out.push_back({s.name + ".bmp", ShapeMask(s)});
    return out;
}

bool LayOutOnTable(std::vector<LevelItem>& items, const std::vector<CellMask>& masks, Rng& rng) {
    std::vector<int> order(items.size());
    for (size_t i = 0; i < order.size(); i++) order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const CellMask &ma = masks[size_t(a)], &mb = masks[size_t(b)];
        return ma.w * ma.h > mb.w * mb.h;
    });
    std::vector<bool> solid(size_t(kGridW * kGridH), false), rect(size_t(kGridW * kGridH), false);
    for (int i : order) {
        const CellMask& m = masks[size_t(i)];
        std::vector<std::pair<int, int>> spots;
        for (int row = 0; row + m.h <= kGridH; row++)
            for (int col = 0; col + m.w <= kGridW; col++) {
                bool ok = true;
                for (int r = 0; r < m.h && ok; r++)
                    for (int c = 0; c < m.w && ok; c++) ok = RegionAt(col + c, row + r) == kTable;
                if (ok) spots.push_back({col, row});
            }
        for (size_t k = spots.size(); k > 1; k--) std::swap(spots[k - 1], spots[size_t(rng.Below(int(k)))]);
        bool placed = false;
        for (int pass = 0; pass < 2 && !placed; pass++)
            for (auto [col, row] : spots) {
                bool ok = true;
                for (int r = 0; r < m.h && ok; r++)
                    for (int c = 0; c < m.w && ok; c++) {
                        size_t at = size_t((row + r) * kGridW + col + c);
                        if (pass == 0 && rect[at]) ok = false;
                        if (m.At(c, r) && solid[at]) ok = false;
                    }
                if (!ok) continue;
                for (int r = 0; r < m.h; r++)
                    for (int c = 0; c < m.w; c++) {
                        size_t at = size_t((row + r) * kGridW + col + c);
                        rect[at] = true;
                        if (m.At(c, r)) solid[at] = true;
                    }
                items[size_t(i)].col = col;
                items[size_t(i)].row = row;
                placed = true;
                break;
            }
        if (!placed) return false;
    }
    return true;
}

int LargestArea(const std::vector<Piece>& pieces) {
    int largest = 0;
    for (const auto& p : pieces) largest = std::max(largest, p.mask.Count());
    return largest;
}

int FewestItems(const std::vector<Piece>& pieces) {
    const int largest = LargestArea(pieces);
    return largest > 0 ? (kCaseW * kCaseH + largest - 1) / largest : 0;
}

bool MakePlayerLevel(const std::vector<Piece>& pieces, int n, bool unique, uint64_t seed, MadeLevel& out,
                     std::string& error) {
    if (pieces.empty()) {
        error = "no item pictures to make a level from";
        return false;
    }
    Draw draw(pieces);
    // Up to a score of items each picture is used once; beyond, repeats are
    // needed to make up the count.
    std::vector<int> limit(pieces.size(), n <= 20 ? 1 : n);
    std::vector<double> weight(pieces.size(), 1.0);
    if (unique) FavourFewWays(draw.masks, weight);
    // Near n when n itself will not do: n, n - 1, n + 1, n - 2, ... A single
    // solution is rarer the more items there are, so for one fewer come first,
    // and more only while there are few.
    std::vector<int> counts = {n};
    for (int off = 1; off <= 4; off++) counts.push_back(n - off);
    for (int off = 1; off <= 4; off++)
        if (!unique || n + off <= 12) counts.push_back(n + off);
    if (!unique) std::stable_sort(counts.begin(), counts.end(), [n](int a, int b) { return std::abs(a - n) < std::abs(b - n); });
    for (int count : counts) {
        if (count < FewestItems(pieces) || count > kMostItems) continue;
        // One solution among many items is rare by chance, but most draws are
        // told apart by their second packing within a few thousand steps.
        const int attempts = !unique ? 100 : count >= kManyItems ? 4000 : 400;
        for (int a = 0; a < attempts; a++) {
            Rng rng(AttemptSeed(seed, count, a));
            MadeLevel made;
            if (!draw.Candidate(count, limit, weight, rng, made)) continue;
            made.solve = SolveCase(made.masks, unique ? 2 : kSolutionCap, kMakerSolveSteps);
            if (!made.solve.solvable || made.solve.nodeLimitHit) continue;
            if (unique && !(made.solve.complete && made.solve.solutions == 1)) continue;
            made.difficulty = Difficulty(made.masks, made.solve.solutions);
            out = made;
            return true;
        }
    }
    error = std::string("no ") + (unique ? "level with a single solution" : "level") + " of about " +
            std::to_string(n) + " items found from this seed; try another seed" + (unique ? " or fewer items" : "");
    return false;
}

}  // namespace gen
