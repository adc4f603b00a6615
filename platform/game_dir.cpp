#include "platform/game_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

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
    for (const char* relative : {"", "/../share/games/valimo", "/../game"}) {
        const std::string dir = Canonical(program + relative);
        if (HoldsGame(dir)) return dir;
    }
    return std::string();
}
