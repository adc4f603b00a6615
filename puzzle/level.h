// Level files and the level list; the item set of the level in play with its
// pictures and cell masks.
#pragma once
#include <cstdint>
#include <vector>

#include "gfx/sprite.h"

constexpr int MAX_LEVELS = 256;
constexpr int MAX_ITEMS = 70;        // item slots
constexpr int MAX_LEVEL_ITEMS = 64;  // items a level file may use
constexpr int NAME_LENGTH = 64;      // names and paths: 63 characters and the end
constexpr int MAX_IMAGE_NAME = 58;   // "data/" and the name fit in a path

struct LevelEntry {
    char fileName[NAME_LENGTH];  // bare name, without "levels/"
    int32_t levelNumber;
    int32_t itemCount;
};

struct LevelList {
    LevelEntry entries[MAX_LEVELS];
    int count;
};

struct Item {
    Sprite image;
    char name[NAME_LENGTH];
    int32_t column, row;    // top-left cell in the play grid
    int32_t width, height;  // in cells
    bool carried;
    int32_t grabX, grabY;       // pointer minus the item's top-left pixel at pick-up
    std::vector<uint8_t> mask;  // width x height, row by row; nonzero is solid
};

struct Level {
    Item items[MAX_ITEMS];
    int itemCount;
    bool itemsLoaded;
    char imagePaths[MAX_ITEMS][NAME_LENGTH];  // "data/<name>", kept for reloads
};

extern LevelList levelList;
extern Level gameLevel;

void LoadLevelList();
void LoadLevel(int levelNumber);
void LoadItems(const char (*paths)[NAME_LENGTH], int count);
void LoadItem(int slot, const char* path);
void BuildItemMask(int slot);
void ReloadItems();
void ReleaseItems();
void FreeLevel();
// The list's names, at shut-down.
void FreeLevelList();
