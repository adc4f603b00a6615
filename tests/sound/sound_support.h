// What the sound tests start from: a fresh scratch folder with the game's window,
// and the device started on it as start-up does.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "app/valimo.h"
#include "sound/sound.h"
#include "test_support.h"

// The folder and the window only; the test starts the device (or fails to).
inline void MakeSoundWindow() {
    MakeScratchDirectory();
    mainWindow = CreateMainWindow("Valimo", 0, 0, 640, 480, WndProc);
}

// Sound started and enabled; the log as start-up left it, for what a test adds to it.
class StartedSound : public testing::Test {
protected:
    void SetUp() override {
        MakeSoundWindow();
        InitDirectSound(mainWindow);
        ASSERT_FALSE(soundDisabled);
        logAfterStart = ReadLog();
    }
    std::string logAfterStart;
};
