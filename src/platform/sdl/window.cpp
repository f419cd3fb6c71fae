// The window on SDL: creation, the message pump, work forwarded from the worker, frames shown.
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "lodestar/frame/internal/window.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include "sdl_internal.h"
#include "translate.h"

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// The one window; its handle is the address of this record.
struct Window {
    SDL_Window* sdl = nullptr;
    SDL_Surface* staging = nullptr;
    int staging_bpp = 0;
    bool fullscreen = false;
};
Window g_window;
std::string g_window_error; // main thread only
std::thread::id g_main_thread;

LSR_HWND handle() {
    return reinterpret_cast<LSR_HWND>(&g_window);
}

Uint32 g_wake_event = 0; // one user event type: work or a frame is waiting
std::atomic<bool> g_quit_posted{false};
std::atomic<bool> g_wake_pending{false};

std::atomic<std::int32_t> g_pointer_x{0}, g_pointer_y{0};

// Work forwarded to the main thread. The asking thread waits until its job is done (run, or
// dropped unrun when the main thread stops taking work), so the job and whatever its work
// refers to live on the asker's stack for as long as anybody touches them.
struct Job {
    const std::function<void()>* work = nullptr;
    bool done = false; // guarded by g_jobs_mutex
    bool ran = false;
};
std::mutex g_jobs_mutex;
std::condition_variable g_jobs_cv;
std::deque<Job*> g_jobs;
bool g_taking_jobs = false; // guarded by g_jobs_mutex; true while the message loop runs

// The newest frame, handed over by the worker.
struct FrameShape {
    int width = 0, height = 0, bpp = 0;
    bool stretch = false;
    int dst_width = 0, dst_height = 0;
    bool operator==(const FrameShape&) const = default;
};
struct Frame : FrameShape {
    std::vector<std::uint8_t> pixels;
};
std::mutex g_frame_mutex;
Frame g_frame;
bool g_frame_new = false;
Frame g_shown; // main thread only

std::deque<LSR_MSG> g_messages; // main thread only

void wake_main() {
    if (g_wake_event == 0 || g_wake_pending.exchange(true, relaxed)) return;
    SDL_Event e{};
    e.type = g_wake_event;
    if (SDL_PushEvent(&e) != 1) g_wake_pending.store(false, relaxed);
}

void run_jobs() {
    for (;;) {
        Job* job = nullptr;
        {
            std::lock_guard lock(g_jobs_mutex);
            if (g_jobs.empty()) return;
            job = g_jobs.front();
            g_jobs.pop_front();
        }
        (*job->work)();
        {
            // Once done is set the asker may return: the job is not touched after this.
            std::lock_guard lock(g_jobs_mutex);
            job->ran = true;
            job->done = true;
        }
        g_jobs_cv.notify_all();
    }
}

// The message loop has ended: work still queued is dropped unrun, and later work is refused.
void stop_taking_jobs() {
    {
        std::lock_guard lock(g_jobs_mutex);
        g_taking_jobs = false;
        for (Job* job : g_jobs) job->done = true;
        g_jobs.clear();
    }
    g_jobs_cv.notify_all();
}

// Frames go straight into the window's own surface: one row-reversing copy into a staging
// surface in the page format, one blit (plain or scaled) into the window, then the update.
void show_frame() {
    {
        std::lock_guard lock(g_frame_mutex);
        if (!g_frame_new) return;
        std::swap(g_frame, g_shown);
        g_frame_new = false;
    }
    Window& w = g_window;
    if (w.sdl == nullptr || g_shown.width <= 0 || g_shown.height <= 0) return;
    SDL_Surface* screen = SDL_GetWindowSurface(w.sdl);
    if (screen == nullptr) return;
    const std::size_t row = static_cast<std::size_t>(g_shown.width) * (g_shown.bpp / 8);
    // The common case, a 32-bit page one to one in a 32-bit window: rows go straight in.
    if (!g_shown.stretch && g_shown.bpp == 32 && screen->format->format == SDL_PIXELFORMAT_RGB888 &&
        screen->w == g_shown.width && screen->h == g_shown.height && SDL_MUSTLOCK(screen) == 0) {
        auto* out = static_cast<std::uint8_t*>(screen->pixels);
        for (int y = 0; y < g_shown.height; ++y)
            std::memcpy(out + static_cast<std::size_t>(y) * screen->pitch,
                        g_shown.pixels.data() +
                            static_cast<std::size_t>(g_shown.height - 1 - y) * row,
                        row);
        SDL_UpdateWindowSurface(w.sdl);
        return;
    }
    if (w.staging == nullptr || w.staging->w != g_shown.width || w.staging->h != g_shown.height ||
        w.staging_bpp != g_shown.bpp) {
        if (w.staging != nullptr) SDL_FreeSurface(w.staging);
        w.staging = SDL_CreateRGBSurfaceWithFormat(0, g_shown.width, g_shown.height, g_shown.bpp,
                                                   g_shown.bpp == 16 ? SDL_PIXELFORMAT_RGB555
                                                                     : SDL_PIXELFORMAT_RGB888);
        w.staging_bpp = g_shown.bpp;
        if (w.staging == nullptr) return;
    }
    // The surface is stored bottom row first: copied in reverse, it stands upright.
    auto* dst = static_cast<std::uint8_t*>(w.staging->pixels);
    for (int y = 0; y < g_shown.height; ++y)
        std::memcpy(dst + static_cast<std::size_t>(y) * w.staging->pitch,
                    g_shown.pixels.data() + static_cast<std::size_t>(g_shown.height - 1 - y) * row,
                    row);
    SDL_FillRect(screen, nullptr, 0);
    SDL_Rect target{0, 0, g_shown.stretch ? g_shown.dst_width : g_shown.width,
                    g_shown.stretch ? g_shown.dst_height : g_shown.height};
    if (g_shown.stretch)
        SDL_BlitScaled(w.staging, nullptr, screen, &target);
    else
        SDL_BlitSurface(w.staging, nullptr, screen, &target);
    SDL_UpdateWindowSurface(w.sdl);
}

