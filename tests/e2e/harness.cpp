// End-to-end harness: private X server, the real program, key presses, pixels, close, CPU use.
#include "harness.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace e2e {

std::string zephyrine_path() {
    const char* other = std::getenv("ZEPHYRINE_E2E_PROGRAM"); // to try another build by hand
    return other != nullptr ? other : ZEPHYRINE_PATH;
}

double now_ms() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void sleep_ms(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

XServer::XServer() {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[0]);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, 1);
            dup2(null, 2);
        }
        const std::string fd = std::to_string(fds[1]);
        execlp(XVFB_PATH, "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) return;
    name_ = ":" + number;
    for (int i = 0; i < 100 && display_ == nullptr; ++i) {
        display_ = XOpenDisplay(name_.c_str());
        if (display_ == nullptr) sleep_ms(20);
    }
}

XServer::~XServer() {
    if (display_ != nullptr) XCloseDisplay(display_);
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

Program::Program(const XServer& server, const RunOptions& options) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[0]);
        dup2(fds[1], 1);
        close(fds[1]);
        if (!options.working_directory.empty() && chdir(options.working_directory.c_str()) != 0)
            _exit(126);
        setenv("DISPLAY", server.name().c_str(), 1);
        for (const auto& [name, value] : options.environment)
            setenv(name.c_str(), value.c_str(), 1);
        execl(options.executable.c_str(), options.executable.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    out_fd_ = fds[0];
    reader_ = std::thread([this] {
        char chunk[4096];
        ssize_t n;
        while ((n = read(out_fd_, chunk, sizeof chunk)) > 0) {
            std::lock_guard lock(mutex_);
            output_.append(chunk, static_cast<std::size_t>(n));
        }
    });
}

Program::~Program() {
    if (running()) {
        kill(pid_, SIGKILL);
        wait_exit(5000);
    }
    if (reader_.joinable()) reader_.join();
    if (out_fd_ >= 0) close(out_fd_);
}

std::string Program::output() const {
    std::lock_guard lock(mutex_);
    return output_;
}

bool Program::wait_for_output(const std::string& text, int timeout_ms) const {
    const double end = now_ms() + timeout_ms;
    while (now_ms() < end) {
        if (output().find(text) != std::string::npos) return true;
        sleep_ms(5);
    }
    return output().find(text) != std::string::npos;
}

int Program::wait_exit(int timeout_ms) {
    if (exit_status_ >= 0 || pid_ <= 0) return exit_status_;
    const double end = now_ms() + timeout_ms;
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            if (reader_.joinable()) reader_.join(); // the pipe has closed: all output is in
            return exit_status_;
        }
        if (now_ms() >= end) return -1;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
}

bool Program::running() {
    return pid_ > 0 && exit_status_ < 0 && waitpid(pid_, nullptr, WNOHANG) == 0;
}

double Program::cpu_seconds() const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the command name, which is in parentheses and may hold spaces.
    const auto close = text.rfind(')');
    if (close == std::string::npos) return -1.0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::string window_title(Display* display, Window window) {
    const Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, net_name, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
        if (!title.empty()) return title;
    }
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name != nullptr) {
        title = name;
        XFree(name);
    }
    return title;
}

namespace {

Window find_titled(Display* display, Window root, const std::string& title) {
    Window parent_return, root_return;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, root, &root_return, &parent_return, &children, &count)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        if (window_title(display, children[i]) == title)
            found = children[i];
        else
            found = find_titled(display, children[i], title);
    }
    if (children != nullptr) XFree(children);
    return found;
}

} // namespace

Window wait_for_window(Display* display, const std::string& title, int timeout_ms) {
    const double end = now_ms() + timeout_ms;
    while (now_ms() < end) {
        XSync(display, False);
        const Window w = find_titled(display, DefaultRootWindow(display), title);
        if (w != 0) return w;
        sleep_ms(20);
    }
    return 0;
}

bool client_size(Display* display, Window window, int* width, int* height) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a)) return false;
    *width = a.width;
    *height = a.height;
    return true;
}

void focus(Display* display, Window window) {
    XWindowAttributes a;
    if (XGetWindowAttributes(display, window, &a) && a.map_state == IsViewable)
        XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 10, 10, &x, &y, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XSync(display, False);
}

void press(Display* display, const char* key_name, bool down) {
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(key_name));
    XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
    XSync(display, False);
}

void tap(Display* display, const char* key_name, int hold_ms) {
    press(display, key_name, true);
    sleep_ms(hold_ms);
    press(display, key_name, false);
}

Picture capture(Display* display, Window window) {
    Picture p;
    int w = 0, h = 0;
    if (!client_size(display, window, &w, &h)) return p;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(w),
                              static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (image == nullptr) return p;
    p.width = w;
    p.height = h;
    p.pixels.resize(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.pixels[static_cast<std::size_t>(y) * w + x] =
                static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
    XDestroyImage(image);
    return p;
}

void save_ppm(const Picture& picture, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << picture.width << " " << picture.height << "\n255\n";
    for (const std::uint32_t v : picture.pixels) {
        const char rgb[3] = {static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                             static_cast<char>(v)};
        out.write(rgb, 3);
    }
}

void send_close(Display* display, Window window) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &e);
    XFlush(display);
}

} // namespace e2e
