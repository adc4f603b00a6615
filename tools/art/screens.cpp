#include "tools/art/screens.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "app/texts.h"
#include "tools/kit/raster.h"

namespace gen {

namespace {

const Rgb kBrass = Hex(0xC89A48);
const Rgb kBrassDark = Hex(0x7A5A24);
const Rgb kLeather = Hex(0x5C3A24);
const Rgb kLining = Hex(0x7A2832);
const Rgb kDarkInk = Hex(0x1E120C);

// A canvas standing at (ox, oy) on the screen, for pictures whose ground must
// continue the table or the border exactly.
struct Placed {
    Canvas c;
    int ox, oy;
    Placed(int w, int h, int x, int y) : c(w, h), ox(x), oy(y) {}
};

float Leather(float x, float y, uint32_t seed) {
    return 0.9f + 0.2f * Fbm(x * 0.35f, y * 0.35f, seed, 3);
}

Rgb LiningAt(float x, float y, Rgb base) {
    // A fine twill: diagonal ribs and a little slub.
    float rib = 0.94f + 0.06f * std::sin((x + y) * 1.6f);
    float slub = 0.95f + 0.1f * Fbm(x * 0.08f, y * 0.5f, 71, 2);
    return Scale(base, rib * slub);
}

Image16 Pix(const Canvas& c) { return Quantize(c); }

void Text(Image16& img, const FontSheet& f, const std::string& s, int x, int y) {
    PrintText(img, f, MeasureAdvances(f.image, f.cell), s, x, y);
}
int Width(const FontSheet& f, const std::string& s) { return TextWidth(MeasureAdvances(f.image, f.cell), s); }

// Same text in another colour: the glyph cells recoloured.
FontSheet Tinted(const FontSheet& f, Rgb ink) {
    FontSheet t = f;
    Rgb bright{0, 0, 0};
    for (uint16_t p : f.image.px)
        if ((p & 0x7FFF) != kMagenta) {
            Rgb c = From555(p);
            if (c.r + c.g + c.b > bright.r + bright.g + bright.b) bright = c;
        }
    float lum = std::max(1.0f, bright.r + bright.g + bright.b);
    for (auto& p : t.image.px)
        if ((p & 0x7FFF) != kMagenta) {
            Rgb c = From555(p);
            p = To555(Scale(ink, (c.r + c.g + c.b) / lum));
        }
    return t;
}

Canvas CaseBase(int w, int h, int ox, int oy, int caseH) {
    // Table ground under and around the case, then the case's own shadow.
    Canvas c(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            Rgb t = TableAt(ox + x, oy + y);
            if (y >= caseH && y < caseH + 7 && x > 4) t = Scale(t, 0.55f + 0.45f * float(y - caseH) / 7.0f);
            c.At(x, y) = t;
            c.A(x, y) = 1;
        }
    return c;
}

// The open case at (157, 123): a 3-pixel rim around the 320 x 224 lining whose
// cells start at (160, 128), then the table down to y 386.
Image16 CaseOpen() {
    const int ox = 157, oy = 123, w = 326, h = 264;
    Canvas c = CaseBase(w, h, ox, oy, 232);
    Painter p(c);
    Style rim;
    rim.fill = Hex(0x6A4428);
    rim.line = kDarkInk;
    rim.lineWidth = 1;
    rim.bevel = 0.5f;
    rim.bevelWidth = 3;
    rim.texture = [](float x, float y, Rgb b) { return Scale(b, Leather(x, y, 3)); };
    p.Fill(Box(0, 0, 326, 232, 3), rim);
    for (int y = 5; y < 229; y++)
        for (int x = 3; x < 323; x++) {
            int sx = ox + x, sy = oy + y;
            int cx = (sx - 160) % 32, cy = (sy - 128) % 32;
            Rgb l = LiningAt(float(sx), float(sy), kLining);
            // The lining's quilted seams lie on the cell edges.
            if (cx == 0 || cy == 0) l = Scale(l, 0.72f);
            else if (cx == 31 || cy == 31) l = Scale(l, 0.86f);
            else if (cx == 1 || cy == 1) l = Scale(l, 1.1f);
            // Depth: the rim shades the lining near the walls.
            float edge = float(std::min({x - 3, y - 5, 322 - x, 228 - y}));
            if (edge < 6) l = Scale(l, 0.6f + 0.4f * edge / 6.0f);
            c.At(x, y) = l;
        }
    for (int x = 8; x < 318; x += 6) c.At(x, 1) = Scale(kBrass, 0.8f);  // stitching on the rim
    return Pix(c);
}

// The open lid behind the case, leaning back: its lining faces us.
Image16 CaseOpenTop() {
    const int w = 362, h = 68;
    Canvas c(w, h);
    Painter p(c);
    Sdf lid = Polygon({{2, 1}, {360, 1}, {343, 67}, {19, 67}});
    Style outer;
    outer.fill = Hex(0x6A4428);
    outer.line = kDarkInk;
    outer.lineWidth = 1;
    outer.bevel = 0.4f;
    outer.bevelWidth = 4;
    outer.texture = [](float x, float y, Rgb b) { return Scale(b, Leather(x, y, 4)); };
    p.Fill(lid, outer);
    Style inner;
    inner.fill = Scale(kLining, 0.78f);
    inner.line = Hex(0x3A1418);
    inner.lineWidth = 1;
    inner.bevel = 0.25f;
    inner.texture = [](float x, float y, Rgb b) { return LiningAt(x, y, b); };
    p.Fill(Polygon({{9, 6}, {353, 6}, {339, 64}, {23, 64}}), inner);
    // An elastic pocket across the lower part, with its zip.
    Style pocket = inner;
    pocket.fill = Scale(kLining, 0.6f);
    pocket.bevel = 0.4f;
    p.Fill(Polygon({{16, 34}, {346, 34}, {339, 64}, {23, 64}}), pocket);
    p.Line(24, 37, 338, 37, 1.5f, Hex(0xB0A090));
    p.Fill(Box(280, 35, 288, 42, 1), kBrass);
    // Hinges where the lid meets the case.
    for (float hx : {70.0f, 292.0f}) {
        Style hinge;
        hinge.fill = kBrass;
        hinge.line = kBrassDark;
        hinge.lineWidth = 1;
        p.Fill(Box(hx - 12, 60, hx + 12, 68, 1), hinge);
    }
    return Pix(c);
}

// The closed case from above: leather, two straps, brass latches, a handle.
Image16 CaseClosed() {
    const int ox = 157, oy = 123, w = 326, h = 264;
    Canvas c = CaseBase(w, h, ox, oy, 232);
    Painter p(c);
    Style body;
    body.fill = Hex(0x7A4C2C);
    body.line = kDarkInk;
    body.lineWidth = 1.5f;
    body.bevel = 0.5f;
    body.bevelWidth = 10;
    body.texture = [](float x, float y, Rgb b) { return Scale(b, Leather(x, y, 5)); };
    p.Fill(Box(0, 0, 326, 232, 10), body);
    p.Stroke(Box(9, 9, 317, 223, 6), 1.2f, Hex(0xD8B880), 0.7f);
    for (float sx : {88.0f, 238.0f}) {
        Style strap;
        strap.fill = Hex(0x4A2C18);
        strap.line = kDarkInk;
        strap.lineWidth = 1;
        strap.bevel = 0.3f;
        p.Fill(Box(sx - 13, 0, sx + 13, 232), strap);
        Style buckle;
        buckle.fill = kBrass;
        buckle.line = kBrassDark;
        buckle.lineWidth = 1.2f;
        buckle.bevel = 0.6f;
        p.Fill(Subtract(Box(sx - 16, 178, sx + 16, 200, 3), Box(sx - 11, 183, sx + 11, 195, 1)), buckle);
    }
    for (float lx : {30.0f, 296.0f}) {
        Style latch;
        latch.fill = kBrass;
        latch.line = kBrassDark;
        latch.lineWidth = 1.2f;
        latch.bevel = 0.6f;
        p.Fill(Box(lx - 12, 216, lx + 12, 231, 2), latch);
    }
    Style handle;
    handle.fill = Hex(0x3A2214);
    handle.line = kDarkInk;
    handle.lineWidth = 1.5f;
    handle.bevel = 0.6f;
    p.Fill(Subtract(Box(123, 208, 203, 231, 10), Box(135, 214, 191, 226, 5)), handle);
    return Pix(c);
}

Image16 TablePiece(int x0, int y0, int w, int h, int transparentCol) {
    Canvas c(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            if (x == transparentCol) continue;
            Rgb t = TableAt(x0 + x, y0 + y);
            // The table's far edge, against the dark of the room.
            int sy = y0 + y;
            if (sy < 197) t = Scale(t, sy == 194 ? 0.5f : 1.25f);
            c.At(x, y) = t;
            c.A(x, y) = 1;
        }
    return Pix(c);
}

Image16 Pixels() {
    Image16 img(32, 32, 0);
    const uint32_t swatch[16] = {0x000000, 0xFFFFFF, 0x7A2832, 0x5C3A24, 0xC89A48, 0x8B5A2B, 0xFFF4DC, 0x1C1410,
                                 0xFFD870, 0x3E8ABE, 0x48A060, 0xD03028, 0xF8D030, 0x7A4EC8, 0x303036, 0xB0A090};
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) img.At(x, y) = To555(Hex(swatch[(y / 8) * 4 + x / 8]));
    return img;
}

// A dark walnut plate with a brass rim, the shape of the status pieces.
Canvas Plate(int w, int h, float radius, bool roundTop) {
    Canvas c(w, h);
    Painter p(c);
    Style st;
    st.fill = Hex(0x3E2618);
    st.line = kDarkInk;
    st.lineWidth = 1.5f;
    st.bevel = 0.45f;
    st.bevelWidth = 5;
    st.texture = [](float x, float y, Rgb b) {
        return Scale(b, 0.9f + 0.22f * Fbm(x * 0.04f, y * 0.6f, 19, 3));
    };
    Sdf shape = roundTop ? Box(0, 0, float(w), float(h), radius) : Box(0, -radius - 2, float(w), float(h), radius);
    p.Fill(shape, st);
    p.Stroke(Offset(shape, 3.5f), 1.4f, kBrass, 0.9f);
    return c;
}

void Window(Canvas& c, float x0, float y0, float x1, float y1) {
    Painter p(c);
    Style st;
    st.fill = Hex(0x120A06);
    st.line = kBrassDark;
    st.lineWidth = 1.2f;
    st.bevel = -0.5f;  // sunk: lit at the bottom right
    st.bevelWidth = 3;
    st.gloss = 0;
    p.Fill(Box(x0, y0, x1, y1, 3), st);
}

Image16 LabelPlate(const FontSheet& f2, const char* word, bool lit) {
    const int w = 72, h = 30;
    Canvas c(w, h);
    Painter p(c);
    Style st;
    st.fill = lit ? Hex(0xF0B040) : Hex(0x5A4020);
    st.line = lit ? Hex(0x8A5010) : Hex(0x2A1A0C);
    st.lineWidth = 1.2f;
    st.bevel = lit ? 0.3f : 0.4f;
    st.bevelWidth = 4;
    p.Fill(Box(0.5f, 0.5f, w - 0.5f, h - 0.5f, 4), st);
    if (lit) {
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                if (c.A(x, y) > 0.5f) {
                    float d = std::hypot((x - w / 2.0f) / w, (y - h / 2.0f) / h);
                    c.At(x, y) = Mix(c.At(x, y), Hex(0xFFF0B0), std::max(0.0f, 0.6f - d * 1.5f));
                }
    }
    Image16 img = Pix(c);
    FontSheet ink = Tinted(f2, lit ? Hex(0x3A1A04) : Hex(0xA08050));
    Text(img, ink, word, (w - Width(ink, word)) / 2, (h - f2.cell) / 2);
    return img;
}

// Timer panel: a clock face beside the lamp plate, figures in a window below.
Image16 StatTimer(const FontSheet& f2) {
    Canvas c = Plate(128, 64, 8, true);
    Painter p(c);
    Window(c, 60, 38, 123, 61);
    Style face;
    face.fill = Hex(0xF4E8CC);
    face.line = kBrassDark;
    face.lineWidth = 2;
    face.bevel = 0.3f;
    p.Fill(Circle(27, 34, 19), face);
    for (int k = 0; k < 12; k++) {
        float a = float(k) * 3.14159f / 6;
        p.Fill(Circle(27 + 14 * std::cos(a), 34 + 14 * std::sin(a), 1.2f), kDarkInk);
    }
    p.Line(27, 34, 27, 22, 2, kDarkInk);
    p.Line(27, 34, 35, 38, 2, kDarkInk);
    Image16 img = Pix(c);
    img.Blit(LabelPlate(f2, "TIME", false), 0, 0, 72, 30, 49, 3, true);
    return img;
}

// Level panel: the lamp plate at (18, 4), figures at (45, 41), a little case.
Image16 StatLevel(const FontSheet& f2) {
    Canvas c = Plate(128, 64, 8, true);
    Painter p(c);
    Window(c, 36, 38, 100, 61);
    Style bag;
    bag.fill = Hex(0x9A5A30);
    bag.line = kDarkInk;
    bag.lineWidth = 1.2f;
    bag.bevel = 0.4f;
    p.Fill(Box(98, 14, 122, 32, 3), bag);
    p.Stroke(Box(105, 8, 115, 16, 3), 2, kDarkInk);
    p.Line(98, 22, 122, 22, 1, kBrass);
    Image16 img = Pix(c);
    img.Blit(LabelPlate(f2, "LEVEL", false), 0, 0, 72, 30, 18, 4, true);
    return img;
}

// The score bar hangs from the top edge: square top, round bottom corners.
Image16 StatScorebar() {
    Canvas c = Plate(420, 48, 14, false);
    // Wide enough for the longest title; the play screen's Exit button sits on its right end.
    Window(c, 52, 20, 368, 44);
    Painter p(c);
    for (float x : {18.0f, 402.0f}) {
        Style rivet;
        rivet.fill = kBrass;
        rivet.line = kBrassDark;
        rivet.lineWidth = 1;
        p.Fill(Circle(x, 16, 4), rivet);
    }
    return Pix(c);
}

Image16 CaseFrame() {
    Canvas c(320, 226);
    Painter p(c);
    Style st;
    st.fill = Hex(0x2A1C16);
    st.line = kDarkInk;
    st.lineWidth = 1.5f;
    st.bevel = 0.3f;
    st.bevelWidth = 6;
    st.texture = [](float x, float y, Rgb b) { return Scale(b, Leather(x, y, 8)); };
    p.Fill(Box(0, 0, 320, 226, 6), st);
    p.Stroke(Box(5, 5, 315, 221, 4), 1.2f, kBrass, 0.8f);
    for (int x = 12; x < 308; x += 5) {
        c.At(x, 9) = Scale(kBrass, 0.7f);
        c.At(x, 216) = Scale(kBrass, 0.7f);
    }
    return Pix(c);
}

Image16 MenuButton(bool pressed) {
    Canvas c(188, 20);
    Painter p(c);
    Style st;
    st.fill = pressed ? Hex(0xA8581E) : Hex(0x5A3A26);
    st.line = pressed ? Hex(0x3A1A08) : Hex(0x1A0E08);
    st.lineWidth = 1.2f;
    st.bevel = pressed ? -0.5f : 0.5f;
    st.bevelWidth = 4;
    p.Fill(Box(0.5f, 0.5f, 187.5f, 19.5f, 5), st);
    p.Stroke(Box(3, 3, 185, 17, 3), 1, pressed ? Hex(0xF0C060) : kBrassDark, 0.8f);
    return Pix(c);
}

// The big open case behind the information screens: rim, corner guards and a
// dark lining for the light text.
Image16 CaseBig() {
    const int w = 512, h = 346;
    Canvas c(w, h);
    Painter p(c);
    Style rim;
    rim.fill = Hex(0x6A4428);
    rim.line = kDarkInk;
    rim.lineWidth = 1.5f;
    rim.bevel = 0.5f;
    rim.bevelWidth = 6;
    rim.texture = [](float x, float y, Rgb b) { return Scale(b, Leather(x, y, 9)); };
    p.Fill(Box(0, 0, float(w), float(h), 12), rim);
    for (int y = 12; y < h - 12; y++)
        for (int x = 12; x < w - 12; x++) {
            Rgb l = LiningAt(float(x), float(y), Hex(0x4A1A22));
            float edge = float(std::min({x - 12, y - 12, w - 13 - x, h - 13 - y}));
            if (edge < 10) l = Scale(l, 0.55f + 0.45f * edge / 10.0f);
            c.At(x, y) = l;
        }
    p.Stroke(Box(20, 20, w - 20.0f, h - 20.0f, 6), 1, Hex(0xB08050), 0.5f);
    for (auto [gx, gy] : std::vector<std::pair<float, float>>{{0, 0}, {float(w) - 30, 0}, {0, float(h) - 30}, {float(w) - 30, float(h) - 30}}) {
        Style guard;
        guard.fill = kBrass;
        guard.line = kBrassDark;
        guard.lineWidth = 1.2f;
        guard.bevel = 0.6f;
        float cx = gx < 1 ? 0.0f : float(w), cy = gy < 1 ? 0.0f : float(h);
        p.Fill(Intersect(Circle(cx, cy, 28), Box(gx, gy, gx + 30, gy + 30)), guard);
    }
    return Pix(c);
}

Image16 BorderPiece(int x0, int y0, int w, int h) {
    Canvas c(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            c.At(x, y) = BorderAt(x0 + x, y0 + y);
            c.A(x, y) = 1;
        }
    return Pix(c);
}

// The game's page as a badge: a sheet of paper and the page's name, its left
// 30 pixels clear so that it can stand right beside a centred line of text.
Image16 Www(const FontSheet& f0) {
    const int w = 192, h = 24;
    Canvas c(w, h);
    Painter p(c);
    Style st;
    st.fill = Hex(0x2A4A6A);
    st.line = Hex(0x0A1420);
    st.lineWidth = 1.2f;
    st.bevel = 0.4f;
    st.bevelWidth = 4;
    p.Fill(Box(30.5f, 1.5f, w - 1.5f, h - 1.5f, 10), st);
    Style sheet;
    sheet.fill = Hex(0xF4EEDC);
    sheet.line = Hex(0x0A1420);
    sheet.lineWidth = 1;
    sheet.bevel = 0.15f;
    sheet.bevelWidth = 2;
    p.Fill(Polygon({{38.5f, 4.5f}, {46.5f, 4.5f}, {50.5f, 8.5f}, {50.5f, 19.5f}, {38.5f, 19.5f}}), sheet);
    Style fold;
    fold.fill = Hex(0xB8C8D8);
    fold.line = Hex(0x0A1420);
    fold.lineWidth = 1;
    fold.bevel = 0;
    p.Fill(Polygon({{46.5f, 4.5f}, {50.5f, 8.5f}, {46.5f, 8.5f}}), fold);
    for (float y : {11.5f, 14.0f, 16.5f}) p.Line(40.5f, y, 48.5f, y, 1, Hex(0x58A0D8), 0.9f);
    Image16 img = Pix(c);
    int tw = Width(f0, WEB_NAME);
    int room = w - 56 - 6;
    if (tw > room) throw std::runtime_error("page name too wide for www.bmp");
    Text(img, f0, WEB_NAME, 56 + (room - tw) / 2, (h - f0.cell) / 2);
    return img;
}

Image16 Smile() {
    Canvas c(16, 16);
    Painter p(c);
    Style st;
    st.fill = Hex(0xF8D030);
    st.line = Hex(0x3A2A08);
    st.lineWidth = 1.2f;
    st.bevel = 0.4f;
    st.bevelWidth = 3;
    p.Fill(Circle(8, 8, 7.6f), st);
    p.Fill(Ellipse(5.6f, 6, 1.1f, 1.6f), kDarkInk);
    p.Fill(Ellipse(10.4f, 6, 1.1f, 1.6f), kDarkInk);
    p.Stroke(Intersect(Circle(8, 7.5f, 4.2f), Box(0, 9, 16, 16)), 1.3f, kDarkInk);
    return Pix(c);
}

}  // namespace

