#include "profiles/save_faults.h"

#include "profiles/save_file.h"

namespace {

int seen = 0;
int failAt = 0;
bool sticky = false;

bool Fails() {
    seen++;
    return failAt > 0 && (seen == failAt || (sticky && seen > failAt));
}

int Open(const char* path) { return Fails() ? -1 : systemSaveFileOps.open(path); }
bool Write(int fd, const void* data, size_t size) { return !Fails() && systemSaveFileOps.write(fd, data, size); }
bool Flush(int fd) { return !Fails() && systemSaveFileOps.flush(fd); }
bool Close(int fd) {
    // A failed close still lets go of the descriptor, as the system's does.
    const bool failed = Fails();
    return systemSaveFileOps.close(fd) && !failed;
}
bool Rename(const char* from, const char* to) { return !Fails() && systemSaveFileOps.rename(from, to); }
bool SyncDirectory(const char* directory) { return !Fails() && systemSaveFileOps.syncDirectory(directory); }

}  // namespace

void FailSaveOperation(int k, bool fromThenOn) {
    seen = 0;
    failAt = k;
    sticky = fromThenOn;
    saveFileOps = {Open, Write, Flush, Close, Rename, SyncDirectory};
}

void StopSaveFaults() {
    seen = 0;
    failAt = 0;
    sticky = false;
    saveFileOps = systemSaveFileOps;
}

int SaveOperationsSeen() { return seen; }
