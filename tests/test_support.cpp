#include "test_support.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/valimo.h"
#include "gfx/display.h"
#include "platform/win.h"

namespace {
// As the program does at start-up: a fatal error in a test ends it through the shut-down.
const bool fatalExitSet = (SetFatalExit(Shutdown), true);

std::vector<std::string> scratchDirectories;
pid_t scratchOwner = 0;

// Only the process that made them removes them: a death test's child exits too.
void RemoveScratchDirectories() {
    if (getpid() != scratchOwner) return;
    std::error_code ignored;
    for (const std::string& dir : scratchDirectories) std::filesystem::remove_all(dir, ignored);
}
}  // namespace

std::string MakeScratchDirectory() {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "valimo-test-XXXXXX").string();
    std::string path = mkdtemp(pattern.data()) ? pattern : std::string();
    if (scratchOwner == 0) {
        scratchOwner = getpid();
        std::atexit(RemoveScratchDirectories);
    }
    scratchDirectories.push_back(path);
    fs::current_path(path);
    std::strncpy(startDirectory, path.c_str(), sizeof startDirectory - 1);
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string ReadLog() { return ReadFile(std::string(startDirectory) + "/valimo.log"); }

void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

void StartDisplay() {
    mainWindow = CreateMainWindow("Valimo", 0, 0, 640, 480, WndProc);
    InitDirectDraw(mainWindow, nullptr, 640, 480, 16);
}

void DropFileAccessOverride() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    syscall(SYS_capget, &header, data);
    data[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    syscall(SYS_capset, &header, data);
}
