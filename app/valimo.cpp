#include "app/valimo.h"

#include <cstdlib>

#include "app/game_flow.h"
#include "app/log.h"
#include "gfx/display.h"
#include "gfx/movie.h"
#include "gfx/sprite.h"
#include "gui/dialogs.h"
#include "gui/registry.h"
#include "input/input.h"
#include "profiles/profiles.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"
#include "puzzle/status.h"
#include "sound/sound.h"

HWND mainWindow = nullptr;
char startDirectory[260] = "";
bool quitRequested = false;
int windowActive = 0;
int graphicsValid = 1;
int restoreWait = 0;
int frameRateCap = 50;
int64_t counterFrequency = 0;
int64_t frameStart = 0;
int64_t fpsStart = 0;
int fpsFrameCount = 0;
float fpsValue = 0.0f;

namespace {

// The longest rest of an inactive pass; a message ends it at once.
constexpr DWORD inactiveWaitMs = 100;

}  // namespace

void WinMain() {
    WinMainStart();
    if (!quitRequested) {
        while (FrameLoopPass()) {
        }
    }
    WinMainEnd();
}

void WinMainStart() {
    WriteLog("Valimo v1.0 Log File\n\n");
    ShowCursor(false);
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - 160;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - 120;
    mainWindow = CreateMainWindow("Valimo", x, y, 640, 480, WndProc);
    GetCurrentDirectoryA(256, startDirectory);
    ValimoInit(nullptr);
    WriteLog("Entering main loop\n\n[ - ]\n\n");
    ShowWindow(mainWindow, SW_SHOW);
    InitTimer();
    // Activation while showing the window may have cleared it; no restore is due yet.
    graphicsValid = 1;
}

void WinMainEnd() {
    WriteLog("Exiting main loop\n");
    ShowCursor(true);
    Shutdown();
}

bool FrameLoopPass() {
    MarkFrameStart();
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) quitRequested = true;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (windowActive == 0) {
        // Changed on purpose: inactive wait (docs/BEHAVIOUR.md).
        // Nothing to draw until the window is back: rest until a message comes
        // rather than spin on the queue. The timeout only bounds the rest.
        WaitMessageTimeout(inactiveWaitMs);
        return !quitRequested;
    }

    ReadInput();
    GameFrame();
    FlipScreen();
    UpdateFps();

    FrameElapsed();
    double t = FrameElapsed();
    // Changed on purpose: a zero counter frequency (docs/BEHAVIOUR.md).
    // A counter without a frequency cannot pace the loop: run uncapped.
    if (counterFrequency > 0 && frameRateCap > 0) {
        int64_t period = counterFrequency / frameRateCap;
        while (double(period) > t) {
            // Changed on purpose: sleeping frame cap (docs/BEHAVIOUR.md).
            // Asleep to the end of the period, not spinning on the counter; the
            // check after waking keeps the rule that a pass never ends early.
            SleepUntilCounter(frameStart + period);
            t = FrameElapsed();
            if (frameRateCap <= 0) break;
            period = counterFrequency / frameRateCap;
        }
    }
    return !quitRequested;
}

LRESULT WndProc(HWND window, unsigned message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) != 0) {
            if (windowActive != 0) return 0;
            WriteLog("Window is Maximized\n");
            windowActive = 1;
            restoreWait = 0;
            graphicsValid = 0;
        } else if (windowActive == 1) {
            windowActive = 0;
            WriteLog("Window is Minimized\n");
        }
        return 0;
    // Changed on purpose: repaint when uncovered (docs/BEHAVIOUR.md).
    case WM_PAINT:
        // The last frame shown again, no game frame run; not while the pictures
        // wait to be restored.
        if (graphicsValid == 0) return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    // Kept on purpose: close only in play (docs/BEHAVIOUR.md).
    case WM_CLOSE:
        // A close request never destroys the window; in play it asks whether to quit.
        if (GameState == GS_PLAYING) GameState = GS_QUIT_GAME;
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void ValimoInit(HINSTANCE instance) {
    WriteLog("ValimoInit()\n");
    InitDirectDraw(instance, 640, 480, 16);
    InitInput(mainWindow, instance);
    InitDirectSound();
    PreparePixelMode();
    InitGame();
}

void PreparePixelMode() {
    WriteLog("Preparing to initialize MSS\n");
    if (PixelMode == 15) {
        // GUI colours and the item label fill take their 5-5-5 values; movie drawer 555.
        guiColorBody = 0x3E3E;
        guiColorTitle = 0x000B;
        guiColorStrip = 0x4E98;
        guiColorButton = 0x5F1C;
        itemLabelColour = 0x7FA7;
        movieFrameDrawer = DrawMovieFrame555;
    } else if (PixelMode == 16) {
        // Movie drawer 565; the colours keep their start values.
        movieFrameDrawer = DrawMovieFrame565;
    }
    GuiInit();
}

void InitGame() {
    drawDib = DrawDibOpen();
    WriteLog("Loading static sprites\n");
    LoadStaticSprites();
    LoadProfiles();
    gameLevel.itemCount = 0;
    gameLevel.itemsLoaded = false;
    carrying = false;
    carriedItem = 0;
    packedPercent = 0.0f;
    movieFrame = 0;
    GameState = GS_INTRO;
    ResetStatusDisplay();
    BuildGridTemplate();
    LoadLevelList();
    LoadSoundEffects();
    OpenMovie("intro.avi");
    pointerVisible = false;
    frameRateCap = 30;
}

namespace {

// Changed on purpose: a failed save is told (docs/BEHAVIOUR.md).
// The player who started the game from a menu has no terminal: the box, once the
// window is gone, is what tells them; the status tells a script.
[[noreturn]] void EndProgram() {
    if (!unsavedWorkReport[0]) std::exit(0);
    MessageBoxA(nullptr, unsavedWorkReport, "Valimo", MB_OK | MB_ICONERROR);
    std::exit(1);
}

}  // namespace

void Shutdown() {
    static bool shuttingDown = false;
    // A fatal error inside a release step must not run the releases again.
    if (shuttingDown) EndProgram();
    shuttingDown = true;
    ShutdownDirectSound();
    ReleaseInput();
    ReleaseStaticSprites();
    FreeLevel();
    FreeLevelList();
    GuiFree();
    ReleaseDirectDraw();
    EndProgram();
}

void InitTimer() {
    QueryPerformanceFrequency(&counterFrequency);
    QueryPerformanceCounter(&frameStart);
    QueryPerformanceCounter(&fpsStart);
}

void MarkFrameStart() { QueryPerformanceCounter(&frameStart); }

double FrameElapsed() {
    int64_t now = 0;
    QueryPerformanceCounter(&now);
    return double(uint32_t(uint64_t(now - frameStart)));
}

void UpdateFps() {
    fpsFrameCount++;
    if (fpsFrameCount <= 20) return;
    int64_t now = 0;
    QueryPerformanceCounter(&now);
    const double seconds = counterFrequency > 0 ? double(now - fpsStart) / double(counterFrequency) : 0.0;
    if (seconds > 0.0) fpsValue = float(fpsFrameCount / seconds);
    QueryPerformanceCounter(&fpsStart);
    fpsFrameCount = 0;
}
