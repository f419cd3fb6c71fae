// End-to-end harness: private X server, the real program, key presses, pixels, close.
#include "harness.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace e2e {

double now_ms() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void sleep_ms(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool wait_until(const std::function<bool()>& seen, int timeout_ms) {
    for (const double end = now_ms() + timeout_ms; now_ms() < end; sleep_ms(5))
        if (seen()) return true;
    return seen();
}

XServer::XServer() {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (dup2(null, 1) < 0 || dup2(null, 2) < 0) _exit(126);
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
    name_ = ":" + number;
    // The server names its display once it takes connections.
    if (!number.empty()) display_ = XOpenDisplay(name_.c_str());
}

XServer::~XServer() {
    if (display_ != nullptr) XCloseDisplay(display_);
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

Program::Program(const XServer& server, const std::string& executable, const std::string& directory,
                 const std::vector<std::pair<std::string, std::string>>& environment) {
    pid_ = fork();
    if (pid_ == 0) {
        // Its standard output is chatter; what goes wrong goes to the standard error, kept.
        if (dup2(open("/dev/null", O_WRONLY | O_CLOEXEC), 1) < 0 || chdir(directory.c_str()) != 0)
            _exit(126);
        setenv("DISPLAY", server.name().c_str(), 1);
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        execl(executable.c_str(), executable.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

Program::~Program() {
    if (pid_ > 0 && wait_exit(0) < 0) {
        kill(pid_, SIGKILL);
        wait_exit(5000);
    }
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int Program::wait_exit(int timeout_ms) {
    int status = 0;
    wait_until(
        [&] {
            if (exit_status_ < 0 && pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_)
                exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return exit_status_ >= 0;
        },
        timeout_ms);
    return exit_status_;
}

Window wait_for_window(Display* display, const std::string& title, int timeout_ms) {
    Window found = 0;
    wait_until(
        [&] {
            // With no window manager, the program's window is a child of the root.
            Window root, parent, *children = nullptr;
            unsigned int count = 0;
            XSync(display, False);
            if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
                return false;
            for (unsigned int i = 0; i < count && found == 0; ++i) {
                char* name = nullptr;
                if (XFetchName(display, children[i], &name) && name != nullptr) {
                    if (title == name) found = children[i];
                    XFree(name);
                }
            }
            if (children != nullptr) XFree(children);
            return found != 0;
        },
        timeout_ms);
    return found;
}

void focus(Display* display, Window window) {
    XWindowAttributes a;
    if (XGetWindowAttributes(display, window, &a) && a.map_state == IsViewable)
        XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
}

void tap(Display* display, const char* key_name, int hold_ms) {
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(key_name));
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XSync(display, False);
    sleep_ms(hold_ms);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
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

Shot capture(Display* display, Window window) {
    Shot shot;
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a)) return shot;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(a.width),
                              static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (image == nullptr) return shot;
    shot.width = a.width;
    shot.height = a.height;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            shot.pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
    XDestroyImage(image);
    return shot;
}

} // namespace e2e
