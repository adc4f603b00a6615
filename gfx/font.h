// The three bitmap fonts: cut from their pictures, measured, and drawn glyph by glyph.
#pragma once

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
