#include "app/game_flow.h"

#include <cstdio>
#include <cstring>

#include "app/log.h"
#include "app/texts.h"
#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/font.h"
#include "gfx/movie.h"
#include "gfx/sprite.h"
#include "gui/dialogs.h"
#include "gui/pad_keyboard.h"
#include "gui/registry.h"
#include "gui/window_draw.h"
#include "input/input.h"
#include "platform/hands.h"
#include "profiles/profiles.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"
#include "puzzle/status.h"
#include "sound/sound.h"

int GameState = 0;
int movieFrame = 0;
int stateAfterIntro = GS_WELCOME;
bool showFps = false;
bool fpsKeyHeld = false;

namespace {

// Changed on purpose: other hands than a mouse (docs/BEHAVIOUR.md). The keyboard
// alone and controllers step an item a cell at a time, and Space types in a box.
void TellOtherHands(bool padKeyboard) {
    HandsHints hints{};
    hints.padKeyboard = padKeyboard;
    hints.carrying = GameState == GS_PLAYING && carrying;
    if (typingBox) {
        hints.typing = true;
        hints.boxX = typingBoxX;
        hints.boxY = typingBoxY;
        hints.boxWidth = typingBox->width;
        hints.boxHeight = GUI_TEXTBOX_FIELD_HEIGHT;
        hints.boxText = typingBox->text;
        hints.boxLength = typingBox->maxLength;
    }
    SetHandsHints(hints);
}

// Static sprite slots drawn by the flow's own screens.
enum {
    SPR_STAT_SCOREBAR = 5,
    SPR_CASE_FRAME = 10,
    SPR_CASE_BIG = 15,
    SPR_DIFFUSE_LEFT = 16,
    SPR_DIFFUSE_RIGHT = 17,
    SPR_DIFFUSE_TOP = 18,
    SPR_DIFFUSE_BOTTOM = 19,
    SPR_WWW = 20,
};

// Screen buttons.
enum {
    SB_CONTINUE = 0,
    SB_QUIT_GAME = 1,
    SB_NEW_ID = 2,
    SB_DELETE_ID = 3,
    SB_OK = 4,
    SB_QUIT = 5,
    SB_ORDER_NOW = 6,
    SB_EXIT = 7,
};

const char* const kSelectPrompt = "Select your Id and click Continue or create/delete another Id.";
const char* const kAddPrompt = "Select your id and click Continue or create/delete another id.";
const char* const kVersionLine = "Valimo v0.9 (demo)";
const int closingLineY[CLOSING_LINE_COUNT] = {103, 117, 146, 161, 175, 206, 220, 249,
                                              265, 278, 292, 307, 321, 336, 350, 364};

void PrintCentred(const char* text, int centre, int y) { PrintText(text, centre - TextWidth(text) / 2, y); }

void StartOutro() {
    GameState = GS_OUTRO;
    OpenMovie("outro.avi");
    movieFrame = 0;
    pointerVisible = false;
    frameRateCap = 30;
}

// One movie frame doubled into the back buffer; true once the movie has ended.
bool PlayMovieFrame(int x, int y) {
    // A movie that cannot be shown has no frames and ends at once.
    if (movieFrameDrawer && movieFrame < movieFrameCount) {
        movieFrameDrawer(movieFrame);
        BlitSprite(backBuffer, movieSprite, x, y, 2 * movieWidth, 2 * movieHeight);
    }
    movieFrame++;
    if (movieFrame < movieFrameCount) return false;
    ClearSprite(backBuffer, 0);
    FlipScreen();
    movieFrame = 0;
    pointerVisible = true;
    ReleaseSprite(&movieSprite);
    CloseMovie();
    return true;
}

void DrawInformationFrame() {
    ClearSprite(backBuffer, 0);
    DrawStaticSprite(SPR_DIFFUSE_TOP, 0, 0);
    DrawStaticSprite(SPR_DIFFUSE_BOTTOM, 0, 416);
    DrawStaticSprite(SPR_DIFFUSE_LEFT, 0, 69);
    DrawStaticSprite(SPR_DIFFUSE_RIGHT, 560, 69);
}

void DrawInformationTitle(const char* title) {
    DrawStaticSprite(SPR_STAT_SCOREBAR, 108, 0);
    SelectFont(2);
    PrintCentred(title, 317, 23);
    DrawStaticSprite(SPR_CASE_BIG, 64, 70);
}

// The selection screen behind its dialogs, down to the player list.
void DrawSelectionBackground(const char* prompt) {
    DrawPlayScreen(true);
    DrawStaticSprite(SPR_CASE_FRAME, 160, 127);
    PrintText(prompt, 172, 136);
    DrawPlayerList();
}

void AskToDeleteSelected() {
    int index = 0;
    for (int i = 0; i < profileCount; i++)
        if (profiles[i].selected) index = i;
    char question[GUI_TEXT_SIZE];
    std::snprintf(question, sizeof question, "Are you sure you want to delete %s?", profiles[index].name);
    const int window = FindWindowId("DELETEID");
    if (window == NOIDFOUND || windows[window].textCount < 1) return;
    GuiText& text = windows[window].texts[0];
    std::memset(text.text, 0, sizeof text.text);
    CopyGuiString(text.text, GUI_TEXT_SIZE, question);
    SelectFont(1);
    text.x = 150 - TextWidth(question) / 2;
}

void ClearNewIdBox() {
    const int window = FindWindowId("ADDNEWID");
    if (window == NOIDFOUND || windows[window].textBoxCount < 1) return;
    GuiTextBox& box = windows[window].textBoxes[0];
    std::memset(box.text, 0, sizeof box.text);
    box.length = 0;
}

void DrawClosingText() {
    SelectFont(1);
    for (int i = 0; i < CLOSING_LINE_COUNT; i++) PrintCentred(CLOSING_LINES[i], 321, closingLineY[i] + 1);
    SelectFont(0);
    for (int i = 0; i < CLOSING_LINE_COUNT; i++) PrintCentred(CLOSING_LINES[i], 320, closingLineY[i]);
}

// What the play frame draws beneath the items.
void DrawPlayBackground() {
    DrawPlayScreen(true);
    AnimateStatusDisplay();
    DrawStatusDisplay();
    DrawPackedLine();
}

// Over the items and under the carried one; while carrying, Exit is drawn but does nothing.
void DrawExitButton() {
    if (DrawScreenButton(SB_EXIT) == SB_EXIT && !carrying) GameState = GS_QUIT_GAME;
}

}  // namespace

