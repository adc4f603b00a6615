#include "platform/command_line.h"

#include <cstring>

namespace {

bool startInWindow = false;

}  // namespace

// Changed on purpose: command-line options (docs/BEHAVIOUR.md).
CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    bool help = false, version = false;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i] ? argv[i] : "";
        if (std::strcmp(a, "--help") == 0) {
            help = true;
        } else if (std::strcmp(a, "--version") == 0) {
            version = true;
        } else if (std::strcmp(a, "--window") == 0) {
            line.window = true;
        } else if (std::strcmp(a, "--fullscreen") == 0) {
            line.window = false;
        } else {
            // Nothing runs on a line that is partly misunderstood, not even --help.
            line.action = CommandLine::BAD;
            line.bad = a;
            return line;
        }
    }
    line.action = help ? CommandLine::HELP : version ? CommandLine::VERSION : CommandLine::RUN;
    return line;
}

const char* UsageText() {
    return "Usage: valimo [--fullscreen | --window]\n"
           "       valimo --help | --version\n"
           "Valimo, a packing puzzle: fill the open case with every item on the table.\n"
           "  --fullscreen  start in full screen (the default)\n"
           "  --window      start in a window\n"
           "  --help        show this help and exit\n"
           "  --version     show the version and exit\n"
           "Alt+Enter switches between full screen and a window while playing.\n"
           "See valimo(6) for where the game keeps its files.\n";
}

void SetStartInWindow(bool window) { startInWindow = window; }
bool StartInWindow() { return startInWindow; }
