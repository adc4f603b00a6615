#include "tools/art/icon.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/png.h"
#include "tools/kit/raster.h"

namespace gen {

namespace {

const Rgb kInk = Hex(0x1E120C);
const Rgb kLeather = Hex(0x7A4C2C);
const Rgb kLining = Hex(0x8A2C38);
const Rgb kBrass = Hex(0xD8A850);
const Rgb kBrassDark = Hex(0x7A5A24);

// The case holds 4 x 3 cells here. Three pieces are packed; the last one, an
// L of three cells, hangs above the gap it fits.
struct Piece {
    Rgb colour;
    std::vector<std::pair<float, float>> outline;  // in cells, clockwise
};
const Piece kYellow{Hex(0xF0C038), {{0, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 3}, {0, 3}}};
const Piece kBlue{Hex(0x3C7CD8), {{2, 0}, {4, 0}, {4, 1}, {2, 1}}};
const Piece kGreen{Hex(0x4E9A3E), {{2, 1}, {4, 1}, {4, 3}, {2, 3}}};
const Piece kRed{Hex(0xD83A2C), {{0, 0}, {2, 0}, {2, 2}, {1, 2}, {1, 1}, {0, 1}}};

// Where the cells lie on an icon of one size, all in whole pixels so that
// small sizes stay sharp.
struct Layout {
    int size, cell, rim;
    int x0, y0, x1, y1;  // the case's body
    int gx, gy;          // top-left of its cells
    int lidTop;
};

Layout LayoutFor(int size) {
    Layout l{};
    l.size = size;
    l.cell = size * 12 / 64;
    l.rim = std::max(1, size / 16);
    const int margin = size >= 48 ? size / 16 : size >= 32 ? 1 : 0;
    const int width = 4 * l.cell + 2 * l.rim, height = 3 * l.cell + 2 * l.rim;
    l.x0 = (size - width) / 2;
    l.x1 = l.x0 + width;
    l.y1 = size - margin;
    l.y0 = l.y1 - height;
    l.gx = l.x0 + l.rim;
    l.gy = l.y0 + l.rim;
    l.lidTop = std::max(size >= 32 ? margin + size / 32 : 1, 0);
    return l;
}

Sdf PieceShape(const Piece& p, const Layout& l, float dx, float dy, float inset, float round) {
    std::vector<std::pair<float, float>> pts;
    for (auto [cx, cy] : p.outline)
        pts.push_back({float(l.gx) + cx * float(l.cell) + dx, float(l.gy) + cy * float(l.cell) + dy});
    if (inset <= 0 && round <= 0) return Polygon(pts);
    return Offset(Offset(Polygon(pts), -(inset + round)), round);
}

Style PieceStyle(const Layout& l, Rgb colour) {
    Style st;
    st.fill = colour;
    st.line = kInk;
    if (l.size < 32) {
        // No room for an outline: colour and a lit edge tell the pieces apart.
        st.lineWidth = 0;
        st.bevel = 0.35f;
        st.bevelWidth = 1.0f;
        st.gloss = 0;
    } else {
        st.lineWidth = std::max(1.0f, float(l.size) / 64.0f);
        st.bevel = 0.4f;
        st.bevelWidth = float(l.cell) / 4.0f;
        st.gloss = 0.15f;
    }
    return st;
}

void DrawLid(Painter& p, const Layout& l) {
    const float top = float(l.lidTop), bottom = float(l.y0 + l.rim);
    const float lean = std::max(1.0f, std::round((bottom - top) / 4.0f));
    const float x0 = float(l.x0), x1 = float(l.x1);
    Style outer;
    outer.fill = Scale(kLeather, 0.9f);
    outer.line = kInk;
    outer.lineWidth = l.size >= 32 ? std::max(1.0f, float(l.size) / 64.0f) : 0.0f;
    outer.bevel = 0.4f;
    outer.bevelWidth = float(l.rim);
    p.Fill(Polygon({{x0 + lean, top}, {x1 - lean, top}, {x1, bottom}, {x0, bottom}}), outer);
    // The lid's lining faces us, in the shade of the lid.
    const float r = float(l.rim);
    Style inner;
    inner.fill = Scale(kLining, 0.7f);
    inner.line = Scale(kLining, 0.4f);
    inner.lineWidth = l.size >= 48 ? 1.0f : 0.0f;
    inner.bevel = 0.2f;
    inner.gloss = 0;
    p.Fill(Polygon({{x0 + lean + r, top + r}, {x1 - lean - r, top + r}, {x1 - r, bottom}, {x0 + r, bottom}}), inner);
    if (l.size >= 64) {
        // The pocket across the lid, with its zip.
        const float y = std::round(top + r + (bottom - top - r) * 0.45f), in = lean * 0.55f;
        p.Line(x0 + r + in, y, x1 - r - in, y, std::max(1.0f, float(l.size) / 128.0f), Hex(0xB0A090), 0.9f);
    }
}

void DrawBody(Painter& p, const Layout& l) {
    Style body;
    body.fill = kLeather;
    body.line = kInk;
    body.lineWidth = l.size >= 32 ? std::max(1.0f, float(l.size) / 64.0f) : 0.0f;
    body.bevel = 0.5f;
    body.bevelWidth = float(l.rim);
    body.texture = [](float x, float y, Rgb b) { return Scale(b, 0.92f + 0.16f * Fbm(x * 0.3f, y * 0.3f, 5, 3)); };
    const float round = l.size >= 32 ? float(l.rim) : 0.0f;
    p.Fill(Box(float(l.x0), float(l.y0), float(l.x1), float(l.y1), round), body);
    if (l.size >= 128) {
        // Brass stitching round the rim.
        const float in = float(l.rim) / 2.0f;
        Sdf seam = Box(float(l.x0) + in, float(l.y0) + in, float(l.x1) - in, float(l.y1) - in, float(l.rim));
        p.SetClip([&l](int x, int y) { return ((x + y) / std::max(2, l.size / 64)) % 3 != 0; });
        p.Stroke(seam, float(l.size) / 128.0f, kBrass, 0.8f);
        p.SetClip(nullptr);
    }
    // The quilted lining; its seams lie on the cell edges.
    const int c = l.cell;
    Style lining;
    lining.fill = kLining;
    lining.lineWidth = 0;
    lining.bevel = 0;
    lining.gloss = 0;
    const bool seams = l.size >= 32;
    lining.texture = [&l, c, seams](float x, float y, Rgb b) {
        float k = 1.0f - 0.25f * std::clamp(1.5f - std::min(x - float(l.gx), y - float(l.gy)) / float(c) * 2, 0.0f, 1.0f);
        if (seams) {
            const float fx = std::fmod(x - float(l.gx), float(c)), fy = std::fmod(y - float(l.gy), float(c));
            const float w = std::max(1.0f, float(c) / 12.0f);
            if (fx < w || fy < w) k *= 0.7f;
        }
        return Scale(b, k);
    };
    p.Fill(Box(float(l.gx), float(l.gy), float(l.gx + 4 * c), float(l.gy + 3 * c)), lining);
}

void DrawLatches(Painter& p, const Layout& l) {
    Style brass;
    brass.fill = kBrass;
    brass.line = kBrassDark;
    brass.lineWidth = std::max(1.0f, float(l.size) / 96.0f);
    brass.bevel = 0.5f;
    brass.bevelWidth = float(l.rim) / 2.0f;
    const float w = float(l.cell) * 0.6f, h = float(l.rim) * 1.6f;
    for (float at : {0.25f, 0.75f}) {
        const float cx = std::round(float(l.x0) + float(l.x1 - l.x0) * at);
        p.Fill(Box(cx - w / 2, float(l.y0) - h / 2 + 1, cx + w / 2, float(l.y0) + h / 2 + 1, h / 4), brass);
    }
}

void DrawPieces(Painter& p, const Layout& l) {
    const bool big = l.size >= 32;
    const float inset = big ? std::max(0.5f, float(l.size) / 96.0f) : 0.0f;
    const float round = big ? float(l.cell) / 8.0f : 0.0f;
    for (const Piece* piece : {&kYellow, &kBlue, &kGreen})
        p.Fill(PieceShape(*piece, l, 0, 0, inset, round), PieceStyle(l, piece->colour));
    if (l.size >= 48) {
        // A strap round the green bedroll, a zip along the blue case.
        const float c = float(l.cell), w = std::max(1.0f, c / 6.0f);
        for (float at : {2.6f, 3.4f})
            p.Fill(Box(float(l.gx) + at * c - w / 2, float(l.gy) + c + inset + 1, float(l.gx) + at * c + w / 2,
                       float(l.gy) + 3 * c - inset - 1),
                   Scale(kGreen.colour, 0.45f));
        p.Line(float(l.gx) + 2 * c + c / 4, float(l.gy) + c / 2, float(l.gx) + 4 * c - c / 4, float(l.gy) + c / 2,
               std::max(1.0f, c / 10.0f), Hex(0xD8E4F8), 0.9f);
        p.Fill(Circle(float(l.gx) + 4 * c - c / 4, float(l.gy) + c / 2, std::max(1.0f, c / 8.0f)), kBrass);
    }
    if (!big) return;
    // The last piece, lifted above its gap: a soft shadow where it will land.
    const float lift = float(l.cell) * 0.85f;
    p.Fill(PieceShape(kRed, l, 0, 0, inset + float(l.cell) / 10.0f, round), Scale(kLining, 0.55f));
    Style red = PieceStyle(l, kRed.colour);
    const float period = std::max(4.0f, float(l.cell) / 2.5f);
    red.texture = [period](float x, float y, Rgb b) {
        return std::fmod(x + y + 1000.0f * period, period) < period * 0.45f ? Hex(0xF4ECE0) : b;
    };
    p.Fill(PieceShape(kRed, l, -lift * 0.25f, -lift, inset, round), red);
}

}  // namespace

Canvas DrawIcon(int size) {
    Canvas c(size, size);
    if (size < 16) return c;
    const Layout l = LayoutFor(size);
    Painter p(c);
    if (size >= 48) {
        // The case stands on something: a soft shadow under it.
        const float cx = float(size) / 2, cy = float(l.y1) - float(l.rim) / 2;
        for (int k = 4; k >= 1; k--)
            p.Fill(Ellipse(cx + float(size) / 64, cy, float(l.x1 - l.x0) / 2 + float(k * size) / 64,
                           float(l.rim + k * size / 64)),
                   Rgb{0, 0, 0});
        for (float& a : c.alpha) a *= 0.22f;
    }
    DrawLid(p, l);
    DrawBody(p, l);
    if (size >= 48) DrawLatches(p, l);
    DrawPieces(p, l);
    return c;
}

std::vector<uint8_t> IconRgba(const Canvas& c) {
    std::vector<uint8_t> out;
    out.reserve(c.px.size() * 4);
    auto byte = [](float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 255.0f))); };
    for (size_t i = 0; i < c.px.size(); i++) {
        const float a = std::clamp(c.alpha[i], 0.0f, 1.0f);
        const bool clear = a <= 0.0f;
        out.push_back(clear ? 0 : byte(c.px[i].r));
        out.push_back(clear ? 0 : byte(c.px[i].g));
        out.push_back(clear ? 0 : byte(c.px[i].b));
        out.push_back(byte(a * 255.0f));
    }
    return out;
}

