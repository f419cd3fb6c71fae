// Loading 24-bit TGA and BMP files from a directory mount beside stb_image and SDL_LoadBMP.
#include <stb_image.h>

#include <fstream>
#include <memory>

#include "fixtures.h"
#include "harness.h"
#include "paint.h"

namespace {

using bench::Size;

// A picture the library loaded by name, deleted with its scope.
struct Loaded {
    LSR_Bitmap bm;
    explicit Loaded(const std::string& name) { LSR_LoadBitmap(name.c_str(), &bm); }
    ~Loaded() { LSR_DeleteBitmap(&bm); }
    Loaded(const Loaded&) = delete;
    Loaded& operator=(const Loaded&) = delete;
    std::span<const std::uint32_t> pixels() const {
        if (bm.data == nullptr) return {};
        return {static_cast<const std::uint32_t*>(bm.data), static_cast<std::size_t>(bm.pixels)};
    }
};

// The device picture at this size, as the files hold it.
mkassets::Picture picture_of(Size size) {
    mkassets::Picture picture(size.width, size.height);
    bench::draw_device_picture(picture.canvas());
    return picture;
}

std::uint8_t byte_at(const std::filesystem::path& file, std::streamoff offset) {
    std::ifstream in(file, std::ios::binary);
    in.seekg(offset);
    return static_cast<std::uint8_t>(in.get());
}

// The same picture must come out of both: every pixel, opacity included.
template <class Reference>
void time_load(benchmark::State& state, const std::string& name, Reference reference) {
    bench::Quiet quiet; // the library names each file it loads
    {
        const Loaded once(name);
        const std::vector<std::uint32_t> expected = reference();
        if (!bench::check(state, std::ranges::equal(once.pixels(), expected), name)) return;
    }
    bench::loop(state, [&] { const Loaded picture(name); });
}

struct StbiFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

// Four channels, as the library's pixels have.
std::vector<std::uint32_t> stbi_pixels(const std::filesystem::path& file) {
    int w = 0, h = 0, channels = 0;
    const std::unique_ptr<stbi_uc, StbiFree> rgba(stbi_load(file.c_str(), &w, &h, &channels, 4));
    std::vector<std::uint32_t> out;
    if (!rgba) return out;
    for (std::size_t i = 0; i < static_cast<std::size_t>(w) * h; ++i) {
        const stbi_uc* p = rgba.get() + 4 * i;
        out.push_back(std::uint32_t{p[3]} << 24 | std::uint32_t{p[0]} << 16 |
                      std::uint32_t{p[1]} << 8 | p[2]);
    }
    return out;
}

void tga(const bench::MountedScratch& scratch) {
    for (const Size size : bench::k_sizes) {
        const std::string name = "picture" + size.text() + ".tga";
        scratch.write(name, mkassets::encode_tga(picture_of(size), false));
        const std::filesystem::path file = scratch.path(name);
        if (byte_at(file, 2) != 2 || byte_at(file, 16) != 24)
            throw std::logic_error(name + " is not a plain 24-bit TGA");
        bench::compare("LSR_LoadBitmap TGA 24-bit", size.text(),
                       [name, file](benchmark::State& state) {
                           time_load(state, name, [&] { return stbi_pixels(file); });
                       },
                       {{"stbi_load",
                         [file](benchmark::State& state) {
                             int w = 0, h = 0, channels = 0;
                             bench::loop(state, [&] {
                                 stbi_image_free(stbi_load(file.c_str(), &w, &h, &channels, 4));
                             });
                         },
                         bench::at_page(size, 1.0)}});
    }
}

bench::Surface sdl_load_argb(const std::filesystem::path& file) {
    const bench::Surface loaded(SDL_LoadBMP(file.c_str()));
    if (!loaded) return nullptr;
    return bench::Surface(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
}

void bmp(const bench::MountedScratch& scratch) {
    for (const Size size : bench::k_sizes) {
        const std::string name = "picture" + size.text() + ".bmp";
        const std::filesystem::path file = scratch.path(name);
        {
            const mkassets::Picture picture = picture_of(size);
            const bench::Surface argb = bench::surface_over(picture.bitmap());
            const bench::Surface bgr(
                SDL_ConvertSurfaceFormat(argb.get(), SDL_PIXELFORMAT_BGR24, 0));
            if (!bgr || SDL_SaveBMP(bgr.get(), file.c_str()) != 0 || byte_at(file, 28) != 24)
                throw std::runtime_error(name + ": no 24-bit BMP written");
        }
        bench::compare(
            "LSR_LoadBitmap BMP 24-bit", size.text(),
            [name, file](benchmark::State& state) {
                time_load(state, name, [&] {
                    const bench::Surface s = sdl_load_argb(file);
                    const auto p = s ? bench::pixels_of(s) : std::span<std::uint32_t>();
                    return std::vector<std::uint32_t>(p.begin(), p.end());
                });
            },
            {{"SDL_LoadBMP + convert to ARGB8888",
              [file](benchmark::State& state) { bench::loop(state, [&] { sdl_load_argb(file); }); },
              bench::at_page(size, 1.0)}});
    }
}

} // namespace

int main(int argc, char** argv) {
    bench::open_library();
    const bench::MountedScratch scratch;
    tga(scratch);
    bmp(scratch);
    return bench::run(argc, argv);
}
