#include "platform/sdl/sdl_present.h"

#include <cstdio>
#include <cstring>

#include "platform/faults.h"

namespace {

SDL_Renderer* renderer = nullptr;
PresentPath path = PRESENT_NEAREST;
PictureScaling lastScaling;
SharpScaler scaler;
// 640 x 480, converted to 32 bits: the card paths draw it.
SDL_Texture* frameTexture = nullptr;
// The picture enlarged to a whole factor (card path) or to the output (processor path).
SDL_Texture* bigTexture = nullptr;
int bigW = 0, bigH = 0;

void DropBigTexture() {
    if (bigTexture) SDL_DestroyTexture(bigTexture);
    bigTexture = nullptr;
    bigW = bigH = 0;
}

void DropTextures() {
    if (frameTexture) SDL_DestroyTexture(frameTexture);
    frameTexture = nullptr;
    DropBigTexture();
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

bool UploadFrame(const uint16_t* pixels, int pitchPixels) {
    if (!frameTexture)
        frameTexture = MakeTexture(SDL_TEXTUREACCESS_STREAMING, PICTURE_WIDTH, PICTURE_HEIGHT, SDL_ScaleModeNearest);
    void* texels = nullptr;
    int pitch = 0;
    if (!frameTexture || SDL_LockTexture(frameTexture, nullptr, &texels, &pitch) != 0) return false;
    scaler.Convert(pixels, pitchPixels, static_cast<uint32_t*>(texels), pitch / 4);
    SDL_UnlockTexture(frameTexture);
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

// The whole output in one texture, the black around the picture written once when
// it is made: a software renderer then only copies it, with no fill per frame.
void DrawOnProcessor(const uint16_t* pixels, int pitchPixels, int outW, int outH, const SDL_Rect& area) {
    const bool fresh = !bigTexture || bigW != outW || bigH != outH;
    if (!BigTexture(SDL_TEXTUREACCESS_STREAMING, outW, outH, SDL_ScaleModeNearest)) {
        FallBackToNearest("no texture the size of the screen");
        return;
    }
    void* texels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(bigTexture, nullptr, &texels, &pitch) != 0) return;
    uint32_t* rows = static_cast<uint32_t*>(texels);
    const int pitchTexels = pitch / 4;
    if (fresh)
        for (int y = 0; y < outH; y++) std::memset(rows + size_t(y) * size_t(pitchTexels), 0, size_t(outW) * 4);
    scaler.Scale(pixels, pitchPixels, rows + size_t(area.y) * size_t(pitchTexels) + size_t(area.x), pitchTexels, area.w,
                 area.h);
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
    if (!renderer) return;
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0) return;
    if (info.flags & SDL_RENDERER_SOFTWARE) {
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

void PresentPicture(const uint16_t* pixels, int pitchPixels, int pixelMode) {
    if (!renderer || !pixels) return;
    int outW = 0, outH = 0;
    if (SDL_GetRendererOutputSize(renderer, &outW, &outH) != 0 || outW <= 0 || outH <= 0) return;
    scaler.SetPixelMode(pixelMode);
    lastScaling = ScalePicture(outW, outH);
    const ScreenArea& a = lastScaling.area;
    const SDL_Rect area{a.x, a.y, a.w, a.h};
    if (path == PRESENT_ON_PROCESSOR) DrawOnProcessor(pixels, pitchPixels, outW, outH, area);
    // Not an else: a processor path that just fell back draws this frame by nearest pixel.
    if (path != PRESENT_ON_PROCESSOR) {
        FillAround(a, outW, outH);
        if (!UploadFrame(pixels, pitchPixels)) return;
        if (path == PRESENT_ON_CARD) {
            DrawOnCard(lastScaling, area);
        } else {
            SDL_RenderCopy(renderer, frameTexture, nullptr, &area);
        }
    }
    SDL_RenderPresent(renderer);
}
