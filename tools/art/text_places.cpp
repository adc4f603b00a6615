#include "tools/art/text_places.h"

#include "app/texts.h"
#include "gui/dialog_table.h"

namespace gen {

namespace {

void Window(std::vector<TextPlace>& v, const char* id, int width, const char* title,
            std::vector<std::pair<int, const char*>> texts) {
    // Titles start 24 pixels in; everything stays off the 3-pixel frame. Static
    // texts carry a one-pixel shadow to their right.
    v.push_back({0, title, width - 24 - 3, std::string(id) + " title"});
    for (auto [x, t] : texts) v.push_back({0, t, width - x - 3 - 1, std::string(id) + " text"});
}

void Button(std::vector<TextPlace>& v, const char* label, int width) {
    // The label is centred; two pixels of the rounded border on each side, one
    // more for the pressed offset.
    v.push_back({1, label, width - 5, std::string("button ") + label});
}

}  // namespace

const std::vector<TextPlace>& TextPlaces() {
    static const std::vector<TextPlace> places = [] {
        std::vector<TextPlace> v;
        for (const DialogSpec& d : DIALOGS) {
            std::vector<std::pair<int, const char*>> texts;
            for (int i = 0; i < d.textCount; i++) texts.push_back({d.texts[i].x, d.texts[i].text});
            Window(v, d.id, d.width, d.title, texts);
            for (int i = 0; i < d.buttonCount; i++) Button(v, d.buttons[i].label, d.buttons[i].width);
        }
        // The texts written when the dialogs are shown, at their longest.
        for (const DialogSpec& d : DIALOGS) {
            const std::string id = d.id;
            if (id == "DELETEID") v.push_back({0, "Are you sure you want to delete Maximilian?", d.width - 6 - 3 - 1, id + " text"});
            if (id == "NEWLEVEL") v.push_back({0, "Congratulations! You've completed level 99", d.width - 35 - 3 - 1, id + " text"});
        }
        for (const ScreenButtonSpec& b : SCREEN_BUTTONS) Button(v, b.label, b.width);
        // A typed id: the text box refuses a character once the text is 18 short
        // of its 120 pixels, so ids never reach the box's edge; nothing to check.
        for (const char* row : {"Play", "Mode: No time limit", "Instructions", "Credits", "Best time", "Log out", "Quit"})
            v.push_back({0, row, 188 - 8, std::string("menu row ") + row});
        v.push_back({0, "Valimo v0.9 (demo)", 479 - 270, "version line inside the case"});
        v.push_back({0, "Select your Id and click Continue or create/delete another Id.", 640 - 172, "prompt"});
        v.push_back({0, "Player Id", 292 - 185 - 2, "player list header"});
        v.push_back({0, "Level / Time", 360 - 292, "player list header"});
        v.push_back({0, "Maximilian", 317 - 185 - 2, "player list name"});
        v.push_back({0, "10 / (0:0)", 2 * (360 - 325), "player list level"});
        v.push_back({0, "%100 packed", 2 * 160, "packed line"});
        // Instructions, credits and closing lines, centred on 320 between the
        // screen borders at x 80 and 560.
        for (const char* line : {"HOW TO PLAY",
                                 "To complete a level it's required that you place all of the given items",
                                 "into the valimo. Once you've managed to do that, you proceed to the",
                                 "next level.", "CONTROLS", "Mouse:",
                                 "Use the left mouse button to pick up items and drop them into the",
                                 "valimo area by clicking the left mouse button again.", "Keyboard:",
                                 "ESCAPE - Exit to main menu", "Alt-F - Show frames per second",
                                 "Programming, Art, Video:", "VALIMO",
                                 "Special thanks to everyone on the beta-test team."})
            v.push_back({0, line, 480, "information screen"});
        v.push_back({0, CREDITS_NAME_LINE, 480, "credits name"});
        // The web-address picture's lettering starts at x 340 + 30.
        v.push_back({0, CREDITS_NOTICE_LINE, 2 * (370 - 320) - 4, "credits notice"});
        for (int i = 0; i < 16; i++) {
            // The fifth line has the web-address picture, lettering from x 388 + 30, at its right.
            int w = i == 4 ? 2 * (418 - 321) - 4 : 480;
            v.push_back({0, CLOSING_LINES[i], w, "closing line"});
            v.push_back({1, CLOSING_LINES[i], w, "closing line shadow"});
        }
        for (const char* title : {"Instructions", "Credits", "Thanks  for  playing  Valimo Demo"})
            v.push_back({2, title, 368 - 52 - 4, "title in the score bar's window"});
        // The player's name on the score bar, centred on 317, clear of the Exit button at 449.
        v.push_back({2, "Maximilian", 2 * (449 - 317) - 8, "name on the score bar"});
        v.push_back({2, "59:59", 128 - 70 - 4, "timer figures"});
        v.push_back({2, "99", 128 - 45 - 4, "level figures"});
        return v;
    }();
    return places;
}

}  // namespace gen
