#include "gui/registry.h"

#include <cstring>

#include "base/log.h"
#include "base/run.h"

GuiWindow windows[MAX_WINDOWS]{};
int32_t windowCount = 0;
GuiButton screenButtons[MAX_SCREENBUTTONS]{};
int32_t screenButtonCount = 0;
Sprite guiSkin = nullptr;

uint16_t guiColorBody = 0x7C7E;
uint16_t guiColorTitle = 0x002B;
uint16_t guiColorStrip = 0x9D38;
uint16_t guiColorButton = 0xBE1C;

namespace {

// A window operation on an id nobody declared: the program ends after this frame.
int FindWindowOrQuit(const char* id, const char* logLine) {
    const int slot = FindWindowId(id);
    if (slot == NOIDFOUND) {
        WriteLog(logLine);
        quitRequested = true;
    }
    return slot;
}

void Tile(Sprite to, int sx, int sy, int sw, int sh, int dx, int dy) {
    BlitSpriteRect(to, guiSkin, sx, sy, sw, sh, dx, dy, sw, sh);
}

struct ButtonTemplate {
    int top[2], bottom[2], left[2], right[2];
    int topLeft[2], topRight[2], bottomLeft[2], bottomRight[2];
};
const ButtonTemplate kButtonUp = {{37, 17}, {37, 35}, {31, 24}, {60, 24}, {31, 17}, {57, 17}, {31, 32}, {57, 32}};
const ButtonTemplate kButtonDown = {{37, 41}, {37, 59}, {31, 48}, {60, 48}, {31, 41}, {57, 41}, {31, 56}, {57, 56}};

void DrawButtonBorder(Sprite image, const ButtonTemplate& t, int width, int height) {
    for (int i = 0; i < width; i++) {
        Tile(image, t.top[0], t.top[1], 1, 2, i, 0);
        Tile(image, t.bottom[0], t.bottom[1], 1, 2, i, height - 2);
    }
    for (int i = 0; i < height; i++) {
        Tile(image, t.left[0], t.left[1], 2, 1, 0, i);
        Tile(image, t.right[0], t.right[1], 2, 1, width - 2, i);
    }
    Tile(image, t.topLeft[0], t.topLeft[1], 5, 5, 0, 0);
    Tile(image, t.topRight[0], t.topRight[1], 5, 5, width - 5, 0);
    Tile(image, t.bottomLeft[0], t.bottomLeft[1], 5, 5, 0, height - 5);
    Tile(image, t.bottomRight[0], t.bottomRight[1], 5, 5, width - 5, height - 5);
}

void BuildButton(GuiButton* button, int value, const char* label, int x, int y, int width, int height) {
    CopyGuiString(button->label, GUI_LABEL_SIZE, label);
    button->x = x;
    button->y = y;
    button->width = width;
    button->height = height;
    button->value = value;
    button->image = CreateSprite(width, height, 1, DDSCAPS_VIDEOMEMORY);
    button->pressedImage = CreateSprite(width, height, 1, DDSCAPS_VIDEOMEMORY);
    ClearSprite(button->image, guiColorButton);
    ClearSprite(button->pressedImage, guiColorButton);
    DrawButtonBorder(button->image, kButtonUp, width, height);
    DrawButtonBorder(button->pressedImage, kButtonDown, width, height);
    button->armed = false;
}

}  // namespace

void CopyGuiString(char* field, int size, const char* text) {
    if (size <= 0) return;
    if (!text) text = "";
    const size_t length = strnlen(text, size_t(size) - 1);
    std::memcpy(field, text, length);
    std::memset(field + length, 0, size_t(size) - length);
}

int FindWindowId(const char* id) {
    if (!id) return NOIDFOUND;
    const int count = windowCount < MAX_WINDOWS ? windowCount : MAX_WINDOWS;
    for (int slot = 0; slot < count; slot++)
        if (std::strcmp(windows[slot].id, id) == 0) return slot;
    return NOIDFOUND;
}

void AddWindow(const char* title, const char* id, int width, int height) {
    if (windowCount < 0 || windowCount >= MAX_WINDOWS) {
        // Changed on purpose: declarations beyond the tables (docs/BEHAVIOUR.md).
        WriteLog("ERROR: AddWindow(): too many windows\n");
        return;
    }
    GuiWindow& w = windows[windowCount];
    if (w.created) {
        WriteLog("WARNING: Window had been already created\n");
        return;
    }
    CopyGuiString(w.title, GUI_TITLE_SIZE, title);
    CopyGuiString(w.id, GUI_ID_SIZE, id);
    w.width = width;
    w.height = height;
    w.x = 0;
    w.y = 0;
    w.dragging = false;
    w.open = false;
    w.buttonCount = 0;
    w.textCount = 0;
    w.textBoxCount = 0;
    w.created = true;

    w.image = CreateSprite(width, height, 0, DDSCAPS_VIDEOMEMORY);
    ClearSprite(w.image, guiColorBody);
    for (int i = 0; i < width; i++) {
        Tile(w.image, 3, 0, 1, 2, i, 0);
        Tile(w.image, 3, 59, 1, 2, i, height - 2);
    }
    for (int i = 0; i < height; i++) {
        Tile(w.image, 0, 3, 2, 1, 0, i);
        Tile(w.image, 25, 3, 2, 1, width - 2, i);
    }
    Tile(w.image, 0, 0, 2, 2, 0, 0);
    Tile(w.image, 25, 0, 2, 2, width - 2, 0);
    Tile(w.image, 0, 59, 2, 2, 0, height - 2);
    Tile(w.image, 25, 59, 2, 2, width - 2, height - 2);
    FillSpriteRect(w.image, 3, 3, width - 6, 20, guiColorTitle);
    Tile(w.image, 3, 3, 20, 20, 3, 3);
    FillSpriteRect(w.image, 3, height - 33, width - 6, 30, guiColorStrip);
    windowCount++;
}

