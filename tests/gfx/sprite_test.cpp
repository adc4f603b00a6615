#include <gtest/gtest.h>

#include "bmp_writer.h"
#include "gfx/display.h"
#include "gfx/sprite.h"
#include "platform/headless/headless.h"
#include "test_support.h"

namespace {

uint16_t SpritePixel(Sprite s, int x, int y) { return s->Pixels()[size_t(y) * size_t(s->Width()) + size_t(x)]; }
uint16_t ScreenPixel(int x, int y) { return backBuffer->Pixels()[size_t(y) * 640 + size_t(x)]; }

TEST(BitmapLoader, TurnsRowsOverSoTheTopRowComesFirst) {
    MakeScratchDirectory();
    // p1 p2 is the picture's top row; the file stores it last.
    WriteBmp("pic.bmp", 2, 2, {1, 2, 3, 4});
    const std::string file = ReadFile("pic.bmp");
    ASSERT_EQ(uint8_t(file[54]), 3);  // first row in the file is the bottom one
    LoadBitmapFile("pic.bmp");
    EXPECT_EQ(loadedBitmap.width, 2);
    EXPECT_EQ(loadedBitmap.height, 2);
    EXPECT_EQ(loadedBitmap.size, 8);
    EXPECT_EQ(loadedBitmap.pixels, (std::vector<uint16_t>{1, 2, 3, 4}));
    EXPECT_EQ(ReadLog(), "");
}

TEST(BitmapLoader, NotABitmapLeavesThePreviousPictureInPlace) {
    MakeScratchDirectory();
    WriteBmp("pic.bmp", 2, 1, {7, 8});
    WriteFile("bad.bmp", std::string("XM") + std::string(100, '\0'));
    LoadBitmapFile("pic.bmp");
    LoadBitmapFile("bad.bmp");
    EXPECT_EQ(ReadLog(), "ERROR: Not a BITMAP\n");
    EXPECT_EQ(loadedBitmap.width, 2);
    EXPECT_EQ(loadedBitmap.pixels, (std::vector<uint16_t>{7, 8}));
}

TEST(BitmapLoader, AFileThatCannotBeOpenedLeavesAnEmptyBitmap) {
    MakeScratchDirectory();
    WriteBmp("pic.bmp", 2, 1, {7, 8});
    LoadBitmapFile("pic.bmp");
    LoadBitmapFile("data/missing.bmp");
    EXPECT_EQ(loadedBitmap.width, 0);
    EXPECT_EQ(loadedBitmap.height, 0);
    EXPECT_TRUE(loadedBitmap.pixels.empty());
    EXPECT_EQ(ReadLog(), "ERROR: Cannot open bitmap data/missing.bmp\n");
}

TEST(BitmapLoader, OtherBitDepthsEndTheProgram) {
    for (int bits : {8, 24}) {
        MakeScratchDirectory();
        WriteFile("deep.bmp", MakeBmp(2, 2, {}, bits));
        EXPECT_EXIT(LoadBitmapFile("deep.bmp"), testing::ExitedWithCode(0), "");
        EXPECT_EQ(ReadLog().rfind("ERROR: Bitmap != 16BIT\n", 0), 0u) << bits;
    }
}

TEST(BitmapLoader, TruncatedPixelsAreReportedAndTheBufferStaysWhole) {
    MakeScratchDirectory();
    std::string file = MakeBmp(4, 4, std::vector<uint16_t>(16, 0x1111));
    file.resize(file.size() - 10);
    WriteFile("short.bmp", file);
    LoadBitmapFile("short.bmp");
    EXPECT_EQ(ReadLog(), "ERROR: Bad Bitmap Memory!\n");
    ASSERT_EQ(loadedBitmap.pixels.size(), 16u);  // callers may read width x height words
    EXPECT_EQ(loadedBitmap.pixels[0], 0x1111);
    EXPECT_EQ(loadedBitmap.pixels[15], 0);
}

TEST(BitmapLoader, AbsurdSizesTakeTheNoDataPathWithoutAllocating) {
    const struct {
        int32_t w, h;
    } sizes[] = {{-4, 4}, {4, -4}, {0x40000000, 2}, {100000, 100000}, {0x7FFFFFFF, 0x7FFFFFFF}};
    for (const auto& s : sizes) {
        MakeScratchDirectory();
        std::string file = MakeBmp(1, 1, {5});
        for (int i = 0; i < 4; i++) {
            file[18 + i] = char((uint32_t(s.w) >> (8 * i)) & 0xFF);
            file[22 + i] = char((uint32_t(s.h) >> (8 * i)) & 0xFF);
        }
        WriteFile("huge.bmp", file);
        LoadBitmapFile("huge.bmp");
        EXPECT_EQ(ReadLog(), "ERROR: Bitmap data == NULL\n") << s.w << " x " << s.h;
        EXPECT_EQ(loadedBitmap.width, 0);
        EXPECT_TRUE(loadedBitmap.pixels.empty());
    }
}

TEST(PixelConversion, MagentaWhiteAndBit15In565And555) {
    for (int mode : {16, 15}) {
        MakeScratchDirectory();
        if (mode == 15) HeadlessDisplay555();
        StartDisplay();
        WriteBmp("pic.bmp", 4, 1, {0x7C1F, 0x7FFF, 0x8000 | 0x7C1F, Rgb555(1, 2, 3)});
        LoadBitmapFile("pic.bmp");
        Sprite s = CreateSprite(4, 1, 1, DDSCAPS_VIDEOMEMORY);
        CopyBitmapToSprite(s, loadedBitmap.pixels.data(), 4, 1);
        if (mode == 16) {
            EXPECT_EQ(SpritePixel(s, 0, 0), 0xF81F);
            EXPECT_EQ(SpritePixel(s, 1, 0), 0xFFDF);  // green's lowest bit stays 0
            EXPECT_EQ(SpritePixel(s, 2, 0), 0xF81F);
            EXPECT_EQ(SpritePixel(s, 3, 0), 1 << 11 | 2 << 6 | 3);
        } else {
            EXPECT_EQ(SpritePixel(s, 0, 0), 0x7C1F);
            EXPECT_EQ(SpritePixel(s, 1, 0), 0x7FFF);
            EXPECT_EQ(SpritePixel(s, 2, 0), 0x7C1F);
            EXPECT_EQ(SpritePixel(s, 3, 0), Rgb555(1, 2, 3));
        }
        EXPECT_EQ(ColorKey(), mode == 16 ? 0xF81F : 0x7C1F);
        s->Release();
        ReleaseDirectDraw();
    }
}

TEST(Sprites, ANewSpriteIsBlackAndKeyedWithMagenta) {
    MakeScratchDirectory();
    StartDisplay();
    Sprite s = CreateSprite(3, 2, 1, DDSCAPS_VIDEOMEMORY);
    ASSERT_NE(s, nullptr);
    for (int i = 0; i < 6; i++) EXPECT_EQ(s->Pixels()[i], 0);
    EXPECT_TRUE(s->HasColorKey());
    s->Release();
}

TEST(Sprites, OutOfVideoMemoryWarnsOnceAndFallsBackToSystemMemory) {
    MakeScratchDirectory();
    StartDisplay();
    SetVideoMemoryBudget(100 * 100 * 2);
    Sprite first = CreateSprite(100, 100, 0, DDSCAPS_VIDEOMEMORY);
    Sprite second = CreateSprite(100, 100, 0, DDSCAPS_VIDEOMEMORY);
    Sprite third = CreateSprite(50, 50, 1, DDSCAPS_VIDEOMEMORY);
    ASSERT_TRUE(first && second && third);
    EXPECT_TRUE(first->InVideoMemory());
    EXPECT_FALSE(second->InVideoMemory());
    EXPECT_FALSE(third->InVideoMemory());
    const std::string log = ReadLog();
    const std::string warning = "WARNING: Out of video memory; trying to create software sprites\n";
    EXPECT_NE(log.find(warning), std::string::npos);
    EXPECT_EQ(log.find(warning), log.rfind(warning));
    // Memory freed in video memory is used again first.
    first->Release();
    Sprite again = CreateSprite(100, 100, 0, DDSCAPS_VIDEOMEMORY);
    EXPECT_TRUE(again->InVideoMemory());
}

TEST(Sprites, OtherCreationFailuresAreLoggedAndYieldNoSprite) {
    MakeScratchDirectory();
    StartDisplay();
    EXPECT_EQ(CreateSprite(0, 0, 1, DDSCAPS_VIDEOMEMORY), nullptr);
    EXPECT_NE(ReadLog().find("dderrCreateSurface() Invalid params\n"), std::string::npos);
    // Drawing what does not exist draws nothing and does not crash.
    CopyBitmapToSprite(nullptr, nullptr, 4, 4);
    EXPECT_EQ(BlitSprite(backBuffer, nullptr, 0, 0, 4, 4), DDERR_INVALIDOBJECT);
    EXPECT_EQ(ClearSprite(nullptr, 0), DDERR_INVALIDOBJECT);
}

TEST(Blits, KeyedBlitSkipsMagentaOpaqueBlitCopiesIt) {
    MakeScratchDirectory();
    StartDisplay();
    Sprite s = CreateSprite(2, 1, 1, DDSCAPS_VIDEOMEMORY);
    FillSpriteRect(s, 0, 0, 1, 1, 0xF81F);
    FillSpriteRect(s, 1, 0, 1, 1, 0x07E0);
    FillScreenRect(0, 0, 640, 480, 0x001F);
    BlitSpriteKeyed(backBuffer, s, 10, 10, 2, 1);
    EXPECT_EQ(ScreenPixel(10, 10), 0x001F);
    EXPECT_EQ(ScreenPixel(11, 10), 0x07E0);
    BlitSprite(backBuffer, s, 10, 11, 2, 1);
    EXPECT_EQ(ScreenPixel(10, 11), 0xF81F);
    s->Release();
}

// Keyed blits skip the rows and ends that are all key and copy rows without key
// whole: whatever is written into the source since, the next blit must show it.
TEST(Blits, AKeyedBlitShowsEveryChangeOfItsSource) {
    MakeScratchDirectory();
    StartDisplay();
    const uint16_t key = ColorKey();
    constexpr int kW = 9, kH = 4;
    Sprite s = CreateSprite(kW, kH, 1, DDSCAPS_VIDEOMEMORY);
    auto blitAndCheck = [&](const char* step) {
        FillScreenRect(0, 0, 40, 20, 0x0421);
        // Whole, then from column 3 on (cut by the left edge), then a part of rows 1-2.
        BlitSpriteKeyed(backBuffer, s, 10, 2, kW, kH);
        BlitSpriteKeyed(backBuffer, s, -3, 8, kW, kH);
        const RECT from{2, 1, 7, 3}, to{20, 14, 25, 16};
        backBuffer->Blt(&to, s, &from, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
        for (int y = 0; y < kH; y++)
            for (int x = 0; x < kW; x++) {
                const uint16_t p = SpritePixel(s, x, y), want = p == key ? 0x0421 : p;
                EXPECT_EQ(ScreenPixel(10 + x, 2 + y), want) << step << " whole " << x << "," << y;
                if (x >= 3) {
                    EXPECT_EQ(ScreenPixel(x - 3, 8 + y), want) << step << " cut " << x << "," << y;
                }
                if (x >= 2 && x < 7 && y >= 1 && y < 3) {
                    EXPECT_EQ(ScreenPixel(18 + x, 13 + y), want) << step << " part " << x << "," << y;
                }
            }
    };
    // Row 0 all key, row 1 key ends around no key, rows 2 and 3 key between.
    FillSpriteRect(s, 0, 0, kW, kH, key);
    FillSpriteRect(s, 2, 1, 5, 1, 0x1234);
    FillSpriteRect(s, 1, 2, 7, 2, 0x2345);
    FillSpriteRect(s, 4, 2, 1, 2, key);
    blitAndCheck("first");
    FillSpriteRect(s, 0, 0, 1, 1, 0x3456);  // a key row gets a pixel
    FillSpriteRect(s, 3, 1, 1, 1, key);     // a row without key gets one
    blitAndCheck("filled");
    SurfaceLock lock;
    LockSurface(s, &lock);
    lock.pixels[size_t(3) * size_t(lock.pitch / 2) + 8] = 0x4567;  // past the old end of a row
    lock.pixels[4] = key;
    UnlockSurface(s, &lock);
    blitAndCheck("locked");
    Sprite other = CreateSprite(kW, kH, 0, DDSCAPS_VIDEOMEMORY);
    FillSpriteRect(other, 0, 0, kW, kH, 0x5678);
    FillSpriteRect(other, 0, 2, kW, 1, key);
    BlitSprite(s, other, 0, 0, kW, kH);  // drawn over by another surface
    blitAndCheck("blitted into");
    const DDCOLORKEY newKey{0x5678, 0x5678};
    ASSERT_EQ(s->SetColorKey(DDCKEY_SRCBLT, &newKey), DD_OK);
    FillScreenRect(0, 0, 40, 20, 0x0421);
    BlitSpriteKeyed(backBuffer, s, 10, 2, kW, kH);
    for (int y = 0; y < kH; y++)
        for (int x = 0; x < kW; x++) {
            const uint16_t p = SpritePixel(s, x, y);
            EXPECT_EQ(ScreenPixel(10 + x, 2 + y), p == 0x5678 ? 0x0421 : p) << "new key " << x << "," << y;
        }
    other->Release();
    s->Release();
}

TEST(Blits, ScalingDoublesEachPixelAndClippingCutsWithoutShifting) {
    MakeScratchDirectory();
    StartDisplay();
    Sprite s = CreateSprite(2, 2, 0, DDSCAPS_VIDEOMEMORY);
    FillSpriteRect(s, 0, 0, 1, 1, 1);
    FillSpriteRect(s, 1, 0, 1, 1, 2);
    FillSpriteRect(s, 0, 1, 1, 1, 3);
    FillSpriteRect(s, 1, 1, 1, 1, 4);
    BlitSprite(backBuffer, s, 100, 100, 4, 4);
    EXPECT_EQ(ScreenPixel(100, 100), 1);
    EXPECT_EQ(ScreenPixel(101, 101), 1);
    EXPECT_EQ(ScreenPixel(102, 100), 2);
    EXPECT_EQ(ScreenPixel(103, 103), 4);
    EXPECT_EQ(ScreenPixel(104, 100), 0);
    // Partly off the left and top edges: what shows is the picture's lower right part.
    BlitSprite(backBuffer, s, -2, -2, 4, 4);
    EXPECT_EQ(ScreenPixel(0, 0), 4);
    EXPECT_EQ(ScreenPixel(1, 1), 4);
    // Off the right edge: the on-screen columns only, nothing wraps to the next row.
    BlitSpriteRect(backBuffer, s, 0, 0, 2, 1, 639, 200, 2, 1);
    EXPECT_EQ(ScreenPixel(639, 200), 1);
    EXPECT_EQ(ScreenPixel(0, 201), 0);
    s->Release();
}

TEST(Blits, RectanglesLeavingAnUnclippedSpriteAreRefused) {
    MakeScratchDirectory();
    StartDisplay();
    Sprite small = CreateSprite(4, 4, 0, DDSCAPS_VIDEOMEMORY);
    Sprite big = CreateSprite(8, 8, 0, DDSCAPS_VIDEOMEMORY);
    FillSpriteRect(big, 0, 0, 8, 8, 9);
    EXPECT_EQ(BlitSprite(small, big, 2, 2, 4, 4), DDERR_INVALIDRECT);
    EXPECT_EQ(FillSpriteRect(small, -1, 0, 2, 2, 5), DDERR_INVALIDRECT);
    EXPECT_EQ(BlitSpriteRect(small, big, 6, 6, 4, 4, 0, 0, 4, 4), DDERR_INVALIDRECT);
    for (int i = 0; i < 16; i++) EXPECT_EQ(small->Pixels()[i], 0);
    small->Release();
    big->Release();
}

TEST(Blits, ALostSurfaceRefusesDrawingUntilClearSpriteRestoresIt) {
    MakeScratchDirectory();
    StartDisplay();
    Sprite s = CreateSprite(4, 4, 0, DDSCAPS_VIDEOMEMORY);
    FillSpriteRect(s, 0, 0, 4, 4, 7);
    HeadlessLoseSurfaces();
    EXPECT_EQ(FillSpriteRect(s, 0, 0, 1, 1, 5), DDERR_SURFACELOST);
    EXPECT_EQ(ClearSprite(s, 3), DD_OK);  // restored; its contents are gone
    EXPECT_EQ(s->Pixels()[0], 0);
    EXPECT_EQ(ClearSprite(s, 3), DD_OK);
    EXPECT_EQ(s->Pixels()[0], 3);
    s->Release();
}

// The 22 static pictures, each file in its slot: every file is written a width of
// its own, so a slot that loads another slot's file shows.
TEST(StaticSprites, EachFileLoadsIntoItsSlotAndDrawsAtItsOwnSize) {
    MakeScratchDirectory();
    StartDisplay();
    const char* const files[22] = {
        "case-closed",     "case-open",       "case-open-top",    "pixels",      "stat-level",
        "stat-scorebar",   "stat-timer",      "table-bottom",     "table-left",  "table-right",
        "case-frame",      "stat-level-bright", "stat-timer-bright", "menu-button0", "menu-button1",
        "case-big",        "diffuse-left",    "diffuse-right",    "diffuse-top", "diffuse-bottom",
        "www",             "smile",
    };
    WriteBmp("data/case-closed.bmp", 2, 2, {kMagenta555, Rgb555(31, 0, 0), Rgb555(0, 31, 0), kMagenta555});
    for (int slot = 1; slot < 22; slot++)
        WriteBmp(std::string("data/") + files[slot] + ".bmp", 2 + slot, 3, std::vector<uint16_t>(size_t(6 + 3 * slot), 1));
    LoadStaticSprites();
    for (int slot = 0; slot < 22; slot++) {
        EXPECT_EQ(staticSprites[slot].width, 2 + slot) << files[slot];
        EXPECT_EQ(staticSprites[slot].height, slot == 0 ? 2 : 3) << files[slot];
    }
    FillScreenRect(0, 0, 640, 480, 0x1111);
    DrawStaticSprite(0, 50, 60);
    EXPECT_EQ(ScreenPixel(50, 60), 0x1111);
    EXPECT_EQ(ScreenPixel(51, 60), 0xF800);
    EXPECT_EQ(ScreenPixel(50, 61), 0x07C0);
    EXPECT_EQ(ScreenPixel(52, 60), 0x1111);
    ReleaseSprite(&staticSprites[3].sprite);
    DrawStaticSprite(3, 0, 0);  // an empty slot draws nothing
    EXPECT_EQ(ScreenPixel(0, 0), 0x1111);
    const int before = LiveSurfaceCount();
    ReleaseStaticSprites();
    EXPECT_EQ(LiveSurfaceCount(), before - 21);
    EXPECT_EQ(staticSprites[0].sprite, nullptr);
    EXPECT_NE(ReadLog().find("Releasing static sprites\n"), std::string::npos);
}

}  // namespace
