// The SDL platform's main-thread services on SDL's dummy drivers: work the worker forwards to the
// main thread, the joystick, frames the worker presents.
#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include "sdl_internal.h"

namespace {

// The one window the test made.
SDL_Window* sdl_window() {
    for (Uint32 id = 1; id < 16; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id)) return w;
    return nullptr;
}

// Runs the message loop on this (the main) thread while body runs on a worker, given a window of
// 320x240 client pixels; first runs on the main thread before the loop, last after it.
void with_window(
    const std::function<void(LSR_HWND)>& body, const std::function<void()>& first = [] {},
    const std::function<void(LSR_HWND)>& last = [](LSR_HWND) {}) {
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
    ASSERT_TRUE(plat_register_class(LSR_WNDCLASS{})) << SDL_GetError();
    const LSR_WindowBox outer = LSR_OuterBox(0, 0, 320, 240);
    const LSR_HWND window =
        plat_create_window("c", "frames", 0, outer.x, outer.y, outer.width, outer.height);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    std::thread worker([&] {
        body(window);
        plat_post_quit();
    });
    first();
    LSR_MSG message;
    while (plat_get_message(&message)) {
    }
    worker.join();
    last(window);
    plat_destroy_window(window);
    SDL_Quit();
}

// The asker waits for its work however late the main thread comes to it, and the work runs while
// it waits, never after; once the message loop has ended, work is refused and never runs.
TEST(MainThreadWork, RunsWhileItsAskerWaitsHoweverLateAndNeverAfterTheLoopEnds) {
    std::atomic<int> result{-1};
    const auto title = [] { return std::string(SDL_GetWindowTitle(sdl_window())); };
    with_window([&](LSR_HWND window) { result = plat_set_title(window, "second") ? 1 : 0; },
                [&] {
                    // The main thread is busy elsewhere for a while (longer than the worker ever
                    // gave up after): the worker is still waiting when it comes back.
                    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
                    EXPECT_EQ(result, -1) << "the worker stopped waiting with its work queued";
                },
                [&](LSR_HWND window) {
                    EXPECT_EQ(result, 1);
                    EXPECT_EQ(title(), "second");
                    std::thread late([&] { result = plat_set_title(window, "third") ? 1 : 0; });
                    late.join();
                    EXPECT_EQ(result, 0);
                    EXPECT_EQ(title(), "second");
                });
}

// The first joystick's state from a virtual joystick's events: axes from 0 to full scale, buttons
// as bits, another joystick's events ignored, nothing once it is gone.
TEST(Joystick, AxesReadFromZeroToFullScaleAndButtonsAreBits) {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_EQ(SDL_Init(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    const auto read = [] { // once the events so far have been handled (the test's joysticks only)
        for (SDL_Event e; SDL_PollEvent(&e);)
            if (e.type != SDL_JOYDEVICEADDED || SDL_JoystickIsVirtual(e.jdevice.which))
                sdl_joystick_event(e);
        PlatJoystick s{};
        if (!plat_read_joystick(&s)) return std::vector<std::uint32_t>{};
        return std::vector<std::uint32_t>{s.x, s.y, s.z, s.r, s.buttons};
    };
    EXPECT_EQ(read(), std::vector<std::uint32_t>{}) << "none before one is added";
    const int first = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 4, 12, 0);
    SDL_Joystick* const pads[] = {
        SDL_JoystickOpen(first),
        SDL_JoystickOpen(SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 4, 12, 0))};
    ASSERT_TRUE(pads[0] != nullptr && pads[1] != nullptr) << SDL_GetError();
    const Sint16 axes[] = {-32768, 32767, 0, -1};
    for (int i = 0; i < 4; ++i) SDL_JoystickSetVirtualAxis(pads[0], i, axes[i]);
    EXPECT_EQ(read(), (std::vector<std::uint32_t>{0, 65535, 32768, 32767, 0}));
    SDL_JoystickSetVirtualAxis(pads[0], 2, 100);
    SDL_JoystickSetVirtualAxis(pads[1], 3, 100);
    SDL_JoystickSetVirtualButton(pads[0], 0, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(pads[0], 3, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(pads[1], 5, SDL_PRESSED);
    EXPECT_EQ(read(), (std::vector<std::uint32_t>{0, 65535, 32868, 32767, 0x9}));
    SDL_JoystickSetVirtualButton(pads[0], 0, SDL_RELEASED);
    EXPECT_EQ(read(), (std::vector<std::uint32_t>{0, 65535, 32868, 32767, 0x8}));
    SDL_JoystickClose(pads[0]);
    SDL_JoystickDetachVirtual(first);
    EXPECT_EQ(read(), std::vector<std::uint32_t>{});
    SDL_Quit();
}

// A frame's shape, stretched to the whole window or not, in a window of the given client size, in
// the worker's memory or lent by the platform.
struct Shape {
    int width, height, bpp;
    bool stretch = false, lent = false;
    int window_width = 320, window_height = 240;
};

// Pixel (x, y) of frame k, y from the top, in the page format: neighbours in place and in time
// differ.
std::uint32_t page_pixel(const Shape& s, std::uint32_t k, int x, int y) {
    const auto ux = static_cast<std::uint32_t>(x), uy = static_cast<std::uint32_t>(y);
    return s.bpp == 32 ? k << 18 | uy << 9 | ux : (k * 1021 + uy * 31 + ux) & 0x7FFFu;
}

// Frame k presented as the worker hands it over: bottom row first.
void present(LSR_HWND window, void* memory, const Shape& s, std::uint32_t k) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(s.height - 1 - y) * s.width + x;
            const std::uint32_t p = page_pixel(s, k, x, y);
            if (s.bpp == 32)
                static_cast<std::uint32_t*>(memory)[i] = p;
            else
                static_cast<std::uint16_t*>(memory)[i] = static_cast<std::uint16_t>(p);
        }
    plat_present(window, memory, s.width, s.height, s.bpp, s.stretch, s.window_width,
                 s.window_height);
}

