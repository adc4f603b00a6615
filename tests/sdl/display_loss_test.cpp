// The display going away under a running game (the X server ends, the session
// closes, a remote desktop drops): the game ends as on a quit request, with the
// shut-down in its log and status 0, and leaves the players as they were.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/valimo.h"
#include "platform/faults.h"
#include "test_support.h"

namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// The generated game, linked into a scratch folder; the players' file a copy.
void LinkGeneratedGame() {
    namespace fs = std::filesystem;
    const std::string here = MakeScratchDirectory();
    for (const fs::directory_entry& e : fs::directory_iterator(VALIMO_GAME_DIR)) {
        const std::string name = e.path().filename().string();
        if (name == "valimo.log" || name == "valimo") continue;
        if (name == "prefs.dat") {
            fs::copy_file(e.path(), fs::path(here) / name);
        } else {
            fs::create_symlink(e.path(), fs::path(here) / name);
        }
    }
}

TEST(DisplayLoss, TheGameEndsInOrderWithItsShutDownLinesAndTheirStatus) {
    // Broken at the first pump of start-up's window, and in the intro.
    for (int pumpsBefore : {0, 20}) {
        LinkGeneratedGame();
        const std::string players = Contents("prefs.dat");
        ASSERT_FALSE(players.empty());
        EXPECT_EXIT(
            {
                setenv("SDL_VIDEODRIVER", "dummy", 1);
                setenv("SDL_AUDIODRIVER", "dummy", 1);
                InjectFault("display connection", 1, pumpsBefore);
                alarm(30);  // a game that hung would be killed, and fail
                WinMain();
            },
            testing::ExitedWithCode(0), "valimo: the display has gone away; the game ends\n")
            << pumpsBefore;
        const std::string log = Contents("valimo.log");
        const size_t exiting = log.find("Exiting main loop\n");
        ASSERT_NE(exiting, std::string::npos) << log;
        EXPECT_EQ(log.substr(exiting), "Exiting main loop\n" + std::string(kShutdownLog));
        EXPECT_EQ(Contents("prefs.dat"), players);
    }
}

}  // namespace
