// The window on SDL: creation, the message pump, work forwarded from the worker, frames shown.
#include <array>
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

// Frames travel in three slots. The worker fills its own (lent to the driver as its surface, or
// copied into), then swaps it into the mailbox; the main thread swaps the mailbox's for its own
// when a fresh one waits, and shows that. A frame the main thread has not taken yet is simply
// replaced (the newest wins), and neither side ever waits for the other. Only the worker writes a
// slot, and only the one it holds. The swaps are the hand-over (exchanges that release what the
// giver did to its slot and acquire what the taker's was used for): a slot's pixels are complete
// before the main thread reads them, and read before the worker writes them again.
struct FrameShape {
    int width = 0, height = 0, bpp = 0;
    bool stretch = false;
    int dst_width = 0, dst_height = 0;
    bool operator==(const FrameShape&) const = default;
};
struct Frame : FrameShape {
    std::vector<std::uint8_t> pixels;
};
std::array<Frame, 3> g_slots;
constexpr std::uint32_t k_slot = 3, k_fresh = 4; // the mailbox word: a slot, and whether unseen
std::atomic<std::uint32_t> g_mailbox{1};
std::uint32_t g_filling = 0; // worker only: the slot it fills next
std::uint32_t g_sent = 1;    // worker only: the slot it handed over last (no frame has size 0)
std::uint32_t g_showing = 2; // main thread only: the slot it shows

std::deque<LSR_MSG> g_messages; // main thread only

// The flag and the mailbox are read and written in one total order (seq_cst): a worker that finds
// a wake still pending has handed its frame over before the main thread, clearing the flag, looks
// into the mailbox, so no frame waits unseen for the next wake.
void wake_main() {
    if (g_wake_event == 0 || g_wake_pending.exchange(true)) return;
    SDL_Event e{};
    e.type = g_wake_event;
    if (SDL_PushEvent(&e) != 1) g_wake_pending.store(false, relaxed);
}

// Runs the work queued by now. Work queued meanwhile comes with a wake of its own, so it runs
// after the frame that came with this wake is on the window.
void run_jobs() {
    std::size_t queued = 0;
    {
        std::lock_guard lock(g_jobs_mutex);
        queued = g_jobs.size();
    }
    for (; queued > 0; --queued) {
        Job* job = nullptr;
        {
            std::lock_guard lock(g_jobs_mutex);
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

// Shows the main thread's slot: rows straight into the window's own surface when it is a 32-bit
// one of the frame's size, else through a staging surface in the page format, blitted plain or
// scaled. The slot is stored bottom row first: copied in reverse, it stands upright.
void show_slot() {
    const Frame& f = g_slots[g_showing];
    Window& w = g_window;
    if (w.sdl == nullptr || f.width <= 0 || f.height <= 0) return;
    SDL_Surface* screen = SDL_GetWindowSurface(w.sdl);
    if (screen == nullptr) return;
    const std::size_t row = plat_frame_bytes(f.width, 1, f.bpp);
    const auto upright = [&](std::uint8_t* out, std::size_t pitch) {
        for (int y = 0; y < f.height; ++y)
            std::memcpy(out + static_cast<std::size_t>(y) * pitch,
                        f.pixels.data() + static_cast<std::size_t>(f.height - 1 - y) * row, row);
    };
    if (!f.stretch && f.bpp == 32 && screen->format->format == SDL_PIXELFORMAT_RGB888 &&
        screen->w == f.width && screen->h == f.height && SDL_MUSTLOCK(screen) == 0) {
        upright(static_cast<std::uint8_t*>(screen->pixels),
                static_cast<std::size_t>(screen->pitch));
        SDL_UpdateWindowSurface(w.sdl);
        return;
    }
    if (w.staging == nullptr || w.staging->w != f.width || w.staging->h != f.height ||
        w.staging_bpp != f.bpp) {
        if (w.staging != nullptr) SDL_FreeSurface(w.staging);
        w.staging = SDL_CreateRGBSurfaceWithFormat(0, f.width, f.height, f.bpp,
                                                   f.bpp == 16 ? SDL_PIXELFORMAT_RGB555
                                                               : SDL_PIXELFORMAT_RGB888);
        w.staging_bpp = f.bpp;
        if (w.staging == nullptr) return;
    }
    upright(static_cast<std::uint8_t*>(w.staging->pixels),
            static_cast<std::size_t>(w.staging->pitch));
    SDL_FillRect(screen, nullptr, 0);
    SDL_Rect target{0, 0, f.stretch ? f.dst_width : f.width, f.stretch ? f.dst_height : f.height};
    if (f.stretch)
        SDL_BlitScaled(w.staging, nullptr, screen, &target);
    else
        SDL_BlitSurface(w.staging, nullptr, screen, &target);
    SDL_UpdateWindowSurface(w.sdl);
}

// Takes the newest frame in exchange for the one shown, when one has come since; true if so.
bool take_frame() {
    if ((g_mailbox.load() & k_fresh) == 0) return false;
    g_showing = g_mailbox.exchange(g_showing) & k_slot;
    return true;
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
    // A message loop begins: no quit posted, no wake waiting (SDL's queue starts empty).
    g_quit_posted.store(false, relaxed);
    g_wake_pending.store(false);
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
            g_wake_pending.store(false);
            run_jobs();
            if (take_frame()) show_slot();
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
        // An uncovered window shows its frame again, or a newer one when it has come.
        if (event.type == SDL_WINDOWEVENT &&
            (take_frame() || event.window.event == SDL_WINDOWEVENT_EXPOSED))
            show_slot();
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

// A frame in the worker's slot, lent by plat_frame_memory, is handed over as it is; any other is
// copied in first. A program often presents the same picture several times a frame: a frame equal
// to the one handed over last (which nobody writes to any more) does not travel again.
void plat_present(LSR_HWND window, const void* pixels, int width, int height, int bpp, bool stretch,
                  int dst_width, int dst_height) {
    if (window == nullptr || pixels == nullptr || width <= 0 || height <= 0) return;
    const std::size_t bytes = plat_frame_bytes(width, height, bpp);
    const auto* p = static_cast<const std::uint8_t*>(pixels);
    Frame& slot = g_slots[g_filling];
    const bool lent = p == slot.pixels.data();
    if (lent && bytes > slot.pixels.size()) return; // lent for a smaller frame than this
    const FrameShape shape{width, height, bpp, stretch, dst_width, dst_height};
    const Frame& sent = g_slots[g_sent];
    if (static_cast<const FrameShape&>(sent) == shape && sent.pixels.size() == bytes &&
        std::memcmp(sent.pixels.data(), p, bytes) == 0)
        return;
    static_cast<FrameShape&>(slot) = shape;
    slot.pixels.resize(bytes); // lent memory only shrinks, so p stays valid
    if (!lent) std::memcpy(slot.pixels.data(), p, bytes);
    g_sent = g_filling;
    g_filling = g_mailbox.exchange(g_filling | k_fresh) & k_slot;
    wake_main();
}

void* plat_frame_memory(int width, int height, int bpp) {
    if (width <= 0 || height <= 0) return nullptr;
    std::vector<std::uint8_t>& pixels = g_slots[g_filling].pixels;
    pixels.resize(plat_frame_bytes(width, height, bpp)); // allocates only when frames grow
    return pixels.data();
}
