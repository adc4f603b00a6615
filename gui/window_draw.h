// One frame of a dialog window or a screen button: drawing, clicks, dragging and typing.
#pragma once
#include <cstdint>

constexpr int32_t GUI_NOCLICK = 16;
constexpr int32_t GUI_NOTOPEN = 24;
constexpr int32_t GUI_NOWINDOW = 32;
constexpr int32_t SCREEN_NOCLICK = 1024;

// Backspace has deleted a character and is still held (one for all text boxes).
extern bool backspaceLatch;

int32_t DrawWindow(const char* id);
int32_t DrawScreenButton(int index);
