// The window and its message queue, shared by both hosts.
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <deque>
#include <string>

#include "platform/faults.h"
#include "platform/host.h"
#include "platform/journal.h"
#include "platform/win.h"

struct PlatformWindow {
    WNDPROC proc;
    RECT rect;
};

namespace {

PlatformWindow theWindow;
bool windowCreated = false;
std::deque<MSG> queue;
int cursorCount = 0;

}  // namespace

HWND CreateMainWindow(const char* title, int x, int y, int width, int height, WNDPROC proc) {
    theWindow.proc = proc;
    theWindow.rect = RECT{x, y, x + width, y + height};
    windowCreated = true;
    HostCreateWindow(title, width, height);
    return &theWindow;
}

bool GetWindowRect(HWND window, RECT* rect) {
    if (!window || !rect) return false;
    *rect = window->rect;
    return true;
}

bool ShowWindow(HWND window, int command) {
    if (!window) return false;
    HostShowWindow();
    // Showing activates the window, also with a host that reports no focus events.
    // The activation is sent, not posted: the window procedure has seen it before
    // ShowWindow returns, as the caller's start-up relies on.
    if (window->proc) window->proc(window, WM_ACTIVATE, 1, 0);
    return true;
}

int GetSystemMetrics(int index) {
    int w = 0, h = 0;
    HostScreenSize(&w, &h);
    return JournalScreenMetric(index, index == SM_CXSCREEN ? w : index == SM_CYSCREEN ? h : 0);
}

void PostHostMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
    // One repaint waiting is enough, as the desktop's own paint message comes once.
    if (message == WM_PAINT)
        for (const MSG& waiting : queue)
            if (waiting.message == WM_PAINT) return;
    queue.push_back({windowCreated ? &theWindow : nullptr, message, wParam, lParam});
}

bool PostMessageA(HWND window, unsigned message, WPARAM wParam, LPARAM lParam) {
    queue.push_back({window, message, wParam, lParam});
    return true;
}

bool PeekMessageA(MSG* msg, HWND window, unsigned filterMin, unsigned filterMax, unsigned remove) {
    HostPumpEvents();
    if (JournalReplaying()) {
        // Only the recording's messages reach the game; its own posts are in it too.
        bool quit = false;
        for (const MSG& waiting : queue) quit = quit || waiting.message == WM_QUIT;
        queue.clear();
        *msg = MSG{windowCreated ? &theWindow : nullptr, WM_QUIT, 0, 0};
        return JournalPeekMessage(msg, quit);
    }
    if (queue.empty()) return JournalPeekMessage(msg, false);
    *msg = queue.front();
    if (remove & PM_REMOVE) queue.pop_front();
    return JournalPeekMessage(msg, true);
}

bool TranslateMessage(const MSG* msg) { return false; }

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg->hwnd && msg->hwnd->proc) return msg->hwnd->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    return 0;
}

LRESULT DefWindowProcA(HWND window, unsigned message, WPARAM wParam, LPARAM lParam) {
    // The desktop's repaint: what the screen showed, shown again.
    if (message == WM_PAINT) HostRepaint();
    return 0;
}

int ShowCursor(bool show) {
    cursorCount += show ? 1 : -1;
    HostShowCursor(cursorCount >= 0);
    return cursorCount;
}

bool CursorOverPicture() { return JournalOverPicture(HostCursorOverPicture()); }

bool QueryPerformanceFrequency(int64_t* frequency) {
    *frequency = JournalFrequency(HostCounterFrequency());
    return *frequency != 0;
}

bool QueryPerformanceCounter(int64_t* count) {
    *count = JournalCounter(HostCounter());
    return true;
}

void SleepUntilCounter(int64_t deadline) {
    // A replay rests to the recorded pace in a window, not at all without one.
    if (JournalReplaying()) return JournalSleepUntil(deadline);
    HostSleepUntil(deadline);
}

void WaitMessageTimeout(DWORD timeoutMs) {
    if (!queue.empty() || JournalReplaying()) return;
    HostWaitEvents(int(timeoutMs > 0x7FFFFFFF ? 0x7FFFFFFF : timeoutMs));
}

DWORD GetCurrentDirectoryA(DWORD length, char* buffer) {
    if (!buffer || length == 0) return 0;
    if (!getcwd(buffer, length)) {
        buffer[0] = '\0';
        return 0;
    }
    return DWORD(std::strlen(buffer));
}

bool SetCurrentDirectoryA(const char* path) { return path && path[0] && chdir(path) == 0; }

namespace {

// "scheme:" as web addresses begin (http:, https:, file:, mailto:).
bool HasScheme(const char* address) {
    if (!std::isalpha(static_cast<unsigned char>(address[0]))) return false;
    for (const char* p = address + 1; *p; p++) {
        if (*p == ':') return true;
        if (!std::isalnum(static_cast<unsigned char>(*p)) && *p != '+' && *p != '-' && *p != '.') return false;
    }
    return false;
}

std::string FileUrl(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            url += char(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}

}  // namespace

int MessageBoxA(HWND window, const char* text, const char* caption, unsigned type) {
    (void)window;
    // A replay tells its watcher nothing the recorded player was told.
    if (JournalReplaying()) return 0;
    return HostMessageBox(caption ? caption : "", text ? text : "", (type & MB_ICONERROR) != 0) ? 1 : 0;
}

// Changed on purpose: pages (docs/BEHAVIOUR.md).
void ShellExecuteOpen(const char* address) {
    if (!address || !address[0] || JournalReplaying()) return;
    if (HasScheme(address)) {
        HostOpenUrl(address);
        return;
    }
    std::string path = address;
    if (path[0] != '/') {
        char directory[4096];
        if (!getcwd(directory, sizeof directory)) return;
        path = std::string(directory) + (directory[1] ? "/" : "") + path;
    }
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
    HostOpenUrl(FileUrl(path).c_str());
}
