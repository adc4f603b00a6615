// Pictures as the generator builds them: a float RGBA canvas to draw on, and
// the 16-bit 5-5-5 image the game reads, with magenta where it is transparent.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace gen {

constexpr uint16_t kMagenta = 0x7C1F;

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb Mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Rgb Scale(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
Rgb Hex(uint32_t rgb);

// 8-bit channels to 5-5-5. Never yields the colour key: an opaque pixel that
// would land on magenta gets one step of green.
uint16_t To555(Rgb c);
Rgb From555(uint16_t p);

struct Canvas {
    int w = 0, h = 0;
    std::vector<Rgb> px;
    std::vector<float> alpha;  // 0 transparent, 1 opaque
    Canvas() = default;
    Canvas(int width, int height);
    bool In(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    Rgb& At(int x, int y) { return px[size_t(y) * size_t(w) + size_t(x)]; }
    float& A(int x, int y) { return alpha[size_t(y) * size_t(w) + size_t(x)]; }
    void Fill(Rgb c);
    void Rect(int x, int y, int rw, int rh, Rgb c);
    void Blend(int x, int y, Rgb c, float a);
    // Copies src at (dx, dy), honouring its alpha.
    void Draw(const Canvas& src, int dx, int dy);
};

struct Image16 {
    int w = 0, h = 0;
    std::vector<uint16_t> px;
    Image16() = default;
    Image16(int width, int height, uint16_t fill = kMagenta);
    uint16_t& At(int x, int y) { return px[size_t(y) * size_t(w) + size_t(x)]; }
    uint16_t Get(int x, int y) const { return px[size_t(y) * size_t(w) + size_t(x)]; }
    // Copies a w x h block of src at (sx, sy) to (dx, dy); both clipped.
    void Blit(const Image16& src, int sx, int sy, int bw, int bh, int dx, int dy, bool keyed);
};

// Pixels with alpha >= 0.5 become opaque 5-5-5 colours, the rest magenta.
Image16 Quantize(const Canvas& c);
// Magenta becomes transparent; every other pixel opaque.
Canvas Expand(const Image16& img);

// 14-byte file header, 40-byte info header, pixels at byte 54, rows bottom-up
// of exactly width x 2 bytes: at an odd width unpadded, as the game reads them.
std::vector<uint8_t> EncodeBmp(const Image16& img);
bool WriteBmp(const std::string& path, const Image16& img);
bool ReadBmp(const std::string& path, Image16& img);
bool DecodeBmp(const std::vector<uint8_t>& bytes, Image16& img);

// Little-endian fields, as every file format of the game stores them.
void Put16(std::vector<uint8_t>& b, uint16_t v);
void Put32(std::vector<uint8_t>& b, uint32_t v);
uint32_t Get32(const std::vector<uint8_t>& b, size_t at);

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes);

// Deterministic noise, the same on every run and machine.
float Hash01(uint32_t x, uint32_t y, uint32_t seed);
float ValueNoise(float x, float y, uint32_t seed);
float Fbm(float x, float y, uint32_t seed, int octaves);

struct Rng {
    uint64_t s;
    explicit Rng(uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    uint32_t Next() {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return uint32_t(s >> 16);
    }
    int Below(int n) { return n <= 0 ? 0 : int(Next() % uint32_t(n)); }
    float Unit() { return float(Next() & 0xFFFFFF) / float(0x1000000); }
};

}  // namespace gen
