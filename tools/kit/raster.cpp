#include "tools/kit/raster.h"

#include <algorithm>
#include <cmath>

namespace gen {

Sdf Circle(float cx, float cy, float r) {
    return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}

Sdf Ellipse(float cx, float cy, float rx, float ry) {
    // Scaled circle with the distance corrected by the local stretch: close
    // enough for outlines a pixel or two wide.
    return [=](float x, float y) {
        float nx = (x - cx) / rx, ny = (y - cy) / ry;
        float k = std::hypot(nx, ny);
        if (k < 1e-6f) return -std::min(rx, ry);
        float gx = nx / rx, gy = ny / ry;
        float g = std::hypot(gx, gy);
        return (k - 1.0f) * k / std::max(g, 1e-6f);
    };
}

Sdf Box(float x0, float y0, float x1, float y1, float r) {
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hx = (x1 - x0) / 2, hy = (y1 - y0) / 2;
    r = std::min({r, hx, hy});
    return [=](float x, float y) {
        float qx = std::fabs(x - cx) - hx + r, qy = std::fabs(y - cy) - hy + r;
        float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
        return std::hypot(ox, oy) + std::min(std::max(qx, qy), 0.0f) - r;
    };
}

Sdf Capsule(float x0, float y0, float x1, float y1, float r) {
    return [=](float x, float y) {
        float dx = x1 - x0, dy = y1 - y0;
        float len2 = dx * dx + dy * dy;
        float t = len2 > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0f, 1.0f) : 0.0f;
        return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - r;
    };
}

Sdf Polygon(std::vector<std::pair<float, float>> pts) {
    return [pts](float x, float y) {
        float d = 1e30f;
        bool inside = false;
        size_t n = pts.size();
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            auto [xi, yi] = pts[i];
            auto [xj, yj] = pts[j];
            float ex = xj - xi, ey = yj - yi;
            float len2 = ex * ex + ey * ey;
            float t = len2 > 0 ? std::clamp(((x - xi) * ex + (y - yi) * ey) / len2, 0.0f, 1.0f) : 0.0f;
            d = std::min(d, std::hypot(x - (xi + t * ex), y - (yi + t * ey)));
            if (((yi > y) != (yj > y)) && (x < (xj - xi) * (y - yi) / (yj - yi) + xi)) inside = !inside;
        }
        return inside ? -d : d;
    };
}

Sdf Union(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}
Sdf Intersect(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}
Sdf Subtract(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}
Sdf Offset(Sdf a, float by) {
    return [=](float x, float y) { return a(x, y) - by; };
}

namespace {
constexpr int kSub = 3;  // 3 x 3 samples per pixel

Rgb Clamp(Rgb c) {
    return {std::clamp(c.r, 0.0f, 255.0f), std::clamp(c.g, 0.0f, 255.0f), std::clamp(c.b, 0.0f, 255.0f)};
}
}  // namespace

void Painter::Fill(const Sdf& s, const Style& st) {
    // The shape's extent, found on a coarse grid first so that large canvases
    // do not pay for every pixel.
    int minX = canvas_.w, minY = canvas_.h, maxX = -1, maxY = -1;
    for (int y = 0; y < canvas_.h; y += 2)
        for (int x = 0; x < canvas_.w; x += 2)
            if (s(x + 1.0f, y + 1.0f) < 3.0f) {
                minX = std::min(minX, x - 2);
                minY = std::min(minY, y - 2);
                maxX = std::max(maxX, x + 3);
                maxY = std::max(maxY, y + 3);
            }
    if (maxX < 0) return;
    minX = std::max(minX, 0);
    minY = std::max(minY, 0);
    maxX = std::min(maxX, canvas_.w - 1);
    maxY = std::min(maxY, canvas_.h - 1);
    float top = 1e9f, bottom = -1e9f;
    for (int y = minY; y <= maxY; y++)
        for (int x = minX; x <= maxX; x++)
            if (s(x + 0.5f, y + 0.5f) < 0) {
                top = std::min(top, float(y));
                bottom = std::max(bottom, float(y + 1));
            }
    float height = std::max(bottom - top, 1.0f);
    const float lx = -0.6f, ly = -0.8f;
    for (int y = minY; y <= maxY; y++)
        for (int x = minX; x <= maxX; x++) {
            if (clip_ && !clip_(x, y)) continue;
            Rgb sum{};
            int covered = 0;
            for (int j = 0; j < kSub; j++)
                for (int i = 0; i < kSub; i++) {
                    float sx = x + (i + 0.5f) / kSub, sy = y + (j + 0.5f) / kSub;
                    float d = s(sx, sy);
                    if (d >= 0) continue;
                    covered++;
                    float depth = -d;
                    Rgb c;
                    if (depth < st.lineWidth) {
                        c = st.line;
                    } else {
                        c = st.texture ? st.texture(sx, sy, st.fill) : st.fill;
                        float k = 1.0f + st.gloss * (0.5f - (sy - top) / height);
                        if (st.bevel > 0) {
                            const float e = 0.5f;
                            float nx = s(sx + e, sy) - s(sx - e, sy), ny = s(sx, sy + e) - s(sx, sy - e);
                            float nl = std::hypot(nx, ny);
                            if (nl > 1e-6f) {
                                float lit = -(nx * lx + ny * ly) / nl;  // facing the light: positive
                                float rim = std::clamp(1.0f - (depth - st.lineWidth) / st.bevelWidth, 0.0f, 1.0f);
                                k += st.bevel * lit * rim;
                            }
                        }
                        c = Scale(c, k);
                    }
                    sum.r += c.r;
                    sum.g += c.g;
                    sum.b += c.b;
                }
            if (!covered) continue;
            Rgb avg = Clamp(Scale(sum, 1.0f / float(covered)));
            canvas_.Blend(x, y, avg, float(covered) / (kSub * kSub));
        }
}

void Painter::Stroke(const Sdf& s, float width, Rgb colour, float alpha) {
    float half = width / 2;
    Sdf band = [s, half](float x, float y) { return std::fabs(s(x, y)) - half; };
    for (int y = 0; y < canvas_.h; y++)
        for (int x = 0; x < canvas_.w; x++) {
            if (band(x + 0.5f, y + 0.5f) > 1.5f) continue;
            if (clip_ && !clip_(x, y)) continue;
            int covered = 0;
            for (int j = 0; j < kSub; j++)
                for (int i = 0; i < kSub; i++)
                    if (band(x + (i + 0.5f) / kSub, y + (j + 0.5f) / kSub) < 0) covered++;
            if (covered) canvas_.Blend(x, y, colour, alpha * float(covered) / (kSub * kSub));
        }
}

}  // namespace gen
