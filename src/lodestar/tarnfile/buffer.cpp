// Whole files under the current path: loaded into one counted block, or saved from one.

#include "lodestar/base/debug.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/tarnfile/internal/tarnfile.h"
#include "lodestar/tarnfile/tarnfile.h"

namespace {

// The current path without its leading "/" (archive names have none), then name. False, with a
// message, when the two do not fit the buffer.
bool build_path(const char* name, char (&path)[TARNFILE_PATHMAX]) {
    const char* current = tarnfile_localpath != nullptr ? tarnfile_localpath : "";
    if (*current == '/' || *current == '\\') ++current;
    const int n = std::snprintf(path, sizeof path, "%s%s", current, name);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof path) {
        _dbg_printf("name too long for the file layer: %s%s\n", current, name);
        return false;
    }
    return true;
}

} // namespace

std::uint8_t* tarnfile_loadbuffer(const char* name, std::uint32_t* size) {
    char path[TARNFILE_PATHMAX];
    if (name == nullptr || !build_path(name, path)) return nullptr;
    TarnFileHandle handle;
    if (tarnfile_open(path, &handle, 0) == 0) return nullptr;
    const std::uint32_t bytes = tarnfile_fsize(&handle);
    auto* buffer = static_cast<std::uint8_t*>(
        _wrap_malloc_dbg(bytes == 0 ? 1 : bytes, tarnfile_detail::k_tag, __LINE__));
    if (buffer != nullptr) tarnfile_read(buffer, 1, bytes, &handle);
    tarnfile_close(&handle);
    if (buffer != nullptr && size != nullptr) *size = bytes;
    return buffer;
}

void tarnfile_savebuffer(const char* name, const void* data, std::uint32_t size) {
    char path[TARNFILE_PATHMAX];
    if (name == nullptr || data == nullptr || !build_path(name, path)) return;
    TarnFileHandle handle;
    if (tarnfile_open(path, &handle, 1) == 0) return;
    tarnfile_write(data, 1, size, &handle);
    tarnfile_close(&handle);
}
