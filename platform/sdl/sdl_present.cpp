#include "platform/sdl/sdl_present.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/faults.h"

namespace {

SDL_Renderer* renderer = nullptr;
PresentPath path = PRESENT_NEAREST;
bool softwareRenderer = false;
PictureScaling lastScaling;
SharpScaler scaler;
// 640 x 480, converted to 32 bits: the card paths draw it.
SDL_Texture* frameTexture = nullptr;
bool frameTextureFilled = false;
// The picture enlarged to a whole factor (card path) or to the output (processor path).
SDL_Texture* bigTexture = nullptr;
int bigW = 0, bigH = 0;
// What the last frame was drawn on: a frame drawn on anything else is drawn whole.
bool drawn = false;
int drawnW = 0, drawnH = 0;
PresentPath drawnPath = PRESENT_NEAREST;
SDL_Surface* drawnSurface = nullptr;
bool onWindowSurface = false;
ScreenArea lastSent;

void DropBigTexture() {
    if (bigTexture) SDL_DestroyTexture(bigTexture);
    bigTexture = nullptr;
    bigW = bigH = 0;
}

void DropTextures() {
    if (frameTexture) SDL_DestroyTexture(frameTexture);
    frameTexture = nullptr;
    frameTextureFilled = false;
    DropBigTexture();
    drawn = false;
}

void FallBackToNearest(const char* why) {
    std::fprintf(stderr, "valimo: %s (%s); the picture is scaled by nearest pixel instead\n", why, SDL_GetError());
    DropBigTexture();
    path = PRESENT_NEAREST;
}

// A texture of w x h in 0x00RRGGBB, the layout every renderer takes.
SDL_Texture* MakeTexture(int access, int w, int h, SDL_ScaleMode scaleMode) {
    HRESULT fault;
    if (access == SDL_TEXTUREACCESS_TARGET && TakeFault("SDL_CreateTexture(target)", &fault)) {
        SDL_SetError("injected fault");
        return nullptr;
    }
    SDL_Texture* t = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, access, w, h);
    if (t) SDL_SetTextureScaleMode(t, scaleMode);
    return t;
}

bool BigTexture(int access, int w, int h, SDL_ScaleMode scaleMode) {
    if (bigTexture && bigW == w && bigH == h) return true;
    DropBigTexture();
    bigTexture = MakeTexture(access, w, h, scaleMode);
    bigW = bigTexture ? w : 0;
    bigH = bigTexture ? h : 0;
    return bigTexture != nullptr;
}

// SDL's software renderer draws into the window's own surface; where that holds
// 0x00RRGGBB the picture is scaled straight into it, and only what changed is
// sent to the display. Null elsewhere (a GL renderer must not be given one).
SDL_Surface* WindowSurface() {
    SDL_Window* window = renderer && softwareRenderer && path == PRESENT_ON_PROCESSOR ? SDL_RenderGetWindow(renderer)
                                                                                       : nullptr;
    SDL_Surface* s = window ? SDL_GetWindowSurface(window) : nullptr;
    return s && s->format->format == SDL_PIXELFORMAT_RGB888 && s->w > 0 && s->h > 0 ? s : nullptr;
}

bool OutputSize(int* w, int* h, SDL_Surface** surface) {
    *surface = WindowSurface();
    if (*surface) {
        *w = (*surface)->w;
        *h = (*surface)->h;
        return true;
    }
    return SDL_GetRendererOutputSize(renderer, w, h) == 0 && *w > 0 && *h > 0;
}

// Only the changed rows, converted at the picture's own size: the card paths
// enlarge it from there.
bool UploadFrame(const uint16_t* pixels, int pitchPixels, const FrameRect& changed) {
    if (!frameTexture) {
        frameTexture = MakeTexture(SDL_TEXTUREACCESS_STREAMING, PICTURE_WIDTH, PICTURE_HEIGHT, SDL_ScaleModeNearest);
        frameTextureFilled = false;
    }
    if (!frameTexture) return false;
    const int first = frameTextureFilled ? changed.y : 0;
    const int end = frameTextureFilled ? changed.y + changed.h : PICTURE_HEIGHT;
    const SDL_Rect rows{0, first, PICTURE_WIDTH, end - first};
    void* texels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(frameTexture, &rows, &texels, &pitch) != 0) return false;
    scaler.ConvertRows(pixels, pitchPixels, static_cast<uint32_t*>(texels), pitch / 4, first, end);
    SDL_UnlockTexture(frameTexture);
    frameTextureFilled = true;
    return true;
}

