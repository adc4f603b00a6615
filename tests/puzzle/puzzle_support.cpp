#include "puzzle/puzzle_support.h"

#include "gfx/display.h"
#include "gfx/sprite.h"
#include "input/input.h"
#include "platform/headless/headless_devices.h"
#include "puzzle/packing.h"
#include "test_support.h"

std::string LevelText(int number, const std::vector<ItemRecord>& items) {
    std::string text = "LEVEL " + std::to_string(number) + "\nITEMS " + std::to_string(items.size()) + "\n";
    for (const ItemRecord& item : items)
        text += item.image + " " + std::to_string(item.column) + " " + std::to_string(item.row) + "\n";
    return text;
}

void WriteLevel(const std::string& fileName, int number, const std::vector<ItemRecord>& items) {
    WriteFile("levels/" + fileName, LevelText(number, items));
}

void WriteItemPicture(const std::string& name, const std::vector<std::string>& cells, uint16_t colour) {
    const int rows = int(cells.size());
    const int columns = rows ? int(cells[0].size()) : 0;
    const int width = 32 * columns, height = 32 * rows;
    std::vector<uint16_t> pixels(size_t(width) * size_t(height));
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            pixels[size_t(y) * size_t(width) + size_t(x)] =
                cells[size_t(y / 32)][size_t(x / 32)] == '#' ? colour : kMagenta555;
    WriteBmp("data/" + name, width, height, pixels);
}

void WritePlainPicture(const std::string& name, int width, int height, uint16_t colour) {
    WriteBmp("data/" + name, width, height, std::vector<uint16_t>(size_t(width) * size_t(height), colour));
}

bool PointerFrame(int x, int y, bool button) {
    HeadlessInputFrame input;
    input.dx = x - mouseX;
    input.dy = y - mouseY;
    input.button = button;
    HeadlessQueueInput(input);
    ReadInput();
    ClearSprite(backBuffer, 0);
    const bool completed = PlayFrame();
    FlipScreen();
    return completed;
}
