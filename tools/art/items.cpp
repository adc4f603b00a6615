#include "tools/art/items.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tools/art/painters.h"

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
        {"laptop", {"XXXX", "XXXX", "XXXX"}, DrawLaptop},
        {"coat", {"XXXX", "XXXX", ".XX.", ".XX."}, DrawCoat},
        {"jeans", {"XXX", "XXX", "X.X", "X.X"}, DrawJeans},
        {"bathrobe", {"XXX", "XXX", "XXX", "XXX"}, DrawBathrobe},
        {"tent", {"XXXXX", "XXXXX"}, DrawTent},
        {"blanket", {"XXXX", "XXXX"}, DrawBlanket},
        {"sleeping-bag", {"XX", "XX", "XX", "XX"}, DrawSleepingBag},
        {"teddy-bear", {"X.X", "XXX", "XXX"}, DrawTeddy},
        {"sweater", {"XXXX", ".XX.", ".XX."}, DrawSweater},
        {"tennis-racket", {"XXX", "XXX", ".X.", ".X."}, DrawRacket},
        {"board-game", {"XXX", "XXX", "XXX"}, DrawBoardGame},
        {"trophy", {"XXX", ".X.", "XXX"}, DrawTrophy},
        {"dress", {".X.", "XXX", "XXX"}, DrawDress},
        {"guitar", {"XX...", "XXXXX"}, DrawGuitar},
        {"pillow", {"XXX", "XXX"}, DrawPillow},
        {"towel", {"XX", "XX", "XX"}, DrawTowel},
        {"robot", {".X.", "XXX", "X.X"}, DrawRobot},
        {"frying-pan", {"XX..", "XXXX"}, DrawPan},
        {"headphones", {"XXX", "X.X"}, DrawHeadphones},
        {"kite", {".X.", "XXX", ".X."}, DrawKite},
        {"umbrella", {"X.", "X.", "X.", "XX"}, DrawUmbrella},
        {"cap", {".XX", "XXX"}, DrawCap},
        {"teapot", {"XX.", "XXX"}, DrawTeapot},
        {"scarf", {"X", "X", "X", "X", "X"}, DrawScarf},
        {"skateboard", {"XXXX"}, DrawSkateboard},
        {"camera", {".X.", "XXX"}, DrawCamera},
        {"sun-hat", {".X.", "XXX"}, DrawSunHat},
        {"t-shirt", {"XXX", ".X."}, DrawTShirt},
        {"sock", {"X.", "X.", "XX"}, DrawSock},
        {"sneaker", {"X..", "XXX"}, DrawSneaker},
        {"hairdryer", {"XXX", "X.."}, DrawHairdryer},
        {"book", {"XX", "XX"}, DrawBook},
        {"alarm-clock", {"XX", "XX"}, DrawAlarmClock},
        {"beach-ball", {"XX", "XX"}, DrawBeachBall},
        {"boot", {"X.", "XX"}, DrawBoot},
        {"rubber-duck", {"X.", "XX"}, DrawDuck},
        {"mitten", {"XX", "X."}, DrawMitten},
        {"toothbrush", {"XXX"}, DrawToothbrush},
        {"flashlight", {"XXX"}, DrawFlashlight},
        {"wine-bottle", {"X", "X", "X"}, DrawWineBottle},
        {"tie", {"X", "X", "X"}, DrawTie},
        {"toothpaste", {"XX"}, DrawToothpaste},
        {"sunglasses", {"XX"}, DrawSunglasses},
        {"banana", {"XX"}, DrawBanana},
        {"shampoo", {"X", "X"}, DrawShampoo},
        {"water-bottle", {"X", "X"}, DrawWaterBottle},
        {"watch", {"X"}, DrawWatch},
        {"passport", {"X"}, DrawPassport},
        {"apple", {"X"}, DrawApple},
        {"backpack", {".X.", "XXX", "XXX", "XXX"}, DrawBackpack},
        {"saucepan", {"XXXX", "XXX."}, DrawSaucepan},
        {"radio", {"..X", "XXX", "XXX"}, DrawRadio},
        {"cooler", {"XXX", "XXX"}, DrawCooler},
        {"toy-car", {".XX.", "XXXX"}, DrawToyCar},
        {"sailboat", {".X.", ".XX", "XXX"}, DrawSailboat},
        {"plant", {"X.X", "XXX", ".X."}, DrawPlant},
        {"chair", {"X..", "XXX", "X.X"}, DrawChair},
        {"hammer", {"XXX", ".X.", ".X."}, DrawHammer},
        {"binoculars", {"X.X", "XXX"}, DrawBinoculars},
        {"shorts", {"XXX", "X.X"}, DrawShorts},
        {"skis", {"XXXXX"}, DrawSkis},
        {"iron", {"XX.", "XXX"}, DrawIron},
        {"swim-ring", {"XX", "XX"}, DrawSwimRing},
        {"cane", {"XX", ".X", ".X"}, DrawCane},
        {"flag", {"XX", "X.", "X."}, DrawFlag},
        {"slippers", {"X.", "XX", ".X"}, DrawSlippers},
        {"lamp", {"X", "X", "X", "X"}, DrawLamp},
        {"snorkel", {".X", "XX"}, DrawSnorkel},
        {"thermos", {"X", "X", "X"}, DrawThermos},
        {"comb", {"XX"}, DrawComb},
        {"phone", {"X", "X"}, DrawPhone},
        {"candle", {"X", "X"}, DrawCandle},
        {"keys", {"X"}, DrawKeys},
        {"mug", {"X"}, DrawMug},
        {"compass", {"X"}, DrawCompass},
        {"soap", {"X"}, DrawSoap},
        {"lip-balm", {"X"}, DrawLipBalm},
        {"sunscreen", {"X", "X"}, DrawSunscreen},
        {"deodorant", {"X", "X"}, DrawDeodorant},
        {"hairbrush", {"XX"}, DrawHairbrush},
        {"glasses-case", {"XX"}, DrawGlassesCase},
        {"wash-bag", {"XX", "XX"}, DrawWashBag},
        {"first-aid-kit", {"XX", "XX"}, DrawFirstAidKit},
        {"charger", {"XX", ".X"}, DrawCharger},
        {"travel-mug", {"X.", "XX", "X."}, DrawTravelMug},
        {"spray-bottle", {".X", "XX", ".X"}, DrawSprayBottle},
        {"toy-train", {"..X", "XXX"}, DrawToyTrain},
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

Image16 DrawItem(int i) {
    const ItemShape& s = ItemShapes().at(size_t(i));
    Art a(s);
    if (!s.paint) throw std::runtime_error("item " + s.name + ": no painter");
    s.paint(a);
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
