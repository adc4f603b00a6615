#include "platform/web/video1.h"

#include <algorithm>
#include <cstring>

#include "platform/mmio.h"

namespace {

constexpr FOURCC kHdrl = mmioFOURCC('h', 'd', 'r', 'l');
constexpr FOURCC kStrl = mmioFOURCC('s', 't', 'r', 'l');
constexpr FOURCC kStrh = mmioFOURCC('s', 't', 'r', 'h');
constexpr FOURCC kStrf = mmioFOURCC('s', 't', 'r', 'f');
constexpr FOURCC kMovi = mmioFOURCC('m', 'o', 'v', 'i');
constexpr FOURCC kList = mmioFOURCC('L', 'I', 'S', 'T');
constexpr FOURCC kAvi = mmioFOURCC('A', 'V', 'I', ' ');
constexpr int kMaxStreams = 100;  // chunk ids carry the stream as two digits
// Every frame takes at least a chunk header in the file.
constexpr uint32_t kMinFrameBytes = 8;
constexpr LONG kMaxFrames = 1 << 20;

uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
DWORD Lower(DWORD fcc) {
    DWORD out = 0;
    for (int i = 0; i < 4; i++) {
        uint8_t c = uint8_t(fcc >> (8 * i));
        if (c >= 'A' && c <= 'Z') c = uint8_t(c - 'A' + 'a');
        out |= DWORD(c) << (8 * i);
    }
    return out;
}

// Reads a chunk's first `size` bytes (zeros past its end); false when it is shorter than `least`.
bool ReadChunk(HMMIO file, const MMCKINFO& chunk, uint8_t* out, uint32_t size, uint32_t least) {
    std::memset(out, 0, size);
    if (chunk.cksize < least) return false;
    const LONG want = LONG(std::min(chunk.cksize, size));
    return mmioRead(file, reinterpret_cast<char*>(out), want) == want;
}

struct StreamHeaders {
    bool video = false;
    uint8_t strh[56];
    uint8_t strf[40];
};

// The headers of the next stream list; false at the end of the header list.
bool NextStream(HMMIO file, const MMCKINFO& hdrl, StreamHeaders* s) {
    MMCKINFO strl{};
    strl.fccType = kStrl;
    if (mmioDescend(file, &strl, &hdrl, MMIO_FINDLIST) != MMSYSERR_NOERROR) return false;
    s->video = false;
    MMCKINFO strh{};
    strh.ckid = kStrh;
    if (mmioDescend(file, &strh, &strl, MMIO_FINDCHUNK) == MMSYSERR_NOERROR &&
        ReadChunk(file, strh, s->strh, sizeof s->strh, 48)) {
        mmioAscend(file, &strh, 0);
        MMCKINFO strf{};
        strf.ckid = kStrf;
        s->video = Le32(s->strh) == streamtypeVIDEO && mmioDescend(file, &strf, &strl, MMIO_FINDCHUNK) == MMSYSERR_NOERROR &&
                   ReadChunk(file, strf, s->strf, sizeof s->strf, 40);
    }
    mmioAscend(file, &strl, 0);
    return true;
}

// The data chunks of stream `index` in the movie list, in order, through any
// "rec " lists inside it.
void CollectChunks(HMMIO file, const MMCKINFO& parent, FOURCC compressed, FOURCC plain, AviVideo* video) {
    for (;;) {
        MMCKINFO chunk{};
        if (mmioDescend(file, &chunk, &parent, 0) != MMSYSERR_NOERROR) return;
        if (chunk.ckid == kList) {
            CollectChunks(file, chunk, compressed, plain, video);
        } else if ((chunk.ckid == compressed || chunk.ckid == plain) && video->chunks.size() < size_t(kMaxFrames)) {
            video->chunks.push_back({chunk.dwDataOffset, chunk.cksize});
        }
        if (mmioAscend(file, &chunk, 0) != MMSYSERR_NOERROR) return;
    }
}

FOURCC StreamChunkId(int index, char a, char b) {
    return mmioFOURCC(char('0' + index / 10), char('0' + index % 10), a, b);
}

}  // namespace

