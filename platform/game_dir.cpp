#include "platform/game_dir.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <set>

#include "platform/folder_lock.h"

// Where the install rules put the shipped data, seen from the programs' folder.
// Changed on purpose: reproducible packaging (docs/BEHAVIOUR.md).
#ifndef VALIMO_DATA_FROM_PROGRAM
#define VALIMO_DATA_FROM_PROGRAM "../share/games/valimo"
#endif

namespace {

bool IsDir(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string Canonical(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

bool SameDir(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    if (a.empty() || b.empty() || stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string Join(const std::string& dir, const std::string& name) {
    if (name.empty()) return dir;
    return !dir.empty() && dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string Reason(const std::string& what, const std::string& path, int error) {
    return what + " " + path + ": " + std::strerror(error);
}

// mkdir -p, each folder it makes private to the player.
bool MakeDirs(const std::string& path, std::string& error) {
    for (size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string prefix = path.substr(0, end);
        if (!prefix.empty() && mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            error = Reason("cannot make", prefix, errno);
            return false;
        }
        if (end == std::string::npos) break;
    }
    if (!IsDir(path)) {
        error = Reason("cannot make", path, ENOTDIR);
        return false;
    }
    return true;
}

// O_EXCL: whatever is there already (a file, a link) is the player's.
bool WriteFirstPrefs(const std::string& path, std::string& error) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST) return true;
        error = Reason("cannot write", path, errno);
        return false;
    }
    static const char kNoPlayers[] = "PLAYERS 0\n";
    const ssize_t written = write(fd, kNoPlayers, sizeof kNoPlayers - 1);
    const int writeError = written < 0 ? errno : ENOSPC;
    if (close(fd) != 0 || written != ssize_t(sizeof kNoPlayers - 1)) {
        unlink(path.c_str());
        error = Reason("cannot write", path, writeError);
        return false;
    }
    return true;
}

// The names of the shipped files in one folder. Top level: not the player's own
// files, and not programs (an unpacked copy keeps its programs beside the data).
std::set<std::string> ShippedNames(const std::string& dir, bool topLevel) {
    std::set<std::string> names;
    DIR* d = opendir(dir.c_str());
    if (!d) return names;
    while (dirent* entry = readdir(d)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (topLevel && (name == "prefs.dat" || name == "valimo.log" || name == kFolderLockName)) continue;
        struct stat st;
        if (stat(Join(dir, name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (topLevel && (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH))) continue;
        names.insert(name);
    }
    closedir(d);
    return names;
}

struct LayCount {
    int failed = 0;
    std::string first;
    void Fail(const std::string& what, const std::string& path, int error) {
        if (failed++ == 0) first = Reason(what, path, error);
    }
};

bool LinkPointsAt(const std::string& link, const std::string& target) {
    char buffer[PATH_MAX];
    const ssize_t n = readlink(link.c_str(), buffer, sizeof buffer);
    return n >= 0 && size_t(n) < sizeof buffer && target == std::string(buffer, size_t(n));
}

void RefreshLinks(const std::string& dir, const std::string& shipped, bool topLevel, LayCount& count) {
    const std::set<std::string> names = ShippedNames(shipped, topLevel);
    // Links left by an uninstall or an upgrade: lstat and readlink only, the
    // target is never opened.
    if (DIR* d = opendir(dir.c_str())) {
        std::set<std::string> dangling;
        while (dirent* entry = readdir(d)) {
            const std::string path = Join(dir, entry->d_name);
            struct stat st;
            if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode) || names.count(entry->d_name)) continue;
            if (stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR || errno == ELOOP))
                dangling.insert(path);
        }
        closedir(d);
        for (const std::string& path : dangling)
            if (unlink(path.c_str()) != 0) count.Fail("cannot remove", path, errno);
    }
    for (const std::string& name : names) {
        const std::string link = Join(dir, name), target = Join(shipped, name);
        struct stat st;
        if (lstat(link.c_str(), &st) == 0) {
            // A file of the player's own under a shipped name wins over ours.
            if (!S_ISLNK(st.st_mode) || LinkPointsAt(link, target)) continue;
            if (unlink(link.c_str()) != 0) {
                count.Fail("cannot replace", link, errno);
                continue;
            }
        }
        if (symlink(target.c_str(), link.c_str()) != 0) count.Fail("cannot link", link, errno);
    }
}

}  // namespace

std::string ProgramDir() {
    std::string exe = Canonical("/proc/self/exe");
    const size_t slash = exe.find_last_of('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : exe.substr(0, slash);
}

bool HoldsGame(const std::string& dir) {
    if (dir.empty() || !IsDir(dir + "/levels")) return false;
    return IsFile(dir + "/prefs.dat") || IsFile(dir + "/intro.avi") || IsFile(dir + "/outro.avi");
}

std::string ShippedDataDir() {
    const std::string program = ProgramDir();
    if (program.empty()) return std::string();
    for (const char* relative : {"", "/" VALIMO_DATA_FROM_PROGRAM, "/../game"}) {
        const std::string dir = Canonical(program + relative);
        if (HoldsGame(dir)) return dir;
    }
    return std::string();
}

std::string PlayerGameDir(const char* xdgDataHome, const char* home, std::string& error) {
    auto trimmed = [](std::string s) {
        while (s.size() > 1 && s.back() == '/') s.pop_back();
        return s;
    };
    if (xdgDataHome && xdgDataHome[0] == '/') return Join(trimmed(xdgDataHome), "valimo");
    if (home && home[0] == '/') return Join(trimmed(home), ".local/share/valimo");
    error = "neither XDG_DATA_HOME nor HOME names a folder for the player's files";
    return std::string();
}

bool LayPlayerGameDir(const std::string& dir, const std::string& shipped, std::string& error,
                      std::string& warning) {
    if (!MakeDirs(dir, error) || !WriteFirstPrefs(Join(dir, "prefs.dat"), error)) return false;
    LayCount count;
    RefreshLinks(dir, shipped, true, count);
    for (const char* sub : {"levels", "data"}) {
        const std::string mine = Join(dir, sub);
        if (!IsDir(mine) && mkdir(mine.c_str(), 0700) != 0) {
            count.Fail("cannot make", mine, errno);
            continue;
        }
        RefreshLinks(mine, Join(shipped, sub), false, count);
    }
    if (count.failed > 0)
        warning = std::to_string(count.failed) + " shipped file(s) not laid in " + dir + " (" + count.first + ")";
    return true;
}

// Changed on purpose: start directory and the player's folder (docs/BEHAVIOUR.md).
StartPlace ChooseStartDir(const std::string& current, const std::string& program, const std::string& shipped,
                          const char* xdgDataHome, const char* home, bool lay) {
    StartPlace place;
    std::string playerError;
    const std::string player = PlayerGameDir(xdgDataHome, home, playerError);
    if (HoldsGame(current) && !SameDir(current, shipped) && !SameDir(current, player)) {
        place.dir = current;
        return place;
    }
    // The rights the game will write with: effective, not real.
    if (HoldsGame(program) && faccessat(AT_FDCWD, program.c_str(), W_OK | X_OK, AT_EACCESS) == 0) {
        place.dir = program;
        return place;
    }
    if (player.empty()) {
        place.error = playerError;
        return place;
    }
    if (shipped.empty()) {
        place.error = "cannot find the game's data beside " + (program.empty() ? std::string("the program") : program) +
                      " or in " VALIMO_DATA_FROM_PROGRAM " from there";
        return place;
    }
    if (!lay) {
        place.dir = player;
        place.layFrom = shipped;
        return place;
    }
    if (LayPlayerGameDir(player, shipped, place.error, place.warning)) place.dir = player;
    return place;
}

StartPlace ChooseStartDirForThisRun() {
    char cwd[PATH_MAX];
    const std::string current = getcwd(cwd, sizeof cwd) ? std::string(cwd) : std::string();
    StartPlace place =
        ChooseStartDir(current, ProgramDir(), ShippedDataDir(), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), false);
    if (place.dir.empty()) return place;
    // Changed on purpose: one game per folder (docs/BEHAVIOUR.md).
    // A player's folder not made yet is made empty first: the lock must be held
    // before the prefs file and links are laid in it.
    if (!place.layFrom.empty() && !MakeDirs(place.dir, place.error)) {
        place.dir.clear();
        return place;
    }
    std::string why;
    switch (LockGameFolder(place.dir, why)) {
    case FOLDER_BUSY:
        place.busy = true;
        return place;
    case FOLDER_UNLOCKED:
        place.warning = "cannot lock the game folder (" + why + "); a second copy started in it would not be stopped";
        break;
    case FOLDER_LOCKED:
        break;
    }
    if (place.layFrom.empty()) return place;
    std::string layWarning;
    if (!LayPlayerGameDir(place.dir, place.layFrom, place.error, layWarning)) place.dir.clear();
    if (!layWarning.empty()) place.warning += (place.warning.empty() ? "" : "\n") + layWarning;
    return place;
}
