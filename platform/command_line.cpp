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
            line.fullScreenAsked = true;
        } else if (std::strcmp(a, "--headless") == 0) {
            line.headless = true;
        } else if ((std::strcmp(a, "--record") == 0 || std::strcmp(a, "--replay") == 0 ||
                    std::strcmp(a, "--into") == 0) &&
                   i + 1 < argc && argv[i + 1] && argv[i + 1][0]) {
            std::string& file = std::strcmp(a, "--record") == 0   ? line.record
                                : std::strcmp(a, "--replay") == 0 ? line.replay
                                                                  : line.into;
            file = argv[++i];
        } else {
            // Nothing runs on a line that is partly misunderstood, not even --help.
            line.action = CommandLine::BAD;
            line.bad = a;
            return line;
        }
    }
    line.action = help ? CommandLine::HELP : version ? CommandLine::VERSION : CommandLine::RUN;
    // A replay plays what was recorded; the options of a replay ask for one.
    const bool replayOnly = line.headless || !line.into.empty();
    if (line.action == CommandLine::RUN &&
        ((!line.record.empty() && !line.replay.empty()) || (replayOnly && line.replay.empty()))) {
        line.action = CommandLine::BAD;
        line.bad = !line.record.empty() && !line.replay.empty() ? "--record" : line.headless ? "--headless" : "--into";
    }
    return line;
}

const char* UsageText() {
    return "Usage: valimo [--fullscreen | --window] [--record FILE]\n"
           "       valimo --replay FILE [--headless] [--into DIR] [--fullscreen | --window]\n"
           "       valimo --help | --version\n"
           "Valimo, a packing puzzle: fill the open case with every item on the table.\n"
           "  --fullscreen  start in full screen (the default)\n"
           "  --window      start in a window\n"
           "  --record FILE write every frame's input into FILE, for a bug report\n"
           "  --replay FILE play FILE again, in a window at its pace\n"
           "  --headless    replay without a window, as fast as it goes\n"
           "  --into DIR    replay in DIR and leave its valimo.log and prefs.dat there\n"
           "  --help        show this help and exit\n"
           "  --version     show the version and exit\n"
           "Alt+Enter switches between full screen and a window while playing.\n"
           "See valimo(6) for where the game keeps its files.\n";
}

void SetStartInWindow(bool window) { startInWindow = window; }
bool StartInWindow() { return startInWindow; }
