// Reading an archive's header, entry table and trailer, every length and offset checked against
// the bytes that belong to the archive.
#include <cstdio>
#include <cstring>

#include "lodestar/base/bytes.h"
#include "lodestar/tarnfile/tarnfile.h"

namespace {

// Fields by offset: in the header after the magic, and in a record.
constexpr std::uint64_t k_numfiles = 4, k_romsize = 8;
constexpr std::uint64_t k_name_length = 0, k_hash = 4, k_name = 8;

bool read_u32(const TarnTable& table, std::uint64_t at, std::uint32_t* value) {
    std::uint8_t bytes[4];
    if (!table.read(table.source, at, bytes, 4)) return false;
    *value = lsr::get_le32(bytes);
    return true;
}

// Refuses the table: the step's result, with what is wrong (a format taking the entry's index).
std::int32_t refuse(TarnTable* table, const char* problem, std::uint32_t index = 0) {
    std::snprintf(table->problem, sizeof table->problem, problem, index);
    return 0;
}

} // namespace

std::int32_t tarnfile_tablestart(TarnTable* table, TarnReadAt read, void* source,
                                 std::uint64_t header, std::uint64_t end) {
    *table = TarnTable{};
    table->read = read;
    table->source = source;
    table->end = end;
    char magic[4];
    if (header > end || end - header < sizeof magic || !read(source, header, magic, sizeof magic) ||
        std::memcmp(magic, TARNFILE_MAGIC, sizeof magic) != 0)
        return 0;
    const std::uint64_t first = header + TARNFILE_HEADERSIZE;
    if (first > end || !read_u32(*table, header + k_numfiles, &table->numfiles) ||
        !read_u32(*table, header + k_romsize, &table->romsize))
        return refuse(table, "is truncated");
    table->counted = true;
    if (table->romsize > end) return refuse(table, "is damaged: its data ends past the file");
    if (table->numfiles > (end - first) / TARNFILE_RECORDSIZE)
        return refuse(table, "is truncated: %u entries do not fit", table->numfiles);
    table->at = first;
    return 1;
}

std::int32_t tarnfile_tablenext(TarnTable* table, TarnRecord* record) {
    const std::uint32_t i = table->index;
    const std::uint64_t at = table->at, end = table->end;
    std::uint32_t length = 0, hash = 0;
    if (i >= table->numfiles) return refuse(table, "has no entry %u", i);
    if (at > end || end - at < TARNFILE_RECORDSIZE ||
        !read_u32(*table, at + k_name_length, &length) || !read_u32(*table, at + k_hash, &hash) ||
        length > end - at - TARNFILE_RECORDSIZE)
        return refuse(table, "is truncated at entry %u", i);
    if (length >= TARNFILE_PATHMAX) return refuse(table, "entry %u has a name too long", i);
    *record = TarnRecord{};
    record->length = length;
    record->hash = static_cast<std::int32_t>(hash);
    // The data offset follows the name.
    if (!table->read(table->source, at + k_name, record->name, length) ||
        !read_u32(*table, at + k_name + length, &record->offset))
        return refuse(table, "is truncated at entry %u", i);
    if (record->offset < table->previous || record->offset > table->romsize)
        return refuse(table, "is damaged: entry %u lies outside its data", i);
    table->at = at + TARNFILE_RECORDSIZE + length;
    table->previous = record->offset;
    table->index = i + 1;
    return 1;
}

std::int32_t tarnfile_findappended(TarnReadAt read, void* source, std::uint64_t length,
                                   std::uint64_t* header, std::uint64_t* end) {
    // The smallest archive, a header with no entries, and the trailer after it.
    if (length < TARNFILE_HEADERSIZE + TARNFILE_TRAILERSIZE) return 0;
    const std::uint64_t trailer_at = length - TARNFILE_TRAILERSIZE;
    std::uint8_t trailer[TARNFILE_TRAILERSIZE];
    if (!read(source, trailer_at, trailer, sizeof trailer)) return 0;
    const std::uint32_t at = lsr::get_le32(trailer);
    if (at > trailer_at - TARNFILE_HEADERSIZE) return 0; // the header must lie wholly before it
    *header = at;
    *end = trailer_at;
    return 1;
}
