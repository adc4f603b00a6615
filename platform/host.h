// What a host (SDL2 or headless) provides below the layer. Only platform/ includes this.
#pragma once
#include <cstdint>

#include "platform/win.h"

// Creates the host's window (hidden); false when the host has no display.
bool HostCreateWindow(const char* title, int width, int height);
void HostShowWindow();
bool HostHasWindow();
// Turns pending host events into posted messages (PostHostMessage).
void HostPumpEvents();
void HostShowCursor(bool show);
// The desktop pointer was last seen over the picture (not outside the window, not
// over the bars around the picture).
bool HostCursorOverPicture();
void HostScreenSize(int* width, int* height);
int64_t HostCounterFrequency();
int64_t HostCounter();
// Returns once HostCounter() >= deadline (never before); sleeps rather than spins.
void HostSleepUntil(int64_t deadline);
// Waits until a host event is pending or timeoutMs have passed.
void HostWaitEvents(int timeoutMs);
// The display format the host reports for a 16-bit mode.
void HostDisplayFormat(DWORD* bitCount, DWORD* redMask, DWORD* greenMask, DWORD* blueMask);
// Shows a finished 640 x 480 frame; pixelMode 15 means 5-5-5, anything else 5-6-5.
void HostPresent(const uint16_t* pixels, int pitchPixels, int width, int height, int pixelMode);
// Shows the frame shown last once more, whole (the window was uncovered); nothing
// before the first frame.
void HostRepaint();
void HostOpenUrl(const char* address);
// A desktop message box, also before or after the game's window; false without a desktop.
bool HostMessageBox(const char* caption, const char* text, bool error);

// Queues a message for the one window, from a host event.
void PostHostMessage(unsigned message, WPARAM wParam, LPARAM lParam);
// Marks every surface lost, as when exclusive full-screen access is taken away.
void LoseAllSurfaces();
