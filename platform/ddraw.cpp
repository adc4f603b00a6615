// Surfaces are CPU buffers of 16-bit pixels; blits follow the original display
// interface: opaque or source-keyed, nearest-neighbour scaling, clipped to an
// attached clipper, refused when a rectangle leaves an unclipped surface.
#include "platform/ddraw.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/faults.h"
#include "platform/host.h"
#include "platform/journal.h"

namespace {

// One row of a colour-keyed copy between two different surfaces; written so that
// the compiler turns it into vector blends (every screen is drawn this way), with
// wider ones where the processor has them.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define VALIMO_BLEND_ROW __attribute__((optimize("tree-vectorize"), target_clones("avx2", "default")))
#else
#define VALIMO_BLEND_ROW
#endif
VALIMO_BLEND_ROW void KeyedRow(uint16_t* __restrict dst, const uint16_t* __restrict src, int n, uint16_t key) {
    for (int i = 0; i < n; i++) {
        const uint16_t p = src[i];
        dst[i] = p == key ? dst[i] : p;
    }
}

long long videoBudget = -1;
int liveSurfaces = 0;
std::vector<IDirectDrawSurface*>* allSurfaces = nullptr;

std::vector<IDirectDrawSurface*>& Surfaces() {
    if (!allSurfaces) allSurfaces = new std::vector<IDirectDrawSurface*>();
    return *allSurfaces;
}

// Also the widest a key span's uint16_t columns hold.
constexpr int kMaxSide = 8192;

bool Inverted(const RECT& r) { return r.right < r.left || r.bottom < r.top; }
bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
bool Inside(const RECT& r, int w, int h) { return r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h; }

}  // namespace

void SetVideoMemoryBudget(long long bytes) { videoBudget = bytes; }
int LiveSurfaceCount() { return liveSurfaces; }

void LoseAllSurfaces() {
    if (!JournalSurfacesLost()) return;
    for (IDirectDrawSurface* s : Surfaces()) s->lost = true;
}

// ---- clipper ----

HRESULT IDirectDrawClipper::SetClipList(const RGNDATA* region, DWORD flags) {
    HRESULT fault;
    if (TakeFault("IDirectDrawClipper::SetClipList", &fault)) return fault;
    if (!region || flags != 0) return DDERR_INVALIDPARAMS;
    if (region->rdh.iType != RDH_RECTANGLES || region->rdh.nCount != 1 || Inverted(region->rects[0]))
        return DDERR_INVALIDCLIPLIST;
    clip = region->rects[0];
    hasClip = true;
    return DD_OK;
}

ULONG IDirectDrawClipper::Release() {
    if (--refs > 0) return refs;
    delete this;
    return 0;
}

// ---- surfaces ----

IDirectDrawSurface::IDirectDrawSurface(int w, int h, bool video)
    : width(w), height(h), pixels(size_t(w) * size_t(h), 0), videoMemory(video) {
    liveSurfaces++;
    Surfaces().push_back(this);
}

IDirectDrawSurface::~IDirectDrawSurface() {
    liveSurfaces--;
    auto& all = Surfaces();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    if (videoBudget >= 0) videoBudget += budgeted;
    if (clipper) clipper->Release();
    if (backBuffer) backBuffer->Release();
}

ULONG IDirectDrawSurface::AddRef() { return ++refs; }

ULONG IDirectDrawSurface::Release() {
    if (--refs > 0) return refs;
    delete this;
    return 0;
}

HRESULT IDirectDrawSurface::IsLost() { return lost ? DDERR_SURFACELOST : DD_OK; }

HRESULT IDirectDrawSurface::Restore() {
    HRESULT fault;
    if (TakeFault("IDirectDrawSurface::Restore", &fault)) return fault;
    if (lost) {
        std::fill(pixels.begin(), pixels.end(), 0);
        lost = false;
        keySpansValid = false;
    }
    return DD_OK;
}

HRESULT IDirectDrawSurface::SetColorKey(DWORD flags, const DDCOLORKEY* key) {
    HRESULT fault;
    if (TakeFault("IDirectDrawSurface::SetColorKey", &fault)) return fault;
    if (flags != DDCKEY_SRCBLT) return DDERR_INVALIDPARAMS;
    if (!key) {
        keyed = false;
        return DD_OK;
    }
    keyed = true;
    colorKey = uint16_t(key->dwColorSpaceLowValue);
    keySpansValid = false;
    return DD_OK;
}

