// Counted allocation, block routines, debug text, and the window and worker threads together.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "headless.h"
#include "headless_wave.h"
#include "lodestar/base/debug.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/frame/init.h"
#include "lodestar/frame/internal/window.h"
#include "lodestar/hw_common/timer.h"
#include "lodestar/input/input.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include "lodestar/sound/internal/audio.h"
#include "lodestar/sound/soundsystem.h"
#include "lodestar/video/internal/driver.h"
#include "test_tarnmain.h"

namespace {

TEST(Memory, CountedBlocksReturnTheCountersAndKeepThePeak) {
    const std::uint32_t before = g_mem_in_use.load();
    void* a = _wrap_malloc_dbg(10, "test", 1);
    char* time = LSR_timer_getlocaltime(); // a counted block of 256 bytes
    const std::uint32_t held = g_mem_in_use.load() - before;
    EXPECT_GE(held, 10u + 256u); // the usable sizes, at least what was asked
    _wrap_free_dbg(a, "test", 2);
    _wrap_free_dbg(time, "test", 3);
    EXPECT_EQ(g_mem_in_use.load(), before);
    EXPECT_GE(g_mem_in_use_peak.load(), before + held);
    testing::internal::CaptureStdout();
    _wrap_free_dbg(nullptr, "graphics/sprite", 77);
    wrap_showusage();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "graphics/sprite(77): wrap_free() tried to free a NULL pointer!\nmemory usage: " +
                  std::to_string(before) + " (peak: " + std::to_string(g_mem_in_use_peak.load()) +
                  ")\n");
}

TEST(Memory, BlockRoutinesCopyAndFillExactly) {
    // Unaligned: a fill of one word and three bytes, a clear, copies of bytes and words.
    std::string buf(12, '-');
    wrap_memset(buf.data() + 1, 'a', 7);
    wrap_memclr(buf.data() + 8, 2);
    wrap_memcpy(buf.data() + 10, "xyz", 1);
    EXPECT_EQ(buf, std::string("-aaaaaaa\0\0x-", 12));
    std::uint16_t s16[3] = {1, 2, 3}, d16[4] = {};
    wrap_memcpy16(d16, s16, 3);
    std::uint32_t s32[2] = {0xDEADBEEF, 7}, d32[3] = {};
    wrap_memcpy32(d32, s32, 2);
    EXPECT_EQ(std::vector<std::uint32_t>({d16[2], d16[3], d32[0], d32[1], d32[2]}),
              std::vector<std::uint32_t>({3, 0, 0xDEADBEEF, 7, 0}));
}

TEST(Debug, UpcaseOnlyTouchesLetters) {
    char name[] = "font_heat.tga";
    EXPECT_EQ(upcase(name), name);
    EXPECT_STREQ(name, "FONT_HEAT.TGA");
    char mixed[] = "a{z`Z@\xe4";
    upcase(mixed);
    EXPECT_STREQ(mixed, "A{Z`Z@\xe4");
}

// What body writes to its standard output, a pipe, in a child process that then ends; the child's
// exit status (3 when body returns) must be status.
std::string output_of_child(void (*body)(), int status = 3) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        body();
        std::_Exit(3);
    }
    close(fds[1]);
    std::string out;
    for (char c; read(fds[0], &c, 1) == 1;) out += c;
    close(fds[0]);
    int got = 0;
    waitpid(pid, &got, 0);
    EXPECT_EQ(got, status << 8) << "wait status";
    return out;
}

TEST(Debug, TextWithoutLineEndReachesAPipeWhenTheProcessEndsAbruptly) {
    // A pipe makes the standard output fully buffered; the process then ends without flushing.
    EXPECT_EQ(output_of_child([] {
                  _dbg_printf("Loading TGA image.");
                  _dbg_printf("%s(%d): assertion failed: %s\n", "a", 1, "b");
                  _dbg_printf("%s", std::string(3000, 'x').c_str());
              }),
              "Loading TGA image.a(1): assertion failed: b\n" + std::string(3000, 'x'));
    // An assertion and an error end the process with status 1.
    EXPECT_EQ(output_of_child([] { _dbg_assert("graphics/bitmap", 214, "src.data"); }, 1),
              "graphics/bitmap(214): assertion failed: src.data\n");
    EXPECT_EQ(output_of_child([] { error("boom"); }, 1), "Error: boom\n");
}

// WinMain with the test's main routine, on a fresh headless platform.
class Threads : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset();
        headless::wave_reset_controls();
        exitflag = 0;
    }
    void TearDown() override {
        test_tarnmain_body = nullptr;
        Soundsystem_Closedown();
        headless::reset();
    }
};

// The real window thread and worker thread: messages fed to the window procedure on one thread,
// the key word read on another, and the close message ending both.
TEST_F(Threads, WindowThreadFeedsTheWorkerAndCloseEndsBoth) {
    std::atomic<std::uint32_t> seen{0};
    test_tarnmain_body = [&] {
        LSR_SetTitle("worker title");
        while (!headless::worker_stop_requested()) {
            std::uint32_t keys = 0;
            LSR_GetKeys(&keys, nullptr);
            seen.store(keys, std::memory_order_relaxed);
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
    EXPECT_NE(out.find("closing windows\n"), std::string::npos);
    const auto w = headless::window();
    EXPECT_EQ(w.class_name + "|" + w.title + "|" + std::to_string(w.shown * 10 + w.destroyed),
              "LSR: |worker title|11");
    EXPECT_TRUE(winhandle.load() == nullptr && wc.lpszClassName == nullptr);
}

// A main routine that returns closes the program down and quits, even without a window class;
// where no window can be made, nothing could ever end the program: it says why on the standard
// error and fails at once, its main routine never started.
TEST_F(Threads, WinMainClosesDownWhenTheMainRoutineReturnsAndFailsWithoutAWindow) {
    int started = 0;
    test_tarnmain_body = [&] {
        ++started;
        return Soundsystem_Init(44100, 8192, 16, 2) - 1;
    };
    headless::set_class_registration_result(false);
    testing::internal::CaptureStdout();
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 5), 0);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Could not register Window class.", 0), 0u);
    EXPECT_NE(out.find("closing windows\n"), std::string::npos);
    EXPECT_EQ(exitflag.load() * 10 + started, 11u);
    EXPECT_FALSE(headless::wave_state().open) << "closing down stops the sound";
    SetUp();
    headless::set_window_creation_result(false);
    testing::internal::CaptureStderr();
    EXPECT_NE(WinMain(nullptr, nullptr, nullptr, 5), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "no window: refused by the test\n");
    EXPECT_EQ(started, 1);
}

// The game mounts its archive from its own file: the path must name this very program.
TEST(Seam, TheExecutablePathNamesTheRunningProgram) {
    PlatFileId self{}, named{};
    ASSERT_TRUE(plat_file_id("/proc/self/exe", &self));
    ASSERT_TRUE(plat_file_id(plat_executable_path().c_str(), &named));
    EXPECT_EQ(named.device, self.device);
    EXPECT_EQ(named.inode, self.inode);
}

} // namespace
