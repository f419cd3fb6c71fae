// End-to-end harness: a private X server, the real program in it, real key presses, pixels read
// back from its window, the window manager's close message, and the process's end and CPU use.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <utility>
#include <vector>

namespace e2e {

// The program under test, as built.
std::string zephyrine_path();

// The most of one core the waiting program may use ("well under 5%" in an optimized build).
constexpr double k_cpu_limit = E2E_CPU_LIMIT;

// An Xvfb server of its own on a free display, and a connection to it.
class XServer {
  public:
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    bool ok() const { return display_ != nullptr; }
    Display* display() const { return display_; }
    const std::string& name() const { return name_; } // ":<n>"

  private:
    pid_t pid_ = -1;
    Display* display_ = nullptr;
    std::string name_;
};

struct RunOptions {
    std::string executable = zephyrine_path();
    std::string working_directory; // empty: the test's own
    std::vector<std::pair<std::string, std::string>> environment{{"SDL_AUDIODRIVER", "dummy"}};
};

// The program running on a server, its standard output collected as it comes.
class Program {
  public:
    Program(const XServer& server, const RunOptions& options = {});
    ~Program(); // kills the process if it still runs
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    pid_t pid() const { return pid_; }
    std::string output() const;
    // Waits until the output holds text; false on timeout.
    bool wait_for_output(const std::string& text, int timeout_ms) const;
    // Waits for the process to end: its exit status (or 128 + signal), -1 on timeout.
    int wait_exit(int timeout_ms);
    bool running();
    // User and system CPU time the process has used so far, in seconds.
    double cpu_seconds() const;

  private:
    pid_t pid_ = -1;
    int exit_status_ = -1;
    int out_fd_ = -1;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::string output_;
};

// The top-level window whose title is exactly title; 0 when none appears in time.
Window wait_for_window(Display* display, const std::string& title, int timeout_ms);
std::string window_title(Display* display, Window window);
bool client_size(Display* display, Window window, int* width, int* height);

// Gives the window the keyboard focus and puts the pointer over it.
void focus(Display* display, Window window);
void press(Display* display, const char* key_name, bool down);
// Holds a key for the given time, then releases it.
void tap(Display* display, const char* key_name, int hold_ms);

// Pixels of the window's client area, 0xRRGGBB, row by row from the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height
                   ? pixels[static_cast<std::size_t>(y) * width + x]
                   : 0xFFFFFFFFu;
    }
};
Picture capture(Display* display, Window window);
// Writes a picture as a binary PPM (to look at a failing test's screen).
void save_ppm(const Picture& picture, const std::string& path);

// Sends the close message a window manager sends for the close box or Alt+F4.
void send_close(Display* display, Window window);

// Milliseconds on a monotonic clock.
double now_ms();
void sleep_ms(int ms);

} // namespace e2e
