#include "profiles/profiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/game_flow.h"
#include "app/log.h"
#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/font.h"
#include "gfx/sprite.h"
#include "gui/registry.h"
#include "gui/window_draw.h"
#include "input/input.h"
#include "profiles/save_file.h"

PlayerProfile profiles[MAX_PLAYERS]{};
int profileCount = 0;

namespace {

constexpr const char* kProfileFile = "prefs.dat";
constexpr int kListX = 180;
constexpr int kListWidth = 180;
constexpr int kRowTop = 169;
constexpr int kRowHeight = 17;
constexpr int kSmileySprite = 21;

// A word of a sane file is short; the rest of a monster one is skipped, not stored.
constexpr size_t kKeptWordLength = 64;
// What a log line quotes of a damaged record.
constexpr size_t kQuotedLength = 80;

struct FileWord {
    std::string text;  // at most kKeptWordLength bytes
    int line = 0;      // the line it begins on, counted from 1
    bool cut = false;  // the word was longer than what was kept
};

// Whitespace-separated words of the file, as the formatted reader would see them,
// with their lines, so that a damaged record can be passed over.
class WordReader {
public:
    explicit WordReader(FILE* file) : file_(file) {}

    bool Next(FileWord* word) {
        if (held_) {
            held_ = false;
            *word = heldWord_;
            return true;
        }
        word->text.clear();
        word->cut = false;
        int c;
        while ((c = std::fgetc(file_)) != EOF && std::isspace(c)) CountLine(c);
        word->line = line_;
        while (c != EOF && !std::isspace(c)) {
            if (word->text.size() < kKeptWordLength) word->text.push_back(char(c));
            else word->cut = true;
            c = std::fgetc(file_);
        }
        lineEnded_ = c == '\n' || c == EOF;
        CountLine(c);
        return !word->text.empty();
    }

    // The word just read is read again by the next Next.
    void Unread(const FileWord& word) {
        held_ = true;
        heldWord_ = word;
    }

    // The rest of the line the last word ended on, appended to `text` as far as it is quoted.
    void SkipRestOfLine(std::string* text) {
        if (held_ || lineEnded_) return;
        int c;
        // The blank that ended the last word was taken with it.
        bool first = true;
        while ((c = std::fgetc(file_)) != EOF && c != '\n') {
            if (first) text->push_back(' ');
            first = false;
            if (text->size() <= kQuotedLength) text->push_back(char(c));
        }
        CountLine(c);
        lineEnded_ = true;
    }

private:
    void CountLine(int c) {
        if (c == '\n') line_++;
    }

    FILE* file_;
    int line_ = 1;
    bool lineEnded_ = true;
    bool held_ = false;
    FileWord heldWord_;
};

// A decimal int and nothing else: an optional sign, then digits.
bool ReadInt(const FileWord& word, int* value) {
    if (word.cut || word.text.empty()) return false;
    const char* first = word.text.data();
    const char* last = first + word.text.size();
    if (*first == '+' && last - first > 1 && first[1] != '-') first++;
    int read = 0;
    const auto [end, error] = std::from_chars(first, last, read, 10);
    if (error != std::errc() || end != last) return false;
    *value = read;
    return true;
}

// Levels the game can show (as level + 1) and raise; a level read from outside
// that range is held to it.
void HoldLevelInRange(PlayerProfile* record) {
    const int held = std::clamp(record->level, 0, MAX_PLAYER_LEVEL);
    if (held == record->level) return;
    char line[PLAYER_NAME_SIZE + 96];
    std::snprintf(line, sizeof line, "prefs.dat: player %s is at level %d, read as %d\n", record->name, record->level,
                  held);
    WriteLog(line);
    record->level = held;
}

// Changed on purpose: damaged records (docs/BEHAVIOUR.md).
// A damaged record, as one line of the log: control bytes would cut or split it.
void LogSkippedRecord(const std::string& text) {
    std::string line = "prefs.dat: a damaged player record is left out: ";
    for (size_t i = 0; i < text.size() && i < kQuotedLength; i++) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        line.push_back(c < 32 || c == 127 ? '?' : char(c));
    }
    if (text.size() > kQuotedLength) line += "...";
    line += "\n";
    WriteLog(line.c_str());
}

