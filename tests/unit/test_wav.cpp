// WAV files through the file layer: load, save and load again, and the files that are refused.
#include <gtest/gtest.h>

#include "lodestar/base/tarnmem.h"
#include "lodestar/sound/loadwav.h"
#include "lodestar/sound/soundsystem.h"
#include "lodestar/tarnfile/tarnfile.h"
#include "test_tarnfile_util.h"

namespace {

using tarn_test::Bytes;
using tarn_test::put;

// A canonical file; format_size 18 inserts two bytes so that "data" moves off offset 36.
Bytes wav(std::uint32_t tag, std::uint32_t channels, std::uint32_t rate, std::uint32_t bits,
          std::uint32_t data_size, std::uint32_t held, std::uint32_t format_size = 16) {
    Bytes b = tarn_test::bytes_of("RIFF");
    put(b, 36 + held, 4);
    for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<std::uint8_t>(c));
    put(b, format_size, 4);
    put(b, tag, 2);
    put(b, channels, 2);
    put(b, rate, 4);
    put(b, rate * channels * bits / 8, 4);
    put(b, channels * bits / 8, 2);
    put(b, bits, 2);
    for (std::uint32_t i = 16; i < format_size; ++i) b.push_back(0);
    for (char c : std::string("data")) b.push_back(static_cast<std::uint8_t>(c));
    put(b, data_size, 4);
    for (std::uint32_t i = 0; i < held; ++i) b.push_back(static_cast<std::uint8_t>(i * 7));
    return b;
}

class Wav : public tarn_test::Mounted {
  protected:
    void SetUp() override {
        Mounted::SetUp();
        ASSERT_EQ(tarnfile_mountimage(dir.path().c_str(), 2), 1);
    }
    void TearDown() override {
        for (LSR_Sound* s : {&a, &b})
            if (s->data.load() != nullptr) Soundsystem_DeleteSound(s);
        Mounted::TearDown();
    }
    LSR_Sound a, b;
};

TEST_F(Wav, ASavedSoundLoadsBackWithTheSameFieldsAndSamples) {
    dir.write("in.wav", wav(1, 2, 44100, 16, 4000, 4000));
    testing::internal::CaptureStdout();
    Soundsystem_LoadSound("in.WAV", &a);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loading sound in.WAV\n");
    ASSERT_NE(a.data.load(), nullptr);
    EXPECT_EQ(a.size.load(), 4000u);
    EXPECT_EQ(a.length.load(), 2000u);
    EXPECT_EQ(a.volume.load(), 255);

    EXPECT_EQ(Soundsystem_SaveSound("out.wav", &a), 1);
    const Bytes saved = tarn_test::read_file(dir / "out.wav");
    ASSERT_EQ(saved.size(), 44u + 4000u);
    EXPECT_EQ(Bytes(saved.begin() + 28, saved.begin() + 34), Bytes({0x10, 0xB1, 0x02, 0, 4, 0}))
        << "byte rate 4 x 44100, block align 4";
    const Bytes original = tarn_test::read_file(dir / "in.wav");
    EXPECT_EQ(Bytes(saved.begin() + 44, saved.end()), Bytes(original.begin() + 44, original.end()));

    testing::internal::CaptureStdout();
    Soundsystem_LoadSound("out.wav", &b);
    testing::internal::GetCapturedStdout();
    ASSERT_NE(b.data.load(), nullptr);
    EXPECT_EQ(b.channels.load(), 2);
    EXPECT_EQ(b.bits.load(), 16);
    EXPECT_EQ(b.frequency.load(), 44100u);
    EXPECT_EQ(b.size.load(), 4000u);
    EXPECT_EQ(b.length.load(), 2000u);

    // 8-bit mono counts every byte as a sample.
    Soundsystem_DeleteSound(&b);
    dir.write("mono8.wav", wav(1, 1, 22050, 8, 300, 300));
    EXPECT_EQ(Soundsystem_LoadWAV("mono8.wav", &b), 1);
    EXPECT_EQ(b.length.load(), 300u);
}

TEST_F(Wav, RefusedFilesSayWhyAndKeepNoData) {
    const std::uint32_t in_use = g_mem_in_use.load();
    const auto load = [&](const Bytes& bytes) {
        dir.write("x.wav", bytes);
        LSR_Sound s;
        testing::internal::CaptureStdout();
        const std::int32_t result = Soundsystem_LoadWAV("x.wav", &s);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(s.data.load(), nullptr);
        EXPECT_EQ(result, 0);
        return out;
    };
    EXPECT_EQ(load(wav(3, 2, 44100, 32, 8, 8)), "Not PCM signed");
    EXPECT_EQ(load(wav(1, 2, 44100, 16, 8, 8, 18)), "") << "an 18-byte format chunk moves data";
    Bytes extra = wav(1, 1, 8000, 8, 4, 4);
    extra.insert(extra.begin() + 36, {'L', 'I', 'S', 'T', 0, 0, 0, 0});
    EXPECT_EQ(load(extra), "");
    Bytes neither = wav(1, 1, 8000, 8, 4, 4);
    neither[0] = 'X';
    neither[8] = 'X';
    EXPECT_EQ(load(neither), "No WAV file");
    Bytes one_tag = wav(1, 1, 8000, 8, 4, 4);
    one_tag[0] = 'X';
    dir.write("x.wav", one_tag);
    EXPECT_EQ(Soundsystem_LoadWAV("x.wav", &a), 1) << "either tag alone is enough";
    Soundsystem_DeleteSound(&a);
    EXPECT_NE(load(wav(1, 2, 44100, 16, 101, 100)), "") << "one byte more data than held";
    EXPECT_EQ(load(Bytes(20, 'R')), "No WAV file");
    EXPECT_EQ(g_mem_in_use.load(), in_use);

    testing::internal::CaptureStdout();
    EXPECT_EQ(Soundsystem_LoadWAV("gone.wav", &a), 0);
    Soundsystem_LoadSound("music.mp3", &b);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loading sound music.mp3\n");
    EXPECT_EQ(b.data.load(), nullptr);
    EXPECT_EQ(b.length.load(), 0u);
}

} // namespace
