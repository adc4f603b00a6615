#include "profiles/save_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

#include "platform/journal.h"

namespace {

int SystemOpen(const char* path, unsigned mode) {
    // A leftover of a crash may carry another mode or owner: start afresh.
    ::unlink(path);
    int fd;
    do fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode_t(mode));
    while (fd < 0 && errno == EINTR);
    return fd;
}

int SystemOpenInPlace(const char* path) {
    int fd;
    do fd = ::open(path, O_WRONLY | O_CLOEXEC);
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

bool SystemTruncate(int fd, size_t size) { return ::ftruncate(fd, off_t(size)) == 0; }
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

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Changed on purpose: kept links and modes (docs/BEHAVIOUR.md).
// The file a chain of symbolic links ends in (which need not exist yet); false for
// a loop or a link that cannot be read.
bool FollowLinks(const std::string& path, std::string* target) {
    std::string at = path;
    for (int hops = 0; hops < 40; hops++) {
        struct stat info {};
        if (::lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            *target = at;
            return true;
        }
        std::vector<char> link(PATH_MAX);
        const ssize_t length = ::readlink(at.c_str(), link.data(), link.size());
        if (length <= 0 || size_t(length) >= link.size()) return false;
        const std::string to(link.data(), size_t(length));
        at = to[0] == '/' ? to : DirectoryOf(at) + "/" + to;
    }
    return false;
}

// Where the process may: the owner (or at least the group), then the exact mode,
// which a change of owner may have cut. The file was created with no more than the
// old mode, so a failure here never leaves it more open than before.
void KeepOwnerAndMode(int fd, const struct stat& old) {
    const bool owned = ::fchown(fd, old.st_uid, old.st_gid) == 0 || ::fchown(fd, uid_t(-1), old.st_gid) == 0;
    const bool moded = ::fchmod(fd, old.st_mode & 07777) == 0;
    (void)owned;
    (void)moded;
}

// Changed on purpose: saving in place (docs/BEHAVIOUR.md).
// The folder would not take a new name; the file itself may still take new bytes.
bool FolderRefused(int error) { return error == EACCES || error == EPERM || error == EROFS; }

// Over the old bytes, then cut to length, so a crash in between leaves the new
// records with an old tail after them rather than an empty file.
SaveResult RewriteInPlace(const std::string& target, const std::string& content, int* error) {
    const int fd = saveFileOps.openInPlace(target.c_str());
    if (fd < 0) {
        *error = errno;
        return SAVE_FAILED;
    }
    bool ok = saveFileOps.write(fd, content.data(), content.size()) && saveFileOps.truncate(fd, content.size()) &&
              saveFileOps.flush(fd);
    if (!ok) *error = errno;
    if (!saveFileOps.close(fd) && ok) {
        *error = errno;
        ok = false;
    }
    return ok ? SAVE_DONE : SAVE_FAILED;
}

SaveResult SaveChangedFile(const char* path, const std::string& content, int* error);

}  // namespace

const SaveFileOps systemSaveFileOps = {SystemOpen,  SystemOpenInPlace, SystemWrite,  SystemTruncate,
                                       SystemFlush, SystemClose,       SystemRename, SystemSyncDirectory};
SaveFileOps saveFileOps = systemSaveFileOps;

SaveResult SaveFileWhole(const char* path, const std::string& content, int* error) {
    int ignored = 0;
    if (!error) error = &ignored;
    *error = 0;
    // Changed on purpose: a save with nothing new is skipped (docs/BEHAVIOUR.md).
    // Some callers save every frame; a flush to disk each time would stall the frames.
    if (FileHolds(path, content)) return SAVE_DONE;
    // A replay's save fails where its recording's did, whatever this disk would do.
    int recorded = 0, recordedError = 0;
    if (!JournalSaveStarts(&recorded, &recordedError)) {
        *error = recordedError;
        return SaveResult(recorded);
    }
    const SaveResult result = SaveChangedFile(path, content, error);
    JournalSaved(result, *error);
    return JournalReplaying() ? SaveResult(recorded) : result;
}

namespace {

SaveResult SaveChangedFile(const char* path, const std::string& content, int* error) {
    std::string target;
    if (!FollowLinks(path, &target)) {
        *error = ELOOP;
        return SAVE_FAILED;
    }
    const std::string directory = DirectoryOf(target);
    struct stat old {};
    const bool existing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    const unsigned mode = existing ? unsigned(old.st_mode & 07777) : 0644u;
    // Same directory, so the rename never crosses file systems; a leftover from a
    // crash is simply replaced by the next save.
    const std::string temporary = target + ".tmp";

    const int fd = saveFileOps.open(temporary.c_str(), mode);
    if (fd < 0) {
        *error = errno;
        return existing && FolderRefused(*error) ? RewriteInPlace(target, content, error) : SAVE_FAILED;
    }
    if (existing) KeepOwnerAndMode(fd, old);
    bool ok = saveFileOps.write(fd, content.data(), content.size()) && saveFileOps.flush(fd);
    if (!ok) *error = errno;
    if (!saveFileOps.close(fd) && ok) {
        *error = errno;
        ok = false;
    }
    // Changed on purpose: atomic save (docs/BEHAVIOUR.md).
    if (ok && !saveFileOps.rename(temporary.c_str(), target.c_str())) {
        *error = errno;
        ::unlink(temporary.c_str());
        return existing && FolderRefused(*error) ? RewriteInPlace(target, content, error) : SAVE_FAILED;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return SAVE_FAILED;
    }
    // Without this the rename itself may not survive a power cut; the new file is in
    // place all the same.
    return saveFileOps.syncDirectory(directory.c_str()) ? SAVE_DONE : SAVE_NOT_SYNCED;
}

}  // namespace
