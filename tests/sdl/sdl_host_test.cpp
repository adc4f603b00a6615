// The SDL host under SDL's dummy video driver, driven by events pushed as a
// desktop would send them, read through the game's own input and window code.
#include "platform/sdl/sdl_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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

void Push(SDL_Event event) {
    if (SdlWindow()) event.window.windowID = SDL_GetWindowID(SdlWindow());
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void WindowEvent(SDL_WindowEventID what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = Uint8(what);
    Push(e);
}

void Key(SDL_Scancode key, bool down, Uint16 mod = KMOD_NONE, bool repeat = false) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.scancode = key;
    e.key.keysym.sym = SDL_GetKeyFromScancode(key);
    e.key.keysym.mod = mod;
    Push(e);
}

void AltEnter(SDL_Scancode enter = SDL_SCANCODE_RETURN) {
    Key(SDL_SCANCODE_LALT, true, KMOD_LALT);
    Key(enter, true, KMOD_LALT);
    Key(enter, false, KMOD_LALT);
    Key(SDL_SCANCODE_LALT, false);
}

void Button(bool down) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    Push(e);
}

void Motion(int x, int y, int xrel, int yrel) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    e.motion.xrel = xrel;
    e.motion.yrel = yrel;
    Push(e);
}

// The frame loop's message handling: every queued message to the window.
void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

int KeysDown() {
    int n = 0;
    for (uint8_t k : keyState) n += k != 0;
    return n;
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
    // The game's start: the window, then (as ValimoInit) the input devices, then shown.
    HWND Open(bool withInput = true) {
        HWND window = CreateMainWindow("Valimo", 0, 0, 640, 480, Record);
        EXPECT_TRUE(SdlWindow()) << SDL_GetError();
        if (withInput) InitInput(window, nullptr);
        ShowWindow(window, SW_SHOW);
        Pump();
        received.clear();
        return window;
    }
};

TEST_F(SdlHost, FocusCloseAndQuitBecomeWindowMessages) {
    Open();
    InitDirectDraw(nullptr, 640, 480, 16);
    WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    WindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Push(quit);
    Pump();
    const std::vector<std::pair<unsigned, WPARAM>> expected = {
        {WM_ACTIVATE, 0}, {WM_ACTIVATE, 1}, {WM_CLOSE, 0}, {WM_QUIT, 0}};
    EXPECT_EQ(received, expected);
    // Full screen gives the display up with the focus; a window keeps its pictures.
    EXPECT_EQ(backBuffer->IsLost(), DDERR_SURFACELOST);
    backBuffer->Restore();
    primarySurface->Restore();
    AltEnter();
    WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Pump();
    ASSERT_TRUE(SdlWindowed());
    EXPECT_EQ(backBuffer->IsLost(), DD_OK);
}

TEST_F(SdlHost, HeldKeysAndTheButtonReadReleasedAfterFocusLoss) {
    Open();
    Key(SDL_SCANCODE_A, true);
    Key(SDL_SCANCODE_LSHIFT, true, KMOD_LSHIFT);
    Button(true);
    Pump();
    ReadInput();
    EXPECT_EQ(keyState[0x1E], 0x80);
    EXPECT_EQ(keyState[DIK_LSHIFT], 0x80);
    EXPECT_NE(mouseButton, 0);

    WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Pump();
    ReadInput();
    EXPECT_EQ(KeysDown(), 0);
    EXPECT_EQ(mouseButton, 0);
    // Back again, with no release ever seen: nothing is stuck down.
    WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    Pump();
    ReadInput();
    EXPECT_EQ(KeysDown(), 0);
    EXPECT_EQ(mouseButton, 0);
    // What is pressed now is read.
    Key(SDL_SCANCODE_B, true);
    Button(true);
    Pump();
    ReadInput();
    EXPECT_EQ(keyState[0x30], 0x80);
    EXPECT_EQ(KeysDown(), 1);
    EXPECT_NE(mouseButton, 0);
}

