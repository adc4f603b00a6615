// Every kept fuzz input (seeds and the inputs that once crashed a reader) is read
// again here on each test run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_targets.h"

namespace {

namespace fs = std::filesystem;

TEST(FuzzReplay, EveryKeptInputIsReadWithoutAFault) {
    int replayed = 0;
    for (int t = 0; t < fuzzTargetCount; t++) {
        for (const char* kind : {"corpus", "regressions"}) {
            const fs::path dir = fs::path(VALIMO_SOURCE_DIR) / "fuzz" / kind / fuzzTargets[t].name;
            if (!fs::is_directory(dir)) continue;
            for (const auto& entry : fs::directory_iterator(dir)) {
                if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
                std::ifstream in(entry.path(), std::ios::binary);
                std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
                SCOPED_TRACE(entry.path().string());
                EXPECT_EQ(fuzzTargets[t].run(bytes.data(), bytes.size()), 0);
                replayed++;
            }
        }
    }
    EXPECT_GT(replayed, 0);
}

}  // namespace
