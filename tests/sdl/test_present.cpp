// Frames the worker presents, shown by the main thread on the real SDL platform (dummy video).
#include <gtest/gtest.h>

#include <SDL.h>

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

constexpr int k_width = 320, k_height = 240; // the window's client area at first

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
    for (int stored = 0; stored < s.height; ++stored)
        for (int x = 0; x < s.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(stored) * s.width + x;
            const std::uint32_t p = page_pixel(s, k, x, s.height - 1 - stored);
            if (s.bpp == 32)
                static_cast<std::uint32_t*>(memory)[i] = p;
            else
                static_cast<std::uint16_t*>(memory)[i] = static_cast<std::uint16_t>(p);
        }
}

SDL_Window* the_window() {
    for (Uint32 id = 1; id < 16; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id)) return w;
    return nullptr;
}

// What the window surface shows at (x, y) for frame k, as 0xRRGGBB.
std::uint32_t shown(const Shape& s, std::uint32_t k, int x, int y, const SDL_PixelFormat* rgb555) {
    if (s.stretch) {
        if (x >= s.dst_width || y >= s.dst_height) return 0;
        x = x * s.width / s.dst_width; // the cases stretch by whole factors
        y = y * s.height / s.dst_height;
    } else if (x >= s.width || y >= s.height) {
        return 0; // the border around a smaller frame is black
    }
    const std::uint32_t p = page_pixel(s, k, x, y);
    if (s.bpp == 32) return p & 0xFFFFFFu;
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(p, rgb555, &r, &g, &b);
    return static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 | b;
}

// On the main thread: where the window does not show frame k, or "" when it does everywhere.
std::string first_wrong_pixel(const Shape& s, std::uint32_t k) {
    SDL_Window* window = the_window();
    SDL_Surface* screen = window != nullptr ? SDL_GetWindowSurface(window) : nullptr;
    if (screen == nullptr || screen->format->BytesPerPixel != 4) return "no 32-bit window surface";
    SDL_PixelFormat* rgb555 = SDL_AllocFormat(SDL_PIXELFORMAT_RGB555);
    std::string wrong;
    for (int y = 0; y < screen->h && wrong.empty(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(screen->pixels) + y * screen->pitch);
        for (int x = 0; x < screen->w && wrong.empty(); ++x) {
            const std::uint32_t want = shown(s, k, x, y, rgb555);
            if ((row[x] & 0xFFFFFFu) != want)
                wrong = "(" + std::to_string(x) + ", " + std::to_string(y) + ") shows " +
                        std::to_string(row[x] & 0xFFFFFFu) + ", not " + std::to_string(want);
        }
    }
    SDL_FreeFormat(rgb555);
    return wrong;
}

