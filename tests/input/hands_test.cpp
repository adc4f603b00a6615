// The keyboard alone and controllers, through the input layer as the game reads it.
#include <gtest/gtest.h>

#include <vector>

#include "app/valimo.h"
#include "input/input.h"
#include "platform/hands.h"
#include "platform/headless/headless_devices.h"
#include "test_support.h"

namespace {

constexpr int kUp = 0xC8, kRight = 0xCD, kLeft = 0xCB, kSpace = 0x39;

class HandsTest : public testing::Test {
protected:
    void SetUp() override {
        MakeScratchDirectory();
        StartDisplay();
        InitInput(mainWindow, nullptr);
        ResetHands();
        Read({});
        HeadlessQueueInput({320, 240, false, {}});
        ReadInput();
    }
    // One frame: the keys held at its read, and the hints the frame drew.
    void Read(std::vector<int> keys, HandsHints hints = {}) {
        HeadlessQueueInput({0, 0, false, std::move(keys)});
        ReadInput();
        SetHandsHints(hints);
    }
};

HandsHints Carrying() {
    HandsHints h{};
    h.carrying = true;
    return h;
}

HandsHints Typing() {
    HandsHints h{};
    h.typing = true;
    return h;
}

HandsHints PadKeyboard() {
    HandsHints h = Typing();
    h.padKeyboard = true;
    return h;
}

TEST_F(HandsTest, ArrowsStepAFewPixelsAWholeCellWhileCarryingAndGlideWhenHeld) {
    Read({kRight});
    Read({});
    EXPECT_EQ(mouseX, 324);
    Read({kRight}, Carrying());
    Read({}, Carrying());
    EXPECT_EQ(mouseX, 356) << "one cell, so the item lands one cell on";
    Read({kUp}, Carrying());
    Read({}, Carrying());
    EXPECT_EQ(mouseY, 208);
    Read({kLeft}, Carrying());
    Read({kLeft}, Carrying());
    Read({}, Carrying());
    EXPECT_EQ(mouseX, 324) << "held for two reads it is still one press";

    // Held, the pointer waits a moment, then glides, quicker the longer it is held.
    std::vector<int> xs;
    for (int i = 0; i < 40; i++) {
        Read({kRight});
        xs.push_back(mouseX);
    }
    EXPECT_EQ(xs[5], 328);
    EXPECT_GT(xs[39] - xs[30], xs[20] - xs[11]);
    for (size_t i = 1; i < xs.size(); i++) EXPECT_GE(xs[i], xs[i - 1]);
    Read({});
    const int stopped = mouseX;
    Read({});
    EXPECT_EQ(mouseX, stopped);
    for (int i = 0; i < 200; i++) Read({kRight});
    EXPECT_EQ(mouseX, 640) << "the screen's edge holds it";
}

TEST_F(HandsTest, SpaceClicksUnseenUnlessATextBoxTypesIt) {
    Read({kSpace});
    Read({kSpace});
    EXPECT_TRUE(mouseClick);
    EXPECT_EQ(keyState[kSpace], 0) << "the game never sees a clicking Space";
    Read({kSpace}, Typing());
    EXPECT_FALSE(mouseClick);
    EXPECT_NE(mouseButton, 0);
    EXPECT_EQ(keyState[kSpace], 0) << "a click that focused a box types no blank there";
    Read({}, Typing());
    Read({}, Typing());
    EXPECT_EQ(mouseButton, 0);

    Read({kSpace}, Typing());
    Read({kSpace}, Typing());
    EXPECT_EQ(mouseButton, 0);
    EXPECT_NE(keyState[kSpace], 0) << "where Space types, it types";
}

TEST_F(HandsTest, ControllerMovesClicksAndEscapesAndAKeyTakesTheHandBack) {
    HandsPadStick(0.2f, 0.0f);
    Read({});
    Read({});
    EXPECT_EQ(mouseX, 320) << "a stick at rest within its dead zone";
    EXPECT_FALSE(PadInUse());

    HandsPadStick(1.0f, 0.0f);
    std::vector<int> xs;
    for (int i = 0; i < 30; i++) {
        Read({});
        xs.push_back(mouseX);
    }
    EXPECT_TRUE(PadInUse());
    EXPECT_GT(xs[29] - xs[20], xs[10] - xs[1]) << "quicker when held";
    HandsPadStick(0.4f, 0.0f);
    const int before = mouseX;
    Read({});
    Read({});
    EXPECT_GT(mouseX, before);
    EXPECT_LT(mouseX - before, xs[29] - xs[27]) << "slower near the middle";
    HandsPadStick(0.0f, 0.0f);

    const int x = mouseX;
    SetHandsHints(Carrying());
    HandsPadButton(PADB_LEFT, true);
    Read({}, Carrying());
    Read({}, Carrying());
    HandsPadButton(PADB_LEFT, false);
    Read({}, Carrying());
    EXPECT_EQ(mouseX, x - 32);

    HandsPadButton(PADB_A, true);
    Read({});
    EXPECT_TRUE(mouseClick);
    HandsPadButton(PADB_A, false);
    Read({});
    EXPECT_EQ(mouseButton, 0);
    for (int button : {PADB_B, PADB_START}) {
        HandsPadButton(button, true);
        Read({});
        EXPECT_NE(keyState[DIK_ESCAPE], 0);
        HandsPadButton(button, false);
        Read({});
        EXPECT_EQ(keyState[DIK_ESCAPE], 0);
    }
    EXPECT_TRUE(PadInUse());
    Read({0x1E});
    EXPECT_FALSE(PadInUse()) << "a real key";
    HandsPadButton(PADB_A, true);
    EXPECT_TRUE(PadInUse());
    HandsPadReleased();
    Read({});
    Read({});
    EXPECT_EQ(mouseButton, 0) << "a controller gone holds nothing";
}

TEST_F(HandsTest, TheGamesKeyboardTakesTheControllerAndTypesKeyByKey) {
    const int x = mouseX, y = mouseY;
    SetHandsHints(PadKeyboard());
    HandsPadButton(PADB_RIGHT, true);
    HandsPadButton(PADB_RIGHT, false);
    HandsPadButton(PADB_A, true);
    HandsPadStick(0.0f, 1.0f);
    Read({}, PadKeyboard());
    for (int i = 0; i < 8; i++) Read({}, PadKeyboard());
    HandsPadStick(0.0f, 0.0f);
    HandsPadButton(PADB_B, true);
    Read({}, PadKeyboard());
    EXPECT_EQ(mouseX, x);
    EXPECT_EQ(mouseY, y);
    EXPECT_EQ(mouseButton, 0);
    EXPECT_EQ(keyState[DIK_ESCAPE], 0);
    std::vector<int> got;
    for (int p = TakePadPress(); p != PAD_NONE; p = TakePadPress()) got.push_back(p);
    EXPECT_EQ(got, (std::vector<int>{PAD_RIGHT, PAD_A, PAD_DOWN, PAD_DOWN, PAD_B}));

    // The keyboard closed with A and B still held: they stay its own until let go.
    Read({});
    Read({});
    EXPECT_EQ(mouseButton, 0);
    EXPECT_EQ(keyState[DIK_ESCAPE], 0);
    HandsPadButton(PADB_A, false);
    HandsPadButton(PADB_B, false);

    TypeKey(0x1E, true);
    TypeKey(0x30, false);
    std::vector<std::vector<int>> seen;
    for (int i = 0; i < 5; i++) {
        Read({});
        std::vector<int> down;
        for (int code = 0; code < 256; code++)
            if (keyState[code]) down.push_back(code);
        seen.push_back(down);
    }
    EXPECT_EQ(seen, (std::vector<std::vector<int>>{{0x1E, DIK_LSHIFT}, {}, {0x30}, {}, {}}));
}

}  // namespace
