#include "gui/window_draw.h"

#include <algorithm>

#include "app/log.h"
#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/font.h"
#include "gfx/sprite.h"
#include "gui/registry.h"
#include "input/input.h"
#include "sound/sound.h"

bool backspaceLatch = false;
const GuiTextBox* typingBox = nullptr;
int typingBoxX = 0, typingBoxY = 0;

namespace {

// Characters by keyboard code 0 to 59; '|' types nothing.
const char kPlainKeys[] = "||1234567890-=||qwertyuiop[]||asdfghjkl;||||zxcvbnm,./||| ||";
const char kShiftedKeys[] = "||!@#$%^&*()_+||QWERTYUIOP{}||ASDFGHJKL:||||ZXCVBNM<>?||||||";
static_assert(sizeof kPlainKeys == 61 && sizeof kShiftedKeys == 61);
constexpr int kMappedKeys = 60;
constexpr int kTypingKeys = 64;  // codes that click and latch; F2 to F5 type nothing
constexpr int kLabelFont = 1;
constexpr int kFieldHeight = GUI_TEXTBOX_FIELD_HEIGHT;

bool Inside(int px, int py, int x, int y, int w, int h) { return x <= px && px < x + w && y <= py && py < y + h; }

// Draws a button and reports a click: released over it after it was drawn held.
bool RunButton(GuiButton& b, int bx, int by, int labelWidth, int cell) {
    const bool over = Inside(mouseX, mouseY, bx, by, b.width, b.height);
    bool clicked = false;
    if (over && b.armed && !mouseButton) {
        b.armed = false;
        clicked = true;
        PlaySoundEffect(SFX_CLICK);
    }
    int d = 0;
    if (over && mouseButton) {
        BlitSpriteKeyed(backBuffer, b.pressedImage, bx, by, b.width, b.height);
        b.armed = true;
        d = 1;
    } else {
        BlitSpriteKeyed(backBuffer, b.image, bx, by, b.width, b.height);
        b.armed = false;
    }
    PrintText(b.label, bx + b.width / 2 - labelWidth / 2 + d, by + b.height / 2 - cell / 2 - 1 + d);
    return clicked;
}

void PlayKeySound(GuiTextBox& box) {
    PlaySoundEffect(box.nextKeySound);
    box.nextKeySound++;
    if (box.nextKeySound > 9 || box.nextKeySound < 6) box.nextKeySound = 6;
}

void RunTextBox(GuiTextBox& box, int fx, int fy, const char* keyMap) {
    const int w = box.width;
    const int cw = TextWidth(box.text);
    if (Inside(mouseX, mouseY, fx, fy, w, kFieldHeight)) {
        pointerShape = 2;
        if (mouseButton) box.focused = true;
    } else if (mouseButton) {
        box.focused = false;
    }
    if (box.focused) {
        BlitSpriteKeyed(backBuffer, box.focusImage, fx - 3, fy - 3, w + 6, 20);

        int newKeys = 0;
        char typed = '|';
        if (NoKeyDown()) {
            ClearKeyLatches();
        } else {
            for (int k = 0; k < kTypingKeys; k++) {
                if (!keyState[k] || IsKeyLatched(k)) continue;
                keyLatch[k] = 1;
                typed = k < kMappedKeys ? keyMap[k] : '|';
                PlayKeySound(box);
                newKeys++;
            }
        }

        bool deleted = false;
        if (keyState[DIK_BACK]) {
            if (!backspaceLatch && box.length > 0) {
                // A length set from outside never reaches past the field.
                box.length = std::min(box.length, GUI_TEXTBOX_MAX_LENGTH);
                box.text[--box.length] = 0;
                backspaceLatch = true;
                deleted = true;
                PlayKeySound(box);
            }
        } else {
            backspaceLatch = false;
        }

        if (keyState[DIK_RETURN]) {
            box.focused = false;
            PlayKeySound(box);
        }

        // The pixel rule alone could overfill the field's bytes with a narrow font.
        int limit = box.maxLength;
        if (limit < 0 || limit > GUI_TEXTBOX_MAX_LENGTH) limit = GUI_TEXTBOX_MAX_LENGTH;
        if (box.oneWord && typed == ' ') typed = '|';
        if (newKeys == 1 && !deleted && typed != '|' && TextWidth(box.text) + 14 < w - 4 && box.length >= 0 &&
            box.length < limit) {
            box.text[box.length] = typed;
            box.length++;
        }
    }
    PrintText(box.text, fx + 1, fy - 1);
    if (box.focused) {
        FillScreenRect(fx + cw + 2, fy + 4, 2, 7, 0);
        typingBox = &box;
        typingBoxX = fx;
        typingBoxY = fy;
    }
}

}  // namespace

int32_t DrawWindow(const char* id) {
    const int slot = FindWindowId(id);
    if (slot == NOIDFOUND) {
        WriteLog("ERROR: DrawWindow(): NOIDFOUND\n");
        quitRequested = true;
        return GUI_NOWINDOW;
    }
    GuiWindow& w = windows[slot];
    if (!w.open) return GUI_NOTOPEN;
    int32_t result = GUI_NOCLICK;

    BlitSprite(backBuffer, w.image, w.x, w.y, w.width, w.height);
    SelectFont(0);
    PrintText(w.title, w.x + 24, w.y + 5);
    for (int i = 0; i < w.textCount && i < MAX_TEXTS; i++) {
        const GuiText& t = w.texts[i];
        SelectFont(1);
        PrintText(t.text, w.x + t.x + 1, w.y + t.y + 1);
        SelectFont(0);
        PrintText(t.text, w.x + t.x, w.y + t.y);
    }

    pointerShape = 0;
    SelectFont(kLabelFont);
    for (int i = 0; i < w.buttonCount && i < MAX_BUTTONS; i++) {
        GuiButton& b = w.buttons[i];
        if (RunButton(b, w.x + b.x, w.y + b.y, TextWidth(b.label), currentFont->cellSize)) result = b.value;
    }

    const char* keyMap = kPlainKeys;
    if (keyState[DIK_LSHIFT] || keyState[DIK_RSHIFT]) {
        keyMap = kShiftedKeys;
        keyState[DIK_LSHIFT] = 0;
        keyState[DIK_RSHIFT] = 0;
    }
    for (int i = 0; i < w.textBoxCount && i < MAX_TEXTBOXES; i++) {
        GuiTextBox& box = w.textBoxes[i];
        RunTextBox(box, w.x + box.x, w.y + box.y, keyMap);
    }

    if (Inside(mouseX, mouseY, w.x + 3, w.y + 3, w.width - 26, 20)) {
        pointerShape = 1;
        if (mouseButton && mouseClick && !w.dragging) {
            w.dragging = true;
            w.grabX = mouseX - w.x;
            w.grabY = mouseY - w.y;
        }
    }
    if (w.dragging) {
        w.x = mouseX - w.grabX;
        w.y = mouseY - w.grabY;
        if (!mouseButton) w.dragging = false;
    }
    return result;
}

int32_t DrawScreenButton(int index) {
    if (index < 0 || index >= screenButtonCount || index >= MAX_SCREENBUTTONS) return SCREEN_NOCLICK;
    GuiButton& b = screenButtons[index];
    // Measured in whatever font is current, as the label is centred before font 1 is chosen.
    const int labelWidth = TextWidth(b.label);
    SelectFont(kLabelFont);
    return RunButton(b, b.x, b.y, labelWidth, currentFont->cellSize) ? b.value : SCREEN_NOCLICK;
}
