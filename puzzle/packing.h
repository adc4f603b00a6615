// The play grid of table and case, the items lying on it, pick-up, carrying,
// dropping, and the count of covered case cells.
#pragma once
#include <cstdint>

constexpr int GRID_COLUMNS = 20;
constexpr int GRID_ROWS = 11;
constexpr int GRID_TOP = 128;  // screen y of grid row 0
constexpr int CELL_SIZE = 32;
// The case: columns 5-14, rows 0-6.
constexpr int CASE_LEFT = 5;
constexpr int CASE_COLUMNS = 10;
constexpr int CASE_ROWS = 7;
constexpr int CASE_CELLS = CASE_COLUMNS * CASE_ROWS;

enum : uint8_t { RegionBlocked = 0, RegionCase = 1, RegionTable = 2 };
enum { PlaceMismatch = 0, PlaceCollision = 1, PlaceFits = 2 };

struct GridCell {
    uint8_t region;
    bool occupied;
};

struct PlayGrid {
    GridCell cells[GRID_COLUMNS * GRID_ROWS];  // row by row
};

extern PlayGrid gridTemplate;
extern PlayGrid playGrid;  // the live grid, rebuilt every play frame

extern bool carrying;
extern int carriedItem;
extern bool hoverMark;
extern int hoverItem;
extern int packedCells;
extern float packedPercent;
// Fill of the item name label: 5-6-5 value, switched to 5-5-5 at start-up.
extern uint16_t itemLabelColour;

void BuildGridTemplate();
void ResetGrid();
// The live cell at (column, row); nullptr outside the grid.
GridCell* CellAt(int column, int row);
int TestPlacement(int item, int column, int row, int width, int height);
void DropItem(int item, int column, int row);
void UpdateItem(int item, bool interact);
void DrawItems(bool interact);
void DrawCarriedItem();
void ClampCarriedItem();
// True when this frame filled the case and completed the level.
bool UpdatePacking();
// One play frame of the puzzle, in the one order it may take: the carried item held
// on the screen, the grid rebuilt, the items drawn (a click picks up), the carried
// item drawn over them (a click drops), the case counted. underItems draws what lies
// beneath the items, overItems what lies between them and the carried item; either
// may be null. True when the frame completed the level.
bool PlayFrame(void (*underItems)() = nullptr, void (*overItems)() = nullptr);
