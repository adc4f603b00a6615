#include "tools/levels/levels.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>

#include "puzzle/level_format.h"
#include "tools/levels/picture_convert.h"

namespace gen {

Region RegionAt(int col, int row) {
    bool caseCol = col >= kCaseX && col < kCaseX + kCaseW;
    if (row < 2) return caseCol ? kCase : kBlocked;
    if (row < 7) return caseCol ? kCase : kTable;
    return kTable;
}

std::string LevelFileName(int number) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "level%02d.lev", number);
    return buf;
}

std::string FormatLevel(const Level& level) {
    std::string s = "LEVEL " + std::to_string(level.number) + "\nITEMS " + std::to_string(level.items.size()) + "\n";
    for (const auto& it : level.items)
        s += it.picture + " " + std::to_string(it.col) + " " + std::to_string(it.row) + "\n";
    return s;
}

namespace {

// The game's reading rules (puzzle/level_format.h) over a text, with what the
// checker needs to name a fault: where reading stopped and what stands there.
struct Reader {
    const std::string& t;
    size_t at = 0;

    int Get() { return at < t.size() ? static_cast<unsigned char>(t[at++]) : EOF; }
    void Unget(int) { at--; }
    static bool Space(char c) { return LevelSpace(static_cast<unsigned char>(c)); }
    bool End() const { return at >= t.size(); }
    void SkipSpace() { LevelSkipSpace(*this); }
    bool Word(const char* w) {
        SkipSpace();
        size_t n = std::strlen(w);
        if (t.compare(at, n, w) != 0) return false;
        at += n;
        return true;
    }
    // False when no digits follow, and nothing but white space read; clipped is
    // set when the value did not fit.
    bool Number(int32_t& value, bool& clipped) {
        SkipSpace();
        const size_t start = at;
        if (LevelNumber(*this, &value, &clipped)) return true;
        at = start;
        return false;
    }
    // The rest of a token that a number stopped in, as "3x" in "3x 4".
    std::string Junk() const {
        size_t e = at;
        while (e < t.size() && !Space(t[e])) e++;
        return t.substr(at, e - at);
    }
    std::string Token() {
        SkipSpace();
        size_t s = at;
        while (!End() && !Space(t[at])) at++;
        return t.substr(s, at - s);
    }
};

// Bytes that no text file of ours holds: control characters other than white space.
long FirstBinaryByte(const std::string& t) {
    for (size_t i = 0; i < t.size(); i++) {
        unsigned char c = static_cast<unsigned char>(t[i]);
        if ((c < 0x20 && !Reader::Space(char(c))) || c == 0x7F) return long(i);
    }
    return -1;
}

std::string Hex2(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", v & 0xFF);
    return buf;
}

}  // namespace

