// The archive's pictures painted with the library's primitives, and the files made of them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lodestar/lodestar.h"
#include "meggyjr/meggyjr.h"

namespace mkassets {

// Bitmaps take the library's depth when created; the pictures are always painted at 32 bits.
class Depth32 {
  public:
    Depth32() : saved_(LSR_video.flags) { LSR_video.flags &= ~LSR_VIDEO_16BIT; }
    ~Depth32() { LSR_video.flags = saved_; }
    Depth32(const Depth32&) = delete;
    Depth32& operator=(const Depth32&) = delete;

  private:
    std::uint32_t saved_;
};

// A 32-bit library bitmap owned by the painter, whatever depth the library is set to.
class Picture {
  public:
    Picture(std::int32_t width, std::int32_t height);

    const LSR_Bitmap& bitmap() const { return bm_.get(); }
    // The same bitmap, to paint on.
    const LSR_Bitmap& canvas() { return bm_.get(); }
    std::int32_t width() const { return bitmap().width; }
    std::int32_t height() const { return bitmap().height; }
    // 0x00RRGGBB of pixel (x, y), y from the top; 0 outside.
    std::uint32_t rgb(std::int32_t x, std::int32_t y) const;

  private:
    lsr::OwnedBitmap bm_;
};

// The picture's sockets sit exactly where the device paints its LEDs, a rim of 2 pixels wider.
inline constexpr std::int32_t k_matrix_socket_radius = MeggyJr_LedRadius + 2;
inline constexpr std::int32_t k_aux_socket_radius = MeggyJr_AuxLedRadius + 2;

// The six buttons, centred at (x, y) with a cap of radius 9 in a 27 pixel square body, and the
// top of each name's lettering.
struct ButtonPlace {
    std::string_view name;
    std::int32_t x, y, label_y;
};
inline constexpr std::int32_t k_button_half = 13;
inline constexpr std::array<ButtonPlace, 6> k_buttons = {{{"Up", 100, 200, 166},
                                                          {"Down", 100, 300, 320},
                                                          {"Left", 50, 250, 270},
                                                          {"Right", 150, 250, 270},
                                                          {"B", 505, 265, 285},
                                                          {"A", 575, 225, 245}}};

inline constexpr std::uint32_t k_key = 0xFF00FF; // the fonts' transparent magenta

// An opaque 32-bit colour.
constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return 0xFF000000u | (r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF);
}

// Channel-wise a + (b - a) * t / 256, t from 0 to 256.
constexpr std::uint32_t mix(std::uint32_t a, std::uint32_t b, std::uint32_t t) {
    std::uint32_t out = 0xFF000000u;
    for (std::uint32_t shift = 0; shift < 24; shift += 8) {
        const std::uint32_t ca = a >> shift & 0xFF, cb = b >> shift & 0xFF;
        out |= ((ca * (256 - t) + cb * t) >> 8) << shift;
    }
    return out;
}

Picture paint_device();     // 640 by 480, the device seen from above
Picture paint_led_chart();  // 640 by 481, the LED colours at every intensity
Picture paint_heat_font();  // 618 by 20, glyphs 2x in a yellow to red gradient
Picture paint_small_font(); // 7 rows of white glyphs under the marker row, codes 32 to 126
Picture half_size(const Picture& src); // each pixel the mean of a 2 by 2 block

// The examples' pictures, 160 by 120 each: true colour, true colour, 256 colours, 256 colours
// whose channels are multiples of 4.
Picture paint_landscape(); // a sky, a sun, mountains and a lake
Picture paint_rings();     // concentric rings in every hue
Picture paint_tiles();     // coloured tiles with a disc on each
Picture paint_plasma();    // bands where two circle patterns interfere

// Each writer gives no bytes for a picture its format cannot hold.
// TGA 24-bit, bottom-up; run-length encoded (type 10) or plain (type 2).
std::vector<std::uint8_t> encode_tga(const Picture& pic, bool rle);
// TGA 8-bit colour-mapped (type 1, 256 entries of 24 bits); empty when over 256 colours.
std::vector<std::uint8_t> encode_tga_mapped(const Picture& pic);
// Photoshop, 3 channels of 8 bits, RGB mode, raw planar data.
std::vector<std::uint8_t> encode_psd(const Picture& pic);
// BMP 24-bit, bottom-up, rows padded to whole words.
std::vector<std::uint8_t> encode_bmp(const Picture& pic);
// PCX 8-bit, one plane, run-length encoded, the palette after the pixels. The readers take
// exactly width values a row and at most 65535 bytes: empty for an odd width, more than 256
// colours or a larger file.
std::vector<std::uint8_t> encode_pcx(const Picture& pic);
// SCX 8-bit: a 10-byte header, 256 palette entries of 6-bit channels, the pixels top down. Empty
// for more than 256 colours, a channel that is not a multiple of 4, or more than 65535 bytes.
std::vector<std::uint8_t> encode_scx(const Picture& pic);

struct Asset {
    std::string name;
    std::vector<std::uint8_t> bytes;
};
// The six archive files of the game, in the archive's name order.
std::vector<Asset> make_assets();
// The examples' archive files, in name order: a font and a picture in each image format.
std::vector<Asset> make_example_assets();
// Writes assets into dir; 0 on success, 1 with a message on standard error.
int write_assets(const std::string& dir, const std::vector<Asset>& assets);

} // namespace mkassets
