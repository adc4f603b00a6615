#include "gui/dialogs.h"

#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "base/run.h"
#include "gfx/font.h"
#include "gfx/sprite.h"
#include "gui/dialog_table.h"
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
        const bool otherDepth = std::fread(header, 1, sizeof header, file) == sizeof header && BmpMagic(header) &&
                                BmpBitCount(header) != 16;
        whole = otherDepth || (std::fseek(file, 0, SEEK_END) == 0 &&
                               std::ftell(file) >= long(BMP_HEADER_SIZE) + kSkinWidth * kSkinHeight * 2);
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
    for (const DialogSpec& d : DIALOGS) {
        AddWindow(d.title, d.id, d.width, d.height);
        if (d.x == DIALOG_CENTRED)
            CenterWindow(d.id);
        else
            SetWindowPosition(d.id, d.x, d.y);
        if (d.textBoxWidth > 0) AddTextBox(d.id, d.textBoxX, d.textBoxY, d.textBoxWidth);
        for (int i = 0; i < d.textCount; i++) AddText(d.id, d.texts[i].text, d.texts[i].x, d.texts[i].y);
        for (int i = 0; i < d.buttonCount; i++) {
            const DialogButtonSpec& b = d.buttons[i];
            AddButton(d.id, b.code, b.label, b.x, b.y, b.width, b.height);
        }
        OpenWindow(d.id);
    }
}

void DeclareScreenButtons() {
    for (int i = 0; i < SCREEN_BUTTON_SPEC_COUNT; i++) {
        const ScreenButtonSpec& b = SCREEN_BUTTONS[i];
        AddScreenButton(i, b.label, b.x, b.y, b.width, b.height);
    }
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