LevelText ReadLevelText(const std::string& text) {
    LevelText out;
    auto fault = [&](const std::string& f) { out.faults.push_back(f); };
    long binary = FirstBinaryByte(text);
    if (binary >= 0)
        fault("holds a byte that is not text (" + Hex2(static_cast<unsigned char>(text[size_t(binary)])) + " at byte " +
              std::to_string(binary) + "); a level file is plain text");
    Reader in{text};
    if (text.compare(0, 5, "LEVEL") != 0) {
        std::string why = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? " (it starts with a byte-order mark)"
                          : !text.empty() && Reader::Space(text[0]) ? " (it starts with white space)"
                                                                     : "";
        fault("does not begin with the word LEVEL" + why + "; the game reads it as level 0 with no items");
        return out;
    }
    in.at = 5;
    int32_t number = 0, count = 0;
    bool clipped = false;
    if (!in.Number(number, clipped)) {
        fault("no level number after LEVEL; the game reads it as level 0 with no items");
        return out;
    }
    if (clipped) fault("level number out of range; the game reads " + std::to_string(number));
    else if (number < 0) fault("level number " + std::to_string(number) + " is below 0, so no player ever reaches it");
    out.level.number = number;
    if (!in.Word("ITEMS")) {
        std::string junk = in.Junk();
        fault(junk.empty() || in.t.compare(in.at, 5, "ITEMS") == 0
                  ? "no ITEMS line after the level number; the game loads no items"
                  : "level number followed by '" + junk + "', not by ITEMS; the game loads no items");
        return out;
    }
    if (!in.Number(count, clipped)) {
        fault("no item count after ITEMS; the game loads no items");
        return out;
    }
    out.header = true;
    if (count < 0) {
        fault("ITEMS " + std::to_string(count) + " is below 0; the game loads no items");
        return out;
    }
    if (count > kMaxLevelItems)
        fault("ITEMS " + std::to_string(count) + " is more than " + std::to_string(kMaxLevelItems) +
              "; the game loads only the first " + std::to_string(kMaxLevelItems));
    int wanted = std::min(count, kMaxLevelItems);
    for (int j = 0; j < wanted; j++) {
        LevelItem it;
        std::string where = "item record " + std::to_string(j + 1);
        it.picture = in.Token();
        bool colOk = !it.picture.empty() && in.Number(it.col, clipped);
        bool colClipped = clipped;
        bool rowOk = colOk && in.Number(it.row, clipped);
        if (!rowOk) {
            std::string junk = in.End() ? "" : in.Junk();
            fault("ITEMS says " + std::to_string(count) + ", but " +
                  (j == 0 ? std::string("no whole item record follows") : "only " + std::to_string(j) + " whole item record(s) follow") +
                  (junk.empty() ? " (the file ends early)" : " ('" + junk + "' in " + where + " is not a whole number)"));
            return out;
        }
        if (colClipped || clipped) fault(where + ": a number out of range");
        if (!in.End() && !Reader::Space(in.t[in.at]))
            fault(where + ": row '" + std::to_string(it.row) + in.Junk() +
                  "' is not a whole number; the game reads what follows the digits as the next record");
        if (it.picture.size() > kMaxPictureName) {
            fault(where + ": picture name longer than " + std::to_string(kMaxPictureName) +
                  " characters; the game leaves the item out");
            continue;
        }
        if (it.picture.size() <= 4 || it.picture.compare(it.picture.size() - 4, 4, ".bmp") != 0)
            fault(where + ": picture name " + it.picture + " does not end in .bmp; the game names an item by cutting four characters off");
        out.level.items.push_back(it);
    }
    in.SkipSpace();
    if (!in.End() && count <= kMaxLevelItems)
        fault("more text after the last of the " + std::to_string(count) + " item records ('" + in.Junk() +
              "'); the game does not read it");
    return out;
}

bool ParseLevel(const std::string& text, Level& level, std::string& error) {
    LevelText read = ReadLevelText(text);
    level = read.level;
    if (read.faults.empty()) return true;
    error = read.faults[0];
    return false;
}

constexpr int32_t kMaxPictureSide = MAX_BITMAP_SIDE;

