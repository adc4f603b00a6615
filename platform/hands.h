// Other hands than a mouse: a keyboard alone and game controllers move the game's
// pointer and click, through the same device states the game reads. The game
// tells what it shows, so that steps land on cells and Space types where it types.
#pragma once
#include <cstdint>

struct HandsHints {
    bool carrying;     // an item is carried: a step moves it one cell
    bool typing;       // a text box has the focus: Space types there
    int boxX, boxY, boxWidth, boxHeight;  // that box on the screen
    const char* boxText;                  // what it holds
    int boxLength;                        // the most it takes
    bool padKeyboard;  // the game's own keyboard is up: the controller works it
};

// Once a frame, from what the frame drew; read by the next frame's input.
void SetHandsHints(const HandsHints& hints);
const HandsHints& CurrentHandsHints();

// A controller was the last thing the player used (not a real key or the mouse).
bool PadInUse();

// Presses of the controller while the game's own keyboard is up, oldest first.
enum PadPress { PAD_NONE, PAD_UP, PAD_DOWN, PAD_LEFT, PAD_RIGHT, PAD_A, PAD_B };
int TakePadPress();

// Types one key as a keyboard would: down for one read (with left Shift when
// shifted), then nothing for one read, so the game's key latches clear.
void TypeKey(int code, bool shifted);

// ---- for the layer and the hosts ----

// The controller's buttons and stick, as a host sees them.
enum PadButton { PADB_UP, PADB_DOWN, PADB_LEFT, PADB_RIGHT, PADB_A, PADB_B, PADB_START, PADB_COUNT };
void HandsPadButton(int button, bool down);
// The pointer stick, each axis -1 to 1.
void HandsPadStick(float x, float y);
// Every controller went away, or the window lost the focus: nothing is held.
void HandsPadReleased();

// Called by the input layer after the host's reads: the keys and motion of the
// other hands are added, a clicking Space taken out.
void HandsReadKeyboard(uint8_t state[256]);
void HandsReadMouse(int32_t* dx, int32_t* dy, uint8_t buttons[4]);
// Back to nothing held (tests).
void ResetHands();
