// Shared helpers for tests: a scratch game directory and the log read back.
#pragma once
#include <string>

// Makes a fresh empty directory for this test, makes it current, and returns its path.
std::string MakeScratchDirectory();
// The whole "valimo.log" of the current start directory.
std::string ReadLog();
std::string ReadFile(const std::string& path);
// The shut-down's log lines, in order, as every orderly end writes them.
inline constexpr const char* kShutdownLog =
    "Shutting down DirectSound\nDirectInput Release\nReleasing static sprites\nFreeing GUI\nReleasing font(s)\n"
    "DirectDraw Release\n";
void WriteFile(const std::string& path, const std::string& bytes);
// Starts the display as start-up does (565 unless the test picked another format).
void StartDisplay();
// Tests may run as root, who may open and create any file: this process gives that up,
// so that file modes bite as they do for a player. Call it in a child process.
void DropFileAccessOverride();
