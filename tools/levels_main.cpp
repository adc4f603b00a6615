// valimo-levels check DIR: reads every level file in DIR and its item pictures
// in DIR/../data (as the game does), proves each level solvable with the exact
// cover solver, and prints items, cells, solutions and faults per level.
// Exits 1 when any level has a fault or no solution.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tools/levels.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], "check") != 0) {
        std::fprintf(stderr, "usage: valimo-levels check LEVELDIR\n");
        return 2;
    }
    fs::path dir = argv[2];
    fs::path data = dir.parent_path() / "data";
    if (dir.filename().empty()) data = dir.parent_path().parent_path() / "data";
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (e.path().extension() == ".lev") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "valimo-levels: no .lev files in %s\n", dir.c_str());
        return 1;
    }
    std::map<std::string, gen::CellMask> masks;
    bool bad = false;
    for (const auto& f : files) {
        std::vector<uint8_t> bytes;
        gen::Level level;
        std::string error;
        if (!gen::ReadFile(f.string(), bytes) ||
            !gen::ParseLevel(std::string(bytes.begin(), bytes.end()), level, error)) {
            std::printf("%s: unreadable: %s\n", f.filename().c_str(), error.c_str());
            bad = true;
            continue;
        }
        for (const auto& it : level.items) {
            if (masks.count(it.picture)) continue;
            gen::Image16 img;
            if (gen::ReadBmp((data / it.picture).string(), img)) masks[it.picture] = gen::MaskFromImage(img);
        }
        gen::LevelReport r = gen::CheckLevel(level, masks);
        std::string faults;
        for (const auto& s : r.faults) faults += (faults.empty() ? "" : "; ") + s;
        std::printf("%s: level %d, items %d, cells %d, %s, solutions %s%llu, difficulty %.1f, faults: %s\n",
                    f.filename().c_str(), level.number, r.items, r.cells, r.solve.solvable ? "solvable" : "NOT SOLVABLE",
                    r.solve.complete ? "" : ">=", static_cast<unsigned long long>(r.solve.solutions), r.difficulty,
                    faults.empty() ? "none" : faults.c_str());
        if (!r.faults.empty() || !r.solve.solvable) bad = true;
    }
    return bad ? 1 : 0;
}
