// The game's icon: the open case, nearly packed, with the last piece above its
// gap. Drawn afresh for every size, with less detail where pixels are few, so
// that it reads at 16 pixels as well as at 256.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/kit/image.h"

namespace gen {

// The name the desktop knows the game by: desktop entry, metainfo and icons.
inline const char kAppId[] = "io.github.valimo.Valimo";
// The sizes of the icon theme, and the window's own.
inline const int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
constexpr int kWindowIconSize = 64;

Canvas DrawIcon(int size);

// 8-bit channels, rows top to bottom: R, G, B, straight alpha.
std::vector<uint8_t> IconRgba(const Canvas& c);

// A 32-bit BMP with an alpha mask (a version 4 header with bit fields), which
// SDL_LoadBMP reads with its transparency; rows bottom-up.
std::vector<uint8_t> EncodeBmp32(const Canvas& c);

// "icon.bmp" in the game's folder: the window's icon.
bool WriteWindowIcon(const std::string& gameDir, std::string& error);

// dir/hicolor/NxN/apps/<kAppId>.png at every size of kIconSizes.
bool WriteThemeIcons(const std::string& dir, std::string& error);

// The page's icons for its manifest: dir/icon-N.png at each of kPageIconSizes
// (what phones ask of an app on the home screen).
inline const int kPageIconSizes[] = {192, 512};
bool WritePageIcons(const std::string& dir, std::string& error);

}  // namespace gen
