// The pictures players bring: converted into the game's kind and read back by the
// game's own loader, or refused with the reason; and `check` naming the fix.
#include "tools/picture_convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "avi_writer.h"
#include "gfx/sprite.h"
#include "platform/png.h"
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

// Colours that 5 bits hold exactly, so the expected pixel does not depend on rounding.
Source Pattern(int w, int h, const std::function<uint8_t(int, int)>& alpha = nullptr) {
    Source s{w, h, {}};
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            s.rgba.push_back(Expand5(x * 3 + y));
            s.rgba.push_back(Expand5(x + 2 * y + 5));
            s.rgba.push_back(Expand5(31 - x - y));
            s.rgba.push_back(alpha ? alpha(x, y) : 255);
        }
    return s;
}

uint16_t Expected(const Source& s, int x, int y) {
    const uint8_t* p = &s.rgba[size_t(y * s.w + x) * 4];
    if (p[3] < 128) return kMagenta555;
    const uint16_t c = Rgb555(p[0] >> 3, p[1] >> 3, p[2] >> 3);
    return c == kMagenta555 ? uint16_t(c | 1 << 5) : c;  // off the key by one step of green
}

std::string Le(uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; i++) s += char(v >> (8 * i));
    return s;
}

// BMP as other tools write it: bottom-up, rows padded to 4 bytes, pixels after the
// header and any masks. bits 24 or 32 (BGR(A)), or 16 in 5-6-5 with masks.
std::string ToolBmp(const Source& s, int bits) {
    const int rowBytes = (s.w * bits + 31) / 32 * 4;
    const uint32_t offset = bits == 16 ? 66 : 54;
    std::string b = "BM" + Le(offset + uint32_t(rowBytes * s.h), 4) + Le(0, 4) + Le(offset, 4) + Le(40, 4) +
                    Le(uint32_t(s.w), 4) + Le(uint32_t(s.h), 4) + Le(1, 2) + Le(uint32_t(bits), 2) +
                    Le(bits == 16 ? 3 : 0, 4) + Le(uint32_t(rowBytes * s.h), 4) + std::string(16, '\0');
    if (bits == 16) b += Le(0xF800, 4) + Le(0x07E0, 4) + Le(0x001F, 4);
    for (int y = s.h - 1; y >= 0; y--) {
        std::string row;
        for (int x = 0; x < s.w; x++) {
            const uint8_t* p = &s.rgba[size_t(y * s.w + x) * 4];
            if (bits == 16) row += Le(uint32_t((p[0] >> 3) << 11 | (p[1] >> 2) << 5 | (p[2] >> 3)), 2);
            else row += std::string{char(p[2]), char(p[1]), char(p[0])} + (bits == 32 ? std::string(1, char(p[3])) : "");
        }
        row.resize(size_t(rowBytes), '\0');
        b += row;
    }
    return b;
}

// A JPEG from FFmpeg's own encoder at its finest quality.
bool WriteJpeg(const std::string& path, const Source& s) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    AVCodecContext* c = codec ? avcodec_alloc_context3(codec) : nullptr;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    bool ok = c && frame && packet;
    if (ok) {
        c->width = s.w;
        c->height = s.h;
        c->pix_fmt = AV_PIX_FMT_YUVJ444P;
        c->time_base = AVRational{1, 1};
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA;
        c->qmin = 1;
        frame->format = c->pix_fmt;
        frame->width = s.w;
        frame->height = s.h;
        ok = avcodec_open2(c, codec, nullptr) >= 0 && av_frame_get_buffer(frame, 0) >= 0;
    }
    if (ok) {
        SwsContext* sws = sws_getContext(s.w, s.h, AV_PIX_FMT_RGBA, s.w, s.h, c->pix_fmt, SWS_POINT | SWS_ACCURATE_RND,
                                         nullptr, nullptr, nullptr);
        const uint8_t* from[4] = {s.rgba.data(), nullptr, nullptr, nullptr};
        const int strides[4] = {s.w * 4, 0, 0, 0};
        ok = sws && sws_scale(sws, from, strides, 0, s.h, frame->data, frame->linesize) == s.h;
        sws_freeContext(sws);
    }
    ok = ok && avcodec_send_frame(c, frame) >= 0 && avcodec_receive_packet(c, packet) >= 0;
    if (ok) WriteFile(path, std::string(reinterpret_cast<const char*>(packet->data), size_t(packet->size)));
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&c);
    return ok;
}

