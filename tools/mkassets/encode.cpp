// The image writers: TGA true colour (plain or run-length), TGA colour-mapped, and Photoshop.
#include <algorithm>
#include <map>

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

// TGA sides are 16-bit fields, Photoshop's (version 1) at most 30000.
bool fits(const Picture& pic, std::int32_t limit) {
    return pic.width() > 0 && pic.height() > 0 && pic.width() <= limit && pic.height() <= limit;
}

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
    std::map<std::uint32_t, std::uint8_t> index;
    std::vector<std::uint32_t> palette;
    for (std::int32_t y = 0; y < pic.height(); ++y)
        for (std::int32_t x = 0; x < pic.width(); ++x) {
            const std::uint32_t c = pic.rgb(x, y);
            if (index.contains(c)) continue;
            if (palette.size() == 256) return {};
            index.emplace(c, static_cast<std::uint8_t>(palette.size()));
            palette.push_back(c);
        }
    std::vector<std::uint8_t> out = tga_header(pic, lsr::tga::k_mapped, 8);
    palette.resize(256, 0);
    for (std::uint32_t c : palette) put_bgr(out, c);
    for (std::int32_t y = pic.height() - 1; y >= 0; --y)
        for (std::int32_t x = 0; x < pic.width(); ++x) out.push_back(index.at(pic.rgb(x, y)));
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

} // namespace mkassets
