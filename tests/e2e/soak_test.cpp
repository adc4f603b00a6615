// The whole game for many frames of seeded random input, aimed mostly at what a
// player would click, with the table's and the pointer's invariants checked every
// frame and memory watched for growth. VALIMO_SOAK_FRAMES sets the length (make
// soak runs 100,000); VALIMO_SOAK_SEED the input.
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/game_flow.h"
#include "app/valimo.h"
#include "e2e/game_run.h"
#include "gfx/movie.h"
#include "gui/registry.h"
#include "input/input.h"
#include "platform/ddraw.h"
#include "platform/dsound.h"
#include "platform/headless/headless.h"
#include "profiles/profiles.h"
#include "puzzle/level.h"
#include "puzzle/packing.h"
#include "puzzle/status.h"
#include "test_support.h"

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_ASAN 1
#endif
#endif
#ifdef SOAK_ASAN
// From the sanitizer's runtime (its header is not installed with every compiler).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

const int kStates[] = {GS_INTRO,     GS_WELCOME,   GS_FIRST_ID,     GS_SELECT_PLAYER, GS_ADD_ID, GS_DELETE_ID,
                       GS_QUIT_CONFIRM, GS_MAIN_MENU, GS_NEW_LEVEL,  GS_PLAYING,       GS_QUIT_GAME,
                       GS_INSTRUCTIONS, GS_CREDITS, GS_LOGOUT,      GS_OUTRO,         GS_CLOSING};

