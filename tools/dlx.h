// Exact cover by dancing links (Knuth's Algorithm X). Primary columns must be
// covered exactly once, secondary columns at most once.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

namespace gen {

class Dlx {
public:
    Dlx(int primary, int secondary);
    // Adds a row covering the given columns; returns its index.
    int AddRow(const std::vector<int>& columns);
    // Calls found(rows) for each solution until it returns false. Stops after
    // maxUpdates link updates (0: no limit). Returns false when it stopped on
    // that limit, so the search is incomplete.
    bool Search(const std::function<bool(const std::vector<int>&)>& found, uint64_t maxUpdates = 0);
    uint64_t Updates() const { return updates_; }

private:
    struct Node {
        int left, right, up, down, column, row;
    };
    std::vector<Node> nodes_;
    std::vector<int> size_;
    int primary_;
    int rows_ = 0;
    uint64_t updates_ = 0, limit_ = 0;
    bool stopped_ = false, limitHit_ = false;
    std::vector<int> chosen_;

    void Cover(int c);
    void Uncover(int c);
    void Recurse(const std::function<bool(const std::vector<int>&)>& found);
};

// Counts solutions up to cap; sets complete to false when the search hit the
// cap or the update limit before finishing.
uint64_t CountSolutions(Dlx& dlx, uint64_t cap, bool* complete, uint64_t maxUpdates = 0);

}  // namespace gen
