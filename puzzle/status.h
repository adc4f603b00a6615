// The play screen around the puzzle: table and case, the sliding status panels,
// and the main menu between levels.
#pragma once

constexpr int MENU_ROWS = 7;
constexpr int MENU_NOPICK = 1024;

extern int levelShown;
extern int clockMinutes;
extern int clockSeconds;

void DrawPlayScreen(bool caseOpen);
void ResetStatusDisplay();
void AnimateStatusDisplay();
void DrawStatusDisplay();
// The "%... packed" line from packedPercent, in font 0.
void DrawPackedLine();
void DrawMainMenu();
// The main menu's choices, a row each from the top.
enum : int {
    MENU_PLAY = 20,
    MENU_MODE = 21,  // "Mode: No time limit"
    MENU_INSTRUCTIONS = 22,
    MENU_CREDITS = 23,
    MENU_BEST_TIME = 24,
    MENU_LOG_OUT = 25,
    MENU_QUIT = 26,
};
// The choice whose row a click was completed on this frame, else MENU_NOPICK.
int PickMainMenu();
