#include <gtest/gtest.h>

#include <ostream>

#include <numeric>
#include <string>
#include <vector>

#include "app/valimo.h"
#include "platform/dsound.h"
#include "platform/faults.h"
#include "platform/headless/headless_devices.h"
#include "sound/sound.h"
#include "sound/sound_support.h"
#include "sound/wave_files.h"
#include "test_support.h"

namespace {

// Quiet ramps, so mixing four of them never clips.
std::vector<uint8_t> Ramp(int length, int first, int step = 1) {
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    for (int i = 0; i < length; i++) bytes[size_t(i)] = uint8_t(128 + (first + i * step) % 16);
    return bytes;
}

std::vector<uint8_t> BufferBytes(int slot) {
    const SoundEffect& e = soundEffects[slot];
    if (!e.buffer) return {};
    return {e.buffer->Data(), e.buffer->Data() + e.buffer->Size()};
}

// Each effect file with samples of its own length.
struct EffectFile {
    const char* path;
    int length;
};
const EffectFile kEffectFiles[] = {{"data/click.wav", 100}, {"data/drop0.wav", 200}, {"data/drop1.wav", 201},
                                   {"data/drop2.wav", 202}, {"data/drop3.wav", 203}, {"data/drop4.wav", 204},
                                   {"data/key.wav", 1000},  {"data/done.wav", 300}};

void WriteEffects() {
    int first = 0;
    for (const EffectFile& f : kEffectFiles) WriteFile(f.path, SimpleWave(Ramp(f.length, first++)));
}

using SoundTest = StartedSound;

TEST_F(SoundTest, EffectListFillsElevenSlotsWithOneCopyOfTheKeySound) {
    WriteEffects();
    LoadSoundEffects();
    for (int slot = 0; slot <= 10; slot++) EXPECT_TRUE(soundEffects[slot].loaded) << slot;
    for (int slot = 11; slot < SOUND_SLOTS; slot++) EXPECT_FALSE(soundEffects[slot].loaded) << slot;
    // Slot by slot, the file it plays: click, the five drops, four times the key, done.
    const char* const slotFiles[11] = {"data/click.wav", "data/drop0.wav", "data/drop1.wav", "data/drop2.wav",
                                       "data/drop3.wav", "data/drop4.wav", "data/key.wav",   "data/key.wav",
                                       "data/key.wav",   "data/key.wav",   "data/done.wav"};
    for (int slot = 0; slot <= 10; slot++) {
        int first = 0;
        for (const EffectFile& f : kEffectFiles) {
            if (std::string(f.path) == slotFiles[slot]) {
                EXPECT_EQ(BufferBytes(slot), Ramp(f.length, first)) << slot << ": " << slotFiles[slot];
            }
            first++;
        }
    }
    for (int slot = 7; slot <= 9; slot++) {
        EXPECT_TRUE(soundEffects[slot].buffer->SharesDataWith(soundEffects[6].buffer)) << slot;
        EXPECT_NE(soundEffects[slot].buffer, soundEffects[6].buffer);
        EXPECT_EQ(soundEffects[slot].size, 1000u);
    }
    EXPECT_EQ(soundEffects[6].buffer->Caps(), 0xEAu);
    EXPECT_EQ(LiveSoundBufferCount(), 11);
    EXPECT_EQ(LiveSoundDataCount(), 8);
    // Loading logs nothing.
    EXPECT_EQ(ReadLog(), logAfterStart);
}

TEST_F(SoundTest, KeySlotsStartedInTurnSoundTogetherFromTheirOwnPositions) {
    WriteEffects();
    LoadSoundEffects();
    const std::vector<uint8_t> key = Ramp(1000, 6);
    std::vector<uint8_t> mixed;
    for (int slot = 6; slot <= 9; slot++) {
        PlaySoundEffect(slot);
        const std::vector<uint8_t> part = HeadlessMixSound(100);
        mixed.insert(mixed.end(), part.begin(), part.end());
    }
    const std::vector<uint8_t> tail = HeadlessMixSound(1000);
    mixed.insert(mixed.end(), tail.begin(), tail.end());
    // Slot 6 started at sample 0, slot 7 at 100, 8 at 200, 9 at 300.
    for (int t = 0; t < int(mixed.size()); t++) {
        int expected = 128;
        for (int start = 0; start < 400; start += 100)
            if (t >= start && t - start < 1000) expected += key[size_t(t - start)] - 128;
        ASSERT_EQ(mixed[size_t(t)], expected) << "sample " << t;
    }
    EXPECT_EQ(LiveSoundDataCount(), 8);
    ASSERT_EQ(HeadlessSoundsStarted().size(), 4u);
    for (int slot = 6; slot <= 9; slot++) EXPECT_EQ(HeadlessSoundsStarted()[size_t(slot - 6)], soundEffects[slot].buffer);
}

TEST_F(SoundTest, PlayingAPlayingEffectLetsItGoOn) {
    WriteFile("data/click.wav", SimpleWave(Ramp(100, 0)));
    LoadSoundEffect(SFX_CLICK, "data/click.wav");
    PlaySoundEffect(SFX_CLICK);
    std::vector<uint8_t> mixed = HeadlessMixSound(40);
    PlaySoundEffect(SFX_CLICK);
    const std::vector<uint8_t> rest = HeadlessMixSound(80);
    mixed.insert(mixed.end(), rest.begin(), rest.end());
    std::vector<uint8_t> expected = Ramp(100, 0);
    expected.resize(120, 128);  // once through, then silence
    EXPECT_EQ(mixed, expected);
    // Played through, it starts from the top again.
    PlaySoundEffect(SFX_CLICK);
    EXPECT_EQ(HeadlessMixSound(100), Ramp(100, 0));
}

TEST_F(SoundTest, EmptySlotsPlayNothing) {
    WriteEffects();
    LoadSoundEffects();
    PlaySoundEffect(11);
    PlaySoundEffect(63);
    PlaySoundEffect(64);
    PlaySoundEffect(-1);
    EXPECT_TRUE(HeadlessSoundsStarted().empty());
    EXPECT_EQ(HeadlessMixSound(50), std::vector<uint8_t>(50, 128));
}

TEST_F(SoundTest, ReloadingALoadedSlotKeepsTheFirstSound) {
    WriteFile("a.wav", SimpleWave(Ramp(64, 0)));
    WriteFile("b.wav", SimpleWave(Ramp(80, 7)));
    LoadSoundEffect(3, "a.wav");
    IDirectSoundBuffer* first = soundEffects[3].buffer;
    LoadSoundEffect(3, "b.wav");
    EXPECT_EQ(soundEffects[3].buffer, first);
    EXPECT_EQ(BufferBytes(3), Ramp(64, 0));
    EXPECT_EQ(soundEffects[3].size, 64u);
    EXPECT_EQ(LiveSoundBufferCount(), 1);
}

TEST_F(SoundTest, FormatChunksOfSixteenAndEighteenBytesAreAccepted) {
    // After the 16-byte record the reader goes on at the end of its chunk, not 18 bytes in.
    WriteFile("16.wav", Wave({Chunk("fmt ", Format(1, false)), Chunk("data", Samples(Ramp(33, 1)))}));
    WriteFile("18.wav", Wave({Chunk("fmt ", Format(1, true)), Chunk("data", Samples(Ramp(33, 2)))}));
    // Another format is taken as it is and played as 8-bit mono 22050 Hz.
    WriteFile("stereo16.wav", Wave({Chunk("fmt ", Format(1, false, 2, 16)), Chunk("data", Samples(Ramp(40, 3)))}));
    LoadSoundEffect(1, "16.wav");
    LoadSoundEffect(2, "18.wav");
    LoadSoundEffect(3, "stereo16.wav");
    EXPECT_EQ(BufferBytes(1), Ramp(33, 1));
    EXPECT_EQ(BufferBytes(2), Ramp(33, 2));
    EXPECT_EQ(BufferBytes(3), Ramp(40, 3));
}

TEST_F(SoundTest, ChunksAreFoundPastOthersAndTheirPadBytes) {
    WriteFile("extra.wav", Wave({Chunk("LIST", "INFOabc"), Chunk("fmt ", Format()), Chunk("fact", "\x05"),
                                 Chunk("data", Samples(Ramp(21, 4)))}));
    LoadSoundEffect(4, "extra.wav");
    EXPECT_EQ(BufferBytes(4), Ramp(21, 4));
}

TEST_F(SoundTest, UnacceptedFilesLeaveTheSlotEmptyAndLogNothing) {
    const std::string data = Chunk("data", Samples(Ramp(50, 0)));
    const std::string whole = SimpleWave(Ramp(50, 0));
    const std::vector<std::string> files = {
        Wave({Chunk("fmt ", Format(3)), data}),                               // not PCM
        Wave({Chunk("fmt ", Format(0xFFFE)), data}),                          // not PCM
        Wave({data, Chunk("fmt ", Format())}),                                // data before the format
        Wave({Chunk("data", Samples(Ramp(50, 0)))}),                          // no format
        Wave({Chunk("fmt ", Format())}),                                      // no data
        Wave({Chunk("fmt ", Format()), Chunk("data", "", 1000000)}),          // data beyond the file
        Wave({Chunk("fmt ", Format()), Chunk("data", Samples(Ramp(50, 0)), 0xFFFFFFF0)}),
        Wave({Chunk("fmt ", Format(), 4000), data}),                          // format past its form
        Wave({Chunk("fmt ", Format()), data}, 30),                            // form shorter than its chunks
        "RIFF" + Le32(4) + "AVI ",                                            // another form
        "RIFX" + whole.substr(4),                                             // not RIFF
        whole.substr(0, 30),                                                  // cut short
        "",
    };
    for (size_t i = 0; i < files.size(); i++) {
        WriteFile("bad.wav", files[i]);
        LoadSoundEffect(int(i), "bad.wav");
        EXPECT_FALSE(soundEffects[i].loaded) << i;
        EXPECT_EQ(soundEffects[i].buffer, nullptr) << i;
    }
    LoadSoundEffect(20, "missing.wav");
    EXPECT_FALSE(soundEffects[20].loaded);
    EXPECT_EQ(LiveSoundBufferCount(), 0);
    EXPECT_EQ(ReadLog(), logAfterStart);
}

TEST_F(SoundTest, FailedDuplicateLeavesTheSlotEmptyAndSilent) {
    WriteEffects();
    InjectFault("IDirectSound::DuplicateSoundBuffer", DSERR_OUTOFMEMORY, 1);
    LoadSoundEffects();
    EXPECT_TRUE(soundEffects[7].loaded);
    EXPECT_FALSE(soundEffects[8].loaded);
    EXPECT_EQ(soundEffects[8].buffer, nullptr);
    EXPECT_TRUE(soundEffects[9].loaded);
    PlaySoundEffect(8);
    EXPECT_TRUE(HeadlessSoundsStarted().empty());
    EXPECT_EQ(HeadlessMixSound(20), std::vector<uint8_t>(20, 128));
}

TEST_F(SoundTest, ShutdownReleasesEveryBuffer) {
    WriteEffects();
    LoadSoundEffects();
    PlaySoundEffect(SFX_DONE);
    ShutdownDirectSound();
    EXPECT_EQ(LiveSoundBufferCount(), 0);
    EXPECT_EQ(directSound, nullptr);
    EXPECT_FALSE(HeadlessAudioOpen());
    for (const SoundEffect& e : soundEffects) EXPECT_FALSE(e.loaded);
    EXPECT_EQ(ReadLog(), logAfterStart + "Shutting down DirectSound\n");
}

TEST(SoundDisabled, WithoutADeviceEveryOperationDoesNothing) {
    MakeScratchDirectory();
    HeadlessSetAudioDevice(false);
    WriteEffects();
    InitDirectSound(mainWindow);
    EXPECT_TRUE(soundDisabled);
    EXPECT_EQ(directSound, nullptr);
    LoadSoundEffects();
    LoadSoundEffect(12, "data/click.wav");
    DuplicateSoundEffect(13, 12);
    for (int slot = 0; slot < SOUND_SLOTS; slot++) {
        EXPECT_FALSE(soundEffects[slot].loaded);
        PlaySoundEffect(slot);
    }
    EXPECT_TRUE(HeadlessSoundsStarted().empty());
    ShutdownDirectSound();
    EXPECT_EQ(ReadLog(),
              "Initializing DirectSound\n"
              "Failed to create DirectSound object; SOUND IS DISABLED (Possibly due to a hardware issue)\n"
              "Shutting down DirectSound\n");
}

TEST(SoundDisabled, RefusedCooperativeLevelDisablesSound) {
    MakeSoundWindow();
    InjectFault("IDirectSound::SetCooperativeLevel", DSERR_INVALIDPARAM);
    InitDirectSound(mainWindow);
    EXPECT_TRUE(soundDisabled);
    EXPECT_EQ(directSound, nullptr);
    EXPECT_FALSE(HeadlessAudioOpen());
    EXPECT_EQ(ReadLog(),
              "Initializing DirectSound\n"
              "DirectSound failed to set cooperative level; SOUND IS DISABLED (Possibly due to a hardware issue)\n");
}

struct BufferFault {
    const char* call;
    HRESULT result;
    const char* log;
};

void PrintTo(const BufferFault& fault, std::ostream* out) { *out << fault.call; }


class SoundBufferFaultTest : public testing::TestWithParam<BufferFault> {};

TEST_P(SoundBufferFaultTest, EndsTheProgramWithItsMessage) {
    MakeSoundWindow();
    WriteFile("data/click.wav", SimpleWave(Ramp(100, 0)));
    const BufferFault fault = GetParam();
    EXPECT_EXIT(
        {
            InitDirectSound(mainWindow);
            InjectFault(fault.call, fault.result);
            LoadSoundEffect(0, "data/click.wav");
        },
        testing::ExitedWithCode(0), "");
    EXPECT_NE(ReadLog().find(fault.log), std::string::npos) << ReadLog();
}

INSTANTIATE_TEST_SUITE_P(
    Results, SoundBufferFaultTest,
    testing::Values(
        BufferFault{"IDirectSound::CreateSoundBuffer", DSERR_ALLOCATED,
                    "DirectSound failed to create sound buffer: System Error Occured at DSERR_ALLOCATED\n"},
        BufferFault{"IDirectSound::CreateSoundBuffer", DSERR_BADFORMAT,
                    "DirectSound failed to create sound buffer: System Error Occured at DSERR_BADFORMAT\n"},
        BufferFault{"IDirectSound::CreateSoundBuffer", DSERR_INVALIDPARAM,
                    "DirectSound failed to create sound buffer: System Error Occured at DSERR_INVALIDPARAM\n"},
        BufferFault{"IDirectSound::CreateSoundBuffer", DSERR_NOAGGREGATION,
                    "DirectSound failed to create sound buffer: System Error Occured at DSERR_NOAGGREGATION\n"},
        BufferFault{"IDirectSound::CreateSoundBuffer", DSERR_OUTOFMEMORY,
                    "DirectSound failed to create sound buffer: System Error Occured at DSERR_OUTOFMEMORY\n"},
        BufferFault{"IDirectSound::CreateSoundBuffer", DSERR_UNINITIALIZED,
                    "DirectSound failed to create sound buffer: System Error Occured at DSERR_UNINITIALIZED\n"},
        BufferFault{"IDirectSound::CreateSoundBuffer", DSERR_UNSUPPORTED,
                    "DirectSound failed to create sound buffer: System Error Occured at DSERR_UNSUPPORTED\n"},
        BufferFault{"IDirectSound::CreateSoundBuffer", DSERR_NODRIVER,
                    "DirectSound failed to create sound buffer: System Error Occured at Unidentified Sound Error\n"},
        BufferFault{"IDirectSoundBuffer::Lock", DSERR_BUFFERLOST,
                    "System Error Occured at Failed to lock a sound buffer\n"},
        BufferFault{"IDirectSoundBuffer::Unlock", DSERR_INVALIDPARAM,
                    "System Error Occured at Failed to unlock a sound buffer\n"}),
    [](const testing::TestParamInfo<BufferFault>& param) {
        const std::string call = param.param.call;
        return call.substr(call.rfind(':') + 1) + std::to_string(param.index);
    });

}  // namespace
