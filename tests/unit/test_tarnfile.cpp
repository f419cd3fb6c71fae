// The file layer over archives and directories (mounting, opening by name, positions, lines,
// hostile tables, the current path and the listing), and the archive tool's commands on real files
// (create, list, extract, append and their refusals).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
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
using Names = std::vector<std::string>;
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

// The whole of a file of the mounted source, read through the layer.
Bytes read(const char* name) {
    TarnFileHandle h;
    EXPECT_EQ(tarnfile_open(name, &h, 0), 1) << name;
    Bytes data(tarnfile_fsize(&h));
    tarnfile_read(data.data(), 1, tarnfile_fsize(&h), &h);
    return data;
}

Names names() {
    return Names(tarnfile_image.names, tarnfile_image.names + tarnfile_image.numfiles);
}

class Archive : public tarn_test::Mounted {
  protected:
    // The files packed into an archive, or written below "tree", and mounted.
    void mount(const Files& files, std::int32_t kind) {
        if (kind == TARNFILE_DIRECTORY)
            for (const auto& [name, data] : files) dir.write("tree/" + name, data);
        const std::string at =
            kind == TARNFILE_DIRECTORY ? dir / "tree" : write_archive(dir, "res.tarn", files);
        ASSERT_EQ(tarnfile_mountimage(at.c_str(), kind), 1);
    }
};

// "ab.x" and "ba.x" sum to the same hash; "a.b" is a prefix of "a.bc".
TEST_F(Archive, NamesMatchWholeAndByHashAndMissingOnesAreReported) {
    mount({{"ab.x", bytes_of("first")}, {"ba.x", bytes_of("second")}, {"a.b", bytes_of("third")}},
          TARNFILE_ARCHIVE);
    EXPECT_EQ(tarnfile_gethash("ab.x"), tarnfile_gethash("ba.x"));
    EXPECT_EQ(read("ba.x"), bytes_of("second"));
    EXPECT_EQ(read("AB.X"), bytes_of("first"));
    TarnFileHandle h;
    EXPECT_EQ(picture::printed([&h] { EXPECT_EQ(tarnfile_open("a.bc", &h, 0), 0); }),
              "couldn't find file: a.bc\n");
    EXPECT_EQ(tarnfile_gethash("a\xff"), 'a' - 1) << "bytes of 0x80 and above subtract";
    char lower[8];
    file_downcase(lower, "A\\Z\xC4z@[", 8);
    EXPECT_EQ(std::string(lower, 8), std::string("a\\z\xC4z@[\0", 8));
}