// Heap bytes the program holds (a sanitizer's quarantine is not the program's).
size_t HeapInUse() {
#ifdef SOAK_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

long ResidentKiB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Surfaces apart from the level's item pictures and the movie picture, which come
// and go with the screen shown.
int CoreSurfaces() {
    int n = LiveSurfaceCount();
    for (int i = 0; i < MAX_ITEMS; i++) n -= gameLevel.items[i].image != nullptr;
    return n - (movieSprite != nullptr);
}

struct Soak {
    long frames = 0;
    long warmUp = 0;
    long stateFrames[32]{};
    std::string failure;
    int baseSurfaces = -1, maxSurfaces = 0;
    int baseBuffers = -1, maxBuffers = 0;
    size_t baseHeap = 0, maxHeap = 0;
    long baseRss = 0, maxRss = 0;
    long length = 0;
    std::string heapTrend;  // heap in use at each tenth of the run
    int levelsSolved = 0;
};
Soak soak;

void Fail(const std::string& what) {
    if (soak.failure.empty()) soak.failure = "frame " + std::to_string(soak.frames) + ": " + what;
}

// Before every pass of the frame loop, so every frame is checked whoever drives it.
void CheckFrame() {
    soak.frames++;
    if (GameState >= 0 && GameState < 32) soak.stateFrames[GameState]++;
    int selected = 0;
    for (const PlayerProfile& p : profiles) selected += p.selected;
    if (selected > 1) Fail(std::to_string(selected) + " selected profiles");
    if (packedCells < 0 || packedCells > CASE_CELLS) Fail("packedCells " + std::to_string(packedCells));
    if (profileCount < 0 || profileCount > MAX_PLAYERS) Fail("profileCount " + std::to_string(profileCount));
    if (mouseX < 0 || mouseX > 640 || mouseY < 0 || mouseY > 480)
        Fail("pointer at " + std::to_string(mouseX) + "," + std::to_string(mouseY));
    int marked = 0;
    for (int i = 0; i < gameLevel.itemCount && i < MAX_ITEMS; i++)
        if (gameLevel.items[i].carried) marked++;
    if (carrying) {
        if (carriedItem < 0 || carriedItem >= gameLevel.itemCount || !gameLevel.items[carriedItem].carried ||
            marked != 1)
            Fail("carried item " + std::to_string(carriedItem) + " with " + std::to_string(marked) + " marked");
    } else if (marked != 0) {
        Fail(std::to_string(marked) + " items marked carried while nothing is");
    }

    const int surfaces = CoreSurfaces();
    const int buffers = LiveSoundBufferCount();
    const size_t heap = HeapInUse();
    const long rss = ResidentKiB();
    if (soak.frames == soak.warmUp) {
        soak.baseSurfaces = soak.maxSurfaces = surfaces;
        soak.baseBuffers = soak.maxBuffers = buffers;
        soak.baseHeap = soak.maxHeap = heap;
        soak.baseRss = soak.maxRss = rss;
    } else if (soak.frames > soak.warmUp) {
        soak.maxSurfaces = std::max(soak.maxSurfaces, surfaces);
        soak.maxBuffers = std::max(soak.maxBuffers, buffers);
        soak.maxHeap = std::max(soak.maxHeap, heap);
        soak.maxRss = std::max(soak.maxRss, rss);
    }
    if (soak.length >= 10 && soak.frames % (soak.length / 10) == 0) soak.heapTrend += std::to_string(heap / 1024) + "K ";
}

struct Target {
    int x, y, width, height;
    bool quits;   // leads to the outro, which ends the run
    int weight;
};

// The dialog shown in each state that shows one.
const char* StateWindow() {
    switch (GameState) {
    case GS_WELCOME: return "WELCOME";
    case GS_FIRST_ID:
    case GS_ADD_ID: return "ADDNEWID";
    case GS_DELETE_ID: return "DELETEID";
    case GS_QUIT_CONFIRM: return "QUIT";
    case GS_NEW_LEVEL: return "NEWLEVEL";
    case GS_LOGOUT: return "LOGOUT";
    case GS_QUIT_GAME: return "QUITGAME";
    default: return nullptr;
    }
}

void AddWindowTargets(std::vector<Target>& targets, const char* id, int quitValue) {
    const int slot = FindWindowId(id);
    if (slot == NOIDFOUND) return;
    const GuiWindow& w = windows[slot];
    for (int i = 0; i < w.buttonCount && i < MAX_BUTTONS; i++)
        targets.push_back({w.x + w.buttons[i].x, w.y + w.buttons[i].y, w.buttons[i].width, w.buttons[i].height,
                           w.buttons[i].value == quitValue, 4});
    for (int i = 0; i < w.textBoxCount && i < MAX_TEXTBOXES; i++)
        targets.push_back({w.x + w.textBoxes[i].x, w.y + w.textBoxes[i].y, w.textBoxes[i].width, 14, false, 3});
}

void AddScreenButton(std::vector<Target>& targets, int index, bool quits = false) {
    if (index >= screenButtonCount) return;
    const GuiButton& b = screenButtons[index];
    targets.push_back({b.x, b.y, b.width, b.height, quits, 4});
}

// What a player would aim at on the screen shown now.
std::vector<Target> Targets() {
    std::vector<Target> targets;
    switch (GameState) {
    case GS_WELCOME: AddWindowTargets(targets, "WELCOME", -1); break;
    case GS_FIRST_ID:
    case GS_ADD_ID: AddWindowTargets(targets, "ADDNEWID", -1); break;
    case GS_DELETE_ID: AddWindowTargets(targets, "DELETEID", -1); break;
    case GS_QUIT_CONFIRM: AddWindowTargets(targets, "QUIT", 1); break;
    case GS_NEW_LEVEL: AddWindowTargets(targets, "NEWLEVEL", -1); break;
    case GS_LOGOUT: AddWindowTargets(targets, "LOGOUT", -1); break;
    case GS_QUIT_GAME: AddWindowTargets(targets, "QUITGAME", 1); break;
    case GS_SELECT_PLAYER:
        for (int i = 0; i < 4; i++) AddScreenButton(targets, i);
        for (int i = 0; i < MAX_PLAYERS; i++) targets.push_back({181, 170 + 17 * i, 178, 15, false, 1});
        break;
    case GS_MAIN_MENU:
        for (int k = 0; k < MENU_ROWS; k++) targets.push_back({228, 155 + 20 * k, 184, 16, k == MENU_ROWS - 1, 3});
        break;
    case GS_INSTRUCTIONS:
    case GS_CREDITS: AddScreenButton(targets, 4); break;
    case GS_PLAYING:
        AddScreenButton(targets, 7);
        for (int i = 0; i < gameLevel.itemCount; i++) {
            const Item& it = gameLevel.items[i];
            targets.push_back({32 * it.column, GRID_TOP + 32 * it.row, 32 * it.width, 32 * it.height, false, 2});
        }
        targets.push_back({32 * CASE_LEFT, GRID_TOP, 32 * CASE_COLUMNS, 32 * CASE_ROWS, false, 6});
        break;
    case GS_CLOSING:
        AddScreenButton(targets, 5, true);
        AddScreenButton(targets, 6, true);
        break;
    default: break;
    }
    return targets;
}

bool Inside(const Target& t, int x, int y) {
    return x >= t.x - 2 && x <= t.x + t.width + 2 && y >= t.y - 2 && y <= t.y + t.height + 2;
}

class Player {
public:
    explicit Player(unsigned seed) : random_(seed) {}

    // One gesture: a move, then a click, a drag, some keys or a solved level.
    // False once the game has ended.
    bool Gesture(bool mayQuit) {
        const std::vector<Target> targets = Targets();
        int x, y;
        const Target* aimed = nullptr;
        if (!targets.empty() && Chance(85)) {
            int total = 0;
            for (const Target& t : targets) total += mayQuit && t.quits ? 40 : t.weight;
            int pick = Uniform(0, total - 1);
            for (const Target& t : targets) {
                pick -= mayQuit && t.quits ? 40 : t.weight;
                if (pick < 0) {
                    aimed = &t;
                    break;
                }
            }
            x = std::clamp(aimed->x + Uniform(0, std::max(0, aimed->width - 1)), 0, 640);
            y = std::clamp(aimed->y + Uniform(0, std::max(0, aimed->height - 1)), 0, 480);
        } else {
            x = Uniform(0, 640);
            y = Uniform(0, 480);
        }
        bool quits = false;
        for (const Target& t : targets) quits = quits || (t.quits && Inside(t, x, y));
        if (mayQuit && GameState == GS_PLAYING) return Press(DIK_ESCAPE);

        // Now and then a level is solved as it comes, so that later levels are played too.
        const bool fresh = GameState == GS_PLAYING && lastState_ != GS_PLAYING;
        lastState_ = GameState;
        if (fresh && Chance(40)) {
            soak.levelsSolved += SolveLevelWithPointer() && GameState != GS_PLAYING;
            lastState_ = GameState;
            return !quitRequested;
        }
        if (!Glide(x, y)) return false;
        const int kind = Uniform(0, 99);
        if (kind < 10) return Press(RandomKey());
        if (kind < 18 && (GameState == GS_FIRST_ID || GameState == GS_ADD_ID)) {
            // An id typed into the box: letters, sometimes a blank or a rub-out.
            const int length = Uniform(1, 20);
            for (int i = 0; i < length; i++)
                if (!Press(Chance(10) ? 0x39 : Chance(5) ? DIK_BACK : kLetters[Uniform(0, 25)])) return false;
            return true;
        }
        if (kind < 22) return DragWindow();
        if (quits && !mayQuit) return true;  // aimed, not pressed
        if (!MoveTo(x, y, true)) return false;
        return MoveTo(x, y, false);
    }

private:
    static constexpr int kLetters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                         0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};

    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool Chance(int percent) { return Uniform(0, 99) < percent; }

    int RandomKey() {
        // No Alt-Tab: leaving the window is another test's matter.
        static const int keys[] = {DIK_ESCAPE, DIK_BACK, DIK_RETURN, DIK_F, DIK_LSHIFT, 0x39, 0x02, 0x0B, 0x1E, 0x2C};
        return keys[Uniform(0, int(sizeof keys / sizeof keys[0]) - 1)];
    }

    bool Press(int key) {
        if (!MoveTo(mouseX, mouseY, false, {key})) return false;
        return MoveTo(mouseX, mouseY, false, {});
    }

    // A few frames of movement, as a hand moves a mouse.
    bool Glide(int x, int y) {
        const int steps = Uniform(1, 4);
        const int fromX = mouseX, fromY = mouseY;
        for (int s = 1; s <= steps; s++)
            if (!MoveTo(fromX + (x - fromX) * s / steps, fromY + (y - fromY) * s / steps)) return false;
        return true;
    }

    // The dialog shown taken by its title bar to another place where it fits whole.
    bool DragWindow() {
        const char* id = StateWindow();
        const int slot = id ? FindWindowId(id) : NOIDFOUND;
        if (slot != NOIDFOUND) {
            const GuiWindow& w = windows[slot];
            if (w.width > 600 || w.height > 440) return true;
            const int grabX = w.x + 10 + Uniform(0, std::max(0, w.width - 40)), grabY = w.y + 10;
            const int toX = Uniform(0, 640 - w.width) + (grabX - w.x), toY = Uniform(0, 480 - w.height) + 10;
            if (!Glide(grabX, grabY) || !MoveTo(grabX, grabY, true)) return false;
            if (!MoveTo((grabX + toX) / 2, (grabY + toY) / 2, true) || !MoveTo(toX, toY, true)) return false;
            return MoveTo(toX, toY, false);
        }
        return true;
    }

    std::mt19937 random_;
    int lastState_ = -1;
};

