// The program's options, read before anything of the game runs.
#pragma once
#include <string>

struct CommandLine {
    enum Action { RUN, HELP, VERSION, BAD } action = RUN;
    bool window = false;  // start in a window rather than full screen
    std::string bad;      // the first argument not understood
};

CommandLine ParseCommandLine(int argc, const char* const* argv);
// The short usage, several lines, each ending in a newline.
const char* UsageText();

// How the host opens its window: full screen unless the player asked for a window.
void SetStartInWindow(bool window);
bool StartInWindow();
