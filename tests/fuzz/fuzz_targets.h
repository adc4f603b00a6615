// One entry per reader of outside data: the same bodies run under libFuzzer
// (fuzz/) and replay every kept corpus file in the normal suite.
#pragma once
#include <cstddef>
#include <cstdint>

// Each writes the input where the game would read it (in a scratch directory of
// its own) and runs the game's loader on it. Inputs that would take a specified
// fatal exit are not run: ending the process is the right answer for them.
int FuzzBitmap(const uint8_t* data, size_t size);
int FuzzWave(const uint8_t* data, size_t size);
// A level file, listed, loaded with two item pictures and played for a few frames.
int FuzzLevel(const uint8_t* data, size_t size);
int FuzzMovie(const uint8_t* data, size_t size);
// "prefs.dat" read, written, read and written again: the table and file must settle.
int FuzzProfiles(const uint8_t* data, size_t size);
// A replay file checked as --replay checks it; one taken is read record by record to its end.
int FuzzReplay(const uint8_t* data, size_t size);

struct FuzzTarget {
    const char* name;
    int (*run)(const uint8_t* data, size_t size);
};
extern const FuzzTarget fuzzTargets[];
extern const int fuzzTargetCount;
