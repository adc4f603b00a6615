// The display layer: a display object, a flipping primary surface with one back
// buffer, off-screen surfaces of 16-bit pixels, clippers, fills and blits, with the
// result codes of the original display interface.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/win.h"

constexpr HRESULT HR(uint32_t code) { return static_cast<HRESULT>(code); }

constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = HR(0x80004005);
constexpr HRESULT DDERR_UNSUPPORTED = HR(0x80004001);
constexpr HRESULT DDERR_OUTOFMEMORY = HR(0x8007000E);
constexpr HRESULT DDERR_INVALIDPARAMS = HR(0x80070057);
constexpr HRESULT DDERR_INCOMPATIBLEPRIMARY = HR(0x8876005F);
constexpr HRESULT DDERR_INVALIDCAPS = HR(0x88760064);
constexpr HRESULT DDERR_INVALIDCLIPLIST = HR(0x8876006E);
constexpr HRESULT DDERR_INVALIDMODE = HR(0x88760078);
constexpr HRESULT DDERR_INVALIDOBJECT = HR(0x88760082);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = HR(0x88760091);
constexpr HRESULT DDERR_INVALIDRECT = HR(0x88760096);
constexpr HRESULT DDERR_LOCKEDSURFACES = HR(0x887600A0);
constexpr HRESULT DDERR_NOALPHAHW = HR(0x887600B4);
constexpr HRESULT DDERR_NOCOLORKEY = HR(0x887600D7);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = HR(0x887600D4);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = HR(0x887600E1);
constexpr HRESULT DDERR_NOFLIPHW = HR(0x887600E6);
constexpr HRESULT DDERR_NOTFOUND = HR(0x887600FF);
constexpr HRESULT DDERR_NOOVERLAYHW = HR(0x88760104);
constexpr HRESULT DDERR_NOZBUFFERHW = HR(0x88760154);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = HR(0x8876017C);
constexpr HRESULT DDERR_SURFACEBUSY = HR(0x887601AE);
constexpr HRESULT DDERR_SURFACELOST = HR(0x887601C2);
constexpr HRESULT DDERR_WASSTILLDRAWING = HR(0x8876021C);
constexpr HRESULT DDERR_INVALIDDIRECTDRAWGUID = HR(0x88760231);
constexpr HRESULT DDERR_DIRECTDRAWALREADYCREATED = HR(0x88760232);
constexpr HRESULT DDERR_NODIRECTDRAWHW = HR(0x88760233);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = HR(0x88760234);
constexpr HRESULT DDERR_NOEMULATION = HR(0x88760235);
constexpr HRESULT DDERR_CLIPPERISUSINGHWND = HR(0x88760237);
constexpr HRESULT DDERR_NOCLIPPERATTACHED = HR(0x88760238);
constexpr HRESULT DDERR_HWNDSUBCLASSED = HR(0x8876023A);
constexpr HRESULT DDERR_HWNDALREADYSET = HR(0x8876023B);
constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = HR(0x88760245);
constexpr HRESULT DDERR_NOTLOCKED = HR(0x88760248);
constexpr HRESULT DDERR_UNSUPPORTEDMODE = HR(0x8876024E);
constexpr HRESULT DDERR_NOMIPMAPHW = HR(0x8876024F);
constexpr HRESULT DDERR_INVALIDSURFACETYPE = HR(0x88760250);

constexpr DWORD DDSCL_FULLSCREEN = 0x1;
constexpr DWORD DDSCL_ALLOWREBOOT = 0x2;
constexpr DWORD DDSCL_EXCLUSIVE = 0x10;

constexpr DWORD DDSD_CAPS = 0x1;
constexpr DWORD DDSD_HEIGHT = 0x2;
constexpr DWORD DDSD_WIDTH = 0x4;
constexpr DWORD DDSD_PITCH = 0x8;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x20;
constexpr DWORD DDSD_LPSURFACE = 0x800;
constexpr DWORD DDSD_PIXELFORMAT = 0x1000;
constexpr DWORD DDSD_CKSRCBLT = 0x10000;

constexpr DWORD DDSCAPS_BACKBUFFER = 0x4;
constexpr DWORD DDSCAPS_COMPLEX = 0x8;
constexpr DWORD DDSCAPS_FLIP = 0x10;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x4000;

