#include "platform/frame_change.h"

#include <cstring>

namespace {

constexpr int kWidth = 640, kHeight = 480;

uint16_t shown[kWidth * kHeight];
bool haveShown = false;
bool showWhole = true;
int shownMode = 0;

void TakeRow(const uint16_t* row, int y) { std::memcpy(shown + size_t(y) * kWidth, row, kWidth * 2); }

// Every frame is compared whole, so the compare must be quick: the page's C
// library compares byte by byte, eight bytes a step are eight times fewer.
bool SameRow(const uint16_t* row, const uint16_t* old) {
#ifdef __EMSCRIPTEN__
    for (int x = 0; x < kWidth; x += 4) {
        uint64_t a, b;
        std::memcpy(&a, row + x, 8);
        std::memcpy(&b, old + x, 8);
        if (a != b) return false;
    }
    return true;
#else
    return std::memcmp(row, old, kWidth * 2) == 0;
#endif
}

}  // namespace

// Changed on purpose: presenting rests (docs/BEHAVIOUR.md).
FrameRect NoteFrame(const uint16_t* pixels, int pitchPixels, int pixelMode) {
    if (!pixels || pitchPixels < kWidth) return {};
    if (!haveShown || showWhole || pixelMode != shownMode) {
        for (int y = 0; y < kHeight; y++) TakeRow(pixels + size_t(y) * size_t(pitchPixels), y);
        haveShown = true;
        showWhole = false;
        shownMode = pixelMode;
        return {0, 0, kWidth, kHeight};
    }
    int left = kWidth, right = -1, top = -1, bottom = -1;
    for (int y = 0; y < kHeight; y++) {
        const uint16_t* row = pixels + size_t(y) * size_t(pitchPixels);
        const uint16_t* old = shown + size_t(y) * kWidth;
        if (SameRow(row, old)) continue;
        if (top < 0) top = y;
        bottom = y;
        int first = 0, last = kWidth - 1;
        while (row[first] == old[first]) first++;
        while (row[last] == old[last]) last--;
        if (first < left) left = first;
        if (last > right) right = last;
        TakeRow(row, y);
    }
    if (top < 0) return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

void FrameShowWhole() { showWhole = true; }

const uint16_t* ShownFrame() { return haveShown ? shown : nullptr; }

int ShownFramePixelMode() { return shownMode; }

void FrameForget() {
    haveShown = false;
    showWhole = true;
}
