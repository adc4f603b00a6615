// Control of the headless host, for tests, tools and screenshots: no window, frames
// kept in memory, a counter the caller drives, a display format the caller picks.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win.h"

// Display the host reports: bit count and masks (565 by default).
void HeadlessSetDisplayFormat(DWORD bitCount, DWORD redMask, DWORD greenMask, DWORD blueMask);
inline void HeadlessDisplay555() { HeadlessSetDisplayFormat(16, 0x7C00, 0x03E0, 0x001F); }
inline void HeadlessDisplay565() { HeadlessSetDisplayFormat(16, 0xF800, 0x07E0, 0x001F); }
inline void HeadlessDisplay8Bit() { HeadlessSetDisplayFormat(8, 0, 0, 0); }
inline void HeadlessDisplay32Bit() { HeadlessSetDisplayFormat(32, 0xFF0000, 0x00FF00, 0x0000FF); }
// The screen size the host reports (1920 x 1080 unless set).
void HeadlessSetScreenSize(int width, int height);
// A host without a display: the display object cannot be created.
void HeadlessSetNoDisplay(bool none);

// The counter: `frequency` ticks per second; every reading advances it by `step`.
void HeadlessSetCounter(int64_t frequency, int64_t step);
int64_t HeadlessCounterValue();
void HeadlessAdvanceCounter(int64_t ticks);
int64_t HeadlessCounterReads();
// Sleeps to a counter deadline: how many, and the ticks they passed asleep.
int HeadlessSleeps();
int64_t HeadlessAsleepTicks();
// Waits for a host event, and the milliseconds they lasted (each its whole timeout).
int HeadlessEventWaits();
int64_t HeadlessEventWaitMs();

// Called once per message pump (once per frame-loop pass), before the queue is read.
void HeadlessSetPumpHook(std::function<void()> hook);
// Queues a message for the window as a host event would.
void HeadlessPostMessage(unsigned message, WPARAM wParam, LPARAM lParam);
// The window lost exclusive access to the display: every surface is lost.
void HeadlessLoseSurfaces();

// Frames flipped to the host, and those of them it drew: a frame like the one on
// the screen is not drawn again, a changed one only in the rectangle that changed.
int HeadlessFramesPresented();
int HeadlessFramesDrawn();
void HeadlessLastDrawnRect(int* x, int* y, int* w, int* h);
// The output changed (as a resized window): the next frame is drawn whole.
void HeadlessOutputChanged();
// Repaints of the shown frame, as the desktop asks when the window is uncovered.
int HeadlessRepaints();
// The last presented frame, 640 x 480 pixels in the display's layout.
const std::vector<uint16_t>& HeadlessLastFrame();
int HeadlessLastFramePixelMode();
uint16_t HeadlessFramePixel(int x, int y);
bool HeadlessWriteFramePng(const std::string& path);

bool HeadlessWindowShown();
bool HeadlessCursorShown();
// Where the desktop pointer stands: over the picture (the start), or outside the
// window or over the bars.
void HeadlessSetCursorOverPicture(bool over);
const std::vector<std::string>& HeadlessOpenedUrls();
// The desktop message boxes shown, as "caption: text".
const std::vector<std::string>& HeadlessMessageBoxes();
