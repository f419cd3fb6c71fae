// The ring of four output buffers on the headless wave output, completed one buffer at a time.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
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

class AudioRing : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::wave_reset_controls();
        exitflag = 0;
    }
    void TearDown() override {
        Soundsystem_Closedown();
        exitflag = 0;
    }

    // Opens the output the way the program does, returning what it printed.
    static std::string init(std::uint32_t rate = 44100, std::uint32_t bits = 16,
                            std::uint32_t channels = 2) {
        testing::internal::CaptureStdout();
        Soundsystem_Init(rate, 8192, bits, channels);
        return testing::internal::GetCapturedStdout();
    }

    static const void* slot(std::uint32_t i) {
        return g_audio_buffer.load() + i * g_buffer_size.load();
    }
};

// A loud looping sound, so that a refilled buffer is told apart from a silent one.
void make_tone(LSR_Sound& s) {
    lsr_sound::clear_record(s);
    auto* data = static_cast<std::int16_t*>(_wrap_malloc_dbg(2, "test", 1));
    data[0] = 10000;
    s.channels = 1;
    s.bits = 16;
    s.frequency = 44100;
    s.size = 2;
    s.length = 1;
    s.data = data;
    lsr_sound::set_playing_defaults(s);
}

bool all_bytes(const void* data, std::uint32_t bytes, std::uint8_t value) {
    const auto* b = static_cast<const std::uint8_t*>(data);
    for (std::uint32_t i = 0; i < bytes; ++i) {
        if (b[i] != value) return false;
    }
    return true;
}

TEST_F(AudioRing, OpensStereoAtFourBytesAFrameWithFourSilentBuffersQueued) {
    const std::string out = init();
    EXPECT_EQ(out, "sample size: 4\nbuffer size: 8192\nopen waveout\n"
                   "AUDIO: opening audio device succesful!\naudio opened\n"
                   "soundsystem bufferlength = 2048\n");
    EXPECT_EQ(g_wf.avg_bytes_per_sec, 44100u * 4);
    EXPECT_EQ(g_wf.block_align, 4);

    const auto queued = headless::wave_queued_data();
    ASSERT_EQ(queued.size(), 4u);
    for (std::uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(queued[i], slot(i));
        EXPECT_TRUE(all_bytes(queued[i], 8192, 0)) << i;
    }

    // An 8-bit mono ring: one byte a frame, silence is 0x80.
    Soundsystem_Closedown();
    EXPECT_EQ(init(22050, 8, 1).substr(0, 33), "sample size: 1\nbuffer size: 2048\n");
    EXPECT_TRUE(all_bytes(g_audio_buffer.load(), 4 * 2048, 0x80));
}

TEST_F(AudioRing, OnlyEightOrSixteenBitsOpen) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(LSR_audio_setformat(44100, 12, 0, 2), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(headless::wave_state().opens, 0u);
    EXPECT_EQ(g_audio_buffer.load(), nullptr);

    EXPECT_EQ(LSR_audio_setformat(0, 16, 0, 2), 1); // a rate of 0 only closes
    EXPECT_EQ(headless::wave_state().opens, 0u);
}

TEST_F(AudioRing, EachCompletionRefillsTheSlotJustPlayedInRingOrder) {
    init();
    LSR_Sound tone;
    make_tone(tone);
    Soundsystem_PlaySound(&tone, 1);
    for (std::uint32_t n = 1; n <= 5; ++n) {
        ASSERT_TRUE(headless::wave_complete_oldest());
        const auto queued = headless::wave_queued_data();
        ASSERT_EQ(queued.size(), 4u);
        const std::uint32_t refilled = (n - 1) % 4;
        EXPECT_EQ(queued.back(), slot(refilled)) << n;
        EXPECT_EQ(g_cur_buf.load(), n % 4) << n;
        std::int16_t first;
        std::memcpy(&first, queued.back(), 2);
        EXPECT_EQ(first, 5000) << n; // mixed after queueing
    }
    // The fifth refilled slot 0 again; the oldest now is slot 1.
    EXPECT_EQ(headless::wave_queued_data().front(), slot(1));
    Soundsystem_DeleteSound(&tone);
}

TEST_F(AudioRing, PauseAndResumeOnlySwitchWhenNeeded) {
    init();
    LSR_audio_pause();
    LSR_audio_pause();
    EXPECT_FALSE(headless::wave_complete_oldest()); // a paused output finishes nothing
    LSR_audio_resume();
    LSR_audio_resume();
    const auto wave = headless::wave_state();
    EXPECT_EQ(wave.pauses, 1u);
    EXPECT_EQ(wave.restarts, 1u);
    EXPECT_FALSE(wave.paused);
    EXPECT_EQ(g_audio_paused.load(), 0u);
    EXPECT_TRUE(headless::wave_complete_oldest());
    EXPECT_EQ(headless::wave_queued_count(), 4u);
}

TEST_F(AudioRing, NoRefillOnceTheProgramIsClosing) {
    init();
    exitflag = 1;
    EXPECT_TRUE(headless::wave_complete_oldest());
    EXPECT_EQ(headless::wave_queued_count(), 3u);
    EXPECT_EQ(g_cur_buf.load(), 0u);
}

TEST_F(AudioRing, PullStyleHandsOutAndQueuesTheCurrentSlot) {
    init();
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

TEST_F(AudioRing, WithoutASoundCardTheMixerRunsOnSilently) {
    headless::wave_set_open_result(false);
    const std::string out = init();
    EXPECT_EQ(out, "sample size: 4\nbuffer size: 8192\nopen waveout\n"
                   "AUDIO: error opening audio buffer\n"
                   "soundsystem bufferlength = 8192\n");
    EXPECT_EQ(headless::wave_queued_count(), 0u);
    // The mixer still works for a caller that drives it.
    std::vector<std::int16_t> buffer(4096, 7);
    LSR_MixBuffers(buffer.data(), 8192);
    for (std::int16_t v : buffer) ASSERT_EQ(v, 0);
    LSR_audio_stop();
    LSR_audio_stop();
}

TEST_F(AudioRing, StopAndReopenCloseTheOutputAndReleaseTheBlock) {
    init();
    testing::internal::CaptureStdout();
    LSR_audio_setformat(44100, 16, 0, 2); // opening again closes first
    testing::internal::GetCapturedStdout();
    auto wave = headless::wave_state();
    EXPECT_EQ(wave.opens, 2u);
    EXPECT_EQ(wave.resets, 1u);
    EXPECT_EQ(wave.closes, 1u);
    EXPECT_EQ(headless::wave_queued_count(), 4u);

    LSR_audio_stop();
    wave = headless::wave_state();
    EXPECT_FALSE(wave.open);
    EXPECT_EQ(g_audio_buffer.load(), nullptr);
    for (const LSR_WaveHeader& h : g_hdr) EXPECT_EQ(h.flags & LSR_WHDR_PREPARED, 0u);
    EXPECT_FALSE(headless::wave_complete_oldest());
}

// Completions keep arriving from another thread while the worker plays, stops and finally
// closes the output: no refill may touch the block after it is released.
TEST_F(AudioRing, CompletionsFromTheAudioThreadRaceSafelyWithTheWorker) {
    init();
    std::vector<LSR_Sound> sounds(4);
    for (LSR_Sound& s : sounds) make_tone(s);
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
