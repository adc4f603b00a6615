// The SDL host under SDL's dummy video driver (a 1024 x 768 display), driven by
// events pushed as a desktop would send them, read through the game's own input
// and window code.
#include "platform/sdl/sdl_host.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/valimo.h"
#include "gfx/display.h"
#include "input/input.h"
#include "platform/faults.h"
#include "platform/host.h"
#include "platform/sdl/sdl_present.h"
#include "test_support.h"

namespace {

std::vector<std::pair<unsigned, WPARAM>> received;

LRESULT Record(HWND, unsigned message, WPARAM wParam, LPARAM) {
    received.emplace_back(message, wParam);
    return 0;
}

// An event of the game's window, its fields set by `fill`.
void Push(Uint32 type, const std::function<void(SDL_Event&)>& fill = [](SDL_Event&) {}) {
    SDL_Event e{};
    e.type = type;
    fill(e);
    e.window.windowID = SDL_GetWindowID(SdlWindow());  // the same field in every window-bound event
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

void WindowEvent(SDL_WindowEventID what) {
    Push(SDL_WINDOWEVENT, [&](SDL_Event& e) { e.window.event = Uint8(what); });
}

void Key(SDL_Scancode key, bool down, Uint16 mod = KMOD_NONE, bool repeat = false) {
    Push(down ? SDL_KEYDOWN : SDL_KEYUP, [&](SDL_Event& e) {
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat;
        e.key.keysym.scancode = key;
        e.key.keysym.mod = mod;
    });
}

void AltEnter() {
    Key(SDL_SCANCODE_LALT, true, KMOD_LALT);
    Key(SDL_SCANCODE_RETURN, true, KMOD_LALT);
    Key(SDL_SCANCODE_RETURN, false, KMOD_LALT);
    Key(SDL_SCANCODE_LALT, false);
}

void Motion(int x, int y, int xrel, int yrel) {
    Push(SDL_MOUSEMOTION, [&](SDL_Event& e) {
        e.motion.x = x;
        e.motion.y = y;
        e.motion.xrel = xrel;
        e.motion.yrel = yrel;
    });
}

// The frame loop's message handling, then its input read.
void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}
void PumpAndRead() {
    Pump();
    ReadInput();
}

// Keys and the button the game reads as held.
int Held() {
    const auto keys = std::count_if(std::begin(keyState), std::end(keyState), [](uint8_t k) { return k; });
    return int(keys) + (mouseButton != 0);
}

std::pair<int, int> Pointer() { return {mouseX, mouseY}; }
std::pair<int, int> MovedTo(int x, int y, int xrel, int yrel) {
    Motion(x, y, xrel, yrel);
    PumpAndRead();
    return Pointer();
}

std::vector<int> Area(const ScreenArea& a) { return {a.x, a.y, a.w, a.h}; }

std::vector<int> WindowSizeAndPlace() {
    int w, h, x, y;
    SDL_GetWindowSize(SdlWindow(), &w, &h);
    SDL_GetWindowPosition(SdlWindow(), &x, &y);
    return {w, h, x, y};
}

class SdlHost : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        MakeScratchDirectory();
    }
    void TearDown() override {
        ClearFaults();
        SdlCloseWindow();
    }
    // As the game starts: the window, the input devices, then the window shown.
    void Open(bool withInput = true) {
        mainWindow = CreateMainWindow("Valimo", 0, 0, 640, 480, Record);
        ASSERT_TRUE(SdlWindow()) << SDL_GetError();
        if (withInput) InitInput(mainWindow, nullptr);
        ShowWindow(mainWindow, SW_SHOW);
        Pump();
        received.clear();
    }
};

