// Where the game's files are on a Linux system: the program's own folder, the
// shipped data found relative to it (so that a moved or unpacked tree runs),
// and the folder the game plays in, chosen before the game starts.
#pragma once
#include <string>

// The folder holding the running program (absolute); empty when unknown.
std::string ProgramDir();

// True when dir holds a game: a "levels" folder beside "prefs.dat" or a movie.
bool HoldsGame(const std::string& dir);

// The shipped data, looked for in this order: the program's folder (an unpacked
// copy), ../share/games/valimo from it (an installed tree, or wherever the
// install rules were told to put the data) and ../game from it (the tools of a
// build tree). Absolute; empty when none holds a game.
std::string ShippedDataDir();

// The player's own game folder, ${XDG_DATA_HOME:-$HOME/.local/share}/valimo.
// A relative or empty XDG_DATA_HOME is ignored, as the XDG rules ask. Empty, with
// the reason in error, when neither variable names an absolute folder.
std::string PlayerGameDir(const char* xdgDataHome, const char* home, std::string& error);

// Makes dir the player's game folder laid with the shipped data:
// - dir (and missing parents) created with mode 0700, and a prefs.dat with no
//   players written when there is none; an existing one is never touched;
// - in dir, dir/levels and dir/data, a link to every shipped file of the same
//   place (top-level files except the player's own prefs.dat and valimo.log,
//   and programs), pointing at the shipped file, so the game finds everything
//   by its usual relative names;
// - a link that points nowhere any more is dropped, never followed; a link of
//   a shipped name is pointed at this shipped data; every other file is the
//   player's and stays.
// False, with the reason in error, when dir or its prefs.dat cannot be made:
// the game cannot start there. Links that cannot be laid (a full or read-only
// folder) are not fatal: the game reports the missing files as it would any
// other; warning then says how many and why.
bool LayPlayerGameDir(const std::string& dir, const std::string& shipped, std::string& error,
                      std::string& warning);

struct StartPlace {
    std::string dir;      // absolute; empty when the game cannot start
    std::string error;    // why it cannot
    std::string warning;  // something the player should know (a line each), the game still starts
    std::string layFrom;  // not yet laid: the player's folder, to be laid from these shipped data
    bool busy = false;    // another copy plays in dir: this one must touch nothing there
};

// The start directory of a run:
// 1. current, when it holds a game and is neither the installed data nor the
//    player's own folder (which gets refreshed below);
// 2. else program, when it holds a game and is writable (a build tree, an
//    unpacked copy);
// 3. else the player's own folder, laid from shipped (or, when lay is false,
//    only named, with layFrom set, nothing made or touched).
StartPlace ChooseStartDir(const std::string& current, const std::string& program, const std::string& shipped,
                          const char* xdgDataHome, const char* home, bool lay = true);

// The same for this process: its current directory, ProgramDir(), ShippedDataDir()
// and its environment; the folder is locked for this process before anything in
// it is made or opened (busy: another copy holds it, and nothing was touched).
StartPlace ChooseStartDirForThisRun();