TEST_F(SdlHost, AltEnterSwitchesTheWindowAndNeverReachesTheKeyboardState) {
    Open();
    ASSERT_FALSE(SdlWindowed());
    // Alt is seen, the Return of Alt+Enter is not, not even as a press between reads.
    Key(SDL_SCANCODE_LALT, true, KMOD_LALT);
    Key(SDL_SCANCODE_RETURN, true, KMOD_LALT);
    Pump();
    ReadInput();
    EXPECT_TRUE(SdlWindowed());
    EXPECT_EQ(keyState[DIK_LMENU], 0x80);
    EXPECT_EQ(keyState[DIK_RETURN], 0);
    Key(SDL_SCANCODE_RETURN, true, KMOD_LALT, true);  // held: it repeats
    Pump();
    ReadInput();
    EXPECT_TRUE(SdlWindowed()) << "a repeat switched back";
    EXPECT_EQ(keyState[DIK_RETURN], 0);
    Key(SDL_SCANCODE_RETURN, false, KMOD_LALT);
    Key(SDL_SCANCODE_LALT, false);
    Pump();
    ReadInput();
    EXPECT_EQ(KeysDown(), 0);
    int w = 0, h = 0, x = 0, y = 0;
    SDL_GetWindowSize(SdlWindow(), &w, &h);
    SDL_GetWindowPosition(SdlWindow(), &x, &y);
    EXPECT_EQ(w, 640);  // the dummy display is 1024 x 768
    EXPECT_EQ(h, 480);
    EXPECT_EQ(x, 192);
    EXPECT_EQ(y, 144);

    // Return alone reaches the game, held or tapped between two reads.
    Key(SDL_SCANCODE_RETURN, true);
    Pump();
    ReadInput();
    EXPECT_EQ(keyState[DIK_RETURN], 0x80);
    Key(SDL_SCANCODE_RETURN, false);
    Key(SDL_SCANCODE_RETURN, true);
    Key(SDL_SCANCODE_RETURN, false);
    Pump();
    ReadInput();
    EXPECT_EQ(keyState[DIK_RETURN], 0x80);
    ReadInput();
    EXPECT_EQ(keyState[DIK_RETURN], 0);

    // Alt+Tab is the game's, as before.
    Key(SDL_SCANCODE_LALT, true, KMOD_LALT);
    Key(SDL_SCANCODE_TAB, true, KMOD_LALT);
    Pump();
    ReadInput();
    EXPECT_EQ(keyState[DIK_LMENU], 0x80);
    EXPECT_EQ(keyState[DIK_TAB], 0x80);
    Key(SDL_SCANCODE_TAB, false, KMOD_LALT);
    // With Alt still held, keypad Enter switches back and is hidden too.
    Key(SDL_SCANCODE_KP_ENTER, true, KMOD_LALT);
    Pump();
    ReadInput();
    EXPECT_FALSE(SdlWindowed());
    EXPECT_EQ(keyState[0x9C], 0);
    EXPECT_EQ(keyState[DIK_LMENU], 0x80);
}

TEST_F(SdlHost, PointerMovesInPicturePixelsAndInAWindowGoesWhereTheDesktopPointerIs) {
    Open();
    EXPECT_TRUE(SDL_GetRelativeMouseMode()) << "full screen: the mouse is the game's";
    // The first reads put the game's pointer in the middle.
    ReadInput();
    ReadInput();
    EXPECT_EQ(mouseX, 320);
    EXPECT_EQ(mouseY, 240);
    // Full screen: the mouse's own counts, whatever the scale (here 1.6).
    Motion(0, 0, 7, -3);
    Motion(0, 0, 5, 1);
    Pump();
    ReadInput();
    EXPECT_EQ(mouseX, 332);
    EXPECT_EQ(mouseY, 238);

    AltEnter();
    Pump();
    ASSERT_TRUE(SdlWindowed());
    EXPECT_FALSE(SDL_GetRelativeMouseMode()) << "a window must let the desktop pointer go";
    ReadInput();
    EXPECT_EQ(mouseX, 332) << "no jump before the desktop pointer is seen";
    // The desktop pointer enters at (100, 50) of the 640 x 480 window.
    Motion(100, 50, 0, 0);
    Pump();
    ReadInput();
    EXPECT_EQ(mouseX, 100);
    EXPECT_EQ(mouseY, 50);
    // A window twice as large: still picture pixels, under the desktop pointer.
    SDL_SetWindowSize(SdlWindow(), 1280, 960);
    Motion(201, 101, 0, 0);
    Pump();
    ReadInput();
    EXPECT_EQ(mouseX, 100);
    EXPECT_EQ(mouseY, 50);
    Motion(1279, 959, 0, 0);
    Pump();
    ReadInput();
    EXPECT_EQ(mouseX, 639);
    EXPECT_EQ(mouseY, 479);
    // Dragged beyond the window's edge (a held button keeps the events coming).
    Motion(-40, 2000, 0, 0);
    Pump();
    ReadInput();
    EXPECT_EQ(mouseX, 0);
    EXPECT_EQ(mouseY, 480);

    AltEnter();
    Pump();
    EXPECT_TRUE(SDL_GetRelativeMouseMode());
    Motion(5, 5, -10, -10);
    Pump();
    ReadInput();
    EXPECT_EQ(mouseX, 0);
    EXPECT_EQ(mouseY, 470);
}

