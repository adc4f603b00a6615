// Contact sheets: every picture at twice its size, the fonts with sample lines,
// the screens put together as the game draws them, every level's start and one
// solution, and frames of the movies.
#include <filesystem>
#include <map>
#include <stdexcept>

#include "app/texts.h"
#include "gui/dialog_table.h"
#include "platform/png.h"
#include "tools/dataset.h"
#include "tools/art/items.h"

namespace gen {

namespace fs = std::filesystem;

namespace {

struct Fonts {
    const DataSet& d;
    std::array<std::array<int, 96>, 3> adv;
    explicit Fonts(const DataSet& data) : d(data) {
        for (int i = 0; i < 3; i++) adv[size_t(i)] = MeasureAdvances(d.fonts[size_t(i)].image, d.fonts[size_t(i)].cell);
    }
    int Width(int f, const std::string& s) const { return TextWidth(adv[size_t(f)], s); }
    void Print(Image16& dst, int f, const std::string& s, int x, int y) const {
        PrintText(dst, d.fonts[size_t(f)], adv[size_t(f)], s, x, y);
    }
    void Centred(Image16& dst, int f, const std::string& s, int cx, int y) const { Print(dst, f, s, cx - Width(f, s) / 2, y); }
};

void Fill(Image16& img, int x, int y, int w, int h, uint16_t c) {
    for (int j = std::max(0, y); j < std::min(img.h, y + h); j++)
        for (int i = std::max(0, x); i < std::min(img.w, x + w); i++) img.At(i, j) = c;
}

Image16 Scaled(const Image16& img, int k, uint16_t keyAs) {
    Image16 out(img.w * k, img.h * k);
    for (int y = 0; y < out.h; y++)
        for (int x = 0; x < out.w; x++) {
            uint16_t p = img.Get(x / k, y / k);
            out.At(x, y) = (p & 0x7FFF) == kMagenta ? keyAs : p;
        }
    return out;
}

bool Png(const fs::path& p, const Image16& img, std::string& error) {
    std::vector<uint8_t> rgb = PixelsToRgb(img.px.data(), img.w, img.h, img.w, 15);
    if (WritePng(p.string(), img.w, img.h, rgb)) return true;
    error = "cannot write " + p.string();
    return false;
}

void Static(Image16& s, const DataSet& d, int slot, int x, int y) {
    const Image16& img = d.statics[size_t(slot)].image;
    s.Blit(img, 0, 0, img.w, img.h, x, y, true);
}

void PlayScreen(Image16& s, const DataSet& d, bool open) {
    Fill(s, 0, 0, 640, 194, 0);
    if (open) {
        Static(s, d, 1, 157, 123);
        Static(s, d, 2, 139, 56);
    } else {
        Static(s, d, 0, 157, 123);
    }
    Static(s, d, 8, 0, 194);
    Static(s, d, 7, 157, 387);
    Static(s, d, 9, 483, 194);
}

// A button picture as the GUI registry composes it from the skin.
Image16 ButtonImage(const Image16& gui, int w, int h, bool pressed) {
    Image16 b(w, h, 0x5F1C);
    int o = pressed ? 24 : 0;
    for (int i = 0; i < w; i++) {
        b.Blit(gui, 37, 17 + o, 1, 2, i, 0, false);
        b.Blit(gui, 37, 35 + o, 1, 2, i, h - 2, false);
    }
    for (int i = 0; i < h; i++) {
        b.Blit(gui, 31, 24 + o, 2, 1, 0, i, false);
        b.Blit(gui, 60, 24 + o, 2, 1, w - 2, i, false);
    }
    b.Blit(gui, 31, 17 + o, 5, 5, 0, 0, false);
    b.Blit(gui, 57, 17 + o, 5, 5, w - 5, 0, false);
    b.Blit(gui, 31, 32 + o, 5, 5, 0, h - 5, false);
    b.Blit(gui, 57, 32 + o, 5, 5, w - 5, h - 5, false);
    return b;
}

void ButtonOn(Image16& s, const Fonts& f, const Image16& gui, const std::string& label, int x, int y, int w, int h,
              bool pressed = false) {
    Image16 b = ButtonImage(gui, w, h, pressed);
    s.Blit(b, 0, 0, w, h, x, y, true);
    int dd = pressed ? 1 : 0;
    f.Print(s, 1, label, x + w / 2 - f.Width(1, label) / 2 + dd, y + h / 2 - 14 / 2 - 1 + dd);
}

struct WindowLayout {
    std::string title;
    int x, y, w, h;
    std::vector<std::pair<std::pair<int, int>, std::string>> texts;
    std::vector<std::tuple<std::string, int, int, int, int>> buttons;
    std::vector<std::tuple<int, int, int, std::string>> boxes;  // x, y, width, text (focused)
};

void WindowOn(Image16& s, const Fonts& f, const Image16& gui, const WindowLayout& w) {
    Image16 img(w.w, w.h, 0x3E3E);
    for (int i = 0; i < w.w; i++) {
        img.Blit(gui, 3, 0, 1, 2, i, 0, false);
        img.Blit(gui, 3, 59, 1, 2, i, w.h - 2, false);
    }
    for (int i = 0; i < w.h; i++) {
        img.Blit(gui, 0, 3, 2, 1, 0, i, false);
        img.Blit(gui, 25, 3, 2, 1, w.w - 2, i, false);
    }
    img.Blit(gui, 0, 0, 2, 2, 0, 0, false);
    img.Blit(gui, 25, 0, 2, 2, w.w - 2, 0, false);
    img.Blit(gui, 0, 59, 2, 2, 0, w.h - 2, false);
    img.Blit(gui, 25, 59, 2, 2, w.w - 2, w.h - 2, false);
    Fill(img, 3, 3, w.w - 6, 20, 0x000B);
    img.Blit(gui, 3, 3, 20, 20, 3, 3, false);
    Fill(img, 3, w.h - 33, w.w - 6, 30, 0x4E98);
    for (const auto& [bx, by, bw, text] : w.boxes) {
        img.Blit(gui, 42, 21, 1, 14, bx, by, false);
        img.Blit(gui, 51, 21, 1, 14, bx + bw - 1, by, false);
        for (int i = bx + 1; i <= bx + bw - 2; i++) img.Blit(gui, 43, 21, 1, 14, i, by, false);
    }
    s.Blit(img, 0, 0, w.w, w.h, w.x, w.y, false);
    f.Print(s, 0, w.title, w.x + 24, w.y + 5);
    for (const auto& [pos, text] : w.texts) {
        f.Print(s, 1, text, w.x + pos.first + 1, w.y + pos.second + 1);
        f.Print(s, 0, text, w.x + pos.first, w.y + pos.second);
    }
    for (const auto& [label, bx, by, bw, bh] : w.buttons) ButtonOn(s, f, gui, label, w.x + bx, w.y + by, bw, bh);
    for (const auto& [bx, by, bw, text] : w.boxes) {
        int fx = w.x + bx, fy = w.y + by;
        Image16 focus(bw + 6, 20);
        focus.Blit(gui, 39, 18, 3, 20, 0, 0, false);
        focus.Blit(gui, 52, 18, 3, 20, bw + 3, 0, false);
        for (int i = 3; i <= bw + 2; i++) {
            focus.Blit(gui, 42, 18, 1, 3, i, 0, false);
            focus.Blit(gui, 42, 35, 1, 3, i, 17, false);
        }
        s.Blit(focus, 0, 0, focus.w, focus.h, fx - 3, fy - 3, true);
        f.Print(s, 1, text, fx + 1, fy - 1);
        Fill(s, fx + f.Width(1, text) + 2, fy + 4, 2, 7, 0);
    }
}

// A dialog as the game declares it, where it opens; texts written when it is
// shown replace the declared ones, and typed is the text box's content.
WindowLayout Declared(const char* id, std::vector<std::pair<std::pair<int, int>, std::string>> shown = {},
                      const std::string& typed = "") {
    for (const DialogSpec& d : DIALOGS) {
        if (std::string(d.id) != id) continue;
        // As CenterWindow places it: half of each size off the screen's centre.
        WindowLayout w{d.title, d.x == DIALOG_CENTRED ? 320 - d.width / 2 : d.x,
                       d.x == DIALOG_CENTRED ? 240 - d.height / 2 : d.y, d.width, d.height, std::move(shown), {}, {}};
        if (w.texts.empty())
            for (int i = 0; i < d.textCount; i++) w.texts.push_back({{d.texts[i].x, d.texts[i].y}, d.texts[i].text});
        for (int i = 0; i < d.buttonCount; i++)
            w.buttons.push_back({d.buttons[i].label, d.buttons[i].x, d.buttons[i].y, d.buttons[i].width, d.buttons[i].height});
        if (d.textBoxWidth > 0) w.boxes.push_back({d.textBoxX, d.textBoxY, d.textBoxWidth, typed});
        return w;
    }
    throw std::runtime_error(std::string("no dialog ") + id);
}

void ScreenButtonOn(Image16& s, const Fonts& f, const Image16& gui, int index, bool pressed = false) {
    const ScreenButtonSpec& b = SCREEN_BUTTONS[index];
    ButtonOn(s, f, gui, b.label, b.x, b.y, b.width, b.height, pressed);
}

void StatusDisplay(Image16& s, const DataSet& d, const Fonts& f, const std::string& name, int level) {
    Static(s, d, 5, 108, 0);
    Static(s, d, 6, 0, 52);
    Static(s, d, 4, 512, 52);
    Static(s, d, 12, 49, 55);
    f.Print(s, 2, "0:0", 70, 93);
    Static(s, d, 11, 530, 56);
    f.Print(s, 2, std::to_string(level), 557, 93);
    f.Centred(s, 2, name, 317, 23);
}

void Pointer(Image16& s, const Image16& gui, int sx, int sy, int x, int y) { s.Blit(gui, sx, sy, 16, 16, x, y, true); }

void InfoFrame(Image16& s, const DataSet& d) {
    Fill(s, 0, 0, 640, 480, 0);
    Static(s, d, 18, 0, 0);
    Static(s, d, 19, 0, 416);
    Static(s, d, 16, 0, 69);
    Static(s, d, 17, 560, 69);
}

void Items(Image16& s, const DataSet& d, const Level& lv, const std::vector<Placement>* at) {
    for (size_t i = 0; i < lv.items.size(); i++) {
        int k = FindItem(lv.items[i].picture.substr(0, lv.items[i].picture.size() - 4));
        if (k < 0) continue;
        const Image16& img = d.items[size_t(k)];
        int col = at ? (*at)[i].col : lv.items[i].col, row = at ? (*at)[i].row : lv.items[i].row;
        s.Blit(img, 0, 0, img.w, img.h, col * 32, 128 + row * 32, true);
    }
}

std::string PackedLine(int cells) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%%%1.0f packed", double(float(cells) * 1.4285715f));
    return buf;
}

}  // namespace

