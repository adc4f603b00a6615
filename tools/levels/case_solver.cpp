#include "tools/levels/case_solver.h"

#include <algorithm>
#include <cmath>

namespace gen {

namespace {

// Cells are numbered down each column in turn: filling the first empty cell
// then keeps the edge of the packed part seven cells long, not ten, so holes
// that nothing can fill show up soon after they are made.
using Board = unsigned __int128;
constexpr int kCells = kCaseW * kCaseH;
constexpr Board kFull = (Board(1) << kCells) - 1;

constexpr int Bit(int x, int y) { return x * kCaseH + y; }

constexpr Board RowMask(int y) {
    Board b = 0;
    for (int x = 0; x < kCaseW; x++) b |= Board(1) << Bit(x, y);
    return b;
}
constexpr Board kNotTop = kFull & ~RowMask(0);
constexpr Board kNotBottom = kFull & ~RowMask(kCaseH - 1);

int FirstEmpty(Board taken) {
    Board free = ~taken & kFull;
    uint64_t low = uint64_t(free);
    if (low) return __builtin_ctzll(low);
    return 64 + __builtin_ctzll(uint64_t(free >> 64));
}

// The solid cell met first in the order cells are filled, as a mask index.
int FirstSolid(const CellMask& m) {
    for (int c = 0; c < m.w; c++)
        for (int r = 0; r < m.h; r++)
            if (m.At(c, r)) return r * m.w + c;
    return 0;
}

CaseSpot Corner(const CellMask& m, int cell) {
    int lead = FirstSolid(m);
    return {cell / kCaseH - lead % m.w, cell % kCaseH - lead / m.w};
}

struct Shape {
    CellMask mask;
    std::vector<int> items;   // the items of this shape, in input order
    Board at[kCells] = {};    // by the cell its first solid cell covers; 0 where it does not fit
    int left = 0;             // items of this shape not yet placed
    int area = 0;
};

// The rectangle placements of a mask, by the cell its first solid cell covers.
void Places(Shape& sh) {
    const CellMask& m = sh.mask;
    int lead = FirstSolid(m);
    for (int y = 0; y + m.h <= kCaseH; y++)
        for (int x = 0; x + m.w <= kCaseW; x++) {
            Board b = 0;
            for (int r = 0; r < m.h; r++)
                for (int c = 0; c < m.w; c++)
                    if (m.At(c, r)) b |= Board(1) << Bit(x + c, y + r);
            sh.at[Bit(x + lead % m.w, y + lead / m.w)] = b;
        }
}

struct Counting {
    std::vector<Shape> shapes;
    size_t items = 0;
    uint64_t cap = 0, maxNodes = 0;
    size_t keep = 1;
    CaseSearch out;
    Board taken = 0;
    int monominoLeft = 0;                   // one-cell items still to place
    std::vector<std::pair<int, int>> path;  // shape, first cell
    bool stop = false;

    void Found() {
        if (out.found.size() < keep) {
            std::vector<CaseSpot> spots(items);
            std::vector<size_t> next(shapes.size(), 0);
            for (auto [s, cell] : path) {
                const Shape& sh = shapes[size_t(s)];
                spots[size_t(sh.items[next[size_t(s)]++])] = Corner(sh.mask, cell);
            }
            out.found.push_back(std::move(spots));
        }
        if (++out.packings >= cap) {
            out.complete = false;
            stop = true;
        }
    }

    // An empty cell walled in on all four sides takes only a one-cell item.
    bool NoLoneCell() const {
        if (monominoLeft) return true;
        Board free = ~taken & kFull;
        Board near = ((free << 1) & kNotTop) | ((free >> 1) & kNotBottom) | (free << kCaseH) | (free >> kCaseH);
        return !(free & ~near);
    }

    void Step() {
        if (maxNodes && out.nodes >= maxNodes) {
            out.complete = false;
            out.nodeLimitHit = true;
            stop = true;
            return;
        }
        out.nodes++;
        if (taken == kFull) {
            Found();
            return;
        }
        int cell = FirstEmpty(taken);
        for (size_t s = 0; s < shapes.size() && !stop; s++) {
            Shape& sh = shapes[s];
            if (sh.left == 0) continue;
            Board b = sh.at[cell];
            if (!b || (b & taken)) continue;
            taken |= b;
            sh.left--;
            if (sh.area == 1) monominoLeft--;
            path.push_back({int(s), cell});
            if (NoLoneCell()) Step();
            path.pop_back();
            sh.left++;
            if (sh.area == 1) monominoLeft++;
            taken &= ~b;
        }
    }
};

struct Drawing {
    std::vector<Shape> pieces;  // one per mask; left counts the uses still allowed
    std::vector<double> weight;
    int n = 0, placed = 0, areaLeft = 0, smallest = kCells, largest = 0;
    Board taken = 0;
    uint64_t nodes = 0, maxNodes = 0;
    Rng* rng = nullptr;
    std::vector<PackedItem> path;