std::vector<uint8_t> EncodeBmp32(const Canvas& c) {
    std::vector<uint8_t> b;
    if (c.w <= 0 || c.h <= 0) return b;
    const std::vector<uint8_t> rgba = IconRgba(c);
    const uint32_t header = 108, data = uint32_t(c.w) * uint32_t(c.h) * 4;
    b.push_back('B');
    b.push_back('M');
    Put32(b, 14 + header + data);
    Put32(b, 0);
    Put32(b, 14 + header);
    Put32(b, header);
    Put32(b, uint32_t(c.w));
    Put32(b, uint32_t(c.h));
    Put16(b, 1);
    Put16(b, 32);
    Put32(b, 3);  // BI_BITFIELDS
    Put32(b, data);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0x00FF0000);  // red, green, blue, alpha masks
    Put32(b, 0x0000FF00);
    Put32(b, 0x000000FF);
    Put32(b, 0xFF000000);
    Put32(b, 0x73524742);  // colour space "sRGB"
    b.insert(b.end(), 36 + 12, 0);  // end points and gamma, unused with sRGB
    for (int y = c.h - 1; y >= 0; y--)
        for (int x = 0; x < c.w; x++) {
            const size_t i = (size_t(y) * size_t(c.w) + size_t(x)) * 4;
            b.push_back(rgba[i + 2]);
            b.push_back(rgba[i + 1]);
            b.push_back(rgba[i]);
            b.push_back(rgba[i + 3]);
        }
    return b;
}

