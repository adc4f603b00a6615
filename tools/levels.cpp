#include "tools/levels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>

#include "tools/dlx.h"

namespace gen {

Region RegionAt(int col, int row) {
    bool caseCol = col >= kCaseX && col < kCaseX + kCaseW;
    if (row < 2) return caseCol ? kCase : kBlocked;
    if (row < 7) return caseCol ? kCase : kTable;
    return kTable;
}

std::string LevelFileName(int number) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "level%02d.lev", number);
    return buf;
}

std::string FormatLevel(const Level& level) {
    std::string s = "LEVEL " + std::to_string(level.number) + "\nITEMS " + std::to_string(level.items.size()) + "\n";
    for (const auto& it : level.items)
        s += it.picture + " " + std::to_string(it.col) + " " + std::to_string(it.row) + "\n";
    return s;
}

bool ParseLevel(const std::string& text, Level& level, std::string& error) {
    if (text.rfind("LEVEL", 0) != 0) {
        error = "does not begin with LEVEL";
        return false;
    }
    std::istringstream in(text);
    std::string word;
    int count = -1;
    level = Level{};
    if (!(in >> word >> level.number) || word != "LEVEL") {
        error = "bad LEVEL line";
        return false;
    }
    if (!(in >> word >> count) || word != "ITEMS") {
        error = "bad ITEMS line";
        return false;
    }
    if (count < 0 || count > 64) {
        error = "ITEMS " + std::to_string(count) + " outside 0 to 64";
        return false;
    }
    for (int i = 0; i < count; i++) {
        LevelItem it;
        if (!(in >> it.picture >> it.col >> it.row)) {
            error = "item record " + std::to_string(i) + " missing or unreadable";
            return false;
        }
        if (it.picture.size() > 58) {
            error = "picture name " + it.picture + " longer than 58 characters";
            return false;
        }
        level.items.push_back(it);
    }
    if (in >> word) {
        error = "more records than ITEMS says";
        return false;
    }
    return true;
}

static SolveResult Solve(const std::vector<CellMask>& masks, uint64_t cap, uint64_t maxUpdates) {
    SolveResult res;
    int n = int(masks.size());
    Dlx dlx(kCaseW * kCaseH + n, 0);
    std::vector<std::pair<int, Placement>> rows;
    for (int i = 0; i < n; i++) {
        const CellMask& m = masks[size_t(i)];
        for (int y = 0; y + m.h <= kCaseH; y++)
            for (int x = 0; x + m.w <= kCaseW; x++) {
                std::vector<int> cols;
                for (int r = 0; r < m.h; r++)
                    for (int c = 0; c < m.w; c++)
                        if (m.At(c, r)) cols.push_back((y + r) * kCaseW + (x + c));
                if (cols.empty()) continue;
                cols.push_back(kCaseW * kCaseH + i);
                dlx.AddRow(cols);
                rows.push_back({i, Placement{kCaseX + x, kCaseY + y}});
            }
    }
    bool capped = false;
    bool finished = dlx.Search(
        [&](const std::vector<int>& chosen) {
        if (res.solutions == 0) {
            res.solution.assign(size_t(n), Placement{});
            for (int r : chosen) res.solution[size_t(rows[size_t(r)].first)] = rows[size_t(r)].second;
        }
        if (++res.solutions >= cap) {
            capped = true;
            return false;
        }
        return true;
        },
        maxUpdates);
    res.complete = finished && !capped;
    res.solvable = res.solutions > 0;
    return res;
}

SolveResult SolveCase(const std::vector<CellMask>& masks, uint64_t cap) { return Solve(masks, cap, kSolveBudget); }

SolveResult SolveFirst(const std::vector<CellMask>& masks, uint64_t maxUpdates) { return Solve(masks, 1, maxUpdates); }

double Difficulty(const std::vector<CellMask>& masks, uint64_t solutions) {
    int irregular = 0;
    for (const auto& m : masks) irregular += m.Count() != m.w * m.h;
    double log2s = std::log2(double(std::max<uint64_t>(solutions, 1)));
    return 10.0 * double(masks.size()) + 4.0 * irregular + 3.0 * std::max(0.0, 10.0 - log2s);
}

