#include "platform/hands.h"

#include <cmath>
#include <cstring>

#include "platform/host_devices.h"

// Changed on purpose: other hands than a mouse (docs/BEHAVIOUR.md).

namespace {

constexpr int DIK_ESCAPE = 0x01, DIK_LSHIFT = 0x2A, DIK_SPACE = 0x39;
// Up, down, left, right: the arrow keys' codes and the controller's D-pad.
constexpr int kArrowKeys[4] = {0xC8, 0xD0, 0xCB, 0xCD};
constexpr int kDirX[4] = {0, 0, -1, 1};
constexpr int kDirY[4] = {-1, 1, 0, 0};
constexpr int kCell = 32;
// A tap moves a few pixels, or a whole cell with an item carried so it lands
// exactly; held past the delay the pointer glides, faster the longer it is held.
constexpr int kTapStep = 4;
constexpr int kGlideDelay = 10;  // reads, a fifth of a second at 50 frames a second
constexpr double kGlideStart = 2.0, kGlideGain = 0.3, kGlideMost = 10.0;
constexpr float kStickDeadZone = 0.25f;
constexpr int kPressRepeat = 8;  // reads between repeated highlight moves of a held stick

HandsHints hints{};
bool arrowHeld[4] = {};
int dirReads[4] = {};
bool padHeld[PADB_COUNT] = {};
// A pad button pressed while the game's keyboard was up stays the keyboard's until released.
bool padOwnedByKeyboard[PADB_COUNT] = {};
float stickX = 0.0f, stickY = 0.0f;
int stickReads = 0;
int stickPressDir = -1, stickPressReads = 0;
double restX = 0.0, restY = 0.0;
bool spaceHeld = false, spaceClicks = false;
bool padInUse = false;
uint8_t lastReal[256] = {};

int presses[16] = {};
int pressCount = 0;

struct TypedKey {
    int code;
    bool shifted;
};
TypedKey typed[32] = {};
int typedCount = 0;
bool typedShown = false;

void Press(int press) {
    if (pressCount < int(sizeof presses / sizeof presses[0])) presses[pressCount++] = press;
}

int PressOfButton(int button) {
    switch (button) {
    case PADB_UP: return PAD_UP;
    case PADB_DOWN: return PAD_DOWN;
    case PADB_LEFT: return PAD_LEFT;
    case PADB_RIGHT: return PAD_RIGHT;
    case PADB_A: return PAD_A;
    default: return PAD_B;
    }
}

bool PadPointerButton(int button) { return padHeld[button] && !padOwnedByKeyboard[button]; }

// Pixels a direction moves the pointer in this read, held for `reads` reads.
double StepOf(int reads) {
    if (reads == 1) return hints.carrying ? kCell : kTapStep;
    if (reads <= kGlideDelay) return 0.0;
    const double speed = kGlideStart + kGlideGain * (reads - kGlideDelay);
    return speed < kGlideMost ? speed : kGlideMost;
}

// The stick's highlight moves on the game's keyboard: once on leaving the middle,
// then again while it is held over.
void StickPresses() {
    int dir = -1;
    if (std::fabs(stickX) >= 0.5f || std::fabs(stickY) >= 0.5f) {
        if (std::fabs(stickX) > std::fabs(stickY)) {
            dir = stickX < 0 ? 2 : 3;
        } else {
            dir = stickY < 0 ? 0 : 1;
        }
    }
    if (dir != stickPressDir) {
        stickPressDir = dir;
        stickPressReads = 0;
        if (dir >= 0) Press(PressOfButton(dir));
    } else if (dir >= 0 && ++stickPressReads % kPressRepeat == 0) {
        Press(PressOfButton(dir));
    }
}

}  // namespace

void SetHandsHints(const HandsHints& next) { hints = next; }
const HandsHints& CurrentHandsHints() { return hints; }
bool PadInUse() { return padInUse; }

int TakePadPress() {
    if (pressCount == 0) return PAD_NONE;
    const int first = presses[0];
    std::memmove(presses, presses + 1, sizeof presses[0] * size_t(pressCount - 1));
    pressCount--;
    return first;
}

void TypeKey(int code, bool shifted) {
    if (code <= 0 || code > 255 || typedCount >= int(sizeof typed / sizeof typed[0])) return;
    typed[typedCount++] = {code, shifted};
}

void HandsPadButton(int button, bool down) {
    if (button < 0 || button >= PADB_COUNT) return;
    if (down && !padHeld[button]) {
        padInUse = true;
        padOwnedByKeyboard[button] = hints.padKeyboard;
        if (hints.padKeyboard) Press(PressOfButton(button));
    }
    if (!down) padOwnedByKeyboard[button] = false;
    padHeld[button] = down;
}