bool WriteWindowIcon(const std::string& gameDir, std::string& error) {
    const std::string path = (std::filesystem::path(gameDir) / "icon.bmp").string();
    if (WriteFile(path, EncodeBmp32(DrawIcon(kWindowIconSize)))) return true;
    error = "cannot write " + path;
    return false;
}

bool WriteThemeIcons(const std::string& dir, std::string& error) {
    namespace fs = std::filesystem;
    for (int size : kIconSizes) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const fs::path apps = fs::path(dir) / "hicolor" / folder / "apps";
        std::error_code ec;
        fs::create_directories(apps, ec);
        const fs::path file = apps / (std::string(kAppId) + ".png");
        if (!WritePngRgba(file.string(), size, size, IconRgba(DrawIcon(size)))) {
            error = "cannot write " + file.string();
            return false;
        }
    }
    return true;
}

// Changed on purpose: the page installs and plays offline (docs/BEHAVIOUR.md).
bool WritePageIcons(const std::string& dir, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (int size : kPageIconSizes) {
        const std::string file = dir + "/icon-" + std::to_string(size) + ".png";
        if (!WritePngRgba(file, size, size, IconRgba(DrawIcon(size)))) {
            error = "cannot write " + file;
            return false;
        }
    }
    return true;
}

}  // namespace gen
