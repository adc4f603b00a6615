// Painters of the items from the camera to the apple: the small things of a case.
#include <cmath>

#include "tools/art/painters.h"

namespace gen {

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

}  // namespace gen
