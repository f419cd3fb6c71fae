// What the benchmarks share: the headless library, owned bitmaps and SDL surfaces, pictures,
// a mounted scratch directory, and pixel comparisons.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "lodestar/lodestar.h"

namespace bench {

struct Size {
    std::int32_t width = 0, height = 0;
    std::string text() const { return std::to_string(width) + "x" + std::to_string(height); }
    bool operator==(const Size&) const = default;
};
// The game's page: the size at which the library's paths are held to their bounds.
inline constexpr Size k_page{640, 480};
// How time grows: a small picture, the page, a full HD screen.
inline constexpr std::array<Size, 3> k_sizes{{{64, 64}, k_page, {1920, 1080}}};
// The bound at the page's size; none at the other sizes, which only show growth.
inline std::optional<double> at_page(Size size, double bound) {
    return size == k_page ? std::optional(bound) : std::nullopt;
}

// The library started headless with a 640x480 32-bit page, as the game starts it.
void open_library();

// Sends the library's debug text (standard output) nowhere while it lives: deleting a bitmap
// or loading an image prints a line each time.
class Quiet {
  public:
    Quiet();
    ~Quiet();
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

  private:
    int saved_;
};

// A library bitmap of the page depth (32-bit here), deleted with its scope.
class Bitmap {
  public:
    Bitmap(std::int32_t width, std::int32_t height);
    explicit Bitmap(Size size) : Bitmap(size.width, size.height) {}
    ~Bitmap();
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    const LSR_Bitmap& get() const { return bm_; }
    std::span<std::uint32_t> pixels() const {
        return {static_cast<std::uint32_t*>(bm_.data), static_cast<std::size_t>(bm_.pixels)};
    }

  private:
    LSR_Bitmap bm_;
};

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

struct RendererFree {
    void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
};
using Renderer = std::unique_ptr<SDL_Renderer, RendererFree>;

// A new ARGB8888 surface, copied without blending when blitted.
Surface make_surface(std::int32_t width, std::int32_t height);
// An ARGB8888 surface over the bitmap's own pixels, so that SDL works on the same memory.
Surface surface_over(const LSR_Bitmap& bitmap);
// The pixels of a surface of 32-bit pixels in packed rows (as SDL makes them).
std::span<std::uint32_t> pixels_of(const Surface& surface);
// SDL's software renderer drawing into the surface; what it queues is drawn at SDL_RenderFlush.
Renderer renderer_for(const Surface& surface);

// Opaque pixels of random colour, the same for the same seed.
void fill_noise(std::span<std::uint32_t> pixels, unsigned seed);
// The device seen from above, as the game shows it: 640 by 480 (painted once).
const LSR_Bitmap& device_picture();
// The device picture scaled to width by height, nearest pixel.
void draw_device_picture(const LSR_Bitmap& dst);

// A directory of its own, mounted as the library's file source while it lives (one at a time).
class MountedScratch {
  public:
    MountedScratch();
    ~MountedScratch();
    MountedScratch(const MountedScratch&) = delete;
    MountedScratch& operator=(const MountedScratch&) = delete;

    std::filesystem::path path(const std::string& name) const { return dir_ / name; }
    void write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

  private:
    std::filesystem::path dir_;
};

// How many pixels have a colour other than black (the top byte is left out): on a cleared page,
// how many were drawn.
std::size_t coloured(std::span<const std::uint32_t> pixels);
// How many pixels differ, comparing the colour bytes only (the top byte is left out).
std::size_t colour_differences(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b);
// The largest difference of one colour channel between the two pictures.
std::uint32_t largest_channel_difference(std::span<const std::uint32_t> a,
                                         std::span<const std::uint32_t> b);

} // namespace bench
