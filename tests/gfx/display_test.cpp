#include <gtest/gtest.h>

#include "app/log.h"
#include "gfx/display.h"
#include "platform/faults.h"
#include "platform/headless/headless.h"
#include "test_support.h"

namespace {

struct ReporterCase {
    const char* (*reporter)(HRESULT);
    HRESULT code;
    const char* text;
};

TEST(DisplayErrors, EachReporterNamesItsListedCodesAndFallsBackToUnidentified) {
    const ReporterCase cases[] = {
        {dderrCreate, DDERR_NODIRECTDRAWHW, "dderrCreate() No DirectDraw hardware found\n"},
        {dderrCreate, DDERR_INVALIDDIRECTDRAWGUID, "dderrCreate() Invalid DirectDraw GUID\n"},
        {dderrCreate, DDERR_SURFACELOST, "dderrCreate() Unidentified error\n"},
        {dderrCooperate, DDERR_HWNDSUBCLASSED, "dderrCooperate() HWND subclassed\n"},
        {dderrCooperate, DDERR_GENERIC, "dderrCooperate() Unidentified error\n"},
        {dderrSetMode, DDERR_UNSUPPORTED, "dderrSetMode() Operation not supported\n"},
        {dderrSetMode, DDERR_WASSTILLDRAWING, "dderrSetMode() Was still drawing\n"},
        {dderrSetMode, DDERR_NOTFOUND, "dderrSetMode() Unidentified error\n"},
        {dderrCreateSurface, DDERR_OUTOFVIDEOMEMORY, "dderrCreateSurface() Out of video memory\n"},
        {dderrCreateSurface, DDERR_NOZBUFFERHW, "dderrCreateSurface() No z-buffer hardware found\n"},
        {dderrCreateSurface, HR(0x12345678), "dderrCreateSurface() Unidentified error\n"},
        // The attached-surface reporter's listed texts carry the creation prefix.
        {dderrGetAttSurface, DDERR_NOTFOUND, "dderrCreateSurface() The requested item was not found\n"},
        {dderrGetAttSurface, DDERR_SURFACELOST, "dderrCreateSurface() The surface is lost\n"},
        {dderrGetAttSurface, DDERR_GENERIC, "dderrGetAttSurface() Unidentified error\n"},
        {dderrClip, DDERR_NOCLIPPERATTACHED, "dderrClip() No clippper attached\n"},
        {dderrClip, DDERR_INVALIDCLIPLIST, "dderrClip() Invalid clip list\n"},
        {dderrClip, DD_OK, "dderrClip() Unidentified error\n"},
        {dderrLock, DDERR_SURFACEBUSY, "dderrLock() The surface is busy\n"},
        {dderrLock, DDERR_NOTLOCKED, "dderrLock() The surface is not locked\n"},
        {dderrLock, DDERR_INVALIDMODE, "dderrLock() Unidentified error\n"},
    };
    for (const ReporterCase& c : cases) EXPECT_STREQ(c.reporter(c.code), c.text) << std::hex << c.code;
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

}  // namespace
