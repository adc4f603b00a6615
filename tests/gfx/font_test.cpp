#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/font.h"
#include "platform/headless/headless.h"
#include "test_support.h"

namespace {

constexpr uint16_t kMagenta555 = 0x7C1F;
constexpr uint16_t kRed555 = 0x7C00;
constexpr uint16_t kBlue555 = 0x001F;
constexpr uint16_t kBackground = 0x0841;

struct Ink {
    int x, y;
    uint16_t colour;
};

// A font picture: 12 x 8 magenta cells, with the given ink per character.
std::string FontPicture(int cell, const std::map<char, std::vector<Ink>>& glyphs) {
    const int width = 12 * cell, height = 8 * cell;
    std::vector<uint16_t> pixels(size_t(width) * size_t(height), kMagenta555);
    for (const auto& [c, inks] : glyphs) {
        const int index = static_cast<unsigned char>(c) - 32;
        const int left = (index % 12) * cell, top = (index / 12) * cell;
        for (const Ink& ink : inks) pixels[size_t(top + ink.y) * size_t(width) + size_t(left + ink.x)] = ink.colour;
    }
    std::string file(54, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++) file[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, uint32_t(54 + pixels.size() * 2));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    file[26] = 1;
    file[28] = 16;
    // Rows are stored bottom-up.
    for (int row = height - 1; row >= 0; row--)
        for (int x = 0; x < width; x++) {
            const uint16_t p = pixels[size_t(row) * size_t(width) + size_t(x)];
            file.push_back(char(p & 0xFF));
            file.push_back(char(p >> 8));
        }
    return file;
}

std::vector<Ink> FullCell(int cell, uint16_t colour) {
    std::vector<Ink> inks;
    for (int y = 0; y < cell; y++)
        for (int x = 0; x < cell; x++) inks.push_back({x, y, colour});
    return inks;
}

// The test font: 'A' reaches column 9, 'B' is widest in another row than its first,
// '!' is empty, '"' has ink in column 0 only, '#' fills its cell, DEL sits in the
// last cell of the picture.
std::map<char, std::vector<Ink>> TestGlyphs(int cell) {
    return {
        {'A', {{2, 3, kRed555}, {9, 5, kRed555}}},
        {'B', {{3, 0, kBlue555}, {7, 13, kBlue555}}},
        {'"', {{0, 4, kRed555}, {0, 9, kRed555}}},
        {'#', FullCell(cell, kBlue555)},
        {char(127), {{12, 12, kRed555}}},
    };
}

void WriteFonts() {
    WriteFile("TimesRoman.bmp", FontPicture(14, TestGlyphs(14)));
    WriteFile("TimesRoman2.bmp", FontPicture(14, {{'A', {{4, 4, kRed555}}}}));
    WriteFile("Century.bmp", FontPicture(18, {{'A', {{16, 17, kRed555}}}}));
}

uint16_t Red() { return PixelMode == 15 ? kRed555 : 0xF800; }
uint16_t Blue() { return 0x001F; }

uint16_t BackPixel(int x, int y) { return backBuffer->Pixels()[size_t(y) * 640 + size_t(x)]; }

std::vector<uint16_t> BackPixels() { return {backBuffer->Pixels(), backBuffer->Pixels() + 640 * 480}; }

class FontTest : public testing::Test {
protected:
    void SetUp() override {
        MakeScratchDirectory();
        WriteFonts();
        StartDisplay();
        InitFonts();
        SelectFont(0);
        ClearSprite(backBuffer, kBackground);
    }
};

TEST_F(FontTest, AdvanceWidthsAreMeasuredFromThePicture) {
    const int* w = fonts[0].widths;
    EXPECT_EQ(w[' ' - 32], 2);
    EXPECT_EQ(w['A' - 32], 10);
    EXPECT_EQ(w['B' - 32], 8);
    EXPECT_EQ(w['!' - 32], -1);
    EXPECT_EQ(w['"' - 32], -1);
    EXPECT_EQ(w['#' - 32], 14);
    EXPECT_EQ(w[127 - 32], 13);
    // Each font is measured from its own picture; the space is 2 in all.
    EXPECT_EQ(fonts[1].widths['A' - 32], 5);
    EXPECT_EQ(fonts[2].widths['A' - 32], 17);
    EXPECT_EQ(fonts[1].widths[0], 2);
    EXPECT_EQ(fonts[2].widths[0], 2);
    EXPECT_EQ(fonts[2].cellSize, 18);
}

TEST_F(FontTest, TextWidthCountsSpacesAndTheOtherDoesNot) {
    EXPECT_EQ(TextWidth(""), 0);
    EXPECT_EQ(TextWidth(" "), 2);
    EXPECT_EQ(TextWidthNoSpaces(" "), 0);
    EXPECT_EQ(TextWidth("A B"), 20);
    EXPECT_EQ(TextWidthNoSpaces("A B"), 18);
    EXPECT_EQ(TextWidth("A!A"), 19);
    SelectFont(2);
    EXPECT_EQ(TextWidth("A A"), 36);
}

TEST_F(FontTest, CharactersOutsideTheFontAddNothing) {
    EXPECT_EQ(TextWidth("A\x01\x1F\x80\xC8\xFF" "B"), TextWidth("AB"));
    EXPECT_EQ(TextWidthNoSpaces("A\xFF B"), TextWidthNoSpaces("AB"));
    PrintText("AB", 100, 50);
    const std::vector<uint16_t> plain = BackPixels();
    ClearSprite(backBuffer, kBackground);
    PrintText("A\x01\x80\xFF" "B", 100, 50);
    EXPECT_TRUE(BackPixels() == plain);
}

TEST_F(FontTest, PrintTextDrawsInkOverTheBackgroundAndAdvancesByWidth) {
    PrintText("AB", 100, 50);
    EXPECT_EQ(BackPixel(102, 53), Red());
    EXPECT_EQ(BackPixel(109, 55), Red());
    // The magenta around the ink is the colour key: the background shows.
    EXPECT_EQ(BackPixel(100, 50), kBackground);
    EXPECT_EQ(BackPixel(103, 53), kBackground);
    // 'B' starts 10 pixels on, where 'A' ended.
    EXPECT_EQ(BackPixel(113, 50), Blue());
    EXPECT_EQ(BackPixel(117, 63), Blue());
    EXPECT_EQ(BackPixel(114, 50), kBackground);
}

TEST_F(FontTest, EmptyGlyphShiftsTheNextOneLeft) {
    PrintText("!A", 100, 50);
    EXPECT_EQ(BackPixel(101, 53), Red());
    EXPECT_EQ(BackPixel(108, 55), Red());
    EXPECT_EQ(BackPixel(109, 55), kBackground);
}

TEST_F(FontTest, EmptyTextDrawsNothing) {
    const std::vector<uint16_t> before = BackPixels();
    PrintText("", 100, 50);
    EXPECT_TRUE(BackPixels() == before);
}

TEST_F(FontTest, TextIsCutAtTheRightEdgeOfTheScreen) {
    PrintText("####", 630, 10);
    for (int y = 10; y < 24; y++) {
        EXPECT_EQ(BackPixel(630, y), Blue());
        EXPECT_EQ(BackPixel(639, y), Blue());
        EXPECT_EQ(BackPixel(629, y), kBackground);
    }
    // Nothing spills into the start of the following rows.
    for (int y = 10; y < 26; y++)
        for (int x = 0; x < 60; x++) ASSERT_EQ(BackPixel(x, y), kBackground) << x << "," << y;
}

// A rebuild restores and refills the glyphs in place: it logs nothing, makes no new
// glyph, and measures nothing again (a width changed since stays changed).
TEST_F(FontTest, RebuildRefillsLostGlyphsAndKeepsWidths) {
    fonts[0].widths['A' - 32] = 3;
    int widths[FONT_COUNT][FONT_GLYPHS];
    Sprite glyphs[FONT_COUNT][FONT_GLYPHS];
    for (int f = 0; f < FONT_COUNT; f++)
        for (int g = 0; g < FONT_GLYPHS; g++) {
            widths[f][g] = fonts[f].widths[g];
            glyphs[f][g] = fonts[f].glyphs[g];
        }
    HeadlessLoseSurfaces();
    ASSERT_EQ(fonts[0].glyphs['A' - 32]->IsLost(), DDERR_SURFACELOST);
    backBuffer->Restore();
    primarySurface->Restore();
    const std::string logBefore = ReadLog();
    const int surfaces = LiveSurfaceCount();
    RebuildFonts();
    EXPECT_EQ(ReadLog(), logBefore);
    EXPECT_EQ(LiveSurfaceCount(), surfaces);
    EXPECT_EQ(fontCount, 3);
    for (int f = 0; f < FONT_COUNT; f++)
        for (int g = 0; g < FONT_GLYPHS; g++) {
            EXPECT_EQ(fonts[f].widths[g], widths[f][g]) << f << ", " << g;
            EXPECT_EQ(fonts[f].glyphs[g], glyphs[f][g]) << f << ", " << g;
        }
    ClearSprite(backBuffer, kBackground);
    SelectFont(0);
    PrintText("A", 100, 50);
    EXPECT_EQ(BackPixel(109, 55), Red());
    SelectFont(2);
    PrintText("A", 200, 50);
    EXPECT_EQ(BackPixel(216, 67), Red());  // Century's 'A' is back too
}

TEST_F(FontTest, StartAndReleaseAreLoggedAndReleaseFreesEveryGlyph) {
    const std::string log = ReadLog();
    EXPECT_NE(log.find("Building font (TimesRoman.bmp)\n"), std::string::npos);
    EXPECT_LT(log.find("Building font (TimesRoman.bmp)\n"), log.find("Building font (TimesRoman2.bmp)\n"));
    EXPECT_LT(log.find("Building font (TimesRoman2.bmp)\n"), log.find("Building font (Century.bmp)\n"));
    const int before = LiveSurfaceCount();
    ReleaseFonts();
    EXPECT_EQ(LiveSurfaceCount(), before - 3 * 96);
    EXPECT_NE(ReadLog().find("Releasing font(s)\n"), std::string::npos);
    for (const BitmapFont& font : fonts)
        for (Sprite glyph : font.glyphs) EXPECT_EQ(glyph, nullptr);
    // Drawing after release draws nothing and does not fail.
    const std::vector<uint16_t> before2 = BackPixels();
    PrintText("AB", 10, 10);
    EXPECT_TRUE(BackPixels() == before2);
}

TEST_F(FontTest, AFourthFontHasNowhereToGo) {
    AddFont("Extra.bmp", 20);
    EXPECT_EQ(fontCount, 3);
    EXPECT_STREQ(fonts[2].fileName, "Century.bmp");
}

TEST(FontMeasure, InkIsAnythingButTheKeyOfTheDisplaysLayout) {
    MakeScratchDirectory();
    WriteFonts();
    HeadlessDisplay555();
    StartDisplay();
    ASSERT_EQ(PixelMode, 15);
    InitFonts();
    EXPECT_EQ(fonts[0].widths['A' - 32], 10);
    EXPECT_EQ(fonts[0].widths['!' - 32], -1);
    EXPECT_EQ(fonts[0].widths['#' - 32], 14);
}

}  // namespace
