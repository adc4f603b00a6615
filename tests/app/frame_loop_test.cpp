#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "avi_writer.h"
#include "base/log.h"
#include "gfx/display.h"
#include "gui/gui_test_support.h"
#include "platform/headless/headless.h"
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

TEST(FrameLoop, AnInactiveWindowDoesNoFrameWorkAndRestsUntilAMessageComes) {
    StartActive();
    windowActive = 0;
    const int64_t reads = HeadlessCounterReads();
    EXPECT_TRUE(FrameLoopPass());
    EXPECT_EQ(HeadlessFramesPresented(), 0);
    EXPECT_EQ(HeadlessCounterReads(), reads + 1) << "no frame-rate wait";
    EXPECT_EQ(HeadlessEventWaits(), 1);
    EXPECT_GT(HeadlessEventWaitMs(), 0);
    // A message still queued after the pass took one: no rest, the next pass takes it.
    HeadlessPostMessage(WM_CLOSE, 0, 0);
    HeadlessPostMessage(WM_ACTIVATE, 1, 0);
    EXPECT_TRUE(FrameLoopPass());
    EXPECT_EQ(HeadlessEventWaits(), 1);
    EXPECT_TRUE(FrameLoopPass());
    EXPECT_EQ(windowActive, 1);
    EXPECT_EQ(HeadlessFramesPresented(), 1) << "the activating pass draws at once";
    EXPECT_EQ(HeadlessEventWaits(), 1);
    EXPECT_EQ(HeadlessSleeps(), 1) << "and rests on the cap, not on events";
}

// The counter moves only when read (a step per reading) and when the cap sleeps,
// so a pass's length is its readings plus its sleep: a cap that spun would read
// thousands of times.
TEST(FrameLoop, TheCapSleepsToTheEndOfThePeriodAndNeverEndsAPassEarly) {
    const struct {
        int64_t frequency, step;
        int cap;
    } cases[] = {{3579545, 1, 50}, {3579545, 1, 30}, {1000000000, 1000, 60}, {1000000, 997, 50}};
    StartActive();
    for (const auto& c : cases) {
        HeadlessSetCounter(c.frequency, c.step);
        InitTimer();
        frameRateCap = c.cap;
        const int64_t period = c.frequency / c.cap;
        for (int pass = 0; pass < 3; pass++) {
            const int64_t before = HeadlessCounterValue(), reads = HeadlessCounterReads();
            const int64_t asleep = HeadlessAsleepTicks();
            FrameLoopPass();
            const int64_t passReads = HeadlessCounterReads() - reads;
            const int64_t slept = HeadlessAsleepTicks() - asleep;
            const int64_t end = HeadlessCounterValue();
            EXPECT_GE(end - frameStart, period) << c.frequency << "/" << c.cap;
            EXPECT_LE(end - frameStart, period + c.step) << "woken at the deadline, read once";
            EXPECT_LE(passReads, 6);
            EXPECT_EQ(end - before, passReads * c.step + slept);
            EXPECT_GE(slept, period - 5 * c.step);
        }
    }
}

// A pass is measured in the low 32 bits of the counter's difference: one already
// longer than the period goes on at once, asleep never, but one that ran 2^32
// ticks and a little seems just begun and runs on to 2^32 and a period.
TEST(FrameLoop, TheCapMeasuresThePassInTheLow32BitsOfTheCounter) {
    constexpr int64_t kStep = 1000, kPeriod = 20000, kWrap = int64_t(1) << 32;
    HeadlessSetCounter(1000000, kStep);
    StartActive();
    frameRateCap = 50;
    const struct {
        int64_t ran, lasts;
    } cases[] = {
        {30000, 30000}, {kPeriod, kPeriod}, {kWrap + 1000, kWrap + kPeriod}, {kWrap + 25000, kWrap + 25000}, {5000, kPeriod},
    };
    for (const auto& c : cases) {
        bool ran = false;
        HeadlessSetPumpHook([&] {
            if (!ran) HeadlessAdvanceCounter(c.ran);
            ran = true;
        });
        const int64_t asleep = HeadlessAsleepTicks();
        EXPECT_TRUE(FrameLoopPass());
        const int64_t lasted = HeadlessCounterValue() - frameStart;
        EXPECT_GE(lasted, c.lasts) << c.ran;
        EXPECT_LE(lasted, c.lasts + 4 * kStep) << c.ran;
        if (c.ran >= kPeriod) {
            EXPECT_EQ(HeadlessAsleepTicks(), asleep) << c.ran;
        }
    }
    HeadlessSetPumpHook(nullptr);
}

// A counter that goes back (a negative difference reads as a huge unsigned one) or
// jumps ahead past the 32 bits the elapsed time keeps: each pass still ends soon.
TEST(FrameLoop, ACounterThatJumpsNeverHangsThePass) {
    HeadlessSetCounter(1000000, 1000);
    StartActive();
    for (const int64_t jump : {int64_t(-5000000), (int64_t(1) << 32) + 5000, int64_t(-1)}) {
        HeadlessSetPumpHook([jump] { HeadlessAdvanceCounter(jump); });
        const int64_t reads = HeadlessCounterReads();
        EXPECT_TRUE(FrameLoopPass());
        EXPECT_LE(HeadlessCounterReads() - reads, 40) << jump;
    }
    HeadlessSetPumpHook(nullptr);
}

// Woken at its deadline and read once, a pass lasts one period and a step: the
// figure the game shows is the cap.
TEST(FrameRate, TheFigureStaysTheCapWithTheSleepingWait) {
    HeadlessSetCounter(3579545, 1);
    StartActive();
    for (int cap : {50, 30, 60}) {
        frameRateCap = cap;
        for (int i = 0; i < 42; i++) FrameLoopPass();
        EXPECT_NEAR(fpsValue, float(cap), 0.005f) << cap;
    }
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
