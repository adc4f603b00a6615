#include "platform/sdl/screen_fit.h"

#include <algorithm>
#include <cstring>

int WindowScale(int usableW, int usableH, const WindowFrame& frame) {
    const int across = (usableW - frame.left - frame.right) / PICTURE_WIDTH;
    const int down = (usableH - frame.top - frame.bottom) / PICTURE_HEIGHT;
    return std::max(1, std::min(across, down));
}

ScreenArea PlaceWindow(const ScreenArea& usable, const WindowFrame& frame) {
    const int scale = WindowScale(usable.w, usable.h, frame);
    const int w = PICTURE_WIDTH * scale, h = PICTURE_HEIGHT * scale;
    const int framedW = w + frame.left + frame.right, framedH = h + frame.top + frame.bottom;
    int x = usable.x + (usable.w - framedW) / 2;
    int y = usable.y + (usable.h - framedH) / 2;
    x = std::max(usable.x, std::min(x, usable.x + usable.w - framedW));
    y = std::max(usable.y, std::min(y, usable.y + usable.h - framedH));
    return {x + frame.left, y + frame.top, w, h};
}

PictureScaling ScalePicture(int outW, int outH) {
    PictureScaling s;
    outW = std::max(outW, 1);
    outH = std::max(outH, 1);
    int w, h;
    if (int64_t(outW) * 3 >= int64_t(outH) * 4) {
        h = outH;
        w = std::max(1, int(int64_t(outH) * 4 / 3));
    } else {
        w = outW;
        h = std::max(1, int(int64_t(outW) * 3 / 4));
    }
    s.area = {(outW - w) / 2, (outH - h) / 2, w, h};
    s.exact = w % PICTURE_WIDTH == 0 && h % PICTURE_HEIGHT == 0 && w / PICTURE_WIDTH == h / PICTURE_HEIGHT;
    s.whole = std::max({1, (w + PICTURE_WIDTH - 1) / PICTURE_WIDTH, (h + PICTURE_HEIGHT - 1) / PICTURE_HEIGHT});
    return s;
}

namespace {

// Linear sampling of the picture enlarged `whole` times by nearest pixel: the
// sample at the centre of each destination pixel. Between two enlarged pixels of
// the same source pixel nothing is mixed, so only the seams between source
// pixels blend, and whole factors come out as plain nearest pixel.
template <typename Tap>
void AxisTaps(int in, int out, int whole, std::vector<Tap>* taps) {
    taps->resize(size_t(out));
    const int64_t enlarged = int64_t(in) * whole;
    for (int j = 0; j < out; j++) {
        // Position in enlarged pixels: (j + 1/2) * enlarged / out - 1/2, in units of 1 / (2 out).
        const int64_t at = (2 * int64_t(j) + 1) * enlarged - out;
        int64_t first = 0;
        int weight = 0;
        if (at > 0) {
            first = at / (2 * int64_t(out));
            weight = int(((at % (2 * int64_t(out))) * 256 + out) / (2 * int64_t(out)));
            if (weight == 256) {
                first++;
                weight = 0;
            }
        }
        if (first >= enlarged - 1) {
            first = enlarged - 1;
            weight = 0;
        }
        const int source = int(first / whole);
        if (int((first + 1) / whole) == source) weight = 0;
        (*taps)[size_t(j)] = Tap{source, weight};
    }
}

inline uint32_t Blend(uint32_t a, uint32_t b, uint32_t weight) {
    const uint32_t keep = 256 - weight;
    const uint32_t redBlue = (((a & 0xFF00FF) * keep + (b & 0xFF00FF) * weight + 0x800080) >> 8) & 0xFF00FF;
    const uint32_t green = (((a & 0x00FF00) * keep + (b & 0x00FF00) * weight + 0x008000) >> 8) & 0x00FF00;
    return redBlue | green;
}

// Byte by byte, so that the compiler can blend whole rows in vector registers.
void BlendRows(const uint32_t* a, const uint32_t* b, uint32_t* out, int pixels, int weight) {
    const uint8_t* pa = reinterpret_cast<const uint8_t*>(a);
    const uint8_t* pb = reinterpret_cast<const uint8_t*>(b);
    uint8_t* po = reinterpret_cast<uint8_t*>(out);
    const uint16_t keep = uint16_t(256 - weight), take = uint16_t(weight);
    const int bytes = pixels * 4;
    for (int i = 0; i < bytes; i++) po[i] = uint8_t((pa[i] * keep + pb[i] * take + 128) >> 8);
}

uint32_t Expand(int value, int bits) {
    const int v = value & ((1 << bits) - 1);
    return uint32_t(bits == 5 ? (v << 3 | v >> 2) : (v << 2 | v >> 4));
}

}  // namespace

