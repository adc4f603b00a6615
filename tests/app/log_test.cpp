#include <gtest/gtest.h>

#include <filesystem>

#include "app/valimo.h"
#include "base/log.h"
#include "test_support.h"

namespace {

TEST(Log, TheFirstTextOfARunReplacesAnEarlierLog) {
    const std::string dir = MakeScratchDirectory();
    WriteFile("valimo.log", "an earlier run\n");
    WriteLog("Valimo v1.0 Log File\n\n");
    WriteLog("second\n");
    EXPECT_EQ(ReadLog(), "Valimo v1.0 Log File\n\nsecond\n");
}

TEST(Log, TextsAreWrittenExactlyAndRunOnWithoutLineEnds) {
    MakeScratchDirectory();
    WriteLog("Failed to get mouse device state");
    WriteLog("");
    WriteLog("Failed to get keyboard device state");
    WriteLog("\n");
    EXPECT_EQ(ReadLog(), "Failed to get mouse device stateFailed to get keyboard device state\n");
}

TEST(Log, StaysInTheStartDirectoryWhenTheCurrentDirectoryChanges) {
    const std::string dir = MakeScratchDirectory();
    std::filesystem::create_directories("levels");
    WriteLog("one\n");
    std::filesystem::current_path(dir + "/levels");
    WriteLog("two\n");
    EXPECT_FALSE(std::filesystem::exists(dir + "/levels/valimo.log"));
    EXPECT_EQ(ReadFile(dir + "/valimo.log"), "one\ntwo\n");
}

TEST(Log, AFailedWriteAfterTheLogExistsDoesNotWipeIt) {
    const std::string dir = MakeScratchDirectory();
    WriteLog("kept\n");
    std::filesystem::remove(dir + "/valimo.log");
    std::filesystem::create_directory(dir + "/valimo.log");  // now it cannot be opened
    WriteLog("lost\n");
    EXPECT_FALSE(logStarted);
    std::filesystem::remove(dir + "/valimo.log");
    WriteFile(dir + "/valimo.log", "kept\n");
    WriteLog("appended\n");
    EXPECT_EQ(ReadLog(), "kept\nappended\n");
}

TEST(SystemError, LogsOneLineThenShutsDownInOrder) {
    MakeScratchDirectory();
    EXPECT_EXIT(SystemError("Failed to acquire keyboard"), testing::ExitedWithCode(0), "");
    const std::string log = ReadLog();
    EXPECT_EQ(log.rfind("System Error Occured at Failed to acquire keyboard\n", 0), 0u) << log;
    // The shut-down's own lines follow, the display's last.
    EXPECT_NE(log.find("Releasing static sprites\n"), std::string::npos);
    EXPECT_EQ(log.substr(log.size() - 19), "DirectDraw Release\n");
}

}  // namespace
