#include "profiles/save_faults.h"

#include "profiles/save_file.h"

namespace {

int seen = 0;
int failAt = 0;
bool sticky = false;
int failError = EIO;
std::vector<std::string> calls;

bool Fails() {
    seen++;
    const bool fails = failAt > 0 && (seen == failAt || (sticky && seen > failAt));
    if (fails) errno = failError;
    return fails;
}

int Open(const char* path, unsigned mode) {
    calls.push_back(std::string("open ") + path);
    return Fails() ? -1 : systemSaveFileOps.open(path, mode);
}
int OpenInPlace(const char* path) {
    calls.push_back(std::string("openInPlace ") + path);
    return Fails() ? -1 : systemSaveFileOps.openInPlace(path);
}
bool Write(int fd, const void* data, size_t size) { return !Fails() && systemSaveFileOps.write(fd, data, size); }
bool Truncate(int fd, size_t size) { return !Fails() && systemSaveFileOps.truncate(fd, size); }
bool Flush(int fd) { return !Fails() && systemSaveFileOps.flush(fd); }
bool Close(int fd) {
    // A failed close still lets go of the descriptor, as the system's does.
    const bool failed = Fails();
    return systemSaveFileOps.close(fd) && !failed;
}
bool Rename(const char* from, const char* to) {
    calls.push_back(std::string("rename ") + from + " " + to);
    return !Fails() && systemSaveFileOps.rename(from, to);
}
bool SyncDirectory(const char* directory) {
    calls.push_back(std::string("syncDirectory ") + directory);
    return !Fails() && systemSaveFileOps.syncDirectory(directory);
}

}  // namespace

void FailSaveOperation(int k, bool fromThenOn, int error) {
    seen = 0;
    failAt = k;
    sticky = fromThenOn;
    failError = error;
    calls.clear();
    saveFileOps = {Open, OpenInPlace, Write, Truncate, Flush, Close, Rename, SyncDirectory};
}

void StopSaveFaults() {
    seen = 0;
    failAt = 0;
    sticky = false;
    saveFileOps = systemSaveFileOps;
}

int SaveOperationsSeen() { return seen; }

const std::vector<std::string>& SaveCallsSeen() { return calls; }
