// The pictures players bring: converted into the game's kind and read back by the
// game's own loader, or refused with the reason; and `check` naming the fix.
#include "tools/levels/picture_convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "avi_writer.h"
#include "gfx/sprite.h"
#include "test_support.h"
#include "tools/pack_as_solver.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

namespace {

namespace fs = std::filesystem;

struct Source {
    int w = 0, h = 0;
    std::vector<uint8_t> rgba;  // rows from the top
};

// Colours that 5 bits hold exactly; `alpha` by column.
Source Pattern(int w, int h, uint8_t (*alpha)(int) = [](int) { return uint8_t(255); }) {
    Source s{w, h, {}};
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (uint8_t v : {Expand5(x * 3 + y), Expand5(x + 2 * y + 5), Expand5(31 - x - y), alpha(x)}) s.rgba.push_back(v);
    return s;
}

// The picture as another program would save it, by FFmpeg's own encoders.
void Save(const std::string& path, const Source& s, AVCodecID id, AVPixelFormat format) {
    const AVCodec* codec = avcodec_find_encoder(id);
    AVCodecContext* c = avcodec_alloc_context3(codec);
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    c->width = frame->width = s.w;
    c->height = frame->height = s.h;
    c->pix_fmt = format;
    frame->format = format;
    c->time_base = AVRational{1, 1};
    c->flags |= AV_CODEC_FLAG_QSCALE;
    c->global_quality = FF_QP2LAMBDA;  // the finest JPEG
    ASSERT_GE(avcodec_open2(c, codec, nullptr), 0);
    ASSERT_GE(av_frame_get_buffer(frame, 0), 0);
    SwsContext* sws = sws_getContext(s.w, s.h, AV_PIX_FMT_RGBA, s.w, s.h, format, SWS_POINT, nullptr, nullptr, nullptr);
    const uint8_t* from[4] = {s.rgba.data()};
    const int strides[4] = {s.w * 4};
    sws_scale(sws, from, strides, 0, s.h, frame->data, frame->linesize);
    ASSERT_GE(avcodec_send_frame(c, frame), 0);
    ASSERT_GE(avcodec_receive_packet(c, packet), 0);
    WriteFile(path, std::string(reinterpret_cast<const char*>(packet->data), size_t(packet->size)));
    sws_freeContext(sws);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&c);
}

// Converted, then loaded by the game and compared pixel by pixel: the key where the
// source was less than half opaque, else its colour (within `slack` steps).
void ExpectConvertedAsTheGameReads(const std::string& in, const std::string& out, const Source& s,
                                   gen::PictureRequest request = {}, int slack = 0) {
    std::string why;
    ASSERT_EQ(gen::ConvertPicture(in, out, request, why), gen::kPictureWritten) << in << ": " << why;
    LoadBitmapFile(out.c_str());
    ASSERT_EQ(ReadFile(out).size(), 54 + size_t(s.w * s.h * 2)) << in << ": rows of exactly width x 2 bytes";
    ASSERT_EQ(loadedBitmap.width, s.w);
    ASSERT_EQ(loadedBitmap.height, s.h);
    for (int i = 0; i < s.w * s.h; i++) {
        const uint8_t* p = &s.rgba[size_t(i) * 4];
        const uint16_t got = loadedBitmap.pixels[size_t(i)];
        if (p[3] < 128) {
            ASSERT_EQ(got, kMagenta555) << in << " at " << i % s.w << "," << i / s.w;
            continue;
        }
        ASSERT_NE(got, kMagenta555) << in << " at " << i % s.w << "," << i / s.w;
        const bool key = Rgb555(p[0] >> 3, p[1] >> 3, p[2] >> 3) == kMagenta555;  // moved one step of green
        for (int k = 0; k < 3; k++)
            ASSERT_LE(std::abs((got >> (10 - 5 * k) & 31) - (p[k] >> 3) - (key && k == 1)), slack)
                << in << " at " << i % s.w << "," << i / s.w;
    }
}

