#include "puzzle/packing.h"

#include "puzzle/progress.h"

#include <cstdlib>

#include "gfx/display.h"
#include "gfx/font.h"
#include "gfx/sprite.h"
#include "input/input.h"
#include "puzzle/level.h"
#include "puzzle/progress.h"
#include "sound/sound.h"

PlayGrid gridTemplate{};
PlayGrid playGrid{};

bool carrying = false;
int carriedItem = 0;
bool hoverMark = false;
int hoverItem = 0;
int packedCells = 0;
float packedPercent = 0.0f;
uint16_t itemLabelColour = 0xFF67;

namespace {

constexpr int POINTER_HAND = 1;
// The single-precision number nearest to 100 / 70.
constexpr float PERCENT_PER_CELL = 1.4285715f;

bool ValidItem(int item) { return item >= 0 && item < MAX_ITEMS; }

// Cells outside the grid do not exist: an item that reached them would read and
// mark memory that is not the grid.
bool InGrid(int column, int row) { return column >= 0 && column < GRID_COLUMNS && row >= 0 && row < GRID_ROWS; }

}  // namespace

void BuildGridTemplate() {
    for (int row = 0; row < GRID_ROWS; row++) {
        for (int column = 0; column < GRID_COLUMNS; column++) {
            GridCell& cell = gridTemplate.cells[row * GRID_COLUMNS + column];
            const bool middle = column >= CASE_LEFT && column < CASE_LEFT + CASE_COLUMNS;
            if (row < 2 && !middle) {
                cell = {RegionBlocked, true};
            } else if (row < CASE_ROWS && middle) {
                cell = {RegionCase, false};
            } else {
                cell = {RegionTable, false};
            }
        }
    }
}

void ResetGrid() { playGrid = gridTemplate; }

GridCell* CellAt(int column, int row) {
    return InGrid(column, row) ? &playGrid.cells[row * GRID_COLUMNS + column] : nullptr;
}

// Changed on purpose: placement outside the grid (docs/BEHAVIOUR.md).
int TestPlacement(int item, int column, int row, int width, int height) {
    if (!ValidItem(item) || width < 0 || height < 0 || !InGrid(column, row) || column + width > GRID_COLUMNS ||
        row + height > GRID_ROWS)
        return PlaceMismatch;
    const Item& it = gameLevel.items[item];
    const uint8_t reference = CellAt(column, row)->region;
    for (int r = 0; r < height; r++) {
        for (int c = 0; c < width; c++) {
            const GridCell* cell = CellAt(column + c, row + r);
            if (cell->region != reference) return PlaceMismatch;
            const size_t index = size_t(r) * size_t(it.width) + size_t(c);
            const bool solid = c < it.width && r < it.height && index < it.mask.size() && it.mask[index];
            if (solid && cell->occupied) return PlaceCollision;
        }
    }
    return PlaceFits;
}

void DropItem(int item, int column, int row) {
    if (!ValidItem(item)) return;
    Item& it = gameLevel.items[item];
    if (TestPlacement(item, column, row, it.width, it.height) != PlaceFits) return;
    it.column = column;
    it.row = row;
    it.carried = false;
    carrying = false;
    // Kept on purpose: unseeded drop sounds (docs/BEHAVIOUR.md).
    // Never seeded: the drop sounds follow the same sequence in every run.
    PlaySoundEffect(std::rand() % 5 + SFX_DROP_FIRST);
}

