#include "tools/dataset.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "tools/art/icon.h"
#include "tools/art/items.h"
#include "tools/pages/pages.h"
#include "tools/sounds/sounds.h"

namespace gen {

namespace fs = std::filesystem;

// The intro packs level 0, the first thing a player packs too.
static std::vector<Packed> FirstPacking(const std::vector<Level>& levels) {
    std::vector<Packed> out;
    if (levels.empty()) return out;
    std::vector<CellMask> masks;
    std::vector<int> index;
    for (const auto& it : levels[0].items) {
        int i = FindItem(it.picture.substr(0, it.picture.size() - 4));
        index.push_back(i);
        masks.push_back(MaskFromImage(DrawItem(i)));
    }
    SolveResult r = SolveCase(masks, 1);
    for (size_t k = 0; k < r.solution.size(); k++)
        out.push_back({index[k], r.solution[k].col - kCaseX, r.solution[k].row - kCaseY});
    return out;
}

// Changed on purpose: levels as files (docs/BEHAVIOUR.md).
// The committed levels, by number. A level the game would read otherwise than
// written stops the build, so a typo never ships.
static void ReadCommittedLevels(const std::string& levelDir, DataSet& d) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(levelDir))
        if (e.path().extension() == ".lev") files.push_back(e.path());
    std::vector<std::pair<Level, std::string>> read;
    for (const auto& f : files) {
        std::vector<uint8_t> bytes;
        if (!ReadFile(f.string(), bytes)) throw std::runtime_error(f.string() + ": cannot be read");
        std::string text(bytes.begin(), bytes.end());
        Level lv;
        std::string error;
        if (!ParseLevel(text, lv, error)) throw std::runtime_error(f.string() + ": " + error);
        if (f.filename().string() != LevelFileName(lv.number))
            throw std::runtime_error(f.string() + ": holds level " + std::to_string(lv.number) + ", so its name should be " +
                                     LevelFileName(lv.number));
        read.push_back({lv, text});
    }
    if (read.empty()) throw std::runtime_error(levelDir + ": no level files (.lev)");
    // By number, as the game plays them; names alone would put level100 before level11.
    std::stable_sort(read.begin(), read.end(), [](const auto& a, const auto& b) { return a.first.number < b.first.number; });
    for (auto& [lv, text] : read) {
        d.levels.push_back(lv);
        d.levelTexts.push_back(text);
    }
}

DataSet MakeDataSet(const std::string& levelDir, bool withMovies) {
    bool verbose = std::getenv("VALIMO_GEN_VERBOSE") != nullptr;
    auto t0 = std::chrono::steady_clock::now();
    auto step = [&](const char* what) {
        if (!verbose) return;
        auto t = std::chrono::steady_clock::now();
        std::fprintf(stderr, "%s: %.1f s\n", what, std::chrono::duration<double>(t - t0).count());
        t0 = t;
    };
    DataSet d;
    d.fonts = MakeFonts();
    step("fonts");
    for (size_t i = 0; i < ItemShapes().size(); i++) d.items.push_back(DrawItem(int(i)));
    step("items");
    d.statics = MakeStaticPictures(d.fonts);
    d.gui = MakeGuiSkin();
    step("screens");
    d.sounds = MakeSounds();
    ReadCommittedLevels(levelDir, d);
    step("levels");
    if (withMovies) d.movies = MakeMovies(d.fonts, d.items, FirstPacking(d.levels));
    step("movies");
    return d;
}

bool WriteDataSet(const DataSet& d, const std::string& dir, std::string& error) {
    std::error_code ec;
    fs::create_directories(fs::path(dir) / "data", ec);
    fs::create_directories(fs::path(dir) / "levels", ec);
    auto bmp = [&](const fs::path& p, const Image16& img) {
        if (WriteBmp(p.string(), img)) return true;
        error = "cannot write " + p.string();
        return false;
    };
    auto file = [&](const fs::path& p, const std::vector<uint8_t>& bytes) {
        if (WriteFile(p.string(), bytes)) return true;
        error = "cannot write " + p.string();
        return false;
    };
    for (size_t i = 0; i < d.items.size(); i++)
        if (!bmp(fs::path(dir) / "data" / (ItemShapes()[i].name + ".bmp"), d.items[i])) return false;
    for (const auto& s : d.statics)
        if (!bmp(fs::path(dir) / "data" / s.file, s.image)) return false;
    if (!bmp(fs::path(dir) / "gui.bmp", d.gui)) return false;
    for (const auto& f : d.fonts)
        if (!bmp(fs::path(dir) / f.file, f.image)) return false;
    for (const auto& [name, samples] : d.sounds)
        if (!file(fs::path(dir) / "data" / (name + ".wav"), EncodeWav(samples))) return false;
    // Old level files would be listed beside the new ones: clear ours first.
    for (const auto& e : fs::directory_iterator(fs::path(dir) / "levels", ec))
        if (e.path().extension() == ".lev" && e.path().filename().string().rfind("level", 0) == 0)
            fs::remove(e.path(), ec);
    for (size_t i = 0; i < d.levels.size(); i++) {
        const std::string& text = d.levelTexts[i];
        if (!file(fs::path(dir) / "levels" / LevelFileName(d.levels[i].number),
                  std::vector<uint8_t>(text.begin(), text.end())))
            return false;
    }
    for (const auto& m : d.movies)
        if (!WriteAvi((fs::path(dir) / m.file).string(), m, error)) {
            error = m.file + ": " + error;
            return false;
        }
    if (!WriteWindowIcon(dir, error)) return false;
    if (!d.levels.empty() && !WritePages(dir, int(d.levels.size()), int(d.items.size()), d.levels[0], error))
        return false;
    return WriteFirstPrefs(dir, error);
}

bool WriteFirstPrefs(const std::string& dir, std::string& error) {
    std::error_code ec;
    fs::path prefs = fs::path(dir) / "prefs.dat";
    if (fs::exists(prefs, ec)) return true;
    const std::string first = "PLAYERS 0\n";
    if (WriteFile(prefs.string(), std::vector<uint8_t>(first.begin(), first.end()))) return true;
    error = "cannot write " + prefs.string();
    return false;
}

}  // namespace gen
