// Movie playback: the intro and outro, decoded frame by frame into a sprite.
//
// How the game flow plays the open movie: while movieFrame < movieFrameCount, draw
// frame movieFrame with movieFrameDrawer and blit movieSprite (movieWidth x
// movieHeight) doubled; once movieFrame reaches movieFrameCount the movie is over.
// movieFrameCount is 0 whenever the movie cannot be shown (the file did not open,
// no decoder for its video, no drawer for this display, no sprite): check it before
// drawing, so such a movie ends at once and the flow goes on to the next state.
#pragma once
#include "gfx/sprite.h"
#include "platform/avi.h"

// The open movie's frames land here; null when no movie is open.
extern Sprite movieSprite;
extern int movieWidth;
extern int movieHeight;
// Frames to show; 0 when the open movie cannot be played (see above).
extern int movieFrameCount;
// Opened once at start-up by InitGame, never closed.
extern HDRAWDIB drawDib;

using MovieFrameDrawer = void (*)(int frame);
// DrawMovieFrame555 or DrawMovieFrame565, chosen by PreparePixelMode; null on an
// 8-bit display.
extern MovieFrameDrawer movieFrameDrawer;

// Logs "Loading <name>"; a file that does not open as a video stream logs
// "Failed to open <name>" and sets quitRequested.
void OpenMovie(const char* fileName);
// Decode frame `frame` into movieSprite in 5-5-5 or 5-6-5. A frame that cannot be
// decoded leaves the previous picture; out-of-range frames draw nothing.
void DrawMovieFrame555(int frame);
void DrawMovieFrame565(int frame);
// Releases the sprite and the stream; safe when nothing or only part is open.
void CloseMovie();
