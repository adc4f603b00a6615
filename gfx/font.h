// The three bitmap fonts: cut from their pictures, measured, and drawn glyph by glyph.
#pragma once

#include "gfx/sprite.h"

constexpr int FONT_COUNT = 3;
constexpr int FONT_GLYPHS = 96;  // characters 32 to 127

struct BitmapFont {
    int cellSize;                 // glyph cells are square
    int widths[FONT_GLYPHS];      // advance widths, index = character - 32
    Sprite glyphs[FONT_GLYPHS];   // one colour-keyed sprite per cell
    char fileName[32];
};

extern BitmapFont fonts[FONT_COUNT];
extern int fontCount;
extern BitmapFont* currentFont;

void InitFonts();
void AddFont(const char* fileName, int cellSize);
void SelectFont(int index);
void BuildFont();
void MeasureGlyphs();
void RebuildFonts();
void ReleaseFonts();
int TextWidth(const char* text);
int TextWidthNoSpaces(const char* text);
void PrintText(const char* text, int x, int y);
