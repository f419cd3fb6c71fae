// Runs a program's tarnmain on the headless platform for a number of frames (presents), holding
// keys down on the way, then reads the last presented page: prints its checksum, compares it with
// the expected one, writes it as a PNG file. The program's own source is the one its window runs.
//
//   <program> --frames N [--expect HEX] [--shot NAME] [--hold KEY:FROM-TO]...
//
// KEY is up, down, left, right, space, return, x or c; it goes down at present FROM and up at
// present TO. With --shot, and LSR_SCREENSHOTS naming a directory in the environment, the page is
// written there as NAME.png. Ends as a closed window ends the real program: at once, wherever the
// program stands.
#include <stb_image_write.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fnv.h"
#include "headless.h"
#include "lodestar/frame/init.h"
#include "lodestar/frame/internal/window.h"
#include "lodestar/platform_types.h"

namespace {

struct Hold {
    std::uint32_t key = 0, from = 0, to = 0;
};

struct Run {
    std::uint32_t frames = 0;
    std::optional<std::uint32_t> expected;
    std::string png; // where the last page goes, if anywhere
    std::vector<Hold> holds;
};

Run g_run;

// KEY:FROM-TO
bool parse_hold(const char* text, Hold& hold) {
    constexpr std::pair<std::string_view, std::uint32_t> keys[] = {
        {"up", VK_UP},       {"down", VK_DOWN},     {"left", VK_LEFT}, {"right", VK_RIGHT},
        {"space", VK_SPACE}, {"return", VK_RETURN}, {"x", 'X'},        {"c", 'C'}};
    char name[8] = {};
    char end = 0;
    if (std::sscanf(text, "%7[a-z]:%u-%u%c", name, &hold.from, &hold.to, &end) != 3) return false;
    for (const auto& [key_name, key] : keys)
        if (key_name == name) hold.key = key;
    return hold.key != 0 && hold.from < hold.to;
}

bool parse(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view flag = argv[i];
        const char* value = argv[i + 1];
        Hold hold;
        std::uint32_t expected = 0;
        char end = 0;
        if (flag == "--frames" && std::sscanf(value, "%u%c", &g_run.frames, &end) == 1) continue;
        if (flag == "--expect" && std::sscanf(value, "%x%c", &expected, &end) == 1) {
            g_run.expected = expected;
        } else if (flag == "--shot") {
            if (const char* directory = std::getenv("LSR_SCREENSHOTS"))
                g_run.png = std::string(directory) + "/" + value + ".png";
        } else if (flag == "--hold" && parse_hold(value, hold)) {
            g_run.holds.push_back(hold);
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && g_run.frames > 0;
}

// The last frame: what it shows decides the run's status; then the process ends.
[[noreturn]] void finish() {
    const headless::Present page = headless::last_present();
    // The shown colours, red, green and blue, rows from the top; their FNV-1a with the size.
    std::vector<std::uint8_t> rgb;
    Fnv32 sum;
    for (const int size : {page.width, page.height})
        for (int shift = 24; shift >= 0; shift -= 8)
            sum.byte(static_cast<std::uint32_t>(size) >> shift);
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x)
            for (int shift = 16; shift >= 0; shift -= 8) {
                rgb.push_back(static_cast<std::uint8_t>(page.pixel32(x, y) >> shift));
                sum.byte(rgb.back());
            }
    std::printf("\nframe %u: %dx%d, checksum %08x\n", g_run.frames, page.width, page.height,
                sum.sum);
    int status = 0;
    if (page.bpp != 32) {
        std::printf("a %d-bit page: the runner reads 32-bit pages only\n", page.bpp);
        status = 1;
    }
    if (g_run.expected && sum.sum != *g_run.expected) {
        std::printf("expected checksum %08x: the picture has changed\n", *g_run.expected);
        status = 1;
    }
    if (!g_run.png.empty() && stbi_write_png(g_run.png.c_str(), page.width, page.height, 3,
                                             rgb.data(), page.width * 3) == 0) {
        std::printf("cannot write %s\n", g_run.png.c_str());
        status = 1;
    }
    std::fflush(stdout);
    std::_Exit(status);
}

// On the program's thread, right after each present.
void on_present(std::uint32_t count) {
    for (const Hold& hold : g_run.holds) {
        if (count == hold.from) WIN32_WndProc(nullptr, WM_KEYDOWN, hold.key, 0);
        if (count == hold.to) WIN32_WndProc(nullptr, WM_KEYUP, hold.key, 0);
    }
    if (count == g_run.frames) finish();
}

} // namespace

int main(int argc, char** argv) {
    if (!parse(argc, argv)) {
        std::fprintf(stderr,
                     "usage: %s --frames N [--expect HEX] [--shot NAME] [--hold KEY:FROM-TO]...\n",
                     argv[0]);
        return 2;
    }
    headless::reset();
    headless::set_present_observer(on_present);
    WinMain(nullptr, nullptr, nullptr, 0);
    // Only a program that returned before its last frame comes back here.
    std::printf("\nthe program ended after %u of %u frames\n", headless::present_count(),
                g_run.frames);
    return 1;
}