void FillAround(const ScreenArea& a, int outW, int outH) {
    SDL_Rect bars[4];
    int n = 0;
    if (a.x > 0) bars[n++] = {0, 0, a.x, outH};
    if (a.x + a.w < outW) bars[n++] = {a.x + a.w, 0, outW - a.x - a.w, outH};
    if (a.y > 0) bars[n++] = {a.x, 0, a.w, a.y};
    if (a.y + a.h < outH) bars[n++] = {a.x, a.y + a.h, a.w, outH - a.y - a.h};
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    if (n > 0) SDL_RenderFillRects(renderer, bars, n);
}

// Rows of `out` (pitch in pixels) at `at`, black.
void Blacken(uint32_t* out, int pitchTexels, int w, int h) {
    for (int y = 0; y < h; y++) std::memset(out + size_t(y) * size_t(pitchTexels), 0, size_t(w) * 4);
}

// Straight into the window's surface: the black around the picture is written
// only when the output is new, and only the rectangle that changed is sent on.
void DrawIntoWindowSurface(SDL_Surface* s, const uint16_t* pixels, int pitchPixels, const FrameRect& changed,
                           bool whole) {
    const ScreenArea& a = lastScaling.area;
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return;
    uint32_t* rows = static_cast<uint32_t*>(s->pixels);
    const int pitchTexels = s->pitch / 4;
    uint32_t* picture = rows + size_t(a.y) * size_t(pitchTexels) + size_t(a.x);
    ScreenArea sent{0, 0, s->w, s->h};
    if (whole) {
        Blacken(rows, pitchTexels, s->w, s->h);
        scaler.Scale(pixels, pitchPixels, picture, pitchTexels, a.w, a.h);
    } else {
        const ScreenArea r = scaler.Reached(a.w, a.h, {changed.x, changed.y, changed.w, changed.h});
        scaler.ScaleRows(pixels, pitchPixels, picture + size_t(r.y) * size_t(pitchTexels), pitchTexels, a.w, a.h,
                         r.y, r.y + r.h);
        sent = {a.x + r.x, a.y + r.y, r.w, r.h};
    }
    if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
    lastSent = sent;
    if (sent.w <= 0 || sent.h <= 0) return;
    const SDL_Rect rect{sent.x, sent.y, sent.w, sent.h};
    SDL_UpdateWindowSurfaceRects(SDL_RenderGetWindow(renderer), &rect, 1);
}

// The whole output in one texture, the black around the picture written once when
// it is made, and after that only the changed rows scaled and uploaded.
void DrawOnProcessor(const uint16_t* pixels, int pitchPixels, int outW, int outH, const FrameRect& changed,
                     bool whole) {
    const bool fresh = !bigTexture || bigW != outW || bigH != outH;
    if (!BigTexture(SDL_TEXTUREACCESS_STREAMING, outW, outH, SDL_ScaleModeNearest)) {
        FallBackToNearest("no texture the size of the screen");
        return;
    }
    const ScreenArea& a = lastScaling.area;
    void* texels = nullptr;
    int pitch = 0;
    if (fresh || whole) {
        if (SDL_LockTexture(bigTexture, nullptr, &texels, &pitch) != 0) return;
        uint32_t* rows = static_cast<uint32_t*>(texels);
        const int pitchTexels = pitch / 4;
        Blacken(rows, pitchTexels, outW, outH);
        scaler.Scale(pixels, pitchPixels, rows + size_t(a.y) * size_t(pitchTexels) + size_t(a.x), pitchTexels, a.w,
                     a.h);
    } else {
        const ScreenArea r = scaler.Reached(a.w, a.h, {changed.x, changed.y, changed.w, changed.h});
        const SDL_Rect band{a.x, a.y + r.y, a.w, r.h};
        if (r.h <= 0 || SDL_LockTexture(bigTexture, &band, &texels, &pitch) != 0) return;
        scaler.ScaleRows(pixels, pitchPixels, static_cast<uint32_t*>(texels), pitch / 4, a.w, a.h, r.y, r.y + r.h);
    }
    SDL_UnlockTexture(bigTexture);
    SDL_RenderCopy(renderer, bigTexture, nullptr, nullptr);
}

