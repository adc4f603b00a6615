#include "platform/avi.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/faults.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
#include <libavutil/time.h>
#include <libswscale/swscale.h>
}

namespace {

// Enough for the headers of any AVI; the demuxer is named, so nothing is guessed.
constexpr int64_t kProbeSize = 64 * 1024;
constexpr int kMaxStreams = 8;
constexpr int64_t kOpenMicroseconds = 2'000'000;
constexpr int64_t kFrameMicroseconds = 1'000'000;
// Every frame takes at least a chunk header in the file.
constexpr int64_t kMinFrameBytes = 8;
constexpr LONG kMaxFrames = 1 << 20;

int PastDeadline(void* opaque) {
    const int64_t deadline = *static_cast<const int64_t*>(opaque);
    return deadline != 0 && av_gettime_relative() > deadline;
}

void QuietLibrary() {
    static bool done = false;
    if (!done) av_log_set_level(AV_LOG_FATAL);
    done = true;
}

}  // namespace

struct AviStream {
    AVFormatContext* format = nullptr;
    AVStream* video = nullptr;
    int64_t firstTimestamp = 0;
    int64_t deadline = 0;  // read by the interrupt callback; 0: no limit
    LONG length = 0;
    ULONG refs = 1;
    AVISTREAMINFO info{};
};

struct AviGetFrame {
    AviStream* stream = nullptr;
    AVCodecContext* codec = nullptr;
    SwsContext* scaler = nullptr;
    AVPacket* pending = nullptr;  // read, not yet decoded: it belongs to a later frame
    bool hasPending = false;
    LONG pendingFrame = 0;
    LONG lastNumbered = -1;  // frame number of the last packet read
    LONG decoded = -1;       // frame number of the last packet decoded
    AVFrame* received = nullptr;
    AVFrame* latest = nullptr;  // the newest picture out of the decoder
    LONG shown = -1;            // the frame now in `dib`
    uint8_t* topDown = nullptr;
    int topDownStride = 0;
    std::vector<uint8_t> dib;
};

void AVIFileInit() {}
void AVIFileExit() {}

namespace {

void CloseStream(AviStream* stream) {
    avformat_close_input(&stream->format);
    delete stream;
}

// Changed on purpose: a movie's length (docs/BEHAVIOUR.md).
// The stream's stated length: frames the file stores as empty chunks (the previous
// picture held) count, and the index, which leaves them out, does not decide. Only a
// length the file cannot hold (more frames than chunk headers fit in it) is damage;
// then the index says how many, or else the file's size.
LONG CountFrames(AviStream* stream) {
    const AVStream* video = stream->video;
    int64_t count = video->nb_frames > 0 ? video->nb_frames : video->duration;
    const int64_t fileSize = stream->format->pb ? avio_size(stream->format->pb) : -1;
    const int64_t possible = fileSize > 0 ? fileSize / kMinFrameBytes : kMaxFrames;
    if (count <= 0 || count > possible) {
        const int entries = avformat_index_get_entries_count(video);
        if (entries > 0) {
            const AVIndexEntry* last = avformat_index_get_entry(const_cast<AVStream*>(video), entries - 1);
            int64_t indexed = entries;
            if (last && last->timestamp >= stream->firstTimestamp)
                indexed = std::min<int64_t>(last->timestamp - stream->firstTimestamp, kMaxFrames) + 1;
            count = indexed;
        }
        count = std::min(count, possible);
    }
    return LONG(std::clamp<int64_t>(count, 0, kMaxFrames));
}

}  // namespace