// The window system answers a change of size with the resize message, at once.
void send_size() {
    if (g_window.sdl == nullptr) return;
    int w = 0, h = 0;
    SDL_GetWindowSize(g_window.sdl, &w, &h);
    WIN32_WndProc(handle(), WM_SIZE, 0, LSR_MakeSizeParam(w, h));
}

} // namespace

bool sdl_run_on_main(const std::function<void()>& work) {
    if (std::this_thread::get_id() == g_main_thread) {
        work();
        return true;
    }
    Job job{&work};
    {
        std::lock_guard lock(g_jobs_mutex);
        if (!g_taking_jobs) return false;
        g_jobs.push_back(&job);
    }
    wake_main();
    std::unique_lock lock(g_jobs_mutex);
    g_jobs_cv.wait(lock, [&] { return job.done; });
    return job.ran;
}

bool plat_register_class(const LSR_WNDCLASS&) {
    g_main_thread = std::this_thread::get_id();
    {
        std::lock_guard lock(g_jobs_mutex);
        g_taking_jobs = true;
    }
    // The window surface is the X server's own image: no GL context behind it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        g_window_error = SDL_GetError();
        return false;
    }
    g_wake_event = SDL_RegisterEvents(1);
    return g_wake_event != static_cast<Uint32>(-1);
}

bool plat_unregister_class(const char*) {
    return true;
}

LSR_HWND plat_create_window(const char*, const char* title, std::uint32_t, int x, int y,
                            int outer_width, int outer_height) {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return nullptr;
    const LSR_WindowBox client = LSR_ClientBox({x, y, outer_width, outer_height});
    g_window.sdl = SDL_CreateWindow(title, client.x, client.y, client.width, client.height,
                                    SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (g_window.sdl == nullptr) {
        g_window_error = SDL_GetError();
        return nullptr;
    }
    g_window_error.clear();
    send_size();
    return handle();
}

std::string plat_window_error() {
    return g_window_error;
}

void plat_show_window(LSR_HWND) {
    if (g_window.sdl == nullptr) return;
    SDL_ShowWindow(g_window.sdl);
    SDL_RaiseWindow(g_window.sdl);
    SDL_DisableScreenSaver();
}

bool plat_destroy_window(LSR_HWND) {
    if (g_window.sdl == nullptr) return false;
    if (g_window.staging != nullptr) SDL_FreeSurface(g_window.staging);
    SDL_DestroyWindow(g_window.sdl);
    g_window = {};
    return true;
}

bool plat_get_message(LSR_MSG* message) {
    for (;;) {
        if (g_quit_posted.load(relaxed)) {
            stop_taking_jobs();
            return false;
        }
        if (!g_messages.empty()) {
            *message = g_messages.front();
            g_messages.pop_front();
            return true;
        }
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 100) == 0) continue;
        if (event.type == g_wake_event && g_wake_event != 0) {
            g_wake_pending.store(false, relaxed);
            run_jobs();
            show_frame();
            continue;
        }
        if (event.type == SDL_MOUSEMOTION) {
            g_pointer_x.store(event.motion.x, relaxed);
            g_pointer_y.store(event.motion.y, relaxed);
        }
        sdl_joystick_event(event);
        LSR_MSG out[2];
        const int n = sdl_translate_event(event, handle(), out, 2);
        for (int i = 0; i < n; ++i) g_messages.push_back(out[i]);
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            // Show the last frame again over whatever uncovered the window.
            std::lock_guard lock(g_frame_mutex);
            if (!g_frame_new && !g_shown.pixels.empty()) {
                std::swap(g_frame, g_shown);
                g_frame_new = true;
            }
        }
        if (event.type == SDL_WINDOWEVENT) show_frame();
    }
}

