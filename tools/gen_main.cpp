// valimo-gen --levels LEVELDIR DIR           writes the game's data set into DIR,
//                                             the levels copied from LEVELDIR
// valimo-gen --levels LEVELDIR --sheets DIR  writes PNG contact sheets of it into DIR
// valimo-gen --desktop DIR                   writes what an installed game adds: the
//                                             theme's icons and a prefs.dat with no players
// valimo-gen --page DIR                      writes the web page's icons into DIR
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tools/dataset.h"
#include "tools/art/icon.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--desktop") == 0) {
        std::string error;
        if (gen::WriteThemeIcons(argv[2], error) && gen::WriteFirstPrefs(argv[2], error)) return 0;
        std::fprintf(stderr, "valimo-gen: %s\n", error.c_str());
        return 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "--page") == 0) {
        std::string error;
        if (gen::WritePageIcons(argv[2], error)) return 0;
        std::fprintf(stderr, "valimo-gen: %s\n", error.c_str());
        return 1;
    }
    const bool withLevels = argc >= 4 && std::strcmp(argv[1], "--levels") == 0;
    const bool sheets = withLevels && argc == 5 && std::strcmp(argv[3], "--sheets") == 0;
    if (!withLevels || (argc != 4 && !sheets)) {
        std::fprintf(stderr,
                     "usage: valimo-gen --levels LEVELDIR DIR | valimo-gen --levels LEVELDIR --sheets DIR | "
                     "valimo-gen --desktop DIR | valimo-gen --page DIR\n");
        return 2;
    }
    try {
        gen::DataSet d = gen::MakeDataSet(argv[2]);
        std::string error;
        bool ok = sheets ? gen::WriteSheets(d, argv[4], error) : gen::WriteDataSet(d, argv[3], error);
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
