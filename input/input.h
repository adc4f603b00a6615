// Keyboard and mouse, read once per frame; the game's own pointer; key latches for typing.
#pragma once
#include <cstdint>

#include "gfx/sprite.h"
#include "platform/win.h"

extern int32_t mouseX;        // 0 to 640 inclusive
extern int32_t mouseY;        // 0 to 480 inclusive
extern uint8_t mouseButton;   // nonzero while the left button is held
extern bool mouseClick;       // the press edge: one frame; a consumer that acts on it clears it
extern int pointerShape;      // 0 arrow, 1 hand, 2 text bar
extern bool pointerVisible;
extern uint8_t keyState[256];  // by DirectInput key code; nonzero is down
extern int keyLatch[64];

// The pointer images, made by the GUI from its skin; none until then.
extern Sprite pointerHandUp;
extern Sprite pointerHandDown;
extern Sprite pointerArrowUp;
extern Sprite pointerArrowDown;
extern Sprite pointerTextBar;

constexpr int DIK_ESCAPE = 0x01;
constexpr int DIK_BACK = 0x0E;
constexpr int DIK_TAB = 0x0F;
constexpr int DIK_RETURN = 0x1C;
constexpr int DIK_F = 0x21;
constexpr int DIK_LSHIFT = 0x2A;
constexpr int DIK_RSHIFT = 0x36;
constexpr int DIK_LMENU = 0x38;

void InitInput(HWND window, HINSTANCE instance);
void ResetInputState();
void ReadInput();
void ReadMouse();
void ReadKeyboard();
void ReleaseInput();
bool NoKeyDown();
void ClearKeyLatches();
bool IsKeyLatched(int code);
void DrawPointer();
