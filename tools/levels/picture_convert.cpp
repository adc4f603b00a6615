#include "tools/levels/picture_convert.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "tools/levels/case_solver.h"
#include "tools/kit/image.h"
#include "tools/art/items.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/time.h>
#include <libswscale/swscale.h>
}

namespace fs = std::filesystem;

namespace gen {

namespace {

// A picture file larger than this is no picture a player means for the game.
constexpr int64_t kMaxFileBytes = int64_t(256) << 20;
// Enough to hold the size field of every header sniffed below.
constexpr size_t kHeadBytes = 256 * 1024;
constexpr int64_t kReadMicroseconds = 10'000'000;

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}
int Be16(const std::vector<uint8_t>& b, size_t at) { return b[at] << 8 | b[at + 1]; }
int Le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }

std::string Size(int64_t w, int64_t h) { return std::to_string(w) + " x " + std::to_string(h) + " pixels"; }

std::string TooLarge(int64_t w, int64_t h) {
    return Size(w, h) + ", too large to convert (at most 16384 pixels a side and 32 million in all)";
}

bool Within(int64_t w, int64_t h) {
    return w <= kMaxSourceSide && h <= kMaxSourceSide && w * h <= kMaxSourcePixels;
}

int PastDeadline(void* opaque) { return av_gettime_relative() > *static_cast<const int64_t*>(opaque); }

// Only demuxers of single pictures: nothing that follows links to other files.
std::string PictureDemuxers() {
    std::string list = "image2,gif";
    void* it = nullptr;
    while (const AVInputFormat* f = av_demuxer_iterate(&it)) {
        const std::string name = f->name;
        if (name.size() > 5 && name.compare(name.size() - 5, 5, "_pipe") == 0) list += "," + name;
    }
    return list;
}

struct Decoding {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    SwsContext* scaler = nullptr;
    int64_t deadline = 0;
    ~Decoding() {
        sws_freeContext(scaler);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

// The first picture out of the decoder; its error code when there is none.
int FirstFrame(Decoding& d, int stream) {
    bool flushed = false;
    for (;;) {
        int r = avcodec_receive_frame(d.codec, d.frame);
        if (r == 0) return 0;
        if (r != AVERROR(EAGAIN) || flushed) return r;
        r = av_read_frame(d.format, d.packet);
        if (r < 0) {
            flushed = true;
            r = avcodec_send_packet(d.codec, nullptr);
        } else {
            if (d.packet->stream_index == stream) r = avcodec_send_packet(d.codec, d.packet);
            av_packet_unref(d.packet);
        }
        if (r < 0 && r != AVERROR_EOF) return r;
    }
}

}  // namespace

bool PictureHeaderSize(const std::vector<uint8_t>& b, int64_t& w, int64_t& h) {
    const size_t n = b.size();
    if (n >= 24 && std::memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) == 0 && std::memcmp(&b[12], "IHDR", 4) == 0) {
        w = Be32(b, 16);
        h = Be32(b, 20);
        return true;
    }
    if (n >= 10 && std::memcmp(b.data(), "GIF8", 4) == 0) {
        w = Le16(b, 6);
        h = Le16(b, 8);
        return true;
    }
    if (n >= 26 && b[0] == 'B' && b[1] == 'M') {
        if (Get32(b, 14) == 12) {
            w = Le16(b, 18);
            h = Le16(b, 20);
        } else {
            w = int32_t(Get32(b, 18));
            h = std::llabs(int64_t(int32_t(Get32(b, 22))));
        }
        return true;
    }
    if (n >= 4 && b[0] == 0xFF && b[1] == 0xD8) {
        // Segments up to the first frame header (SOF0 to SOF15, less DHT, JPG, DAC).
        size_t at = 2;
        while (at + 9 <= n && b[at] == 0xFF) {
            const int marker = b[at + 1];
            if (marker == 0xFF) {
                at++;
                continue;
            }
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
                h = Be16(b, at + 5);
                w = Be16(b, at + 7);
                return true;
            }
            if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) {
                at += 2;
                continue;
            }
            at += 2 + size_t(Be16(b, at + 2));
        }
    }
    return false;
}

