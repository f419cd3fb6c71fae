// The file layer over archives and directories: mounting, opening by name, positions, lines,
// hostile tables, the current path and the listing.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <tuple>
#include <vector>

#include "lodestar/base/owner.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/tarnfile/tarnfile.h"
#include "pack.h"
#include "test_tarnfile_util.h"

namespace {

using tarn_test::Bytes;
using tarn_test::bytes_of;
using Files = std::map<std::string, Bytes>;

std::string captured(void (*body)()) {
    testing::internal::CaptureStdout();
    body();
    return testing::internal::GetCapturedStdout();
}

class Archive : public tarn_test::Mounted {
  protected:
    std::string write_archive(const Files& files) {
        std::vector<tarnpack::Entry> entries;
        for (const auto& [file, data] : files) entries.push_back({file, data});
        Bytes archive;
        std::string error;
        EXPECT_TRUE(tarnpack::build(entries, 0, &archive, &error)) << error;
        return dir.write("res.tarn", archive);
    }
    // The files packed into an archive, or written below "tree", and mounted.
    void mount(const Files& files, std::int32_t kind) {
        tarnfile_closeimage();
        if (kind == TARNFILE_DIRECTORY) {
            for (const auto& [name, data] : files) dir.write("tree/" + name, data);
            ASSERT_EQ(tarnfile_mountimage((dir / "tree").c_str(), kind), 1);
        } else {
            ASSERT_EQ(tarnfile_mountimage(write_archive(files).c_str(), kind), 1);
        }
    }
    Bytes open_and_read(const char* name) {
        TarnFileHandle h;
        EXPECT_EQ(tarnfile_open(name, &h, 0), 1) << name;
        return tarn_test::read_all(&h);
    }
};

TEST_F(Archive, AppendedToAProgramOrStandingAloneItMountsItsEntriesInNameOrder) {
    const Files files = {{"meggyjr.tga", bytes_of("device picture")},
                         {"leds.tga", bytes_of("leds!")},
                         {"font_heat.tga", bytes_of("heat font....")},
                         {"meggyjr2.tga", bytes_of("second picture, last")}};
    const std::string archive = write_archive(files);
    const std::string program = dir.write("program", bytes_of(std::string(1000, 'x')));
    std::string error;
    ASSERT_EQ(tarnpack::append(program, archive, &error), 0) << error;
    const Bytes once = tarn_test::read_file(program);
    ASSERT_EQ(tarnpack::append(program, archive, &error), 0) << error;
    EXPECT_EQ(tarn_test::read_file(program), once) << "appending again must replace, not add";
    EXPECT_EQ(Bytes(once.begin(), once.begin() + 1000), bytes_of(std::string(1000, 'x')));

    ASSERT_EQ(tarnfile_mountimage(program.c_str(), TARNFILE_EXECUTABLE), 1);
    EXPECT_EQ(tarnfile_image.romsize, once.size() - 4);
    const std::vector<std::string> order(tarnfile_image.names,
                                         tarnfile_image.names + tarnfile_image.numfiles);
    EXPECT_EQ(order, (std::vector<std::string>{"font_heat.tga", "leds.tga", "meggyjr.tga",
                                               "meggyjr2.tga"}));
    TarnFileHandle leds;
    ASSERT_EQ(tarnfile_open("LEDS.TGA", &leds, 0), 1);
    EXPECT_EQ(leds.index, 1u);
    EXPECT_EQ(tarn_test::read_all(&leds), files.at("leds.tga"));
    EXPECT_EQ(open_and_read("meggyjr2.tga"), files.at("meggyjr2.tga")) << "the last entry";

    ASSERT_EQ(tarnfile_mountimage(archive.c_str(), TARNFILE_ARCHIVE), 1);
    EXPECT_EQ(tarnfile_image.romsize, tarn_test::read_file(archive).size());
    EXPECT_EQ(open_and_read("meggyjr.tga"), files.at("meggyjr.tga"));
}

TEST_F(Archive, NamesMatchWholeAndByHashAndMissingOnesAreReported) {
    // "ab.x" and "ba.x" sum to the same hash; "a.b" is a prefix of "a.bc".
    mount({{"ab.x", bytes_of("first")}, {"ba.x", bytes_of("second")}, {"a.b", bytes_of("third")}},
          TARNFILE_ARCHIVE);
    EXPECT_EQ(tarnfile_gethash("ab.x"), tarnfile_gethash("ba.x"));
    EXPECT_EQ(open_and_read("ba.x"), bytes_of("second"));
    EXPECT_EQ(open_and_read("AB.X"), bytes_of("first"));
    EXPECT_EQ(captured([] {
                  TarnFileHandle h;
                  tarnfile_open("a.bc", &h, 0);
                  tarnfile_open("Missing.TGA", &h, 0);
              }),
              "couldn't find file: a.bc\ncouldn't find file: missing.tga\n");
    EXPECT_EQ(tarnfile_gethash("a\xff"), 'a' - 1) << "bytes of 0x80 and above subtract";
    char lower[8];
    file_downcase(lower, "A\\Z\xC4z@[", 8);
    EXPECT_EQ(std::string(lower, 8), std::string("a\\z\xC4z@[\0", 8));
}

TEST_F(Archive, PositionsAreCountedFromTheEntryAndReadsStayInsideIt) {
    for (std::int32_t kind : {TARNFILE_ARCHIVE, TARNFILE_DIRECTORY}) {
        SCOPED_TRACE(kind);
        const bool archive = kind == TARNFILE_ARCHIVE;
        mount({{"a.txt", bytes_of("line one\nline two\nend")}, {"b.txt", bytes_of("NEXT ENTRY")}},
              kind);
        TarnFileHandle h;
        ASSERT_EQ(tarnfile_open("a.txt", &h, 0), 1);
        EXPECT_EQ(tarnfile_fsize(&h), 21u);
        tarnfile_seek(&h, 10, 0);
        tarnfile_seek(&h, 5, 2); // no such origin: stays
        tarnfile_seek(&h, -4, 1);
        EXPECT_EQ(tarnfile_tell(&h), 6u);
        char word[13] = {};
        tarnfile_read(word, 4, 3, &h);
        EXPECT_EQ(tarnfile_tell(&h), 18u);
        EXPECT_STREQ(word, "ne\nline two\n");
        // An entry is at its end once the position reaches its size; a file on disk only once
        // a read has met the end of its stream.
        EXPECT_EQ(tarnfile_feof(&h), 0);
        tarnfile_read(word, 1, 3, &h); // exactly to the end
        EXPECT_EQ(tarnfile_feof(&h), archive ? 1 : 0);
        // A read over the end gets the rest and zeros, not the next entry's bytes.
        char tail[8];
        std::memset(tail, '?', sizeof tail);
        tarnfile_seek(&h, 18, 0);
        tarnfile_read(tail, 1, 8, &h);
        EXPECT_EQ(std::string(tail, 8), std::string("end\0\0\0\0\0", 8));
        EXPECT_NE(tarnfile_feof(&h), 0);
        tarnfile_seek(&h, 20, 0);
        EXPECT_EQ(tarnfile_feof(&h), 0) << "a seek back after reading past the end";

        tarnfile_rewind(&h);
        EXPECT_EQ(tarnfile_tell(&h), 0u);
        char line[64];
        const std::pair<std::int32_t, const char*> lines[] = {
            {64, "line one\n"}, {5, "line"}, {64, " two\n"}, {64, "end"}};
        for (const auto& [n, want] : lines) {
            ASSERT_NE(tarnfile_gets(line, n, &h), nullptr);
            EXPECT_STREQ(line, want) << "a line stops at the entry's end";
        }
        EXPECT_EQ(tarnfile_gets(line, sizeof line, &h), nullptr);
        tarnfile_rewind(&h);
        tarnfile_write("XXXX", 1, 4, &h); // an archive is not written; this file is read-only
        EXPECT_EQ(open_and_read("a.txt"), bytes_of("line one\nline two\nend"));
        tarnfile_close(&h);
        EXPECT_EQ(h.pos, 0u);
    }
}

// Records of (name length, hash, name, data offset), after a header; the pieces the tests break
// one at a time.
Bytes table(std::uint32_t count, std::uint32_t romsize,
            const std::vector<std::tuple<std::uint32_t, std::string, std::uint32_t>>& records) {
    Bytes b = bytes_of("TARN");
    tarn_test::put(b, count, 4);
    tarn_test::put(b, romsize, 4);
    for (const auto& [length, name, offset] : records) {
        tarn_test::put(b, length, 4);
        tarn_test::put(b, static_cast<std::uint32_t>(tarnfile_gethash(name.c_str())), 4);
        b.insert(b.end(), name.begin(), name.end());
        tarn_test::put(b, offset, 4);
    }
    return b;
}
Bytes archive_of(std::uint32_t count, std::uint32_t romsize, std::uint32_t length,
                 std::uint32_t offset) {
    Bytes b = table(count, romsize, {{length, "x.tga", offset}});
    return b.insert(b.end(), {'D', 'A', 'T', 'A'}), b;
}
Bytes name_of_length(std::uint32_t n) {
    Bytes b = table(1, 28 + n, {{n, std::string(n, 'a'), 24 + n}});
    return b.insert(b.end(), {'D', 'A', 'T', 'A'}), b;
}

TEST_F(Archive, TruncatedOrInconsistentTablesAreRefusedAndLeaveNothingMounted) {
    const Bytes good = archive_of(1, 33, 5, 29);
    ASSERT_EQ(tarnfile_mountimage(dir.write("good", good).c_str(), 0), 1);
    EXPECT_EQ(open_and_read("x.tga"), bytes_of("DATA"));
    // The longest name a path holds is still a name, to the mount and to the archive tool.
    const Bytes longest = name_of_length(TARNFILE_PATHMAX - 1);
    tarnpack::Located located;
    std::string error;
    EXPECT_TRUE(tarnpack::locate(longest, &located, &error)) << error;
    ASSERT_EQ(tarnfile_mountimage(dir.write("longest", longest).c_str(), 0), 1);
    tarnfile_closeimage();

    const std::uint32_t in_use = g_mem_in_use.load();
    Bytes flipped = good;
    std::memcpy(flipped.data(), "NRAT", 4);
    // Two entries whose offsets go backwards would have negative sizes.
    Bytes backwards = table(2, 40, {{1, "a", 38}, {1, "a", 36}});
    backwards.resize(40, 'z');
    const Files bad = {
        {"many entries", archive_of(0x10000000, 33, 5, 29)},
        {"long name", archive_of(1, 33, 0xFFFFFFF0u, 29)},
        {"name longer than a path", name_of_length(TARNFILE_PATHMAX)},
        {"offset past romsize", archive_of(1, 33, 5, 34)},
        {"romsize past the end", archive_of(1, 1000, 5, 29)},
        {"truncated", Bytes(good.begin(), good.begin() + 20)},
        {"not an archive", flipped},
        {"empty", {}},
        {"backwards", backwards},
    };
    // Every table the mount refuses, the archive tool refuses too: they read it alike.
    for (const auto& [what, bytes] : bad) {
        EXPECT_FALSE(tarnpack::locate(bytes, &located, &error)) << what;
        testing::internal::CaptureStdout();
        EXPECT_EQ(tarnfile_mountimage(dir.write("bad", bytes).c_str(), 0), 0) << what;
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(tarnfile_image.numfiles, 0u) << what;
        EXPECT_EQ(tarnfile_image.source, nullptr) << what;
        EXPECT_EQ(tarnfile_localpath, nullptr) << what;
        EXPECT_EQ(g_mem_in_use.load(), in_use) << what;
    }

    // An executable whose trailer points nowhere fails as a bad magic does, silently; one
    // missing altogether says so; an unknown kind says nothing more.
    Bytes program = bytes_of(std::string(64, 'p'));
    tarn_test::put(program, 1u << 30, 4);
    dir.write("program", program);
    testing::internal::CaptureStdout();
    EXPECT_EQ(tarnfile_mountimage((dir / "program").c_str(), 1), 0);
    EXPECT_EQ(tarnfile_mountimage((dir / "nowhere.exe").c_str(), 1), 0);
    EXPECT_EQ(tarnfile_mountimage((dir / "good").c_str(), 7), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Loading resource image: " + (dir / "program") + "\nloading from executable\n" +
                  "Loading resource image: " + (dir / "nowhere.exe") +
                  "\ncould not open image: " + (dir / "nowhere.exe") + "\n" +
                  "Loading resource image: " + (dir / "good") + "\n");
}

// The trailer's offset is taken only where a whole header fits between it and the trailer.
TEST(AppendedArchive, TheTrailerMustLeaveRoomForAWholeHeaderBeforeIt) {
    const auto read = [](void* source, std::uint64_t at, void* out, std::uint32_t n) {
        const auto& file = *static_cast<std::vector<std::uint8_t>*>(source);
        if (at > file.size() || n > file.size() - at) return false;
        std::memcpy(out, file.data() + at, n);
        return true;
    };
    constexpr std::uint32_t program = 20, body = program + TARNFILE_HEADERSIZE;
    for (const std::uint32_t at : {0u, program, program + 1, body, 0xFFFFFFFFu}) {
        std::vector<std::uint8_t> file(body + TARNFILE_TRAILERSIZE, 0);
        for (std::uint32_t b = 0; b < 4; ++b)
            file[body + b] = static_cast<std::uint8_t>(at >> (8 * b));
        std::uint64_t header = 0, end = 0;
        const bool fits = at <= program;
        EXPECT_EQ(tarnfile_findappended(read, &file, file.size(), &header, &end), fits ? 1 : 0)
            << at;
        if (fits) {
            EXPECT_EQ(header, at);
            EXPECT_EQ(end, body);
        }
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
    tarnfile_chdir(std::string(250, 'd').c_str());
    const std::string full = tarnfile_getpath();
    ASSERT_EQ(full.size(), 252u);
    tarnfile_chdir("more");
    tarnfile_chdir(("/" + std::string(255, 'e')).c_str());
    EXPECT_EQ(tarnfile_getpath(), full) << "a path too long leaves the current one";

    tarnfile_chdir("/");
    std::uint32_t size = 0;
    const lsr::Counted<std::uint8_t> leds(tarnfile_loadbuffer("leds.tga", &size),
                                          lsr::CountedRelease{"test", __LINE__});
    ASSERT_TRUE(leds);
    EXPECT_EQ(Bytes(leds.get(), leds.get() + size), bytes_of("leds!"));
    EXPECT_EQ(tarnfile_loadbuffer(std::string(300, 'n').c_str()), nullptr);
    testing::internal::GetCapturedStdout();

    // Read by its own name, a whole file ignores the current path, and its block goes back to
    // the allocator with its owner.
    tarnfile_chdir("gfx");
    const std::uint32_t in_use = g_mem_in_use.load();
    {
        std::uint32_t n = 0;
        const lsr::Counted<std::uint8_t> whole = tarnfile_readall("leds.tga", "test", __LINE__, &n);
        ASSERT_TRUE(whole);
        EXPECT_EQ(Bytes(whole.get(), whole.get() + n), bytes_of("leds!"));
    }
    EXPECT_EQ(g_mem_in_use.load(), in_use);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(tarnfile_readall("gfx/leds.tga", "test", __LINE__));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "couldn't find file: gfx/leds.tga\n");
    EXPECT_EQ(g_mem_in_use.load(), in_use);
}

TEST_F(Archive, TheListingShowsTheDirectoriesThenTheMatchingFilesOfTheCurrentPath) {
    for (std::int32_t kind : {TARNFILE_ARCHIVE, TARNFILE_DIRECTORY}) {
        SCOPED_TRACE(kind);
        mount({{"a.tga", bytes_of("aaaa")},
               {"b.wav", bytes_of("bb")},
               {"sub/c.tga", bytes_of("ccc")},
               {"sub/deep/d.tga", bytes_of("d")}},
              kind);
        // Rows of name, path, size (known in archives only) and whether a directory.
        const auto listing = [](const std::string& pattern) {
            testing::internal::CaptureStdout();
            tarnfile_readdir(pattern.c_str());
            testing::internal::GetCapturedStdout();
            std::string rows;
            for (std::uint32_t i = 0; i < tarnfile_numfiles; ++i) {
                const TarnListEntry& e = tarnfile_filelist[i];
                rows += std::string(e.name) + "|" + e.path + "|" + std::to_string(e.size) + "|" +
                        std::to_string(e.isdir) + " ";
            }
            return rows;
        };
        const auto sized = [kind](const char* row, int size) {
            return row + std::to_string(kind == TARNFILE_ARCHIVE ? size : 0) + "|0 ";
        };
        EXPECT_EQ(listing("*.tga"), "[sub]|sub|0|1 " + sized("a.tga|a.tga|", 4));
        EXPECT_EQ(listing("*.*"),
                  "[sub]|sub|0|1 " + sized("a.tga|a.tga|", 4) + sized("b.wav|b.wav|", 2));
        tarnfile_chdir("sub");
        EXPECT_EQ(listing("*.tga"), "[..]|..|0|1 [deep]|deep|0|1 " + sized("c.tga|sub/c.tga|", 3));
        tarnfile_chdir("deep");
        EXPECT_EQ(listing("*.wav"), "[..]|..|0|1 ");
        EXPECT_EQ(listing("*." + std::string(20, 'w')), "[..]|..|0|1 ")
            << "a pattern too long for its buffer changes nothing";
    }
}

// Links in a mounted directory: one that leads round to a directory walked already, or out of the
// tree, is not followed; file links inside the tree stay. Each file is listed once.
TEST_F(Archive, DirectoryMountsWalkEachDirectoryOnceAndNeverLeaveTheTree) {
    const std::vector<std::string> plain = {"a.txt", "sub/b.txt"};
    const struct {
        const char* what;
        std::vector<std::pair<const char*, const char*>> links; // at, to (from the link's folder)
        std::vector<std::string> names;
    } cases[] = {
        {"a link back up", {{"sub/loop", ".."}}, plain},
        {"a link to the folder around the tree", {{"up", ".."}}, plain},
        {"a link to a directory walked before", {{"z", "sub"}}, plain},
        {"file links in, out and nowhere",
         {{"alias.txt", "sub/b.txt"}, {"leak.txt", "../outside.txt"}, {"broken", "nowhere"}},
         {"a.txt", "alias.txt", "sub/b.txt"}},
        {"two links back to the root", {{"self", "."}, {"sub/root", "../"}}, plain},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string base = "case" + std::to_string(n++) + "/";
        dir.write(base + "outside.txt", bytes_of("not ours"));
        for (const std::string& name : plain) dir.write(base + "tree/" + name, bytes_of(name));
        for (const auto& [at, to] : c.links)
            std::filesystem::create_symlink(to, dir / (base + "tree/" + at));
        testing::internal::CaptureStdout();
        const std::int32_t mounted = tarnfile_mountimage((dir / (base + "tree")).c_str(), 2);
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(mounted, 1);
        EXPECT_EQ(std::vector<std::string>(tarnfile_image.names,
                                           tarnfile_image.names + tarnfile_image.numfiles),
                  c.names);
    }
}

// A tree too deep or too wide for a resource folder is walked only so far, and says so.
TEST_F(Archive, DirectoryMountsAreBoundedInDepthAndWidth) {
    std::string deep = "tree";
    for (int level = 0; level <= 40; ++level, deep += "/d") dir.write(deep + "/f", bytes_of("f"));
    // Empty directories, and one file in the last of them, which the walk no longer reaches.
    for (std::uint32_t i = 0; i < 1024; ++i)
        std::filesystem::create_directories(dir / ("wide/d" + std::to_string(i)));
    dir.write("wide/z/f", bytes_of("f"));
    dir.write("wide/f", bytes_of("f"));
    const struct {
        const char* tree;
        std::uint32_t files;
        const char* message;
    } cases[] = {{"tree", 33, "too many levels"}, {"wide", 1, "too many directories"}};
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        ASSERT_EQ(tarnfile_mountimage((dir / c.tree).c_str(), TARNFILE_DIRECTORY), 1);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(tarnfile_image.numfiles, c.files) << c.tree;
        EXPECT_NE(out.find(c.message), std::string::npos) << out;
    }
}

} // namespace
