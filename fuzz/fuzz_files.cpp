// Fuzzes the file layer with a script: a directory tree (files, directories and links) built from
// the input is packed into an archive file and into an archive appended to a program, mounted as
// one kind and then worked on by operations (open, read, gets, seek, tell, feof, rewind, close,
// chdir, readdir, loadbuffer, a second mount). Every byte read agrees with the file it came from,
// a directory mount lists only files inside the tree, each once, and unmounting gives back every
// counted byte.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz_scratch.h"
#include "lodestar/lodestar.h"
#include "pack.h"

namespace {

namespace fs = std::filesystem;

// Names of entries and parts of the names opened: plain, upper case, with a space, and long.
const std::string k_names[] = {"a.txt", "b.tga",   "B.TGA", "sub",
                               "deep",  "x y.wav", "c",     std::string(120, 'n')};
// Where links lead, from the link's own directory.
const char* const k_targets[] = {".",     "..",      "../..", "/",      "sub",
                                 "a.txt", "nowhere", "sub/c", "../sub", "deep/../.."};
const char* const k_paths[] = {".", "..", "sub", "/sub/deep", "/", "deep/", "\\sub"};
const char* const k_patterns[] = {"*.*", "*.tga", "*", "*.txt", "*.wav"};

struct Model {
    fs::path root;                             // the tree on disk
    std::map<std::string, std::string> packed; // what the archives hold, by stored name
};

std::string lower(std::string name) {
    file_downcase(name.data(), name.data(), static_cast<std::uint32_t>(name.size()));
    return name;
}

std::string read_disk(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Files, directories and links below root, each in a directory made before it.
void build_tree(fuzz::Input& in, Model& model) {
    std::vector<std::string> dirs{""};
    const int entries = in.byte() % 12;
    for (int i = 0; i < entries; ++i) {
        const std::uint8_t kind = in.byte() % 3;
        const std::string& parent = dirs[in.byte() % dirs.size()];
        const std::string rel =
            (parent.empty() ? "" : parent + "/") + k_names[in.byte() % std::size(k_names)];
        const fs::path path = model.root / rel;
        std::error_code code;
        if (fs::exists(fs::symlink_status(path, code))) continue;
        if (kind == 0) {
            const std::string content = in.bytes(in.byte());
            fuzz::write_bytes(path.string(), reinterpret_cast<const std::uint8_t*>(content.data()),
                              content.size());
            std::string error;
            const std::string stored = tarnpack::stored_name(rel, &error);
            if (!stored.empty()) model.packed.emplace(stored, content);
        } else if (kind == 1) {
            fs::create_directory(path, code);
            if (!code) dirs.push_back(rel);
        } else {
            fs::create_symlink(k_targets[in.byte() % std::size(k_targets)], path, code);
        }
    }
}

// The archive of the tree's files, alone and appended to a program; false when it cannot be made.
bool write_archives(const Model& model, const std::string& archive, const std::string& program) {
    std::vector<tarnpack::Entry> entries;
    for (const auto& [name, content] : model.packed)
        entries.push_back({name, std::vector<std::uint8_t>(content.begin(), content.end())});
    std::vector<std::uint8_t> alone, appended;
    std::string error;
    const std::string head = "\x7f"
                             "ELF program bytes";
    if (!tarnpack::build(entries, 0, &alone, &error) ||
        !tarnpack::build(entries, head.size(), &appended, &error))
        return false;
    appended.insert(appended.begin(), head.begin(), head.end());
    for (int i = 0; i < 4; ++i)
        appended.push_back(static_cast<std::uint8_t>(head.size() >> (8 * i)));
    return fuzz::write_bytes(archive, alone.data(), alone.size()) &&
           fuzz::write_bytes(program, appended.data(), appended.size());
}

bool inside(const fs::path& root, const fs::path& target) {
    return std::mismatch(root.begin(), root.end(), target.begin(), target.end()).first ==
           root.end();
}

// A directory mount names only files that lie inside the tree, each once.
void check_listing(const Model& model) {
    std::set<std::string> seen;
    std::error_code code;
    const fs::path root = fs::canonical(model.root, code);
    for (std::uint32_t i = 0; i < tarnfile_image.numfiles; ++i) {
        const std::string name = tarnfile_image.names[i];
        const fs::path real = fs::canonical(model.root / name, code);
        if (code || !inside(root, real) || !seen.insert(name).second) std::abort();
    }
}

struct Open {
    TarnFileHandle handle;
    bool open = false;
    std::string content; // the file's bytes, as the layer should give them
};

std::string open_name(fuzz::Input& in) {
    std::string name;
    for (int parts = 1 + in.byte() % 3; parts > 0; --parts)
        name += (name.empty() ? "" : "/") + k_names[in.byte() % std::size(k_names)];
    return name;
}

void close_all(Open (&files)[2]) {
    for (Open& f : files) {
        if (f.open) tarnfile_close(&f.handle);
        f.open = false;
    }
}

void run_script(fuzz::Input& in, const Model& model, std::int32_t kind,
                const std::string (&paths)[3]) {
    Open files[2];
    for (int step = 0; step < 64 && !in.empty(); ++step) {
        const std::uint8_t op = in.byte();
        Open& f = files[(op >> 7) & 1];
        switch (op % 12) {
        case 0: {
            if (f.open) tarnfile_close(&f.handle);
            const std::string name = open_name(in);
            f.open = tarnfile_open(name.c_str(), &f.handle, 0) == 1;
            const auto found = model.packed.find(lower(name));
            if (kind != TARNFILE_DIRECTORY) {
                if (f.open != (found != model.packed.end())) std::abort();
                if (f.open) f.content = found->second;
            } else if (f.open) {
                f.content = read_disk(model.root / lower(name));
            }
            if (f.open && tarnfile_fsize(&f.handle) != f.content.size()) std::abort();
            break;
        }
        case 1:
        case 2: {
            if (!f.open) break;
            const std::uint32_t n = in.byte() * (1u + in.byte() % 4);
            const std::uint32_t at = tarnfile_tell(&f.handle);
            std::vector<char> buffer(n + 1, '\x55');
            std::uint32_t got = n;
            if (op % 12 == 1) {
                tarnfile_read(buffer.data(), 1, n, &f.handle);
                if (tarnfile_tell(&f.handle) != at + n) std::abort();
            } else {
                // A line may hold zero bytes: its length is how far the position moved.
                const char* line =
                    tarnfile_gets(buffer.data(), static_cast<std::int32_t>(n), &f.handle);
                got = tarnfile_tell(&f.handle) - at;
                if ((line == nullptr) != (got == 0) || (n > 0 && got >= n) ||
                    (got > 0 &&
                     (buffer[got] != '\0' || std::memchr(buffer.data(), '\n', got - 1) != nullptr)))
                    std::abort(); // at most n - 1 bytes, terminated, ending at a newline
            }
            // Bytes inside the file are the file's; bytes past it read as zero.
            const std::string& c = f.content;
            for (std::uint32_t i = 0; i < got; ++i) {
                const char want = at < c.size() && i < c.size() - at ? c[at + i] : '\0';
                if (buffer[i] != want) std::abort();
            }
            break;
        }
        case 3: {
            if (!f.open) break;
            const auto offset = static_cast<std::int32_t>(in.u16()) - 0x4000;
            const std::int32_t origin = in.byte() % 3;
            const std::uint32_t before = tarnfile_tell(&f.handle);
            tarnfile_seek(&f.handle, offset, origin);
            const std::uint32_t want = origin == 0   ? static_cast<std::uint32_t>(offset)
                                       : origin == 1 ? before + static_cast<std::uint32_t>(offset)
                                                     : before;
            if (tarnfile_tell(&f.handle) != want) std::abort();
            break;
        }
        case 4:
            if (f.open && kind != TARNFILE_DIRECTORY &&
                (tarnfile_feof(&f.handle) != 0) != (tarnfile_tell(&f.handle) >= f.content.size()))
                std::abort();
            break;
        case 5:
            if (!f.open) break;
            tarnfile_rewind(&f.handle);
            if (tarnfile_tell(&f.handle) != 0) std::abort();
            break;
        case 6:
            if (f.open) tarnfile_close(&f.handle);
            f.open = false;
            break;
        case 7: tarnfile_chdir(k_paths[in.byte() % std::size(k_paths)]); break;
        case 8: tarnfile_readdir(k_patterns[in.byte() % std::size(k_patterns)]); break;
        case 9: {
            std::uint32_t size = 0;
            if (std::uint8_t* bytes = tarnfile_loadbuffer(open_name(in).c_str(), &size))
                _wrap_free_dbg(bytes, "fuzz", __LINE__);
            break;
        }
        case 10: {
            // Handles do not survive their mount: they are closed first, as a program must.
            close_all(files);
            kind = in.byte() % 3;
            if (tarnfile_mountimage(paths[kind].c_str(), kind) != 1) return;
            if (kind == TARNFILE_DIRECTORY) check_listing(model);
            break;
        }
        default: {
            if (f.open) (void)tarnfile_feof(&f.handle);
            break;
        }
        }
    }
    close_all(files);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1u << 16) return 0;
    fuzz::Input in(data, size);
    const fs::path base = fuzz::scratch_dir();
    Model model;
    model.root = base / "tree";
    std::error_code code;
    fs::remove_all(model.root, code);
    fs::create_directories(model.root, code);
    build_tree(in, model);
    const std::string paths[3] = {(base / "tree.tarn").string(), (base / "program").string(),
                                  model.root.string()};
    if (!write_archives(model, paths[0], paths[1])) return 0;

    const std::uint32_t in_use = g_mem_in_use.load();
    const std::int32_t kind = in.byte() % 3;
    if (tarnfile_mountimage(paths[kind].c_str(), kind) != 1) std::abort();
    if (kind == TARNFILE_DIRECTORY)
        check_listing(model);
    else if (tarnfile_image.numfiles != model.packed.size())
        std::abort();
    run_script(in, model, kind, paths);
    tarnfile_closeimage();
    if (g_mem_in_use.load() != in_use) std::abort();
    return 0;
}
