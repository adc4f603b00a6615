// The keyboard's key codes: host scancodes (USB HID usage numbers, as SDL numbers
// them) to DirectInput key codes.
#pragma once

constexpr int SCANCODE_COUNT = 512;

// The DirectInput code of a scancode; 0 for a key the original keyboard lacks.
int ScancodeToDik(int scancode);