HRESULT IDirectDrawSurface::SetClipper(IDirectDrawClipper* newClipper) {
    HRESULT fault;
    if (TakeFault("IDirectDrawSurface::SetClipper", &fault)) return fault;
    if (newClipper) newClipper->refs++;
    if (clipper) clipper->Release();
    clipper = newClipper;
    return DD_OK;
}

HRESULT IDirectDrawSurface::GetAttachedSurface(const DDSCAPS* caps, IDirectDrawSurface** attached) {
    HRESULT fault;
    if (TakeFault("IDirectDrawSurface::GetAttachedSurface", &fault)) return fault;
    if (!caps || !attached) return DDERR_INVALIDPARAMS;
    *attached = nullptr;
    if (!(caps->dwCaps & DDSCAPS_BACKBUFFER) || !backBuffer) return DDERR_NOTFOUND;
    backBuffer->AddRef();
    *attached = backBuffer;
    return DD_OK;
}

HRESULT IDirectDrawSurface::Flip(IDirectDrawSurface* target, DWORD flags) {
    HRESULT fault;
    if (TakeFault("IDirectDrawSurface::Flip", &fault)) return fault;
    if (!primary || !backBuffer || target) return DDERR_INVALIDPARAMS;
    if (lost || backBuffer->lost) return DDERR_SURFACELOST;
    if (locked || backBuffer->locked) return DDERR_SURFACEBUSY;
    pixels.swap(backBuffer->pixels);
    keySpansValid = backBuffer->keySpansValid = false;
    DWORD bits = 0, r = 0, g = 0, b = 0;
    HostDisplayFormat(&bits, &r, &g, &b);
    HostPresent(pixels.data(), width, width, height, r == 0x7C00 ? 15 : 16);
    JournalFrameShown(pixels.data(), width, width, height, r == 0x7C00 ? 15 : 16);
    return DD_OK;
}

HRESULT IDirectDrawSurface::Lock(const RECT* rect, DDSURFACEDESC* desc, DWORD flags, void* event) {
    HRESULT fault;
    if (TakeFault("IDirectDrawSurface::Lock", &fault)) return fault;
    if (!desc) return DDERR_INVALIDPARAMS;
    if (lost) return DDERR_SURFACELOST;
    if (locked) return DDERR_SURFACEBUSY;
    size_t offset = 0;
    if (rect) {
        if (Inverted(*rect) || !Inside(*rect, width, height)) return DDERR_INVALIDRECT;
        offset = size_t(rect->top) * size_t(width) + size_t(rect->left);
    }
    locked = true;
    keySpansValid = false;
    desc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_LPSURFACE | DDSD_PIXELFORMAT;
    desc->dwWidth = DWORD(width);
    desc->dwHeight = DWORD(height);
    desc->lPitch = width * 2;
    desc->lpSurface = pixels.data() + offset;
    return DD_OK;
}

HRESULT IDirectDrawSurface::Unlock(void* pointer) {
    HRESULT fault;
    if (TakeFault("IDirectDrawSurface::Unlock", &fault)) return fault;
    if (!locked) return DDERR_NOTLOCKED;
    locked = false;
    return DD_OK;
}

