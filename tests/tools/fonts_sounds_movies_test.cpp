// The generated fonts, sound effects, movies and first profile file.
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <filesystem>

#include "test_support.h"
#include "tools/dataset.h"
#include "tools/art/fonts.h"
#include "tools/kit/image.h"
#include "tools/art/text_places.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = VALIMO_GAME_DIR;

struct Font {
    int cell;
    gen::Image16 img;
    std::array<int, 96> adv;
};

Font LoadFont(const char* file, int cell) {
    Font f{cell, {}, {}};
    EXPECT_TRUE(gen::ReadBmp((kGame / file).string(), f.img)) << file;
    f.adv = gen::MeasureAdvances(f.img, cell);
    return f;
}

std::array<Font, 3> Fonts() {
    return {LoadFont("TimesRoman.bmp", 14), LoadFont("TimesRoman2.bmp", 14), LoadFont("Century.bmp", 18)};
}

TEST(FontPictures, TwelveByEightCellsOfEveryPrintableCharacter) {
    for (const auto& f : Fonts()) {
        ASSERT_EQ(f.img.w, 12 * f.cell);
        ASSERT_EQ(f.img.h, 8 * f.cell);
        EXPECT_EQ(f.adv[0], 2);  // the space, by the game's rule
        for (int c = 33; c < 127; c++) EXPECT_GT(f.adv[size_t(c - 32)], 1) << char(c);
        EXPECT_EQ(f.adv[95], -1);  // 127 has no glyph
        EXPECT_LE(*std::max_element(f.adv.begin(), f.adv.end()), f.cell);
    }
}

// Text is drawn glyph after glyph at the measured advance, which ends at the
// ink's last column: a clear first column keeps neighbours apart.
TEST(FontPictures, NoTwoGlyphsTouchAtTheMeasuredAdvance) {
    for (const auto& f : Fonts())
        for (int i = 1; i < 96; i++) {
            int cx = (i % 12) * f.cell, cy = (i / 12) * f.cell;
            for (int y = 0; y < f.cell; y++)
                EXPECT_EQ(f.img.Get(cx, cy + y) & 0x7FFF, gen::kMagenta) << "glyph " << char(32 + i) << " row " << y;
        }
}

TEST(FontPictures, TheTwoFourteenPixelFontsShareTheirShapesAndDifferInInk) {
    auto fonts = Fonts();
    EXPECT_EQ(fonts[0].adv, fonts[1].adv);
    // Font 0 is light, font 1 dark: compare the brightest ink of each.
    auto brightest = [](const gen::Image16& img) {
        float best = 0;
        for (uint16_t p : img.px)
            if ((p & 0x7FFF) != gen::kMagenta) {
                gen::Rgb c = gen::From555(p);
                best = std::max(best, c.r + c.g + c.b);
            }
        return best;
    };
    EXPECT_GT(brightest(fonts[0].img), 600.0f);
    EXPECT_LT(brightest(fonts[1].img), 350.0f);
}

// A handheld's screen is 1280 x 800 or 1280 x 720, and full screen fills its
// height: the picture shows 1.67 or 1.5 times its size there. Its smallest text,
// capitals as tall as 'H', must still be 9 output pixels tall.
TEST(FontPictures, EveryFontIsNinePixelsTallOnAHandheldScreen) {
    auto inkRows = [](const Font& f, char c) {
        const int i = c - 32, cx = (i % 12) * f.cell, cy = (i / 12) * f.cell;
        int top = f.cell, bottom = -1;
        for (int y = 0; y < f.cell; y++)
            for (int x = 0; x < f.cell; x++)
                if ((f.img.Get(cx + x, cy + y) & 0x7FFF) != gen::kMagenta) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return bottom - top + 1;
    };
    for (const auto& f : Fonts())
        for (int screenH : {720, 800}) {
            EXPECT_GE(inkRows(f, 'H') * screenH / 480.0, 9.0) << f.cell << "-pixel font at " << screenH;
            // Lower case stays apart from capitals, so the letters read as text, not as blots.
            EXPECT_LT(inkRows(f, 'x'), inkRows(f, 'H')) << f.cell;
        }
}

TEST(FontPictures, EveryFixedTextFitsWhereItIsDrawn) {
    auto fonts = Fonts();
    for (const auto& p : gen::TextPlaces()) {
        int w = gen::TextWidth(fonts[size_t(p.font)].adv, p.text);
        EXPECT_LE(w, p.maxWidth) << p.where << ": \"" << p.text << "\" in font " << p.font;
    }
}

struct Wav {
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> samples;
};

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

TEST(SoundEffects, PlainRiffWave8BitMono22050) {
    for (const char* name : {"click", "drop0", "drop1", "drop2", "drop3", "drop4", "key", "done"}) {
        std::vector<uint8_t> b;
        ASSERT_TRUE(gen::ReadFile((kGame / "data" / (std::string(name) + ".wav")).string(), b)) << name;
        ASSERT_GE(b.size(), 44u);
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
        EXPECT_EQ(Le32(b, 4), b.size() - 8) << name;
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(Le32(b, 16), 16u);
        EXPECT_EQ(Le16(b, 20), 1);      // PCM
        EXPECT_EQ(Le16(b, 22), 1);      // mono
        EXPECT_EQ(Le32(b, 24), 22050u);
        EXPECT_EQ(Le32(b, 28), 22050u);
        EXPECT_EQ(Le16(b, 32), 1);
        EXPECT_EQ(Le16(b, 34), 8);
        EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
        EXPECT_EQ(Le32(b, 40), b.size() - 44) << name;
    }
}

