// The movie frames' bitmaps: DIB sections the game owns and the DrawDib copy
// into them. Shared by every host's movie reader.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/avi.h"
#include "platform/faults.h"

namespace {

// Changed on purpose: movies of any size (docs/BEHAVIOUR.md).
constexpr int kMaxDibSide = 4096;

}  // namespace

void NewFrameDib(std::vector<uint8_t>* dib, int width, int height) {
    const size_t imageBytes = size_t(DibRowBytes(width, 24)) * size_t(height);
    dib->assign(sizeof(BITMAPINFOHEADER) + imageBytes, 0);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = DWORD(imageBytes);
    std::memcpy(dib->data(), &header, sizeof header);
}

struct DibSection {
    BITMAPINFOHEADER header;
    std::vector<uint8_t> bits;
};

struct DrawDibContext {
    int unused;
};

HBITMAP CreateDIBSection(const BITMAPINFOHEADER* header, void** bits) {
    if (bits) *bits = nullptr;
    HRESULT fault;
    if (TakeFault("CreateDIBSection", &fault)) return nullptr;
    if (!header || header->biSize < sizeof(BITMAPINFOHEADER) || header->biBitCount != 24 ||
        header->biCompression != BI_RGB || header->biWidth <= 0 || header->biHeight <= 0 ||
        header->biWidth > kMaxDibSide || header->biHeight > kMaxDibSide)
        return nullptr;
    DibSection* bitmap = new DibSection;
    bitmap->header = *header;
    bitmap->header.biSize = sizeof(BITMAPINFOHEADER);
    bitmap->header.biSizeImage = DWORD(DibRowBytes(header->biWidth, 24) * header->biHeight);
    bitmap->bits.assign(bitmap->header.biSizeImage, 0);
    if (bits) *bits = bitmap->bits.data();
    return bitmap;
}

bool DeleteObject(HBITMAP bitmap) {
    if (!bitmap) return false;
    delete bitmap;
    return true;
}

HDRAWDIB DrawDibOpen() {
    static DrawDibContext context{};
    return &context;
}

bool DrawDibDraw(HDRAWDIB drawDib, HBITMAP target, int xDst, int yDst, int dxDst, int dyDst,
                 const BITMAPINFOHEADER* header, const void* bits, int xSrc, int ySrc, int dxSrc, int dySrc,
                 unsigned flags) {
    HRESULT fault;
    if (TakeFault("DrawDibDraw", &fault)) return false;
    if (!drawDib || !target || !header || !bits) return false;
    if (header->biBitCount != 24 || header->biCompression != BI_RGB || header->biWidth <= 0 ||
        header->biHeight <= 0 || header->biWidth > kMaxDibSide || header->biHeight > kMaxDibSide)
        return false;
    // The game copies frames at their own size; stretching is not offered.
    if (dxDst <= 0 || dyDst <= 0 || dxSrc != dxDst || dySrc != dyDst) return false;

    const int targetWidth = target->header.biWidth, targetHeight = target->header.biHeight;
    const int sourceWidth = header->biWidth, sourceHeight = header->biHeight;
    const size_t targetRow = size_t(DibRowBytes(targetWidth, 24));
    const size_t sourceRow = size_t(DibRowBytes(sourceWidth, 24));
    const uint8_t* source = static_cast<const uint8_t*>(bits);
    // The span of each row that lies inside both pictures.
    const int first = std::max({0, -xDst, -xSrc});
    const int last = std::min({dxDst, targetWidth - xDst, sourceWidth - xSrc});
    if (last <= first) return true;
    for (int dy = 0; dy < dyDst; dy++) {
        const int ty = yDst + dy, sy = ySrc + dy;
        if (ty < 0 || ty >= targetHeight || sy < 0 || sy >= sourceHeight) continue;
        std::memcpy(target->bits.data() + size_t(targetHeight - 1 - ty) * targetRow + size_t(xDst + first) * 3,
                    source + size_t(sourceHeight - 1 - sy) * sourceRow + size_t(xSrc + first) * 3,
                    size_t(last - first) * 3);
    }
    return true;
}
