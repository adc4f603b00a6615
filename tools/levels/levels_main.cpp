// valimo-levels check [--data DIR] FILE|LEVELDIR...
//   Reads each level file (every .lev file of a folder) as the game reads it,
//   with the item pictures in DIR (the installed game's data/ by default), and
//   prints per file whether its case can be packed, in how many distinct ways,
//   and every fault. Exits 0 when all pass, 1 otherwise, 2 on bad usage.
// valimo-levels new --items N [--seed S] [--unique] [--number K] [--data DIR]
//   Writes a new level of about N items to stdout, made from the shipped item
//   pictures: solvable, every item on the table, with one distinct solution
//   when --unique is given. The same seed makes the same level. Its number is
//   K, else the one after the highest in the levels folder beside DIR.
// valimo-levels picture [--cells WxH] [--any-size] IN OUT.bmp
//   Converts a picture of any common format into the game's kind. Exits 0 when
//   written, 2 when the picture is refused, 1 when OUT cannot be written.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/game_dir.h"
#include "tools/levels/level_maker.h"
#include "tools/levels/picture_convert.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage: valimo-levels check [--data DIR] FILE|LEVELDIR...\n"
    "       valimo-levels new --items N [--seed S] [--unique] [--number K] [--data DIR]\n"
    "       valimo-levels picture [--cells WxH] [--any-size] IN OUT.bmp\n";

// Far more than a level can hold (64 records of a 58-character name and two numbers).
constexpr uintmax_t kMaxLevelBytes = 64 * 1024;

int Usage(const std::string& why) {
    if (!why.empty()) std::fprintf(stderr, "valimo-levels: %s\n", why.c_str());
    std::fputs(kUsage, stderr);
    return 2;
}

bool WholeNumber(const std::string& s, uint64_t& value) {
    if (s.empty() || s.size() > 19) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    value = std::stoull(s);
    return true;
}

// The pictures' folder: the one --data names, else the installed game's. 0 when
// it is a folder, else the status to exit with, the reason said.
int PicturesFolder(std::string& data) {
    if (data.empty()) {
        const std::string game = ShippedDataDir();
        if (game.empty()) {
            std::fprintf(stderr, "valimo-levels: no installed game found beside the program; name the pictures' folder with --data DIR\n");
            return 2;
        }
        data = game + "/data";
    }
    std::error_code ec;
    if (!fs::is_directory(data, ec)) {
        std::fprintf(stderr, "valimo-levels: %s: not a folder\n", data.c_str());
        return 2;
    }
    return 0;
}

// The pictures of a data folder, each read once.
struct PictureStore {
    fs::path dir;
    std::map<std::string, gen::ItemPicture> read;

    const gen::ItemPicture& Get(const std::string& name) {
        auto it = read.find(name);
        if (it == read.end()) it = read.emplace(name, gen::ReadItemPicture((dir / name).string())).first;
        return it->second;
    }
};

// Reads a level file's text; false with the reason when it is not a file to read.
bool ReadLevelFile(const fs::path& path, std::string& text, std::string& why) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        why = std::string("cannot be read (") + std::strerror(errno) + ")";
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        why = "not a plain file";
        return false;
    }
    if (uintmax_t(st.st_size) > kMaxLevelBytes) {
        why = std::to_string(st.st_size) + " bytes, far larger than a level file";
        return false;
    }
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        why = std::string("cannot be read (") + std::strerror(errno) + ")";
        return false;
    }
    text.clear();
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && text.size() <= kMaxLevelBytes) text.append(buf, n);
    bool bad = std::ferror(f);
    std::fclose(f);
    if (bad) {
        why = "cannot be read";
        return false;
    }
    return true;
}

