// Helpers shared by the file layer's sources: counted strings and an entry's extent.
#pragma once

#include <cstdint>
#include <cstdio>

namespace tarnfile_detail {

inline constexpr const char* k_tag = "tarnfile/tarnfile-std";

// A counted copy of text (tagged with the caller's line); null when the allocation fails.
char* copy_string(const char* text, int line);
// A counted block of count zeroed slots of size bytes (at least one slot, so that an empty
// table is still a block); null when the allocation fails.
void* zeroed_block(std::uint32_t count, std::uint32_t size, int line);
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