unsigned long EnvNumber(const char* name, unsigned long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtoul(text, nullptr, 10) : fallback;
}

void WriteReport(const char* path) {
    std::ofstream out(path);
    out << "frames " << soak.frames << "\n";
    out << "levels " << soak.levelsSolved << "\n";
    out << "surfaces " << soak.baseSurfaces << " " << soak.maxSurfaces << "\n";
    out << "buffers " << soak.baseBuffers << " " << soak.maxBuffers << "\n";
    out << "heap " << soak.baseHeap << " " << soak.maxHeap << "\n";
    out << "rss " << soak.baseRss << " " << soak.maxRss << "\n";
    out << "trend " << soak.heapTrend << "\n";
    for (int s : kStates) out << "state " << s << " " << soak.stateFrames[s] << "\n";
    out << "failure " << soak.failure << "\n";
}

// Runs in the child of the death test: the game ends the process itself.
[[noreturn]] void RunSoak(long frames, unsigned seed) {
    soak.warmUp = std::min(frames / 10, 2000L);
    soak.length = frames;
    HeadlessSetPumpHook(CheckFrame);
    StartGame();
    Player player(seed);
    // Quitting is held back to the end, where the outro and the closing screen come.
    const long quitFrom = frames;
    const long limit = frames + 5000;
    bool running = !quitRequested;
    while (running && soak.failure.empty() && soak.frames < limit) {
        const bool mayQuit = soak.frames >= quitFrom;
        // Only the held-back quitting leads there; anything else is a fault of this player.
        if (!mayQuit && (GameState == GS_OUTRO || GameState == GS_CLOSING)) Fail("the game ended early");
        running = player.Gesture(mayQuit) && !quitRequested;
    }
    if (running && soak.failure.empty()) Fail("the game did not end in " + std::to_string(limit) + " frames");
    WriteReport("soak-report.txt");
    if (!soak.failure.empty()) _exit(1);
    EndGame();
}

