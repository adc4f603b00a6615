#include "gfx/display.h"

#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "gfx/sprite.h"

IDirectDraw* lpdd = nullptr;
IDirectDrawSurface* primarySurface = nullptr;
IDirectDrawSurface* backBuffer = nullptr;
IDirectDrawClipper* clipper = nullptr;
int PixelMode = 0;

namespace {

char messageBuffer[128];

struct ErrorText {
    HRESULT result;
    const char* text;
};

template <size_t N>
const char* Report(const ErrorText (&table)[N], const char* fallback, HRESULT result) {
    const char* text = fallback;
    for (const ErrorText& entry : table) {
        if (entry.result == result) {
            text = entry.text;
            break;
        }
    }
    std::memset(messageBuffer, 0, sizeof messageBuffer);
    std::snprintf(messageBuffer, sizeof messageBuffer, "%s\n", text);
    return messageBuffer;
}

const ErrorText createErrors[] = {
    {DDERR_DIRECTDRAWALREADYCREATED, "dderrCreate() DirectDraw is already created"},
    {DDERR_GENERIC, "dderrCreate() Generic"},
    {DDERR_INVALIDDIRECTDRAWGUID, "dderrCreate() Invalid DirectDraw GUID"},
    {DDERR_INVALIDPARAMS, "dderrCreate() Invalid params"},
    {DDERR_NODIRECTDRAWHW, "dderrCreate() No DirectDraw hardware found"},
    {DDERR_OUTOFMEMORY, "dderrCreate() Out of memory"},
};

const ErrorText cooperateErrors[] = {
    {DDERR_EXCLUSIVEMODEALREADYSET, "dderrCooperate() Exclusive mode already set"},
    {DDERR_HWNDALREADYSET, "dderrCooperate() HWND already set"},
    {DDERR_HWNDSUBCLASSED, "dderrCooperate() HWND subclassed"},
    {DDERR_INVALIDOBJECT, "dderrCooperate() Invalid object"},
    {DDERR_INVALIDPARAMS, "dderrCooperate() Invalid params"},
    {DDERR_OUTOFMEMORY, "dderrCooperate() Out of memory"},
};

const ErrorText setModeErrors[] = {
    {DDERR_GENERIC, "dderrSetMode() Generic"},
    {DDERR_INVALIDMODE, "dderrSetMode() Invalid mode"},
    {DDERR_INVALIDOBJECT, "dderrSetMode() Invalid object"},
    {DDERR_INVALIDPARAMS, "dderrSetMode() Invalid params"},
    {DDERR_LOCKEDSURFACES, "dderrSetMode() Locked surfaces"},
    {DDERR_NOEXCLUSIVEMODE, "dderrSetMode() No exclusive mode"},
    {DDERR_SURFACEBUSY, "dderrSetMode() Surface busy"},
    {DDERR_UNSUPPORTED, "dderrSetMode() Operation not supported"},
    {DDERR_UNSUPPORTEDMODE, "dderrSetMode() Unsupported mode"},
    {DDERR_WASSTILLDRAWING, "dderrSetMode() Was still drawing"},
};

const ErrorText createSurfaceErrors[] = {
    {DDERR_INCOMPATIBLEPRIMARY, "dderrCreateSurface() Incompatible primary"},
    {DDERR_INVALIDCAPS, "dderrCreateSurface() Invalid caps"},
    {DDERR_INVALIDOBJECT, "dderrCreateSurface() Invalid object"},
    {DDERR_INVALIDPARAMS, "dderrCreateSurface() Invalid params"},
    {DDERR_INVALIDPIXELFORMAT, "dderrCreateSurface() Invalid pixel format"},
    {DDERR_NOALPHAHW, "dderrCreateSurface() No alpha hardware found"},
    {DDERR_NOCOOPERATIVELEVELSET, "dderrCreateSurface() No cooperative level set"},
    {DDERR_NODIRECTDRAWHW, "dderrCreateSurface() No DirectDraw hardware found"},
    {DDERR_NOEMULATION, "dderrCreateSurface() No emulation"},
    {DDERR_NOEXCLUSIVEMODE, "dderrCreateSurface() No exclusive mode"},
    {DDERR_NOFLIPHW, "dderrCreateSurface() No flip hardware found"},
    {DDERR_NOMIPMAPHW, "dderrCreateSurface() No mipmap hardware found"},
    {DDERR_NOOVERLAYHW, "dderrCreateSurface() No overlay hardware found"},
    {DDERR_NOZBUFFERHW, "dderrCreateSurface() No z-buffer hardware found"},
    {DDERR_OUTOFMEMORY, "dderrCreateSurface() Out of memory"},
    {DDERR_OUTOFVIDEOMEMORY, "dderrCreateSurface() Out of video memory"},
    {DDERR_PRIMARYSURFACEALREADYEXISTS, "dderrCreateSurface() Primary surface already exists"},
    {DDERR_UNSUPPORTEDMODE, "dderrCreateSurface() Unsupported mode"},
};

const ErrorText getAttSurfaceErrors[] = {
    {DDERR_INVALIDOBJECT, "dderrCreateSurface() Invalid object"},
    {DDERR_INVALIDPARAMS, "dderrCreateSurface() Invalid params"},
    {DDERR_NOTFOUND, "dderrCreateSurface() The requested item was not found"},
    {DDERR_SURFACELOST, "dderrCreateSurface() The surface is lost"},
};

const ErrorText clipErrors[] = {
    {DDERR_INVALIDOBJECT, "dderrClip() Invalid object"},
    {DDERR_INVALIDPARAMS, "dderrClip() Invalid params"},
    {DDERR_NOCOOPERATIVELEVELSET, "dderrClip() No cooperative level set"},
    {DDERR_OUTOFMEMORY, "dderrClip() Out of memory"},
    {DDERR_CLIPPERISUSINGHWND, "dderrClip() Clipper is using HWND"},
    {DDERR_INVALIDCLIPLIST, "dderrClip() Invalid clip list"},
    {DDERR_INVALIDSURFACETYPE, "dderrClip() Invalid surface type"},
    // Kept on purpose: the log's misspellings (docs/BEHAVIOUR.md).
    {DDERR_NOCLIPPERATTACHED, "dderrClip() No clippper attached"},
};

const ErrorText lockErrors[] = {
    {DDERR_GENERIC, "dderrLock() Generic"},
    {DDERR_INVALIDRECT, "dderrLock() Invalid rect"},
    {DDERR_NOTLOCKED, "dderrLock() The surface is not locked"},
    {DDERR_SURFACELOST, "dderrLock() The surface is lost"},
    {DDERR_INVALIDOBJECT, "dderrLock() Invalid object"},
    {DDERR_INVALIDPARAMS, "dderrLock() Invalid params"},
    {DDERR_SURFACEBUSY, "dderrLock() The surface is busy"},
    {DDERR_OUTOFMEMORY, "dderrLock() Out of memory"},
    {DDERR_WASSTILLDRAWING, "dderrLock() Was still drawing"},
};

}  // namespace

