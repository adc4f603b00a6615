// The program's spine: entry, the main window, start-up, the frame loop and shut-down.
#pragma once
#include <cstdint>

#include "base/run.h"
#include "platform/win.h"

extern HWND mainWindow;
extern int windowActive;
extern int graphicsValid;
extern int restoreWait;
extern int frameRateCap;
extern int64_t counterFrequency;
extern int64_t frameStart;
extern int64_t fpsStart;
extern int fpsFrameCount;
extern float fpsValue;

// The entry routine: start-up, the frame loop, shut-down. Never returns.
[[noreturn]] void WinMain();
LRESULT WndProc(HWND window, unsigned message, WPARAM wParam, LPARAM lParam);
void ValimoInit(HINSTANCE instance);
void PreparePixelMode();
void InitGame();
[[noreturn]] void Shutdown();

void InitTimer();
void MarkFrameStart();
double FrameElapsed();
void UpdateFps();

// WinMain's two halves around the frame loop, so that a whole run can be driven
// pass by pass: start-up up to the loop, and the end after it.
void WinMainStart();
[[noreturn]] void WinMainEnd();
// One pass of the frame loop; false once the loop is to end.
bool FrameLoopPass();
