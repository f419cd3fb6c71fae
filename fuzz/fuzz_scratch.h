// A scratch directory for fuzz targets that need real files: one per process, on a memory file
// system where there is one (the targets write and remove files on every input).
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "lodestar/lodestar.h"

namespace fuzz {

inline const std::string& scratch_dir() {
    static const std::string dir = [] {
        namespace fs = std::filesystem;
        std::error_code code;
        const fs::path base = fs::is_directory("/dev/shm", code) && access("/dev/shm", W_OK) == 0
                                  ? fs::path("/dev/shm")
                                  : fs::temp_directory_path();
        const fs::path mine = base / ("lsr-fuzz-" + std::to_string(getpid()));
        fs::remove_all(mine, code);
        fs::create_directories(mine, code);
        // Removed when the process ends normally (replays); a fuzzer stopped hard leaves it.
        static const struct Remover {
            fs::path path;
            ~Remover() {
                std::error_code ignored;
                fs::remove_all(path, ignored);
            }
        } remover{mine};
        return mine.string();
    }();
    return dir;
}

// Mounts the scratch directory as the file layer's source, once for the process; files written
// into it are then opened by their names.
inline void mount_scratch() {
    static const bool mounted = tarnfile_mountimage(scratch_dir().c_str(), TARNFILE_DIRECTORY) == 1;
    if (!mounted) std::abort();
}

inline bool write_bytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
    lsr::File f = lsr::open_file(path.c_str(), "wb");
    if (!f) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, f.get()) == size;
    return std::fclose(f.release()) == 0 && written; // a failed close is a failed write
}

// Reads bytes of an input one field at a time; past the end every field reads as zero.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint32_t u16() { return byte() | std::uint32_t{byte()} << 8; }
    std::uint32_t u32() { return u16() | u16() << 16; }
    // The next n bytes (fewer at the end).
    std::string bytes(std::size_t n) {
        n = std::min(n, size_ - std::min(at_, size_));
        std::string out(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return out;
    }
    std::string rest() { return bytes(size_); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

} // namespace fuzz
