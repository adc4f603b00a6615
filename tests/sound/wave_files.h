// Small RIFF WAVE files made in the test, byte by byte.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

inline std::string Le32(uint32_t v) {
    return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char((v >> 24) & 0xFF)};
}
inline std::string Le16(uint16_t v) { return {char(v & 0xFF), char((v >> 8) & 0xFF)}; }

// A chunk; `claimed` overrides the size written in its header. Odd bodies get a pad byte.
inline std::string Chunk(const std::string& id, const std::string& body, int64_t claimed = -1) {
    std::string chunk = id + Le32(uint32_t(claimed >= 0 ? claimed : int64_t(body.size()))) + body;
    if (body.size() % 2) chunk.push_back('\0');
    return chunk;
}

// The format record: 16 bytes, or 18 with its extra-size field.
inline std::string Format(uint16_t tag = 1, bool withExtra = false, uint16_t channels = 1, uint16_t bits = 8) {
    std::string f = Le16(tag) + Le16(channels) + Le32(22050) + Le32(22050 * channels * bits / 8) +
                    Le16(uint16_t(channels * bits / 8)) + Le16(bits);
    if (withExtra) f += Le16(0);
    return f;
}

inline std::string Samples(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A RIFF WAVE form of the given chunks; `claimed` overrides the form's size.
inline std::string Wave(const std::vector<std::string>& chunks, int64_t claimed = -1) {
    std::string body = "WAVE";
    for (const std::string& c : chunks) body += c;
    return "RIFF" + Le32(uint32_t(claimed >= 0 ? claimed : int64_t(body.size()))) + body;
}

inline std::string SimpleWave(const std::vector<uint8_t>& samples) {
    return Wave({Chunk("fmt ", Format()), Chunk("data", Samples(samples))});
}
