// "prefs.dat" as players leave it: cut short, hand-edited, filled with what the
// game never writes. Reading must keep to whole records, never write the file,
// and leave a table the selection screen can draw.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "app/valimo.h"
#include "gui/gui_test_support.h"
#include "profiles/profiles.h"
#include "test_support.h"

namespace {

void ForgetProfiles() {
    std::memset(profiles, 0, sizeof profiles);
    profileCount = 0;
    quitRequested = false;
}

const std::string kSkipped = "prefs.dat: a damaged player record is left out: ";
int skippedRecords = 0;

// Reads `file` and checks what every reading must give; the count read. Each
// record left out is one whole log line of printable bytes (skippedRecords).
int LoadAndCheck(const std::string& file) {
    WriteFile("prefs.dat", file);
    WriteFile("valimo.log", "");
    ForgetProfiles();
    LoadProfiles();
    EXPECT_FALSE(quitRequested);
    const std::string log = ReadLog();
    const std::string first = "Attempting to read prefs.dat\n";
    EXPECT_EQ(log.substr(0, first.size()), first);
    skippedRecords = 0;
    for (size_t at = first.size(); at < log.size();) {
        const size_t end = log.find('\n', at);
        if (end == std::string::npos) {
            ADD_FAILURE() << "a line without its end: " << log;
            break;
        }
        const std::string line = log.substr(at, end - at);
        if (line.rfind(kSkipped, 0) == 0) skippedRecords++;
        else EXPECT_EQ(line.rfind("prefs.dat: player ", 0), 0u) << line;
        for (char c : line) EXPECT_GE(static_cast<unsigned char>(c), 32) << line;
        EXPECT_LE(line.size(), kSkipped.size() + 84) << line;
        at = end + 1;
    }
    EXPECT_LE(skippedRecords, MAX_PLAYERS);
    EXPECT_GE(profileCount, 0);
    EXPECT_LE(profileCount, MAX_PLAYERS);
    EXPECT_EQ(CurrentPlayer(), profileCount > 0 ? 0 : NO_PLAYER);
    for (int i = 0; i < profileCount; i++) {
        EXPECT_GT(std::strlen(profiles[i].name), 0u) << i;
        EXPECT_LE(std::strlen(profiles[i].name), size_t(PLAYER_ID_MAX_LENGTH)) << i;
        for (const char* p = profiles[i].name; *p; p++) EXPECT_FALSE(std::isspace(static_cast<unsigned char>(*p)));
    }
    DrawPlayerList();
    EXPECT_EQ(ReadFile("prefs.dat"), file) << "reading changed the file";
    return profileCount;
}

TEST(ProfileBadData, CutAtEveryByteGivesOnlyTheRecordsBegunInFull) {
    MakeScratchDirectory();
    StartGui();
    const std::string file = "PLAYERS 3\nann 0 0 0\nbob 3 7 12\ncarl 2 1 1\n";
    // A record counts once its last number has begun (a cut inside it shortens the
    // number); one cut after its id has begun and before that is one record left out.
    const size_t recordStart[] = {file.find("ann"), file.find("bob"), file.find("carl")};
    const size_t lastFieldStart[] = {file.find("0\nbob") , file.find("12\n"), file.find("1\n", file.find("carl"))};
    int tried = 0;
    for (size_t length = 0; length <= file.size(); length++) {
        SCOPED_TRACE(testing::Message() << "first " << length << " bytes");
        int expected = 0, cutRecords = 0;
        for (int r = 0; r < 3; r++) {
            expected += length > lastFieldStart[r];
            cutRecords += length > recordStart[r] && length <= lastFieldStart[r];
        }
        // Without the count's digits the header announces nothing.
        if (length <= file.find('3')) expected = cutRecords = 0;
        EXPECT_EQ(LoadAndCheck(file.substr(0, length)), expected);
        EXPECT_EQ(skippedRecords, cutRecords);
        tried++;
    }
    RecordProperty("inputs", tried);
}

TEST(ProfileBadData, HandEditedFilesKeepToWholeOneWordIds) {
    MakeScratchDirectory();
    StartGui();
    struct Case {
        std::string file;
        int count;
        const char* firstId;
    };
    const Case cases[] = {
        {"PLAYERS 2147483647\nann 0 0 0\n", 1, "ann"},
        {"PLAYERS -2147483648\nann 0 0 0\n", 0, ""},
        {"PLAYERS +2\nann 0 0 0\nbob 0 0 0\n", 2, "ann"},
        {"PLAYERS 0x2\nann 0 0 0\n", 0, ""},
        {"PLAYERS 2.5\nann 0 0 0\n", 0, ""},
        {"players 1\nann 0 0 0\n", 0, ""},
        {"PLAYERS\n1\nann\n0\n0\n0\n", 1, "ann"},
        {"PLAYERS 1 ann 1 2 3", 1, "ann"},
        {"PLAYERS 1\r\nann 1 2 3\r\n", 1, "ann"},
        {"PLAYERS 1\nann 99999999999 0 0\n", 0, ""},
        {"PLAYERS 1\nann -1 -5 2147483647\n", 1, "ann"},
        {"PLAYERS 1\nann zero 0 0\n", 0, ""},
        {"PLAYERS 2\n0 0 0 0\n1 1 1 1\n", 2, "0"},
        {"PLAYERS 1\n\xC3\xA4iti\xE2\x82\xAC 0 0 0\n", 1, "\xC3\xA4iti\xE2\x82\xAC"},
        {"PLAYERS 1\n\xFF\xFE\x80 0 0 0\n", 1, "\xFF\xFE\x80"},
        {"PLAYERS 1\nan\x01na 0 0 0\n", 1, "an\x01na"},
        {std::string("PLAYERS 1\na\0b 0 0 0\n", 20), 1, "ab"},
        {std::string("PLAYERS 2\n\0 0 0 0\nbob 0 0 0\n", 28), 1, "bob"},
        {"PLAYERS 1\n" + std::string(100000, 'x') + " 0 0 0\n", 1, "xxxxxxxxxxxxxxxxx"},
        {"PLAYERS 1\nann " + std::string(100000, '7') + " 0 0\n", 0, ""},
        {"PLAYERS 1\n" + std::string(100000, ' ') + "ann 0 0 0\n", 1, "ann"},
        {std::string(100000, '\n'), 0, ""},
        {"\xEF\xBB\xBFPLAYERS 1\nann 0 0 0\n", 0, ""},
    };
    int tried = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.substr(0, 60));
        EXPECT_EQ(LoadAndCheck(c.file), c.count);
        EXPECT_STREQ(profiles[0].name, c.firstId);
        tried++;
    }
    RecordProperty("inputs", tried);
}

