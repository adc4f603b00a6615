#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <random>

#include "avi_writer.h"
#include "platform/avi.h"
#include "platform/faults.h"
#include "test_support.h"

namespace {

// Far apart from one frame to the next, so no encoder takes one for another.
uint16_t FrameColour(int k) { return Rgb555(2 + (k * 7 + 3) % 30, (k * 13 + 20) % 32, (k * 5 + 9) % 32); }

std::vector<TestPicture> NumberedFrames(int width, int height, int count) {
    std::vector<TestPicture> pictures;
    for (int k = 0; k < count; k++) pictures.push_back(SolidPicture(width, height, FrameColour(k)));
    return pictures;
}

// Blue, green, red of the picture's pixel (x, y), y counted from the top.
std::array<uint8_t, 3> PixelAt(const void* packed, int x, int y) {
    const auto* header = static_cast<const BITMAPINFOHEADER*>(packed);
    const auto* rows = static_cast<const uint8_t*>(packed) + header->biSize;
    const uint8_t* p = rows + size_t(header->biHeight - 1 - y) * size_t(DibRowBytes(header->biWidth, 24)) + size_t(x) * 3;
    return {p[0], p[1], p[2]};
}

std::array<uint8_t, 3> Bgr(uint16_t c) { return {Expand5(c), Expand5(c >> 5), Expand5(c >> 10)}; }

PAVISTREAM Open(const std::string& path) {
    PAVISTREAM stream = nullptr;
    EXPECT_EQ(AVIStreamOpenFromFile(&stream, path.c_str(), streamtypeVIDEO, 0, OF_READ, nullptr), AVIERR_OK);
    return stream;
}

HRESULT TryOpen(const std::string& path) {
    PAVISTREAM stream = reinterpret_cast<PAVISTREAM>(1);
    const HRESULT result = AVIStreamOpenFromFile(&stream, path.c_str(), streamtypeVIDEO, 0, OF_READ, nullptr);
    if (result == AVIERR_OK) AVIStreamRelease(stream);
    else EXPECT_EQ(stream, nullptr);
    return result;
}

class AviStreamTest : public testing::Test {
protected:
    void SetUp() override { MakeScratchDirectory(); }
};

TEST_F(AviStreamTest, OpensTheVideoStreamWithItsSizeAndLength) {
    ASSERT_TRUE(WriteTestAvi("m.avi", 16, 8, NumberedFrames(16, 8, 12)));
    PAVISTREAM stream = Open("m.avi");
    ASSERT_NE(stream, nullptr);
    AVISTREAMINFO info;
    ASSERT_EQ(AVIStreamInfo(stream, &info, sizeof info), AVIERR_OK);
    EXPECT_EQ(info.fccType, streamtypeVIDEO);
    EXPECT_EQ(info.rcFrame.left, 0);
    EXPECT_EQ(info.rcFrame.top, 0);
    EXPECT_EQ(info.rcFrame.right, 16);
    EXPECT_EQ(info.rcFrame.bottom, 8);
    EXPECT_EQ(info.dwLength, 12u);
    EXPECT_EQ(AVIStreamLength(stream), 12);
    EXPECT_EQ(AVIStreamInfo(stream, &info, 136), AVIERR_BADSIZE);
    EXPECT_EQ(AVIStreamRelease(stream), 0u);

    PAVISTREAM second = nullptr;
    EXPECT_EQ(AVIStreamOpenFromFile(&second, "m.avi", streamtypeVIDEO, 1, OF_READ, nullptr), AVIERR_NODATA);
    EXPECT_EQ(second, nullptr);
}

TEST_F(AviStreamTest, FramesDecodeForwardAndBackwardInAnyOrder) {
    ASSERT_TRUE(WriteTestAvi("m.avi", 16, 8, NumberedFrames(16, 8, 12), "msvideo1", 4));
    PAVISTREAM stream = Open("m.avi");
    PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
    ASSERT_NE(frames, nullptr);
    const int order[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 11, 7, 3, 0, 5, 9, 2, 11};
    for (int k : order) {
        const void* packed = AVIStreamGetFrame(frames, k);
        ASSERT_NE(packed, nullptr) << "frame " << k;
        EXPECT_EQ(PixelAt(packed, 0, 0), Bgr(FrameColour(k))) << "frame " << k;
        EXPECT_EQ(PixelAt(packed, 15, 7), Bgr(FrameColour(k))) << "frame " << k;
    }
    EXPECT_EQ(AVIStreamGetFrame(frames, 12), nullptr);
    EXPECT_EQ(AVIStreamGetFrame(frames, -1), nullptr);
    // The decoder holds the stream: releasing the caller's hold first is safe.
    EXPECT_EQ(AVIStreamRelease(stream), 1u);
    EXPECT_EQ(AVIStreamGetFrameClose(frames), AVIERR_OK);
}

// Held frames are empty chunks in the file: they count, and show the picture before.
TEST_F(AviStreamTest, SkippedFramesRepeatThePreviousPicture) {
    // Pictures at frames 0, 1, 4, 5: frames 2 and 3 and the last three, 6 to 8, are
    // empty chunks (which the file's index leaves out).
    ASSERT_TRUE(WriteTestAvi("m.avi", 8, 8, NumberedFrames(8, 8, 4), "msvideo1", 10, {0, 1, 4, 5}, 1, 9));
    PAVISTREAM stream = Open("m.avi");
    ASSERT_EQ(AVIStreamLength(stream), 9);
    PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
    const int picture[] = {0, 1, 1, 1, 2, 3, 3, 3, 3};
    for (int k = 0; k < 9; k++) EXPECT_EQ(PixelAt(AVIStreamGetFrame(frames, k), 3, 3), Bgr(FrameColour(picture[k])));
    EXPECT_EQ(PixelAt(AVIStreamGetFrame(frames, 3), 3, 3), Bgr(FrameColour(1)));
    EXPECT_EQ(AVIStreamGetFrame(frames, 9), nullptr);
    AVIStreamGetFrameClose(frames);
    AVIStreamRelease(stream);
}

TEST_F(AviStreamTest, RowsAreBottomUpAndPaddedToWholeWords) {
    TestPicture picture(6 * 5);
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 6; x++) picture[size_t(y * 6 + x)] = Rgb555(x * 4, y * 7, 31 - x - y);
    ASSERT_TRUE(WriteTestAvi("odd.avi", 6, 5, {picture}, "zmbv"));
    PAVISTREAM stream = Open("odd.avi");
    PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
    ASSERT_NE(frames, nullptr);
    const auto* packed = static_cast<const uint8_t*>(AVIStreamGetFrame(frames, 0));
    ASSERT_NE(packed, nullptr);
    BITMAPINFOHEADER header;
    std::memcpy(&header, packed, sizeof header);
    EXPECT_EQ(header.biWidth, 6);
    EXPECT_EQ(header.biHeight, 5);
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biSizeImage, 20u * 5);
    // Memory row 0 is the bottom of the picture; row 1 starts after 18 bytes and 2 of padding.
    const uint8_t* rows = packed + sizeof header;
    for (int memoryRow : {0, 1})
        for (int x = 0; x < 6; x++) {
            const uint16_t c = picture[size_t((4 - memoryRow) * 6 + x)];
            const uint8_t* p = rows + memoryRow * 20 + x * 3;
            EXPECT_EQ(p[0], Expand5(c)) << memoryRow << "," << x;
            EXPECT_EQ(p[1], Expand5(c >> 5)) << memoryRow << "," << x;
            EXPECT_EQ(p[2], Expand5(c >> 10)) << memoryRow << "," << x;
        }
    AVIStreamGetFrameClose(frames);
    AVIStreamRelease(stream);
}