TEST_F(SdlHost, FocusAndClosingBecomeWindowMessagesAndFocusLossLetsGoOfKeysAndTheDisplay) {
    Open();
    EXPECT_EQ(SdlIconWidth(), 0) << "no icon.bmp, no icon";
    InitDirectDraw(nullptr, 640, 480, 16);
    Key(SDL_SCANCODE_A, true);
    Key(SDL_SCANCODE_LSHIFT, true, KMOD_LSHIFT);
    Push(SDL_MOUSEBUTTONDOWN, [](SDL_Event& e) { e.button.button = SDL_BUTTON_LEFT; });
    PumpAndRead();
    EXPECT_EQ(Held(), 3);
    WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PumpAndRead();
    EXPECT_EQ(Held(), 0);
    EXPECT_EQ(backBuffer->IsLost(), DDERR_SURFACELOST) << "full screen lost the display";
    backBuffer->Restore();
    // Back again, no release ever seen: nothing stuck down, and new presses count.
    WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    PumpAndRead();
    EXPECT_EQ(Held(), 0);
    Key(SDL_SCANCODE_B, true);
    WindowEvent(SDL_WINDOWEVENT_CLOSE);
    Push(SDL_QUIT);
    PumpAndRead();
    EXPECT_EQ(Held(), 1);
    const std::vector<std::pair<unsigned, WPARAM>> expected = {
        {WM_ACTIVATE, 0}, {WM_ACTIVATE, 1}, {WM_CLOSE, 0}, {WM_QUIT, 0}};
    EXPECT_EQ(received, expected);
    AltEnter();
    WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Pump();
    ASSERT_TRUE(SdlWindowed());
    EXPECT_EQ(backBuffer->IsLost(), DD_OK) << "a window keeps its pictures";
}

TEST_F(SdlHost, AltEnterSwitchesToAFittedWindowAndNeverReachesTheKeyboardState) {
    Open();
    Key(SDL_SCANCODE_LALT, true, KMOD_LALT);
    Key(SDL_SCANCODE_RETURN, true, KMOD_LALT);
    PumpAndRead();
    EXPECT_TRUE(SdlWindowed());
    EXPECT_EQ(keyState[DIK_LMENU], 0x80);
    EXPECT_EQ(keyState[DIK_RETURN], 0) << "not even as a press between two reads";
    Key(SDL_SCANCODE_RETURN, true, KMOD_LALT, true);  // held, it repeats
    PumpAndRead();
    EXPECT_TRUE(SdlWindowed()) << "a repeat switched back";
    EXPECT_EQ(keyState[DIK_RETURN], 0);
    Key(SDL_SCANCODE_RETURN, false, KMOD_LALT);
    Key(SDL_SCANCODE_LALT, false);
    PumpAndRead();
    EXPECT_EQ(Held(), 0);
    EXPECT_EQ(WindowSizeAndPlace(), std::vector<int>({640, 480, 192, 144}));

    // Return alone, held or tapped between two reads, and Alt+Tab are the game's.
    Key(SDL_SCANCODE_RETURN, true);
    PumpAndRead();
    EXPECT_EQ(keyState[DIK_RETURN], 0x80);
    Key(SDL_SCANCODE_RETURN, false);
    Key(SDL_SCANCODE_RETURN, true);
    Key(SDL_SCANCODE_RETURN, false);
    PumpAndRead();
    EXPECT_EQ(keyState[DIK_RETURN], 0x80);
    Key(SDL_SCANCODE_LALT, true, KMOD_LALT);
    Key(SDL_SCANCODE_TAB, true, KMOD_LALT);
    PumpAndRead();
    EXPECT_EQ(keyState[DIK_LMENU] & keyState[DIK_TAB], 0x80);
    EXPECT_TRUE(SdlWindowed());
    // With Alt still held, keypad Enter switches back, hidden as well.
    Key(SDL_SCANCODE_KP_ENTER, true, KMOD_LALT);
    PumpAndRead();
    EXPECT_FALSE(SdlWindowed());
    EXPECT_EQ(keyState[0x9C], 0);
}

std::vector<int> MouseRect() {
    const SDL_Rect* r = SDL_GetWindowMouseRect(SdlWindow());
    return r ? std::vector<int>{r->x, r->y, r->w, r->h} : std::vector<int>{};
}

bool DesktopArrowShown() { return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }

