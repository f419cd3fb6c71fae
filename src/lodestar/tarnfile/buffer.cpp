// Whole files under the current path: loaded into one counted block, or saved from one.

#include "lodestar/base/debug.h"
#include "lodestar/base/owner.h"
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

lsr::Counted<std::uint8_t> tarnfile_readall(const char* name, const char* tag, int line,
                                            std::uint32_t* size) {
    TarnFileHandle handle;
    if (name == nullptr || tarnfile_open(name, &handle, TARNFILE_READ) == 0) return {};
    const std::uint32_t bytes = tarnfile_fsize(&handle);
    auto buffer = lsr::allocate_counted<std::uint8_t>(bytes == 0 ? 1 : bytes, tag, line);
    if (buffer) tarnfile_read(buffer.get(), 1, bytes, &handle);
    tarnfile_close(&handle);
    if (buffer && size != nullptr) *size = bytes;
    return buffer;
}

std::uint8_t* tarnfile_loadbuffer(const char* name, std::uint32_t* size) {
    char path[TARNFILE_PATHMAX];
    if (name == nullptr || !build_path(name, path)) return nullptr;
    return tarnfile_readall(path, tarnfile_detail::k_tag, __LINE__, size).release();
}

void tarnfile_savebuffer(const char* name, const void* data, std::uint32_t size) {
    char path[TARNFILE_PATHMAX];
    if (name == nullptr || data == nullptr || !build_path(name, path)) return;
    TarnFileHandle handle;
    if (tarnfile_open(path, &handle, TARNFILE_WRITE) == 0) return;
    tarnfile_write(data, 1, size, &handle);
    tarnfile_close(&handle);
}
