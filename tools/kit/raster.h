// Shapes drawn from signed distance functions: antialiased by supersampling,
// outlined, and shaded as if lit from the top left, so every picture of the
// game shares one look.
#pragma once
#include <functional>
#include <vector>

#include "tools/kit/image.h"

namespace gen {

// Negative inside, positive outside, in pixels.
using Sdf = std::function<float(float x, float y)>;

Sdf Circle(float cx, float cy, float r);
Sdf Ellipse(float cx, float cy, float rx, float ry);
// Box from (x0, y0) to (x1, y1) with rounded corners of radius r.
Sdf Box(float x0, float y0, float x1, float y1, float r = 0);
Sdf Capsule(float x0, float y0, float x1, float y1, float r);
Sdf Polygon(std::vector<std::pair<float, float>> pts);
Sdf Union(Sdf a, Sdf b);
Sdf Intersect(Sdf a, Sdf b);
Sdf Subtract(Sdf a, Sdf b);
Sdf Offset(Sdf a, float by);

struct Style {
    Rgb fill{200, 200, 200};
    Rgb line{40, 30, 25};
    float lineWidth = 1.4f;  // 0: no outline
    float bevel = 0.35f;     // strength of the lit and shaded rims
    float bevelWidth = 5.0f;
    float gloss = 0.12f;     // lighter towards the top of the shape's box
    std::function<Rgb(float x, float y, Rgb base)> texture;  // optional pattern
};

class Painter {
public:
    explicit Painter(Canvas& c) : canvas_(c) {}
    // Only pixels for which clip returns true are touched.
    void SetClip(std::function<bool(int x, int y)> clip) { clip_ = std::move(clip); }
    void Fill(const Sdf& s, const Style& st);
    void Fill(const Sdf& s, Rgb colour) {
        Style st;
        st.fill = colour;
        st.lineWidth = 0;
        st.bevel = 0;
        st.gloss = 0;
        Fill(s, st);
    }
    // A line of the given width along the zero contour of s.
    void Stroke(const Sdf& s, float width, Rgb colour, float alpha = 1.0f);
    void Line(float x0, float y0, float x1, float y1, float width, Rgb colour, float alpha = 1.0f) {
        Stroke(Capsule(x0, y0, x1, y1, 0), width, colour, alpha);
    }

private:
    Canvas& canvas_;
    std::function<bool(int, int)> clip_;
};

}  // namespace gen
