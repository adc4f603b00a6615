// The generated pictures: their file format, the item shapes, the screen
// pieces against the places they are drawn, and the GUI skin's tiles.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "gfx/sprite.h"
#include "test_support.h"
#include "tools/art/fonts.h"
#include "tools/kit/image.h"
#include "tools/art/items.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = VALIMO_GAME_DIR;

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

std::vector<fs::path> AllBitmaps() {
    std::vector<fs::path> v;
    for (const auto& dir : {kGame, kGame / "data"})
        for (const auto& e : fs::directory_iterator(dir))
            // icon.bmp is the desktop's window icon (32-bit, alpha), never read by the game.
            if (e.path().extension() == ".bmp" && e.path().filename() != "icon.bmp") v.push_back(e.path());
    std::sort(v.begin(), v.end());
    return v;
}

gen::Image16 Load(const std::string& rel) {
    gen::Image16 img;
    EXPECT_TRUE(gen::ReadBmp((kGame / rel).string(), img)) << rel;
    return img;
}

bool Clear(const gen::Image16& img, int x, int y) { return (img.Get(x, y) & 0x7FFF) == gen::kMagenta; }

TEST(Bitmaps, Are16Bit555WithPixelsAtByte54AndRowsWithoutPadding) {
    auto files = AllBitmaps();
    EXPECT_GE(files.size(), 22u + 40u + 4u);
    for (const auto& f : files) {
        std::vector<uint8_t> b;
        ASSERT_TRUE(gen::ReadFile(f.string(), b));
        ASSERT_GE(b.size(), 54u) << f;
        int32_t w = int32_t(Le32(b, 18)), h = int32_t(Le32(b, 22));
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(Le32(b, 2), b.size()) << f;
        EXPECT_EQ(Le32(b, 10), 54u) << f;
        EXPECT_EQ(Le32(b, 14), 40u) << f;
        EXPECT_GT(w, 0) << f;
        EXPECT_GT(h, 0) << f;  // bottom-up
        EXPECT_EQ(w % 2, 0) << f;
        EXPECT_EQ(Le16(b, 26), 1) << f;
        EXPECT_EQ(Le16(b, 28), 16) << f;
        EXPECT_EQ(Le32(b, 30), 0u) << f;  // BI_RGB: 5-5-5
        EXPECT_EQ(b.size(), 54u + size_t(w) * size_t(h) * 2) << f;
        // Bit 15 is never set, so magenta is exactly 0x7C1F.
        for (size_t at = 54; at + 1 < b.size(); at += 2) {
            if (b[at + 1] & 0x80) {
                ADD_FAILURE() << f << ": bit 15 set at byte " << at;
                break;
            }
        }
    }
}

TEST(Bitmaps, ReadBackByTheGameLoaderWithoutAnErrorLine) {
    MakeScratchDirectory();
    for (const auto& f : AllBitmaps()) {
        gen::Image16 mine;
        ASSERT_TRUE(gen::ReadBmp(f.string(), mine));
        LoadBitmapFile(f.c_str());
        EXPECT_EQ(loadedBitmap.width, mine.w) << f;
        EXPECT_EQ(loadedBitmap.height, mine.h) << f;
        EXPECT_EQ(loadedBitmap.pixels, mine.px) << f;
    }
    FreeBitmapFile();
    EXPECT_EQ(ReadLog(), "");
}

TEST(ItemPictures, SeventyTwoOrMoreThingsEachDrawnToItsOwnShape) {
    const auto& shapes = gen::ItemShapes();
    EXPECT_GE(shapes.size(), 72u);
    const auto label = gen::MeasureAdvances(Load("TimesRoman2.bmp"), 14);
    std::set<std::string> names;
    for (const auto& s : shapes) {
        EXPECT_TRUE(names.insert(s.name).second) << s.name;
        EXPECT_LE(s.name.size() + 4, 58u);
        gen::Image16 img = Load("data/" + s.name + ".bmp");
        ASSERT_EQ(img.w, s.W() * 32) << s.name;
        ASSERT_EQ(img.h, s.H() * 32) << s.name;
        // The game's mask rule gives back exactly the shape, and a solid cell
        // is inked over a good part of it, not a stray pixel.
        gen::CellMask m = gen::MaskFromImage(img);
        for (int r = 0; r < s.H(); r++)
            for (int c = 0; c < s.W(); c++) {
                EXPECT_EQ(m.At(c, r), s.Solid(c, r)) << s.name << " cell " << c << "," << r;
                if (!s.Solid(c, r)) continue;
                int ink = 0;
                for (int y = 0; y < 32; y++)
                    for (int x = 0; x < 32; x++) ink += !Clear(img, c * 32 + x, r * 32 + y);
                EXPECT_GE(ink, 150) << s.name << " cell " << c << "," << r;
            }
        // Its shape fits the case, and the table somewhere: the side blocks are
        // five cells wide, the strip below the case four rows deep.
        EXPECT_TRUE(s.W() <= 10 && s.H() <= 7) << s.name;
        EXPECT_TRUE(s.W() <= 5 || s.H() <= 4) << s.name;
        // Its hover label (font 1, from 20 pixels right of the pointer, 4 wider
        // than the name) stays on screen with the pointer on the right block's
        // second column.
        EXPECT_LE(32 * 16 + 16 + 20 + gen::TextWidth(label, s.name) + 4, 640) << s.name;
    }
}

