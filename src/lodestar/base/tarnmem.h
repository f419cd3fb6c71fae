// Counted allocation and the library's block copy and fill routines.
#pragma once

#include <atomic>
#include <cstdint>

// Bytes held through the counted calls (by the heap's usable size of each block), and the peak.
extern std::atomic<std::uint32_t> g_mem_in_use;
extern std::atomic<std::uint32_t> g_mem_in_use_peak;

void* _wrap_malloc(std::uint32_t size);
void* _wrap_malloc_dbg(std::uint32_t size, const char* file, int line);
void _wrap_free(void* block);
void _wrap_free_dbg(void* block, const char* file, int line);

void* _wrap_malloc_iwram(std::uint32_t size);
void* _wrap_malloc_iwram_dbg(std::uint32_t size, const char* file, int line);
void _wrap_free_iwram(void* block);
void _wrap_free_iwram_dbg(void* block, const char* file, int line);

void wrap_showusage();

// Forward copies; none of them handles overlap.
void wrap_memcpy(void* destination, const void* source, std::int32_t count);
void wrap_memcpy16(void* destination, const void* source, std::uint32_t count);
void wrap_memcpy32(void* destination, const void* source, std::uint32_t count);
void wrap_memset(void* destination, std::uint32_t value, std::int32_t count);
void wrap_memclr(void* destination, std::int32_t count);
