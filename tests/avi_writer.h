// Writes small AVI movies for tests, encoded by the same library that decodes them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "bmp_writer.h"

// What the decoder hands on for a 5-bit component: the bits repeated to fill 8.
constexpr uint8_t Expand5(int v) { return uint8_t((v & 31) << 3 | (v & 31) >> 2); }

// One picture: width x height 5-5-5 words, rows from the top.
using TestPicture = std::vector<uint16_t>;
TestPicture SolidPicture(int width, int height, uint16_t colour);

// Encodes the pictures with `codec` ("msvideo1" needs sides that are multiples of 4;
// "zmbv" takes any size; "mjpeg" too, lossy, through its YUV) into an AVI file, a key frame every `keyInterval` frames.
// `times` gives each picture's frame number (the muxer fills gaps with empty
// chunks); empty: 0, 1, 2, ... `streamCount` - 1 empty video streams follow the
// first. A `frameCount` past the last picture ends the movie in empty chunks (the
// last picture held) up to that count. False when the encoder or the file refuses.
bool WriteTestAvi(const std::string& path, int width, int height, const std::vector<TestPicture>& pictures,
                  const char* codec = "msvideo1", int keyInterval = 10, const std::vector<int64_t>& times = {},
                  int streamCount = 1, int64_t frameCount = 0);

// Offset of the first occurrence of `what` in `bytes`, or npos.
size_t FindBytes(const std::string& bytes, const std::string& what, size_t from = 0);
void PutLe32(std::string& bytes, size_t offset, uint32_t value);
