// The display device: the display object, the 640 x 480 x 16 mode, the primary
// surface with its back buffer and clipper, the pixel mode, and the error reporters.
#pragma once
#include <cstdint>

#include "platform/ddraw.h"

extern IDirectDraw* lpdd;
extern IDirectDrawSurface* primarySurface;
extern IDirectDrawSurface* backBuffer;
extern IDirectDrawClipper* clipper;
// 15 for 5-5-5, 16 for 5-6-5, 0 for an 8-bit display.
extern int PixelMode;

struct SurfaceLock {
    uint16_t* pixels;  // first pixel of the locked surface
    int pitch;         // bytes from one row to the next
};

// The display is the window's alone while the game runs.
void InitDirectDraw(HWND window, HINSTANCE instance, int width, int height, int bits);
void ReleaseDirectDraw();
HRESULT FlipScreen();
void SetSurfaceClipRect(IDirectDrawSurface* surface, int x, int y, int width, int height);
void ReleaseClipper();
// Both fatal on failure.
void LockSurface(IDirectDrawSurface* surface, SurfaceLock* lock);
void UnlockSurface(IDirectDrawSurface* surface, SurfaceLock* lock);
void DetectPixelMode();

// Each returns the message for a result code, with "\n" appended, in one shared buffer.
const char* dderrCreate(HRESULT result);
const char* dderrCooperate(HRESULT result);
const char* dderrSetMode(HRESULT result);
const char* dderrCreateSurface(HRESULT result);
const char* dderrGetAttSurface(HRESULT result);
const char* dderrClip(HRESULT result);
const char* dderrLock(HRESULT result);