// The result as the game loads it, compared with the source; `slack` 5-bit steps
// for a lossy source.
void ExpectGameReads(const std::string& bmp, const Source& s, int slack, const std::string& what) {
    LoadBitmapFile(bmp.c_str());
    ASSERT_EQ(loadedBitmap.width, s.w) << what;
    ASSERT_EQ(loadedBitmap.height, s.h) << what;
    ASSERT_EQ(ReadFile(bmp).size(), 54 + size_t(s.w * s.h * 2)) << what << ": rows of exactly width x 2 bytes";
    int off = 0;
    for (int y = 0; y < s.h; y++)
        for (int x = 0; x < s.w; x++) {
            const uint16_t got = loadedBitmap.pixels[size_t(y * s.w + x)], want = Expected(s, x, y);
            if (slack == 0 || want == kMagenta555) {
                off += got != want;
                EXPECT_EQ(got, want) << what << " at " << x << "," << y;
            } else {
                for (int shift : {10, 5, 0}) off += std::abs((got >> shift & 31) - (want >> shift & 31)) > slack;
            }
            if (off > 5) return;
        }
    EXPECT_EQ(off, 0) << what;
}

TEST(PictureConvert, PicturesOfEveryKindReadBackPixelForPixel) {
    MakeScratchDirectory();
    std::string why;
    // Alpha: opaque, below half (the key), just at half (a colour); one opaque
    // pure magenta that must not turn transparent.
    Source alpha = Pattern(64, 32, [](int x, int y) { return uint8_t(x < 8 ? 0 : x < 16 ? 127 : x < 24 ? 128 : 255); });
    for (int k : {0, 1, 2}) alpha.rgba[size_t(5 * 64 + 40) * 4 + size_t(k)] = k == 1 ? 0 : 255;
    ASSERT_TRUE(WritePngRgba("alpha.png", alpha.w, alpha.h, alpha.rgba));
    ASSERT_EQ(gen::ConvertPicture("alpha.png", "alpha.bmp", {}, why), gen::kPictureWritten) << why;
    ExpectGameReads("alpha.bmp", alpha, 0, "PNG with alpha");
    EXPECT_EQ(loadedBitmap.pixels[5 * 64 + 40], 0x7C3F);
    EXPECT_EQ(why, "alpha.bmp: 64 x 32 pixels (2 x 1 cells), 16-bit 5-5-5, 512 transparent pixels");

    // Odd widths, as screen pictures: the rows lie as the game reads them.
    const gen::PictureRequest screen{true, 0, 0};
    const Source odd = Pattern(33, 7);
    ASSERT_TRUE(WritePngRgba("odd.png", odd.w, odd.h, odd.rgba));
    ASSERT_EQ(gen::ConvertPicture("odd.png", "odd.bmp", screen, why), gen::kPictureWritten) << why;
    ExpectGameReads("odd.bmp", odd, 0, "PNG of odd width");

    const Source deep = Pattern(35, 3);
    WriteFile("deep24.bmp", ToolBmp(deep, 24));
    ASSERT_EQ(gen::ConvertPicture("deep24.bmp", "out24.bmp", screen, why), gen::kPictureWritten) << why;
    ExpectGameReads("out24.bmp", deep, 0, "24-bit BMP");
    const Source deep32 = Pattern(64, 32);
    WriteFile("deep32.bmp", ToolBmp(deep32, 32));
    ASSERT_EQ(gen::ConvertPicture("deep32.bmp", "out32.bmp", {}, why), gen::kPictureWritten) << why;
    ExpectGameReads("out32.bmp", deep32, 0, "32-bit BMP");
    // 5-6-5 at an odd width, pixels from byte 66: the file the game draws garbled.
    const Source layout = Pattern(21, 5);
    WriteFile("layout.bmp", ToolBmp(layout, 16));
    ASSERT_EQ(gen::ConvertPicture("layout.bmp", "layout.bmp", screen, why), gen::kPictureWritten) << why;
    ExpectGameReads("layout.bmp", layout, 0, "16-bit 5-6-5 BMP converted in place");

    // JPEG: flat 8 x 8 blocks, so that only the encoder's rounding is left.
    Source photo = Pattern(32, 32);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++)
            for (int k = 0; k < 3; k++)
                photo.rgba[size_t(y * 32 + x) * 4 + size_t(k)] = photo.rgba[size_t((y / 8 * 8) * 32 + x / 8 * 8) * 4 + size_t(k)];
    ASSERT_TRUE(WriteJpeg("photo.jpg", photo));
    ASSERT_EQ(gen::ConvertPicture("photo.jpg", "photo.bmp", {}, why), gen::kPictureWritten) << why;
    ExpectGameReads("photo.bmp", photo, 1, "JPEG");
}

