// Every kind of image the readers take, at both depths, pinned as hashes of the whole bitmap:
// any change to a pixel a reader stores shows here.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "lodestar/graphics/internal/loadformat.h"
#include "test_load_util.h"

namespace {

using namespace load_test;

// Deterministic bytes (xorshift), one stream per seed.
struct Noise {
    std::uint32_t state;
    std::uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    Bytes bytes(std::size_t n) {
        Bytes b(n);
        for (auto& byte : b) byte = static_cast<std::uint8_t>(next() >> 7);
        return b;
    }
};

constexpr std::uint32_t k_w = 13, k_h = 5; // odd: every row of every depth ends unaligned

std::uint32_t bytes_per(std::uint32_t depth) {
    return (depth + 7) / 8;
}

Bytes tga(std::uint32_t type, std::uint32_t depth, std::uint32_t descriptor, std::uint32_t seed) {
    return tga_header(type, k_w, k_h, depth, descriptor) +
           Noise{seed}.bytes(k_w * k_h * bytes_per(depth));
}

Bytes tga_mapped(std::uint32_t first, std::uint32_t length, std::uint32_t bits) {
    Noise n{bits + first};
    return tga_header(1, k_w, k_h, 8, 0x00, first, length, bits, 2) +
           n.bytes(length * bytes_per(bits)) + n.bytes(k_w * k_h);
}

// Packets of random kinds and lengths up to 20 until every pixel is covered; the last one may
// reach past the end.
Bytes tga_packed(std::uint32_t type, std::uint32_t depth, std::uint32_t descriptor,
                 std::uint32_t seed) {
    Noise n{seed};
    Bytes b = tga_header(type, k_w, k_h, depth, descriptor);
    if (type == 9) b = tga_header(type, k_w, k_h, depth, descriptor, 0, 256, 24) + n.bytes(768);
    for (std::uint32_t left = k_w * k_h; left > 0;) {
        const std::uint32_t count = 1 + n.next() % 20;
        const bool run = n.next() & 1;
        b.push_back(static_cast<std::uint8_t>((run ? 0x80 : 0) | (count - 1)));
        b = b + n.bytes((run ? 1 : count) * bytes_per(depth));
        left -= std::min(count, left);
    }
    return b;
}

Bytes bmp_of(std::int32_t width, std::int32_t height, std::uint32_t bits, std::uint32_t compression,
             std::uint32_t colours) {
    Noise n{bits * 7 + compression + colours};
    std::vector<std::uint32_t> palette(colours);
    for (auto& c : palette) c = n.next();
    const std::uint32_t stride = ((bits == 15 ? 16 : bits) * width + 31) / 32 * 4;
    const std::uint32_t rows = height < 0 ? -height : height;
    return bmp(width, height, bits, compression, palette, n.bytes(stride * rows));
}

// Literal values below 0xC0 and runs (empty ones too) until width * height * planes values.
Bytes pcx_of(std::uint32_t width, std::uint32_t planes, std::uint32_t seed) {
    Noise n{seed};
    Bytes b = pcx(width, k_h, planes);
    for (std::uint32_t values = 0; values < width * k_h * planes;) {
        const std::uint32_t r = n.next();
        if (r % 4 == 0) {
            b.push_back(static_cast<std::uint8_t>(0xC0 | (r >> 8) % 64));
            b.push_back(static_cast<std::uint8_t>(r >> 16));
            values += (r >> 8) % 64;
        } else {
            b.push_back(static_cast<std::uint8_t>((r >> 8) % 0xC0));
            ++values;
        }
    }
    return planes == 3 ? b : b + n.bytes(768);
}

Bytes scx_of() {
    Noise n{99};
    Bytes b(10, 0);
    b[4] = k_w, b[6] = k_h;
    return b + n.bytes(768) + n.bytes(k_w * k_h);
}

// FNV-1a over the result: whether it loaded, the sizes and every pixel's value.
std::uint64_t hash_of(Decode decode, const Bytes& file, bool sixteen) {
    picture::set_depth(sixteen);
    const Loaded l(decode, file);
    std::uint64_t h = 0xCBF29CE484222325u;
    const auto mix = [&](std::uint64_t v) { h = (h ^ v) * 0x100000001B3u; };
    mix(static_cast<std::uint64_t>(l.ok));
    if (l.ok == 0) return h;
    mix(static_cast<std::uint32_t>(l.bm.width));
    mix(static_cast<std::uint32_t>(l.bm.height));
    mix(static_cast<std::uint32_t>(l.bm.size));
    for (std::int32_t i = 0; i < l.bm.pixels; ++i)
        mix(picture::at(l.bm, i % l.bm.width, i / l.bm.width));
    return h;
}

TEST_F(Load, EveryKindOfImageGivesThePinnedBitmapAtBothDepths) {
    using lsr_image::decode_bmp, lsr_image::decode_pcx, lsr_image::decode_scx,
        lsr_image::decode_tga;
    Bytes cut = tga(2, 24, 0x00, 5);
    cut.pop_back();
    const struct {
        Decode decode;
        Bytes file;
        std::uint64_t wide, narrow; // the hashes at 32 and at 16 bits
    } cases[] = {
        // TGA: the four orientations, two and four passes, 32, 16 and 15 bits, grey, 8 bits
        // without and with maps, run-length packets of each kind, a file cut short.
        {decode_tga, tga(2, 24, 0x00, 1), 0x2BB86312842B5AD4, 0xE159F3915C1C185F},
        {decode_tga, tga(2, 24, 0x10, 1), 0x92CE9564390A48A0, 0x03D3C38AE2647A33},
        {decode_tga, tga(2, 24, 0x20, 1), 0x70E81E13BEF77504, 0xFC431EBE94C49C17},
        {decode_tga, tga(2, 24, 0x30, 1), 0xB1D61DCB8BB5D398, 0xBA7665412A4849B3},
        {decode_tga, tga(2, 24, 0x40, 1), 0x8B0F4F9849FCF60A, 0x0208AD83B5204997},
        {decode_tga, tga(2, 24, 0xA0, 1), 0x01F0DB055A5BD752, 0x6631F9368DE27E67},
        {decode_tga, tga(2, 32, 0x00, 2), 0xB0D5CCF87832798E, 0x4E95ECB992D38AF3},
        {decode_tga, tga(2, 32, 0x30, 2), 0xF7D78A10F251EC26, 0x6A215A566BB396F7},
        {decode_tga, tga(2, 16, 0x00, 3), 0x6976F50DBBDAD0AE, 0xED4F97C27E71EBA7},
        {decode_tga, tga(2, 15, 0x10, 3), 0x5EACE91D6C46FCCE, 0x82FA5D68469B32DF},
        {decode_tga, tga(3, 8, 0x20, 4), 0xA49FEAE55EDCF4BE, 0x3F0BECDB5946AEED},
        {decode_tga, tga(2, 8, 0x00, 4), 0x32C83B64DE3A9A56, 0x26A8B69A26880EE0},
        {decode_tga, tga_mapped(0, 256, 24), 0x8FFB4989CA61839E, 0x81FB67FEFF84B852},
        {decode_tga, tga_mapped(10, 100, 16), 0x59648A3FDD2EFD2E, 0x59E26F67774DE0D3},
        {decode_tga, tga_mapped(0, 256, 15), 0xBED6869BB0CDA176, 0x2D1238132108B968},
        {decode_tga, tga_packed(10, 24, 0x00, 6), 0x2C8C10026491FC99, 0x9467292E2210A3B5},
        {decode_tga, tga_packed(10, 24, 0x10, 6), 0xF9D967AC0D5B0521, 0xE1E4DF0198AC5AFD},
        {decode_tga, tga_packed(10, 24, 0x20, 7), 0xBF83E39D22A7A541, 0xC934765CA56CAF24},
        {decode_tga, tga_packed(10, 32, 0x30, 8), 0x9E8525FC731C3220, 0x1C912AC7F4212218},
        {decode_tga, tga_packed(10, 16, 0x00, 9), 0xB70D2D68F0F39116, 0xFD0FC71150B9DA44},
        {decode_tga, tga_packed(11, 8, 0x00, 10), 0x98591CBD94E2FA56, 0x51D5A1CF4269C400},
        {decode_tga, tga_packed(9, 8, 0x20, 11), 0xFFA89312695639CE, 0xFFA49845BB545FD0},
        {decode_tga, cut, 0xAF63BD4C8601B7DF, 0xAF63BD4C8601B7DF},
        // BMP: 1, 4 and 8 bits with short and long palettes, 15, 16 (also 4-4-4), 24 and 32 bits
        // (also masked), bottom-up and top-down, a wide picture.
        {decode_bmp, bmp_of(k_w, k_h, 1, 0, 0), 0xA801EEA923F0986C, 0x6DAFBE1B0DE80CF6},
        {decode_bmp, bmp_of(k_w, -k_h, 4, 0, 16), 0x548F510359456538, 0xBFEA748B9444264C},
        {decode_bmp, bmp_of(k_w, k_h, 4, 0, 5), 0x8C987345C5D38290, 0x8D223530239EB364},
        {decode_bmp, bmp_of(k_w, k_h, 8, 0, 256), 0x45BA0C847B053943, 0x897E41FF14A5256D},
        {decode_bmp, bmp_of(k_w, -k_h, 8, 0, 300), 0xE31C034670E896A1, 0xD25DBDCF1B1CFE24},
        {decode_bmp, bmp_of(k_w, k_h, 15, 0, 0), 0xBA5641635E9E0CBE, 0xDDD08BB329D305DD},
        {decode_bmp, bmp_of(k_w, -k_h, 16, 0, 0), 0x8F39D924F5EA72DE, 0x559749FC519FEEFD},
        {decode_bmp, bmp_of(k_w, k_h, 16, 3, 0), 0x146D69C031914436, 0x0C1363B672494444},
        {decode_bmp, bmp_of(k_w, k_h, 24, 0, 0), 0xF59CE913447C5212, 0xB4FC6775411552BF},
        {decode_bmp, bmp_of(k_w, -k_h, 24, 0, 0), 0x4BA98429F26DF106, 0x9FBD9BE6F1609BDB},
        {decode_bmp, bmp_of(k_w, k_h, 32, 0, 0), 0xC41DF08C3D32813A, 0xBA74C5BD40E88756},
        {decode_bmp, bmp_of(k_w, -k_h, 32, 3, 0), 0xD2E2289F69B91C57, 0xACAF301318F2F803},
        {decode_bmp, bmp_of(67, 3, 24, 0, 0), 0xAE5A379E55F31563, 0x1F6672BF4C3D4A8F},
        // PCX at 8 and 24 bits, one pixel wide; SCX.
        {decode_pcx, pcx_of(k_w, 1, 12), 0x2A4D2D988E8FE501, 0x89F69F657D6D2E32},
        {decode_pcx, pcx_of(k_w, 3, 13), 0x944C38896E659867, 0x1C2B4CD3050B2D24},
        {decode_pcx, pcx_of(1, 3, 14), 0xFEBA18AFEE3DC220, 0xEA12188E5D4D1172},
        {decode_scx, scx_of(), 0x7876B3CCF58ECC0E, 0x9DCDE9C7B99C2E69},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hash_of(c.decode, c.file, false), c.wide) << "case " << &c - cases;
        EXPECT_EQ(hash_of(c.decode, c.file, true), c.narrow) << "case " << &c - cases;
    }
}

} // namespace
