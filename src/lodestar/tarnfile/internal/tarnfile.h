// Helpers shared by the file layer's sources: counted strings and an entry's extent.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "lodestar/base/owner.h"

namespace tarnfile_detail {

inline constexpr const char* k_tag = "tarnfile/tarnfile-std";

// A counted block of count zeroed slots of T (at least one slot, so that an empty table is still
// a block), tagged with the caller's line; empty when the allocation fails.
template <class T> lsr::Counted<T> zeroed(std::uint32_t count, int line) {
    const std::uint64_t bytes = std::uint64_t{count == 0 ? 1u : count} * sizeof(T);
    if (bytes > 0xFFFFFFFFu) return {};
    auto block = lsr::allocate_counted<T>(static_cast<std::uint32_t>(bytes), k_tag, line);
    // Zero bytes are every slot type's empty value (null pointers, 0).
    if (block) std::memset(static_cast<void*>(block.get()), 0, static_cast<std::size_t>(bytes));
    return block;
}
// A counted copy of text; empty when the allocation fails.
lsr::Counted<char> copy_string(const char* text, int line);
// Releases a block the layer's state holds (the mount, the listing), when it holds one.
void release(void* block, int line);

// True while an archive (not a directory) is the mounted source.
bool archive_mode();

// The bytes a handle may read: from `start` for `length` bytes of `stream`.
struct Extent {
    std::FILE* stream = nullptr;
    std::uint64_t start = 0;
    std::uint64_t length = 0;
};
// Entry index's data in the archive; an empty extent for an index not in the table.
Extent entry_extent(std::uint32_t index);
std::uint32_t entry_size(std::uint32_t index);

} // namespace tarnfile_detail
