// The sound module: the mixer driven directly (steps, gains, clipping, the table of playing sounds,
// streams), the ring of four output buffers on the headless wave output, completed one buffer at a
// time, and WAV files loaded and saved through the file layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "headless_wave.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/sound/audio.h"
#include "lodestar/sound/internal/audio.h"
#include "lodestar/sound/internal/sound_record.h"
#include "lodestar/sound/loadwav.h"
#include "lodestar/sound/soundsystem.h"
#include "picture.h"
#include "test_tarnfile_util.h"

namespace {

using Samples = std::vector<std::int32_t>;
using tarn_test::Bytes;

// A sound of the given samples with the playing defaults, made as a loaded one is, in a counted
// block.
void make_sound(LSR_Sound& s, const Samples& samples, std::uint32_t frequency,
                std::uint16_t channels = 1, std::uint16_t bits = 16) {
    lsr_sound::clear_record(s);
    const auto bytes = static_cast<std::uint32_t>(samples.size() * bits / 8);
    auto* data = static_cast<std::uint8_t*>(_wrap_malloc_dbg(bytes, "test", 1));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto v = static_cast<std::int16_t>(samples[i]);
        if (bits == 16) std::memcpy(data + 2 * i, &v, 2);
        if (bits == 8) data[i] = static_cast<std::uint8_t>(v);
    }
    s.channels = channels;
    s.bits = bits;
    s.frequency = frequency;
    s.size = bytes;
    s.length = static_cast<std::uint32_t>(samples.size());
    s.data = data;
    lsr_sound::set_playing_defaults(s);
    ++soundsystem.numsounds;
}

class Mixer : public ::testing::Test {
  protected:
    void SetUp() override { start(44100, 16, 2); }
    void TearDown() override {
        Soundsystem_Closedown();
        exitflag = 0;
    }

    // Opens the output as the program does, on a device that opens or not; what it printed.
    static std::string start(std::uint32_t rate, std::uint32_t bits, std::uint32_t channels,
                             bool card = true, std::uint32_t length = 8192) {
        Soundsystem_Closedown();
        headless::wave_reset_controls();
        headless::wave_set_open_result(card);
        exitflag = 0;
        return picture::printed([&] { Soundsystem_Init(rate, length, bits, channels); });
    }
    static std::vector<LSR_Sound*> playing() {
        return {active_sounds, active_sounds + soundsystem.numactive.load()};
    }

    // n values of output in its width, mixed into a buffer pre-filled with noise.
    static Samples mix(std::size_t n) {
        const bool sixteen = soundsystem.bits.load() == 16;
        std::vector<std::int16_t> out(n, 0x5555);
        LSR_MixBuffers(out.data(), static_cast<std::uint32_t>(n * (sixteen ? 2 : 1)));
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(out.data());
        Samples values(n);
        for (std::size_t i = 0; i < n; ++i) values[i] = sixteen ? out[i] : bytes[i];
        return values;
    }

    static const void* slot(std::uint32_t i) {
        return g_audio_buffer.load() + i * g_buffer_size.load();
    }
};

