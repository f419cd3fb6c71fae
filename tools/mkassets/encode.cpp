// The image writers: TGA true colour (plain or run-length), TGA colour-mapped, Photoshop, BMP,
// PCX and SCX.
#include <algorithm>
#include <map>
#include <optional>

#include "lodestar/base/bytes.h"
#include "lodestar/graphics/loadimage.h"
#include "paint.h"

namespace mkassets {

namespace {

void put_be(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    // Fields wider than v (the six reserved bytes) are zero-extended.
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(i < 4 ? static_cast<std::uint8_t>(v >> (8 * i)) : std::uint8_t{0});
}

void put_bgr(std::vector<std::uint8_t>& out, std::uint32_t rgb) {
    out.push_back(static_cast<std::uint8_t>(rgb & 0xFF));
    out.push_back(static_cast<std::uint8_t>(rgb >> 8 & 0xFF));
    out.push_back(static_cast<std::uint8_t>(rgb >> 16 & 0xFF));
}

// The header: no ID, origin 0, descriptor 0 (bottom-up, left to right); a colour map of 256
// entries of 24 bits from index 0 for a mapped picture.
std::vector<std::uint8_t> tga_header(const Picture& pic, std::uint8_t type, std::uint8_t depth) {
    using namespace lsr::tga;
    std::vector<std::uint8_t> out(k_header_size, 0);
    out[k_image_type] = type;
    if (type == k_mapped) {
        out[k_map_type] = 1;
        lsr::put_le16(&out[k_map_length], 256);
        out[k_map_bits] = 24;
    }
    lsr::put_le16(&out[k_width], static_cast<std::uint32_t>(pic.width()));
    lsr::put_le16(&out[k_height], static_cast<std::uint32_t>(pic.height()));
    out[k_depth] = depth;
    return out;
}

// One row as packets: runs of 2 or more equal pixels, raw packets between them.
void rle_row(std::vector<std::uint8_t>& out, const Picture& pic, std::int32_t y) {
    const std::int32_t w = pic.width();
    std::int32_t x = 0;
    while (x < w) {
        std::int32_t run = 1;
        while (x + run < w && run < lsr::tga::k_packet_pixels &&
               pic.rgb(x + run, y) == pic.rgb(x, y))
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(lsr::tga::k_run_packet | (run - 1)));
            put_bgr(out, pic.rgb(x, y));
            x += run;
            continue;
        }
        std::int32_t raw = 1;
        while (x + raw < w && raw < lsr::tga::k_packet_pixels &&
               !(x + raw + 1 < w && pic.rgb(x + raw, y) == pic.rgb(x + raw + 1, y)))
            ++raw;
        out.push_back(static_cast<std::uint8_t>(raw - 1));
        for (std::int32_t i = 0; i < raw; ++i) put_bgr(out, pic.rgb(x + i, y));
        x += raw;
    }
}

// TGA, PCX and SCX sides are 16-bit fields, Photoshop's (version 1) at most 30000.
bool fits(const Picture& pic, std::int32_t limit) {
    return pic.width() > 0 && pic.height() > 0 && pic.width() <= limit && pic.height() <= limit;
}

// A picture of at most 256 colours: its palette in order of first use and one index a pixel,
// rows top first. Nothing for more colours.
struct Indexed {
    std::vector<std::uint32_t> palette;
    std::vector<std::uint8_t> pixels;
    std::uint8_t at(const Picture& pic, std::int32_t x, std::int32_t y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(pic.width()) +
                      static_cast<std::size_t>(x)];
    }
};

std::optional<Indexed> index_colours(const Picture& pic) {
    std::map<std::uint32_t, std::uint8_t> index;
    Indexed out;
    for (std::int32_t y = 0; y < pic.height(); ++y)
        for (std::int32_t x = 0; x < pic.width(); ++x) {
            const std::uint32_t c = pic.rgb(x, y);
            auto found = index.find(c);
            if (found == index.end()) {
                if (out.palette.size() == 256) return std::nullopt;
                found = index.emplace(c, static_cast<std::uint8_t>(out.palette.size())).first;
                out.palette.push_back(c);
            }
            out.pixels.push_back(found->second);
        }
    out.palette.resize(256, 0);
    return out;
}

// The readers of PCX and SCX address their files with 16-bit positions.
constexpr std::size_t k_short_file = 65535;

} // namespace

std::vector<std::uint8_t> encode_tga(const Picture& pic, bool rle) {
    if (!fits(pic, 65535)) return {};
    std::vector<std::uint8_t> out =
        tga_header(pic, rle ? lsr::tga::k_rle_true_colour : lsr::tga::k_true_colour, 24);
    for (std::int32_t y = pic.height() - 1; y >= 0; --y) {
        if (rle) {
            rle_row(out, pic, y);
            continue;
        }
        for (std::int32_t x = 0; x < pic.width(); ++x) put_bgr(out, pic.rgb(x, y));
    }
    return out;
}

std::vector<std::uint8_t> encode_tga_mapped(const Picture& pic) {
    if (!fits(pic, 65535)) return {};
    const std::optional<Indexed> indexed = index_colours(pic);
    if (!indexed) return {};
    std::vector<std::uint8_t> out = tga_header(pic, lsr::tga::k_mapped, 8);
    for (std::uint32_t c : indexed->palette) put_bgr(out, c);
    for (std::int32_t y = pic.height() - 1; y >= 0; --y)
        for (std::int32_t x = 0; x < pic.width(); ++x) out.push_back(indexed->at(pic, x, y));
    return out;
}

