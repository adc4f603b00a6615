// Movie playback: the intro and outro, decoded frame by frame into a sprite.
#pragma once
#include "gfx/sprite.h"

// The open movie's frames land here; null when no movie is open.
extern Sprite movieSprite;
