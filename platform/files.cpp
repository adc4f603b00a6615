#include "platform/files.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/faults.h"

struct PlatformFileSearch {
    std::vector<std::string> names;
    std::vector<DWORD> sizes;
    size_t next = 0;
};

namespace {

void Fill(PlatformFileSearch* search, WIN32_FIND_DATAA* data) {
    const std::string& name = search->names[search->next];
    std::memset(data, 0, sizeof *data);
    // A Linux name is at most 255 bytes, so it always fits.
    std::memcpy(data->cFileName, name.data(), std::min(name.size(), sizeof data->cFileName - 1));
    data->nFileSizeLow = search->sizes[search->next];
    search->next++;
}

}  // namespace

HFIND FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data) {
    HRESULT fault;
    if (TakeFault("FindFirstFile", &fault)) return INVALID_FIND_HANDLE;
    if (!pattern || !data) return INVALID_FIND_HANDLE;
    const std::string whole(pattern);
    const size_t slash = whole.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : whole.substr(0, slash);
    const std::string wildcard = slash == std::string::npos ? whole : whole.substr(slash + 1);

    DIR* dir = opendir(directory.empty() ? "/" : directory.c_str());
    if (!dir) return INVALID_FIND_HANDLE;
    std::vector<std::pair<std::string, DWORD>> found;
    while (dirent* entry = readdir(dir)) {
        if (fnmatch(wildcard.c_str(), entry->d_name, 0) != 0) continue;
        struct stat info;
        const std::string path = directory + "/" + entry->d_name;
        if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        found.emplace_back(entry->d_name, DWORD(info.st_size));
    }
    closedir(dir);
    if (found.empty()) return INVALID_FIND_HANDLE;
    // std::string compares as unsigned bytes: the same order whatever the locale.
    std::sort(found.begin(), found.end());

    auto* search = new PlatformFileSearch;
    for (auto& [name, size] : found) {
        search->names.push_back(std::move(name));
        search->sizes.push_back(size);
    }
    Fill(search, data);
    return search;
}

bool FindNextFileA(HFIND search, WIN32_FIND_DATAA* data) {
    if (!search || !data || search->next >= search->names.size()) return false;
    Fill(search, data);
    return true;
}

bool FindClose(HFIND search) {
    if (!search) return false;
    delete search;
    return true;
}
