// Shows the game's 640 x 480 frames on an SDL renderer: the largest 4:3 area of
// the output, black around it, sharp at every size.
#pragma once
#include <SDL.h>

#include <cstdint>

#include "platform/frame_change.h"
#include "platform/sdl/screen_fit.h"

// How the picture is enlarged.
enum PresentPath {
    PRESENT_ON_PROCESSOR,  // our own scaler into a texture of the output's size (software renderers)
    PRESENT_ON_CARD,       // nearest pixel into a whole-factor target texture, then linear down
    PRESENT_NEAREST,       // nearest pixel straight to the output
};

// Draws with `renderer` from now on (nullptr: nothing), choosing the path by
// what the renderer is; textures of the previous renderer are dropped.
void PresenterAttach(SDL_Renderer* renderer);
// Shows one frame: upload, scaled draw, present. pixelMode 15 is 5-5-5, else 5-6-5.
// `changed` is the part of the picture that differs from the frame shown before,
// all of it unless told; only that part is scaled, uploaded and sent on where the
// path allows. An empty one shows nothing.
void PresentPicture(const uint16_t* pixels, int pitchPixels, int pixelMode,
                    const FrameRect& changed = {0, 0, PICTURE_WIDTH, PICTURE_HEIGHT});
// The output is not what the last frame was drawn on (nothing shown yet, another
// size, surface or path): the next frame must be drawn whole, bars and all.
bool PresenterNeedsWhole();
// The last frame went straight into the window's own surface, sending on only the
// rows that changed (SDL's software renderer), and what it sent.
bool PresenterOnWindowSurface();
ScreenArea PresenterLastSent();
// The path in use and the scaling of the last frame shown.
PresentPath PresenterPath();
PictureScaling PresenterScaling();
// For tests and benchmarks: take a path whatever the renderer is.
void PresenterForcePath(PresentPath path);