bool ReadPicture(const std::string& path, RgbaPicture& picture, std::string& why) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    const uintmax_t bytes = fs::is_regular_file(status) ? fs::file_size(path, error) : 0;
    const char* const refusal = error                             ? nullptr
                                : !fs::is_regular_file(status)    ? "not a plain file"
                                : bytes == 0                      ? "an empty file, not a picture"
                                : bytes > uintmax_t(kMaxFileBytes) ? "larger than any picture the converter reads"
                                                                  : "";
    if (!refusal || *refusal) {
        why = refusal ? refusal : "cannot be read (" + error.message() + ")";
        return false;
    }
    std::vector<uint8_t> head(std::min<size_t>(size_t(bytes), kHeadBytes));
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        head.resize(std::fread(head.data(), 1, head.size(), f));
        std::fclose(f);
    } else {
        why = std::string("cannot be read (") + std::strerror(errno) + ")";
        return false;
    }
    // The claimed size decides before any pixel memory is asked for.
    int64_t w = 0, h = 0;
    if (PictureHeaderSize(head, w, h)) {
        if (w <= 0 || h <= 0) {
            why = Size(w, h) + ": no picture in it";
            return false;
        }
        if (!Within(w, h)) {
            why = TooLarge(w, h);
            return false;
        }
    }

    av_log_set_level(AV_LOG_FATAL);
    Decoding d;
    d.format = avformat_alloc_context();
    if (!d.format) {
        why = "out of memory";
        return false;
    }
    d.deadline = av_gettime_relative() + kReadMicroseconds;
    d.format->interrupt_callback.callback = PastDeadline;
    d.format->interrupt_callback.opaque = &d.deadline;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "format_whitelist", PictureDemuxers().c_str(), 0);
    // The name is a name, not a pattern of numbered files.
    av_dict_set(&options, "pattern_type", "none", 0);
    const int opened = avformat_open_input(&d.format, path.c_str(), nullptr, &options);
    av_dict_free(&options);
    const char* const notPicture = "not a picture the converter can read (it reads PNG, JPEG, BMP, GIF, TGA and the like)";
    if (opened < 0) {
        d.format = nullptr;
        why = notPicture;
        return false;
    }
    int stream = -1;
    for (unsigned i = 0; i < d.format->nb_streams; i++)
        if (stream < 0 && d.format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) stream = int(i);
    const AVCodec* decoder = stream < 0 ? nullptr : avcodec_find_decoder(d.format->streams[stream]->codecpar->codec_id);
    if (!decoder) {
        why = notPicture;
        return false;
    }
    d.codec = avcodec_alloc_context3(decoder);
    d.packet = av_packet_alloc();
    d.frame = av_frame_alloc();
    if (!d.codec || !d.packet || !d.frame ||
        avcodec_parameters_to_context(d.codec, d.format->streams[stream]->codecpar) < 0) {
        why = "out of memory";
        return false;
    }
    d.codec->thread_count = 1;
    // Refused before the decoder allocates, whatever the header claimed.
    d.codec->max_pixels = kMaxSourcePixels;
    // A damaged or cut picture is refused, not half drawn.
    d.codec->err_recognition = AV_EF_EXPLODE | AV_EF_CRCCHECK | AV_EF_BITSTREAM;
    if (avcodec_open2(d.codec, decoder, nullptr) < 0) {
        why = notPicture;
        return false;
    }
    const int r = FirstFrame(d, stream);
    if (r == AVERROR(EINVAL) && d.codec->width > 0 && !Within(d.codec->width, d.codec->height)) {
        why = TooLarge(d.codec->width, d.codec->height);
        return false;
    }
    if (r < 0 || (d.frame->flags & AV_FRAME_FLAG_CORRUPT) || d.frame->decode_error_flags) {
        // The image2 demuxer goes by the file's name alone: what it opened need not
        // be a picture at all.
        why = std::strcmp(d.format->iformat->name, "image2") == 0 ? std::string(notPicture) + ", or damaged"
              : r == AVERROR(EINVAL) ? "could not be decoded: damaged, or more than 32 million pixels"
                                     : "damaged or cut short: no whole picture could be decoded from it";
        return false;
    }
    w = d.frame->width;
    h = d.frame->height;
    if (w <= 0 || h <= 0 || !Within(w, h)) {
        why = w <= 0 || h <= 0 ? Size(w, h) + ": no picture in it" : TooLarge(w, h);
        return false;
    }
    d.scaler = sws_getContext(int(w), int(h), AVPixelFormat(d.frame->format), int(w), int(h), AV_PIX_FMT_RGBA,
                              SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr);
    if (!d.scaler) {
        why = "its pixel format cannot be converted";
        return false;
    }
    picture.w = int(w);
    picture.h = int(h);
    picture.px.assign(size_t(w) * size_t(h) * 4, 0);
    uint8_t* planes[4] = {picture.px.data(), nullptr, nullptr, nullptr};
    int strides[4] = {int(w) * 4, 0, 0, 0};
    if (sws_scale(d.scaler, d.frame->data, d.frame->linesize, 0, int(h), planes, strides) != int(h)) {
        why = "its pixel format cannot be converted";
        return false;
    }
    return true;
}

