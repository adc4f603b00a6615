// The window, its messages, the high-resolution counter, the current directory
// and the system cursor: the few operating-system services the game's shell uses.
#pragma once
#include <cstdint>

using DWORD = uint32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using HRESULT = int32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using HINSTANCE = void*;

struct PlatformWindow;
using HWND = PlatformWindow*;
using WNDPROC = LRESULT (*)(HWND window, unsigned message, WPARAM wParam, LPARAM lParam);

struct RECT {
    LONG left, top, right, bottom;
};

struct MSG {
    HWND hwnd;
    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
};

constexpr unsigned WM_ACTIVATE = 0x0006;
constexpr unsigned WM_PAINT = 0x000F;
constexpr unsigned WM_CLOSE = 0x0010;
constexpr unsigned WM_QUIT = 0x0012;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SW_SHOW = 5;
constexpr unsigned PM_REMOVE = 1;

inline unsigned LOWORD(WPARAM w) { return unsigned(w & 0xFFFF); }

// Registers the window class and creates the one top-level window, not yet visible.
HWND CreateMainWindow(const char* title, int x, int y, int width, int height, WNDPROC proc);
// The window's rectangle on the screen, as it was created.
bool GetWindowRect(HWND window, RECT* rect);
// Shows the window; as on the original system, showing it activates it.
bool ShowWindow(HWND window, int command);
int GetSystemMetrics(int index);

// One message from the queue, if there is one. Host events (focus, close requests)
// are turned into messages here.
bool PeekMessageA(MSG* msg, HWND window, unsigned filterMin, unsigned filterMax, unsigned remove);
bool TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
LRESULT DefWindowProcA(HWND window, unsigned message, WPARAM wParam, LPARAM lParam);
bool PostMessageA(HWND window, unsigned message, WPARAM wParam, LPARAM lParam);

int ShowCursor(bool show);
// The desktop pointer stands over the game's picture: not outside the window, not
// over the black bars of full screen.
bool CursorOverPicture();

bool QueryPerformanceFrequency(int64_t* frequency);
bool QueryPerformanceCounter(int64_t* count);
// Rests until the counter reads at least `deadline`; never returns before it.
void SleepUntilCounter(int64_t deadline);
// Rests until a message is waiting (already queued or a new host event) or
// `timeoutMs` milliseconds have passed.
void WaitMessageTimeout(DWORD timeoutMs);

// Length of the path written, 0 on failure (as the original: the path does not fit).
DWORD GetCurrentDirectoryA(DWORD length, char* buffer);
bool SetCurrentDirectoryA(const char* path);

constexpr unsigned MB_OK = 0x0000;
constexpr unsigned MB_ICONERROR = 0x0010;
// A message on the desktop for a player who may have no terminal, waiting for OK.
// Without a desktop to show it on it shows nothing and returns 0 at once.
int MessageBoxA(HWND window, const char* text, const char* caption, unsigned type);

// Opens a web address in the user's browser. A plain file name is a file of the
// current (start) directory, opened by its file URL; a missing file opens nothing.
void ShellExecuteOpen(const char* address);
