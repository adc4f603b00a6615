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

namespace {

// The whole factor that first covers w x h: nearest pixel up to it, then smoothly down.
int WholeFactor(int w, int h) {
    return std::max({1, (w + PICTURE_WIDTH - 1) / PICTURE_WIDTH, (h + PICTURE_HEIGHT - 1) / PICTURE_HEIGHT});
}

}  // namespace

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
    s.whole = WholeFactor(w, h);
    return s;
}

PicturePoint PointerInPicture(int x, int y, int outW, int outH) {
    const ScreenArea a = ScalePicture(outW, outH).area;
    if (a.w <= 0 || a.h <= 0) return {};
    const auto place = [](int64_t v, int from, int size, int picture) {
        const int64_t p = (v - from) * picture / size;
        return p <= 0 ? 0 : p >= picture ? picture : int(p);
    };
    return {place(x, a.x, a.w, PICTURE_WIDTH), place(y, a.y, a.h, PICTURE_HEIGHT)};
}

namespace {

// The inner loops of every frame on a software renderer: let the compiler use
// the widest vector registers the processor has.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define VALIMO_VECTOR_ROW __attribute__((target_clones("avx2", "default")))
#else
#define VALIMO_VECTOR_ROW
#endif

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

// Byte by byte, so that the compiler blends whole rows in vector registers: each
// byte of `a` mixed with the byte of `b` by weight / 256.
VALIMO_VECTOR_ROW void BlendBytes(const uint8_t* __restrict a, const uint8_t* __restrict b,
                                  const uint8_t* __restrict weight, uint8_t* __restrict out, int bytes) {
    for (int i = 0; i < bytes; i++) {
        const uint16_t take = weight[i], keep = uint16_t(256 - take);
        out[i] = uint8_t((uint16_t(a[i] * keep) + uint16_t(b[i] * take) + 128) >> 8);
    }
}

VALIMO_VECTOR_ROW void BlendRows(const uint32_t* a, const uint32_t* b, uint32_t* out, int pixels, int weight) {
    const uint8_t* pa = reinterpret_cast<const uint8_t*>(a);
    const uint8_t* pb = reinterpret_cast<const uint8_t*>(b);
    uint8_t* po = reinterpret_cast<uint8_t*>(out);
    const uint16_t take = uint16_t(weight), keep = uint16_t(256 - weight);
    const int bytes = pixels * 4;
    for (int i = 0; i < bytes; i++) po[i] = uint8_t((uint16_t(pa[i] * keep) + uint16_t(pb[i] * take) + 128) >> 8);
}

VALIMO_VECTOR_ROW void PickColumns(const uint32_t* __restrict from, const int* __restrict index,
                                   uint32_t* __restrict out, int n) {
    for (int x = 0; x < n; x++) out[x] = from[index[x]];
}

// One row of 16-bit pixels to 0x00RRGGBB, each field widened by repeating its top
// bits (so 31 becomes 255). Plain arithmetic, so that it runs in vector registers.
VALIMO_VECTOR_ROW void ConvertRow(const uint16_t* __restrict in, uint32_t* __restrict out, int n, bool fiveFiveFive) {
    if (fiveFiveFive) {
        for (int i = 0; i < n; i++) {
            const uint32_t p = in[i], r = (p >> 10) & 31, g = (p >> 5) & 31, b = p & 31;
            out[i] = (r << 3 | r >> 2) << 16 | (g << 3 | g >> 2) << 8 | (b << 3 | b >> 2);
        }
    } else {
        for (int i = 0; i < n; i++) {
            const uint32_t p = in[i], r = p >> 11, g = (p >> 5) & 63, b = p & 31;
            out[i] = (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
        }
    }
}

}  // namespace

void SharpScaler::SetPixelMode(int pixelMode) { mode = pixelMode == 15 ? 15 : 16; }

void SharpScaler::Convert(const uint16_t* src, int srcPitchPixels, uint32_t* dst, int dstPitchPixels) {
    ConvertRows(src, srcPitchPixels, dst, dstPitchPixels, 0, PICTURE_HEIGHT);
}

void SharpScaler::ConvertRows(const uint16_t* src, int srcPitchPixels, uint32_t* dst, int dstPitchPixels,
                              int firstRow, int endRow) {
    firstRow = std::max(firstRow, 0);
    endRow = std::min(endRow, PICTURE_HEIGHT);
    for (int y = firstRow; y < endRow; y++)
        ConvertRow(src + size_t(y) * size_t(srcPitchPixels), dst + size_t(y - firstRow) * size_t(dstPitchPixels),
                   PICTURE_WIDTH, mode == 15);
}

namespace {

// The run of output pixels whose taps read a source pixel from first to end - 1.
template <typename Tap>
void TapsReaching(const std::vector<Tap>& taps, int first, int end, int* from, int* to) {
    *from = *to = 0;
    bool any = false;
    for (size_t j = 0; j < taps.size(); j++) {
        const Tap t = taps[j];
        if (t.index >= end || t.index + (t.weight != 0 ? 1 : 0) < first) continue;
        if (!any) *from = int(j);
        *to = int(j) + 1;
        any = true;
    }
}

}  // namespace

ScreenArea SharpScaler::Reached(int dstW, int dstH, const ScreenArea& source) {
    if (dstW <= 0 || dstH <= 0 || source.w <= 0 || source.h <= 0) return {};
    Prepare(dstW, dstH);
    int x0, x1, y0, y1;
    TapsReaching(columns, source.x, source.x + source.w, &x0, &x1);
    TapsReaching(rows, source.y, source.y + source.h, &y0, &y1);
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

void SharpScaler::Prepare(int dstW, int dstH) {
    if (dstW == preparedW && dstH == preparedH) return;
    const int whole = WholeFactor(dstW, dstH);
    AxisTaps(PICTURE_WIDTH, dstW, whole, &columns);
    AxisTaps(PICTURE_HEIGHT, dstH, whole, &rows);
    // Output pixels lie at least one enlarged pixel apart, so at most one of them
    // falls on each seam: every source pixel is mixed with its right neighbour by
    // one weight at most, and each output pixel picks either a source pixel or
    // such a mix.
    seamWeight.assign(size_t(PICTURE_WIDTH) * 4, 0);
    columnIndex.resize(size_t(dstW));
    for (int x = 0; x < dstW; x++) {
        const Tap t = columns[size_t(x)];
        columnIndex[size_t(x)] = t.weight == 0 ? t.index : int(kRowStride) + t.index;
        if (t.weight != 0) std::memset(&seamWeight[size_t(t.index) * 4], t.weight, 4);
    }
    // One pixel past the row's end: its last pixel's neighbour.
    sourceAndMixes.assign(2 * kRowStride, 0);
    for (auto& row : scaled) row.assign(size_t(dstW), 0);
    preparedW = dstW;
    preparedH = dstH;
}

const uint32_t* SharpScaler::ScaledRow(const uint16_t* src, int srcPitchPixels, int row, int keep, uint32_t* into) {
    for (int slot = 0; slot < 2; slot++)
        if (scaledRow[slot] == row) return rowAt[slot];
    const int slot = scaledRow[0] == keep ? 1 : 0;
    uint32_t* c = sourceAndMixes.data();
    ConvertRow(src + size_t(row) * size_t(srcPitchPixels), c, PICTURE_WIDTH, mode == 15);
    c[PICTURE_WIDTH] = c[PICTURE_WIDTH - 1];
    BlendBytes(reinterpret_cast<const uint8_t*>(c), reinterpret_cast<const uint8_t*>(c + 1), seamWeight.data(),
               reinterpret_cast<uint8_t*>(c + kRowStride), PICTURE_WIDTH * 4);
    uint32_t* out = into ? into : scaled[slot].data();
    PickColumns(c, columnIndex.data(), out, preparedW);
    scaledRow[slot] = row;
    rowAt[slot] = out;
    return out;
}

void SharpScaler::Scale(const uint16_t* src, int srcPitchPixels, uint32_t* dst, int dstPitchPixels, int dstW,
                        int dstH) {
    ScaleRows(src, srcPitchPixels, dst, dstPitchPixels, dstW, dstH, 0, dstH);
}

void SharpScaler::ScaleRows(const uint16_t* src, int srcPitchPixels, uint32_t* dst, int dstPitchPixels, int dstW,
                            int dstH, int firstRow, int endRow) {
    if (dstW <= 0 || dstH <= 0) return;
    Prepare(dstW, dstH);
    firstRow = std::max(firstRow, 0);
    endRow = std::min(endRow, dstH);
    scaledRow[0] = scaledRow[1] = -1;
    for (int y = firstRow; y < endRow; y++) {
        const Tap t = rows[size_t(y)];
        uint32_t* out = dst + size_t(y - firstRow) * size_t(dstPitchPixels);
        if (t.weight == 0) {
            // Written straight into the output the first time; copied from there after.
            const uint32_t* row = ScaledRow(src, srcPitchPixels, t.index, -1, out);
            if (row != out) std::memcpy(out, row, size_t(dstW) * 4);
        } else {
            const uint32_t* upper = ScaledRow(src, srcPitchPixels, t.index, -1, nullptr);
            const uint32_t* lower = ScaledRow(src, srcPitchPixels, t.index + 1, t.index, nullptr);
            BlendRows(upper, lower, out, dstW, t.weight);
        }
    }
}
