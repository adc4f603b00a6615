// Directory search by wildcard pattern, as the original system offered it
// (first match, next match, close).
#pragma once
#include "platform/win.h"

struct WIN32_FIND_DATAA {
    DWORD nFileSizeLow;
    char cFileName[260];
};

struct PlatformFileSearch;
using HFIND = PlatformFileSearch*;
constexpr HFIND INVALID_FIND_HANDLE = nullptr;

// Searches for "directory/pattern" (the pattern in the last component: '*' and
// '?'). Only regular files match. The names come sorted by their bytes, so the
// order is the same on every machine and every run. INVALID_FIND_HANDLE when
// nothing matches.
HFIND FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
// The next match; false when there is none left.
bool FindNextFileA(HFIND search, WIN32_FIND_DATAA* data);
bool FindClose(HFIND search);
