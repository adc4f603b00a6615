// Opening a page: a file of the start directory by its file URL, nothing for a
// file that is not there, a web address as it is.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/headless/headless.h"
#include "platform/win.h"
#include "test_support.h"

namespace {

TEST(OpenPage, FileOfTheStartDirectoryOpensByFileUrlAndAMissingOneNotAtAll) {
    const std::string dir = MakeScratchDirectory();
    WriteFile("order.html", "<!DOCTYPE html>\n");
    std::filesystem::create_directory("faq.html");  // a folder named like a page is no page
    ShellExecuteOpen("faq.html");
    ShellExecuteOpen("missing.html");
    EXPECT_TRUE(HeadlessOpenedUrls().empty());

    ShellExecuteOpen("order.html");
    ASSERT_EQ(HeadlessOpenedUrls().size(), 1u);
    EXPECT_EQ(HeadlessOpenedUrls()[0], "file://" + dir + "/order.html");

    ShellExecuteOpen("https://example.org/a?b=c d");
    ASSERT_EQ(HeadlessOpenedUrls().size(), 2u);
    EXPECT_EQ(HeadlessOpenedUrls()[1], "https://example.org/a?b=c d");
}

// A browser reads a URL: blanks, percent signs and letters beyond ASCII in the
// folder's name are escaped, the slashes are not.
TEST(OpenPage, FolderNameEscapedInTheUrl) {
    const std::string dir = MakeScratchDirectory();
    const std::string folder = "My games 100% \xC3\xA4#1";
    std::filesystem::create_directory(folder);
    std::filesystem::current_path(dir + "/" + folder);
    WriteFile("order.html", "<!DOCTYPE html>\n");
    ShellExecuteOpen("order.html");
    ASSERT_EQ(HeadlessOpenedUrls().size(), 1u);
    EXPECT_EQ(HeadlessOpenedUrls()[0], "file://" + dir + "/My%20games%20100%25%20%C3%A4%231/order.html");
}

}  // namespace
