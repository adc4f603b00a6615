#include "platform/journal.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/dinput.h"
#include "platform/host.h"

namespace {

enum Mode { OFF, RECORDING, REPLAYING };
Mode mode = OFF;

// Recording: records wait here and go to the file in chunks.
FILE* recordFile = nullptr;
std::string recordPath;
std::string pending;
constexpr size_t kFlushBytes = 64 * 1024;

// Replaying.
std::string replayBytes;
size_t replayAt = 0;
bool replayHeadless = true;
std::string replayFolder;
bool replayFailed = false;
int64_t replayFrequency = 0;
bool paceKnown = false;
int64_t paceRecorded = 0, paceHost = 0;
bool losingFromJournal = false;
std::vector<uint16_t> keptFrame;
int keptWidth = 0, keptHeight = 0, keptPixelMode = 16;

// Both: what the next record is told against.
int64_t lastCounter = 0;
uint8_t lastKeys[256] = {};
long long frames = 0;
uint32_t lastFrameDigest = 0;

// ---- encoding ----

void PutVarint(std::string& out, uint64_t v) {
    while (v >= 0x80) {
        out += char(uint8_t(v) | 0x80);
        v >>= 7;
    }
    out += char(uint8_t(v));
}

uint64_t ZigZag(int64_t v) { return (uint64_t(v) << 1) ^ uint64_t(v >> 63); }
int64_t UnZigZag(uint64_t v) { return int64_t(v >> 1) ^ -int64_t(v & 1); }

void PutSigned(std::string& out, int64_t v) { PutVarint(out, ZigZag(v)); }

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; i++) out += char(uint8_t(v >> (8 * i)));
}

void PutU64(std::string& out, uint64_t v) {
    for (int i = 0; i < 8; i++) out += char(uint8_t(v >> (8 * i)));
}

struct Reader {
    const std::string& bytes;
    size_t at;
    bool cut = false;

    bool Byte(uint8_t* v) {
        if (at >= bytes.size()) return !(cut = true);
        *v = uint8_t(bytes[at++]);
        return true;
    }
    bool Varint(uint64_t* v) {
        *v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            uint8_t b;
            if (!Byte(&b)) return false;
            if (shift == 63 && b > 1) return false;
            *v |= uint64_t(b & 0x7F) << shift;
            if (!(b & 0x80)) return true;
        }
        return false;
    }
    bool Signed(int64_t* v) {
        uint64_t u;
        if (!Varint(&u)) return false;
        *v = UnZigZag(u);
        return true;
    }
    bool Fixed(int n, uint64_t* v) {
        *v = 0;
        for (int i = 0; i < n; i++) {
            uint8_t b;
            if (!Byte(&b)) return false;
            *v |= uint64_t(b) << (8 * i);
        }
        return true;
    }
};

bool InRange(int64_t v, int64_t low, int64_t high) { return v >= low && v <= high; }

// ---- digests ----

constexpr uint64_t kFnvOffset = 0xcbf29ce484222325ull;
constexpr uint64_t kFnvPrime = 0x100000001b3ull;

uint64_t Fnv(uint64_t h, const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; i++) h = (h ^ p[i]) * kFnvPrime;
    return h;
}

std::string ReadWhole(const char* path, bool* found) {
    std::string bytes;
    *found = false;
    FILE* f = std::fopen(path, "rb");
    if (!f) return bytes;
    *found = true;
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
    std::fclose(f);
    return bytes;
}

// The file's bytes into the digest; false when it cannot be read.
bool DigestFile(uint64_t* h, const std::string& path) {
    bool found = false;
    const std::string bytes = ReadWhole(path.c_str(), &found);
    if (found) *h = Fnv(*h, bytes.data(), bytes.size());
    return found;
}

bool EndsWith(const std::string& s, const char* end) {
    const size_t n = std::strlen(end);
    return s.size() >= n && strcasecmp(s.c_str() + s.size() - n, end) == 0;
}

std::vector<std::string> SortedNames(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.emplace_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool IsRegularFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}


// ---- recording ----

