// The program's options, read before anything of the game runs.
#pragma once
#include <string>

struct CommandLine {
    enum Action { RUN, HELP, VERSION, BAD } action = RUN;
    bool window = false;  // start in a window rather than full screen
    bool fullScreenAsked = false;
    std::string record;   // --record FILE: the run written down
    std::string replay;   // --replay FILE: a written run played again
    bool headless = false;  // a replay without a window, as fast as it goes
    std::string into;     // the folder a replay plays in and leaves behind
    std::string bad;      // the first argument not understood
};

CommandLine ParseCommandLine(int argc, const char* const* argv);
// The short usage, several lines, each ending in a newline.
const char* UsageText();

// How the host opens its window: full screen unless the player asked for a window.
void SetStartInWindow(bool window);
bool StartInWindow();
