// Every fixed text of the game with the font it is drawn in and the width its
// place allows, so the fonts can be sized to fit and a test can prove they do.
#pragma once
#include <string>
#include <vector>

namespace gen {

struct TextPlace {
    int font;      // 0, 1 or 2
    std::string text;
    int maxWidth;  // pixels
    std::string where;
};

const std::vector<TextPlace>& TextPlaces();

}  // namespace gen
