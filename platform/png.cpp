#include "platform/png.h"

#include <array>
#include <cstdio>

#include <zlib.h>

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0xFFFFFFFFu) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; n++) {
            uint32_t c = n;
            for (int k = 0; k < 8; k++) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    for (size_t i = 0; i < size; i++) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBe32(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out, Crc32(out.data() + start, out.size() - start) ^ 0xFFFFFFFFu);
}

// Compressed for real: the installed icons and the contact sheets are read as
// files people keep, not just looked at once.
std::vector<uint8_t> Deflate(const std::vector<uint8_t>& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    std::vector<uint8_t> z(size);
    if (compress2(z.data(), &size, raw.data(), uLong(raw.size()), Z_BEST_COMPRESSION) != Z_OK) return {};
    z.resize(size);
    return z;
}

// colourType 2: RGB, 6: RGBA; 8 bits a channel either way.
bool WritePngPixels(const std::string& path, int width, int height, const std::vector<uint8_t>& pixels,
                    int channels, uint8_t colourType) {
    const size_t rowBytes = size_t(width) * size_t(channels);
    if (width <= 0 || height <= 0 || pixels.size() < rowBytes * size_t(height)) return false;
    std::vector<uint8_t> raw;
    raw.reserve(size_t(height) * (rowBytes + 1));
    for (int y = 0; y < height; y++) {
        raw.push_back(0);  // filter: none
        auto row = pixels.begin() + long(size_t(y) * rowBytes);
        raw.insert(raw.end(), row, row + long(rowBytes));
    }
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBe32(header, uint32_t(width));
    PutBe32(header, uint32_t(height));
    header.insert(header.end(), {8, colourType, 0, 0, 0});
    PutChunk(file, "IHDR", header);
    const std::vector<uint8_t> z = Deflate(raw);
    if (z.empty()) return false;
    PutChunk(file, "IDAT", z);
    PutChunk(file, "IEND", {});
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    return WritePngPixels(path, width, height, rgb, 3, 2);
}

bool WritePngRgba(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) {
    return WritePngPixels(path, width, height, rgba, 4, 6);
}

std::vector<uint8_t> PixelsToRgb(const uint16_t* pixels, int width, int height, int pitchPixels, int pixelMode) {
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    size_t o = 0;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            uint16_t p = pixels[size_t(y) * size_t(pitchPixels) + size_t(x)];
            unsigned r, g, b;
            if (pixelMode == 15) {
                r = (p >> 10) & 31; g = ((p >> 5) & 31) << 1; b = p & 31;
            } else {
                r = p >> 11; g = (p >> 5) & 63; b = p & 31;
            }
            rgb[o++] = uint8_t((r << 3) | (r >> 2));
            rgb[o++] = uint8_t((g << 2) | (g >> 4));
            rgb[o++] = uint8_t((b << 3) | (b >> 2));
        }
    }
    return rgb;
}