void DrawOnCard(const PictureScaling& s, const SDL_Rect& area) {
    if (s.exact) {
        SDL_RenderCopy(renderer, frameTexture, nullptr, &area);
        return;
    }
    if (!BigTexture(SDL_TEXTUREACCESS_TARGET, PICTURE_WIDTH * s.whole, PICTURE_HEIGHT * s.whole, SDL_ScaleModeLinear)) {
        FallBackToNearest("the renderer cannot make a target texture");
        SDL_RenderCopy(renderer, frameTexture, nullptr, &area);
        return;
    }
    SDL_SetRenderTarget(renderer, bigTexture);
    SDL_RenderCopy(renderer, frameTexture, nullptr, nullptr);
    SDL_SetRenderTarget(renderer, nullptr);
    SDL_RenderCopy(renderer, bigTexture, nullptr, &area);
}

}  // namespace

void PresenterAttach(SDL_Renderer* newRenderer) {
    DropTextures();
    renderer = newRenderer;
    path = PRESENT_NEAREST;
    softwareRenderer = false;
    if (!renderer) return;
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0) return;
    softwareRenderer = (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    if (softwareRenderer) {
        path = PRESENT_ON_PROCESSOR;
    } else if (info.flags & SDL_RENDERER_TARGETTEXTURE) {
        path = PRESENT_ON_CARD;
    } else {
        std::fprintf(stderr, "valimo: the renderer %s has no target textures; the picture is scaled by nearest pixel\n",
                     info.name);
    }
}

void PresenterForcePath(PresentPath forced) {
    DropTextures();
    path = forced;
}

PresentPath PresenterPath() { return path; }
PictureScaling PresenterScaling() { return lastScaling; }
bool PresenterOnWindowSurface() { return onWindowSurface; }
ScreenArea PresenterLastSent() { return lastSent; }

bool PresenterNeedsWhole() {
    if (!renderer) return false;
    if (!drawn) return true;
    int w = 0, h = 0;
    SDL_Surface* surface = nullptr;
    if (!OutputSize(&w, &h, &surface)) return true;
    return w != drawnW || h != drawnH || surface != drawnSurface || path != drawnPath;
}

void PresentPicture(const uint16_t* pixels, int pitchPixels, int pixelMode, const FrameRect& changed) {
    if (!renderer || !pixels) return;
    FrameRect part = changed;
    part.x = std::clamp(part.x, 0, PICTURE_WIDTH);
    part.y = std::clamp(part.y, 0, PICTURE_HEIGHT);
    part.w = std::clamp(part.w, 0, PICTURE_WIDTH - part.x);
    part.h = std::clamp(part.h, 0, PICTURE_HEIGHT - part.y);
    if (part.w == 0 || part.h == 0) return;
    const bool whole = PresenterNeedsWhole() || (part.w == PICTURE_WIDTH && part.h == PICTURE_HEIGHT);
    if (whole) part = {0, 0, PICTURE_WIDTH, PICTURE_HEIGHT};
    int outW = 0, outH = 0;
    SDL_Surface* surface = nullptr;
    if (!OutputSize(&outW, &outH, &surface)) return;
    scaler.SetPixelMode(pixelMode);
    lastScaling = ScalePicture(outW, outH);
    const ScreenArea& a = lastScaling.area;
    const SDL_Rect area{a.x, a.y, a.w, a.h};
    drawn = true;
    drawnW = outW;
    drawnH = outH;
    drawnSurface = surface;
    drawnPath = path;
    onWindowSurface = surface != nullptr;
    if (surface) {
        DrawIntoWindowSurface(surface, pixels, pitchPixels, part, whole);
        return;
    }
    lastSent = {0, 0, outW, outH};
    if (path == PRESENT_ON_PROCESSOR) DrawOnProcessor(pixels, pitchPixels, outW, outH, part, whole);
    // Not an else: a processor path that just fell back draws this frame by nearest pixel.
    if (path != PRESENT_ON_PROCESSOR) {
        // The renderer's next buffer holds nothing certain: everything is drawn, only
        // the changed rows uploaded.
        if (whole) frameTextureFilled = false;
        FillAround(a, outW, outH);
        if (!UploadFrame(pixels, pitchPixels, part)) return;
        if (path == PRESENT_ON_CARD) {
            DrawOnCard(lastScaling, area);
        } else {
            SDL_RenderCopy(renderer, frameTexture, nullptr, &area);
        }
    }
    SDL_RenderPresent(renderer);
}
