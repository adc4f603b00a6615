#include "gfx/movie.h"

#include <cstdio>
#include <string>

#include "base/log.h"
#include "base/run.h"
#include "gfx/display.h"

Sprite movieSprite = nullptr;
int movieWidth = 0;
int movieHeight = 0;
int movieFrameCount = 0;
HDRAWDIB drawDib = nullptr;
MovieFrameDrawer movieFrameDrawer = nullptr;

namespace {

PAVISTREAM movieStream = nullptr;
PGETFRAME movieFrames = nullptr;
HBITMAP movieBitmap = nullptr;
uint8_t* movieBits = nullptr;  // the DIB section's rows, bottom-up

void LogNamed(const char* format, const char* fileName) {
    std::string line(format);
    line.replace(line.find("%s"), 2, fileName);
    WriteLog(line.c_str());
}

// Decodes a frame into the DIB section and converts it into the movie sprite with
// `pack` (blue, green, red to one 16-bit word).
template <typename Pack>
void DrawMovieFrame(int frame, Pack pack) {
    if (!movieFrames || !movieSprite || frame < 0 || frame >= movieFrameCount) return;
    const void* packed = AVIStreamGetFrame(movieFrames, frame);
    if (packed) {
        const auto* header = static_cast<const BITMAPINFOHEADER*>(packed);
        const uint8_t* pixels = static_cast<const uint8_t*>(packed) + header->biSize + header->biClrUsed * 4;
        DrawDibDraw(drawDib, movieBitmap, 0, 0, movieWidth, movieHeight, header, pixels, 0, 0, movieWidth, movieHeight,
                    0);
    }
    // Without a new picture the previous one is shown again.
    if (!movieBits) return;
    // The graphics restore after a display loss does not know the movie sprite; every
    // pixel is written below, so a restored (cleared) sprite is whole again.
    if (movieSprite->IsLost() != DD_OK) movieSprite->Restore();
    SurfaceLock lock;
    LockSurface(movieSprite, &lock);
    // DIB rows are padded to whole 4-byte words; a movie of any width keeps straight.
    const size_t rowBytes = size_t(DibRowBytes(movieWidth, 24));
    const size_t pitch = size_t(lock.pitch / 2);
    for (int i = 0; i < movieHeight; i++) {
        const uint8_t* source = movieBits + size_t(movieHeight - 1 - i) * rowBytes;
        uint16_t* destination = lock.pixels + size_t(i) * pitch;
        for (int j = 0; j < movieWidth; j++, source += 3) destination[j] = pack(source[0], source[1], source[2]);
    }
    UnlockSurface(movieSprite, &lock);
}

}  // namespace

void OpenMovie(const char* fileName) {
    // The outro may follow an intro that was never closed.
    if (movieStream) CloseMovie();
    LogNamed("Loading %s\n", fileName);
    AVIFileInit();
    if (AVIStreamOpenFromFile(&movieStream, fileName, streamtypeVIDEO, 0, OF_READ, nullptr) != AVIERR_OK) {
        movieStream = nullptr;
        LogNamed("Failed to open %s\n", fileName);
        quitRequested = true;
        return;
    }
    AVISTREAMINFO info;
    if (AVIStreamInfo(movieStream, &info, sizeof info) == AVIERR_OK) {
        movieWidth = info.rcFrame.right - info.rcFrame.left;
        movieHeight = info.rcFrame.bottom - info.rcFrame.top;
    }
    const int frameCount = AVIStreamLength(movieStream);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = movieWidth;
    header.biHeight = movieHeight;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    movieBitmap = CreateDIBSection(&header, &bits);
    movieBits = static_cast<uint8_t*>(bits);

    movieFrames = AVIStreamGetFrameOpen(movieStream, nullptr);
    // Changed on purpose: undecodable movies (docs/BEHAVIOUR.md).
    // Without a decoder nothing can be shown: the frame count stays 0 and the movie
    // is over at once.
    if (!movieFrames) {
        // Kept on purpose: the log's misspellings (docs/BEHAVIOUR.md).
        WriteLog(
            "Failed to decomress a video file, make sure the Microsoft Video 1 codec is present on your system\n"
            "See faq.html in the game's folder for details on this error.\n");
        return;
    }
    char line[96];
    std::snprintf(line, sizeof line, "Video decompressed successfully: %d, %d\n", movieWidth, movieHeight);
    WriteLog(line);
    movieSprite = CreateSprite(movieWidth, movieHeight, 0, DDSCAPS_VIDEOMEMORY);
    if (!movieBits) WriteLog("videodata is not valid\n");
    // An 8-bit display has no frame drawer: the movie decodes but is over at once.
    if (!movieFrameDrawer) {
        // Changed on purpose: movies on an 8-bit display (docs/BEHAVIOUR.md).
        WriteLog("No movie frames can be drawn on an 8-bit display; the movie is skipped\n");
        return;
    }
    if (movieSprite) movieFrameCount = frameCount > 0 ? frameCount : 0;
}

void DrawMovieFrame555(int frame) {
    DrawMovieFrame(frame, [](uint8_t b, uint8_t g, uint8_t r) {
        return uint16_t((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
    });
}

void DrawMovieFrame565(int frame) {
    DrawMovieFrame(frame, [](uint8_t b, uint8_t g, uint8_t r) {
        return uint16_t((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
    });
}

void CloseMovie() {
    ReleaseSprite(&movieSprite);
    if (movieFrames) AVIStreamGetFrameClose(movieFrames);
    if (movieStream) AVIStreamRelease(movieStream);
    DeleteObject(movieBitmap);
    AVIFileExit();
    movieFrames = nullptr;
    movieStream = nullptr;
    movieBitmap = nullptr;
    movieBits = nullptr;
    movieWidth = 0;
    movieHeight = 0;
    movieFrameCount = 0;
}
