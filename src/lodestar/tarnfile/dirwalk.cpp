// The directory walk of a directory mount: counts, then names, every file below the mount.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "lodestar/base/debug.h"
#include "lodestar/platform.h"
#include "lodestar/tarnfile/internal/tarnfile.h"
#include "lodestar/tarnfile/tarnfile.h"

namespace {

namespace fs = std::filesystem;

// A tree deeper or wider than this is not a resource folder; the walk stops there.
constexpr int k_max_depth = 32;
constexpr std::uint32_t k_max_directories = 1024;
constexpr std::uint32_t k_max_files = 1u << 16;

// One walk over the mounted tree.
struct Walk {
    fs::path root; // the mounted directory, every link resolved
    std::set<PlatFileId> visited;
    std::uint32_t directories = 0;
    std::int32_t pass = 0;
    bool cut = false; // a bound was reached and reported
};

// 1, plus one for each "/" at positions 1 to length - 2.
int path_levels(const char* directory) {
    const std::size_t length = std::strlen(directory);
    int levels = 1;
    for (std::size_t i = 1; i + 1 < length; ++i)
        if (directory[i] == '/') ++levels;
    return levels;
}

void report_cut(Walk& walk, const char* what) {
    if (!walk.cut) _dbg_printf("directory tree has %s; the rest is left out\n", what);
    walk.cut = true;
}

void add_file(Walk& walk, const std::string& name) {
    TarnImage& image = tarnfile_image;
    if (diroffset + name.size() >= TARNFILE_PATHMAX) {
        _dbg_printf("name too long for the file layer: %.*s%s\n", static_cast<int>(diroffset),
                    curDir, name.c_str());
        return;
    }
    if (image.numfiles >= k_max_files) {
        report_cut(walk, "too many files");
        return;
    }
    std::memcpy(curFile, curDir, diroffset);
    std::memcpy(curFile + diroffset, name.c_str(), name.size() + 1);
    if (walk.pass == TARNFILE_PASS_STORE) {
        // The tree may have grown since the count: names beyond the table are dropped.
        if (image.numfiles >= image.capacity) return;
        image.names[image.numfiles] = tarnfile_detail::copy_string(curFile, __LINE__).release();
        if (image.names[image.numfiles] == nullptr) return;
    }
    ++image.numfiles;
}

bool inside(const fs::path& root, const fs::path& target) {
    return std::mismatch(root.begin(), root.end(), target.begin(), target.end()).first ==
           root.end();
}

// True for a directory not walked before (by identity, whatever path led to it), now marked.
bool first_visit(Walk& walk, const std::string& directory) {
    PlatFileId id;
    return plat_file_id(directory.c_str(), &id) && walk.visited.insert(id).second;
}

void walk_directory(Walk& walk, const std::string& directory, int depth) {
    std::error_code error;
    fs::directory_iterator it(directory, error);
    if (error) {
        _dbg_printf("error reading directory\n");
        return;
    }
    std::vector<std::string> entries;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) break;
        entries.push_back(it->path().filename().string());
    }
    std::sort(entries.begin(), entries.end());

    for (const std::string& name : entries) {
        const std::string full = directory + "/" + name;
        const fs::file_status status = fs::status(full, error);
        if (error) continue; // a dangling link, or gone since the listing
        // A link may stay only when what it leads to lies in the mounted tree: a link to ".."
        // or elsewhere would bring in files from outside.
        if (fs::is_symlink(fs::symlink_status(full, error)) &&
            !inside(walk.root, fs::canonical(full, error))) {
            _dbg_printf("link leads out of the mounted directory: %s\n", full.c_str());
            continue;
        }
        if (!fs::is_directory(status)) {
            add_file(walk, name);
            continue;
        }
        // A directory met again (through a link, or a mount of itself below it) would be
        // walked round for ever.
        if (!first_visit(walk, full)) continue;
        if (depth + 1 > k_max_depth) {
            report_cut(walk, "too many levels");
            continue;
        }
        if (++walk.directories > k_max_directories) {
            report_cut(walk, "too many directories");
            continue;
        }
        if (diroffset + name.size() + 1 >= TARNFILE_PATHMAX) {
            _dbg_printf("name too long for the file layer: %.*s%s/\n", static_cast<int>(diroffset),
                        curDir, name.c_str());
            continue;
        }
        std::memcpy(curDir + diroffset, name.c_str(), name.size());
        diroffset += static_cast<std::uint32_t>(name.size());
        curDir[diroffset++] = '/';
        curDir[diroffset] = '\0';
        walk_directory(walk, full, depth + 1);
        diroffset -= static_cast<std::uint32_t>(name.size()) + 1;
        curDir[diroffset] = '\0';
    }
}

} // namespace

// Walks by full paths; the process's working directory is never changed. Entries are visited
// in name order so that a mount gives the same table every time. A directory is walked once
// however many links lead to it, links out of the tree are left alone, and the walk is bounded
// in depth, directories and files.
void tarnfile_opendir(const char* directory, std::int32_t pass) {
    std::error_code error;
    Walk walk;
    walk.pass = pass;
    walk.root = fs::canonical(directory, error);
    if (error || !first_visit(walk, directory)) {
        _dbg_printf("error reading directory\n");
        return;
    }
    const int levels = path_levels(directory);
    if (levels > 1) _dbg_printf("path has %d sublevels\n", levels);
    walk_directory(walk, directory, 0);
}