void Touch(int x, int y) {
    Push(SDL_MOUSEMOTION, [&](SDL_Event& e) {
        e.motion.which = SDL_TOUCH_MOUSEID;
        e.motion.x = x;
        e.motion.y = y;
    });
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP})
        Push(type, [&](SDL_Event& e) {
            e.button.which = SDL_TOUCH_MOUSEID;
            e.button.button = SDL_BUTTON_LEFT;
            e.button.x = x;
            e.button.y = y;
        });
}

// Absolute moves (a tablet, a touchscreen, a remote desktop) carry no relative
// motion: the game's pointer still goes where the desktop pointer is.
TEST_F(SdlHost, ThePointerStandsWhereTheDesktopPointerIsInFullScreenAndInAWindow) {
    HostShowCursor(false);  // as the game does before its window exists
    Open();
    EXPECT_FALSE(SDL_GetRelativeMouseMode());
    EXPECT_FALSE(DesktopArrowShown()) << "one arrow: the game's";
    EXPECT_EQ(MouseRect(), std::vector<int>({0, 0, 1024, 768})) << "full screen keeps the pointer on the picture";
    ReadInput();
    ReadInput();
    EXPECT_EQ(Pointer(), std::pair(320, 240)) << "not yet seen: the middle";
    EXPECT_EQ(MovedTo(512, 384, 0, 0), std::pair(320, 240));
    EXPECT_EQ(MovedTo(1023, 767, 0, 0), std::pair(639, 479));
    EXPECT_EQ(MovedTo(5, 5, 0, 0), std::pair(3, 3));
    // A tap: the pointer jumps there, and the press counts as a click.
    Touch(800, 600);
    PumpAndRead();
    EXPECT_EQ(Pointer(), std::pair(500, 375));
    EXPECT_TRUE(mouseClick);

    AltEnter();
    PumpAndRead();
    EXPECT_TRUE(MouseRect().empty()) << "a window lets the desktop pointer go";
    EXPECT_EQ(Pointer(), std::pair(500, 375)) << "no jump before the desktop pointer is seen";
    EXPECT_EQ(MovedTo(100, 50, 0, 0), std::pair(100, 50)) << "it enters the 640 x 480 window here";
    SDL_SetWindowSize(SdlWindow(), 1280, 960);
    EXPECT_EQ(MovedTo(201, 101, 0, 0), std::pair(100, 50)) << "twice the size: still picture pixels";
    EXPECT_EQ(MovedTo(-40, 2000, 0, 0), std::pair(0, 480)) << "dragged out of the window";
    SDL_SetWindowSize(SdlWindow(), 1000, 600);
    EXPECT_EQ(MovedTo(50, 300, 0, 0), std::pair(0, 240)) << "over the bar beside the picture";
    EXPECT_TRUE(DesktopArrowShown()) << "the desktop's arrow over the bar";
    EXPECT_EQ(MovedTo(500, 300, 0, 0), std::pair(320, 240));
    EXPECT_FALSE(DesktopArrowShown()) << "and the game's alone over the picture";

    AltEnter();
    Pump();
    EXPECT_EQ(MouseRect(), std::vector<int>({0, 0, 1024, 768}));
    EXPECT_EQ(MovedTo(1000, 10, 0, 0), std::pair(625, 6));
    EXPECT_FALSE(DesktopArrowShown());
}

