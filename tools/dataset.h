// The whole data set in memory, and writing it into the game's directory.
#pragma once
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "tools/art/fonts.h"
#include "tools/kit/image.h"
#include "tools/levels/level_maker.h"
#include "tools/movies/movies.h"
#include "tools/art/screens.h"

namespace gen {

struct DataSet {
    std::array<FontSheet, 3> fonts;
    std::vector<Image16> items;  // by item index
    std::vector<StaticPicture> statics;
    Image16 gui;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> sounds;
    std::vector<Level> levels;
    std::vector<std::string> levelTexts;  // each level's file, copied as it is
    std::vector<Movie> movies;
};

// The levels are the committed files of levelDir, read and copied as they are.
// Throws with the file and the reason when one is not a level the game reads whole.
DataSet MakeDataSet(const std::string& levelDir, bool withMovies = true);

// Writes every file into dir; "prefs.dat" only when there is none, so that a
// player's profiles survive a rebuild. False with a reason on the first failure.
bool WriteDataSet(const DataSet& d, const std::string& dir, std::string& error);

// Writes "PLAYERS 0" as "prefs.dat" into dir unless a "prefs.dat" is there.
bool WriteFirstPrefs(const std::string& dir, std::string& error);

// PNG contact sheets for review.
bool WriteSheets(const DataSet& d, const std::string& dir, std::string& error);

}  // namespace gen