Rgb TableAt(int x, int y) {
    // Boards 48 pixels deep running left to right, each with its own grain.
    int board = y / 48;
    float fy = float(y % 48);
    float shift = Hash01(uint32_t(board), 3, 41) * 400.0f;
    float grain = Fbm((float(x) + shift) * 0.012f, float(y) * 0.22f, 77 + uint32_t(board), 4);
    float streak = 0.5f + 0.5f * std::sin(float(y) * 0.9f + grain * 9.0f);
    Rgb dark = Hex(0x6E4322), light = Hex(0xA9713E);
    Rgb t = Mix(dark, light, std::clamp(0.25f + 0.55f * grain + 0.2f * streak, 0.0f, 1.0f));
    t = Scale(t, 0.92f + 0.16f * Hash01(uint32_t(board), 9, 43));
    if (fy < 1) t = Scale(t, 0.45f);
    else if (fy < 2) t = Scale(t, 1.15f);
    return t;
}

Rgb BorderAt(int x, int y) {
    // A warm glow from the middle of the screen fading into dark corners.
    float dx = (float(x) - 320) / 320, dy = (float(y) - 240) / 240;
    float r = std::sqrt(dx * dx + dy * dy);
    Rgb warm = Hex(0x8A4A1C), dark = Hex(0x140A06);
    float glow = std::clamp(1.1f - r * 0.9f, 0.0f, 1.0f);
    float n = Fbm(float(x) * 0.02f, float(y) * 0.02f, 123, 4);
    Rgb c = Mix(dark, warm, glow * (0.7f + 0.5f * n));
    // Soft round spots of light, like a blurred background.
    for (int k = 0; k < 18; k++) {
        float bx = Hash01(uint32_t(k), 1, 7) * 640, by = Hash01(uint32_t(k), 2, 7) * 480;
        float br = 14 + Hash01(uint32_t(k), 3, 7) * 30;
        float d = std::hypot(float(x) - bx, float(y) - by) / br;
        if (d < 1) c = Mix(c, Hex(0xE0A050), 0.18f * (1 - d * d));
    }
    return c;
}

