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
// 20 + the row on which a click was completed this frame, else MENU_NOPICK.
int PickMainMenu();
