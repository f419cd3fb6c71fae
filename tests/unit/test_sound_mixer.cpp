// The mixer driven directly (steps, gains, clipping, the table of playing sounds, streams), and the
// ring of four output buffers on the headless wave output, completed one buffer at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "headless_wave.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/sound/audio.h"
#include "lodestar/sound/internal/audio.h"
#include "lodestar/sound/internal/sound_record.h"
#include "lodestar/sound/soundsystem.h"

namespace {

// A sound of the given samples (8 or 16 bits), with the playing defaults, made as a loaded one
// is, in a counted block; or over samples it does not own.
template <typename Sample>
void make_sound(LSR_Sound& s, const std::vector<Sample>& samples, std::uint32_t frequency,
                std::uint16_t channels = 1, bool own = true) {
    lsr_sound::clear_record(s);
    const auto bytes = static_cast<std::uint32_t>(samples.size() * sizeof(Sample));
    void* data = const_cast<Sample*>(samples.data());
    if (own) data = std::memcpy(_wrap_malloc_dbg(bytes, "test", 1), samples.data(), bytes);
    s.channels = channels;
    s.bits = sizeof(Sample) * 8;
    s.frequency = frequency;
    s.size = bytes;
    s.length = static_cast<std::uint32_t>(samples.size());
    s.data = data;
    lsr_sound::set_playing_defaults(s);
    ++soundsystem.numsounds;
}
void make_sound16(LSR_Sound& s, const std::vector<std::int16_t>& samples, std::uint32_t frequency,
                  std::uint16_t channels = 1) {
    make_sound(s, samples, frequency, channels);
}

class Mixer : public ::testing::Test {
  protected:
    void SetUp() override { start(44100, 16, 2); }
    void TearDown() override { Soundsystem_Closedown(); }

    // Opens the output as the program does, on a device that opens or not.
    void start(std::uint32_t rate, std::uint32_t bits, std::uint32_t channels, bool card = true,
               std::uint32_t length = 8192) {
        Soundsystem_Closedown();
        headless::wave_reset_controls();
        headless::wave_set_open_result(card);
        exitflag = 0;
        testing::internal::CaptureStdout();
        Soundsystem_Init(rate, length, bits, channels);
        init_output = testing::internal::GetCapturedStdout();
    }

    // One 2048-frame buffer of 16-bit stereo output, mixed; pre-filled with noise.
    std::vector<std::int16_t> mix_stereo(std::size_t frames = 2048) {
        std::vector<std::int16_t> out(frames * 2, 0x5555);
        LSR_MixBuffers(out.data(), static_cast<std::uint32_t>(out.size() * 2));
        return out;
    }