const char* dderrCreate(HRESULT r) { return Report(createErrors, "dderrCreate() Unidentified error", r); }
const char* dderrCooperate(HRESULT r) { return Report(cooperateErrors, "dderrCooperate() Unidentified error", r); }
const char* dderrSetMode(HRESULT r) { return Report(setModeErrors, "dderrSetMode() Unidentified error", r); }
const char* dderrCreateSurface(HRESULT r) {
    return Report(createSurfaceErrors, "dderrCreateSurface() Unidentified error", r);
}
const char* dderrGetAttSurface(HRESULT r) {
    return Report(getAttSurfaceErrors, "dderrGetAttSurface() Unidentified error", r);
}
const char* dderrClip(HRESULT r) { return Report(clipErrors, "dderrClip() Unidentified error", r); }
const char* dderrLock(HRESULT r) { return Report(lockErrors, "dderrLock() Unidentified error", r); }

void InitDirectDraw(HWND window, HINSTANCE instance, int width, int height, int bits) {
    WriteLog("Initializing DirectDraw\n");
    HRESULT result = DirectDrawCreate(nullptr, &lpdd, nullptr);
    if (result != DD_OK) SystemError(dderrCreate(result));
    result = lpdd->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE);
    if (result != DD_OK) SystemError(dderrCooperate(result));
    result = lpdd->SetDisplayMode(DWORD(width), DWORD(height), DWORD(bits));
    if (result != DD_OK) SystemError(dderrSetMode(result));

    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    result = lpdd->CreateSurface(&desc, &primarySurface, nullptr);
    if (result != DD_OK) SystemError(dderrCreateSurface(result));

    DDSCAPS caps{DDSCAPS_BACKBUFFER | DDSCAPS_VIDEOMEMORY};
    result = primarySurface->GetAttachedSurface(&caps, &backBuffer);
    if (result != DD_OK) SystemError(dderrGetAttSurface(result));

    SetSurfaceClipRect(backBuffer, 0, 0, width, height);
    DetectPixelMode();
    softwareSpriteWarning = false;
}

