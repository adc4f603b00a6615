// The committed levels: what players rely on, each fault named with its file
// as `valimo-levels check` names it, and the guard on the pictures' shapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "bmp_writer.h"
#include "puzzle/puzzle_support.h"
#include "test_support.h"
#include "tools/art/items.h"
#include "tools/levels/levels.h"
#include "tools/pack_as_solver.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = VALIMO_GAME_DIR;
const fs::path kLevels = fs::path(VALIMO_SOURCE_DIR) / "levels";

std::vector<fs::path> LevelFiles(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".lev") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string ShapeText(const gen::CellMask& m) {
    std::string s = std::to_string(m.w) + "x" + std::to_string(m.h) + " ";
    for (int r = 0; r < m.h; r++) {
        if (r) s += "/";
        for (int c = 0; c < m.w; c++) s += m.At(c, r) ? 'X' : '.';
    }
    return s;
}

// Every fault of the set, a line each as `valimo-levels check` prints them:
// the checker's own per file, then what the set as a whole promises players.
std::string SetFaults(const fs::path& levelDir, const fs::path& dataDir) {
    std::string faults;
    ToolRun run = RunLevelsTool("check --data " + dataDir.string() + " " + levelDir.string());
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
        if (line.find(": fault: ") != std::string::npos) faults += line + "\n";
    if (run.status != 0 && faults.empty()) faults += "valimo-levels check: status " + std::to_string(run.status) + "\n";

    const std::vector<fs::path> files = LevelFiles(levelDir);
    const int count = int(files.size());
    std::map<std::string, int> uses;
    std::map<std::string, std::string> shapeSets;  // sorted shapes -> the first file with them
    double previous = -1;
    for (int k = 0; k < count; k++) {
        const std::string file = files[size_t(k)].string();
        auto fault = [&](const std::string& why) { faults += file + ": fault: " + why + "\n"; };
        gen::Level lv;
        std::string error;
        if (!gen::ParseLevel(ReadFile(file), lv, error)) continue;  // the checker named it
        if (lv.number != k || files[size_t(k)].filename() != gen::LevelFileName(k))
            fault("holds level " + std::to_string(lv.number) + " as file " + std::to_string(k + 1) + " of " +
                  std::to_string(count) + "; the set is level00.lev on, numbered from 0 without gaps");
        std::map<std::string, gen::CellMask> masks;
        std::vector<std::string> shapes;
        for (const auto& it : lv.items) {
            uses[it.picture]++;
            gen::ItemPicture p = gen::ReadItemPicture((dataDir / it.picture).string());
            if (!p.fault.empty()) continue;
            masks[it.picture] = p.mask;
            shapes.push_back(ShapeText(p.mask));
        }
        gen::LevelReport r = gen::CheckLevel(lv, masks);
        if (!r.faults.empty()) continue;
        std::sort(shapes.begin(), shapes.end());
        std::string key;
        for (const auto& s : shapes) key += s + " ";
        auto [first, fresh] = shapeSets.emplace(key, file);
        if (!fresh) fault("the same set of shapes as " + first->second + ": one puzzle in other pictures");
        std::ostringstream said;
        said << r.items << " items, " << (r.solve.complete ? "" : "at least ") << r.solve.solutions
             << " distinct solutions, difficulty " << r.difficulty;
        if (r.difficulty < previous) fault("easier than the level before it (" + said.str() + "); the ramp never eases");
        previous = r.difficulty;
        if (k < 8 && (r.items > 9 || r.solve.solutions < 10))
            fault("a teaching level has at most 9 items and 10 or more distinct solutions; this has " + said.str());
        if (k >= gen::kMasterFirst - 16 && k < gen::kMasterFirst &&
            (r.items < 15 || !r.solve.complete || r.solve.solutions > 3))
            fault("a testing level has 15 or more items and at most 3 distinct solutions; this has " + said.str());
    }
    for (const auto& s : gen::ItemShapes())
        if (uses[s.name + ".bmp"] < 2)
            faults += levelDir.string() + ": fault: picture " + s.name + ".bmp is used by " +
                      std::to_string(uses[s.name + ".bmp"]) + " level(s); every picture is in two or more\n";
    return faults;
}

// Each picture the committed levels use must keep the shape levels/shapes.txt
// records for it: the levels were proven for those shapes.
std::string ShapeFaults(const fs::path& levelDir, const fs::path& dataDir) {
    std::map<std::string, std::string> recorded;
    std::istringstream lines(ReadFile((levelDir / "shapes.txt").string()));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        size_t space = line.find(' ');
        recorded[line.substr(0, space)] = space == std::string::npos ? "" : line.substr(space + 1);
    }
    std::map<std::string, std::set<std::string>> users;
    for (const auto& f : LevelFiles(levelDir)) {
        gen::Level lv;
        std::string error;
        gen::ParseLevel(ReadFile(f.string()), lv, error);
        for (const auto& it : lv.items) users[it.picture].insert(f.filename().string());
    }
    std::string faults;
    for (const auto& [picture, files] : users) {
        std::string names;
        for (const auto& f : files) names += " " + f;
        gen::ItemPicture p = gen::ReadItemPicture((dataDir / picture).string());
        const std::string now = p.fault.empty() ? ShapeText(p.mask) : p.fault;
        auto was = recorded.find(picture);
        if (was == recorded.end())
            faults += picture + ": not in shapes.txt; add \"" + picture + " " + now + "\" for" + names + "\n";
        else if (was->second != now)
            faults += picture + ": the picture's shape is now " + now + ", but" + names + " were made for " +
                      was->second + "\n";
    }
    return faults;
}