HRESULT ReadAviVideo(const char* path, LONG stream, AviVideo* video) {
    *video = AviVideo{};
    if (stream < 0) return AVIERR_BADPARAM;
    HMMIO file = mmioOpen(path, nullptr, MMIO_READ);
    if (!file) return AVIERR_FILEOPEN;
    MMCKINFO riff{};
    riff.fccType = kAvi;
    MMCKINFO hdrl{};
    hdrl.fccType = kHdrl;
    if (mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR ||
        mmioDescend(file, &hdrl, &riff, MMIO_FINDLIST) != MMSYSERR_NOERROR) {
        mmioClose(file, 0);
        return AVIERR_FILEOPEN;
    }
    StreamHeaders s;
    int index = -1, found = -1;
    LONG seen = 0;
    for (int i = 0; i < kMaxStreams && NextStream(file, hdrl, &s); i++) {
        if (!s.video || seen++ != stream) continue;
        index = i;
        found = 1;
        break;
    }
    if (found < 0) {
        mmioClose(file, 0);
        return AVIERR_NODATA;
    }
    const int32_t width = int32_t(Le32(s.strf + 4)), height = int32_t(Le32(s.strf + 8));
    // A negative height is a top-down picture; movies of this codec are never stored so.
    if (width <= 0 || height <= 0 || width > AVI_MAX_WIDTH || height > AVI_MAX_HEIGHT) {
        mmioClose(file, 0);
        return AVIERR_BADFORMAT;
    }
    video->width = width;
    video->height = height;
    video->handler = Le32(s.strh + 4);
    video->scale = Le32(s.strh + 20);
    video->rate = Le32(s.strh + 24);
    video->start = Le32(s.strh + 28);
    video->bitCount = Le16(s.strf + 14);
    video->compression = Le32(s.strf + 16);

    mmioAscend(file, &hdrl, 0);
    MMCKINFO movi{};
    movi.fccType = kMovi;
    if (mmioDescend(file, &movi, &riff, MMIO_FINDLIST) == MMSYSERR_NOERROR)
        CollectChunks(file, movi, StreamChunkId(index, 'd', 'c'), StreamChunkId(index, 'd', 'b'), video);
    mmioClose(file, 0);

    // The stated length counts frames stored as empty chunks; only a length the
    // file cannot hold is damage, and then the chunks found decide.
    const uint32_t stated = Le32(s.strh + 32);
    const uint64_t possible = uint64_t(riff.cksize) / kMinFrameBytes;
    video->length = stated > 0 && stated <= possible && stated <= uint32_t(kMaxFrames) ? LONG(stated)
                                                                                      : LONG(video->chunks.size());
    return AVIERR_OK;
}

bool IsVideo1(const AviVideo& video) {
    const DWORD c = Lower(video.compression);
    const bool named = c == mmioFOURCC('c', 'r', 'a', 'm') || c == mmioFOURCC('m', 's', 'v', 'c') ||
                       c == mmioFOURCC('w', 'h', 'a', 'm');
    return named && video.bitCount == 16;
}

void DecodeVideo1(const uint8_t* data, size_t size, int width, int height, uint16_t* picture) {
    const int blocksWide = width / 4, blocksHigh = height / 4;
    int blocksLeft = blocksWide * blocksHigh;
    int skip = 0;
    size_t at = 0;
    // Blocks run left to right along block rows from the bottom of the picture up;
    // within a block, pixel rows run from the bottom up too.
    for (int by = blocksHigh - 1; by >= 0; by--) {
        for (int bx = 0; bx < blocksWide; bx++) {
            uint16_t* block = picture + size_t(by * 4 + 3) * size_t(width) + size_t(bx * 4);
            if (skip > 0) {
                skip--;
                blocksLeft--;
                continue;
            }
            if (at + 2 > size) return;
            const uint8_t a = data[at], b = data[at + 1];
            at += 2;
            if (a == 0 && b == 0 && blocksLeft == 0) return;
            if ((b & 0xFC) == 0x84) {
                skip = ((b - 0x84) << 8) + a - 1;
                blocksLeft--;
                continue;
            }
            uint16_t colours[8];
            unsigned flags = 0;
            bool eight = false;
            if (b < 0x80) {
                if (at + 4 > size) return;
                flags = unsigned(b) << 8 | a;
                colours[0] = Le16(data + at);
                colours[1] = Le16(data + at + 2);
                at += 4;
                eight = (colours[0] & 0x8000) != 0;
                if (eight) {
                    if (at + 12 > size) return;
                    for (int i = 2; i < 8; i++, at += 2) colours[i] = Le16(data + at);
                }
            } else {
                colours[0] = colours[1] = uint16_t(b << 8 | a);
                flags = 0xFFFF;
            }
            for (int y = 0; y < 4; y++) {
                uint16_t* row = block - size_t(y) * size_t(width);
                for (int x = 0; x < 4; x++, flags >>= 1) {
                    // A set flag picks the first colour of the pair, a clear one the second;
                    // eight colours come as four pairs, one per quarter of the block.
                    const int pair = eight ? ((y & 2) << 1) + (x & 2) : 0;
                    row[x] = uint16_t(colours[pair + ((flags & 1) ^ 1)] & 0x7FFF);
                }
            }
            blocksLeft--;
        }
    }
}

void Video1ToDib(const uint16_t* picture, int width, int height, uint8_t* dib) {
    const size_t rowBytes = size_t(DibRowBytes(width, 24));
    for (int y = 0; y < height; y++) {
        const uint16_t* in = picture + size_t(y) * size_t(width);
        uint8_t* out = dib + size_t(height - 1 - y) * rowBytes;
        for (int x = 0; x < width; x++) {
            const unsigned p = in[x];
            const unsigned r = (p >> 10) & 31, g = (p >> 5) & 31, b = p & 31;
            *out++ = uint8_t(b << 3 | b >> 2);
            *out++ = uint8_t(g << 3 | g >> 2);
            *out++ = uint8_t(r << 3 | r >> 2);
        }
    }
}
