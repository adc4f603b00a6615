// Painters of the items from the soap to the toy train: the small things that
// fill the last gaps of a case on a long journey.
#include <array>
#include <cmath>

#include "tools/art/painters.h"

namespace gen {

void DrawSoap(Art& a) {
    a.F(Box(3, 8, 29, 27, 8), Body(Hex(0xF0A8C0), 0.5f));
    a.F(Box(8, 12, 24, 22, 5), Body(Hex(0xF8C8D8), 0.2f));
    for (auto [x, y, r] : {std::array<float, 3>{8, 6, 4}, {15, 4, 3}, {22, 6, 3.5f}}) {
        a.F(Circle(x, y, r), Flat(Hex(0xE8F4FC)));
        a.S(Circle(x, y, r), 1.0f, Hex(0x80A8C8));
    }
}

void DrawLipBalm(Art& a) {
    a.F(Box(10, 3, 22, 14, 4), Body(Hex(0xD84860), 0.4f));
    a.F(Box(8, 12, 24, 29, 2), Body(Hex(0x3CA0C8)));
    a.F(Box(8, 18, 24, 23, 0), Flat(Hex(0xF4F4F0)));
    a.S(Box(8, 12, 24, 29, 2), 1.5f, kInk);
}

void DrawSunscreen(Art& a) {
    Rgb orange = Hex(0xF09028);
    a.F(Polygon(P{{5, 6}, {27, 6}, {25, 50}, {7, 50}}), Body(orange, 0.5f));
    a.F(Box(7, 48, 25, 61, 3), Body(Hex(0xF4F4F0)));
    a.L(7, 53, 25, 53, 1.2f, Hex(0xB0B0B0));
    a.F(Box(4, 3, 28, 9, 2), Body(Hex(0xD87018)));
    a.F(Circle(16, 26, 6), Flat(Hex(0xF8E040)));
    for (int k = 0; k < 8; k++) {
        float an = float(k) * 3.14159f / 4;
        a.L(16 + 8 * std::cos(an), 26 + 8 * std::sin(an), 16 + 10.5f * std::cos(an), 26 + 10.5f * std::sin(an), 1.5f,
            Hex(0xF8E040));
    }
}

void DrawDeodorant(Art& a) {
    a.F(Box(7, 22, 25, 61, 5), Tex(Hex(0xE8ECF0), [](float x, float, Rgb b) {
            return Scale(b, 0.9f + 0.12f * std::exp(-std::pow((x - 12) / 4, 2.0f)));
        }, 0.4f));
    a.F(Box(6, 3, 26, 24, 8), Body(Hex(0x2E58B0), 0.5f));
    a.F(Box(9, 34, 23, 50, 2), Body(Hex(0x2E58B0), 0.1f));
    a.L(12, 42, 20, 42, 1.5f, Hex(0xF4F4F0));
}

void DrawHairbrush(Art& a) {
    a.F(Capsule(5, 16, 30, 16, 5), Body(Hex(0x8A5228)));
    a.F(Box(26, 5, 61, 27, 10), Body(Hex(0x8A5228), 0.4f));
    a.F(Box(30, 9, 57, 23, 6), Flat(Hex(0x303036)));
    for (float x = 34; x <= 54; x += 4)
        for (float y = 12; y <= 20; y += 4) a.F(Circle(x, y, 1.2f), Hex(0xE8E0D0));
}

void DrawGlassesCase(Art& a) {
    a.F(Box(3, 6, 61, 26, 10), Tex(Hex(0x285A48), Grain(0.15f, 51)));
    a.L(6, 16, 58, 16, 1.2f, Hex(0x183A2E));
    a.F(Box(28, 13, 36, 19, 2), Body(Hex(0xD0B060), 0.3f));
    a.S(Box(3, 6, 61, 26, 10), 1.5f, kInk);
}

void DrawWashBag(Art& a) {
    auto check = [](float x, float y, Rgb b) { return (int(x / 6) + int(y / 6)) % 2 ? b : Scale(b, 0.85f); };
    a.F(Box(3, 14, 61, 60, 9), Tex(Hex(0x3A7AB8), check));
    a.F(Box(3, 14, 61, 22, 4), Body(Hex(0x2A5A88), 0.2f));
    for (float x = 8; x <= 56; x += 3) a.L(x, 17, x, 20, 1, Hex(0xD0D0D0));
    a.F(Capsule(46, 18, 50, 30, 2.5f), Body(Hex(0xD0D0D8)));
    a.S(Box(18, 4, 46, 16, 6), 3.5f, Hex(0x2A5A88));
}

void DrawFirstAidKit(Art& a) {
    a.S(Box(22, 4, 42, 14, 4), 3.5f, Hex(0x404040));
    a.F(Box(3, 12, 61, 60, 5), Body(Hex(0x2E9A58), 0.4f));
    a.F(Box(27, 22, 37, 52, 1), Flat(Hex(0xF8F8F4)));
    a.F(Box(17, 32, 47, 42, 1), Flat(Hex(0xF8F8F4)));
    a.L(4, 18, 60, 18, 1.2f, Hex(0x1E6A3C));
}

void DrawCharger(Art& a) {
    for (float y : {10.0f, 22.0f}) a.F(Box(2, y - 2, 10, y + 2, 1), Body(Hex(0xC0C0C8), 0.3f));
    // A travel brick, wide enough to fill the first row's two cells.
    a.F(Box(8, 4, 40, 28, 4), Body(Hex(0xF4F4F0), 0.4f));
    a.F(Box(12, 12, 18, 20, 1), Flat(Hex(0x50C060)));
    a.L(40, 16, 46, 16, 2.5f, Hex(0x303036));
    a.S(Circle(48, 26, 8), 2.5f, Hex(0x303036));
    a.L(48, 34, 48, 44, 2.5f, Hex(0x303036));
    a.F(Box(42, 42, 54, 56, 2), Body(Hex(0xF4F4F0)));
    a.F(Box(45, 55, 51, 61, 1), Body(Hex(0xA0A0A8)));
}

void DrawTravelMug(Art& a) {
    Rgb red = Hex(0xC83C34);
    a.S(Box(20, 38, 46, 62, 8), 5, Hex(0x2A2A30));
    a.F(Polygon(P{{5, 14}, {27, 14}, {25, 93}, {7, 93}}), Tex(red, [](float, float y, Rgb b) {
            return y > 44 && y < 70 ? Hex(0xE8E8E0) : b;
        }, 0.5f));
    a.F(Box(3, 4, 29, 16, 3), Body(Hex(0x2A2A30)));
    a.F(Box(10, 2, 20, 6, 1), Body(Hex(0x505058)));
    a.F(Circle(16, 57, 5), Flat(Hex(0x6A3C1C)));
}

void DrawSprayBottle(Art& a) {
    Rgb green = Hex(0x6AC8A0);
    a.F(Polygon(P{{40, 44}, {56, 44}, {60, 54}, {61, 93}, {35, 93}, {36, 54}}),
        Tex(green, [](float x, float, Rgb b) { return Mix(b, Hex(0xFFFFFF), x < 42 ? 0.3f : 0.0f); }, 0.5f));
    a.F(Box(38, 6, 58, 46, 5), Body(Hex(0xF4F4F0), 0.4f));
    a.F(Polygon(P{{38, 34}, {14, 36}, {6, 38}, {6, 44}, {38, 46}}), Body(Hex(0xF4F4F0), 0.3f));
    a.F(Box(2, 37, 8, 43, 1), Body(Hex(0x303036)));
    a.F(Polygon(P{{36, 46}, {26, 50}, {24, 62}, {30, 63}, {36, 54}}), Body(Hex(0x3A70C0)));
    a.F(Box(40, 66, 56, 84, 2), Body(Hex(0xF4F4F0), 0.1f));
}

void DrawToyTrain(Art& a) {
    Rgb red = Hex(0xD03C30), blue = Hex(0x2E5AB0);
    a.F(Box(64, 4, 93, 14, 2), Body(Hex(0x202024)));
    a.F(Box(66, 12, 91, 52, 2), Body(blue));
    a.F(Box(71, 18, 86, 30, 1), Body(Hex(0xC0E0F0), 0.1f));
    a.F(Box(12, 32, 20, 42, 1), Body(Hex(0x202024)));
    a.F(Box(34, 34, 44, 42, 4), Body(Hex(0xE0B840)));
    a.F(Box(6, 38, 68, 52, 7), Body(red, 0.5f));
    a.F(Box(2, 49, 94, 55, 2), Body(Hex(0x303036), 0.2f));
    for (float x : {18.0f, 42.0f, 78.0f}) {
        a.F(Circle(x, 56, 6), Body(Hex(0x202024), 0.4f));
        a.F(Circle(x, 56, 2.2f), Hex(0xC0C0C8));
    }
}

}  // namespace gen
