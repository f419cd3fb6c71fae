// FNV-1a, byte by byte, at 32 or 64 bits: the checksum the pinned results are compared by.
#pragma once

#include <cstddef>
#include <cstdint>

template <class Word> struct BasicFnv {
    static constexpr bool wide = sizeof(Word) == 8;
    static constexpr Word prime = wide ? Word(0x100000001B3u) : Word(16777619u);
    Word sum = wide ? Word(0xCBF29CE484222325u) : Word(2166136261u);

    void add(const void* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            sum = (sum ^ static_cast<const std::uint8_t*>(data)[i]) * prime;
    }
    void add(std::uint32_t value) { add(&value, sizeof value); }
    void byte(std::uint32_t value) { sum = (sum ^ (value & 0xFFu)) * prime; }
};
using Fnv = BasicFnv<std::uint64_t>;
using Fnv32 = BasicFnv<std::uint32_t>;
