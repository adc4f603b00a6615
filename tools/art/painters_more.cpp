// Painters of the items from the backpack to the compass.
#include <cmath>

#include "tools/art/painters.h"

namespace gen {

// A leaf: the lens where two circles meet, from (x0, y0) to (x1, y1).
static Sdf Leaf(float x0, float y0, float x1, float y1, float width) {
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

}  // namespace gen