TEST(SoundEffects, ShortQuietAtBothEndsUnclippedAndDistinct) {
    std::vector<std::vector<uint8_t>> drops;
    for (const char* name : {"click", "drop0", "drop1", "drop2", "drop3", "drop4", "key", "done"}) {
        std::vector<uint8_t> b;
        ASSERT_TRUE(gen::ReadFile((kGame / "data" / (std::string(name) + ".wav")).string(), b));
        std::vector<uint8_t> s(b.begin() + 44, b.end());
        ASSERT_GT(s.size(), 100u) << name;
        EXPECT_LT(s.size(), size_t(22050 * 3 / 2)) << name;  // under a second and a half
        EXPECT_NEAR(s.front(), 128, 2) << name;
        EXPECT_NEAR(s.back(), 128, 2) << name;
        int peak = 0;
        for (uint8_t v : s) peak = std::max(peak, std::abs(int(v) - 128));
        EXPECT_LT(peak, 127) << name;  // never at the rails
        EXPECT_GT(peak, 30) << name;   // and audible
        // No jump between neighbouring samples larger than a loud, steep wave makes.
        for (size_t i = 1; i < s.size(); i++)
            ASSERT_LT(std::abs(int(s[i]) - int(s[i - 1])), 160) << name << " at " << i;
        if (std::string(name).rfind("drop", 0) == 0) drops.push_back(s);
    }
    for (size_t i = 0; i < drops.size(); i++)
        for (size_t j = i + 1; j < drops.size(); j++) EXPECT_NE(drops[i], drops[j]) << i << " " << j;
}

struct MovieInfo {
    int w = 0, h = 0, frames = 0;
    AVCodecID codec = AV_CODEC_ID_NONE;
    AVRational rate{0, 1};
    bool decodedAll = false;
};

MovieInfo Probe(const fs::path& path) {
    MovieInfo info;
    AVFormatContext* fc = nullptr;
    if (avformat_open_input(&fc, path.c_str(), nullptr, nullptr) < 0) return info;
    avformat_find_stream_info(fc, nullptr);
    int si = av_find_best_stream(fc, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (si >= 0) {
        AVStream* st = fc->streams[si];
        info.w = st->codecpar->width;
        info.h = st->codecpar->height;
        info.codec = st->codecpar->codec_id;
        info.rate = st->r_frame_rate;
        const AVCodec* dec = avcodec_find_decoder(info.codec);
        AVCodecContext* cc = dec ? avcodec_alloc_context3(dec) : nullptr;
        if (cc && avcodec_parameters_to_context(cc, st->codecpar) >= 0 && avcodec_open2(cc, dec, nullptr) >= 0) {
            AVPacket* pkt = av_packet_alloc();
            AVFrame* fr = av_frame_alloc();
            bool ok = true;
            auto receive = [&]() {
                while (avcodec_receive_frame(cc, fr) >= 0) {
                    if (fr->width != info.w || fr->height != info.h) ok = false;
                    info.frames++;
                }
            };
            while (av_read_frame(fc, pkt) >= 0) {
                if (pkt->stream_index == si && avcodec_send_packet(cc, pkt) < 0) ok = false;
                av_packet_unref(pkt);
                receive();
            }
            avcodec_send_packet(cc, nullptr);
            receive();
            info.decodedAll = ok;
            av_frame_free(&fr);
            av_packet_free(&pkt);
        }
        avcodec_free_context(&cc);
    }
    avformat_close_input(&fc);
    return info;
}

TEST(Movies, MicrosoftVideo1At30FramesASecondSizedToShowAtTwiceTheirSize) {
    MovieInfo intro = Probe(kGame / "intro.avi"), outro = Probe(kGame / "outro.avi");
    for (const auto* m : {&intro, &outro}) {
        EXPECT_EQ(m->codec, AV_CODEC_ID_MSVIDEO1);
        EXPECT_EQ(m->w % 4, 0);
        EXPECT_LE(m->w * 2, 640);
        EXPECT_LE(m->h * 2, 480);
        EXPECT_EQ(m->rate.num, 30 * m->rate.den);
        EXPECT_TRUE(m->decodedAll);
        EXPECT_GE(m->frames, 60);   // a few seconds
        EXPECT_LE(m->frames, 300);  // and not more
    }
    // The outro is drawn at (0, 0) without clearing: it must fill the screen.
    EXPECT_EQ(outro.w, 320);
    EXPECT_EQ(outro.h, 240);
}

TEST(FirstProfileFile, HoldsNoPlayersAndIsNeverOverwritten) {
    std::string dir = MakeScratchDirectory();
    std::string error;
    ASSERT_TRUE(gen::WriteFirstPrefs(dir, error)) << error;
    EXPECT_EQ(ReadFile(dir + "/prefs.dat"), "PLAYERS 0\n");
    WriteFile(dir + "/prefs.dat", "PLAYERS 1\nAnna 3 0 0\n");
    ASSERT_TRUE(gen::WriteFirstPrefs(dir, error)) << error;
    EXPECT_EQ(ReadFile(dir + "/prefs.dat"), "PLAYERS 1\nAnna 3 0 0\n");
}

}  // namespace
