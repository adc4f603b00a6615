#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/valimo.h"
#include "bmp_writer.h"
#include "gfx/display.h"
#include "gui/dialogs.h"
#include "gui/gui_test_support.h"
#include "gui/registry.h"
#include "gui/window_draw.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "test_support.h"

namespace {

struct Placed {
    const char* id;
    const char* title;
    int x, y, width, height, buttons, texts, textBoxes;
};
const Placed kWindows[] = {
    {"QUIT", "Quit", 30, 30, 200, 100, 2, 1, 0},
    {"WELCOME", "Welcome to Valimo v0.9 (demo)", 140, 173, 360, 135, 1, 4, 0},
    {"ADDNEWID", "Add New Player Id", 220, 165, 200, 150, 2, 1, 1},
    {"DELETEID", "Delete Player Id", 170, 190, 300, 100, 2, 1, 0},
    {"LOGOUT", "Log Out", 220, 340, 200, 100, 2, 1, 0},
    {"NEWLEVEL", "New Level", 170, 190, 300, 100, 1, 1, 0},
    {"QUITGAME", "Quit Game", 170, 190, 300, 100, 3, 2, 0},
};

void ExpectDeclared() {
    ASSERT_EQ(windowCount, 7);
    ASSERT_EQ(screenButtonCount, 8);
    for (int slot = 0; slot < 7; slot++) {
        const Placed& p = kWindows[slot];
        const GuiWindow& w = windows[slot];
        EXPECT_STREQ(w.id, p.id);
        EXPECT_STREQ(w.title, p.title);
        EXPECT_EQ(w.x, p.x) << p.id;
        EXPECT_EQ(w.y, p.y) << p.id;
        EXPECT_EQ(w.width, p.width);
        EXPECT_EQ(w.height, p.height);
        EXPECT_EQ(w.buttonCount, p.buttons) << p.id;
        EXPECT_EQ(w.textCount, p.texts) << p.id;
        EXPECT_EQ(w.textBoxCount, p.textBoxes) << p.id;
        EXPECT_TRUE(w.open);
        EXPECT_TRUE(w.created);
        EXPECT_FALSE(w.dragging);
    }
    EXPECT_STREQ(windows[3].texts[0].text, "run-time");
    EXPECT_STREQ(windows[6].buttons[2].label, "Log Out");
    EXPECT_EQ(windows[6].buttons[2].value, 2);
    EXPECT_EQ(windows[2].textBoxes[0].width, 120);
    EXPECT_EQ(windows[2].textBoxes[0].length, 0);
    EXPECT_STREQ(screenButtons[7].label, "Exit");
    EXPECT_EQ(screenButtons[7].x, 449);
    EXPECT_EQ(screenButtons[7].width, 56);
    for (int i = 0; i < 8; i++) EXPECT_EQ(screenButtons[i].value, i);
}

TEST(GuiStartUp, DeclaresEveryWindowAndScreenButtonAndCentresThePointer) {
    StartGui();
    ExpectDeclared();
    EXPECT_EQ(mouseX, 320);
    EXPECT_EQ(mouseY, 240);
    EXPECT_FALSE(quitRequested);
    EXPECT_NE(ReadLog().find("Initializing GUI\nBuilding font (TimesRoman.bmp)\n"), std::string::npos);
}

TEST(GuiStartUp, PointerImagesAreCutFromTheSkin) {
    StartGui();
    for (Sprite s : {pointerArrowUp, pointerArrowDown, pointerHandUp, pointerHandDown}) {
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->Width(), 16);
        EXPECT_TRUE(s->HasColorKey());
    }
    EXPECT_EQ(SpritePixel(pointerArrowUp, 0, 0), SkinPixel(64, 16));
    EXPECT_EQ(SpritePixel(pointerArrowDown, 15, 15), SkinPixel(95, 31));
    EXPECT_EQ(SpritePixel(pointerHandUp, 3, 4), SkinPixel(67, 4));
    EXPECT_EQ(SpritePixel(pointerHandDown, 0, 0), SkinPixel(80, 0));
    EXPECT_EQ(pointerTextBar->Width(), 5);
    EXPECT_EQ(pointerTextBar->Height(), 12);
    EXPECT_EQ(SpritePixel(pointerTextBar, 4, 11), SkinPixel(73, 44));

    // The game's pointer is drawn from them, with their see-through pixels.
    ClearScreen(0x0001);
    pointerVisible = true;
    pointerShape = 0;
    SetMouse(100, 100, false);
    DrawPointer();
    EXPECT_EQ(ScreenPixel(100, 100), SkinPixel(64, 16));
    EXPECT_EQ(ScreenPixel(115, 115), 0x0001);  // (79, 31) of the skin is keyed
    pointerShape = 2;
    SetMouse(300, 300, false);
    DrawPointer();
    EXPECT_EQ(ScreenPixel(298, 294), 0x0001);  // (69, 33) is keyed
    EXPECT_EQ(ScreenPixel(299, 294), SkinPixel(70, 33));
}

TEST(GuiStartUp, A555DisplayGetsThe555Colours) {
    HeadlessDisplay555();
    MakeScratchDirectory();
    WriteTestSkin();
    WriteTestFonts();
    StartDisplay();
    PreparePixelMode();
    ASSERT_EQ(PixelMode, 15);
    const Sprite image = windows[0].image;
    EXPECT_EQ(SpritePixel(image, 100, 40), 0x3E3E);
    EXPECT_EQ(SpritePixel(image, 100, 10), 0x000B);
    EXPECT_EQ(SpritePixel(image, 100, 80), 0x4E98);
    EXPECT_EQ(SpritePixel(windows[0].buttons[0].image, 35, 10), 0x5F1C);
    EXPECT_EQ(SpritePixel(windows[0].buttons[0].image, 0, 0), 0x7C1F);
}

