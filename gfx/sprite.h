// Sprites, the 16-bit BMP loader with its pixel conversion, fills and blits, and
// the table of static screen pictures.
#pragma once
#include <cstdint>
#include <vector>

#include "gfx/bitmap_format.h"
#include "platform/ddraw.h"

using Sprite = IDirectDrawSurface*;

// The one staging bitmap, replaced by every load: rows top to bottom, 5-5-5 words.
struct LoadedBitmap {
    int32_t width;
    int32_t height;
    int64_t size;  // bytes: width x height x 2
    std::vector<uint16_t> pixels;
};
extern LoadedBitmap loadedBitmap;

// The out-of-video-memory warning has been logged since the display was set up.
extern bool softwareSpriteWarning;

constexpr int STATIC_SPRITE_COUNT = 22;
struct StaticSprite {
    Sprite sprite;
    int width;
    int height;
};
extern StaticSprite staticSprites[STATIC_SPRITE_COUNT];

// The colour key of the current pixel mode: magenta.
uint16_t ColorKey();

void LoadBitmapFile(const char* path);
void FreeBitmapFile();
Sprite CreateSprite(int width, int height, int keyed, DWORD memoryCaps);
void CopyBitmapToSprite(Sprite sprite, const uint16_t* pixels, int width, int height);

HRESULT FillScreenRect(int x, int y, int width, int height, DWORD colour);
HRESULT FillSpriteRect(Sprite sprite, int x, int y, int width, int height, DWORD colour);
HRESULT FillSpriteArea(Sprite sprite, DWORD colour, int x, int y, int width, int height);
HRESULT ClearSprite(Sprite sprite, DWORD colour);
HRESULT BlitSprite(Sprite destination, Sprite source, int x, int y, int width, int height);
HRESULT BlitSpriteRect(Sprite destination, Sprite source, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
                       int dh);
HRESULT BlitSpriteKeyed(Sprite destination, Sprite source, int x, int y, int width, int height);

void LoadStaticSprites();
void LoadStaticSprite(int slot, const char* path, int keyed);
void DrawStaticSprite(int slot, int x, int y);
void ReleaseStaticSprites();
// Releases a sprite if there is one and empties the handle.
void ReleaseSprite(Sprite* sprite);