LevelReport CheckLevel(const Level& level, const std::map<std::string, CellMask>& masks) {
    LevelReport rep;
    rep.items = int(level.items.size());
    std::vector<CellMask> used;
    std::vector<int> owner(size_t(kGridW * kGridH), -1);
    bool allKnown = true;
    for (size_t i = 0; i < level.items.size(); i++) {
        const LevelItem& it = level.items[i];
        auto found = masks.find(it.picture);
        if (found == masks.end()) {
            rep.faults.push_back("item " + it.picture + ": no picture");
            allKnown = false;
            continue;
        }
        const CellMask& m = found->second;
        used.push_back(m);
        rep.cells += m.Count();
        if (it.col < 0 || it.row < 0 || it.col + m.w > kGridW || it.row + m.h > kGridH) {
            rep.faults.push_back("item " + it.picture + ": rectangle leaves the grid");
            continue;
        }
        bool onTable = true;
        for (int r = 0; r < m.h; r++)
            for (int c = 0; c < m.w; c++) {
                if (RegionAt(it.col + c, it.row + r) != kTable) onTable = false;
                if (!m.At(c, r)) continue;
                int& o = owner[size_t((it.row + r) * kGridW + it.col + c)];
                if (o >= 0)
                    rep.faults.push_back("items " + level.items[size_t(o)].picture + " and " + it.picture +
                                         " overlap at " + std::to_string(it.col + c) + "," + std::to_string(it.row + r));
                else
                    o = int(i);
            }
        if (!onTable) rep.faults.push_back("item " + it.picture + ": rectangle not wholly on the table");
    }
    if (rep.cells != kCaseW * kCaseH) rep.faults.push_back("cells " + std::to_string(rep.cells) + ", not 70");
    if (allKnown && rep.cells == kCaseW * kCaseH) rep.solve = SolveCase(used);
    else rep.solve.complete = true;
    rep.difficulty = Difficulty(used, rep.solve.solutions);
    return rep;
}