bool WriteSheets(const DataSet& d, const std::string& dir, std::string& error) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    Fonts f(d);
    const uint16_t grey = To555(Hex(0x505050));

    // Items at 2x, named as the game labels them: laid out first, then drawn.
    {
        std::vector<std::pair<int, int>> at;
        int x = 8, y = 8, rowH = 0, width = 1280;
        for (size_t i = 0; i < d.items.size(); i++) {
            int w = d.items[i].w * 2, h = d.items[i].h * 2;
            if (x + w > width - 8) {
                x = 8;
                y += rowH + 24;
                rowH = 0;
            }
            at.push_back({x, y});
            x += std::max(w, f.Width(0, ItemShapes()[i].name)) + 16;
            rowH = std::max(rowH, h);
        }
        Image16 sheet(width, y + rowH + 32, To555(Hex(0x303030)));
        for (size_t i = 0; i < d.items.size(); i++) {
            Image16 big = Scaled(d.items[i], 2, grey);
            sheet.Blit(big, 0, 0, big.w, big.h, at[i].first, at[i].second, false);
            f.Print(sheet, 0, ItemShapes()[i].name, at[i].first, at[i].second + big.h + 4);
        }
        if (!Png(fs::path(dir) / "items.png", sheet, error)) return false;
    }
    // Every static picture at 2x, transparent parts grey.
    for (size_t i = 0; i < d.statics.size(); i++) {
        char name[64];
        std::snprintf(name, sizeof name, "static-%02zu-%s.png", i, d.statics[i].file.substr(0, d.statics[i].file.size() - 4).c_str());
        if (!Png(fs::path(dir) / name, Scaled(d.statics[i].image, 2, grey), error)) return false;
    }
    if (!Png(fs::path(dir) / "gui-x6.png", Scaled(d.gui, 6, grey), error)) return false;
    if (!Png(fs::path(dir) / "gui.png", Scaled(d.gui, 2, grey), error)) return false;

    // Fonts: the sheets at 2x, then sample lines on the grounds they are drawn on.
    {
        Image16 sheet(1200, 760, To555(Hex(0x404040)));
        int x = 8;
        for (const auto& font : d.fonts) {
            Image16 big = Scaled(font.image, 2, grey);
            sheet.Blit(big, 0, 0, big.w, big.h, x, 8, false);
            x += big.w + 16;
        }
        int y = 310;
        Fill(sheet, 0, y, 1000, 60, 0);
        f.Print(sheet, 0, "Font 0 on black: Select your Id and click Continue or create/delete another Id.", 8, y + 6);
        f.Print(sheet, 0, "%43 packed   Valimo v0.9 (demo)   0123456789 !?&()", 8, y + 26);
        y += 70;
        Fill(sheet, 0, y, 1000, 40, 0x3E3E);
        f.Print(sheet, 1, "Your current level & time will be automatically saved", 9, y + 7);
        f.Print(sheet, 0, "Your current level & time will be automatically saved", 8, y + 6);
        y += 50;
        Fill(sheet, 0, y, 1000, 40, 0x5F1C);
        f.Print(sheet, 1, "Font 1 on a button face: Continue...  Quit to Windows  Create Player", 8, y + 6);
        y += 50;
        Fill(sheet, 0, y, 1000, 40, 0x7FA7);
        f.Print(sheet, 1, "Font 1 on the item label: tennis-racket  rubber-duck  alarm-clock", 8, y + 6);
        y += 50;
        Image16 bar = d.statics[5].image;
        sheet.Blit(bar, 0, 0, bar.w, bar.h, 8, y, true);
        f.Centred(sheet, 2, "Thanks  for  playing  Valimo Demo", 8 + 209, y + 23);
        y += 60;
        Fill(sheet, 0, y, 1000, 60, To555(Hex(0x4A1A22)));
        f.Print(sheet, 2, "Font 2: Instructions  Credits  Maximilian  12:34", 8, y + 6);
        f.Print(sheet, 0, "Font 0 on the lining: To complete a level it's required that you place all", 8, y + 34);
        if (!Png(fs::path(dir) / "fonts.png", sheet, error)) return false;
    }

    const Image16& gui = d.gui;
    // Player selection with three players and the New Id window.
    {
        Image16 s(640, 480, 0);
        PlayScreen(s, d, true);
        Static(s, d, 10, 160, 127);
        f.Print(s, 0, "Select your Id and click Continue or create/delete another Id.", 172, 136);
        Fill(s, 180, 155, 180, 14, 0x0C14);
        f.Print(s, 0, "Player Id", 185, 154);
        f.Print(s, 0, "Level / Time", 292, 154);
        const char* names[3] = {"Anna", "Maximilian", "Olli"};
        const int levels[3] = {0, 3, 11};
        for (int i = 0; i < 10; i++) {
            int y = 169 + 17 * i;
            Fill(s, 180, y, 180, 17, i % 2 ? 0x18C6 : 0x0C63);
            if (i == 1) Fill(s, 180, y, 180, 17, 0x6000);
            if (i >= 3) continue;
            if (levels[i] == 3) Static(s, d, 21, 317, y);
            f.Print(s, 0, names[i], 185, y);
            if (levels[i] != 3) {
                std::string t = std::to_string(levels[i] + 1) + " / (0:0)";
                f.Print(s, 0, t, 325 - f.Width(0, t) / 2, y);
            }
        }
        ScreenButtonOn(s, f, gui, 0);
        ScreenButtonOn(s, f, gui, 1, true);
        ScreenButtonOn(s, f, gui, 2);
        ScreenButtonOn(s, f, gui, 3);
        Pointer(s, gui, 64, 16, 400, 300);
        if (!Png(fs::path(dir) / "screen-select.png", s, error)) return false;
        WindowOn(s, f, gui, Declared("ADDNEWID", {}, "Anna"));
        s.Blit(gui, 69, 33, 5, 12, 300 - 2, 241 - 6, true);
        if (!Png(fs::path(dir) / "screen-addnewid.png", s, error)) return false;
    }
    // Main menu with a row held down.
    {
        Image16 s(640, 480, 0);
        PlayScreen(s, d, true);
        Static(s, d, 10, 160, 127);
        StatusDisplay(s, d, f, "Maximilian", 4);
        const char* rows[7] = {"Play", "Mode: No time limit", "Instructions", "Credits", "Best time", "Log out", "Quit"};
        for (int k = 0; k < 7; k++) {
            int y = 155 + 20 * k;
            Static(s, d, 13, 226, y - 2);
            f.Print(s, 0, rows[k], 320 - f.Width(0, rows[k]) / 2, y);
        }
        Static(s, d, 14, 226, 153 + 40);
        f.Print(s, 0, rows[2], 321 - f.Width(0, rows[2]) / 2, 153 + 43);
        f.Print(s, 0, "Valimo v0.9 (demo)", 270, 320);
        Pointer(s, gui, 80, 16, 330, 200);
        if (!Png(fs::path(dir) / "screen-menu.png", s, error)) return false;
        WindowOn(s, f, gui, Declared("LOGOUT"));
        if (!Png(fs::path(dir) / "screen-logout.png", s, error)) return false;
    }
    // First run: WELCOME on black; the new-level window over the closed case.
    {
        Image16 s(640, 480, 0);
        WindowOn(s, f, gui, Declared("WELCOME"));
        Pointer(s, gui, 64, 0, 300, 250);
        if (!Png(fs::path(dir) / "screen-welcome.png", s, error)) return false;
        Image16 n(640, 480, 0);
        PlayScreen(n, d, false);
        StatusDisplay(n, d, f, "Anna", 1);
        WindowOn(n, f, gui, Declared("NEWLEVEL", {{{35, 35}, "Congratulations! You've completed level 12"}}));
        if (!Png(fs::path(dir) / "screen-newlevel.png", n, error)) return false;
        Image16 q(640, 480, 0);
        const std::string ask = "Are you sure you want to delete Maximilian?";
        WindowOn(q, f, gui, Declared("DELETEID", {{{150 - f.Width(1, ask) / 2, 35}, ask}}));
        WindowOn(q, f, gui, Declared("QUIT"));
        if (!Png(fs::path(dir) / "screen-dialogs.png", q, error)) return false;
    }
    // Information screens.
    {
        Image16 s(640, 480, 0);
        InfoFrame(s, d);
        ScreenButtonOn(s, f, gui, 4);
        Static(s, d, 5, 108, 0);
        f.Centred(s, 2, "Instructions", 317, 23);
        Static(s, d, 15, 64, 70);
        std::vector<std::pair<int, const char*>> lines = {
            {128, "HOW TO PLAY"},
            {154, "To complete a level it's required that you place all of the given items"},
            {168, "into the valimo. Once you've managed to do that, you proceed to the"},
            {181, "next level."}, {207, "CONTROLS"}, {238, "Mouse:"},
            {260, "Use the left mouse button to pick up items and drop them into the"},
            {273, "valimo area by clicking the left mouse button again."}, {300, "Keyboard:"},
            {326, "ESCAPE - Exit to main menu"}, {339, "Alt-F - Show frames per second"}};
        for (auto [y, t] : lines) f.Centred(s, 0, t, 320, y);
        if (!Png(fs::path(dir) / "screen-instructions.png", s, error)) return false;

        Image16 c(640, 480, 0);
        InfoFrame(c, d);
        ScreenButtonOn(c, f, gui, 4);
        Static(c, d, 5, 108, 0);
        f.Centred(c, 2, "Credits", 317, 23);
        Static(c, d, 15, 64, 70);
        f.Centred(c, 0, "Programming, Art, Video:", 320, 172);
        f.Centred(c, 0, CREDITS_NAME_LINE, 320, 197);
        f.Centred(c, 0, "VALIMO", 320, 90);
        f.Centred(c, 0, "Special thanks to everyone on the beta-test team.", 320, 256);
        f.Centred(c, 0, CREDITS_NOTICE_LINE, 320, 325);
        Static(c, d, 20, 340, 329);
        if (!Png(fs::path(dir) / "screen-credits.png", c, error)) return false;

        Image16 e(640, 480, 0);
        InfoFrame(e, d);
        ScreenButtonOn(e, f, gui, 5);
        ScreenButtonOn(e, f, gui, 6);
        Static(e, d, 5, 108, 0);
        f.Centred(e, 2, "Thanks  for  playing  Valimo Demo", 317, 23);
        Static(e, d, 15, 64, 70);
        const int ys[16] = {103, 117, 146, 161, 175, 206, 220, 249, 265, 278, 292, 307, 321, 336, 350, 364};
        for (int i = 0; i < 16; i++) f.Centred(e, 1, CLOSING_LINES[i], 321, ys[i] + 1);
        for (int i = 0; i < 16; i++) f.Centred(e, 0, CLOSING_LINES[i], 320, ys[i]);
        Static(e, d, 20, 388, 179);
        if (!Png(fs::path(dir) / "screen-closing.png", e, error)) return false;
    }
    // Every level: its start on the left, one solution on the right.
    std::map<std::string, CellMask> masks;
    for (size_t i = 0; i < d.items.size(); i++) masks[ItemShapes()[i].name + ".bmp"] = MaskFromImage(d.items[i]);
    for (const auto& lv : d.levels) {
        LevelReport r = CheckLevel(lv, masks);
        Image16 s(1280, 480, 0);
        Image16 a(640, 480, 0), b(640, 480, 0);
        PlayScreen(a, d, true);
        StatusDisplay(a, d, f, "Anna", lv.number + 1);
        f.Centred(a, 0, PackedLine(0), 316, 104);
        Items(a, d, lv, nullptr);
        ScreenButtonOn(a, f, gui, 7);
        PlayScreen(b, d, true);
        StatusDisplay(b, d, f, "Anna", lv.number + 1);
        f.Centred(b, 0, PackedLine(70), 316, 104);
        if (r.solve.solvable) Items(b, d, lv, &r.solve.solution);
        ScreenButtonOn(b, f, gui, 7);
        // The label over the first item, as when the pointer rests on it.
        if (!lv.items.empty()) {
            const auto& it = lv.items[0];
            std::string name = it.picture.substr(0, it.picture.size() - 4);
            int mx = it.col * 32 + 10, my = 128 + it.row * 32 + 10;
            Fill(a, mx + 20, my + 2, f.Width(1, name) + 4, 13, 0x7FA7);
            f.Print(a, 1, name, mx + 22, my);
            Pointer(a, gui, 64, 0, mx, my);
        }
        s.Blit(a, 0, 0, 640, 480, 0, 0, false);
        s.Blit(b, 0, 0, 640, 480, 640, 0, false);
        char name[32];
        std::snprintf(name, sizeof name, "level-%02d.png", lv.number);
        if (!Png(fs::path(dir) / name, s, error)) return false;
        if (lv.number == 5) {
            WindowOn(a, f, gui, Declared("QUITGAME"));
            if (!Png(fs::path(dir) / "screen-quitgame.png", a, error)) return false;
        }
    }
    // Movies: every tenth frame, shown at twice the size as the game does.
    for (const auto& m : d.movies) {
        int n = int(m.frames.size() + 9) / 10, cols = 4;
        Image16 s(cols * m.w, ((n + cols - 1) / cols) * m.h, 0);
        for (int i = 0; i < n; i++) {
            const Image16& fr = m.frames[size_t(i * 10)];
            s.Blit(fr, 0, 0, fr.w, fr.h, (i % cols) * m.w, (i / cols) * m.h, false);
        }
        if (!Png(fs::path(dir) / (m.file.substr(0, m.file.size() - 4) + "-frames.png"), s, error)) return false;
        const Image16& mid = m.frames[m.frames.size() * 3 / 4];
        if (!Png(fs::path(dir) / (m.file.substr(0, m.file.size() - 4) + "-x2.png"), Scaled(mid, 2, 0), error)) return false;
    }
    return true;
}

}  // namespace gen
