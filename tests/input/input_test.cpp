#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <vector>

#include "app/valimo.h"
#include "gfx/display.h"
#include "gfx/sprite.h"
#include "input/input.h"
#include "platform/dinput.h"
#include "platform/faults.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_devices.h"
#include "platform/keymap.h"
#include "test_support.h"

namespace {

class InputTest : public testing::Test {
protected:
    void SetUp() override {
        MakeScratchDirectory();
        StartDisplay();
        InitInput(mainWindow, nullptr);
    }
};

void Frame(int dx, int dy, bool button, std::vector<int> keys = {}) {
    HeadlessQueueInput({dx, dy, button, std::move(keys)});
    ReadInput();
}

TEST_F(InputTest, PointerStaysWithinTheScreenAndMayStandOnItsFarEdges) {
    EXPECT_EQ(mouseX, 0);
    Frame(100, 50, false);
    EXPECT_EQ(mouseX, 100);
    EXPECT_EQ(mouseY, 50);
    Frame(-5000, -5000, false);
    EXPECT_EQ(mouseX, 0);
    EXPECT_EQ(mouseY, 0);
    Frame(5000, 5000, false);
    EXPECT_EQ(mouseX, 640);
    EXPECT_EQ(mouseY, 480);
    Frame(-1, -1, false);
    EXPECT_EQ(mouseX, 639);
    EXPECT_EQ(mouseY, 479);
    // Motion far beyond any screen never wraps round.
    Frame(0x7FFFFFFF, 0x7FFFFFFF, false);
    EXPECT_EQ(mouseX, 640);
    EXPECT_EQ(mouseY, 480);
}

TEST_F(InputTest, ClickComesInTheFirstHeldFrameOnly) {
    Frame(0, 0, false);
    EXPECT_FALSE(mouseClick);
    Frame(0, 0, true);
    EXPECT_TRUE(mouseClick);
    EXPECT_NE(mouseButton, 0);
    Frame(0, 0, true);
    EXPECT_FALSE(mouseClick);
    EXPECT_NE(mouseButton, 0);
    Frame(0, 0, true);
    EXPECT_FALSE(mouseClick);
    Frame(0, 0, false);
    EXPECT_FALSE(mouseClick);
    EXPECT_EQ(mouseButton, 0);
    Frame(0, 0, true);
    EXPECT_TRUE(mouseClick);
}

TEST_F(InputTest, ConsumerClearingTheClickHidesItFromLaterOnesAndItDoesNotReturn) {
    Frame(0, 0, true);
    ASSERT_TRUE(mouseClick);
    mouseClick = false;  // the first consumer acts on it
    EXPECT_FALSE(mouseClick);
    Frame(0, 0, true);
    EXPECT_FALSE(mouseClick);
}

TEST_F(InputTest, ResetClearsPointerAndPendingClick) {
    Frame(30, 40, true);
    pointerShape = 2;
    ResetInputState();
    EXPECT_EQ(mouseX, 0);
    EXPECT_EQ(mouseY, 0);
    EXPECT_EQ(pointerShape, 0);
    EXPECT_FALSE(mouseClick);
    // The press latch is cleared too: a button still held counts as a new press.
    Frame(0, 0, true);
    EXPECT_TRUE(mouseClick);
}

TEST_F(InputTest, NoKeyDownLooksAtCodesBelow64Only) {
    Frame(0, 0, false);
    EXPECT_TRUE(NoKeyDown());
    Frame(0, 0, false, {63});
    EXPECT_FALSE(NoKeyDown());
    Frame(0, 0, false, {64, 0x9C, 0xC8});
    EXPECT_TRUE(NoKeyDown());
    Frame(0, 0, false, {0x01});
    EXPECT_FALSE(NoKeyDown());
    EXPECT_NE(keyState[0x01], 0);
}

TEST_F(InputTest, KeyLatchesHoldUntilClearedAndRefuseOtherCodes) {
    EXPECT_FALSE(IsKeyLatched(30));
    keyLatch[30] = 1;
    EXPECT_TRUE(IsKeyLatched(30));
    EXPECT_FALSE(IsKeyLatched(31));
    EXPECT_FALSE(IsKeyLatched(-1));
    EXPECT_FALSE(IsKeyLatched(64));
    EXPECT_FALSE(IsKeyLatched(255));
    keyLatch[63] = 1;
    ClearKeyLatches();
    for (int code = 0; code < 64; code++) EXPECT_FALSE(IsKeyLatched(code)) << code;
}

TEST_F(InputTest, FailedReadsAreLoggedAndKeepTheLastState) {
    Frame(10, 0, true, {DIK_ESCAPE});
    ASSERT_EQ(mouseX, 10);
    InjectFault("IDirectInputDevice::GetDeviceState", DIERR_INPUTLOST, 0, 2);
    HeadlessReleaseAllKeys();
    ReadInput();
    // The mouse state still holds the last motion, which moves the pointer again.
    EXPECT_EQ(mouseX, 20);
    EXPECT_NE(mouseButton, 0);
    EXPECT_NE(keyState[DIK_ESCAPE], 0);
    const std::string log = ReadLog();
    EXPECT_NE(log.find("Failed to get mouse device stateFailed to get keyboard device state"), std::string::npos);
}

TEST_F(InputTest, FrameLoopReadsInputOnlyWhileActive) {
    windowActive = 0;
    HeadlessMoveMouse(7, 9);
    FrameLoopPass();
    EXPECT_EQ(mouseX, 0);
    windowActive = 1;
    FrameLoopPass();
    EXPECT_EQ(mouseX, 7);
    EXPECT_EQ(mouseY, 9);
}

TEST_F(InputTest, ReleaseLetsGoOfTheDevices) {
    EXPECT_TRUE(HeadlessMouseAcquired());
    ReleaseInput();
    EXPECT_FALSE(HeadlessMouseAcquired());
    // A second release finds nothing left to let go of.
    ReleaseInput();
    const std::string log = ReadLog();
    EXPECT_NE(log.find("DirectInput Release\nDirectInput Release\n"), std::string::npos);
}

uint16_t BackPixel(int x, int y) { return backBuffer->Pixels()[size_t(y) * size_t(backBuffer->Width()) + size_t(x)]; }

Sprite SolidSprite(int width, int height, uint16_t colour) {
    Sprite sprite = CreateSprite(width, height, 1, DDSCAPS_VIDEOMEMORY);
    FillSpriteRect(sprite, 0, 0, width, height, colour);
    return sprite;
}

TEST_F(InputTest, PointerDrawsNothingUntilItsImagesExist) {
    ClearSprite(backBuffer, 0x1234);
    Frame(100, 100, false);
    const std::vector<uint16_t> before(backBuffer->Pixels(), backBuffer->Pixels() + 640 * 480);
    for (int shape = 0; shape < 3; shape++) {
        pointerShape = shape;
        DrawPointer();
    }
    EXPECT_TRUE(std::equal(before.begin(), before.end(), backBuffer->Pixels()));
}

TEST_F(InputTest, PointerImageFollowsShapeAndButton) {
    pointerArrowUp = SolidSprite(16, 16, 0x0001);
    pointerArrowDown = SolidSprite(16, 16, 0x0002);
    pointerHandUp = SolidSprite(16, 16, 0x0003);
    pointerHandDown = SolidSprite(16, 16, 0x0004);
    pointerTextBar = SolidSprite(5, 12, 0x0005);
    Frame(100, 100, false);
    struct Case {
        int shape;
        bool button;
        uint16_t colour;
    };
    for (const Case& c : {Case{0, false, 1}, Case{0, true, 2}, Case{1, false, 3}, Case{1, true, 4}}) {
        ClearSprite(backBuffer, 0);
        HeadlessSetMouseButton(c.button);
        ReadInput();
        pointerShape = c.shape;
        DrawPointer();
        EXPECT_EQ(BackPixel(100, 100), c.colour) << c.shape;
        EXPECT_EQ(BackPixel(115, 115), c.colour) << c.shape;
        EXPECT_EQ(BackPixel(99, 100), 0) << c.shape;
        EXPECT_EQ(BackPixel(116, 116), 0) << c.shape;
    }
    // The text bar is centred on the pointer and has no pressed image.
    ClearSprite(backBuffer, 0);
    pointerShape = 2;
    DrawPointer();
    EXPECT_EQ(BackPixel(98, 94), 5);
    EXPECT_EQ(BackPixel(102, 105), 5);
    EXPECT_EQ(BackPixel(97, 94), 0);
    EXPECT_EQ(BackPixel(103, 106), 0);

    ClearSprite(backBuffer, 0);
    pointerVisible = false;
    pointerShape = 0;
    DrawPointer();
    EXPECT_EQ(BackPixel(100, 100), 0);

    // The desktop pointer outside the window or over the bars: its own arrow shows
    // there, and the game draws none held at the picture's edge.
    pointerVisible = true;
    HeadlessSetCursorOverPicture(false);
    DrawPointer();
    EXPECT_EQ(BackPixel(100, 100), 0);
    HeadlessSetCursorOverPicture(true);
    DrawPointer();
    EXPECT_EQ(BackPixel(100, 100), 2) << "back where the pointer enters, pressed as the button is held";
}

struct SetupFault {
    const char* call;
    int skip;
    const char* message;
};

void PrintTo(const SetupFault& fault, std::ostream* out) { *out << fault.call; }


class InputSetupFaultTest : public testing::TestWithParam<SetupFault> {};

TEST_P(InputSetupFaultTest, EndsTheProgramWithItsMessage) {
    MakeScratchDirectory();
    StartDisplay();
    const SetupFault fault = GetParam();
    EXPECT_EXIT(
        {
            InjectFault(fault.call, DIERR_GENERIC, fault.skip);
            InitInput(mainWindow, nullptr);
        },
        testing::ExitedWithCode(0), "");
    const std::string log = ReadLog();
    EXPECT_NE(log.find(std::string("Initializing DirectInput\nSystem Error Occured at ") + fault.message + "\n"),
              std::string::npos)
        << log;
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, InputSetupFaultTest,
    testing::Values(SetupFault{"DirectInputCreateA", 0, "Failed to create the DirectInput object"},
                    SetupFault{"IDirectInput::CreateDevice", 0, "Failed to create the keyboard device"},
                    SetupFault{"IDirectInputDevice::SetCooperativeLevel", 0, "Failed to set keyboard cooperative level"},
                    SetupFault{"IDirectInputDevice::SetDataFormat", 0, "Failed to set keyboard data format"},
                    SetupFault{"IDirectInputDevice::Acquire", 0, "Failed to acquire keyboard"},
                    SetupFault{"IDirectInput::CreateDevice", 1, "Failed to create the mouse device"},
                    SetupFault{"IDirectInputDevice::SetCooperativeLevel", 1, "Failed to set mouse cooperative level"},
                    SetupFault{"IDirectInputDevice::SetDataFormat", 1, "Failed to set mouse data format"},
                    SetupFault{"IDirectInputDevice::Acquire", 1, "Failed to acquire mouse"}),
    [](const testing::TestParamInfo<SetupFault>& param) {
        std::string name;
        for (const char* c = param.param.message; *c; c++)
            if (*c != ' ') name += *c;
        return name;
    });

// The keys are named here by their place on the keyboard, not copied from the
// table: SDL numbers the letters A to Z from 4 and the digits 1 to 9, 0 from 30;
// DirectInput numbers the keyboard's rows.
TEST(ScancodeTable, MapsKeysToTheirDirectInputCodes) {
    const struct {
        const char* keys;  // a run of keys with consecutive DirectInput codes
        int firstCode;
    } rows[] = {{"1234567890", 0x02}, {"QWERTYUIOP", 0x10}, {"ASDFGHJKL", 0x1E}, {"ZXCVBNM", 0x2C}};
    int checked = 0;
    for (const auto& row : rows) {
        for (int i = 0; row.keys[i]; i++) {
            const char key = row.keys[i];
            const int scancode = key >= 'A' ? 4 + (key - 'A') : key == '0' ? 39 : 30 + (key - '1');
            EXPECT_EQ(ScancodeToDik(scancode), row.firstCode + i) << key;
            checked++;
        }
    }
    EXPECT_EQ(checked, 36);

    struct Key {
        int scancode;
        int code;
        const char* name;
    };
    // Every other code the game reads (the text box types codes 0 to 63).
    const Key read[] = {
        {41, 0x01, "Escape"},      {45, 0x0C, "minus"},        {46, 0x0D, "equals"},
        {42, 0x0E, "Backspace"},   {43, 0x0F, "Tab"},          {47, 0x1A, "left bracket"},
        {48, 0x1B, "right bracket"}, {40, 0x1C, "Return"},     {224, 0x1D, "left Ctrl"},
        {51, 0x27, "semicolon"},   {52, 0x28, "apostrophe"},   {53, 0x29, "grave"},
        {225, 0x2A, "left Shift"}, {49, 0x2B, "backslash"},    {54, 0x33, "comma"},
        {55, 0x34, "full stop"},   {56, 0x35, "slash"},        {229, 0x36, "right Shift"},
        {85, 0x37, "keypad *"},    {226, 0x38, "left Alt"},    {44, 0x39, "Space"},
        {57, 0x3A, "Caps Lock"},   {58, 0x3B, "F1"},           {59, 0x3C, "F2"},
        {60, 0x3D, "F3"},          {61, 0x3E, "F4"},           {62, 0x3F, "F5"},
    };
    for (const Key& key : read) EXPECT_EQ(ScancodeToDik(key.scancode), key.code) << key.name;
    EXPECT_EQ(ScancodeToDik(0), 0);
    EXPECT_EQ(ScancodeToDik(-1), 0);
    EXPECT_EQ(ScancodeToDik(SCANCODE_COUNT), 0);

    // No two keys of the main block share a code, so no key types as another.
    int owners[64] = {};
    for (int scancode = 0; scancode < SCANCODE_COUNT; scancode++) {
        const int code = ScancodeToDik(scancode);
        if (code > 0 && code < 64 && scancode != 50) owners[code]++;  // 50: the ISO key that is backslash
    }
    for (int code = 1; code < 64; code++) EXPECT_LE(owners[code], 1) << "code " << code;
}

TEST(ScancodeTable, ReachesEveryMainKeyboardCode) {
    bool reached[256] = {};
    for (int scancode = 0; scancode < SCANCODE_COUNT; scancode++) reached[ScancodeToDik(scancode)] = true;
    // 0x54 and 0x55 are no keys of their own.
    for (int code = 1; code <= 88; code++) {
        if (code == 0x54 || code == 0x55) continue;
        EXPECT_TRUE(reached[code]) << code;
    }
}

}  // namespace