// Runs the message loop on this (the main) thread while body runs on a worker, given the window.
void with_window(const std::function<void(LSR_HWND)>& body) {
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
    ASSERT_TRUE(plat_register_class(LSR_WNDCLASS{})) << SDL_GetError();
    const LSR_WindowBox outer = LSR_OuterBox(0, 0, k_width, k_height);
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

// From the worker: runs work on the main thread once the frames presented so far are on the
// window. A wake shows the newest frame after running the work queued with it, so the second
// piece of work runs after that.
std::string after_frames_shown(const std::function<std::string()>& work) {
    std::string result = "the main thread refused the work";
    sdl_run_on_main([] {});
    sdl_run_on_main([&] { result = work(); });
    return result;
}

struct Case {
    const char* name;
    int window_width, window_height;
    Shape shape;
    bool lent; // filled in the platform's memory rather than the worker's own
};

// Every way a frame reaches the window: straight into its surface, through the staging surface
// (16 bits, stretched, smaller than a resized window), copied or handed over in lent memory.
// Each case presents a run of frames in quick succession, then goes one back and presents that
// again: the window shows the newest, upright, whichever of the others the main thread took on
// the way, and never in a slot the worker is writing (ThreadSanitizer checks the hand-over).
TEST(Present, TheNewestFrameReachesTheWindowUprightOnEveryPath) {
    const Case cases[] = {
        {"32-bit, one to one", k_width, k_height, {k_width, k_height, 32, false, 0, 0}, false},
        {"32-bit in lent memory", k_width, k_height, {k_width, k_height, 32, false, 0, 0}, true},
        {"16-bit, one to one", k_width, k_height, {k_width, k_height, 16, false, 0, 0}, false},
        {"16-bit in lent memory", k_width, k_height, {k_width, k_height, 16, false, 0, 0}, true},
        {"32-bit stretched twice",
         k_width,
         k_height,
         {160, 120, 32, true, k_width, k_height},
         true},
        {"16-bit stretched twice",
         k_width,
         k_height,
         {160, 120, 16, true, k_width, k_height},
         false},
        {"32-bit in a larger window", 400, 300, {k_width, k_height, 32, false, 0, 0}, true},
        {"16-bit stretched in a larger window", 400, 300, {100, 75, 16, true, 400, 300}, true},
    };
    std::vector<std::string> failures;
    with_window([&](LSR_HWND window) {
        for (const Case& c : cases) {
            const Shape& s = c.shape;
            sdl_run_on_main(
                [&] { SDL_SetWindowSize(the_window(), c.window_width, c.window_height); });
            std::vector<std::uint8_t> own(plat_frame_bytes(s.width, s.height, s.bpp));
            std::vector<std::uint32_t> sequence;
            for (std::uint32_t k = 1; k <= 24; ++k) sequence.push_back(k);
            sequence.insert(sequence.end(), {23, 23});
            const void* handed_over = nullptr;
            for (std::size_t i = 0; i < sequence.size(); ++i) {
                void* memory = c.lent ? plat_frame_memory(s.width, s.height, s.bpp) : own.data();
                if (memory == nullptr) {
                    failures.push_back(std::string(c.name) + ": no memory lent");
                    break;
                }
                if (memory == handed_over)
                    failures.push_back(std::string(c.name) + ": lent the frame just handed over");
                fill(memory, s, sequence[i]);
                plat_present(window, memory, s.width, s.height, s.bpp, s.stretch, s.dst_width,
                             s.dst_height);
                // The last present repeats the one before: it does not travel, and its memory
                // stays the worker's.
                const bool travels = i + 1 < sequence.size();
                handed_over = c.lent && travels ? memory : nullptr;
            }
            const std::string wrong = after_frames_shown([&] { return first_wrong_pixel(s, 23); });
            if (!wrong.empty()) failures.push_back(std::string(c.name) + ": " + wrong);
        }
    });
    EXPECT_TRUE(failures.empty()) << ::testing::PrintToString(failures);
}

// A frame equal to the one shown does not travel again, so the window keeps what it has until the
// window system says it was uncovered; then the frame is shown again.
TEST(Present, AnUnchangedFrameStaysHomeAndAnUncoveredWindowShowsItsFrameAgain) {
    const Shape s{k_width, k_height, 32, false, 0, 0};
    std::string first, after_same, after_expose;
    with_window([&](LSR_HWND window) {
        std::vector<std::uint8_t> frame(plat_frame_bytes(s.width, s.height, s.bpp));
        fill(frame.data(), s, 5);
        plat_present(window, frame.data(), s.width, s.height, s.bpp, false, 0, 0);
        first = after_frames_shown([&] { return first_wrong_pixel(s, 5); });
        // Something else covers the window; the program presents the same picture again.
        sdl_run_on_main(
            [] { SDL_FillRect(SDL_GetWindowSurface(the_window()), nullptr, 0xFFFFFF); });
        plat_present(window, frame.data(), s.width, s.height, s.bpp, false, 0, 0);
        after_same = after_frames_shown([&] {
            const auto* px =
                static_cast<const std::uint32_t*>(SDL_GetWindowSurface(the_window())->pixels);
            return (px[0] & 0xFFFFFFu) == 0xFFFFFFu ? "" : "the unchanged frame was shown again";
        });
        sdl_run_on_main([] {
            SDL_Event e{};
            e.type = SDL_WINDOWEVENT;
            e.window.event = SDL_WINDOWEVENT_EXPOSED;
            e.window.windowID = SDL_GetWindowID(the_window());
            SDL_PushEvent(&e);
        });
        after_expose = after_frames_shown([&] { return first_wrong_pixel(s, 5); });
    });
    EXPECT_EQ(first, "");
    EXPECT_EQ(after_same, "");
    EXPECT_EQ(after_expose, "");
}

} // namespace