ItemPicture DecodeItemPicture(const std::vector<uint8_t>& b) {
    ItemPicture p;
    if (b.size() < 2 || !BmpMagic(b.data())) {
        const char* kind = b.size() >= 8 && std::memcmp(b.data(), "\x89PNG", 4) == 0 ? "a PNG picture"
                           : b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF ? "a JPEG picture"
                           : b.size() >= 6 && std::memcmp(b.data(), "GIF8", 4) == 0       ? "a GIF picture"
                                                                                          : nullptr;
        p.fault = kind ? std::string(kind) + ", not a BMP; the game reads only BMP pictures" : "not a BMP picture";
        p.convertible = kind != nullptr;
        return p;
    }
    if (b.size() < BMP_HEADER_SIZE) {
        p.fault = "cut short: " + std::to_string(b.size()) + " bytes, less than a BMP header";
        return p;
    }
    int32_t w = BmpWidth(b.data()), h = BmpHeight(b.data());
    p.width = w;
    p.height = h;
    const bool sane = w > 0 && h != 0 && w <= kMaxPictureSide && h <= kMaxPictureSide && h >= -kMaxPictureSide;
    if (sane && (w % kCell || h % kCell)) NearestCells(w, std::abs(h), p.cellsW, p.cellsH);
    int bits = BmpBitCount(b.data());
    if (bits != 16) {
        p.fault = std::to_string(bits) + "-bit, not 16-bit; the game stops with a fatal error on it";
        p.convertible = sane && (bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32);
        return p;
    }
    if (!sane || h < 0) {
        p.fault = "size " + std::to_string(w) + " x " + std::to_string(h) + " pixels, which the game cannot load" +
                  (h < 0 ? " (rows top-down)" : "");
        p.convertible = sane;
        return p;
    }
    // What the game would draw garbled: each in a player's words.
    std::vector<std::string> garbled;
    const uint32_t compression = Get32(b, 30);
    const bool masks = compression == 3 && b.size() >= 66;
    if (masks && Get32(b, 54) == 0xF800 && Get32(b, 58) == 0x07E0 && Get32(b, 62) == 0x001F)
        garbled.push_back("16-bit in the 5-6-5 layout, which the game draws in wrong colours (it reads 5-5-5)");
    else if (compression != 0 && !(masks && Get32(b, 54) == 0x7C00 && Get32(b, 58) == 0x03E0 && Get32(b, 62) == 0x001F))
        garbled.push_back("compressed or not 5-5-5 (compression " + std::to_string(compression) +
                          "); the game reads plain 5-5-5 pixels");
    if (Get32(b, 10) != 54)
        garbled.push_back("pixels start at byte " + std::to_string(Get32(b, 10)) +
                          "; the game reads them from byte 54 and would draw header bytes as pixels");
    // Padded rows, as other programs write them; ours are not padded.
    const size_t padded = size_t(h) * ((size_t(w) * 2 + 3) / 4 * 4);
    if (w % 2 && b.size() >= 54 + padded && Get32(b, 34) != uint32_t(w) * uint32_t(h) * 2)
        garbled.push_back("an odd width of " + std::to_string(w) + " pixels, whose padded rows the game reads sheared");
    if (!garbled.empty()) {
        p.fault = garbled[0];
        for (size_t i = 1; i < garbled.size(); i++) p.fault += "; " + garbled[i];
        p.convertible = true;
        return p;
    }
    size_t need = size_t(w) * size_t(h) * 2;
    if (b.size() - 54 < need) {
        p.fault = "cut short: " + std::to_string(b.size() - 54) + " of " + std::to_string(need) + " pixel bytes";
        return p;
    }
    if (w % kCell || h % kCell) {
        p.fault = "size " + std::to_string(w) + " x " + std::to_string(h) + " pixels, not whole 32-pixel cells";
        p.convertible = true;
        return p;
    }
    Image16 img;
    DecodeBmp(b, img);  // its own checks are looser than those above
    p.mask = MaskFromImage(img);
    if (p.mask.Count() == 0) p.fault = "no solid cell: all of it is the colour key, so it can never be picked up";
    return p;
}

ItemPicture ReadItemPicture(const std::string& path) {
    ItemPicture p;
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        p.fault = std::string("cannot be read (") + std::strerror(errno) + ")";
        return p;
    }
    if (!S_ISREG(st.st_mode)) {
        p.fault = "not a plain file";
        return p;
    }
    // Nothing the game loads is larger: its loader takes at most 4096 x 4096.
    if (st.st_size > 54 + 2 * int64_t(kMaxPictureSide) * kMaxPictureSide) {
        p.fault = "larger than any picture the game loads";
        return p;
    }
    std::vector<uint8_t> bytes;
    if (!ReadFile(path, bytes)) {
        p.fault = std::string("cannot be read (") + std::strerror(errno) + ")";
        return p;
    }
    return DecodeItemPicture(bytes);
}

SolveResult SolveCase(const std::vector<CellMask>& masks, uint64_t cap, uint64_t maxNodes) {
    CaseSearch found = SearchCase(masks, cap, maxNodes);
    SolveResult res;
    res.solutions = found.packings;
    res.complete = found.complete;
    res.nodeLimitHit = found.nodeLimitHit;
    res.solvable = found.packings > 0;
    res.nodes = found.nodes;
    if (res.solvable)
        for (const CaseSpot& at : found.found[0]) res.solution.push_back({kCaseX + at.x, kCaseY + at.y});
    return res;
}

SolveResult SolveFirst(const std::vector<CellMask>& masks, uint64_t maxNodes) { return SolveCase(masks, 1, maxNodes); }

