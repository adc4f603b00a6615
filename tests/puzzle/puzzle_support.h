// Small level files and item pictures written into the scratch directory.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "bmp_writer.h"

constexpr uint16_t kSolid555 = 0x03E0;  // full green

struct ItemRecord {
    std::string image;  // name in data/
    int column, row;
};

// "LEVEL n\nITEMS k\n" and one line per item.
std::string LevelText(int number, const std::vector<ItemRecord>& items);
void WriteLevel(const std::string& fileName, int number, const std::vector<ItemRecord>& items);
// A picture of whole cells; `cells` has one string per cell row, '#' solid and
// '.' magenta (for example {"##", "#."}).
void WriteItemPicture(const std::string& name, const std::vector<std::string>& cells, uint16_t colour = kSolid555);
// A picture of any size in one colour.
void WritePlainPicture(const std::string& name, int width, int height, uint16_t colour = kSolid555);

// A whole frame of it: the pointer moved to (x, y) with the button held or not, read
// through the input module, the puzzle drawn on a cleared screen, and shown. True
// when the frame completed the level.
bool PointerFrame(int x, int y, bool button);
// Screen pixel at the centre of cell (column, row).
inline int CellCentreX(int column) { return 32 * column + 16; }
inline int CellCentreY(int row) { return 128 + 32 * row + 16; }
