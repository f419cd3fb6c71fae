// Counted allocation by the heap's usable block size, and word-wise copy and fill.
#include "lodestar/base/tarnmem.h"

#include <cstdlib>
#include <cstring>
#include <malloc.h>

#include "lodestar/base/debug.h"

std::atomic<std::uint32_t> g_mem_in_use{0};
std::atomic<std::uint32_t> g_mem_in_use_peak{0};

void* _wrap_malloc(std::uint32_t size) {
    return std::malloc(size);
}
void _wrap_free(void* block) {
    std::free(block);
}

void* _wrap_malloc_dbg(std::uint32_t size, const char* file, int line) {
    void* block = _wrap_malloc(size);
    if (block == nullptr) {
        _dbg_printf("%s(%d): wrap_malloc(%d) failed!\n", file, line, static_cast<int>(size));
        return nullptr;
    }
    const auto usable = static_cast<std::uint32_t>(malloc_usable_size(block));
    const std::uint32_t now = g_mem_in_use.fetch_add(usable, std::memory_order_relaxed) + usable;
    std::uint32_t peak = g_mem_in_use_peak.load(std::memory_order_relaxed);
    while (now > peak &&
           !g_mem_in_use_peak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
    return block;
}

void _wrap_free_dbg(void* block, const char* file, int line) {
    if (block == nullptr) {
        _dbg_printf("%s(%d): wrap_free() tried to free a NULL pointer!\n", file, line);
        return;
    }
    g_mem_in_use.fetch_sub(static_cast<std::uint32_t>(malloc_usable_size(block)),
                           std::memory_order_relaxed);
    _wrap_free(block);
}

void* _wrap_malloc_iwram(std::uint32_t size) {
    return _wrap_malloc(size);
}
void* _wrap_malloc_iwram_dbg(std::uint32_t size, const char* file, int line) {
    return _wrap_malloc_dbg(size, file, line);
}
void _wrap_free_iwram(void* block) {
    _wrap_free(block);
}
void _wrap_free_iwram_dbg(void* block, const char* file, int line) {
    _wrap_free_dbg(block, file, line);
}

void wrap_showusage() {
    _dbg_printf("memory usage: %d (peak: %d)\n",
                static_cast<int>(g_mem_in_use.load(std::memory_order_relaxed)),
                static_cast<int>(g_mem_in_use_peak.load(std::memory_order_relaxed)));
}

// Words are moved with memcpy of four bytes: the blocks need not be aligned.
void wrap_memcpy(void* destination, const void* source, std::int32_t count) {
    auto* d = static_cast<unsigned char*>(destination);
    const auto* s = static_cast<const unsigned char*>(source);
    while (count > 3) {
        std::memcpy(d, s, 4);
        d += 4;
        s += 4;
        count -= 4;
    }
    while (count > 0) {
        *d++ = *s++;
        --count;
    }
}

void wrap_memcpy16(void* destination, const void* source, std::uint32_t count) {
    auto* d = static_cast<unsigned char*>(destination);
    const auto* s = static_cast<const unsigned char*>(source);
    for (std::uint32_t i = 0; i < count; ++i) std::memcpy(d + 2 * i, s + 2 * i, 2);
}

void wrap_memcpy32(void* destination, const void* source, std::uint32_t count) {
    auto* d = static_cast<unsigned char*>(destination);
    const auto* s = static_cast<const unsigned char*>(source);
    for (std::uint32_t i = 0; i < count; ++i) std::memcpy(d + 4 * i, s + 4 * i, 4);
}

void wrap_memset(void* destination, std::uint32_t value, std::int32_t count) {
    auto* d = static_cast<unsigned char*>(destination);
    const std::uint32_t word = (value & 0xFFu) * 0x01010101u;
    while (count > 3) {
        std::memcpy(d, &word, 4);
        d += 4;
        count -= 4;
    }
    while (count > 0) {
        *d++ = static_cast<unsigned char>(value);
        --count;
    }
}

void wrap_memclr(void* destination, std::int32_t count) {
    wrap_memset(destination, 0, count);
}
