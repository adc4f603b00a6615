#include "tools/movies/movies.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
}

#include <algorithm>
#include <cmath>

#include "tools/art/items.h"
#include "tools/art/screens.h"

namespace gen {

namespace {

// Halves a picture by averaging 2 x 2 blocks, keeping what was transparent.
Canvas Half(const Canvas& src) {
    Canvas out(src.w / 2, src.h / 2);
    for (int y = 0; y < out.h; y++)
        for (int x = 0; x < out.w; x++) {
            Rgb sum{};
            float a = 0;
            for (int j = 0; j < 2; j++)
                for (int i = 0; i < 2; i++) {
                    size_t k = size_t(2 * y + j) * size_t(src.w) + size_t(2 * x + i);
                    float w = src.alpha[k];
                    sum = {sum.r + src.px[k].r * w, sum.g + src.px[k].g * w, sum.b + src.px[k].b * w};
                    a += w;
                }
            if (a > 0) out.At(x, y) = Scale(sum, 1.0f / a);
            out.A(x, y) = a / 4;
        }
    return out;
}

void Write(Canvas& c, const FontSheet& f, const std::string& text, int x, int y, float alpha) {
    auto adv = MeasureAdvances(f.image, f.cell);
    for (unsigned char ch : text) {
        if (ch < 32 || ch >= 128) continue;
        int i = ch - 32;
        for (int gy = 0; gy < f.cell; gy++)
            for (int gx = 0; gx < f.cell; gx++) {
                uint16_t p = f.image.Get((i % 12) * f.cell + gx, (i / 12) * f.cell + gy);
                if ((p & 0x7FFF) != kMagenta) c.Blend(x + gx, y + gy, From555(p), alpha);
            }
        // Wider word gaps than the game's two pixels: these lines are read at a glance.
        x += ch == ' ' ? 6 : adv[size_t(i)];
    }
}

int Measure(const FontSheet& f, const std::string& text) {
    auto adv = MeasureAdvances(f.image, f.cell);
    int w = 0;
    for (unsigned char ch : text) w += ch == ' ' ? 6 : (ch >= 32 && ch < 128 ? adv[ch - 32] : 0);
    return w;
}

void WriteCentred(Canvas& c, const FontSheet& f, const std::string& text, int cx, int y, float alpha) {
    Write(c, f, text, cx - Measure(f, text) / 2, y, alpha);
}

float Ease(float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

Image16 Frame(const Canvas& c, float fade) {
    Image16 img(c.w, c.h);
    for (size_t i = 0; i < img.px.size(); i++) img.px[i] = To555(Scale(c.px[i], std::clamp(fade, 0.0f, 1.0f)));
    return img;
}

Canvas TableGround(int w, int h, int ox, int oy) {
    Canvas c(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            // Sampled at twice the movie's pixels, as the table looks on screen.
            Rgb a = TableAt(ox + 2 * x, oy + 2 * y), b = TableAt(ox + 2 * x + 1, oy + 2 * y + 1);
            c.At(x, y) = Mix(a, b, 0.5f);
            c.A(x, y) = 1;
        }
    return c;
}

void Banner(Canvas& c, int y0, int y1, float alpha) {
    for (int y = y0; y < y1; y++)
        for (int x = 0; x < c.w; x++) {
            float edge = std::min({1.0f, float(y - y0) / 4.0f, float(y1 - 1 - y) / 4.0f});
            c.Blend(x, y, Hex(0x1A0E08), alpha * (0.55f + 0.3f * edge));
        }
}

Movie Intro(const std::array<FontSheet, 3>& fonts, const std::vector<Image16>& items,
            const std::vector<Packed>& packing, const std::vector<StaticPicture>& statics) {
    Movie m{"intro.avi", 288, 208, {}};
    const int frames = 150;
    Canvas ground = TableGround(m.w, m.h, 16, 64);
    // The case-open picture without the strip of table under it.
    Canvas full = Half(Expand(statics[1].image));
    Canvas open(full.w, 116);
    for (int y = 0; y < open.h; y++)
        for (int x = 0; x < open.w; x++) {
            open.At(x, y) = full.At(x, y);
            open.A(x, y) = full.A(x, y);
        }
    std::vector<Canvas> pics;
    for (const auto& p : packing) pics.push_back(Half(Expand(items[size_t(p.item)])));
    const int caseX = (m.w - open.w) / 2, caseY = 16;
    for (int f = 0; f < frames; f++) {
        Canvas c = ground;
        for (int y = 0; y < open.h; y++)
            for (int x = 0; x < open.w; x++)
                if (open.A(x, y) > 0.5f) c.Blend(caseX + x + 3, caseY + y + 4, Hex(0x000000), 0.35f);
        c.Draw(open, caseX, caseY);
        for (size_t k = 0; k < packing.size(); k++) {
            float start = 12.0f + float(k) * 80.0f / float(packing.size());
            float t = (float(f) - start) / 12.0f;
            if (t < 0) continue;
            // The case's cells start 3 and 5 pixels into its picture: halved, 1 and 2.
            int tx = caseX + 1 + packing[k].col * 16, ty = caseY + 2 + packing[k].row * 16;
            c.Draw(pics[k], tx, ty - int((1.0f - Ease(t)) * 150.0f));
        }
        float title = Ease((float(f) - 96) / 20.0f);
        if (title > 0) {
            Banner(c, 150, 200, title);
            WriteCentred(c, fonts[2], "V A L I M O", m.w / 2, 156, title);
            WriteCentred(c, fonts[0], "A packing puzzle", m.w / 2, 179, Ease((float(f) - 110) / 15.0f));
        }
        float fade = std::min(Ease(float(f) / 14.0f), 1.0f - Ease((float(f) - (frames - 10)) / 10.0f));
        m.frames.push_back(Frame(c, fade));
    }
    return m;
}

Movie Outro(const std::array<FontSheet, 3>& fonts, const std::vector<StaticPicture>& statics) {
    Movie m{"outro.avi", 320, 240, {}};
    const int frames = 135;
    Canvas ground = TableGround(m.w, m.h, 0, 0);
    Canvas closed = Half(Expand(statics[0].image));  // case-closed, with its table strip
    // Only the case itself, not the table under it in the picture.
    Canvas bag(closed.w, 116);
    for (int y = 0; y < bag.h; y++)
        for (int x = 0; x < bag.w; x++) {
            bag.At(x, y) = closed.At(x, y);
            bag.A(x, y) = closed.A(x, y);
        }
    for (int f = 0; f < frames; f++) {
        Canvas c = ground;
        float leave = Ease((float(f) - 80) / 40.0f);
        int bx = (m.w - bag.w) / 2 + int(leave * 260.0f), by = 30 - int(leave * 10.0f);
        // Its shadow first.
        for (int y = 0; y < bag.h; y++)
            for (int x = 0; x < bag.w; x++)
                if (bag.A(x, y) > 0.5f) c.Blend(bx + x + 4, by + y + 5, Hex(0x000000), 0.35f);
        c.Draw(bag, bx, by);
        float t1 = Ease((float(f) - 18) / 18.0f), t2 = Ease((float(f) - 40) / 18.0f);
        if (t1 > 0) {
            Banner(c, 160, 226, t1);
            WriteCentred(c, fonts[2], "Thank you for playing", m.w / 2, 166, t1);
            WriteCentred(c, fonts[0], "Have a good trip,", m.w / 2, 190, t2);
            WriteCentred(c, fonts[0], "and see you on the next one!", m.w / 2, 205, t2);
        }
        float fade = std::min(Ease(float(f) / 12.0f), 1.0f - Ease((float(f) - (frames - 16)) / 16.0f));
        m.frames.push_back(Frame(c, fade));
    }
    return m;
}

}  // namespace

std::vector<Movie> MakeMovies(const std::array<FontSheet, 3>& fonts, const std::vector<Image16>& items,
                              const std::vector<Packed>& packing) {
    auto statics = MakeStaticPictures(fonts);
    return {Intro(fonts, items, packing, statics), Outro(fonts, statics)};
}

bool WriteAvi(const std::string& path, const Movie& movie, std::string& error) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MSVIDEO1);
    if (!codec) {
        error = "libavcodec has no Microsoft Video 1 encoder";
        return false;
    }
    AVFormatContext* oc = nullptr;
    if (avformat_alloc_output_context2(&oc, nullptr, "avi", path.c_str()) < 0 || !oc) {
        error = "no AVI muxer";
        return false;
    }
    oc->flags |= AVFMT_FLAG_BITEXACT;  // no library version in the file: same bytes every run
    AVCodecContext* cc = avcodec_alloc_context3(codec);
    AVStream* st = avformat_new_stream(oc, nullptr);
    AVFrame* frame = av_frame_alloc();
    AVPacket* pkt = av_packet_alloc();
    bool ok = cc && st && frame && pkt;
    auto fail = [&](const char* why) {
        error = why;
        ok = false;
    };
    if (ok) {
        cc->width = movie.w;
        cc->height = movie.h;
        cc->pix_fmt = AV_PIX_FMT_RGB555LE;
        cc->time_base = AVRational{1, 30};
        cc->framerate = AVRational{30, 1};
        cc->gop_size = 30;
        cc->flags |= AV_CODEC_FLAG_BITEXACT;
        if (oc->oformat->flags & AVFMT_GLOBALHEADER) cc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(cc, codec, nullptr) < 0) fail("the Video 1 encoder does not open");
    }
    if (ok) {
        avcodec_parameters_from_context(st->codecpar, cc);
        st->time_base = cc->time_base;
        if (avio_open(&oc->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) fail("cannot write the file");
    }
    if (ok && avformat_write_header(oc, nullptr) < 0) fail("cannot write the AVI header");
    if (ok) {
        frame->format = cc->pix_fmt;
        frame->width = movie.w;
        frame->height = movie.h;
        if (av_frame_get_buffer(frame, 0) < 0) fail("no frame buffer");
    }
    auto drain = [&]() {
        while (ok) {
            int r = avcodec_receive_packet(cc, pkt);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) break;
            if (r < 0) {
                fail("encoding failed");
                break;
            }
            av_packet_rescale_ts(pkt, cc->time_base, st->time_base);
            pkt->stream_index = st->index;
            if (av_interleaved_write_frame(oc, pkt) < 0) fail("cannot write a frame");
        }
    };
    for (size_t i = 0; ok && i < movie.frames.size(); i++) {
        if (av_frame_make_writable(frame) < 0) {
            fail("frame not writable");
            break;
        }
        const Image16& img = movie.frames[i];
        for (int y = 0; y < movie.h; y++) {
            uint8_t* row = frame->data[0] + size_t(y) * size_t(frame->linesize[0]);
            for (int x = 0; x < movie.w; x++) {
                uint16_t p = img.Get(x, y) & 0x7FFF;
                row[2 * x] = uint8_t(p);
                row[2 * x + 1] = uint8_t(p >> 8);
            }
        }
        frame->pts = int64_t(i);
        if (avcodec_send_frame(cc, frame) < 0) fail("the encoder refused a frame");
        drain();
    }
    if (ok) {
        avcodec_send_frame(cc, nullptr);
        drain();
    }
    if (ok && av_write_trailer(oc) < 0) fail("cannot finish the AVI");
    if (oc && oc->pb) avio_closep(&oc->pb);
    av_packet_free(&pkt);
    av_frame_free(&frame);
    avcodec_free_context(&cc);
    avformat_free_context(oc);
    return ok;
}

}  // namespace gen