TEST_F(SdlHost, RefusedFullScreenFallsBackToAFittedWindowWithOneLine) {
    // The icon comes from icon.bmp of the start directory.
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, 64, 48, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(icon, nullptr, 0x80C08040);
    ASSERT_EQ(SDL_SaveBMP(icon, "icon.bmp"), 0);
    SDL_FreeSurface(icon);
    InjectFault("SDL_SetWindowFullscreen", 1);
    testing::internal::CaptureStderr();
    Open();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::pair(SdlIconWidth(), SdlIconHeight()), std::pair(64, 48));
    EXPECT_TRUE(SdlWindowed());
    EXPECT_EQ(WindowSizeAndPlace(), std::vector<int>({640, 480, 192, 144}));
    EXPECT_EQ(said.rfind("valimo: full screen was refused", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    // Refused again on Alt+Enter: still a window; the next one works.
    InjectFault("SDL_SetWindowFullscreen", 1);
    AltEnter();
    Pump();
    EXPECT_TRUE(SdlWindowed());
    AltEnter();
    Pump();
    EXPECT_FALSE(SdlWindowed());
}

// A controller of SDL's own making, driven as a real one would be.
void PadButton(SDL_Joystick* pad, SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(pad, button, down ? SDL_PRESSED : SDL_RELEASED);
    PumpAndRead();
}

TEST_F(SdlHost, AControllerMovesThePointerClicksEscapesSwitchesFullScreenAndComesAndGoesInALine) {
    // The dummy display gives no window the focus, which SDL waits for before it tells of controllers.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    Open();
    PumpAndRead();
    PumpAndRead();
    testing::internal::CaptureStderr();
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* pad = SDL_JoystickOpen(index);
    ASSERT_TRUE(pad) << SDL_GetError();
    PumpAndRead();
    const std::pair<int, int> start = Pointer();

    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 32767);
    for (int i = 0; i < 10; i++) PumpAndRead();
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0);
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, -32768);
    for (int i = 0; i < 5; i++) PumpAndRead();
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 0);
    PumpAndRead();
    const std::pair<int, int> moved = Pointer();
    EXPECT_GT(moved.first, start.first + 40);
    EXPECT_LT(moved.second, start.second - 20);
    PumpAndRead();
    EXPECT_EQ(Pointer(), moved) << "a stick let go stands still";

    PadButton(pad, SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_TRUE(mouseClick);
    PadButton(pad, SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_EQ(Held(), 0);
    PadButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    PadButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    EXPECT_EQ(Pointer(), std::pair(moved.first + 4, moved.second));
    for (SDL_GameControllerButton b : {SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_START}) {
        PadButton(pad, b, true);
        EXPECT_NE(keyState[DIK_ESCAPE], 0);
        EXPECT_EQ(Held(), 1);
        PadButton(pad, b, false);
        EXPECT_EQ(Held(), 0);
    }
    const bool windowedBefore = SdlWindowed();
    PadButton(pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    PadButton(pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, false);
    EXPECT_NE(SdlWindowed(), windowedBefore) << "the right shoulder is Alt+Enter";
    EXPECT_EQ(Held(), 0);

    SDL_JoystickClose(pad);
    SDL_JoystickDetachVirtual(index);
    PumpAndRead();
    // One with no mapping SDL knows is left alone.
    const int unknown = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 1, 1, 0);
    ASSERT_GE(unknown, 0) << SDL_GetError();
    PumpAndRead();
    SDL_JoystickDetachVirtual(unknown);
    PumpAndRead();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("valimo: controller connected: "), std::string::npos) << said;
    EXPECT_NE(said.find("valimo: controller removed\n"), std::string::npos) << said;
    EXPECT_NE(said.find("valimo: a controller SDL has no mapping for is ignored: "), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 3) << said;
}

struct Shown {
    int w = 0, h = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(w) + size_t(x)] & 0xFFFFFF; }
    // Pixels of row y that are neither the red nor the blue of HalvesFrame, nor black.
    int Mixed(int y) const {
        int n = 0;
        for (int x = 0; x < w; x++) n += At(x, y) != 0xFF0000 && At(x, y) != 0x0000FF && At(x, y) != 0;
        return n;
    }
};

Shown ReadShown() {
    Shown s;
    SDL_GetRendererOutputSize(SdlRenderer(), &s.w, &s.h);
    s.pixels.resize(size_t(s.w) * size_t(s.h));
    EXPECT_EQ(SDL_RenderReadPixels(SdlRenderer(), nullptr, SDL_PIXELFORMAT_RGB888, s.pixels.data(), s.w * 4), 0);
    return s;
}

