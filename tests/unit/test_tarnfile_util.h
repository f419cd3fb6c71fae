// Test helpers for the file layer: a temporary directory with files written into it, and a
// fixture that leaves nothing mounted.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "lodestar/tarnfile/tarnfile.h"

namespace tarn_test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytes_of(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// Little-endian fields of the given size, written here on their own rather than with the
// readers' byte helpers.
inline void put(Bytes& b, std::initializer_list<std::uint64_t> values, int bytes) {
    for (std::uint64_t value : values)
        for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
inline void put(Bytes& b, std::uint64_t value, int bytes) {
    put(b, {value}, bytes);
}

inline Bytes read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh directory, removed with everything in it at the end.
class TempDir {
  public:
    TempDir() : path_((std::filesystem::temp_directory_path() / "tarnXXXXXX").string()) {
        if (mkdtemp(path_.data()) == nullptr) path_.clear();
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Writes a file below the directory, making its parent directories; returns its path.
    std::string write(const std::string& name, const Bytes& content) const {
        const std::string full = *this / name;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(content.data()),
                   static_cast<std::streamsize>(content.size()));
        return full;
    }

  private:
    std::string path_;
};

// Unmounts before and after each test, so that tests do not see each other's mounts.
class Mounted : public ::testing::Test {
  protected:
    void SetUp() override { tarnfile_closeimage(); }
    void TearDown() override { tarnfile_closeimage(); }
    TempDir dir;
};

} // namespace tarn_test
