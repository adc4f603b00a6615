// A level played through the game's own puzzle code: each item carried from
// its start on the table to its place in the solver's first packing.
#pragma once
#include <string>
#include <vector>

#include "tools/levels/levels.h"

// The game as far as the puzzle needs it, in the current directory: display,
// input, grid, the level list, and one player, selected.
void StartPuzzleForOnePlayer();

// Loads level `lv.number` with LoadLevel (after StartPuzzleForOnePlayer), checks the game built the masks the solver used, packs it
// and expects the level to complete.
void PackAsTheSolverPacks(const gen::Level& lv, const std::vector<gen::CellMask>& masks);

// The item masks of a level, read from the pictures in dataDir.
std::vector<gen::CellMask> MasksOf(const gen::Level& lv, const std::string& dataDir);

// valimo-levels run with the arguments given; its exit status, stdout and stderr.
struct ToolRun {
    int status = -1;
    std::string out, err;
};
ToolRun RunLevelsTool(const std::string& arguments);
