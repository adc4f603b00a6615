#include "puzzle/status.h"

#include <cstdio>

#include "gfx/display.h"
#include "gfx/font.h"
#include "gfx/sprite.h"
#include "input/input.h"
#include "profiles/profiles.h"
#include "puzzle/packing.h"

int levelShown = 0;
int clockMinutes = 0;
int clockSeconds = 0;

namespace {

// Static sprite slots drawn here.
enum {
    SPR_CASE_CLOSED = 0,
    SPR_CASE_OPEN = 1,
    SPR_CASE_OPEN_TOP = 2,
    SPR_STAT_LEVEL = 4,
    SPR_STAT_SCOREBAR = 5,
    SPR_STAT_TIMER = 6,
    SPR_TABLE_BOTTOM = 7,
    SPR_TABLE_LEFT = 8,
    SPR_TABLE_RIGHT = 9,
    SPR_STAT_LEVEL_BRIGHT = 11,
    SPR_STAT_TIMER_BRIGHT = 12,
    SPR_MENU_BUTTON = 13,
    SPR_MENU_BUTTON_PRESSED = 14,
};

const char* const menuTexts[MENU_ROWS] = {"Play",    "Mode: No time limit", "Instructions", "Credits",
                                          "Best time", "Log out",           "Quit"};

float scoreBarX, scoreBarY;
float timerX, timerY;
float levelX, levelY;
int animatedFrames;
bool timerFiguresShown;
bool levelFiguresShown;
bool menuPressed[MENU_ROWS];

}  // namespace

void DrawPlayScreen(bool caseOpen) {
    FillSpriteArea(backBuffer, 0, 0, 0, 640, 194);
    if (caseOpen) {
        DrawStaticSprite(SPR_CASE_OPEN, 157, 123);
        DrawStaticSprite(SPR_CASE_OPEN_TOP, 139, 56);
    } else {
        DrawStaticSprite(SPR_CASE_CLOSED, 157, 123);
    }
    DrawStaticSprite(SPR_TABLE_LEFT, 0, 194);
    DrawStaticSprite(SPR_TABLE_BOTTOM, 157, 387);
    DrawStaticSprite(SPR_TABLE_RIGHT, 483, 194);
}

void ResetStatusDisplay() {
    scoreBarX = 108;
    scoreBarY = -48;
    timerX = -128;
    timerY = 52;
    levelX = 640;
    levelY = 52;
    animatedFrames = 0;
    timerFiguresShown = false;
    levelFiguresShown = false;
    levelShown = 0;
    clockMinutes = 0;
    clockSeconds = 0;
    for (bool& pressed : menuPressed) pressed = false;
}

void AnimateStatusDisplay() {
    if (scoreBarY < 0) scoreBarY += 2;
    if (timerX < 0) timerX += 4;
    if (levelX > 512) levelX -= 4;
    if (animatedFrames < 100) {
        animatedFrames++;
        if (animatedFrames > 80) {
            timerFiguresShown = true;
            levelFiguresShown = true;
        }
    }
}

void DrawStatusDisplay() {
    const int bx = int(scoreBarX), by = int(scoreBarY);
    const int tx = int(timerX), ty = int(timerY);
    const int lx = int(levelX), ly = int(levelY);
    DrawStaticSprite(SPR_STAT_SCOREBAR, bx, by);
    DrawStaticSprite(SPR_STAT_TIMER, tx, ty);
    DrawStaticSprite(SPR_STAT_LEVEL, lx, ly);
    SelectFont(2);
    char text[32];
    if (timerFiguresShown) {
        DrawStaticSprite(SPR_STAT_TIMER_BRIGHT, tx + 49, ty + 3);
        std::snprintf(text, sizeof text, "%d:%d", clockMinutes, clockSeconds);
        PrintText(text, tx + 70, ty + 41);
    }
    if (levelFiguresShown) {
        DrawStaticSprite(SPR_STAT_LEVEL_BRIGHT, lx + 18, ly + 4);
        std::snprintf(text, sizeof text, "%d", levelShown);
        PrintText(text, lx + 45, ly + 41);
    }
    SelectFont(2);
    // With no current player there is no name to show.
    const int player = CurrentPlayer();
    if (player >= 0 && player < profileCount) {
        const char* name = profiles[player].name;
        PrintText(name, 317 - TextWidth(name) / 2, by + 23);
    }
}

void DrawPackedLine() {
    SelectFont(0);
    char text[32];
    std::snprintf(text, sizeof text, "%%%1.0f packed", double(packedPercent));
    PrintText(text, 316 - TextWidth(text) / 2, 104);
}

void DrawMainMenu() {
    for (int k = 0; k < MENU_ROWS; k++) {
        const int y = 155 + 20 * k;
        DrawStaticSprite(SPR_MENU_BUTTON, 226, y - 2);
        SelectFont(0);
        PrintText(menuTexts[k], 320 - TextWidth(menuTexts[k]) / 2, y);
    }
}

int PickMainMenu() {
    for (int k = 0; k < MENU_ROWS; k++) {
        const int top = 153 + 20 * k;
        const bool on = mouseX > 226 && mouseX < 414 && mouseY > top && mouseY < top + 20;
        if (on && menuPressed[k] && mouseButton == 0) return MENU_PLAY + k;
        menuPressed[k] = false;
        if (on && mouseButton != 0) {
            DrawStaticSprite(SPR_MENU_BUTTON_PRESSED, 226, top);
            PrintText(menuTexts[k], 321 - TextWidth(menuTexts[k]) / 2, top + 3);
            menuPressed[k] = true;
        }
    }
    return MENU_NOPICK;
}