HRESULT AVIStreamOpenFromFile(PAVISTREAM* result, const char* file, DWORD type, LONG stream, unsigned mode,
                              const void* handler) {
    if (result) *result = nullptr;
    HRESULT fault;
    if (TakeFault("AVIStreamOpenFromFile", &fault)) return fault;
    if (!result || !file || type != streamtypeVIDEO || stream < 0 || mode != OF_READ) return AVIERR_BADPARAM;
    // A pipe or a device named like a movie would block reads past any time limit.
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return AVIERR_FILEOPEN;
    QuietLibrary();
    const AVInputFormat* avi = av_find_input_format("avi");
    if (!avi) return AVIERR_UNSUPPORTED;

    AviStream* s = new AviStream;
    s->format = avformat_alloc_context();
    if (!s->format) {
        delete s;
        return AVIERR_MEMORY;
    }
    s->deadline = av_gettime_relative() + kOpenMicroseconds;
    s->format->interrupt_callback.callback = PastDeadline;
    s->format->interrupt_callback.opaque = &s->deadline;
    s->format->probesize = kProbeSize;
    s->format->max_streams = kMaxStreams;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened = avformat_open_input(&s->format, file, avi, &options);
    av_dict_free(&options);
    if (opened < 0) {
        // The library has freed the context.
        s->format = nullptr;
        delete s;
        return AVIERR_FILEOPEN;
    }

    LONG seen = 0;
    for (unsigned i = 0; i < s->format->nb_streams; i++) {
        AVStream* candidate = s->format->streams[i];
        candidate->discard = AVDISCARD_ALL;
        if (candidate->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
        if (seen++ == stream) s->video = candidate;
    }
    if (!s->video) {
        CloseStream(s);
        return AVIERR_NODATA;
    }
    s->video->discard = AVDISCARD_DEFAULT;
    const AVCodecParameters* par = s->video->codecpar;
    if (par->width <= 0 || par->height <= 0 || par->width > AVI_MAX_WIDTH || par->height > AVI_MAX_HEIGHT) {
        CloseStream(s);
        return AVIERR_BADFORMAT;
    }
    const int64_t start = s->video->start_time;
    if (start != AV_NOPTS_VALUE && start > 0 && start < kMaxFrames) s->firstTimestamp = start;
    s->length = CountFrames(s);

    AVISTREAMINFO& info = s->info;
    info.fccType = streamtypeVIDEO;
    info.fccHandler = par->codec_tag;
    info.dwScale = DWORD(std::max(s->video->time_base.num, 0));
    info.dwRate = DWORD(std::max(s->video->time_base.den, 0));
    info.dwStart = DWORD(s->firstTimestamp);
    info.dwLength = DWORD(s->length);
    info.dwQuality = DWORD(-1);
    info.rcFrame = RECT{0, 0, par->width, par->height};
    s->deadline = 0;
    *result = s;
    return AVIERR_OK;
}

HRESULT AVIStreamInfo(PAVISTREAM stream, AVISTREAMINFO* info, LONG size) {
    HRESULT fault;
    if (TakeFault("AVIStreamInfo", &fault)) return fault;
    if (!stream || !info) return AVIERR_BADPARAM;
    if (size != LONG(sizeof(AVISTREAMINFO))) return AVIERR_BADSIZE;
    *info = stream->info;
    return AVIERR_OK;
}

LONG AVIStreamLength(PAVISTREAM stream) { return stream ? stream->length : -1; }

ULONG AVIStreamRelease(PAVISTREAM stream) {
    if (!stream) return 0;
    const ULONG left = --stream->refs;
    if (left == 0) CloseStream(stream);
    return left;
}

namespace {

void FreeGetFrame(AviGetFrame* frames) {
    sws_freeContext(frames->scaler);
    av_packet_free(&frames->pending);
    av_frame_free(&frames->received);
    av_frame_free(&frames->latest);
    av_freep(&frames->topDown);
    avcodec_free_context(&frames->codec);
    delete frames;
}

// Keeps the newest picture the decoder has ready.
void DrainDecoder(AviGetFrame* frames) {
    while (avcodec_receive_frame(frames->codec, frames->received) == 0) {
        av_frame_unref(frames->latest);
        av_frame_move_ref(frames->latest, frames->received);
    }
}

// A packet the decoder refuses leaves the previous picture standing.
void DecodePending(AviGetFrame* frames) {
    int sent = avcodec_send_packet(frames->codec, frames->pending);
    if (sent == AVERROR(EAGAIN)) {
        DrainDecoder(frames);
        sent = avcodec_send_packet(frames->codec, frames->pending);
    }
    DrainDecoder(frames);
    frames->decoded = frames->pendingFrame;
    frames->hasPending = false;
    av_packet_unref(frames->pending);
}

// The next packet of the video stream, numbered by the frame it shows: a stream may
// skip frames (the previous picture stays), so numbers come from the time stamps.
bool ReadPending(AviGetFrame* frames) {
    AviStream* s = frames->stream;
    for (;;) {
        if (av_read_frame(s->format, frames->pending) < 0) return false;
        if (frames->pending->stream_index == s->video->index) break;
        av_packet_unref(frames->pending);
    }
    LONG number = frames->lastNumbered + 1;
    const int64_t dts = frames->pending->dts;
    if (dts != AV_NOPTS_VALUE && dts >= s->firstTimestamp && dts - s->firstTimestamp < kMaxFrames) {
        const LONG fromStart = LONG(dts - s->firstTimestamp);
        if (fromStart > frames->lastNumbered) number = fromStart;
    }
    frames->lastNumbered = number;
    frames->pendingFrame = number;
    frames->hasPending = true;
    return true;
}

bool Rewind(AviGetFrame* frames) {
    AviStream* s = frames->stream;
    const int64_t first = s->firstTimestamp;
    if (av_seek_frame(s->format, s->video->index, first, AVSEEK_FLAG_BACKWARD) < 0 &&
        avformat_seek_file(s->format, s->video->index, INT64_MIN, first, first, 0) < 0)
        return false;
    avcodec_flush_buffers(frames->codec);
    av_packet_unref(frames->pending);
    av_frame_unref(frames->latest);
    frames->hasPending = false;
    frames->lastNumbered = -1;
    frames->decoded = -1;
    frames->shown = -1;
    return true;
}

// The newest picture into the packed bitmap: 24-bit, bottom-up, padded rows.
bool ConvertLatest(AviGetFrame* frames) {
    const AVFrame* picture = frames->latest;
    if (!picture->data[0] || picture->width <= 0 || picture->height <= 0 || picture->format < 0) return false;
    const AVCodecParameters* par = frames->stream->video->codecpar;
    const int width = par->width, height = par->height;
    frames->scaler =
        sws_getCachedContext(frames->scaler, picture->width, picture->height, AVPixelFormat(picture->format), width,
                             height, AV_PIX_FMT_BGR24, SWS_POINT, nullptr, nullptr, nullptr);
    if (!frames->scaler) return false;
    uint8_t* destination[4] = {frames->topDown, nullptr, nullptr, nullptr};
    int destinationStride[4] = {frames->topDownStride, 0, 0, 0};
    if (sws_scale(frames->scaler, picture->data, picture->linesize, 0, picture->height, destination,
                  destinationStride) != height)
        return false;
    const size_t rowBytes = size_t(DibRowBytes(width, 24));
    uint8_t* pixels = frames->dib.data() + sizeof(BITMAPINFOHEADER);
    for (int row = 0; row < height; row++)
        std::memcpy(pixels + size_t(height - 1 - row) * rowBytes,
                    frames->topDown + size_t(row) * size_t(frames->topDownStride), size_t(width) * 3);
    return true;
}

}  // namespace

PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM stream, const BITMAPINFOHEADER* wanted) {
    HRESULT fault;
    if (TakeFault("AVIStreamGetFrameOpen", &fault)) return nullptr;
    if (!stream) return nullptr;
    if (wanted && (wanted->biBitCount != 24 || wanted->biCompression != BI_RGB)) return nullptr;
    const AVCodecParameters* par = stream->video->codecpar;
    const AVCodec* decoder = avcodec_find_decoder(par->codec_id);
    if (!decoder) return nullptr;

    AviGetFrame* frames = new AviGetFrame;
    frames->stream = stream;
    frames->codec = avcodec_alloc_context3(decoder);
    frames->pending = av_packet_alloc();
    frames->received = av_frame_alloc();
    frames->latest = av_frame_alloc();
    const int width = par->width, height = par->height;
    frames->topDownStride = (width * 3 + 63) / 64 * 64;
    frames->topDown = static_cast<uint8_t*>(av_mallocz(size_t(frames->topDownStride) * size_t(height) + 64));
    bool ok = frames->codec && frames->pending && frames->received && frames->latest && frames->topDown &&
              avcodec_parameters_to_context(frames->codec, par) >= 0;
    if (ok) {
        frames->codec->thread_count = 1;
        frames->codec->thread_type = 0;
        // Pictures past the bound are refused on opening; this guards frames whose own
        // size differs from the stream's, with room for decoders that keep a margin
        // around the picture (ZMBV).
        frames->codec->max_pixels = int64_t(AVI_MAX_WIDTH + 256) * (AVI_MAX_HEIGHT + 256);
        ok = avcodec_open2(frames->codec, decoder, nullptr) >= 0;
    }
    if (!ok) {
        FreeGetFrame(frames);
        return nullptr;
    }
    NewFrameDib(&frames->dib, width, height);
    stream->refs++;
    return frames;
}

void* AVIStreamGetFrame(PGETFRAME frames, LONG position) {
    HRESULT fault;
    if (TakeFault("AVIStreamGetFrame", &fault)) return nullptr;
    if (!frames || position < 0 || position >= frames->stream->length) return nullptr;
    if (position == frames->shown) return frames->dib.data();
    AviStream* s = frames->stream;
    s->deadline = av_gettime_relative() + kFrameMicroseconds;
    if (position < frames->decoded && !Rewind(frames)) {
        s->deadline = 0;
        return nullptr;
    }
    for (;;) {
        if (!frames->hasPending && !ReadPending(frames)) break;  // the end, damage, or out of time
        if (frames->pendingFrame > position) break;
        DecodePending(frames);
        if (PastDeadline(&s->deadline)) break;
    }
    s->deadline = 0;
    if (!ConvertLatest(frames)) return nullptr;
    frames->shown = position;
    return frames->dib.data();
}

HRESULT AVIStreamGetFrameClose(PGETFRAME frames) {
    if (!frames) return AVIERR_BADPARAM;
    AviStream* stream = frames->stream;
    FreeGetFrame(frames);
    AVIStreamRelease(stream);
    return AVIERR_OK;
}
