#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/frame_change.h"
#include "platform/headless/headless.h"
#include "platform/host.h"
#include "platform/png.h"

namespace {

DWORD formatBits = 16, formatRed = 0xF800, formatGreen = 0x07E0, formatBlue = 0x001F;
bool noDisplay = false;
int screenWidth = 1920, screenHeight = 1080;
bool windowCreated = false;
bool windowShown = false;
bool cursorShown = true;
bool cursorOverPicture = true;
int64_t counterFrequency = 1000000;
int64_t counterStep = 1000;
int64_t counterValue = 0;
int64_t counterReads = 0;
int64_t asleepTicks = 0;
int sleeps = 0;
int eventWaits = 0;
int64_t eventWaitMs = 0;
std::function<void()> pumpHook;
std::vector<uint16_t> lastFrame;
int lastFrameMode = 16;
int framesPresented = 0;
int framesDrawn = 0;
int repaints = 0;
FrameRect lastDrawn;
std::vector<std::string> openedUrls;
std::vector<std::string> messageBoxes;

}  // namespace

void HeadlessSetDisplayFormat(DWORD bitCount, DWORD redMask, DWORD greenMask, DWORD blueMask) {
    formatBits = bitCount;
    formatRed = redMask;
    formatGreen = greenMask;
    formatBlue = blueMask;
}
void HeadlessSetScreenSize(int width, int height) {
    screenWidth = width;
    screenHeight = height;
}
void HeadlessSetNoDisplay(bool none) { noDisplay = none; }
void HeadlessSetCounter(int64_t frequency, int64_t step) {
    counterFrequency = frequency;
    counterStep = step;
}
int64_t HeadlessCounterValue() { return counterValue; }
void HeadlessAdvanceCounter(int64_t ticks) { counterValue += ticks; }
int64_t HeadlessCounterReads() { return counterReads; }
int64_t HeadlessAsleepTicks() { return asleepTicks; }
int HeadlessSleeps() { return sleeps; }
int HeadlessEventWaits() { return eventWaits; }
int64_t HeadlessEventWaitMs() { return eventWaitMs; }
void HeadlessSetPumpHook(std::function<void()> hook) { pumpHook = std::move(hook); }
void HeadlessPostMessage(unsigned message, WPARAM wParam, LPARAM lParam) { PostHostMessage(message, wParam, lParam); }
void HeadlessLoseSurfaces() { LoseAllSurfaces(); }
int HeadlessFramesPresented() { return framesPresented; }
int HeadlessFramesDrawn() { return framesDrawn; }
int HeadlessRepaints() { return repaints; }
void HeadlessLastDrawnRect(int* x, int* y, int* w, int* h) {
    *x = lastDrawn.x;
    *y = lastDrawn.y;
    *w = lastDrawn.w;
    *h = lastDrawn.h;
}
void HeadlessOutputChanged() { FrameShowWhole(); }
const std::vector<uint16_t>& HeadlessLastFrame() { return lastFrame; }
int HeadlessLastFramePixelMode() { return lastFrameMode; }
uint16_t HeadlessFramePixel(int x, int y) {
    if (x < 0 || y < 0 || x >= 640 || y >= 480 || lastFrame.size() < 640 * 480) return 0;
    return lastFrame[size_t(y) * 640 + size_t(x)];
}
bool HeadlessWriteFramePng(const std::string& path) {
    if (lastFrame.size() < 640 * 480) return false;
    return WritePng(path, 640, 480, PixelsToRgb(lastFrame.data(), 640, 480, 640, lastFrameMode));
}
bool HeadlessWindowShown() { return windowShown; }
bool HeadlessCursorShown() { return cursorShown; }
void HeadlessSetCursorOverPicture(bool over) { cursorOverPicture = over; }
const std::vector<std::string>& HeadlessOpenedUrls() { return openedUrls; }
const std::vector<std::string>& HeadlessMessageBoxes() { return messageBoxes; }

// ---- the host interface ----

bool HostCreateWindow(const char* title, int width, int height) {
    windowCreated = !noDisplay;
    FrameForget();
    return windowCreated;
}
void HostShowWindow() { windowShown = true; }
bool HostHasWindow() { return windowCreated; }
void HostPumpEvents() {
    if (pumpHook) pumpHook();
}
void HostShowCursor(bool show) { cursorShown = show; }
bool HostCursorOverPicture() { return cursorOverPicture; }
void HostScreenSize(int* width, int* height) {
    *width = screenWidth;
    *height = screenHeight;
}
int64_t HostCounterFrequency() { return counterFrequency; }
int64_t HostCounter() {
    counterReads++;
    counterValue += counterStep;
    return counterValue;
}
// Sleeping passes the time it sleeps: the counter stands at the deadline on waking.
void HostSleepUntil(int64_t deadline) {
    sleeps++;
    if (counterValue >= deadline) return;
    asleepTicks += deadline - counterValue;
    counterValue = deadline;
}
// No event ever comes by itself here: the wait lasts its whole timeout.
void HostWaitEvents(int timeoutMs) {
    eventWaits++;
    if (timeoutMs <= 0) return;
    eventWaitMs += timeoutMs;
    if (counterFrequency > 0) counterValue += counterFrequency * timeoutMs / 1000;
}
void HostDisplayFormat(DWORD* bitCount, DWORD* redMask, DWORD* greenMask, DWORD* blueMask) {
    *bitCount = formatBits;
    *redMask = formatRed;
    *greenMask = formatGreen;
    *blueMask = formatBlue;
}
void HostPresent(const uint16_t* pixels, int pitchPixels, int width, int height, int pixelMode) {
    framesPresented++;
    lastFrameMode = pixelMode;
    lastFrame.resize(size_t(640) * 480);
    if (width != 640 || height != 480) {
        // Not the game's picture: shown as it is, cut or filled with black.
        FrameShowWhole();
        const int rows = std::max(0, std::min(height, 480)), columns = std::max(0, std::min(width, 640));
        std::fill(lastFrame.begin(), lastFrame.end(), uint16_t(0));
        for (int y = 0; y < rows; y++)
            std::memcpy(lastFrame.data() + size_t(y) * 640, pixels + size_t(y) * size_t(pitchPixels),
                        size_t(columns) * 2);
        lastDrawn = {0, 0, 640, 480};
        framesDrawn++;
        return;
    }
    // Changed on purpose: presenting rests (docs/BEHAVIOUR.md).
    const FrameRect r = NoteFrame(pixels, pitchPixels, pixelMode);
    if (r.w == 0 || r.h == 0) return;
    for (int y = r.y; y < r.y + r.h; y++)
        std::memcpy(lastFrame.data() + size_t(y) * 640 + size_t(r.x), pixels + size_t(y) * size_t(pitchPixels) + size_t(r.x),
                    size_t(r.w) * 2);
    lastDrawn = r;
    framesDrawn++;
}
void HostRepaint() {
    if (!ShownFrame()) return;
    repaints++;
    lastDrawn = {0, 0, 640, 480};
}
void HostOpenUrl(const char* address) { openedUrls.emplace_back(address ? address : ""); }
// Also on stderr: a box shown as the process ends is seen by a test only there.
bool HostMessageBox(const char* caption, const char* text, bool error) {
    messageBoxes.push_back(std::string(caption) + ": " + text);
    std::fprintf(stderr, "message box \"%s\": %s\n", caption, text);
    return true;
}
