// The game's folders point one way: app on top, base and platform at the bottom.
// A lower folder that includes app, or folders that include each other round a
// circle, fail here with the includes that make it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;

const char* const kGameFolders[] = {"app", "base", "gfx", "gui", "input", "profiles", "puzzle", "sound", "platform"};

// A folder of the graph: platform's hosts each stand apart from the layer they serve.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find('/');
    if (slash == std::string::npos) return "";
    const std::string top = path.substr(0, slash);
    if (top != "platform") return top;
    const size_t next = path.find('/', slash + 1);
    return next == std::string::npos ? top : path.substr(0, next);
}

struct Include {
    std::string from;  // "file:line"
    std::string to;
};

// Folder -> folder -> the first include that joins them.
using FolderGraph = std::map<std::string, std::map<std::string, Include>>;

struct LayerFaults {
    std::vector<std::string> upToApp;
    std::vector<std::string> circles;
};

FolderGraph ReadIncludes(const fs::path& root) {
    FolderGraph graph;
    const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
    for (const char* top : kGameFolders) {
        if (!fs::is_directory(root / top)) continue;
        for (const auto& e : fs::recursive_directory_iterator(root / top)) {
            const std::string ext = e.path().extension().string();
            if (!e.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
            const std::string name = fs::relative(e.path(), root).generic_string();
            const std::string from = FolderOf(name);
            std::istringstream text(ReadFile(e.path().string()));
            int lineNumber = 0;
            for (std::string line; std::getline(text, line);) {
                lineNumber++;
                std::smatch m;
                if (!std::regex_search(line, m, include)) continue;
                const std::string target = m[1];
                const std::string to = FolderOf(target);
                bool game = false;
                for (const char* f : kGameFolders) game = game || to.rfind(f, 0) == 0;
                if (!game || to == from) continue;
                graph[from].try_emplace(to, Include{name + ":" + std::to_string(lineNumber), target});
            }
        }
    }
    return graph;
}

void FindCircles(const FolderGraph& graph, const std::string& at, std::vector<std::string>& path,
                 std::set<std::string>& done, LayerFaults& faults) {
    path.push_back(at);
    const auto edges = graph.find(at);
    if (edges != graph.end()) {
        for (const auto& [next, how] : edges->second) {
            const auto open = std::find(path.begin(), path.end(), next);
            if (open != path.end()) {
                std::string circle;
                for (auto it = open; it != path.end(); ++it) {
                    const std::string to = it + 1 == path.end() ? next : *(it + 1);
                    const Include& by = graph.at(*it).at(to);
                    circle += *it + " -> " + to + " (" + by.from + " includes " + by.to + "); ";
                }
                faults.circles.push_back(circle);
            } else if (!done.count(next)) {
                FindCircles(graph, next, path, done, faults);
            }
        }
    }
    done.insert(at);
    path.pop_back();
}

LayerFaults CheckLayers(const fs::path& root) {
    const FolderGraph graph = ReadIncludes(root);
    LayerFaults faults;
    for (const auto& [from, edges] : graph) {
        const auto up = edges.find("app");
        if (up != edges.end()) faults.upToApp.push_back(up->second.from + " includes " + up->second.to);
    }
    std::set<std::string> done;
    for (const auto& entry : graph) {
        std::vector<std::string> path;
        if (!done.count(entry.first)) FindCircles(graph, entry.first, path, done, faults);
    }
    return faults;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    return all;
}

TEST(Layers, TheCheckFindsAnIncludeUpToAppAndACircleAcrossFolders) {
    const fs::path root = MakeScratchDirectory();
    WriteFile("app/game.cpp", "#include \"gui/menu.h\"\n#include \"app/game.h\"\n");
    WriteFile("gui/menu.cpp", "#include <cstdio>\n#include \"gfx/draw.h\"\n");
    WriteFile("gfx/draw.cpp", "#include \"base/log.h\"\n  #  include \"gui/menu.h\"\n");
    WriteFile("sound/sound.cpp", "// #include \"app/valimo.h\" once\n#include \"app/valimo.h\"\n");
    WriteFile("platform/sdl/host.cpp", "#include \"platform/win.h\"\n");
    WriteFile("platform/win.cpp", "#include \"platform/sdl/host.h\"\n");
    const LayerFaults faults = CheckLayers(root);
    EXPECT_EQ(Lines(faults.upToApp), "sound/sound.cpp:2 includes app/valimo.h\n");
    EXPECT_EQ(Lines(faults.circles),
              "gui -> gfx (gui/menu.cpp:2 includes gfx/draw.h); gfx -> gui (gfx/draw.cpp:2 includes gui/menu.h); \n"
              "platform -> platform/sdl (platform/win.cpp:1 includes platform/sdl/host.h); "
              "platform/sdl -> platform (platform/sdl/host.cpp:1 includes platform/win.h); \n");

    // Includes that point down only pass.
    std::filesystem::remove("gfx/draw.cpp");
    std::filesystem::remove("sound/sound.cpp");
    std::filesystem::remove("platform/win.cpp");
    const LayerFaults clean = CheckLayers(root);
    EXPECT_TRUE(clean.upToApp.empty()) << Lines(clean.upToApp);
    EXPECT_TRUE(clean.circles.empty()) << Lines(clean.circles);
}

TEST(Layers, TheGamesFoldersPointOneWay) {
    const LayerFaults faults = CheckLayers(VALIMO_SOURCE_DIR);
    EXPECT_TRUE(faults.upToApp.empty()) << "only app may include app:\n" << Lines(faults.upToApp);
    EXPECT_TRUE(faults.circles.empty()) << "folders that include each other:\n" << Lines(faults.circles);
}

}  // namespace
