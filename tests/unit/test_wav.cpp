// WAV files through the file layer: load, save and load again, and the files that are refused.
#include <gtest/gtest.h>

#include "lodestar/base/tarnmem.h"
#include "lodestar/sound/loadwav.h"
#include "lodestar/sound/soundsystem.h"
#include "picture.h"
#include "test_tarnfile_util.h"

namespace {

using tarn_test::Bytes;
using tarn_test::put;

// A canonical file at 44100 Hz holding `held` bytes of samples and saying `data_size`; a format
// chunk of 18 bytes moves "data" off offset 36.
Bytes wav(std::uint32_t tag, std::uint32_t channels, std::uint32_t bits, std::uint32_t data_size,
          std::uint32_t held, std::uint32_t format_size = 16) {
    Bytes b = tarn_test::bytes_of("RIFF");
    put(b, 36 + held, 4);
    for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<std::uint8_t>(c));
    put(b, {format_size, tag | channels << 16, 44100, 44100 * channels * bits / 8}, 4);
    put(b, {channels * bits / 8, bits}, 2);
    b.resize(b.size() + format_size - 16, 0);
    for (char c : std::string("data")) b.push_back(static_cast<std::uint8_t>(c));
    put(b, data_size, 4);
    for (std::uint32_t i = 0; i < held; ++i) b.push_back(static_cast<std::uint8_t>(i * 7));
    return b;
}

using Wav = tarn_test::Mounted;

TEST_F(Wav, ASavedSoundIsTheFileItWasLoadedFrom) {
    ASSERT_EQ(tarnfile_mountimage(dir.path().c_str(), TARNFILE_DIRECTORY), 1);
    dir.write("in.wav", wav(1, 2, 16, 4000, 4000));
    LSR_Sound s;
    EXPECT_EQ(picture::printed([&] { Soundsystem_LoadSound("in.WAV", &s); }),
              "Loading sound in.WAV\n");
    EXPECT_EQ(
        std::vector<std::uint32_t>({s.channels, s.bits, s.frequency, s.size, s.length, s.volume}),
        std::vector<std::uint32_t>({2, 16, 44100, 4000, 2000, 255}));
    EXPECT_EQ(Soundsystem_SaveSound("out.wav", &s), 1);
    EXPECT_EQ(tarn_test::read_file(dir / "out.wav"), tarn_test::read_file(dir / "in.wav"));
    Soundsystem_DeleteSound(&s);

    LSR_Sound mp3;
    EXPECT_EQ(picture::printed([&] { Soundsystem_LoadSound("music.mp3", &mp3); }),
              "Loading sound music.mp3\n");
    EXPECT_EQ(mp3.data.load(), nullptr);
    EXPECT_EQ(mp3.length.load(), 0u);
}

// What loading says, and the samples it keeps: all of them, or none.
TEST_F(Wav, FilesLoadOrAreRefusedWithTheirReason) {
    ASSERT_EQ(tarnfile_mountimage(dir.path().c_str(), TARNFILE_DIRECTORY), 1);
    const std::uint32_t in_use = g_mem_in_use.load();
    Bytes extra = wav(1, 1, 8, 4, 4), neither = extra, one_tag = extra;
    extra.insert(extra.begin() + 36, {'L', 'I', 'S', 'T', 0, 0, 0, 0});
    neither[0] = neither[8] = 'X';
    one_tag[0] = 'X';
    const struct {
        Bytes file;
        const char* said;
        std::uint32_t length;
    } cases[] = {
        {wav(1, 1, 8, 300, 300), "", 300}, // 8-bit mono: a sample a byte
        {one_tag, "", 4},
        {wav(3, 2, 32, 8, 8), "Not PCM signed", 0},
        {wav(1, 1, 4, 8, 8), "Bad WAV sample width", 0},
        {wav(1, 2, 16, 8, 8, 18), "", 0},
        {extra, "", 0},
        {neither, "No WAV file", 0},
        {wav(1, 2, 16, 101, 100), "WAV data larger than the file", 0}, // one byte more
        {Bytes(20, 'R'), "No WAV file", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        dir.write("x.wav", c.file);
        LSR_Sound s;
        std::int32_t result = -1;
        EXPECT_EQ(picture::printed([&] { result = Soundsystem_LoadWAV("x.wav", &s); }), c.said);
        EXPECT_EQ(result, c.length != 0);
        EXPECT_EQ(s.length.load(), c.length);
        if (s.data.load() != nullptr) Soundsystem_DeleteSound(&s);
    }
    LSR_Sound gone;
    picture::printed([&] { EXPECT_EQ(Soundsystem_LoadWAV("gone.wav", &gone), 0); });
    EXPECT_EQ(g_mem_in_use.load(), in_use);
}

} // namespace
