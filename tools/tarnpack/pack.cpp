// The archive format on bytes in memory: stored names, building an archive, finding one in a file.
#include "pack.h"

#include <algorithm>
#include <cstring>

#include "lodestar/base/bytes.h"
#include "lodestar/lodestar.h"

namespace tarnpack {

namespace {

constexpr std::uint64_t k_limit = 0xFFFFFFFFull; // offsets are 32-bit

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
    std::uint64_t table = TARNFILE_HEADERSIZE, data = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0 && entries[i].name == entries[i - 1].name) {
            *error = "two files are stored as \"" + entries[i].name + "\"";
            return false;
        }
        table += TARNFILE_RECORDSIZE + entries[i].name.size();
        data += entries[i].data.size();
    }
    // The trailer of an appended archive must be addressable too.
    if (base + table + data + TARNFILE_TRAILERSIZE > k_limit) {
        *error = "the archive would end past the 4 GiB that its offsets can address";
        return false;
    }
    out->clear();
    out->reserve(static_cast<std::size_t>(table + data));
    out->insert(out->end(), TARNFILE_MAGIC, TARNFILE_MAGIC + 4);
    lsr::push_le32(*out, static_cast<std::uint32_t>(entries.size()));
    lsr::push_le32(*out, static_cast<std::uint32_t>(base + table + data)); // romsize
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

// The bytes of a file held in memory, as the table reader reads them.
bool read_at(void* source, std::uint64_t at, void* out, std::uint32_t n) {
    const auto& file = **static_cast<const std::vector<std::uint8_t>**>(source);
    if (at > file.size() || n > file.size() - at) return false;
    std::memcpy(out, file.data() + at, n);
    return true;
}

// The entries of the table started in table, with their sizes.
bool read_entries(TarnTable* table, Located* located, std::string* error) {
    std::vector<Found> entries;
    TarnRecord record;
    for (std::uint32_t i = 0; i < table->numfiles; ++i) {
        if (tarnfile_tablenext(table, &record) == 0) {
            *error = std::string("archive ") + table->problem;
            return false;
        }
        // The name as stored, zero bytes and all: extracting refuses what cannot be a file name.
        if (!entries.empty()) entries.back().size = record.offset - entries.back().offset;
        entries.push_back({std::string(record.name, record.length), record.offset, 0});
    }
    if (!entries.empty()) entries.back().size = table->romsize - entries.back().offset;
    located->entries = std::move(entries);
    return true;
}

} // namespace

bool locate(const std::vector<std::uint8_t>& file, Located* located, std::string* error) {
    if (file.size() > k_limit) {
        *error = "file too large for an archive";
        return false;
    }
    const std::vector<std::uint8_t>* bytes = &file;
    void* source = &bytes;
    // An archive of its own starts with its header; an appended one is found by its trailer.
    TarnTable table;
    std::uint64_t header = 0, end = file.size();
    std::int32_t started = tarnfile_tablestart(&table, read_at, source, header, end);
    const bool no_header = started == 0 && table.problem[0] == '\0';
    located->appended = no_header && tarnfile_findappended(read_at, source, end, &header, &end);
    if (located->appended) started = tarnfile_tablestart(&table, read_at, source, header, end);
    if (started == 0) {
        *error = table.problem[0] == '\0'
                     ? "no archive found (no \"TARN\" header at the start or through the trailer)"
                     : std::string("archive ") + table.problem;
        return false;
    }
    located->header = header;
    return read_entries(&table, located, error);
}

} // namespace tarnpack
