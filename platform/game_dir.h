// Where the game's files are on a Linux system: the program's own folder, and
// the shipped data found relative to it, so that a moved or unpacked tree runs.
#pragma once
#include <string>

// The folder holding the running program (absolute); empty when unknown.
std::string ProgramDir();

// True when dir holds a game: a "levels" folder beside "prefs.dat" or a movie.
bool HoldsGame(const std::string& dir);

// The shipped data, looked for in this order: the program's folder (an unpacked
// copy), ../share/games/valimo from it (an installed tree) and ../game from it
// (the tools of a build tree). Absolute; empty when none holds a game.
std::string ShippedDataDir();
