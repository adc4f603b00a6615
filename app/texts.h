// Texts of the credits and closing screens, and the order page's address: ours
// to choose, kept in one place so the screens, the movies and the tests agree.
#pragma once

namespace texts {

inline constexpr const char* kCreditsName = "The Valimo team";
// Kept short: the web-address picture stands just right of it.
inline constexpr const char* kCreditsNotice = "(c) 2026 Valimo";

inline constexpr const char* kOrderAddress = "https://valimo.example.org/order";
// As the web-address picture spells it.
inline constexpr const char* kWebName = "valimo.example.org";

// Drawn at y 103, 117, 146, 161, 175, 206, 220, 249, 265, 278, 292, 307, 321,
// 336, 350, 364. The fifth is short: the web-address picture stands beside it.
inline constexpr const char* kClosingLines[16] = {
    "Thank you for playing the Valimo demo!",
    "We hope you enjoyed packing the case.",
    "The full game has more than a hundred levels,",
    "a timed mode with best times for every player,",
    "and more. Visit us at",
    "Ordering takes only a minute:",
    "click Order Now! below to open our web page.",
    "What the full version offers:",
    "- every trip, from the weekend bag to the world tour",
    "- the timed mode and the best-time table",
    "- new things to pack: skis, tubas, garden gnomes",
    "- free updates with new level packs",
    "- no reminder screen at the end",
    "Thank you for your support,",
    "and happy packing!",
    "The Valimo team",
};

}  // namespace texts
