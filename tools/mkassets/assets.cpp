// The game's six archive files and the examples' files, made and written into a directory.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "paint.h"

namespace mkassets {

std::vector<Asset> make_assets() {
    const Picture device = paint_device();
    const Picture half = half_size(device);
    std::vector<Asset> assets;
    assets.push_back({"font_heat.tga", encode_tga_mapped(paint_heat_font())});
    assets.push_back({"font_small07.tga", encode_tga_mapped(paint_small_font())});
    assets.push_back({"leds.tga", encode_tga(paint_led_chart(), false)});
    assets.push_back({"meggyjr.psd", encode_psd(half_size(half))});
    assets.push_back({"meggyjr.tga", encode_tga(device, false)});
    assets.push_back({"meggyjr2.tga", encode_tga(half, true)});
    return assets;
}

std::vector<Asset> make_example_assets() {
    std::vector<Asset> assets;
    assets.push_back({"heat.tga", encode_tga_mapped(paint_heat_font())});
    assets.push_back({"landscape.tga", encode_tga(paint_landscape(), true)});
    assets.push_back({"plasma.scx", encode_scx(paint_plasma())});
    assets.push_back({"rings.bmp", encode_bmp(paint_rings())});
    assets.push_back({"tiles.pcx", encode_pcx(paint_tiles())});
    return assets;
}

int write_assets(const std::string& dir, const std::vector<Asset>& assets) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "mkassets: cannot make %s: %s\n", dir.c_str(),
                     error.message().c_str());
        return 1;
    }
    for (const Asset& asset : assets) {
        // An empty file would be a picture that could not be encoded: refuse it.
        const std::string path = (std::filesystem::path(dir) / asset.name).string();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(asset.bytes.data()),
                  static_cast<std::streamsize>(asset.bytes.size()));
        if (asset.bytes.empty() || !out.good()) {
            std::fprintf(stderr, "mkassets: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

} // namespace mkassets
