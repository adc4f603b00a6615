// A movie cut short at every boundary of its RIFF structure, played as the game
// plays it: either refused with the game's two log lines and an orderly quit, or
// played with what is there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/valimo.h"
#include "avi_writer.h"
#include "gfx/display.h"
#include "gfx/movie.h"
#include "test_support.h"

namespace {

// Offsets where a chunk or list starts, where its header ends, and where it ends.
void ChunkBoundaries(const std::string& bytes, size_t from, size_t to, std::vector<size_t>& out) {
    size_t at = from;
    while (at + 8 <= to) {
        const uint32_t size = uint32_t(uint8_t(bytes[at + 4])) | uint32_t(uint8_t(bytes[at + 5])) << 8 |
                              uint32_t(uint8_t(bytes[at + 6])) << 16 | uint32_t(uint8_t(bytes[at + 7])) << 24;
        const std::string id = bytes.substr(at, 4);
        const size_t end = std::min(to, at + 8 + size + (size & 1));
        out.insert(out.end(), {at, at + 4, at + 8});
        if (id == "RIFF" || id == "LIST") {
            out.push_back(at + 12);
            ChunkBoundaries(bytes, at + 12, end, out);
        } else if (size >= 4) {
            out.push_back(at + 12);  // inside a record: its first field
        }
        at = end;
    }
}

TEST(MovieBadData, CutAtEveryChunkBoundaryIsRefusedOrPlaysWhatIsThere) {
    MakeScratchDirectory();
    StartDisplay();
    drawDib = DrawDibOpen();
    movieFrameDrawer = DrawMovieFrame565;
    std::vector<TestPicture> pictures;
    for (int k = 0; k < 6; k++) pictures.push_back(SolidPicture(16, 8, Rgb555(k * 5, 31 - k * 5, 3)));
    ASSERT_TRUE(WriteTestAvi("whole.avi", 16, 8, pictures));
    const std::string whole = ReadFile("whole.avi");
    std::vector<size_t> cuts;
    ChunkBoundaries(whole, 0, whole.size(), cuts);
    ASSERT_GT(cuts.size(), 20u);
    int tried = 0, refused = 0;
    for (size_t cut : cuts) {
        if (cut >= whole.size()) continue;
        SCOPED_TRACE(testing::Message() << "cut at " << cut << " of " << whole.size());
        WriteFile("cut.avi", whole.substr(0, cut));
        WriteFile("valimo.log", "");
        quitRequested = false;
        OpenMovie("cut.avi");
        const std::string log = ReadLog();
        if (quitRequested) {
            EXPECT_EQ(log, "Loading cut.avi\nFailed to open cut.avi\n");
            EXPECT_EQ(movieFrameCount, 0);
            refused++;
        } else {
            EXPECT_EQ(log.rfind("Loading cut.avi\n", 0), 0u) << log;
            EXPECT_LE(movieFrameCount, 6);
            for (int k = 0; k < movieFrameCount; k++) movieFrameDrawer(k);
        }
        CloseMovie();
        tried++;
    }
    // The header lists come first: a cut there leaves nothing to play.
    EXPECT_GT(refused, 10);
    RecordProperty("inputs", tried);
}

}  // namespace