TEST(Soak, RandomPlayVisitsEveryScreenWithoutBreakingAnInvariantOrGrowing) {
    const long frames = long(EnvNumber("VALIMO_SOAK_FRAMES", 10000));
    ASSERT_GE(frames, 1000);
    const unsigned seed = unsigned(EnvNumber("VALIMO_SOAK_SEED", 20261208));
    PrepareGame();
    EXPECT_EXIT(RunSoak(frames, seed), testing::ExitedWithCode(0), "");

    std::map<std::string, std::string> report;
    std::map<int, long> visits;
    std::istringstream lines(ReadFile("soak-report.txt"));
    std::string line;
    while (std::getline(lines, line)) {
        const size_t space = line.find(' ');
        const std::string key = line.substr(0, space), rest = space == std::string::npos ? "" : line.substr(space + 1);
        if (key == "state")
            visits[std::stoi(rest)] = std::stol(rest.substr(rest.find(' ') + 1));
        else
            report[key] = rest;
    }
    ASSERT_FALSE(report["frames"].empty()) << "no report from the run";
    EXPECT_EQ(report["failure"], "");
    EXPECT_GE(std::stol(report["frames"]), frames);
    std::string visited;
    for (int s : kStates) {
        EXPECT_GT(visits[s], 0) << "state " << s << " never shown";
        visited += std::to_string(s) + ":" + std::to_string(visits[s]) + " ";
    }
    long base = 0, peak = 0;
    std::istringstream(report["surfaces"]) >> base >> peak;
    EXPECT_EQ(peak, base) << "surfaces grew after the warm-up";
    std::istringstream(report["buffers"]) >> base >> peak;
    EXPECT_EQ(peak, base) << "sound buffers grew after the warm-up";
    size_t heapBase = 0, heapPeak = 0;
    std::istringstream(report["heap"]) >> heapBase >> heapPeak;
    // Levels differ in their pictures; a leak of even a few bytes a frame shows above this.
    EXPECT_LT(heapPeak, heapBase + (2u << 20)) << "heap grew after the warm-up";
    std::printf("soak: %s frames, %s levels solved; states (frames) %s\n"
                "soak: surfaces %s, sound buffers %s, heap %s, rss KiB %s (after warm-up, peak); heap by tenths %s\n",
                report["frames"].c_str(), report["levels"].c_str(), visited.c_str(), report["surfaces"].c_str(),
                report["buffers"].c_str(), report["heap"].c_str(), report["rss"].c_str(), report["trend"].c_str());
    RecordProperty("frames", report["frames"]);
    RecordProperty("states", visited);
}

}  // namespace
