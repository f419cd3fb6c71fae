// Image loading: the reader chosen by extension, the readers' shared file and bitmap handling,
// and palette files.
#include "lodestar/graphics/loadimage.h"

#include <cstring>

#include "lodestar/base/debug.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/graphics/internal/loadformat.h"
#include "lodestar/tarnfile/tarnfile.h"

namespace lsr_image {

bool Canvas::create(std::uint32_t width, std::uint32_t height, const char* format) {
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) {
        refuse(format, "the image has no pixels");
        return false;
    }
    LSR_CreateBitmap(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), &bitmap_);
    if (bitmap_.data == nullptr) {
        refuse(format, "no bitmap can hold the image");
        bitmap_ = LSR_Bitmap{};
        return false;
    }
    return true;
}

std::int32_t refuse(const char* format, const char* problem) {
    _dbg_printf("%s: %s\n", format, problem);
    return 0;
}

std::int32_t load_with(const char* name, const char* tag, int line, Decoder decode,
                       LSR_Bitmap* bitmap) {
    TarnFileHandle handle;
    if (tarnfile_open(name, &handle, 0) == 0) return 0;
    const std::uint32_t size = tarnfile_fsize(&handle);
    const Counted<std::uint8_t> buffer(size == 0 ? 1 : size, tag, line);
    if (buffer.get() != nullptr) tarnfile_read(buffer.get(), 1, size, &handle);
    tarnfile_close(&handle);
    return buffer.get() != nullptr ? decode(buffer.get(), size, bitmap) : 0;
}

} // namespace lsr_image

namespace {

struct Format {
    const char* extension;
    const char* message;
    std::int32_t (*reader)(const char*, LSR_Bitmap*);
};

constexpr Format k_formats[] = {
    {".BMP", "Loading BMP image.\n", LoadImageBMP},
    {".GIF", "No GIF supported.\n", nullptr},
    {".PNG", "No PNG supported.\n", nullptr},
    {".JPG", "No JPG supported. Use LSRJPEG Extension\n", nullptr},
    {".PCX", "Loading PCX image.\n", LoadImagePCX},
    {".SCX", "Loading RIX/SCX image.\n", LoadImageSCX},
    {".TGA", "Loading TGA image.", LoadImageTGA},
    {".RAW", "Loading Direct-RAW image.\n", nullptr},
};

} // namespace

void LSR_LoadBitmap(const char* name, LSR_Bitmap* bitmap) {
    if (name == nullptr || bitmap == nullptr) return;
    // Only an extension of exactly four characters can match a row.
    char extension[5] = "";
    const char* dot = std::strrchr(name, '.');
    if (dot != nullptr && dot != name && std::strlen(dot) == 4) {
        std::memcpy(extension, dot, 5);
        upcase(extension);
    }
    std::int32_t loaded = 0;
    for (const Format& format : k_formats) {
        if (std::strcmp(extension, format.extension) != 0) continue;
        _dbg_printf("%s", format.message);
        if (format.reader != nullptr) loaded = format.reader(name, bitmap);
        break;
    }
    if (loaded == 0) _dbg_printf("\xFE ERROR: Image %s not loaded.\n", name);
}

void LSR_LoadPal(const char* name, std::uint8_t* palette) {
    if (name == nullptr || palette == nullptr) return;
    TarnFileHandle handle;
    if (tarnfile_open(name, &handle, 0) == 0) return;
    const std::uint32_t size = tarnfile_fsize(&handle);
    if (size < 768) {
        _dbg_printf("palette %s is too short: %u bytes\n", name, size);
    } else {
        auto* buffer =
            static_cast<std::uint8_t*>(_wrap_malloc_dbg(size, "graphics/loadimage", __LINE__));
        if (buffer != nullptr) {
            tarnfile_read(buffer, 1, size, &handle);
            std::memcpy(palette, buffer, 768);
            _wrap_free_dbg(buffer, "graphics/loadimage", __LINE__);
        }
    }
    tarnfile_close(&handle);
}
