#include "puzzle/level.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/log.h"
#include "base/run.h"
#include "gfx/display.h"
#include "platform/files.h"
#include "puzzle/level_format.h"
#include "puzzle/packing.h"

LevelList levelList{};
Level gameLevel{};

namespace {

constexpr int PATH_LENGTH = NAME_LENGTH + 8;  // "levels/" and a listed name

void LogFormat(const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    WriteLog(line);
}

// The reading rules are level_format.h's, shared with the level checker.
struct FileSource {
    FILE* file;
    int Get() { return std::getc(file); }
    void Unget(int c) { std::ungetc(c, file); }
};

void SkipSpace(FILE* file) {
    FileSource in{file};
    LevelSkipSpace(in);
}

bool ReadNumber(FILE* file, int32_t* value) {
    FileSource in{file};
    return LevelNumber(in, value);
}

bool ReadWord(FILE* file, char* buffer, size_t size, size_t* length) {
    FileSource in{file};
    return LevelWord(in, buffer, size, length);
}

// "LEVEL %d\nITEMS %d": the values are set as far as the header reads.
void ReadHeader(FILE* file, int32_t* levelNumber, int32_t* itemCount) {
    FileSource in{file};
    if (LevelMatch(in, LEVEL_WORD) && LevelNumber(in, levelNumber) && LevelMatch(in, ITEMS_WORD))
        LevelNumber(in, itemCount);
}

// Copies length bytes of source, cut to fit a buffer of `capacity` bytes with its end.
void CopyName(char* destination, size_t capacity, const char* source, size_t length) {
    length = std::min(length, capacity - 1);
    std::memcpy(destination, source, length);
    destination[length] = '\0';
}

// Item rectangles must lie in the grid: play never looks at cells outside it.
void KeepInGrid(int slot) {
    Item& item = gameLevel.items[slot];
    if (item.width > GRID_COLUMNS || item.height > GRID_ROWS) {
        LogFormat("Item %s is %d x %d cells, larger than the grid; it is left out\n", item.name, item.width,
                  item.height);
        ReleaseSprite(&item.image);
        item.width = 0;
        item.height = 0;
        item.mask.clear();
    }
    // Even an item with no cells keeps its top-left cell in the grid.
    const int32_t column = std::clamp(item.column, 0, GRID_COLUMNS - std::max(item.width, 1));
    const int32_t row = std::clamp(item.row, 0, GRID_ROWS - std::max(item.height, 1));
    if (column != item.column || row != item.row) {
        LogFormat("Item %s at column %d, row %d leaves the grid; placed at column %d, row %d\n", item.name, item.column,
                  item.row, column, row);
        item.column = column;
        item.row = row;
    }
}

}  // namespace

