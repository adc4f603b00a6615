// docs/BEHAVIOUR.md and the code agree: each entry's code carries a comment
// naming it, and each such comment names an entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSource = VALIMO_SOURCE_DIR;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

TEST(BehaviourNotes, EachEntryIsMarkedAtItsCodeAndEachMarkNamesAnEntry) {
    // Entry title -> the files it names; the entries still being written name none yet.
    std::map<std::string, std::vector<std::string>> entries;
    const std::string doc = ReadFile((kSource / "docs/BEHAVIOUR.md").string());
    const std::string done = doc.substr(0, doc.find("Being added now"));
    const std::regex entry(R"(\n- \*\*([^*]+?)\.?\*\*((?:.|\n)*?)(?=\n- |\n\n|$))");
    const std::regex file("`([a-z]+/[a-z_/]+\\.(?:cpp|h))`");
    for (std::sregex_iterator it(done.begin(), done.end(), entry), end; it != end; ++it) {
        const std::string body = (*it)[2];
        auto& files = entries[Lower((*it)[1])];
        for (std::sregex_iterator f(body.begin(), body.end(), file); f != end; ++f) files.push_back((*f)[1]);
        EXPECT_FALSE(files.empty()) << (*it)[1] << ": names no file";
    }
    ASSERT_GE(entries.size(), 30u);

    // Every mark in the code, by the entry it names.
    std::map<std::string, std::set<std::string>> marks;
    const std::regex mark(R"(// (?:Kept|Changed) on purpose: (.*) \(docs/BEHAVIOUR\.md\)\.)");
    for (const char* dir : {"app", "base", "puzzle", "profiles", "gui", "gfx", "sound", "input", "platform", "tools"})
        for (const auto& e : fs::recursive_directory_iterator(kSource / dir)) {
            if (!e.is_regular_file()) continue;
            const std::string text = ReadFile(e.path().string());
            const std::string name = fs::relative(e.path(), kSource).string();
            for (std::sregex_iterator m(text.begin(), text.end(), mark), end; m != end; ++m) {
                std::string named = (*m)[1];
                // "kept: a; changed: b" marks two entries at one line.
                std::stringstream parts(named);
                for (std::string part; std::getline(parts, part, ';');) {
                    part = std::regex_replace(part, std::regex(R"(^\s*(changed|kept)( on purpose)?: )"), "");
                    marks[Lower(part)].insert(name);
                    EXPECT_TRUE(entries.count(Lower(part))) << name << ": names no entry: " << part;
                }
            }
        }
    for (const auto& [title, files] : entries) {
        const auto& marked = marks[title];
        EXPECT_TRUE(std::any_of(files.begin(), files.end(), [&](const std::string& f) { return marked.count(f); }))
            << "\"" << title << "\": no mark in any of its files";
    }
}

}  // namespace