bool InMasterTier(int number) { return number >= kMasterFirst && number < kMasterFirst + kMasterCount; }

double Difficulty(const std::vector<CellMask>& masks, uint64_t solutions) {
    int irregular = 0;
    for (const auto& m : masks) irregular += m.Count() != m.w * m.h;
    double log2s = std::log2(double(std::max<uint64_t>(solutions, 1)));
    return 10.0 * double(masks.size()) + 4.0 * irregular + 3.0 * std::max(0.0, 10.0 - log2s);
}

LevelReport CheckLevel(const Level& level, const std::map<std::string, CellMask>& masks,
                       const std::map<std::string, std::string>& pictureFaults) {
    LevelReport rep;
    rep.items = int(level.items.size());
    std::vector<CellMask> used;
    std::vector<int> owner(size_t(kGridW * kGridH), -1);
    std::set<std::pair<int, int>> overlapping;
    bool allKnown = true;
    for (size_t i = 0; i < level.items.size(); i++) {
        const LevelItem& it = level.items[i];
        auto found = masks.find(it.picture);
        if (found == masks.end()) {
            auto why = pictureFaults.find(it.picture);
            rep.faults.push_back("item " + it.picture + ": " + (why != pictureFaults.end() ? why->second : "no picture"));
            allKnown = false;
            continue;
        }
        const CellMask& m = found->second;
        used.push_back(m);
        rep.cells += m.Count();
        if (m.Count() == 0) rep.faults.push_back("item " + it.picture + ": no solid cell, so it can never be picked up");
        if (it.col < 0 || it.row < 0 || it.col > kGridW - m.w || it.row > kGridH - m.h) {
            rep.faults.push_back("item " + it.picture + " at " + std::to_string(it.col) + "," + std::to_string(it.row) +
                                 ": rectangle leaves the grid");
            continue;
        }
        bool onTable = true;
        for (int r = 0; r < m.h; r++)
            for (int c = 0; c < m.w; c++) {
                if (RegionAt(it.col + c, it.row + r) != kTable) onTable = false;
                if (!m.At(c, r)) continue;
                int& o = owner[size_t((it.row + r) * kGridW + it.col + c)];
                if (o < 0)
                    o = int(i);
                else if (overlapping.insert({o, int(i)}).second)
                    rep.faults.push_back("items " + level.items[size_t(o)].picture + " and " + it.picture +
                                         " overlap at " + std::to_string(it.col + c) + "," + std::to_string(it.row + r));
            }
        if (!onTable)
            rep.faults.push_back("item " + it.picture + " at " + std::to_string(it.col) + "," + std::to_string(it.row) +
                                 ": rectangle not wholly on the table");
    }
    if (allKnown && rep.cells != kCaseW * kCaseH)
        rep.faults.push_back("the items cover " + std::to_string(rep.cells) + " cells, not the case's " + std::to_string(kCaseW * kCaseH));
    if (allKnown && rep.cells == kCaseW * kCaseH) {
        rep.counted = true;
        rep.solve = SolveCase(used);
        if (!rep.solve.solvable)
            rep.faults.push_back(rep.solve.complete ? "the items cannot be packed into the case"
                                                    : "no packing found within the solver's limit");
    }
    rep.difficulty = Difficulty(used, rep.solve.solutions);
    if (InMasterTier(level.number) && rep.faults.empty() &&
        (rep.items < kMasterFewestItems || rep.items > kMasterMostItems || !rep.solve.complete || rep.solve.solutions != 1))
        rep.faults.push_back("level " + std::to_string(level.number) + " is in the master tier (levels " +
                             std::to_string(kMasterFirst) + " to " + std::to_string(kMasterFirst + kMasterCount - 1) +
                             "), which has " + std::to_string(kMasterFewestItems) + " to " + std::to_string(kMasterMostItems) +
                             " items and exactly one distinct solution; this has " + std::to_string(rep.items) + " items and " +
                             (rep.solve.complete ? "" : "at least ") + std::to_string(rep.solve.solutions) + " distinct solution" +
                             (rep.solve.complete && rep.solve.solutions == 1 ? "" : "s"));
    return rep;
}

}  // namespace gen
