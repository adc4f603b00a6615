#include "gui/dialogs.h"

#include <cstdio>
#include <cstring>

#include "app/log.h"
#include "app/valimo.h"
#include "gfx/font.h"
#include "gfx/sprite.h"
#include "gui/registry.h"
#include "input/input.h"

namespace {

constexpr int kSkinWidth = 96;
constexpr int kSkinHeight = 64;

struct PointerCut {
    Sprite* sprite;
    int x, y, width, height;
};
const PointerCut kPointers[] = {
    {&pointerArrowUp, 64, 16, 16, 16}, {&pointerArrowDown, 80, 16, 16, 16}, {&pointerHandUp, 64, 0, 16, 16},
    {&pointerHandDown, 80, 0, 16, 16}, {&pointerTextBar, 69, 33, 5, 12},
};

// A bitmap of another bit count goes to the loader whatever its size, which ends
// the program as it does for every picture. A missing, short or wrongly sized
// 16-bit skin is the skin's own failure: a skin drawn from nothing would put
// garbage in every dialog.
bool LoadSkinBitmap() {
    bool whole = false;
    if (FILE* file = std::fopen("gui.bmp", "rb")) {
        unsigned char header[30] = {};
        const bool otherDepth = std::fread(header, 1, sizeof header, file) == sizeof header && header[0] == 'B' &&
                                header[1] == 'M' && (header[28] | header[29] << 8) != 16;
        whole = otherDepth ||
                (std::fseek(file, 0, SEEK_END) == 0 && std::ftell(file) >= 54L + kSkinWidth * kSkinHeight * 2);
        std::fclose(file);
    }
    // Nothing of an earlier picture may pass for the skin.
    FreeBitmapFile();
    // Changed on purpose: a skin of another depth (docs/BEHAVIOUR.md).
    if (whole) LoadBitmapFile("gui.bmp");
    if (!whole || loadedBitmap.width != kSkinWidth || loadedBitmap.height != kSkinHeight ||
        loadedBitmap.pixels.size() < size_t(kSkinWidth) * kSkinHeight) {
        WriteLog("ERROR: Unable to load gui.bmp\n");
        quitRequested = true;
        return false;
    }
    return true;
}

void CutPointers() {
    for (const PointerCut& p : kPointers)
        BlitSpriteRect(*p.sprite, guiSkin, p.x, p.y, p.width, p.height, 0, 0, p.width, p.height);
}

void FillSkin() {
    CopyBitmapToSprite(guiSkin, loadedBitmap.pixels.data(), kSkinWidth, kSkinHeight);
}

void ReleaseScreenButtons() {
    for (GuiButton& b : screenButtons) {
        ReleaseSprite(&b.image);
        ReleaseSprite(&b.pressedImage);
    }
}

}  // namespace

void GuiInit() {
    WriteLog("Initializing GUI\n");
    if (!LoadSkinBitmap()) return;
    guiSkin = CreateSprite(kSkinWidth, kSkinHeight, 0, DDSCAPS_VIDEOMEMORY);
    for (const PointerCut& p : kPointers) *p.sprite = CreateSprite(p.width, p.height, 1, DDSCAPS_VIDEOMEMORY);
    FillSkin();
    CutPointers();
    InitFonts();
    DeclareWindows();
    DeclareScreenButtons();
    mouseX = 320;
    mouseY = 240;
}

