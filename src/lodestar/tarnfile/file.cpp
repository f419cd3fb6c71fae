// Named files of the mounted source: open, read, write, position, lines, close; the name hash.
#include <algorithm>
#include <cstring>

#include "lodestar/base/bytes.h"
#include "lodestar/base/debug.h"
#include "lodestar/base/owner.h"
#include "lodestar/tarnfile/internal/tarnfile.h"
#include "lodestar/tarnfile/tarnfile.h"

using namespace tarnfile_detail;

namespace {

// Where the handle's bytes lie: an archive entry in the shared stream, or the file's own stream
// (whose length is not capped: the file may grow while open for writing).
Extent handle_extent(const TarnFileHandle& handle) {
    if (archive_mode()) return entry_extent(handle.index);
    return {handle.stream, 0, UINT64_MAX};
}

// Bytes that may be read at the handle's position, and the stream placed there.
std::uint64_t place(const TarnFileHandle& handle, std::FILE** stream) {
    const Extent extent = handle_extent(handle);
    *stream = extent.stream;
    if (extent.stream == nullptr || handle.pos < extent.start ||
        handle.pos - extent.start >= extent.length)
        return 0;
    if (std::fseek(extent.stream, static_cast<long>(handle.pos), SEEK_SET) != 0) return 0;
    return extent.length - (handle.pos - extent.start);
}

std::uint32_t start_of(const TarnFileHandle& handle) {
    return archive_mode() ? static_cast<std::uint32_t>(entry_extent(handle.index).start) : 0;
}

std::int32_t open_on_disk(const char* lower, TarnFileHandle* handle, std::int32_t mode) {
    const char* directory = tarnfile_image.directory;
    const std::size_t length = std::strlen(directory) + 1 + std::strlen(lower) + 1;
    if (length > 0xFFFFFFFFu) return 0;
    const lsr::Counted<char> path = zeroed<char>(static_cast<std::uint32_t>(length), __LINE__);
    if (!path) return 0;
    std::snprintf(path.get(), length, "%s/%s", directory, lower);
    lsr::File stream = lsr::open_file(path.get(), mode == TARNFILE_WRITE ? "wb" : "rb");
    if (!stream) return 0;
    long size = -1;
    if (std::fseek(stream.get(), 0, SEEK_END) == 0) size = std::ftell(stream.get());
    // A directory, or a file the 32-bit positions cannot address, is not opened.
    if (size < 0 || static_cast<unsigned long>(size) > 0xFFFFFFFFul) return 0;
    std::rewind(stream.get());
    handle->stream = stream.release(); // the handle's now, closed by tarnfile_close
    handle->index = 0;
    handle->pos = 0;
    handle->size = static_cast<std::uint32_t>(size);
    return 1;
}

std::int32_t open_in_archive(const char* lower, TarnFileHandle* handle) {
    const TarnImage& image = tarnfile_image;
    const std::int32_t hash = tarnfile_gethash(lower);
    handle->hash = hash;
    // The whole name must match: a stored name shorter or longer than the one asked for is a
    // different file.
    for (std::uint32_t i = 0; i < image.numfiles; ++i) {
        if (image.hashes[i] != hash || std::strcmp(image.names[i], lower) != 0) continue;
        handle->stream = nullptr;
        handle->index = i;
        handle->pos = image.offsets[i];
        handle->size = entry_size(i);
        _dbg_printf("found file at offset: %d\n", static_cast<int>(image.offsets[i]));
        return 1;
    }
    _dbg_printf("couldn't find file: %s\n", lower);
    return 0;
}

} // namespace

std::int32_t tarnfile_gethash(const char* name) {
    std::uint32_t sum = 0; // bytes as signed 8-bit values, summed with wrap-around
    for (const char* c = name; *c != '\0'; ++c)
        sum += static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(*c)));
    return static_cast<std::int32_t>(sum);
}

