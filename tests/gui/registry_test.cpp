#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/valimo.h"
#include "gfx/display.h"
#include "gui/gui_test_support.h"
#include "gui/registry.h"
#include "gui/window_draw.h"
#include "test_support.h"

namespace {

// A centred window is drawn with as much screen left of it as right and above as
// below (a pixel more left and above for an odd size), however often it is centred;
// a dialog declared centred stands so from start-up.
TEST(WindowRegistry, ACentredWindowIsDrawnWithEqualMargins) {
    StartGui();
    AddWindow("a", "A", 200, 100);
    AddWindow("b", "B", 361, 135);
    for (const char* id : {"A", "B", "B", "ADDNEWID"}) {
        SCOPED_TRACE(id);
        if (std::string(id) != "ADDNEWID") CenterWindow(id);
        ClearScreen(0);
        OpenWindow(id);
        DrawWindow(id);
        int left = 640, right = -1, top = 480, bottom = -1;
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++)
                if (ScreenPixel(x, y) != 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        const GuiWindow& w = windows[FindWindowId(id)];
        EXPECT_EQ(right - left + 1, w.width);
        EXPECT_EQ(bottom - top + 1, w.height);
        const int wider = left - (639 - right), taller = top - (479 - bottom);
        EXPECT_EQ(wider, w.width % 2) << left << " to " << right;
        EXPECT_EQ(taller, w.height % 2) << top << " to " << bottom;
    }
}

TEST(WindowRegistry, IdsAreMatchedExactlyAndAnUnknownIdEndsTheProgram) {
    StartGui();
    EXPECT_EQ(FindWindowId("QUIT"), 0);
    EXPECT_EQ(FindWindowId("quit"), NOIDFOUND);
    EXPECT_EQ(FindWindowId("QUI"), NOIDFOUND);
    EXPECT_EQ(FindWindowId("QUITGAME"), 6);
    EXPECT_FALSE(quitRequested);
    const std::string before = ReadLog();

    SetWindowPosition("quit", 1, 1);
    CenterWindow("quit");
    OpenWindow("quit");
    EXPECT_EQ(DrawWindow("quit"), GUI_NOWINDOW);
    AddTextBox("quit", 0, 0, 10);
    AddButton("quit", 1, "x", 0, 0, 10, 10);
    AddText("quit", "x", 0, 0);
    EXPECT_TRUE(quitRequested);
    EXPECT_EQ(ReadLog().substr(before.size()),
              "ERROR: DrawWindow(): NOIDFOUND\nERROR: DrawWindow(): NOIDFOUND\nERROR: DrawWindow(): NOIDFOUND\n"
              "ERROR: DrawWindow(): NOIDFOUND\nERROR: AddTextBox(): NOIDFOUND\nERROR: AddButton(): NOIDFOUND\n"
              "ERROR: AddText(): NOIDFOUND\n");
    EXPECT_EQ(windows[0].x, 30);
    EXPECT_EQ(windows[0].buttonCount, 2);
    EXPECT_EQ(windows[0].textCount, 1);
}

TEST(WindowRegistry, WindowPictureIsComposedFromTheSkin) {
    StartGui();
    AddWindow("Title", "W", 100, 80);
    const Sprite image = windows[FindWindowId("W")].image;
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 100);
    EXPECT_EQ(image->Height(), 80);
    EXPECT_FALSE(image->HasColorKey());
    // Edges repeat one skin column or row; corners are copied whole.
    EXPECT_EQ(SpritePixel(image, 50, 0), SkinPixel(3, 0));
    EXPECT_EQ(SpritePixel(image, 50, 1), SkinPixel(3, 1));
    EXPECT_EQ(SpritePixel(image, 50, 78), SkinPixel(3, 59));
    EXPECT_EQ(SpritePixel(image, 50, 79), SkinPixel(3, 60));
    EXPECT_EQ(SpritePixel(image, 1, 40), SkinPixel(1, 3));
    EXPECT_EQ(SpritePixel(image, 98, 40), SkinPixel(25, 3));
    EXPECT_EQ(SpritePixel(image, 99, 40), SkinPixel(26, 3));
    EXPECT_EQ(SpritePixel(image, 0, 0), SkinPixel(0, 0));
    EXPECT_EQ(SpritePixel(image, 99, 0), SkinPixel(26, 0));
    EXPECT_EQ(SpritePixel(image, 0, 79), SkinPixel(0, 60));
    EXPECT_EQ(SpritePixel(image, 99, 79), SkinPixel(26, 60));
    // The title icon on the title bar, the body, the strip.
    EXPECT_EQ(SpritePixel(image, 3, 3), SkinPixel(3, 3));
    EXPECT_EQ(SpritePixel(image, 22, 22), SkinPixel(22, 22));
    EXPECT_EQ(SpritePixel(image, 23, 3), 0x002B);
    EXPECT_EQ(SpritePixel(image, 96, 22), 0x002B);
    EXPECT_EQ(SpritePixel(image, 50, 30), 0x7C7E);
    EXPECT_EQ(SpritePixel(image, 3, 47), 0x9D38);
    EXPECT_EQ(SpritePixel(image, 96, 76), 0x9D38);
    EXPECT_EQ(SpritePixel(image, 50, 46), 0x7C7E);
}

