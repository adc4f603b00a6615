// Builds 16-bit BMP files the way the game reads them: pixel data at byte 54,
// rows bottom-up, each exactly width x 2 bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr uint16_t kMagenta555 = 0x7C1F;

// pixels: width x height words in 5-5-5, rows top to bottom (as the picture looks).
std::string MakeBmp(int width, int height, const std::vector<uint16_t>& pixels, int bitCount = 16);
void WriteBmp(const std::string& path, int width, int height, const std::vector<uint16_t>& pixels);
constexpr uint16_t Rgb555(int r, int g, int b) { return uint16_t((r & 31) << 10 | (g & 31) << 5 | (b & 31)); }
