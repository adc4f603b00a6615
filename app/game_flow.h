// The game flow: which screen is up, and one frame of it.
#pragma once

enum : int {
    GS_WELCOME = 0,
    GS_FIRST_ID = 1,
    GS_ADD_ID = 2,
    GS_DELETE_ID = 3,
    GS_SELECT_PLAYER = 4,
    GS_MAIN_MENU = 5,
    GS_NEW_LEVEL = 6,
    GS_PLAYING = 7,
    GS_OUTRO = 9,
    GS_QUIT_CONFIRM = 10,
    GS_INTRO = 11,
    GS_CLOSING = 12,
    GS_QUIT_GAME = 13,
    // 22, 23 and 25 equal the menu choices that lead to them by chance only.
    GS_INSTRUCTIONS = 22,
    GS_CREDITS = 23,
    GS_LOGOUT = 25,
};

extern int GameState;
extern int movieFrame;
extern int stateAfterIntro;
extern bool showFps;
extern bool fpsKeyHeld;

// Draws the whole frame for the current state into the back buffer and moves the flow on.
void GameFrame();
// Brings every surface, picture, font and window back after the display was lost.
void RestoreGraphics();
