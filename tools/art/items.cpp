#include "tools/art/items.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tools/kit/raster.h"

namespace gen {

int ItemShape::Area() const {
    int n = 0;
    for (const auto& r : rows)
        for (char ch : r) n += ch == 'X';
    return n;
}

int CellMask::Count() const {
    int n = 0;
    for (bool b : solid) n += b;
    return n;
}

const std::vector<ItemShape>& ItemShapes() {
    static const std::vector<ItemShape> shapes = {
        {"laptop", {"XXXX", "XXXX", "XXXX"}},
        {"coat", {"XXXX", "XXXX", ".XX.", ".XX."}},
        {"jeans", {"XXX", "XXX", "X.X", "X.X"}},
        {"bathrobe", {"XXX", "XXX", "XXX", "XXX"}},
        {"tent", {"XXXXX", "XXXXX"}},
        {"blanket", {"XXXX", "XXXX"}},
        {"sleeping-bag", {"XX", "XX", "XX", "XX"}},
        {"teddy-bear", {"X.X", "XXX", "XXX"}},
        {"sweater", {"XXXX", ".XX.", ".XX."}},
        {"tennis-racket", {"XXX", "XXX", ".X.", ".X."}},
        {"board-game", {"XXX", "XXX", "XXX"}},
        {"trophy", {"XXX", ".X.", "XXX"}},
        {"dress", {".X.", "XXX", "XXX"}},
        {"guitar", {"XX...", "XXXXX"}},
        {"pillow", {"XXX", "XXX"}},
        {"towel", {"XX", "XX", "XX"}},
        {"robot", {".X.", "XXX", "X.X"}},
        {"frying-pan", {"XX..", "XXXX"}},
        {"headphones", {"XXX", "X.X"}},
        {"kite", {".X.", "XXX", ".X."}},
        {"umbrella", {"X.", "X.", "X.", "XX"}},
        {"cap", {".XX", "XXX"}},
        {"teapot", {"XX.", "XXX"}},
        {"scarf", {"X", "X", "X", "X", "X"}},
        {"skateboard", {"XXXX"}},
        {"camera", {".X.", "XXX"}},
        {"sun-hat", {".X.", "XXX"}},
        {"t-shirt", {"XXX", ".X."}},
        {"sock", {"X.", "X.", "XX"}},
        {"sneaker", {"X..", "XXX"}},
        {"hairdryer", {"XXX", "X.."}},
        {"book", {"XX", "XX"}},
        {"alarm-clock", {"XX", "XX"}},
        {"beach-ball", {"XX", "XX"}},
        {"boot", {"X.", "XX"}},
        {"rubber-duck", {"X.", "XX"}},
        {"mitten", {"XX", "X."}},
        {"toothbrush", {"XXX"}},
        {"flashlight", {"XXX"}},
        {"wine-bottle", {"X", "X", "X"}},
        {"tie", {"X", "X", "X"}},
        {"toothpaste", {"XX"}},
        {"sunglasses", {"XX"}},
        {"banana", {"XX"}},
        {"shampoo", {"X", "X"}},
        {"water-bottle", {"X", "X"}},
        {"watch", {"X"}},
        {"passport", {"X"}},
        {"apple", {"X"}},
        {"backpack", {".X.", "XXX", "XXX", "XXX"}},
        {"saucepan", {"XXXX", "XXX."}},
        {"radio", {"..X", "XXX", "XXX"}},
        {"cooler", {"XXX", "XXX"}},
        {"toy-car", {".XX.", "XXXX"}},
        {"sailboat", {".X.", ".XX", "XXX"}},
        {"plant", {"X.X", "XXX", ".X."}},
        {"chair", {"X..", "XXX", "X.X"}},
        {"hammer", {"XXX", ".X.", ".X."}},
        {"binoculars", {"X.X", "XXX"}},
        {"shorts", {"XXX", "X.X"}},
        {"skis", {"XXXXX"}},
        {"iron", {"XX.", "XXX"}},
        {"swim-ring", {"XX", "XX"}},
        {"cane", {"XX", ".X", ".X"}},
        {"flag", {"XX", "X.", "X."}},
        {"slippers", {"X.", "XX", ".X"}},
        {"lamp", {"X", "X", "X", "X"}},
        {"snorkel", {".X", "XX"}},
        {"thermos", {"X", "X", "X"}},
        {"comb", {"XX"}},
        {"phone", {"X", "X"}},
        {"candle", {"X", "X"}},
        {"keys", {"X"}},
        {"mug", {"X"}},
        {"compass", {"X"}},
    };
    return shapes;
}

int FindItem(const std::string& name) {
    const auto& s = ItemShapes();
    for (size_t i = 0; i < s.size(); i++)
        if (s[i].name == name) return int(i);
    return -1;
}

CellMask MaskFromImage(const Image16& img) {
    CellMask m;
    m.w = img.w / kCell;
    m.h = img.h / kCell;
    m.solid.assign(size_t(m.w) * size_t(m.h), false);
    for (int r = 0; r < m.h; r++)
        for (int c = 0; c < m.w; c++) {
            bool ink = false;
            for (int y = 0; y < kCell && !ink; y++)
                for (int x = 0; x < kCell && !ink; x++)
                    ink = (img.Get(c * kCell + x, r * kCell + y) & 0x7FFF) != kMagenta;
            m.solid[size_t(r) * size_t(m.w) + size_t(c)] = ink;
        }
    return m;
}

namespace {

const Rgb kInk = Hex(0x2A1C14);

Style Body(Rgb fill, float bevel = 0.35f) {
    Style s;
    s.fill = fill;
    s.line = kInk;
    s.lineWidth = 1.5f;
    s.bevel = bevel;
    return s;
}

Style Flat(Rgb fill) {
    Style s;
    s.fill = fill;
    s.lineWidth = 0;
    s.bevel = 0;
    s.gloss = 0;
    return s;
}

Style Tex(Rgb fill, std::function<Rgb(float, float, Rgb)> t, float bevel = 0.35f) {
    Style s = Body(fill, bevel);
    s.texture = std::move(t);
    return s;
}

// Fine fabric grain: a little noise on the base colour.
std::function<Rgb(float, float, Rgb)> Grain(float amount, uint32_t seed, float scale = 1.0f) {
    return [=](float x, float y, Rgb b) {
        float n = Fbm(x * scale, y * scale, seed, 2) - 0.5f;
        return Scale(b, 1.0f + amount * n);
    };
}

struct Art {
    const ItemShape& s;
    Canvas c;
    Painter p;
    explicit Art(const ItemShape& shape) : s(shape), c(shape.W() * kCell, shape.H() * kCell), p(c) {
        p.SetClip([this](int x, int y) { return s.Solid(x / kCell, y / kCell); });
    }
    void F(const Sdf& sdf, const Style& st) { p.Fill(sdf, st); }
    void F(const Sdf& sdf, Rgb col) { p.Fill(sdf, col); }
    void L(float x0, float y0, float x1, float y1, float w, Rgb col, float a = 1) { p.Line(x0, y0, x1, y1, w, col, a); }
    void S(const Sdf& sdf, float w, Rgb col, float a = 1) { p.Stroke(sdf, w, col, a); }
};

using P = std::vector<std::pair<float, float>>;

void DrawLaptop(Art& a) {
    a.F(Box(6, 3, 122, 66, 5), Body(Hex(0x9AA0A8)));
    a.F(Box(12, 9, 116, 60, 2), Tex(Hex(0x1E3A6E), [](float x, float y, Rgb b) {
            return Mix(b, Hex(0x4A8AD0), std::clamp(0.6f - (y - 9) / 80.0f + 0.1f * std::sin(x * 0.05f), 0.0f, 1.0f));
        }, 0));
    a.L(20, 18, 60, 18, 2, Hex(0xD8E8F8), 0.7f);
    a.L(20, 26, 80, 26, 2, Hex(0xD8E8F8), 0.5f);
    a.L(20, 34, 50, 34, 2, Hex(0xD8E8F8), 0.5f);
    a.F(Polygon(P{{8, 64}, {120, 64}, {126, 92}, {2, 92}}), Body(Hex(0xB4BAC2)));
    for (int r = 0; r < 3; r++)
        for (int k = 0; k < 12; k++) {
            float y = 68 + r * 6.5f, x0 = 14 + k * 8.6f - r * 1.0f;
            a.F(Box(x0, y, x0 + 6.5f, y + 4.5f, 1), Hex(0x3A3E46));
        }
    a.F(Box(44, 87, 84, 91, 1), Hex(0x8A9098));
}

void DrawCoat(Art& a) {
    Rgb camel = Hex(0xB07A42);
    auto st = Tex(camel, Grain(0.25f, 11, 0.5f));
    a.F(Polygon(P{{3, 10}, {40, 3}, {88, 3}, {125, 10}, {125, 58}, {98, 60}, {95, 124}, {33, 124}, {30, 60}, {3, 58}}), st);
    a.L(30, 20, 30, 60, 1.2f, Hex(0x6A4222), 0.7f);
    a.L(98, 20, 98, 60, 1.2f, Hex(0x6A4222), 0.7f);
    a.F(Polygon(P{{48, 3}, {64, 30}, {80, 3}, {74, 3}, {64, 20}, {54, 3}}), Body(Hex(0xF0E6D0), 0.1f));
    a.F(Polygon(P{{44, 4}, {60, 40}, {50, 46}, {40, 14}}), Body(Hex(0x8C5A2C)));
    a.F(Polygon(P{{84, 4}, {68, 40}, {78, 46}, {88, 14}}), Body(Hex(0x8C5A2C)));
    a.L(64, 40, 64, 122, 1.2f, Hex(0x5A3A1A));
    for (int k = 0; k < 3; k++) a.F(Circle(70, 56 + k * 20, 3.2f), Body(Hex(0x3A2A1A)));
    a.F(Box(38, 80, 56, 84, 1), Hex(0x6A4222));
    a.F(Box(72, 80, 90, 84, 1), Hex(0x6A4222));
    a.F(Box(5, 46, 27, 56, 2), Body(Hex(0x8C5A2C)));
    a.F(Box(101, 46, 123, 56, 2), Body(Hex(0x8C5A2C)));
}

void DrawJeans(Art& a) {
    Rgb denim = Hex(0x3D5F9A);
    auto tex = [](float x, float y, Rgb b) {
        float n = Hash01(uint32_t(x * 3), uint32_t(y * 3), 7) * 0.18f + 0.1f * std::sin((x + y) * 1.7f);
        return Scale(b, 0.92f + n);
    };
    a.F(Polygon(P{{4, 4}, {92, 4}, {94, 124}, {67, 124}, {66, 62}, {48, 54}, {30, 62}, {29, 124}, {2, 124}}), Tex(denim, tex));
    a.F(Box(4, 4, 92, 14, 2), Body(Hex(0x2E4C80)));
    a.F(Circle(48, 9, 2.8f), Body(Hex(0xD0A040)));
    a.L(48, 14, 48, 50, 1.2f, Hex(0xD8A860), 0.9f);
    a.S(Circle(4, 14, 22), 1.2f, Hex(0xD8A860), 0.9f);
    a.S(Circle(92, 14, 22), 1.2f, Hex(0xD8A860), 0.9f);
    a.L(16, 62, 16, 120, 1, Hex(0xD8A860), 0.6f);
    a.L(80, 62, 80, 120, 1, Hex(0xD8A860), 0.6f);
    a.F(Box(3, 116, 29, 124, 1), Hex(0x2E4C80));
    a.F(Box(67, 116, 93, 124, 1), Hex(0x2E4C80));
}

void DrawBathrobe(Art& a) {
    auto terry = [](float x, float y, Rgb b) { return Scale(b, 0.93f + 0.12f * Hash01(uint32_t(x), uint32_t(y), 13)); };
    Rgb white = Hex(0xF2EEE4);
    a.F(Polygon(P{{4, 10}, {30, 3}, {66, 3}, {92, 10}, {93, 66}, {80, 68}, {78, 124}, {18, 124}, {16, 68}, {3, 66}}), Tex(white, terry));
    a.L(16, 24, 16, 66, 1.2f, Hex(0xB0A898));
    a.L(80, 24, 80, 66, 1.2f, Hex(0xB0A898));
    a.F(Polygon(P{{34, 3}, {48, 40}, {62, 3}, {56, 3}, {48, 24}, {40, 3}}), Flat(Hex(0x8AB8D8)));
    a.F(Polygon(P{{30, 4}, {50, 64}, {46, 122}, {40, 122}, {40, 64}, {26, 8}}), Tex(Hex(0xE4DED0), terry, 0.3f));
    a.F(Box(16, 60, 80, 68, 2), Body(Hex(0x5A8AB8)));
    a.F(Capsule(56, 66, 62, 88, 3), Body(Hex(0x5A8AB8)));
    a.F(Capsule(60, 66, 70, 86, 3), Body(Hex(0x5A8AB8)));
    a.F(Box(3, 56, 15, 66, 2), Tex(Hex(0xE4DED0), terry));
    a.F(Box(81, 56, 93, 66, 2), Tex(Hex(0xE4DED0), terry));
}

void DrawTent(Art& a) {
    Rgb green = Hex(0x4E7A3A);
    a.F(Box(4, 8, 156, 56, 22), Tex(green, [](float x, float y, Rgb b) {
            return Scale(b, 0.92f + 0.1f * std::sin(y * 0.5f) + 0.04f * Hash01(uint32_t(x), uint32_t(y), 4));
        }, 0.6f));
    a.F(Ellipse(22, 32, 12, 22), Body(Hex(0x3A5C2A), 0.3f));
    a.F(Circle(22, 32, 4), Body(Hex(0x202020)));
    a.L(22, 36, 10, 56, 1.2f, Hex(0xE0D0A0));
    for (float x : {70.0f, 120.0f}) a.F(Box(x - 5, 7, x + 5, 57, 1), Body(Hex(0x2A2A2A), 0.2f));
    a.F(Box(84, 22, 110, 40, 2), Body(Hex(0xE8C040), 0.2f));
    a.F(Polygon(P{{97, 25}, {106, 37}, {88, 37}}), Hex(0x4E7A3A));
}

void DrawBlanket(Art& a) {
    auto plaid = [](float x, float y, Rgb b) {
        float k = 1.0f;
        if (int(x / 9) % 3 == 0) k *= 0.8f;
        if (int(y / 9) % 3 == 0) k *= 0.8f;
        if (int(x) % 18 == 4 || int(y) % 18 == 4) return Hex(0xF0D890);
        return Scale(b, k);
    };
    a.F(Box(3, 6, 125, 60, 6), Tex(Hex(0xB8402E), plaid));
    a.F(Box(3, 6, 125, 26, 6), Tex(Hex(0xC84A36), plaid, 0.5f));
    for (int x = 8; x < 122; x += 5) a.L(float(x), 58, float(x) + 1, 62, 1.2f, Hex(0xF0D890));
}

void DrawSleepingBag(Art& a) {
    auto quilt = [](float, float y, Rgb b) { return Scale(b, int(y) % 16 < 2 ? 0.8f : 1.0f + 0.1f * std::sin(y * 0.39f)); };
    a.F(Box(4, 3, 60, 125, 14), Tex(Hex(0x4F8A4A), quilt));
    a.F(Ellipse(32, 22, 20, 14), Body(Hex(0x2F5A2E), 0.2f));
    a.F(Ellipse(32, 24, 14, 9), Body(Hex(0xE8A070), 0.1f));
    a.L(52, 30, 52, 118, 1.5f, Hex(0xD8D8C0));
    a.F(Box(49, 30, 55, 36, 1), Body(Hex(0xD0D0D0)));
}

void DrawTeddy(Art& a) {
    Rgb fur = Hex(0xB07838);
    auto st = Tex(fur, Grain(0.3f, 5, 0.8f));
    a.F(Circle(20, 28, 13), st);
    a.F(Circle(76, 28, 13), st);
    a.F(Circle(20, 28, 6), Body(Hex(0xE0B080), 0.1f));
    a.F(Circle(76, 28, 6), Body(Hex(0xE0B080), 0.1f));
    a.F(Ellipse(48, 82, 36, 12), st);
    a.F(Capsule(16, 62, 8, 80, 8), st);
    a.F(Capsule(80, 62, 88, 80, 8), st);
    a.F(Circle(48, 57, 25), st);
    a.F(Ellipse(48, 64, 10, 7), Body(Hex(0xE8C090), 0.1f));
    a.F(Ellipse(48, 60, 4, 3), Hex(0x2A1A10));
    a.F(Circle(39, 50, 3), Hex(0x1A1008));
    a.F(Circle(57, 50, 3), Hex(0x1A1008));
    a.L(44, 68, 52, 68, 1.2f, Hex(0x2A1A10));
    a.F(Polygon(P{{36, 80}, {48, 86}, {60, 80}, {60, 90}, {48, 85}, {36, 90}}), Body(Hex(0xC83040)));
}

void DrawSweater(Art& a) {
    auto knit = [](float x, float y, Rgb b) {
        Rgb c = (y > 40 && y < 50) ? Hex(0xF0E8D8) : b;
        return Scale(c, int(x) % 4 == 0 ? 0.88f : 1.0f);
    };
    a.F(Polygon(P{{3, 8}, {44, 3}, {84, 3}, {125, 8}, {125, 28}, {94, 29}, {94, 92}, {34, 92}, {34, 29}, {3, 28}}), Tex(Hex(0xB83A3A), knit));
    a.F(Ellipse(64, 4, 12, 6), Body(Hex(0x8A2424), 0.1f));
    a.F(Box(36, 84, 92, 92, 1), Hex(0x8A2424));
    a.F(Box(4, 18, 10, 28, 1), Hex(0x8A2424));
    a.F(Box(118, 18, 124, 28, 1), Hex(0x8A2424));
}

void DrawRacket(Art& a) {
    a.F(Ellipse(48, 33, 42, 29), Body(Hex(0x2E6AB8)));
    a.F(Ellipse(48, 33, 35, 23), Flat(Hex(0xE8F0E0)));
    a.p.SetClip([&a](int x, int y) {
        return a.s.Solid(x / kCell, y / kCell) && Ellipse(48, 33, 35, 23)(x + 0.5f, y + 0.5f) < 0;
    });
    a.F(Ellipse(48, 33, 35, 23), Flat(Hex(0x9AB8C8)));
    for (int x = 16; x <= 80; x += 6) a.L(float(x), 6, float(x), 60, 1, Hex(0xF8F8F0));
    for (int y = 12; y <= 56; y += 6) a.L(10, float(y), 86, float(y), 1, Hex(0xF8F8F0));
    a.p.SetClip([&a](int x, int y) { return a.s.Solid(x / kCell, y / kCell); });
    a.F(Polygon(P{{38, 58}, {58, 58}, {53, 72}, {43, 72}}), Body(Hex(0x2E6AB8)));
    a.F(Box(40, 70, 56, 124, 4), Tex(Hex(0x3A2A20), [](float, float y, Rgb b) {
            return Scale(b, int(y) % 6 < 2 ? 1.4f : 1.0f);
        }));
}

void DrawBoardGame(Art& a) {
    a.F(Box(3, 3, 93, 93, 5), Body(Hex(0x2E6A44)));
    a.F(Box(8, 8, 88, 22, 2), Body(Hex(0xE8C860)));
    a.L(14, 15, 82, 15, 3, Hex(0x6A3010), 0.8f);
    for (int r = 0; r < 6; r++)
        for (int c = 0; c < 6; c++)
            a.F(Box(18 + c * 10.0f, 28 + r * 10.0f, 28 + c * 10.0f, 38 + r * 10.0f, 0),
                (r + c) % 2 ? Hex(0x5A3418) : Hex(0xF0E0C0));
    a.F(Circle(33, 43, 3.5f), Body(Hex(0xD03030)));
    a.F(Circle(63, 63, 3.5f), Body(Hex(0x202020)));
    a.F(Box(66, 72, 84, 88, 3), Body(Hex(0xF8F8F0)));
    a.F(Circle(71, 77, 1.5f), Hex(0x202020));
    a.F(Circle(79, 83, 1.5f), Hex(0x202020));
}

void DrawTrophy(Art& a) {
    Rgb gold = Hex(0xE0B030);
    a.S(Circle(14, 14, 8), 4, Hex(0xB08020));
    a.S(Circle(82, 14, 8), 4, Hex(0xB08020));
    a.F(Polygon(P{{14, 3}, {82, 3}, {76, 22}, {60, 31}, {36, 31}, {20, 22}}), Body(gold, 0.5f));
    a.F(Box(40, 28, 56, 70, 2), Body(gold, 0.5f));
    a.F(Box(26, 64, 70, 76, 2), Body(gold, 0.5f));
    a.F(Box(8, 74, 88, 93, 3), Body(Hex(0x5A3820)));
    a.F(Box(30, 79, 66, 88, 1), Body(Hex(0xE8D890), 0.1f));
    a.F(Polygon(P{{48, 7}, {51, 14}, {58, 14}, {52, 18}, {54, 25}, {48, 21}, {42, 25}, {44, 18}, {38, 14}, {45, 14}}), Hex(0xFFF0A0));
}

void DrawDress(Art& a) {
    auto dots = [](float x, float y, Rgb b) {
        float gx = std::fmod(x + (int(y / 10) % 2) * 5, 10.0f) - 5, gy = std::fmod(y, 10.0f) - 5;
        return gx * gx + gy * gy < 4.5f ? Hex(0xF8E8F0) : b;
    };
    Rgb pink = Hex(0xC83C78);
    a.F(Polygon(P{{30, 35}, {66, 35}, {92, 92}, {4, 92}}), Tex(pink, dots));
    a.F(Polygon(P{{36, 3}, {44, 12}, {52, 12}, {60, 3}, {64, 38}, {32, 38}}), Tex(pink, dots));
    a.F(Box(31, 32, 65, 40, 2), Body(Hex(0x7A1C44)));
    a.F(Circle(48, 36, 4), Body(Hex(0xF0C0D8)));
}

void DrawGuitar(Art& a) {
    Rgb wood = Hex(0xC8823C);
    a.F(Box(50, 42, 140, 53, 2), Body(Hex(0x6A3C1C)));
    a.F(Polygon(P{{136, 38}, {158, 36}, {158, 60}, {136, 57}}), Body(Hex(0x3A2010)));
    for (int k = 0; k < 3; k++) {
        a.F(Circle(142 + k * 6.0f, 38, 2), Hex(0xE0E0E0));
        a.F(Circle(142 + k * 6.0f, 58, 2), Hex(0xE0E0E0));
    }
    a.F(Union(Circle(24, 38, 22), Circle(48, 40, 16)), Tex(wood, [](float x, float, Rgb b) {
            return Scale(b, 0.95f + 0.08f * std::sin(x * 0.7f));
        }));
    a.F(Circle(40, 39, 7), Hex(0x2A1408));
    a.F(Box(14, 32, 20, 46, 1), Hex(0x3A2010));
    for (int x = 62; x < 136; x += 11) a.L(float(x), 42.5f, float(x), 52.5f, 1, Hex(0xB8B0A0), 0.9f);
    for (int k = 0; k < 4; k++) a.L(15, 43.5f + k * 2.7f, 150, 43.5f + k * 2.7f, 0.7f, Hex(0xF8F4E0), 0.9f);
}

void DrawPillow(Art& a) {
    Sdf pillow = Polygon(P{{4, 6}, {48, 11}, {92, 6}, {87, 32}, {92, 58}, {48, 53}, {4, 58}, {9, 32}});
    a.F(Offset(pillow, 1.0f), Tex(Hex(0xB8CCE8), [](float x, float y, Rgb b) {
            return Scale(b, 1.0f + 0.05f * std::sin((x + y) * 0.5f));
        }, 0.6f));
    a.F(Ellipse(48, 32, 30, 15), Flat(Hex(0xC8D8F0)));
    a.S(Offset(pillow, -4), 1, Hex(0x8AA0C0), 0.8f);
}

void DrawTowel(Art& a) {
    auto terry = [](float x, float y, Rgb b) {
        Rgb c = (y > 66 && y < 72) || (y > 76 && y < 80) ? Hex(0xF0F0E8) : b;
        return Scale(c, 0.92f + 0.16f * Hash01(uint32_t(x), uint32_t(y), 3));
    };
    a.F(Box(3, 3, 61, 93, 4), Tex(Hex(0x2E9A9A), terry));
    a.L(4, 22, 60, 22, 1.2f, Hex(0x1A6A6A), 0.8f);
    a.L(4, 48, 60, 48, 1.2f, Hex(0x1A6A6A), 0.8f);
}

void DrawRobot(Art& a) {
    Rgb metal = Hex(0xA8B0BC);
    a.L(48, 4, 48, 10, 2, Hex(0x404040));
    a.F(Circle(48, 4, 3), Body(Hex(0xE04030)));
    a.F(Box(35, 9, 61, 31, 4), Body(metal, 0.5f));
    a.F(Circle(42, 19, 3.5f), Body(Hex(0x50D8FF), 0.1f));
    a.F(Circle(54, 19, 3.5f), Body(Hex(0x50D8FF), 0.1f));
    a.L(42, 26, 54, 26, 1.5f, Hex(0x404850));
    a.F(Box(42, 29, 54, 36, 1), Body(Hex(0x707880)));
    a.F(Box(6, 38, 20, 60, 5), Body(metal, 0.5f));
    a.F(Box(76, 38, 90, 60, 5), Body(metal, 0.5f));
    a.F(Box(11, 60, 28, 93, 3), Body(Hex(0x8A929E), 0.5f));
    a.F(Box(68, 60, 85, 93, 3), Body(Hex(0x8A929E), 0.5f));
    a.F(Box(20, 34, 76, 63, 5), Body(Hex(0xC0C8D4), 0.5f));
    a.F(Box(34, 40, 62, 56, 2), Body(Hex(0x303840), 0.1f));
    a.F(Circle(41, 48, 3), Hex(0xF04040));
    a.F(Circle(49, 48, 3), Hex(0xF0D040));
    a.F(Circle(57, 48, 3), Hex(0x40D060));
}

void DrawPan(Art& a) {
    a.F(Capsule(58, 47, 122, 47, 6), Body(Hex(0x8C5228)));
    a.F(Circle(116, 47, 2), Hex(0x2A1408));
    a.F(Circle(32, 32, 29), Body(Hex(0x3C3C44), 0.5f));
    a.F(Circle(32, 32, 23), Flat(Hex(0x26262C)));
    a.F(Union(Circle(28, 30, 13), Circle(38, 36, 10)), Body(Hex(0xFAFAF4), 0.2f));
    a.F(Circle(31, 32, 6), Body(Hex(0xF8B020), 0.4f));
}

void DrawHeadphones(Art& a) {
    Sdf ring = Subtract(Circle(48, 46, 40), Circle(48, 46, 32));
    a.F(Intersect(ring, Box(0, 0, 96, 40)), Body(Hex(0x303038)));
    a.F(Box(6, 30, 30, 62, 6), Body(Hex(0x282830)));
    a.F(Box(66, 30, 90, 62, 6), Body(Hex(0x282830)));
    a.F(Box(9, 34, 20, 58, 4), Body(Hex(0xD04040), 0.3f));
    a.F(Box(76, 34, 87, 58, 4), Body(Hex(0xD04040), 0.3f));
}

void DrawKite(Art& a) {
    Sdf d = Polygon(P{{48, 14}, {80, 46}, {48, 80}, {16, 46}});
    a.F(d, Tex(Hex(0xE04030), [](float x, float y, Rgb b) {
            return ((x < 48) != (y < 46)) ? Hex(0xF0C030) : b;
        }));
    a.L(48, 14, 48, 80, 1.5f, Hex(0x6A4020));
    a.L(16, 46, 80, 46, 1.5f, Hex(0x6A4020));
    a.L(48, 80, 42, 86, 1, Hex(0x3A2A1A));
    a.L(42, 86, 52, 92, 1, Hex(0x3A2A1A));
    a.F(Polygon(P{{40, 82}, {46, 86}, {40, 90}}), Body(Hex(0x3080E0), 0.1f));
    a.F(Polygon(P{{54, 88}, {48, 92}, {54, 95}}), Body(Hex(0x3080E0), 0.1f));
}

void DrawUmbrella(Art& a) {
    a.L(16, 96, 16, 110, 4, Hex(0x404040));
    a.F(Intersect(Subtract(Circle(30, 108, 16), Circle(30, 108, 9)), Box(0, 106, 64, 128)), Body(Hex(0x7A4420)));
    a.F(Capsule(43, 98, 43, 108, 3.5f), Body(Hex(0x7A4420)));
    a.F(Polygon(P{{16, 2}, {26, 30}, {24, 96}, {8, 96}, {6, 30}}), Tex(Hex(0x2E3E80), [](float x, float, Rgb b) {
            return Scale(b, 0.9f + 0.2f * std::fabs(std::sin(x * 0.35f)));
        }));
    a.F(Box(5, 56, 27, 63, 2), Body(Hex(0x1A2450)));
    a.F(Circle(24, 60, 2), Hex(0xD0D0D0));
}

void DrawCap(Art& a) {
    Rgb red = Hex(0xC8342A);
    a.F(Polygon(P{{40, 42}, {4, 50}, {4, 58}, {46, 58}}), Body(Hex(0x8A1E18)));
    a.F(Intersect(Ellipse(64, 44, 30, 34), Box(30, 0, 96, 58)), Body(red, 0.5f));
    a.S(Ellipse(64, 44, 16, 34), 1, Hex(0x7A1410), 0.6f);
    a.F(Ellipse(64, 10, 5, 3), Body(Hex(0x8A1E18)));
    a.F(Box(34, 52, 94, 59, 2), Body(Hex(0xF0F0F0), 0.1f));
}

void DrawTeapot(Art& a) {
    auto blue = [](float x, float y, Rgb b) { return (y > 38 && y < 44) ? Hex(0x3A6AC0) : b; };
    a.S(Circle(13, 40, 9), 5, Hex(0xE8E8E0));
    a.S(Circle(13, 40, 9), 1, kInk);
    a.F(Polygon(P{{54, 40}, {86, 33}, {92, 36}, {84, 42}, {60, 56}}), Body(Hex(0xE8E8E0)));
    a.F(Ellipse(36, 42, 25, 19), Tex(Hex(0xF0F0E8), blue));
    a.F(Intersect(Ellipse(36, 24, 14, 9), Box(0, 0, 96, 25)), Body(Hex(0xE0E0D8)));
    a.F(Circle(36, 13, 3.5f), Body(Hex(0x3A6AC0)));
}

void DrawScarf(Art& a) {
    auto stripes = [](float x, float y, Rgb b) {
        Rgb c = int(y / 12) % 2 ? Hex(0xF0E0C0) : b;
        return Scale(c, int(x) % 3 == 0 ? 0.9f : 1.0f);
    };
    a.F(Box(6, 12, 26, 148, 3), Tex(Hex(0xC03030), stripes));
    for (int x = 8; x <= 24; x += 3) {
        a.L(float(x), 148, float(x), 157, 1.2f, Hex(0xC03030));
        a.L(float(x), 3, float(x), 12, 1.2f, Hex(0xC03030));
    }
}

void DrawSkateboard(Art& a) {
    a.F(Circle(26, 25, 5), Body(Hex(0xF0D070)));
    a.F(Circle(102, 25, 5), Body(Hex(0xF0D070)));
    a.F(Box(3, 7, 125, 21, 7), Tex(Hex(0x303038), [](float x, float y, Rgb b) {
            return (y > 12 && y < 16 && x > 20 && x < 108) ? Mix(Hex(0xF08020), Hex(0xF0D020), (x - 20) / 88) : b;
        }));
}

void DrawCamera(Art& a) {
    a.F(Polygon(P{{36, 12}, {60, 12}, {66, 34}, {30, 34}}), Body(Hex(0x2A2A30)));
    a.F(Box(40, 16, 50, 22, 1), Body(Hex(0xC0E0F0), 0.1f));
    a.F(Box(3, 32, 93, 61, 4), Tex(Hex(0x303036), [](float x, float y, Rgb b) {
            return (y < 38) ? Hex(0xB8B8C0) : Scale(b, 0.9f + 0.2f * Hash01(uint32_t(x), uint32_t(y), 9));
        }));
    a.F(Box(76, 26, 88, 33, 1), Body(Hex(0xA0A0A8)));
    a.F(Circle(48, 47, 13), Body(Hex(0xB0B0B8), 0.5f));
    a.F(Circle(48, 47, 9), Body(Hex(0x1A2030), 0.3f));
    a.F(Circle(45, 44, 3), Hex(0x90B0E0));
    a.F(Box(10, 40, 22, 46, 1), Hex(0xE05030));
}

void DrawSunHat(Art& a) {
    auto straw = [](float x, float y, Rgb b) { return Scale(b, 0.9f + 0.15f * std::fabs(std::sin((x * 0.8f + y * 0.4f)))); };
    a.F(Ellipse(48, 47, 45, 12), Tex(Hex(0xE0BC70), straw));
    a.F(Box(33, 8, 63, 46, 9), Tex(Hex(0xE8C878), straw));
    a.F(Box(33, 34, 63, 42, 0), Body(Hex(0xC8342A), 0.2f));
}

void DrawTShirt(Art& a) {
    Rgb green = Hex(0x48A060);
    a.F(Polygon(P{{3, 9}, {36, 3}, {60, 3}, {93, 9}, {93, 28}, {62, 28}, {62, 61}, {34, 61}, {34, 28}, {3, 28}}), Tex(green, Grain(0.15f, 21)));
    a.F(Ellipse(48, 3, 10, 5), Body(Hex(0x2E7040), 0.1f));
    a.F(Polygon(P{{48, 32}, {51, 39}, {58, 39}, {52, 43}, {54, 50}, {48, 46}, {42, 50}, {44, 43}, {38, 39}, {45, 39}}), Hex(0xF8F0C0));
}

void DrawSock(Art& a) {
    auto st = [](float, float y, Rgb b) { return (y < 14) ? Hex(0xF0F0F0) : (int(y / 8) % 2 ? Scale(b, 0.85f) : b); };
    a.F(Polygon(P{{6, 3}, {28, 3}, {28, 68}, {56, 68}, {61, 78}, {58, 92}, {16, 92}, {6, 82}}), Tex(Hex(0xE06040), st));
    a.F(Polygon(P{{48, 69}, {56, 68}, {61, 78}, {58, 92}, {48, 92}}), Flat(Hex(0xF0F0F0)));
    a.S(Polygon(P{{6, 3}, {28, 3}, {28, 68}, {56, 68}, {61, 78}, {58, 92}, {16, 92}, {6, 82}}), 1.5f, kInk);
}

void DrawSneaker(Art& a) {
    Sdf shoe = Polygon(P{{4, 10}, {28, 6}, {32, 34}, {70, 38}, {90, 46}, {92, 56}, {4, 56}});
    a.F(shoe, Body(Hex(0x3C6CC8)));
    a.F(Box(2, 52, 94, 61, 3), Body(Hex(0xF4F4F0), 0.2f));
    a.F(Polygon(P{{14, 40}, {70, 42}, {60, 48}, {20, 48}}), Body(Hex(0xF4F4F0), 0.1f));
    for (int k = 0; k < 4; k++) a.L(30.0f + k * 8, 34.0f + k * 1.2f, 36.0f + k * 8, 40, 1.5f, Hex(0xF8F8F8));
    a.F(Box(4, 8, 28, 14, 2), Body(Hex(0x2A4C90)));
}

void DrawHairdryer(Art& a) {
    Rgb pink = Hex(0xE07AA8);
    a.F(Capsule(17, 30, 20, 58, 8), Body(Hex(0xC85A8A)));
    a.F(Box(8, 6, 84, 30, 8), Body(pink, 0.5f));
    a.F(Box(80, 9, 93, 27, 2), Body(Hex(0x505058)));
    a.F(Circle(16, 18, 12), Body(Hex(0xC85A8A)));
    for (int k = -2; k <= 2; k++) a.L(10, 18.0f + k * 4, 22, 18.0f + k * 4, 1.5f, Hex(0x5A2A40));
    a.F(Box(14, 38, 22, 44, 1), Body(Hex(0xF0F0F0), 0.1f));
}

void DrawBook(Art& a) {
    a.F(Box(3, 4, 61, 60, 3), Body(Hex(0x8E2A2A)));
    a.F(Box(52, 7, 60, 57, 0), Tex(Hex(0xF0E8D0), [](float x, float, Rgb b) { return int(x) % 2 ? Scale(b, 0.85f) : b; }, 0));
    a.F(Box(3, 4, 12, 60, 2), Body(Hex(0x6A1C1C)));
    a.F(Box(20, 16, 46, 30, 1), Body(Hex(0xE0B840), 0.3f));
    a.L(24, 23, 42, 23, 1.5f, Hex(0x6A1C1C));
}

void DrawAlarmClock(Art& a) {
    a.F(Circle(13, 13, 10), Body(Hex(0xD03838)));
    a.F(Circle(51, 13, 10), Body(Hex(0xD03838)));
    a.L(14, 52, 8, 61, 3, Hex(0x402020));
    a.L(50, 52, 56, 61, 3, Hex(0x402020));
    a.F(Circle(32, 35, 25), Body(Hex(0xD03838)));
    a.F(Circle(32, 35, 19), Body(Hex(0xFAF4E0), 0.1f));
    for (int k = 0; k < 12; k++) {
        float an = float(k) * 3.14159f / 6;
        a.F(Circle(32 + 15 * std::cos(an), 35 + 15 * std::sin(an), 1.2f), Hex(0x303030));
    }
    a.L(32, 35, 32, 24, 2, Hex(0x202020));
    a.L(32, 35, 40, 38, 2, Hex(0x202020));
    a.F(Circle(32, 9, 3), Body(Hex(0x909090)));
}

void DrawBeachBall(Art& a) {
    auto seg = [](float x, float y, Rgb) {
        float an = std::atan2(y - 32, x - 32);
        int k = int(std::floor((an + 3.14159f) / (3.14159f / 3))) % 6;
        static const uint32_t cols[6] = {0xE03A30, 0xF8F8F0, 0x2E70D0, 0xF8F8F0, 0xF0C020, 0xF8F8F0};
        return Hex(cols[k]);
    };
    a.F(Circle(32, 32, 29), Tex(Hex(0xFFFFFF), seg, 0.5f));
    a.F(Circle(32, 32, 5), Body(Hex(0xF8F8F0), 0.2f));
    a.F(Ellipse(22, 18, 6, 4), Flat(Hex(0xFFFFFF)));
}

void DrawBoot(Art& a) {
    Sdf boot = Polygon(P{{6, 3}, {28, 3}, {30, 36}, {52, 40}, {61, 48}, {61, 56}, {4, 56}});
    a.F(boot, Tex(Hex(0x8A5228), Grain(0.2f, 31)));
    a.F(Box(2, 53, 62, 61, 2), Body(Hex(0x3A2414)));
    a.F(Box(4, 3, 30, 10, 2), Body(Hex(0x6A3C1C)));
    a.L(6, 36, 30, 36, 1.2f, Hex(0x5A3418), 0.8f);
}

void DrawDuck(Art& a) {
    Rgb yellow = Hex(0xF8D030);
    a.F(Polygon(P{{50, 34}, {62, 30}, {60, 44}}), Body(yellow));
    a.F(Ellipse(35, 46, 26, 15), Body(yellow, 0.5f));
    a.F(Circle(18, 19, 13), Body(yellow, 0.5f));
    a.F(Ellipse(6, 22, 6, 3.5f), Body(Hex(0xF07820)));
    a.F(Circle(16, 15, 2.5f), Hex(0x101010));
    a.S(Ellipse(38, 44, 12, 6), 1.2f, Hex(0xC0A020));
}

void DrawMitten(Art& a) {
    auto knit = [](float x, float y, Rgb b) {
        float gx = std::fmod(x, 8.0f) - 4, gy = std::fmod(y, 8.0f) - 4;
        return std::fabs(gx) + std::fabs(gy) < 1.8f ? Hex(0xF0F0F8) : b;
    };
    a.F(Capsule(28, 30, 48, 12, 7), Tex(Hex(0x3C78C8), knit));
    a.F(Box(4, 4, 32, 48, 12), Tex(Hex(0x3C78C8), knit));
    a.F(Box(4, 44, 30, 61, 2), Tex(Hex(0xF0F0F8), [](float x, float, Rgb b) { return int(x) % 3 ? b : Scale(b, 0.85f); }));
}

void DrawToothbrush(Art& a) {
    a.F(Capsule(5, 20, 72, 18, 4), Body(Hex(0x3AAAD8)));
    a.F(Box(68, 13, 93, 21, 3), Body(Hex(0x3AAAD8)));
    a.F(Box(70, 4, 91, 13, 1), Tex(Hex(0xF8F8F8), [](float x, float, Rgb b) {
            return int(x) % 4 < 2 ? b : Hex(0x70C8F0);
        }, 0.1f));
}

void DrawFlashlight(Art& a) {
    a.F(Box(4, 9, 64, 23, 3), Tex(Hex(0x30303A), [](float x, float, Rgb b) { return int(x) % 6 < 2 ? Scale(b, 1.5f) : b; }));
    a.F(Polygon(P{{60, 9}, {72, 4}, {93, 4}, {93, 28}, {72, 28}, {60, 23}}), Body(Hex(0xB8B8C0), 0.5f));
    a.F(Box(88, 6, 93, 26, 1), Flat(Hex(0xF8F0A0)));
    a.F(Box(36, 6, 46, 10, 1), Body(Hex(0xD04030)));
}

void DrawWineBottle(Art& a) {
    Sdf bottle = Union(Box(12, 6, 20, 40, 2), Union(Box(5, 40, 27, 93, 5), Polygon(P{{12, 30}, {20, 30}, {27, 46}, {5, 46}})));
    a.F(bottle, Body(Hex(0x2E5A36), 0.6f));
    a.F(Box(11, 3, 21, 16, 1), Body(Hex(0x8A1E28)));
    a.F(Box(7, 56, 25, 80, 1), Body(Hex(0xF0E6C8), 0.1f));
    a.L(10, 64, 22, 64, 1.5f, Hex(0x8A1E28));
    a.L(11, 70, 21, 70, 1, Hex(0x505050));
    a.L(9, 44, 9, 88, 1.5f, Hex(0x6AA070), 0.6f);
}

void DrawTie(Art& a) {
    auto stripes = [](float x, float y, Rgb b) { return int((x + y) / 5) % 3 == 0 ? Hex(0xE0B040) : b; };
    a.F(Polygon(P{{12, 16}, {20, 16}, {27, 82}, {16, 93}, {5, 82}}), Tex(Hex(0x203A78), stripes));
    a.F(Polygon(P{{9, 3}, {23, 3}, {20, 17}, {12, 17}}), Tex(Hex(0x203A78), stripes));
}

void DrawToothpaste(Art& a) {
    a.F(Box(51, 11, 61, 21, 2), Body(Hex(0x2E5AC0)));
    a.F(Polygon(P{{8, 5}, {52, 9}, {52, 23}, {8, 27}}), Tex(Hex(0xF4F4F4), [](float x, float y, Rgb b) {
            return (y > 13 && y < 19 && x > 14) ? Hex(0xD83030) : b;
        }));
    a.F(Box(3, 4, 10, 28, 1), Tex(Hex(0xD8D8D8), [](float, float y, Rgb b) { return int(y) % 3 ? b : Scale(b, 0.7f); }));
}

void DrawSunglasses(Art& a) {
    a.L(17, 8, 47, 8, 2.5f, Hex(0x202020));
    a.F(Ellipse(17, 17, 13, 10), Body(Hex(0x1A1A24), 0.4f));
    a.F(Ellipse(47, 17, 13, 10), Body(Hex(0x1A1A24), 0.4f));
    a.L(10, 12, 16, 18, 2, Hex(0x6A7AA0), 0.8f);
    a.L(40, 12, 46, 18, 2, Hex(0x6A7AA0), 0.8f);
}

void DrawBanana(Art& a) {
    Sdf moon = Intersect(Subtract(Circle(32, -26, 50), Circle(32, -34, 48)), Box(4, 0, 60, 32));
    a.F(moon, Body(Hex(0xF4D040), 0.5f));
    a.F(Circle(6, 14, 3), Hex(0x4A3010));
    a.F(Circle(58, 14, 3), Hex(0x4A3010));
}

void DrawShampoo(Art& a) {
    a.F(Box(5, 14, 27, 61, 6), Body(Hex(0x7A4EC8), 0.5f));
    a.F(Box(10, 3, 22, 15, 2), Body(Hex(0xF0F0F0)));
    a.F(Box(8, 30, 24, 48, 2), Body(Hex(0xF8E8F8), 0.1f));
    a.F(Circle(16, 39, 4), Hex(0x7A4EC8));
}

void DrawWaterBottle(Art& a) {
    a.F(Box(6, 12, 26, 61, 6), Tex(Hex(0x9AC8EC), [](float, float y, Rgb b) { return y > 28 ? Scale(b, 0.8f) : Mix(b, Hex(0xFFFFFF), 0.4f); }, 0.5f));
    a.F(Box(10, 3, 22, 13, 2), Body(Hex(0x2E6AC0)));
    a.L(10, 20, 10, 56, 2, Hex(0xFFFFFF), 0.7f);
}

void DrawWatch(Art& a) {
    a.F(Box(10, 1, 22, 31, 2), Body(Hex(0x6A3C1C)));
    a.F(Circle(16, 16, 10), Body(Hex(0xC0C0C8), 0.5f));
    a.F(Circle(16, 16, 7), Flat(Hex(0xF8F8F0)));
    a.L(16, 16, 16, 11, 1.5f, Hex(0x202020));
    a.L(16, 16, 20, 17, 1.5f, Hex(0x202020));
}

void DrawPassport(Art& a) {
    a.F(Box(5, 3, 27, 29, 2), Body(Hex(0x7A1E2C)));
    a.S(Circle(16, 14, 5), 1.2f, Hex(0xE0B840));
    a.L(10, 23, 22, 23, 1.2f, Hex(0xE0B840));
}

void DrawApple(Art& a) {
    a.F(Union(Circle(12, 19, 10), Circle(20, 19, 10)), Body(Hex(0xD03028), 0.5f));
    a.L(16, 10, 18, 3, 2, Hex(0x5A3418));
    a.F(Ellipse(22, 6, 5, 2.5f), Body(Hex(0x4AA040), 0.2f));
    a.F(Ellipse(11, 15, 2.5f, 3.5f), Flat(Hex(0xF8B0A0)));
}

// A leaf: the lens where two circles meet, from (x0, y0) to (x1, y1).
Sdf Leaf(float x0, float y0, float x1, float y1, float width) {
    float mx = (x0 + x1) / 2, my = (y0 + y1) / 2, dx = x1 - x0, dy = y1 - y0;
    float half = std::hypot(dx, dy) / 2, w = width / 2;
    float r = (half * half + w * w) / (2 * w), off = r - w;
    float nx = -dy / (2 * half), ny = dx / (2 * half);
    return Intersect(Circle(mx + nx * off, my + ny * off, r), Circle(mx - nx * off, my - ny * off, r));
}

void DrawBackpack(Art& a) {
    Rgb orange = Hex(0xD8642A);
    a.S(Box(36, 4, 60, 30, 10), 5, Hex(0x5A3018));
    a.F(Box(4, 30, 92, 125, 12), Tex(orange, Grain(0.18f, 41, 0.7f)));
    a.F(Box(10, 30, 86, 56, 10), Body(Hex(0xB84E1E), 0.3f));
    a.L(12, 44, 84, 44, 1.2f, Hex(0xF0D060));
    a.F(Box(18, 70, 78, 118, 8), Tex(Hex(0xC25422), Grain(0.15f, 42, 0.7f)));
    a.L(22, 78, 74, 78, 1.5f, Hex(0xF0D060));
    a.F(Box(44, 74, 52, 82, 1), Body(Hex(0xD0D0D0)));
    for (float x : {12.0f, 80.0f}) a.F(Box(x - 3, 58, x + 3, 122, 2), Body(Hex(0x5A3018), 0.2f));
}

void DrawSaucepan(Art& a) {
    a.F(Capsule(92, 20, 122, 20, 5), Body(Hex(0x2A2A30)));
    a.F(Circle(116, 20, 1.8f), Hex(0x808080));
    a.F(Box(6, 18, 90, 60, 6), Tex(Hex(0xB8BEC6), [](float x, float, Rgb b) {
            return Scale(b, 0.85f + 0.3f * std::exp(-std::pow((x - 30) / 14, 2.0f)));
        }, 0.4f));
    a.F(Box(2, 13, 94, 21, 3), Body(Hex(0xD4D8DE), 0.4f));
    a.F(Ellipse(48, 6, 10, 4), Body(Hex(0x2A2A30)));
    a.F(Box(10, 8, 86, 14, 3), Body(Hex(0xC8CCD2), 0.3f));
    a.L(14, 36, 82, 36, 1.2f, Hex(0x8A9098), 0.6f);
}

void DrawRadio(Art& a) {
    a.L(80, 22, 86, 4, 3, Hex(0x9098A0));
    a.F(Circle(86, 4, 3), Body(Hex(0xB0B8C0)));
    a.F(Box(68, 20, 90, 40, 3), Body(Hex(0x5A3A22)));
    a.F(Box(4, 34, 92, 92, 7), Tex(Hex(0x8A5A32), [](float, float y, Rgb b) { return Scale(b, 0.95f + 0.08f * std::sin(y * 0.9f)); }));
    a.F(Circle(30, 63, 21), Body(Hex(0xE8DCC0), 0.2f));
    for (float y = 48; y <= 78; y += 5) a.L(13, y, 47, y, 1.2f, Hex(0x8A7050), 0.9f);
    a.F(Box(56, 44, 86, 60, 2), Body(Hex(0xF0E0A0), 0.1f));
    for (float x = 60; x <= 82; x += 4) a.L(x, 48, x, 52, 1, Hex(0x5A4020));
    a.L(70, 45, 70, 59, 1.5f, Hex(0xD03020));
    a.F(Circle(62, 76, 6), Body(Hex(0x303030)));
    a.F(Circle(80, 76, 6), Body(Hex(0x303030)));
}

void DrawCooler(Art& a) {
    a.S(Box(26, 4, 70, 16, 4), 3.5f, Hex(0x404040));
    a.F(Box(4, 18, 92, 60, 5), Tex(Hex(0x2E6AC0), [](float, float y, Rgb b) { return y > 44 && y < 50 ? Hex(0xF0F0F0) : b; }));
    a.F(Box(2, 10, 94, 22, 4), Body(Hex(0xF4F4F0), 0.3f));
    a.F(Box(38, 26, 58, 36, 2), Body(Hex(0xF4F4F0), 0.2f));
    a.F(Box(8, 16, 14, 26, 1), Body(Hex(0x404040)));
    a.F(Box(82, 16, 88, 26, 1), Body(Hex(0x404040)));
}

void DrawToyCar(Art& a) {
    a.F(Polygon(P{{34, 34}, {46, 6}, {88, 6}, {102, 34}}), Body(Hex(0xC8302A)));
    a.F(Polygon(P{{44, 30}, {51, 12}, {65, 12}, {65, 30}}), Body(Hex(0xA8D8F0), 0.2f));
    a.F(Polygon(P{{70, 30}, {70, 12}, {84, 12}, {92, 30}}), Body(Hex(0xA8D8F0), 0.2f));
    a.F(Box(3, 30, 125, 52, 8), Body(Hex(0xD8382E), 0.4f));
    a.F(Box(112, 34, 124, 40, 2), Hex(0xF8E890));
    a.F(Box(4, 34, 12, 40, 2), Hex(0xE04030));
    a.L(66, 32, 66, 50, 1.2f, Hex(0x8A1E18));
    for (float x : {30.0f, 98.0f}) {
        a.F(Circle(x, 52, 10), Body(Hex(0x202024)));
        a.F(Circle(x, 52, 4), Body(Hex(0xC0C0C8)));
    }
}

void DrawSailboat(Art& a) {
    a.F(Polygon(P{{46, 6}, {46, 62}, {88, 62}}), Tex(Hex(0xF8F4E8), [](float, float y, Rgb b) { return int(y) % 14 < 2 ? Scale(b, 0.85f) : b; }));
    a.F(Polygon(P{{44, 4}, {56, 8}, {44, 12}}), Body(Hex(0xE03030), 0.1f));
    a.L(45, 4, 45, 68, 3, Hex(0x6A4020));
    a.F(Polygon(P{{2, 66}, {94, 66}, {80, 92}, {16, 92}}), Tex(Hex(0x2E5AB0), [](float, float y, Rgb b) { return y > 72 && y < 77 ? Hex(0xF0F0F0) : b; }));
}

void DrawPlant(Art& a) {
    Rgb leaf = Hex(0x3C9A44), dark = Hex(0x2A7032);
    auto vein = [](float, float, Rgb b) { return b; };
    a.L(48, 70, 18, 18, 2.5f, dark);
    a.L(48, 70, 78, 18, 2.5f, dark);
    a.F(Leaf(6, 4, 38, 44, 20), Tex(leaf, vein));
    a.F(Leaf(90, 4, 58, 44, 20), Tex(leaf, vein));
    a.F(Leaf(4, 50, 46, 62, 18), Tex(Hex(0x48AA4E), vein));
    a.F(Leaf(92, 50, 50, 62, 18), Tex(Hex(0x48AA4E), vein));
    a.F(Leaf(40, 66, 56, 36, 12), Tex(leaf, vein));
    a.L(12, 10, 36, 40, 1, Hex(0x8AD080), 0.7f);
    a.L(84, 10, 60, 40, 1, Hex(0x8AD080), 0.7f);
    a.F(Polygon(P{{34, 70}, {62, 70}, {58, 93}, {38, 93}}), Body(Hex(0xC0643A)));
    a.F(Box(32, 66, 64, 74, 2), Body(Hex(0xD07448)));
}

void DrawChair(Art& a) {
    Rgb wood = Hex(0xA86A34);
    a.F(Box(6, 4, 18, 92, 3), Tex(wood, [](float, float y, Rgb b) { return Scale(b, 0.93f + 0.08f * std::sin(y * 0.6f)); }));
    a.F(Box(18, 10, 26, 18, 1), Body(Hex(0x8C5428)));
    a.F(Box(18, 24, 26, 30, 1), Body(Hex(0x8C5428)));
    a.F(Box(78, 48, 88, 92, 3), Body(wood));
    a.F(Box(4, 44, 92, 54, 3), Body(Hex(0xB87A40)));
    a.F(Box(20, 36, 90, 46, 5), Body(Hex(0x3A7ABF), 0.4f));
    a.L(18, 74, 80, 74, 3, Hex(0x8C5428));
}

void DrawHammer(Art& a) {
    a.F(Box(40, 22, 56, 93, 4), Tex(Hex(0xC8924A), [](float x, float, Rgb b) { return Scale(b, 0.92f + 0.1f * std::sin(x * 0.8f)); }));
    a.F(Box(40, 68, 56, 93, 4), Body(Hex(0x2A2A2A), 0.2f));
    a.F(Polygon(P{{4, 5}, {22, 5}, {25, 9}, {66, 9}, {92, 15}, {92, 19}, {66, 25}, {25, 25}, {22, 29}, {4, 29}}),
        Body(Hex(0x8A929C), 0.5f));
    a.L(8, 9, 8, 25, 1.5f, Hex(0xC8D0D8), 0.8f);
}

void DrawBinoculars(Art& a) {
    Rgb body = Hex(0x2E3238);
    a.F(Box(30, 36, 66, 50, 3), Body(Hex(0x3A3E46)));
    a.F(Circle(48, 43, 6), Body(Hex(0x606870)));
    for (float x : {17.0f, 79.0f}) {
        a.F(Box(x - 9, 3, x + 9, 18, 3), Body(Hex(0x1E2024)));
        a.F(Box(x - 14, 16, x + 14, 60, 5), Tex(body, [](float, float y, Rgb b) { return int(y) % 5 == 0 && y > 24 && y < 50 ? Scale(b, 1.5f) : b; }));
        a.F(Ellipse(x, 56, 11, 4), Body(Hex(0x6A9AD0), 0.2f));
    }
    a.L(8, 6, 26, 6, 1, Hex(0x808890), 0.6f);
    a.L(70, 6, 88, 6, 1, Hex(0x808890), 0.6f);
}

void DrawShorts(Art& a) {
    auto side = [](float x, float, Rgb b) { return (x > 6 && x < 11) || (x > 85 && x < 90) ? Hex(0xF4F4F0) : b; };
    a.F(Polygon(P{{4, 8}, {92, 8}, {94, 60}, {64, 60}, {60, 36}, {36, 36}, {32, 60}, {2, 60}}), Tex(Hex(0x3A8AD0), side));
    a.F(Box(4, 3, 92, 12, 2), Body(Hex(0x2A6AA8)));
    a.L(46, 12, 42, 22, 1.5f, Hex(0xF4F4F0));
    a.L(50, 12, 54, 22, 1.5f, Hex(0xF4F4F0));
    a.L(48, 12, 48, 34, 1.2f, Hex(0x2A6AA8));
}

void DrawSkis(Art& a) {
    for (float y : {9.0f, 23.0f}) {
        float dx = y > 10 ? 6.0f : 0.0f;
        a.F(Union(Box(4 + dx, y - 4, 146 + dx, y + 4, 3), Circle(150 + dx, y - 2, 5)), Tex(Hex(0xD03030), [y](float, float sy, Rgb b) {
                return std::fabs(sy - y) < 1.2f ? Hex(0xF8F0E0) : b;
            }));
        a.F(Box(62 + dx, y - 6, 90 + dx, y + 6, 2), Body(Hex(0x303038)));
        a.F(Box(70 + dx, y - 3, 82 + dx, y + 3, 1), Body(Hex(0xE0C040), 0.1f));
    }
}

void DrawIron(Art& a) {
    a.F(Polygon(P{{10, 36}, {14, 10}, {58, 10}, {62, 32}, {52, 32}, {50, 20}, {22, 20}, {20, 36}}), Body(Hex(0x303038)));
    a.F(Polygon(P{{4, 54}, {4, 34}, {48, 28}, {74, 38}, {93, 54}}), Body(Hex(0x4AA8D8), 0.5f));
    a.F(Polygon(P{{3, 52}, {94, 52}, {92, 60}, {3, 60}}), Body(Hex(0xC8CCD4), 0.4f));
    a.F(Circle(30, 42, 5), Body(Hex(0xF0F0F0), 0.2f));
    a.L(30, 42, 33, 39, 1.2f, Hex(0xD03020));
}

void DrawSwimRing(Art& a) {
    auto seg = [](float x, float y, Rgb) {
        float an = std::atan2(y - 32, x - 32);
        return int(std::floor((an + 3.14159f) / (3.14159f / 4))) % 2 ? Hex(0xF4F4F0) : Hex(0xE03A30);
    };
    a.F(Subtract(Circle(32, 32, 29), Circle(32, 32, 12)), Tex(Hex(0xE03A30), seg, 0.6f));
    a.S(Circle(32, 32, 20), 1, Hex(0xF8C0B0), 0.5f);
}

void DrawCane(Art& a) {
    Rgb wood = Hex(0x7A4A24);
    a.F(Intersect(Subtract(Circle(31, 24, 18), Circle(31, 24, 9)), Box(0, 0, 64, 24)), Body(wood, 0.4f));
    a.F(Box(13, 22, 22, 34, 4), Body(wood, 0.4f));
    a.F(Box(40, 22, 49, 88, 3), Tex(wood, [](float, float y, Rgb b) { return Scale(b, 0.95f + 0.07f * std::sin(y * 0.5f)); }, 0.4f));
    a.F(Box(39, 84, 50, 94, 2), Body(Hex(0x202020)));
    a.F(Box(39, 26, 50, 30, 1), Hex(0xD0B050));
}

void DrawFlag(Art& a) {
    auto stripes = [](float, float y, Rgb b) { return int(y / 6) % 2 ? Hex(0xF0D040) : b; };
    P cloth;
    for (int k = 0; k <= 8; k++) cloth.push_back({14.0f + 6 * k, 5.0f + 3 * std::sin(k * 0.9f)});
    for (int k = 8; k >= 0; k--) cloth.push_back({14.0f + 6 * k, 30.0f + 3 * std::sin(k * 0.9f)});
    a.F(Polygon(cloth), Tex(Hex(0x2E6AC0), stripes));
    a.F(Box(6, 3, 14, 84, 3), Body(Hex(0xB0B0B8), 0.5f));
    a.F(Circle(10, 4, 4), Body(Hex(0xE0C040)));
    a.F(Box(2, 84, 18, 94, 3), Body(Hex(0x505058)));
}

void DrawSlippers(Art& a) {
    for (auto [x, y] : {std::pair{16.0f, 4.0f}, std::pair{48.0f, 36.0f}}) {
        a.F(Box(x - 12, y, x + 12, y + 56, 12), Body(Hex(0xE890B0), 0.3f));
        a.F(Box(x - 9, y + 4, x + 9, y + 50, 9), Flat(Hex(0xF8D8E4)));
        a.F(Box(x - 13, y + 8, x + 13, y + 28, 9), Tex(Hex(0xF0F0F8), Grain(0.25f, 51, 1.5f), 0.4f));
        a.F(Circle(x, y + 14, 4), Body(Hex(0xE05080), 0.2f));
    }
}

void DrawLamp(Art& a) {
    a.F(Box(12, 30, 20, 118, 2), Body(Hex(0x505058), 0.5f));
    a.L(16, 60, 16, 100, 1, Hex(0xA0A0A8), 0.7f);
    a.F(Ellipse(16, 121, 13, 5), Body(Hex(0x404048)));
    a.F(Polygon(P{{8, 4}, {24, 4}, {30, 34}, {2, 34}}), Tex(Hex(0xF0D070), [](float, float y, Rgb b) { return y > 28 ? Scale(b, 0.85f) : b; }));
    a.F(Box(14, 34, 18, 40, 1), Hex(0xF8F0C0));
}

void DrawSnorkel(Art& a) {
    a.F(Box(44, 8, 54, 52, 4), Body(Hex(0xF08020), 0.4f));
    a.F(Box(42, 3, 56, 10, 2), Body(Hex(0x303030)));
    a.F(Box(3, 38, 58, 60, 8), Body(Hex(0x2E6AC0)));
    a.F(Ellipse(17, 49, 10, 7), Body(Hex(0xB8E0F8), 0.2f));
    a.F(Ellipse(41, 49, 10, 7), Body(Hex(0xB8E0F8), 0.2f));
    a.L(13, 46, 17, 44, 1.5f, Hex(0xFFFFFF), 0.8f);
    a.L(37, 46, 41, 44, 1.5f, Hex(0xFFFFFF), 0.8f);
}

void DrawThermos(Art& a) {
    a.F(Box(6, 22, 26, 93, 5), Tex(Hex(0x3A8A5A), [](float x, float, Rgb b) { return Scale(b, 0.85f + 0.3f * std::exp(-std::pow((x - 12) / 4, 2.0f))); }, 0.4f));
    a.F(Box(6, 52, 26, 60, 1), Body(Hex(0xD0D4D8), 0.3f));
    a.F(Box(5, 4, 27, 22, 4), Body(Hex(0x2A2A30)));
    a.F(Box(9, 20, 23, 25, 1), Body(Hex(0xC0C4C8)));
}

void DrawComb(Art& a) {
    Rgb c = Hex(0x3A6AC8);
    for (float x = 6; x <= 58; x += 3.3f) a.L(x, 12, x, 27, 1.6f, c);
    a.F(Box(3, 5, 61, 14, 3), Body(c, 0.4f));
}

void DrawPhone(Art& a) {
    a.F(Box(5, 3, 27, 61, 5), Body(Hex(0x24262C), 0.3f));
    a.F(Box(8, 10, 24, 52, 1), Tex(Hex(0x2E5AB0), [](float, float y, Rgb b) { return Mix(b, Hex(0x60C0E0), (y - 10) / 42); }, 0));
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 3; c++) a.F(Box(10 + c * 5.0f, 14 + r * 6.0f, 13 + c * 5.0f, 17 + r * 6.0f, 1), Hex(0xF0F0F0));
    a.F(Circle(16, 57, 2), Hex(0x70747C));
    a.L(13, 6, 19, 6, 1.2f, Hex(0x70747C));
}

void DrawCandle(Art& a) {
    a.F(Ellipse(16, 14, 5, 9), Body(Hex(0xF8A020), 0.2f));
    a.F(Ellipse(16, 16, 2.5f, 5), Flat(Hex(0xFFF0A0)));
    a.L(16, 20, 16, 25, 1.2f, Hex(0x302010));
    a.F(Box(8, 24, 24, 61, 2), Tex(Hex(0xF4ECD8), [](float x, float, Rgb b) { return Scale(b, 0.9f + 0.15f * std::exp(-std::pow((x - 12) / 3, 2.0f))); }, 0.3f));
    a.F(Box(6, 56, 26, 62, 2), Body(Hex(0xC89040)));
}

void DrawKeys(Art& a) {
    Rgb silver = Hex(0xC0C4CC), gold = Hex(0xE0B030);
    a.S(Circle(8, 8, 6), 2.5f, Hex(0x8A8E96));
    a.F(Subtract(Union(Circle(9, 22, 7), Box(14, 20, 31, 25, 1)), Circle(8, 22, 2.5f)), Body(silver, 0.4f));
    a.F(Union(Box(20, 25, 23, 29, 0), Box(26, 25, 29, 28, 0)), Body(silver, 0.2f));
    a.F(Subtract(Union(Circle(17, 9, 6.5f), Box(21, 7, 31, 12, 1)), Circle(16, 9, 2.2f)), Body(gold, 0.4f));
    a.F(Union(Box(24, 12, 26, 16, 0), Box(28, 12, 30, 15, 0)), Body(gold, 0.2f));
}

void DrawMug(Art& a) {
    a.S(Circle(24, 18, 5), 3, Hex(0xD04040));
    a.F(Box(5, 8, 24, 29, 3), Body(Hex(0xD04040), 0.4f));
    a.F(Ellipse(14.5f, 9, 8.5f, 2.5f), Flat(Hex(0x5A3418)));
    a.F(Circle(14, 19, 3.5f), Flat(Hex(0xF8F0F0)));
    a.L(11, 5, 12, 1, 1, Hex(0xB0B0B0), 0.8f);
    a.L(17, 5, 18, 1, 1, Hex(0xB0B0B0), 0.8f);
}

void DrawCompass(Art& a) {
    a.F(Circle(16, 5, 3), Body(Hex(0xC09030)));
    a.F(Circle(16, 18, 13), Body(Hex(0xD0A040), 0.5f));
    a.F(Circle(16, 18, 10), Flat(Hex(0xF8F4E8)));
    a.F(Polygon(P{{16, 9}, {19, 18}, {13, 18}}), Hex(0xD03020));
    a.F(Polygon(P{{16, 27}, {19, 18}, {13, 18}}), Hex(0x2E4A90));
    a.F(Circle(16, 18, 1.5f), Hex(0x303030));
}

using DrawFn = void (*)(Art&);
const std::vector<std::pair<const char*, DrawFn>>& Painters() {
    static const std::vector<std::pair<const char*, DrawFn>> p = {
        {"laptop", DrawLaptop}, {"coat", DrawCoat}, {"jeans", DrawJeans}, {"bathrobe", DrawBathrobe}, {"tent", DrawTent}, {"blanket", DrawBlanket},
        {"sleeping-bag", DrawSleepingBag}, {"teddy-bear", DrawTeddy}, {"sweater", DrawSweater},
        {"tennis-racket", DrawRacket}, {"board-game", DrawBoardGame}, {"trophy", DrawTrophy},
        {"dress", DrawDress}, {"guitar", DrawGuitar}, {"pillow", DrawPillow}, {"towel", DrawTowel},
        {"robot", DrawRobot}, {"frying-pan", DrawPan}, {"headphones", DrawHeadphones}, {"kite", DrawKite},
        {"umbrella", DrawUmbrella}, {"cap", DrawCap}, {"teapot", DrawTeapot}, {"scarf", DrawScarf},
        {"skateboard", DrawSkateboard}, {"camera", DrawCamera}, {"sun-hat", DrawSunHat},
        {"t-shirt", DrawTShirt}, {"sock", DrawSock}, {"sneaker", DrawSneaker}, {"hairdryer", DrawHairdryer},
        {"book", DrawBook}, {"alarm-clock", DrawAlarmClock}, {"beach-ball", DrawBeachBall}, {"boot", DrawBoot},
        {"rubber-duck", DrawDuck}, {"mitten", DrawMitten}, {"toothbrush", DrawToothbrush},
        {"flashlight", DrawFlashlight}, {"wine-bottle", DrawWineBottle}, {"tie", DrawTie},
        {"toothpaste", DrawToothpaste}, {"sunglasses", DrawSunglasses}, {"banana", DrawBanana},
        {"shampoo", DrawShampoo}, {"water-bottle", DrawWaterBottle}, {"watch", DrawWatch},
        {"passport", DrawPassport}, {"apple", DrawApple}, {"backpack", DrawBackpack}, {"saucepan", DrawSaucepan},
        {"radio", DrawRadio}, {"cooler", DrawCooler}, {"toy-car", DrawToyCar}, {"sailboat", DrawSailboat},
        {"plant", DrawPlant}, {"chair", DrawChair}, {"hammer", DrawHammer}, {"binoculars", DrawBinoculars},
        {"shorts", DrawShorts}, {"skis", DrawSkis}, {"iron", DrawIron}, {"swim-ring", DrawSwimRing},
        {"cane", DrawCane}, {"flag", DrawFlag}, {"slippers", DrawSlippers}, {"lamp", DrawLamp},
        {"snorkel", DrawSnorkel}, {"thermos", DrawThermos}, {"comb", DrawComb}, {"phone", DrawPhone},
        {"candle", DrawCandle}, {"keys", DrawKeys}, {"mug", DrawMug}, {"compass", DrawCompass},
    };
    return p;
}

}  // namespace

Image16 DrawItem(int i) {
    const ItemShape& s = ItemShapes().at(size_t(i));
    Art a(s);
    for (const auto& [name, fn] : Painters())
        if (s.name == name) fn(a);
    Image16 img = Quantize(a.c);
    // Cells outside the shape stay transparent whatever the art did.
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++)
            if (!s.Solid(x / kCell, y / kCell)) img.At(x, y) = kMagenta;
    CellMask m = MaskFromImage(img);
    for (int r = 0; r < s.H(); r++)
        for (int c = 0; c < s.W(); c++)
            if (m.At(c, r) != s.Solid(c, r))
                throw std::runtime_error("item " + s.name + ": cell " + std::to_string(c) + "," + std::to_string(r) +
                                         " has no ink");
    return img;
}

}  // namespace gen
