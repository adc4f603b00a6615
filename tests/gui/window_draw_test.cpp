#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/valimo.h"
#include "gui/gui_test_support.h"
#include "gui/registry.h"
#include "gui/window_draw.h"
#include "input/input.h"
#include "test_support.h"

namespace {

using Sounds = std::vector<int>;

// The QUIT window stands at (30, 30); its "YES" button (value 1) at (50, 102), 70 x 20.
constexpr int kYesX = 60, kYesY = 110;

int Frame(int x, int y, bool held, bool pressedNow = false) {
    SetMouse(x, y, held, pressedNow);
    return DrawWindow("QUIT");
}

TEST(WindowClicks, ReleaseOverTheHeldButtonClicksInExactlyOneFrame) {
    StartGui();
    EXPECT_EQ(Frame(kYesX, kYesY, false), GUI_NOCLICK);
    EXPECT_EQ(Frame(kYesX, kYesY, true, true), GUI_NOCLICK);
    EXPECT_EQ(Frame(kYesX, kYesY, true), GUI_NOCLICK);
    ForgetSounds();
    EXPECT_EQ(Frame(kYesX, kYesY, false), 1);
    EXPECT_EQ(SoundsPlayed(), Sounds{0});
    EXPECT_EQ(Frame(kYesX, kYesY, false), GUI_NOCLICK);
    EXPECT_EQ(SoundsPlayed(), Sounds{0});
}

TEST(WindowClicks, OnlyWhereTheButtonWasLastDrawnHeldCounts) {
    StartGui();
    // Press on, move off, release: nothing.
    Frame(kYesX, kYesY, true, true);
    Frame(kYesX, kYesY + 40, true);
    EXPECT_EQ(Frame(kYesX, kYesY + 40, false), GUI_NOCLICK);
    EXPECT_EQ(Frame(kYesX, kYesY, false), GUI_NOCLICK);
    // Press beside, move on, release: a click.
    Frame(kYesX, kYesY - 30, true, true);
    Frame(kYesX, kYesY, true);
    EXPECT_EQ(Frame(kYesX, kYesY, false), 1);
    // The "NO" button next to it answers with its own value.
    Frame(140, kYesY, true, true);
    EXPECT_EQ(Frame(140, kYesY, false), 0);
}

TEST(WindowClicks, ADialogThatAppearsUnderAHeldButtonDoesNotFire) {
    StartGui();
    // The button was held elsewhere; the dialog is drawn for the first time on release.
    EXPECT_EQ(Frame(kYesX, kYesY, false), GUI_NOCLICK);
    EXPECT_EQ(DrawWindow("LOGOUT"), GUI_NOCLICK);
}

TEST(WindowClicks, HeldButtonShowsItsPressedPictureAndAWindowNeverOpenedIsNotDrawn) {
    StartGui();
    ClearScreen(0x0001);
    Frame(kYesX, kYesY, true, true);
    EXPECT_EQ(ScreenPixel(50 + 35, 102), SkinPixel(37, 41));
    Frame(kYesX, kYesY + 50, false);
    EXPECT_EQ(ScreenPixel(50 + 35, 102), SkinPixel(37, 17));

    AddWindow("Hidden", "HIDDEN", 100, 50);
    ClearScreen(0x0001);
    SetMouse(5, 5, true, true);
    EXPECT_EQ(DrawWindow("HIDDEN"), GUI_NOTOPEN);
    EXPECT_EQ(ScreenPixel(5, 5), 0x0001);
    EXPECT_EQ(pointerShape, 0);
}

TEST(ScreenButtons, ClickOnReleaseAndNothingForAnUndeclaredIndex) {
    StartGui();
    // "Exit": index 7 at (449, 22), 56 x 20.
    SetMouse(470, 30, true, true);
    EXPECT_EQ(DrawScreenButton(7), SCREEN_NOCLICK);
    SetMouse(470, 30, false);
    EXPECT_EQ(DrawScreenButton(7), 7);
    EXPECT_EQ(DrawScreenButton(7), SCREEN_NOCLICK);

    ClearScreen(0x0001);
    SetMouse(0, 0, false);
    EXPECT_EQ(DrawScreenButton(8), SCREEN_NOCLICK);
    EXPECT_EQ(DrawScreenButton(-1), SCREEN_NOCLICK);
    EXPECT_EQ(DrawScreenButton(1 << 20), SCREEN_NOCLICK);
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 640; x += 7) ASSERT_EQ(ScreenPixel(x, y), 0x0001);
}

