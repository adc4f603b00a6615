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
    "Thank you for playing the Valimo demo!",
    "We hope you enjoyed packing as much as we enjoyed making it.",
    "The full version of Valimo has much more to offer:",
    "- a hundred hand-made levels, from easy weekends to long journeys",
    "- new cases of every shape and size",
    "- a timed mode with best times kept for every player",
    "- new items, from umbrellas to telescopes",
    "Order the full version today:",
    "click Order Now! below to open the order page",
    "in your web browser.",
    "Your players and their progress are kept,",
    "so you can go on where you stopped.",
    "Until then, travel light,",
    "and pack well!",
    "",
    "Valimo v0.9 (demo)",
};
