// The listing of one directory of the mounted source: its subdirectories, then matching files.
#include <cstring>
#include <utility>

#include "lodestar/base/debug.h"
#include "lodestar/base/owner.h"
#include "lodestar/tarnfile/internal/tarnfile.h"
#include "lodestar/tarnfile/tarnfile.h"

using namespace tarnfile_detail;

namespace {

// The part of an archive name below the current path, or null when it lies elsewhere.
const char* below_current(const char* name, bool root, std::size_t prefix) {
    if (root) return name;
    if (std::strncmp(name, tarnfile_localpath + 1, prefix) != 0) return nullptr;
    return name + prefix;
}

// True when rest names something inside a subdirectory: a "/" before its last character.
bool in_subdirectory(const char* rest) {
    const char* slash = std::strchr(rest, '/');
    return slash != nullptr && slash[1] != '\0';
}

bool matches(const char* rest, const char* extension) {
    if (extension[0] == '\0' || std::strcmp(extension, ".*") == 0) return true;
    const std::size_t n = std::strlen(rest), e = std::strlen(extension);
    return n >= e && std::memcmp(rest + n - e, extension, e) == 0;
}

void clear_listing() {
    for (std::uint32_t i = 0; i < tarnfile_filelistsize; ++i) {
        TarnListEntry& entry = tarnfile_filelist[i];
        release(entry.name, __LINE__);
        release(entry.path, __LINE__);
        entry = TarnListEntry{};
    }
    tarnfile_numfiles = 0;
}

// The listing takes the two strings when it has room for them.
void append(lsr::Counted<char> name, lsr::Counted<char> path, std::uint32_t size,
            std::uint8_t isdir) {
    if (!name || !path || tarnfile_numfiles >= tarnfile_filelistsize) return;
    tarnfile_filelist[tarnfile_numfiles++] =
        TarnListEntry{name.release(), path.release(), size, isdir};
}

void list_directories() {
    for (std::uint32_t i = 0; i < tarnfile_numdirs; ++i) {
        // The listing owns the directory's name from here.
        lsr::Counted<char> dir(std::exchange(tarnfile_dirnames[i], nullptr),
                               lsr::CountedRelease{k_tag, __LINE__});
        const std::size_t n = std::strlen(dir.get());
        lsr::Counted<char> shown = zeroed<char>(static_cast<std::uint32_t>(n + 3), __LINE__);
        if (shown) std::snprintf(shown.get(), n + 3, "[%s]", dir.get());
        append(std::move(shown), std::move(dir), 0, 1);
    }
    tarnfile_numdirs = 0;
}

} // namespace

void tarnfile_adddir(const char* name) {
    for (std::uint32_t i = 0; i < tarnfile_numdirs; ++i)
        if (std::strcmp(tarnfile_dirnames[i], name) == 0) return;
    if (tarnfile_numdirs >= TARNFILE_MAXDIRS) {
        _dbg_printf("too many directories to list: %s\n", name);
        return;
    }
    if (lsr::Counted<char> copy = copy_string(name, __LINE__))
        tarnfile_dirnames[tarnfile_numdirs++] = copy.release();
}

void tarnfile_readdir(const char* pattern) {
    if (pattern == nullptr || tarnfile_localpath == nullptr || tarnfile_filelist == nullptr) return;
    char extension[16] = "";
    if (const char* dot = std::strrchr(pattern, '.')) {
        if (std::strlen(dot) >= sizeof extension) {
            _dbg_printf("pattern extension too long: %s\n", dot);
            return;
        }
        std::strcpy(extension, dot);
    }
    _dbg_printf("extension = %s, length: %d\n", extension,
                static_cast<int>(std::strlen(extension)));
    clear_listing();

    const std::size_t length = std::strlen(tarnfile_localpath);
    const bool root = length == 0 || std::strcmp(tarnfile_localpath, "/") == 0;
    if (root) _dbg_printf("dir is root\n");
    const std::size_t prefix = root ? 0 : length - 1;
    for (std::uint32_t i = 0; i < tarnfile_numdirs; ++i) release(tarnfile_dirnames[i], __LINE__);
    tarnfile_numdirs = 0;
    if (!root) tarnfile_adddir("..");

    const TarnImage& image = tarnfile_image;
    for (std::uint32_t i = 0; i < image.numfiles; ++i) {
        const char* rest = below_current(image.names[i], root, prefix);
        if (rest == nullptr || !in_subdirectory(rest)) continue;
        const std::size_t cut = std::strcspn(rest, "/\\");
        char dir[TARNFILE_PATHMAX];
        std::snprintf(dir, sizeof dir, "%.*s", static_cast<int>(cut), rest);
        tarnfile_adddir(dir);
    }
    list_directories();

    for (std::uint32_t i = 0; i < image.numfiles; ++i) {
        const char* rest = below_current(image.names[i], root, prefix);
        if (rest == nullptr || !matches(rest, extension) || in_subdirectory(rest)) continue;
        append(copy_string(rest, __LINE__), copy_string(image.names[i], __LINE__),
               archive_mode() ? entry_size(i) : 0, 0);
    }
    _dbg_printf("- ReadDIR completed!\n");
}
