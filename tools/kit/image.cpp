#include "tools/kit/image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gfx/bitmap_format.h"

namespace gen {

Rgb Hex(uint32_t rgb) {
    return {float((rgb >> 16) & 0xFF), float((rgb >> 8) & 0xFF), float(rgb & 0xFF)};
}

static int Channel5(float v) {
    int q = int(std::lround(std::clamp(v, 0.0f, 255.0f) * 31.0f / 255.0f));
    return std::clamp(q, 0, 31);
}

uint16_t To555(Rgb c) {
    uint16_t p = uint16_t(Channel5(c.r) << 10 | Channel5(c.g) << 5 | Channel5(c.b));
    if (p == kMagenta) p = uint16_t(p | (1 << 5));
    return p;
}

Rgb From555(uint16_t p) {
    auto e = [](int v) { return float((v << 3) | (v >> 2)); };
    return {e((p >> 10) & 31), e((p >> 5) & 31), e(p & 31)};
}

Canvas::Canvas(int width, int height)
    : w(width), h(height), px(size_t(width) * size_t(height)), alpha(size_t(width) * size_t(height), 0.0f) {}

void Canvas::Fill(Rgb c) {
    std::fill(px.begin(), px.end(), c);
    std::fill(alpha.begin(), alpha.end(), 1.0f);
}

void Canvas::Rect(int x, int y, int rw, int rh, Rgb c) {
    for (int j = std::max(0, y); j < std::min(h, y + rh); j++)
        for (int i = std::max(0, x); i < std::min(w, x + rw); i++) {
            At(i, j) = c;
            A(i, j) = 1.0f;
        }
}

void Canvas::Blend(int x, int y, Rgb c, float a) {
    if (!In(x, y) || a <= 0) return;
    a = std::min(a, 1.0f);
    float old = A(x, y);
    At(x, y) = old > 0 ? Mix(At(x, y), c, a) : c;
    A(x, y) = old + (1.0f - old) * a;
}

void Canvas::Draw(const Canvas& src, int dx, int dy) {
    for (int y = 0; y < src.h; y++)
        for (int x = 0; x < src.w; x++) {
            size_t i = size_t(y) * size_t(src.w) + size_t(x);
            Blend(dx + x, dy + y, src.px[i], src.alpha[i]);
        }
}

Image16::Image16(int width, int height, uint16_t fill)
    : w(width), h(height), px(size_t(width) * size_t(height), fill) {}

void Image16::Blit(const Image16& src, int sx, int sy, int bw, int bh, int dx, int dy, bool keyed) {
    for (int j = 0; j < bh; j++)
        for (int i = 0; i < bw; i++) {
            int x = sx + i, y = sy + j, tx = dx + i, ty = dy + j;
            if (x < 0 || y < 0 || x >= src.w || y >= src.h) continue;
            if (tx < 0 || ty < 0 || tx >= w || ty >= h) continue;
            uint16_t p = src.Get(x, y);
            if (keyed && p == kMagenta) continue;
            At(tx, ty) = p;
        }
}

Image16 Quantize(const Canvas& c) {
    Image16 out(c.w, c.h);
    for (size_t i = 0; i < out.px.size(); i++)
        if (c.alpha[i] >= 0.5f) out.px[i] = To555(c.px[i]);
    return out;
}

Canvas Expand(const Image16& img) {
    Canvas c(img.w, img.h);
    for (size_t i = 0; i < img.px.size(); i++) {
        if ((img.px[i] & 0x7FFF) == kMagenta) continue;
        c.px[i] = From555(img.px[i]);
        c.alpha[i] = 1.0f;
    }
    return c;
}

void Put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, uint16_t(v));
    Put16(b, uint16_t(v >> 16));
}
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

std::vector<uint8_t> EncodeBmp(const Image16& img) {
    std::vector<uint8_t> b;
    if (img.w <= 0 || img.h <= 0) return b;
    uint32_t data = uint32_t(img.w) * uint32_t(img.h) * 2;
    b.reserve(54 + data);
    b.push_back('B');
    b.push_back('M');
    Put32(b, 54 + data);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, uint32_t(img.w));
    Put32(b, uint32_t(img.h));
    Put16(b, 1);
    Put16(b, 16);
    Put32(b, 0);  // BI_RGB: 16-bit BI_RGB is 5-5-5
    Put32(b, data);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    for (int y = img.h - 1; y >= 0; y--)
        for (int x = 0; x < img.w; x++) Put16(b, img.Get(x, y));
    return b;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bytes.clear();
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    return true;
}

bool WriteBmp(const std::string& path, const Image16& img) {
    std::vector<uint8_t> b = EncodeBmp(img);
    return !b.empty() && WriteFile(path, b);
}

bool DecodeBmp(const std::vector<uint8_t>& b, Image16& img) {
    if (b.size() < BMP_HEADER_SIZE || !BmpMagic(b.data())) return false;
    const int32_t w = BmpWidth(b.data()), h = BmpHeight(b.data());
    if (w <= 0 || h <= 0 || w > MAX_BITMAP_SIDE || h > MAX_BITMAP_SIDE || BmpBitCount(b.data()) != 16) return false;
    const size_t count = size_t(w) * size_t(h);
    if (b.size() < BMP_HEADER_SIZE + count * 2) return false;
    std::vector<uint16_t> fileOrder(count);
    BmpWords(b.data() + BMP_HEADER_SIZE, count, fileOrder.data());
    img = Image16(w, h);
    BmpTurnRows(fileOrder.data(), w, h, img.px.data());
    return true;
}

bool ReadBmp(const std::string& path, Image16& img) {
    std::vector<uint8_t> b;
    return ReadFile(path, b) && DecodeBmp(b, img);
}

float Hash01(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return float(h & 0xFFFFFF) / float(0xFFFFFF);
}

float ValueNoise(float x, float y, uint32_t seed) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto h = [&](int a, int b) { return Hash01(uint32_t(a), uint32_t(b), seed); };
    float a = h(ix, iy) + (h(ix + 1, iy) - h(ix, iy)) * tx;
    float c = h(ix, iy + 1) + (h(ix + 1, iy + 1) - h(ix, iy + 1)) * tx;
    return a + (c - a) * ty;
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; o++) {
        sum += amp * ValueNoise(x, y, seed + uint32_t(o) * 101u);
        norm += amp;
        x *= 2.03f;
        y *= 2.03f;
        amp *= 0.5f;
    }
    return sum / norm;
}

}  // namespace gen