    std::string init_output;
};

// channels x bufferlength x 4 bytes, with the length in force after the output is asked for:
// 2048 frames when it opened, the caller's (or rate / 16) when it did not; with nothing playing
// the mix is silence, 0 or 0x80 at 8 bits, and stays inside the buffer.
TEST_F(Mixer, TheMixingBufferFollowsTheBufferLengthInForce) {
    struct Case {
        bool card;
        std::uint32_t rate, length, bits, channels, frames, bytes;
    };
    const Case cases[] = {
        {true, 44100, 8192, 16, 2, 2048, 16384},  {true, 22050, 0, 8, 1, 2048, 8192},
        {false, 44100, 8192, 16, 2, 8192, 65536}, {false, 16000, 0, 16, 1, 1000, 4000},
        {true, 44100, 0, 12, 2, 2756, 22048}, // a width the output refuses
        {true, 0, 100, 16, 3, 100, 1200},     // rate 0 only closes: the channels stay as asked
    };
    for (const Case& c : cases) {
        start(c.rate, c.bits, c.channels, c.card, c.length);
        EXPECT_NE(init_output.find("soundsystem bufferlength = " + std::to_string(c.frames) + "\n"),
                  std::string::npos)
            << init_output;
        EXPECT_EQ(soundsystem.bufferlength.load(), c.frames) << c.rate << " " << c.length;
        EXPECT_EQ(soundsystem.mixbuffersize.load(), c.bytes) << c.rate << " " << c.length;
        std::vector<std::uint8_t> out(65536, 0x11);
        LSR_MixBuffers(out.data(), static_cast<std::uint32_t>(out.size()));
        EXPECT_EQ(std::count(out.begin(), out.end(), c.bits == 16 ? 0 : 0x80), 65536);
    }
}

TEST_F(Mixer, StepsResampleByNearestSample) {
    LSR_Sound mono, stereo;
    make_sound16(mono, {1000, 2000, 3000, 4000}, 22050);
    make_sound16(stereo, {0, 0}, 44100, 2);
    EXPECT_EQ(mono.step.load(), 128u);
    EXPECT_EQ(stereo.step.load(), 512u);

    Soundsystem_PlaySound(&mono, 1);
    const auto out = mix_stereo(16);
    // Each sample fills two frames, at half amplitude on both channels (gains 128).
    const std::int16_t expect[] = {500, 500, 1000, 1000, 1500, 1500, 2000, 2000, 500};
    for (std::size_t f = 0; f < std::size(expect); ++f) {
        EXPECT_EQ(out[2 * f], expect[f]) << f;
        EXPECT_EQ(out[2 * f + 1], expect[f]) << f;
    }

    // A stereo sound takes one sample per frame from its interleaved data: its left channel.
    LSR_Sound lr;
    make_sound16(lr, {4000, -4000, 6000, -6000}, 44100, 2);
    Soundsystem_StopSound(&mono);
    Soundsystem_PlaySound(&lr, 1);
    const auto out2 = mix_stereo(4);
    EXPECT_EQ(out2[0], 2000);
    EXPECT_EQ(out2[2], 3000);
    EXPECT_EQ(out2[4], 2000);

    Soundsystem_SetFrequency(&mono, 11025);
    EXPECT_EQ(mono.step.load(), 64u);
    for (LSR_Sound* s : {&mono, &stereo, &lr}) Soundsystem_DeleteSound(s);
    EXPECT_EQ(soundsystem.numsounds, 0);
}

TEST_F(Mixer, GainsMasterVolumeAndClipping) {
    LSR_Sound a, b;
    make_sound16(a, {32767}, 44100);
    make_sound16(b, {32767}, 44100);
    Soundsystem_PlaySound(&a, 1);
    auto out = mix_stereo(8);
    EXPECT_EQ(out[0], 16383);
    EXPECT_EQ(out[1], 16383);

    Soundsystem_SetVolume(&a, 1000);
    EXPECT_EQ(a.volume.load(), 255);
    EXPECT_EQ(a.left.load(), 126);
    EXPECT_EQ(a.right.load(), 127);
    Soundsystem_SetPanning(&a, 0);
    EXPECT_EQ(a.left.load(), 254);
    EXPECT_EQ(a.right.load(), 0);
    out = mix_stereo(1);
    EXPECT_EQ(out[0], (254 * 32767 * 256) >> 16);
    EXPECT_EQ(out[1], 0);
    Soundsystem_SetPanning(&a, -5); // only in range, never wrapped
    EXPECT_EQ(a.panning.load(), 0);

    Soundsystem_SetMasterVolume(300);
    EXPECT_EQ(soundsystem.mastervolume.load(), 256);
    Soundsystem_SetMasterVolume(-1);
    EXPECT_EQ(mix_stereo(1)[0], 0);
    Soundsystem_SetMasterVolume(256);

    // Two full-scale sounds at gain 255 sum past the range.
    for (LSR_Sound* s : {&a, &b}) {
        s->left = 255;
        s->right = 255;
    }
    Soundsystem_PlaySound(&b, 1);
    out = mix_stereo(4);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], 32767);
    for (LSR_Sound* s : {&a, &b}) static_cast<std::int16_t*>(s->data.load())[0] = -32768;
    out = mix_stereo(4);
    EXPECT_EQ(out[0], -32767);
    EXPECT_EQ(out[1], -32767);

    Soundsystem_SetMasterVolume(128);
    out = mix_stereo(1);
    EXPECT_EQ(out[0], -32640); // (2 * 255 * -32768 * 128) >> 16, arithmetic
    Soundsystem_DeleteSound(&a);
    Soundsystem_DeleteSound(&b);
}

