// Damaged sound files: each is refused or read within its own bytes, quietly
// (a sound that will not load only leaves its slot silent), and never leaks a buffer.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/valimo.h"
#include "platform/dsound.h"
#include "platform/win.h"
#include "sound/sound.h"
#include "sound/sound_support.h"
#include "sound/wave_files.h"
#include "test_support.h"

namespace {

class WaveBadData : public StartedSound {
protected:
    // Loads `bytes` into a slot and lets it go; whether it loaded.
    bool Load(const std::string& bytes) {
        WriteFile("bad.wav", bytes);
        LoadSoundEffect(0, "bad.wav");
        const bool loaded = soundEffects[0].loaded;
        if (loaded) {
            EXPECT_NE(soundEffects[0].buffer, nullptr);
            // Never more samples than the file holds.
            EXPECT_LE(soundEffects[0].buffer->Size(), bytes.size());
            PlaySoundEffect(0);
        }
        ReleaseSoundEffect(0);
        EXPECT_EQ(LiveSoundBufferCount(), 0);
        return loaded;
    }
    void TearDown() override {
        EXPECT_EQ(ReadLog(), logAfterStart);
        EXPECT_FALSE(quitRequested);
    }
};

std::string Samples(int count) { return std::string(size_t(count), char(0x90)); }

TEST_F(WaveBadData, CutAtEveryByteLoadsOnlyTheWholeFile) {
    const std::string whole = Wave({Chunk("LIST", "INFOabc"), Chunk("fmt ", Format(1, true)),
                                    Chunk("fact", "\x05"), Chunk("data", Samples(DSBSIZE_MIN + 9))});
    int tried = 0;
    for (size_t length = 0; length < whole.size(); length++) {
        EXPECT_FALSE(Load(whole.substr(0, length))) << length;
        tried++;
    }
    EXPECT_TRUE(Load(whole));
    RecordProperty("inputs", tried + 1);
}

TEST_F(WaveBadData, SizesFromNothingToFourGigabytesStayInsideTheFile) {
    const std::string format = Chunk("fmt ", Format());
    const std::string data = Samples(DSBSIZE_MIN + 4);
    const std::vector<std::string> refused = {
        Wave({format, Chunk("data", data)}, 0),
        Wave({format, Chunk("data", data)}, 0xFFFFFFFF),
        Wave({format, Chunk("data", data)}, 0x80000000),
        Wave({Chunk("fmt ", Format(), 0xFFFFFFFF), Chunk("data", data)}),
        Wave({Chunk("fmt ", Format(), 0x80000000), Chunk("data", data)}),
        Wave({Chunk("fmt ", Format(), 0), Chunk("data", data)}),
        Wave({Chunk("fmt ", Format(), 14), Chunk("data", data)}),
        Wave({format, Chunk("data", data, 0x80000000)}),
        Wave({format, Chunk("data", data, 0xFFFFFFFF)}),
        Wave({format, Chunk("data", data, int64_t(data.size()) + 1)}),
        Wave({format, Chunk("LIST", "x", 0x7FFFFFFF), Chunk("data", data)}),
        Wave({format, Chunk("LIST", "x", 0xFFFFFFFE), Chunk("data", data)}),
        Wave({format, Chunk("LIST", std::string(100, 'x'))}),
        Wave({format, Chunk("dat", data)}),
        Wave({format, Chunk("DATA", data)}),
        Wave({Chunk("fmt", Format()), Chunk("data", data)}),
        Wave({}),
        "RIFF",
        "RIFF" + Le32(0xFFFFFFFF),
        "RIFF" + Le32(4) + "WAVE",
        "WAVE" + Le32(4) + "RIFF",
        std::string(4096, '\0'),
        std::string(4096, '\xFF'),
        Wave({format, Chunk("data", data)}, 0x7FFFFFFF),
    };
    int tried = 0;
    for (const std::string& bytes : refused) {
        EXPECT_FALSE(Load(bytes)) << tried;
        tried++;
    }
    EXPECT_TRUE(Load(Wave({format, Chunk("data", data)})));
    RecordProperty("inputs", tried);
}

TEST_F(WaveBadData, ADirectoryIsNoSound) {
    std::filesystem::create_directory("dir.wav");
    LoadSoundEffect(0, "dir.wav");
    EXPECT_FALSE(soundEffects[0].loaded);
    EXPECT_EQ(LiveSoundBufferCount(), 0);
}

}  // namespace