void file_downcase(char* destination, const char* source, std::uint32_t n) {
    for (std::uint32_t i = 0; i < n; ++i) {
        const char c = source[i];
        destination[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
    }
}

std::uint32_t getint(const std::uint8_t* bytes) {
    return lsr::get_le32(bytes);
}

std::int32_t tarnfile_open(const char* name, TarnFileHandle* handle, std::int32_t mode) {
    if (name == nullptr || handle == nullptr) return 0;
    const std::size_t length = std::strlen(name);
    if (length >= 0xFFFFFFFFu) return 0;
    const auto n = static_cast<std::uint32_t>(length + 1);
    const lsr::Counted<char> lower = zeroed<char>(n, __LINE__);
    if (!lower) return 0;
    file_downcase(lower.get(), name, n);
    return archive_mode() ? open_in_archive(lower.get(), handle)
                          : open_on_disk(lower.get(), handle, mode);
}

void tarnfile_read(void* buffer, std::uint32_t size, std::uint32_t count, TarnFileHandle* handle) {
    if (buffer == nullptr || handle == nullptr) return;
    const std::uint64_t wanted = std::uint64_t{size} * count;
    std::FILE* stream = nullptr;
    const std::uint64_t available = std::min(wanted, place(*handle, &stream));
    std::size_t got = 0;
    if (available > 0) got = std::fread(buffer, 1, static_cast<std::size_t>(available), stream);
    std::memset(static_cast<char*>(buffer) + got, 0, static_cast<std::size_t>(wanted - got));
    handle->pos += static_cast<std::uint32_t>(wanted);
}

void tarnfile_write(const void* buffer, std::uint32_t size, std::uint32_t count,
                    TarnFileHandle* handle) {
    if (buffer == nullptr || handle == nullptr || archive_mode() || handle->stream == nullptr)
        return;
    const std::uint64_t bytes = std::uint64_t{size} * count;
    if (std::fseek(handle->stream, static_cast<long>(handle->pos), SEEK_SET) == 0)
        std::fwrite(buffer, 1, static_cast<std::size_t>(bytes), handle->stream);
    handle->pos += static_cast<std::uint32_t>(bytes);
}

void tarnfile_seek(TarnFileHandle* handle, std::int32_t offset, std::int32_t origin) {
    if (handle == nullptr) return;
    const auto delta = static_cast<std::uint32_t>(offset); // positions wrap as 32-bit words
    if (origin == TARNFILE_SEEK_START)
        handle->pos = start_of(*handle) + delta;
    else if (origin == TARNFILE_SEEK_CURRENT)
        handle->pos += delta;
    // A read past the end leaves the stream's end flag set; the new position decides anew.
    if (!archive_mode() && handle->stream != nullptr) std::clearerr(handle->stream);
}

std::uint32_t tarnfile_tell(const TarnFileHandle* handle) {
    return handle == nullptr ? 0 : handle->pos - start_of(*handle);
}

std::uint32_t tarnfile_fsize(const TarnFileHandle* handle) {
    return handle == nullptr ? 0 : handle->size;
}

void tarnfile_close(TarnFileHandle* handle) {
    if (handle == nullptr) return;
    if (!archive_mode() && handle->stream != nullptr) std::fclose(handle->stream);
    handle->stream = nullptr;
    handle->index = 0;
    handle->pos = 0;
}

char* tarnfile_gets(char* buffer, std::int32_t n, TarnFileHandle* handle) {
    if (buffer == nullptr || handle == nullptr || n <= 0) return nullptr;
    std::FILE* stream = nullptr;
    const std::uint64_t limit =
        std::min<std::uint64_t>(place(*handle, &stream), static_cast<std::uint32_t>(n - 1));
    std::uint32_t got = 0;
    while (got < limit) {
        const int c = std::fgetc(stream);
        if (c == EOF) break;
        buffer[got++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    buffer[got] = '\0';
    handle->pos += got;
    return got > 0 ? buffer : nullptr;
}

// An entry is at its end once the position reaches its size; a file on disk when its stream
// has met the end, so reading exactly the whole file is not yet the end.
std::int32_t tarnfile_feof(const TarnFileHandle* handle) {
    if (handle == nullptr) return 1;
    if (archive_mode()) return tarnfile_tell(handle) >= handle->size ? 1 : 0;
    return handle->stream != nullptr && std::feof(handle->stream) != 0;
}

void tarnfile_rewind(TarnFileHandle* handle) {
    if (handle == nullptr) return;
    handle->pos = start_of(*handle);
    if (!archive_mode() && handle->stream != nullptr) std::rewind(handle->stream);
}
