// The tool's commands on files: create, list, extract, append, and the command line over them.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <utility>

#include "lodestar/base/bytes.h"
#include "pack.h"

namespace tarnpack {

namespace {

namespace fs = std::filesystem;

bool read_file(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot open \"" + path + "\"";
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        *error = "cannot read \"" + path + "\"";
        return false;
    }
    return true;
}

// An open file descriptor, closed when it goes.
struct Descriptor {
    int fd = -1;
    explicit Descriptor(int d) : fd(d) {}
    Descriptor(Descriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    Descriptor& operator=(Descriptor&&) = delete;
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
};

std::string reason() {
    return std::strerror(errno);
}

bool write_all(int fd, const std::uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The file that writing to path changes: what a link leads to, or path itself when nothing is
// there yet. Empty, with error set, for a link that leads nowhere.
std::string write_target(const std::string& path, std::string* error) {
    std::error_code code;
    const fs::file_status link = fs::symlink_status(path, code);
    if (!fs::is_symlink(link)) return path;
    const fs::path target = fs::canonical(path, code);
    if (code) {
        *error = "cannot write \"" + path + "\": it is a link to nothing";
        return {};
    }
    return target.string();
}

// Writes first then second as the new content of path, all or nothing: into a new file of
// unpredictable name beside the file (never one planted there before) that takes the old one's
// mode and owner, then renamed over it. A link keeps pointing at the new content. The file must
// be writable for the user: renaming needs only the directory's permission.
bool write_file(const std::string& path, const std::vector<std::uint8_t>& first,
                const std::vector<std::uint8_t>& second, std::string* error) {
    const std::string target = write_target(path, error);
    if (target.empty()) return false;
    struct stat old {};
    const bool existed = stat(target.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode)) {
        *error = "cannot write \"" + path + "\": not a regular file";
        return false;
    }
    if (existed && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        *error = "cannot write \"" + path + "\": " + reason();
        return false;
    }
    const fs::path parent = fs::path(target).parent_path();
    std::string temporary =
        (parent / ("." + fs::path(target).filename().string() + ".tarnpack-XXXXXX")).string();
    const Descriptor out(mkstemp(temporary.data()));
    if (out.fd < 0) {
        *error = "cannot write beside \"" + path + "\": " + reason();
        return false;
    }
    mode_t mode = 0;
    if (existed) {
        mode = old.st_mode & 07777;
        // Only a privileged user can give the file back to its owner; anyone else owns it.
        if (fchown(out.fd, old.st_uid, old.st_gid) != 0) mode &= 0777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    if (!write_all(out.fd, first.data(), first.size()) ||
        !write_all(out.fd, second.data(), second.size()) || fchmod(out.fd, mode) != 0 ||
        rename(temporary.c_str(), target.c_str()) != 0) {
        *error = "cannot write \"" + path + "\": " + reason();
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool add_path(const std::string& path, std::vector<Entry>* entries, std::string* error) {
    std::error_code code;
    if (fs::is_directory(path, code)) {
        // The directory's own path is checked too: an empty one outside the root would
        // otherwise pass for want of files to refuse.
        std::string trimmed = path;
        while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
        if (trimmed != "." && stored_name(trimmed, error).empty()) return false;
        std::vector<std::string> files;
        for (fs::recursive_directory_iterator it(path, code), end; !code && it != end;
             it.increment(code))
            if (it->is_regular_file(code)) files.push_back(it->path().generic_string());
        if (code) {
            *error = "cannot read directory \"" + path + "\"";
            return false;
        }
        return std::all_of(files.begin(), files.end(),
                           [&](const std::string& f) { return add_path(f, entries, error); });
    }
    Entry entry;
    entry.name = stored_name(path, error);
    if (entry.name.empty()) return false;
    if (!read_file(path, &entry.data, error)) return false;
    entries->push_back(std::move(entry));
    return true;
}

bool load_archive(const std::string& path, std::vector<std::uint8_t>* bytes, Located* located,
                  std::string* error) {
    if (!read_file(path, bytes, error)) return false;
    if (locate(*bytes, located, error)) return true;
    *error = "\"" + path + "\": " + *error;
    return false;
}

} // namespace

int create(const std::string& archive, const std::vector<std::string>& files, std::string* error) {
    if (files.empty()) {
        *error = "create needs at least one file";
        return 1;
    }
    std::vector<Entry> entries;
    for (const std::string& file : files)
        if (!add_path(file, &entries, error)) return 1;
    std::vector<std::uint8_t> bytes;
    if (!build(std::move(entries), 0, &bytes, error)) return 1;
    return write_file(archive, bytes, {}, error) ? 0 : 1;
}

int list(const std::string& archive, std::string* out, std::string* error) {
    std::vector<std::uint8_t> bytes;
    Located located;
    if (!load_archive(archive, &bytes, &located, error)) return 1;
    for (const Found& entry : located.entries) {
        char numbers[32];
        std::snprintf(numbers, sizeof numbers, " %10u %10u\n", entry.size, entry.offset);
        *out += entry.name + numbers;
    }
    return 0;
}

namespace {

// Creates (or truncates) directory/name for writing, making the directories on the way and
// following no link at any step: an entry must not land outside the directory through a link
// found there.
Descriptor create_below(const std::string& directory, const std::string& name, std::string* error) {
    Descriptor at(open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (at.fd < 0) {
        *error = "cannot open the directory \"" + directory + "\": " + reason();
        return Descriptor(-1);
    }
    std::string walked = directory;
    std::size_t start = 0;
    for (std::size_t slash; (slash = name.find('/', start)) != std::string::npos;
         start = slash + 1) {
        const std::string part = name.substr(start, slash - start);
        walked += "/" + part;
        if (mkdirat(at.fd, part.c_str(), 0777) != 0 && errno != EEXIST) {
            *error = "cannot make the directory \"" + walked + "\": " + reason();
            return Descriptor(-1);
        }
        Descriptor next(
            openat(at.fd, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (next.fd < 0) {
            *error = errno == ELOOP || errno == ENOTDIR
                         ? "refusing to extract \"" + name + "\": \"" + walked +
                               "\" is a link or not a directory"
                         : "cannot open the directory \"" + walked + "\": " + reason();
            return Descriptor(-1);
        }
        std::swap(at.fd, next.fd);
    }
    const std::string leaf = name.substr(start);
    Descriptor out(
        openat(at.fd, leaf.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (out.fd < 0)
        *error = errno == ELOOP ? "refusing to extract \"" + name + "\": \"" + walked + "/" + leaf +
                                      "\" is a link"
                                : "cannot write \"" + walked + "/" + leaf + "\": " + reason();
    return out;
}

} // namespace

int extract(const std::string& archive, const std::string& directory, std::string* error) {
    std::vector<std::uint8_t> bytes;
    Located located;
    if (!load_archive(archive, &bytes, &located, error)) return 1;
    std::error_code code;
    fs::create_directories(directory, code);
    for (const Found& entry : located.entries) {
        // A hostile name must not reach outside the directory.
        if (stored_name(entry.name, error).empty()) return 1;
        const Descriptor out = create_below(directory, entry.name, error);
        if (out.fd < 0) return 1;
        if (!write_all(out.fd, bytes.data() + entry.offset, entry.size)) {
            *error = "cannot write \"" + directory + "/" + entry.name + "\": " + reason();
            return 1;
        }
    }
    return 0;
}

int append(const std::string& executable, const std::string& archive, std::string* error) {
    std::vector<std::uint8_t> program, packed;
    if (!read_file(executable, &program, error)) return 1;
    Located source;
    if (!load_archive(archive, &packed, &source, error)) return 1;
    // Appending again replaces the archive appended before, so the result is the same each time.
    Located earlier;
    std::string ignored;
    if (locate(program, &earlier, &ignored) && earlier.appended) program.resize(earlier.header);

    std::vector<Entry> entries;
    for (const Found& found : source.entries) {
        const auto* data = packed.data() + found.offset;
        entries.push_back({found.name, std::vector<std::uint8_t>(data, data + found.size)});
    }
    std::vector<std::uint8_t> bytes;
    if (!build(std::move(entries), program.size(), &bytes, error)) return 1;
    lsr::push_le32(bytes, static_cast<std::uint32_t>(program.size())); // the trailer
    return write_file(executable, program, bytes, error) ? 0 : 1;
}

namespace {

constexpr const char* k_usage =
    "usage: tarnpack COMMAND ARGUMENTS\n"
    "\n"
    "  create ARCHIVE FILE...       pack the files (a directory adds every file below it) into\n"
    "                               ARCHIVE; names are stored lower case with \"/\" separators,\n"
    "                               in byte order\n"
    "  list ARCHIVE                 show each entry's name, size and offset (ARCHIVE may be an\n"
    "                               executable with an appended archive)\n"
    "  extract ARCHIVE DIR          write every entry as a file below DIR\n"
    "  append EXECUTABLE ARCHIVE    append ARCHIVE to EXECUTABLE (replacing one appended\n"
    "                               before), ending the file with the header's position\n"
    "  --help                       show this text\n";

} // namespace

int run(int argc, const char* const* argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(k_usage, stderr);
        return 2;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(k_usage, stdout);
        return 0;
    }
    std::string error, out;
    int status = 2;
    if (command == "create" && args.size() >= 3)
        status = create(args[1], std::vector<std::string>(args.begin() + 2, args.end()), &error);
    else if (command == "list" && args.size() == 2)
        status = list(args[1], &out, &error);
    else if (command == "extract" && args.size() == 3)
        status = extract(args[1], args[2], &error);
    else if (command == "append" && args.size() == 3)
        status = append(args[1], args[2], &error);
    else
        error = "unknown command or wrong arguments: " + command + " (see tarnpack --help)";
    std::fputs(out.c_str(), stdout);
    if (status != 0) std::fprintf(stderr, "tarnpack: %s\n", error.c_str());
    return status;
}

} // namespace tarnpack