SDL_Surface* screen() {
    return SDL_GetWindowSurface(sdl_window());
}

// On the main thread: whether the window surface shows frame k everywhere, black around a smaller
// frame, a 5-5-5 channel widened as SDL does.
bool shows(const Shape& s, std::uint32_t k) {
    SDL_Surface* out = screen();
    if (out == nullptr || out->format->BytesPerPixel != 4) return false;
    const int w = s.stretch ? s.window_width : s.width, h = s.stretch ? s.window_height : s.height;
    const auto widen = [](std::uint32_t p, int shift) {
        return (p >> shift & 31u) * 255 / 31 << shift / 5 * 8;
    };
    for (int y = 0; y < out->h; ++y)
        for (int x = 0; x < out->w; ++x) {
            std::uint32_t want = 0, got = 0;
            if (x < w && y < h) {
                const std::uint32_t p = page_pixel(s, k, x * s.width / w, y * s.height / h);
                want = s.bpp == 32 ? p & 0xFFFFFFu : widen(p, 10) | widen(p, 5) | widen(p, 0);
            }
            std::memcpy(&got,
                        static_cast<const std::uint8_t*>(out->pixels) + y * out->pitch + x * 4, 4);
            if ((got & 0xFFFFFFu) != want) return false;
        }
    return true;
}

// From the worker: whether the window shows frame k once the frames presented so far are on it. A
// wake shows the newest frame after running the work queued with it, so the second piece of work
// runs after that.
bool shown_after_present(const Shape& s, std::uint32_t k) {
    bool result = false;
    sdl_run_on_main([] {});
    sdl_run_on_main([&] { result = shows(s, k); });
    return result;
}

// Every way a frame reaches the window: straight into its surface, through the staging surface
// (16 bits, stretched, smaller than a resized window), copied or handed over in lent memory.
// Each case presents frames 1 to 24 in quick succession, then 23 twice: the window shows the
// newest, upright, whichever of the others the main thread took on the way, and never from a slot
// the worker is writing (ThreadSanitizer checks the hand-over).
TEST(Present, TheNewestFrameReachesTheWindowUprightOnEveryPath) {
    const Shape cases[] = {
        {320, 240, 32},
        {320, 240, 32, false, true},
        {320, 240, 16},
        {320, 240, 16, false, true},
        {160, 120, 32, true, true},
        {160, 120, 16, true, false},
        {320, 240, 32, false, true, 400, 300},
        {100, 75, 16, true, true, 400, 300},
    };
    std::vector<int> failed;
    with_window([&](LSR_HWND window) {
        for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
            const Shape& s = cases[i];
            sdl_run_on_main(
                [&] { SDL_SetWindowSize(sdl_window(), s.window_width, s.window_height); });
            std::vector<std::uint8_t> own(plat_frame_bytes(s.width, s.height, s.bpp));
            const void* handed_over = nullptr;
            for (std::uint32_t n = 1; n <= 26; ++n) {
                const std::uint32_t k = n <= 24 ? n : 23;
                void* memory = s.lent ? plat_frame_memory(s.width, s.height, s.bpp) : own.data();
                if (memory == nullptr || memory == handed_over) failed.push_back(i);
                if (memory == nullptr) break;
                present(window, memory, s, k);
                handed_over = s.lent ? memory : nullptr;
            }
            if (!shown_after_present(s, 23)) failed.push_back(i);
        }
    });
    EXPECT_EQ(failed, std::vector<int>{}) << "cases by index";
}

// A frame equal to the one shown does not travel again, so the window keeps what it has until the
// window system says it was uncovered; the same pixels in another shape are a new frame.
TEST(Present, AnUnchangedFrameStaysHomeUntilUncoveredOrReshaped) {
    const Shape small{160, 120, 32}, stretched{160, 120, 32, true};
    with_window([&](LSR_HWND window) {
        std::vector<std::uint8_t> frame(plat_frame_bytes(160, 120, 32));
        present(window, frame.data(), small, 5);
        EXPECT_TRUE(shown_after_present(small, 5));
        // Something else covers the window; the program presents the same picture again.
        sdl_run_on_main([] { SDL_FillRect(screen(), nullptr, 0xFFFFFF); });
        present(window, frame.data(), small, 5);
        bool covered = false;
        sdl_run_on_main([] {});
        sdl_run_on_main([&] { covered = *static_cast<std::uint32_t*>(screen()->pixels) != 0; });
        EXPECT_TRUE(covered) << "the unchanged frame was shown again";
        sdl_run_on_main([] {
            SDL_Event e{};
            e.type = SDL_WINDOWEVENT;
            e.window.event = SDL_WINDOWEVENT_EXPOSED;
            e.window.windowID = SDL_GetWindowID(sdl_window());
            SDL_PushEvent(&e);
        });
        EXPECT_TRUE(shown_after_present(small, 5));
        present(window, frame.data(), stretched, 5);
        EXPECT_TRUE(shown_after_present(stretched, 5));
    });
}

} // namespace