TEST_F(Mixer, TableKeepsOrderRestartsInPlaceAndDropsEndedSoundsMidPass) {
    LSR_Sound a, b, c;
    make_sound16(a, std::vector<std::int16_t>(10, 1000), 44100);
    make_sound16(b, std::vector<std::int16_t>(100, 2000), 44100);
    make_sound16(c, std::vector<std::int16_t>(100, 4000), 44100);
    Soundsystem_PlaySound(&a, 0);
    Soundsystem_PlaySound(&b, 1);
    Soundsystem_PlaySound(&c, 1);
    ASSERT_EQ(soundsystem.numactive.load(), 3);

    const auto out = mix_stereo();
    EXPECT_EQ(out[0], (128 * 7000 * 256) >> 16);
    EXPECT_EQ(out[2 * 9], (128 * 7000 * 256) >> 16);
    // A ended after ten frames; B and C, moved down into its slot, play on in the same pass.
    EXPECT_EQ(out[2 * 10], 3000);
    EXPECT_EQ(out[2 * 2047 + 1], 3000);
    EXPECT_EQ(soundsystem.numactive.load(), 2);
    EXPECT_EQ(active_sounds[0].load(), &b);
    EXPECT_EQ(active_sounds[1].load(), &c);
    EXPECT_EQ(a.playing.load(), 0);
    EXPECT_EQ(a.position.load(), 0u);

    // Starting a playing sound again restarts it without a second entry.
    const std::uint64_t before = b.position.load();
    EXPECT_NE(before, 0u);
    Soundsystem_PlaySound(&b, 0);
    EXPECT_EQ(b.position.load(), 0u);
    EXPECT_EQ(b.loop.load(), 1u); // a zero loop argument keeps the loop
    EXPECT_EQ(soundsystem.numactive.load(), 2);

    // Stopping the first keeps the order of the rest.
    Soundsystem_PlaySound(&a, 0);
    Soundsystem_StopSound(&b);
    EXPECT_EQ(soundsystem.numactive.load(), 2);
    EXPECT_EQ(active_sounds[0].load(), &c);
    EXPECT_EQ(active_sounds[1].load(), &a);
    for (LSR_Sound* s : {&a, &b, &c}) Soundsystem_DeleteSound(s);
    EXPECT_EQ(soundsystem.numactive.load(), 0);
}

TEST_F(Mixer, SixteenSoundsAtMostAndNothingWithoutData) {
    std::vector<LSR_Sound> sounds(17);
    for (LSR_Sound& s : sounds) make_sound16(s, {100}, 44100);
    for (LSR_Sound& s : sounds) Soundsystem_PlaySound(&s, 1);
    EXPECT_EQ(soundsystem.numactive.load(), 16);
    EXPECT_EQ(sounds[16].playing.load(), 1); // marked playing, not heard
    EXPECT_EQ(mix_stereo(1)[0], (128 * 100 * 16 * 256) >> 16);
    for (LSR_Sound& s : sounds) Soundsystem_DeleteSound(&s);
    EXPECT_EQ(soundsystem.numactive.load(), 0);

    LSR_Sound empty; // as a failed load leaves it
    lsr_sound::set_playing_defaults(empty);
    Soundsystem_PlaySound(&empty, 1);
    EXPECT_EQ(soundsystem.numactive.load(), 0);
    EXPECT_EQ(empty.playing.load(), 0);
    Soundsystem_PlaySound(&sounds[0], 1); // deleted: its data is gone
    EXPECT_EQ(soundsystem.numactive.load(), 0);
}

std::uint32_t g_refills = 0;
void count_refill(void* data, std::uint32_t size) {
    ++g_refills;
    auto* samples = static_cast<std::int16_t*>(data);
    for (std::uint32_t i = 0; i < size / 2; ++i)
        samples[i] = static_cast<std::int16_t>(g_refills * 1000);
}

TEST_F(Mixer, StreamsRefillThroughTheirCallbackAndNeverStop) {
    LSR_Sound s;
    g_refills = 0;
    Soundsystem_CreateSoundStream(&s, count_refill, 44100, 16, 1, 100);
    s.left = 255;
    Soundsystem_PlaySound(&s, 0);
    const auto out = mix_stereo();
    EXPECT_EQ(g_refills, 20u); // 2048 frames of 100
    EXPECT_EQ(out[0], 0);      // created silent
    EXPECT_EQ(out[2 * 99], 0);
    EXPECT_EQ(out[2 * 100], (255 * 1000 * 256) >> 16);
    EXPECT_EQ(out[2 * 2047], (255 * 20000 * 256) >> 16);
    EXPECT_EQ(soundsystem.numactive.load(), 1);
    Soundsystem_DeleteSound(&s);

    // A stereo stream plays its whole buffer, both channels' samples, before each refill.
    LSR_Sound st;
    g_refills = 0;
    Soundsystem_CreateSoundStream(&st, count_refill, 44100, 16, 2, 100);
    EXPECT_EQ(st.size.load(), 400u);
    Soundsystem_PlaySound(&st, 0);
    mix_stereo();
    EXPECT_EQ(g_refills, 20u);
    Soundsystem_DeleteSound(&st);
}

