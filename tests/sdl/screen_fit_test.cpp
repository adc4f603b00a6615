// Where the picture goes on the screens people have, and how it is scaled there.
#include "platform/sdl/screen_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

std::vector<int> Area(const ScreenArea& a) { return {a.x, a.y, a.w, a.h}; }

TEST(ScreenFit, WindowIsTheLargestWholeMultipleWhollyOnTheUsableArea) {
    // Usable area, the window's frame, and the client area expected.
    struct Case {
        ScreenArea usable;
        WindowFrame frame;
        ScreenArea window;
    };
    const Case cases[] = {
        {{0, 0, 640, 480}, {}, {0, 0, 640, 480}},
        {{0, 0, 1366, 768}, {}, {363, 144, 640, 480}},
        {{0, 0, 1920, 1080}, {}, {320, 60, 1280, 960}},
        {{0, 0, 2560, 1440}, {}, {320, 0, 1920, 1440}},
        // A title bar and borders count: 1440 rows leave no room for a third multiple.
        {{0, 0, 2560, 1440}, {24, 2, 2, 2}, {640, 251, 1280, 960}},
        {{0, 0, 1366, 768}, {24, 2, 2, 2}, {363, 155, 640, 480}},
        // A panel above the usable area: the window stays below it.
        {{0, 32, 1920, 1048}, {24, 2, 2, 2}, {320, 32 + 31 + 24, 1280, 960}},
        // Nothing fits at all: still 640 x 480, its title bar on the screen.
        {{0, 0, 640, 480}, {24, 2, 2, 2}, {2, 24, 640, 480}},
        {{0, 0, 800, 500}, {30, 4, 4, 4}, {80, 30, 640, 480}},
        // A second monitor to the right.
        {{1920, 0, 1366, 768}, {}, {1920 + 363, 144, 640, 480}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Area(PlaceWindow(c.usable, c.frame)), Area(c.window))
            << c.usable.w << "x" << c.usable.h << " frame top " << c.frame.top;
}

TEST(ScreenFit, FullScreenFillsTheLargest43AreaWithItsFactor) {
    struct Case {
        int outW, outH;
        ScreenArea area;
        int whole;
        bool exact;
    };
    const Case cases[] = {
        {640, 480, {0, 0, 640, 480}, 1, true},        {1366, 768, {171, 0, 1024, 768}, 2, false},
        {1920, 1080, {240, 0, 1440, 1080}, 3, false}, {2560, 1440, {320, 0, 1920, 1440}, 3, true},
        {1280, 1024, {0, 32, 1280, 960}, 2, true},    {3840, 2160, {480, 0, 2880, 2160}, 5, false},
        {800, 600, {0, 0, 800, 600}, 2, false},
    };
    for (const Case& c : cases) {
        const PictureScaling s = ScalePicture(c.outW, c.outH);
        EXPECT_EQ(Area(s.area), Area(c.area)) << c.outW << "x" << c.outH;
        EXPECT_EQ(std::pair(s.whole, s.exact), std::pair(c.whole, c.exact)) << c.outW << "x" << c.outH;
    }
}

// Absolute moves in full screen: the desktop pointer over the picture is the
// game's, over a bar it stands at the picture's nearest edge.
TEST(ScreenFit, TheDesktopPointerMapsIntoThePictureAndTheBarsClampToItsEdge) {
    struct Case {
        int outW, outH, x, y;
        std::pair<int, int> at;
    };
    const Case cases[] = {
        {1366, 768, 171, 0, {0, 0}},         {1366, 768, 170, 0, {0, 0}},       {1366, 768, 683, 384, {320, 240}},
        {1366, 768, 1194, 767, {639, 479}},  {1366, 768, 1300, 400, {640, 250}}, {1366, 768, 0, 767, {0, 479}},
        {1920, 1080, 960, 540, {320, 240}},  {1920, 1080, 241, 2, {0, 0}},      {1920, 1080, 1919, 1079, {640, 479}},
        {1920, 1080, 1679, 1079, {639, 479}}, {2560, 1440, 1280, 720, {320, 240}}, {2560, 1440, 2239, 1439, {639, 479}},
        {2560, 1440, -50, -50, {0, 0}},      {1280, 1024, 640, 20, {320, 0}},   {1280, 1024, 640, 1000, {320, 480}},
    };
    for (const Case& c : cases) {
        const PicturePoint p = PointerInPicture(c.x, c.y, c.outW, c.outH);
        EXPECT_EQ(std::pair(p.x, p.y), c.at) << c.outW << "x" << c.outH << " at " << c.x << ", " << c.y;
    }
}

uint32_t Rgb(uint16_t p565) {
    const int r = p565 >> 11, g = (p565 >> 5) & 63, b = p565 & 31;
    return uint32_t((r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2));
}

// What sharp scaling is by definition: the picture enlarged `whole` times by
// nearest pixel, then sampled linearly at each output pixel's centre.
std::vector<uint32_t> NearestThenLinear(const std::vector<uint16_t>& src, int w, int h, int whole) {
    const int bigW = 640 * whole, bigH = 480 * whole;
    auto big = [&](int x, int y, int shift) {
        return double((Rgb(src[size_t(y / whole) * 640 + size_t(x / whole)]) >> shift) & 255);
    };
    std::vector<uint32_t> out(size_t(w) * h);
    for (int y = 0; y < h; y++) {
        const double fy = std::clamp((y + 0.5) * bigH / h - 0.5, 0.0, double(bigH - 1));
        const int y0 = int(fy), y1 = std::min(y0 + 1, bigH - 1);
        for (int x = 0; x < w; x++) {
            const double fx = std::clamp((x + 0.5) * bigW / w - 0.5, 0.0, double(bigW - 1));
            const int x0 = int(fx), x1 = std::min(x0 + 1, bigW - 1);
            for (int shift : {16, 8, 0}) {
                const double top = big(x0, y0, shift) + (big(x1, y0, shift) - big(x0, y0, shift)) * (fx - x0);
                const double bottom = big(x0, y1, shift) + (big(x1, y1, shift) - big(x0, y1, shift)) * (fx - x0);
                out[size_t(y) * w + x] |= uint32_t(std::lround(top + (bottom - top) * (fy - y0))) << shift;
            }
        }
    }
    return out;
}

int ChannelDistance(uint32_t a, uint32_t b) {
    int worst = 0;
    for (int shift : {16, 8, 0}) worst = std::max(worst, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
    return worst;
}

// Whole factors are plain nearest pixel; others match nearest-then-linear within
// rounding (plain linear scaling, which smears each seam over two pixels and
// more, is far off on noise).
TEST(ScreenFit, SharpScalingIsNearestUpThenLinearDown) {
    std::mt19937 random(12);
    std::vector<uint16_t> src(640 * 480);
    for (auto& p : src) p = uint16_t(random());
    SharpScaler scaler;
    scaler.SetPixelMode(16);
    const struct {
        int w, h, whole, tolerance;
    } sizes[] = {{640, 480, 1, 0},   {1280, 960, 2, 0}, {1920, 1440, 3, 0}, {1024, 768, 2, 1},
                 {1440, 1080, 3, 1}, {933, 700, 2, 2},  {600, 450, 1, 2}};
    for (const auto& s : sizes) {
        const int pitch = s.w + 3;  // the texture's rows may be longer than the picture
        std::vector<uint32_t> got(size_t(pitch) * s.h, 0xDEADBEEF);
        scaler.Scale(src.data(), 640, got.data(), pitch, s.w, s.h);
        const std::vector<uint32_t> want = NearestThenLinear(src, s.w, s.h, s.whole);
        int worst = 0, wrong = 0;
        for (int y = 0; y < s.h; y++)
            for (int x = 0; x < s.w; x++) {
                const int d = ChannelDistance(got[size_t(y) * pitch + x], want[size_t(y) * s.w + x]);
                worst = std::max(worst, d);
                wrong += d > s.tolerance;
            }
        EXPECT_EQ(wrong, 0) << s.w << "x" << s.h << ", worst channel distance " << worst;
        EXPECT_EQ(got[size_t(pitch) - 1], 0xDEADBEEFu) << "wrote past the row";
    }

    // Each field widened to full range; in 5-5-5 the top bit is no colour.
    scaler.SetPixelMode(15);
    src.assign(640 * 480, 0xFC00);
    src[1] = 0x4210;
    std::vector<uint32_t> out(1024 * 768);
    scaler.Scale(src.data(), 640, out.data(), 1024, 1024, 768);
    EXPECT_EQ(out[0], 0xFF0000u);
    EXPECT_EQ(out[2], 0x848484u);
}

}  // namespace

// Scaling again only the rows a change reaches gives, pixel for pixel, the picture
// scaled whole; what it reaches stays near the change, also at the picture's edges.
TEST(ScreenFit, RescalingTheRowsAChangeReachesGivesTheWholePicture) {
    std::mt19937 random(7);
    std::vector<uint16_t> before(640 * 480);
    for (auto& p : before) p = uint16_t(random());
    for (const auto& [w, h] : {std::pair{1024, 768}, std::pair{1440, 1080}, std::pair{640, 480}, std::pair{500, 375}}) {
        for (const ScreenArea change : {ScreenArea{300, 200, 32, 32}, ScreenArea{0, 0, 1, 1}, ScreenArea{639, 479, 1, 1},
                                        ScreenArea{0, 0, 640, 480}}) {
            std::vector<uint16_t> after = before;
            for (int y = change.y; y < change.y + change.h; y++)
                for (int x = change.x; x < change.x + change.w; x++) after[size_t(y) * 640 + size_t(x)] ^= 0xA5A5;
            SharpScaler scaler;
            std::vector<uint32_t> old(size_t(w) * size_t(h)), whole(old.size());
            scaler.Scale(before.data(), 640, old.data(), w, w, h);
            std::vector<uint32_t> partial = old;
            const ScreenArea r = scaler.Reached(w, h, change);
            scaler.ScaleRows(after.data(), 640, partial.data() + size_t(r.y) * size_t(w), w, w, h, r.y, r.y + r.h);
            scaler.Scale(after.data(), 640, whole.data(), w, w, h);
            EXPECT_TRUE(partial == whole) << w << "x" << h << " change at " << change.x << "," << change.y;
            // Outside the rectangle reached nothing changed: sending that rectangle on is enough.
            int changedOutside = 0;
            for (int y = 0; y < h; y++)
                for (int x = 0; x < w; x++)
                    if (x < r.x || x >= r.x + r.w || y < r.y || y >= r.y + r.h)
                        changedOutside += old[size_t(y) * size_t(w) + size_t(x)] != whole[size_t(y) * size_t(w) + size_t(x)];
            EXPECT_EQ(changedOutside, 0) << w << "x" << h;
            const double sx = double(w) / 640, sy = double(h) / 480;
            EXPECT_LE(r.w, std::min(w, int(std::ceil(change.w * sx)) + 3)) << w;
            EXPECT_LE(r.h, std::min(h, int(std::ceil(change.h * sy)) + 3)) << h;
        }
    }
    SharpScaler scaler;
    EXPECT_EQ(Area(scaler.Reached(1024, 768, {0, 0, 0, 0})), Area({})) << "nothing changed, nothing reached";
}