void FlushRecording() {
    if (!recordFile || pending.empty()) return;
    const bool written = std::fwrite(pending.data(), 1, pending.size(), recordFile) == pending.size() &&
                         std::fflush(recordFile) == 0;
    pending.clear();
    if (!written) {
        std::fprintf(stderr, "valimo: cannot write the recording %s: %s; the game goes on unrecorded\n",
                     recordPath.c_str(), std::strerror(errno));
        std::fclose(recordFile);
        recordFile = nullptr;
        mode = OFF;
    }
}

void Note(const std::string& record) {
    if (mode != RECORDING) return;
    pending += record;
    if (pending.size() >= kFlushBytes) FlushRecording();
}

void EndRecording() {
    if (mode != RECORDING) return;
    std::string end(1, char(JT_END));
    PutVarint(end, uint64_t(frames));
    PutU32(end, lastFrameDigest);
    pending += end;
    FlushRecording();
    if (recordFile) std::fclose(recordFile);
    recordFile = nullptr;
    mode = OFF;
}

// ---- replaying ----

const char* TagName(uint8_t tag) {
    switch (tag) {
    case JT_FREQUENCY: return "the counter's frequency";
    case JT_COUNTER: return "a counter reading";
    case JT_NO_MESSAGE:
    case JT_MESSAGE: return "a window message";
    case JT_SURFACES_LOST: return "a loss of the display";
    case JT_KEYBOARD: return "the keyboard";
    case JT_MOUSE: return "the mouse";
    case JT_OVER_PICTURE: return "the pointer over the picture";
    case JT_SCREEN: return "the screen size";
    case JT_FRAME: return "a frame";
    case JT_SAVE: return "a file saved";
    case JT_END: return "the end of the run";
    default: return "something unknown";
    }
}

[[noreturn]] void Diverged(const std::string& what) {
    std::fprintf(stderr, "valimo: replay: %s\n", what.c_str());
    replayFailed = true;
    std::exit(1);
}

void RemoveFolder() {
    if (replayFolder.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(replayFolder, ignored);
    replayFolder.clear();
}

void EndReplay() {
    if (mode != REPLAYING) return;
    mode = OFF;
    if (!replayFailed) {
        JournalRecord end;
        std::string why;
        size_t at = replayAt;
        if (!ReadJournalRecord(replayBytes, &at, &end, why) || end.tag != JT_END) {
            std::fprintf(stderr, "valimo: replay: the game ended at frame %lld, before the recording did\n", frames);
            replayFailed = true;
        } else if (end.value != frames || end.frameDigest != lastFrameDigest) {
            std::fprintf(stderr,
                         "valimo: replay: the game ended with frame %lld (%08x); the recording with frame %lld (%08x)\n",
                         frames, lastFrameDigest, (long long)end.value, end.frameDigest);
            replayFailed = true;
        }
        std::printf("valimo: replay: %lld frames\n", frames);
        std::printf("valimo: replay: last frame %08x\n", lastFrameDigest);
        std::printf("valimo: replay: prefs.dat %016llx\n", (unsigned long long)FileDigest("prefs.dat"));
        std::fflush(stdout);
    }
    if (!keptFrame.empty() && journalWriteFrame)
        journalWriteFrame("last-frame.png", keptFrame.data(), keptWidth, keptHeight, keptPixelMode);
    RemoveFolder();
    // The game's own status is that of the run played; a replay that left it is a failure.
    if (replayFailed) std::_Exit(1);
}

uint8_t PeekTag() { return replayAt < replayBytes.size() ? uint8_t(replayBytes[replayAt]) : 0; }

// A loss of the display is noted where the host saw it, between two readings;
// it is lost again before the reading that followed it.
void SurfacesLostHere() {
    while (PeekTag() == JT_SURFACES_LOST) {
        replayAt++;
        losingFromJournal = true;
        LoseAllSurfaces();
        losingFromJournal = false;
    }
}

// The next record, which must be of one of the kinds the game now asks for.
JournalRecord Take(uint8_t want, uint8_t orWant = 0) {
    SurfacesLostHere();
    JournalRecord record;
    std::string why;
    const size_t at = replayAt;
    if (!ReadJournalRecord(replayBytes, &replayAt, &record, why))
        Diverged("the recording is damaged at byte " + std::to_string(at));
    if (record.tag != want && (orWant == 0 || record.tag != orWant)) {
        if (record.tag == JT_END)
            Diverged("the recording ends at frame " + std::to_string(frames) + " while the game goes on");
        Diverged("out of step at frame " + std::to_string(frames + 1) + ": the game asks for " + TagName(want) +
                 ", the recording holds " + TagName(record.tag));
    }
    return record;
}

}  // namespace

