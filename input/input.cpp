#include "input/input.h"

#include <cstring>

#include "app/log.h"
#include "gfx/display.h"
#include "platform/dinput.h"

int32_t mouseX = 0;
int32_t mouseY = 0;
uint8_t mouseButton = 0;
bool mouseClick = false;
int pointerShape = 0;
bool pointerVisible = true;
uint8_t keyState[256] = {};
int keyLatch[64] = {};

Sprite pointerHandUp = nullptr;
Sprite pointerHandDown = nullptr;
Sprite pointerArrowUp = nullptr;
Sprite pointerArrowDown = nullptr;
Sprite pointerTextBar = nullptr;

namespace {

IDirectInput* directInput = nullptr;
IDirectInputDevice* keyboardDevice = nullptr;
IDirectInputDevice* mouseDevice = nullptr;
DIMOUSESTATE mouseState = {};
bool pressLatch = false;

constexpr DWORD kCooperation = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;

}  // namespace

void InitInput(HWND window, HINSTANCE instance) {
    WriteLog("Initializing DirectInput\n");
    ResetInputState();
    if (DirectInputCreateA(instance, DIRECTINPUT_VERSION, &directInput, nullptr) != DI_OK)
        SystemError("Failed to create the DirectInput object");

    if (directInput->CreateDevice(GUID_SysKeyboard, &keyboardDevice, nullptr) != DI_OK)
        SystemError("Failed to create the keyboard device");
    if (keyboardDevice->SetCooperativeLevel(window, kCooperation) != DI_OK)
        SystemError("Failed to set keyboard cooperative level");
    if (keyboardDevice->SetDataFormat(&c_dfDIKeyboard) != DI_OK) SystemError("Failed to set keyboard data format");
    if (keyboardDevice->Acquire() != DI_OK) SystemError("Failed to acquire keyboard");

    if (directInput->CreateDevice(GUID_SysMouse, &mouseDevice, nullptr) != DI_OK)
        SystemError("Failed to create the mouse device");
    if (mouseDevice->SetCooperativeLevel(window, kCooperation) != DI_OK)
        SystemError("Failed to set mouse cooperative level");
    if (mouseDevice->SetDataFormat(&c_dfDIMouse) != DI_OK) SystemError("Failed to set mouse data format");
    if (mouseDevice->Acquire() != DI_OK) SystemError("Failed to acquire mouse");
}

void ResetInputState() {
    mouseX = 0;
    mouseY = 0;
    pointerShape = 0;
    pressLatch = false;
    mouseClick = false;
}

void ReadInput() {
    ReadMouse();
    ReadKeyboard();
}

void ReadMouse() {
    // A failed read keeps the last state, motion included, as the device left it.
    if (!mouseDevice || mouseDevice->GetDeviceState(sizeof mouseState, &mouseState) != DI_OK)
        WriteLog("Failed to get mouse device state");
    // Summed wide, so no motion however large wraps the pointer round.
    const int64_t x = int64_t(mouseX) + mouseState.lX;
    const int64_t y = int64_t(mouseY) + mouseState.lY;
    mouseX = x <= 0 ? 0 : x > 640 ? 640 : int32_t(x);
    mouseY = y <= 0 ? 0 : y > 480 ? 480 : int32_t(y);
    mouseButton = mouseState.rgbButtons[0];
    mouseClick = false;
    if (mouseButton == 0) {
        pressLatch = false;
    } else if (!pressLatch) {
        pressLatch = true;
        mouseClick = true;
    }
}

void ReadKeyboard() {
    if (!keyboardDevice || keyboardDevice->GetDeviceState(sizeof keyState, keyState) != DI_OK)
        WriteLog("Failed to get keyboard device state");
}

void ReleaseInput() {
    WriteLog("DirectInput Release\n");
    if (!directInput) return;
    if (mouseDevice) {
        mouseDevice->Release();
        mouseDevice = nullptr;
    }
    if (keyboardDevice) {
        keyboardDevice->Release();
        keyboardDevice = nullptr;
    }
    directInput->Release();
    directInput = nullptr;
}

bool NoKeyDown() {
    for (int code = 0; code < 64; code++)
        if (keyState[code] != 0) return false;
    return true;
}

void ClearKeyLatches() { std::memset(keyLatch, 0, sizeof keyLatch); }

bool IsKeyLatched(int code) { return code >= 0 && code < 64 && keyLatch[code] == 1; }

void DrawPointer() {
    if (!pointerVisible) return;
    // Changed on purpose: one arrow where the pointer is (docs/BEHAVIOUR.md).
    // Outside the picture the desktop's arrow shows; one held at the edge would be a second.
    if (!CursorOverPicture()) return;
    Sprite image = nullptr;
    switch (pointerShape) {
    case 0:
        image = mouseButton ? pointerArrowDown : pointerArrowUp;
        break;
    case 1:
        image = mouseButton ? pointerHandDown : pointerHandUp;
        break;
    case 2:
        if (pointerTextBar) BlitSpriteKeyed(backBuffer, pointerTextBar, mouseX - 2, mouseY - 6, 5, 12);
        return;
    default:
        return;
    }
    if (image) BlitSpriteKeyed(backBuffer, image, mouseX, mouseY, 16, 16);
}