Shown ShowFrame(const std::vector<uint16_t>& frame) {
    HostPresent(frame.data(), 640, 640, 480, 16);
    return ReadShown();
}

// Red on the left half, blue on the right.
std::vector<uint16_t> HalvesFrame() {
    std::vector<uint16_t> frame(640 * 480);
    for (size_t i = 0; i < frame.size(); i++) frame[i] = i % 640 < 320 ? 0xF800 : 0x001F;
    return frame;
}

TEST_F(SdlHost, PictureFillsTheLargest43AreaSharplyOrWithoutATargetTextureByNearest) {
    Open(false);
    EXPECT_EQ(PresenterPath(), PRESENT_ON_PROCESSOR) << "the dummy driver renders in software";
    Shown s = ShowFrame(HalvesFrame());  // full screen: all 1024 x 768 of it, 1.6 times
    ASSERT_EQ(std::pair(s.w, s.h), std::pair(1024, 768));
    for (int y : {0, 767}) {
        EXPECT_LE(s.Mixed(y), 1) << "one pixel at most mixes the halves";
        EXPECT_EQ(std::vector<uint32_t>({s.At(0, y), s.At(510, y), s.At(513, y), s.At(1023, y)}),
                  std::vector<uint32_t>({0xFF0000, 0xFF0000, 0x0000FF, 0x0000FF}));
    }
    AltEnter();
    Pump();
    SDL_SetWindowSize(SdlWindow(), 1000, 600);  // a wide window: 4:3 in the middle
    s = ShowFrame(HalvesFrame());
    ASSERT_EQ(s.w, 1000);
    EXPECT_EQ(std::vector<uint32_t>({s.At(99, 599), s.At(100, 599), s.At(899, 599), s.At(900, 599)}),
              std::vector<uint32_t>({0, 0xFF0000, 0x0000FF, 0}));

    PresenterForcePath(PRESENT_ON_CARD);
    InjectFault("SDL_CreateTexture(target)", 1);
    testing::internal::CaptureStderr();
    s = ShowFrame(HalvesFrame());
    ShowFrame(HalvesFrame());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("valimo: the renderer cannot make a target texture", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "one line, not one per frame";
    EXPECT_EQ(PresenterPath(), PRESENT_NEAREST);
    EXPECT_EQ(s.Mixed(599), 0) << "the whole picture by nearest pixel";
    EXPECT_EQ(std::vector<uint32_t>({s.At(99, 599), s.At(100, 599), s.At(899, 599), s.At(900, 599)}),
              std::vector<uint32_t>({0, 0xFF0000, 0x0000FF, 0}));
}

// Nearest pixel into a whole-factor target and linear down, as a graphics card
// does it, gives the picture our own scaler gives.
TEST_F(SdlHost, CardPathDrawsWhatTheProcessorPathDraws) {
    Open(false);
    std::vector<uint16_t> frame(640 * 480);
    uint32_t seed = 1;
    for (auto& p : frame) p = uint16_t((seed = seed * 1103515245 + 12345) >> 8);
    AltEnter();
    Pump();
    for (const auto& [w, h] : {std::pair{1366, 768}, std::pair{1920, 1080}}) {
        SDL_SetWindowSize(SdlWindow(), w, h);
        PresenterForcePath(PRESENT_ON_PROCESSOR);
        const Shown processor = ShowFrame(frame);
        PresenterForcePath(PRESENT_ON_CARD);
        const Shown card = ShowFrame(frame);
        int worst = 0;
        for (size_t i = 0; i < card.pixels.size(); i++)
            for (int shift : {16, 8, 0})
                worst = std::max(
                    worst, std::abs(int((card.pixels[i] >> shift) & 255) - int((processor.pixels[i] >> shift) & 255)));
        // SDL places its samples in coarser fixed point: on noise that is a few steps.
        EXPECT_LE(worst, 8) << w << "x" << h;
    }
}

// A mark put on the screen stays until a frame is drawn over it: the same frame
// again draws nothing, a change only near itself, an expose or a new size all of it.
TEST_F(SdlHost, AStillFrameSendsNothingAChangeItsRectangleAndAnExposeTheWhole) {
    Open(false);
    std::vector<uint16_t> frame = HalvesFrame();
    Shown s = ShowFrame(frame);
    ASSERT_TRUE(PresenterOnWindowSurface()) << "SDL's software renderer: straight into the window's surface";
    EXPECT_EQ(Area(PresenterLastSent()), std::vector<int>({0, 0, 1024, 768}));
    const auto mark = [] {
        SDL_Surface* surface = SDL_GetWindowSurface(SdlWindow());
        static_cast<uint32_t*>(surface->pixels)[size_t(10) * size_t(surface->pitch / 4) + 10] = 0x123456;
    };
    mark();
    EXPECT_EQ(ShowFrame(frame).At(10, 10), 0x123456u) << "the same frame: nothing drawn";

    frame[240 * 640 + 320] = 0x07E0;  // one pixel, at 512, 384 of the screen
    s = ShowFrame(frame);
    EXPECT_EQ(s.At(10, 10), 0x123456u) << "far from the change";
    const ScreenArea sent = PresenterLastSent();
    EXPECT_TRUE(sent.x <= 512 && sent.y <= 384 && sent.x + sent.w > 512 && sent.y + sent.h > 384);
    EXPECT_LE(sent.w * sent.h, 16) << "a pixel enlarged 1.6 times and its seams";

    // Uncovered: the desktop asks for the window again, and it gets the last frame whole.
    WindowEvent(SDL_WINDOWEVENT_EXPOSED);
    Pump();
    EXPECT_EQ(std::count(received.begin(), received.end(), std::pair<unsigned, WPARAM>(WM_PAINT, 0)), 1);
    DefWindowProcA(mainWindow, WM_PAINT, 0, 0);
    const Shown repainted = ReadShown();
    EXPECT_EQ(repainted.At(10, 10), 0xFF0000u);
    s.pixels[size_t(10) * 1024 + 10] = repainted.pixels[size_t(10) * 1024 + 10];
    EXPECT_TRUE(repainted.pixels == s.pixels) << "the changed rectangle drew what a whole frame draws";

    // A window of another size: the frame whole, the bars black.
    AltEnter();
    Pump();
    SDL_SetWindowSize(SdlWindow(), 1000, 600);
    mark();
    s = ShowFrame(frame);
    EXPECT_EQ(Area(PresenterLastSent()), std::vector<int>({0, 0, 1000, 600}));
    EXPECT_EQ(s.At(10, 10), 0u);
}

// The desktop's arrow over the bars, the game's over the picture, never both.
TEST_F(SdlHost, OverTheBarsAndOutsideTheWindowTheDesktopsArrowAloneShows) {
    Open();
    HostShowCursor(false);  // as the game starts: it draws its own arrow
    AltEnter();
    Pump();
    SDL_SetWindowSize(SdlWindow(), 1000, 600);  // the picture from x 100 to 899
    const auto arrows = [](int x, int y) {
        Motion(x, y, 0, 0);
        Pump();
        return std::pair(CursorOverPicture(), SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE);
    };
    EXPECT_EQ(arrows(500, 300), std::pair(true, false));
    EXPECT_EQ(arrows(950, 300), std::pair(false, true)) << "the right-hand bar";
    EXPECT_EQ(arrows(20, 590), std::pair(false, true)) << "the left-hand bar";
    EXPECT_EQ(arrows(100, 0), std::pair(true, false));
    WindowEvent(SDL_WINDOWEVENT_LEAVE);
    Pump();
    EXPECT_FALSE(CursorOverPicture()) << "gone from the window: no game arrow at its edge";
    EXPECT_EQ(arrows(300, 200), std::pair(true, false)) << "back where it enters";
}

TEST_F(SdlHost, ALostDisplayAsksToQuitOnceAndIsNeverWaitedOn) {
    Open();
    testing::internal::CaptureStderr();
    SdlLoseDisplay();
    SdlLoseDisplay();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "valimo: the display has gone away; the game ends\n");
    WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);  // never read: the connection is gone
    Pump();
    Pump();
    EXPECT_EQ(received, (std::vector<std::pair<unsigned, WPARAM>>{{WM_QUIT, 0}}));
    const int64_t before = HostCounter();
    HostWaitEvents(5000);
    EXPECT_LT(HostCounter() - before, HostCounterFrequency() / 10) << "an inactive game does not wait on it";
}

