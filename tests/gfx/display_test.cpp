#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "app/log.h"
#include "gfx/display.h"
#include "platform/faults.h"
#include "platform/headless/headless.h"
#include "test_support.h"

namespace {

// Every row of the seven reporters' tables, with the codes written out as numbers
// (not the named constants the reporters use), and each reporter's default.
struct ReporterRow {
    const char* (*reporter)(HRESULT);
    uint32_t code;
    const char* text;  // without the "\n" every message ends in
};

const ReporterRow kReporterRows[] = {
    {dderrCreate, 0x88760232, "dderrCreate() DirectDraw is already created"},
    {dderrCreate, 0x80004005, "dderrCreate() Generic"},
    {dderrCreate, 0x88760231, "dderrCreate() Invalid DirectDraw GUID"},
    {dderrCreate, 0x80070057, "dderrCreate() Invalid params"},
    {dderrCreate, 0x88760233, "dderrCreate() No DirectDraw hardware found"},
    {dderrCreate, 0x8007000E, "dderrCreate() Out of memory"},
    {dderrCooperate, 0x88760245, "dderrCooperate() Exclusive mode already set"},
    {dderrCooperate, 0x8876023B, "dderrCooperate() HWND already set"},
    {dderrCooperate, 0x8876023A, "dderrCooperate() HWND subclassed"},
    {dderrCooperate, 0x88760082, "dderrCooperate() Invalid object"},
    {dderrCooperate, 0x80070057, "dderrCooperate() Invalid params"},
    {dderrCooperate, 0x8007000E, "dderrCooperate() Out of memory"},
    {dderrSetMode, 0x80004005, "dderrSetMode() Generic"},
    {dderrSetMode, 0x88760078, "dderrSetMode() Invalid mode"},
    {dderrSetMode, 0x88760082, "dderrSetMode() Invalid object"},
    {dderrSetMode, 0x80070057, "dderrSetMode() Invalid params"},
    {dderrSetMode, 0x887600A0, "dderrSetMode() Locked surfaces"},
    {dderrSetMode, 0x887600E1, "dderrSetMode() No exclusive mode"},
    {dderrSetMode, 0x887601AE, "dderrSetMode() Surface busy"},
    {dderrSetMode, 0x80004001, "dderrSetMode() Operation not supported"},
    {dderrSetMode, 0x8876024E, "dderrSetMode() Unsupported mode"},
    {dderrSetMode, 0x8876021C, "dderrSetMode() Was still drawing"},
    {dderrCreateSurface, 0x8876005F, "dderrCreateSurface() Incompatible primary"},
    {dderrCreateSurface, 0x88760064, "dderrCreateSurface() Invalid caps"},
    {dderrCreateSurface, 0x88760082, "dderrCreateSurface() Invalid object"},
    {dderrCreateSurface, 0x80070057, "dderrCreateSurface() Invalid params"},
    {dderrCreateSurface, 0x88760091, "dderrCreateSurface() Invalid pixel format"},
    {dderrCreateSurface, 0x887600B4, "dderrCreateSurface() No alpha hardware found"},
    {dderrCreateSurface, 0x887600D4, "dderrCreateSurface() No cooperative level set"},
    {dderrCreateSurface, 0x88760233, "dderrCreateSurface() No DirectDraw hardware found"},
    {dderrCreateSurface, 0x88760235, "dderrCreateSurface() No emulation"},
    {dderrCreateSurface, 0x887600E1, "dderrCreateSurface() No exclusive mode"},
    {dderrCreateSurface, 0x887600E6, "dderrCreateSurface() No flip hardware found"},
    {dderrCreateSurface, 0x8876024F, "dderrCreateSurface() No mipmap hardware found"},
    {dderrCreateSurface, 0x88760104, "dderrCreateSurface() No overlay hardware found"},
    {dderrCreateSurface, 0x88760154, "dderrCreateSurface() No z-buffer hardware found"},
    {dderrCreateSurface, 0x8007000E, "dderrCreateSurface() Out of memory"},
    {dderrCreateSurface, 0x8876017C, "dderrCreateSurface() Out of video memory"},
    {dderrCreateSurface, 0x88760234, "dderrCreateSurface() Primary surface already exists"},
    {dderrCreateSurface, 0x8876024E, "dderrCreateSurface() Unsupported mode"},
    {dderrGetAttSurface, 0x88760082, "dderrCreateSurface() Invalid object"},
    {dderrGetAttSurface, 0x80070057, "dderrCreateSurface() Invalid params"},
    {dderrGetAttSurface, 0x887600FF, "dderrCreateSurface() The requested item was not found"},
    {dderrGetAttSurface, 0x887601C2, "dderrCreateSurface() The surface is lost"},
    {dderrClip, 0x88760082, "dderrClip() Invalid object"},
    {dderrClip, 0x80070057, "dderrClip() Invalid params"},
    {dderrClip, 0x887600D4, "dderrClip() No cooperative level set"},
    {dderrClip, 0x8007000E, "dderrClip() Out of memory"},
    {dderrClip, 0x88760237, "dderrClip() Clipper is using HWND"},
    {dderrClip, 0x8876006E, "dderrClip() Invalid clip list"},
    {dderrClip, 0x88760250, "dderrClip() Invalid surface type"},
    {dderrClip, 0x88760238, "dderrClip() No clippper attached"},
    {dderrLock, 0x80004005, "dderrLock() Generic"},
    {dderrLock, 0x88760096, "dderrLock() Invalid rect"},
    {dderrLock, 0x88760248, "dderrLock() The surface is not locked"},
    {dderrLock, 0x887601C2, "dderrLock() The surface is lost"},
    {dderrLock, 0x88760082, "dderrLock() Invalid object"},
    {dderrLock, 0x80070057, "dderrLock() Invalid params"},
    {dderrLock, 0x887601AE, "dderrLock() The surface is busy"},
    {dderrLock, 0x8007000E, "dderrLock() Out of memory"},
    {dderrLock, 0x8876021C, "dderrLock() Was still drawing"},
};

const ReporterRow kReporterDefaults[] = {
    {dderrCreate, 0, "dderrCreate() Unidentified error"},
    {dderrCooperate, 0, "dderrCooperate() Unidentified error"},
    {dderrSetMode, 0, "dderrSetMode() Unidentified error"},
    {dderrCreateSurface, 0, "dderrCreateSurface() Unidentified error"},
    {dderrGetAttSurface, 0, "dderrGetAttSurface() Unidentified error"},
    {dderrClip, 0, "dderrClip() Unidentified error"},
    {dderrLock, 0, "dderrLock() Unidentified error"},
};

TEST(DisplayErrors, EveryReporterRowAndDefaultByteForByte) {
    EXPECT_EQ(std::size(kReporterRows), 61u);
    for (const ReporterRow& row : kReporterRows)
        EXPECT_STREQ(row.reporter(HR(row.code)), (std::string(row.text) + "\n").c_str()) << std::hex << row.code;
    // Any code a reporter does not list, a code of another reporter's table included,
    // gives its own default.
    const uint32_t everyCode[] = {0x00000000, 0x12345678};
    for (const ReporterRow& fallback : kReporterDefaults) {
        std::vector<uint32_t> unlisted(std::begin(everyCode), std::end(everyCode));
        for (const ReporterRow& row : kReporterRows) unlisted.push_back(row.code);
        for (uint32_t code : unlisted) {
            bool listed = false;
            for (const ReporterRow& row : kReporterRows) listed |= row.reporter == fallback.reporter && row.code == code;
            if (listed) continue;
            EXPECT_STREQ(fallback.reporter(HR(code)), (std::string(fallback.text) + "\n").c_str()) << std::hex << code;
        }
    }
}

TEST(PixelMode, OnlyTheRedMaskDecidesBetween555And565) {
    MakeScratchDirectory();
    HeadlessSetDisplayFormat(16, 0x7C00, 0x07E0, 0x001F);  // a 565 green mask must not matter
    StartDisplay();
    EXPECT_EQ(PixelMode, 15);
    EXPECT_NE(ReadLog().find("VideoMode: 555\n"), std::string::npos);
}

TEST(PixelMode, RedMaskF800Is565) {
    MakeScratchDirectory();
    HeadlessSetDisplayFormat(16, 0xF800, 0x03E0, 0x001F);
    StartDisplay();
    EXPECT_EQ(PixelMode, 16);
    EXPECT_EQ(ReadLog(), "Initializing DirectDraw\nVideoMode: 565\n");
}

TEST(PixelMode, An8BitDisplayContinuesWithModeZero) {
    MakeScratchDirectory();
    HeadlessDisplay8Bit();
    StartDisplay();
    EXPECT_EQ(PixelMode, 0);
    EXPECT_NE(ReadLog().find("VideoMode: 8bit\n"), std::string::npos);
}

TEST(PixelMode, A32BitDisplayEndsTheProgram) {
    MakeScratchDirectory();
    HeadlessDisplay32Bit();
    EXPECT_EXIT(StartDisplay(), testing::ExitedWithCode(0), "");
    const std::string log = ReadLog();
    EXPECT_NE(log.find("System Error Occured at Unable to identify video mode, quitting...\n\n"), std::string::npos);
    EXPECT_NE(log.find("DirectDraw Release\n"), std::string::npos);
}

TEST(PixelMode, AFailedModeReadIsFatal) {
    MakeScratchDirectory();
    InjectFault("IDirectDraw::GetDisplayMode", DDERR_GENERIC);
    EXPECT_EXIT(StartDisplay(), testing::ExitedWithCode(0), "");
    EXPECT_NE(ReadLog().find("System Error Occured at lpdd->GetDisplayMode(): Failed (!DD_OK)\n"), std::string::npos);
}

TEST(DisplayInit, EachFailingStepIsReportedByItsReporterAndIsFatal) {
    const struct {
        const char* call;
        HRESULT code;
        const char* line;
    } steps[] = {
        {"DirectDrawCreate", DDERR_OUTOFMEMORY, "System Error Occured at dderrCreate() Out of memory\n"},
        {"IDirectDraw::SetCooperativeLevel", DDERR_HWNDALREADYSET,
         "System Error Occured at dderrCooperate() HWND already set\n"},
        {"IDirectDraw::SetDisplayMode", DDERR_UNSUPPORTEDMODE, "System Error Occured at dderrSetMode() Unsupported mode\n"},
        {"IDirectDraw::CreateSurface", DDERR_NOFLIPHW, "System Error Occured at dderrCreateSurface() No flip hardware found\n"},
        {"IDirectDrawSurface::GetAttachedSurface", DDERR_GENERIC,
         "System Error Occured at dderrGetAttSurface() Unidentified error\n"},
        {"IDirectDraw::CreateClipper", DDERR_OUTOFMEMORY, "System Error Occured at dderrClip() Out of memory\n"},
        {"IDirectDrawClipper::SetClipList", DDERR_INVALIDCLIPLIST, "System Error Occured at dderrClip() Invalid clip list\n"},
        {"IDirectDrawSurface::SetClipper", DDERR_INVALIDSURFACETYPE,
         "System Error Occured at dderrClip() Invalid surface type\n"},
    };
    for (const auto& step : steps) {
        MakeScratchDirectory();
        EXPECT_EXIT(
            {
                InjectFault(step.call, step.code);
                StartDisplay();
            },
            testing::ExitedWithCode(0), "")
            << step.call;
        const std::string log = ReadLog();
        EXPECT_NE(log.find(step.line), std::string::npos) << step.call << "\n" << log;
        EXPECT_EQ(log.find("VideoMode"), std::string::npos) << step.call;
    }
}

TEST(DisplayInit, NoDisplayAtAllIsReportedAsNoHardware) {
    MakeScratchDirectory();
    HeadlessSetNoDisplay(true);
    EXPECT_EXIT(StartDisplay(), testing::ExitedWithCode(0), "");
    EXPECT_NE(ReadLog().find("dderrCreate() No DirectDraw hardware found\n"), std::string::npos);
}

TEST(DisplayInit, BackBufferIsClippedToTheScreen) {
    MakeScratchDirectory();
    StartDisplay();
    ASSERT_NE(backBuffer, nullptr);
    // A fill reaching past every edge is cut, not refused.
    DDBLTFX fx{100, 0x1234};
    RECT r{-10, -10, 700, 500};
    EXPECT_EQ(backBuffer->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    EXPECT_EQ(backBuffer->Pixels()[0], 0x1234);
    EXPECT_EQ(backBuffer->Pixels()[640 * 480 - 1], 0x1234);
}

TEST(SurfaceLocks, UnlockClearsTheRecordAndFailuresAreFatal) {
    MakeScratchDirectory();
    StartDisplay();
    SurfaceLock lock{};
    LockSurface(backBuffer, &lock);
    EXPECT_NE(lock.pixels, nullptr);
    EXPECT_EQ(lock.pitch, 1280);
    UnlockSurface(backBuffer, &lock);
    EXPECT_EQ(lock.pixels, nullptr);
    EXPECT_EQ(lock.pitch, 0);

    EXPECT_EXIT(
        {
            InjectFault("IDirectDrawSurface::Lock", DDERR_SURFACELOST);
            LockSurface(backBuffer, &lock);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_NE(ReadLog().find("System Error Occured at dderrLock() The surface is lost\n\n"), std::string::npos);
    EXPECT_EXIT(UnlockSurface(backBuffer, &lock), testing::ExitedWithCode(0), "");
    EXPECT_NE(ReadLog().find("System Error Occured at dderrLock() The surface is not locked\n"), std::string::npos);
}

TEST(DisplayRelease, ReleasingTwiceOrBeforeInitReleasesNothingAndStillLogs) {
    MakeScratchDirectory();
    ReleaseDirectDraw();
    StartDisplay();
    ReleaseDirectDraw();
    ReleaseDirectDraw();
    EXPECT_EQ(lpdd, nullptr);
    EXPECT_EQ(backBuffer, nullptr);
    EXPECT_EQ(LiveSurfaceCount(), 0);
    EXPECT_EQ(ReadLog(), "DirectDraw Release\nInitializing DirectDraw\nVideoMode: 565\nDirectDraw Release\nDirectDraw Release\n");
}

TEST(Flip, ShowsTheBackBufferAndFailsWhileSurfacesAreLost) {
    MakeScratchDirectory();
    StartDisplay();
    DDBLTFX fx{100, 0xF800};
    backBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    EXPECT_EQ(FlipScreen(), DD_OK);
    EXPECT_EQ(HeadlessFramePixel(320, 240), 0xF800);
    HeadlessLoseSurfaces();
    EXPECT_EQ(FlipScreen(), DDERR_SURFACELOST);
    EXPECT_EQ(HeadlessFramesPresented(), 1);
}

// A frame like the one on the screen is not drawn again; a changed one only in the
// rectangle that changed, however small; a new output or pixel layout gets it whole.
TEST(Flip, DrawsOnlyWhatChangedAndNothingForTheSameFrame) {
    MakeScratchDirectory();
    StartDisplay();
    struct Rect {
        int x, y, w, h;
        bool operator==(const Rect&) const = default;
    };
    const auto drawn = [] {
        Rect r{};
        HeadlessLastDrawnRect(&r.x, &r.y, &r.w, &r.h);
        return r;
    };
    // Flipping swaps the buffers: each frame is drawn again in full, as the game does.
    struct Fill {
        LONG x, y, w, h;
        DWORD colour;
    };
    const auto flip = [](std::initializer_list<Fill> fills) {
        DDBLTFX fx{100, 0x1234};
        backBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
        for (const Fill& f : fills) {
            RECT to{f.x, f.y, f.x + f.w, f.y + f.h};
            fx.dwFillColor = f.colour;
            backBuffer->Blt(&to, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
        }
        EXPECT_EQ(FlipScreen(), DD_OK);
    };
    flip({});
    EXPECT_EQ(HeadlessFramesDrawn(), 1);
    EXPECT_EQ(drawn(), (Rect{0, 0, 640, 480}));
    flip({});
    flip({});
    EXPECT_EQ(HeadlessFramesPresented(), 3);
    EXPECT_EQ(HeadlessFramesDrawn(), 1) << "the same frame twice more";

    flip({{639, 479, 1, 1, 0xFFFF}});
    EXPECT_EQ(HeadlessFramesDrawn(), 2) << "one pixel is a change";
    EXPECT_EQ(drawn(), (Rect{639, 479, 1, 1}));
    EXPECT_EQ(HeadlessFramePixel(639, 479), 0xFFFF);
    flip({{0, 200, 32, 32, 0xF800}, {100, 10, 1, 1, 0x07E0}});
    EXPECT_EQ(drawn(), (Rect{0, 10, 640, 470})) << "the pointer's block, a pixel and the corner put back";
    EXPECT_EQ(HeadlessFramePixel(31, 231), 0xF800);
    EXPECT_EQ(HeadlessFramePixel(639, 479), 0x1234);
    flip({});
    EXPECT_EQ(drawn(), (Rect{0, 10, 101, 222}));
    EXPECT_EQ(HeadlessLastFrame(), std::vector<uint16_t>(640 * 480, 0x1234));

    const int before = HeadlessFramesDrawn();
    HeadlessOutputChanged();
    flip({});
    EXPECT_EQ(drawn(), (Rect{0, 0, 640, 480})) << "a new output";
    HeadlessDisplay555();
    flip({});
    EXPECT_EQ(HeadlessFramesDrawn(), before + 2) << "the same words in another layout are other colours";
    EXPECT_EQ(HeadlessLastFramePixelMode(), 15);
}

}  // namespace
