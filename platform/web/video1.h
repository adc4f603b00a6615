// Movies without a codec library, for the browser: the video stream of an AVI file
// found through the RIFF reader, and a decoder of Microsoft Video 1 (16-bit), the
// codec of the game's movies.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/avi.h"

struct Video1Chunk {
    uint32_t offset;  // of the data in the file
    uint32_t size;
};

struct AviVideo {
    int width = 0, height = 0;
    DWORD handler = 0;      // the stream header's codec
    DWORD compression = 0;  // the format's codec
    int bitCount = 0;
    DWORD scale = 0, rate = 0, start = 0;
    LONG length = 0;                  // frames: the stated length, bounded by the file
    std::vector<Video1Chunk> chunks;  // frame i is chunk i; an empty one holds the picture
};

// Video stream number `stream` (counting video streams) of an AVI file. AVIERR_OK,
// or the reason: AVIERR_FILEOPEN (not an AVI), AVIERR_NODATA (no such stream),
// AVIERR_BADFORMAT (no size, or larger than the layer accepts).
HRESULT ReadAviVideo(const char* file, LONG stream, AviVideo* video);

// True when the decoder below knows the stream's codec.
bool IsVideo1(const AviVideo& video);

// Decodes one frame over `picture` (top-down, width x height, 5-5-5 pixels): the
// blocks the frame skips keep the previous frame's pixels. Data that ends early
// leaves the rest of the picture as it was.
void DecodeVideo1(const uint8_t* data, size_t size, int width, int height, uint16_t* picture);

// The picture as a DIB's pixels: rows bottom-up of blue, green, red, each padded to
// DibRowBytes; the 5-bit values widened as the desktop's decoder widens them.
void Video1ToDib(const uint16_t* picture, int width, int height, uint8_t* dib);
