#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ddraw.h"
#include "platform/faults.h"
#include "test_support.h"

namespace {

std::vector<std::string> Search(const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HFIND search = FindFirstFileA(pattern, &found);
    if (search == INVALID_FIND_HANDLE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    EXPECT_TRUE(FindClose(search));
    return names;
}

TEST(FileSearch, MatchingRegularFilesComeSortedByTheirBytes) {
    MakeScratchDirectory();
    for (const char* name : {"b.lev", "a0.lev", "a.lev", "C.lev", "\xC3\xA4.lev", "x.levx", "y.txt", ".lev"})
        WriteFile(std::string("levels/") + name, "LEVEL 0\n");
    std::filesystem::create_directories("levels/dir.lev");
    std::filesystem::create_symlink("nowhere", "levels/dangling.lev");
    // Upper case before lower case, '.' before '0', bytes above 127 last.
    EXPECT_EQ(Search("levels/*.lev"),
              (std::vector<std::string>{".lev", "C.lev", "a.lev", "a0.lev", "b.lev", "\xC3\xA4.lev"}));
}

TEST(FileSearch, NoMatchOrNoDirectoryGivesNoHandle) {
    MakeScratchDirectory();
    EXPECT_TRUE(Search("levels/*.lev").empty());
    WriteFile("levels/readme.txt", "");
    EXPECT_TRUE(Search("levels/*.lev").empty());
    WriteFile("levels/1.lev", "");
    InjectFault("FindFirstFile", DDERR_GENERIC);
    EXPECT_TRUE(Search("levels/*.lev").empty());
    EXPECT_EQ(Search("levels/*.lev"), std::vector<std::string>{"1.lev"});
}

}  // namespace
