// The game's bitmap loader and the tools' reader share one reading of the format:
// the same files give the same pixels, and neither takes what the other refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bmp_writer.h"
#include "gfx/sprite.h"
#include "test_support.h"
#include "tools/kit/image.h"

namespace {

TEST(BitmapReaders, TheGameAndTheToolsReadTheSamePixels) {
    MakeScratchDirectory();
    for (auto [w, h] : {std::pair{1, 1}, std::pair{3, 2}, std::pair{32, 64}, std::pair{5, 7}}) {
        std::vector<uint16_t> pixels;
        for (int i = 0; i < w * h; i++) pixels.push_back(uint16_t(i * 257 + 1));
        WriteFile("p.bmp", MakeBmp(w, h, pixels));
        LoadBitmapFile("p.bmp");
        gen::Image16 img;
        ASSERT_TRUE(gen::ReadBmp("p.bmp", img)) << w << "x" << h;
        EXPECT_EQ(loadedBitmap.width, img.w);
        EXPECT_EQ(loadedBitmap.height, img.h);
        EXPECT_EQ(loadedBitmap.pixels, img.px) << w << "x" << h;
        EXPECT_EQ(img.px, pixels) << "top row first, as the picture looks";
    }
    // Cut short, or wider than either reads: the game logs it and the tools refuse it.
    const std::string whole = MakeBmp(4, 4, std::vector<uint16_t>(16, 0x1234));
    std::string wide = whole;
    wide[18] = char(0x01);
    wide[19] = char(0x10);  // 4097 pixels
    for (const std::string& bad : {whole.substr(0, whole.size() - 1), wide}) {
        WriteFile("bad.bmp", bad);
        LoadBitmapFile("bad.bmp");
        gen::Image16 img;
        EXPECT_FALSE(gen::ReadBmp("bad.bmp", img));
    }
    EXPECT_NE(ReadLog().find("ERROR: Bad Bitmap Memory!\nERROR: Bitmap data == NULL\n"), std::string::npos) << ReadLog();
}

}  // namespace
