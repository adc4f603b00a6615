// Up to ten players with the level reached, kept in "prefs.dat", and the player
// list of the selection screen.
#pragma once
#include <algorithm>
#include <cstdint>

constexpr int MAX_PLAYERS = 10;
constexpr int PLAYER_NAME_SIZE = 18;
// An id is one word of at most this many characters, so the file reads back as written.
constexpr int PLAYER_ID_MAX_LENGTH = PLAYER_NAME_SIZE - 1;
constexpr int NO_PLAYER = 1024;
// Changed on purpose: clamped levels (docs/BEHAVIOUR.md).
// The highest level a profile holds. Shown as level + 1 (at most five digits), it
// fits whole in the player list's column, on the level panel and in the
// congratulation; completing a level does not raise it further.
constexpr int MAX_PLAYER_LEVEL = 99998;

// The number the player sees for a level: level + 1, defined for any int.
constexpr int ShownLevel(int level) {
    return std::clamp(level, 0, MAX_PLAYER_LEVEL) + 1;
}

struct PlayerProfile {
    int level;
    int timeMajor;
    int timeMinor;
    bool keep;
    bool selected;
    char name[PLAYER_NAME_SIZE];
};

extern PlayerProfile profiles[MAX_PLAYERS];
extern int profileCount;

// False when prefs.dat could not be opened; the players read are in the table.
bool LoadProfiles();
void SaveProfiles();
void DrawPlayerList();
void PickPlayer();
// 0: "Cancel"; 1: a profile was created; 2: anything else.
int AddPlayer();
void CopyProfile(PlayerProfile* destination, const PlayerProfile* source);
void DeleteSelectedPlayer();
// Index of the selected profile; NO_PLAYER (1024) when none is.
int CurrentPlayer();