void DeclareWindows() {
    AddWindow("Quit", "QUIT", 200, 100);
    SetWindowPosition("QUIT", 30, 30);
    AddButton("QUIT", 1, "YES", 20, 72, 70, 20);
    AddButton("QUIT", 0, "NO", 110, 72, 70, 20);
    AddText("QUIT", "Return to boring daily activities?", 18, 38);
    OpenWindow("QUIT");

    AddWindow("Welcome to Valimo v0.9 (demo)", "WELCOME", 360, 135);
    CenterWindow("WELCOME");
    AddButton("WELCOME", 1, "Continue...", 135, 107, 80, 20);
    AddText("WELCOME", "This message pops up only when you run Valimo for the first time", 8, 30);
    AddText("WELCOME", "or if you don't have at least one registered Player Id.", 8, 44);
    AddText("WELCOME", "In order to play Valimo you need to register your Player Id.", 9, 58);
    AddText("WELCOME", "Push the button below to continue to your quick registration.", 8, 72);
    OpenWindow("WELCOME");

    AddWindow("Add New Player Id", "ADDNEWID", 200, 150);
    CenterWindow("ADDNEWID");
    AddTextBox("ADDNEWID", 45, 70, 120);
    AddText("ADDNEWID", "Player Id:", 45, 53);
    AddButton("ADDNEWID", 1, "Create Player", 16, 122, 80, 20);
    AddButton("ADDNEWID", 0, "Cancel", 105, 122, 80, 20);
    OpenWindow("ADDNEWID");

    AddWindow("Delete Player Id", "DELETEID", 300, 100);
    CenterWindow("DELETEID");
    AddText("DELETEID", "run-time", 16, 35);
    AddButton("DELETEID", 1, "Yes", 59, 72, 80, 20);
    AddButton("DELETEID", 0, "No", 148, 72, 80, 20);
    OpenWindow("DELETEID");

    AddWindow("Log Out", "LOGOUT", 200, 100);
    SetWindowPosition("LOGOUT", 220, 340);
    AddButton("LOGOUT", 1, "YES", 20, 72, 70, 20);
    AddButton("LOGOUT", 0, "NO", 110, 72, 70, 20);
    AddText("LOGOUT", "Are you sure you want to log out?", 18, 38);
    OpenWindow("LOGOUT");

    AddWindow("New Level", "NEWLEVEL", 300, 100);
    CenterWindow("NEWLEVEL");
    AddText("NEWLEVEL", "Click Continue to start playing", 30, 35);
    AddButton("NEWLEVEL", 1, "Continue", 110, 72, 80, 20);
    OpenWindow("NEWLEVEL");

    AddWindow("Quit Game", "QUITGAME", 300, 100);
    CenterWindow("QUITGAME");
    AddText("QUITGAME", "Quit this game?", 17, 28);
    AddText("QUITGAME", "Your current level & time will be automatically saved", 17, 44);
    AddButton("QUITGAME", 0, "Return to Game", 10, 72, 100, 20);
    AddButton("QUITGAME", 1, "Quit to Windows", 120, 72, 100, 20);
    AddButton("QUITGAME", 2, "Log Out", 230, 72, 60, 20);
    OpenWindow("QUITGAME");
}

void DeclareScreenButtons() {
    AddScreenButton(0, "Continue...", 376, 317, 80, 20);
    AddScreenButton(1, "Quit Game", 376, 294, 80, 20);
    AddScreenButton(2, "New Id", 376, 217, 80, 20);
    AddScreenButton(3, "Delete Id", 376, 240, 80, 20);
    AddScreenButton(4, "OK", 280, 440, 80, 20);
    AddScreenButton(5, "Quit", 220, 440, 80, 20);
    AddScreenButton(6, "Order Now!", 340, 440, 80, 20);
    AddScreenButton(7, "Exit", 449, 22, 56, 20);
}

void RestoreGui() {
    if (!LoadSkinBitmap()) return;
    ReleaseSprite(&guiSkin);
    guiSkin = CreateSprite(kSkinWidth, kSkinHeight, 0, DDSCAPS_VIDEOMEMORY);
    for (const PointerCut& p : kPointers)
        if (*p.sprite) (*p.sprite)->Restore();
    FillSkin();
    CutPointers();

    for (GuiWindow& w : windows) {
        ReleaseSprite(&w.image);
        for (GuiButton& b : w.buttons) {
            ReleaseSprite(&b.image);
            ReleaseSprite(&b.pressedImage);
        }
        for (GuiTextBox& box : w.textBoxes) ReleaseSprite(&box.focusImage);
        for (GuiText& t : w.texts) std::memset(t.text, 0, sizeof t.text);
        w.buttonCount = 0;
        w.textCount = 0;
        w.textBoxCount = 0;
        w.created = false;
    }
    windowCount = 0;
    DeclareWindows();

    ReleaseScreenButtons();
    screenButtonCount = 0;
    DeclareScreenButtons();
}

void GuiFree() {
    WriteLog("Freeing GUI\n");
    FreeBitmapFile();
    ReleaseFonts();
    FreeWindows();
    ReleaseScreenButtons();
    ReleaseSprite(&guiSkin);
    for (const PointerCut& p : kPointers) ReleaseSprite(p.sprite);
}