struct Place {
    const char* file;
    int w, h;
};

TEST(ScreenPictures, SizedForTheirPlaces) {
    const Place places[] = {
        {"data/case-closed.bmp", 326, 264},  // (157, 123) down to the table's bottom piece at y 387
        {"data/case-open.bmp", 326, 264},     {"data/case-open-top.bmp", 362, 68},  // (139, 56) to the case's rim
        {"data/stat-level.bmp", 128, 64},     // slides from x 640 to 512
        {"data/stat-timer.bmp", 128, 64},     // slides from x -128 to 0
        {"data/stat-scorebar.bmp", 420, 48},  // from y -48 to 0, centred on 317
        {"data/table-bottom.bmp", 326, 94},   {"data/table-left.bmp", 158, 286},
        {"data/table-right.bmp", 158, 286},   {"data/case-frame.bmp", 320, 226},
        {"data/menu-button0.bmp", 188, 20},   {"data/menu-button1.bmp", 188, 20},
        {"data/case-big.bmp", 512, 346},      {"data/diffuse-left.bmp", 80, 347},
        {"data/diffuse-right.bmp", 80, 347},  {"data/diffuse-top.bmp", 640, 70},  // one row under the side pieces, above the big case
        {"data/diffuse-bottom.bmp", 640, 64}, {"data/smile.bmp", 16, 16},
    };
    for (const auto& p : places) {
        gen::Image16 img = Load(p.file);
        EXPECT_EQ(img.w, p.w) << p.file;
        EXPECT_EQ(img.h, p.h) << p.file;
    }
    // The bright overlays sit inside their panels.
    gen::Image16 tb = Load("data/stat-timer-bright.bmp"), lb = Load("data/stat-level-bright.bmp");
    EXPECT_LE(49 + tb.w, 128);
    EXPECT_LE(3 + tb.h, 64);
    EXPECT_LE(18 + lb.w, 128);
    EXPECT_LE(4 + lb.h, 64);
    EXPECT_EQ(Load("data/pixels.bmp").w % 2, 0);
}

// The play screen as drawn: black above y 194, then the case and the table.
// Every pixel from y 123 down must be covered by some piece, with nothing
// left showing the frame before.
TEST(ScreenPictures, PlayScreenPiecesMeetWithoutGaps) {
    for (bool open : {true, false}) {
        gen::Image16 screen(640, 480, 0x7FFF);  // white: whatever was there before
        for (int y = 0; y < 194; y++)
            for (int x = 0; x < 640; x++) screen.At(x, y) = 0;
        auto draw = [&](const char* file, int x, int y) {
            gen::Image16 img = Load(file);
            screen.Blit(img, 0, 0, img.w, img.h, x, y, true);
        };
        draw(open ? "data/case-open.bmp" : "data/case-closed.bmp", 157, 123);
        if (open) draw("data/case-open-top.bmp", 139, 56);
        draw("data/table-left.bmp", 0, 194);
        draw("data/table-bottom.bmp", 157, 387);
        draw("data/table-right.bmp", 483, 194);
        for (int y = 194; y < 480; y++)
            for (int x = 0; x < 640; x++)
                ASSERT_NE(screen.Get(x, y), 0x7FFF) << "uncovered at " << x << "," << y << (open ? " open" : " closed");
        // The case covers its cells fully, so no black shows between items.
        for (int y = 128; y < 352; y++)
            for (int x = 160; x < 480; x++) ASSERT_NE(screen.Get(x, y), 0) << x << "," << y;
    }
}

TEST(ScreenPictures, OpenCaseLiningSeamsLieOnTheCellEdges) {
    gen::Image16 img = Load("data/case-open.bmp");
    // Down a column of cells, the lining is darker on each cell's first row
    // than in its middle.
    auto lum = [&](int sx, int sy) {
        gen::Rgb c = gen::From555(img.Get(sx - 157, sy - 123));
        return c.r + c.g + c.b;
    };
    for (int row = 1; row < 7; row++)
        for (int col = 1; col < 10; col++) {
            int x = 160 + 32 * col, y = 128 + 32 * row;
            EXPECT_LT(lum(x + 16, y), lum(x + 16, y + 16)) << col << "," << row;
            EXPECT_LT(lum(x, y + 16), lum(x + 16, y + 16)) << col << "," << row;
        }
}

