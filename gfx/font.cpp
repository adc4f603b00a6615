#include "gfx/font.h"

#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "gfx/display.h"

BitmapFont fonts[FONT_COUNT] = {};
int fontCount = 0;
BitmapFont* currentFont = &fonts[0];

namespace {

constexpr int kColumns = 12;
constexpr int kRows = 8;

// The glyph of a character, or null for one outside the font.
int GlyphIndex(char c) {
    const int code = static_cast<unsigned char>(c);
    // Changed on purpose: characters outside 32 to 127 (docs/BEHAVIOUR.md).
    return code >= 32 && code <= 127 ? code - 32 : -1;
}

// Steps 2 and 3 of cutting a font: its picture in a plain sheet sprite.
Sprite LoadSheet(const BitmapFont& font) {
    LoadBitmapFile(font.fileName);
    Sprite sheet = CreateSprite(loadedBitmap.width, loadedBitmap.height, 0, DDSCAPS_VIDEOMEMORY);
    CopyBitmapToSprite(sheet, loadedBitmap.pixels.data(), loadedBitmap.width, loadedBitmap.height);
    return sheet;
}

void CopyCell(const BitmapFont& font, Sprite sheet, int index) {
    const int size = font.cellSize;
    const int column = index % kColumns, row = index / kColumns;
    BlitSpriteRect(font.glyphs[index], sheet, column * size, row * size, size, size, 0, 0, size, size);
}

int MeasureGlyph(Sprite glyph, int size) {
    // An 8-bit display has no magenta to tell ink from background: nothing is ink.
    if (!glyph || PixelMode == 0) return -1;
    const uint16_t key = ColorKey();
    SurfaceLock lock;
    LockSurface(glyph, &lock);
    const int stride = lock.pitch / 2;
    const int rows = size < glyph->Height() ? size : glyph->Height();
    const int columns = size < glyph->Width() ? size : glyph->Width();
    int rightmost = 0;
    for (int y = 0; y < rows; y++) {
        const uint16_t* line = lock.pixels + size_t(y) * size_t(stride);
        for (int x = columns - 1; x > rightmost; x--) {
            if (line[x] != key) {
                rightmost = x;
                break;
            }
        }
    }
    UnlockSurface(glyph, &lock);
    return rightmost > 0 ? rightmost + 1 : -1;
}

}  // namespace

void InitFonts() {
    AddFont("TimesRoman.bmp", 14);
    AddFont("TimesRoman2.bmp", 14);
    AddFont("Century.bmp", 18);
    for (int index = 0; index < FONT_COUNT; index++) {
        SelectFont(index);
        BuildFont();
    }
    MeasureGlyphs();
}

void AddFont(const char* fileName, int cellSize) {
    // The table holds three; a further add has nowhere to go.
    if (fontCount < 0 || fontCount >= FONT_COUNT) return;
    BitmapFont& font = fonts[fontCount];
    std::snprintf(font.fileName, sizeof font.fileName, "%s", fileName ? fileName : "");
    font.cellSize = cellSize;
    fontCount++;
}

void SelectFont(int index) {
    if (index >= 0 && index < FONT_COUNT) currentFont = &fonts[index];
}

void BuildFont() {
    BitmapFont& font = *currentFont;
    char line[96];
    std::snprintf(line, sizeof line, "Building font (%s)\n", font.fileName);
    WriteLog(line);
    Sprite sheet = LoadSheet(font);
    for (int index = 0; index < kRows * kColumns; index++) {
        font.glyphs[index] = CreateSprite(font.cellSize, font.cellSize, 1, DDSCAPS_VIDEOMEMORY);
        CopyCell(font, sheet, index);
    }
    ReleaseSprite(&sheet);
}

void MeasureGlyphs() {
    for (BitmapFont& font : fonts) {
        font.widths[0] = 2;
        for (int index = 1; index < FONT_GLYPHS; index++) font.widths[index] = MeasureGlyph(font.glyphs[index], font.cellSize);
    }
}

void RebuildFonts() {
    fontCount = 0;
    AddFont("TimesRoman.bmp", 14);
    AddFont("TimesRoman2.bmp", 14);
    AddFont("Century.bmp", 18);
    for (int index = 0; index < FONT_COUNT; index++) {
        SelectFont(index);
        BitmapFont& font = *currentFont;
        for (Sprite glyph : font.glyphs)
            if (glyph) glyph->Restore();
        Sprite sheet = LoadSheet(font);
        for (int glyph = 0; glyph < FONT_GLYPHS; glyph++) CopyCell(font, sheet, glyph);
        ReleaseSprite(&sheet);
    }
}

void ReleaseFonts() {
    WriteLog("Releasing font(s)\n");
    for (BitmapFont& font : fonts)
        for (Sprite& glyph : font.glyphs) ReleaseSprite(&glyph);
}

int TextWidth(const char* text) {
    if (!text) return 0;
    int width = 0;
    for (const char* c = text; *c; c++) {
        const int index = GlyphIndex(*c);
        if (index >= 0) width += currentFont->widths[index];
    }
    return width;
}

int TextWidthNoSpaces(const char* text) {
    if (!text) return 0;
    int width = 0;
    for (const char* c = text; *c; c++) {
        const int index = GlyphIndex(*c);
        if (index > 0) width += currentFont->widths[index];
    }
    return width;
}

void PrintText(const char* text, int x, int y) {
    if (!text || !backBuffer) return;
    const BitmapFont& font = *currentFont;
    for (const char* c = text; *c; c++) {
        const int index = GlyphIndex(*c);
        if (index < 0) continue;
        if (font.glyphs[index]) {
            // Kept on purpose: labels cut at the edge (docs/BEHAVIOUR.md).
            RECT to{x, y, x + font.cellSize, y + font.cellSize};
            backBuffer->Blt(&to, font.glyphs[index], nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
        }
        x += font.widths[index];
    }
}