    bool Step() {
        if (taken == kFull) return placed == n;
        int itemsLeft = n - placed;
        if (itemsLeft <= 0 || ++nodes > maxNodes) return false;
        int cell = FirstEmpty(taken);
        double mean = double(areaLeft) / itemsLeft, spread = std::max(1.5, mean * 0.4);
        std::vector<std::pair<double, int>> order;
        for (size_t i = 0; i < pieces.size(); i++) {
            const Shape& p = pieces[i];
            if (p.left == 0 || !p.at[cell] || (p.at[cell] & taken)) continue;
            // What is left must still be n items' worth of area.
            int area = areaLeft - p.area, after = itemsLeft - 1;
            if (after == 0 ? area != 0 : area < after * smallest || area > after * largest) continue;
            double d = (p.area - mean) / spread;
            double w = weight[i] * std::exp(-0.5 * d * d) + 1e-9;
            // A weighted shuffle: each draws an exponential time, the soonest goes first.
            order.push_back({-std::log(1.0 - double(rng->Unit())) / w, int(i)});
        }
        std::sort(order.begin(), order.end());
        for (auto [key, i] : order) {
            Shape& p = pieces[size_t(i)];
            Board b = p.at[cell];
            taken |= b;
            p.left--;
            placed++;
            areaLeft -= p.area;
            path.push_back({i, Corner(p.mask, cell)});
            if (Step()) return true;
            path.pop_back();
            areaLeft += p.area;
            placed--;
            p.left++;
            taken &= ~b;
            if (nodes > maxNodes) return false;
        }
        return false;
    }
};

bool SameMask(const CellMask& a, const CellMask& b) { return a.w == b.w && a.h == b.h && a.solid == b.solid; }

}  // namespace

CaseSearch SearchCase(const std::vector<CellMask>& masks, uint64_t cap, uint64_t maxNodes, int keep) {
    Counting s;
    s.items = masks.size();
    s.cap = std::max<uint64_t>(cap, 1);
    s.maxNodes = maxNodes;
    s.keep = size_t(std::max(keep, 0));
    int area = 0;
    for (size_t i = 0; i < masks.size(); i++) {
        const CellMask& m = masks[i];
        if (m.Count() == 0) continue;
        area += m.Count();
        auto same = std::find_if(s.shapes.begin(), s.shapes.end(), [&](const Shape& sh) { return SameMask(sh.mask, m); });
        if (same == s.shapes.end()) {
            s.shapes.emplace_back();
            same = s.shapes.end() - 1;
            same->mask = m;
            same->area = m.Count();
        }
        same->items.push_back(int(i));
        same->left++;
    }
    // Exactly the case's cells, or no packing; also what keeps a full case
    // from leaving items over.
    if (area != kCells) return s.out;
    for (Shape& sh : s.shapes) Places(sh);
    // Big shapes first: they have the fewest places, so dead ends show early.
    // The order depends on the shapes alone, so the order of the items in a
    // level file never changes how long a count takes.
    std::sort(s.shapes.begin(), s.shapes.end(), [](const Shape& a, const Shape& b) {
        if (a.area != b.area) return a.area > b.area;
        if (a.mask.w != b.mask.w) return a.mask.w < b.mask.w;
        if (a.mask.h != b.mask.h) return a.mask.h < b.mask.h;
        return a.mask.solid < b.mask.solid;
    });
    for (const Shape& sh : s.shapes)
        if (sh.area == 1) s.monominoLeft += sh.left;
    s.Step();
    return s.out;
}

bool RandomPacking(const std::vector<CellMask>& masks, const std::vector<int>& limit, const std::vector<double>& weight,
                   int n, Rng& rng, uint64_t maxNodes, std::vector<PackedItem>& out) {
    Drawing d;
    d.n = n;
    d.rng = &rng;
    d.maxNodes = maxNodes;
    d.areaLeft = kCells;
    d.pieces.resize(masks.size());
    d.weight = weight;
    d.weight.resize(masks.size(), 1.0);
    for (size_t i = 0; i < masks.size(); i++) {
        Shape& p = d.pieces[i];
        p.mask = masks[i];
        p.area = masks[i].Count();
        p.left = i < limit.size() ? limit[i] : 1;
        if (p.area == 0 || p.left <= 0) {
            p.left = 0;
            continue;
        }
        Places(p);
        d.smallest = std::min(d.smallest, p.area);
        d.largest = std::max(d.largest, p.area);
    }
    out.clear();
    if (n <= 0 || !d.Step()) return false;
    out = d.path;
    return true;
}

}  // namespace gen