// channels x frames x 4 bytes of mixing buffer, with the length in force after the output is asked
// for: 2048 frames when it opened, the caller's (or rate / 16) when it did not. An opened output
// has its format and four silent buffers queued in slot order; nothing playing mixes silence.
TEST_F(Mixer, OpeningSetsTheBufferLengthTheFormatAndFourSilentBuffers) {
    const struct {
        bool card;
        std::uint32_t rate, length, bits, channels, frames, bytes, align;
        const char* said;
    } cases[] = {
        {true, 44100, 8192, 16, 2, 2048, 16384, 4,
         "sample size: 4\nbuffer size: 8192\nopen waveout\nAUDIO: opening audio device "
         "succesful!\naudio opened\nsoundsystem bufferlength = 2048\n"},
        {true, 22050, 0, 8, 1, 2048, 8192, 1, nullptr},
        {false, 44100, 8192, 16, 2, 8192, 65536, 0,
         "sample size: 4\nbuffer size: 8192\nopen waveout\nAUDIO: error opening audio buffer\n"
         "soundsystem bufferlength = 8192\n"},
        {false, 16000, 0, 16, 1, 1000, 4000, 0, nullptr},
        {true, 44100, 0, 12, 2, 2756, 22048, 0, nullptr}, // a width the output refuses
        {true, 0, 100, 16, 3, 100, 1200, 0, nullptr},     // rate 0 only closes: channels as asked
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        const std::string said = start(c.rate, c.bits, c.channels, c.card, c.length);
        EXPECT_TRUE(c.said == nullptr || said == c.said) << said;
        EXPECT_EQ(soundsystem.bufferlength.load(), c.frames);
        EXPECT_EQ(soundsystem.mixbuffersize.load(), c.bytes);
        const int silence = c.bits == 16 ? 0 : 0x80;
        const Samples out = mix(32768);
        EXPECT_EQ(std::count(out.begin(), out.end(), silence), 32768);
        const auto queued = headless::wave_queued_data();
        if (c.align == 0) {
            EXPECT_TRUE(queued.empty());
            continue;
        }
        EXPECT_EQ(g_wf.avg_bytes_per_sec, c.rate * c.align);
        EXPECT_EQ(g_wf.block_align, c.align);
        EXPECT_EQ(queued, std::vector<const void*>({slot(0), slot(1), slot(2), slot(3)}));
        const std::uint8_t* block = g_audio_buffer.load();
        EXPECT_EQ(std::count(block, block + 4 * g_buffer_size.load(), silence),
                  4 * g_buffer_size.load());
    }
}

