// The painters' shared kit: the Art an item is painted on, clipped to its
// cells, the styles items are drawn in, and every painter's declaration.
#pragma once
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "tools/art/items.h"
#include "tools/kit/raster.h"

namespace gen {

inline const Rgb kInk = Hex(0x2A1C14);

inline Style Body(Rgb fill, float bevel = 0.35f) {
    Style s;
    s.fill = fill;
    s.line = kInk;
    s.lineWidth = 1.5f;
    s.bevel = bevel;
    return s;
}

inline Style Flat(Rgb fill) {
    Style s;
    s.fill = fill;
    s.lineWidth = 0;
    s.bevel = 0;
    s.gloss = 0;
    return s;
}

inline Style Tex(Rgb fill, std::function<Rgb(float, float, Rgb)> t, float bevel = 0.35f) {
    Style s = Body(fill, bevel);
    s.texture = std::move(t);
    return s;
}

// Fine fabric grain: a little noise on the base colour.
inline std::function<Rgb(float, float, Rgb)> Grain(float amount, uint32_t seed, float scale = 1.0f) {
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

// painters_large.cpp: the laptop to the skateboard.
void DrawLaptop(Art& a);
void DrawCoat(Art& a);
void DrawJeans(Art& a);
void DrawBathrobe(Art& a);
void DrawTent(Art& a);
void DrawBlanket(Art& a);
void DrawSleepingBag(Art& a);
void DrawTeddy(Art& a);
void DrawSweater(Art& a);
void DrawRacket(Art& a);
void DrawBoardGame(Art& a);
void DrawTrophy(Art& a);
void DrawDress(Art& a);
void DrawGuitar(Art& a);
void DrawPillow(Art& a);
void DrawTowel(Art& a);
void DrawRobot(Art& a);
void DrawPan(Art& a);
void DrawHeadphones(Art& a);
void DrawKite(Art& a);
void DrawUmbrella(Art& a);
void DrawCap(Art& a);
void DrawTeapot(Art& a);
void DrawScarf(Art& a);
void DrawSkateboard(Art& a);
// painters_small.cpp: the camera to the apple.
void DrawCamera(Art& a);
void DrawSunHat(Art& a);
void DrawTShirt(Art& a);
void DrawSock(Art& a);
void DrawSneaker(Art& a);
void DrawHairdryer(Art& a);
void DrawBook(Art& a);
void DrawAlarmClock(Art& a);
void DrawBeachBall(Art& a);
void DrawBoot(Art& a);
void DrawDuck(Art& a);
void DrawMitten(Art& a);
void DrawToothbrush(Art& a);
void DrawFlashlight(Art& a);
void DrawWineBottle(Art& a);
void DrawTie(Art& a);
void DrawToothpaste(Art& a);
void DrawSunglasses(Art& a);
void DrawBanana(Art& a);
void DrawShampoo(Art& a);
void DrawWaterBottle(Art& a);
void DrawWatch(Art& a);
void DrawPassport(Art& a);
void DrawApple(Art& a);
// painters_more.cpp: the backpack to the compass.
void DrawBackpack(Art& a);
void DrawSaucepan(Art& a);
void DrawRadio(Art& a);
void DrawCooler(Art& a);
void DrawToyCar(Art& a);
void DrawSailboat(Art& a);
void DrawPlant(Art& a);
void DrawChair(Art& a);
void DrawHammer(Art& a);
void DrawBinoculars(Art& a);
void DrawShorts(Art& a);
void DrawSkis(Art& a);
void DrawIron(Art& a);
void DrawSwimRing(Art& a);
void DrawCane(Art& a);
void DrawFlag(Art& a);
void DrawSlippers(Art& a);
void DrawLamp(Art& a);
void DrawSnorkel(Art& a);
void DrawThermos(Art& a);
void DrawComb(Art& a);
void DrawPhone(Art& a);
void DrawCandle(Art& a);
void DrawKeys(Art& a);
void DrawMug(Art& a);
void DrawCompass(Art& a);
// painters_travel.cpp: the soap to the toy train.
void DrawSoap(Art& a);
void DrawLipBalm(Art& a);
void DrawSunscreen(Art& a);
void DrawDeodorant(Art& a);
void DrawHairbrush(Art& a);
void DrawGlassesCase(Art& a);
void DrawWashBag(Art& a);
void DrawFirstAidKit(Art& a);
void DrawCharger(Art& a);
void DrawTravelMug(Art& a);
void DrawSprayBottle(Art& a);
void DrawToyTrain(Art& a);

}  // namespace gen
