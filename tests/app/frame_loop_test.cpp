#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app/game_flow.h"
#include "app/log.h"
#include "app/valimo.h"
#include "gfx/display.h"
#include "gui/gui_test_support.h"
#include "platform/headless/headless.h"
#include "avi_writer.h"
#include "test_support.h"

namespace {

// A display and an active window, as after start-up, without the data files.
void StartActive() {
    MakeScratchDirectory();
    StartDisplay();
    InitTimer();
    windowActive = 1;
    GameState = 8;  // a value no screen uses: the frame draws nothing but the pointer
}

TEST(FrameLoop, AQuitMessageEndsTheLoopAfterItsPassHasRun) {
    StartActive();
    HeadlessPostMessage(WM_QUIT, 0, 0);
    EXPECT_FALSE(FrameLoopPass());
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(HeadlessFramesPresented(), 1);
}

TEST(FrameLoop, AnInactiveWindowDoesNoFrameWork) {
    StartActive();
    windowActive = 0;
    const int64_t reads = HeadlessCounterReads();
    EXPECT_TRUE(FrameLoopPass());
    EXPECT_EQ(HeadlessFramesPresented(), 0);
    EXPECT_EQ(HeadlessCounterReads(), reads + 1);  // no waiting either
}

TEST(FrameLoop, TheCapWaitsOneFramePeriodFromTheTopOfThePass) {
    HeadlessSetCounter(3579545, 1);
    StartActive();
    ASSERT_EQ(frameRateCap, 50);
    FrameLoopPass();
    // 3,579,545 / 50 in whole ticks: the wait ends on the first reading that reaches it.
    EXPECT_EQ(HeadlessCounterValue() - frameStart, 71590);
}

TEST(FrameLoop, APassThatAlreadyTookLongerDoesNotWait) {
    HeadlessSetCounter(3579545, 100000);
    StartActive();
    const int64_t reads = HeadlessCounterReads();
    FrameLoopPass();
    // The top of the pass, the frames-per-second count, then the two elapsed readings.
    EXPECT_EQ(HeadlessCounterReads() - reads, 3);
}

TEST(FrameLoop, AZeroCounterFrequencyRunsUncapped) {
    HeadlessSetCounter(0, 1);
    StartActive();
    for (int i = 0; i < 30; i++) EXPECT_TRUE(FrameLoopPass());
    EXPECT_EQ(HeadlessFramesPresented(), 30);
}

TEST(FrameRate, ZeroUntilThe21stActiveFrameThenTheAverage) {
    HeadlessSetCounter(1000, 1);
    InitTimer();
    for (int i = 0; i < 20; i++) UpdateFps();
    EXPECT_EQ(fpsValue, 0.0f);
    HeadlessAdvanceCounter(420 - 1);  // 21 frames in 0.42 s, counting the reading itself
    UpdateFps();
    EXPECT_FLOAT_EQ(fpsValue, 50.0f);
    EXPECT_EQ(fpsFrameCount, 0);
}

TEST(WindowMessages, ActivationLogsOnceAndClearsGraphics) {
    MakeScratchDirectory();
    WndProc(nullptr, WM_ACTIVATE, 1, 0);
    EXPECT_EQ(windowActive, 1);
    EXPECT_EQ(graphicsValid, 0);
    restoreWait = 7;
    WndProc(nullptr, WM_ACTIVATE, 0x00010001, 0);  // only the low word counts
    EXPECT_EQ(restoreWait, 7);
    WndProc(nullptr, WM_ACTIVATE, 0, 0);
    WndProc(nullptr, WM_ACTIVATE, 0x00010000, 0);
    WndProc(nullptr, WM_ACTIVATE, 1, 0);
    EXPECT_EQ(restoreWait, 0);
    EXPECT_EQ(ReadLog(), "Window is Maximized\nWindow is Minimized\nWindow is Maximized\n");
}

TEST(WindowMessages, ACloseRequestOnlyMattersInPlay) {
    for (int state : {GS_INTRO, GS_MAIN_MENU, GS_QUIT_GAME, GS_WELCOME}) {
        GameState = state;
        EXPECT_EQ(WndProc(nullptr, WM_CLOSE, 0, 0), 0);
        EXPECT_EQ(GameState, state);
    }
    GameState = GS_PLAYING;
    WndProc(nullptr, WM_CLOSE, 0, 0);
    EXPECT_EQ(GameState, GS_QUIT_GAME);
}

// The least a start-up needs to get through to the loop.
void WriteStartFiles() {
    WriteTestSkin();
    WriteFile("prefs.dat", "PLAYERS 0\n");
    WriteFile("levels/0.lev", "LEVEL 0\nITEMS 0\n");
    ASSERT_TRUE(WriteTestAvi("intro.avi", 160, 120, {SolidPicture(160, 120, 0)}));
}

// The window start-up creates stands at half the screen's size less a quarter of
// its own, (width / 2 - 160, height / 2 - 120), from the screen the system reports.
TEST(WindowMessages, TheWindowIsPlacedAQuarterOfItsSizeOffTheScreenCentre) {
    const struct {
        int screenWidth, screenHeight;
        RECT window;
    } cases[] = {
        {1920, 1080, {800, 420, 1440, 900}},
        {1365, 767, {522, 263, 1162, 743}},
        {201, 101, {-60, -70, 580, 410}},
    };
    for (const auto& c : cases) {
        MakeScratchDirectory();
        WriteStartFiles();
        EXPECT_EXIT(
            {
                HeadlessSetScreenSize(c.screenWidth, c.screenHeight);
                WinMainStart();
                RECT r{};
                const bool ok = !quitRequested && GetWindowRect(mainWindow, &r) && r.left == c.window.left &&
                                r.top == c.window.top && r.right == c.window.right && r.bottom == c.window.bottom;
                std::fprintf(stderr, "window at %d, %d to %d, %d\n", r.left, r.top, r.right, r.bottom);
                std::_Exit(ok ? 0 : 1);
            },
            testing::ExitedWithCode(0), "")
            << c.screenWidth << " x " << c.screenHeight;
    }
}

TEST(WholeRun, AQuitMessageEndsTheRunInOrder) {
    MakeScratchDirectory();
    // Without these start-up asks to quit before the loop.
    WriteStartFiles();
    int passes = 0;
    HeadlessSetPumpHook([&] {
        if (++passes == 5) HeadlessPostMessage(WM_QUIT, 0, 0);
    });
    EXPECT_EXIT(WinMain(), testing::ExitedWithCode(0), "");
    const std::string log = ReadLog();
    EXPECT_EQ(log.rfind("Valimo v1.0 Log File\n\nValimoInit()\nInitializing DirectDraw\nVideoMode: 565\n", 0), 0u)
        << log;
    const size_t loop = log.find("Entering main loop\n\n[ - ]\n\nWindow is Maximized\n");
    const size_t exit = log.find("Exiting main loop\n");
    EXPECT_NE(loop, std::string::npos) << log;
    EXPECT_NE(exit, std::string::npos);
    EXPECT_LT(loop, exit);
    EXPECT_EQ(log.substr(log.size() - 19), "DirectDraw Release\n");
}

}  // namespace
