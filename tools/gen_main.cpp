// valimo-gen DIR           writes the game's data set into DIR
// valimo-gen --sheets DIR  writes PNG contact sheets of it into DIR
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tools/dataset.h"

int main(int argc, char** argv) {
    bool sheets = argc == 3 && std::strcmp(argv[1], "--sheets") == 0;
    if (argc != 2 && !sheets) {
        std::fprintf(stderr, "usage: valimo-gen DIR | valimo-gen --sheets DIR\n");
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
