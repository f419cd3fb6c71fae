// Frames the worker presents, shown by the main thread on the real SDL platform (dummy video).
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include "sdl_internal.h"

namespace {

struct Shape {
    int width, height, bpp;
    bool stretch;
    int dst_width, dst_height;
};

// Pixel (x, y) of frame k, y from the top, in the page format: neighbours in place and in time
// differ.
std::uint32_t page_pixel(const Shape& s, std::uint32_t k, int x, int y) {
    const auto ux = static_cast<std::uint32_t>(x), uy = static_cast<std::uint32_t>(y);
    return s.bpp == 32 ? k << 18 | uy << 9 | ux : (k * 1021 + uy * 31 + ux) & 0x7FFFu;
}

// Frame k as the worker hands it over: bottom row first.
void fill(void* memory, const Shape& s, std::uint32_t k) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(s.height - 1 - y) * s.width + x;
            const std::uint32_t p = page_pixel(s, k, x, y);
            if (s.bpp == 32)
                static_cast<std::uint32_t*>(memory)[i] = p;
            else
                static_cast<std::uint16_t*>(memory)[i] = static_cast<std::uint16_t>(p);
        }
}

SDL_Window* sdl_window() {
    for (Uint32 id = 1; id < 16; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id)) return w;
    return nullptr;
}
SDL_Surface* screen() {
    return SDL_GetWindowSurface(sdl_window());
}

// What the window shows at (x, y) for frame k, as 0xRRGGBB: black around a smaller frame.
std::uint32_t shown(const Shape& s, std::uint32_t k, int x, int y, const SDL_PixelFormat* rgb555) {
    const int w = s.stretch ? s.dst_width : s.width, h = s.stretch ? s.dst_height : s.height;
    if (x >= w || y >= h) return 0;
    const std::uint32_t p = page_pixel(s, k, x * s.width / w, y * s.height / h);
    if (s.bpp == 32) return p & 0xFFFFFFu;
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(p, rgb555, &r, &g, &b);
    return static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 | b;
}

// On the main thread: whether the window surface shows frame k everywhere.
bool shows(const Shape& s, std::uint32_t k) {
    SDL_Surface* out = screen();
    if (out == nullptr || out->format->BytesPerPixel != 4) return false;
    SDL_PixelFormat* rgb555 = SDL_AllocFormat(SDL_PIXELFORMAT_RGB555);
    bool same = true;
    for (int y = 0; y < out->h && same; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(out->pixels) + y * out->pitch);
        for (int x = 0; x < out->w && same; ++x)
            same = (row[x] & 0xFFFFFFu) == shown(s, k, x, y, rgb555);
    }
    SDL_FreeFormat(rgb555);
    return same;
}

// Runs the message loop on this (the main) thread while body runs on a worker, given a window of
// 320x240 client pixels.
void with_window(const std::function<void(LSR_HWND)>& body) {
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
    LSR_MSG message;
    while (plat_get_message(&message)) {
    }
    worker.join();
    plat_destroy_window(window);
    SDL_Quit();
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

void present(LSR_HWND window, const void* memory, const Shape& s) {
    plat_present(window, memory, s.width, s.height, s.bpp, s.stretch, s.dst_width, s.dst_height);
}

// Every way a frame reaches the window: straight into its surface, through the staging surface
// (16 bits, stretched, smaller than a resized window), copied or handed over in lent memory.
// Each case presents frames 1 to 24 in quick succession, then 23 twice: the window shows the
// newest, upright, whichever of the others the main thread took on the way, and never from a slot
// the worker is writing (ThreadSanitizer checks the hand-over).
TEST(Present, TheNewestFrameReachesTheWindowUprightOnEveryPath) {
    const struct {
        int window_width, window_height;
        Shape shape;
        bool lent; // filled in the platform's memory rather than the worker's own
    } cases[] = {
        {320, 240, {320, 240, 32, false, 0, 0}, false},
        {320, 240, {320, 240, 32, false, 0, 0}, true},
        {320, 240, {320, 240, 16, false, 0, 0}, false},
        {320, 240, {320, 240, 16, false, 0, 0}, true},
        {320, 240, {160, 120, 32, true, 320, 240}, true},
        {320, 240, {160, 120, 16, true, 320, 240}, false},
        {400, 300, {320, 240, 32, false, 0, 0}, true},
        {400, 300, {100, 75, 16, true, 400, 300}, true},
    };
    std::vector<int> failed;
    with_window([&](LSR_HWND window) {
        for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
            const auto& c = cases[i];
            const Shape& s = c.shape;
            sdl_run_on_main(
                [&] { SDL_SetWindowSize(sdl_window(), c.window_width, c.window_height); });
            std::vector<std::uint8_t> own(plat_frame_bytes(s.width, s.height, s.bpp));
            const void* handed_over = nullptr;
            for (std::uint32_t n = 1; n <= 26; ++n) {
                const std::uint32_t k = n <= 24 ? n : 23;
                void* memory = c.lent ? plat_frame_memory(s.width, s.height, s.bpp) : own.data();
                if (memory == nullptr || memory == handed_over) failed.push_back(i);
                if (memory == nullptr) break;
                fill(memory, s, k);
                present(window, memory, s);
                handed_over = c.lent ? memory : nullptr;
            }
            if (!shown_after_present(s, 23)) failed.push_back(i);
        }
    });
    EXPECT_EQ(failed, std::vector<int>{}) << "cases by index";
}

// A frame equal to the one shown does not travel again, so the window keeps what it has until the
// window system says it was uncovered; the same pixels in another shape are a new frame.
TEST(Present, AnUnchangedFrameStaysHomeUntilUncoveredOrReshaped) {
    const Shape small{160, 120, 32, false, 0, 0}, stretched{160, 120, 32, true, 320, 240};
    with_window([&](LSR_HWND window) {
        std::vector<std::uint8_t> frame(plat_frame_bytes(160, 120, 32));
        fill(frame.data(), small, 5);
        present(window, frame.data(), small);
        EXPECT_TRUE(shown_after_present(small, 5));
        // Something else covers the window; the program presents the same picture again.
        sdl_run_on_main([] { SDL_FillRect(screen(), nullptr, 0xFFFFFF); });
        present(window, frame.data(), small);
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
        present(window, frame.data(), stretched);
        EXPECT_TRUE(shown_after_present(stretched, 5));
    });
}

} // namespace
