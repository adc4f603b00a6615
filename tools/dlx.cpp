#include "tools/dlx.h"

namespace gen {

// Node 0 is the root; nodes 1..columns are the column headers. Secondary
// headers link only to themselves, so they are never chosen to branch on.
Dlx::Dlx(int primary, int secondary) : primary_(primary) {
    int columns = primary + secondary;
    nodes_.resize(size_t(columns) + 1);
    size_.assign(size_t(columns) + 1, 0);
    nodes_[0] = {primary, primary >= 1 ? 1 : 0, 0, 0, 0, -1};
    if (primary == 0) nodes_[0].left = 0;
    for (int c = 1; c <= columns; c++) {
        Node& n = nodes_[size_t(c)];
        n.up = n.down = c;
        n.column = c;
        n.row = -1;
        if (c <= primary) {
            n.left = c - 1;
            n.right = c == primary ? 0 : c + 1;
        } else {
            n.left = n.right = c;
        }
    }
}

int Dlx::AddRow(const std::vector<int>& columns) {
    int first = -1;
    for (int col : columns) {
        int c = col + 1;
        if (c < 1 || c >= int(size_.size())) continue;
        int id = int(nodes_.size());
        Node n{};
        n.column = c;
        n.row = rows_;
        n.down = c;
        n.up = nodes_[size_t(c)].up;
        if (first < 0) {
            n.left = n.right = id;
            first = id;
        } else {
            n.right = first;
            n.left = nodes_[size_t(first)].left;
        }
        nodes_.push_back(n);
        nodes_[size_t(nodes_[size_t(id)].up)].down = id;
        nodes_[size_t(c)].up = id;
        if (id != first) {
            nodes_[size_t(nodes_[size_t(id)].left)].right = id;
            nodes_[size_t(first)].left = id;
        }
        size_[size_t(c)]++;
    }
    return rows_++;
}

void Dlx::Cover(int c) {
    nodes_[size_t(nodes_[size_t(c)].right)].left = nodes_[size_t(c)].left;
    nodes_[size_t(nodes_[size_t(c)].left)].right = nodes_[size_t(c)].right;
    for (int i = nodes_[size_t(c)].down; i != c; i = nodes_[size_t(i)].down)
        for (int j = nodes_[size_t(i)].right; j != i; j = nodes_[size_t(j)].right) {
            nodes_[size_t(nodes_[size_t(j)].down)].up = nodes_[size_t(j)].up;
            nodes_[size_t(nodes_[size_t(j)].up)].down = nodes_[size_t(j)].down;
            size_[size_t(nodes_[size_t(j)].column)]--;
            updates_++;
        }
}

void Dlx::Uncover(int c) {
    for (int i = nodes_[size_t(c)].up; i != c; i = nodes_[size_t(i)].up)
        for (int j = nodes_[size_t(i)].left; j != i; j = nodes_[size_t(j)].left) {
            size_[size_t(nodes_[size_t(j)].column)]++;
            nodes_[size_t(nodes_[size_t(j)].down)].up = j;
            nodes_[size_t(nodes_[size_t(j)].up)].down = j;
        }
    nodes_[size_t(nodes_[size_t(c)].right)].left = c;
    nodes_[size_t(nodes_[size_t(c)].left)].right = c;
}

void Dlx::Recurse(const std::function<bool(const std::vector<int>&)>& found) {
    if (stopped_) return;
    if (limit_ && updates_ > limit_) {
        stopped_ = limitHit_ = true;
        return;
    }
    if (nodes_[0].right == 0) {
        if (!found(chosen_)) stopped_ = true;
        return;
    }
    int best = nodes_[0].right;
    for (int c = nodes_[size_t(best)].right; c != 0; c = nodes_[size_t(c)].right)
        if (size_[size_t(c)] < size_[size_t(best)]) best = c;
    if (size_[size_t(best)] == 0) return;
    Cover(best);
    for (int r = nodes_[size_t(best)].down; r != best && !stopped_; r = nodes_[size_t(r)].down) {
        chosen_.push_back(nodes_[size_t(r)].row);
        for (int j = nodes_[size_t(r)].right; j != r; j = nodes_[size_t(j)].right) Cover(nodes_[size_t(j)].column);
        Recurse(found);
        for (int j = nodes_[size_t(r)].left; j != r; j = nodes_[size_t(j)].left) Uncover(nodes_[size_t(j)].column);
        chosen_.pop_back();
    }
    Uncover(best);
}

bool Dlx::Search(const std::function<bool(const std::vector<int>&)>& found, uint64_t maxUpdates) {
    stopped_ = limitHit_ = false;
    limit_ = maxUpdates ? updates_ + maxUpdates : 0;
    chosen_.clear();
    Recurse(found);
    return !limitHit_;
}

uint64_t CountSolutions(Dlx& dlx, uint64_t cap, bool* complete, uint64_t maxUpdates) {
    uint64_t count = 0;
    bool capped = false;
    bool finished = dlx.Search(
        [&](const std::vector<int>&) {
            if (++count >= cap) {
                capped = true;
                return false;
            }
            return true;
        },
        maxUpdates);
    if (complete) *complete = finished && !capped;
    return count;
}

}  // namespace gen
