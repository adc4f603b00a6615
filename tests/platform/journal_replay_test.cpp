// A committed replay, changed, played by the real program: a game that leaves
// its recording is caught at the frame where it first does, and said so.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/journal.h"

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct Played {
    int status = -1;
    std::string err;
    bool folderLeft = false;
};

// Plays bytes as a replay headless, in a temporary folder of its own.
Played Play(const std::string& bytes) {
    const fs::path dir = fs::temp_directory_path() / ("valimo-diverge-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "tmp");
    std::ofstream(dir / "run.vrp", std::ios::binary) << bytes;
    const std::string command = "cd " + dir.string() + " && TMPDIR=" + (dir / "tmp").string() + " " VALIMO_GAME_DIR
                                "/valimo --replay run.vrp --headless >out 2>err";
    const int status = std::system(command.c_str());
    Played played;
    played.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    played.err = ReadBytes(dir / "err");
    played.folderLeft = !fs::is_empty(dir / "tmp");
    fs::remove_all(dir);
    return played;
}

// The offset of the record of `tag` that is the `nth` of its kind (from 1).
size_t RecordAt(const std::string& bytes, uint8_t tag, int nth) {
    JournalHeader header;
    size_t at = 0;
    std::string why;
    EXPECT_TRUE(ReadJournalHeader(bytes, &header, &at, why));
    JournalRecord record;
    for (size_t start = at; ReadJournalRecord(bytes, &at, &record, why); start = at)
        if (record.tag == tag && --nth == 0) return start;
    ADD_FAILURE() << "no such record";
    return 0;
}

const fs::path kReplay = fs::path(VALIMO_SOURCE_DIR) / "tests/replays/level_solved.vrp";

TEST(ReplayRun, AFrameThatDiffersIsNamedAndTheReplayEndsWithStatusOne) {
    std::string bytes = ReadBytes(kReplay);
    ASSERT_FALSE(bytes.empty());
    // The digest of frame 900 changed: the game draws what it drew, the recording says otherwise.
    const size_t at = RecordAt(bytes, JT_FRAME, 900);
    bytes[at + 1] = char(bytes[at + 1] ^ 0x5A);
    const Played played = Play(bytes);
    EXPECT_EQ(played.status, 1);
    EXPECT_NE(played.err.find("valimo: replay: frame 900 differs from the recording"), std::string::npos)
        << played.err;
    EXPECT_FALSE(played.folderLeft) << "a replay's folder goes when it ends";
}

TEST(ReplayRun, InputThatLeadsElsewhereIsCaughtAtItsFirstFrame) {
    std::string bytes = ReadBytes(kReplay);
    // One reading of the mouse a long way off, in the middle of the first level: the
    // pointer is drawn elsewhere from that frame on.
    const size_t at = RecordAt(bytes, JT_FRAME, 800);
    size_t mouse = at;
    while (mouse < bytes.size() && uint8_t(bytes[mouse]) != JT_MOUSE) mouse++;
    ASSERT_LT(mouse, bytes.size());
    JournalRecord record;
    std::string why;
    size_t end = mouse;
    ASSERT_TRUE(ReadJournalRecord(bytes, &end, &record, why));
    std::string moved = "m";
    moved += char(0);                       // the result, DI_OK
    moved += char(80) + std::string(1, 0);  // 40 pixels right, none down
    moved += char(0);
    moved += char((record.buttons[0] ? 1 : 0));
    bytes.replace(mouse, end - mouse, moved);
    const Played played = Play(bytes);
    EXPECT_EQ(played.status, 1);
    EXPECT_NE(played.err.find("valimo: replay: frame 801 differs"), std::string::npos) << played.err;
}

TEST(ReplayRun, AReadingMoreOrLessPutsTheReplayOutOfStep) {
    std::string bytes = ReadBytes(kReplay);
    const size_t at = RecordAt(bytes, JT_KEYBOARD, 300);
    bytes.insert(at, std::string("k\0\0", 3));
    const Played played = Play(bytes);
    EXPECT_EQ(played.status, 1);
    EXPECT_NE(played.err.find("out of step at frame"), std::string::npos) << played.err;
}

}  // namespace