void RestoreGraphics() {
    WriteLog("RestoringGraphics...\n");
    if (backBuffer) backBuffer->Restore();
    if (primarySurface) primarySurface->Restore();
    ClearSprite(backBuffer, 0);
    ClearSprite(primarySurface, 0);
    for (StaticSprite& s : staticSprites) ReleaseSprite(&s.sprite);
    WriteLog("Loading static sprites...\n");
    LoadStaticSprites();
    RebuildFonts();
    if (gameLevel.itemsLoaded) ReloadItems();
    WriteLog("Restoring GUI...\n");
    RestoreGui();
}

void GameFrame() {
    typingBox = nullptr;
    if (graphicsValid == 0) {
        restoreWait++;
        // Kept on purpose: thirty-one silent frames (docs/BEHAVIOUR.md).
        if (restoreWait < 32) return;
        RestoreGraphics();
        restoreWait = 0;
        graphicsValid = 1;
        return;
    }

    if (GameState == GS_INTRO) {
        ClearSprite(backBuffer, 0);
        if (PlayMovieFrame(320 - movieWidth, 240 - movieHeight)) {
            // The next state's block below draws this same frame, so no blank frame follows the movie.
            GameState = stateAfterIntro;
            frameRateCap = 50;
        }
    }

    if (GameState == GS_WELCOME) {
        ClearSprite(backBuffer, 0);
        // FIRST_ID's block comes next and draws over this frame's black screen at once.
        if (DrawWindow("WELCOME") == 1) GameState = GS_FIRST_ID;
    }

    if (GameState == GS_FIRST_ID) {
        DrawPlayScreen(false);
        if (AddPlayer() == 1) {
            // The selection block is next, so the new player's list shows this same frame.
            GameState = GS_SELECT_PLAYER;
            SaveProfiles();
        }
    }

    if (GameState == GS_SELECT_PLAYER) {
        DrawPlayScreen(true);
        DrawStaticSprite(SPR_CASE_FRAME, 160, 127);
        SelectFont(0);
        PrintText(kSelectPrompt, 172, 136);
        PickPlayer();
        DrawPlayerList();
        // Each choice below is drawn by its own block later in this same frame.
        if (profileCount != 0 && DrawScreenButton(SB_CONTINUE) == SB_CONTINUE) GameState = GS_MAIN_MENU;
        if (DrawScreenButton(SB_QUIT_GAME) == SB_QUIT_GAME) {
            CenterWindow("QUIT");
            GameState = GS_QUIT_CONFIRM;
        }
        if (DrawScreenButton(SB_NEW_ID) == SB_NEW_ID && profileCount < MAX_PLAYERS) {
            ClearNewIdBox();
            GameState = GS_ADD_ID;
        }
        if (profileCount > 0 && DrawScreenButton(SB_DELETE_ID) == SB_DELETE_ID) {
            AskToDeleteSelected();
            GameState = GS_DELETE_ID;
            // Past the add block: the dialog opens over the list drawn this frame.
            goto deleteId;
        }
    }

    if (GameState == GS_ADD_ID) {
        DrawSelectionBackground(kAddPrompt);
        const int result = AddPlayer();
        if (result == 0 || result == 1) GameState = GS_SELECT_PLAYER;
        SaveProfiles();
    }

// Entered from the selection block in the frame Delete is clicked.
deleteId:
    if (GameState == GS_DELETE_ID) {
        DrawSelectionBackground(kAddPrompt);
        const int result = DrawWindow("DELETEID");
        if (result == 0) {
            GameState = GS_SELECT_PLAYER;
            // Nothing more this frame: the list is drawn again from the next one.
            goto tail;
        }
        if (result == 1) {
            GameState = GS_SELECT_PLAYER;
            DeleteSelectedPlayer();
        }
    }

    if (GameState == GS_QUIT_CONFIRM) {
        DrawSelectionBackground(kSelectPrompt);
        const int result = DrawWindow("QUIT");
        if (result == 0) {
            GameState = GS_SELECT_PLAYER;
            // Nothing more this frame: the list is drawn again from the next one.
            goto tail;
        }
        // The outro's block below plays its first frame this same frame.
        if (result == 1) StartOutro();
    }

    if (GameState == GS_MAIN_MENU) {
        AnimateStatusDisplay();
        DrawPlayScreen(true);
        DrawStaticSprite(SPR_CASE_FRAME, 160, 127);
        DrawStatusDisplay();
        DrawMainMenu();
        const int code = PickMainMenu();
        // The chosen screen's block comes later and draws this same frame.
        switch (code) {
        case 20: GameState = GS_NEW_LEVEL; break;
        case 22: GameState = GS_INSTRUCTIONS; break;
        case 23: GameState = GS_CREDITS; break;
        case 25: GameState = GS_LOGOUT; break;
        case 26: StartOutro(); break;
        default: break;
        }
        if (code == 20 || code == 22 || code == 23 || code == 25 || code == 26) PlaySoundEffect(SFX_CLICK);
        SelectFont(0);
        PrintText(kVersionLine, 270, 320);
    }

    if (GameState == GS_INSTRUCTIONS) {
        DrawInformationFrame();
        if (DrawScreenButton(SB_OK) == SB_OK) GameState = GS_MAIN_MENU;
        DrawInformationTitle("Instructions");
        SelectFont(0);
        PrintCentred("HOW TO PLAY", 320, 128);
        PrintCentred("To complete a level it's required that you place all of the given items", 320, 154);
        PrintCentred("into the valimo. Once you've managed to do that, you proceed to the", 320, 168);
        PrintCentred("next level.", 320, 181);
        PrintCentred("CONTROLS", 320, 207);
        PrintCentred("Mouse:", 320, 238);
        PrintCentred("Use the left mouse button to pick up items and drop them into the", 320, 260);
        PrintCentred("valimo area by clicking the left mouse button again.", 320, 273);
        PrintCentred("Keyboard:", 320, 300);
        PrintCentred("ESCAPE - Exit to main menu", 320, 326);
        PrintCentred("Alt-F - Show frames per second", 320, 339);
    }

    if (GameState == GS_CREDITS) {
        DrawInformationFrame();
        if (DrawScreenButton(SB_OK) == SB_OK) GameState = GS_MAIN_MENU;
        DrawInformationTitle("Credits");
        SelectFont(0);
        PrintCentred("Programming, Art, Video:", 320, 172);
        PrintCentred(CREDITS_NAME_LINE, 320, 197);
        PrintCentred("VALIMO", 320, 90);
        PrintCentred("Special thanks to everyone on the beta-test team.", 320, 256);
        PrintCentred(CREDITS_NOTICE_LINE, 320, 325);
        DrawStaticSprite(SPR_WWW, 340, 329);
    }

    if (GameState == GS_NEW_LEVEL) {
        DrawPlayScreen(false);
        AnimateStatusDisplay();
        DrawStatusDisplay();
        if (DrawWindow("NEWLEVEL") == 1) {
            const int player = CurrentPlayer();
            // Without a current player there is no level to load.
            if (player >= 0 && player < profileCount) {
                LoadLevel(profiles[player].level);
                levelShown = ShownLevel(profiles[player].level);
                // The play block is next: the level is drawn the frame it is loaded.
                GameState = GS_PLAYING;
            }
        }
    }

    if (GameState == GS_PLAYING) {
        PlayFrame(DrawPlayBackground, DrawExitButton);
        if (keyState[DIK_ESCAPE]) {
            GameState = GS_QUIT_GAME;
            // The dialog opens over the level this same frame, as after Exit.
            goto quitGame;
        }
    }

    if (GameState == GS_LOGOUT) {
        AnimateStatusDisplay();
        DrawPlayScreen(true);
        DrawStaticSprite(SPR_CASE_FRAME, 160, 127);
        DrawStatusDisplay();
        DrawMainMenu();
        SelectFont(0);
        PrintText(kVersionLine, 270, 320);
        const int result = DrawWindow("LOGOUT");
        // Either way nothing more this frame; the next one draws the new state from the top.
        if (result == 1) {
            ResetStatusDisplay();
            GameState = GS_SELECT_PLAYER;
            goto tail;
        }
        if (result == 0) {
            GameState = GS_MAIN_MENU;
            goto tail;
        }
    }

    if (GameState == GS_OUTRO) {
        if (PlayMovieFrame(0, 0)) {
            // The closing block is next, so the last movie frame is followed at once.
            GameState = GS_CLOSING;
            frameRateCap = 60;
        }
    }

    if (GameState == GS_CLOSING) {
        DrawInformationFrame();
        if (DrawScreenButton(SB_QUIT) == SB_QUIT) quitRequested = true;
        if (DrawScreenButton(SB_ORDER_NOW) == SB_ORDER_NOW) {
            WriteLog("The user clicked Order Game button\n");
            ShellExecuteOpen(ORDER_PAGE_ADDRESS);
            quitRequested = true;
        }
        DrawStaticSprite(SPR_STAT_SCOREBAR, 108, 0);
        SelectFont(2);
        PrintCentred("Thanks  for  playing  Valimo Demo", 317, 23);
        DrawStaticSprite(SPR_CASE_BIG, 64, 70);
        DrawClosingText();
        DrawStaticSprite(SPR_WWW, 388, 179);
    }

// Entered from play by Escape, and by Exit through the state; after the play block.
quitGame:
    if (GameState == GS_QUIT_GAME) {
        pointerShape = 0;
        DrawPlayScreen(true);
        DrawStatusDisplay();
        DrawPackedLine();
        DrawItems(false);
        const int result = DrawWindow("QUITGAME");
        if (result == 0) {
            GameState = GS_PLAYING;
        } else if (result == 1) {
            SaveProfiles();
            StartOutro();
        } else if (result == 2) {
            SaveProfiles();
            GameState = GS_SELECT_PLAYER;
        }
    }

// Every frame ends here, whatever it drew: keys, the figure and the pointer on top.
tail:
    if (keyState[DIK_LMENU] && keyState[DIK_TAB]) {
        windowActive = 0;
        PostMessageA(mainWindow, WM_ACTIVATE, 0, 0);
    }
    if (keyState[DIK_F] && GameState != GS_WELCOME) {
        if (!fpsKeyHeld) {
            fpsKeyHeld = true;
            showFps = !showFps;
        }
    } else {
        fpsKeyHeld = false;
    }
    if (showFps) {
        SelectFont(0);
        char figure[32];
        std::snprintf(figure, sizeof figure, "%0.1f", double(fpsValue));
        PrintText(figure, 0, 0);
    }
    TellOtherHands(DrawPadKeyboard());
    DrawPointer();
}
