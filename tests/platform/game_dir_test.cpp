#include "platform/game_dir.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "app/valimo.h"
#include "bmp_writer.h"
#include "puzzle/level.h"
#include "puzzle/puzzle_support.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

// The tests may run as root, who may write anywhere: give that up in this process.
void DropFileAccessOverride() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    syscall(SYS_capget, &header, data);
    data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    syscall(SYS_capset, &header, data);
}

std::string Picture(uint16_t colour) { return MakeBmp(64, 32, std::vector<uint16_t>(64 * 32, colour)); }

// A shipped tree as an install or an unpacked copy holds it, with the files a
// player folder must not link: the player's own two, and a program.
std::string MakeShipped(const std::string& root) {
    WriteFile(root + "/gui.bmp", Picture(0x1234));
    WriteFile(root + "/intro.avi", "RIFF movie");
    WriteFile(root + "/order.html", "<html></html>");
    WriteFile(root + "/prefs.dat", "PLAYERS 0\n");
    WriteFile(root + "/valimo.log", "a log of the build's own runs\n");
    WriteFile(root + "/valimo", "\x7f" "ELF");
    chmod((root + "/valimo").c_str(), 0755);
    WriteFile(root + "/levels/level00.lev", LevelText(0, {{"case.bmp", 0, 7}}));
    WriteFile(root + "/levels/level01.lev", LevelText(1, {{"case.bmp", 2, 7}}));
    WriteFile(root + "/data/case.bmp", Picture(0x03E0));
    WriteFile(root + "/data/click.wav", "RIFF wave");
    return root;
}

