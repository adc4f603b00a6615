// A small GUI world for tests: a skin whose every pixel says where it came from,
// font pictures with glyphs six pixels wide, and one frame of input at a time.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "gfx/sprite.h"

// Skin pixels are unique (their 5-5-5 value is y x 96 + x + 1) except these, which
// hold the colour key: the outer corner pixel of every button corner piece, one
// pixel of the text box frame and one of each pointer image.
void WriteTestSkin();
// "TimesRoman.bmp", "TimesRoman2.bmp", "Century.bmp": every glyph but the space is a
// white block in columns 0 to glyphWidth - 1, so each character is that wide and a space 2.
void WriteTestFonts(int glyphWidth = 6);
// An 8-bit mono 22050 Hz RIFF WAVE of a few samples.
void WriteTestSound(const char* path);
// Scratch directory, display (565 unless the test chose 555 before), sound with the
// click in slot 0 and the key clicks in 6 to 9, skin, fonts, GuiInit.
void StartGui(int glyphWidth = 6);

uint16_t SpritePixel(Sprite sprite, int x, int y);
uint16_t ScreenPixel(int x, int y);
// The skin pixel as the game holds it (converted to the display's layout).
uint16_t SkinPixel(int x, int y);
void ClearScreen(uint16_t colour);

// The input of one frame, as the input module would leave it.
void SetMouse(int x, int y, bool held, bool pressedNow = false);
void SetKeys(std::initializer_list<int> codes);

// Effect slots started since the last ForgetSounds, in order.
std::vector<int> SoundsPlayed();
void ForgetSounds();
