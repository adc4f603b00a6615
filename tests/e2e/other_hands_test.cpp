// First runs without a mouse: the keyboard alone, and a controller alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "e2e/game_run.h"
#include "input/input.h"
#include "platform/hands.h"
#include "platform/headless/headless.h"
#include "profiles/profiles.h"
#include "puzzle/packing.h"
#include "test_support.h"

namespace {

constexpr int kArrows[4] = {0xC8, 0xD0, 0xCB, 0xCD};  // up, down, left, right
constexpr int kSpace = 0x39;
enum { UP, DOWN, LEFT, RIGHT };

// One pair of hands: a direction held or let go, the button held or let go, a frame.
struct Hands {
    bool keyboard;
    std::vector<int> held;
    void Hold(int dir, bool down) {
        if (keyboard) {
            held.erase(std::remove(held.begin(), held.end(), kArrows[dir]), held.end());
            if (down) held.push_back(kArrows[dir]);
        } else {
            HandsPadButton(dir, down);
        }
    }
    void Button(bool down) {
        if (keyboard) {
            held.erase(std::remove(held.begin(), held.end(), kSpace), held.end());
            if (down) held.push_back(kSpace);
        } else {
            HandsPadButton(PADB_A, down);
        }
    }
    void Tick() { Frame({0, 0, false, held}); }
    void Press(int dir) {
        Hold(dir, true);
        Tick();
        Hold(dir, false);
        Tick();
    }
    void Click() {
        Button(true);
        Tick();
        Button(false);
        Tick();
        Tick();
    }
    // The pointer to within a step of (x, y): held while far, pressed near.
    void To(int x, int y) {
        for (int axis = 0; axis < 2; axis++) {
            for (int guard = 0; guard < 300; guard++) {
                const int d = axis == 0 ? x - mouseX : y - mouseY;
                const int step = carrying ? 32 : 4;
                if (std::abs(d) <= step / 2) break;
                const int dir = axis == 0 ? (d > 0 ? RIGHT : LEFT) : (d > 0 ? DOWN : UP);
                if (std::abs(d) > 48 && !carrying) {
                    Hold(dir, true);
                    Tick();
                } else {
                    Press(dir);
                }
            }
            for (int dir = 0; dir < 4; dir++) Hold(dir, false);
            Tick();
            Tick();
        }
    }
};

// From the welcome to a new player in the main menu and the first level in play;
// `name` types the id once the box has the focus.
template <typename TypeName>
void ToTheFirstLevel(Hands& hands, TypeName name, const char* id) {
    PrepareGame();
    StartGame();
    ASSERT_GT(RunUntilState(GS_WELCOME, 2000), 10);
    hands.To(315, 290);
    hands.Click();  // "Continue..."
    ASSERT_EQ(GameState, GS_FIRST_ID);
    hands.To(300, 242);
    hands.Click();  // into the id box
    name();
    hands.To(276, 297);
    hands.Click();  // "Create Player"
    ASSERT_EQ(GameState, GS_SELECT_PLAYER);
    EXPECT_EQ(ReadFile("prefs.dat"), std::string("PLAYERS 1\n") + id + " 0 0 0\n");
    hands.To(416, 327);
    hands.Click();
    ASSERT_EQ(GameState, GS_MAIN_MENU);
    for (int i = 0; i < 80; i++) hands.Tick();
    hands.To(320, 163);
    hands.Click();  // "Play"
    ASSERT_EQ(GameState, GS_NEW_LEVEL);
    hands.To(320, 272);
    hands.Click();
    ASSERT_EQ(GameState, GS_PLAYING);
}

// Each item taken by a solid cell and carried a cell a press to its place.
void SolveFirstLevel(Hands& hands) {
    const gen::SolveResult found = SolveLevelInPlay();
    ASSERT_TRUE(found.solvable);
    for (int item = 0; item < gameLevel.itemCount && GameState == GS_PLAYING; item++) {
        const gen::Placement& p = found.solution[size_t(item)];
        const Item& it = gameLevel.items[item];
        int fromX, fromY, toX, toY;
        SolidCellCentre(it, it.column, it.row, &fromX, &fromY);
        SolidCellCentre(it, p.col, p.row, &toX, &toY);
        hands.To(fromX, fromY);
        hands.Click();
        ASSERT_TRUE(carrying) << "item " << item;
        hands.To(mouseX + toX - fromX, mouseY + toY - fromY);
        hands.Click();
        ASSERT_FALSE(carrying) << "item " << item;
    }
    ASSERT_EQ(GameState, GS_NEW_LEVEL);
}

TEST(OtherHands, AFirstRunWithTheKeyboardAlone) {
    Hands keys{true, {}};
    ToTheFirstLevel(
        keys,
        [&] {
            Type("kai");
            // The space bar types here, it does not click (and a player id takes no blank);
            // Return leaves the box, and Space clicks again.
            keys.Click();
            EXPECT_TRUE(CurrentHandsHints().typing);
            PressKey(DIK_RETURN);
            EXPECT_FALSE(CurrentHandsHints().typing);
        },
        "kai");
    SolveFirstLevel(keys);
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 1\nkai 1 0 0\n");
}

TEST(OtherHands, AFirstRunWithAControllerAlone) {
    Hands pad{false, {}};
    ToTheFirstLevel(
        pad,
        [&] {
            // The game's keyboard: the highlight starts on q, in the second row.
            const char* rows[] = {"1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm", "<>"};
            int row = 1, column = 0;
            ASSERT_TRUE(CurrentHandsHints().padKeyboard) << "the game's keyboard is up";
            HeadlessWriteFramePng("pad_keyboard.png");
            for (char c : std::string("ok2<o>")) {
                int r = 0;
                while (!std::strchr(rows[r], c)) r++;
                const int col = int(std::strchr(rows[r], c) - rows[r]);
                for (; row < r; row++) pad.Press(DOWN);
                for (; row > r; row--) pad.Press(UP);
                column = std::min(column, int(std::strlen(rows[row])) - 1);
                for (; column < col; column++) pad.Press(RIGHT);
                for (; column > col; column--) pad.Press(LEFT);
                pad.Click();
            }
            EXPECT_FALSE(CurrentHandsHints().padKeyboard) << "Done closed it";
            EXPECT_FALSE(CurrentHandsHints().typing) << "and took the focus from the box";
        },
        "oko");
    SolveFirstLevel(pad);
    EXPECT_EQ(ReadFile("prefs.dat"), "PLAYERS 1\noko 1 0 0\n");
}

}  // namespace
