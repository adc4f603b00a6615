#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CommandLine Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "valimo");
    return ParseCommandLine(int(args.size()), args.data());
}

TEST(CommandLine, TheFourOptionsAndNoneAtAll) {
    EXPECT_EQ(Parse({}).action, CommandLine::RUN);
    EXPECT_FALSE(Parse({}).window) << "full screen, as the game is designed";
    EXPECT_TRUE(Parse({"--window"}).window);
    EXPECT_FALSE(Parse({"--window", "--fullscreen"}).window) << "the last one counts";
    EXPECT_TRUE(Parse({"--fullscreen", "--window"}).window);
    EXPECT_EQ(Parse({"--window", "--help"}).action, CommandLine::HELP);
    EXPECT_EQ(Parse({"--version"}).action, CommandLine::VERSION);
    EXPECT_EQ(Parse({"--version", "--help"}).action, CommandLine::HELP);
}

TEST(CommandLine, RecordAndReplayTakeTheirFileAndGoTogetherOnlyAsTheyCan) {
    CommandLine line = Parse({"--record", "bug.vrp", "--window"});
    EXPECT_EQ(line.action, CommandLine::RUN);
    EXPECT_EQ(line.record, "bug.vrp");
    EXPECT_TRUE(line.window);
    line = Parse({"--replay", "--window", "--headless", "--into", "out"});
    EXPECT_EQ(line.action, CommandLine::RUN);
    EXPECT_EQ(line.replay, "--window") << "the word after --replay is its file, whatever it looks like";
    EXPECT_TRUE(line.headless);
    EXPECT_EQ(line.into, "out");
    EXPECT_FALSE(line.window);
    // A file is needed, and a run is either recorded or replayed.
    for (std::vector<const char*> bad : std::vector<std::vector<const char*>>{
             {"--record"}, {"--replay"}, {"--replay", ""}, {"--record", "a", "--replay", "b"}, {"--headless"},
             {"--into", "dir"}, {"--record", "a", "--headless"}})
        EXPECT_EQ(Parse(bad).action, CommandLine::BAD) << bad[0] << " " << bad.size();
    EXPECT_EQ(Parse({"--replay", "a", "--help"}).action, CommandLine::HELP);
}

TEST(CommandLine, AnythingElseIsRefusedWhateverComesWithIt) {
    for (const char* bad : {"-h", "--Help", "--window=1", "-", "--", "", "levels/0.lev", "--fullscreen2"}) {
        const CommandLine line = Parse({"--help", bad, "--version"});
        EXPECT_EQ(line.action, CommandLine::BAD) << "'" << bad << "'";
        EXPECT_EQ(line.bad, bad);
    }
    const std::string usage = UsageText();
    for (const char* option : {"--help", "--version", "--window", "--fullscreen", "--record FILE", "--replay FILE",
                               "--headless", "--into DIR"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

}  // namespace
