// The device picture the program carries: shown behind the LEDs even when the program is renamed
// and started from another directory.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "harness.h"
#include "lodestar/base/bytes.h"
#include "meggyjr/meggyjr.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* k_title = "MeggyJr interperter - Zephyrine (2010) , by: Quillmark";

// The painted picture as the build wrote it: 24-bit uncompressed TGA, read here on its own so
// that the check does not lean on the program's reader. 0xRRGGBB, top row first.
struct Reference {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

bool read_tga24(const std::string& path, Reference* out) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> b((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
    if (b.size() < 18 || b[1] != 0 || b[2] != 2 || b[16] != 24) return false;
    const int w = static_cast<int>(lsr::get_le16(&b[12])),
              h = static_cast<int>(lsr::get_le16(&b[14]));
    const std::size_t start = 18u + b[0];
    if (b.size() < start + std::size_t{3} * w * h) return false;
    const bool top_down = (b[17] & 0x20) != 0;
    out->width = w;
    out->height = h;
    out->pixels.assign(static_cast<std::size_t>(w) * h, 0);
    for (int row = 0; row < h; ++row)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &b[start + 3 * (static_cast<std::size_t>(row) * w + x)];
            const int y = top_down ? row : h - 1 - row;
            out->pixels[static_cast<std::size_t>(y) * w + x] =
                std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
        }
    return true;
}

// Farther than an LED's radius (and a pixel) from every matrix and auxiliary LED centre.
bool clear_of_leds(int x, int y) {
    const auto near = [&](int cx, int cy, int r) {
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= (r + 1) * (r + 1);
    };
    for (int i = 0; i < 8; ++i) {
        if (near(MeggyJr_AuxLedX(i), MeggyJr_AuxLedY, MeggyJr_AuxLedRadius)) return false;
        for (int j = 0; j < 8; ++j)
            if (near(MeggyJr_LedX(i), MeggyJr_LedY(j), MeggyJr_LedRadius)) return false;
    }
    return true;
}

TEST(PictureE2E, RenamedProgramStartedElsewhereShowsTheDeviceUnderItsLeds) {
    Reference reference;
    ASSERT_TRUE(read_tga24(ZEPHYRINE_ASSETS "/meggyjr.tga", &reference));
    ASSERT_EQ(reference.width, 640);
    ASSERT_EQ(reference.height, 480);

    // A copy under another name, run from a directory that holds nothing of the build.
    const fs::path place =
        fs::temp_directory_path() / ("zephyrine-e2e-" + std::to_string(getpid()));
    const fs::path elsewhere = place / "elsewhere";
    fs::create_directories(elsewhere);
    const fs::path renamed = place / "renamed game";
    fs::copy_file(e2e::zephyrine_path(), renamed, fs::copy_options::overwrite_existing);

    e2e::XServer server;
    ASSERT_TRUE(server.ok()) << "no X server";
    e2e::RunOptions options;
    options.executable = renamed.string();
    options.working_directory = elsewhere.string();
    e2e::Program program(server, options);
    const Window window = e2e::wait_for_window(server.display(), k_title, 10000);
    ASSERT_NE(window, 0u) << program.output();
    ASSERT_TRUE(program.wait_for_output("- Loading sounds\n", 5000)) << program.output();
    e2e::focus(server.display(), window);
    e2e::sleep_ms(800);
    const e2e::Picture shot = e2e::capture(server.display(), window);
    ASSERT_EQ(shot.width, 640);
    ASSERT_EQ(shot.height, 480);

    // Every eighth pixel clear of the LEDs is the picture's own.
    int compared = 0, differing = 0;
    for (int y = 0; y < 480; y += 8)
        for (int x = 0; x < 640; x += 8) {
            if (!clear_of_leds(x, y)) continue;
            ++compared;
            differing += shot.at(x, y) != reference.pixels[static_cast<std::size_t>(y) * 640 + x];
        }
    EXPECT_EQ(differing, 0) << "of " << compared << " pixels between the LEDs";
    // The LEDs are painted over it: each centre is at least the dark LED colour in every channel.
    int unpainted = 0;
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y) {
            const std::uint32_t c = shot.at(MeggyJr_LedX(x), MeggyJr_LedY(y));
            unpainted += (c >> 16 & 0xFF) < 0x40 || (c >> 8 & 0xFF) < 0x40 || (c & 0xFF) < 0x40;
        }
    EXPECT_EQ(unpainted, 0);
    if (differing != 0 || unpainted != 0) e2e::save_ppm(shot, (place / "shot.ppm").string());
    EXPECT_EQ(program.output().find("not loaded"), std::string::npos) << program.output();

    e2e::send_close(server.display(), window);
    EXPECT_EQ(program.wait_exit(2000), 0);
    if (differing == 0 && unpainted == 0) fs::remove_all(place);
}

} // namespace