// FNV-1a over each file's name and bytes, in name order.
uint64_t Digest(const std::vector<fs::path>& files) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (const auto& f : files)
        for (char c : f.filename().string() + '\0' + ReadFile(f.string())) h = (h ^ uint8_t(c)) * 0x100000001b3ull;
    return h;
}

TEST(CommittedLevels, KeepWhatPlayersRelyOnAndShipAsTheyAre) {
    const auto files = LevelFiles(kLevels);
    ASSERT_EQ(files.size(), size_t(gen::kMasterFirst + gen::kMasterCount));
    EXPECT_EQ(SetFaults(kLevels, kGame / "data"), "");
    // The levels before the master tier are the ones players were saved at, byte for byte.
    EXPECT_EQ(Digest({files.begin(), files.begin() + gen::kMasterFirst}), 0xd0f059a521a5b97full);
    // Installed as they are, and nothing else in the game's levels folder.
    const auto shipped = LevelFiles(kGame / "levels");
    ASSERT_EQ(shipped.size(), files.size());
    for (const auto& f : shipped)
        EXPECT_EQ(ReadFile(f.string()), ReadFile((kLevels / f.filename()).string())) << f;
}

// Faults a maintainer can make, each named with its file and reason.
TEST(CommittedLevels, ABrokenSetFailsWithTheFileAndTheReason) {
    const fs::path dir = MakeScratchDirectory();
    fs::copy(kLevels, dir / "levels");
    auto edit = [&](const std::string& name, const std::string& from, const std::string& to) {
        std::string text = ReadFile((dir / "levels" / name).string());
        size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << name << " " << from;
        WriteFile((dir / "levels" / name).string(), text.replace(at, from.size(), to));
    };
    gen::Level lv5, lv9, lv63;
    std::string error;
    ASSERT_TRUE(gen::ParseLevel(ReadFile((kLevels / "level63.lev").string()), lv63, error));
    ASSERT_TRUE(gen::ParseLevel(ReadFile((kLevels / "level05.lev").string()), lv5, error));
    ASSERT_TRUE(gen::ParseLevel(ReadFile((kLevels / "level09.lev").string()), lv9, error));
    // A typo in a picture's name, a level copied over another, a level gone.
    const std::string typo = lv5.items[0].picture;
    edit("level05.lev", typo + " ", "x" + typo + " ");
    WriteFile((dir / "levels/level10.lev").string(), gen::FormatLevel({10, lv9.items}));
    fs::remove(dir / "levels/level40.lev");
    // One item's picture swapped for a smaller one: the case no longer fills.
    gen::Level lv20;
    ASSERT_TRUE(gen::ParseLevel(ReadFile((kLevels / "level20.lev").string()), lv20, error));
    edit("level20.lev", "\n" + lv20.items[0].picture + " ", "\napple.bmp ");
    // A master level given one of the testing levels' puzzles: too few items.
    WriteFile((dir / "levels/level70.lev").string(), gen::FormatLevel({70, lv63.items}));
    const std::string faults = SetFaults(dir / "levels", kGame / "data");
    const std::string levels = (dir / "levels").string() + "/";
    for (const std::string& line : {
             levels + "level05.lev: fault: item x" + typo + ": picture " + (kGame / "data" / ("x" + typo)).string() +
                 ": cannot be read (No such file or directory)\n",
             levels + "level10.lev: fault: the same set of shapes as " + levels + "level09.lev: one puzzle in other pictures\n",
             levels + "level20.lev: fault: the items cover ",
             levels + "level41.lev: fault: holds level 41 as file 41 of 95; the set is level00.lev on, numbered from 0 without gaps\n",
             levels + "level70.lev: fault: level 70 is in the master tier (levels 64 to 95), which has 16 to 20 items and "
                      "exactly one distinct solution; this has 15 items and 1 distinct solution\n"})
        EXPECT_NE(faults.find(line), std::string::npos) << line << "\n" << faults;
}

TEST(CommittedLevels, APictureRedrawnToAnotherShapeFailsTheLevelsThatUseIt) {
    EXPECT_EQ(ShapeFaults(kLevels, kGame / "data"), "");
    const fs::path dir = MakeScratchDirectory();
    fs::copy(kGame / "data", dir / "data");
    fs::copy(kLevels, dir / "levels");
    // The apple grown from one cell to two.
    WriteItemPicture("apple.bmp", {"##"});
    std::string users;
    for (const auto& f : LevelFiles(kLevels))
        if (ReadFile(f.string()).find("\napple.bmp ") != std::string::npos) users += " " + f.filename().string();
    ASSERT_FALSE(users.empty());
    EXPECT_EQ(ShapeFaults(dir / "levels", dir / "data"),
              "apple.bmp: the picture's shape is now 2x1 XX, but" + users + " were made for 1x1 X\n");
}

}  // namespace