TEST_F(Mixer, EightBitOutputAndSamples) {
    start(22050, 8, 1);
    ASSERT_EQ(soundsystem.mixbuffersize.load(), 2048u * 4);
    LSR_Sound loud;
    make_sound16(loud, {32767, -32768}, 22050);
    loud.volume = 255;
    LSR_Sound eight;
    make_sound(eight, std::vector<std::uint8_t>{0xC0, 0x40}, 22050); // +64 and -64, times 256

    std::vector<std::uint8_t> out(4);
    Soundsystem_PlaySound(&loud, 1);
    LSR_MixBuffers(out.data(), 4);
    EXPECT_EQ(out[0], 255); // 32639 >> 8 = 127, + 128
    EXPECT_EQ(out[1], 0);   // -32640 >> 8 = -128, + 128
    Soundsystem_StopSound(&loud);
    Soundsystem_PlaySound(&eight, 1);
    LSR_MixBuffers(out.data(), 4);
    EXPECT_EQ(out[0], 128 + ((255 * 64 * 256 * 256) >> 24));
    EXPECT_EQ(out[1], 128 - ((255 * 64 * 256 * 256) >> 24) - 1);
    Soundsystem_DeleteSound(&loud);
    Soundsystem_DeleteSound(&eight);
}

TEST_F(Mixer, LongBuffersAndLongSoundsStayInRange) {
    // More frames than the mixing buffer holds: mixed in turns, continuous across them.
    std::vector<std::int16_t> ramp(8000);
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::int16_t>(i);
    LSR_Sound r;
    make_sound16(r, ramp, 44100);
    r.left = 255;
    Soundsystem_PlaySound(&r, 0);
    const auto out = mix_stereo(6000);
    for (std::size_t f : {2047u, 2048u, 2049u, 4096u, 5999u}) {
        EXPECT_EQ(out[2 * f], (255 * static_cast<int>(f) * 256) >> 16) << f;
    }
    Soundsystem_DeleteSound(&r);

    // More than 2^24 samples: the end lies beyond what a 32-bit 24.8 position holds.
    std::vector<std::int16_t> big(20'000'000, 1000);
    LSR_Sound l;
    make_sound(l, big, 44100, 1, false);
    Soundsystem_PlaySound(&l, 0);
    l.position = std::uint64_t{19'999'000} << 8;
    const auto tail = mix_stereo();
    EXPECT_EQ(tail[2 * 999], 500);
    EXPECT_EQ(tail[2 * 1000], 0);
    EXPECT_EQ(soundsystem.numactive.load(), 0);
    l.data = nullptr; // not ours to free
    --soundsystem.numsounds;
}

// Another thread mixes all along while sounds are made, played, changed, stopped and deleted, round
// after round: no pass may read samples before they are written or after they are freed, and no
// deleted sound may stay in the table, whichever thread took the others out.
TEST_F(Mixer, SoundsComeAndGoWhileAnotherThreadMixes) {
    constexpr auto relaxed = std::memory_order_relaxed;
    const std::uint32_t in_use = g_mem_in_use.load();
    std::atomic<bool> done{false};
    std::atomic<std::uint32_t> passes{0};
    std::thread audio([&] {
        std::vector<std::int16_t> out(2 * 64);
        while (!done.load(relaxed)) {
            LSR_MixBuffers(out.data(), static_cast<std::uint32_t>(out.size() * 2));
            passes.fetch_add(1, relaxed);
        }
    });
    for (int round = 0; round < 500; ++round) {
        std::vector<std::unique_ptr<LSR_Sound>> sounds;
        for (int k = 0; k < 4; ++k) {
            auto s = std::make_unique<LSR_Sound>();
            // The first is a few frames long and ends by itself inside a pass.
            make_sound16(*s, std::vector<std::int16_t>(k == 0 ? 3 : 300, 1000), 44100);
            Soundsystem_PlaySound(s.get(), k % 2);
            sounds.push_back(std::move(s));
        }
        for (std::uint32_t seen = passes.load(relaxed); passes.load(relaxed) == seen;)
            std::this_thread::yield();
        for (auto& s : sounds) {
            Soundsystem_SetVolume(s.get(), round % 256);
            Soundsystem_SetPanning(s.get(), (round * 7) % 256);
            Soundsystem_SetFrequency(s.get(), 11025 + 100 * static_cast<std::uint32_t>(round));
        }
        Soundsystem_StopSound(sounds[1].get());
        for (auto& s : sounds) Soundsystem_DeleteSound(s.get());
        for (const auto& slot : active_sounds)
            for (auto& s : sounds) ASSERT_NE(slot.load(), s.get()) << "round " << round;
    }
    done = true;
    audio.join();
    EXPECT_EQ(soundsystem.numactive.load(), 0);
    EXPECT_EQ(g_mem_in_use.load(), in_use);
}

