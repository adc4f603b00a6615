#include "tools/icon.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "test_support.h"

namespace {

uint32_t Be32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 | uint32_t(uint8_t(b[at + 2])) << 8 |
           uint32_t(uint8_t(b[at + 3]));
}

uint32_t Crc32(const std::string& b, size_t at, size_t n) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = at; i < at + n; i++) {
        crc ^= uint8_t(b[i]);
        for (int k = 0; k < 8; k++) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

// Reads back what a desktop's PNG reader needs: signature, chunk checksums, an
// 8-bit RGBA header and a zlib stream that inflates to whole rows. Fails the
// test on the first fault.
std::vector<uint8_t> ReadRgbaPng(const std::string& file, int size) {
    const std::string b = ReadFile(file);
    EXPECT_EQ(b.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << file;
    std::string zlib;
    bool header = false;
    for (size_t at = 8; at + 12 <= b.size();) {
        const uint32_t n = Be32(b, at);
        if (at + 12 + n > b.size()) break;
        const std::string type = b.substr(at + 4, 4);
        EXPECT_EQ(Be32(b, at + 8 + n), Crc32(b, at + 4, 4 + n)) << file << " " << type;
        if (type == "IHDR") {
            header = true;
            EXPECT_EQ(Be32(b, at + 8), uint32_t(size));
            EXPECT_EQ(Be32(b, at + 12), uint32_t(size));
            EXPECT_EQ(uint8_t(b[at + 16]), 8) << "bit depth";
            EXPECT_EQ(uint8_t(b[at + 17]), 6) << "colour type RGBA";
        }
        if (type == "IDAT") zlib += b.substr(at + 8, n);
        at += 12 + n;
    }
    EXPECT_TRUE(header) << file;
    const size_t row = size_t(size) * 4 + 1;
    std::vector<uint8_t> raw(row * size_t(size) + 1);
    uLongf rawSize = uLongf(raw.size());
    EXPECT_EQ(uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(zlib.data()), uLong(zlib.size())), Z_OK)
        << file;
    raw.resize(rawSize);
    std::vector<uint8_t> rgba;
    EXPECT_EQ(raw.size(), row * size_t(size)) << file;
    for (size_t y = 0; y < size_t(size) && (y + 1) * row <= raw.size(); y++) {
        EXPECT_EQ(raw[y * row], 0) << "filter";
        rgba.insert(rgba.end(), raw.begin() + long(y * row + 1), raw.begin() + long((y + 1) * row));
    }
    return rgba;
}

TEST(Icon, TheWindowIconIsReadBySdlWithItsTransparency) {
    const std::string path = std::string(VALIMO_GAME_DIR) + "/icon.bmp";
    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    ASSERT_NE(loaded, nullptr) << SDL_GetError();
    SDL_Surface* icon = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(icon->w, gen::kWindowIconSize);
    ASSERT_EQ(icon->h, gen::kWindowIconSize);
    const std::vector<uint8_t> drawn = gen::IconRgba(gen::DrawIcon(gen::kWindowIconSize));
    int wrong = 0, clear = 0;
    for (int y = 0; y < icon->h; y++) {
        const auto* row = static_cast<const uint8_t*>(icon->pixels) + size_t(y) * size_t(icon->pitch);
        for (int x = 0; x < icon->w; x++) {
            const uint8_t* want = &drawn[(size_t(y) * size_t(icon->w) + size_t(x)) * 4];
            if (row[x * 4 + 3] != want[3] || (want[3] && std::memcmp(row + x * 4, want, 3) != 0)) wrong++;
            if (row[x * 4 + 3] == 0) clear++;
        }
    }
    SDL_FreeSurface(icon);
    EXPECT_EQ(wrong, 0) << "pixels that differ from the drawn icon (rows upside down, channels swapped?)";
    EXPECT_GT(clear, 64) << "the corners are transparent";
}

TEST(Icon, EveryThemeSizeIsAReadablePngOfItsOwnDrawing) {
    const std::string dir = MakeScratchDirectory();
    std::string error;
    ASSERT_TRUE(gen::WriteThemeIcons(dir, error)) << error;
    for (int size : gen::kIconSizes) {
        const std::string file = dir + "/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/" +
                                 gen::kAppId + ".png";
        const std::vector<uint8_t> rgba = ReadRgbaPng(file, size);
        EXPECT_TRUE(rgba == gen::IconRgba(gen::DrawIcon(size))) << file;
    }
}

// What a player sees of it on a panel or in a menu: the shape of a case and the
// packed pieces, whatever the size.
TEST(Icon, AtEverySizeTheCaseFillsTheSquareAndItsPiecesShow) {
    for (int size : gen::kIconSizes) {
        const std::vector<uint8_t> px = gen::IconRgba(gen::DrawIcon(size));
        auto at = [&](int x, int y) { return &px[(size_t(y) * size_t(size) + size_t(x)) * 4]; };
        int left = size, right = -1, top = size, bottom = -1;
        int yellow = 0, blue = 0, green = 0;
        for (int y = 0; y < size; y++)
            for (int x = 0; x < size; x++) {
                const uint8_t* p = at(x, y);
                if (p[3] < 128) continue;
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
                if (p[0] > 180 && p[1] > 140 && p[2] < 110) yellow++;
                if (p[2] > 150 && p[0] < 110) blue++;
                if (p[1] > 110 && p[0] < 110 && p[2] < 110) green++;
            }
        EXPECT_EQ(at(0, 0)[3], 0) << size;
        EXPECT_EQ(at(size - 1, 0)[3], 0) << size;
        EXPECT_EQ(at(size / 2, size * 3 / 4)[3], 255) << size;
        EXPECT_GE(right - left + 1, size * 3 / 4) << size;
        EXPECT_GE(bottom - top + 1, size * 3 / 4) << size;
        // Each piece covers a good part of its cells (one cell is 3/16 of the side).
        const int cell = size * size * 9 / 256;
        EXPECT_GE(yellow, cell) << size;
        EXPECT_GE(blue, cell / 2) << size;
        EXPECT_GE(green, cell * 2) << size;
    }
}

}  // namespace
