// The file layer's current path: changed like a shell's, always ending with "/".
#include <cstring>

#include "lodestar/base/debug.h"
#include "lodestar/tarnfile/tarnfile.h"

namespace {

// Cuts the path at its last separator before the final character; empty when there is none.
void go_up(char* path) {
    const std::size_t length = std::strlen(path);
    if (length <= 1) {
        path[0] = '\0';
        return;
    }
    for (std::size_t i = length - 1; i-- > 0;) {
        if (path[i] == '/' || path[i] == '\\') {
            path[i] = '\0';
            return;
        }
    }
    path[0] = '\0';
}

} // namespace

void tarnfile_chdir(const char* directory) {
    if (tarnfile_localpath == nullptr || directory == nullptr) return;
    if (std::strcmp(directory, ".") == 0) return;
    // Built aside, so that a path too long for the buffer leaves the current one as it was.
    char next[TARNFILE_PATHMAX];
    std::memcpy(next, tarnfile_localpath, TARNFILE_PATHMAX);
    next[TARNFILE_PATHMAX - 1] = '\0';
    bool fits = true;
    if (std::strcmp(directory, "..") == 0) {
        go_up(next);
    } else if (directory[0] == '/' || directory[0] == '\\') {
        fits = std::strlen(directory) < sizeof next;
        if (fits) std::strcpy(next, directory);
    } else {
        const std::size_t used = std::strlen(next);
        fits = used + std::strlen(directory) < sizeof next;
        if (fits) std::strcpy(next + used, directory);
    }
    const std::size_t length = fits ? std::strlen(next) : 0;
    if (fits && (length == 0 || next[length - 1] != '/')) {
        fits = length + 1 < sizeof next;
        if (fits) std::strcpy(next + length, "/");
    }
    if (!fits) {
        _dbg_printf("path too long: %s\n", directory);
        return;
    }
    std::memcpy(tarnfile_localpath, next, TARNFILE_PATHMAX);
    _dbg_printf("localpath = %s\n", tarnfile_localpath);
}

char* tarnfile_getpath() {
    return tarnfile_localpath;
}
