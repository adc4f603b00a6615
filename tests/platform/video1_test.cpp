// The browser's own movie reader against the desktop's FFmpeg one: every frame of
// the same files must come out byte for byte alike.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "avi_writer.h"
#include "platform/avi.h"
#include "platform/web/video1.h"
#include "test_support.h"

namespace {

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF) bytes.push_back(uint8_t(c));
    std::fclose(f);
    return bytes;
}

// Decodes every frame with our reader and compares it with the FFmpeg layer's.
void ExpectSameFrames(const std::string& path) {
    SCOPED_TRACE(path);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIStreamOpenFromFile(&stream, path.c_str(), streamtypeVIDEO, 0, OF_READ, nullptr), AVIERR_OK);
    AVISTREAMINFO info{};
    ASSERT_EQ(AVIStreamInfo(stream, &info, sizeof info), AVIERR_OK);
    AviVideo video;
    ASSERT_EQ(ReadAviVideo(path.c_str(), 0, &video), AVIERR_OK);
    ASSERT_TRUE(IsVideo1(video));
    EXPECT_EQ(video.width, info.rcFrame.right);
    EXPECT_EQ(video.height, info.rcFrame.bottom);
    ASSERT_EQ(video.length, AVIStreamLength(stream));
    PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
    ASSERT_NE(frames, nullptr);

    const std::vector<uint8_t> file = FileBytes(path);
    std::vector<uint16_t> picture(size_t(video.width) * size_t(video.height), 0);
    const size_t dibBytes = size_t(DibRowBytes(video.width, 24)) * size_t(video.height);
    std::vector<uint8_t> dib(dibBytes);
    for (LONG i = 0; i < video.length; i++) {
        if (size_t(i) < video.chunks.size()) {
            const Video1Chunk& c = video.chunks[size_t(i)];
            ASSERT_LE(size_t(c.offset) + c.size, file.size());
            DecodeVideo1(file.data() + c.offset, c.size, video.width, video.height, picture.data());
        }
        Video1ToDib(picture.data(), video.width, video.height, dib.data());
        const auto* theirs = static_cast<const uint8_t*>(AVIStreamGetFrame(frames, i));
        ASSERT_NE(theirs, nullptr) << "frame " << i;
        ASSERT_EQ(std::memcmp(dib.data(), theirs + sizeof(BITMAPINFOHEADER), dibBytes), 0) << "frame " << i;
    }
    AVIStreamGetFrameClose(frames);
    AVIStreamRelease(stream);
}

// Noise with flat patches: every block kind of the encoder (one, two and eight
// colours, skipped blocks) turns up.
std::vector<TestPicture> BusyPictures(int width, int height, int count) {
    std::mt19937 random(7);
    std::vector<TestPicture> pictures;
    TestPicture p(size_t(width) * size_t(height));
    for (uint16_t& v : p) v = uint16_t(random() & 0x7FFF);
    for (int k = 0; k < count; k++) {
        for (int n = 0; n < width * height / 6; n++) {
            const int x = int(random() % unsigned(width)), y = int(random() % unsigned(height));
            const uint16_t c = uint16_t(random() & 0x7FFF);
            for (int dy = 0; dy < 6 && y + dy < height; dy++)
                for (int dx = 0; dx < 6 && x + dx < width; dx++) p[size_t(y + dy) * size_t(width) + size_t(x + dx)] = c;
        }
        pictures.push_back(p);
    }
    return pictures;
}

TEST(Video1Reader, DecodesTheGamesMoviesAsTheDesktopDoes) {
    for (const char* movie : {"intro.avi", "outro.avi"}) ExpectSameFrames(std::string(VALIMO_GAME_DIR) + "/" + movie);
}

TEST(Video1Reader, DecodesEveryBlockKindGapsAndStreamsAsTheDesktopDoes) {
    const std::string dir = MakeScratchDirectory();
    const std::vector<TestPicture> busy = BusyPictures(64, 48, 12);
    ASSERT_TRUE(WriteTestAvi(dir + "/busy.avi", 64, 48, busy, "msvideo1", 5));
    ExpectSameFrames(dir + "/busy.avi");
    // Frames left out (empty chunks hold the picture), a second video stream, and
    // a tail of held frames.
    ASSERT_TRUE(WriteTestAvi(dir + "/gaps.avi", 64, 48, {busy[0], busy[1], busy[2]}, "msvideo1", 10, {0, 3, 4}, 2, 9));
    ExpectSameFrames(dir + "/gaps.avi");
}

TEST(Video1Reader, RefusesWhatItCannotDecodeAndSurvivesDamage) {
    const std::string dir = MakeScratchDirectory();
    ASSERT_TRUE(WriteTestAvi(dir + "/zmbv.avi", 30, 20, {SolidPicture(30, 20, 0x1234)}, "zmbv"));
    AviVideo video;
    ASSERT_EQ(ReadAviVideo((dir + "/zmbv.avi").c_str(), 0, &video), AVIERR_OK);
    EXPECT_FALSE(IsVideo1(video));  // the game's "cannot decompress" path
    EXPECT_EQ(ReadAviVideo((dir + "/zmbv.avi").c_str(), 1, &video), AVIERR_NODATA);
    EXPECT_EQ(ReadAviVideo((dir + "/none.avi").c_str(), 0, &video), AVIERR_FILEOPEN);
    {
        FILE* f = std::fopen((dir + "/text.avi").c_str(), "wb");
        std::fputs("RIFF this is no movie", f);
        std::fclose(f);
    }
    EXPECT_EQ(ReadAviVideo((dir + "/text.avi").c_str(), 0, &video), AVIERR_FILEOPEN);

    // Data cut anywhere writes nothing outside the picture, and what it did not
    // reach keeps the previous frame.
    ASSERT_TRUE(WriteTestAvi(dir + "/busy.avi", 16, 8, BusyPictures(16, 8, 1)));
    ASSERT_EQ(ReadAviVideo((dir + "/busy.avi").c_str(), 0, &video), AVIERR_OK);
    const std::vector<uint8_t> file = FileBytes(dir + "/busy.avi");
    const Video1Chunk chunk = video.chunks.at(0);
    for (uint32_t cut = 0; cut <= chunk.size; cut++) {
        std::vector<uint16_t> guarded(16 * 8 + 32, 0xBEEF);
        uint16_t* picture = guarded.data() + 16;
        DecodeVideo1(file.data() + chunk.offset, cut, 16, 8, picture);
        for (int i = 0; i < 16; i++) ASSERT_EQ(guarded[size_t(i)], 0xBEEF);
        for (int i = 0; i < 16; i++) ASSERT_EQ(guarded[16 + 128 + size_t(i)], 0xBEEF);
        if (cut == 0) {
            for (int i = 0; i < 128; i++) EXPECT_EQ(picture[i], 0xBEEF);
        }
    }
}

}  // namespace
