// The game's dialogs and screen buttons as they are declared: the one table the
// GUI declares them from, and the tools size the fonts and draw the sheets by.
#pragma once

struct DialogTextSpec {
    const char* text;
    int x, y;
};

struct DialogButtonSpec {
    int code;  // what DrawWindow answers when it is clicked
    const char* label;
    int x, y, width, height;
};

struct DialogSpec {
    const char* id;
    const char* title;
    int width, height;
    int x, y;  // x below 0: centred on the screen
    DialogTextSpec texts[4];
    int textCount;
    DialogButtonSpec buttons[3];
    int buttonCount;
    int textBoxX, textBoxY, textBoxWidth;  // width 0: no text box
};

inline constexpr int DIALOG_CENTRED = -1;

inline constexpr DialogSpec DIALOGS[] = {
    {"QUIT", "Quit", 200, 100, 30, 30, {{"Return to boring daily activities?", 18, 38}}, 1,
     {{1, "YES", 20, 72, 70, 20}, {0, "NO", 110, 72, 70, 20}}, 2, 0, 0, 0},
    {"WELCOME", "Welcome to Valimo v0.9 (demo)", 360, 135, DIALOG_CENTRED, 0,
     {{"This message pops up only when you run Valimo for the first time", 8, 30},
      {"or if you don't have at least one registered Player Id.", 8, 44},
      {"In order to play Valimo you need to register your Player Id.", 9, 58},
      {"Push the button below to continue to your quick registration.", 8, 72}},
     4, {{1, "Continue...", 135, 107, 80, 20}}, 1, 0, 0, 0},
    {"ADDNEWID", "Add New Player Id", 200, 150, DIALOG_CENTRED, 0, {{"Player Id:", 45, 53}}, 1,
     {{1, "Create Player", 16, 122, 80, 20}, {0, "Cancel", 105, 122, 80, 20}}, 2, 45, 70, 120},
    // The text is the question about the player, written when it is asked.
    {"DELETEID", "Delete Player Id", 300, 100, DIALOG_CENTRED, 0, {{"run-time", 16, 35}}, 1,
     {{1, "Yes", 59, 72, 80, 20}, {0, "No", 148, 72, 80, 20}}, 2, 0, 0, 0},
    {"LOGOUT", "Log Out", 200, 100, 220, 340, {{"Are you sure you want to log out?", 18, 38}}, 1,
     {{1, "YES", 20, 72, 70, 20}, {0, "NO", 110, 72, 70, 20}}, 2, 0, 0, 0},
    // The text becomes the congratulation once a level is completed.
    {"NEWLEVEL", "New Level", 300, 100, DIALOG_CENTRED, 0, {{"Click Continue to start playing", 30, 35}}, 1,
     {{1, "Continue", 110, 72, 80, 20}}, 1, 0, 0, 0},
    {"QUITGAME", "Quit Game", 300, 100, DIALOG_CENTRED, 0,
     {{"Quit this game?", 17, 28}, {"Your current level & time will be automatically saved", 17, 44}}, 2,
     {{0, "Return to Game", 10, 72, 100, 20}, {1, "Quit to Windows", 120, 72, 100, 20}, {2, "Log Out", 230, 72, 60, 20}},
     3, 0, 0, 0},
};
inline constexpr int DIALOG_COUNT = int(sizeof DIALOGS / sizeof DIALOGS[0]);

struct ScreenButtonSpec {
    const char* label;
    int x, y, width, height;
};

// By index: SB_CONTINUE, SB_QUIT_GAME, SB_NEW_ID, SB_DELETE_ID, SB_OK, SB_QUIT, SB_ORDER_NOW, SB_EXIT.
inline constexpr ScreenButtonSpec SCREEN_BUTTONS[] = {
    {"Continue...", 376, 317, 80, 20}, {"Quit Game", 376, 294, 80, 20}, {"New Id", 376, 217, 80, 20},
    {"Delete Id", 376, 240, 80, 20},   {"OK", 280, 440, 80, 20},        {"Quit", 220, 440, 80, 20},
    {"Order Now!", 340, 440, 80, 20},  {"Exit", 449, 22, 56, 20},
};
inline constexpr int SCREEN_BUTTON_SPEC_COUNT = int(sizeof SCREEN_BUTTONS / sizeof SCREEN_BUTTONS[0]);
