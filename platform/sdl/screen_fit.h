// Where the 640 x 480 picture goes on a desktop, and how it is scaled there:
// plain arithmetic, no library, so every screen size can be checked by a test.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int PICTURE_WIDTH = 640;
constexpr int PICTURE_HEIGHT = 480;

struct ScreenArea {
    int x = 0, y = 0, w = 0, h = 0;
};

// The window manager's frame around a window's client area.
struct WindowFrame {
    int top = 0, left = 0, bottom = 0, right = 0;
};

// The largest whole multiple of 640 x 480 whose framed window fits the usable
// desktop area; at least 1, however small the area.
int WindowScale(int usableW, int usableH, const WindowFrame& frame);

// The window's client area at that scale: centred on the usable area and moved
// so that the frame lies wholly inside it (the top left wins when nothing fits).
ScreenArea PlaceWindow(const ScreenArea& usable, const WindowFrame& frame);

struct PictureScaling {
    ScreenArea area;    // the largest 4:3 area of the output, centred
    int whole = 1;      // the whole factor scaled to by nearest pixel
    bool exact = true;  // the area is exactly that multiple: no smooth step
};

// The picture in an output of outW x outH pixels: whole factors by nearest pixel;
// others by nearest pixel to the next whole factor, then smoothly down.
PictureScaling ScalePicture(int outW, int outH);

// Where the desktop pointer at (x, y) of an output of outW x outH stands in the
// picture, in picture pixels 0 to 640 and 0 to 480: the bars around the picture
// clamp to its edge.
struct PicturePoint {
    int x = 0, y = 0;
};
PicturePoint PointerInPicture(int x, int y, int outW, int outH);

// The same scaling done on the processor, for renderers without a graphics card:
// a 640 x 480 picture into dstW x dstH pixels of 0x00RRGGBB, as nearest pixel up
// to `whole` times and then linear down would give, in one pass.
class SharpScaler {
public:
    // Pixel layout of the source: 15 for 5-5-5, else 5-6-5.
    void SetPixelMode(int pixelMode);
    void Scale(const uint16_t* src, int srcPitchPixels, uint32_t* dst, int dstPitchPixels, int dstW, int dstH);
    // Only rows firstRow to endRow - 1 of what Scale gives; `dst` is where row firstRow goes.
    void ScaleRows(const uint16_t* src, int srcPitchPixels, uint32_t* dst, int dstPitchPixels, int dstW, int dstH,
                   int firstRow, int endRow);
    // The part of a dstW x dstH output that the source rectangle shows in (the
    // seams it blends into included); empty for an empty source.
    ScreenArea Reached(int dstW, int dstH, const ScreenArea& source);
    // 16-bit pixels to 0x00RRGGBB, as Scale converts them.
    void Convert(const uint16_t* src, int srcPitchPixels, uint32_t* dst, int dstPitchPixels);
    // Only rows firstRow to endRow - 1; `dst` is where row firstRow goes.
    void ConvertRows(const uint16_t* src, int srcPitchPixels, uint32_t* dst, int dstPitchPixels, int firstRow,
                     int endRow);

private:
    struct Tap {
        int index;   // the source pixel
        int weight;  // 0 to 255: the share of the next source pixel, in 256ths
    };
    void Prepare(int dstW, int dstH);
    // Source row `row` scaled across, computed once per frame into `into` (an
    // output row) or else into one of two slots, never the one holding `keep`.
    const uint32_t* ScaledRow(const uint16_t* src, int srcPitchPixels, int row, int keep, uint32_t* into);

    int mode = 16;
    static constexpr size_t kRowStride = PICTURE_WIDTH + 1;
    int preparedW = 0, preparedH = 0;
    std::vector<Tap> rows, columns;
    // Across: one source row (converted) and, behind it, each pixel mixed with its
    // right neighbour by that seam's weight; an index into both per output pixel.
    std::vector<uint32_t> sourceAndMixes;
    std::vector<uint8_t> seamWeight;  // per byte of the source row
    std::vector<int> columnIndex;
    std::vector<uint32_t> scaled[2];  // two source rows, scaled across
    int scaledRow[2] = {-1, -1};      // which, and where they are
    const uint32_t* rowAt[2] = {nullptr, nullptr};
};
