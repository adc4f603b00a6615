// The status panels' slide-in, the main menu's hit rows, and the packed line,
// drawn from plain single-colour pictures and block fonts.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gfx/display.h"
#include "gfx/font.h"
#include "gfx/sprite.h"
#include "gui/gui_test_support.h"
#include "input/input.h"
#include "profiles/profiles.h"
#include "puzzle/packing.h"
#include "puzzle/puzzle_support.h"
#include "puzzle/status.h"
#include "test_support.h"

namespace {

enum { kLevel = 4, kScoreBar = 5, kTimer = 6, kLevelBright = 11, kTimerBright = 12, kMenu = 13, kMenuPressed = 14 };

class StatusDisplay : public testing::Test {
protected:
    void SetUp() override {
        StartGui();
        Picture(kLevel, "stat-level.bmp", 128, 96, 0x001F);
        Picture(kScoreBar, "stat-scorebar.bmp", 424, 48, 0x7C00);
        Picture(kTimer, "stat-timer.bmp", 128, 96, 0x03E0);
        Picture(kLevelBright, "stat-level-bright.bmp", 40, 30, 0x4210);
        Picture(kTimerBright, "stat-timer-bright.bmp", 40, 30, 0x2108);
        Picture(kMenu, "menu-button0.bmp", 188, 20, 0x0210);
        Picture(kMenuPressed, "menu-button1.bmp", 188, 20, 0x4000);
        profileCount = 0;
        ResetStatusDisplay();
    }
    void Picture(int slot, const std::string& name, int width, int height, uint16_t colour) {
        WritePlainPicture(name, width, height, colour);
        LoadStaticSprite(slot, ("data/" + name).c_str(), 1);
        colours[slot] = SpritePixel(staticSprites[slot].sprite, 0, 0);
    }
    // Animates up to the n-th frame after the reset and draws that frame alone.
    void DrawFrame(int n) {
        while (animated < n) {
            AnimateStatusDisplay();
            animated++;
        }
        ClearScreen(0);
        DrawStatusDisplay();
    }
    uint16_t colours[22] = {};
    int animated = 0;
};

TEST_F(StatusDisplay, PanelsSlideInAndTheFiguresFollowOnThe81stFrame) {
    DrawFrame(1);  // score bar (108, -46), timer x -124, level x 636
    EXPECT_EQ(ScreenPixel(108, 1), colours[kScoreBar]);
    EXPECT_EQ(ScreenPixel(108, 2), 0);
    EXPECT_EQ(ScreenPixel(107, 1), 0);
    EXPECT_EQ(ScreenPixel(3, 60), colours[kTimer]);
    EXPECT_EQ(ScreenPixel(4, 60), 0);
    EXPECT_EQ(ScreenPixel(636, 60), colours[kLevel]);
    EXPECT_EQ(ScreenPixel(635, 60), 0);

    DrawFrame(23);
    EXPECT_EQ(ScreenPixel(200, 45), colours[kScoreBar]);
    EXPECT_EQ(ScreenPixel(200, 46), 0);
    DrawFrame(24);  // the score bar has arrived
    EXPECT_EQ(ScreenPixel(200, 47), colours[kScoreBar]);
    EXPECT_EQ(ScreenPixel(200, 48), 0);
    DrawFrame(31);
    EXPECT_EQ(ScreenPixel(124, 60), 0);
    EXPECT_EQ(ScreenPixel(515, 60), 0);
    DrawFrame(32);  // timer at x 0, level at x 512
    EXPECT_EQ(ScreenPixel(127, 60), colours[kTimer]);
    EXPECT_EQ(ScreenPixel(128, 60), 0);
    EXPECT_EQ(ScreenPixel(512, 60), colours[kLevel]);
    EXPECT_EQ(ScreenPixel(511, 60), 0);

    DrawFrame(80);
    EXPECT_EQ(ScreenPixel(49 + 2, 52 + 3 + 2), colours[kTimer]);
    EXPECT_EQ(ScreenPixel(512 + 18 + 2, 52 + 4 + 2), colours[kLevel]);
    DrawFrame(81);
    EXPECT_EQ(ScreenPixel(49 + 2, 52 + 3 + 2), colours[kTimerBright]);
    EXPECT_EQ(ScreenPixel(512 + 18 + 2, 52 + 4 + 2), colours[kLevelBright]);

    DrawFrame(200);  // nothing moves on
    EXPECT_EQ(ScreenPixel(127, 60), colours[kTimer]);
    EXPECT_EQ(ScreenPixel(128, 60), 0);
    EXPECT_EQ(ScreenPixel(49 + 2, 52 + 3 + 2), colours[kTimerBright]);

    ResetStatusDisplay();
    animated = 0;
    DrawFrame(1);
    EXPECT_EQ(ScreenPixel(108, 2), 0);
    EXPECT_EQ(ScreenPixel(4, 60), 0);
    EXPECT_EQ(ScreenPixel(49 + 2 - 124, 52 + 3 + 2), 0);
}

// With no current player no name is drawn, and the table is not read past its rows.
TEST_F(StatusDisplay, NameOnlyForACurrentPlayer) {
    DrawFrame(40);
    const uint16_t bar = colours[kScoreBar];
    auto nameDrawn = [&] {
        for (int x = 250; x < 390; x++)
            if (ScreenPixel(x, 23 + 3) != bar) return true;
        return false;
    };
    EXPECT_FALSE(nameDrawn());
    profileCount = 1;
    profiles[0] = {};
    std::snprintf(profiles[0].name, sizeof profiles[0].name, "%s", "anna");
    DrawFrame(40);
    EXPECT_FALSE(nameDrawn()) << "not selected";
    profiles[0].selected = true;
    DrawFrame(40);
    EXPECT_TRUE(nameDrawn());
}

int Pick(int x, int y, bool held) {
    SetMouse(x, y, held);
    return PickMainMenu();
}

// A completed click: held in one frame, released on a row in the next.
int ClickMenu(int x, int y) {
    Pick(x, y, true);
    return Pick(x, y, false);
}

TEST_F(StatusDisplay, MenuRowsHaveStrictEdges) {
    // The rows as the menu draws them: Play, Mode, Instructions, Credits, Best time, Log out, Quit.
    const int rows[MENU_ROWS] = {MENU_PLAY,      MENU_MODE,    MENU_INSTRUCTIONS, MENU_CREDITS,
                                 MENU_BEST_TIME, MENU_LOG_OUT, MENU_QUIT};
    for (int k = 0; k < MENU_ROWS; k++) EXPECT_EQ(ClickMenu(320, 153 + 20 * k + 10), rows[k]) << "row " << k;
    EXPECT_EQ(ClickMenu(226, 163), MENU_NOPICK);
    EXPECT_EQ(ClickMenu(227, 163), MENU_PLAY);
    EXPECT_EQ(ClickMenu(414, 163), MENU_NOPICK);
    EXPECT_EQ(ClickMenu(413, 163), MENU_PLAY);
    for (int k = 0; k <= MENU_ROWS; k++) EXPECT_EQ(ClickMenu(320, 153 + 20 * k), MENU_NOPICK) << "line " << k;
    EXPECT_EQ(ClickMenu(320, 154), MENU_PLAY);
    EXPECT_EQ(ClickMenu(320, 172), MENU_PLAY);
}

TEST_F(StatusDisplay, PressDraggedToAnotherRowSelectsThatRow) {
    ClearScreen(0);
    EXPECT_EQ(Pick(320, 203, true), MENU_NOPICK);  // row 2 held: pressed look
    EXPECT_EQ(ScreenPixel(230, 195), colours[kMenuPressed]);
    EXPECT_EQ(Pick(320, 223, true), MENU_NOPICK);  // dragged onto row 3
    EXPECT_EQ(Pick(320, 223, false), MENU_CREDITS);

    // Released off the rows: nothing, and no mark is left for a later release.
    Pick(320, 203, true);
    EXPECT_EQ(Pick(320, 400, false), MENU_NOPICK);
    EXPECT_EQ(Pick(320, 203, false), MENU_NOPICK);
    // Held off the rows and released on one: not a click either.
    Pick(100, 203, true);
    EXPECT_EQ(Pick(320, 203, false), MENU_NOPICK);
}

// The packed line as the player reads it, in the generated font: its bytes, at
// their place, for the share of the previous frame.
TEST(PackedLine, ReadsAPercentSignTheRoundedShareAndPacked) {
    MakeScratchDirectory();
    for (const char* font : {"TimesRoman.bmp", "TimesRoman2.bmp", "Century.bmp"})
        std::filesystem::copy_file(std::filesystem::path(VALIMO_GAME_DIR) / font, font);
    StartDisplay();
    InitFonts();
    const auto screen = [] { return std::vector<uint16_t>(backBuffer->Pixels(), backBuffer->Pixels() + 640 * 480); };
    const struct {
        int cells;
        const char* text;
    } cases[] = {{69, "%99 packed"}, {35, "%50 packed"}, {0, "%0 packed"}, {1, "%1 packed"}, {70, "%100 packed"}};
    for (const auto& c : cases) {
        packedPercent = float(c.cells) * (100.0f / 70);
        SelectFont(2);  // the line chooses its own font
        ClearSprite(backBuffer, 0);
        DrawPackedLine();
        const std::vector<uint16_t> drawn = screen();
        ClearSprite(backBuffer, 0);
        SelectFont(0);
        PrintText(c.text, 316 - TextWidth(c.text) / 2, 104);
        EXPECT_TRUE(drawn == screen()) << c.cells << " cells should read " << c.text;
    }
    // The font tells the figures apart, so a wrong one would show.
    ClearSprite(backBuffer, 0);
    PrintText("%98 packed", 316 - TextWidth("%98 packed") / 2, 104);
    const std::vector<uint16_t> other = screen();
    ClearSprite(backBuffer, 0);
    PrintText("%99 packed", 316 - TextWidth("%99 packed") / 2, 104);
    EXPECT_FALSE(other == screen());
}

}  // namespace
