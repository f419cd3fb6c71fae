// Fuzzes the archive tool on an archive of any bytes: list, extract and append. What it lists it
// extracts, byte for byte, as plain files inside the folder (even where the folder holds links
// planted into it), and appending gives a program that holds the same entries after its own
// bytes, the same however often it is repeated; whatever fails leaves the program as it was.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz_scratch.h"
#include "pack.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes read_disk(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every entry's data by name (the last of equal names wins, as extracting writes them in turn).
std::map<std::string, Bytes> contents(const Bytes& file, const tarnpack::Located& located) {
    std::map<std::string, Bytes> out;
    for (const tarnpack::Found& e : located.entries)
        out[e.name] = Bytes(file.begin() + e.offset, file.begin() + e.offset + e.size);
    return out;
}

void check_extract(const fs::path& base, const std::string& archive, const Bytes& bytes,
                   const tarnpack::Located& located) {
    const fs::path out = base / "out";
    std::error_code code;
    fs::remove_all(out, code);
    fs::create_directories(out / "sub", code);
    // Links already in the folder, which no entry may write through.
    fs::create_symlink(base / "outside", out / "link", code);
    fs::create_symlink(base / "victim", out / "sub/b", code);
    std::string error;
    if (tarnpack::extract(archive, out.string(), &error) != 0) return;
    for (const auto& [name, data] : contents(bytes, located)) {
        if (!fs::is_regular_file(fs::symlink_status(out / name, code)) ||
            read_disk(out / name) != data)
            std::abort();
    }
    if (fs::exists(base / "outside", code) || fs::exists(base / "victim", code)) std::abort();
}

void check_append(const fs::path& base, const std::string& archive, const Bytes& bytes,
                  const tarnpack::Located& located) {
    const std::string program = (base / "program").string();
    const Bytes head = {0x7f, 'E', 'L', 'F', 1, 2, 3};
    fuzz::write_bytes(program, head.data(), head.size());
    std::string error;
    if (tarnpack::append(program, archive, &error) != 0) {
        if (read_disk(program) != head) std::abort();
        return;
    }
    const Bytes once = read_disk(program);
    tarnpack::Located found;
    if (once.size() < head.size() || !std::equal(head.begin(), head.end(), once.begin()) ||
        !tarnpack::locate(once, &found, &error) || !found.appended || found.header != head.size() ||
        contents(once, found) != contents(bytes, located))
        std::abort();
    if (tarnpack::append(program, archive, &error) != 0 || read_disk(program) != once) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1u << 16) return 0;
    const fs::path base = fuzz::scratch_dir();
    const std::string archive = (base / "in.tarn").string();
    if (!fuzz::write_bytes(archive, data, size)) return 0;
    const Bytes bytes(data, data + size);

    std::string listed, error;
    tarnpack::Located located;
    const bool found = tarnpack::locate(bytes, &located, &error);
    if ((tarnpack::list(archive, &listed, &error) == 0) != found) std::abort();
    if (!found) return 0;
    // Many entries are many files: extracting them is left to smaller inputs.
    if (located.entries.size() <= 64) check_extract(base, archive, bytes, located);
    check_append(base, archive, bytes, located);
    return 0;
}