TEST_F(AviStreamTest, RefusesWhatIsNotAPlayableAvi) {
    EXPECT_EQ(TryOpen("missing.avi"), AVIERR_FILEOPEN);
    std::filesystem::create_directory("folder.avi");
    EXPECT_EQ(TryOpen("folder.avi"), AVIERR_FILEOPEN);
    // Nobody writes to it: opening must not wait.
    ASSERT_EQ(mkfifo("pipe.avi", 0600), 0);
    EXPECT_EQ(TryOpen("pipe.avi"), AVIERR_FILEOPEN);
    WriteFile("empty.avi", "");
    EXPECT_NE(TryOpen("empty.avi"), AVIERR_OK);
    std::string garbage;
    for (int i = 0; i < 5000; i++) garbage += char((i * 7919 + 13) % 251);
    WriteFile("garbage.avi", garbage);
    EXPECT_NE(TryOpen("garbage.avi"), AVIERR_OK);
    WriteFile("riff.avi", std::string("RIFF\xff\xff\xff\x7f" "AVI LIST\xff\xff\xff\x7f", 20) + garbage);
    EXPECT_NE(TryOpen("riff.avi"), AVIERR_OK);
    // A picture past 4096 pixels a side; one at the bound opens.
    ASSERT_TRUE(WriteTestAvi("wide.avi", 4100, 4, NumberedFrames(4100, 4, 1)));
    EXPECT_EQ(TryOpen("wide.avi"), AVIERR_BADFORMAT);
    ASSERT_TRUE(WriteTestAvi("tall.avi", 4, 4100, NumberedFrames(4, 4100, 1)));
    EXPECT_EQ(TryOpen("tall.avi"), AVIERR_BADFORMAT);
    ASSERT_TRUE(WriteTestAvi("edge.avi", 4096, 8, NumberedFrames(4096, 8, 1)));
    EXPECT_EQ(TryOpen("edge.avi"), AVIERR_OK);
    // More streams than any movie needs.
    ASSERT_TRUE(WriteTestAvi("many.avi", 8, 4, NumberedFrames(8, 4, 1), "msvideo1", 10, {}, 9));
    EXPECT_NE(TryOpen("many.avi"), AVIERR_OK);
    ASSERT_TRUE(WriteTestAvi("eight.avi", 8, 4, NumberedFrames(8, 4, 1), "msvideo1", 10, {}, 8));
    EXPECT_EQ(TryOpen("eight.avi"), AVIERR_OK);
}

