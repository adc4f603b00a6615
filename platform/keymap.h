// The keyboard's key codes: host scancodes (USB HID usage numbers, as SDL numbers
// them) to DirectInput key codes.
#pragma once
#include <cstdint>

constexpr int SCANCODE_COUNT = 512;

// The DirectInput code of a scancode; 0 for a key the original keyboard lacks.
int ScancodeToDik(int scancode);

// The game's keyboard state (0x80 at each DirectInput code held) from the keys a
// host saw by scancode: held now, or pressed since the last read (a tap shorter
// than a frame counts; the presses are spent by the read), less the hidden ones
// (the Return of Alt+Enter).
void ReadKeyboardFromScancodes(const bool* held, bool* pressed, const bool* hidden, uint8_t state[256]);
