#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "app/valimo.h"
#include "profiles/profiles.h"
#include "profiles/save_faults.h"
#include "test_support.h"

namespace {

const char* const kOld = "PLAYERS 2\nann 0 0 0\nbob 3 0 0\n";
const char* const kNew = "PLAYERS 3\nann 0 0 0\nbob 4 0 0\ncarl 0 0 0\n";

void LoadOld() {
    WriteFile("prefs.dat", kOld);
    LoadProfiles();
    ASSERT_EQ(profileCount, 2);
}

void MakeNew() {
    profiles[1].level = 4;
    std::strcpy(profiles[2].name, "carl");
    profiles[2].level = 0;
    profileCount = 3;
}

TEST(ProfileSave, AFailureAnywhereLeavesTheOldFileWholeAndEndsTheProgram) {
    MakeScratchDirectory();
    LoadOld();
    MakeNew();
    int faultPoints = 0;
    for (bool fromThenOn : {false, true}) {
        for (int k = 1;; k++) {
            SCOPED_TRACE(testing::Message() << "operation " << k << (fromThenOn ? " and on" : ""));
            WriteFile("prefs.dat", kOld);
            WriteFile("valimo.log", "");
            quitRequested = false;
            FailSaveOperation(k, fromThenOn);
            SaveProfiles();
            const int seen = SaveOperationsSeen();
            StopSaveFaults();
            const std::string file = ReadFile("prefs.dat");
            if (k > seen) {  // nothing failed: the save went through
                EXPECT_EQ(file, kNew);
                EXPECT_FALSE(quitRequested);
                EXPECT_EQ(ReadFile("valimo.log"), "");
                EXPECT_EQ(k, 7);
                break;
            }
            EXPECT_TRUE(file == kOld || file == kNew) << file;
            EXPECT_TRUE(quitRequested);
            EXPECT_EQ(ReadFile("valimo.log"), "Failed to save profiles\n");
            EXPECT_EQ(profileCount, 3);  // the table is unchanged
            EXPECT_FALSE(std::filesystem::exists("prefs.dat.tmp"));
            faultPoints++;
            // The next start reads what is there, and its first save goes through.
            quitRequested = false;
            LoadProfiles();
            EXPECT_EQ(profileCount, file == kOld ? 2 : 3);
            EXPECT_FALSE(quitRequested);
            MakeNew();
            SaveProfiles();
            EXPECT_EQ(ReadFile("prefs.dat"), kNew);
        }
    }
    RecordProperty("faultPoints", faultPoints);
}

TEST(ProfileSave, AnUnchangedTableIsNotWrittenAgain) {
    MakeScratchDirectory();
    LoadOld();
    FailSaveOperation(1, true);
    SaveProfiles();  // as the flow does in every frame of a dialog
    EXPECT_EQ(SaveOperationsSeen(), 0);
    EXPECT_FALSE(quitRequested);
    MakeNew();
    SaveProfiles();
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(ReadFile("prefs.dat"), kOld);
    StopSaveFaults();
}

TEST(ProfileSave, ADirectoryWhereTheFileShouldBeIsAFailedSave) {
    MakeScratchDirectory();
    std::filesystem::create_directory("prefs.dat");
    WriteFile("prefs.dat/keep", "x");
    profileCount = 0;
    SaveProfiles();
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(ReadLog(), "Failed to save profiles\n");
    EXPECT_EQ(ReadFile("prefs.dat/keep"), "x");
}

TEST(ProfileSave, ALeftoverTemporaryFileIsHarmless) {
    MakeScratchDirectory();
    WriteFile("prefs.dat.tmp", "PLAYERS 9\ngarbage");
    LoadOld();
    MakeNew();
    SaveProfiles();
    EXPECT_EQ(ReadFile("prefs.dat"), kNew);
    EXPECT_FALSE(std::filesystem::exists("prefs.dat.tmp"));
}

// A save killed at any moment leaves the old file or the new one, never a mix.
TEST(ProfileSave, KilledInTheMiddleOfSavingManyTimes) {
    MakeScratchDirectory();
    LoadOld();
    SaveProfiles();
    std::mt19937 random(12345);
    int sawOld = 0, sawNew = 0, leftovers = 0;
    constexpr int kKills = 1000;
    for (int kill = 0; kill < kKills; kill++) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; i++) {
                if (i % 2 == 0) {
                    MakeNew();
                } else {
                    profiles[1].level = 3;
                    profileCount = 2;
                }
                SaveProfiles();
            }
        }
        usleep(useconds_t(std::uniform_int_distribution<int>(0, 1000)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::string file = ReadFile("prefs.dat");
        ASSERT_TRUE(file == kOld || file == kNew) << "after kill " << kill << ":\n" << file;
        sawOld += file == kOld;
        sawNew += file == kNew;
        if (std::filesystem::exists("prefs.dat.tmp")) {
            leftovers++;
            // A start after the crash reads the real file, and its save replaces the leftover.
            LoadProfiles();
            ASSERT_EQ(profileCount, file == kOld ? 2 : 3);
            ASSERT_FALSE(quitRequested);
        }
    }
    MakeNew();
    profiles[2].level = 9;
    SaveProfiles();
    EXPECT_FALSE(quitRequested);
    EXPECT_FALSE(std::filesystem::exists("prefs.dat.tmp"));
    // The child really was saving when it died, not idle between saves.
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
    RecordProperty("kills", kKills);
    RecordProperty("killsWithATemporaryFileLeft", leftovers);
}

}  // namespace
