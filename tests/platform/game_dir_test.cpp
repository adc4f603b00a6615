#include "platform/game_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>

#include "app/valimo.h"
#include "bmp_writer.h"
#include "puzzle/level.h"
#include "puzzle/puzzle_support.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

std::string Picture(int w, int h, uint16_t colour) {
    return MakeBmp(w, h, std::vector<uint16_t>(size_t(w * h), colour));
}

// A shipped tree as an install or an unpacked copy holds it, with the files a
// player folder must not link: the player's own two, and a program.
std::string MakeShipped(const std::string& root) {
    WriteFile(root + "/gui.bmp", Picture(64, 32, 0x1234));
    WriteFile(root + "/intro.avi", "RIFF movie");
    WriteFile(root + "/order.html", "<html></html>");
    WriteFile(root + "/prefs.dat", "PLAYERS 0\n");
    WriteFile(root + "/valimo.log", "a log of the build's own runs\n");
    WriteFile(root + "/valimo", "\x7f" "ELF");
    WriteFile(root + "/levels/level00.lev", LevelText(0, {{"case.bmp", 0, 7}}));
    WriteFile(root + "/levels/level01.lev", LevelText(1, {{"case.bmp", 2, 7}}));
    WriteFile(root + "/data/case.bmp", Picture(64, 32, 0x03E0));
    WriteFile(root + "/data/click.wav", "RIFF wave");
    chmod((root + "/valimo").c_str(), 0755);
    return root;
}

