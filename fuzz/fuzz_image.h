// The body every image-reader fuzz target shares: any bytes are refused without a trace, or read
// into a bitmap whose sizes agree with each other, which is then freed.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "lodestar/graphics/internal/loadformat.h"
#include "lodestar/lodestar.h"

using ImageDecoder = std::int32_t (*)(const std::uint8_t*, std::uint32_t, LSR_Bitmap*);

inline int fuzz_image(ImageDecoder decode, const std::uint8_t* data, std::size_t size) {
    if (size > 1u << 24) return 0;
    // The first byte picks the page depth, so both conversions are exercised.
    const bool sixteen = size > 0 && (data[0] & 1) != 0;
    LSR_video.flags = sixteen ? LSR_VIDEO_16BIT : 0;
    const std::uint32_t in_use = g_mem_in_use.load();
    LSR_Bitmap bitmap;
    bitmap.width = -7; // a refused file leaves the record as it was
    const std::int32_t loaded = decode(data, static_cast<std::uint32_t>(size), &bitmap);
    if (loaded == 0) {
        if (bitmap.width != -7 || bitmap.data != nullptr || g_mem_in_use.load() != in_use)
            std::abort();
        return 0;
    }
    const std::int64_t pixels = std::int64_t{bitmap.width} * bitmap.height;
    if (bitmap.data == nullptr || bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.pixels != pixels || bitmap.size != pixels * (sixteen ? 2 : 4))
        std::abort();
    // Every pixel is readable.
    volatile std::uint8_t sink = 0;
    const auto* bytes = static_cast<const std::uint8_t*>(bitmap.data);
    for (std::int32_t i = 0; i < bitmap.size; i += 61) sink = sink ^ bytes[i];
    LSR_DeleteBitmap(&bitmap);
    if (g_mem_in_use.load() != in_use) std::abort();
    return 0;
}
