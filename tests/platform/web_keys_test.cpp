// The browser's physical key names reach the game as the desktop's keys do.
#include <gtest/gtest.h>

#include "platform/keymap.h"
#include "platform/web/web_keys.h"

namespace {

int Dik(const char* code) { return ScancodeToDik(WebCodeToScancode(code)); }

TEST(WebKeys, EveryKeyNameGivesTheGamesKeyCode) {
    // Letters and digits in keyboard order, not alphabetical: A is 0x1E, Q 0x10, Z 0x2C.
    EXPECT_EQ(Dik("KeyA"), 0x1E);
    EXPECT_EQ(Dik("KeyQ"), 0x10);
    EXPECT_EQ(Dik("KeyM"), 0x32);
    EXPECT_EQ(Dik("KeyZ"), 0x2C);
    EXPECT_EQ(Dik("Digit1"), 0x02);
    EXPECT_EQ(Dik("Digit9"), 0x0A);
    EXPECT_EQ(Dik("Digit0"), 0x0B);
    // What typing a name and the dialogs use.
    EXPECT_EQ(Dik("Enter"), 0x1C);
    EXPECT_EQ(Dik("NumpadEnter"), 0x9C);
    EXPECT_EQ(Dik("Escape"), 0x01);
    EXPECT_EQ(Dik("Backspace"), 0x0E);
    EXPECT_EQ(Dik("Space"), 0x39);
    EXPECT_EQ(Dik("Tab"), 0x0F);
    EXPECT_EQ(Dik("AltLeft"), 0x38);
    EXPECT_EQ(Dik("AltRight"), 0xB8);
    EXPECT_EQ(Dik("ShiftLeft"), 0x2A);
    EXPECT_EQ(Dik("ShiftRight"), 0x36);
    EXPECT_EQ(Dik("ControlRight"), 0x9D);
    EXPECT_EQ(Dik("ArrowLeft"), 0xCB);
    EXPECT_EQ(Dik("ArrowDown"), 0xD0);
    EXPECT_EQ(Dik("Numpad7"), 0x47);
    EXPECT_EQ(Dik("NumpadDecimal"), 0x53);
    EXPECT_EQ(Dik("IntlBackslash"), 0x56);
    EXPECT_EQ(Dik("F12"), 0x58);
    // Names that are not whole keys of ours give nothing.
    for (const char* other : {"", "Key", "KeyAB", "Keya", "Digit", "Digit10", "Lang1", "MediaPlayPause", "enter"})
        EXPECT_EQ(WebCodeToScancode(other), 0) << other;
    EXPECT_EQ(WebCodeToScancode(nullptr), 0);
}

}  // namespace
