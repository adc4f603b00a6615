// valimo-gen DIR           writes the game's data set into DIR
// valimo-gen --sheets DIR  writes PNG contact sheets of it into DIR
// valimo-gen --desktop DIR writes what an installed game adds: the theme's icons
//                          and a prefs.dat with no players for the shipped data
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tools/dataset.h"
#include "tools/icon.h"

int main(int argc, char** argv) {
    bool sheets = argc == 3 && std::strcmp(argv[1], "--sheets") == 0;
    if (argc == 3 && std::strcmp(argv[1], "--desktop") == 0) {
        std::string error;
        if (gen::WriteThemeIcons(argv[2], error) && gen::WriteFirstPrefs(argv[2], error)) return 0;
        std::fprintf(stderr, "valimo-gen: %s\n", error.c_str());
        return 1;
    }
    if (argc != 2 && !sheets) {
        std::fprintf(stderr, "usage: valimo-gen DIR | valimo-gen --sheets DIR | valimo-gen --desktop DIR\n");
        return 2;
    }
    try {
        gen::DataSet d = gen::MakeDataSet();
        std::string error;
        bool ok = sheets ? gen::WriteSheets(d, argv[2], error) : gen::WriteDataSet(d, argv[1], error);
        if (!ok) {
            std::fprintf(stderr, "valimo-gen: %s\n", error.c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "valimo-gen: %s\n", e.what());
        return 1;
    }
    return 0;
}
