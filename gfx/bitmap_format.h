// The 16-bit BMP as the game reads it: a 54-byte header with the size at bytes 18
// and 22 and the bit count at 28, then the pixels, rows bottom-up, each exactly
// width x 2 bytes. The game's loader and the tools' readers both read by this.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

constexpr size_t BMP_HEADER_SIZE = 54;
// Larger than any picture the game draws, small enough that a damaged header
// cannot ask for an absurd allocation.
constexpr int32_t MAX_BITMAP_SIDE = 4096;

inline int32_t BmpLe32(const uint8_t* p) {
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}
inline bool BmpMagic(const uint8_t* header) { return header[0] == 'B' && header[1] == 'M'; }
inline int32_t BmpWidth(const uint8_t* header) { return BmpLe32(header + 18); }
inline int32_t BmpHeight(const uint8_t* header) { return BmpLe32(header + 22); }
inline int BmpBitCount(const uint8_t* header) { return header[28] | header[29] << 8; }

// Little-endian pixel words in file order.
inline void BmpWords(const uint8_t* bytes, size_t count, uint16_t* out) {
    for (size_t i = 0; i < count; i++) out[i] = uint16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
}

// The file's bottom-up rows as the picture looks, the top row first.
inline void BmpTurnRows(const uint16_t* fileOrder, int32_t width, int32_t height, uint16_t* topDown) {
    for (int32_t row = 0; row < height; row++)
        std::memcpy(topDown + size_t(row) * size_t(width), fileOrder + size_t(height - 1 - row) * size_t(width),
                    size_t(width) * 2);
}