// One word of at most PLAYER_ID_MAX_LENGTH characters: blanks and NULs dropped
// (either would cut or split the id when it is read back), the tail cut.
void StoreId(char* name, const char* text, size_t size) {
    int length = 0;
    for (size_t i = 0; i < size && length < PLAYER_ID_MAX_LENGTH; i++)
        if (text[i] != 0 && !std::isspace(static_cast<unsigned char>(text[i]))) name[length++] = text[i];
    std::memset(name + length, 0, size_t(PLAYER_NAME_SIZE - length));
}

uint16_t ListColour(uint16_t rgb565, uint16_t rgb555) { return PixelMode == 15 ? rgb555 : rgb565; }

}  // namespace

void LoadProfiles() {
    WriteLog("Attempting to read prefs.dat\n");
    // Only a plain file: a directory opens for reading but holds no profiles, and a
    // pipe would wait for a writer forever.
    FILE* file = nullptr;
    const int fd = ::open(kProfileFile, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd >= 0 && fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) file = fdopen(fd, "r");
    if (!file && fd >= 0) ::close(fd);
    if (!file) {
        // Changed on purpose: prefs.dat that is no file (docs/BEHAVIOUR.md).
        WriteLog("ERROR: Unable to open prefs.dat\n");
        quitRequested = true;
        return;
    }
    WordReader reader(file);
    FileWord word;
    int announced = profileCount;
    if (reader.Next(&word) && word.text == "PLAYERS" && reader.Next(&word)) ReadInt(word, &announced);
    if (announced < 0) announced = 0;
    if (announced > MAX_PLAYERS) announced = MAX_PLAYERS;

    // Only whole records count, and a damaged one costs itself alone: the records
    // after it are read, so the next save does not drop them. A file of nothing but
    // damage is not read to its end.
    int kept = 0, skipped = 0;
    while (kept < announced && skipped < MAX_PLAYERS) {
        FileWord name;
        if (!reader.Next(&name)) break;
        PlayerProfile record{};
        StoreId(record.name, name.text.data(), name.text.size());
        std::string quoted = name.text;
        int* const fields[] = {&record.level, &record.timeMajor, &record.timeMinor};
        bool whole = true;
        for (int* field : fields) {
            FileWord number;
            if (!reader.Next(&number)) {
                whole = false;
                break;
            }
            const bool read = ReadInt(number, field);
            // A record cut short: a word on a later line that is no number begins the next one.
            if (!read && number.line != name.line) {
                reader.Unread(number);
                whole = false;
                break;
            }
            quoted += " " + number.text;
            if (!read) {
                reader.SkipRestOfLine(&quoted);
                whole = false;
                break;
            }
        }
        // An id of NULs only would be written as nothing and shift every later field.
        if (!whole || record.name[0] == 0) {
            LogSkippedRecord(quoted);
            skipped++;
            continue;
        }
        HoldLevelInRange(&record);
        record.keep = true;
        record.selected = false;
        profiles[kept++] = record;
    }
    profileCount = kept;
    stateAfterIntro = profileCount == 0 ? GS_WELCOME : GS_SELECT_PLAYER;
    profiles[0].selected = true;
    std::fclose(file);
}

void SaveProfiles() {
    const int count = profileCount < 0 ? 0 : profileCount > MAX_PLAYERS ? MAX_PLAYERS : profileCount;
    std::string content = "PLAYERS " + std::to_string(count) + "\n";
    for (int i = 0; i < count; i++) {
        char line[PLAYER_NAME_SIZE + 3 * 12 + 4];
        std::snprintf(line, sizeof line, "%s %d %d %d\n", profiles[i].name, profiles[i].level, profiles[i].timeMajor,
                      profiles[i].timeMinor);
        content += line;
    }
    int error = 0;
    switch (SaveFileWhole(kProfileFile, content, &error)) {
    case SAVE_FAILED: {
        WriteLog("Failed to save profiles\n");
        quitRequested = true;
        // Changed on purpose: a failed save is told (docs/BEHAVIOUR.md).
        char text[512];
        std::snprintf(text, sizeof text,
                      "Cannot save the players in %s%s%s: %s. The game has ended; the file keeps the players as "
                      "they were last saved.",
                      startDirectory, startDirectory[0] ? "/" : "", kProfileFile, std::strerror(error ? error : EIO));
        ReportUnsavedWork(text);
        break;
    }
    case SAVE_NOT_SYNCED:
        // The new file is in place; only its folder's entry may still be in the cache.
        WriteLog("prefs.dat is saved, but its folder could not be synced to disk\n");
        break;
    case SAVE_DONE:
        break;
    }
}