bool (*journalWriteFrame)(const char* path, const uint16_t* pixels, int width, int height, int pixelMode) = nullptr;

bool ReadJournalHeader(const std::string& bytes, JournalHeader* header, size_t* at, std::string& why) {
    if (bytes.size() < sizeof kJournalMagic || std::memcmp(bytes.data(), kJournalMagic, sizeof kJournalMagic) != 0) {
        why = "not a Valimo replay";
        return false;
    }
    Reader r{bytes, sizeof kJournalMagic};
    uint64_t format = 0, length = 0, digest = 0;
    uint8_t hasPrefs = 0;
    if (!r.Varint(&format) || format == 0) {
        why = r.cut ? "cut short" : "damaged (no format number)";
        return false;
    }
    if (format > kJournalFormat) {
        why = "made by a newer Valimo (replay format " + std::to_string(format) + "; this one reads " +
              std::to_string(kJournalFormat) + ")";
        return false;
    }
    header->format = uint32_t(format);
    if (!r.Varint(&length)) {
        why = r.cut ? "cut short" : "damaged (the version)";
        return false;
    }
    if (length > 64) {
        why = "damaged (a version of " + std::to_string(length) + " characters)";
        return false;
    }
    if (bytes.size() - r.at < length) {
        why = "cut short";
        return false;
    }
    header->version.assign(bytes, r.at, size_t(length));
    r.at += size_t(length);
    for (char c : header->version)
        if (c < 0x20 || c > 0x7E) {
            why = "damaged (the version)";
            return false;
        }
    if (!r.Fixed(8, &digest) || !r.Byte(&hasPrefs) || !r.Varint(&length)) {
        why = r.cut ? "cut short" : "damaged (the players' file)";
        return false;
    }
    // The players' file holds ten short lines; a megabyte is no players' file.
    if (hasPrefs > 1 || length > (1u << 20) || (!hasPrefs && length != 0)) {
        why = "damaged (the players' file)";
        return false;
    }
    if (bytes.size() - r.at < length) {
        why = "cut short";
        return false;
    }
    header->dataDigest = digest;
    header->hasPrefs = hasPrefs == 1;
    header->prefs.assign(bytes, r.at, size_t(length));
    *at = r.at + size_t(length);
    return true;
}

