// The directory walk of a directory mount: counts, then names, every file below the mount.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "lodestar/frame/debug.h"
#include "lodestar/tarnfile/tarnfile.h"
#include "lodestar/tarnfile/tarnfile_internal.h"

namespace {

// 1, plus one for each "/" at positions 1 to length - 2.
int path_levels(const char* directory) {
    const std::size_t length = std::strlen(directory);
    int levels = 1;
    for (std::size_t i = 1; i + 1 < length; ++i)
        if (directory[i] == '/') ++levels;
    return levels;
}

void add_file(const std::string& name, std::int32_t pass) {
    TarnImage& image = tarnfile_image;
    if (diroffset + name.size() >= TARNFILE_PATHMAX) {
        _dbg_printf("name too long for the file layer: %.*s%s\n", static_cast<int>(diroffset),
                    curDir, name.c_str());
        return;
    }
    std::memcpy(curFile, curDir, diroffset);
    std::memcpy(curFile + diroffset, name.c_str(), name.size() + 1);
    if (pass == 1) {
        // The tree may have grown since the count: names beyond the table are dropped.
        if (image.numfiles >= image.capacity) return;
        image.names[image.numfiles] = tarnfile_detail::copy_string(curFile, __LINE__);
        if (image.names[image.numfiles] == nullptr) return;
    }
    ++image.numfiles;
}

} // namespace

// Walks by full paths; the process's working directory is never changed. Entries are visited
// in name order so that a mount gives the same table every time.
void tarnfile_opendir(const char* directory, std::int32_t pass) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator it(directory, error);
    if (error) {
        _dbg_printf("error reading directory\n");
        return;
    }
    if (diroffset == 0) {
        const int levels = path_levels(directory);
        if (levels > 1) _dbg_printf("path has %d sublevels\n", levels);
    }
    std::vector<std::string> entries;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) break;
        entries.push_back(it->path().filename().string());
    }
    std::sort(entries.begin(), entries.end());

    for (const std::string& name : entries) {
        const std::string full = std::string(directory) + "/" + name;
        const fs::file_status status = fs::status(full, error);
        if (error) continue;
        if (!fs::is_directory(status)) {
            add_file(name, pass);
            continue;
        }
        // The bound on the relative path also ends a walk round a loop of links.
        if (diroffset + name.size() + 1 >= TARNFILE_PATHMAX) {
            _dbg_printf("name too long for the file layer: %.*s%s/\n", static_cast<int>(diroffset),
                        curDir, name.c_str());
            continue;
        }
        std::memcpy(curDir + diroffset, name.c_str(), name.size());
        diroffset += static_cast<std::uint32_t>(name.size());
        curDir[diroffset++] = '/';
        curDir[diroffset] = '\0';
        tarnfile_opendir(full.c_str(), pass);
        diroffset -= static_cast<std::uint32_t>(name.size()) + 1;
        curDir[diroffset] = '\0';
    }
}
