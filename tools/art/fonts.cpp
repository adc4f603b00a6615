#include "tools/art/fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "tools/art/text_places.h"

namespace gen {

namespace {

const char* kFaceDir = "/usr/share/fonts/opentype/urw-base35/";

struct Look {
    const char* file;
    int cell;
    const char* face;
    Rgb ink, edge;
    int margin;  // empty columns left of the ink: the gap between letters
};

// Font 0: light faces on dark grounds (titles, menu rows, the list, static
// texts over their shadow). Font 1: dark, for shadows, button labels and text
// boxes. Font 2: warm gold on the dark score bar and panel windows. Edges are a
// darker shade of the ink so they read on light and dark grounds alike.
const Look kLooks[3] = {
    {"TimesRoman.bmp", 14, "NimbusRoman-Regular.otf", Hex(0xFFF4DC), Hex(0x6A5A48), 1},
    {"TimesRoman2.bmp", 14, "NimbusRoman-Regular.otf", Hex(0x1C1410), Hex(0x6A5C50), 1},
    {"Century.bmp", 18, "C059-Roman.otf", Hex(0xFFD870), Hex(0x8A6428), 2},
};

struct Ft {
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    Ft(const std::string& path) {
        if (FT_Init_FreeType(&lib)) throw std::runtime_error("FreeType does not start");
        if (FT_New_Face(lib, path.c_str(), 0, &face))
            throw std::runtime_error("cannot read the face " + path + " (Debian package fonts-urw-base35)");
    }
    ~Ft() {
        if (face) FT_Done_Face(face);
        if (lib) FT_Done_FreeType(lib);
    }
};

// Renders one sheet at a size in quarter pixels; false when the letters do
// not fit the cell.
bool Render(Ft& ft, const Look& look, int quarters, Image16& out) {
    FT_Set_Char_Size(ft.face, 0, FT_F26Dot6(quarters * 16), 72, 72);
    int cell = look.cell;
    int ascent = 0, descent = 0;
    for (const char* p = "ABCDEFGHIJKLMNOPQRSTUVWXYZbdfhklt0123456789gjpqy"; *p; p++) {
        if (FT_Load_Char(ft.face, FT_ULong(*p), FT_LOAD_RENDER)) continue;
        FT_GlyphSlot g = ft.face->glyph;
        ascent = std::max(ascent, g->bitmap_top);
        descent = std::max(descent, int(g->bitmap.rows) - g->bitmap_top);
        if (int(g->bitmap.width) + look.margin > cell) return false;
    }
    if (ascent + descent > cell) return false;
    int baseline = ascent + (cell - ascent - descent) / 2;
    out = Image16(12 * cell, 8 * cell);
    for (int ch = 33; ch < 127; ch++) {
        if (FT_Load_Char(ft.face, FT_ULong(ch), FT_LOAD_RENDER)) continue;
        FT_GlyphSlot g = ft.face->glyph;
        int cx = ((ch - 32) % 12) * cell, cy = ((ch - 32) / 12) * cell;
        int top = std::clamp(baseline - g->bitmap_top, 0, std::max(0, cell - int(g->bitmap.rows)));
        for (unsigned r = 0; r < g->bitmap.rows; r++)
            for (unsigned c = 0; c < g->bitmap.width; c++) {
                int x = look.margin + int(c), y = top + int(r);
                if (x >= cell || y >= cell) continue;  // a stray pixel of a tall bracket
                float cov = g->bitmap.buffer[r * unsigned(g->bitmap.pitch) + c] / 255.0f;
                if (cov >= 0.5f) out.At(cx + x, cy + y) = To555(look.ink);
                else if (cov >= 0.22f) out.At(cx + x, cy + y) = To555(look.edge);
            }
    }
    return true;
}

}  // namespace

std::array<int, 96> MeasureAdvances(const Image16& sheet, int cell) {
    std::array<int, 96> adv{};
    for (int i = 0; i < 96; i++) {
        if (i == 0) {
            adv[0] = 2;
            continue;
        }
        int cx = (i % 12) * cell, cy = (i / 12) * cell, m = 0;
        for (int y = 0; y < cell; y++)
            for (int x = 0; x < cell; x++)
                if (cx + x < sheet.w && cy + y < sheet.h && (sheet.Get(cx + x, cy + y) & 0x7FFF) != kMagenta)
                    m = std::max(m, x);
        adv[size_t(i)] = m > 0 ? m + 1 : -1;
    }
    return adv;
}

int TextWidth(const std::array<int, 96>& adv, const std::string& text) {
    int w = 0;
    for (unsigned char ch : text)
        if (ch >= 32 && ch < 128) w += adv[ch - 32];
    return w;
}

std::array<FontSheet, 3> MakeFonts() {
    std::array<FontSheet, 3> out;
    for (int f = 0; f < 3; f++) {
        const Look& look = kLooks[f];
        Ft ft(std::string(kFaceDir) + look.face);
        bool done = false;
        // The largest size at which every text of this font fits its place.
        for (int size = (look.cell + 4) * 4; size >= 8 * 4 && !done; size--) {
            Image16 img;
            if (!Render(ft, look, size, img)) continue;
            auto adv = MeasureAdvances(img, look.cell);
            bool fits = true;
            for (const auto& p : TextPlaces())
                if ((p.font == f || (f < 2 && p.font < 2)) && TextWidth(adv, p.text) > p.maxWidth) {
                    fits = false;
                    if (std::getenv("VALIMO_GEN_VERBOSE"))
                        std::fprintf(stderr, "%s at %.2f: \"%s\" is %d, room %d\n", look.file, size / 4.0, p.text.c_str(),
                                     TextWidth(adv, p.text), p.maxWidth);
                }
            if (!fits) continue;
            out[size_t(f)] = {look.file, look.cell, size, img};
            if (std::getenv("VALIMO_GEN_VERBOSE")) std::fprintf(stderr, "%s: %.2f pixels\n", look.file, size / 4.0);
            done = true;
        }
        if (!done) throw std::runtime_error(std::string("no size of ") + look.face + " fits");
    }
    return out;
}

void PrintText(Image16& dst, const FontSheet& f, const std::array<int, 96>& adv, const std::string& text, int x, int y) {
    for (unsigned char ch : text) {
        if (ch < 32 || ch >= 128) continue;
        int i = ch - 32;
        dst.Blit(f.image, (i % 12) * f.cell, (i / 12) * f.cell, f.cell, f.cell, x, y, true);
        x += adv[size_t(i)];
    }
}

}  // namespace gen
