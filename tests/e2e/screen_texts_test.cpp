// The texts of the information screens (instructions, credits, closing) at their
// places, checked by their ink: the frame drawn as usual against the same frame
// drawn with every glyph blank. The pictures behind the texts, the web-address
// picture above all, do not take part, so new art leaves these checks alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/game_flow.h"
#include "e2e/game_run.h"
#include "gfx/font.h"
#include "gfx/sprite.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "test_support.h"

namespace {

struct ScreenTexts {
    int state;
    const char* name;
    int wwwX, wwwY;  // where the screen draws the web-address picture (-1: not at all)
    uint64_t inkHash;
    int inkPixels;
};

// The one table to update after a deliberate change of a text, its place or a font:
// the failure message prints the new values.
const ScreenTexts kScreens[] = {
    {GS_INSTRUCTIONS, "instructions", -1, -1, 0x148e97094ed12784ull, 5786},
    {GS_CREDITS, "credits", 340, 329, 0x79441068a8cef762ull, 2081},
    {GS_CLOSING, "closing", 388, 179, 0x1ed237cd1cab8e1dull, 16373},
};

constexpr int kWwwSlot = 20;

void BlankGlyphs(bool blank) {
    if (!blank) {
        RebuildFonts();
        return;
    }
    for (BitmapFont& font : fonts)
        for (Sprite glyph : font.glyphs) ClearSprite(glyph, ColorKey());
}

// The pixels the screen's texts change, outside the web-address picture, folded
// into one number (FNV-1a over place and colour); and how many they are.
void InkOf(const ScreenTexts& screen, uint64_t* hash, int* pixels) {
    MoveTo(632, 472);  // the pointer well away from every text and button
    const std::vector<uint16_t> withText = HeadlessLastFrame();
    BlankGlyphs(true);
    MoveTo(632, 472);
    const std::vector<uint16_t> without = HeadlessLastFrame();
    BlankGlyphs(false);
    ASSERT_EQ(GameState, screen.state);
    const int wwwWidth = staticSprites[kWwwSlot].width, wwwHeight = staticSprites[kWwwSlot].height;
    *hash = 14695981039346656037ull;
    *pixels = 0;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) {
            const size_t i = size_t(y) * 640 + size_t(x);
            if (withText[i] == without[i]) continue;
            if (screen.wwwX >= 0 && x >= screen.wwwX && x < screen.wwwX + wwwWidth && y >= screen.wwwY &&
                y < screen.wwwY + wwwHeight)
                continue;
            for (uint64_t part : {uint64_t(i), uint64_t(withText[i])}) {
                *hash ^= part;
                *hash *= 1099511628211ull;
            }
            (*pixels)++;
        }
}

void ExpectTexts(const ScreenTexts& screen) {
    uint64_t hash = 0;
    int pixels = 0;
    InkOf(screen, &hash, &pixels);
    EXPECT_GT(pixels, 1000) << screen.name;
    EXPECT_TRUE(hash == screen.inkHash && pixels == screen.inkPixels)
        << screen.name << ": the texts changed; now {" << screen.name << ": 0x" << std::hex << hash << "ull, "
        << std::dec << pixels << "}";
}

void SelectMenuRow(int row) {
    MoveTo(320, 163 + 20 * row, true);
    MoveTo(320, 163 + 20 * row, false);
}

TEST(ScreenTexts, InstructionsCreditsAndClosingReadAsWritten) {
    PrepareGame("PLAYERS 1\nanna 0 0 0\n");
    StartGame();
    ASSERT_GE(RunUntilState(GS_SELECT_PLAYER, 3000), 0);
    Click(416, 327);  // "Continue..."
    ASSERT_EQ(GameState, GS_MAIN_MENU);
    SelectMenuRow(2);
    ASSERT_EQ(GameState, GS_INSTRUCTIONS);
    ExpectTexts(kScreens[0]);
    Click(320, 450);  // "OK"
    ASSERT_EQ(GameState, GS_MAIN_MENU);
    SelectMenuRow(3);
    ASSERT_EQ(GameState, GS_CREDITS);
    ExpectTexts(kScreens[1]);
    Click(320, 450);
    SelectMenuRow(6);  // "Quit": the outro, then the closing screen
    ASSERT_GE(RunUntilState(GS_CLOSING, 3000), 0);
    ExpectTexts(kScreens[2]);
}

}  // namespace