// Checks one file; prints its summary line and a line per fault. True when it passes.
bool CheckFile(const std::string& shown, const fs::path& path, PictureStore& pictures) {
    std::vector<std::string> faults;
    auto report = [&](const std::string& summary) {
        std::printf("%s: %s, %s\n", shown.c_str(), summary.c_str(),
                    faults.empty() ? "no faults" : (std::to_string(faults.size()) + (faults.size() == 1 ? " fault" : " faults")).c_str());
        for (const auto& f : faults) std::printf("%s: fault: %s\n", shown.c_str(), f.c_str());
        return faults.empty();
    };
    std::string name = path.filename().string();
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".lev") != 0)
        faults.push_back("the file name does not end in .lev, so the game does not list it");
    else if (name.size() > 63)
        faults.push_back("the file name is longer than 63 characters, so the game does not list it");
    std::string text, why;
    if (!ReadLevelFile(path, text, why)) {
        faults.push_back(why);
        return report("not read");
    }
    gen::LevelText read = gen::ReadLevelText(text);
    for (const auto& f : read.faults) faults.push_back(f);
    if (!read.header) return report("not a level the game can read");
    const gen::Level& level = read.level;
    std::map<std::string, gen::CellMask> masks;
    std::map<std::string, std::string> pictureFaults;
    for (const auto& it : level.items) {
        const gen::ItemPicture& p = pictures.Get(it.picture);
        const std::string file = (pictures.dir / it.picture).string();
        if (p.fault.empty())
            masks[it.picture] = p.mask;
        else
            pictureFaults[it.picture] = "picture " + file + ": " + p.fault +
                                        (p.convertible ? "; convert it with: " + gen::PictureCommand(file, p.cellsW, p.cellsH) : "");
    }
    gen::LevelReport r = gen::CheckLevel(level, masks, pictureFaults);
    for (const auto& f : r.faults) faults.push_back(f);
    char summary[256];
    int n = std::snprintf(summary, sizeof summary, "level %d, %d items, ", level.number, r.items);
    std::string s(summary, size_t(std::max(n, 0)));
    if (!pictureFaults.empty() || std::any_of(level.items.begin(), level.items.end(),
                                              [&](const gen::LevelItem& it) { return !masks.count(it.picture); })) {
        s += "not all pictures read, not solved";
    } else if (!r.counted) {
        s += std::to_string(r.cells) + " cells, not solvable";
    } else if (!r.solve.solvable) {
        s += "70 cells, " + std::string(r.solve.complete ? "not solvable" : "no packing found within the solver's limit");
    } else {
        std::snprintf(summary, sizeof summary, "70 cells, solvable, %s%llu distinct solution%s, difficulty %.1f",
                      r.solve.complete ? "" : "at least ", static_cast<unsigned long long>(r.solve.solutions),
                      r.solve.solutions == 1 && r.solve.complete ? "" : "s", r.difficulty);
        s += summary;
    }
    return report(s);
}

// The number after the highest of the levels in the folder beside the
// pictures, so that a new level is played after those already there.
int NextLevelNumber(const fs::path& levels) {
    int next = 0;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(levels, ec)) {
        std::string text, why;
        if (e.path().extension() != ".lev" || !ReadLevelFile(e.path(), text, why)) continue;
        const gen::LevelText read = gen::ReadLevelText(text);
        if (read.header && read.level.number >= next && read.level.number < INT32_MAX) next = read.level.number + 1;
    }
    return next;
}

int Check(const std::vector<std::string>& args) {
    std::string data;
    std::vector<std::string> paths;
    bool options = true;
    for (size_t i = 0; i < args.size(); i++) {
        const std::string& a = args[i];
        if (options && a == "--") {
            options = false;
        } else if (options && a == "--data") {
            if (i + 1 == args.size()) return Usage("--data needs a folder");
            data = args[++i];
        } else if (options && a.rfind("--data=", 0) == 0) {
            data = a.substr(7);
        } else if (options && a.size() > 1 && a[0] == '-') {
            return Usage("unknown option " + a);
        } else {
            paths.push_back(a);
        }
    }
    if (paths.empty()) return Usage("check needs a level file or folder");
    if (const int status = PicturesFolder(data)) return status;
    PictureStore pictures{data, {}};
    bool all = true;
    for (const auto& p : paths) {
        fs::path path = p;
        std::error_code ec;
        if (!fs::is_directory(path, ec)) {
            all = CheckFile(p, path, pictures) && all;
            continue;
        }
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(path, ec))
            if (e.path().extension() == ".lev") files.push_back(e.path());
        std::sort(files.begin(), files.end());
        if (files.empty()) {
            std::printf("%s: fault: no level files (.lev) in this folder\n", p.c_str());
            all = false;
        }
        for (const auto& f : files) all = CheckFile((path / f.filename()).string(), f, pictures) && all;
    }
    return all ? 0 : 1;
}