void SetWindowPosition(const char* id, int x, int y) {
    const int slot = FindWindowOrQuit(id, "ERROR: DrawWindow(): NOIDFOUND\n");
    if (slot == NOIDFOUND) return;
    windows[slot].x = x;
    windows[slot].y = y;
}

void CenterWindow(const char* id) {
    const int slot = FindWindowOrQuit(id, "ERROR: DrawWindow(): NOIDFOUND\n");
    if (slot == NOIDFOUND) return;
    windows[slot].x = 320 - windows[slot].width / 2;
    windows[slot].y = 240 - windows[slot].height / 2;
}

void OpenWindow(const char* id) {
    const int slot = FindWindowOrQuit(id, "ERROR: DrawWindow(): NOIDFOUND\n");
    if (slot == NOIDFOUND) return;
    windows[slot].open = true;
}

void AddButton(const char* id, int value, const char* label, int x, int y, int width, int height) {
    const int slot = FindWindowOrQuit(id, "ERROR: AddButton(): NOIDFOUND\n");
    if (slot == NOIDFOUND) return;
    GuiWindow& w = windows[slot];
    if (w.buttonCount < 0 || w.buttonCount >= MAX_BUTTONS) {
        WriteLog("ERROR: AddButton(): too many buttons\n");
        return;
    }
    BuildButton(&w.buttons[w.buttonCount], value, label, x, y, width, height);
    w.buttonCount++;
}

void AddScreenButton(int value, const char* label, int x, int y, int width, int height) {
    if (screenButtonCount < 0 || screenButtonCount >= MAX_SCREENBUTTONS) {
        WriteLog("ERROR: AddScreenButton(): too many screen buttons\n");
        return;
    }
    BuildButton(&screenButtons[screenButtonCount], value, label, x, y, width, height);
    screenButtonCount++;
}

void AddText(const char* id, const char* text, int x, int y) {
    const int slot = FindWindowOrQuit(id, "ERROR: AddText(): NOIDFOUND\n");
    if (slot == NOIDFOUND) return;
    GuiWindow& w = windows[slot];
    if (w.textCount < 0 || w.textCount >= MAX_TEXTS) {
        WriteLog("ERROR: AddText(): too many texts\n");
        return;
    }
    GuiText& t = w.texts[w.textCount];
    t.x = x;
    t.y = y;
    CopyGuiString(t.text, GUI_TEXT_SIZE, text);
    w.textCount++;
}

void AddTextBox(const char* id, int x, int y, int width) {
    const int slot = FindWindowOrQuit(id, "ERROR: AddTextBox(): NOIDFOUND\n");
    if (slot == NOIDFOUND) return;
    GuiWindow& w = windows[slot];
    if (w.textBoxCount < 0 || w.textBoxCount >= MAX_TEXTBOXES) {
        WriteLog("ERROR: AddTextBox(): too many text boxes\n");
        return;
    }
    GuiTextBox& box = w.textBoxes[w.textBoxCount];
    box.x = x;
    box.y = y;
    box.width = width;
    box.length = 0;
    box.nextKeySound = 6;
    std::memset(box.text, 0, sizeof box.text);
    box.focused = false;
    box.maxLength = GUI_TEXTBOX_MAX_LENGTH;
    box.oneWord = false;

    box.focusImage = CreateSprite(width + 6, 20, 1, DDSCAPS_VIDEOMEMORY);
    ClearSprite(box.focusImage, ColorKey());
    Tile(box.focusImage, 39, 18, 3, 20, 0, 0);
    Tile(box.focusImage, 52, 18, 3, 20, width + 3, 0);
    for (int i = 3; i <= width + 2; i++) {
        Tile(box.focusImage, 42, 18, 1, 3, i, 0);
        Tile(box.focusImage, 42, 35, 1, 3, i, 17);
    }
    if (w.image) {
        Tile(w.image, 42, 21, 1, 14, x, y);
        Tile(w.image, 51, 21, 1, 14, x + width - 1, y);
        for (int i = x + 1; i <= x + width - 2; i++) Tile(w.image, 43, 21, 1, 14, i, y);
    }
    w.textBoxCount++;
}

void FreeWindows() {
    const int count = windowCount < MAX_WINDOWS ? windowCount : MAX_WINDOWS;
    for (int slot = 0; slot < count; slot++) {
        GuiWindow& w = windows[slot];
        ReleaseSprite(&w.image);
        for (GuiButton& b : w.buttons) {
            ReleaseSprite(&b.image);
            ReleaseSprite(&b.pressedImage);
        }
        for (GuiTextBox& box : w.textBoxes) ReleaseSprite(&box.focusImage);
    }
}
