// What both platforms take from POSIX alike: the executable's own path, a file's identity.
#include <sys/stat.h>
#include <unistd.h>

#include "lodestar/platform.h"

std::string plat_executable_path() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    return std::string(buffer, static_cast<std::size_t>(n));
}

bool plat_file_id(const char* path, PlatFileId* id) {
    struct stat info {};
    if (path == nullptr || id == nullptr || stat(path, &info) != 0) return false;
    id->device = static_cast<std::uint64_t>(info.st_dev);
    id->inode = static_cast<std::uint64_t>(info.st_ino);
    return true;
}
