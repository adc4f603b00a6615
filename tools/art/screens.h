// The 22 static screen pictures and the GUI skin "gui.bmp", drawn for the
// places the game puts them.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "tools/art/fonts.h"
#include "tools/kit/image.h"

namespace gen {

struct StaticPicture {
    std::string file;  // "case-open.bmp", in data/
    int x = 0, y = 0;  // where the game draws it (one of its places)
    Image16 image;
};

// Slots 0 to 21 in the game's load order.
std::vector<StaticPicture> MakeStaticPictures(const std::array<FontSheet, 3>& fonts);

// 96 x 64: window frame and title icon, button templates, text-box pieces and
// the five pointer images, where the GUI cuts them.
Image16 MakeGuiSkin();

// The shared grounds, so pieces drawn separately meet without a seam.
Rgb TableAt(int x, int y);
Rgb BorderAt(int x, int y);

}  // namespace gen
