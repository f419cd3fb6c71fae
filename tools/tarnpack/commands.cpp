// The tool's commands on files: create, list, extract, append, and the command line over them.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

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

// Writes beside the target and renames over it, so that a failure leaves the old file whole.
bool write_file(const std::string& path, const std::vector<std::uint8_t>& first,
                const std::vector<std::uint8_t>& second, std::string* error) {
    const std::string temporary = path + ".tarnpack-new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(first.data()),
                  static_cast<std::streamsize>(first.size()));
        out.write(reinterpret_cast<const char*>(second.data()),
                  static_cast<std::streamsize>(second.size()));
        out.close();
        if (!out) {
            *error = "cannot write \"" + path + "\"";
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code code;
    if (fs::exists(path, code))
        fs::permissions(temporary, fs::status(path, code).permissions(), code);
    fs::rename(temporary, path, code);
    if (code) {
        *error = "cannot replace \"" + path + "\": " + code.message();
        fs::remove(temporary, code);
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

int extract(const std::string& archive, const std::string& directory, std::string* error) {
    std::vector<std::uint8_t> bytes;
    Located located;
    if (!load_archive(archive, &bytes, &located, error)) return 1;
    for (const Found& entry : located.entries) {
        // A hostile name must not reach outside the directory.
        if (stored_name(entry.name, error).empty()) return 1;
        const fs::path target = fs::path(directory) / entry.name;
        std::error_code code;
        fs::create_directories(target.parent_path(), code);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data() + entry.offset),
                  static_cast<std::streamsize>(entry.size));
        out.close();
        if (!out) {
            *error = "cannot write \"" + target.string() + "\"";
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
    const auto header = static_cast<std::uint32_t>(program.size());
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(header >> (8 * i)));
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
