// The movie streams of the page: the layer's AVI calls over our own reader and
// Video 1 decoder, as the desktop's FFmpeg has no build for the browser. A stream
// of another codec opens, but has no decoder: the game's own path for that.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/avi.h"
#include "platform/faults.h"
#include "platform/web/video1.h"

struct AviStream {
    std::string path;
    AviVideo video;
    AVISTREAMINFO info{};
    ULONG refs = 1;
};

struct AviGetFrame {
    AviStream* stream = nullptr;
    std::FILE* file = nullptr;
    std::vector<uint16_t> picture;
    std::vector<uint8_t> data;
    std::vector<uint8_t> dib;  // header, then the pixels
    LONG decoded = -1;         // the last frame decoded into `picture`
};

void AVIFileInit() {}
void AVIFileExit() {}

HRESULT AVIStreamOpenFromFile(PAVISTREAM* result, const char* file, DWORD type, LONG stream, unsigned mode,
                              const void* handler) {
    if (result) *result = nullptr;
    HRESULT fault;
    if (TakeFault("AVIStreamOpenFromFile", &fault)) return fault;
    if (!result || !file || type != streamtypeVIDEO || stream < 0 || mode != OF_READ) return AVIERR_BADPARAM;
    AviStream* s = new AviStream;
    const HRESULT read = ReadAviVideo(file, stream, &s->video);
    if (read != AVIERR_OK) {
        delete s;
        return read;
    }
    s->path = file;
    AVISTREAMINFO& info = s->info;
    info.fccType = streamtypeVIDEO;
    info.fccHandler = s->video.compression;
    info.dwScale = s->video.scale;
    info.dwRate = s->video.rate;
    info.dwStart = s->video.start;
    info.dwLength = DWORD(s->video.length);
    info.dwQuality = DWORD(-1);
    info.rcFrame = RECT{0, 0, s->video.width, s->video.height};
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

LONG AVIStreamLength(PAVISTREAM stream) { return stream ? stream->video.length : -1; }

ULONG AVIStreamRelease(PAVISTREAM stream) {
    if (!stream) return 0;
    const ULONG left = --stream->refs;
    if (left == 0) delete stream;
    return left;
}

PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM stream, const BITMAPINFOHEADER* wanted) {
    HRESULT fault;
    if (TakeFault("AVIStreamGetFrameOpen", &fault)) return nullptr;
    if (!stream || !IsVideo1(stream->video)) return nullptr;
    if (wanted && (wanted->biBitCount != 24 || wanted->biCompression != BI_RGB)) return nullptr;
    std::FILE* file = std::fopen(stream->path.c_str(), "rb");
    if (!file) return nullptr;
    const int width = stream->video.width, height = stream->video.height;
    AviGetFrame* frames = new AviGetFrame;
    frames->stream = stream;
    frames->file = file;
    frames->picture.assign(size_t(width) * size_t(height), 0);
    NewFrameDib(&frames->dib, width, height);
    stream->refs++;
    return frames;
}

namespace {

bool DecodeChunk(AviGetFrame* frames, LONG index) {
    const AviVideo& video = frames->stream->video;
    if (size_t(index) >= video.chunks.size()) return true;  // past the stored chunks the picture holds
    const Video1Chunk& chunk = video.chunks[size_t(index)];
    if (chunk.size == 0) return true;
    frames->data.resize(chunk.size);
    if (std::fseek(frames->file, long(chunk.offset), SEEK_SET) != 0 ||
        std::fread(frames->data.data(), 1, chunk.size, frames->file) != chunk.size)
        return false;
    DecodeVideo1(frames->data.data(), frames->data.size(), video.width, video.height, frames->picture.data());
    return true;
}

}  // namespace

void* AVIStreamGetFrame(PGETFRAME frames, LONG position) {
    HRESULT fault;
    if (TakeFault("AVIStreamGetFrame", &fault)) return nullptr;
    if (!frames || position < 0 || position >= frames->stream->video.length) return nullptr;
    // Frames build on the ones before: an earlier frame starts again from the first.
    if (position < frames->decoded) {
        std::fill(frames->picture.begin(), frames->picture.end(), uint16_t(0));
        frames->decoded = -1;
    }
    while (frames->decoded < position) {
        if (!DecodeChunk(frames, frames->decoded + 1)) return nullptr;
        frames->decoded++;
    }
    const AviVideo& video = frames->stream->video;
    Video1ToDib(frames->picture.data(), video.width, video.height, frames->dib.data() + sizeof(BITMAPINFOHEADER));
    return frames->dib.data();
}

HRESULT AVIStreamGetFrameClose(PGETFRAME frames) {
    if (!frames) return AVIERR_BADPARAM;
    AviStream* stream = frames->stream;
    std::fclose(frames->file);
    delete frames;
    AVIStreamRelease(stream);
    return AVIERR_OK;
}
