// Mounting and unmounting the file layer's one source, and reading an archive's entry table.
#include <cstring>

#include "lodestar/base/debug.h"
#include "lodestar/base/owner.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/tarnfile/internal/tarnfile.h"
#include "lodestar/tarnfile/tarnfile.h"

std::int32_t tarnfile_mounttype = 0;
std::FILE* g_fp = nullptr;
TarnImage tarnfile_image;
char* tarnfile_localpath = nullptr;
TarnListEntry* tarnfile_filelist = nullptr;
std::uint32_t tarnfile_filelistsize = 0;
std::uint32_t tarnfile_numfiles = 0;
char* tarnfile_dirnames[TARNFILE_MAXDIRS] = {};
std::uint32_t tarnfile_numdirs = 0;
char curDir[TARNFILE_PATHMAX] = {};
char curFile[TARNFILE_PATHMAX] = {};
std::uint32_t diroffset = 0;

namespace tarnfile_detail {

lsr::Counted<char> copy_string(const char* text, int line) {
    const std::size_t length = std::strlen(text);
    if (length >= 0xFFFFFFFFu) return {};
    auto copy = lsr::allocate_counted<char>(static_cast<std::uint32_t>(length + 1), k_tag, line);
    if (copy) std::memcpy(copy.get(), text, length + 1);
    return copy;
}

void release(void* block, int line) {
    if (block != nullptr) _wrap_free_dbg(block, k_tag, line);
}

bool archive_mode() {
    return tarnfile_mounttype != TARNFILE_DIRECTORY;
}

Extent entry_extent(std::uint32_t index) {
    if (!archive_mode() || index >= tarnfile_image.numfiles || g_fp == nullptr) return {};
    return {g_fp, tarnfile_image.offsets[index], entry_size(index)};
}

std::uint32_t entry_size(std::uint32_t index) {
    const TarnImage& image = tarnfile_image;
    if (image.offsets == nullptr || index >= image.numfiles) return 0;
    const std::uint32_t end = index + 1 < image.numfiles ? image.offsets[index + 1] : image.romsize;
    return end - image.offsets[index]; // offsets never decrease and stop at romsize (checked)
}

} // namespace tarnfile_detail

using namespace tarnfile_detail;

namespace {

// End of the bytes that belong to the mounted archive: the file's length, or for an appended
// archive the position of its trailer; and where its header stands.
std::uint64_t g_archive_end = 0;
std::uint64_t g_archive_header = 0;

bool read_at(void* source, std::uint64_t at, void* out, std::uint32_t n) {
    auto* stream = static_cast<std::FILE*>(source);
    return std::fseek(stream, static_cast<long>(at), SEEK_SET) == 0 &&
           std::fread(out, 1, n, stream) == n;
}

// Length of an open file, or -1 when it cannot be measured or does not fit 32 bits.
std::int64_t file_length(std::FILE* stream) {
    if (std::fseek(stream, 0, SEEK_END) != 0) return -1;
    const long length = std::ftell(stream);
    if (length < 0 || static_cast<unsigned long>(length) > 0xFFFFFFFFul) return -1;
    return length;
}

// Opens an archive file and finds its header. 0 on failure: with a message when the file cannot
// be opened; silently, as for a header without its magic, when no header can lie where the file
// (or an executable's trailer) says.
std::int32_t open_archive(const char* name, std::int32_t kind) {
    lsr::File stream = lsr::open_file(name, "rb");
    if (!stream) {
        _dbg_printf("could not open image: %s\n", name);
        return 0;
    }
    const std::int64_t length = file_length(stream.get());
    bool readable = length >= 0;
    std::uint64_t start = 0;
    std::uint64_t end = readable ? static_cast<std::uint64_t>(length) : 0;
    if (readable && kind == TARNFILE_EXECUTABLE)
        readable = tarnfile_findappended(read_at, stream.get(), end, &start, &end) == 1;
    _dbg_printf(kind == TARNFILE_EXECUTABLE ? "loading from executable\n" : "loading from file\n");
    if (!readable) return 0;
    tarnfile_mounttype = TARNFILE_ARCHIVE;
    g_fp = stream.release(); // the mount's now, closed with it
    tarnfile_image.source = g_fp;
    g_archive_header = start;
    g_archive_end = end;
    return 1;
}

bool allocate_table(std::uint32_t count) {
    TarnImage& image = tarnfile_image;
    image.capacity = count;
    image.offsets = zeroed<std::uint32_t>(count, __LINE__).release();
    image.names = zeroed<char*>(count, __LINE__).release();
    image.hashes = zeroed<std::int32_t>(count, __LINE__).release();
    return image.offsets != nullptr && image.names != nullptr && image.hashes != nullptr;
}

// Reads the archive's table into the image; the table reader checks every length and offset
// against the archive's end, so that no entry can later send a read outside the archive.
std::int32_t read_archive_table() {
    TarnImage& image = tarnfile_image;
    TarnTable table;
    const std::int32_t started =
        tarnfile_tablestart(&table, read_at, g_fp, g_archive_header, g_archive_end);
    if (table.counted) {
        _dbg_printf("numfiles: %d\n", static_cast<int>(table.numfiles));
        _dbg_printf("romsize: %d\n", static_cast<int>(table.romsize));
    }
    const auto refused = [&table] {
        if (table.problem[0] != '\0') _dbg_printf("resource image %s\n", table.problem);
        return 0;
    };
    if (started == 0) return refused();
    if (!allocate_table(table.numfiles)) return 0;
    image.romsize = table.romsize;
    TarnRecord record;
    for (std::uint32_t i = 0; i < table.numfiles; ++i) {
        if (tarnfile_tablenext(&table, &record) == 0) return refused();
        lsr::Counted<char> name = zeroed<char>(record.length + 1, __LINE__);
        if (!name) return 0;
        std::memcpy(name.get(), record.name, record.length);
        image.names[i] = name.release();
        image.numfiles = i + 1;
        image.hashes[i] = record.hash;
        image.offsets[i] = record.offset;
    }
    return 1;
}

std::int32_t read_directory_table() {
    TarnImage& image = tarnfile_image;
    curDir[0] = curFile[0] = '\0';
    diroffset = 0;
    image.numfiles = 0;
    tarnfile_opendir(image.directory, TARNFILE_PASS_COUNT);
    _dbg_printf("Found %d files\n", static_cast<int>(image.numfiles));
    if (!allocate_table(image.numfiles)) return 0;
    curDir[0] = curFile[0] = '\0';
    diroffset = 0;
    image.numfiles = 0;
    tarnfile_opendir(image.directory, TARNFILE_PASS_STORE);
    return 1;
}

} // namespace

