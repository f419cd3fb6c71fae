// The window procedure and the input state it leaves, the readers over it, the key maps and
// the controllers; the window and worker threads together; counted memory, block routines and
// debug text.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "fnv.h"
#include "headless.h"
#include "headless_wave.h"
#include "lodestar/base/debug.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/frame/init.h"
#include "lodestar/frame/internal/window.h"
#include "lodestar/hw_common/timer.h"
#include "lodestar/input/input.h"
#include "lodestar/input/internal/raw_input.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include "lodestar/sound/internal/audio.h"
#include "lodestar/sound/soundsystem.h"
#include "lodestar/video/internal/driver.h"
#include "picture.h"
#include "test_tarnmain.h"

namespace {

void send(std::uint32_t message, WPARAM wparam = 0, LPARAM lparam = 0) {
    WIN32_WndProc(nullptr, message, wparam, lparam);
}

// A fresh headless platform and input state; WinMain runs the test's main routine.
class Frame : public ::testing::Test {
  protected:
    void SetUp() override { reset(); }
    void TearDown() override {
        test_tarnmain_body = nullptr;
        Soundsystem_Closedown();
        headless::reset();
    }
    static void reset() {
        headless::reset();
        headless::wave_reset_controls();
        exitflag = 0;
        for (auto& k : LSR_keys) k.store(0);
        g_keycode = LSR_input_prevkeycode = g_mouse_buttons = 0;
        g_mouse_z = g_mouse_zdir = 0;
        LSR_Initialise();
    }
};

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
    EXPECT_EQ(picture::printed([] {
                  _wrap_free_dbg(nullptr, "graphics/sprite", 77);
                  wrap_showusage();
              }),
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
    char name[] = "font_heat.tga a{z`Z@\xe4";
    EXPECT_EQ(upcase(name), name);
    EXPECT_STREQ(name, "FONT_HEAT.TGA A{Z`Z@\xe4");
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

// The readers, run as if they were messages (a wparam of 1: with null pointers); a pointer move
// first sets the pointer to (wparam, lparam).
enum : std::uint32_t { GET_KEYS = 0x10000, GET_KEYCODE, GET_MOUSE, GET_MOUSEZ };

// After each event: the keys held | the key code | what a reader returned | mouse buttons, wheel
// position and last turn, window size, active, cursor shown.
std::string after(std::uint32_t message, WPARAM wparam, LPARAM lparam) {
    std::uint32_t a = 0, b = 0;
    std::int32_t x = 0, y = 0, z = 0;
    if (message == GET_KEYS) LSR_GetKeys(wparam ? nullptr : &a, wparam ? nullptr : &b);
    if (message == GET_KEYCODE) LSR_GetKeycode(&a, &b);
    if (message == GET_MOUSE) LSR_GetMouse(&x, &y, &z);
    if (message == GET_MOUSEZ) LSR_GetMouseZ(&z, &x);
    if (message == WM_MOUSEMOVE) headless::set_pointer(std::int32_t(wparam), std::int32_t(lparam));
    if (message < GET_KEYS) send(message, wparam, lparam);
    std::string out;
    for (std::size_t k = 0; k < 256; ++k)
        if (LSR_keys[k].load() != 0) out += std::to_string(k) + " ";
    char rest[96];
    std::snprintf(rest, sizeof rest, "| %u | %u %u %d %d %d | %u %d %d %dx%d %u %d",
                  g_keycode.load(), a, b, x, y, z, g_mouse_buttons.load(), g_mouse_z.load(),
                  g_mouse_zdir.load(), windowwidth.load(), windowheight.load(), appactive.load(),
                  headless::window().cursor_visible);
    return out + rest;
}

// A transcript of what each event leaves, pinned. On the way: a key is recorded by its low byte
// (Space as 0x120), an auto-repeat changes nothing, releasing a key clears the code only when it is
// the last pressed; the digit 1 shares Return's bit; a poll with null pointers still moves the
// previous word on; releasing a key clears the previous code too (no change reported); the high
// half of a size is signed; the pointer hides over the client area, not on the row below it, and
// stays hidden. Wheel turns of 120, -120, -240 and 0; sizes of 16 by -2 and 640 by 480.
struct Event {
    std::uint32_t message;
    std::int64_t wparam, lparam;
};

TEST_F(Frame, InputMessagesAndReadersLeaveTheirPinnedTranscript) {
    // clang-format off
    const Event events[] = {
        {WM_KEYDOWN, VK_UP, 0}, {WM_KEYDOWN, 0x120, 0}, {WM_KEYUP, VK_SPACE, 0},
        {WM_KEYDOWN, VK_UP, 0}, {WM_SYSKEYDOWN, VK_MENU, 0}, {WM_KEYDOWN, 'A', 0},
        {WM_KEYDOWN, 'B', 0}, {WM_KEYUP, 'A', 0}, {WM_KEYUP, 'B', 0},
        {WM_KEYDOWN, VK_RETURN, 0}, {GET_KEYS, 0, 0}, {WM_KEYDOWN, '1', 0}, {GET_KEYS, 0, 0},
        {WM_KEYDOWN, VK_SPACE, 0}, {GET_KEYS, 1, 0}, {GET_KEYS, 0, 0},
        {GET_KEYCODE, 0, 0}, {GET_KEYCODE, 0, 0}, {WM_KEYUP, VK_SPACE, 0}, {GET_KEYCODE, 0, 0},
        {WM_LBUTTONDOWN, 0, 0}, {WM_MBUTTONDOWN, 0, 0}, {WM_RBUTTONDOWN, 0, 0},
        {WM_LBUTTONUP, 0, 0}, {WM_MBUTTONUP, 0, 0}, {WM_RBUTTONUP, 0, 0}, {WM_RBUTTONDOWN, 0, 0},
        {WM_MOUSEWHEEL, 0x00780008, 0}, {GET_MOUSEZ, 0, 0}, {GET_MOUSEZ, 0, 0},
        {WM_MOUSEWHEEL, 0xFF880008, 0}, {WM_MOUSEWHEEL, 0xFF100008, 0}, {WM_MOUSEWHEEL, 0x8, 0},
        {WM_SIZE, 0, 0xFFFE0010}, {WM_ACTIVATEAPP, 1, 0}, {WM_ACTIVATEAPP, 0, 0},
        {WM_SIZE, 0, 0x01E00280}, {WM_MOUSEMOVE, 639, 480}, {WM_MOUSEMOVE, 639, 479},
        {WM_MOUSEMOVE, -5, 700}, {GET_MOUSE, 0, 0},
    };
    // clang-format on
    std::string transcript;
    for (const auto& e : events)
        transcript += after(e.message, WPARAM(e.wparam), LPARAM(e.lparam)) + "\n";
    Fnv f;
    f.add(transcript.data(), transcript.size());
    EXPECT_EQ(f.sum, 0x2D9D7DFA43F28012u) << transcript;
    for (std::uint32_t message : {WM_CLOSE, WM_DESTROY}) {
        headless::reset();
        send(message);
        LSR_MSG m;
        EXPECT_FALSE(plat_get_message(&m)) << message << " posts the quit message";
    }
}

// Every virtual key pressed alone: its bit of the key word and its key code, pinned.
TEST_F(Frame, InputEveryKeyHasItsPinnedWordBitAndCode) {
    std::string map; // the keys with a bit or a code of their own, each with them
    for (std::uint32_t vk = 0; vk < 256; ++vk) {
        send(WM_KEYDOWN, vk);
        const std::uint32_t bit = LSR_ll_input_get_keys(), code = LSR_input_keycode_for(vk);
        send(WM_KEYUP, vk);
        if (bit != 0 || code != vk)
            map +=
                std::to_string(vk) + ":" + std::to_string(bit) + "/" + std::to_string(code) + " ";
    }
    Fnv f;
    f.add(map.data(), map.size());
    EXPECT_EQ(f.sum, 0x18CC80237C50A630u) << map;
}

TEST_F(Frame, InputControllersAreKeysMouseAndEachJoystickMapped) {
    EXPECT_EQ(LSR_input_initcontrollers(), 3);
    headless::set_joystick(PlatJoystick{0, 65535, 32767, 32766, 0xB0F}); // buttons 1-4, 9, 10, 12
    EXPECT_EQ(picture::printed([] { EXPECT_EQ(LSR_input_initcontrollers(), 7); }),
              "joystick found, id: 0\njoystick found, id: 1\njoystick found, id: 2\n"
              "joystick found, id: 3\n");
    send(WM_KEYDOWN, VK_SPACE);
    send(WM_KEYDOWN, 'A');
    headless::set_pointer(12, 34);
    LSR_input_pollcontrollers();
    std::string rows;
    for (const auto& c : LSR_controller)
        rows += std::to_string(c.type) + " " + std::to_string(c.x) + " " + std::to_string(c.y) +
                " " + std::to_string(c.z) + " " + std::to_string(c.r) + " " +
                std::to_string(c.buttons) + "\n";
    const std::string joystick = "2 -128 128 0 -1 13808\n"; // buttons 0x35F0
    EXPECT_EQ(rows, "1 0 0 0 0 16\n3 0 0 0 0 65\n4 12 34 0 0 0\n" + joystick + joystick + joystick +
                        joystick + "0 0 0 0 0 0\n");
}

TEST_F(Frame, InputKeyControllerTablesAreEightOfSixteenKeysAndOthersAreRefused) {
    for (const std::int32_t n : {-1, 0, 7, 8}) {
        std::uint32_t keys[16];
        for (std::uint32_t i = 0; i < 16; ++i) keys[i] = 100 + i;
        std::fill(std::begin(LSR_controllerkeys), std::end(LSR_controllerkeys), 0u);
        LSR_SetKeyController(n, keys);
        for (int i = 0; i < 8 * 16; ++i)
            EXPECT_EQ(LSR_controllerkeys[i], i / 16 == n ? 100u + i % 16 : 0u) << n << ", " << i;
    }
}

// The real window thread and worker thread: messages fed to the window procedure on one thread,
// the key word read on another, and the close message ending both.
TEST_F(Frame, ThreadsWindowThreadFeedsTheWorkerAndCloseEndsBoth) {
    std::atomic<std::uint32_t> seen{0};
    test_tarnmain_body = [&] {
        LSR_SetTitle("worker title");
        for (std::uint32_t keys = 0; !headless::worker_stop_requested();
             std::this_thread::yield()) {
            LSR_GetKeys(&keys, nullptr);
            seen.store(keys, std::memory_order_relaxed);
        }
        return 0;
    };

    testing::internal::CaptureStdout();
    std::atomic<int> result{-1};
    std::thread window_thread([&] { result = WinMain(nullptr, nullptr, nullptr, 5); });

    const auto sees = [&seen](std::uint32_t word) {
        for (int i = 0; i < 5000 && seen.load() != word; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return seen.load() == word;
    };
    headless::post_message({nullptr, WM_KEYDOWN, VK_SPACE, 0});
    headless::post_message({nullptr, WM_KEYDOWN, VK_UP, 0});
    EXPECT_TRUE(sees(0x11));
    headless::post_message({nullptr, WM_KEYUP, VK_SPACE, 0});
    EXPECT_TRUE(sees(0x01));
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
TEST_F(Frame, ThreadsWinMainClosesDownWhenTheMainRoutineReturnsAndFailsWithoutAWindow) {
    int started = 0;
    test_tarnmain_body = [&] {
        ++started;
        return Soundsystem_Init(44100, 8192, 16, 2) - 1;
    };
    headless::set_class_registration_result(false);
    const std::string out =
        picture::printed([] { EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 5), 0); });
    EXPECT_EQ(out.rfind("Could not register Window class.", 0), 0u);
    EXPECT_NE(out.find("closing windows\n"), std::string::npos);
    EXPECT_EQ(exitflag.load() * 10 + started, 11u);
    EXPECT_FALSE(headless::wave_state().open) << "closing down stops the sound";
    reset();
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