// The same calls on an archive and on a directory: positions counted from the file's start, reads
// that stop at its end (zeros after it, never the next entry's bytes), lines, and the listing of
// the current path's directories, then its matching files (their sizes known in archives only).
TEST_F(Archive, BothMountsReadAndListAlike) {
    for (std::int32_t kind : {TARNFILE_ARCHIVE, TARNFILE_DIRECTORY}) {
        SCOPED_TRACE(kind);
        const bool archive = kind == TARNFILE_ARCHIVE;
        mount({{"a.txt", bytes_of("line one\nline two\nend")},
               {"b.wav", bytes_of("NEXT ENTRY")},
               {"sub/c.txt", bytes_of("ccc")},
               {"sub/deep/d.txt", bytes_of("d")}},
              kind);
        TarnFileHandle h;
        ASSERT_EQ(tarnfile_open("a.txt", &h, 0), 1);
        EXPECT_EQ(tarnfile_fsize(&h), 21u);
        tarnfile_seek(&h, 10, 0);
        tarnfile_seek(&h, 5, 2); // no such origin: stays
        tarnfile_seek(&h, -4, 1);
        char word[13] = {};
        tarnfile_read(word, 4, 3, &h);
        EXPECT_STREQ(word, "ne\nline two\n");
        // An entry is at its end once the position reaches its size; a file on disk only once
        // a read has met the end of its stream.
        EXPECT_EQ(tarnfile_feof(&h), 0);
        tarnfile_read(word, 1, 3, &h);
        EXPECT_EQ(tarnfile_feof(&h), archive ? 1 : 0);
        char tail[8] = "???????";
        tarnfile_seek(&h, 18, 0);
        tarnfile_read(tail, 1, 8, &h);
        EXPECT_EQ(std::string(tail, 8), std::string("end\0\0\0\0\0", 8));
        EXPECT_NE(tarnfile_feof(&h), 0);
        tarnfile_rewind(&h); // a seek clears the end
        EXPECT_EQ(tarnfile_feof(&h), 0);
        char line[64];
        for (const auto& [n, want] : {std::pair{64, "line one\n"}, {5, "line"}, {64, " two\n"}}) {
            ASSERT_NE(tarnfile_gets(line, n, &h), nullptr);
            EXPECT_STREQ(line, want);
        }
        tarnfile_close(&h);

        // Rows of name, path, size and whether a directory.
        const auto listing = [](const std::string& pattern) {
            picture::printed([&] { tarnfile_readdir(pattern.c_str()); });
            std::string rows;
            for (std::uint32_t i = 0; i < tarnfile_numfiles; ++i) {
                const TarnListEntry& e = tarnfile_filelist[i];
                rows += std::string(e.name) + "|" + e.path + "|" + std::to_string(e.size) + "|" +
                        std::to_string(e.isdir) + " ";
            }
            return rows;
        };
        const auto sized = [archive](int n) { return std::to_string(archive ? n : 0) + "|0 "; };
        EXPECT_EQ(listing("*.txt"), "[sub]|sub|0|1 a.txt|a.txt|" + sized(21));
        picture::printed([] { tarnfile_chdir("sub"); });
        EXPECT_EQ(listing("*.txt"), "[..]|..|0|1 [deep]|deep|0|1 c.txt|sub/c.txt|" + sized(3));
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

TEST_F(Archive, TruncatedOrInconsistentTablesAreRefusedAndLeaveNothingMounted) {
    const auto one = [](std::uint32_t count, std::uint32_t romsize, std::uint32_t length,
                        std::uint32_t offset) {
        return table(count, romsize, {{length, "x", offset}});
    };
    const auto named = [](std::uint32_t n) {
        return table(1, 28 + n, {{n, std::string(n, 'a'), 24 + n}});
    };
    const Bytes good_bytes = one(1, 29, 1, 25);
    const std::string good = dir.write("good", good_bytes);
    ASSERT_EQ(tarnfile_mountimage(good.c_str(), 0), 1);
    EXPECT_EQ(read("x"), bytes_of("DATA"));
    // The longest name a path holds is still a name, to the mount and to the archive tool.
    tarnpack::Located located;
    std::string error;
    EXPECT_TRUE(tarnpack::locate(named(TARNFILE_PATHMAX - 1), &located, &error)) << error;
    ASSERT_EQ(tarnfile_mountimage(dir.write("longest", named(TARNFILE_PATHMAX - 1)).c_str(), 0), 1);
    tarnfile_closeimage();

    const std::uint32_t in_use = g_mem_in_use.load();
    Bytes flipped = good_bytes, program(64, 'p');
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
        {"truncated", Bytes(good_bytes.begin(), good_bytes.begin() + 20)},
        {"not an archive", flipped},
        {"empty", {}},
        {"offsets going backwards", table(2, 42, {{1, "a", 40}, {1, "a", 38}})},
        {"a trailer pointing nowhere", program, TARNFILE_EXECUTABLE},
        {"no kind of mount", good_bytes, 7},
    };
    // Every table the mount refuses, the archive tool refuses too: they read it alike.
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

TEST_F(Archive, TheCurrentPathChangesLikeAShellsAndWholeFilesAreReadBelowIt) {
    mount({{"leds.tga", bytes_of("leds!")}}, TARNFILE_ARCHIVE);
    EXPECT_STREQ(tarnfile_getpath(), "/");
    testing::internal::CaptureStdout();
    const char* steps[][2] = {{"gfx", "/gfx/"}, {".", "/gfx/"},      {"..", "/"},
                              {"..", "/"},      {"/a/b", "/a/b/"},   {"c/", "/a/b/c/"},
                              {"..", "/a/b/"},  {"\\win", "\\win/"}, {"..", "/"}};
    for (const auto& [to, path] : steps) {
        tarnfile_chdir(to);
        EXPECT_STREQ(tarnfile_getpath(), path) << "after " << to;
    }

    tarnfile_chdir("/");
    std::uint32_t size = 0;
    const lsr::Counted<std::uint8_t> leds(tarnfile_loadbuffer("leds.tga", &size),
                                          lsr::CountedRelease{"test", __LINE__});
    ASSERT_TRUE(leds);
    EXPECT_EQ(Bytes(leds.get(), leds.get() + size), bytes_of("leds!"));

    // Read by its own name, a whole file ignores the current path.
    tarnfile_chdir("gfx");
    const lsr::Counted<std::uint8_t> whole = tarnfile_readall("leds.tga", "test", __LINE__, &size);
    EXPECT_EQ(Bytes(whole.get(), whole.get() + size), bytes_of("leds!"));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(picture::printed([] { EXPECT_FALSE(tarnfile_readall("gfx/leds.tga", "t", 1)); }),
              "couldn't find file: gfx/leds.tga\n");
}

// Runs the tool's command line from inside a directory, as a user would.
class Tarnpack : public tarn_test::Mounted {
  protected:
    void SetUp() override {
        Mounted::SetUp();
        fs::current_path(dir.path());
    }
    void TearDown() override {
        fs::current_path(old_);
        Mounted::TearDown();
    }

    int run(std::vector<std::string> args) {
        std::vector<const char*> argv = {"tarnpack"};
        for (const std::string& a : args) argv.push_back(a.c_str());
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int status = tarnpack::run(static_cast<int>(argv.size()), argv.data());
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
        return status;
    }
    void write_archive(const std::string& path, const std::string& name) {
        ::write_archive(dir, path, {{name, bytes_of("!")}});
    }

    std::string out, err;

  private:
    fs::path old_ = fs::current_path();
};

// The tool's archives, standing alone or appended to a program (a second time replacing the
// first), list their entries in byte order of their lower-case names, extract to the files they
// came from, and mount in the library with the same names and bytes.
TEST_F(Tarnpack, CreateListExtractAppendAndMountRoundTrip) {
    const Files files = {
        {"a.tga", bytes_of("aaaa")}, {"b.wav", bytes_of("bb")}, {"gfx/zed.tga", bytes_of("zzz")}};
    dir.write("gfx/Zed.TGA", files.at("gfx/zed.tga"));
    dir.write("B.wav", files.at("b.wav"));
    dir.write("a.tga", files.at("a.tga"));
    dir.write("program", bytes_of("ELF....."));
    ASSERT_EQ(run({"create", "res.tarn", "a.tga", "./B.wav", "gfx"}), 0) << err;
    ASSERT_EQ(run({"create", "again.tarn", "gfx", "B.wav", "a.tga"}), 0) << err;
    // The same files give the same bytes: the build step relies on that.
    EXPECT_EQ(tarn_test::read_file(dir / "again.tarn"), tarn_test::read_file(dir / "res.tarn"));
    ASSERT_EQ(run({"extract", "res.tarn", "out"}), 0) << err;
    for (const auto& [name, data] : files)
        EXPECT_EQ(tarn_test::read_file(dir / ("out/" + name)), data) << name;
    ASSERT_EQ(run({"append", "program", "res.tarn"}), 0) << err;
    ASSERT_EQ(run({"append", "program", "res.tarn"}), 0) << err;
    const Bytes program = tarn_test::read_file(dir / "program");
    EXPECT_EQ(program.size(), 8u + 78u + 4u);
    EXPECT_EQ(Bytes(program.begin(), program.begin() + 8), bytes_of("ELF....."));
    EXPECT_EQ(Bytes(program.end() - 4, program.end()), Bytes({8, 0, 0, 0})) << "the header's place";

    // Header 12, records 12 + name each: 12 + 17 + 17 + 23 = 69, and 8 more behind the program.
    ASSERT_EQ(run({"list", "res.tarn"}), 0) << err;
    EXPECT_EQ(out, "a.tga          4         69\n"
                   "b.wav          2         73\n"
                   "gfx/zed.tga          3         75\n");
    ASSERT_EQ(run({"list", "program"}), 0) << err;
    EXPECT_EQ(out, "a.tga          4         77\n"
                   "b.wav          2         81\n"
                   "gfx/zed.tga          3         83\n");
    for (const auto& [file, kind] :
         {std::pair{"res.tarn", TARNFILE_ARCHIVE}, {"program", TARNFILE_EXECUTABLE}}) {
        ASSERT_EQ(tarnfile_mountimage((dir / file).c_str(), kind), 1);
        EXPECT_EQ(names(), Names({"a.tga", "b.wav", "gfx/zed.tga"}));
        for (const auto& [name, data] : files) EXPECT_EQ(read(name.c_str()), data) << name;
    }
}

TEST_F(Tarnpack, FailuresSayWhatFailedExitNonZeroAndLeaveFilesAsTheyWere) {
    dir.write("a.tga", bytes_of("aaaa"));
    dir.write("upper/A.TGA", bytes_of("1"));
    dir.write("UPPER/a.tga", bytes_of("2"));
    dir.write("program", bytes_of("ELF....."));
    fs::create_directory(dir / "empty");
    const std::string root = "relative to the archive's root";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string said;
    } cases[] = {
        {{"create", "res.tarn", "a.tga", "missing.tga"}, 1, "cannot open \"missing.tga\"\n"},
        {{"create", "res.tarn", dir / "a.tga"}, 1, root},
        {{"create", "res.tarn", "../x"}, 1, root},
        // An existing directory reached from outside the root (empty: no file in it is refused).
        {{"create", "res.tarn",
          "empty/../../" + fs::path(dir.path()).filename().string() + "/empty"},
         1,
         root},
        {{"create", "res.tarn", "upper", "UPPER"}, 1, "two files are stored as \"upper/a.tga\"\n"},
        {{"list", "a.tga"}, 1, "no archive found"},
        {{"append", "program", "a.tga"}, 1, "no archive found"},
        {{}, 2, "usage: tarnpack"},
        {{"pack", "x"}, 2, "unknown command or wrong arguments: pack"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        EXPECT_EQ(run(c.args), c.status);
        EXPECT_NE(err.find(c.said), std::string::npos) << err;
    }
    EXPECT_FALSE(fs::exists(dir / "res.tarn"));
    EXPECT_EQ(tarn_test::read_file(dir / "program"), bytes_of("ELF....."));

    // Names of up to 255 characters are stored; a 256th has no room beside the closing zero.
    std::string error;
    EXPECT_EQ(tarnpack::stored_name(std::string(255, 'n'), &error).size(), 255u) << error;
    EXPECT_EQ(tarnpack::stored_name(std::string(256, 'n'), &error), "");
    EXPECT_NE(error.find("names hold at most 255 characters"), std::string::npos) << error;
}

// Appending writes only where it should: nothing planted beside the target is written through,
// the target keeps its mode, a link keeps pointing at the new content, and a file the user may not
// write is refused. (Extracting past links planted in the folder, and hostile entry names, are
// the fuzz corpus's.)
TEST_F(Tarnpack, AppendingKeepsModesLinksAndPermissions) {
    write_archive("a.tarn", "a.tga");
    write_archive("b.tarn", "b.tga");
    // A link planted at the name a temporary once had is left alone, and so is its target.
    dir.write("victim", bytes_of("keep me"));
    dir.write("program", bytes_of("ELF....."));
    fs::create_symlink("victim", dir / "program.tarnpack-new");
    fs::permissions(dir / "program", fs::perms(0750));
    ASSERT_EQ(run({"append", "program", "a.tarn"}), 0) << err;
    EXPECT_EQ(tarn_test::read_file(dir / "victim"), bytes_of("keep me"));
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(dir / "program")));

    // Appending through a link changes what it leads to; the link stays a link.
    fs::create_symlink("program", dir / "launcher");
    ASSERT_EQ(run({"append", "launcher", "b.tarn"}), 0) << err;
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "launcher")));
    ASSERT_EQ(run({"list", "program"}), 0) << err;
    EXPECT_EQ(out.substr(0, 6), "b.tga ");
    EXPECT_EQ(fs::status(dir / "program").permissions(), fs::perms(0750));
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "program.tarnpack-new" || name.find("tarnpack") == std::string::npos)
            << "left behind: " << name;
    }

    // Renaming over a file needs only the directory's permission: the file's own is asked for.
    if (geteuid() == 0) return; // a privileged user may write any file
    fs::permissions(dir / "program", fs::perms(0444));
    EXPECT_EQ(run({"append", "program", "a.tarn"}), 1);
    EXPECT_EQ(err, "tarnpack: cannot write \"program\": Permission denied\n");
}

} // namespace
