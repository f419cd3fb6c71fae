// End-to-end harness: a private X server, the real program in it, real key presses, pixels read
// back from its window, the window manager's close message, and the process's end.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace e2e {

// The game's window title.
inline constexpr const char* k_title = "MeggyJr interperter - Zephyrine (2010) , by: Quillmark";

// An Xvfb server of its own on a free display, and a connection to it.
class XServer {
  public:
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    Display* display() const { return display_; }
    const std::string& name() const { return name_; } // ":<n>"

  private:
    pid_t pid_ = -1;
    Display* display_ = nullptr;
    std::string name_;
};

// A program running on a server from a working directory, with settings in its environment.
class Program {
  public:
    Program(const XServer& server, const std::string& executable, const std::string& directory,
            const std::vector<std::pair<std::string, std::string>>& environment);
    ~Program(); // kills the process if it still runs
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Waits for the process to end: its exit status (or 128 + signal), -1 on timeout.
    int wait_exit(int timeout_ms);
    pid_t pid() const { return pid_; }

  private:
    pid_t pid_ = -1;
    int exit_status_ = -1;
};

// The top-level window whose title is exactly title; 0 when none appears in time.
Window wait_for_window(Display* display, const std::string& title, int timeout_ms);
// Gives the window the keyboard focus, then holds a key for a time.
void focus(Display* display, Window window);
void tap(Display* display, const char* key_name, int hold_ms);
// The close message a window manager sends for the close box or Alt+F4.
void send_close(Display* display, Window window);

// The client area's pixels, 0xRRGGBB, row by row from the top; 0xFFFFFFFF outside.
struct Shot {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t operator()(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height
                   ? pixels[static_cast<std::size_t>(y) * width + x]
                   : 0xFFFFFFFFu;
    }
};
Shot capture(Display* display, Window window);

// A whole file's bytes; empty when it cannot be read.
std::string read_file(const std::string& path);

double now_ms();
void sleep_ms(int ms);
// Polls until seen() holds or the time is up; whether it held.
bool wait_until(const std::function<bool()>& seen, int timeout_ms);

} // namespace e2e
