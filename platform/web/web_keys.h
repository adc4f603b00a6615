// The browser's physical key names (KeyboardEvent.code) as the keyboard's
// scancodes (USB usages), which the layer turns into the game's key codes.
#pragma once

// The USB usage of a KeyboardEvent.code; 0 for a key the table lacks.
int WebCodeToScancode(const char* code);
