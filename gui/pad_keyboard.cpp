#include "gui/pad_keyboard.h"

#include <cstring>

#include "gfx/display.h"
#include "gfx/font.h"
#include "gfx/sprite.h"
#include "gui/registry.h"
#include "gui/window_draw.h"
#include "input/input.h"
#include "platform/hands.h"

// Changed on purpose: the game's own keyboard for a controller (docs/BEHAVIOUR.md).

namespace {

// Rows of keys: the characters with their key codes, then Backspace and Done.
constexpr int kRows = 5;
constexpr const char* kRowKeys[kRows] = {"1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm", ""};
constexpr int kRowCodes[kRows][10] = {
    {2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
    {16, 17, 18, 19, 20, 21, 22, 23, 24, 25},
    {30, 31, 32, 33, 34, 35, 36, 37, 38},
    {44, 45, 46, 47, 48, 49, 50},
    {},
};
constexpr int kKeyW = 40, kKeyH = 30, kGap = 4;
constexpr int kPanelW = 10 * (kKeyW + kGap) + kGap;
constexpr int kPanelH = kRows * (kKeyH + kGap) + kGap;
constexpr int kWideW = 4 * kKeyW + 3 * kGap;  // Backspace and Done

int row = 1, column = 0;
bool dismissed = false;

int KeysInRow(int r) { return r == kRows - 1 ? 2 : int(std::strlen(kRowKeys[r])); }

DWORD Colour(uint16_t rgb565) {
    if (PixelMode != 15) return rgb565;
    return DWORD(((rgb565 >> 1) & 0x7FE0) | (rgb565 & 0x1F));
}

void Move(int dRow, int dColumn) {
    row = (row + dRow + kRows) % kRows;
    const int n = KeysInRow(row);
    if (dRow != 0 && column >= n) column = n - 1;
    column = (column + dColumn + n) % n;
}

void PressKey() {
    if (row == kRows - 1) {
        if (column == 0) {
            TypeKey(DIK_BACK, false);
        } else {
            // Done: Return takes the focus from the box, as on a keyboard.
            TypeKey(DIK_RETURN, false);
            dismissed = true;
        }
        return;
    }
    TypeKey(kRowCodes[row][column], false);
}

void DrawKey(int x, int y, int w, const char* label, bool lit) {
    FillScreenRect(x, y, w, kKeyH, Colour(lit ? 0xFF67 : 0xBDF7));
    PrintText(label, x + w / 2 - TextWidth(label) / 2, y + kKeyH / 2 - 8);
}

}  // namespace

bool DrawPadKeyboard() {
    if (!typingBox) {
        dismissed = false;
        return false;
    }
    if (dismissed || !PadInUse()) return false;

    for (int press = TakePadPress(); press != PAD_NONE; press = TakePadPress()) {
        if (press == PAD_UP) Move(-1, 0);
        if (press == PAD_DOWN) Move(1, 0);
        if (press == PAD_LEFT) Move(0, -1);
        if (press == PAD_RIGHT) Move(0, 1);
        if (press == PAD_A) PressKey();
        if (press == PAD_B) dismissed = true;
        if (dismissed) {
            while (TakePadPress() != PAD_NONE) {
            }
            return false;
        }
    }

    // The lower half, or below the box when the box reaches into it.
    const int x0 = 320 - kPanelW / 2;
    int y0 = 480 - kPanelH - 4;
    if (typingBoxY + GUI_TEXTBOX_FIELD_HEIGHT + 6 > y0) y0 = typingBoxY + GUI_TEXTBOX_FIELD_HEIGHT + 6;
    FillScreenRect(x0, y0, kPanelW, kPanelH, Colour(0x2124));
    SelectFont(1);
    for (int r = 0; r < kRows; r++) {
        const int y = y0 + kGap + r * (kKeyH + kGap);
        const int n = KeysInRow(r);
        if (r == kRows - 1) {
            const int left = x0 + kPanelW / 2 - kWideW - kGap / 2;
            DrawKey(left, y, kWideW, "Backspace", column == 0 && row == r);
            DrawKey(left + kWideW + kGap, y, kWideW, "Done", column == 1 && row == r);
            continue;
        }
        const int left = x0 + kPanelW / 2 - (n * (kKeyW + kGap) - kGap) / 2;
        for (int c = 0; c < n; c++) {
            const char label[2] = {kRowKeys[r][c], 0};
            DrawKey(left + c * (kKeyW + kGap), y, kKeyW, label, c == column && r == row);
        }
    }
    return true;
}
