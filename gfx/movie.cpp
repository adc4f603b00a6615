#include "gfx/movie.h"

Sprite movieSprite = nullptr;
