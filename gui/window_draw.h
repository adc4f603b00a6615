// One frame of a dialog window or a screen button: drawing, clicks, dragging and typing.
#pragma once
#include <cstdint>

constexpr int32_t GUI_NOCLICK = 16;
constexpr int32_t GUI_NOTOPEN = 24;
constexpr int32_t GUI_NOWINDOW = 32;
constexpr int32_t SCREEN_NOCLICK = 1024;

// Backspace has deleted a character and is still held (one for all text boxes).
extern bool backspaceLatch;

struct GuiTextBox;
// The text box that had the focus in this frame's drawing and where its field was
// drawn; null when none had. The frame's owner clears it before drawing.
extern const GuiTextBox* typingBox;
extern int typingBoxX, typingBoxY;
constexpr int GUI_TEXTBOX_FIELD_HEIGHT = 14;

int32_t DrawWindow(const char* id);
int32_t DrawScreenButton(int index);
