// The game's own lines on the credits and closing screens, and where to order it.
#pragma once

constexpr const char* CREDITS_NAME_LINE = "The Valimo team for Linux";
// Short: the web-address picture (www.bmp at 340, 329) stands just right of it.
constexpr const char* CREDITS_NOTICE_LINE = "Free software.";
// The game's own page, shipped in its folder: the layer opens it by file URL.
constexpr const char* ORDER_PAGE_ADDRESS = "order.html";
// The page as the web-address picture (www.bmp) names it.
constexpr const char* WEB_NAME = "order.html";

// The fifth line (y 175) has the web-address picture (388, 179) at its right,
// so it stays short.
constexpr int CLOSING_LINE_COUNT = 16;
constexpr const char* CLOSING_LINES[CLOSING_LINE_COUNT] = {
    "Thank you for playing Valimo!",
    "We hope you enjoyed packing as much as we enjoyed making it.",
    "Your copy is the whole game, and it has more to offer:",
    "- 96 levels, from a weekend bag to a long journey",
    "- 87 things to pack",
    "- up to ten players, each going on from their own level",
    "- levels of your own, made with valimo-levels",
    "There is nothing to pay: Valimo is free software.",
    "Click Order Now! below to open the game's page",
    "in your web browser: making levels, where your players",
    "are kept, and what to do when a movie does not play.",
    "Your players and their progress are kept for next time.",
    "Until then, travel light,",
    "and pack well!",
    "",
    "Valimo v0.9 (demo)",
};