TEST_F(SdlHost, RefusedFullScreenFallsBackToAFittedWindowWithOneLine) {
    InjectFault("SDL_SetWindowFullscreen", 1);
    testing::internal::CaptureStderr();
    Open();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(SdlWindowed());
    int w = 0, h = 0;
    SDL_GetWindowSize(SdlWindow(), &w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_EQ(said.rfind("valimo: full screen was refused", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_FALSE(SDL_GetRelativeMouseMode());

    // Refused again on Alt+Enter: still a window, still running.
    InjectFault("SDL_SetWindowFullscreen", 1);
    testing::internal::CaptureStderr();
    AltEnter();
    Pump();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("full screen was refused"), std::string::npos);
    EXPECT_TRUE(SdlWindowed());
    AltEnter();
    Pump();
    EXPECT_FALSE(SdlWindowed());
}

TEST_F(SdlHost, WindowIconIsIconBmpOfTheStartDirectory) {
    testing::internal::CaptureStderr();
    Open(false);
    EXPECT_EQ(SdlIconWidth(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a missing icon is no error";
    SdlCloseWindow();

    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, 64, 48, 32, SDL_PIXELFORMAT_ARGB8888);
    ASSERT_TRUE(icon);
    SDL_FillRect(icon, nullptr, 0x80C08040);
    ASSERT_EQ(SDL_SaveBMP(icon, "icon.bmp"), 0);
    SDL_FreeSurface(icon);
    Open(false);
    EXPECT_EQ(SdlIconWidth(), 64);
    EXPECT_EQ(SdlIconHeight(), 48);
}

// 5-6-5 frame: red on the left half, blue on the right.
std::vector<uint16_t> HalvesFrame() {
    std::vector<uint16_t> frame(640 * 480);
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) frame[size_t(y) * 640 + x] = x < 320 ? 0xF800 : 0x001F;
    return frame;
}

struct Shown {
    int w = 0, h = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(w) + size_t(x)] & 0xFFFFFF; }
};

Shown ShowFrame(const std::vector<uint16_t>& frame) {
    HostPresent(frame.data(), 640, 640, 480, 16);
    Shown s;
    SDL_GetRendererOutputSize(SdlRenderer(), &s.w, &s.h);
    s.pixels.resize(size_t(s.w) * size_t(s.h));
    EXPECT_EQ(SDL_RenderReadPixels(SdlRenderer(), nullptr, SDL_PIXELFORMAT_RGB888, s.pixels.data(), s.w * 4), 0)
        << SDL_GetError();
    return s;
}

// Pixels of the row that are neither of the two colours, and whether black shows.
int Mixed(const Shown& s, int y, int x0, int x1) {
    int n = 0;
    for (int x = x0; x < x1; x++) n += s.At(x, y) != 0xFF0000 && s.At(x, y) != 0x0000FF;
    return n;
}

