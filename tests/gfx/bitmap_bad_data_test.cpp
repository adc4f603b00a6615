// Damaged and foreign picture files: each gives its log line and its grade of
// failure, never a crash or a read outside the loaded buffer.
#include <gtest/gtest.h>

#include <filesystem>

#include "bmp_writer.h"
#include "gfx/display.h"
#include "gfx/sprite.h"
#include "test_support.h"

namespace {

// Loads a file and makes a sprite of it the way every caller does.
void LoadAndUse(const std::string& path) {
    LoadBitmapFile(path.c_str());
    Sprite s = CreateSprite(loadedBitmap.width, loadedBitmap.height, 1, DDSCAPS_VIDEOMEMORY);
    CopyBitmapToSprite(s, loadedBitmap.pixels.data(), loadedBitmap.width, loadedBitmap.height);
    ASSERT_GE(int64_t(loadedBitmap.pixels.size()), int64_t(loadedBitmap.width) * loadedBitmap.height);
    ReleaseSprite(&s);
}

TEST(BitmapBadData, TruncatedAtEveryByteIsReportedAndNeverFatal) {
    MakeScratchDirectory();
    StartDisplay();
    const std::string whole = MakeBmp(4, 3, std::vector<uint16_t>(12, 0x0421));
    int tried = 0;
    for (size_t length = 0; length < whole.size(); length++) {
        WriteFile("cut.bmp", whole.substr(0, length));
        const size_t before = ReadLog().size();
        LoadAndUse("cut.bmp");
        const std::string line = ReadLog().substr(before);
        const char* expected = length < 2 ? "ERROR: Not a BITMAP\n" : "ERROR: Bad Bitmap Memory!\n";
        EXPECT_EQ(line.substr(0, std::string(expected).size()), expected) << "cut at " << length;
        tried++;
    }
    EXPECT_EQ(tried, 54 + 24);
}

TEST(BitmapBadData, EmptyFilesDirectoriesAndForeignFilesAreNotBitmaps) {
    MakeScratchDirectory();
    StartDisplay();
    WriteFile("empty.bmp", "");
    std::filesystem::create_directory("folder.bmp");
    WriteFile("riff.bmp", "RIFF\x10\0\0\0WAVEfmt ");
    WriteFile("text.bmp", "LEVEL 0\nITEMS 1\n");
    for (const char* name : {"empty.bmp", "folder.bmp", "riff.bmp", "text.bmp"}) {
        const size_t before = ReadLog().size();
        LoadAndUse(name);
        EXPECT_EQ(ReadLog().substr(before, 20), "ERROR: Not a BITMAP\n") << name;
    }
}

TEST(BitmapBadData, ZeroAndOddSizesLoadWithoutReadingPastTheData) {
    MakeScratchDirectory();
    StartDisplay();
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{0, 0}, std::pair{3, 1}, std::pair{1, 7}}) {
        WriteFile("odd.bmp", MakeBmp(w, h, std::vector<uint16_t>(size_t(w * h), 0x7FFF)));
        LoadAndUse("odd.bmp");
        EXPECT_EQ(loadedBitmap.width, w);
        EXPECT_EQ(loadedBitmap.height, h);
    }
}

TEST(BitmapBadData, OtherDepthsAreFatalWhateverTheirSize) {
    for (int bits : {1, 4, 8, 24, 32, 0, 0xFFFF}) {
        MakeScratchDirectory();
        std::string file = MakeBmp(2, 2, {1, 2, 3, 4});
        file[28] = char(bits & 0xFF);
        file[29] = char(bits >> 8);
        WriteFile("deep.bmp", file);
        EXPECT_EXIT(LoadBitmapFile("deep.bmp"), testing::ExitedWithCode(0), "");
        EXPECT_EQ(ReadLog().substr(0, 23), "ERROR: Bitmap != 16BIT\n") << bits;
    }
}

}  // namespace