// Each refusal says why with status 2 and leaves nothing behind: no output, no
// temporary file, and an existing output untouched.
TEST(PictureConvert, RefusalsSayWhyAndLeaveNoFile) {
    MakeScratchDirectory();
    const Source good = Pattern(64, 32);
    ASSERT_TRUE(WritePngRgba("good.png", good.w, good.h, good.rgba));
    const std::string png = ReadFile("good.png");
    // The IHDR's width and height, big-endian.
    auto patched = [&](uint32_t w, uint32_t h) {
        std::string b = png;
        for (int i = 0; i < 4; i++) {
            b[16 + size_t(i)] = char(w >> (8 * (3 - i)));
            b[20 + size_t(i)] = char(h >> (8 * (3 - i)));
        }
        return b;
    };
    WriteFile("text.png", "LEVEL 1\nITEMS 0\n");
    WriteFile("cut.png", png.substr(0, png.size() - 40));
    WriteFile("empty.png", patched(0, 32));
    WriteFile("huge.png", patched(100000, 100000));
    WriteFile("nothing.png", "");
    fs::create_directory("folder.png");
    const Source odd = Pattern(50, 40);
    ASSERT_TRUE(WritePngRgba("odd.png", odd.w, odd.h, odd.rgba));
    const Source wide = Pattern(352, 32);
    ASSERT_TRUE(WritePngRgba("wide.png", wide.w, wide.h, wide.rgba));
    WriteFile("keep.bmp", "what was there");
    const std::pair<std::string, std::string> cases[] = {
        {"text.png", "not a picture the converter can read"},
        {"cut.png", "damaged or cut short"},
        {"empty.png", "0 x 32 pixels: no picture in it"},
        {"huge.png", "100000 x 100000 pixels, too large to convert"},
        {"nothing.png", "an empty file"},
        {"missing.png", "cannot be read (No such file or directory)"},
        {"folder.png", "not a plain file"},
        {"odd.png", "50 x 40 pixels, not whole 32-pixel cells; an item is whole cells, at most 10 x 7 (320 x 224 "
                    "pixels). Scale it with --cells 2x1, or give --any-size for a screen picture"},
        {"wide.png", "352 x 32 pixels, larger than the case"},
    };
    for (const auto& [in, why] : cases) {
        ToolRun run = RunLevelsTool("picture " + in + " keep.bmp");
        EXPECT_EQ(run.status, 2) << in << ": " << run.err;
        EXPECT_NE(run.err.find("valimo-levels: " + in + ": " + why), std::string::npos) << in << ": " << run.err;
        EXPECT_EQ(ReadFile("keep.bmp"), "what was there") << in;
    }
    for (const char* bad : {"picture good.png", "picture --cells 3 good.png x.bmp", "picture --cells 0x2 good.png x.bmp",
                            "picture --sharp good.png x.bmp"})
        EXPECT_EQ(RunLevelsTool(bad).status, 2) << bad;
    EXPECT_EQ(RunLevelsTool("picture --cells 11x2 good.png x.bmp").status, 2);
    EXPECT_EQ(RunLevelsTool("picture good.png folder.png").status, 2);
    EXPECT_EQ(RunLevelsTool("picture good.png no/such/folder/x.bmp").status, 1);
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(".")) left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"cut.png", "empty.png", "folder.png", "good.png", "huge.png", "keep.bmp",
                                              "nothing.png", "odd.png", "text.png", "wide.png"}));
}