void SetSurfaceClipRect(IDirectDrawSurface* surface, int x, int y, int width, int height) {
    ReleaseClipper();
    HRESULT result = lpdd->CreateClipper(0, &clipper, nullptr);
    if (result != DD_OK) SystemError(dderrClip(result));
    RGNDATA region;
    std::memset(&region, 0, sizeof region);
    region.rdh.dwSize = sizeof(RGNDATAHEADER);
    region.rdh.iType = RDH_RECTANGLES;
    region.rdh.nCount = 1;
    region.rdh.nRgnSize = sizeof(RECT);
    region.rdh.rcBound = RECT{x, y, x + width, y + height};
    region.rects[0] = region.rdh.rcBound;
    result = clipper->SetClipList(&region, 0);
    if (result != DD_OK) SystemError(dderrClip(result));
    result = surface->SetClipper(clipper);
    if (result != DD_OK) SystemError(dderrClip(result));
}

void ReleaseClipper() {
    if (clipper) {
        clipper->Release();
        clipper = nullptr;
    }
}

void DetectPixelMode() {
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    if (lpdd->GetDisplayMode(&desc) != DD_OK) SystemError("lpdd->GetDisplayMode(): Failed (!DD_OK)\n");
    if (desc.ddpfPixelFormat.dwRBitMask == 0x7C00) {
        PixelMode = 15;
        WriteLog("VideoMode: 555\n");
    } else if (desc.ddpfPixelFormat.dwRBitMask == 0xF800) {
        PixelMode = 16;
        WriteLog("VideoMode: 565\n");
    } else {
        PixelMode = 0;
        if (desc.ddpfPixelFormat.dwRGBBitCount != 8) SystemError("Unable to identify video mode, quitting...\n");
        WriteLog("VideoMode: 8bit\n");
    }
}

HRESULT FlipScreen() {
    if (!primarySurface) return DDERR_INVALIDOBJECT;
    return primarySurface->Flip(nullptr, DDFLIP_WAIT);
}

void LockSurface(IDirectDrawSurface* surface, SurfaceLock* lock) {
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    HRESULT result = surface ? surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) : DDERR_INVALIDOBJECT;
    if (result != DD_OK) SystemError(dderrLock(result));
    lock->pixels = static_cast<uint16_t*>(desc.lpSurface);
    lock->pitch = desc.lPitch;
}

void UnlockSurface(IDirectDrawSurface* surface, SurfaceLock* lock) {
    HRESULT result = surface ? surface->Unlock(nullptr) : DDERR_INVALIDOBJECT;
    if (result != DD_OK) SystemError(dderrLock(result));
    lock->pixels = nullptr;
    lock->pitch = 0;
}

void ReleaseDirectDraw() {
    WriteLog("DirectDraw Release\n");
    ReleaseClipper();
    if (backBuffer) {
        backBuffer->Release();
        backBuffer = nullptr;
    }
    if (primarySurface) {
        primarySurface->Release();
        primarySurface = nullptr;
    }
    if (lpdd) {
        lpdd->Release();
        lpdd = nullptr;
    }
}