class AudioRing : public Mixer {
  protected:
    void TearDown() override {
        Mixer::TearDown();
        exitflag = 0;
    }
    static const void* slot(std::uint32_t i) {
        return g_audio_buffer.load() + i * g_buffer_size.load();
    }
};

// What opening prints, the format asked of the device, and four silent buffers queued in slot
// order; without a device nothing is queued and the mixer runs on for a caller that drives it.
TEST_F(AudioRing, OpeningPrintsItsStepsAndQueuesFourSilentBuffers) {
    const struct {
        bool card;
        std::uint32_t rate, bits, channels;
        const char* said;
        std::uint16_t align;
        std::uint8_t silence;
    } cases[] = {
        {true, 44100, 16, 2,
         "sample size: 4\nbuffer size: 8192\nopen waveout\nAUDIO: opening audio device "
         "succesful!\naudio opened\nsoundsystem bufferlength = 2048\n",
         4, 0},
        {true, 22050, 8, 1,
         "sample size: 1\nbuffer size: 2048\nopen waveout\nAUDIO: opening audio device "
         "succesful!\naudio opened\nsoundsystem bufferlength = 2048\n",
         1, 0x80},
        {false, 44100, 16, 2,
         "sample size: 4\nbuffer size: 8192\nopen waveout\nAUDIO: error opening audio buffer\n"
         "soundsystem bufferlength = 8192\n",
         4, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rate);
        start(c.rate, c.bits, c.channels, c.card);
        EXPECT_EQ(init_output, c.said);
        const auto queued = headless::wave_queued_data();
        ASSERT_EQ(queued.size(), c.card ? 4u : 0u);
        if (!c.card) continue;
        EXPECT_EQ(g_wf.avg_bytes_per_sec, c.rate * c.align);
        EXPECT_EQ(g_wf.block_align, c.align);
        for (std::uint32_t i = 0; i < 4; ++i) {
            EXPECT_EQ(queued[i], slot(i));
            const auto* b = static_cast<const std::uint8_t*>(queued[i]);
            EXPECT_EQ(std::count(b, b + g_buffer_size.load(), c.silence), g_buffer_size.load());
        }
    }
    LSR_audio_stop();
    LSR_audio_stop();
}

TEST_F(AudioRing, EachCompletionRefillsTheSlotJustPlayedInRingOrder) {
    LSR_Sound tone;
    make_sound16(tone, {10000}, 44100);
    Soundsystem_PlaySound(&tone, 1);
    for (std::uint32_t n = 1; n <= 5; ++n) {
        ASSERT_TRUE(headless::wave_complete_oldest());
        const auto queued = headless::wave_queued_data();
        ASSERT_EQ(queued.size(), 4u);
        EXPECT_EQ(queued.back(), slot((n - 1) % 4)) << n;
        EXPECT_EQ(g_cur_buf.load(), n % 4) << n;
        std::int16_t first;
        std::memcpy(&first, queued.back(), 2);
        EXPECT_EQ(first, 5000) << n; // mixed after queueing
    }
    // The fifth refilled slot 0 again; the oldest now is slot 1.
    EXPECT_EQ(headless::wave_queued_data().front(), slot(1));
    Soundsystem_DeleteSound(&tone);
}

