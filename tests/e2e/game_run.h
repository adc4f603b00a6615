// Whole runs of the game under the headless host: the real start-up, frame loop
// and shut-down on the generated data set, driven by scripted input.
#pragma once
#include <string>
#include <vector>

#include "platform/headless/headless_devices.h"
#include "puzzle/level.h"
#include "tools/levels/levels.h"

// Copies the generated game (levels, pictures, fonts, sounds, movies) into a fresh
// scratch directory, made current, with "prefs.dat" holding `prefs` (none when empty).
std::string PrepareGame(const std::string& prefs = "PLAYERS 0\n");

// Start-up up to the frame loop.
void StartGame();
// One pass of the frame loop with this input; false when the loop would end.
bool Frame(const HeadlessInputFrame& input = {});
// One frame with the pointer moved to (x, y), the button held or not.
bool MoveTo(int x, int y, bool button = false, std::vector<int> keys = {});
// Press on (x, y) in one frame, release there in the next.
void Click(int x, int y);
// Each character: its key down for a frame, then up for a frame (a to z, 0 to 9).
void Type(const std::string& text);
// A key down for a frame, then up.
void PressKey(int code);
// Frames until GameState is `state`; the count, or -1 after `limit` frames.
int RunUntilState(int state, int limit = 1000);
// The rest of the run after the loop: the end of WinMain, which exits the process.
[[noreturn]] void EndGame();

// The solver's first packing of the level in play.
gen::SolveResult SolveLevelInPlay();
// The screen point at the centre of item `it`'s first solid cell when the item
// stands at (column, row) of the grid.
void SolidCellCentre(const Item& it, int column, int row, int* x, int* y);

// Solves the case of the level in play and carries every item to its place.
// False when no exact packing is found.
bool SolveLevelWithPointer();