// ADDNEWID stands at (220, 165); its 120-pixel text box at (265, 235).
class Typing : public testing::Test {
protected:
    void SetUp() override {
        StartGui();
        slot = FindWindowId("ADDNEWID");
        SetKeys({});
        Draw(270, 240, true, true);  // focus the box
        Draw(270, 240, false);
        ForgetSounds();
    }
    int Draw(int x, int y, bool held, bool pressedNow = false) {
        SetMouse(x, y, held, pressedNow);
        return DrawWindow("ADDNEWID");
    }
    // One frame with these keys down, the mouse resting outside the window.
    void Keys(std::initializer_list<int> codes) {
        SetKeys(codes);
        Draw(600, 20, false);
    }
    void Type(int code) {
        Keys({code});
        Keys({});
    }
    GuiTextBox& Box() { return windows[slot].textBoxes[0]; }
    std::string Text() { return Box().text; }
    int slot = 0;
};

constexpr int A = 30, B = 48, SPACE = 57, BACK = 14, ENTER = 28, LSHIFT = 42, F2 = 60, UP = 200, KEYPAD_7 = 71;

TEST_F(Typing, KeysOneAfterTheOtherTypeAndTwoAtOnceTypeNothing) {
    Type(A);
    Type(B);
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(Box().length, 2);
    Keys({A, B});
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(SoundsPlayed(), (Sounds{6, 7, 8, 9}));
}

TEST_F(Typing, ShiftGivesCapitalsButNoSpace) {
    Keys({LSHIFT});
    Keys({LSHIFT, A});
    EXPECT_EQ(keyState[LSHIFT], 0);  // nobody later in the frame sees Shift
    Keys({});
    Keys({LSHIFT, A});
    Keys({});
    Keys({LSHIFT});
    Keys({LSHIFT, SPACE});
    Keys({});
    Type(SPACE);
    EXPECT_EQ(Text(), "AA ");
}

TEST_F(Typing, AHeldKeyTypesOnceAndLatchesUntilEveryKeyIsUp) {
    Keys({A});
    Keys({A});
    Keys({A});
    EXPECT_EQ(Text(), "a");
    Keys({A, B});
    EXPECT_EQ(Text(), "ab");
    Keys({A});
    Keys({A, B});
    EXPECT_EQ(Text(), "ab");
    Keys({});
    Type(B);
    EXPECT_EQ(Text(), "abb");
}

TEST_F(Typing, BackspaceAndEnterWithTheirClicks) {
    Type(BACK);
    EXPECT_EQ(SoundsPlayed(), Sounds{6});
    Type(A);
    Type(B);
    ForgetSounds();
    Keys({BACK});
    Keys({BACK});
    Keys({BACK});
    EXPECT_EQ(Text(), "a");
    EXPECT_EQ(SoundsPlayed(), (Sounds{9, 6}));
    Keys({});
    ForgetSounds();
    Keys({ENTER});
    EXPECT_FALSE(Box().focused);
    EXPECT_EQ(SoundsPlayed(), (Sounds{7, 8}));
    Keys({});
    Type(B);
    EXPECT_EQ(Text(), "a");
}

