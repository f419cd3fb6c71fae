// The file layer over archives and directories (one script of calls on both mounts, hostile
// tables, the appended archive's trailer), and the archive tool's commands on real files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string_view>
#include <tuple>
#include <vector>

#include "lodestar/base/owner.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/tarnfile/tarnfile.h"
#include "pack.h"
#include "picture.h"
#include "test_tarnfile_util.h"

namespace {

using tarn_test::Bytes;
using tarn_test::bytes_of;
using Files = std::map<std::string, Bytes>;
namespace fs = std::filesystem;

// The files packed by the tool's own logic into an archive written at name below dir.
std::string write_archive(const tarn_test::TempDir& dir, const std::string& name,
                          const Files& files) {
    std::vector<tarnpack::Entry> entries;
    for (const auto& [file, data] : files) entries.push_back({file, data});
    Bytes archive;
    std::string error;
    EXPECT_TRUE(tarnpack::build(entries, 0, &archive, &error)) << error;
    return dir.write(name, archive);
}

// Bytes as text, newlines and zeros written \n and \0.
std::string shown(std::string_view bytes) {
    std::string s = bytes.empty() ? "-" : "";
    for (const char c : bytes) s += c == '\n' ? "\\n" : c == '\0' ? "\\0" : std::string(1, c);
    return s;
}

// The whole of a file of the mounted source, read through the layer.
std::string read(const char* name) {
    TarnFileHandle h;
    if (tarnfile_open(name, &h, 0) != 1) return "-";
    std::string data(tarnfile_fsize(&h), '?');
    tarnfile_read(data.data(), 1, tarnfile_fsize(&h), &h);
    tarnfile_close(&h);
    return shown(data);
}

// One script of calls on the mounted files, what each gave in one text: whole files, a position
// moved and read, the end of the file, lines, the listing of the current path's directories and
// then its matching files, and whole files below the current path as it changes like a shell's.
std::string script() {
    std::ostringstream o;
    o << tarnfile_getpath();
    for (const char* name : {"ba.x", "AB.X", "a.b", "ZED.Z", "sub/deep/d.txt"})
        o << ' ' << read(name);
    TarnFileHandle h;
    o << shown(picture::printed([&] { o << ' ' << tarnfile_open("a.bc", &h, 0) << ' '; }));
    char buffer[64] = {};
    if (tarnfile_open("a.txt", &h, 0) != 1) return o.str();
    tarnfile_seek(&h, 10, 0);
    tarnfile_seek(&h, 5, 2); // no such origin: stays
    tarnfile_seek(&h, -4, 1);
    tarnfile_read(buffer, 4, 3, &h);
    o << "\n" << tarnfile_fsize(&h) << ' ' << shown({buffer, 12}) << ' ' << tarnfile_feof(&h);
    tarnfile_read(buffer, 1, 3, &h);
    o << ' ' << tarnfile_feof(&h) << ' ';
    tarnfile_seek(&h, 18, 0);
    tarnfile_read(std::memset(buffer, '?', 8), 1, 8, &h);
    o << shown({buffer, 8}) << ' ' << (tarnfile_feof(&h) != 0);
    tarnfile_rewind(&h); // a seek clears the end
    o << ' ' << tarnfile_feof(&h);
    for (const int n : {64, 5, 64}) {
        const char* line = tarnfile_gets(buffer, n, &h);
        o << ' ' << shown(line != nullptr ? line : "");
    }
    tarnfile_close(&h);
    int listed = 0;
    for (const char* to :
         {"/", "sub", "/", "gfx", ".", "..", "..", "/a/b", "c/", "..", "\\win", ".."}) {
        std::uint32_t size = 0;
        std::uint8_t* file = nullptr;
        picture::printed([&] {
            tarnfile_chdir(to);
            tarnfile_readdir("*.txt");
            file = tarnfile_loadbuffer("c.txt", &size);
        });
        const lsr::Counted<std::uint8_t> owned(file, lsr::CountedRelease{"test", __LINE__});
        o << (listed < 2 ? "\n" : " ") << tarnfile_getpath() << ' '
          << shown({reinterpret_cast<char*>(file), size});
        for (std::uint32_t i = 0; listed < 2 && i < tarnfile_numfiles; ++i) {
            const TarnListEntry& e = tarnfile_filelist[i];
            o << ' ' << e.name << ',' << e.path << ',' << e.size << ',' << +e.isdir;
        }
        ++listed;
    }
    // Read by its own name, a whole file ignores the current path.
    std::uint32_t size = 0;
    const lsr::Counted<std::uint8_t> whole = tarnfile_readall("sub/c.txt", "test", __LINE__, &size);
    o << "\n" << shown({reinterpret_cast<const char*>(whole.get()), size});
    o << shown(picture::printed([] { tarnfile_readall("c.txt", "t", 1); }));
    return o.str();
}

// The expected text for one kind of mount: "{a|d}" stands for a on archives, d on directories.
std::string pick(std::string text, bool archive) {
    for (std::size_t at; (at = text.find('{')) != std::string::npos;) {
        const std::size_t bar = text.find('|', at), end = text.find('}', bar);
        text.replace(at, end + 1 - at,
                     archive ? text.substr(at + 1, bar - at - 1)
                             : text.substr(bar + 1, end - bar - 1));
    }
    return text;
}

using Archive = tarn_test::Mounted;

// "ab.x" and "ba.x" sum to the same hash; "a.b" is a prefix of "a.bc". An entry is at its end once
// the position reaches its size, a file on disk only once a read has met the end of its stream;
// reads stop at the end of the file (zeros after it, never the next entry's bytes); only archives
// know the sizes in a listing.
TEST_F(Archive, OneScriptGivesItsTextOnBothMounts) {
    EXPECT_EQ(tarnfile_gethash("ab.x"), tarnfile_gethash("ba.x"));
    EXPECT_EQ(tarnfile_gethash("a\xff"), 'a' - 1) << "bytes of 0x80 and above subtract";
    char lower[8];
    file_downcase(lower, "A\\Z\xC4z@[", 8);
    EXPECT_EQ(std::string(lower, 8), std::string("a\\z\xC4z@[\0", 8));
    const std::string expected =
        "/ second first third zed d 0 {couldn't find file: a.bc\\n|-}"
        "\n21 ne\\nline two\\n 0 {1|0} end\\0\\0\\0\\0\\0 1 0 line one\\n line  two\\n"
        "\n/ - [sub],sub,0,1 a.txt,a.txt,{21|0},0"
        "\n/sub/ ccc [..],..,0,1 [deep],deep,0,1 c.txt,sub/c.txt,{3|0},0"
        " / - /gfx/ - /gfx/ - / - / - /a/b/ - /a/b/c/ - /a/b/ - \\win/ - / -"
        "\nccc{couldn't find file: c.txt\\n|-}";
    const Files files = {{"ab.x", bytes_of("first")},
                         {"ba.x", bytes_of("second")},
                         {"a.b", bytes_of("third")},
                         {"zed.z", bytes_of("zed")},
                         {"a.txt", bytes_of("line one\nline two\nend")},
                         {"b.wav", bytes_of("NEXT ENTRY")},
                         {"sub/c.txt", bytes_of("ccc")},
                         {"sub/deep/d.txt", bytes_of("d")}};
    for (const std::int32_t kind : {TARNFILE_ARCHIVE, TARNFILE_DIRECTORY}) {
        const bool archive = kind == TARNFILE_ARCHIVE;
        for (const auto& [name, data] : files) dir.write("tree/" + name, data);
        const std::string at = archive ? write_archive(dir, "res.tarn", files) : dir / "tree";
        ASSERT_EQ(tarnfile_mountimage(at.c_str(), kind), 1);
        EXPECT_EQ(script(), pick(expected, archive)) << kind;
    }
}

// A header of count and romsize, then records of (name length, hash, name, data offset), then
// "DATA": the pieces the tests break one at a time.
Bytes table(std::uint32_t count, std::uint32_t romsize,
            const std::vector<std::tuple<std::uint32_t, std::string, std::uint32_t>>& records) {
    Bytes b = bytes_of("TARN");
    tarn_test::put(b, {count, romsize}, 4);
    for (const auto& [length, name, offset] : records) {
        tarn_test::put(b, {length, static_cast<std::uint32_t>(tarnfile_gethash(name.c_str()))}, 4);
        b.insert(b.end(), name.begin(), name.end());
        tarn_test::put(b, offset, 4);
    }
    return b.insert(b.end(), {'D', 'A', 'T', 'A'}), b;
}

// Every table the mount refuses, the archive tool refuses too: they read it alike. The longest
// name a path holds is still a name, to both.
TEST_F(Archive, TruncatedOrInconsistentTablesAreRefusedAndLeaveNothingMounted) {
    const auto one = [](std::uint32_t count, std::uint32_t romsize, std::uint32_t length,
                        std::uint32_t offset) {
        return table(count, romsize, {{length, "x", offset}});
    };
    const auto named = [](std::uint32_t n) {
        return table(1, 28 + n, {{n, std::string(n, 'a'), 24 + n}});
    };
    const Bytes good = one(1, 29, 1, 25);
    tarnpack::Located located;
    std::string error;
    for (const Bytes& bytes : {good, named(TARNFILE_PATHMAX - 1)}) {
        EXPECT_TRUE(tarnpack::locate(bytes, &located, &error)) << error;
        ASSERT_EQ(tarnfile_mountimage(dir.write("good", bytes).c_str(), 0), 1);
    }
    EXPECT_EQ(read(std::string(TARNFILE_PATHMAX - 1, 'a').c_str()), "DATA");
    tarnfile_closeimage();

    const std::uint32_t in_use = g_mem_in_use.load();
    Bytes flipped = good, program(64, 'p');
    flipped[0] = 'N';
    tarn_test::put(program, 1u << 30, 4);
    const struct {
        const char* what;
        Bytes bytes;
        std::int32_t kind = TARNFILE_ARCHIVE;
    } bad[] = {
        {"many entries", one(0x10000000, 29, 1, 25)},
        {"long name", one(1, 29, 0xFFFFFFF0u, 25)},
        {"name longer than a path", named(TARNFILE_PATHMAX)},
        {"offset past romsize", one(1, 29, 1, 30)},
        {"romsize past the end", one(1, 1000, 1, 25)},
        {"truncated", Bytes(good.begin(), good.begin() + 20)},
        {"not an archive", flipped},
        {"empty", {}},
        {"offsets going backwards", table(2, 42, {{1, "a", 40}, {1, "a", 38}})},
        {"a trailer pointing nowhere", program, TARNFILE_EXECUTABLE},
        {"no kind of mount", good, 7},
    };
    for (const auto& [what, bytes, kind] : bad) {
        EXPECT_TRUE(kind == 7 || !tarnpack::locate(bytes, &located, &error)) << what;
        const std::string path = dir.write("bad", bytes);
        picture::printed([&] { EXPECT_EQ(tarnfile_mountimage(path.c_str(), kind), 0) << what; });
        // Nothing mounted, nothing kept.
        EXPECT_EQ(tarnfile_image.numfiles + g_mem_in_use.load(), in_use) << what;
        EXPECT_EQ(tarnfile_localpath, nullptr) << what;
    }
}

// The trailer's offset is taken only where a whole header fits between it and the trailer.
TEST(AppendedArchive, TheTrailerMustLeaveRoomForAWholeHeaderBeforeIt) {
    const auto read = [](void* source, std::uint64_t at, void* out, std::uint32_t n) {
        const auto& file = *static_cast<Bytes*>(source);
        return at + n <= file.size() && std::memcpy(out, file.data() + at, n) != nullptr;
    };
    constexpr std::uint32_t program = 20, body = program + TARNFILE_HEADERSIZE;
    for (const std::uint32_t at : {0u, program, program + 1, body, 0xFFFFFFFFu}) {
        Bytes file(body, 0);
        tarn_test::put(file, at, 4);
        std::uint64_t header = 0, end = 0;
        const bool fits = at <= program;
        const std::uint64_t found = tarnfile_findappended(read, &file, file.size(), &header, &end);
        EXPECT_EQ(std::vector<std::uint64_t>({found, header, end}),
                  std::vector<std::uint64_t>({fits, fits ? at : 0, fits ? body : 0u}))
            << at;
    }
}

// Runs the tool's command line from inside the directory, as a user would.
class Tarnpack : public tarn_test::Mounted {
  protected:
    int run(std::vector<std::string> args) {
        std::vector<const char*> argv = {"tarnpack"};
        for (const std::string& a : args) argv.push_back(a.c_str());
        const fs::path old = fs::current_path();
        fs::current_path(dir.path());
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int status = tarnpack::run(static_cast<int>(argv.size()), argv.data());
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
        fs::current_path(old);
        return status;
    }
    std::string out, err;
};

// Failures say what failed, exit non-zero and write nothing. The tool's archives, standing alone
// or appended to a program (a second time replacing the first), list their entries in byte order
// of their lower-case names, give the same bytes for the same files (the build relies on that),
// extract to the files they came from, and mount in the library with the same names and bytes.
// Appending writes only where it should: not through a link planted at the name a temporary once
// had, through a link to the program (which stays a link), keeping the program's mode, and not
// into a file the user may not write.
TEST_F(Tarnpack, CommandsAndTheirRefusals) {
    const Files files = {
        {"a.tga", bytes_of("aaaa")}, {"b.wav", bytes_of("bb")}, {"gfx/zed.tga", bytes_of("zzz")}};
    dir.write("gfx/Zed.TGA", files.at("gfx/zed.tga"));
    dir.write("B.wav", files.at("b.wav"));
    dir.write("a.tga", files.at("a.tga"));
    dir.write("upper/A.TGA", bytes_of("1"));
    dir.write("UPPER/a.tga", bytes_of("2"));
    dir.write("program", bytes_of("ELF....."));
    dir.write("victim", bytes_of("keep me"));
    fs::create_symlink("victim", dir / "program.tarnpack-new");
    fs::create_symlink("program", dir / "launcher");
    fs::permissions(dir / "program", fs::perms(0750));
    fs::create_directory(dir / "empty");
    const std::string root = "relative to the archive's root";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string said;
    } rows[] = {
        {{"create", "bad.tarn", "a.tga", "missing.tga"}, 1, "cannot open \"missing.tga\"\n"},
        {{"create", "bad.tarn", dir / "a.tga"}, 1, root},
        {{"create", "bad.tarn", "../x"}, 1, root},
        // An existing directory reached from outside the root (empty: no file in it is refused).
        {{"create", "bad.tarn",
          "empty/../../" + fs::path(dir.path()).filename().string() + "/empty"},
         1,
         root},
        {{"create", "bad.tarn", "upper", "UPPER"}, 1, "two files are stored as \"upper/a.tga\"\n"},
        {{"list", "a.tga"}, 1, "no archive found"},
        {{"append", "program", "a.tga"}, 1, "no archive found"},
        {{}, 2, "usage: tarnpack"},
        {{"pack", "x"}, 2, "unknown command or wrong arguments: pack"},
        {{"create", "res.tarn", "a.tga", "./B.wav", "gfx"}, 0, ""},
        {{"create", "again.tarn", "gfx", "B.wav", "a.tga"}, 0, ""},
        {{"extract", "res.tarn", "out"}, 0, ""},
        // Header 12, records 12 + name each: 12 + 17 + 17 + 23 = 69, and 8 more behind the program.
        {{"list", "res.tarn"}, 0, "a.tga          4         69\nb.wav          2         73\n"},
        {{"append", "launcher", "res.tarn"}, 0, ""},
        {{"list", "program"},
         0,
         "b.wav          2         81\ngfx/zed.tga          3         83\n"},
        {{"append", "program", "res.tarn"}, 0, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        EXPECT_EQ(run(r.args), r.status);
        EXPECT_NE((out + err).find(r.said), std::string::npos) << out << err;
    }
    EXPECT_FALSE(fs::exists(dir / "bad.tarn"));
    EXPECT_EQ(tarn_test::read_file(dir / "again.tarn"), tarn_test::read_file(dir / "res.tarn"));
    for (const auto& [name, data] : files)
        EXPECT_EQ(tarn_test::read_file(dir / ("out/" + name)), data) << name;
    const Bytes program = tarn_test::read_file(dir / "program");
    EXPECT_EQ(program.size(), 8u + 78u + 4u);
    EXPECT_EQ(Bytes(program.begin(), program.begin() + 8), bytes_of("ELF....."));
    EXPECT_EQ(Bytes(program.end() - 4, program.end()), Bytes({8, 0, 0, 0})) << "the header's place";
    for (const auto& [file, kind] :
         {std::pair{"res.tarn", TARNFILE_ARCHIVE}, {"program", TARNFILE_EXECUTABLE}}) {
        ASSERT_EQ(tarnfile_mountimage((dir / file).c_str(), kind), 1);
        EXPECT_EQ(tarnfile_image.numfiles, 3u);
        for (const auto& [name, data] : files)
            EXPECT_EQ(read(name.c_str()), std::string(data.begin(), data.end())) << name;
    }
    EXPECT_EQ(tarn_test::read_file(dir / "victim"), bytes_of("keep me"));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "launcher")));
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(dir / "program")));
    EXPECT_EQ(fs::status(dir / "program").permissions(), fs::perms(0750));
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "program.tarnpack-new" || name.find("tarnpack") == std::string::npos)
            << "left behind: " << name;
    }
    // Renaming over a file needs only the directory's permission: the file's own is asked for (a
    // privileged user may write any file).
    fs::permissions(dir / "program", fs::perms(0444));
    EXPECT_EQ(run({"append", "program", "res.tarn"}), geteuid() == 0 ? 0 : 1);
    EXPECT_EQ(err, geteuid() == 0 ? "" : "tarnpack: cannot write \"program\": Permission denied\n");

    // Names of up to 255 characters are stored; a 256th has no room beside the closing zero.
    std::string error;
    EXPECT_EQ(tarnpack::stored_name(std::string(255, 'n'), &error).size(), 255u) << error;
    EXPECT_EQ(tarnpack::stored_name(std::string(256, 'n'), &error), "");
    EXPECT_NE(error.find("names hold at most 255 characters"), std::string::npos) << error;
}

} // namespace