// Whatever was read is written back so that it reads the same again.
TEST(ProfileBadData, WhatWasReadSurvivesASaveAndAReload) {
    MakeScratchDirectory();
    StartGui();
    const std::string odd = "PLAYERS 12\nan  1\n0\t0\n\xC3\xA4 2 0 0\n" + std::string("x\0y 3 4 5\n", 10) +
                            std::string(40, 'q') + " 1 1 1\n";
    LoadAndCheck(odd);
    ASSERT_EQ(profileCount, 4);
    SaveProfiles();
    const std::string saved = ReadFile("prefs.dat");
    EXPECT_EQ(saved, "PLAYERS 4\nan 1 0 0\n\xC3\xA4 2 0 0\nxy 3 4 5\n" + std::string(17, 'q') + " 1 1 1\n");
    EXPECT_EQ(LoadAndCheck(saved), 4);
}

TEST(ProfileBadData, ADirectoryOrAPipeIsNoProfileFile) {
    for (bool pipe : {false, true}) {
        MakeScratchDirectory();
        quitRequested = false;
        if (pipe) {
            ASSERT_EQ(mkfifo("prefs.dat", 0600), 0);  // nobody writes to it: reading must not wait
        } else {
            std::filesystem::create_directory("prefs.dat");
        }
        LoadProfiles();
        EXPECT_TRUE(quitRequested);
        EXPECT_EQ(ReadLog(), "Attempting to read prefs.dat\nERROR: Unable to open prefs.dat\n");
        EXPECT_EQ(profileCount, 0);
    }
    EXPECT_TRUE(std::filesystem::is_fifo("prefs.dat"));
}

}  // namespace
