// Writing a file so that a crash or a failed write never leaves it half written:
// a temporary file beside it, flushed to disk, renamed over it, the directory synced.
// What the player arranged stays: a symbolic link stays a link (its target is
// replaced, in the target's own folder), and the file keeps its mode and owner.
#pragma once
#include <cstddef>
#include <string>

// Every file operation of a save goes through here, so a test can make any one fail.
// A failing operation leaves errno set, as the system's do.
struct SaveFileOps {
    // A fresh file with this mode (an old file of the name is removed first), for writing.
    int (*open)(const char* path, unsigned mode);
    // An existing file, for writing over its bytes (not truncated).
    int (*openInPlace)(const char* path);
    bool (*write)(int fd, const void* data, size_t size);
    bool (*truncate)(int fd, size_t size);
    bool (*flush)(int fd);  // to the disk, not just out of the process
    bool (*close)(int fd);
    bool (*rename)(const char* from, const char* to);
    bool (*syncDirectory)(const char* directory);
};
extern const SaveFileOps systemSaveFileOps;
extern SaveFileOps saveFileOps;

enum SaveResult {
    SAVE_FAILED,  // the old file is untouched (or, rewritten in place, may be damaged)
    SAVE_DONE,
    SAVE_NOT_SYNCED,  // the new file is in place, but its folder's entry may not be on disk yet
};

// Makes `path` hold exactly `content` (a file that already does is not rewritten).
// When its folder refuses a new file but the file itself may be written, the file
// is rewritten in place and flushed: less safe against a crash, but no save is lost.
// On SAVE_FAILED, *error (when given) holds the errno of the step that failed.
SaveResult SaveFileWhole(const char* path, const std::string& content, int* error = nullptr);
