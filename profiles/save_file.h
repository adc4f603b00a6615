// Writing a file so that a crash or a failed write never leaves it half written:
// a temporary file beside it, flushed to disk, renamed over it, the directory synced.
#pragma once
#include <cstddef>
#include <string>

// Every file operation of a save goes through here, so a test can make any one fail.
struct SaveFileOps {
    int (*open)(const char* path);  // created or truncated, for writing; -1 on failure
    bool (*write)(int fd, const void* data, size_t size);
    bool (*flush)(int fd);  // to the disk, not just out of the process
    bool (*close)(int fd);
    bool (*rename)(const char* from, const char* to);
    bool (*syncDirectory)(const char* directory);
};
extern const SaveFileOps systemSaveFileOps;
extern SaveFileOps saveFileOps;

// True when `path` now holds exactly `content` (a file that already does is not
// rewritten); on false the old file is untouched.
bool SaveFileWhole(const char* path, const std::string& content);
