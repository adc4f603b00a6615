// The things one packs. Each has one shape, given here as cells, and one
// picture drawn to exactly that shape: the game reads the shape back from the
// picture, so the two can never disagree.
#pragma once
#include <string>
#include <vector>

#include "tools/kit/image.h"

namespace gen {

constexpr int kCell = 32;

struct Art;  // the canvas a painter draws on, clipped to the item's cells
using ItemPainter = void (*)(Art&);

// One row per item: its name, its shape and its painter.
struct ItemShape {
    std::string name;               // file name without ".bmp"; the game labels the item with it
    std::vector<std::string> rows;  // 'X' solid, '.' empty; top row first
    ItemPainter paint = nullptr;
    int W() const { return rows.empty() ? 0 : int(rows[0].size()); }
    int H() const { return int(rows.size()); }
    bool Solid(int c, int r) const { return rows[size_t(r)][size_t(c)] == 'X'; }
    int Area() const;
    bool IsRectangle() const { return Area() == W() * H(); }
};

const std::vector<ItemShape>& ItemShapes();
int FindItem(const std::string& name);

// The picture of item i: W x 32 by H x 32 pixels, magenta outside its cells.
Image16 DrawItem(int i);

// The game's own mask rule: a cell is solid when any pixel of its 32 x 32 block
// is not the colour key (bit 15 ignored). Width and height are image / 32.
struct CellMask {
    int w = 0, h = 0;
    std::vector<bool> solid;
    bool At(int c, int r) const { return solid[size_t(r) * size_t(w) + size_t(c)]; }
    int Count() const;
};
CellMask MaskFromImage(const Image16& img);

}  // namespace gen