TEST_F(Typing, FunctionKeysClickWithoutTypingAndHigherCodesDoNothing) {
    for (int code = F2; code <= 63; code++) Type(code);
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(SoundsPlayed(), (Sounds{6, 7, 8, 9}));
    ForgetSounds();
    Type(UP);
    Type(KEYPAD_7);
    EXPECT_EQ(SoundsPlayed(), Sounds{});
    // A held arrow key does not keep the latches from clearing.
    Keys({A});
    Keys({UP});
    Keys({UP, A});
    EXPECT_EQ(Text(), "aa");
}

TEST_F(Typing, TheFieldTakesCharactersWhileTheTextIsNarrowerThan102Pixels) {
    // Test glyphs are 6 pixels wide: 16 of them are 96 pixels, 17 are 102.
    for (int i = 0; i < 25; i++) Type(A);
    EXPECT_EQ(Text(), std::string(17, 'a'));
}

TEST_F(Typing, AWideBoxStillHoldsAtMost127Characters) {
    AddWindow("Wide", "WIDE", 1000, 100);
    AddTextBox("WIDE", 10, 40, 990);
    OpenWindow("WIDE");
    SetMouse(20, 45, true, true);
    DrawWindow("WIDE");
    const int wide = FindWindowId("WIDE");
    for (int i = 0; i < 140; i++) {
        SetKeys({A});
        SetMouse(20, 5, false);
        DrawWindow("WIDE");
        SetKeys({});
        DrawWindow("WIDE");
    }
    EXPECT_EQ(windows[wide].textBoxes[0].length, 127);
    EXPECT_EQ(std::string(windows[wide].textBoxes[0].text), std::string(127, 'a'));
    EXPECT_EQ(windows[wide].textBoxes[0].text[127], 0);
}

TEST_F(Typing, FocusFollowsTheMouseButtonAndTheCaretLagsOneFrame) {
    ClearScreen(0x0001);
    Keys({A});
    // The caret stands after the text as it was before this frame's typing.
    EXPECT_EQ(ScreenPixel(265 + 2, 235 + 4), 0);
    Keys({});
    EXPECT_EQ(ScreenPixel(265 + 6 + 2, 235 + 4), 0);
    Draw(600, 20, true, true);  // a press elsewhere
    EXPECT_FALSE(Box().focused);
    Draw(600, 20, false);
    Type(B);
    EXPECT_EQ(Text(), "a");
    Draw(270, 240, false);
    EXPECT_EQ(pointerShape, 2);
}

TEST(WindowDragging, TheTitleBarZoneDragsTheWindow) {
    StartGui();
    // QUIT: (30, 30), 200 wide; the zone is x 33..206, y 33..52.
    SetMouse(33, 33, true, true);
    DrawWindow("QUIT");
    EXPECT_EQ(pointerShape, 1);
    SetMouse(133, 83, true);
    DrawWindow("QUIT");
    EXPECT_EQ(windows[0].x, 130);
    EXPECT_EQ(windows[0].y, 80);
    SetMouse(-200, 500, false);
    DrawWindow("QUIT");
    EXPECT_EQ(windows[0].x, -203);  // not held to the screen
    EXPECT_EQ(windows[0].y, 497);
    EXPECT_FALSE(windows[0].dragging);
    SetMouse(0, 0, false);
    DrawWindow("QUIT");
    EXPECT_EQ(windows[0].x, -203);
}

TEST(WindowDragging, NotFromTheLastTwentyPixelsOfTheTitleBarNorWithoutAFreshPress) {
    StartGui();
    for (int x : {207, 226}) {
        SetMouse(x, 40, true, true);
        DrawWindow("QUIT");
        EXPECT_EQ(pointerShape, 0);
        EXPECT_FALSE(windows[0].dragging) << x;
    }
    SetMouse(206, 52, true, false);  // held, but pressed in an earlier frame
    DrawWindow("QUIT");
    EXPECT_FALSE(windows[0].dragging);
    SetMouse(206, 52, true, true);
    DrawWindow("QUIT");
    EXPECT_TRUE(windows[0].dragging);
}

}  // namespace