TEST(PictureConvert, PicturesOfEveryKindReadBackPixelForPixel) {
    MakeScratchDirectory();
    // See-through, below half, at half and opaque; one opaque pure magenta.
    Source alpha = Pattern(64, 32, [](int x) { return uint8_t(x < 8 ? 0 : x < 16 ? 127 : x < 24 ? 128 : 255); });
    std::copy_n("\xFF\x00\xFF", 3, &alpha.rgba[(5 * 64 + 40) * 4]);
    Save("alpha.png", alpha, AV_CODEC_ID_PNG, AV_PIX_FMT_RGBA);
    ExpectConvertedAsTheGameReads("alpha.png", "alpha.bmp", alpha);
    EXPECT_EQ(loadedBitmap.pixels[5 * 64 + 40], 0x7C3F);

    // Odd widths, as screen pictures; a 5-6-5 BMP with its masks, the one the game
    // draws garbled, converted in place.
    const gen::PictureRequest screen{true, 0, 0};
    Save("odd.png", Pattern(33, 7), AV_CODEC_ID_PNG, AV_PIX_FMT_RGBA);
    ExpectConvertedAsTheGameReads("odd.png", "odd.bmp", Pattern(33, 7), screen);
    Save("deep24.bmp", Pattern(35, 3), AV_CODEC_ID_BMP, AV_PIX_FMT_BGR24);
    ExpectConvertedAsTheGameReads("deep24.bmp", "out24.bmp", Pattern(35, 3), screen);
    Save("deep32.bmp", Pattern(64, 32), AV_CODEC_ID_BMP, AV_PIX_FMT_BGRA);
    ExpectConvertedAsTheGameReads("deep32.bmp", "out32.bmp", Pattern(64, 32));
    Save("layout.bmp", Pattern(21, 5), AV_CODEC_ID_BMP, AV_PIX_FMT_RGB565LE);
    ExpectConvertedAsTheGameReads("layout.bmp", "layout.bmp", Pattern(21, 5), screen);

    // JPEG: flat 8 x 8 blocks, so that only the encoder's rounding is left.
    Source photo = Pattern(32, 32);
    for (size_t i = 0; i < photo.rgba.size(); i++) photo.rgba[i] = photo.rgba[(i / 4 / 256 * 256 + i / 4 % 32 / 8 * 8) * 4 + i % 4];
    Save("photo.jpg", photo, AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ444P);
    ExpectConvertedAsTheGameReads("photo.jpg", "photo.bmp", photo, {}, 1);

    // --cells scales to whole cells with its see-through part.
    ToolRun run = RunLevelsTool("picture --cells 2x1 alpha.png alpha.bmp");
    EXPECT_EQ(run.out, "alpha.bmp: 64 x 32 pixels (2 x 1 cells), 16-bit 5-5-5, 512 transparent pixels\n");
    run = RunLevelsTool("picture --cells 1x1 alpha.png small.bmp");
    EXPECT_EQ(run.out.rfind("small.bmp: 32 x 32 pixels (1 x 1 cells), 16-bit 5-5-5, ", 0), 0u) << run.err;
}