TEST(WindowRegistry, TextBoxPaintsItsFieldAndOwnsAHighlightFrame) {
    StartGui();
    AddWindow("Title", "W", 200, 150);
    AddTextBox("W", 45, 70, 120);
    const GuiWindow& w = windows[FindWindowId("W")];
    EXPECT_EQ(SpritePixel(w.image, 45, 70), SkinPixel(42, 21));
    EXPECT_EQ(SpritePixel(w.image, 45, 83), SkinPixel(42, 34));
    EXPECT_EQ(SpritePixel(w.image, 164, 75), SkinPixel(51, 26));
    EXPECT_EQ(SpritePixel(w.image, 46, 70), SkinPixel(43, 21));
    EXPECT_EQ(SpritePixel(w.image, 163, 83), SkinPixel(43, 34));
    EXPECT_EQ(SpritePixel(w.image, 165, 75), 0x7C7E);
    EXPECT_EQ(SpritePixel(w.image, 100, 84), 0x7C7E);

    const Sprite frame = w.textBoxes[0].focusImage;
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->Width(), 126);
    EXPECT_EQ(frame->Height(), 20);
    EXPECT_TRUE(frame->HasColorKey());
    EXPECT_EQ(SpritePixel(frame, 0, 0), 0xF81F);  // a keyed pixel of the skin stays keyed
    EXPECT_EQ(SpritePixel(frame, 1, 0), SkinPixel(40, 18));
    EXPECT_EQ(SpritePixel(frame, 125, 19), SkinPixel(54, 37));
    EXPECT_EQ(SpritePixel(frame, 60, 0), SkinPixel(42, 18));
    EXPECT_EQ(SpritePixel(frame, 60, 19), SkinPixel(42, 37));
    EXPECT_EQ(SpritePixel(frame, 60, 10), 0xF81F);  // see-through inside
    EXPECT_EQ(w.textBoxes[0].nextKeySound, 6);
    EXPECT_FALSE(w.textBoxes[0].focused);
}

TEST(WindowRegistry, ButtonsHaveSkinBordersAndSeeThroughCorners) {
    StartGui();
    AddWindow("Title", "W", 200, 100);
    AddButton("W", 7, "OK", 10, 10, 70, 20);
    const GuiButton& b = windows[FindWindowId("W")].buttons[0];
    ASSERT_NE(b.image, nullptr);
    ASSERT_NE(b.pressedImage, nullptr);
    EXPECT_TRUE(b.image->HasColorKey());
    EXPECT_EQ(SpritePixel(b.image, 35, 10), 0xBE1C);
    EXPECT_EQ(SpritePixel(b.image, 35, 0), SkinPixel(37, 17));
    EXPECT_EQ(SpritePixel(b.image, 35, 19), SkinPixel(37, 36));
    EXPECT_EQ(SpritePixel(b.image, 0, 10), SkinPixel(31, 24));
    EXPECT_EQ(SpritePixel(b.image, 69, 10), SkinPixel(61, 24));
    EXPECT_EQ(SpritePixel(b.image, 1, 1), SkinPixel(32, 18));
    EXPECT_EQ(SpritePixel(b.image, 68, 18), SkinPixel(60, 35));
    for (Sprite s : {b.image, b.pressedImage}) {
        EXPECT_EQ(SpritePixel(s, 0, 0), 0xF81F);
        EXPECT_EQ(SpritePixel(s, 69, 0), 0xF81F);
        EXPECT_EQ(SpritePixel(s, 0, 19), 0xF81F);
        EXPECT_EQ(SpritePixel(s, 69, 19), 0xF81F);
    }
    EXPECT_EQ(SpritePixel(b.pressedImage, 35, 0), SkinPixel(37, 41));
    EXPECT_EQ(SpritePixel(b.pressedImage, 68, 18), SkinPixel(60, 59));

    // Drawn on a screen, the corners show what was there before.
    ClearScreen(0x1234);
    SetMouse(0, 0, false);
    windows[FindWindowId("W")].x = 100;
    windows[FindWindowId("W")].y = 100;
    OpenWindow("W");
    DrawWindow("W");
    EXPECT_EQ(ScreenPixel(110, 110), SkinPixel(10, 10));  // corner: the title icon behind
    EXPECT_EQ(ScreenPixel(145, 111), SkinPixel(37, 18));
}