bool ReadJournalRecord(const std::string& bytes, size_t* at, JournalRecord* record, std::string& why) {
    Reader r{bytes, *at};
    *record = JournalRecord{};
    uint8_t tag = 0;
    if (!r.Byte(&tag)) {
        why = "cut short";
        return false;
    }
    record->tag = tag;
    bool ok = true;
    int64_t v = 0;
    uint64_t u = 0;
    switch (tag) {
    case JT_FREQUENCY:
        ok = r.Varint(&u) && u <= (uint64_t(1) << 40);
        record->value = int64_t(u);
        break;
    case JT_COUNTER:
        // A counter never runs back, and a step of more than a year is no step.
        ok = r.Varint(&u) && u <= (uint64_t(1) << 56);
        record->value = int64_t(u);
        break;
    case JT_NO_MESSAGE:
    case JT_SURFACES_LOST:
        break;
    case JT_MESSAGE:
        ok = r.Varint(&u) && (u == WM_ACTIVATE || u == WM_PAINT || u == WM_CLOSE || u == WM_QUIT);
        record->value = int64_t(u);
        ok = ok && r.Varint(&u) && u <= 0xFFFFFFFFu;
        record->wParam = int64_t(u);
        ok = ok && r.Signed(&v) && InRange(v, INT32_MIN, INT32_MAX);
        record->lParam = v;
        break;
    case JT_KEYBOARD: {
        ok = r.Signed(&v) && InRange(v, INT32_MIN, INT32_MAX) && r.Varint(&u) && u <= 256;
        record->result = int32_t(v);
        record->keyCount = int(u);
        for (int i = 0; ok && i < record->keyCount; i++) {
            uint8_t code = 0, value = 0;
            ok = r.Byte(&code) && r.Byte(&value) && (value == 0 || value == 0x80);
            record->keyCode[i] = code;
            record->keyValue[i] = value;
        }
        break;
    }
    case JT_MOUSE: {
        int64_t d[3] = {};
        uint8_t buttons = 0;
        ok = r.Signed(&v) && InRange(v, INT32_MIN, INT32_MAX);
        record->result = int32_t(v);
        for (int i = 0; ok && i < 3; i++) ok = r.Signed(&d[i]) && InRange(d[i], -65536, 65536);
        ok = ok && r.Byte(&buttons) && buttons < 16;
        record->dx = int32_t(d[0]);
        record->dy = int32_t(d[1]);
        record->dz = int32_t(d[2]);
        for (int i = 0; i < 4; i++) record->buttons[i] = (buttons >> i) & 1 ? 0x80 : 0;
        break;
    }
    case JT_OVER_PICTURE:
        ok = r.Varint(&u) && u <= 1;
        record->value = int64_t(u);
        break;
    case JT_SCREEN:
        ok = r.Varint(&u) && u <= 1;
        record->value = int64_t(u);
        ok = ok && r.Varint(&u) && u <= 65536;
        record->wParam = int64_t(u);
        break;
    case JT_SAVE:
        ok = r.Varint(&u) && u <= 2;
        record->result = int32_t(u);
        ok = ok && r.Varint(&u) && u <= 4095;
        record->value = int64_t(u);
        break;
    case JT_FRAME:
    case JT_END:
        if (tag == JT_END) {
            ok = r.Varint(&u) && u <= (uint64_t(1) << 40);
            record->value = int64_t(u);
        }
        ok = ok && r.Fixed(4, &u);
        record->frameDigest = uint32_t(u);
        break;
    default:
        why = "damaged at byte " + std::to_string(*at) + " (an unknown record)";
        return false;
    }
    if (!ok) {
        why = r.cut ? "cut short" : "damaged at byte " + std::to_string(*at) + " (" + TagName(tag) + ")";
        return false;
    }
    *at = r.at;
    return true;
}

std::string CheckJournal(const std::string& bytes, JournalHeader* header) {
    std::string why;
    size_t at = 0;
    if (!ReadJournalHeader(bytes, header, &at, why)) return why;
    JournalRecord record;
    long long shown = 0;
    bool frequency = false;
    while (ReadJournalRecord(bytes, &at, &record, why)) {
        if (record.tag == JT_FRAME) shown++;
        if (record.tag == JT_FREQUENCY) frequency = true;
        if (record.tag == JT_COUNTER && !frequency) return "damaged (a counter reading before its frequency)";
        if (record.tag != JT_END) continue;
        if (record.value != shown) return "damaged (the end names another frame count)";
        if (at != bytes.size()) return "damaged (bytes after the end)";
        return "";
    }
    return why;
}

uint64_t GameDataDigest(const std::string& dir) {
    uint64_t h = kFnvOffset;
    auto add = [&](const std::string& name) {
        const std::string path = dir + "/" + name;
        if (!IsRegularFile(path)) return;
        h = Fnv(h, name.c_str(), name.size() + 1);
        if (!DigestFile(&h, path)) h = Fnv(h, "?", 1);
    };
    for (const std::string& name : SortedNames(dir))
        if (EndsWith(name, ".bmp") || EndsWith(name, ".avi")) add(name);
    for (const char* sub : {"levels", "data"})
        for (const std::string& name : SortedNames(dir + "/" + sub)) add(std::string(sub) + "/" + name);
    return h;
}

