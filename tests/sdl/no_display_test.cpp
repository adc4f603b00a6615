// Started where there is no display (a console, an SSH session): the game fails
// as the original failed without DirectDraw, says which variable to check, and
// does not run unseen.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "app/valimo.h"
#include "test_support.h"

namespace {

TEST(NoDisplay, DirectDrawCreateFailsLogsTheShutDownAndSaysWhichVariable) {
    MakeScratchDirectory();
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            unsetenv("SDL_VIDEODRIVER");
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            alarm(60);  // a game that found a display after all must not run forever
            WinMain();
        },
        testing::ExitedWithCode(0), "^valimo: no display found: neither DISPLAY nor WAYLAND_DISPLAY is set.*\n$");
    EXPECT_EQ(ReadLog(),
              "Valimo v1.0 Log File\n\n"
              "ValimoInit()\n"
              "Initializing DirectDraw\n"
              "System Error Occured at dderrCreate() No DirectDraw hardware found\n\n" +
                  std::string(kShutdownLog));
}

}  // namespace