void HandsPadStick(float x, float y) {
    stickX = std::isfinite(x) ? (x < -1.0f ? -1.0f : x > 1.0f ? 1.0f : x) : 0.0f;
    stickY = std::isfinite(y) ? (y < -1.0f ? -1.0f : y > 1.0f ? 1.0f : y) : 0.0f;
    if (std::hypot(stickX, stickY) > kStickDeadZone) padInUse = true;
}

void HandsPadReleased() {
    std::memset(padHeld, 0, sizeof padHeld);
    std::memset(padOwnedByKeyboard, 0, sizeof padOwnedByKeyboard);
    stickX = stickY = 0.0f;
}

void HandsReadKeyboard(uint8_t state[256]) {
    for (int code = 0; code < 256; code++) {
        if (state[code] && !lastReal[code]) padInUse = false;
        lastReal[code] = state[code];
    }
    for (int d = 0; d < 4; d++) arrowHeld[d] = state[kArrowKeys[d]] != 0;

    // Where Space types, it types; elsewhere it is the button, and the game never
    // sees it, so a click that focuses a text box types no blank there.
    if (state[DIK_SPACE]) {
        if (!spaceHeld) spaceClicks = !hints.typing;
        spaceHeld = true;
        if (spaceClicks) state[DIK_SPACE] = 0;
    } else {
        spaceHeld = spaceClicks = false;
    }

    if (PadPointerButton(PADB_B) || PadPointerButton(PADB_START)) state[DIK_ESCAPE] = 0x80;

    if (typedCount > 0) {
        if (!typedShown) {
            state[typed[0].code] = 0x80;
            if (typed[0].shifted) state[DIK_LSHIFT] = 0x80;
            typedShown = true;
        } else {
            std::memmove(typed, typed + 1, sizeof typed[0] * size_t(typedCount - 1));
            typedCount--;
            typedShown = false;
        }
    }
}

void HandsReadMouse(int32_t* dx, int32_t* dy, uint8_t buttons[4]) {
    if (*dx != 0 || *dy != 0 || buttons[0] != 0) padInUse = false;

    // Presses step whole pixels, so a cell's step lands exactly; glides keep their fractions.
    int32_t wholeX = 0, wholeY = 0;
    double moveX = 0.0, moveY = 0.0;
    for (int d = 0; d < 4; d++) {
        const bool held = arrowHeld[d] || (!hints.padKeyboard && PadPointerButton(d));
        dirReads[d] = held ? dirReads[d] + 1 : 0;
        if (!held) continue;
        if (dirReads[d] == 1) {
            wholeX += kDirX[d] * int32_t(StepOf(1));
            wholeY += kDirY[d] * int32_t(StepOf(1));
        } else {
            moveX += kDirX[d] * StepOf(dirReads[d]);
            moveY += kDirY[d] * StepOf(dirReads[d]);
        }
    }

    if (hints.padKeyboard) {
        StickPresses();
        stickReads = 0;
    } else {
        stickPressDir = -1;
        const double magnitude = std::hypot(stickX, stickY);
        if (magnitude > kStickDeadZone) {
            // Slow and exact near the middle, quick at the edge, and quicker held.
            const double v = (magnitude > 1.0 ? 1.0 - kStickDeadZone : magnitude - kStickDeadZone) / (1.0 - kStickDeadZone);
            stickReads++;
            const double gain = 1.0 + (stickReads < 50 ? stickReads : 50) / 50.0;
            const double speed = (0.5 + 6.0 * v * v) * gain;
            moveX += stickX / magnitude * speed;
            moveY += stickY / magnitude * speed;
        } else {
            stickReads = 0;
        }
    }

    restX += moveX;
    restY += moveY;
    int32_t stepX = int32_t(std::trunc(restX));
    int32_t stepY = int32_t(std::trunc(restY));
    restX -= stepX;
    restY -= stepY;
    if (moveX == 0.0) restX = 0.0;
    if (moveY == 0.0) restY = 0.0;
    stepX += wholeX;
    stepY += wholeY;
    if (stepX != 0 || stepY != 0) {
        *dx += stepX;
        *dy += stepY;
        HostPointerNudged(stepX, stepY);
    }

    if (spaceClicks || (!hints.padKeyboard && PadPointerButton(PADB_A))) buttons[0] = 0x80;
}

void ResetHands() {
    hints = HandsHints{};
    std::memset(arrowHeld, 0, sizeof arrowHeld);
    std::memset(dirReads, 0, sizeof dirReads);
    HandsPadReleased();
    stickReads = 0;
    stickPressDir = -1;
    stickPressReads = 0;
    restX = restY = 0.0;
    spaceHeld = spaceClicks = false;
    padInUse = false;
    std::memset(lastReal, 0, sizeof lastReal);
    pressCount = 0;
    typedCount = 0;
    typedShown = false;
}