bool IsLink(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::string LinkTarget(const std::string& path) {
    std::error_code ec;
    return fs::read_symlink(path, ec).string();
}

int Mode(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

struct Scene {
    std::string root, shipped, current, program, home;
    std::string player() const { return home + "/.local/share/valimo"; }
};

// An installed tree (prefix/games holds no game), a fresh home, and a plain
// folder to start from.
Scene MakeScene() {
    Scene s;
    s.root = MakeScratchDirectory();
    s.shipped = MakeShipped(s.root + "/prefix/share/games/valimo");
    s.program = s.root + "/prefix/games";
    s.current = s.root + "/elsewhere";
    s.home = s.root + "/home";
    fs::create_directories(s.program);
    fs::create_directories(s.current);
    fs::create_directories(s.home);
    return s;
}

StartPlace Choose(const Scene& s, const char* xdg = nullptr) {
    return ChooseStartDir(s.current, s.program, s.shipped, xdg, s.home.c_str());
}

TEST(StartDir, ACurrentDirectoryHoldingAGameIsPlayedIn) {
    Scene s = MakeScene();
    WriteFile(s.current + "/levels/mine.lev", "LEVEL 0\nITEMS 0\n");
    WriteFile(s.current + "/prefs.dat", "PLAYERS 0\n");
    // Also when the program's folder holds a writable game: the current one comes first.
    MakeShipped(s.program);
    StartPlace place = Choose(s);
    EXPECT_EQ(place.dir, s.current);
    EXPECT_TRUE(place.error.empty());
    EXPECT_FALSE(Exists(s.player())) << "nothing is laid for a game played elsewhere";

    // A levels folder alone is no game.
    fs::remove(s.current + "/prefs.dat");
    EXPECT_EQ(Choose(s).dir, s.program);
}

TEST(StartDir, TheProgramFolderHoldingTheGameIsPlayedInWhenWritable) {
    Scene s = MakeScene();
    MakeShipped(s.program);
    EXPECT_EQ(ChooseStartDir(s.current, s.program, s.program, nullptr, s.home.c_str()).dir, s.program);
    EXPECT_FALSE(Exists(s.player()));
    // Started from inside it, the same.
    EXPECT_EQ(ChooseStartDir(s.program, s.program, s.program, nullptr, s.home.c_str()).dir, s.program);

    // Read-only, from anywhere and from inside it: the player's own folder.
    chmod(s.program.c_str(), 0555);
    EXPECT_EXIT(
        {
            DropFileAccessOverride();
            StartPlace a = ChooseStartDir(s.current, s.program, s.program, nullptr, s.home.c_str());
            StartPlace b = ChooseStartDir(s.program, s.program, s.program, nullptr, s.home.c_str());
            std::_Exit(a.dir == s.player() && b.dir == s.player() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    chmod(s.program.c_str(), 0755);
    EXPECT_TRUE(IsLink(s.player() + "/levels/level00.lev"));
}

TEST(StartDir, TheInstalledDataIsNeverPlayedInItself) {
    Scene s = MakeScene();
    // Started from inside the installed data (root may write there): the player's folder.
    StartPlace place = ChooseStartDir(s.shipped, s.program, s.shipped, nullptr, s.home.c_str());
    EXPECT_EQ(place.dir, s.player());
    EXPECT_EQ(ReadFile(s.player() + "/prefs.dat"), "PLAYERS 0\n");
    // Started from inside the player's folder, it is still refreshed.
    fs::remove(s.player() + "/levels/level01.lev");
    EXPECT_EQ(ChooseStartDir(s.player(), s.program, s.shipped, nullptr, s.home.c_str()).dir, s.player());
    EXPECT_TRUE(IsLink(s.player() + "/levels/level01.lev"));
}

TEST(PlayerFolder, IsMadePrivateWithAPrefsFileAndALinkPerShippedFile) {
    Scene s = MakeScene();
    StartPlace place = Choose(s);
    ASSERT_EQ(place.dir, s.player()) << place.error;
    EXPECT_TRUE(place.warning.empty()) << place.warning;
    EXPECT_EQ(Mode(s.player()), 0700);
    EXPECT_EQ(Mode(s.home + "/.local"), 0700);
    EXPECT_FALSE(IsLink(s.player() + "/prefs.dat"));
    EXPECT_EQ(ReadFile(s.player() + "/prefs.dat"), "PLAYERS 0\n");
    for (const char* name : {"gui.bmp", "intro.avi", "order.html", "levels/level00.lev", "levels/level01.lev",
                             "data/case.bmp", "data/click.wav"}) {
        EXPECT_TRUE(IsLink(s.player() + "/" + name)) << name;
        EXPECT_EQ(LinkTarget(s.player() + "/" + name), s.shipped + "/" + name);
    }
    // The build's log and its programs are not the player's data.
    EXPECT_FALSE(Exists(s.player() + "/valimo.log"));
    EXPECT_FALSE(Exists(s.player() + "/valimo"));
    EXPECT_TRUE(HoldsGame(s.player()));
}

TEST(PlayerFolder, AnExistingPrefsFileIsNeverOverwritten) {
    Scene s = MakeScene();
    const std::string players = "PLAYERS 2\nanna 3 0 0\nbo 0 0 0\n";
    WriteFile(s.player() + "/prefs.dat", players);
    ASSERT_EQ(Choose(s).dir, s.player());
    EXPECT_EQ(ReadFile(s.player() + "/prefs.dat"), players);
    // Not even an empty one, nor one the player keeps elsewhere through a link.
    WriteFile(s.root + "/synced/prefs.dat", "");
    fs::remove(s.player() + "/prefs.dat");
    fs::create_symlink(s.root + "/synced/prefs.dat", s.player() + "/prefs.dat");
    ASSERT_EQ(Choose(s).dir, s.player());
    EXPECT_EQ(LinkTarget(s.player() + "/prefs.dat"), s.root + "/synced/prefs.dat");
    EXPECT_EQ(ReadFile(s.root + "/synced/prefs.dat"), "");
}

TEST(PlayerFolder, AnUpgradeOrAMoveOfTheInstalledTreeIsFollowed) {
    Scene s = MakeScene();
    ASSERT_EQ(Choose(s).dir, s.player());
    fs::remove(s.shipped + "/levels/level01.lev");
    fs::remove(s.shipped + "/order.html");
    WriteFile(s.shipped + "/levels/level02.lev", LevelText(2, {}));
    WriteFile(s.shipped + "/data/new.bmp", Picture(0x7C00));
    WriteFile(s.shipped + "/faq.html", "<html></html>");
    // Links that lead nowhere: a loop, and one into a folder that is gone.
    fs::create_symlink("loop.lev", s.player() + "/levels/loop.lev");
    fs::create_symlink(s.root + "/gone/x.bmp", s.player() + "/data/x.bmp");

    StartPlace place = Choose(s);
    ASSERT_EQ(place.dir, s.player()) << place.error;
    EXPECT_TRUE(place.warning.empty()) << place.warning;
    EXPECT_FALSE(Exists(s.player() + "/levels/level01.lev"));
    EXPECT_FALSE(Exists(s.player() + "/order.html"));
    EXPECT_FALSE(Exists(s.player() + "/levels/loop.lev"));
    EXPECT_FALSE(Exists(s.player() + "/data/x.bmp"));
    EXPECT_TRUE(fs::exists(s.player() + "/levels/level02.lev"));
    EXPECT_TRUE(fs::exists(s.player() + "/data/new.bmp"));
    EXPECT_TRUE(fs::exists(s.player() + "/faq.html"));
    EXPECT_TRUE(fs::exists(s.player() + "/levels/level00.lev"));

    // The installed tree moved: every link follows it.
    const std::string moved = s.root + "/moved/share/games/valimo";
    fs::create_directories(s.root + "/moved/share/games");
    fs::rename(s.shipped, moved);
    s.shipped = moved;
    ASSERT_EQ(Choose(s).dir, s.player());
    for (const char* name : {"gui.bmp", "levels/level00.lev", "data/case.bmp"})
        EXPECT_EQ(LinkTarget(s.player() + "/" + name), moved + "/" + name);
}

TEST(PlayerFolder, OwnLevelsAndPicturesAreKeptAndFoundBesideTheShippedOnes) {
    Scene s = MakeScene();
    ASSERT_EQ(Choose(s).dir, s.player());
    WriteFile(s.player() + "/levels/mine.lev", LevelText(64, {{"case.bmp", 0, 7}, {"mybag.bmp", 3, 7}}));
    WriteFile(s.player() + "/data/mybag.bmp", MakeBmp(32, 64, std::vector<uint16_t>(32 * 64, 0x001F)));
    // A picture of the player's own under a shipped name takes its place.
    fs::remove(s.player() + "/data/case.bmp");
    WriteFile(s.player() + "/data/case.bmp", MakeBmp(96, 32, std::vector<uint16_t>(96 * 32, 0x7C00)));
    // Refreshed twice, as two starts would.
    ASSERT_EQ(Choose(s).dir, s.player());
    ASSERT_EQ(Choose(s).dir, s.player());
    EXPECT_FALSE(IsLink(s.player() + "/levels/mine.lev"));
    EXPECT_FALSE(IsLink(s.player() + "/data/case.bmp"));

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
    EXPECT_EQ(gameLevel.items[1].width, 1);
    EXPECT_EQ(gameLevel.items[1].height, 2);
    LoadLevel(1);
    EXPECT_STREQ(gameLevel.items[0].name, "case");
    EXPECT_FALSE(quitRequested);
}

TEST(PlayerFolder, XdgDataHomeWinsAndWithoutHomeTheGameCannotStart) {
    Scene s = MakeScene();
    const std::string xdg = s.root + "/xdg";
    EXPECT_EQ(Choose(s, (xdg + "/").c_str()).dir, xdg + "/valimo");
    EXPECT_EQ(Choose(s, "relative/data").dir, s.player()) << "a relative XDG_DATA_HOME is ignored";
    EXPECT_EQ(Choose(s, "").dir, s.player());
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

TEST(PlayerFolder, AFolderThatCannotBeMadeIsReportedAndNothingStarts) {
    Scene s = MakeScene();
    // HOME is a file: its folders cannot be made, by anyone.
    WriteFile(s.root + "/plainfile", "x");
    const std::string home = s.root + "/plainfile";
    StartPlace place = ChooseStartDir(s.current, s.program, s.shipped, nullptr, home.c_str());
    EXPECT_TRUE(place.dir.empty());
    EXPECT_NE(place.error.find("cannot make " + home + "/.local"), std::string::npos) << place.error;
    // The player's folder is a file.
    WriteFile(s.player(), "x");
    place = Choose(s);
    EXPECT_TRUE(place.dir.empty());
    EXPECT_NE(place.error.find(s.player()), std::string::npos) << place.error;
    // No data beside the program.
    fs::remove(s.player());
    place = ChooseStartDir(s.current, s.program, "", nullptr, s.home.c_str());
    EXPECT_TRUE(place.dir.empty());
    EXPECT_NE(place.error.find(s.program), std::string::npos) << place.error;
}

TEST(PlayerFolder, AReadOnlyFolderWithoutPrefsIsAnErrorWithPrefsOnlyAWarning) {
    Scene s = MakeScene();
    fs::create_directories(s.player());
    chmod(s.player().c_str(), 0500);
    EXPECT_EXIT(
        {
            DropFileAccessOverride();
            StartPlace place = Choose(s);
            const bool ok = place.dir.empty() && place.error.find("prefs.dat") != std::string::npos;
            std::_Exit(ok ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    // With its prefs.dat there, the game starts; the missing links are named,
    // and the game itself reports the files it then lacks.
    chmod(s.player().c_str(), 0700);
    WriteFile(s.player() + "/prefs.dat", "PLAYERS 0\n");
    chmod(s.player().c_str(), 0500);
    EXPECT_EXIT(
        {
            DropFileAccessOverride();
            StartPlace place = Choose(s);
            const bool ok = place.dir == s.player() && place.warning.find("not laid") != std::string::npos;
            std::_Exit(ok ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    chmod(s.player().c_str(), 0700);
}

}  // namespace