constexpr DWORD DDBLT_COLORFILL = 0x400;
constexpr DWORD DDBLT_KEYSRC = 0x8000;
constexpr DWORD DDBLT_WAIT = 0x1000000;
constexpr DWORD DDFLIP_WAIT = 0x1;
constexpr DWORD DDLOCK_WAIT = 0x1;
constexpr DWORD DDCKEY_SRCBLT = 0x8;
constexpr DWORD RDH_RECTANGLES = 1;

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDSCAPS {
    DWORD dwCaps;
};

struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    void* lpSurface;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};

struct DDBLTFX {
    DWORD dwSize;
    DWORD dwFillColor;
};

struct RGNDATAHEADER {
    DWORD dwSize;
    DWORD iType;
    DWORD nCount;
    DWORD nRgnSize;
    RECT rcBound;
};

// A clip region; this layer keeps clip lists of one rectangle.
struct RGNDATA {
    RGNDATAHEADER rdh;
    RECT rects[1];
};

class IDirectDrawClipper {
public:
    HRESULT SetClipList(const RGNDATA* region, DWORD flags);
    ULONG Release();

private:
    friend class IDirectDrawSurface;
    friend class IDirectDraw;
    RECT clip{};
    bool hasClip = false;
    ULONG refs = 1;
};

class IDirectDrawSurface {
public:
    HRESULT Blt(const RECT* destRect, IDirectDrawSurface* source, const RECT* sourceRect, DWORD flags,
                const DDBLTFX* effects);
    HRESULT Flip(IDirectDrawSurface* target, DWORD flags);
    HRESULT GetAttachedSurface(const DDSCAPS* caps, IDirectDrawSurface** attached);
    HRESULT SetClipper(IDirectDrawClipper* clipper);
    HRESULT SetColorKey(DWORD flags, const DDCOLORKEY* key);
    HRESULT Lock(const RECT* rect, DDSURFACEDESC* desc, DWORD flags, void* event);
    HRESULT Unlock(void* pointer);
    HRESULT Restore();
    HRESULT IsLost();
    ULONG AddRef();
    ULONG Release();

    // For the hosts and tests: the pixels as they are, without a lock.
    int Width() const { return width; }
    int Height() const { return height; }
    const uint16_t* Pixels() const { return pixels.data(); }
    bool InVideoMemory() const { return videoMemory; }
    bool HasColorKey() const { return keyed; }

private:
    friend class IDirectDraw;
    friend void LoseAllSurfaces();
    IDirectDrawSurface(int w, int h, bool video);
    ~IDirectDrawSurface();

    int width;
    int height;
    std::vector<uint16_t> pixels;
    bool videoMemory;
    bool primary = false;
    bool keyed = false;
    uint16_t colorKey = 0;
    bool lost = false;
    bool locked = false;
    ULONG refs = 1;
    long long budgeted = 0;  // video memory taken from the budget
    IDirectDrawSurface* backBuffer = nullptr;
    IDirectDrawClipper* clipper = nullptr;
    // Per row, the columns [first, end) outside which every pixel is the key, and
    // whether none between is: a keyed blit copies such rows as an opaque one.
    // Made by the first keyed blit from the surface, dropped when it is written.
    struct KeySpan {
        uint16_t first, end;
        bool solid;
    };
    std::vector<KeySpan> keySpans;
    bool keySpansValid = false;
    const KeySpan* KeySpans();
};

class IDirectDraw {
public:
    HRESULT SetCooperativeLevel(HWND window, DWORD flags);
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bits);
    HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer);
    HRESULT GetDisplayMode(DDSURFACEDESC* desc);
    HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, void* outer);
    ULONG Release();

private:
    friend HRESULT DirectDrawCreate(void* guid, IDirectDraw** object, void* outer);
    bool cooperative = false;
    bool modeSet = false;
    int modeWidth = 0;
    int modeHeight = 0;
    bool primaryExists = false;
};

HRESULT DirectDrawCreate(void* guid, IDirectDraw** object, void* outer);

// Bytes of "video memory" left for surfaces asked for there; negative means no limit.
// The SDL host has no limit; tests set a small one so the system-memory path runs.
void SetVideoMemoryBudget(long long bytes);
// Surfaces alive now (for leak checks in tests).
int LiveSurfaceCount();
