// The headless platform: no window, no screen, a virtual clock; everything recorded for tests.
#include "headless.h"

#include "lodestar/frame/internal/window.h"
#include "lodestar/platform.h"
#include "lodestar/platform_types.h"
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace {

std::atomic<std::uint32_t> g_ticks{0};

struct State {
    std::mutex mutex;
    std::condition_variable cv;
    std::deque<LSR_MSG> messages;
    bool quit = false;
    headless::WindowRecord window;
    headless::Present present;
    std::vector<std::uint8_t> lent; // plat_frame_memory's; a present of it becomes the record
    std::uint32_t presents = 0;
    headless::PresentObserver present_observer = nullptr;
    bool display_ok = true;
    bool class_ok = true;
    bool window_ok = true;
    bool priority_ok = true;
    std::optional<PlatJoystick> joystick;
    std::int32_t pointer_x = 0, pointer_y = 0;
    std::thread worker;
};

State& state() {
    static State s;
    return s;
}

std::atomic<bool> g_stop_worker{false};
LSR_WindowTag* const k_window = reinterpret_cast<LSR_WindowTag*>(&g_ticks);

} // namespace

namespace headless {

void reset() {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    g_ticks.store(0, std::memory_order_relaxed);
    s.messages.clear();
    s.quit = false;
    s.window = {};
    s.present = {};
    s.presents = 0;
    s.present_observer = nullptr;
    s.display_ok = true;
    s.class_ok = true;
    s.window_ok = true;
    s.priority_ok = true;
    s.joystick.reset();
    s.pointer_x = s.pointer_y = 0;
    g_stop_worker.store(false, std::memory_order_relaxed);
}

void set_ticks(std::uint32_t ticks) {
    g_ticks.store(ticks, std::memory_order_relaxed);
}
void advance(std::uint32_t milliseconds) {
    g_ticks.fetch_add(milliseconds, std::memory_order_relaxed);
}

void post_message(const LSR_MSG& message) {
    auto& s = state();
    {
        std::lock_guard lock(s.mutex);
        s.messages.push_back(message);
    }
    s.cv.notify_all();
}

std::uint32_t Present::pixel32(int x, int y) const {
    if (bpp != 32 || x < 0 || y < 0 || x >= width || y >= height) return 0;
    std::uint32_t v;
    const std::size_t row = static_cast<std::size_t>(height - 1 - y);
    std::memcpy(&v, pixels.data() + (row * static_cast<std::size_t>(width) + x) * 4, 4);
    return v;
}

std::uint32_t present_count() {
    std::lock_guard lock(state().mutex);
    return state().presents;
}

Present last_present() {
    std::lock_guard lock(state().mutex);
    return state().present;
}

void set_present_observer(PresentObserver observer) {
    std::lock_guard lock(state().mutex);
    state().present_observer = observer;
}

WindowRecord window() {
    std::lock_guard lock(state().mutex);
    return state().window;
}

void set_display_mode_result(bool ok) {
    std::lock_guard lock(state().mutex);
    state().display_ok = ok;
}
void set_class_registration_result(bool ok) {
    std::lock_guard lock(state().mutex);
    state().class_ok = ok;
}
void set_window_creation_result(bool ok) {
    std::lock_guard lock(state().mutex);
    state().window_ok = ok;
}
void set_joystick(std::optional<PlatJoystick> joystick) {
    std::lock_guard lock(state().mutex);
    state().joystick = joystick;
}
void set_pointer(std::int32_t x, std::int32_t y) {
    std::lock_guard lock(state().mutex);
    state().pointer_x = x;
    state().pointer_y = y;
}
void set_priority_result(bool ok) {
    std::lock_guard lock(state().mutex);
    state().priority_ok = ok;
}

bool worker_stop_requested() {
    return g_stop_worker.load(std::memory_order_relaxed);
}

} // namespace headless

// ---- the seam ----

bool plat_register_class(const LSR_WNDCLASS& window_class) {
    std::lock_guard lock(state().mutex);
    state().window.class_name = window_class.lpszClassName ? window_class.lpszClassName : "";
    return state().class_ok;
}

bool plat_unregister_class(const char*) {
    return true;
}

LSR_HWND plat_create_window(const char* class_name, const char* title, std::uint32_t, int x, int y,
                            int outer_width, int outer_height) {
    std::lock_guard lock(state().mutex);
    if (!state().window_ok) return nullptr;
    auto& w = state().window;
    w.created = true;
    w.class_name = class_name;
    w.title = title;
    w.x = x;
    w.y = y;
    w.outer_width = outer_width;
    w.outer_height = outer_height;
    return k_window;
}

std::string plat_window_error() {
    std::lock_guard lock(state().mutex);
    return state().window_ok ? "" : "refused by the test";
}

void plat_show_window(LSR_HWND) {
    std::lock_guard lock(state().mutex);
    state().window.shown = true;
}

bool plat_destroy_window(LSR_HWND) {
    std::lock_guard lock(state().mutex);
    state().window.destroyed = true;
    return true;
}