TEST(WindowRegistry, DeclarationsBeyondTheTablesAreRefusedAndLogged) {
    StartGui();
    const std::string before = ReadLog();
    for (int i = 7; i < MAX_WINDOWS; i++) AddWindow("t", ("W" + std::to_string(i)).c_str(), 50, 40);
    EXPECT_EQ(windowCount, MAX_WINDOWS);
    AddWindow("t", "OVER", 50, 40);
    EXPECT_EQ(windowCount, MAX_WINDOWS);
    EXPECT_EQ(FindWindowId("OVER"), NOIDFOUND);

    for (int i = 0; i < MAX_BUTTONS + 1; i++) AddButton("W7", i, "b", 0, 0, 10, 10);
    for (int i = 0; i < MAX_TEXTS + 1; i++) AddText("W7", "t", 0, 0);
    for (int i = 0; i < MAX_TEXTBOXES + 1; i++) AddTextBox("W7", 0, 0, 10);
    for (int i = 8; i < MAX_SCREENBUTTONS + 1; i++) AddScreenButton(i, "s", 0, 0, 10, 10);
    const GuiWindow& w = windows[FindWindowId("W7")];
    EXPECT_EQ(w.buttonCount, MAX_BUTTONS);
    EXPECT_EQ(w.textCount, MAX_TEXTS);
    EXPECT_EQ(w.textBoxCount, MAX_TEXTBOXES);
    EXPECT_EQ(screenButtonCount, MAX_SCREENBUTTONS);
    EXPECT_EQ(ReadLog().substr(before.size()),
              "ERROR: AddWindow(): too many windows\nERROR: AddButton(): too many buttons\n"
              "ERROR: AddText(): too many texts\nERROR: AddTextBox(): too many text boxes\n"
              "ERROR: AddScreenButton(): too many screen buttons\n");
    EXPECT_FALSE(quitRequested);
}

TEST(WindowRegistry, LongStringsAreCutToTheirFields) {
    StartGui();
    const std::string longText(400, 'x');
    AddWindow(longText.c_str(), "ABCDEFGHIJKLMNOPQRST", 50, 40);
    const int slot = FindWindowId("ABCDEFGHIJKLMNO");
    ASSERT_EQ(slot, 7);
    EXPECT_EQ(std::string(windows[slot].title), std::string(63, 'x'));
    AddButton("ABCDEFGHIJKLMNO", 1, longText.c_str(), 0, 0, 10, 10);
    AddText("ABCDEFGHIJKLMNO", longText.c_str(), 0, 0);
    EXPECT_EQ(std::string(windows[slot].buttons[0].label), std::string(31, 'x'));
    EXPECT_EQ(std::string(windows[slot].texts[0].text), std::string(255, 'x'));
}

TEST(WindowRegistry, ASlotAlreadyTakenDropsTheDeclaration) {
    StartGui();
    windowCount = 2;  // as if someone rewound the count over live windows
    AddWindow("Other", "OTHER", 50, 40);
    EXPECT_EQ(windowCount, 2);
    EXPECT_STREQ(windows[2].id, "ADDNEWID");
    EXPECT_NE(ReadLog().find("WARNING: Window had been already created\n"), std::string::npos);
}

}  // namespace