HRESULT IDirectDrawSurface::Blt(const RECT* destRect, IDirectDrawSurface* source, const RECT* sourceRect,
                                DWORD flags, const DDBLTFX* effects) {
    HRESULT fault;
    if (TakeFault("IDirectDrawSurface::Blt", &fault)) return fault;
    const bool fill = flags & DDBLT_COLORFILL;
    if (fill ? !effects : !source) return DDERR_INVALIDPARAMS;
    if (lost || (!fill && source->lost)) return DDERR_SURFACELOST;
    if (locked || (!fill && source->locked)) return DDERR_SURFACEBUSY;
    if (!fill && (flags & DDBLT_KEYSRC) && !source->keyed) return DDERR_NOCOLORKEY;

    RECT d = destRect ? *destRect : RECT{0, 0, width, height};
    RECT s{};
    if (!fill) s = sourceRect ? *sourceRect : RECT{0, 0, source->width, source->height};
    if (Inverted(d) || (!fill && Inverted(s))) return DDERR_INVALIDRECT;
    if (!fill && !Inside(s, source->width, source->height)) return DDERR_INVALIDRECT;
    if (Empty(d) || (!fill && Empty(s))) return DD_OK;

    // Without a clipper a rectangle leaving the surface is refused; with one it is cut.
    RECT c{0, 0, width, height};
    if (clipper && clipper->hasClip) {
        c.left = std::max(c.left, clipper->clip.left);
        c.top = std::max(c.top, clipper->clip.top);
        c.right = std::min(c.right, clipper->clip.right);
        c.bottom = std::min(c.bottom, clipper->clip.bottom);
    } else if (!Inside(d, width, height)) {
        return DDERR_INVALIDRECT;
    }
    const int x0 = std::max(d.left, c.left), x1 = std::min(d.right, c.right);
    const int y0 = std::max(d.top, c.top), y1 = std::min(d.bottom, c.bottom);
    if (x0 >= x1 || y0 >= y1) return DD_OK;
    keySpansValid = false;

    if (fill) {
        const uint16_t colour = uint16_t(effects->dwFillColor);
        // Black, the usual fill, is one byte repeated: the library's memset is the fastest.
        const bool bytes = (colour & 0xFF) == (colour >> 8);
        for (int y = y0; y < y1; y++) {
            uint16_t* row = pixels.data() + size_t(y) * width + x0;
            if (bytes) {
                std::memset(row, colour & 0xFF, size_t(x1 - x0) * 2);
            } else {
                std::fill_n(row, x1 - x0, colour);
            }
        }
        return DD_OK;
    }

    const int dw = d.right - d.left, dh = d.bottom - d.top;
    const int sw = s.right - s.left, sh = s.bottom - s.top;
    const bool keyedBlt = flags & DDBLT_KEYSRC;
    const uint16_t key = source->colorKey;
    const int n = x1 - x0;
    if (dw == sw && dh == sh) {
        const int sx = s.left + (x0 - d.left);
        const KeySpan* spans = keyedBlt && source != this ? source->KeySpans() : nullptr;
        for (int y = y0; y < y1; y++) {
            const int sy = s.top + (y - d.top);
            const uint16_t* src = source->pixels.data() + size_t(sy) * source->width + sx;
            uint16_t* dst = pixels.data() + size_t(y) * width + x0;
            if (!keyedBlt) {
                std::memmove(dst, src, size_t(n) * 2);
            } else if (spans) {
                // Only the part of the row that is not all key; copied whole where it has none.
                const int first = std::max(sx, int(spans[sy].first)), end = std::min(sx + n, int(spans[sy].end));
                if (first >= end) continue;
                if (spans[sy].solid) {
                    std::memcpy(dst + (first - sx), src + (first - sx), size_t(end - first) * 2);
                } else {
                    KeyedRow(dst + (first - sx), src + (first - sx), end - first, key);
                }
            } else {
                for (int i = 0; i < n; i++) dst[i] = src[i] == key ? dst[i] : src[i];
            }
        }
        return DD_OK;
    }
    // Nearest-neighbour scaling, mapped from the unclipped rectangles so that
    // clipping never shifts the picture.
    std::vector<int> columns(size_t(n), 0);
    for (int i = 0; i < n; i++) columns[size_t(i)] = s.left + int((long long)(x0 + i - d.left) * sw / dw);
    for (int y = y0; y < y1; y++) {
        const int sy = s.top + int((long long)(y - d.top) * sh / dh);
        const uint16_t* src = source->pixels.data() + size_t(sy) * source->width;
        uint16_t* dst = pixels.data() + size_t(y) * width + x0;
        for (int i = 0; i < n; i++) {
            const uint16_t p = src[columns[size_t(i)]];
            if (!keyedBlt || p != key) dst[i] = p;
        }
    }
    return DD_OK;
}

const IDirectDrawSurface::KeySpan* IDirectDrawSurface::KeySpans() {
    if (keySpansValid) return keySpans.data();
    keySpans.assign(size_t(height), KeySpan{0, 0, true});
    for (int y = 0; y < height; y++) {
        const uint16_t* row = pixels.data() + size_t(y) * size_t(width);
        int first = 0, end = width;
        while (first < end && row[first] == colorKey) first++;
        while (end > first && row[end - 1] == colorKey) end--;
        bool solid = true;
        for (int x = first; x < end && solid; x++) solid = row[x] != colorKey;
        keySpans[size_t(y)] = {uint16_t(first), uint16_t(end), solid};
    }
    keySpansValid = true;
    return keySpans.data();
}

// ---- display object ----

HRESULT DirectDrawCreate(void* guid, IDirectDraw** object, void* outer) {
    HRESULT fault;
    if (TakeFault("DirectDrawCreate", &fault)) return fault;
    if (!object || outer) return DDERR_INVALIDPARAMS;
    *object = nullptr;
    if (guid) return DDERR_INVALIDDIRECTDRAWGUID;
    // Changed on purpose: no display (docs/BEHAVIOUR.md).
    if (!HostHasWindow()) return DDERR_NODIRECTDRAWHW;
    *object = new IDirectDraw();
    return DD_OK;
}

