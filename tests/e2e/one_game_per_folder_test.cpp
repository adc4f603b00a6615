// One game per folder: a second copy of the real program started on a folder in
// play touches nothing there and ends with status 1, while the first plays on;
// the lock belongs to the process that holds it, never to a file left behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "e2e/game_run.h"
#include "platform/faults.h"
#include "platform/folder_lock.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

// Every name in the folder with its size and time: what "touches nothing" means.
std::string Listing(const std::string& dir) {
    std::string out;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const auto status = fs::symlink_status(entry.path());
        out += entry.path().string() + " " + std::to_string(int(status.type()));
        if (fs::is_regular_file(status))
            out += " " + std::to_string(fs::file_size(entry.path())) + " " +
                   std::to_string(fs::last_write_time(entry.path()).time_since_epoch().count());
        out += "\n";
    }
    return out;
}

// The installed program as a player starts it, from the folder; no desktop to show a box on.
int RunProgramIn(const std::string& where, std::string* stderrText) {
    const std::string errFile = where + ".stderr";
    const std::string command = "cd '" + where + "' && env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy " +
                                "SDL_AUDIODRIVER=dummy '" VALIMO_GAME_DIR "/valimo' >/dev/null 2>'" + errFile + "'";
    const int status = std::system(command.c_str());
    *stderrText = ReadFile(errFile);
    fs::remove(errFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(OneGamePerFolder, ASecondCopyTouchesNothingAndTheFirstPlaysOnAndSaves) {
    const std::string dir = PrepareGame();
    std::string why;
    ASSERT_EQ(LockGameFolder(dir, why), FOLDER_LOCKED);  // as the first copy's start does
    StartGame();
    ASSERT_GE(RunUntilState(GS_WELCOME, 2000), 0);
    Click(315, 290);  // "Continue..."
    Click(300, 242);  // into the id box: the screen that saves on every frame
    Type("bob");
    ASSERT_EQ(GameState, GS_FIRST_ID);

    const std::string before = Listing(dir), prefs = ReadFile("prefs.dat"), log = ReadLog();
    const std::string link = dir + ".link";
    fs::create_directory_symlink(dir, link);
    for (const std::string& where : {dir, link}) {
        SCOPED_TRACE(where);
        std::string said;
        EXPECT_EQ(RunProgramIn(where, &said), 1);
        EXPECT_EQ(said, "valimo: Valimo is already running in " + fs::canonical(dir).string() +
                            "; this copy ends and leaves it as it is\n");
        EXPECT_EQ(Listing(dir), before);
        EXPECT_EQ(ReadFile("prefs.dat"), prefs);
        EXPECT_EQ(ReadLog(), log);
    }

    Click(276, 297);  // "Create Player"
    ASSERT_EQ(GameState, GS_SELECT_PLAYER);
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 1\nbob 0 0 0\n");
}

TEST(OneGamePerFolder, TheLockIsTheLivingProcessNeverTheFileLeftBehind) {
    const std::string a = MakeScratchDirectory();
    const std::string b = a + "-other";
    fs::create_directory(b);
    std::string why;
    // A lock file from a copy that crashed blocks nothing.
    WriteFile(a + "/valimo.lock", "");
    EXPECT_EQ(LockGameFolder(a, why), FOLDER_LOCKED);
    UnlockGameFolder();

    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        const char held = LockGameFolder(a, why) == FOLDER_LOCKED ? 'y' : 'n';
        if (write(ready[1], &held, 1) != 1) _exit(2);
        pause();
        _exit(0);
    }
    char held = 0;
    ASSERT_EQ(read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 'y');
    EXPECT_EQ(LockGameFolder(a, why), FOLDER_BUSY);
    EXPECT_EQ(LockGameFolder(b, why), FOLDER_LOCKED) << "copies in different folders play side by side";
    UnlockGameFolder();

    // Killed while holding it: the kernel lets go, and the next start plays.
    kill(holder, SIGKILL);
    int status = 0;
    waitpid(holder, &status, 0);
    EXPECT_EQ(LockGameFolder(a, why), FOLDER_LOCKED);
    UnlockGameFolder();

    // A file system without locks still plays, and says why.
    InjectFault("flock", ENOLCK);
    EXPECT_EQ(LockGameFolder(a, why), FOLDER_UNLOCKED);
    EXPECT_EQ(why, a + "/valimo.lock: No locks available");
}

}  // namespace
