// The real start-up and frame loop on the generated game directory: the intro
// plays to its end and the first-run window follows, with nothing in the log
// that reports a fault.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "app/valimo.h"
#include "platform/headless/headless.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = VALIMO_GAME_DIR;

TEST(WholeRunOnTheData, IntroThenWelcomeWithACleanLog) {
    std::string dir = MakeScratchDirectory();
    for (const auto& e : fs::directory_iterator(kGame)) {
        std::string name = e.path().filename().string();
        if (name == "valimo" || name == "valimo.log" || name == "prefs.dat") continue;
        fs::copy(e.path(), fs::path(dir) / name, fs::copy_options::recursive);
    }
    WriteFile("prefs.dat", "PLAYERS 0\n");
    HeadlessSetCounter(1000, 50);  // no waiting on the frame cap
    int passes = 0;
    HeadlessSetPumpHook([&] {
        passes++;
        // Halfway through the intro, and in the WELCOME state after it.
        if (passes == 80 || passes == 259)
            WriteFile("frame" + std::to_string(passes) + ".txt",
                      std::to_string(HeadlessFramesPresented()) + " " + std::to_string(HeadlessFramePixel(320, 240)) +
                          " " + std::to_string(HeadlessFramePixel(300, 183)));
        if (passes == 260) HeadlessPostMessage(WM_QUIT, 0, 0);
    });
    EXPECT_EXIT(WinMain(), testing::ExitedWithCode(0), "");
    const std::string log = ReadLog();
    // The intro shows a picture; then the WELCOME window, its title bar navy (565).
    int presented = 0, centre = 0, title = 0;
    ASSERT_EQ(std::sscanf(ReadFile("frame80.txt").c_str(), "%d %d %d", &presented, &centre, &title), 3);
    EXPECT_GT(presented, 50);
    EXPECT_NE(centre, 0);
    ASSERT_EQ(std::sscanf(ReadFile("frame259.txt").c_str(), "%d %d %d", &presented, &centre, &title), 3);
    EXPECT_EQ(title, 0x002B);
    for (const char* bad : {"ERROR", "Error", "Failed", "failed", "WARNING", "not valid", "System Error"})
        EXPECT_EQ(log.find(bad), std::string::npos) << bad << "\n" << log;
    EXPECT_NE(log.find(" level(s) found ]\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Video decompressed successfully: 288, 208\n"), std::string::npos) << log;
}

}  // namespace