TEST_F(SdlHost, AnInactiveWaitEndsWithTheFirstEventAndKeepsIt) {
    Open();
    const int64_t before = HostCounter();
    HostWaitEvents(150);
    EXPECT_GE(HostCounter() - before, HostCounterFrequency() * 15 / 100) << "no event: the whole timeout";
    WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    const int64_t start = HostCounter();
    HostWaitEvents(5000);
    Pump();
    EXPECT_LT(HostCounter() - start, HostCounterFrequency() / 10);
    EXPECT_EQ(received, (std::vector<std::pair<unsigned, WPARAM>>{{WM_ACTIVATE, 1}}));
}

int64_t ProcessorNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

void Ignore(int) {}

// The cap's sleep, with a signal arriving every millisecond: it never wakes
// before its deadline, and the processor rests meanwhile (how late it wakes is
// the frame-loop benchmark's business).
TEST(HostSleep, SleepsToTheDeadlineThroughSignalsWithoutSpinning) {
    struct sigaction action {};
    action.sa_handler = Ignore;  // no SA_RESTART: each signal ends the sleep early
    sigaction(SIGALRM, &action, nullptr);
    const itimerval every{{0, 1000}, {0, 1000}};
    setitimer(ITIMER_REAL, &every, nullptr);
    const int64_t frequency = HostCounterFrequency();
    const int64_t cpuBefore = ProcessorNanoseconds();
    const int64_t start = HostCounter();
    for (int i = 0; i < 25; i++) {
        const int64_t deadline = HostCounter() + frequency / 50;
        HostSleepUntil(deadline);
        ASSERT_GE(HostCounter(), deadline) << "woke early";
    }
    const int64_t total = HostCounter() - start;
    const itimerval off{};
    setitimer(ITIMER_REAL, &off, nullptr);
    const double cpuShare = double(ProcessorNanoseconds() - cpuBefore) * double(frequency) / 1e9 / double(total);
    EXPECT_LT(cpuShare, 0.5) << "a spinning wait uses the processor all along";
}