void SharpScaler::SetPixelMode(int pixelMode) {
    const int wanted = pixelMode == 15 ? 15 : 16;
    if (wanted == mode) return;
    mode = wanted;
    colour.resize(65536);
    for (uint32_t p = 0; p < 65536; p++) {
        uint32_t r, g, b;
        if (mode == 15) {
            r = Expand(int(p >> 10), 5);
            g = Expand(int(p >> 5), 5);
        } else {
            r = Expand(int(p >> 11), 5);
            g = Expand(int(p >> 5), 6);
        }
        b = Expand(int(p), 5);
        colour[p] = r << 16 | g << 8 | b;
    }
}

void SharpScaler::Convert(const uint16_t* src, int srcPitchPixels, uint32_t* dst, int dstPitchPixels) {
    if (mode < 0) SetPixelMode(16);
    for (int y = 0; y < PICTURE_HEIGHT; y++) {
        const uint16_t* in = src + size_t(y) * size_t(srcPitchPixels);
        uint32_t* out = dst + size_t(y) * size_t(dstPitchPixels);
        for (int x = 0; x < PICTURE_WIDTH; x++) out[x] = colour[in[x]];
    }
}

void SharpScaler::Prepare(int dstW, int dstH) {
    if (dstW == preparedW && dstH == preparedH) return;
    const int whole = std::max({1, (dstW + PICTURE_WIDTH - 1) / PICTURE_WIDTH, (dstH + PICTURE_HEIGHT - 1) / PICTURE_HEIGHT});
    AxisTaps(PICTURE_WIDTH, dstW, whole, &columns);
    AxisTaps(PICTURE_HEIGHT, dstH, whole, &rows);
    // One pixel past the row's end: a tap's neighbour is read even at weight 0.
    converted.assign(PICTURE_WIDTH + 1, 0);
    for (auto& row : scaled) row.assign(size_t(dstW), 0);
    preparedW = dstW;
    preparedH = dstH;
}

const uint32_t* SharpScaler::ScaledRow(const uint16_t* src, int srcPitchPixels, int row, int keep) {
    for (int slot = 0; slot < 2; slot++)
        if (scaledRow[slot] == row) return scaled[slot].data();
    const int slot = scaledRow[0] == keep ? 1 : 0;
    const uint16_t* in = src + size_t(row) * size_t(srcPitchPixels);
    for (int x = 0; x < PICTURE_WIDTH; x++) converted[size_t(x)] = colour[in[x]];
    converted[PICTURE_WIDTH] = converted[PICTURE_WIDTH - 1];
    uint32_t* out = scaled[slot].data();
    const uint32_t* c = converted.data();
    for (int x = 0; x < preparedW; x++) {
        const Tap t = columns[size_t(x)];
        out[x] = Blend(c[t.index], c[t.index + 1], uint32_t(t.weight));
    }
    scaledRow[slot] = row;
    return out;
}

void SharpScaler::Scale(const uint16_t* src, int srcPitchPixels, uint32_t* dst, int dstPitchPixels, int dstW,
                        int dstH) {
    if (dstW <= 0 || dstH <= 0) return;
    if (mode < 0) SetPixelMode(16);
    Prepare(dstW, dstH);
    scaledRow[0] = scaledRow[1] = -1;
    for (int y = 0; y < dstH; y++) {
        const Tap t = rows[size_t(y)];
        uint32_t* out = dst + size_t(y) * size_t(dstPitchPixels);
        const uint32_t* upper = ScaledRow(src, srcPitchPixels, t.index, -1);
        if (t.weight == 0) {
            std::memcpy(out, upper, size_t(dstW) * 4);
        } else {
            const uint32_t* lower = ScaledRow(src, srcPitchPixels, t.index + 1, t.index);
            BlendRows(upper, lower, out, dstW, t.weight);
        }
    }
}
