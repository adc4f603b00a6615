// Writing pictures as PNG files: the headless host's screenshots, the data
// generator's contact sheets and the game's icons.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// rgb holds width * height * 3 bytes, rows top to bottom. Returns false when the
// file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
// rgba holds width * height * 4 bytes, straight (not premultiplied) alpha.
bool WritePngRgba(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);

// Expands 16-bit pixels (5-5-5 when pixelMode is 15, 5-6-5 otherwise) to 8-bit RGB.
std::vector<uint8_t> PixelsToRgb(const uint16_t* pixels, int width, int height, int pitchPixels, int pixelMode);