namespace {

// Lanczos keeps edges sharp where a picture is made smaller, as pictures for
// cells mostly are.
bool ScalePicture(RgbaPicture& picture, int w, int h) {
    SwsContext* scaler = sws_getContext(picture.w, picture.h, AV_PIX_FMT_RGBA, w, h, AV_PIX_FMT_RGBA,
                                        SWS_LANCZOS | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    if (!scaler) return false;
    std::vector<uint8_t> scaled(size_t(w) * size_t(h) * 4, 0);
    const uint8_t* from[4] = {picture.px.data(), nullptr, nullptr, nullptr};
    const int fromStrides[4] = {picture.w * 4, 0, 0, 0};
    uint8_t* to[4] = {scaled.data(), nullptr, nullptr, nullptr};
    const int toStrides[4] = {w * 4, 0, 0, 0};
    const bool ok = sws_scale(scaler, from, fromStrides, 0, picture.h, to, toStrides) == h;
    sws_freeContext(scaler);
    if (!ok) return false;
    picture = {w, h, std::move(scaled)};
    return true;
}

// Writes the bytes under a temporary name beside `out` and renames it into place.
bool WriteWhole(const std::string& out, const std::vector<uint8_t>& bytes, std::string& why) {
    const fs::path target(out);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> pattern(name.begin(), name.end());
    pattern.push_back('\0');
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        why = "cannot write in " + folder.string() + " (" + std::strerror(errno) + ")";
        return false;
    }
    const std::string temporary(pattern.data());
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
    }
    const int writeError = done == bytes.size() ? 0 : errno;
    // The file is the player's: the usual modes, not mkstemp's private ones.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    const bool closed = close(fd) == 0;
    if (done != bytes.size() || !closed || std::rename(temporary.c_str(), out.c_str()) != 0) {
        const int error = writeError ? writeError : errno;
        std::remove(temporary.c_str());
        why = "cannot write " + out + " (" + std::strerror(error ? error : EIO) + ")";
        return false;
    }
    return true;
}

}  // namespace

// Changed on purpose: picture converter (docs/BEHAVIOUR.md).
int ConvertPicture(const std::string& in, const std::string& out, const PictureRequest& request, std::string& why) {
    std::error_code error;
    if (fs::is_directory(out, error)) {
        why = out + " is a folder; name the picture file to write";
        return kPictureRefused;
    }
    RgbaPicture picture;
    if (!ReadPicture(in, picture, why)) {
        why = in + ": " + why;
        return kPictureRefused;
    }
    const int mostW = request.anySize ? kMaxGamePictureSide / kCell : kCaseW;
    const int mostH = request.anySize ? kMaxGamePictureSide / kCell : kCaseH;
    if (request.cellsW > 0) {
        if (request.cellsW > mostW || request.cellsH > mostH || request.cellsH <= 0) {
            why = "--cells " + std::to_string(request.cellsW) + "x" + std::to_string(request.cellsH) + ": " +
                  (request.anySize ? "larger than the game loads (at most 128 x 128 cells)"
                                   : "an item is at most the case's 10 x 7 cells");
            return kPictureRefused;
        }
        if (!ScalePicture(picture, request.cellsW * kCell, request.cellsH * kCell)) {
            why = in + ": cannot be scaled";
            return kPictureRefused;
        }
    }
    const int w = picture.w, h = picture.h;
    if (request.anySize) {
        if (w > kMaxGamePictureSide || h > kMaxGamePictureSide) {
            why = in + ": " + Size(w, h) + ", larger than the game loads (at most 4096 x 4096)";
            return kPictureRefused;
        }
    } else if (w % kCell || h % kCell || w > kCaseW * kCell || h > kCaseH * kCell) {
        const bool cells = w % kCell == 0 && h % kCell == 0;
        int cw = 0, ch = 0;
        NearestCells(w, h, cw, ch);
        why = in + ": " + Size(w, h) + (cells ? ", larger than the case" : ", not whole 32-pixel cells") +
              "; an item is whole cells, at most 10 x 7 (320 x 224 pixels). Scale it with --cells " +
              std::to_string(cw) + "x" + std::to_string(ch) + ", or give --any-size for a screen picture";
        return kPictureRefused;
    }
    Image16 image(w, h);
    int transparent = 0;
    for (size_t i = 0; i < image.px.size(); i++) {
        const uint8_t* p = &picture.px[i * 4];
        if (p[3] < 128) {
            transparent++;
            continue;  // the image starts as the colour key
        }
        image.px[i] = To555(Rgb{float(p[0]), float(p[1]), float(p[2])});
    }
    if (!WriteWhole(out, EncodeBmp(image), why)) return kPictureNotWritten;
    why = out + ": " + Size(w, h);
    if (w % kCell == 0 && h % kCell == 0) why += " (" + std::to_string(w / kCell) + " x " + std::to_string(h / kCell) + " cells)";
    why += ", 16-bit 5-5-5, " + std::to_string(transparent) + " transparent pixels";
    return kPictureWritten;
}

void NearestCells(int w, int h, int& cellsW, int& cellsH) {
    double cw = std::max(1.0, w / double(kCell)), ch = std::max(1.0, h / double(kCell));
    const double shrink = std::min({1.0, kCaseW / cw, kCaseH / ch});
    cellsW = std::clamp(int(std::lround(cw * shrink)), 1, kCaseW);
    cellsH = std::clamp(int(std::lround(ch * shrink)), 1, kCaseH);
}

std::string PictureCommand(const std::string& path, int cellsW, int cellsH) {
    std::string quoted = path;
    if (path.empty() || path.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-./+,:@") !=
                            std::string::npos) {
        quoted = "'";
        for (char c : path) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        quoted += "'";
    }
    std::string command = "valimo-levels picture ";
    if (cellsW > 0) command += "--cells " + std::to_string(cellsW) + "x" + std::to_string(cellsH) + " ";
    return command + quoted + " " + quoted;
}

}  // namespace gen
