// The sound effects, synthesized: 8-bit unsigned mono PCM at 22050 Hz.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace gen {

constexpr int kSampleRate = 22050;

// A plain RIFF/WAVE: "fmt " of 16 bytes (PCM, 1 channel, 22050 Hz, 8 bits) and "data".
std::vector<uint8_t> EncodeWav(const std::vector<uint8_t>& samples);

// Name without ".wav" and its samples: click, drop0 to drop4, key, done.
std::vector<std::pair<std::string, std::vector<uint8_t>>> MakeSounds();

}  // namespace gen
