// The real program in a private Xvfb, through the end-to-end tests' harness: how long the splash
// lasts, the share of one core it uses on the title and in play, the sound it streams, and how
// soon a close ends it, each beside its bound. 1 when a bound is missed.
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>

#include "e2e/harness.h"
#include "meggyjr/meggyjr.h"

namespace {

// CPU seconds the process has used: utime and stime, the 14th and 15th fields of its stat line,
// counted after the command name, which is in parentheses and may hold spaces.
double cpu_seconds(pid_t pid) {
    const std::string text = e2e::read_file("/proc/" + std::to_string(pid) + "/stat");
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string skip;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i < 14; ++i) fields >> skip;
    fields >> utime >> stime;
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The share of one core the process uses over the next ms milliseconds.
double cpu_share(pid_t pid, int ms) {
    const double cpu0 = cpu_seconds(pid), t0 = e2e::now_ms();
    e2e::sleep_ms(ms);
    return (cpu_seconds(pid) - cpu0) / ((e2e::now_ms() - t0) / 1000.0);
}

int g_missed = 0;

// One figure beside its bound: at least lowest when below is false, else at most highest.
void report(const char* what, double value, bool below, double bound, const char* unit) {
    const bool met = below ? value <= bound : value >= bound;
    std::printf("%-36s %10.1f %-4s bound %s %g %s  %s\n", what, value, unit,
                below ? "<=" : ">=", bound, unit, met ? "met" : "MISSED");
    g_missed += met ? 0 : 1;
}

} // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path sound = fs::temp_directory_path() / ("bench-e2e-" + std::to_string(getpid()));
    e2e::XServer server;
    Display* const d = server.display();
    if (d == nullptr) {
        std::puts("bench_e2e: no X server");
        return 1;
    }
    fs::create_directories(sound.string() + ".d");
    e2e::Program program(server, ZEPHYRINE_PATH, sound.string() + ".d",
                         {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", sound.string()}});
    const Window window = e2e::wait_for_window(d, e2e::k_title, 10000);
    if (window == 0) {
        std::puts("bench_e2e: no window");
        return 1;
    }
    e2e::focus(d, window);
    // Waits until the window shows what seen() looks for in LED colours, rows from the top.
    const auto until = [&](auto seen) {
        return e2e::wait_until(
            [&] {
                const e2e::Shot shot = e2e::capture(d, window);
                return seen(
                    [&](int x, int y) { return shot(MeggyJr_LedX(x), MeggyJr_LedY(7 - y)); });
            },
            10000);
    };
    // The splash's mark lights the top right LED as it fades in (dark is 0x404040, and the window
    // is black before its first frame); the title's banner lights row 1 in its rock colour.
    const bool splash = until([](auto led) { return led(7, 0) != 0x404040u && led(7, 0) != 0u; });
    const double mark = e2e::now_ms();
    const bool title = until([](auto led) {
        for (int x = 0; x < 8; ++x)
            if (led(x, 1) == 0xF0D0FFu) return true;
        return false;
    });
    if (!splash || !title) {
        std::printf("bench_e2e: the %s does not show\n", splash ? "title" : "splash");
        return 1;
    }
    report("splash, from the mark lighting up", e2e::now_ms() - mark, false, 2000, "ms");
    report("CPU on the title", 100 * cpu_share(program.pid(), 1500), true, 5, "%");
    // Space starts a run with the player at row 4 of the first column.
    e2e::tap(d, "space", 300);
    if (!until([](auto led) { return led(0, 4) == 0x50A0D0u; })) {
        std::puts("bench_e2e: the run does not start");
        return 1;
    }
    const auto bytes = [&] {
        std::error_code error;
        const auto size = fs::file_size(sound, error);
        return error ? 0.0 : static_cast<double>(size);
    };
    const double bytes0 = bytes();
    const double t0 = e2e::now_ms();
    report("CPU in play", 100 * cpu_share(program.pid(), 1500), true, 5, "%");
    const double rate = (bytes() - bytes0) * 1000.0 / (e2e::now_ms() - t0);
    report("sound, 44100 Hz 16-bit stereo", rate, false, 176400 * 0.8, "B/s");
    report("", rate, true, 176400 * 1.2, "B/s");
    const double before = e2e::now_ms();
    e2e::send_close(d, window);
    const int status = program.wait_exit(10000);
    report("close to exit", e2e::now_ms() - before, true, 500, "ms");
    fs::remove(sound);
    fs::remove_all(sound.string() + ".d");
    if (status != 0) std::printf("bench_e2e: exit status %d\n", status);
    return g_missed == 0 && status == 0 ? 0 : 1;
}
