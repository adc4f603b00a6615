// The replay file as the program reads it: a sound file is taken whole, and
// every kind of damage is refused with its reason, never read past its end.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/journal.h"

namespace {

void Varint(std::string& out, uint64_t v) {
    while (v >= 0x80) {
        out += char(uint8_t(v) | 0x80);
        v >>= 7;
    }
    out += char(uint8_t(v));
}

void Signed(std::string& out, int64_t v) { Varint(out, (uint64_t(v) << 1) ^ uint64_t(v >> 63)); }

std::string Header(uint64_t format = kJournalFormat, const std::string& version = "1.2-3",
                   const std::string& prefs = "PLAYERS 0\n") {
    std::string h(kJournalMagic, sizeof kJournalMagic);
    Varint(h, format);
    Varint(h, version.size());
    h += version;
    h += std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    h += '\x01';
    Varint(h, prefs.size());
    h += prefs;
    return h;
}

// Two frames of a run: the counter, a message, both devices, a pointer test.
std::string Body() {
    std::string b;
    b += 'f';
    Varint(b, 1000000000);
    b += 'c';
    Varint(b, 5);
    b += 'w';
    Varint(b, 0x0006);
    Varint(b, 1);
    Signed(b, 0);
    b += 'k';
    Signed(b, 0);
    Varint(b, 1);
    b += '\x1c';
    b += '\x80';
    b += 'm';
    Signed(b, 0);
    Signed(b, -3);
    Signed(b, 4);
    Signed(b, 0);
    b += '\x01';
    b += 'p';
    Varint(b, 1);
    b += "d\x11\x22\x33\x44";
    b += 'n';
    b += 'l';
    b += "d\x55\x66\x77\x88";
    b += 'e';
    Varint(b, 2);
    b += "\x55\x66\x77\x88";
    return b;
}

std::string Check(const std::string& bytes) {
    JournalHeader header;
    return CheckJournal(bytes, &header);
}

TEST(Journal, ASoundFileReadsBackWhatWasWritten) {
    JournalHeader header;
    const std::string bytes = Header() + Body();
    ASSERT_EQ(CheckJournal(bytes, &header), "");
    EXPECT_EQ(header.version, "1.2-3");
    EXPECT_EQ(header.dataDigest, 0x0807060504030201ull);
    EXPECT_TRUE(header.hasPrefs);
    EXPECT_EQ(header.prefs, "PLAYERS 0\n");

    size_t at = 0;
    std::string why;
    ASSERT_TRUE(ReadJournalHeader(bytes, &header, &at, why));
    JournalRecord r;
    std::string tags;
    while (ReadJournalRecord(bytes, &at, &r, why)) {
        tags += char(r.tag);
        if (r.tag == JT_KEYBOARD) {
            ASSERT_EQ(r.keyCount, 1);
            EXPECT_EQ(r.keyCode[0], 0x1C);
            EXPECT_EQ(r.keyValue[0], 0x80);
        }
        if (r.tag == JT_MOUSE) {
            EXPECT_EQ(r.dx, -3);
            EXPECT_EQ(r.dy, 4);
            EXPECT_EQ(r.buttons[0], 0x80);
            EXPECT_EQ(r.buttons[1], 0);
        }
        if (r.tag == JT_MESSAGE) {
            EXPECT_EQ(r.value, 0x0006);
        }
        if (r.tag == JT_END) {
            EXPECT_EQ(r.value, 2);
            EXPECT_EQ(r.frameDigest, 0x88776655u);
            break;
        }
    }
    EXPECT_EQ(tags, "fcwkmpdnlde");
    EXPECT_EQ(at, bytes.size());
}

TEST(Journal, DamageIsRefusedWithItsReason) {
    const std::string good = Header() + Body();
    EXPECT_EQ(Check("GIF89a" + good), "not a Valimo replay");
    EXPECT_EQ(Check(""), "not a Valimo replay");
    EXPECT_NE(Check(Header(2) + Body()).find("newer Valimo (replay format 2"), std::string::npos);
    EXPECT_NE(Check(Header(0) + Body()), "");
    EXPECT_NE(Check(Header(1, std::string(65, 'v')) + Body()), "");
    EXPECT_NE(Check(Header(1, "1.0\n") + Body()), "");
    // Every cut, in the header or in a record, is refused.
    for (size_t n = 0; n < good.size(); n++) EXPECT_NE(Check(good.substr(0, n)), "") << "cut at " << n;
    EXPECT_EQ(Check(Header() + Body().substr(0, Body().size() - 1)), "cut short");
    EXPECT_NE(Check(good + "n"), "");
}

// Refused for what it holds, not because it ends too soon.
bool Damaged(const std::string& bytes) {
    const std::string why = Check(bytes);
    return !why.empty() && why != "cut short";
}

TEST(Journal, ValuesNoRunGivesAreRefused) {
    const std::string h = Header();
    const std::string frequency = std::string("f") + char(100);
    auto end = [](int frames) {
        std::string e = "e";
        Varint(e, uint64_t(frames));
        return e + std::string(4, '\0');
    };
    EXPECT_EQ(Check(h + frequency + std::string("n") + end(0)), "");
    EXPECT_EQ(Check(h + frequency + std::string("w\x06\x01\x00", 4) + end(0)), "");
    EXPECT_TRUE(Damaged(h + "c\x05" + end(0))) << "a counter reading before its frequency";
    EXPECT_TRUE(Damaged(h + std::string("w\x80\x04\x01\x00", 5) + end(0))) << "a message the layer never gives";
    EXPECT_TRUE(Damaged(h + std::string("k\x00\x01\x1c\x40", 5) + end(0))) << "a key half down";
    EXPECT_TRUE(Damaged(h + std::string("k\x00\x82\x02", 4) + end(0))) << "more keys than a keyboard has";
    EXPECT_TRUE(Damaged(h + std::string("m\x00\x80\x80\x80\x01\x00\x00\x00", 9) + end(0))) << "a leap of the mouse";
    EXPECT_TRUE(Damaged(h + std::string("m\x00\x00\x00\x00\x10", 6) + end(0))) << "a fifth button";
    EXPECT_TRUE(Damaged(h + "p\x02" + end(0)));
    EXPECT_TRUE(Damaged(h + "x" + end(0))) << "an unknown record";
    EXPECT_TRUE(Damaged(h + "d\1\2\3\4" + end(0))) << "the end names another frame count";
    EXPECT_TRUE(Damaged(h + end(0) + "n")) << "bytes after the end";
    EXPECT_TRUE(Damaged(h + frequency + std::string("c\xff\xff\xff\xff\xff\xff\xff\xff\xff\x7f", 11) + end(0)))
        << "a counter step past 64 bits";
    EXPECT_TRUE(Damaged(h + frequency + std::string("v\x03\x00", 3) + end(0))) << "a save result no save gives";
}

TEST(Journal, GarbageAfterAGoodHeaderIsRefusedUnread) {
    std::mt19937 random(28);
    for (int run = 0; run < 200; run++) {
        std::string bytes = Header();
        const int n = int(random() % 4096);
        for (int i = 0; i < n; i++) bytes += char(random());
        EXPECT_NE(Check(bytes), "");
    }
}

TEST(Journal, DigestsSeeWhatARunDependsOn) {
    std::vector<uint16_t> frame(640 * 480, 0x1234);
    const uint32_t before = FrameDigest(frame.data(), 640, 640, 480);
    frame[640 * 479 + 639] ^= 1;
    EXPECT_NE(FrameDigest(frame.data(), 640, 640, 480), before);
    // Only the rows shown count, not what lies past them in the pitch.
    std::vector<uint16_t> wide(700 * 480, 0x1234);
    for (int y = 0; y < 480; y++) wide[size_t(y) * 700 + 650] = uint16_t(y);
    frame[640 * 479 + 639] ^= 1;
    EXPECT_EQ(FrameDigest(wide.data(), 700, 640, 480), before);

    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("valimo-journal-" + std::to_string(getpid()));
    fs::create_directories(dir / "levels");
    fs::create_directories(dir / "data");
    auto write = [&](const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; };
    write(dir / "levels" / "level01.lev", "1\n");
    write(dir / "data" / "click.wav", "RIFF");
    write(dir / "gui.bmp", "BM");
    write(dir / "prefs.dat", "PLAYERS 0\n");
    const uint64_t data = GameDataDigest(dir.string());
    write(dir / "prefs.dat", "PLAYERS 1\nanna 3 0 0\n");
    write(dir / "valimo.log", "Valimo v1.0 Log File\n\n");
    EXPECT_EQ(GameDataDigest(dir.string()), data) << "the player's own files are no game data";
    write(dir / "levels" / "level01.lev", "2\n");
    EXPECT_NE(GameDataDigest(dir.string()), data);
    write(dir / "levels" / "level01.lev", "1\n");
    fs::rename(dir / "gui.bmp", dir / "gui2.bmp");
    EXPECT_NE(GameDataDigest(dir.string()), data) << "a renamed picture";
    EXPECT_EQ(FileDigest((dir / "none").c_str()), 0u);
    fs::remove_all(dir);
}

}  // namespace