uint32_t FrameDigest(const uint16_t* pixels, int pitchPixels, int width, int height) {
    // Word by word, so a frame's digest costs a small part of drawing it.
    uint64_t h = kFnvOffset;
    for (int y = 0; y < height; y++) {
        const uint16_t* row = pixels + size_t(y) * size_t(pitchPixels);
        for (int x = 0; x < width; x++) h = (h ^ row[x]) * kFnvPrime;
    }
    return uint32_t(h ^ (h >> 32));
}

uint64_t FileDigest(const char* path) {
    uint64_t h = kFnvOffset;
    return DigestFile(&h, path) ? h : 0;
}

bool OpenRecording(const char* path, std::string& why) {
    recordFile = std::fopen(path, "wb");
    if (!recordFile) {
        why = std::strerror(errno);
        return false;
    }
    recordPath = path;
    return true;
}

void StartRecording(const char* version) {
    if (!recordFile) return;
    bool found = false;
    const std::string prefs = ReadWhole("prefs.dat", &found);
    std::string header(kJournalMagic, sizeof kJournalMagic);
    PutVarint(header, kJournalFormat);
    const std::string v = std::string(version).substr(0, 64);
    PutVarint(header, v.size());
    header += v;
    char here[4096];
    PutU64(header, GameDataDigest(getcwd(here, sizeof here) ? here : "."));
    header += char(found ? 1 : 0);
    PutVarint(header, found ? prefs.size() : 0);
    if (found) header += prefs;
    mode = RECORDING;
    pending = header;
    FlushRecording();
    std::atexit(EndRecording);
}

bool LoadReplay(const char* path, const char* version, JournalHeader* header, std::string& why) {
    FILE* f = std::fopen(path, "rb");
    if (!f) {
        why = std::string("cannot read it: ") + std::strerror(errno);
        return false;
    }
    // The magic first: a big file of anything else is refused without reading it.
    char magic[sizeof kJournalMagic] = {};
    const size_t got = std::fread(magic, 1, sizeof magic, f);
    struct stat info;
    const bool sized = fstat(fileno(f), &info) == 0;
    if (got < sizeof magic || std::memcmp(magic, kJournalMagic, sizeof magic) != 0) {
        std::fclose(f);
        why = "not a Valimo replay";
        return false;
    }
    if (!sized || !S_ISREG(info.st_mode) || uint64_t(info.st_size) > kJournalMaxBytes) {
        std::fclose(f);
        why = "too long for a replay";
        return false;
    }
    std::rewind(f);
    std::string bytes;
    bytes.resize(size_t(info.st_size));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    size_t at = 0;
    if (!ReadJournalHeader(bytes, header, &at, why)) return false;
    if (header->version != version) {
        why = "recorded by valimo " + header->version + "; this is valimo " + version;
        return false;
    }
    why = CheckJournal(bytes, header);
    if (!why.empty()) return false;
    replayBytes = std::move(bytes);
    replayAt = at;
    return true;
}

std::string LayReplayFolder(const std::string& data, const std::string& into, const JournalHeader& header,
                            std::string& why) {
    namespace fs = std::filesystem;
    std::error_code error;
    std::string folder;
    if (into.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/valimo-replay-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            why = "cannot make a folder to replay in: " + std::string(std::strerror(errno));
            return "";
        }
        folder = pattern;
    } else {
        fs::create_directories(into, error);
        if (!fs::is_directory(into) || !fs::is_empty(into, error)) {
            why = "the folder " + into + " to replay in is not an empty folder";
            return "";
        }
        folder = fs::absolute(into, error).string();
    }
    // The game's data by link: the data of a run are read, never written.
    bool laid = true;
    for (const std::string& name : SortedNames(data)) {
        const std::string path = data + "/" + name;
        const bool place = name == "levels" || name == "data";
        const bool file = IsRegularFile(path) && name != "prefs.dat" && name != "valimo.log" && name != "valimo.lock" &&
                          access(path.c_str(), X_OK) != 0;
        if ((place || file) && symlink(path.c_str(), (folder + "/" + name).c_str()) != 0) laid = false;
    }
    if (header.hasPrefs) {
        FILE* f = std::fopen((folder + "/prefs.dat").c_str(), "wb");
        laid = laid && f && std::fwrite(header.prefs.data(), 1, header.prefs.size(), f) == header.prefs.size();
        if (f && std::fclose(f) != 0) laid = false;
    }
    if (!laid) {
        why = "cannot lay the folder to replay in, " + folder + ": " + std::strerror(errno);
        fs::remove_all(folder, error);
        return "";
    }
    return folder;
}

