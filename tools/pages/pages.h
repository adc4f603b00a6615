// The game's two web pages, shipped in its folder and opened by file URL:
// "order.html" (what the game offers, your own levels, your folder) and
// "faq.html" (movies that do not play).
#pragma once
#include <string>

#include "tools/levels/levels.h"

namespace gen {

// `example` is a shipped level; the page shows it renumbered to follow the
// `shippedLevels` shipped ones, as a player's first level would be.
std::string OrderPage(int shippedLevels, int itemPictures, const Level& example);
std::string FaqPage();

// The example level as the order page shows it (the text inside its <pre>).
std::string OrderPageExample(int shippedLevels, const Level& example);

bool WritePages(const std::string& dir, int shippedLevels, int itemPictures, const Level& example, std::string& error);

}  // namespace gen
