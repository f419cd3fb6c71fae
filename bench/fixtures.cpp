// The benchmarks' shared fixtures: library start-up, owned pictures and surfaces, scratch files.
#include "fixtures.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <random>
#include <stdexcept>

#include "headless.h"
#include "paint.h"

// The library's worker runs the program's main routine; the benchmarks never start the worker.
int tarnmain() {
    return 0;
}

namespace bench {

void open_library() {
    Quiet quiet;
    headless::reset();
    LSR_Initialise();
    LSR_InitVideo(640, 480, 32, 0);
}

Quiet::Quiet() {
    std::cout.flush();
    std::fflush(stdout);
    saved_ = ::dup(STDOUT_FILENO);
    const int nowhere = ::open("/dev/null", O_WRONLY);
    if (saved_ >= 0 && nowhere >= 0) ::dup2(nowhere, STDOUT_FILENO);
    if (nowhere >= 0) ::close(nowhere);
}

Quiet::~Quiet() {
    std::fflush(stdout);
    if (saved_ < 0) return;
    ::dup2(saved_, STDOUT_FILENO);
    ::close(saved_);
}

Bitmap::Bitmap(std::int32_t width, std::int32_t height) {
    LSR_CreateBitmap(width, height, &bm_);
    if (bm_.data == nullptr) throw std::runtime_error("no memory for a benchmark bitmap");
}

Bitmap::~Bitmap() {
    Quiet quiet;
    LSR_DeleteBitmap(&bm_);
}

Surface make_surface(std::int32_t width, std::int32_t height) {
    Surface s(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!s) throw std::runtime_error(SDL_GetError());
    SDL_SetSurfaceBlendMode(s.get(), SDL_BLENDMODE_NONE);
    return s;
}

Surface surface_over(const LSR_Bitmap& bitmap) {
    Surface s(SDL_CreateRGBSurfaceWithFormatFrom(bitmap.data, bitmap.width, bitmap.height, 32,
                                                 bitmap.width * 4, SDL_PIXELFORMAT_ARGB8888));
    if (!s) throw std::runtime_error(SDL_GetError());
    SDL_SetSurfaceBlendMode(s.get(), SDL_BLENDMODE_NONE);
    return s;
}

std::span<std::uint32_t> pixels_of(const Surface& surface) {
    if (surface->format->BytesPerPixel != 4 || surface->pitch != surface->w * 4)
        throw std::logic_error("not a surface of packed 32-bit rows");
    return {static_cast<std::uint32_t*>(surface->pixels),
            static_cast<std::size_t>(surface->w) * static_cast<std::size_t>(surface->h)};
}

Renderer renderer_for(const Surface& surface) {
    Renderer r(SDL_CreateSoftwareRenderer(surface.get()));
    if (!r) throw std::runtime_error(SDL_GetError());
    return r;
}

void fill_noise(std::span<std::uint32_t> pixels, unsigned seed) {
    std::mt19937 rng(seed);
    for (std::uint32_t& p : pixels) p = 0xFF000000u | (rng() & 0xFFFFFFu);
}

const LSR_Bitmap& device_picture() {
    static const std::unique_ptr<Bitmap> picture = [] {
        Quiet quiet;
        const mkassets::Picture painted = mkassets::paint_device();
        auto copy = std::make_unique<Bitmap>(painted.width(), painted.height());
        LSR_DrawBitmap(0, 0, painted.bitmap(), copy->get());
        return copy;
    }();
    return picture->get();
}

void draw_device_picture(const LSR_Bitmap& dst) {
    LSR_DrawScaledBitmap(0, 0, dst.width, dst.height, device_picture(), dst, 0);
}

MountedScratch::MountedScratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lsr-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch directory");
    dir_ = pattern;
    Quiet quiet;
    if (tarnfile_mountimage(dir_.c_str(), TARNFILE_DIRECTORY) != 1) {
        std::filesystem::remove_all(dir_);
        throw std::runtime_error("cannot mount the scratch directory");
    }
}

MountedScratch::~MountedScratch() {
    {
        Quiet quiet;
        tarnfile_closeimage();
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void MountedScratch::write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream out(path(name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path(name).string());
}

std::size_t coloured(std::span<const std::uint32_t> pixels) {
    return static_cast<std::size_t>(
        std::ranges::count_if(pixels, [](std::uint32_t p) { return (p & 0xFFFFFFu) != 0; }));
}

std::size_t colour_differences(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b) {
    if (a.size() != b.size()) return std::max(a.size(), b.size());
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) n += ((a[i] ^ b[i]) & 0xFFFFFFu) != 0;
    return n;
}

std::uint32_t largest_channel_difference(std::span<const std::uint32_t> a,
                                         std::span<const std::uint32_t> b) {
    if (a.size() != b.size()) return 255;
    std::uint32_t largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            const auto x = static_cast<std::int32_t>((a[i] >> shift) & 0xFFu);
            const auto y = static_cast<std::int32_t>((b[i] >> shift) & 0xFFu);
            largest = std::max(largest, static_cast<std::uint32_t>(std::abs(x - y)));
        }
    }
    return largest;
}

} // namespace bench
