// gui.bmp: the dialog skin the game cuts its windows, buttons and pointers from.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/art/screens.h"
#include "tools/kit/raster.h"

namespace gen {

namespace {

// Pixel art: '.' clear, 'B' outline, 'W' fill, 'S' shade.
void Sprite(Image16& img, int x0, int y0, const std::vector<const char*>& rows, Rgb fill, Rgb shade) {
    for (size_t r = 0; r < rows.size(); r++) {
        std::string row = rows[r];
        for (size_t c = 0; c < row.size(); c++) {
            uint16_t p = kMagenta;
            if (row[c] == 'B') p = To555(Hex(0x101010));
            if (row[c] == 'W') p = To555(fill);
            if (row[c] == 'S') p = To555(shade);
            img.At(x0 + int(c), y0 + int(r)) = p;
        }
    }
}

const std::vector<const char*> kArrow = {
    "B...............", "BB..............", "BWB.............", "BWWB............",
    "BWWWB...........", "BWWWWB..........", "BWWWWWB.........", "BWWWWWWB........",
    "BWWWWWWWB.......", "BWWWWWWWWB......", "BWWWWWBBBBB.....", "BWWBWWB.........",
    "BWB.BWWB........", "BB...BWWB.......", "B....BWWB.......", "......BB........",
};
const std::vector<const char*> kHand = {
    ".BB.............", "BWWB............", "BWWB............", "BWWB............",
    "BWWBBB..........", "BWWBWWBBB.......", "BWWBWWBWWBB.....", "BWWWWWWWWBWB....",
    "BWWWWWWWWWWB....", "BWWWWWWWWWWB....", "BWWWWWWWWWWB....", ".BWWWWWWWWSB....",
    ".BWWWWWWWWSB....", "..BWWWWWWSB.....", "..BWWWWWWSB.....", "..BBBBBBBBB.....",
};
const std::vector<const char*> kTextBar = {
    "BB.BB", "..B..", "..B..", "..B..", "..B..", "..B..",
    "..B..", "..B..", "..B..", "..B..", "..B..", "BB.BB",
};

// The game fills button faces with this colour; the templates use it too.
const uint16_t kButtonFace = 0x5F1C;
const uint16_t kWindowBody = 0x3E3E;
const uint16_t kTitleBar = 0x000B;

// A button template 31 x 20 at (x0, y0): rounded corners clear, a dark
// outline, and a lit or sunk inner ring.
void ButtonTemplate(Image16& img, int x0, int y0, bool pressed) {
    const int w = 31, h = 20;
    const float r = 4.5f;
    Rgb light = Hex(0xF0F4FF), shade = Hex(0x68708C), outline = Hex(0x182038);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            float px = x + 0.5f, py = y + 0.5f;
            float qx = std::max(std::max(r - px, px - (w - r)), 0.0f);
            float qy = std::max(std::max(r - py, py - (h - r)), 0.0f);
            float d = std::hypot(qx, qy) - r;  // <= 0 inside the rounded box
            int edge = std::min({x, y, w - 1 - x, h - 1 - y});
            uint16_t p;
            if (d > -0.3f && (qx > 0 && qy > 0)) p = kMagenta;
            else if (edge == 0 || d > -1.3f) p = To555(outline);
            else if (edge == 1 || d > -2.3f) {
                bool topLeft = (y == 1 || x == 1 || (y <= 2 && x < w - 3) || (x <= 2 && y < h - 3)) &&
                               !(y == h - 2 || x == w - 2);
                p = To555((topLeft != pressed) ? light : shade);
            } else
                p = kButtonFace;
            img.At(x0 + x, y0 + y) = p;
        }
}

}  // namespace

Image16 MakeGuiSkin() {
    Image16 img(96, 64, kMagenta);
    // Window frame template, columns 0-26 and rows 0-60: a two-pixel bevelled frame.
    Rgb hi = Hex(0xD8E0FF), mid = Hex(0x8C98D8), lo = Hex(0x3C4480), deep = Hex(0x141838);
    for (int y = 0; y <= 60; y++)
        for (int x = 0; x <= 26; x++) {
            uint16_t p = kWindowBody;
            if (y == 0 || x == 0) p = To555(hi);
            else if (y == 1 || x == 1) p = To555(mid);
            if (y == 60 || x == 26) p = To555(deep);
            else if ((y == 59 || x == 25) && x > 0 && y > 0) p = To555(lo);
            img.At(x, y) = p;
        }
    // Title icon, 20 x 20 at (3, 3) on the title bar's navy: a little suitcase.
    {
        Canvas c(20, 20);
        Rgb navy = From555(kTitleBar);
        c.Fill(navy);
        Painter p(c);
        Style bag;
        bag.fill = Hex(0xC07838);
        bag.line = Hex(0x1A0E06);
        bag.lineWidth = 1;
        bag.bevel = 0.5f;
        bag.bevelWidth = 3;
        p.Stroke(Box(7, 2.5f, 13, 7, 2), 1.6f, Hex(0xE0C080));
        p.Fill(Box(2, 6, 18, 17, 2.5f), bag);
        p.Line(2.5f, 11, 17.5f, 11, 1, Hex(0xF0D080));
        p.Fill(Box(8.5f, 9.5f, 11.5f, 12.5f, 0.5f), Hex(0xF0D080));
        Image16 icon = Quantize(c);
        img.Blit(icon, 0, 0, 20, 20, 3, 3, false);
    }
    ButtonTemplate(img, 31, 17, false);
    ButtonTemplate(img, 31, 41, true);
    // Text box: the focus ring (39-54, 18-37), three pixels of warm glow with
    // clear corners, around the entry field (42-51, 21-34).
    Rgb glow = Hex(0xF8C040), glowEdge = Hex(0xB07010);
    for (int y = 18; y <= 37; y++)
        for (int x = 39; x <= 54; x++) {
            int ex = std::min(x - 39, 54 - x), ey = std::min(y - 18, 37 - y);
            if (ex >= 3 && ey >= 3) continue;
            if (ex == 0 && ey == 0) {
                img.At(x, y) = kMagenta;
                continue;
            }
            img.At(x, y) = To555((ex == 0 || ey == 0) ? glowEdge : glow);
        }
    Rgb fieldDark = Hex(0x283048), field = Hex(0xFCF8EC), fieldLight = Hex(0xE0E4F8);
    for (int y = 21; y <= 34; y++)
        for (int x = 42; x <= 51; x++) {
            Rgb c = field;
            if (x == 42 || y == 21) c = fieldDark;
            else if (x == 51 || y == 34) c = fieldLight;
            else if (y == 22) c = Hex(0xD8D4C8);  // the field's inner shadow
            img.At(x, y) = To555(c);
        }
    // Pointers: hand and arrow, up and held; the text bar.
    Sprite(img, 64, 0, kHand, Hex(0xFFFFFF), Hex(0xC8C8C8));
    Sprite(img, 80, 0, kHand, Hex(0xF8E0A0), Hex(0xC0A060));
    Sprite(img, 64, 16, kArrow, Hex(0xFFFFFF), Hex(0xC8C8C8));
    Sprite(img, 80, 16, kArrow, Hex(0xF8E0A0), Hex(0xC0A060));
    Sprite(img, 69, 33, kTextBar, Hex(0xFFFFFF), Hex(0xFFFFFF));
    return img;
}

}  // namespace gen
