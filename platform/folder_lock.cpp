#include "platform/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/faults.h"

namespace {

// Open for the whole run and never written: the lock lives on the open file.
int lockFd = -1;
dev_t lockDevice = 0;
ino_t lockInode = 0;

}  // namespace

FolderLockResult LockGameFolder(const std::string& dir, std::string& why) {
    const std::string path = (dir.empty() ? std::string(".") : dir) + "/" + kFolderLockName;
    // O_NOFOLLOW: a link planted under the name could send the create elsewhere.
    // Read only: a file open for writing would keep the file system from being
    // remounted read-only under the game.
    int fd;
    do fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
    while (fd < 0 && errno == EINTR);
    // A folder that takes no new file may still hold an old lock file to read.
    if (fd < 0 && (errno == EROFS || errno == EACCES)) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        why = path + ": " + std::strerror(errno);
        return FOLDER_UNLOCKED;
    }
    struct stat info {};
    if (lockFd >= 0 && ::fstat(fd, &info) == 0 && info.st_dev == lockDevice && info.st_ino == lockInode) {
        ::close(fd);
        return FOLDER_LOCKED;
    }
    HRESULT fault = 0;
    int result;
    if (TakeFault("flock", &fault)) {
        errno = int(fault);
        result = -1;
    } else {
        do result = ::flock(fd, LOCK_EX | LOCK_NB);
        while (result != 0 && errno == EINTR);
    }
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) return FOLDER_BUSY;
        // No locks here (ENOLCK, EOPNOTSUPP, ...): refusing to play would cost more.
        why = path + ": " + std::strerror(error);
        return FOLDER_UNLOCKED;
    }
    UnlockGameFolder();
    lockFd = fd;
    if (::fstat(fd, &info) == 0) {
        lockDevice = info.st_dev;
        lockInode = info.st_ino;
    }
    return FOLDER_LOCKED;
}

void UnlockGameFolder() {
    if (lockFd < 0) return;
    ::close(lockFd);
    lockFd = -1;
}
