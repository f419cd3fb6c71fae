// The one report of a bitmap operation handed a bitmap without pixels: "bitmap has no data".
#pragma once

#include <concepts>

#include "lodestar/base/debug.h"
#include "lodestar/graphics/bitmap.h"

namespace tarnblit {

inline void no_data() {
    _dbg_printf("bitmap has no data\n");
}

// True when every bitmap given has pixels; otherwise prints the report once and gives false.
template <std::same_as<LSR_Bitmap>... Bitmaps> bool has_data(const Bitmaps&... bitmaps) {
    if ((... && (bitmaps.data != nullptr))) return true;
    no_data();
    return false;
}

} // namespace tarnblit
