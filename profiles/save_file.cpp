#include "profiles/save_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

int SystemOpen(const char* path) {
    int fd;
    do fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    while (fd < 0 && errno == EINTR);
    return fd;
}

bool SystemWrite(int fd, const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t done = ::write(fd, bytes, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        bytes += done;
        size -= size_t(done);
    }
    return true;
}

bool SystemFlush(int fd) { return ::fsync(fd) == 0; }
bool SystemClose(int fd) { return ::close(fd) == 0; }
bool SystemRename(const char* from, const char* to) { return std::rename(from, to) == 0; }

bool SystemSyncDirectory(const char* directory) {
    const int fd = ::open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool FileHolds(const char* path, const std::string& content) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    std::string held(content.size() + 1, '\0');
    const size_t got = std::fread(held.data(), 1, held.size(), file);
    std::fclose(file);
    return got == content.size() && held.compare(0, got, content) == 0;
}

}  // namespace

const SaveFileOps systemSaveFileOps = {SystemOpen, SystemWrite, SystemFlush, SystemClose, SystemRename,
                                       SystemSyncDirectory};
SaveFileOps saveFileOps = systemSaveFileOps;

bool SaveFileWhole(const char* path, const std::string& content) {
    // Some callers save every frame; a flush to disk each time would stall the frames.
    if (FileHolds(path, content)) return true;
    const std::string target(path);
    const size_t slash = target.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    // Same directory, so the rename never crosses file systems; a leftover from a
    // crash is simply truncated by the next save.
    const std::string temporary = target + ".tmp";

    const int fd = saveFileOps.open(temporary.c_str());
    if (fd < 0) return false;
    bool ok = saveFileOps.write(fd, content.data(), content.size()) && saveFileOps.flush(fd);
    ok = saveFileOps.close(fd) && ok;
    if (ok) ok = saveFileOps.rename(temporary.c_str(), target.c_str());
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Without this the rename itself may not survive a power cut.
    return saveFileOps.syncDirectory(directory.c_str());
}