std::vector<std::uint8_t> encode_psd(const Picture& pic) {
    if (!fits(pic, 30000)) return {};
    std::vector<std::uint8_t> out = {'8', 'B', 'P', 'S'};
    put_be(out, 1, 2); // version
    put_be(out, 0, 6); // reserved
    put_be(out, 3, 2); // channels
    put_be(out, static_cast<std::uint32_t>(pic.height()), 4);
    put_be(out, static_cast<std::uint32_t>(pic.width()), 4);
    put_be(out, 8, 2); // bits per channel
    put_be(out, 3, 2); // RGB
    put_be(out, 0, 4); // colour-mode data
    put_be(out, 0, 4); // image resources
    put_be(out, 0, 4); // layers and masks
    put_be(out, 0, 2); // raw image data
    for (std::uint32_t shift : {16u, 8u, 0u})
        for (std::int32_t y = 0; y < pic.height(); ++y)
            for (std::int32_t x = 0; x < pic.width(); ++x)
                out.push_back(static_cast<std::uint8_t>(pic.rgb(x, y) >> shift & 0xFF));
    return out;
}

std::vector<std::uint8_t> encode_bmp(const Picture& pic) {
    // The file's size is a 32-bit field.
    const auto stride = (static_cast<std::uint64_t>(pic.width()) * 3 + 3) & ~std::uint64_t{3};
    const std::uint64_t bytes = stride * static_cast<std::uint64_t>(pic.height());
    if (!fits(pic, 0x7FFFFFFF) || 54 + bytes > 0xFFFFFFFFu) return {};
    const auto data = static_cast<std::uint32_t>(bytes);
    std::vector<std::uint8_t> out = {'B', 'M'};
    lsr::push_le<4>(out, 54 + data); // file size
    lsr::push_le<4>(out, 0);         // reserved
    lsr::push_le<4>(out, 54);        // pixel data offset
    lsr::push_le<4>(out, 40);        // info header size
    lsr::push_le<4>(out, static_cast<std::uint32_t>(pic.width()));
    lsr::push_le<4>(out, static_cast<std::uint32_t>(pic.height())); // positive: bottom-up
    lsr::push_le<2>(out, 1);                                        // planes
    lsr::push_le<2>(out, 24);                                       // bits per pixel
    lsr::push_le<4>(out, 0);                                        // no compression
    lsr::push_le<4>(out, data);
    for (int i = 0; i < 4; ++i) lsr::push_le<4>(out, 0); // resolution and palette counts
    for (std::int32_t y = pic.height() - 1; y >= 0; --y) {
        for (std::int32_t x = 0; x < pic.width(); ++x) put_bgr(out, pic.rgb(x, y));
        out.resize(out.size() + stride - static_cast<std::uint64_t>(pic.width()) * 3, 0);
    }
    return out;
}

std::vector<std::uint8_t> encode_pcx(const Picture& pic) {
    if (!fits(pic, 65535) || pic.width() % 2 != 0) return {};
    const std::optional<Indexed> indexed = index_colours(pic);
    if (!indexed) return {};
    // Manufacturer, version 5, run-length encoding, 8 bits a plane, the window 0 .. size - 1.
    std::vector<std::uint8_t> out = {10, 5, 1, 8};
    lsr::push_le<2>(out, 0);
    lsr::push_le<2>(out, 0);
    lsr::push_le<2>(out, static_cast<std::uint32_t>(pic.width() - 1));
    lsr::push_le<2>(out, static_cast<std::uint32_t>(pic.height() - 1));
    lsr::push_le<2>(out, 72); // resolution
    lsr::push_le<2>(out, 72);
    out.resize(65, 0); // the 16-colour palette and a reserved byte
    out.push_back(1);  // one plane
    lsr::push_le<2>(out, static_cast<std::uint32_t>(pic.width())); // bytes a line
    lsr::push_le<2>(out, 1);                                       // colour palette
    out.resize(128, 0);
    for (std::int32_t y = 0; y < pic.height(); ++y)
        for (std::int32_t x = 0; x < pic.width();) {
            const std::uint8_t v = indexed->at(pic, x, y);
            std::int32_t run = 1;
            while (x + run < pic.width() && run < 63 && indexed->at(pic, x + run, y) == v) ++run;
            // A lone value below the run marker stands for itself.
            if (run > 1 || v >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
            out.push_back(v);
            x += run;
        }
    out.push_back(12); // the palette follows
    for (std::uint32_t c : indexed->palette) {
        out.push_back(static_cast<std::uint8_t>(c >> 16 & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8 & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
    }
    if (out.size() > k_short_file) return {};
    return out;
}

std::vector<std::uint8_t> encode_scx(const Picture& pic) {
    if (!fits(pic, 65535)) return {};
    const std::optional<Indexed> indexed = index_colours(pic);
    if (!indexed) return {};
    std::vector<std::uint8_t> out = {'R', 'I', 'X', '3'};
    lsr::push_le<2>(out, static_cast<std::uint32_t>(pic.width()));
    lsr::push_le<2>(out, static_cast<std::uint32_t>(pic.height()));
    out.push_back(0xAF); // a VGA palette follows
    out.push_back(0);    // pixels stored linearly
    for (std::uint32_t c : indexed->palette)
        for (std::uint32_t shift : {16u, 8u, 0u}) {
            const std::uint32_t channel = c >> shift & 0xFF;
            if (channel % 4 != 0) return {};
            out.push_back(static_cast<std::uint8_t>(channel / 4));
        }
    out.insert(out.end(), indexed->pixels.begin(), indexed->pixels.end());
    if (out.size() > k_short_file) return {};
    return out;
}

} // namespace mkassets