int New(const std::vector<std::string>& args) {
    std::string data;
    uint64_t items = 0, seed = 0, number = 0;
    bool haveItems = false, haveSeed = false, haveNumber = false, unique = false;
    for (size_t i = 0; i < args.size(); i++) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 == args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--unique") {
            unique = true;
        } else if (a == "--data") {
            if (!value(data)) return Usage("--data needs a folder");
        } else if (a.rfind("--data=", 0) == 0) {
            data = a.substr(7);
        } else if (a == "--items" || a == "--seed" || a == "--number") {
            if (!value(v)) return Usage(a + " needs a number");
            uint64_t n = 0;
            if (!WholeNumber(v, n)) return Usage(a + " " + v + ": not a whole number");
            if (a == "--items") {
                items = n;
                haveItems = true;
            } else if (a == "--seed") {
                seed = n;
                haveSeed = true;
            } else {
                number = n;
                haveNumber = true;
            }
        } else {
            return Usage("unknown argument " + a);
        }
    }
    if (!haveItems) return Usage("new needs --items N");
    if (items == 0) return Usage("--items 0: a level needs items to pack");
    if (items > uint64_t(gen::kCaseW * gen::kCaseH))
        return Usage("--items " + std::to_string(items) + ": more items than the 70 cells of the case can hold");
    if (items > uint64_t(gen::kMostItems))
        return Usage("--items " + std::to_string(items) + ": a level holds at most 64 items");
    if (number > uint64_t(INT32_MAX)) return Usage("--number " + std::to_string(number) + ": too large for a level number");
    if (const int status = PicturesFolder(data)) return status;
    // The shipped pictures, as they are in the folder.
    std::vector<gen::Piece> pieces;
    for (const auto& s : gen::ItemShapes()) {
        gen::ItemPicture p = gen::ReadItemPicture((fs::path(data) / (s.name + ".bmp")).string());
        if (p.fault.empty()) pieces.push_back({s.name + ".bmp", p.mask});
    }
    if (pieces.empty()) {
        std::fprintf(stderr, "valimo-levels: %s holds none of the game's item pictures\n", data.c_str());
        return 1;
    }
    const int fewest = gen::FewestItems(pieces), largest = gen::LargestArea(pieces);
    if (int(items) < fewest)
        return Usage("--items " + std::to_string(items) + ": no picture covers more than " + std::to_string(largest) +
                     " cells, so " + std::to_string(fewest) + " or more items are needed to fill the 70 cells of the case");
    if (!haveNumber) {
        fs::path pictures = fs::path(data).lexically_normal();
        if (!pictures.has_filename()) pictures = pictures.parent_path();
        number = uint64_t(NextLevelNumber(pictures.parent_path() / "levels"));
    }
    if (!haveSeed) seed = (uint64_t(std::random_device{}()) << 32) | std::random_device{}();
    gen::MadeLevel made;
    std::string error;
    if (!gen::MakePlayerLevel(pieces, int(items), unique, seed, made, error)) {
        std::fprintf(stderr, "valimo-levels: %s (--seed %llu)\n", error.c_str(), static_cast<unsigned long long>(seed));
        return 1;
    }
    made.level.number = int(number);
    std::fputs(gen::FormatLevel(made.level).c_str(), stdout);
    std::fprintf(stderr, "valimo-levels: level %d, %zu items, %s%llu distinct solution%s, difficulty %.1f (--seed %llu)\n",
                 made.level.number, made.level.items.size(), made.solve.complete ? "" : "at least ",
                 static_cast<unsigned long long>(made.solve.solutions), made.solve.solutions == 1 ? "" : "s",
                 made.difficulty, static_cast<unsigned long long>(seed));
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

int Picture(const std::vector<std::string>& args) {
    gen::PictureRequest request;
    std::vector<std::string> files;
    bool options = true;
    for (size_t i = 0; i < args.size(); i++) {
        const std::string& a = args[i];
        if (options && a == "--") {
            options = false;
        } else if (options && a == "--any-size") {
            request.anySize = true;
        } else if (options && (a == "--cells" || a.rfind("--cells=", 0) == 0)) {
            std::string v;
            if (a != "--cells") v = a.substr(8);
            else if (i + 1 < args.size()) v = args[++i];
            const size_t x = v.find('x');
            uint64_t cw = 0, ch = 0;
            if (x == std::string::npos || !WholeNumber(v.substr(0, x), cw) || !WholeNumber(v.substr(x + 1), ch) ||
                cw == 0 || ch == 0 || cw > 1000 || ch > 1000)
                return Usage("--cells needs a size in cells, such as 3x2");
            request.cellsW = int(cw);
            request.cellsH = int(ch);
        } else if (options && a.size() > 1 && a[0] == '-') {
            return Usage("unknown option " + a);
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 2) return Usage("picture needs the picture to read and the .bmp file to write");
    std::string said;
    const int status = gen::ConvertPicture(files[0], files[1], request, said);
    std::fprintf(status == gen::kPictureWritten ? stdout : stderr, "%s%s\n",
                 status == gen::kPictureWritten ? "" : "valimo-levels: ", said.c_str());
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage("");
    if (args[0] == "--help" || args[0] == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "check") return Check(rest);
    if (args[0] == "new") return New(rest);
    if (args[0] == "picture") return Picture(rest);
    return Usage("unknown command " + args[0]);
}