ULONG IDirectDraw::Release() {
    delete this;
    return 0;
}

HRESULT IDirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
    HRESULT fault;
    if (TakeFault("IDirectDraw::SetCooperativeLevel", &fault)) return fault;
    if (!window) return DDERR_INVALIDPARAMS;
    cooperative = true;
    return DD_OK;
}

HRESULT IDirectDraw::SetDisplayMode(DWORD w, DWORD h, DWORD bits) {
    HRESULT fault;
    if (TakeFault("IDirectDraw::SetDisplayMode", &fault)) return fault;
    if (!cooperative) return DDERR_NOEXCLUSIVEMODE;
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) return DDERR_INVALIDMODE;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return DDERR_INVALIDMODE;
    modeSet = true;
    modeWidth = int(w);
    modeHeight = int(h);
    return DD_OK;
}

HRESULT IDirectDraw::GetDisplayMode(DDSURFACEDESC* desc) {
    HRESULT fault;
    if (TakeFault("IDirectDraw::GetDisplayMode", &fault)) return fault;
    if (!desc) return DDERR_INVALIDPARAMS;
    DWORD bits = 0, r = 0, g = 0, b = 0;
    HostDisplayFormat(&bits, &r, &g, &b);
    desc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc->dwWidth = DWORD(modeSet ? modeWidth : 640);
    desc->dwHeight = DWORD(modeSet ? modeHeight : 480);
    desc->ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc->ddpfPixelFormat.dwRGBBitCount = bits;
    desc->ddpfPixelFormat.dwRBitMask = r;
    desc->ddpfPixelFormat.dwGBitMask = g;
    desc->ddpfPixelFormat.dwBBitMask = b;
    return DD_OK;
}

HRESULT IDirectDraw::CreateClipper(DWORD flags, IDirectDrawClipper** clipper, void* outer) {
    HRESULT fault;
    if (TakeFault("IDirectDraw::CreateClipper", &fault)) return fault;
    if (!clipper || outer || flags != 0) return DDERR_INVALIDPARAMS;
    *clipper = new IDirectDrawClipper();
    return DD_OK;
}

HRESULT IDirectDraw::CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer) {
    HRESULT fault;
    if (TakeFault("IDirectDraw::CreateSurface", &fault)) return fault;
    if (!desc || !surface || outer || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (!cooperative) return DDERR_NOCOOPERATIVELEVELSET;
    const DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : 0;
    if ((caps & DDSCAPS_VIDEOMEMORY) && (caps & DDSCAPS_SYSTEMMEMORY)) return DDERR_INVALIDCAPS;

    try {
        if (caps & DDSCAPS_PRIMARYSURFACE) {
            if (primaryExists) return DDERR_PRIMARYSURFACEALREADYEXISTS;
            const DWORD backs = (desc->dwFlags & DDSD_BACKBUFFERCOUNT) ? desc->dwBackBufferCount : 0;
            if (backs > 1 || (backs == 1 && !(caps & DDSCAPS_FLIP))) return DDERR_INVALIDCAPS;
            const int w = modeSet ? modeWidth : 640, h = modeSet ? modeHeight : 480;
            auto* front = new IDirectDrawSurface(w, h, true);
            front->primary = true;
            if (backs == 1) {
                front->backBuffer = new IDirectDrawSurface(w, h, true);
                front->backBuffer->primary = true;
            }
            primaryExists = true;
            *surface = front;
            return DD_OK;
        }
        if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
        const DWORD w = desc->dwWidth, h = desc->dwHeight;
        if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) return DDERR_INVALIDPARAMS;
        const bool video = !(caps & DDSCAPS_SYSTEMMEMORY);
        const long long bytes = (long long)w * h * 2;
        if (video && videoBudget >= 0 && bytes > videoBudget) return DDERR_OUTOFVIDEOMEMORY;
        auto* made = new IDirectDrawSurface(int(w), int(h), video);
        if (video && videoBudget >= 0) {
            videoBudget -= bytes;
            made->budgeted = bytes;
        }
        if (desc->dwFlags & DDSD_CKSRCBLT) {
            made->keyed = true;
            made->colorKey = uint16_t(desc->ddckCKSrcBlt.dwColorSpaceLowValue);
        }
        *surface = made;
        return DD_OK;
    } catch (const std::bad_alloc&) {
        return DDERR_OUTOFMEMORY;
    }
}