// Copies of one looping sound mixed as the row sets them up (keep leaves a setting alone). The
// gains start at 128 a side; volume and panning make them (255 - pan) * vol >> 8 and
// pan * vol >> 8; the master volume scales the sum, which is held to +-32767.
TEST_F(Mixer, SoundsAreSteppedScaledSummedAndClipped) {
    constexpr int keep = 9999;
    const struct {
        std::uint32_t out_bits;
        Samples samples;
        std::uint16_t bits, channels;
        std::uint32_t frequency;
        int copies, volume, panning, master;
        Samples expect;
    } cases[] = {
        // Output width (16: stereo, 8: mono); samples, their width, channels and rate; copies,
        // volume, panning, master volume; the values mixed.
        // clang-format off
        {16, {1000, 2000, 3000, 4000}, 16, 1, 22050, 1, keep, keep, keep, // each sample twice
         {500, 500, 500, 500, 1000, 1000, 1000, 1000, 1500, 1500, 1500, 1500, 2000, 2000, 2000,
          2000, 500, 500}},
        {16, {4000, -4000, 6000, -6000}, 16, 2, 44100, 1, keep, keep, keep, // its left samples
         {2000, 2000, 3000, 3000, 2000, 2000}},
        {16, {32767}, 16, 1, 44100, 1, 1000, 0, 300, {32511, 0}}, // values held in range
        {16, {32767, -32768}, 16, 1, 44100, 2, 255, -5, keep, {32767, 0, -32767, 0}}, // clipped
        {16, {-32768}, 16, 1, 44100, 2, 255, 0, 128, {-32512, 0}},
        {16, {32767}, 16, 1, 44100, 1, keep, keep, -1, {0, 0}},
        {8, {32767, -32768}, 16, 1, 44100, 1, keep, keep, keep, {255, 0}}, // 8-bit mono output
        {8, {0xC0, 0x40}, 8, 1, 44100, 1, keep, keep, keep, {191, 64}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        start(44100, c.out_bits, c.out_bits / 8);
        LSR_Sound sounds[2];
        for (int k = 0; k < c.copies; ++k) {
            make_sound(sounds[k], c.samples, c.frequency, c.channels, c.bits);
            if (c.volume != keep) Soundsystem_SetVolume(&sounds[k], c.volume);
            if (c.panning != keep) Soundsystem_SetPanning(&sounds[k], c.panning);
            Soundsystem_PlaySound(&sounds[k], 1);
        }
        if (c.master != keep) Soundsystem_SetMasterVolume(c.master);
        EXPECT_EQ(mix(c.expect.size()), c.expect);
        for (int k = 0; k < c.copies; ++k) Soundsystem_DeleteSound(&sounds[k]);
    }
}

TEST_F(Mixer, TableKeepsOrderRestartsInPlaceAndDropsEndedSoundsMidPass) {
    LSR_Sound a, b, c;
    make_sound(a, Samples(10, 1000), 44100);
    make_sound(b, Samples(100, 2000), 44100);
    make_sound(c, Samples(100, 4000), 44100);
    Soundsystem_PlaySound(&a, 0);
    Soundsystem_PlaySound(&b, 1);
    Soundsystem_PlaySound(&c, 1);
    const Samples out = mix(2 * 2048);
    // A ends after ten frames; B and C, moved down into its slot, play on in the same pass.
    EXPECT_EQ(out[2 * 9], 3500);
    EXPECT_EQ(out[2 * 10], 3000);
    EXPECT_EQ(playing(), std::vector<LSR_Sound*>({&b, &c}));
    EXPECT_EQ(a.playing.load() + a.position.load(), 0u);

    // Starting a playing sound again restarts it without a second entry.
    EXPECT_NE(b.position.load(), 0u);
    Soundsystem_PlaySound(&b, 0);
    EXPECT_EQ(b.position.load(), 0u);
    EXPECT_EQ(b.loop.load(), 1u); // a zero loop argument keeps the loop
    EXPECT_EQ(playing(), std::vector<LSR_Sound*>({&b, &c}));

    // Stopping the first keeps the order of the rest.
    Soundsystem_PlaySound(&a, 0);
    Soundsystem_StopSound(&b);
    EXPECT_EQ(playing(), std::vector<LSR_Sound*>({&c, &a}));
    for (LSR_Sound* s : {&a, &b, &c}) Soundsystem_DeleteSound(s);
    EXPECT_EQ(playing().size() + soundsystem.numsounds, 0u);
}

// The 17th sound is marked playing but not heard; a deleted one has no data to play.
TEST_F(Mixer, SixteenSoundsAtMostAndNothingWithoutData) {
    std::vector<LSR_Sound> sounds(17);
    for (LSR_Sound& s : sounds) make_sound(s, {100}, 44100);
    for (LSR_Sound& s : sounds) Soundsystem_PlaySound(&s, 1);
    EXPECT_EQ(playing().size(), 16u);
    EXPECT_EQ(mix(2)[0], 800); // 16 x 100 at gain 128
    for (LSR_Sound& s : sounds) Soundsystem_DeleteSound(&s);
    Soundsystem_PlaySound(&sounds[0], 1);
    EXPECT_TRUE(playing().empty());
}

std::uint32_t g_refills = 0;
void count_refill(void* data, std::uint32_t size) {
    ++g_refills;
    std::fill_n(static_cast<std::int16_t*>(data), size / 2,
                static_cast<std::int16_t>(g_refills * 100));
}

// A stream plays its whole buffer, every channel's samples, before each refill, and never ends;
// more frames than the mixing buffer holds are mixed in turns, continuous across them.
TEST_F(Mixer, StreamsRefillThroughTheirCallbackAndNeverStop) {
    for (std::uint32_t channels : {1u, 2u}) {
        LSR_Sound s;
        g_refills = 0;
        Soundsystem_CreateSoundStream(&s, count_refill, 44100, 16, channels, 100);
        s.left = 255;
        Soundsystem_PlaySound(&s, 0);
        const Samples out = mix(2 * 6000);
        EXPECT_EQ(g_refills, 60u); // 6000 frames of 100
        EXPECT_EQ(soundsystem.numactive.load(), 1);
        for (int f : {99, 100, 2047, 2048, 5999}) // created silent
            EXPECT_EQ(out[2 * f], (255 * (f / 100) * 100 * 256) >> 16) << f;
        Soundsystem_DeleteSound(&s);
    }
}

// More than 2^24 samples: the end lies beyond what a 32-bit 24.8 position holds.
TEST_F(Mixer, LongSoundsEndWhereTheirDataEnds) {
    constexpr std::uint32_t n = (1u << 24) + 1000;
    LSR_Sound l;
    make_sound(l, Samples(n, 1000), 44100);
    Soundsystem_PlaySound(&l, 0);
    l.position = std::uint64_t{n - 1000} << 8;
    const Samples tail = mix(2 * 2048);
    EXPECT_EQ(tail[2 * 999], 500);
    EXPECT_EQ(tail[2 * 1000], 0);
    EXPECT_EQ(soundsystem.numactive.load(), 0);
    Soundsystem_DeleteSound(&l);
}

TEST_F(Mixer, EachCompletionRefillsTheSlotJustPlayedInRingOrder) {
    LSR_Sound tone;
    make_sound(tone, {10000}, 44100);
    Soundsystem_PlaySound(&tone, 1);
    for (std::uint32_t n = 1; n <= 5; ++n) {
        ASSERT_TRUE(headless::wave_complete_oldest());
        const auto queued = headless::wave_queued_data();
        ASSERT_EQ(queued.size(), 4u);
        EXPECT_EQ(queued.back(), slot((n - 1) % 4)) << n;
        EXPECT_EQ(queued.front(), slot(n % 4)) << n;
        std::int16_t first;
        std::memcpy(&first, queued.back(), 2);
        EXPECT_EQ(first, 5000) << n; // mixed after queueing
    }
    Soundsystem_DeleteSound(&tone);

    // Pulled rather than completed, the current slot is handed out and queued on submission.
    void* data = nullptr;
    std::int32_t length = 0;
    EXPECT_EQ(LSR_audio_getbuffer(&data, &length), 1);
    EXPECT_EQ(std::pair(data, length), std::pair(const_cast<void*>(slot(1)), 8192));
    EXPECT_EQ(LSR_audio_submitbuffer(), 2u);
    EXPECT_EQ(headless::wave_queued_data().back(), slot(1));
    LSR_audio_stop();
    EXPECT_EQ(LSR_audio_getbuffer(&data, &length), 0); // nothing open: nothing handed out
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(length, 0);
}

// Pause and resume switch the output only when needed; a paused output finishes nothing, and once
// the program is closing a finished buffer is not refilled. Opening again closes first; stopping
// closes the output (and releases the block: nothing is handed out after it, as the pull-style
// test shows).
TEST_F(Mixer, PauseResumeClosingAndStopHoldTheRing) {
    LSR_audio_pause();
    LSR_audio_pause();
    EXPECT_FALSE(headless::wave_complete_oldest());
    LSR_audio_resume();
    LSR_audio_resume();
    EXPECT_EQ(headless::wave_state().pauses * 10 + headless::wave_state().restarts, 11u);
    EXPECT_TRUE(headless::wave_complete_oldest());
    EXPECT_EQ(headless::wave_queued_count(), 4u);
    exitflag = 1;
    EXPECT_TRUE(headless::wave_complete_oldest());
    EXPECT_EQ(headless::wave_queued_count(), 3u);

    picture::printed([] { LSR_audio_setformat(44100, 16, 0, 2); });
    EXPECT_EQ(headless::wave_state().closes, 1u);
    EXPECT_EQ(headless::wave_queued_count(), 4u);
    LSR_audio_stop();
    EXPECT_FALSE(headless::wave_state().open);
    for (const LSR_WaveHeader& h : g_hdr) EXPECT_EQ(h.flags & LSR_WHDR_PREPARED, 0u);
}

// The audio thread completes buffers, each a mix, all along while sounds are made, played,
// changed, stopped and deleted round after round, the output paused a while and at last stopped:
// no pass may read samples before they are written or after they are freed, no deleted sound may
// stay in the table, and no refill may touch the block once it is released.
TEST_F(Mixer, SoundsComeAndGoWhileTheAudioThreadMixes) {
    constexpr auto relaxed = std::memory_order_relaxed;
    const std::uint32_t in_use = g_mem_in_use.load();
    std::atomic<bool> done{false};
    std::atomic<std::uint32_t> passes{0};
    std::thread audio([&] {
        while (!done.load(relaxed)) {
            if (headless::wave_complete_oldest()) passes.fetch_add(1, relaxed);
            std::this_thread::yield();
        }
    });
    for (int round = 0; round < 500; ++round) {
        if (round == 200) LSR_audio_pause();
        if (round == 250) LSR_audio_resume();
        std::vector<LSR_Sound> sounds(4);
        for (int k = 0; k < 4; ++k) {
            // The first is a few frames long and ends by itself inside a pass.
            make_sound(sounds[k], Samples(k == 0 ? 3 : 300, 1000), 44100);
            Soundsystem_PlaySound(&sounds[k], k % 2);
        }
        const std::uint32_t seen = passes.load(relaxed);
        while ((round < 200 || round >= 250) && passes.load(relaxed) == seen)
            std::this_thread::yield();
        for (LSR_Sound& s : sounds) {
            Soundsystem_SetVolume(&s, round % 256);
            Soundsystem_SetPanning(&s, (round * 7) % 256);
            Soundsystem_SetFrequency(&s, 11025 + 100 * static_cast<std::uint32_t>(round));
        }
        Soundsystem_StopSound(&sounds[1]);
        for (LSR_Sound& s : sounds) Soundsystem_DeleteSound(&s);
        ASSERT_EQ(playing(), std::vector<LSR_Sound*>()) << "round " << round;
    }
    EXPECT_EQ(g_mem_in_use.load(), in_use);
    LSR_audio_stop(); // completions still being attempted on the other thread
    done = true;
    audio.join();
    EXPECT_EQ(headless::wave_queued_count(), 0u);
}

using Wav = tarn_test::Mounted;

// The readers' corpus of WAV files, copied into the mounted folder, and one of them claiming one
// byte more data than it holds.
TEST_F(Wav, ASavedSoundIsTheFileItCameFromAndBadFilesAreRefused) {
    const char* corpus[] = {"stereo16.wav", "mono8.wav",      "riffonly.wav", "float.wav",
                            "bits4.wav",    "extrachunk.wav", "neither.wav",  "oversize.wav",
                            "short.wav",    "empty.wav",      "odd16.wav"};
    for (const char* name : corpus)
        dir.write(name, tarn_test::read_file(std::string(LSR_CORPUS "/wav/") + name));
    Bytes one_more = tarn_test::read_file(dir / "stereo16.wav");
    one_more[40] += 1;
    dir.write("one_more.wav", one_more);
    ASSERT_EQ(tarnfile_mountimage(dir.path().c_str(), TARNFILE_DIRECTORY), 1);

    LSR_Sound s;
    EXPECT_EQ(picture::printed([&] { Soundsystem_LoadSound("stereo16.WAV", &s); }),
              "Loading sound stereo16.WAV\n");
    EXPECT_EQ(
        std::vector<std::uint32_t>({s.channels, s.bits, s.frequency, s.size, s.length, s.volume}),
        std::vector<std::uint32_t>({2, 16, 44100, 16, 8, 255}));
    EXPECT_EQ(Soundsystem_SaveSound("out.wav", &s), 1);
    EXPECT_EQ(tarn_test::read_file(dir / "out.wav"), tarn_test::read_file(dir / "stereo16.wav"));
    Soundsystem_DeleteSound(&s);
    EXPECT_EQ(picture::printed([&] { Soundsystem_LoadSound("music.mp3", &s); }),
              "Loading sound music.mp3\n");
    EXPECT_EQ(s.data.load(), nullptr);

    // What loading says, and the samples it keeps: all of them, or none.
    const std::uint32_t in_use = g_mem_in_use.load();
    const std::tuple<const char*, const char*, std::int32_t, std::uint32_t> cases[] = {
        {"mono8.wav", "", 1, 86}, // a sample a byte
        {"riffonly.wav", "", 1, 8},
        {"odd16.wav", "", 1, 1}, // whole samples only
        {"empty.wav", "", 1, 0},
        {"float.wav", "Not PCM signed", 0, 0},
        {"bits4.wav", "Bad WAV sample width", 0, 0},
        {"extrachunk.wav", "", 0, 0}, // "data" not where it stands in a plain file
        {"neither.wav", "No WAV file", 0, 0},
        {"oversize.wav", "WAV data larger than the file", 0, 0},
        {"one_more.wav", "WAV data larger than the file", 0, 0},
        {"short.wav", "No WAV file", 0, 0},
        {"gone.wav", "", 0, 0},
    };
    for (const auto& [name, said, result, length] : cases) {
        LSR_Sound loaded;
        std::int32_t got = -1;
        EXPECT_EQ(picture::printed([&] { got = Soundsystem_LoadWAV(name, &loaded); }), said);
        EXPECT_EQ(got, result) << name;
        EXPECT_EQ(loaded.length.load(), length) << name;
        if (loaded.data.load() != nullptr) Soundsystem_DeleteSound(&loaded);
    }
    EXPECT_EQ(g_mem_in_use.load(), in_use);
}

} // namespace
