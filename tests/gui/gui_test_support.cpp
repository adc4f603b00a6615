#include "gui/gui_test_support.h"

#include <cstring>

#include "app/valimo.h"
#include "bmp_writer.h"
#include "gfx/display.h"
#include "gui/dialogs.h"
#include "gui/registry.h"
#include "input/input.h"
#include "platform/headless/headless_devices.h"
#include "sound/sound.h"
#include "sound/wave_files.h"
#include "test_support.h"

namespace {

constexpr int kSkinWidth = 96;
constexpr int kSkinHeight = 64;

void WriteFont(const char* name, int cell, int glyphWidth) {
    const int width = 12 * cell, height = 8 * cell;
    std::vector<uint16_t> pixels(size_t(width) * size_t(height), kMagenta555);
    for (int glyph = 1; glyph < 96; glyph++) {
        const int cx = (glyph % 12) * cell, cy = (glyph / 12) * cell;
        for (int y = 2; y <= 10; y++)
            for (int x = 0; x < glyphWidth; x++) pixels[size_t(cy + y) * size_t(width) + size_t(cx + x)] = 0x7FFF;
    }
    WriteBmp(name, width, height, pixels);
}

}  // namespace

void WriteTestSkin() {
    std::vector<uint16_t> pixels(size_t(kSkinWidth) * kSkinHeight);
    for (int y = 0; y < kSkinHeight; y++)
        for (int x = 0; x < kSkinWidth; x++) pixels[size_t(y) * kSkinWidth + size_t(x)] = uint16_t(y * kSkinWidth + x + 1);
    const int keyed[][2] = {{31, 17}, {61, 17}, {31, 36}, {61, 36}, {31, 41}, {61, 41},
                            {31, 60}, {61, 60}, {39, 18}, {79, 31}, {69, 33}};
    for (const auto& p : keyed) pixels[size_t(p[1]) * kSkinWidth + size_t(p[0])] = kMagenta555;
    WriteBmp("gui.bmp", kSkinWidth, kSkinHeight, pixels);
}

void WriteTestSound(const char* path) { WriteFile(path, SimpleWave(std::vector<uint8_t>(64, 0x80))); }

void WriteTestFonts(int glyphWidth) {
    WriteFont("TimesRoman.bmp", 14, glyphWidth);
    WriteFont("TimesRoman2.bmp", 14, glyphWidth);
    WriteFont("Century.bmp", 18, glyphWidth);
}

void StartGui(int glyphWidth) {
    MakeScratchDirectory();
    WriteTestSkin();
    WriteTestFonts(glyphWidth);
    StartDisplay();
    InitDirectSound(mainWindow);
    WriteTestSound("data/click.wav");
    for (int slot : {0, 6, 7, 8, 9}) LoadSoundEffect(slot, "data/click.wav");
    GuiInit();
}

uint16_t SpritePixel(Sprite sprite, int x, int y) {
    return sprite->Pixels()[size_t(y) * size_t(sprite->Width()) + size_t(x)];
}

uint16_t ScreenPixel(int x, int y) { return SpritePixel(backBuffer, x, y); }

uint16_t SkinPixel(int x, int y) { return SpritePixel(guiSkin, x, y); }

void ClearScreen(uint16_t colour) { ClearSprite(backBuffer, colour); }

void SetMouse(int x, int y, bool held, bool pressedNow) {
    mouseX = x;
    mouseY = y;
    mouseButton = held ? 1 : 0;
    mouseClick = pressedNow;
}

void SetKeys(std::initializer_list<int> codes) {
    std::memset(keyState, 0, sizeof keyState);
    for (int code : codes) keyState[code] = 0x80;
}

std::vector<int> SoundsPlayed() {
    std::vector<int> slots;
    for (const IDirectSoundBuffer* started : HeadlessSoundsStarted()) {
        int slot = -1;
        for (int i = 0; i < SOUND_SLOTS; i++)
            if (soundEffects[i].buffer == started) slot = i;
        slots.push_back(slot);
    }
    return slots;
}

void ForgetSounds() { HeadlessClearSoundsStarted(); }