void UpdateItem(int item, bool interact) {
    if (!ValidItem(item)) return;
    Item& it = gameLevel.items[item];
    // An item with no cells has nothing to draw and nothing to cover.
    if (it.carried || it.width <= 0 || it.height <= 0) return;
    const int left = CELL_SIZE * it.column;
    const int top = GRID_TOP + CELL_SIZE * it.row;
    BlitSpriteKeyed(backBuffer, it.image, left, top, CELL_SIZE * it.width, CELL_SIZE * it.height);
    if (!interact) return;
    for (int r = 0; r < it.height; r++) {
        for (int c = 0; c < it.width; c++) {
            const size_t index = size_t(r) * size_t(it.width) + size_t(c);
            if (index >= it.mask.size() || !it.mask[index]) continue;
            // Both ends belong to the box: a pointer on a cell border is over both cells.
            const int x0 = CELL_SIZE * (it.column + c), x1 = x0 + CELL_SIZE;
            const int y0 = GRID_TOP + CELL_SIZE * (it.row + r), y1 = y0 + CELL_SIZE;
            if (mouseX >= x0 && mouseX <= x1 && mouseY >= y0 && mouseY <= y1) {
                if (!carrying) {
                    hoverMark = true;
                    hoverItem = item;
                }
                pointerShape = POINTER_HAND;
                if (mouseClick && !carrying) {
                    it.carried = true;
                    carriedItem = item;
                    it.grabX = mouseX - left;
                    it.grabY = mouseY - top;
                    mouseClick = false;
                    carrying = true;
                }
            }
            if (GridCell* cell = CellAt(it.column + c, it.row + r)) cell->occupied = true;
        }
    }
}

void DrawItems(bool interact) {
    hoverMark = false;
    for (int i = 0; i < gameLevel.itemCount && i < MAX_ITEMS; i++) UpdateItem(i, interact);
    if (!hoverMark || !interact || !ValidItem(hoverItem)) return;
    const char* name = gameLevel.items[hoverItem].name;
    SelectFont(1);
    FillScreenRect(mouseX + 20, mouseY + 2, TextWidth(name) + 4, 13, itemLabelColour);
    PrintText(name, mouseX + 22, mouseY);
}

void DrawCarriedItem() {
    if (!ValidItem(carriedItem)) return;
    const Item& it = gameLevel.items[carriedItem];
    if (!it.carried || it.width <= 0 || it.height <= 0) return;
    BlitSpriteKeyed(backBuffer, it.image, mouseX - it.grabX, mouseY - it.grabY, CELL_SIZE * it.width,
                    CELL_SIZE * it.height);
}

void ClampCarriedItem() {
    if (!carrying || !ValidItem(carriedItem)) return;
    const Item& it = gameLevel.items[carriedItem];
    const int right = CELL_SIZE * it.width - it.grabX;
    const int bottom = CELL_SIZE * it.height - it.grabY;
    if (mouseX + right > 640) mouseX = 640 - right;
    if (mouseY + bottom > 480) mouseY = 480 - bottom;
    if (mouseX - it.grabX < 0) mouseX = it.grabX;
    if (mouseY - it.grabY < 0) mouseY = it.grabY;
}

bool UpdatePacking() {
    if (ValidItem(carriedItem) && carrying && mouseClick) {
        const Item& it = gameLevel.items[carriedItem];
        const int px = mouseX - it.grabX;
        const int py = mouseY - it.grabY - GRID_TOP;
        // The nearest cell, halves up.
        const int column = px / CELL_SIZE + (px % CELL_SIZE >= CELL_SIZE / 2 ? 1 : 0);
        const int row = py / CELL_SIZE + (py % CELL_SIZE >= CELL_SIZE / 2 ? 1 : 0);
        if (py >= 0) DropItem(carriedItem, column, row);
        mouseClick = false;
        pointerShape = POINTER_HAND;
    }
    packedCells = 0;
    for (int row = 0; row < CASE_ROWS; row++)
        for (int column = CASE_LEFT; column < CASE_LEFT + CASE_COLUMNS; column++)
            if (CellAt(column, row)->occupied) packedCells++;
    const bool completed = packedCells == CASE_CELLS;
    if (completed) CompleteLevel();
    packedPercent = float(packedCells) * PERCENT_PER_CELL;
    return completed;
}

bool PlayFrame(void (*underItems)(), void (*overItems)()) {
    pointerShape = 0;
    // Before the grid is rebuilt, so the drop below lands where the item is drawn.
    ClampCarriedItem();
    // Items mark the cells they hold as they are drawn, so the grid starts clear.
    ResetGrid();
    if (underItems) underItems();
    DrawItems(true);
    if (overItems) overItems();
    DrawCarriedItem();
    // Last, once every item has marked its cells this frame.
    return UpdatePacking();
}