void LoadLevelList() {
    WriteLog("Loading level list... [ ");
    WIN32_FIND_DATAA found;
    HFIND search = FindFirstFileA("levels/*.lev", &found);
    if (search == INVALID_FIND_HANDLE)
        SystemError("ERROR: No level files (.lev) were found in the 'levels' directory\n");
    levelList.count = 0;
    // Changed on purpose: one line for the level list (docs/BEHAVIOUR.md).
    // Lines about files left out follow the count, so the opening text and the count
    // stay one line; only the first few long names are kept for them.
    constexpr int kNamedLongFiles = 8;
    std::vector<std::string> longNames;
    int longFiles = 0, leftOut = 0;
    do {
        const size_t length = std::strlen(found.cFileName);
        if (length >= size_t(NAME_LENGTH)) {
            if (longFiles++ < kNamedLongFiles) longNames.emplace_back(found.cFileName);
            continue;
        }
        if (levelList.count == MAX_LEVELS) {
            leftOut++;
            continue;
        }
        LevelEntry& entry = levelList.entries[levelList.count++];
        CopyName(entry.fileName, sizeof entry.fileName, found.cFileName, length);
        entry.levelNumber = 0;
        entry.itemCount = 0;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    const auto logLeftOut = [&] {
        for (const std::string& name : longNames)
            LogFormat("Level file name longer than 63 characters, not listed: %s\n", name.c_str());
        if (longFiles > kNamedLongFiles)
            LogFormat("%d more level file names longer than 63 characters, not listed\n", longFiles - kNamedLongFiles);
        // Changed on purpose: level files beyond the tables (docs/BEHAVIOUR.md).
        if (leftOut > 0) LogFormat("More than 256 level files: %d left out\n", leftOut);
    };
    if (levelList.count == 0) {
        // Every file was left out: the list is empty, and the line says so before the end.
        LogFormat("%d level(s) found ]\n", 0);
        logLeftOut();
        SystemError("ERROR: No level files (.lev) were found in the 'levels' directory\n");
    }

    for (int i = 0; i < levelList.count; i++) {
        LevelEntry& entry = levelList.entries[i];
        char path[PATH_LENGTH];
        std::snprintf(path, sizeof path, "levels/%s", entry.fileName);
        FILE* file = std::fopen(path, "r");
        if (!file) {
            LogFormat("Failed to open a level (.lev) file: %s\n", path);
            logLeftOut();
            quitRequested = true;
            return;
        }
        ReadHeader(file, &entry.levelNumber, &entry.itemCount);
        std::fclose(file);
    }
    LogFormat("%d level(s) found ]\n", levelList.count);
    logLeftOut();
}

void LoadLevel(int levelNumber) {
    if (levelList.count <= 0) {
        WriteLog("No level to load: the level list is empty\n");
        return;
    }
    // Kept on purpose: a missing level number loads the first entry (docs/BEHAVIOUR.md).
    const LevelEntry* entry = &levelList.entries[0];
    for (int i = 0; i < levelList.count; i++) {
        if (levelList.entries[i].levelNumber == levelNumber) {
            entry = &levelList.entries[i];
            break;
        }
    }
    char path[PATH_LENGTH];
    std::snprintf(path, sizeof path, "levels/%s", entry->fileName);
    FILE* file = std::fopen(path, "r");
    if (!file) {
        WriteLog("ERROR: Unable to open file: ");
        WriteLog(path);
        WriteLog("\n");
        quitRequested = true;
        return;
    }
    int32_t unused = 0;
    ReadHeader(file, &unused, &unused);
    SkipSpace(file);

    int wanted = entry->itemCount;
    if (wanted > MAX_LEVEL_ITEMS) {
        LogFormat("Level file %s lists %d items; only the first 64 are loaded\n", path, wanted);
        wanted = MAX_LEVEL_ITEMS;
    } else if (wanted < 0) {
        LogFormat("Level file %s lists %d items; none are loaded\n", path, wanted);
        wanted = 0;
    }
    int loaded = 0;
    for (int j = 0; j < wanted; j++) {
        char name[NAME_LENGTH];
        size_t length = 0;
        int32_t column = 0, row = 0;
        if (!ReadWord(file, name, sizeof name, &length) || !ReadNumber(file, &column) || !ReadNumber(file, &row)) {
            LogFormat("Level file %s holds %d whole item record(s) of %d\n", path, j, wanted);
            break;
        }
        if (length > size_t(MAX_IMAGE_NAME)) {
            LogFormat("Item image name longer than 58 characters, item left out: %s...\n", name);
            continue;
        }
        char* imagePath = gameLevel.imagePaths[loaded];
        std::memcpy(imagePath, "data/", 5);
        CopyName(imagePath + 5, NAME_LENGTH - 5, name, length);
        gameLevel.items[loaded].column = column;
        gameLevel.items[loaded].row = row;
        loaded++;
    }
    std::fclose(file);
    LoadItems(gameLevel.imagePaths, loaded);
}

void LoadItems(const char (*paths)[NAME_LENGTH], int count) {
    // The carried item's picture and place are about to be replaced: it goes back
    // where it lay, and no later frame draws or drops it.
    if (carrying) {
        LogFormat("Item set loaded while item %d was carried; the carry ends\n", carriedItem);
        carrying = false;
    }
    ReleaseItems();
    count = std::clamp(count, 0, MAX_ITEMS);
    for (int i = 0; i < count; i++) {
        if (paths != gameLevel.imagePaths)
            CopyName(gameLevel.imagePaths[i], NAME_LENGTH, paths[i], strnlen(paths[i], NAME_LENGTH));
        LoadItem(i, gameLevel.imagePaths[i]);
        KeepInGrid(i);
    }
    gameLevel.itemCount = count;
    gameLevel.itemsLoaded = true;
}

void LoadItem(int slot, const char* path) {
    if (slot < 0 || slot >= MAX_ITEMS || !path) return;
    Item& item = gameLevel.items[slot];
    // A picture that fails to load must not leave the previous one behind.
    FreeBitmapFile();
    LoadBitmapFile(path);
    ReleaseSprite(&item.image);
    const bool loaded = loadedBitmap.width > 0 && loadedBitmap.height > 0 && !loadedBitmap.pixels.empty();
    if (loaded) {
        item.image = CreateSprite(loadedBitmap.width, loadedBitmap.height, 1, DDSCAPS_VIDEOMEMORY);
        CopyBitmapToSprite(item.image, loadedBitmap.pixels.data(), loadedBitmap.width, loadedBitmap.height);
        item.width = loadedBitmap.width / CELL_SIZE;
        item.height = loadedBitmap.height / CELL_SIZE;
    } else {
        item.width = 0;
        item.height = 0;
    }
    item.mask.assign(size_t(item.width) * size_t(item.height), 0);

    const size_t length = std::strlen(path);
    const size_t start = std::min<size_t>(5, length);
    const size_t end = length >= 4 ? length - 4 : 0;
    CopyName(item.name, sizeof item.name, path + start, end > start ? end - start : 0);
    if (!loaded) LogFormat("Item picture %s did not load; the item has no cells\n", path);
    BuildItemMask(slot);
}

void BuildItemMask(int slot) {
    if (slot < 0 || slot >= MAX_ITEMS) return;
    Item& item = gameLevel.items[slot];
    item.mask.assign(size_t(item.width) * size_t(item.height), 0);
    if (!item.image || item.mask.empty()) return;
    // Cells beyond the picture (a sprite smaller than its item) stay transparent.
    const int columns = std::min(item.width, item.image->Width() / CELL_SIZE);
    const int rows = std::min(item.height, item.image->Height() / CELL_SIZE);
    SurfaceLock lock;
    LockSurface(item.image, &lock);
    const size_t stride = size_t(lock.pitch / 2);
    for (int r = 0; r < rows; r++) {
        for (int c = 0; c < columns; c++) {
            bool solid = false;
            for (int y = CELL_SIZE * r; y < CELL_SIZE * (r + 1) && !solid; y++) {
                const uint16_t* line = lock.pixels + size_t(y) * stride;
                for (int x = CELL_SIZE * c; x < CELL_SIZE * (c + 1); x++) {
                    const uint16_t p = line[x];
                    const bool key = PixelMode == 16 ? p == 0xF81F : (p & 0x7FFF) == 0x7C1F;
                    if (!key) {
                        solid = true;
                        break;
                    }
                }
            }
            item.mask[size_t(r) * size_t(item.width) + size_t(c)] = solid;
        }
    }
    UnlockSurface(item.image, &lock);
}

void ReloadItems() { LoadItems(gameLevel.imagePaths, gameLevel.itemCount); }

void ReleaseItems() {
    for (Item& item : gameLevel.items) {
        ReleaseSprite(&item.image);
        item.width = 0;
        item.height = 0;
        item.carried = false;
    }
    gameLevel.itemsLoaded = false;
}

void FreeLevel() {
    ReleaseItems();
    for (Item& item : gameLevel.items) {
        item.mask.clear();
        item.mask.shrink_to_fit();
    }
}

void FreeLevelList() {
    for (int i = 0; i < levelList.count; i++) levelList.entries[i] = LevelEntry{};
    levelList.count = 0;
}
