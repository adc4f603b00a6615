#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/log.h"
#include "app/valimo.h"
#include "profiles/profiles.h"
#include "profiles/save_faults.h"
#include "test_support.h"

namespace {

const char* const kOld = "PLAYERS 2\nann 0 0 0\nbob 3 0 0\n";
const char* const kNew = "PLAYERS 3\nann 0 0 0\nbob 4 0 0\ncarl 0 0 0\n";

// What the player is told, in the log, on stderr and in the box, for a save that failed with error.
std::string Told(int error) {
    return std::string("Cannot save the players in ") + startDirectory + "/prefs.dat: " + std::strerror(error) +
           ". The game has ended; the file keeps the players as they were last saved.";
}

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

// A failed save ends the run and is told once, so every case starts from a run that has neither.
class ProfileSave : public testing::Test {
protected:
    void SetUp() override {
        StopSaveFaults();
        quitRequested = false;
        unsavedWorkReport[0] = 0;
    }
};

TEST_F(ProfileSave, AFailureAnywhereLeavesTheOldFileWholeAndEndsTheProgram) {
    MakeScratchDirectory();
    LoadOld();
    MakeNew();
    // open, write, flush, close, rename, then the folder's sync.
    constexpr int kSyncOperation = 6;
    int faultPoints = 0;
    for (bool fromThenOn : {false, true}) {
        for (int k = 1;; k++) {
            SCOPED_TRACE(testing::Message() << "operation " << k << (fromThenOn ? " and on" : ""));
            WriteFile("prefs.dat", kOld);
            WriteFile("valimo.log", "");
            quitRequested = false;
            unsavedWorkReport[0] = 0;
            // Each step with its own reason, which the player is told.
            const int error = k % 2 ? ENOSPC : EIO;
            FailSaveOperation(k, fromThenOn, error);
            SaveProfiles();
            const int seen = SaveOperationsSeen();
            StopSaveFaults();
            const std::string file = ReadFile("prefs.dat");
            if (k > seen) {  // nothing failed: the save went through
                EXPECT_EQ(file, kNew);
                EXPECT_FALSE(quitRequested);
                EXPECT_EQ(ReadFile("valimo.log"), "");
                EXPECT_STREQ(unsavedWorkReport, "");
                EXPECT_EQ(k, kSyncOperation + 1);
                break;
            }
            EXPECT_FALSE(std::filesystem::exists("prefs.dat.tmp"));
            EXPECT_EQ(profileCount, 3);  // the table is unchanged
            if (k == kSyncOperation) {
                // The new file is in place: a save that went through, said in the log.
                EXPECT_EQ(file, kNew);
                EXPECT_FALSE(quitRequested);
                EXPECT_EQ(ReadFile("valimo.log"), "prefs.dat is saved, but its folder could not be synced to disk\n");
                EXPECT_STREQ(unsavedWorkReport, "");
                continue;
            }
            EXPECT_TRUE(file == kOld || file == kNew) << file;
            EXPECT_TRUE(quitRequested);
            EXPECT_EQ(ReadFile("valimo.log"), "Failed to save profiles\n" + Told(error) + "\n");
            EXPECT_EQ(unsavedWorkReport, Told(error));
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

struct stat Stat(const char* path) {
    struct stat info {};
    stat(path, &info);
    return info;
}

// Players keep prefs.dat in a synced folder through a link: the link stays, and
// the file it leads to is replaced with the same care, beside itself.
TEST_F(ProfileSave, ALinkStaysALinkAndItsTargetIsReplacedInItsOwnFolder) {
    const std::string scratch = MakeScratchDirectory();
    WriteFile("synced/players.dat", kOld);
    ASSERT_EQ(chmod("synced/players.dat", 0600), 0);
    ASSERT_EQ(symlink("synced/players.dat", "prefs.dat"), 0);
    LoadOld();
    MakeNew();
    FailSaveOperation(0, false);  // nothing fails; the calls are recorded
    SaveProfiles();
    StopSaveFaults();
    EXPECT_EQ(SaveCallsSeen(), (std::vector<std::string>{"open ./synced/players.dat.tmp",
                                                          "rename ./synced/players.dat.tmp ./synced/players.dat",
                                                          "syncDirectory ./synced"}));
    EXPECT_EQ(std::filesystem::read_symlink("prefs.dat"), "synced/players.dat");
    EXPECT_EQ(ReadFile("synced/players.dat"), kNew);
    EXPECT_EQ(Stat("synced/players.dat").st_mode & 07777, 0600u);

    // A chain of links, the last one absolute, to a file that does not exist yet.
    ASSERT_EQ(std::remove("prefs.dat"), 0);
    ASSERT_EQ(symlink("chain", "prefs.dat"), 0);
    ASSERT_EQ(symlink((scratch + "/other/new.dat").c_str(), "chain"), 0);
    std::filesystem::create_directory("other");
    profiles[2].level = 5;
    SaveProfiles();
    EXPECT_EQ(std::filesystem::read_symlink("prefs.dat"), "chain");
    EXPECT_EQ(ReadFile("other/new.dat"), "PLAYERS 3\nann 0 0 0\nbob 4 0 0\ncarl 5 0 0\n");

    // Links in a ring lead nowhere: a failed save that leaves them as they were.
    ASSERT_EQ(std::remove("chain"), 0);
    ASSERT_EQ(symlink("prefs.dat", "chain"), 0);
    WriteFile("valimo.log", "");
    profiles[2].level = 6;
    SaveProfiles();
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(ReadLog(), "Failed to save profiles\n" + Told(ELOOP) + "\n");
    EXPECT_EQ(std::filesystem::read_symlink("chain"), "prefs.dat");
}

// A private file stays private, a shared one shared, whatever the process's umask;
// the owner stays where the process may keep it (root may, for a player's file).
TEST_F(ProfileSave, TheFileKeepsItsModeAndOwner) {
    MakeScratchDirectory();
    LoadOld();
    const mode_t umaskBefore = umask(022);
    const bool root = geteuid() == 0;
    for (mode_t mode : {0600u, 0640u, 0666u, 0604u}) {
        SCOPED_TRACE(testing::Message() << std::oct << mode);
        WriteFile("prefs.dat", kOld);
        ASSERT_EQ(chmod("prefs.dat", mode), 0);
        ASSERT_TRUE(!root || chown("prefs.dat", 4321, 4322) == 0);
        profiles[0].level = int(mode);  // a table the file does not hold yet
        SaveProfiles();
        EXPECT_NE(ReadFile("prefs.dat"), kOld);
        const struct stat info = Stat("prefs.dat");
        EXPECT_EQ(info.st_mode & 07777, mode);
        if (root) {
            EXPECT_EQ(std::pair(info.st_uid, info.st_gid), std::pair(4321u, 4322u));
        }
    }
    umask(umaskBefore);
}

// A folder the player may not write, holding a prefs.dat he may: the temporary file
// cannot be made, or not renamed, so the file itself is rewritten and flushed.
TEST_F(ProfileSave, AFolderThatRefusesNewNamesRewritesAWritableFileInPlace) {
    const std::string scratch = MakeScratchDirectory();
    LoadOld();
    WriteFile("valimo.log", "");
    const ino_t inode = Stat("prefs.dat").st_ino;
    EXPECT_EXIT(
        {
            DropFileAccessOverride();  // so that the folder's mode refuses as it would refuse a player
            if (chmod(scratch.c_str(), 0555) != 0) std::_Exit(2);
            // The folder really refuses a new file, or this run proves nothing.
            if (open("probe", O_WRONLY | O_CREAT, 0644) >= 0 || errno != EACCES) std::_Exit(3);
            MakeNew();
            SaveProfiles();  // longer than the old file
            bool ok = !quitRequested && ReadFile("prefs.dat") == kNew;
            profileCount = 1;
            SaveProfiles();  // shorter: the old tail is cut
            ok = ok && !quitRequested && ReadFile("prefs.dat") == "PLAYERS 1\nann 0 0 0\n";
            // Each failing step of the rewrite is a failed save, as any other.
            for (int k = 2; k <= 6 && ok; k++) {
                profiles[0].level = k;
                quitRequested = false;
                FailSaveOperation(k, false);  // after the refused open: openInPlace, write, truncate, flush, close
                SaveProfiles();
                ok = quitRequested && SaveCallsSeen().at(1) == "openInPlace prefs.dat";
                StopSaveFaults();
            }
            std::_Exit(ok ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    ASSERT_EQ(chmod(scratch.c_str(), 0700), 0);
    EXPECT_EQ(Stat("prefs.dat").st_ino, inode);  // the same file, rewritten
    // The player is told of the first failure of a run, the log has each.
    std::string failures = "Failed to save profiles\n" + Told(EIO) + "\n";
    for (int k = 3; k <= 6; k++) failures += "Failed to save profiles\n";
    EXPECT_EQ(ReadLog(), failures);

    // Only the rename refused (a leftover temporary file may still be opened).
    MakeNew();
    FailSaveOperation(5, false, EACCES);
    SaveProfiles();
    StopSaveFaults();
    EXPECT_FALSE(quitRequested);
    EXPECT_EQ(ReadFile("prefs.dat"), kNew);
    EXPECT_EQ(SaveCallsSeen(), (std::vector<std::string>{"open prefs.dat.tmp", "rename prefs.dat.tmp prefs.dat",
                                                          "openInPlace prefs.dat"}));
    EXPECT_FALSE(std::filesystem::exists("prefs.dat.tmp"));
}

TEST_F(ProfileSave, AnUnchangedTableIsNotWrittenAgain) {
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

TEST_F(ProfileSave, ADirectoryWhereTheFileShouldBeIsAFailedSave) {
    MakeScratchDirectory();
    std::filesystem::create_directory("prefs.dat");
    WriteFile("prefs.dat/keep", "x");
    profileCount = 0;
    SaveProfiles();
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(ReadLog(), "Failed to save profiles\n" + Told(EISDIR) + "\n");
    EXPECT_EQ(ReadFile("prefs.dat/keep"), "x");
}

TEST_F(ProfileSave, ALeftoverTemporaryFileIsHarmless) {
    MakeScratchDirectory();
    WriteFile("prefs.dat.tmp", "PLAYERS 9\ngarbage");
    LoadOld();
    MakeNew();
    SaveProfiles();
    EXPECT_EQ(ReadFile("prefs.dat"), kNew);
    EXPECT_FALSE(std::filesystem::exists("prefs.dat.tmp"));
}

// A save killed at any moment leaves the old file or the new one, never a mix.
TEST_F(ProfileSave, KilledInTheMiddleOfSavingManyTimes) {
    MakeScratchDirectory();
    LoadOld();
    SaveProfiles();
    // The kill lands within a few saves' time of the child's first save: a flush to
    // disk may take longer than a fixed window, which would then never see a save end.
    // Saves the new table and the old one in turn.
    const auto saveInTurn = [](int i) {
        if (i % 2 == 0) {
            MakeNew();
        } else {
            profiles[1].level = 3;
            profileCount = 2;
        }
        SaveProfiles();
    };
    const auto before = std::chrono::steady_clock::now();
    for (int i = 0; i < 10; i++) saveInTurn(i);
    const auto oneSave = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now() - before).count() / 10;
    const int window = int(std::max<long long>(1000, 4 * oneSave));
    LoadOld();
    SaveProfiles();
    std::mt19937 random(12345);
    int sawOld = 0, sawNew = 0, leftovers = 0;
    constexpr int kKills = 400;  // each save flushes to disk: enough kills, inside a ctest limit under ASan
    for (int kill = 0; kill < kKills; kill++) {
        int started[2];
        ASSERT_EQ(pipe(started), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(started[0]);
            for (int i = 0;; i++) {
                saveInTurn(i);
                if (i == 0) {
                    const char saved = 1;
                    (void)!::write(started[1], &saved, 1);
                    ::close(started[1]);
                }
            }
        }
        ::close(started[1]);
        char saved = 0;
        // Half the kills come while the first save may still run, half after it ended.
        if (kill % 2) (void)!::read(started[0], &saved, 1);
        usleep(useconds_t(std::uniform_int_distribution<int>(0, window)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ::close(started[0]);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
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
