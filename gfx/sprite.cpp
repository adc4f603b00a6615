#include "gfx/sprite.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/log.h"
#include "base/run.h"
#include "gfx/bitmap_format.h"
#include "gfx/display.h"
#include "gfx/movie.h"

LoadedBitmap loadedBitmap{};
bool softwareSpriteWarning = false;
StaticSprite staticSprites[STATIC_SPRITE_COUNT]{};

namespace {

const char* const staticSpriteFiles[STATIC_SPRITE_COUNT] = {
    "data/case-closed.bmp",       "data/case-open.bmp",        "data/case-open-top.bmp",
    "data/pixels.bmp",            "data/stat-level.bmp",       "data/stat-scorebar.bmp",
    "data/stat-timer.bmp",        "data/table-bottom.bmp",     "data/table-left.bmp",
    "data/table-right.bmp",       "data/case-frame.bmp",       "data/stat-level-bright.bmp",
    "data/stat-timer-bright.bmp", "data/menu-button0.bmp",     "data/menu-button1.bmp",
    "data/case-big.bmp",          "data/diffuse-left.bmp",     "data/diffuse-right.bmp",
    "data/diffuse-top.bmp",       "data/diffuse-bottom.bmp",   "data/www.bmp",
    "data/smile.bmp",
};

void EmptyLoadedBitmap() {
    loadedBitmap.width = 0;
    loadedBitmap.height = 0;
    loadedBitmap.size = 0;
    loadedBitmap.pixels.clear();
    loadedBitmap.pixels.shrink_to_fit();
}

}  // namespace

uint16_t ColorKey() { return PixelMode == 15 ? 0x7C1F : 0xF81F; }

void LoadBitmapFile(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        // Leave nothing behind, so no caller shows the previous picture in its place.
        EmptyLoadedBitmap();
        // Changed on purpose: bitmaps that cannot be read (docs/BEHAVIOUR.md).
        std::string line = std::string("ERROR: Cannot open bitmap ") + path + "\n";
        WriteLog(line.c_str());
        return;
    }
    unsigned char header[BMP_HEADER_SIZE];
    std::memset(header, 0, sizeof header);
    size_t got = std::fread(header, 1, 2, file);
    if (got != 2 || !BmpMagic(header)) {
        std::fclose(file);
        // Kept on purpose: "Not a BITMAP" keeps the old picture (docs/BEHAVIOUR.md).
        WriteLog("ERROR: Not a BITMAP\n");
        return;
    }
    got += std::fread(header + 2, 1, sizeof header - 2, file);
    if (got < 30) {
        // Cut off before its bit count: a truncated file, not one of another depth.
        std::fclose(file);
        EmptyLoadedBitmap();
        WriteLog("ERROR: Bad Bitmap Memory!\n");
        return;
    }
    loadedBitmap.width = BmpWidth(header);
    loadedBitmap.height = BmpHeight(header);
    const int bits = BmpBitCount(header);
    if (bits != 16) {
        std::fclose(file);
        // Kept on purpose: the bitmap loader's message order (docs/BEHAVIOUR.md).
        WriteLog("ERROR: Bitmap != 16BIT\n");
        FatalExit();
    }

    const int32_t width = loadedBitmap.width, height = loadedBitmap.height;
    if (width < 0 || height < 0 || width > MAX_BITMAP_SIDE || height > MAX_BITMAP_SIDE) {
        std::fclose(file);
        EmptyLoadedBitmap();
        WriteLog("ERROR: Bitmap data == NULL\n");
        return;
    }
    const size_t count = size_t(width) * size_t(height);
    loadedBitmap.size = int64_t(count) * 2;
    std::vector<uint16_t> fresh(count, 0);

    size_t read = 0;
    if (got == sizeof header && count > 0) {
        unsigned char* bytes = reinterpret_cast<unsigned char*>(fresh.data());
        read = std::fread(bytes, 1, count * 2, file);
        BmpWords(bytes, read / 2, fresh.data());
    }
    std::fclose(file);
    loadedBitmap.pixels = std::move(fresh);
    if (read < count * 2) {
        WriteLog("ERROR: Bad Bitmap Memory!\n");
        return;
    }
    if (count == 0) return;
    std::vector<uint16_t> turned(count, 0);
    BmpTurnRows(loadedBitmap.pixels.data(), width, height, turned.data());
    loadedBitmap.pixels = std::move(turned);
}

void FreeBitmapFile() { EmptyLoadedBitmap(); }

Sprite CreateSprite(int width, int height, int keyed, DWORD memoryCaps) {
    if (!lpdd) return nullptr;
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | (keyed ? DDSD_CKSRCBLT : 0);
    desc.dwWidth = DWORD(width);
    desc.dwHeight = DWORD(height);
    desc.ddsCaps.dwCaps = memoryCaps | DDSCAPS_OFFSCREENPLAIN;
    Sprite sprite = nullptr;
    HRESULT result = lpdd->CreateSurface(&desc, &sprite, nullptr);
    if (result == DDERR_OUTOFVIDEOMEMORY) {
        if (!softwareSpriteWarning) WriteLog("WARNING: Out of video memory; trying to create software sprites\n");
        softwareSpriteWarning = true;
        desc.ddsCaps.dwCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_OFFSCREENPLAIN;
        result = lpdd->CreateSurface(&desc, &sprite, nullptr);
    }
    if (result != DD_OK) {
        WriteLog(dderrCreateSurface(result));
        return nullptr;
    }
    if (keyed) {
        DDCOLORKEY key{ColorKey(), ColorKey()};
        sprite->SetColorKey(DDCKEY_SRCBLT, &key);
    }
    ClearSprite(sprite, 0);
    return sprite;
}

