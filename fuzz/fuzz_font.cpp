// Fuzzes the font path: a file of any bytes under a name that picks the reader (TGA, BMP, PCX, SCX,
// an unsupported or a missing extension), read as a palette and cut into a font (plain, dark or
// tinted) at either page depth, then text drawn with it anywhere on a small bitmap. The glyphs
// measure the image exactly, and everything made is given back.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz_scratch.h"
#include "lodestar/lodestar.h"

namespace {

const char* const k_names[] = {"font.tga", "font.BMP", "font.pcx", "font.scx",
                               "font.png", "font",     "font.tgax"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1u << 20) return 0;
    fuzz::mount_scratch();
    fuzz::Input in(data, size);
    const std::uint8_t choice = in.byte();
    const std::uint32_t tint = in.u32();
    const auto x = static_cast<std::int32_t>(in.u16()) - 0x8000;
    const auto y = static_cast<std::int32_t>(in.u16()) - 0x8000;
    const auto spacing = static_cast<std::int32_t>(static_cast<std::int8_t>(in.byte()));
    const std::string text = in.bytes(in.byte() % 32);
    const std::string file = in.rest();
    const char* name = k_names[choice % std::size(k_names)];
    if (!fuzz::write_bytes(fuzz::scratch_dir() + "/" + name,
                           reinterpret_cast<const std::uint8_t*>(file.data()), file.size()))
        return 0;
    LSR_video.flags = (choice & 0x80) != 0 ? LSR_VIDEO_16BIT : 0;

    const std::uint32_t in_use = g_mem_in_use.load();
    std::uint8_t palette[768] = {};
    LSR_LoadPal(name, palette);

    LSR_Bitmap image;
    LSR_LoadBitmap(name, &image);
    LSR_Font font;
    switch ((choice >> 3) % 3) {
    case 0: LSR_InitFont(name, &font); break;
    case 1: LSR_InitDarkFont(name, &font); break;
    default: LSR_InitColorFont(name, &font, tint); break;
    }
    // The glyphs stand side by side over the whole image, below its marker row (unless widths
    // overflow a byte, or markers beyond the 96th glyph fold into the last).
    if (font.count < 0 || font.count > 96) std::abort();
    if (image.data == nullptr) {
        if (font.count != 0) std::abort();
    } else {
        std::int64_t across = 0;
        for (std::int32_t i = 0; i < font.count; ++i) across += font.widths[i];
        if (font.height != image.height - 1 ||
            (image.width < 256 && font.count < 96 && across != image.width))
            std::abort();
    }

    // Drawing a glyph without pixels stops the program (the sprite assertion): text keeps to the
    // others.
    std::string drawable;
    for (unsigned char c : text) {
        const int d = static_cast<int>(c) - 31;
        if (d < 1 || d > 93 || font.glyphs[d].data != nullptr)
            drawable.push_back(static_cast<char>(c));
    }
    LSR_SetFontSpacing(spacing, &font);
    LSR_Bitmap page;
    LSR_CreateBitmap(64, 40, &page);
    LSR_DrawText(x % 96, y % 64, font, page, "%s", drawable.c_str());
    LSR_DrawCenteredText(y % 64, font, page, "%s", drawable.c_str());
    LSR_DrawCenteredTextXW(x, y % 64, spacing * 4, font, page, "%s%s", drawable.c_str(),
                           drawable.c_str());
    LSR_DeleteBitmap(&page);
    LSR_DeleteFont(&font);
    LSR_DeleteBitmap(&image);
    if (g_mem_in_use.load() != in_use) std::abort();
    return 0;
}
