// The archive format on bytes in memory: stored names, building an archive, finding one in a file.
#include "pack.h"

#include <algorithm>
#include <cstring>

#include "lodestar/base/bytes.h"
#include "lodestar/lodestar.h"

namespace tarnpack {

namespace {

constexpr std::uint64_t k_limit = 0xFFFFFFFFull; // offsets are 32-bit

std::uint32_t u32_at(const std::vector<std::uint8_t>& file, std::uint64_t at) {
    return lsr::get_le32(file.data() + at);
}

} // namespace

std::string stored_name(const std::string& path, std::string* error) {
    std::string name;
    for (char c : path) name.push_back(c == '\\' ? '/' : c);
    while (name.rfind("./", 0) == 0) name.erase(0, 2);
    std::string lower(name.size(), '\0');
    file_downcase(lower.data(), name.data(), static_cast<std::uint32_t>(name.size()));
    const std::string wrapped = "/" + lower + "/";
    if (lower.empty() || lower[0] == '/' || wrapped.find("/../") != std::string::npos ||
        wrapped.find("//") != std::string::npos) {
        *error = "cannot store \"" + path + "\": give a path relative to the archive's root";
        return {};
    }
    // A file's name ends at a zero byte: past one, the name written would not be the one stored.
    if (lower.find('\0') != std::string::npos) {
        *error = "cannot store \"" + path + "\": a name holds no zero byte";
        return {};
    }
    if (lower.size() >= TARNFILE_PATHMAX) {
        *error = "cannot store \"" + path + "\": names hold at most 255 characters";
        return {};
    }
    return lower;
}

bool build(std::vector<Entry> entries, std::uint64_t base, std::vector<std::uint8_t>* out,
           std::string* error) {
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    std::uint64_t table = 12, data = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0 && entries[i].name == entries[i - 1].name) {
            *error = "two files are stored as \"" + entries[i].name + "\"";
            return false;
        }
        table += 12 + entries[i].name.size();
        data += entries[i].data.size();
    }
    // The trailer of an appended archive must be addressable too.
    if (base + table + data + 4 > k_limit) {
        *error = "the archive would end past the 4 GiB that its offsets can address";
        return false;
    }
    out->clear();
    out->reserve(static_cast<std::size_t>(table + data));
    out->insert(out->end(), {'T', 'A', 'R', 'N'});
    lsr::push_le32(*out, static_cast<std::uint32_t>(entries.size()));
    lsr::push_le32(*out,
                   static_cast<std::uint32_t>(base + table + data)); // romsize: end of the data
    std::uint64_t offset = base + table;
    for (const Entry& entry : entries) {
        lsr::push_le32(*out, static_cast<std::uint32_t>(entry.name.size()));
        lsr::push_le32(*out, static_cast<std::uint32_t>(tarnfile_gethash(entry.name.c_str())));
        out->insert(out->end(), entry.name.begin(), entry.name.end());
        lsr::push_le32(*out, static_cast<std::uint32_t>(offset));
        offset += entry.data.size();
    }
    for (const Entry& entry : entries)
        out->insert(out->end(), entry.data.begin(), entry.data.end());
    return true;
}

namespace {

bool parse(const std::vector<std::uint8_t>& file, std::uint64_t header, std::uint64_t end,
           Located* located, std::string* error) {
    const std::uint32_t count = u32_at(file, header + 4);
    const std::uint32_t romsize = u32_at(file, header + 8);
    if (romsize > end) {
        *error = "damaged archive: its data would end past the file";
        return false;
    }
    std::uint64_t at = header + 12;
    std::vector<Found> entries;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (at + 12 > end) {
            *error = "truncated archive: the entry table runs past the end";
            return false;
        }
        const std::uint32_t length = u32_at(file, at);
        if (length > end - at - 12) {
            *error = "truncated archive: an entry name runs past the end";
            return false;
        }
        Found found;
        found.name.assign(reinterpret_cast<const char*>(file.data() + at + 8), length);
        found.offset = u32_at(file, at + 8 + length);
        if (found.offset > romsize || (!entries.empty() && found.offset < entries.back().offset)) {
            *error = "damaged archive: entry \"" + found.name + "\" lies outside its data";
            return false;
        }
        if (!entries.empty()) entries.back().size = found.offset - entries.back().offset;
        entries.push_back(std::move(found));
        at += 12 + std::uint64_t{length};
    }
    if (!entries.empty()) entries.back().size = romsize - entries.back().offset;
    located->header = header;
    located->entries = std::move(entries);
    return true;
}

bool magic_at(const std::vector<std::uint8_t>& file, std::uint64_t at) {
    return at + 12 <= file.size() && std::memcmp(file.data() + at, "TARN", 4) == 0;
}

} // namespace

bool locate(const std::vector<std::uint8_t>& file, Located* located, std::string* error) {
    if (file.size() > k_limit) {
        *error = "file too large for an archive";
        return false;
    }
    if (magic_at(file, 0)) {
        located->appended = false;
        return parse(file, 0, file.size(), located, error);
    }
    if (file.size() >= 16) {
        const std::uint64_t trailer = u32_at(file, file.size() - 4);
        if (trailer + 16 <= file.size() && magic_at(file, trailer)) {
            located->appended = true;
            return parse(file, trailer, file.size() - 4, located, error);
        }
    }
    *error = "no archive found (no \"TARN\" header at the start or through the trailer)";
    return false;
}

} // namespace tarnpack