TEST_F(AviStreamTest, HugeClaimedSizesAreRefusedOrBounded) {
    ASSERT_TRUE(WriteTestAvi("m.avi", 16, 8, NumberedFrames(16, 8, 12)));
    const std::string good = ReadFile("m.avi");
    const size_t strh = FindBytes(good, "strh"), strf = FindBytes(good, "strf"), avih = FindBytes(good, "avih");
    ASSERT_NE(strh, std::string::npos);
    ASSERT_NE(strf, std::string::npos);
    ASSERT_NE(avih, std::string::npos);

    std::string huge = good;
    PutLe32(huge, strf + 8 + 4, 100000);
    PutLe32(huge, strf + 8 + 8, 100000);
    PutLe32(huge, avih + 8 + 32, 100000);
    PutLe32(huge, avih + 8 + 36, 100000);
    WriteFile("huge.avi", huge);
    EXPECT_NE(TryOpen("huge.avi"), AVIERR_OK);

    std::string negative = good;
    PutLe32(negative, strf + 8 + 4, 0x80000000u);
    WriteFile("negative.avi", negative);
    EXPECT_NE(TryOpen("negative.avi"), AVIERR_OK);

    // A stated length of two billion frames: the index says twelve.
    std::string longer = good;
    PutLe32(longer, strh + 8 + 32, 0x7FFFFFFF);
    PutLe32(longer, avih + 8 + 16, 0x7FFFFFFF);
    WriteFile("long.avi", longer);
    PAVISTREAM stream = Open("long.avi");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(AVIStreamLength(stream), 12);
    AVIStreamRelease(stream);

    // Without its index the file's size bounds the length.
    std::string noIndex = longer;
    const size_t idx1 = FindBytes(noIndex, "idx1");
    ASSERT_NE(idx1, std::string::npos);
    noIndex.resize(idx1);
    WriteFile("noindex.avi", noIndex);
    stream = Open("noindex.avi");
    ASSERT_NE(stream, nullptr);
    EXPECT_GE(AVIStreamLength(stream), 12);
    EXPECT_LE(AVIStreamLength(stream), LONG(noIndex.size() / 8));
    AVIStreamRelease(stream);
}

TEST_F(AviStreamTest, UnknownCodecOpensButHasNoDecoder) {
    ASSERT_TRUE(WriteTestAvi("m.avi", 16, 8, NumberedFrames(16, 8, 3)));
    std::string bytes = ReadFile("m.avi");
    for (size_t at = FindBytes(bytes, "MSVC"); at != std::string::npos; at = FindBytes(bytes, "MSVC", at))
        bytes.replace(at, 4, "QZQZ");
    WriteFile("unknown.avi", bytes);
    PAVISTREAM stream = Open("unknown.avi");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(AVIStreamLength(stream), 3);
    EXPECT_EQ(AVIStreamGetFrameOpen(stream, nullptr), nullptr);
    EXPECT_EQ(AVIStreamRelease(stream), 0u);
}