// Each refusal says why, with status 2, and leaves nothing behind: no temporary
// file, and what was at the output's name untouched.
TEST(PictureConvert, RefusalsSayWhyAndLeaveNoFile) {
    MakeScratchDirectory();
    Save("good.png", Pattern(64, 32), AV_CODEC_ID_PNG, AV_PIX_FMT_RGBA);
    const std::string png = ReadFile("good.png");
    auto sized = [&](uint32_t w, uint32_t h) {  // the IHDR's width and height, big-endian
        std::string b = png;
        for (int i = 0; i < 4; i++) b[16 + size_t(i)] = char(w >> (24 - 8 * i)), b[20 + size_t(i)] = char(h >> (24 - 8 * i));
        return b;
    };
    WriteFile("text.png", "LEVEL 1\nITEMS 0\n");
    WriteFile("cut.png", png.substr(0, png.size() - 40));
    WriteFile("empty.png", sized(0, 32));
    WriteFile("huge.png", sized(100000, 100000));
    fs::create_directory("folder.png");
    Save("odd.png", Pattern(50, 40), AV_CODEC_ID_PNG, AV_PIX_FMT_RGBA);
    Save("wide.png", Pattern(352, 32), AV_CODEC_ID_PNG, AV_PIX_FMT_RGBA);
    Save("big.png", Pattern(4097, 1), AV_CODEC_ID_PNG, AV_PIX_FMT_RGBA);
    WriteFile("keep.bmp", "what was there");
    const std::pair<std::string, std::string> cases[] = {
        {"text.png", "text.png: not a picture the converter can read"},
        {"cut.png", "cut.png: damaged or cut short"},
        {"empty.png", "empty.png: 0 x 32 pixels: no picture in it"},
        {"huge.png", "huge.png: 100000 x 100000 pixels, too large to convert"},
        {"folder.png", "folder.png: not a plain file"},
        {"odd.png", "odd.png: 50 x 40 pixels, not whole 32-pixel cells; an item is whole cells, at most 10 x 7 (320 x "
                    "224 pixels). Scale it with --cells 2x1, or give --any-size for a screen picture"},
        {"wide.png", "wide.png: 352 x 32 pixels, larger than the case"},
        {"--any-size big.png", "big.png: 4097 x 1 pixels, larger than the game loads (at most 4096 x 4096)"},
        {"--cells 11x2 good.png", "--cells 11x2: an item is at most the case's 10 x 7 cells"},
    };
    for (const auto& [in, why] : cases) {
        ToolRun run = RunLevelsTool("picture " + in + " keep.bmp");
        EXPECT_EQ(run.status, 2) << in;
        EXPECT_EQ(run.err.rfind("valimo-levels: " + why, 0), 0u) << in << ": " << run.err;
    }
    EXPECT_EQ(ReadFile("keep.bmp"), "what was there");
    EXPECT_EQ(RunLevelsTool("picture --cells 3 good.png x.bmp").status, 2);
    EXPECT_EQ(RunLevelsTool("picture good.png no/such/folder/x.bmp").status, 1);
    EXPECT_EQ(size_t(std::distance(fs::directory_iterator("."), fs::directory_iterator())), 10u);
}

// `check` names what the game would draw garbled or refuse, in a player's words,
// and ends with the command that converts it; that command, pasted, mends the level.
TEST(PictureConvert, CheckNamesTheFixAndTheFixMendsTheLevel) {
    MakeScratchDirectory();
    fs::create_directories("my data");
    fs::create_directories("levels");
    Save("my data/deep.bmp", Pattern(160, 224), AV_CODEC_ID_BMP, AV_PIX_FMT_BGR24);  // 5 x 7 cells: two fill the case
    Save("my data/renamed.bmp", Pattern(160, 224), AV_CODEC_ID_PNG, AV_PIX_FMT_RGBA);
    Save("my data/layout.bmp", Pattern(150, 220), AV_CODEC_ID_BMP, AV_PIX_FMT_RGB565LE);
    WriteFile("levels/one.lev", "LEVEL 96\nITEMS 2\ndeep.bmp 0 2\nrenamed.bmp 15 2\n");
    WriteFile("levels/two.lev", "LEVEL 97\nITEMS 2\ndeep.bmp 0 2\nlayout.bmp 15 2\n");
    ToolRun run = RunLevelsTool("check --data 'my data' levels");
    EXPECT_EQ(run.status, 1);
    for (const char* fault : {
             "picture my data/deep.bmp: 24-bit, not 16-bit; the game stops with a fatal error on it; convert it with: "
             "valimo-levels picture 'my data/deep.bmp' 'my data/deep.bmp'\n",
             "picture my data/renamed.bmp: a PNG picture, not a BMP; the game reads only BMP pictures; convert it with: "
             "valimo-levels picture 'my data/renamed.bmp' 'my data/renamed.bmp'\n",
             "picture my data/layout.bmp: 16-bit in the 5-6-5 layout, which the game draws in wrong colours (it reads "
             "5-5-5); pixels start at byte 66; the game reads them from byte 54 and would draw header bytes as pixels; "
             "convert it with: valimo-levels picture --cells 5x7 'my data/layout.bmp' 'my data/layout.bmp'\n"})
        EXPECT_NE(run.out.find(fault), std::string::npos) << fault << "\n" << run.out;
    const std::string lead = "convert it with: valimo-levels ";
    for (size_t at = run.out.find(lead); at != std::string::npos; at = run.out.find(lead, at)) {
        at += lead.size();
        const std::string command = run.out.substr(at, run.out.find('\n', at) - at);
        EXPECT_EQ(RunLevelsTool(command).status, 0) << command;
    }
    run = RunLevelsTool("check --data 'my data' levels");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("levels/two.lev: level 97, 2 items, 70 cells, solvable"), std::string::npos) << run.out;
}

}  // namespace
