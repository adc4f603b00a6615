// Painters of the items from the laptop to the skateboard: bags, clothes, toys, gear.
#include <cmath>

#include "tools/art/painters.h"

namespace gen {

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

}  // namespace gen