void StartReplay(bool headless, const std::string& folderToRemove) {
    mode = REPLAYING;
    replayHeadless = headless;
    replayFolder = folderToRemove;
    std::atexit(EndReplay);
}

bool JournalRecording() { return mode == RECORDING; }
bool JournalReplaying() { return mode == REPLAYING; }

bool JournalPeekMessage(MSG* msg, bool taken) {
    if (mode == RECORDING) {
        std::string record(1, char(taken ? JT_MESSAGE : JT_NO_MESSAGE));
        if (taken) {
            PutVarint(record, msg->message);
            PutVarint(record, uint64_t(msg->wParam) & 0xFFFFFFFFu);
            PutSigned(record, int32_t(msg->lParam));
        }
        Note(record);
        return taken;
    }
    if (mode != REPLAYING) return taken;
    // A quit from the watcher's own window ends the watching; nothing else of the
    // host's reaches the game.
    if (taken && msg->message == WM_QUIT && !replayHeadless) Diverged("stopped at frame " + std::to_string(frames));
    const JournalRecord record = Take(JT_MESSAGE, JT_NO_MESSAGE);
    if (record.tag == JT_NO_MESSAGE) return false;
    msg->message = unsigned(record.value);
    msg->wParam = WPARAM(record.wParam);
    msg->lParam = LPARAM(record.lParam);
    return true;
}

int64_t JournalCounter(int64_t value) {
    if (mode == RECORDING) {
        std::string record(1, char(JT_COUNTER));
        // Steps, not readings: a few bytes each. A counter that ran back is read as standing.
        PutVarint(record, uint64_t(std::max<int64_t>(0, value - lastCounter)));
        lastCounter = std::max(lastCounter, value);
        Note(record);
        return lastCounter;
    }
    if (mode != REPLAYING) return value;
    lastCounter += Take(JT_COUNTER).value;
    return lastCounter;
}

int64_t JournalFrequency(int64_t value) {
    if (mode == RECORDING) {
        std::string record(1, char(JT_FREQUENCY));
        PutVarint(record, uint64_t(std::clamp<int64_t>(value, 0, int64_t(1) << 40)));
        Note(record);
        return value;
    }
    if (mode != REPLAYING) return value;
    replayFrequency = Take(JT_FREQUENCY).value;
    return replayFrequency;
}

void JournalSleepUntil(int64_t deadline) {
    if (mode != REPLAYING || replayHeadless || replayFrequency <= 0) return;
    // The recorded pace on this host's clock, from the first rest on.
    const int64_t hostFrequency = HostCounterFrequency();
    if (!paceKnown) {
        paceKnown = true;
        paceRecorded = lastCounter;
        paceHost = HostCounter();
    }
    const long double ahead = (long double)(deadline - paceRecorded) * hostFrequency / replayFrequency;
    HostSleepUntil(paceHost + int64_t(ahead));
}