TEST(ScreenPictures, InformationFrameCoversTheScreenAroundTheBigCase) {
    gen::Image16 screen(640, 480, 0x7FFF);
    auto draw = [&](const char* file, int x, int y) {
        gen::Image16 img = Load(file);
        screen.Blit(img, 0, 0, img.w, img.h, x, y, true);
    };
    draw("data/diffuse-top.bmp", 0, 0);
    draw("data/diffuse-bottom.bmp", 0, 416);
    draw("data/diffuse-left.bmp", 0, 69);
    draw("data/diffuse-right.bmp", 560, 69);
    draw("data/case-big.bmp", 64, 70);
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) ASSERT_NE(screen.Get(x, y), 0x7FFF) << x << "," << y;
}

TEST(GuiSkin, TilesWhereTheGuiCutsThem) {
    gen::Image16 g = Load("gui.bmp");
    ASSERT_EQ(g.w, 96);
    ASSERT_EQ(g.h, 64);
    // Window pieces are copied opaque into an unkeyed picture: no magenta.
    auto opaque = [&](int x, int y, int w, int h) {
        for (int j = y; j < y + h; j++)
            for (int i = x; i < x + w; i++)
                if (Clear(g, i, j)) return false;
        return true;
    };
    EXPECT_TRUE(opaque(3, 0, 1, 2));    // top edge
    EXPECT_TRUE(opaque(3, 59, 1, 2));   // bottom edge
    EXPECT_TRUE(opaque(0, 3, 2, 1));    // left edge
    EXPECT_TRUE(opaque(25, 3, 2, 1));   // right edge
    EXPECT_TRUE(opaque(0, 0, 2, 2));
    EXPECT_TRUE(opaque(25, 0, 2, 2));
    EXPECT_TRUE(opaque(0, 59, 2, 2));
    EXPECT_TRUE(opaque(25, 59, 2, 2));
    EXPECT_TRUE(opaque(3, 3, 20, 20));  // title icon
    // Buttons, both states: opaque edges, clear outer corner pixels, and the
    // corner pieces' inner pixel already the face colour the game fills with.
    for (int oy : {0, 24}) {
        EXPECT_TRUE(opaque(37, 17 + oy, 1, 2));
        EXPECT_TRUE(opaque(37, 35 + oy, 1, 2));
        EXPECT_TRUE(opaque(31, 24 + oy, 2, 1));
        EXPECT_TRUE(opaque(60, 24 + oy, 2, 1));
        EXPECT_TRUE(Clear(g, 31, 17 + oy));
        EXPECT_TRUE(Clear(g, 61, 17 + oy));
        EXPECT_TRUE(Clear(g, 31, 36 + oy));
        EXPECT_TRUE(Clear(g, 61, 36 + oy));
        EXPECT_EQ(g.Get(35, 21 + oy), 0x5F1C);
        EXPECT_EQ(g.Get(57, 32 + oy), 0x5F1C);
        // Corner pieces meet the edge pieces: the row at y 17 left of the edge is the edge's.
        EXPECT_EQ(g.Get(35, 17 + oy), g.Get(37, 17 + oy));
        EXPECT_EQ(g.Get(31, 21 + oy), g.Get(31, 24 + oy));
    }
    // The text box: the highlight ring's pieces and the entry field's columns.
    EXPECT_TRUE(opaque(39, 21, 3, 14));
    EXPECT_TRUE(opaque(52, 21, 3, 14));
    EXPECT_TRUE(opaque(42, 18, 1, 3));
    EXPECT_TRUE(opaque(42, 35, 1, 3));
    EXPECT_TRUE(opaque(42, 21, 1, 14));
    EXPECT_TRUE(opaque(51, 21, 1, 14));
    EXPECT_TRUE(opaque(43, 21, 1, 14));
    // Pointers: each has a shape on a clear ground; the arrow's and the hand's
    // tip is at the top left, their hot spot.
    const int pointers[4][2] = {{64, 0}, {80, 0}, {64, 16}, {80, 16}};
    for (const auto& p : pointers) {
        int ink = 0;
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++) ink += !Clear(g, p[0] + x, p[1] + y);
        EXPECT_GT(ink, 30);
        EXPECT_LT(ink, 200);
        bool tip = false;
        for (int y = 0; y < 2; y++)
            for (int x = 0; x < 3; x++) tip = tip || !Clear(g, p[0] + x, p[1] + y);
        EXPECT_TRUE(tip) << p[0] << "," << p[1];
    }
    int bar = 0;
    for (int y = 33; y < 45; y++)
        for (int x = 69; x < 74; x++) bar += !Clear(g, x, y);
    EXPECT_GT(bar, 10);
    EXPECT_LT(bar, 60);
}

}  // namespace
