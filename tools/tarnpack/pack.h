// Building, reading, listing, extracting and appending resource archives ("TARN").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnpack {

struct Entry {
    std::string name; // lower case, "/" between directories, relative to the archive's root
    std::vector<std::uint8_t> data;
};

// An entry found in a file: its data at offset (absolute in that file), size bytes.
struct Found {
    std::string name;
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

// Where a file's archive lies and what it holds.
struct Located {
    std::uint64_t header = 0; // position of "TARN"
    bool appended = false;    // found through the 4-byte trailer
    std::vector<Found> entries;
};

// The name an archive stores for a path given by the user: lower case, "/" separators, no "./".
// Empty, with error set, for a name that cannot be stored (absolute, "..", empty, too long).
std::string stored_name(const std::string& path, std::string* error);

// The archive's bytes for entries (sorted into byte order of their names) when its header is
// to stand at absolute position base. False, with error set, for duplicate names or a size
// that 32-bit offsets cannot address.
bool build(std::vector<Entry> entries, std::uint64_t base, std::vector<std::uint8_t>* out,
           std::string* error);

// Finds the archive in a file's bytes: at its start, or through the trailer. The library's table
// reader checks every length and offset against the bytes held, as mounting does.
bool locate(const std::vector<std::uint8_t>& file, Located* located, std::string* error);

// The commands of the tool; each returns 0 on success and writes what failed into error.
int create(const std::string& archive, const std::vector<std::string>& files, std::string* error);
int list(const std::string& archive, std::string* out, std::string* error);
int extract(const std::string& archive, const std::string& directory, std::string* error);
// Writes the archive after the executable's own bytes (replacing one appended before) and ends
// the file with the archive header's position.
int append(const std::string& executable, const std::string& archive, std::string* error);

// The command line: tarnpack COMMAND ARGS...; the status to exit with.
int run(int argc, const char* const* argv);

} // namespace tarnpack