std::int32_t readheader() {
    const std::int32_t read = archive_mode() ? read_archive_table() : read_directory_table();
    if (read == 0) return 0;
    // A listing below the root also holds "..": one slot more than there are entries.
    tarnfile_filelistsize = tarnfile_image.numfiles + 1;
    tarnfile_filelist = zeroed<TarnListEntry>(tarnfile_filelistsize, __LINE__).release();
    tarnfile_localpath = zeroed<char>(TARNFILE_PATHMAX, __LINE__).release();
    if (tarnfile_filelist == nullptr || tarnfile_localpath == nullptr) return 0;
    tarnfile_localpath[0] = '/';
    return 1;
}

std::int32_t tarnfile_mountimage(const char* name, std::int32_t kind) {
    if (name == nullptr) return 0;
    // One source at a time: a new mount replaces the old one rather than leaking it.
    if (tarnfile_image.source != nullptr || tarnfile_image.directory != nullptr)
        tarnfile_closeimage();
    _dbg_printf("Loading resource image: %s\n", name);
    switch (kind) {
    case TARNFILE_ARCHIVE:
    case TARNFILE_EXECUTABLE:
        if (open_archive(name, kind) == 0) return 0;
        break;
    case TARNFILE_DIRECTORY:
        tarnfile_mounttype = TARNFILE_DIRECTORY;
        tarnfile_image.directory = copy_string(name, __LINE__).release();
        if (tarnfile_image.directory == nullptr) return 0;
        break;
    default: return 0;
    }
    if (readheader() == 1) return 1;
    tarnfile_closeimage(); // a refused image leaves nothing mounted
    return 0;
}

void tarnfile_closeimage() {
    TarnImage& image = tarnfile_image;
    if (image.source != nullptr) std::fclose(image.source);
    g_fp = nullptr;
    release(image.directory, __LINE__);
    if (image.names != nullptr)
        for (std::uint32_t i = 0; i < image.capacity; ++i) release(image.names[i], __LINE__);
    if (tarnfile_filelist != nullptr) {
        for (std::uint32_t i = 0; i < tarnfile_filelistsize; ++i) {
            release(tarnfile_filelist[i].name, __LINE__);
            release(tarnfile_filelist[i].path, __LINE__);
        }
    }
    release(tarnfile_filelist, __LINE__);
    for (std::uint32_t i = 0; i < tarnfile_numdirs; ++i) release(tarnfile_dirnames[i], __LINE__);
    release(image.offsets, __LINE__);
    release(image.names, __LINE__);
    release(image.hashes, __LINE__);
    release(tarnfile_localpath, __LINE__);
    image = TarnImage{};
    tarnfile_filelist = nullptr;
    tarnfile_filelistsize = 0;
    tarnfile_numfiles = 0;
    tarnfile_numdirs = 0;
    tarnfile_localpath = nullptr;
    tarnfile_mounttype = TARNFILE_ARCHIVE;
}
