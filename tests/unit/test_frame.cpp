// Counted allocation, block routines, debug text, and the window and worker threads together.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "headless.h"
#include "headless_wave.h"
#include "lodestar/base/debug.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/frame/init.h"
#include "lodestar/frame/internal/window.h"
#include "lodestar/input/input.h"
#include "lodestar/platform_types.h"
#include "lodestar/sound/internal/audio.h"
#include "lodestar/sound/soundsystem.h"
#include "lodestar/video/internal/driver.h"
#include "test_tarnmain.h"

namespace {

TEST(Memory, CountedBlocksReturnTheCountersAndKeepThePeak) {
    const std::uint32_t before = g_mem_in_use.load();
    void* a = _wrap_malloc_dbg(10, "test", 1);
    ASSERT_NE(a, nullptr);
    const std::uint32_t held = g_mem_in_use.load() - before;
    EXPECT_GE(held, 10u); // the usable size, at least what was asked
    EXPECT_GE(g_mem_in_use_peak.load(), before + held);
    _wrap_free_dbg(a, "test", 2);
    EXPECT_EQ(g_mem_in_use.load(), before);
    EXPECT_GE(g_mem_in_use_peak.load(), before + held);

    testing::internal::CaptureStdout();
    _wrap_free_dbg(nullptr, "graphics/sprite", 77);
    wrap_showusage();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "graphics/sprite(77): wrap_free() tried to free a NULL pointer!\n"
                   "memory usage: " +
                       std::to_string(before) +
                       " (peak: " + std::to_string(g_mem_in_use_peak.load()) + ")\n");
    EXPECT_EQ(g_mem_in_use.load(), before);
}

