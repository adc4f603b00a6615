// The registry of dialog windows and screen buttons, known by string ids, with
// their pictures composed once from the GUI skin.
#pragma once
#include <cstdint>

#include "gfx/sprite.h"

constexpr int MAX_WINDOWS = 16;
constexpr int MAX_BUTTONS = 8;
constexpr int MAX_TEXTS = 8;
constexpr int MAX_TEXTBOXES = 4;
constexpr int MAX_SCREENBUTTONS = 16;
constexpr int NOIDFOUND = 1024;

constexpr int GUI_TITLE_SIZE = 64;
constexpr int GUI_ID_SIZE = 16;
constexpr int GUI_LABEL_SIZE = 32;
constexpr int GUI_TEXT_SIZE = 256;
constexpr int GUI_TEXTBOX_SIZE = 128;
// The most characters a text box holds, whatever its width and font.
constexpr int GUI_TEXTBOX_MAX_LENGTH = GUI_TEXTBOX_SIZE - 1;

struct GuiButton {
    Sprite image;
    Sprite pressedImage;
    int32_t value;
    int32_t x, y;
    int32_t width, height;
    char label[GUI_LABEL_SIZE];
    bool armed;
};

struct GuiText {
    int32_t x, y;
    char text[GUI_TEXT_SIZE];
};

struct GuiTextBox {
    Sprite focusImage;
    int32_t x, y;
    int32_t width;
    int32_t length;
    int32_t nextKeySound;
    char text[GUI_TEXTBOX_SIZE];
    bool focused;
    // Owners of a box may narrow what it takes (a player id: short, one word).
    int32_t maxLength;  // 0 to GUI_TEXTBOX_MAX_LENGTH
    bool oneWord;       // the space bar types nothing
};

struct GuiWindow {
    Sprite image;
    int32_t x, y;
    int32_t width, height;
    int32_t grabX, grabY;
    char title[GUI_TITLE_SIZE];
    char id[GUI_ID_SIZE];
    bool dragging;
    bool open;
    bool created;
    int32_t buttonCount;
    GuiButton buttons[MAX_BUTTONS];
    int32_t textCount;
    GuiText texts[MAX_TEXTS];
    int32_t textBoxCount;
    GuiTextBox textBoxes[MAX_TEXTBOXES];
};

extern GuiWindow windows[MAX_WINDOWS];
extern int32_t windowCount;
extern GuiButton screenButtons[MAX_SCREENBUTTONS];
extern int32_t screenButtonCount;
extern Sprite guiSkin;

// Raw pixel values; start at their 5-6-5 values, switched once for a 5-5-5 display.
extern uint16_t guiColorBody;
extern uint16_t guiColorTitle;
extern uint16_t guiColorStrip;
extern uint16_t guiColorButton;

int FindWindowId(const char* id);
void AddWindow(const char* title, const char* id, int width, int height);
void SetWindowPosition(const char* id, int x, int y);
void CenterWindow(const char* id);
void OpenWindow(const char* id);
void AddButton(const char* id, int value, const char* label, int x, int y, int width, int height);
void AddText(const char* id, const char* text, int x, int y);
void AddTextBox(const char* id, int x, int y, int width);
void AddScreenButton(int value, const char* label, int x, int y, int width, int height);
void FreeWindows();

// Copies text into a field of `size` bytes, cut to fit, always NUL-terminated.
void CopyGuiString(char* field, int size, const char* text);