void DrawPlayerList() {
    const uint16_t header = ListColour(0x1814, 0x0C14);
    const uint16_t even = ListColour(0x18C3, 0x0C63);
    const uint16_t odd = ListColour(0x3186, 0x18C6);
    const uint16_t chosen = ListColour(0xC000, 0x6000);

    FillScreenRect(kListX, 155, kListWidth, 14, header);
    SelectFont(0);
    PrintText("Player Id", 185, 154);
    PrintText("Level / Time", 292, 154);
    for (int i = 0; i < MAX_PLAYERS; i++) {
        const int y = kRowTop + kRowHeight * i;
        FillScreenRect(kListX, y, kListWidth, kRowHeight, i % 2 == 0 ? even : odd);
        if (profiles[i].selected) FillScreenRect(kListX, y, kListWidth, kRowHeight, chosen);
    }
    for (int i = 0; i < profileCount && i < MAX_PLAYERS; i++) {
        const int y = kRowTop + kRowHeight * i;
        if (profiles[i].level == 3) {
            DrawStaticSprite(kSmileySprite, 317, y);
            PrintText(profiles[i].name, 185, y);
        } else {
            PrintText(profiles[i].name, 185, y);
            char line[48];
            std::snprintf(line, sizeof line, "%d / (%d:%d)", ShownLevel(profiles[i].level), profiles[i].timeMajor,
                          profiles[i].timeMinor);
            PrintText(line, 325 - TextWidth(line) / 2, y);
        }
    }
}

void PickPlayer() {
    if (!mouseClick) return;
    for (int i = 0; i < MAX_PLAYERS; i++) {
        const int y = kRowTop + kRowHeight * i;
        if (mouseX >= kListX && mouseX <= kListX + kListWidth && mouseY >= y && mouseY <= y + kRowHeight &&
            i < profileCount) {
            for (PlayerProfile& p : profiles) p.selected = false;
            profiles[i].selected = true;
        }
    }
}

int AddPlayer() {
    // The box itself refuses what the file could not keep, so the player sees the id
    // exactly as it will be stored.
    const int slot = FindWindowId("ADDNEWID");
    if (slot != NOIDFOUND && windows[slot].textBoxCount > 0) {
        windows[slot].textBoxes[0].maxLength = PLAYER_ID_MAX_LENGTH;
        windows[slot].textBoxes[0].oneWord = true;
    }
    const int r = DrawWindow("ADDNEWID");
    if (r == 0) return 0;
    if (r != 1 || slot == NOIDFOUND || windows[slot].textBoxCount <= 0) return 2;
    const GuiTextBox& box = windows[slot].textBoxes[0];
    if (TextWidthNoSpaces(box.text) <= 0) return 2;
    if (profileCount < 0 || profileCount >= MAX_PLAYERS) return 2;
    PlayerProfile& p = profiles[profileCount];
    StoreId(p.name, box.text, strnlen(box.text, sizeof box.text));
    if (p.name[0] == 0) return 2;
    p.level = 0;
    p.timeMajor = 0;
    p.timeMinor = 0;
    profileCount++;
    return 1;
}

void CopyProfile(PlayerProfile* destination, const PlayerProfile* source) {
    std::memcpy(destination->name, source->name, sizeof destination->name);
    destination->name[PLAYER_NAME_SIZE - 1] = 0;
    destination->timeMajor = source->timeMajor;
    destination->timeMinor = source->timeMinor;
    destination->level = source->level;
    destination->selected = false;
    destination->keep = true;
}

void DeleteSelectedPlayer() {
    const int count = profileCount < 0 ? 0 : profileCount > MAX_PLAYERS ? MAX_PLAYERS : profileCount;
    for (int i = 0; i < count; i++) profiles[i].keep = !profiles[i].selected;
    PlayerProfile kept[MAX_PLAYERS]{};
    int n = 0;
    for (int i = 0; i < count; i++)
        if (profiles[i].keep) CopyProfile(&kept[n++], &profiles[i]);
    profileCount = n;
    for (int i = 0; i < n; i++) CopyProfile(&profiles[i], &kept[i]);
    SaveProfiles();
    for (PlayerProfile& p : profiles) p.selected = false;
    profiles[0].selected = true;
}

int CurrentPlayer() {
    int current = NO_PLAYER;
    for (int i = 0; i < profileCount && i < MAX_PLAYERS; i++)
        if (profiles[i].selected) current = i;
    return current;
}