TEST_F(AviStreamTest, TruncatedMovieHoldsItsLastPicture) {
    ASSERT_TRUE(WriteTestAvi("m.avi", 16, 8, NumberedFrames(16, 8, 12)));
    std::string bytes = ReadFile("m.avi");
    // Cut inside the chunk of frame 6.
    size_t at = FindBytes(bytes, "00dc", FindBytes(bytes, "movi"));
    for (int k = 0; k < 6; k++) at = FindBytes(bytes, "00dc", at + 4);
    ASSERT_NE(at, std::string::npos);
    bytes.resize(at + 12);
    WriteFile("cut.avi", bytes);
    PAVISTREAM stream = Open("cut.avi");
    ASSERT_NE(stream, nullptr);
    PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
    ASSERT_NE(frames, nullptr);
    const LONG length = AVIStreamLength(stream);
    for (LONG k = 0; k < length; k++) {
        const void* packed = AVIStreamGetFrame(frames, k);
        ASSERT_NE(packed, nullptr) << k;
        EXPECT_EQ(PixelAt(packed, 0, 0), Bgr(FrameColour(int(std::min<LONG>(k, 5)))));
    }
    AVIStreamGetFrameClose(frames);
    AVIStreamRelease(stream);
}

TEST_F(AviStreamTest, InjectedFaultsFailTheirCallsOnce) {
    ASSERT_TRUE(WriteTestAvi("m.avi", 8, 4, NumberedFrames(8, 4, 3)));
    InjectFault("AVIStreamOpenFromFile", AVIERR_FILEREAD);
    EXPECT_EQ(TryOpen("m.avi"), AVIERR_FILEREAD);
    PAVISTREAM stream = Open("m.avi");
    AVISTREAMINFO info;
    InjectFault("AVIStreamInfo", AVIERR_MEMORY);
    EXPECT_EQ(AVIStreamInfo(stream, &info, sizeof info), AVIERR_MEMORY);
    InjectFault("AVIStreamGetFrameOpen", AVIERR_NOCOMPRESSOR);
    EXPECT_EQ(AVIStreamGetFrameOpen(stream, nullptr), nullptr);
    PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr);
    ASSERT_NE(frames, nullptr);
    InjectFault("AVIStreamGetFrame", AVIERR_FILEREAD);
    EXPECT_EQ(AVIStreamGetFrame(frames, 0), nullptr);
    EXPECT_EQ(PixelAt(AVIStreamGetFrame(frames, 1), 0, 0), Bgr(FrameColour(1)));
    AVIStreamGetFrameClose(frames);
    AVIStreamRelease(stream);

    BITMAPINFOHEADER header{sizeof header, 4, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = reinterpret_cast<void*>(1);
    InjectFault("CreateDIBSection", AVIERR_MEMORY);
    EXPECT_EQ(CreateDIBSection(&header, &bits), nullptr);
    EXPECT_EQ(bits, nullptr);
    HBITMAP bitmap = CreateDIBSection(&header, &bits);
    ASSERT_NE(bits, nullptr);
    const uint8_t source[2 * 16] = {};
    InjectFault("DrawDibDraw", AVIERR_MEMORY);
    EXPECT_FALSE(DrawDibDraw(DrawDibOpen(), bitmap, 0, 0, 4, 2, &header, source, 0, 0, 4, 2, 0));
    EXPECT_TRUE(DrawDibDraw(DrawDibOpen(), bitmap, 0, 0, 4, 2, &header, source, 0, 0, 4, 2, 0));
    DeleteObject(bitmap);
}

