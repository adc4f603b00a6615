// The two pages the generator ships: well formed, self-contained, and true to
// the game they describe.
#include "tools/pages/pages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <vector>

#include "app/texts.h"
#include "test_support.h"
#include "tools/art/items.h"
#include "tools/levels/levels.h"
#include "tools/pack_as_solver.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = VALIMO_GAME_DIR;

// Every element closed in order (the void ones aside): a browser shows what we wrote.
void ExpectBalancedTags(const std::string& html, const std::string& page) {
    static const std::regex tag("<(/?)([a-zA-Z][a-zA-Z0-9]*)[^>]*>");
    const std::vector<std::string> voids = {"meta", "br", "img", "hr", "link", "input"};
    std::vector<std::string> open;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), tag); it != std::sregex_iterator(); ++it) {
        const std::string name = (*it)[2];
        if (std::find(voids.begin(), voids.end(), name) != voids.end()) continue;
        if ((*it)[1].length() == 0) {
            open.push_back(name);
        } else {
            ASSERT_FALSE(open.empty()) << page << ": </" << name << "> closes nothing";
            ASSERT_EQ(open.back(), name) << page << ": </" << name << "> closes <" << open.back() << ">";
            open.pop_back();
        }
    }
    EXPECT_TRUE(open.empty()) << page << ": <" << (open.empty() ? "" : open.back()) << "> never closed";
}

TEST(Pages, WrittenWellFormedSelfContainedAndTrueToTheGame) {
    for (const char* name : {"order.html", "faq.html"}) {
        const std::string html = ReadFile((kGame / name).string());
        ASSERT_FALSE(html.empty()) << name << " not written";
        EXPECT_EQ(html.rfind("<!DOCTYPE html>\n<html lang=\"en\">", 0), 0u) << name;
        ExpectBalancedTags(html, name);
        // Nothing is fetched: no web address, no picture or script from elsewhere.
        EXPECT_EQ(html.find("http"), std::string::npos) << name;
        EXPECT_EQ(html.find("src="), std::string::npos) << name;
        EXPECT_EQ(html.find("url("), std::string::npos) << name;
        // Links lead to the other page, which is there.
        static const std::regex link("href=\"([^\"]*)\"");
        for (auto it = std::sregex_iterator(html.begin(), html.end(), link); it != std::sregex_iterator(); ++it)
            EXPECT_TRUE(fs::is_regular_file(kGame / (*it)[1].str())) << name << " links to " << (*it)[1];
        // Bare ampersands and angle brackets would be read as markup.
        EXPECT_FALSE(std::regex_search(html, std::regex("&(?![a-z]+;)"))) << name;
    }
    // What they tell a player to type or look for is what the tools and the game say.
    const std::string order = gen::OrderPage(64, 80, gen::Level{}), faq = gen::FaqPage();
    for (const char* words : {"valimo-levels new --items", "valimo-levels check", "~/.local/share/valimo",
                              "$XDG_DATA_HOME/valimo", "number yours 64, 65", "<code>levels/</code>",
                              "valimo-levels picture teddy.png", "--cells 3x2", "--any-size"})
        EXPECT_NE(order.find(words), std::string::npos) << words;
    for (const char* words : {"<code>Failed to open intro.avi</code>", "Video decompressed successfully",
                              "Failed to decomress a video file, make sure the Microsoft Video 1 codec is present on "
                              "your system",
                              "-c:v msvideo1 intro.avi"})
        EXPECT_NE(faq.find(words), std::string::npos) << words;
}

// A player who copies the order page's example gets a level that the game and
// the level tool take, numbered right after the shipped ones.
TEST(Pages, OrderPageExampleIsAPlayableNextLevel) {
    const std::string html = ReadFile((kGame / "order.html").string());
    int shipped = 0;
    for (const auto& e : fs::directory_iterator(kGame / "levels")) shipped += e.path().extension() == ".lev";
    std::smatch pre;
    ASSERT_TRUE(std::regex_search(html, pre, std::regex("<pre>(LEVEL [^<]*)</pre>")));
    MakeScratchDirectory();
    WriteFile("mine.lev", pre[1].str() + "\n");
    const ToolRun check = RunLevelsTool("check --data " + (kGame / "data").string() + " mine.lev");
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_EQ(check.out.rfind("mine.lev: level " + std::to_string(shipped) + ", ", 0), 0u) << check.out;
    // The numbers the page gives are the shipped set's.
    EXPECT_NE(html.find("numbered 0 to " + std::to_string(shipped - 1)), std::string::npos);
    EXPECT_NE(html.find("--number " + std::to_string(shipped) + " &gt;"), std::string::npos);
    // So are the ones the closing screen gives.
    int pictures = 0;
    for (const auto& e : fs::directory_iterator(kGame / "data")) pictures += gen::FindItem(e.path().stem()) >= 0;
    EXPECT_EQ(std::string(CLOSING_LINES[3]).rfind("- " + std::to_string(shipped) + " levels", 0), 0u);
    EXPECT_EQ(std::string(CLOSING_LINES[4]).rfind("- " + std::to_string(pictures) + " things", 0), 0u);
}

}  // namespace
