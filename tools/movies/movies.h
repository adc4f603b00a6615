// The intro and outro movies: frames drawn with the game's own art and fonts,
// encoded as Microsoft Video 1 in an AVI at 30 frames per second.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "tools/art/fonts.h"
#include "tools/kit/image.h"

namespace gen {

struct Movie {
    std::string file;
    int w = 0, h = 0;  // multiples of 4, at most 320 x 240: shown at twice the size
    std::vector<Image16> frames;
};

// Things packed into the case by the intro: item index and top-left case cell.
struct Packed {
    int item;
    int col, row;
};

// Draws both movies from the item pictures (by item index), the fonts, and an
// exact packing of the case to show.
std::vector<Movie> MakeMovies(const std::array<FontSheet, 3>& fonts, const std::vector<Image16>& items,
                              const std::vector<Packed>& packing);

// Writes the AVI; false with a reason when libavcodec or libavformat refuse.
bool WriteAvi(const std::string& path, const Movie& movie, std::string& error);

}  // namespace gen