TEST(Memory, BlockRoutinesCopyAndFillExactly) {
    unsigned char buf[12];
    std::memset(buf, 0x11, sizeof buf);
    wrap_memset(buf + 1, 0xAB, 7); // unaligned, one word and three bytes
    EXPECT_EQ(buf[0], 0x11);
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(buf[i], 0xAB) << i;
    EXPECT_EQ(buf[8], 0x11);
    wrap_memclr(buf + 8, 2);
    EXPECT_EQ(buf[9], 0);
    EXPECT_EQ(buf[10], 0x11);

    const unsigned char src[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    unsigned char dst[8] = {};
    wrap_memcpy(dst + 1, src, 6);
    EXPECT_EQ(std::memcmp(dst + 1, src, 6), 0);
    EXPECT_EQ(dst[0], 0);
    EXPECT_EQ(dst[7], 0);

    std::uint16_t s16[3] = {1, 2, 3}, d16[4] = {};
    wrap_memcpy16(d16, s16, 3);
    EXPECT_EQ(d16[2], 3);
    EXPECT_EQ(d16[3], 0);
    std::uint32_t s32[2] = {0xDEADBEEF, 7}, d32[3] = {};
    wrap_memcpy32(d32, s32, 2);
    EXPECT_EQ(d32[0], 0xDEADBEEFu);
    EXPECT_EQ(d32[2], 0u);
}

TEST(Debug, UpcaseOnlyTouchesLetters) {
    char name[] = "font_heat.tga";
    EXPECT_EQ(upcase(name), name);
    EXPECT_STREQ(name, "FONT_HEAT.TGA");
    char mixed[] = "a{z`Z@\xe4";
    upcase(mixed);
    EXPECT_STREQ(mixed, "A{Z`Z@\xe4");
}

TEST(DebugDeathTest, AssertionAndErrorEndTheProcessWithStatusOne) {
    EXPECT_EXIT(_dbg_assert("graphics/bitmap", 250, "src.data"), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(error("out of cheese"), testing::ExitedWithCode(1), "");
}

// Runs body in a child whose standard output is a pipe; returns what reached the pipe.
std::string output_of_child(void (*body)()) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        body();
        std::_Exit(3);
    }
    close(fds[1]);
    std::string out;
    char chunk[4096];
    ssize_t n;
    while ((n = read(fds[0], chunk, sizeof chunk)) > 0) out.append(chunk, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return out;
}

TEST(Debug, TextWithoutLineEndReachesAPipeWhenTheProcessEndsAbruptly) {
    // A pipe makes the standard output fully buffered; the process then ends without flushing.
    const std::string out = output_of_child([] {
        _dbg_printf("Loading TGA image.");
        _dbg_printf("%s(%d): assertion failed: %s\n", "a", 1, "b");
        _dbg_printf("%s", std::string(3000, 'x').c_str());
    });
    EXPECT_EQ(out, "Loading TGA image.a(1): assertion failed: b\n" + std::string(3000, 'x'));

    const std::string asserted =
        output_of_child([] { _dbg_assert("graphics/bitmap", 214, "src.data"); });
    EXPECT_EQ(asserted, "graphics/bitmap(214): assertion failed: src.data\n");
    EXPECT_EQ(output_of_child([] { error("boom"); }), "Error: boom\n");
}

// The real window thread and worker thread: messages fed to the window procedure on one thread,
// the key word read on another, and the close message ending both.
TEST(Threads, WindowThreadFeedsTheWorkerAndCloseEndsBoth) {
    headless::reset();
    std::atomic<std::uint32_t> seen{0};
    std::atomic<int> polls{0};
    test_tarnmain_body = [&] {
        LSR_SetTitle("worker title");
        while (!headless::worker_stop_requested()) {
            std::uint32_t keys = 0;
            LSR_GetKeys(&keys, nullptr);
            seen.store(keys, std::memory_order_relaxed);
            polls.fetch_add(1, std::memory_order_relaxed);
            std::this_thread::yield();
        }
        return 0;
    };

    testing::internal::CaptureStdout();
    std::atomic<int> result{-1};
    std::thread window_thread([&] { result = WinMain(nullptr, nullptr, nullptr, 5); });

    auto wait_for = [](auto condition) {
        for (int i = 0; i < 5000 && !condition(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return condition();
    };
    headless::post_message({nullptr, WM_KEYDOWN, VK_SPACE, 0});
    headless::post_message({nullptr, WM_KEYDOWN, VK_UP, 0});
    EXPECT_TRUE(wait_for([&] { return seen.load() == 0x11u; }));
    headless::post_message({nullptr, WM_KEYUP, VK_SPACE, 0});
    EXPECT_TRUE(wait_for([&] { return seen.load() == 0x01u; }));
    headless::post_message({nullptr, WM_CLOSE, 0, 0});
    window_thread.join();
    const std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(result.load(), 0);
    EXPECT_GT(polls.load(), 0);
    EXPECT_NE(out.find("closing windows\n"), std::string::npos);
    const auto w = headless::window();
    EXPECT_EQ(w.class_name, "LSR: ");
    EXPECT_EQ(w.title, "worker title");
    EXPECT_TRUE(w.shown);
    EXPECT_TRUE(w.destroyed);
    EXPECT_EQ(winhandle.load(), nullptr);
    EXPECT_EQ(wc.lpszClassName, nullptr);
    test_tarnmain_body = nullptr;
}

TEST(Threads, ReturningMainRoutineClosesDownAndQuits) {
    headless::reset();
    exitflag = 0;
    headless::wave_reset_controls();
    test_tarnmain_body = [] { return Soundsystem_Init(44100, 8192, 16, 2) - 1; };
    headless::set_class_registration_result(false);
    testing::internal::CaptureStdout();
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 5), 0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Could not register Window class.", 0), 0u);
    EXPECT_NE(out.find("closing windows\n"), std::string::npos);
    EXPECT_EQ(exitflag.load(), 1u);
    EXPECT_FALSE(headless::wave_state().open) << "closing down stops the sound";
    test_tarnmain_body = nullptr;
    Soundsystem_Closedown();
}

// Where no window can be made, nothing could ever end the program: it says why on the standard
// error and ends at once with a failure, its main routine never started.
TEST(Threads, NoWindowEndsTheProgramWithTheReason) {
    headless::reset();
    bool started = false;
    test_tarnmain_body = [&] {
        started = true;
        return 0;
    };
    headless::set_window_creation_result(false);
    testing::internal::CaptureStderr();
    EXPECT_NE(WinMain(nullptr, nullptr, nullptr, 5), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "no window: refused by the test\n");
    EXPECT_FALSE(started);
    test_tarnmain_body = nullptr;
    headless::reset();
}

} // namespace