std::vector<StaticPicture> MakeStaticPictures(const std::array<FontSheet, 3>& fonts) {
    const FontSheet &f0 = fonts[0], &f2 = fonts[2];
    std::vector<StaticPicture> v;
    v.push_back({"case-closed.bmp", 157, 123, CaseClosed()});
    v.push_back({"case-open.bmp", 157, 123, CaseOpen()});
    v.push_back({"case-open-top.bmp", 139, 56, CaseOpenTop()});
    v.push_back({"pixels.bmp", 0, 0, Pixels()});
    v.push_back({"stat-level.bmp", 512, 52, StatLevel(f2)});
    v.push_back({"stat-scorebar.bmp", 108, 0, StatScorebar()});
    v.push_back({"stat-timer.bmp", 0, 52, StatTimer(f2)});
    v.push_back({"table-bottom.bmp", 157, 387, TablePiece(157, 387, 326, 94, -1)});
    // The left piece is one column wider than its place (even widths); that
    // column is clear so the case's rim shows through.
    v.push_back({"table-left.bmp", 0, 194, TablePiece(0, 194, 158, 286, 157)});
    v.push_back({"table-right.bmp", 483, 194, TablePiece(483, 194, 158, 286, -1)});
    v.push_back({"case-frame.bmp", 160, 127, CaseFrame()});
    v.push_back({"stat-level-bright.bmp", 530, 56, LabelPlate(f2, "LEVEL", true)});
    v.push_back({"stat-timer-bright.bmp", 49, 55, LabelPlate(f2, "TIME", true)});
    v.push_back({"menu-button0.bmp", 226, 153, MenuButton(false)});
    v.push_back({"menu-button1.bmp", 226, 153, MenuButton(true)});
    v.push_back({"case-big.bmp", 64, 70, CaseBig()});
    v.push_back({"diffuse-left.bmp", 0, 69, BorderPiece(0, 69, 80, 347)});
    v.push_back({"diffuse-right.bmp", 560, 69, BorderPiece(560, 69, 80, 347)});
    v.push_back({"diffuse-top.bmp", 0, 0, BorderPiece(0, 0, 640, 70)});
    v.push_back({"diffuse-bottom.bmp", 0, 416, BorderPiece(0, 416, 640, 64)});
    v.push_back({"www.bmp", 340, 329, Www(f0)});
    v.push_back({"smile.bmp", 317, 169, Smile()});
    return v;
}

}  // namespace gen