bool plat_get_message(LSR_MSG* message) {
    auto& s = state();
    std::unique_lock lock(s.mutex);
    s.cv.wait(lock, [&] { return s.quit || !s.messages.empty(); });
    if (!s.messages.empty()) {
        *message = s.messages.front();
        s.messages.pop_front();
        if (message->message != WM_QUIT) return true;
    }
    s.quit = true;
    return false;
}

void plat_post_quit() {
    LSR_MSG quit;
    quit.message = WM_QUIT;
    headless::post_message(quit);
}

// The window thread's pause after each message: nothing to wait for here.
void plat_sleep(std::uint32_t) {}

void plat_start_worker(std::uint32_t (*entry)(void*)) {
    g_stop_worker.store(false, std::memory_order_relaxed);
    state().worker = std::thread([entry] { entry(nullptr); });
}

// A thread cannot be ended from outside; the test's main routine returns once asked to.
void plat_terminate_worker() {
    g_stop_worker.store(true, std::memory_order_relaxed);
    if (state().worker.joinable()) state().worker.join();
}

void plat_set_cursor_visible(bool visible) {
    std::lock_guard lock(state().mutex);
    state().window.cursor_visible = visible;
}

void plat_get_pointer(std::int32_t* x, std::int32_t* y) {
    std::lock_guard lock(state().mutex);
    *x = state().pointer_x;
    *y = state().pointer_y;
}

bool plat_set_title(LSR_HWND, const char* title) {
    std::lock_guard lock(state().mutex);
    state().window.title = title;
    return true;
}

void plat_place_window(LSR_HWND window, int x, int y, int outer_width, int outer_height) {
    {
        std::lock_guard lock(state().mutex);
        auto& w = state().window;
        w.x = x;
        w.y = y;
        w.outer_width = outer_width;
        w.outer_height = outer_height;
        w.shown = true;
    }
    // The window system answers a new size with the resize message.
    const LSR_WindowBox client = LSR_ClientBox({x, y, outer_width, outer_height});
    WIN32_WndProc(window, WM_SIZE, 0, LSR_MakeSizeParam(client.width, client.height));
}

void plat_set_popup(LSR_HWND window, int x, int y, int width, int height) {
    {
        std::lock_guard lock(state().mutex);
        auto& w = state().window;
        w.popup = true;
        w.x = x;
        w.y = y;
        w.outer_width = width;
        w.outer_height = height;
    }
    WIN32_WndProc(window, WM_SIZE, 0, LSR_MakeSizeParam(width, height));
}

bool plat_change_display_mode(int width, int height, int bits) {
    std::lock_guard lock(state().mutex);
    if (!state().display_ok) return false;
    auto& w = state().window;
    w.display_width = width;
    w.display_height = height;
    w.display_bits = bits;
    return true;
}

bool plat_restore_display_mode() {
    std::lock_guard lock(state().mutex);
    auto& w = state().window;
    w.display_width = w.display_height = w.display_bits = 0;
    return true;
}

void plat_present(LSR_HWND, const void* pixels, int width, int height, int bpp, bool stretch,
                  int dst_width, int dst_height) {
    std::unique_lock lock(state().mutex);
    auto& p = state().present;
    const std::size_t bytes = plat_frame_bytes(width, height, bpp);
    const auto* b = static_cast<const std::uint8_t*>(pixels);
    auto& lent = state().lent;
    if (b == lent.data() && bytes <= lent.size()) {
        lent.resize(bytes);
        std::swap(p.pixels, lent);
    } else {
        p.pixels.assign(b, b + bytes);
    }
    p.width = width;
    p.height = height;
    p.bpp = bpp;
    p.stretch = stretch;
    p.dst_width = dst_width;
    p.dst_height = dst_height;
    const std::uint32_t count = ++state().presents;
    const headless::PresentObserver observer = state().present_observer;
    lock.unlock();
    if (observer != nullptr) observer(count);
}

void* plat_frame_memory(int width, int height, int bpp) {
    if (width <= 0 || height <= 0) return nullptr;
    std::lock_guard lock(state().mutex);
    auto& lent = state().lent;
    lent.resize(plat_frame_bytes(width, height, bpp));
    return lent.data();
}

std::uint32_t plat_ticks() {
    return g_ticks.load(std::memory_order_relaxed);
}

// A wait moves the virtual clock straight to its deadline.
void plat_wait_until(std::uint32_t tick) {
    std::uint32_t now = g_ticks.load(std::memory_order_relaxed);
    while (static_cast<std::int32_t>(tick - now) > 0 &&
           !g_ticks.compare_exchange_weak(now, tick, std::memory_order_relaxed)) {
    }
}

bool plat_read_joystick(PlatJoystick* joystick) {
    std::lock_guard lock(state().mutex);
    if (!state().joystick) return false;
    *joystick = *state().joystick;
    return true;
}

bool plat_raise_priority() {
    std::lock_guard lock(state().mutex);
    return state().priority_ok;
}
