// Pictures players bring, turned into the game's kind: 16-bit 5-5-5 BMP, rows
// bottom-up of exactly width x 2 bytes from byte 54, magenta where transparent.
// Anything FFmpeg's image decoders read is taken (PNG, JPEG, BMP of any depth,
// GIF, TGA...).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/bitmap_format.h"

namespace gen {

// The largest picture read: room for a camera's photo to be scaled with --cells.
constexpr int64_t kMaxSourceSide = 16384;
constexpr int64_t kMaxSourcePixels = int64_t(32) << 20;
// The game's bitmap loader takes nothing larger.
constexpr int kMaxGamePictureSide = MAX_BITMAP_SIDE;

// 8-bit red, green, blue, alpha per pixel, rows from the top.
struct RgbaPicture {
    int w = 0, h = 0;
    std::vector<uint8_t> px;
};

// The size a picture's header claims (PNG, GIF, BMP, JPEG), before anything is
// decoded; false when the header is none of these or does not say.
bool PictureHeaderSize(const std::vector<uint8_t>& head, int64_t& w, int64_t& h);

// False with the reason (in a player's words) when the file is not a picture,
// is damaged or cut short, empty, or larger than the bounds above.
bool ReadPicture(const std::string& path, RgbaPicture& picture, std::string& why);

struct PictureRequest {
    bool anySize = false;        // a screen picture: any size the game loads
    int cellsW = 0, cellsH = 0;  // scale to this many 32-pixel cells; 0: as it is
};

// The exit statuses of `valimo-levels picture`.
constexpr int kPictureWritten = 0, kPictureNotWritten = 1, kPictureRefused = 2;

// Converts IN into OUT by way of a temporary file beside OUT, so that no partial
// picture is ever left. kPictureRefused for a picture that cannot be read or
// cannot be an item (unless anySize); why says why, or what was written.
int ConvertPicture(const std::string& in, const std::string& out, const PictureRequest& request, std::string& why);

// The item size in cells nearest to w x h pixels, shrunk to fit the case keeping
// its shape.
void NearestCells(int w, int h, int& cellsW, int& cellsH);

// The command that converts the picture at path in place, with --cells when its
// size is not whole cells (cellsW > 0); the path quoted for a shell where needed.
std::string PictureCommand(const std::string& path, int cellsW = 0, int cellsH = 0);

}  // namespace gen