// Damaged copies of real movies: each opens or is refused, and every frame of one
// that opens comes back as a picture of the stated size or as nothing.
TEST_F(AviStreamTest, DamagedMoviesNeverCrash) {
    ASSERT_TRUE(WriteTestAvi("a.avi", 16, 8, NumberedFrames(16, 8, 12), "msvideo1", 4));
    TestPicture picture(6 * 5, Rgb555(3, 9, 27));
    ASSERT_TRUE(WriteTestAvi("b.avi", 6, 5, {picture, picture, picture}, "zmbv"));
    const std::string originals[] = {ReadFile("a.avi"), ReadFile("b.avi")};
    std::mt19937 random(20261207);
    const uint32_t extremes[] = {0, 1, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, 641, 481, 100000};
    int opened = 0, decoded = 0;
    for (int round = 0; round < 400; round++) {
        std::string bytes = originals[round % 2];
        const int changes = 1 + int(random() % 6);
        for (int c = 0; c < changes; c++) {
            const size_t at = random() % bytes.size();
            if (random() % 2) bytes[at] = char(random());
            else PutLe32(bytes, at & ~size_t(3), extremes[random() % 8]);
        }
        if (random() % 4 == 0) bytes.resize(random() % bytes.size());
        WriteFile("damaged.avi", bytes);
        PAVISTREAM stream = nullptr;
        if (AVIStreamOpenFromFile(&stream, "damaged.avi", streamtypeVIDEO, 0, OF_READ, nullptr) != AVIERR_OK) continue;
        opened++;
        AVISTREAMINFO info;
        ASSERT_EQ(AVIStreamInfo(stream, &info, sizeof info), AVIERR_OK);
        ASSERT_LE(info.rcFrame.right, AVI_MAX_WIDTH);
        ASSERT_LE(info.rcFrame.bottom, AVI_MAX_HEIGHT);
        const LONG length = AVIStreamLength(stream);
        ASSERT_LE(length, LONG(bytes.size()));
        if (PGETFRAME frames = AVIStreamGetFrameOpen(stream, nullptr)) {
            for (LONG k : {LONG(0), LONG(1), LONG(2), length / 2, length - 1, LONG(1), length - 2, LONG(0)}) {
                const void* packed = AVIStreamGetFrame(frames, k);
                if (!packed) continue;
                decoded++;
                BITMAPINFOHEADER header;
                std::memcpy(&header, packed, sizeof header);
                ASSERT_EQ(header.biWidth, info.rcFrame.right);
                ASSERT_EQ(header.biHeight, info.rcFrame.bottom);
            }
            AVIStreamGetFrameClose(frames);
        }
        AVIStreamRelease(stream);
    }
    // Most damage leaves a playable movie: the decoding paths really ran.
    EXPECT_GT(opened, 100);
    EXPECT_GT(decoded, 100);
}

TEST(DrawDib, CopiesRowsClippedToBothPictures) {
    // Source 2 x 2: top row pixels 1, 2; bottom row 3, 4 (blue byte = number).
    BITMAPINFOHEADER small{sizeof small, 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    uint8_t source[2 * 8] = {};
    source[0] = 3, source[3] = 4;          // memory row 0: the bottom row
    source[8 + 0] = 1, source[8 + 3] = 2;  // memory row 1: the top row
    BITMAPINFOHEADER big{sizeof big, 5, 3, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(&big, &bits);
    ASSERT_NE(target, nullptr);
    const auto blue = [&](int x, int y) {
        return static_cast<uint8_t*>(bits)[size_t(2 - y) * size_t(DibRowBytes(5, 24)) + size_t(x) * 3];
    };
    ASSERT_TRUE(DrawDibDraw(DrawDibOpen(), target, 0, 0, 2, 2, &small, source, 0, 0, 2, 2, 0));
    EXPECT_EQ(blue(0, 0), 1);
    EXPECT_EQ(blue(1, 0), 2);
    EXPECT_EQ(blue(0, 1), 3);
    EXPECT_EQ(blue(1, 1), 4);
    // At (4, 2) only the source's top-left pixel lies inside; from (1, 1) only its last.
    ASSERT_TRUE(DrawDibDraw(DrawDibOpen(), target, 4, 2, 2, 2, &small, source, 0, 0, 2, 2, 0));
    EXPECT_EQ(blue(4, 2), 1);
    ASSERT_TRUE(DrawDibDraw(DrawDibOpen(), target, 2, 0, 2, 2, &small, source, 1, 1, 2, 2, 0));
    EXPECT_EQ(blue(2, 0), 4);
    EXPECT_EQ(blue(3, 0), 0);
    EXPECT_FALSE(DrawDibDraw(DrawDibOpen(), target, 0, 0, 4, 4, &small, source, 0, 0, 2, 2, 0));
    DeleteObject(target);
}

}  // namespace