TEST(SoftwareRasterisers, MesaOnTheProcessorIsToldFromACard) {
    EXPECT_EQ(SoftwareRasteriser("llvmpipe (LLVM 15.0.6, 256 bits)"), "llvmpipe (LLVM 15.0.6, 256 bits)");
    EXPECT_EQ(SoftwareRasteriser("softpipe"), "softpipe");
    EXPECT_EQ(SoftwareRasteriser("Mesa X11 Software Rasterizer"), "Mesa X11 Software Rasterizer");
    EXPECT_EQ(SoftwareRasteriser("swrast"), "swrast");
    EXPECT_EQ(SoftwareRasteriser("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)"), "");
    EXPECT_EQ(SoftwareRasteriser("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"), "");
    EXPECT_EQ(SoftwareRasteriser(""), "");
    EXPECT_EQ(SoftwareRasteriser(nullptr), "");
}

TEST(VideoDrivers, OffscreenAndDummyOnlyWhenAsked) {
    const std::vector<std::string> all = {"x11", "wayland", "KMSDRM", "offscreen", "dummy", "evdev"};
    EXPECT_EQ(VideoDriversToTry(nullptr, all, true), (std::vector<std::string>{"x11", "wayland", "KMSDRM"}));
    EXPECT_EQ(VideoDriversToTry("", all, false), (std::vector<std::string>{"x11", "KMSDRM"}));
    EXPECT_EQ(VideoDriversToTry("dummy", all, false), (std::vector<std::string>{"dummy"}));
}

}  // namespace