std::string LinkTarget(const std::string& path) {
    std::error_code ec;
    return fs::read_symlink(path, ec).string();
}
bool IsLink(const std::string& path) { return !LinkTarget(path).empty(); }
bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}
int Mode(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// Folder modes refuse root nothing: the check runs in a child that gave that up.
void ExpectAsPlayer(const std::function<bool()>& check) {
    EXPECT_EXIT(
        {
            DropFileAccessOverride();
            std::_Exit(check() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

// An installed tree (prefix/games holds no game), a fresh home, and a plain
// folder to start from.
struct Scene {
    std::string root = MakeScratchDirectory();
    std::string shipped = MakeShipped(root + "/prefix/share/games/valimo");
    std::string program = root + "/prefix/games", current = root + "/elsewhere", home = root + "/home";
    Scene() {
        for (const auto& dir : {program, current, home}) fs::create_directories(dir);
    }
    std::string player() const { return home + "/.local/share/valimo"; }
    StartPlace Choose(const char* xdg = nullptr) const {
        return ChooseStartDir(current, program, shipped, xdg, home.c_str());
    }
};

TEST(StartDir, ACurrentGameThenAWritableProgramFolderThenThePlayersOwn) {
    Scene s;
    MakeShipped(s.program);
    WriteFile(s.current + "/levels/mine.lev", "LEVEL 0\nITEMS 0\n");
    WriteFile(s.current + "/prefs.dat", "PLAYERS 0\n");
    StartPlace place = s.Choose();
    EXPECT_EQ(place.dir, s.current);
    EXPECT_TRUE(place.error.empty());
    // A levels folder alone is no game.
    fs::remove(s.current + "/prefs.dat");
    EXPECT_EQ(s.Choose().dir, s.program);
    // An unpacked copy (its data is the program's folder), started from inside it.
    EXPECT_EQ(ChooseStartDir(s.program, s.program, s.program, nullptr, s.home.c_str()).dir, s.program);
    EXPECT_FALSE(Exists(s.player())) << "nothing is laid for a game played elsewhere";

    // Read-only, from anywhere and from inside it: the player's own folder.
    chmod(s.program.c_str(), 0555);
    ExpectAsPlayer([&] {
        return ChooseStartDir(s.current, s.program, s.program, nullptr, s.home.c_str()).dir == s.player() &&
               ChooseStartDir(s.program, s.program, s.program, nullptr, s.home.c_str()).dir == s.player();
    });
    chmod(s.program.c_str(), 0755);
    EXPECT_TRUE(IsLink(s.player() + "/levels/level00.lev"));

    // The installed data is never played in itself, and the player's folder,
    // started from, is still refreshed.
    EXPECT_EQ(ChooseStartDir(s.shipped, s.root, s.shipped, nullptr, s.home.c_str()).dir, s.player());
    fs::remove(s.player() + "/levels/level01.lev");
    EXPECT_EQ(ChooseStartDir(s.player(), s.root, s.shipped, nullptr, s.home.c_str()).dir, s.player());
    EXPECT_TRUE(IsLink(s.player() + "/levels/level01.lev"));
}

TEST(PlayerFolder, IsMadePrivateWithAPrefsFileAndALinkPerShippedFile) {
    Scene s;
    StartPlace place = s.Choose();
    ASSERT_EQ(place.dir, s.player()) << place.error;
    EXPECT_TRUE(place.warning.empty()) << place.warning;
    EXPECT_EQ(Mode(s.player()), 0700);
    EXPECT_EQ(Mode(s.home + "/.local"), 0700);
    EXPECT_FALSE(IsLink(s.player() + "/prefs.dat"));
    EXPECT_EQ(ReadFile(s.player() + "/prefs.dat"), "PLAYERS 0\n");
    for (const char* name : {"gui.bmp", "intro.avi", "order.html", "levels/level00.lev", "levels/level01.lev",
                             "data/case.bmp", "data/click.wav"})
        EXPECT_EQ(LinkTarget(s.player() + "/" + name), s.shipped + "/" + name);
    // The build's log and its programs are not the player's data.
    EXPECT_FALSE(Exists(s.player() + "/valimo.log"));
    EXPECT_FALSE(Exists(s.player() + "/valimo"));
    EXPECT_TRUE(HoldsGame(s.player()));
}

TEST(PlayerFolder, AnExistingPrefsFileIsNeverOverwritten) {
    Scene s;
    const std::string players = "PLAYERS 2\nanna 3 0 0\nbo 0 0 0\n";
    WriteFile(s.player() + "/prefs.dat", players);
    ASSERT_EQ(s.Choose().dir, s.player());
    EXPECT_EQ(ReadFile(s.player() + "/prefs.dat"), players);
    // Not even an empty one, nor one the player keeps elsewhere through a link.
    WriteFile(s.root + "/synced/prefs.dat", "");
    fs::remove(s.player() + "/prefs.dat");
    fs::create_symlink(s.root + "/synced/prefs.dat", s.player() + "/prefs.dat");
    ASSERT_EQ(s.Choose().dir, s.player());
    EXPECT_EQ(LinkTarget(s.player() + "/prefs.dat"), s.root + "/synced/prefs.dat");
    EXPECT_EQ(ReadFile(s.root + "/synced/prefs.dat"), "");
}

TEST(PlayerFolder, AnUpgradeOrAMoveOfTheInstalledTreeIsFollowed) {
    Scene s;
    const std::string p = s.player() + "/";
    ASSERT_EQ(s.Choose().dir, s.player());
    fs::remove(s.shipped + "/levels/level01.lev");
    fs::remove(s.shipped + "/order.html");
    WriteFile(s.shipped + "/levels/level02.lev", LevelText(2, {}));
    WriteFile(s.shipped + "/data/new.bmp", Picture(64, 32, 0x7C00));
    WriteFile(s.shipped + "/faq.html", "<html></html>");
    // Links that lead nowhere: a loop, and one into a folder that is gone.
    fs::create_symlink("loop.lev", p + "levels/loop.lev");
    fs::create_symlink(s.root + "/gone/x.bmp", p + "data/x.bmp");

    StartPlace place = s.Choose();
    ASSERT_EQ(place.dir, s.player()) << place.error;
    EXPECT_TRUE(place.warning.empty()) << place.warning;
    for (const char* gone : {"levels/level01.lev", "order.html", "levels/loop.lev", "data/x.bmp"})
        EXPECT_FALSE(Exists(p + gone)) << gone;
    for (const char* there : {"levels/level02.lev", "data/new.bmp", "faq.html", "levels/level00.lev"})
        EXPECT_TRUE(fs::exists(p + there)) << there;

    // The installed tree moved: every link follows it.
    const std::string moved = s.root + "/moved/share/games/valimo";
    fs::create_directories(s.root + "/moved/share/games");
    fs::rename(s.shipped, moved);
    s.shipped = moved;
    ASSERT_EQ(s.Choose().dir, s.player());
    for (const char* name : {"gui.bmp", "levels/level00.lev", "data/case.bmp"})
        EXPECT_EQ(LinkTarget(p + name), moved + "/" + name);
}

TEST(PlayerFolder, OwnLevelsAndPicturesAreKeptAndFoundBesideTheShippedOnes) {
    Scene s;
    const std::string p = s.player() + "/";
    ASSERT_EQ(s.Choose().dir, s.player());
    WriteFile(p + "levels/mine.lev", LevelText(64, {{"case.bmp", 0, 7}, {"mybag.bmp", 3, 7}}));
    WriteFile(p + "data/mybag.bmp", Picture(32, 64, 0x001F));
    // A picture of the player's own under a shipped name takes its place.
    fs::remove(p + "data/case.bmp");
    WriteFile(p + "data/case.bmp", Picture(96, 32, 0x7C00));
    // Refreshed twice, as two starts would.
    ASSERT_EQ(s.Choose().dir, s.player());
    ASSERT_EQ(s.Choose().dir, s.player());
    EXPECT_FALSE(IsLink(p + "levels/mine.lev"));
    EXPECT_FALSE(IsLink(p + "data/case.bmp"));

    // The game, started there, lists and loads them.
    fs::current_path(s.player());
    std::strncpy(startDirectory, s.player().c_str(), sizeof startDirectory - 1);
    StartDisplay();
    LoadLevelList();
    ASSERT_EQ(levelList.count, 3) << ReadLog();
    EXPECT_STREQ(levelList.entries[2].fileName, "mine.lev");
    LoadLevel(64);
    ASSERT_EQ(gameLevel.itemCount, 2);
    EXPECT_EQ(gameLevel.items[0].width, 3) << "the player's own case.bmp, not the shipped one";
    EXPECT_EQ(std::pair(gameLevel.items[1].width, gameLevel.items[1].height), std::pair(1, 2));
    LoadLevel(1);
    EXPECT_STREQ(gameLevel.items[0].name, "case");
    EXPECT_FALSE(quitRequested);
}

TEST(PlayerFolder, XdgDataHomeWinsAndWithoutHomeTheGameCannotStart) {
    Scene s;
    const std::string xdg = s.root + "/xdg";
    EXPECT_EQ(s.Choose((xdg + "/").c_str()).dir, xdg + "/valimo");
    EXPECT_EQ(s.Choose("relative/data").dir, s.player()) << "a relative XDG_DATA_HOME is ignored";
    EXPECT_EQ(s.Choose("").dir, s.player());
    for (const char* home : {static_cast<const char*>(nullptr), "", "relative/home"}) {
        StartPlace place = ChooseStartDir(s.current, s.program, s.shipped, nullptr, home);
        EXPECT_TRUE(place.dir.empty());
        EXPECT_NE(place.error.find("HOME"), std::string::npos) << place.error;
    }
    // XDG_DATA_HOME alone is enough.
    EXPECT_EQ(ChooseStartDir(s.current, s.program, s.shipped, xdg.c_str(), nullptr).dir, xdg + "/valimo");
    // Without HOME a game in the current directory still plays.
    WriteFile(s.current + "/levels/a.lev", "LEVEL 0\nITEMS 0\n");
    WriteFile(s.current + "/intro.avi", "RIFF");
    EXPECT_EQ(ChooseStartDir(s.current, s.program, s.shipped, nullptr, nullptr).dir, s.current);
}

// Nothing starts without a folder and its prefs.dat; links that cannot be laid
// are only a warning, as the game reports the files it then lacks.
TEST(PlayerFolder, AFolderThatCannotBeMadeOrWrittenIsReported) {
    Scene s;
    const std::string plainFile = s.root + "/plainfile";  // as HOME: its folders cannot be made, by anyone
    WriteFile(plainFile, "x");
    StartPlace place = ChooseStartDir(s.current, s.program, s.shipped, nullptr, plainFile.c_str());
    EXPECT_TRUE(place.dir.empty());
    EXPECT_NE(place.error.find("cannot make " + plainFile + "/.local"), std::string::npos) << place.error;
    WriteFile(s.player(), "x");
    place = s.Choose();
    EXPECT_TRUE(place.dir.empty());
    EXPECT_NE(place.error.find(s.player()), std::string::npos) << place.error;
    fs::remove(s.player());
    place = ChooseStartDir(s.current, s.program, "", nullptr, s.home.c_str());  // no data beside the program
    EXPECT_TRUE(place.dir.empty());
    EXPECT_NE(place.error.find(s.program), std::string::npos) << place.error;

    fs::create_directories(s.player());
    chmod(s.player().c_str(), 0500);
    ExpectAsPlayer([&] {
        const StartPlace p = s.Choose();
        return p.dir.empty() && p.error.find("prefs.dat") != std::string::npos;
    });
    chmod(s.player().c_str(), 0700);
    WriteFile(s.player() + "/prefs.dat", "PLAYERS 0\n");
    chmod(s.player().c_str(), 0500);
    ExpectAsPlayer([&] {
        const StartPlace p = s.Choose();
        return p.dir == s.player() && p.warning.find("not laid") != std::string::npos;
    });
    chmod(s.player().c_str(), 0700);
}

}  // namespace
