#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/dsound.h"
#include "platform/headless/headless_devices.h"
#include "platform/win.h"

namespace {

class SoundLayerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(DirectSoundCreate(nullptr, &sound, nullptr), DS_OK);
        window = CreateMainWindow("Valimo", 0, 0, 640, 480, nullptr);
        ASSERT_EQ(sound->SetCooperativeLevel(window, DSSCL_NORMAL), DS_OK);
    }
    void TearDown() override {
        if (sound) sound->Release();
    }

    IDirectSoundBuffer* Make(const std::vector<uint8_t>& samples) {
        WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 22050, 1, 8, 0};
        DSBUFFERDESC desc{};
        desc.dwSize = DSBUFFERDESC_SIZE;
        desc.dwFlags = 0xEA;
        desc.dwBufferBytes = DWORD(samples.size());
        desc.lpwfxFormat = &format;
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(sound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        void *a = nullptr, *b = nullptr;
        DWORD na = 0, nb = 0;
        EXPECT_EQ(buffer->Lock(0, 0, &a, &na, &b, &nb, DSBLOCK_ENTIREBUFFER), DS_OK);
        std::memcpy(a, samples.data(), na);
        EXPECT_EQ(buffer->Unlock(a, na, b, nb), DS_OK);
        return buffer;
    }

    IDirectSound* sound = nullptr;
    HWND window = nullptr;
};

TEST_F(SoundLayerTest, LockPastTheEndWrapsIntoASecondRegion) {
    IDirectSoundBuffer* buffer = Make(std::vector<uint8_t>(100, 128));
    void *a = nullptr, *b = nullptr;
    DWORD na = 0, nb = 0;
    ASSERT_EQ(buffer->Lock(70, 50, &a, &na, &b, &nb, 0), DS_OK);
    EXPECT_EQ(static_cast<uint8_t*>(a) - buffer->Data(), 70);
    EXPECT_EQ(na, 30u);
    EXPECT_EQ(b, buffer->Data());
    EXPECT_EQ(nb, 20u);
    EXPECT_EQ(buffer->Unlock(a, na, b, nb), DS_OK);
    EXPECT_EQ(buffer->Lock(100, 1, &a, &na, &b, &nb, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(0, 101, &a, &na, &b, &nb, 0), DSERR_INVALIDPARAM);
    // Handing back a pointer that is not the buffer's is refused.
    uint8_t elsewhere[4];
    EXPECT_EQ(buffer->Unlock(elsewhere, 4, nullptr, 0), DSERR_INVALIDPARAM);
    buffer->Release();
}

TEST_F(SoundLayerTest, DuplicatesShareTheDataAndOutliveTheirSource) {
    IDirectSoundBuffer* source = Make(std::vector<uint8_t>(64, 140));
    IDirectSoundBuffer* copy = nullptr;
    ASSERT_EQ(sound->DuplicateSoundBuffer(source, &copy), DS_OK);
    EXPECT_TRUE(copy->SharesDataWith(source));
    EXPECT_EQ(LiveSoundDataCount(), 1);
    // Writing through one is heard through the other.
    void *a = nullptr, *b = nullptr;
    DWORD na = 0, nb = 0;
    ASSERT_EQ(source->Lock(0, 0, &a, &na, &b, &nb, DSBLOCK_ENTIREBUFFER), DS_OK);
    std::memset(a, 120, na);
    source->Unlock(a, na, b, nb);
    source->Release();
    copy->Play(0, 0, 0);
    EXPECT_EQ(HeadlessMixSound(64), std::vector<uint8_t>(64, 120));
    copy->Release();
    EXPECT_EQ(LiveSoundBufferCount(), 0);
}

TEST_F(SoundLayerTest, MixClipsAtTheEndsOfTheSampleRange) {
    IDirectSoundBuffer* loud[3] = {Make(std::vector<uint8_t>(8, 250)), Make(std::vector<uint8_t>(8, 250)),
                                   Make(std::vector<uint8_t>(8, 5))};
    loud[0]->Play(0, 0, 0);
    loud[1]->Play(0, 0, 0);
    EXPECT_EQ(HeadlessMixSound(4), std::vector<uint8_t>(4, 255));
    loud[0]->Stop();
    loud[1]->Stop();
    loud[2]->Play(0, 0, 0);
    IDirectSoundBuffer* copy = nullptr;
    sound->DuplicateSoundBuffer(loud[2], &copy);
    copy->Play(0, 0, 0);
    EXPECT_EQ(HeadlessMixSound(4), std::vector<uint8_t>(4, 0));
    copy->Release();
    for (IDirectSoundBuffer* b : loud) b->Release();
}

TEST_F(SoundLayerTest, LoopingGoesRoundAndReleasingAPlayingBufferSilencesIt) {
    IDirectSoundBuffer* buffer = Make({130, 131, 132, 133});
    buffer->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(HeadlessMixSound(10), (std::vector<uint8_t>{130, 131, 132, 133, 130, 131, 132, 133, 130, 131}));
    DWORD status = 0;
    buffer->GetStatus(&status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    buffer->Release();
    EXPECT_EQ(HeadlessMixSound(4), std::vector<uint8_t>(4, 128));
}

}  // namespace
