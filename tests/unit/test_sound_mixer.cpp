// The sound module: the mixer driven directly from a table of sounds and settings, the table of
// playing sounds, the ring of four output buffers on the headless wave output (completed one buffer
// at a time, and from a second thread), and WAV files loaded and saved through the file layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <filesystem>
#include <numeric>
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
constexpr int keep = 9999; // a setting left as it is

std::uint32_t g_refills = 0;
void count_refill(void* data, std::uint32_t size) {
    ++g_refills;
    std::fill_n(static_cast<std::int16_t*>(data), size / 2,
                static_cast<std::int16_t>(g_refills * 100));
}

// A sound of the given samples, or a stream of 100 frames refilled by count_refill (created
// silent); copies of it are played with the loop flag after the volume and panning are set, from
// frame start.
struct Voice {
    Samples samples = {};
    std::uint16_t bits = 16, channels = 1;
    std::uint32_t frequency = 44100;
    int copies = 1, volume = keep, panning = keep, loop = 1;
    std::uint64_t start = 0;
    bool stream = false;
};

// A stream's record holding the samples, then made a plain sound as loading makes one.
void make_sound(LSR_Sound& s, const Voice& v) {
    const auto n = static_cast<std::uint32_t>(v.samples.size());
    Soundsystem_CreateSoundStream(&s, count_refill, v.frequency, v.bits, v.channels,
                                  v.stream ? 100 : n / v.channels);
    auto* data = static_cast<std::uint8_t*>(s.data.load());
    for (std::uint32_t i = 0; i < n; ++i) {
        const auto x = static_cast<std::int16_t>(v.samples[i]);
        if (v.bits == 16) std::memcpy(data + 2 * i, &x, 2);
        if (v.bits == 8) data[i] = static_cast<std::uint8_t>(x);
    }
    if (!v.stream) lsr_sound::set_playing_defaults(s);
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
        EXPECT_EQ(soundsystem.bufferlength.load() * 100000 + soundsystem.mixbuffersize.load(),
                  c.frames * 100000 + c.bytes);
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

// Each row's sounds mixed into an output of its width (16: stereo, 8: mono): the first values, and
// the sum of n values. The gains start at 128 a side; volume and panning make them
// (255 - pan) * vol >> 8 and pan * vol >> 8; the master volume scales the sum, which is held to
// +-32767; a stream plays its whole buffer, every channel's samples, before each refill.
TEST_F(Mixer, SoundsAreSteppedScaledSummedAndClipped) {
    const struct {
        const char* name;
        std::uint32_t out_bits;
        std::vector<Voice> voices;
        int master;
        Samples first;
        std::size_t n = 0;
        std::int64_t sum = 0;
    } rows[] = {
        // clang-format off
        {"each sample twice", 16, {{.samples = {1000, 2000, 3000, 4000}, .frequency = 22050}},
         keep, {500, 500, 500, 500, 1000, 1000, 1000, 1000, 1500, 1500, 1500, 1500, 2000, 2000,
                2000, 2000, 500, 500}},
        {"its left samples", 16, {{.samples = {4000, -4000, 6000, -6000}, .channels = 2}}, keep,
         {2000, 2000, 3000, 3000, 2000, 2000}},
        {"values held in range", 16, {{.samples = {32767}, .volume = 1000, .panning = 0}}, 300,
         {32511, 0}},
        {"clipped", 16, {{.samples = {32767, -32768}, .copies = 2, .volume = 255, .panning = -5}},
         keep, {32767, 0, -32767, 0}},
        {"clipped low", 16, {{.samples = {-32768}, .copies = 2, .volume = 255, .panning = 0}}, 128,
         {-32512, 0}},
        {"master below 0", 16, {{.samples = {32767}}}, -1, {0, 0}},
        {"8-bit mono output", 8, {{.samples = {32767, -32768}}}, keep, {255, 0}},
        {"8-bit samples", 8, {{.samples = {0xC0, 0x40}, .bits = 8}}, keep, {191, 64}},
        {"16 of 17 heard", 16, {{.samples = {100}, .copies = 17}}, keep, {800, 800}},
        // 10 frames of all three, then the two behind the first, moved down into its slot.
        {"ended mid-pass", 16, {{.samples = Samples(10, 1000), .loop = 0},
         {.samples = Samples(100, 2000)}, {.samples = Samples(100, 4000)}}, keep, {3500, 3500},
         2 * 2048, 10 * 2 * 3500 + 2038 * 2 * 3000},
        // More than 2^24 samples: the end lies beyond what a 32-bit 24.8 position holds.
        {"long", 16, {{.samples = Samples((1u << 24) + 1000, 1000), .loop = 0, .start = 1u << 24}},
         keep, {500, 500}, 2 * 2048, 1000 * 2 * 500},
        // 6000 frames, more than the mixing buffer holds, mixed in turns: refill k at half gain.
        {"mono stream", 16, {{.stream = true}}, keep, {0, 0}, 2 * 6000, 2 * 100 * 50 * 1770},
        {"stereo stream", 16, {{.channels = 2, .stream = true}}, keep, {0, 0}, 2 * 6000,
         2 * 100 * 50 * 1770},
        // clang-format on
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        start(44100, r.out_bits, r.out_bits / 8);
        g_refills = 0;
        std::deque<LSR_Sound> sounds;
        for (const Voice& v : r.voices)
            for (int k = 0; k < v.copies; ++k) {
                LSR_Sound& s = sounds.emplace_back();
                make_sound(s, v);
                if (v.volume != keep) Soundsystem_SetVolume(&s, v.volume);
                if (v.panning != keep) Soundsystem_SetPanning(&s, v.panning);
                Soundsystem_PlaySound(&s, v.loop);
                s.position = v.start << 8;
            }
        if (r.master != keep) Soundsystem_SetMasterVolume(r.master);
        const Samples out = mix(std::max(r.n, r.first.size()));
        EXPECT_EQ(Samples(out.begin(), out.begin() + r.first.size()), r.first);
        const std::int64_t sum = std::accumulate(out.begin(), out.end(), std::int64_t{0});
        EXPECT_TRUE(r.n == 0 || sum == r.sum) << sum;
        for (LSR_Sound& s : sounds) Soundsystem_DeleteSound(&s);
    }
}

// Starting a playing sound again restarts it in its place (a zero loop argument keeps its loop);
// stopping one keeps the order of the rest; a deleted sound has no data to play.
TEST_F(Mixer, TheTableKeepsItsOrder) {
    LSR_Sound sounds[3];
    for (LSR_Sound& s : sounds) {
        make_sound(s, {Samples(100, 1000)});
        Soundsystem_PlaySound(&s, &s == sounds);
    }
    mix(2 * 10);
    Soundsystem_PlaySound(&sounds[0], 0);
    EXPECT_EQ(sounds[0].position.load() * 2 + sounds[0].loop.load(), 1u);
    Soundsystem_StopSound(&sounds[1]);
    EXPECT_EQ(playing(), std::vector<LSR_Sound*>({&sounds[0], &sounds[2]}));
    for (LSR_Sound& s : sounds) Soundsystem_DeleteSound(&s);
    Soundsystem_PlaySound(&sounds[0], 1);
    EXPECT_EQ(playing().size() + soundsystem.numsounds, 0u);
}

// Each completion refills the slot just played, in ring order, mixed after queueing; pulled rather
// than completed, the current slot is handed out and queued on submission. Pause and resume switch
// the output only when needed; a paused output finishes nothing, and once the program is closing a
// finished buffer is not refilled. Opening again closes first; stopping closes the output and
// hands nothing out.
TEST_F(Mixer, TheRingOfFourBuffersIsRefilledPausedAndClosed) {
    LSR_Sound tone;
    make_sound(tone, {{10000}});
    Soundsystem_PlaySound(&tone, 1);
    for (std::uint32_t n = 1; n <= 5; ++n) {
        ASSERT_TRUE(headless::wave_complete_oldest());
        const auto queued = headless::wave_queued_data();
        std::int16_t first;
        std::memcpy(&first, queued.back(), 2);
        EXPECT_EQ(std::tuple(queued.size(), queued.front(), queued.back(), first),
                  std::tuple(4u, slot(n % 4), slot((n - 1) % 4), std::int16_t{5000}))
            << n;
    }
    Soundsystem_DeleteSound(&tone);
    void* data = nullptr;
    std::int32_t length = 0;
    EXPECT_EQ(LSR_audio_getbuffer(&data, &length), 1);
    EXPECT_EQ(std::pair(data, length), std::pair(const_cast<void*>(slot(1)), 8192));
    EXPECT_EQ(LSR_audio_submitbuffer(), 2u);
    EXPECT_EQ(headless::wave_queued_data().back(), slot(1));

    LSR_audio_pause();
    LSR_audio_pause();
    EXPECT_FALSE(headless::wave_complete_oldest());
    LSR_audio_resume();
    LSR_audio_resume();
    EXPECT_EQ(headless::wave_state().pauses * 10 + headless::wave_state().restarts, 11u);
    const std::uint32_t queued = headless::wave_queued_count();
    EXPECT_TRUE(headless::wave_complete_oldest());
    exitflag = 1;
    EXPECT_TRUE(headless::wave_complete_oldest());
    EXPECT_EQ(headless::wave_queued_count(), queued - 1);

    picture::printed([] { LSR_audio_setformat(44100, 16, 0, 2); });
    EXPECT_EQ(headless::wave_state().closes * 10 + headless::wave_queued_count(), 14u);
    LSR_audio_stop();
    EXPECT_FALSE(headless::wave_state().open);
    for (const LSR_WaveHeader& h : g_hdr) EXPECT_EQ(h.flags & LSR_WHDR_PREPARED, 0u);
    EXPECT_EQ(LSR_audio_getbuffer(&data, &length), 0);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(length, 0);
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
            make_sound(sounds[k], {Samples(k == 0 ? 3 : 300, 1000)});
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

// The readers' corpus of WAV files in the mounted folder, and one of them claiming one byte more
// data than it holds: what loading says, and the samples it keeps (all of them, or none).
TEST_F(Wav, ASavedSoundIsTheFileItCameFromAndBadFilesAreRefused) {
    for (const auto& f : std::filesystem::directory_iterator(LSR_CORPUS "/wav"))
        dir.write(f.path().filename(), tarn_test::read_file(f.path()));
    tarn_test::Bytes one_more = tarn_test::read_file(dir / "stereo16.wav");
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
        EXPECT_EQ(std::pair(got, loaded.length.load()), std::pair(result, length)) << name;
        if (loaded.data.load() != nullptr) Soundsystem_DeleteSound(&loaded);
    }
    EXPECT_EQ(g_mem_in_use.load(), in_use);
}

} // namespace