// Pause and resume switch the output only when needed; a paused output finishes nothing, and once
// the program is closing a finished buffer is not refilled.
TEST_F(AudioRing, PauseResumeAndClosingHoldTheRing) {
    LSR_audio_pause();
    LSR_audio_pause();
    EXPECT_FALSE(headless::wave_complete_oldest());
    LSR_audio_resume();
    LSR_audio_resume();
    const auto wave = headless::wave_state();
    EXPECT_EQ(wave.pauses * 10 + wave.restarts, 11u);
    EXPECT_FALSE(wave.paused);
    EXPECT_EQ(g_audio_paused.load(), 0u);
    EXPECT_TRUE(headless::wave_complete_oldest());
    EXPECT_EQ(headless::wave_queued_count(), 4u);
    exitflag = 1;
    EXPECT_TRUE(headless::wave_complete_oldest());
    EXPECT_EQ(headless::wave_queued_count(), 3u);
    EXPECT_EQ(g_cur_buf.load(), 1u);
}

TEST_F(AudioRing, PullStyleHandsOutAndQueuesTheCurrentSlot) {
    headless::wave_complete_oldest();
    headless::wave_complete_oldest();
    void* data = nullptr;
    std::int32_t length = 0;
    EXPECT_EQ(LSR_audio_getbuffer(&data, &length), 1);
    EXPECT_EQ(data, slot(2));
    EXPECT_EQ(length, 8192);
    EXPECT_EQ(g_buffer_waiting.load(), 1u);
    EXPECT_EQ(LSR_audio_getbuffer(nullptr, nullptr), 1);
    EXPECT_EQ(LSR_audio_submitbuffer(), 3u);
    EXPECT_EQ(g_buffer_waiting.load(), 0u);
    EXPECT_EQ(headless::wave_queued_data().back(), slot(2));

    LSR_audio_stop();
    EXPECT_EQ(LSR_audio_getbuffer(&data, &length), 0); // nothing open: nothing handed out
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(length, 0);
}

TEST_F(AudioRing, StopAndReopenCloseTheOutputAndReleaseTheBlock) {
    testing::internal::CaptureStdout();
    LSR_audio_setformat(44100, 16, 0, 2); // opening again closes first
    testing::internal::GetCapturedStdout();
    auto wave = headless::wave_state();
    EXPECT_EQ(std::vector<std::uint32_t>({wave.opens, wave.resets, wave.closes}),
              std::vector<std::uint32_t>({2, 1, 1}));
    EXPECT_EQ(headless::wave_queued_count(), 4u);

    LSR_audio_stop();
    EXPECT_FALSE(headless::wave_state().open);
    EXPECT_EQ(g_audio_buffer.load(), nullptr);
    for (const LSR_WaveHeader& h : g_hdr) EXPECT_EQ(h.flags & LSR_WHDR_PREPARED, 0u);
    EXPECT_FALSE(headless::wave_complete_oldest());
}

// Completions keep arriving from another thread while the worker plays, stops and finally
// closes the output: no refill may touch the block after it is released.
TEST_F(AudioRing, CompletionsFromTheAudioThreadRaceSafelyWithTheWorker) {
    std::vector<LSR_Sound> sounds(4);
    for (LSR_Sound& s : sounds) make_sound16(s, {10000}, 44100);
    std::atomic<bool> done{false};
    std::atomic<std::uint32_t> completions{0};
    std::thread audio([&] {
        while (!done.load(std::memory_order_relaxed)) {
            if (headless::wave_complete_oldest()) {
                completions.fetch_add(1, std::memory_order_relaxed);
            } else {
                std::this_thread::yield();
            }
        }
    });
    for (int round = 0; round < 2000; ++round) {
        LSR_Sound& s = sounds[static_cast<std::size_t>(round) % sounds.size()];
        Soundsystem_PlaySound(&s, round % 3);
        Soundsystem_SetVolume(&s, round % 256);
        Soundsystem_SetPanning(&s, (round * 7) % 256);
        if (round % 5 == 0)
            Soundsystem_StopSound(&sounds[(static_cast<std::size_t>(round) + 1) % 4]);
        if (round == 1000) LSR_audio_pause();
        if (round == 1100) LSR_audio_resume();
        if (round % 50 == 0) std::this_thread::yield();
    }
    while (completions.load(std::memory_order_relaxed) < 20) std::this_thread::yield();
    LSR_audio_stop(); // completions still being attempted on the other thread
    EXPECT_EQ(g_audio_buffer.load(), nullptr);
    done = true;
    audio.join();
    EXPECT_EQ(headless::wave_queued_count(), 0u);
    for (LSR_Sound& s : sounds) Soundsystem_DeleteSound(&s);
}

} // namespace