namespace {

struct Candidate {
    Level level;
    double difficulty = 0;
};

CellMask ShapeMask(const ItemShape& s) {
    CellMask m;
    m.w = s.W();
    m.h = s.H();
    for (int r = 0; r < m.h; r++)
        for (int c = 0; c < m.w; c++) m.solid.push_back(s.Solid(c, r));
    return m;
}

// A tiling of the case that uses every shape of the set once, or nothing.
std::vector<std::pair<int, Placement>> TileWith(const std::vector<int>& set, uint64_t maxUpdates) {
    std::vector<CellMask> masks;
    for (int i : set) masks.push_back(ShapeMask(ItemShapes()[size_t(i)]));
    SolveResult r = SolveFirst(masks, maxUpdates);
    std::vector<std::pair<int, Placement>> out;
    if (!r.solvable) return out;
    for (size_t k = 0; k < set.size(); k++) out.push_back({set[k], r.solution[k]});
    return out;
}

// Puts every item on the table: rectangles wholly on table cells, no solid
// cells shared. Prefers spots where rectangles do not overlap at all.
bool LayOutOnTable(std::vector<LevelItem>& items, Rng& rng) {
    const auto& shapes = ItemShapes();
    std::vector<int> order(items.size());
    for (size_t i = 0; i < order.size(); i++) order[i] = int(i);
    auto shapeOf = [&](int i) -> const ItemShape& {
        std::string name = items[size_t(i)].picture;
        return shapes[size_t(FindItem(name.substr(0, name.size() - 4)))];
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const auto &sa = shapeOf(a), &sb = shapeOf(b);
        return sa.W() * sa.H() > sb.W() * sb.H();
    });
    std::vector<bool> solid(size_t(kGridW * kGridH), false), rect(size_t(kGridW * kGridH), false);
    for (int i : order) {
        const ItemShape& s = shapeOf(i);
        std::vector<std::pair<int, int>> spots;
        for (int row = 0; row + s.H() <= kGridH; row++)
            for (int col = 0; col + s.W() <= kGridW; col++) {
                bool ok = true;
                for (int r = 0; r < s.H() && ok; r++)
                    for (int c = 0; c < s.W() && ok; c++) ok = RegionAt(col + c, row + r) == kTable;
                if (ok) spots.push_back({col, row});
            }
        for (size_t k = spots.size(); k > 1; k--) std::swap(spots[k - 1], spots[size_t(rng.Below(int(k)))]);
        bool placed = false;
        for (int pass = 0; pass < 2 && !placed; pass++)
            for (auto [col, row] : spots) {
                bool ok = true;
                for (int r = 0; r < s.H() && ok; r++)
                    for (int c = 0; c < s.W() && ok; c++) {
                        size_t at = size_t((row + r) * kGridW + col + c);
                        if (pass == 0 && rect[at]) ok = false;
                        if (s.Solid(c, r) && solid[at]) ok = false;
                    }
                if (!ok) continue;
                for (int r = 0; r < s.H(); r++)
                    for (int c = 0; c < s.W(); c++) {
                        size_t at = size_t((row + r) * kGridW + col + c);
                        rect[at] = true;
                        if (s.Solid(c, r)) solid[at] = true;
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

// Draws n distinct shapes whose cells add up to the case's 70, sized for the
// count: big things for few items, small and irregular ones for many.
std::vector<int> DrawSet(int n, Rng& rng) {
    const auto& shapes = ItemShapes();
    double mean = 70.0 / n;
    std::vector<double> base;
    for (const auto& s : shapes) {
        double d = (s.Area() - mean) / std::max(1.5, mean * 0.4);
        double w = std::exp(-0.5 * d * d);
        if (n >= 12 && !s.IsRectangle()) w *= 2.5;
        if (s.Area() == 1 && n < 15) w = 0;
        base.push_back(w + 1e-6);
    }
    for (int tries = 0; tries < 2000; tries++) {
        std::vector<double> weight = base;
        std::vector<int> set;
        int sum = 0;
        while (int(set.size()) < n - 1) {
            double total = 0;
            for (double w : weight) total += w;
            double pick = rng.Unit() * total;
            size_t k = 0;
            for (; k + 1 < weight.size(); k++) {
                if (pick < weight[k]) break;
                pick -= weight[k];
            }
            set.push_back(int(k));
            sum += shapes[k].Area();
            weight[k] = 0;
        }
        std::vector<int> last;
        for (size_t k = 0; k < shapes.size(); k++)
            if (weight[k] > 0 && shapes[k].Area() == 70 - sum && (n >= 15 || shapes[k].Area() > 1)) last.push_back(int(k));
        if (last.empty()) continue;
        set.push_back(last[size_t(rng.Below(int(last.size())))]);
        return set;
    }
    return {};
}

}  // namespace

std::vector<Level> GenerateLevels(int count, uint64_t seed) {
    const auto& shapes = ItemShapes();
    Rng rng(seed);
    std::vector<Candidate> made;
    for (int k = 0; k < count; k++) {
        int target = 8 + int(std::lround(double(k) * 10.0 / double(std::max(1, count - 1))));
        for (int attempt = 0;; attempt++) {
            std::vector<int> set = DrawSet(target, rng);
            if (set.empty()) continue;
            auto tiling = TileWith(set, 40000);
            if (tiling.empty()) continue;
            int n = int(tiling.size());
            Candidate cand;
            std::vector<CellMask> masks;
            // The order in the file is shuffled so that the file does not give the solution away.
            for (size_t i = tiling.size(); i > 1; i--) std::swap(tiling[i - 1], tiling[size_t(rng.Below(int(i)))]);
            for (auto& [shape, at] : tiling) {
                cand.level.items.push_back({shapes[size_t(shape)].name + ".bmp", 0, 0});
                masks.push_back(ShapeMask(shapes[size_t(shape)]));
            }
            if (!LayOutOnTable(cand.level.items, rng)) continue;
            SolveResult sr = SolveCase(masks);
            if (!sr.solvable) continue;
            cand.difficulty = Difficulty(masks, sr.solutions);
            if (std::getenv("VALIMO_GEN_VERBOSE"))
                std::fprintf(stderr, "level slot %d: %d items, %llu solutions, %d attempts\n", k, n,
                             static_cast<unsigned long long>(sr.solutions), attempt + 1);
            made.push_back(std::move(cand));
            break;
        }
    }
    std::stable_sort(made.begin(), made.end(),
                     [](const Candidate& a, const Candidate& b) { return a.difficulty < b.difficulty; });
    std::vector<Level> out;
    for (int k = 0; k < int(made.size()); k++) {
        made[size_t(k)].level.number = k;
        out.push_back(made[size_t(k)].level);
    }
    return out;
}

}  // namespace gen
