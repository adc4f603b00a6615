// A run written down and played again: everything the layer hands the game that
// is not a pure function of the game's own state (messages, counter readings,
// device states, the pointer over the picture, the screen size), in the order
// the game asked for it, with a digest of every frame shown. The same journal
// serves every host, since it is taken at the layer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win.h"

// The file: kJournalMagic, the format number, the program's version, a digest of
// the game data the run reads, the players' file as it was at the start, then
// the records, the last one the end mark.
constexpr char kJournalMagic[8] = {'V', 'A', 'L', 'I', 'M', 'O', 'R', 'P'};
constexpr uint32_t kJournalFormat = 1;
// A longer file is refused unread: hours of play take a few megabytes.
constexpr size_t kJournalMaxBytes = size_t(256) << 20;

struct JournalHeader {
    uint32_t format = 0;
    std::string version;
    uint64_t dataDigest = 0;
    bool hasPrefs = false;  // the run started without a players' file
    std::string prefs;
};

enum JournalTag : uint8_t {
    JT_FREQUENCY = 'f',
    JT_COUNTER = 'c',
    JT_NO_MESSAGE = 'n',
    JT_MESSAGE = 'w',
    JT_SURFACES_LOST = 'l',
    JT_KEYBOARD = 'k',
    JT_MOUSE = 'm',
    JT_OVER_PICTURE = 'p',
    JT_SCREEN = 's',
    JT_FRAME = 'd',
    JT_SAVE = 'v',
    JT_END = 'e',
};

// One record as read. Keys: the entries that changed since the last keyboard read.
struct JournalRecord {
    uint8_t tag = 0;
    int64_t value = 0;      // counter step, frequency, message, over-picture, screen index, frame count
    int64_t wParam = 0;     // message: wParam; screen: the size
    int64_t lParam = 0;
    int32_t result = 0;     // device reads: the result code; a save: its result, value its errno
    int32_t dx = 0, dy = 0, dz = 0;
    uint8_t buttons[4] = {};
    int keyCount = 0;
    uint8_t keyCode[256] = {};
    uint8_t keyValue[256] = {};
    uint32_t frameDigest = 0;  // frame, end
};

// Reads the header; false, with the reason in one line, when it is not one this
// program reads. `at` is left at the first record.
bool ReadJournalHeader(const std::string& bytes, JournalHeader* header, size_t* at, std::string& why);
// Reads the record at `at` and moves past it; false, with the reason, for a
// record cut short or holding a value no run gives.
bool ReadJournalRecord(const std::string& bytes, size_t* at, JournalRecord* record, std::string& why);
// The whole file, header and records: "" when it can be replayed, else why not.
std::string CheckJournal(const std::string& bytes, JournalHeader* header);

// A digest of the game data a run reads, by relative name and content: the
// pictures and movies of dir, and everything in its levels/ and data/.
uint64_t GameDataDigest(const std::string& dir);
// A digest of a frame, as the journal keeps one for every frame shown.
uint32_t FrameDigest(const uint16_t* pixels, int pitchPixels, int width, int height);
// A digest of a file's bytes; 0 for a file that is not there.
uint64_t FileDigest(const char* path);

// Recording. The file is opened before the game's folder is entered (its name is
// the player's, relative to where they typed it); false, with the reason, when it
// cannot be written. StartRecording writes the header from the folder entered.
bool OpenRecording(const char* path, std::string& why);
void StartRecording(const char* version);

// Replaying. LoadReplay reads and checks the file (header and every record);
// false, with the reason in one line, when it cannot be replayed by this program.
bool LoadReplay(const char* path, const char* version, JournalHeader* header, std::string& why);
// How a replay into a folder leaves its last frame there; set by a program that
// writes pictures (none: no picture is left).
extern bool (*journalWriteFrame)(const char* path, const uint16_t* pixels, int width, int height, int pixelMode);

// The folder a replay plays in: `into` (made; it must be empty), or a fresh one
// in the temporary folder. It holds links to the game data of `data` and the
// players' file of the recording, so nothing of the player's is ever written.
// Empty, with the reason, when it cannot be made.
std::string LayReplayFolder(const std::string& data, const std::string& into, const JournalHeader& header,
                            std::string& why);
// Plays the loaded records from now on; headless: as fast as it goes, else at
// the recorded pace. At the end of the run the frame count and the digests are
// printed; a run that leaves the recording ends at once with status 1. A replay
// into a folder of the player's choice leaves its last frame there too, as
// "last-frame.png".
void StartReplay(bool headless, const std::string& folderToRemove);

bool JournalRecording();
bool JournalReplaying();

// The layer's hooks, in the calls the game makes.
bool JournalPeekMessage(MSG* msg, bool taken);  // recording: notes; replaying: gives
int64_t JournalCounter(int64_t value);
int64_t JournalFrequency(int64_t value);
void JournalSleepUntil(int64_t deadline);
HRESULT JournalDeviceState(bool keyboard, HRESULT result, void* data);
bool JournalOverPicture(bool over);
int JournalScreenMetric(int index, int value);
// Host-side loss of the surfaces: false when it is to be ignored (a replay loses
// them where the recording did, not where its own window does).
bool JournalSurfacesLost();
// A file saved: what the system made of it is part of the run (a full disk, a
// folder gone). Replaying, a save whose recording failed fails again with its
// error and the file is not touched: false, with *result and *error. Otherwise
// true: the save is to be made, and JournalSaved told how it went.
bool JournalSaveStarts(int* result, int* error);
void JournalSaved(int result, int error);
void JournalFrameShown(const uint16_t* pixels, int pitchPixels, int width, int height, int pixelMode);