void CopyBitmapToSprite(Sprite sprite, const uint16_t* pixels, int width, int height) {
    if (!sprite) return;
    SurfaceLock lock;
    LockSurface(sprite, &lock);
    // Never past the sprite's edges nor past the bitmap's pixels.
    const int rows = std::min(height, sprite->Height());
    const int cols = std::min(width, sprite->Width());
    const size_t available = pixels ? loadedBitmap.pixels.size() : 0;
    const bool fromLoaded = pixels == loadedBitmap.pixels.data();
    if (PixelMode != 0 && rows > 0 && cols > 0 && pixels) {
        const int stride = lock.pitch / 2;
        for (int r = 0; r < rows; r++) {
            for (int c = 0; c < cols; c++) {
                const size_t index = size_t(r) * size_t(width) + size_t(c);
                if (fromLoaded && index >= available) break;
                const uint16_t p = pixels[index];
                const unsigned red = (p >> 10) & 31, green = (p >> 5) & 31, blue = p & 31;
                lock.pixels[size_t(r) * size_t(stride) + size_t(c)] =
                    PixelMode == 16 ? uint16_t(red << 11 | green << 6 | blue) : uint16_t(red << 10 | green << 5 | blue);
            }
        }
    }
    UnlockSurface(sprite, &lock);
}

HRESULT FillSpriteRect(Sprite sprite, int x, int y, int width, int height, DWORD colour) {
    if (!sprite) return DDERR_INVALIDOBJECT;
    DDBLTFX effects{100, colour & 0xFFFF};
    RECT rect{x, y, x + width, y + height};
    return sprite->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects);
}

HRESULT FillScreenRect(int x, int y, int width, int height, DWORD colour) {
    return FillSpriteRect(backBuffer, x, y, width, height, colour);
}

HRESULT FillSpriteArea(Sprite sprite, DWORD colour, int x, int y, int width, int height) {
    return FillSpriteRect(sprite, x, y, width, height, colour);
}

HRESULT ClearSprite(Sprite sprite, DWORD colour) {
    if (!sprite) return DDERR_INVALIDOBJECT;
    DDBLTFX effects{100, colour & 0xFFFF};
    HRESULT result = sprite->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &effects);
    if (result == DDERR_SURFACELOST) result = sprite->Restore();
    return result;
}

HRESULT BlitSprite(Sprite destination, Sprite source, int x, int y, int width, int height) {
    if (!destination || !source) return DDERR_INVALIDOBJECT;
    RECT rect{x, y, x + width, y + height};
    return destination->Blt(&rect, source, nullptr, DDBLT_WAIT, nullptr);
}

HRESULT BlitSpriteRect(Sprite destination, Sprite source, int sx, int sy, int sw, int sh, int dx, int dy, int dw,
                       int dh) {
    if (!destination || !source) return DDERR_INVALIDOBJECT;
    RECT from{sx, sy, sx + sw, sy + sh};
    RECT to{dx, dy, dx + dw, dy + dh};
    return destination->Blt(&to, source, &from, DDBLT_WAIT, nullptr);
}

HRESULT BlitSpriteKeyed(Sprite destination, Sprite source, int x, int y, int width, int height) {
    if (!destination || !source) return DDERR_INVALIDOBJECT;
    RECT rect{x, y, x + width, y + height};
    return destination->Blt(&rect, source, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
}

void LoadStaticSprite(int slot, const char* path, int keyed) {
    if (slot < 0 || slot >= STATIC_SPRITE_COUNT) return;
    LoadBitmapFile(path);
    staticSprites[slot].sprite = CreateSprite(loadedBitmap.width, loadedBitmap.height, keyed, DDSCAPS_VIDEOMEMORY);
    CopyBitmapToSprite(staticSprites[slot].sprite, loadedBitmap.pixels.data(), loadedBitmap.width, loadedBitmap.height);
    staticSprites[slot].width = loadedBitmap.width;
    staticSprites[slot].height = loadedBitmap.height;
}

void LoadStaticSprites() {
    for (int slot = 0; slot < STATIC_SPRITE_COUNT; slot++) LoadStaticSprite(slot, staticSpriteFiles[slot], 1);
}

void DrawStaticSprite(int slot, int x, int y) {
    if (slot < 0 || slot >= STATIC_SPRITE_COUNT) return;
    const StaticSprite& s = staticSprites[slot];
    BlitSpriteKeyed(backBuffer, s.sprite, x, y, s.width, s.height);
}

void ReleaseSprite(Sprite* sprite) {
    if (*sprite) {
        (*sprite)->Release();
        *sprite = nullptr;
    }
}

void ReleaseStaticSprites() {
    WriteLog("Releasing static sprites\n");
    for (StaticSprite& s : staticSprites) ReleaseSprite(&s.sprite);
    ReleaseSprite(&movieSprite);
}
