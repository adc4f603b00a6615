#include "bmp_writer.h"

#include "test_support.h"

namespace {
void Put16(std::string& s, size_t at, uint32_t v) {
    s[at] = char(v & 0xFF);
    s[at + 1] = char((v >> 8) & 0xFF);
}
void Put32(std::string& s, size_t at, uint32_t v) {
    Put16(s, at, v & 0xFFFF);
    Put16(s, at + 2, v >> 16);
}
}  // namespace

std::string MakeBmp(int width, int height, const std::vector<uint16_t>& pixels, int bitCount) {
    const size_t data = size_t(width) * size_t(height) * 2;
    std::string s(54 + data, '\0');
    s[0] = 'B';
    s[1] = 'M';
    Put32(s, 2, uint32_t(s.size()));
    Put32(s, 10, 54);
    Put32(s, 14, 40);
    Put32(s, 18, uint32_t(width));
    Put32(s, 22, uint32_t(height));
    Put16(s, 26, 1);
    Put16(s, 28, uint32_t(bitCount));
    size_t at = 54;
    for (int row = height - 1; row >= 0; row--) {
        for (int col = 0; col < width; col++) {
            const size_t i = size_t(row) * size_t(width) + size_t(col);
            Put16(s, at, i < pixels.size() ? pixels[i] : 0);
            at += 2;
        }
    }
    return s;
}

void WriteBmp(const std::string& path, int width, int height, const std::vector<uint16_t>& pixels) {
    WriteFile(path, MakeBmp(width, height, pixels));
}