void plat_post_quit() {
    g_quit_posted.store(true, relaxed);
    SDL_Event e{};
    e.type = SDL_USEREVENT; // only wakes the pump
    SDL_PushEvent(&e);
}

void plat_set_cursor_visible(bool visible) {
    sdl_run_on_main([visible] { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); });
}

void plat_get_pointer(std::int32_t* x, std::int32_t* y) {
    *x = g_pointer_x.load(relaxed);
    *y = g_pointer_y.load(relaxed);
}

bool plat_set_title(LSR_HWND, const char* title) {
    const std::string text = title != nullptr ? title : "";
    bool ok = false;
    sdl_run_on_main([&] {
        if (g_window.sdl == nullptr) return;
        SDL_SetWindowTitle(g_window.sdl, text.c_str());
        ok = true;
    });
    return ok;
}

void plat_place_window(LSR_HWND, int x, int y, int outer_width, int outer_height) {
    sdl_run_on_main([=] {
        if (g_window.sdl == nullptr) return;
        SDL_SetWindowBordered(g_window.sdl, SDL_TRUE);
        SDL_SetWindowAlwaysOnTop(g_window.sdl, SDL_FALSE);
        const LSR_WindowBox client = LSR_ClientBox({x, y, outer_width, outer_height});
        SDL_SetWindowSize(g_window.sdl, client.width, client.height);
        SDL_SetWindowPosition(g_window.sdl, client.x, client.y);
        SDL_ShowWindow(g_window.sdl);
        SDL_RaiseWindow(g_window.sdl);
        send_size();
    });
}

void plat_set_popup(LSR_HWND, int x, int y, int width, int height) {
    sdl_run_on_main([=] {
        if (g_window.sdl == nullptr) return;
        SDL_SetWindowBordered(g_window.sdl, SDL_FALSE);
        SDL_SetWindowAlwaysOnTop(g_window.sdl, SDL_TRUE);
        SDL_SetWindowSize(g_window.sdl, width, height);
        SDL_SetWindowPosition(g_window.sdl, x, y);
        SDL_ShowWindow(g_window.sdl);
        SDL_RaiseWindow(g_window.sdl);
        send_size();
    });
}

bool plat_change_display_mode(int width, int height, int) {
    bool ok = false;
    sdl_run_on_main([&] {
        if (g_window.sdl == nullptr) return;
        const int display = SDL_GetWindowDisplayIndex(g_window.sdl);
        SDL_DisplayMode wanted{SDL_PIXELFORMAT_RGB888, width, height, 0, nullptr};
        SDL_DisplayMode found{};
        if (display < 0 || SDL_GetClosestDisplayMode(display, &wanted, &found) == nullptr ||
            found.w != width || found.h != height)
            return;
        if (SDL_SetWindowDisplayMode(g_window.sdl, &found) != 0) return;
        if (SDL_SetWindowFullscreen(g_window.sdl, SDL_WINDOW_FULLSCREEN) != 0) return;
        g_window.fullscreen = true;
        send_size();
        ok = true;
    });
    return ok;
}

bool plat_restore_display_mode() {
    bool ok = true;
    sdl_run_on_main([&] {
        if (g_window.sdl == nullptr || !g_window.fullscreen) return;
        ok = SDL_SetWindowFullscreen(g_window.sdl, 0) == 0;
        if (ok) g_window.fullscreen = false;
        send_size();
    });
    return ok;
}

void plat_present(LSR_HWND window, const void* pixels, int width, int height, int bpp, bool stretch,
                  int dst_width, int dst_height) {
    if (window == nullptr || pixels == nullptr || width <= 0 || height <= 0) return;
    const auto bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                       static_cast<std::size_t>(bpp / 8);
    // A program often presents the same picture several times a frame: only changes travel.
    // Worker side only, so no lock.
    static Frame last;
    const auto* p = static_cast<const std::uint8_t*>(pixels);
    const FrameShape shape{width, height, bpp, stretch, dst_width, dst_height};
    if (static_cast<const FrameShape&>(last) == shape && last.pixels.size() == bytes &&
        std::memcmp(last.pixels.data(), p, bytes) == 0)
        return;
    static_cast<FrameShape&>(last) = shape;
    last.pixels.assign(p, p + bytes);
    {
        std::lock_guard lock(g_frame_mutex);
        g_frame = last; // reuses the mailbox's storage
        g_frame_new = true;
    }
    wake_main();
}
