#include "platform/keymap.h"

#include <array>
#include <cstddef>
#include <cstring>

namespace {

struct KeyPair {
    int scancode;
    int dik;
};

// A full PC keyboard: every DirectInput code from 1 to 88 and the extended keys.
// Scancodes are USB HID usages, which is how SDL numbers its scancodes.
constexpr KeyPair kKeys[] = {
    // Letters: usages 4-29 (A-Z).
    {4, 0x1E}, {5, 0x30}, {6, 0x2E}, {7, 0x20}, {8, 0x12}, {9, 0x21}, {10, 0x22}, {11, 0x23}, {12, 0x17},
    {13, 0x24}, {14, 0x25}, {15, 0x26}, {16, 0x32}, {17, 0x31}, {18, 0x18}, {19, 0x19}, {20, 0x10},
    {21, 0x13}, {22, 0x1F}, {23, 0x14}, {24, 0x16}, {25, 0x2F}, {26, 0x11}, {27, 0x2D}, {28, 0x15}, {29, 0x2C},
    // Digits 1-9, 0: usages 30-39.
    {30, 0x02}, {31, 0x03}, {32, 0x04}, {33, 0x05}, {34, 0x06}, {35, 0x07}, {36, 0x08}, {37, 0x09}, {38, 0x0A},
    {39, 0x0B},
    {40, 0x1C},  // Return
    {41, 0x01},  // Escape
    {42, 0x0E},  // Backspace
    {43, 0x0F},  // Tab
    {44, 0x39},  // Space
    {45, 0x0C},  // - _
    {46, 0x0D},  // = +
    {47, 0x1A},  // [ {
    {48, 0x1B},  // ] }
    {49, 0x2B},  // backslash
    {50, 0x2B},  // the ISO key beside Return sends the backslash scancode
    {51, 0x27},  // ;
    {52, 0x28},  // '
    {53, 0x29},  // `
    {54, 0x33},  // ,
    {55, 0x34},  // .
    {56, 0x35},  // /
    {57, 0x3A},  // Caps Lock
    // F1-F10, F11, F12.
    {58, 0x3B}, {59, 0x3C}, {60, 0x3D}, {61, 0x3E}, {62, 0x3F}, {63, 0x40}, {64, 0x41}, {65, 0x42}, {66, 0x43},
    {67, 0x44}, {68, 0x57}, {69, 0x58},
    {70, 0xB7},  // Print Screen / SysRq
    {71, 0x46},  // Scroll Lock
    {72, 0xC5},  // Pause
    {73, 0xD2},  // Insert
    {74, 0xC7},  // Home
    {75, 0xC9},  // Page Up
    {76, 0xD3},  // Delete
    {77, 0xCF},  // End
    {78, 0xD1},  // Page Down
    {79, 0xCD},  // Right
    {80, 0xCB},  // Left
    {81, 0xD0},  // Down
    {82, 0xC8},  // Up
    {83, 0x45},  // Num Lock
    {84, 0xB5},  // keypad /
    {85, 0x37},  // keypad *
    {86, 0x4A},  // keypad -
    {87, 0x4E},  // keypad +
    {88, 0x9C},  // keypad Enter
    // Keypad 1-9, 0, decimal point.
    {89, 0x4F}, {90, 0x50}, {91, 0x51}, {92, 0x4B}, {93, 0x4C}, {94, 0x4D}, {95, 0x47}, {96, 0x48}, {97, 0x49},
    {98, 0x52}, {99, 0x53},
    {100, 0x56},  // the ISO key beside left Shift
    {101, 0xDD},  // Application (menu key)
    {102, 0xDE},  // Power
    {103, 0x8D},  // keypad =
    {104, 0x64}, {105, 0x65}, {106, 0x66},  // F13-F15
    {120, 0x95},  // Stop
    {127, 0xA0},  // Mute
    {128, 0xB0},  // Volume Up
    {129, 0xAE},  // Volume Down
    {133, 0xB3},  // keypad ,
    {135, 0x73},  // Ro (Japanese, Brazilian /?)
    {136, 0x70},  // Kana
    {137, 0x7D},  // Yen
    {138, 0x79},  // Convert
    {139, 0x7B},  // No Convert
    {154, 0xB7},  // SysRq
    {224, 0x1D},  // left Ctrl
    {225, 0x2A},  // left Shift
    {226, 0x38},  // left Alt
    {227, 0xDB},  // left Windows
    {228, 0x9D},  // right Ctrl
    {229, 0x36},  // right Shift
    {230, 0xB8},  // right Alt
    {231, 0xDC},  // right Windows
    {257, 0xB8},  // AltGr reported as a mode key
    {258, 0x99},  // next track
    {259, 0x90},  // previous track
    {260, 0xA4},  // media stop
    {261, 0xA2},  // play / pause
    {262, 0xA0},  // mute
    {263, 0xED},  // media select
    {264, 0xB2},  // web home
    {265, 0xEC},  // mail
    {266, 0xA1},  // calculator
    {267, 0xEB},  // my computer
    {268, 0xE5},  // web search
    {269, 0xB2},  // web home
    {270, 0xEA},  // web back
    {271, 0xE9},  // web forward
    {272, 0xE8},  // web stop
    {273, 0xE7},  // web refresh
    {274, 0xE6},  // web favourites
    {282, 0xDF},  // sleep
};

constexpr std::array<unsigned char, SCANCODE_COUNT> BuildTable() {
    std::array<unsigned char, SCANCODE_COUNT> table{};
    for (const KeyPair& key : kKeys) table[std::size_t(key.scancode)] = (unsigned char)key.dik;
    return table;
}

constexpr std::array<unsigned char, SCANCODE_COUNT> kTable = BuildTable();

}  // namespace

int ScancodeToDik(int scancode) {
    if (scancode < 0 || scancode >= SCANCODE_COUNT) return 0;
    return kTable[std::size_t(scancode)];
}

void ReadKeyboardFromScancodes(const bool* held, bool* pressed, const bool* hidden, uint8_t state[256]) {
    std::memset(state, 0, 256);
    for (int scancode = 0; scancode < SCANCODE_COUNT; scancode++) {
        if (hidden[scancode] || (!held[scancode] && !pressed[scancode])) continue;
        const int code = ScancodeToDik(scancode);
        if (code > 0 && code < 256) state[code] = 0x80;
    }
    std::memset(pressed, 0, SCANCODE_COUNT * sizeof *pressed);
}
