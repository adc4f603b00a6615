// One game per player folder: the copy that plays in a folder holds an advisory
// lock on a file there for its whole life. The kernel lets go of it when the
// process ends, however it ends, so a lock file left by a crash blocks nothing.
#pragma once
#include <string>

// The lock's file, in the folder it guards.
constexpr const char* kFolderLockName = "valimo.lock";

enum FolderLockResult {
    FOLDER_LOCKED,    // this process holds the folder until it ends
    FOLDER_BUSY,      // another process holds it
    FOLDER_UNLOCKED,  // no lock can be had here (no locks on this file system, a read-only folder): play anyway
};

// Takes the lock of dir without waiting. For FOLDER_UNLOCKED, why says why, in
// the system's words. A process asking again for a folder it holds gets FOLDER_LOCKED.
FolderLockResult LockGameFolder(const std::string& dir, std::string& why);
// Lets go of the lock this process holds (tests; a real run keeps it to the end).
void UnlockGameFolder();
