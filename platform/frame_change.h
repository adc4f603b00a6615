// What changed on the screen since the last frame a host showed, so that a still
// screen costs nothing and a moving pointer only its own rows. Every host keeps
// its shown frame here. Only platform/ includes this.
#pragma once
#include <cstdint>

// A rectangle of the 640 x 480 picture; empty when w or h is 0.
struct FrameRect {
    int x = 0, y = 0, w = 0, h = 0;
};

// Takes a flipped frame as the shown one and answers what of it differs from the
// frame shown before: nothing for the same frame, the whole picture for the
// first frame, another pixel mode, or after FrameShowWhole.
FrameRect NoteFrame(const uint16_t* pixels, int pitchPixels, int pixelMode);
// The output changed (size, mode, a new window or surface): the next frame is shown whole.
void FrameShowWhole();
// The frame shown last, 640 x 480 with a pitch of 640; null before the first one
// or after FrameForget.
const uint16_t* ShownFrame();
int ShownFramePixelMode();
// The shown frame no longer stands for the screen (its surfaces were lost): no
// repaint from it, and the next frame is shown whole.
void FrameForget();
