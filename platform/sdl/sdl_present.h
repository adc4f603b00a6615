// Shows the game's 640 x 480 frames on an SDL renderer: the largest 4:3 area of
// the output, black around it, sharp at every size.
#pragma once
#include <SDL.h>

#include <cstdint>

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
void PresentPicture(const uint16_t* pixels, int pitchPixels, int pixelMode);
// The path in use and the scaling of the last frame shown.
PresentPath PresenterPath();
PictureScaling PresenterScaling();
// For tests and benchmarks: take a path whatever the renderer is.
void PresenterForcePath(PresentPath path);