// --cells scales to whole cells, keeping flat areas their colour; --any-size takes
// what the game loads and no more.
TEST(PictureConvert, CellsScaleAndAnySizeKeepsTheGamesBound) {
    MakeScratchDirectory();
    Source s{100, 70, {}};
    for (int y = 0; y < 70; y++)
        for (int x = 0; x < 100; x++) {
            const bool left = x < 50;
            for (uint8_t v : {uint8_t(left ? 255 : 0), uint8_t(0), uint8_t(left ? 0 : 255), uint8_t(y < 35 ? 255 : 0)})
                s.rgba.push_back(v);
        }
    ASSERT_TRUE(WritePngRgba("photo.png", s.w, s.h, s.rgba));
    ToolRun run = RunLevelsTool("picture --cells 3x2 photo.png item.bmp");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "item.bmp: 96 x 64 pixels (3 x 2 cells), 16-bit 5-5-5, 3072 transparent pixels\n");
    LoadBitmapFile("item.bmp");
    ASSERT_EQ(loadedBitmap.width, 96);
    ASSERT_EQ(loadedBitmap.height, 64);
    EXPECT_EQ(loadedBitmap.pixels[10 * 96 + 10], Rgb555(31, 0, 0));
    EXPECT_EQ(loadedBitmap.pixels[10 * 96 + 85], Rgb555(0, 0, 31));
    EXPECT_EQ(loadedBitmap.pixels[50 * 96 + 10], kMagenta555);

    const Source big = Pattern(4097, 1);
    ASSERT_TRUE(WritePngRgba("big.png", big.w, big.h, big.rgba));
    run = RunLevelsTool("picture --any-size big.png big.bmp");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("4097 x 1 pixels, larger than the game loads (at most 4096 x 4096)"), std::string::npos) << run.err;
    EXPECT_EQ(RunLevelsTool("picture --any-size --cells 128x1 big.png big.bmp").status, 0);
    EXPECT_EQ(RunLevelsTool("picture --any-size --cells 129x1 big.png big.bmp").status, 2);
}

// `check` names what the game would draw garbled or refuse, in a player's words,
// and ends with the command that converts it; running that command mends the level.
TEST(PictureConvert, CheckNamesTheFixAndTheFixMendsTheLevel) {
    MakeScratchDirectory();
    fs::create_directories("my data");
    fs::create_directories("levels");
    const Source half = Pattern(160, 224);  // 5 x 7 cells: two fill the case
    WriteFile("my data/deep.bmp", ToolBmp(half, 24));
    ASSERT_TRUE(WritePngRgba("my data/renamed.bmp", half.w, half.h, half.rgba));
    const Source near = Pattern(150, 220);
    WriteFile("my data/layout.bmp", ToolBmp(near, 16));
    WriteFile("levels/one.lev", "LEVEL 64\nITEMS 2\ndeep.bmp 0 2\nrenamed.bmp 15 2\n");
    WriteFile("levels/two.lev", "LEVEL 65\nITEMS 2\ndeep.bmp 0 2\nlayout.bmp 15 2\n");
    ToolRun run = RunLevelsTool("check --data 'my data' levels");
    EXPECT_EQ(run.status, 1);
    const std::string faults[] = {
        "picture my data/deep.bmp: 24-bit, not 16-bit; the game stops with a fatal error on it; "
        "convert it with: valimo-levels picture 'my data/deep.bmp' 'my data/deep.bmp'\n",
        "picture my data/renamed.bmp: a PNG picture, not a BMP; the game reads only BMP pictures; "
        "convert it with: valimo-levels picture 'my data/renamed.bmp' 'my data/renamed.bmp'\n",
        "picture my data/layout.bmp: 16-bit in the 5-6-5 layout, which the game draws in wrong colours (it reads "
        "5-5-5); pixels start at byte 66; the game reads them from byte 54 and would draw header bytes as pixels; "
        "convert it with: valimo-levels picture --cells 5x7 'my data/layout.bmp' 'my data/layout.bmp'\n",
    };
    for (const auto& f : faults) EXPECT_NE(run.out.find(f), std::string::npos) << f << "\n" << run.out;
    // Each command as a player would paste it.
    size_t at = 0;
    int ran = 0;
    while ((at = run.out.find("convert it with: valimo-levels ", at)) != std::string::npos) {
        at += std::string("convert it with: valimo-levels ").size();
        const std::string command = run.out.substr(at, run.out.find('\n', at) - at);
        ToolRun fix = RunLevelsTool(command);
        EXPECT_EQ(fix.status, 0) << command << ": " << fix.err;
        ran++;
    }
    EXPECT_GE(ran, 3);
    run = RunLevelsTool("check --data 'my data' levels");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("levels/two.lev: level 65, 2 items, 70 cells, solvable"), std::string::npos) << run.out;
}

}  // namespace