HRESULT JournalDeviceState(bool keyboard, HRESULT result, void* data) {
    if (mode == RECORDING) {
        std::string record(1, char(keyboard ? JT_KEYBOARD : JT_MOUSE));
        PutSigned(record, result);
        if (keyboard) {
            const auto* keys = static_cast<const uint8_t*>(data);
            std::string changes;
            int count = 0;
            for (int code = 0; code < 256; code++) {
                const uint8_t value = keys[code] & 0x80;
                if (value == lastKeys[code]) continue;
                changes += char(code);
                changes += char(value);
                lastKeys[code] = value;
                count++;
            }
            PutVarint(record, uint64_t(count));
            record += changes;
        } else {
            const auto* m = static_cast<const DIMOUSESTATE*>(data);
            PutSigned(record, std::clamp<int64_t>(m->lX, -65536, 65536));
            PutSigned(record, std::clamp<int64_t>(m->lY, -65536, 65536));
            PutSigned(record, std::clamp<int64_t>(m->lZ, -65536, 65536));
            uint8_t buttons = 0;
            for (int i = 0; i < 4; i++)
                if (m->rgbButtons[i] & 0x80) buttons |= uint8_t(1 << i);
            record += char(buttons);
        }
        Note(record);
        return result;
    }
    if (mode != REPLAYING) return result;
    const JournalRecord record = Take(keyboard ? JT_KEYBOARD : JT_MOUSE);
    if (keyboard) {
        for (int i = 0; i < record.keyCount; i++) lastKeys[record.keyCode[i]] = record.keyValue[i];
        std::memcpy(data, lastKeys, sizeof lastKeys);
    } else {
        DIMOUSESTATE m{};
        m.lX = record.dx;
        m.lY = record.dy;
        m.lZ = record.dz;
        std::memcpy(m.rgbButtons, record.buttons, sizeof m.rgbButtons);
        std::memcpy(data, &m, sizeof m);
    }
    return record.result;
}

bool JournalOverPicture(bool over) {
    if (mode == RECORDING) {
        std::string record(1, char(JT_OVER_PICTURE));
        PutVarint(record, over ? 1 : 0);
        Note(record);
        return over;
    }
    if (mode != REPLAYING) return over;
    return Take(JT_OVER_PICTURE).value != 0;
}

int JournalScreenMetric(int index, int value) {
    if (mode == RECORDING) {
        std::string record(1, char(JT_SCREEN));
        PutVarint(record, index == 0 ? 0 : 1);
        PutVarint(record, uint64_t(std::clamp(value, 0, 65536)));
        Note(record);
        return value;
    }
    if (mode != REPLAYING) return value;
    return int(Take(JT_SCREEN).wParam);
}

bool JournalSurfacesLost() {
    if (mode == RECORDING) Note(std::string(1, char(JT_SURFACES_LOST)));
    return mode != REPLAYING || losingFromJournal;
}

bool JournalSaveStarts(int* result, int* error) {
    if (mode != REPLAYING) return true;
    const JournalRecord record = Take(JT_SAVE);
    *result = record.result;
    *error = int(record.value);
    // A save that went through is made again, so the players' file holds what it did.
    return record.result != 0;
}

void JournalSaved(int result, int error) {
    if (mode != RECORDING) return;
    std::string record(1, char(JT_SAVE));
    PutVarint(record, uint64_t(std::clamp(result, 0, 2)));
    PutVarint(record, uint64_t(std::clamp(error, 0, 4095)));
    Note(record);
}

void JournalFrameShown(const uint16_t* pixels, int pitchPixels, int width, int height, int pixelMode) {
    if (mode == OFF) return;
    frames++;
    lastFrameDigest = FrameDigest(pixels, pitchPixels, width, height);
    if (mode == RECORDING) {
        std::string record(1, char(JT_FRAME));
        PutU32(record, lastFrameDigest);
        Note(record);
        // Once a second or so on the disk: a run that ends hard keeps what it had.
        if (frames % 64 == 0) FlushRecording();
        return;
    }
    if (replayFolder.empty() && width > 0 && height > 0) {
        keptFrame.resize(size_t(width) * size_t(height));
        for (int y = 0; y < height; y++)
            std::memcpy(&keptFrame[size_t(y) * size_t(width)], pixels + size_t(y) * size_t(pitchPixels),
                        size_t(width) * sizeof(uint16_t));
        keptWidth = width;
        keptHeight = height;
        keptPixelMode = pixelMode;
    }
    const JournalRecord record = Take(JT_FRAME);
    if (record.frameDigest != lastFrameDigest) {
        char text[160];
        std::snprintf(text, sizeof text, "frame %lld differs from the recording (%08x, recorded %08x)", frames,
                      lastFrameDigest, record.frameDigest);
        Diverged(text);
    }
}
