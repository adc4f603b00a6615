// The three font pictures, rendered with FreeType: 12 x 8 square cells for the
// characters 32 to 127 on magenta.
#pragma once
#include <array>
#include <string>

#include "tools/kit/image.h"

namespace gen {

struct FontSheet {
    std::string file;  // "TimesRoman.bmp", ...
    int cell = 0;
    int quarterPixels = 0;  // the face size that fits every text in its place
    Image16 image;
};

// The game's own measure: ink's rightmost column + 1, 2 for the space, -1 for
// an empty cell.
std::array<int, 96> MeasureAdvances(const Image16& sheet, int cell);
int TextWidth(const std::array<int, 96>& adv, const std::string& text);

// Renders the three fonts; throws when a face file is missing.
std::array<FontSheet, 3> MakeFonts();

// Draws text as the game does: glyph cells blitted keyed, pen advanced by the
// measured widths.
void PrintText(Image16& dst, const FontSheet& f, const std::array<int, 96>& adv, const std::string& text, int x, int y);

}  // namespace gen