// The skin's own failure: no file, a 16-bit file cut short or of another size.
TEST(GuiStartUp, AMissingOrDamagedSkinEndsTheProgramInOrder) {
    const std::string skins[] = {std::string(), MakeBmp(96, 64, {}).substr(0, 200), MakeBmp(48, 32, {}),
                                 MakeBmp(96, 65, {}), std::string("dir")};
    for (const std::string& skin : skins) {
        MakeScratchDirectory();
        WriteTestFonts();
        if (skin == "dir")
            WriteFile("gui.bmp/x", "");
        else if (!skin.empty())
            WriteFile("gui.bmp", skin);
        StartDisplay();
        quitRequested = false;
        GuiInit();
        EXPECT_TRUE(quitRequested);
        const std::string log = ReadLog();
        const size_t start = log.find("Initializing GUI\n");
        ASSERT_NE(start, std::string::npos);
        EXPECT_EQ(log.substr(log.size() - 30), "ERROR: Unable to load gui.bmp\n");
        EXPECT_EQ(windowCount, 0);
        GuiFree();  // shut-down copes with the half-started GUI
        ReleaseDirectDraw();
    }
}

// A skin that is no 16-bit bitmap, whatever its size, ends the program in the
// bitmap loader, as any picture of another bit count does.
TEST(GuiStartUp, ASkinOfAnotherBitCountEndsTheProgramInTheLoader) {
    std::string eightBit = MakeBmp(96, 64, {}, 8);
    eightBit.resize(54 + 256 * 4 + 96 * 64);  // as an 8-bit file is: a palette, a byte a pixel
    const std::string skins[] = {eightBit, MakeBmp(4, 4, {}, 8), MakeBmp(96, 64, {}, 24), MakeBmp(8, 8, {}, 32)};
    for (const std::string& skin : skins) {
        MakeScratchDirectory();
        WriteTestFonts();
        WriteFile("gui.bmp", skin);
        StartDisplay();
        EXPECT_EXIT(GuiInit(), testing::ExitedWithCode(0), "");
        const std::string log = ReadLog();
        EXPECT_NE(log.find("Initializing GUI\nERROR: Bitmap != 16BIT\n"), std::string::npos) << log;
        EXPECT_EQ(log.find("Unable to load gui.bmp"), std::string::npos) << log;
        EXPECT_EQ(log.substr(log.size() - 19), "DirectDraw Release\n");
        ReleaseDirectDraw();
    }
}

TEST(GuiRestore, RebuildsEveryWindowAsDeclared) {
    StartGui();
    const int surfaces = LiveSurfaceCount();
    // The player dragged QUIT, typed an id, and the flow rewrote two texts.
    windows[0].x = 400;
    windows[0].dragging = true;
    windows[2].textBoxes[0].text[0] = 'x';
    windows[2].textBoxes[0].length = 1;
    windows[2].textBoxes[0].focused = true;
    std::strcpy(windows[3].texts[0].text, "Are you sure you want to delete bob?");
    windows[3].texts[0].x = 40;
    std::strcpy(windows[5].texts[0].text, "Congratulations! You've completed level 3");

    RestoreGui();
    ExpectDeclared();
    EXPECT_EQ(windows[3].texts[0].x, 16);
    EXPECT_STREQ(windows[5].texts[0].text, "Click Continue to start playing");
    EXPECT_STREQ(windows[2].textBoxes[0].text, "");
    EXPECT_FALSE(windows[2].textBoxes[0].focused);
    for (int slot = 7; slot < MAX_WINDOWS; slot++) EXPECT_FALSE(windows[slot].created);
    EXPECT_EQ(LiveSurfaceCount(), surfaces);  // nothing leaked, nothing doubled
    EXPECT_FALSE(quitRequested);

    RestoreGui();
    EXPECT_EQ(windowCount, 7);
    EXPECT_EQ(LiveSurfaceCount(), surfaces);
}

TEST(GuiRestore, WorksAfterTheSurfacesWereLost) {
    StartGui();
    HeadlessLoseSurfaces();
    primarySurface->Restore();
    RestoreGui();
    SetMouse(0, 0, false);
    ClearScreen(0x0001);
    EXPECT_EQ(DrawWindow("QUIT"), GUI_NOCLICK);
    EXPECT_EQ(ScreenPixel(30 + 100, 30 + 40), 0x7C7E);
    EXPECT_EQ(ScreenPixel(30, 30), SkinPixel(0, 0));
    EXPECT_EQ(SpritePixel(pointerHandUp, 0, 0), SkinPixel(64, 0));
}

TEST(GuiShutDown, ReleasesEveryPicture) {
    MakeScratchDirectory();
    WriteTestSkin();
    WriteTestFonts();
    StartDisplay();
    const int surfaces = LiveSurfaceCount();
    GuiInit();
    EXPECT_GT(LiveSurfaceCount(), surfaces + 100);
    GuiFree();
    EXPECT_EQ(LiveSurfaceCount(), surfaces);
    EXPECT_EQ(guiSkin, nullptr);
    EXPECT_EQ(pointerTextBar, nullptr);
    EXPECT_EQ(windows[0].image, nullptr);
    EXPECT_EQ(screenButtons[0].image, nullptr);
    const std::string log = ReadLog();
    EXPECT_EQ(log.substr(log.size() - 30), "Freeing GUI\nReleasing font(s)\n");
}

}  // namespace
