// Sole owners of what the library allocates and opens: a block of the counted allocator and a
// standard stream, each given back when its owner goes, on every path, unless handed on with
// release().
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "lodestar/base/tarnmem.h"

namespace lsr {

// Releases a counted block under the source tag and line it was allocated under.
struct CountedRelease {
    const char* tag = nullptr;
    int line = 0;
    void operator()(void* block) const { _wrap_free_dbg(block, tag, line); }
};

// A counted block of T; empty when the allocation failed (the allocator has said so).
template <class T> using Counted = std::unique_ptr<T[], CountedRelease>;

template <class T> Counted<T> allocate_counted(std::uint32_t bytes, const char* tag, int line) {
    return Counted<T>(static_cast<T*>(_wrap_malloc_dbg(bytes, tag, line)),
                      CountedRelease{tag, line});
}

struct CloseStream {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};

// An open standard stream; empty when it could not be opened.
using File = std::unique_ptr<std::FILE, CloseStream>;

inline File open_file(const char* path, const char* mode) {
    return File(std::fopen(path, mode));
}

} // namespace lsr
