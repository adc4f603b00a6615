// The player's files in a browser: prefs.dat and valimo.log live in /store, a
// folder the browser keeps in its IndexedDB; the game folder's names for them are
// links there, so the game's own atomic save (a new file renamed over the old)
// happens inside the store. After each frame a changed prefs.dat is written
// through to the browser, and new log lines go to the console.
// Changed on purpose: the web host (docs/BEHAVIOUR.md).
#include <emscripten.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/web/web.h"

namespace {

constexpr const char* kStore = "/store";
constexpr const char* kPrefs = "/store/prefs.dat";
constexpr const char* kLog = "/store/valimo.log";
// The log is written through at most this often; prefs.dat after every save.
constexpr double kLogSyncMs = 1000.0;

struct FileMark {
    ino_t inode = 0;
    off_t size = -1;
    time_t changed = 0;
};

FileMark prefsSeen;
off_t logShown = 0;
bool logDirty = false;
double logSyncedAt = 0.0;

// Mounts the store and reads what the browser kept; 0 when the browser refuses
// storage (the game then plays with players that last as long as the page).
EM_ASYNC_JS(int, WebMountStore, (const char* path), {
    var dir = UTF8ToString(path);
    var store = null;
    try {
        store = window.indexedDB;
    } catch (e) {
    }
    if (!store) return 0;
    try {
        FS.mkdir(dir);
        FS.mount(IDBFS, {}, dir);
    } catch (e) {
        return 0;
    }
    return await new Promise(function(resolve) {
        try {
            FS.syncfs(true, function(err) { resolve(err ? 0 : 1); });
        } catch (e) {
            resolve(0);
        }
    });
});

// The page writes the store through, one write at a time (index.html).
EM_JS(void, WebSyncStore, (), {
    if (Module.valimoSync) Module.valimoSync();
});

EM_JS(void, WebStoreRefused, (), {
    Module.valimoStoreRefused = true;
    if (Module.valimoSay)
        Module.valimoSay("This browser refuses to keep files for the page (a private window?): " +
                         "the game plays, but its players will not be kept after the page is closed.");
});

EM_JS(void, WebLogLines, (const char* text, int length), {
    var s = UTF8ToString(text, length);
    if (s.charCodeAt(s.length - 1) == 10) s = s.slice(0, -1);
    if (s.length) console.log(s);
});

FileMark Mark(const char* path) {
    struct stat info {};
    FileMark m;
    if (stat(path, &info) == 0) {
        m.inode = info.st_ino;
        m.size = info.st_size;
        m.changed = info.st_mtime;
    }
    return m;
}

bool SameMark(const FileMark& a, const FileMark& b) {
    return a.inode == b.inode && a.size == b.size && a.changed == b.changed;
}

bool WriteFirstPrefs() {
    const std::string temporary = std::string(kPrefs) + ".tmp";
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) return false;
    static const char kNoPlayers[] = "PLAYERS 0\n";
    const bool written = std::fwrite(kNoPlayers, 1, sizeof kNoPlayers - 1, f) == sizeof kNoPlayers - 1;
    if (std::fclose(f) != 0 || !written || std::rename(temporary.c_str(), kPrefs) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

// The game folder's name for a file of the store.
bool LinkInto(const char* gameDir, const char* name, const char* target) {
    const std::string path = std::string(gameDir) + "/" + name;
    unlink(path.c_str());
    return symlink(target, path.c_str()) == 0;
}

void ShowNewLog() {
    struct stat info {};
    if (stat(kLog, &info) != 0) return;
    // The log starts afresh each run: a shorter file is a new one.
    if (info.st_size < logShown) logShown = 0;
    if (info.st_size == logShown) return;
    FILE* f = std::fopen(kLog, "rb");
    if (!f) return;
    char chunk[4096];
    if (std::fseek(f, long(logShown), SEEK_SET) == 0) {
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
            WebLogLines(chunk, int(got));
            logShown += off_t(got);
        }
    }
    std::fclose(f);
    logDirty = true;
}

}  // namespace

bool WebPrepareFiles(const char* gameDir) {
    if (!WebMountStore(kStore)) {
        WebStoreRefused();
        mkdir(kStore, 0700);
    }
    // A save cut short by a closed page leaves a temporary file; the kept prefs.dat is whole.
    unlink((std::string(kPrefs) + ".tmp").c_str());
    struct stat info {};
    if ((stat(kPrefs, &info) != 0 || !S_ISREG(info.st_mode)) && !WriteFirstPrefs()) return false;
    // The log's link must lead to a file: a link to nothing is not written through.
    if (stat(kLog, &info) != 0) {
        FILE* log = std::fopen(kLog, "ab");
        if (log) std::fclose(log);
    }
    if (!LinkInto(gameDir, "prefs.dat", kPrefs) || !LinkInto(gameDir, "valimo.log", kLog)) return false;
    prefsSeen = Mark(kPrefs);
    WebSyncStore();
    return true;
}

void WebWatchFiles() {
    const FileMark prefs = Mark(kPrefs);
    ShowNewLog();
    if (!SameMark(prefs, prefsSeen)) {
        prefsSeen = prefs;
        logDirty = false;
        logSyncedAt = emscripten_get_now();
        WebSyncStore();
    } else if (logDirty && emscripten_get_now() - logSyncedAt >= kLogSyncMs) {
        logDirty = false;
        logSyncedAt = emscripten_get_now();
        WebSyncStore();
    }
}
