#include "tools/art/icon.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <iterator>
#include <vector>

#include "test_support.h"

namespace {

uint32_t Be32(const std::string& b, size_t at) {
    uint32_t v = 0;
    for (size_t i = at; i < at + 4; i++) v = v << 8 | uint8_t(b[i]);
    return v;
}

// Reads back what a desktop's PNG reader needs: signature, chunk checksums, an
// 8-bit RGBA header and a zlib stream that inflates to whole unfiltered rows.
std::vector<uint8_t> ReadRgbaPng(const std::string& file, int size) {
    const std::string b = ReadFile(file);
    EXPECT_EQ(b.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8)) << file;
    std::string header, zlib;
    for (size_t at = 8; at + 12 <= b.size();) {
        const uint32_t n = Be32(b, at);
        if (at + 12 + n > b.size()) break;
        const std::string type = b.substr(at + 4, 4);
        EXPECT_EQ(Be32(b, at + 8 + n), crc32(0, reinterpret_cast<const Bytef*>(&b[at + 4]), 4 + n)) << type;
        if (type == "IHDR") header = b.substr(at + 8, n);
        if (type == "IDAT") zlib += b.substr(at + 8, n);
        at += 12 + n;
    }
    header.resize(13);  // none: zeros, which fail here
    EXPECT_EQ((std::vector<uint32_t>{Be32(header, 0), Be32(header, 4), uint8_t(header[8]), uint8_t(header[9])}),
              (std::vector<uint32_t>{uint32_t(size), uint32_t(size), 8, 6}))
        << file << ": size, bit depth, colour type RGBA";
    const size_t row = size_t(size) * 4 + 1;
    std::vector<uint8_t> raw(row * size_t(size) + 1), rgba;
    uLongf rawSize = uLongf(raw.size());
    EXPECT_EQ(uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(zlib.data()), uLong(zlib.size())), Z_OK);
    EXPECT_EQ(rawSize, row * size_t(size)) << file;
    for (size_t y = 0; y < size_t(size); y++) {
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
    ASSERT_EQ(std::pair(icon->w, icon->h), std::pair(gen::kWindowIconSize, gen::kWindowIconSize));
    // The drawing's corners are clear (see below), so its alpha must come through.
    const std::vector<uint8_t> drawn = gen::IconRgba(gen::DrawIcon(gen::kWindowIconSize));
    int wrong = 0;
    for (int y = 0; y < icon->h; y++) {
        const auto* row = static_cast<const uint8_t*>(icon->pixels) + size_t(y) * size_t(icon->pitch);
        for (int x = 0; x < icon->w; x++) {
            const uint8_t* want = &drawn[(size_t(y) * size_t(icon->w) + size_t(x)) * 4];
            wrong += row[x * 4 + 3] != want[3] || (want[3] && std::memcmp(row + x * 4, want, 3) != 0);
        }
    }
    SDL_FreeSurface(icon);
    EXPECT_EQ(wrong, 0) << "pixels that differ from the drawn icon (rows upside down, channels swapped?)";
}

TEST(Icon, EveryThemeAndPageSizeIsAReadablePngOfItsOwnDrawing) {
    const std::string dir = MakeScratchDirectory();
    std::string error;
    ASSERT_TRUE(gen::WriteThemeIcons(dir, error)) << error;
    for (int size : gen::kIconSizes) {
        const std::string file = dir + "/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/" +
                                 gen::kAppId + ".png";
        const std::vector<uint8_t> rgba = ReadRgbaPng(file, size);
        EXPECT_TRUE(rgba == gen::IconRgba(gen::DrawIcon(size))) << file;
    }
    // The page's, for a phone's home screen.
    ASSERT_TRUE(gen::WritePageIcons(dir + "/page", error)) << error;
    for (int size : gen::kPageIconSizes) {
        const std::string file = dir + "/page/icon-" + std::to_string(size) + ".png";
        EXPECT_TRUE(ReadRgbaPng(file, size) == gen::IconRgba(gen::DrawIcon(size))) << file;
    }
}

// What a player sees of it on a panel or in a menu: the shape of a case and the
// packed pieces, whatever the size.
TEST(Icon, AtEverySizeTheCaseFillsTheSquareAndItsPiecesShow) {
    std::vector<int> sizes(std::begin(gen::kIconSizes), std::end(gen::kIconSizes));
    sizes.insert(sizes.end(), std::begin(gen::kPageIconSizes), std::end(gen::kPageIconSizes));
    for (int size : sizes) {
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
