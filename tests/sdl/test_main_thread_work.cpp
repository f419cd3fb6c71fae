// Work the worker forwards to the main thread, on the real SDL platform (dummy video driver).
#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "lodestar/platform.h"
#include "lodestar/platform_types.h"

namespace {

std::string title_shown() {
    for (Uint32 id = 1; id < 16; ++id)
        if (SDL_Window* w = SDL_GetWindowFromID(id)) return SDL_GetWindowTitle(w);
    return "(no window)";
}

// The asker waits for its work however late the main thread comes to it, and the work runs while
// it waits, never after; once the message loop has ended, work is refused and never runs.
TEST(MainThreadWork, RunsWhileItsAskerWaitsHoweverLateAndNeverAfterTheLoopEnds) {
    ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
    ASSERT_TRUE(plat_register_class(LSR_WNDCLASS{})) << SDL_GetError(); // this is the main thread
    const LSR_HWND window = plat_create_window("c", "first", 0, 0, 0, 328, 267);
    ASSERT_NE(window, nullptr) << SDL_GetError();

    std::mutex mutex;
    std::condition_variable answered;
    int result = -1;
    std::thread worker([&] {
        const bool ok = plat_set_title(window, "second");
        {
            std::lock_guard lock(mutex);
            result = ok ? 1 : 0;
        }
        answered.notify_all();
        plat_post_quit();
    });
    {
        // The main thread is busy elsewhere for a while (longer than the worker ever gave up
        // after): the worker is still waiting when it comes back.
        std::unique_lock lock(mutex);
        answered.wait_for(lock, std::chrono::milliseconds(2500), [&] { return result != -1; });
        EXPECT_EQ(result, -1) << "the worker stopped waiting while its work was still queued";
    }
    LSR_MSG message;
    while (plat_get_message(&message)) {
    }
    worker.join();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(title_shown(), "second");

    std::thread late([&] { result = plat_set_title(window, "third") ? 1 : 0; });
    late.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(title_shown(), "second");
    plat_destroy_window(window);
    SDL_Quit();
}

} // namespace
