// FNV-1a over 64 bits: the checksum the pinned-result tables compare.
#pragma once

#include <cstddef>
#include <cstdint>

struct Fnv {
    std::uint64_t sum = 0xCBF29CE484222325u;
    void add(const void* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            sum = (sum ^ static_cast<const std::uint8_t*>(data)[i]) * 0x100000001B3u;
    }
    void add(std::uint32_t value) { add(&value, sizeof value); }
};
