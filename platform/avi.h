// Video streams of AVI files, decoded frame by frame into 24-bit bitmaps, and the
// small bitmap copier that moves a decoded frame into a bitmap of the game's own.
//
// Movie files are outside data: only the AVI demuxer reads them, with bounded
// probing, few streams, at most 4096 x 4096 pixels (the bitmap loader's bound; it
// only guards memory), a time limit on opening and on each frame, and one decoding
// thread. A frame that cannot be decoded is a frame without a picture, never the
// end of the program.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/win.h"

using WORD = uint16_t;

constexpr DWORD MakeFourCC(char a, char b, char c, char d) {
    return DWORD(uint8_t(a)) | DWORD(uint8_t(b)) << 8 | DWORD(uint8_t(c)) << 16 | DWORD(uint8_t(d)) << 24;
}
constexpr DWORD streamtypeVIDEO = MakeFourCC('v', 'i', 'd', 's');
constexpr unsigned OF_READ = 0;
constexpr DWORD BI_RGB = 0;

constexpr HRESULT AVIERR_OK = 0;
constexpr HRESULT AVIERR_UNSUPPORTED = HRESULT(0x80044065u);
constexpr HRESULT AVIERR_BADFORMAT = HRESULT(0x80044066u);
constexpr HRESULT AVIERR_MEMORY = HRESULT(0x80044067u);
constexpr HRESULT AVIERR_BADPARAM = HRESULT(0x8004406Au);
constexpr HRESULT AVIERR_BADSIZE = HRESULT(0x8004406Bu);
constexpr HRESULT AVIERR_FILEREAD = HRESULT(0x8004406Du);
constexpr HRESULT AVIERR_FILEOPEN = HRESULT(0x8004406Fu);
constexpr HRESULT AVIERR_NOCOMPRESSOR = HRESULT(0x80044071u);
constexpr HRESULT AVIERR_NODATA = HRESULT(0x80044073u);

// The largest movie picture accepted: anything larger is drawn cut by the clipper
// anyway, so the bound only keeps memory in check.
constexpr int AVI_MAX_WIDTH = 4096;
constexpr int AVI_MAX_HEIGHT = 4096;

struct AVISTREAMINFO {
    DWORD fccType;
    DWORD fccHandler;
    DWORD dwFlags;
    DWORD dwCaps;
    WORD wPriority;
    WORD wLanguage;
    DWORD dwScale;
    DWORD dwRate;
    DWORD dwStart;
    DWORD dwLength;
    DWORD dwInitialFrames;
    DWORD dwSuggestedBufferSize;
    DWORD dwQuality;
    DWORD dwSampleSize;
    RECT rcFrame;
    DWORD dwEditCount;
    DWORD dwFormatChangeCount;
    char szName[64];
};
static_assert(sizeof(AVISTREAMINFO) == 140);

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // positive: rows stored bottom-up
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// Bytes from one row of a device-independent bitmap to the next: rows are padded
// to a multiple of 4 bytes.
constexpr int DibRowBytes(int width, int bitCount) { return (width * bitCount + 31) / 32 * 4; }

struct AviStream;
using PAVISTREAM = AviStream*;
struct AviGetFrame;
using PGETFRAME = AviGetFrame*;
struct DibSection;
using HBITMAP = DibSection*;
struct DrawDibContext;
using HDRAWDIB = DrawDibContext*;

// Kept for the shape of the calls; the library needs no set-up.
void AVIFileInit();
void AVIFileExit();

// Opens video stream number `stream` (counting video streams only) of an AVI file.
// Fails for a file that is not an AVI, has no such stream, or a picture larger than
// the limit.
HRESULT AVIStreamOpenFromFile(PAVISTREAM* result, const char* file, DWORD type, LONG stream, unsigned mode,
                              const void* handler);
// `size` must be sizeof (AVISTREAMINFO).
HRESULT AVIStreamInfo(PAVISTREAM stream, AVISTREAMINFO* info, LONG size);
// Frames in the stream: the stated length, never more than the file can hold.
LONG AVIStreamLength(PAVISTREAM stream);
ULONG AVIStreamRelease(PAVISTREAM stream);

// The stream's decoder, producing 24-bit frames (`wanted` null, or a 24-bit BI_RGB
// header). Null when no decoder knows the stream's codec.
PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM stream, const BITMAPINFOHEADER* wanted);
// Frame `position` as a packed bitmap: the header, then rows bottom-up of blue,
// green, red bytes, each row padded to DibRowBytes. Frames are decoded forward from
// the last one asked for; an earlier one restarts from the beginning. Null when the
// frame cannot be had (past the end, damaged, out of time); the memory stays valid
// until the next call or AVIStreamGetFrameClose.
void* AVIStreamGetFrame(PGETFRAME frames, LONG position);
HRESULT AVIStreamGetFrameClose(PGETFRAME frames);
// For the hosts' readers: a packed 24-bit bitmap of width x height, its header
// written and its pixels black, as AVIStreamGetFrame hands frames out.
void NewFrameDib(std::vector<uint8_t>* dib, int width, int height);

// A bottom-up 24-bit bitmap the caller owns, with its pixel memory in *bits (null
// when it has none).
HBITMAP CreateDIBSection(const BITMAPINFOHEADER* header, void** bits);
bool DeleteObject(HBITMAP bitmap);

// Copies a rectangle of a 24-bit bottom-up bitmap into a DIB section, clipped to
// both; rectangles count rows from the top and are of one size (no stretching).
HDRAWDIB DrawDibOpen();
bool DrawDibDraw(HDRAWDIB drawDib, HBITMAP target, int xDst, int yDst, int dxDst, int dyDst,
                 const BITMAPINFOHEADER* header, const void* bits, int xSrc, int ySrc, int dxSrc, int dySrc,
                 unsigned flags);