TEST_F(SdlHost, PictureFillsTheLargest43AreaSharplyWithBlackAround) {
    Open(false);
    EXPECT_EQ(PresenterPath(), PRESENT_ON_PROCESSOR) << "the dummy driver renders in software";
    const std::vector<uint16_t> frame = HalvesFrame();
    // Full screen on the 1024 x 768 display: the whole output, 1.6 times.
    Shown s = ShowFrame(frame);
    ASSERT_EQ(s.w, 1024);
    ASSERT_EQ(s.h, 768);
    for (int y : {0, 383, 767}) {
        EXPECT_LE(Mixed(s, y, 0, 1024), 1) << "row " << y << ": one pixel at most mixes the halves";
        EXPECT_EQ(s.At(0, y), 0xFF0000u);
        EXPECT_EQ(s.At(510, y), 0xFF0000u);
        EXPECT_EQ(s.At(513, y), 0x0000FFu);
        EXPECT_EQ(s.At(1023, y), 0x0000FFu);
    }

    // A window of 640 x 480: the picture as it is.
    AltEnter();
    Pump();
    s = ShowFrame(frame);
    ASSERT_EQ(s.w, 640);
    EXPECT_EQ(Mixed(s, 0, 0, 640), 0);
    EXPECT_EQ(s.At(319, 479), 0xFF0000u);
    EXPECT_EQ(s.At(320, 479), 0x0000FFu);

    // A wide window: 4:3 in the middle, black beside it.
    SDL_SetWindowSize(SdlWindow(), 1000, 600);
    s = ShowFrame(frame);
    ASSERT_EQ(s.w, 1000);
    for (int y : {0, 599}) {
        EXPECT_EQ(s.At(0, y), 0u);
        EXPECT_EQ(s.At(99, y), 0u);
        EXPECT_EQ(s.At(100, y), 0xFF0000u);
        EXPECT_EQ(s.At(899, y), 0x0000FFu);
        EXPECT_EQ(s.At(900, y), 0u);
        EXPECT_EQ(s.At(999, y), 0u);
    }
}

TEST_F(SdlHost, NoTargetTextureFallsBackToNearestWithOneLine) {
    Open(false);
    PresenterForcePath(PRESENT_ON_CARD);
    InjectFault("SDL_CreateTexture(target)", 1);
    testing::internal::CaptureStderr();
    Shown s = ShowFrame(HalvesFrame());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("valimo: the renderer cannot make a target texture", 0), 0u) << said;
    EXPECT_EQ(PresenterPath(), PRESENT_NEAREST);
    // Still the whole picture, by nearest pixel: no mixed pixel at all.
    EXPECT_EQ(Mixed(s, 0, 0, 1024), 0);
    EXPECT_EQ(s.At(0, 767), 0xFF0000u);
    EXPECT_EQ(s.At(1023, 767), 0x0000FFu);
    testing::internal::CaptureStderr();
    ShowFrame(HalvesFrame());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "one line, not one per frame";
}

// Nearest pixel into a whole-factor target and linear down, as a graphics card
// does it, gives the picture our own scaler gives, within rounding.
TEST_F(SdlHost, CardPathDrawsWhatTheProcessorPathDraws) {
    Open(false);
    std::vector<uint16_t> frame(640 * 480);
    uint32_t seed = 1;
    for (auto& p : frame) {
        seed = seed * 1103515245 + 12345;
        p = uint16_t(seed >> 8);
    }
    AltEnter();
    Pump();
    for (const auto& [w, h] : {std::pair{1366, 768}, std::pair{1920, 1080}, std::pair{1280, 960}}) {
        SDL_SetWindowSize(SdlWindow(), w, h);
        PresenterForcePath(PRESENT_ON_PROCESSOR);
        const Shown processor = ShowFrame(frame);
        PresenterForcePath(PRESENT_ON_CARD);
        const Shown card = ShowFrame(frame);
        ASSERT_EQ(card.w, w);
        int worst = 0;
        for (size_t i = 0; i < card.pixels.size(); i++)
            for (int shift : {16, 8, 0})
                worst = std::max(
                    worst, std::abs(int((card.pixels[i] >> shift) & 255) - int((processor.pixels[i] >> shift) & 255)));
        // SDL places its samples in coarser fixed point: on noise that is a few steps.
        EXPECT_LE(worst, 8) << w << "x" << h;
    }
}

TEST(VideoDrivers, OffscreenAndDummyOnlyWhenAsked) {
    const std::vector<std::string> all = {"x11", "wayland", "KMSDRM", "offscreen", "dummy", "evdev"};
    EXPECT_EQ(VideoDriversToTry(nullptr, all, true), (std::vector<std::string>{"x11", "wayland", "KMSDRM"}));
    EXPECT_EQ(VideoDriversToTry("", all, false), (std::vector<std::string>{"x11", "KMSDRM"}));
    EXPECT_EQ(VideoDriversToTry("dummy", all, false), (std::vector<std::string>{"dummy"}));
    EXPECT_EQ(VideoDriversToTry("wayland,x11", all, false), (std::vector<std::string>{"wayland,x11"}));
}

}  // namespace
