// The file layer over archives and directories: packing and mounting, opening by name,
// positions, lines, hostile tables, the current path and the listing.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <map>

#include "lodestar/base/owner.h"
#include "lodestar/base/tarnmem.h"
#include "lodestar/tarnfile/tarnfile.h"
#include "pack.h"
#include "test_tarnfile_util.h"

namespace {

using tarn_test::Bytes;
using tarn_test::bytes_of;
using Files = std::map<std::string, Bytes>;

// The six files the program ships, with contents of distinct sizes.
const Files k_shipped = {
    {"meggyjr.tga", bytes_of("device picture")},
    {"leds.tga", bytes_of("leds!")},
    {"font_heat.tga", bytes_of("heat font....")},
    {"font_small07.tga", bytes_of("small")},
    {"meggyjr.psd", bytes_of("psd")},
    {"meggyjr2.tga", bytes_of("second picture, last")},
};

std::string write_archive(const tarn_test::TempDir& dir, const Files& files) {
    std::vector<tarnpack::Entry> entries;
    for (const auto& [file, data] : files) entries.push_back({file, data});
    Bytes archive;
    std::string error;
    EXPECT_TRUE(tarnpack::build(entries, 0, &archive, &error)) << error;
    return dir.write("res.tarn", archive);
}

class Archive : public tarn_test::Mounted {
  protected:
    // The files packed into an archive, or written below "tree", and mounted.
    void mount(const Files& files, std::int32_t kind) {
        if (kind == TARNFILE_DIRECTORY) {
            for (const auto& [name, data] : files) dir.write("tree/" + name, data);
            ASSERT_EQ(tarnfile_mountimage((dir / "tree").c_str(), kind), 1);
        } else {
            ASSERT_EQ(tarnfile_mountimage(write_archive(dir, files).c_str(), kind), 1);
        }
    }
};

TEST_F(Archive, AppendedToAnExecutableItMountsWithItsSixEntriesInNameOrder) {
    const std::string archive = write_archive(dir, k_shipped);
    const std::string program = dir.write("program", bytes_of(std::string(1000, 'x')));
    std::string error;
    ASSERT_EQ(tarnpack::append(program, archive, &error), 0) << error;
    const Bytes once = tarn_test::read_file(program);
    ASSERT_EQ(tarnpack::append(program, archive, &error), 0) << error;
    EXPECT_EQ(tarn_test::read_file(program), once) << "appending again must replace, not add";
    EXPECT_EQ(std::memcmp(once.data(), std::string(1000, 'x').data(), 1000), 0);

    ASSERT_EQ(tarnfile_mountimage(program.c_str(), TARNFILE_EXECUTABLE), 1);
    ASSERT_EQ(tarnfile_image.numfiles, 6u);
    EXPECT_EQ(tarnfile_image.romsize, once.size() - 4);
    const char* order[] = {"font_heat.tga", "font_small07.tga", "leds.tga",
                           "meggyjr.psd",   "meggyjr.tga",      "meggyjr2.tga"};
    for (std::uint32_t i = 0; i < 6; ++i) EXPECT_STREQ(tarnfile_image.names[i], order[i]);

    TarnFileHandle leds, last;
    ASSERT_EQ(tarnfile_open("LEDS.TGA", &leds, 0), 1);
    EXPECT_EQ(leds.index, 2u);
    EXPECT_EQ(tarn_test::read_all(&leds), k_shipped.at("leds.tga"));
    ASSERT_EQ(tarnfile_open("meggyjr2.tga", &last, 0), 1);
    EXPECT_EQ(last.size, tarnfile_image.romsize - tarnfile_image.offsets[5]);
    EXPECT_EQ(tarn_test::read_all(&last), k_shipped.at("meggyjr2.tga"));

    // The stand-alone archive mounts the same way, at offsets of its own file.
    ASSERT_EQ(tarnfile_mountimage(archive.c_str(), TARNFILE_ARCHIVE), 1);
    EXPECT_EQ(tarnfile_image.romsize, tarn_test::read_file(archive).size());
    ASSERT_EQ(tarnfile_open("meggyjr.tga", &last, 0), 1);
    EXPECT_EQ(tarn_test::read_all(&last), k_shipped.at("meggyjr.tga"));
}

TEST_F(Archive, NamesAreFoundByWholeNameAndHashAndMissingOnesAreReported) {
    // "ab.x" and "ba.x" sum to the same hash; "a" is a prefix of "a.b".
    mount({{"ab.x", bytes_of("first")}, {"ba.x", bytes_of("second")}, {"a.b", bytes_of("third")}},
          TARNFILE_ARCHIVE);
    EXPECT_EQ(tarnfile_gethash("ab.x"), tarnfile_gethash("ba.x"));
    TarnFileHandle h;
    ASSERT_EQ(tarnfile_open("ba.x", &h, 0), 1);
    EXPECT_EQ(tarn_test::read_all(&h), bytes_of("second"));
    ASSERT_EQ(tarnfile_open("AB.X", &h, 0), 1);
    EXPECT_EQ(tarn_test::read_all(&h), bytes_of("first"));

    testing::internal::CaptureStdout();
    EXPECT_EQ(tarnfile_open("a.bc", &h, 0), 0);
    EXPECT_EQ(tarnfile_open("Missing.TGA", &h, 0), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "couldn't find file: a.bc\ncouldn't find file: missing.tga\n");

    EXPECT_EQ(tarnfile_gethash("a\xff"), 'a' - 1) << "bytes of 0x80 and above subtract";
    char lower[8];
    file_downcase(lower, "A\\Z\xC4z@[", 8);
    EXPECT_EQ(std::string(lower, 8), std::string("a\\z\xC4z@[\0", 8));
}

TEST_F(Archive, PositionsAreCountedFromTheEntryAndReadsStayInsideIt) {
    for (std::int32_t kind : {TARNFILE_ARCHIVE, TARNFILE_DIRECTORY}) {
        SCOPED_TRACE(kind);
        tarnfile_closeimage();
        mount({{"a.txt", bytes_of("line one\nline two\nend")}, {"b.txt", bytes_of("NEXT ENTRY")}},
              kind);
        TarnFileHandle h;
        ASSERT_EQ(tarnfile_open("a.txt", &h, 0), 1);
        EXPECT_EQ(tarnfile_fsize(&h), 21u);
        tarnfile_seek(&h, 10, 0);
        tarnfile_seek(&h, 5, 2);
        EXPECT_EQ(tarnfile_tell(&h), 10u);
        tarnfile_seek(&h, -4, 1);
        EXPECT_EQ(tarnfile_tell(&h), 6u);
        char word[13] = {};
        tarnfile_read(word, 4, 3, &h);
        EXPECT_EQ(tarnfile_tell(&h), 18u);
        EXPECT_STREQ(word, "ne\nline two\n");
        // An entry is at its end once the position reaches its size; a file on disk only once
        // a read has met the end of its stream.
        const bool archive = kind == TARNFILE_ARCHIVE;
        EXPECT_EQ(tarnfile_feof(&h), 0);
        tarnfile_seek(&h, 21, 0);
        EXPECT_EQ(tarnfile_feof(&h), archive ? 1 : 0);
        tarnfile_seek(&h, 18, 0);
        tarnfile_read(word, 1, 3, &h); // exactly to the end
        EXPECT_EQ(tarnfile_feof(&h), archive ? 1 : 0);

        // A read over the entry's end gets the rest and zeros, not the next entry's bytes.
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

        if (kind == TARNFILE_ARCHIVE) { // writing into an archive does nothing
            tarnfile_rewind(&h);
            tarnfile_write("XXXX", 1, 4, &h);
            tarnfile_rewind(&h);
            EXPECT_EQ(tarn_test::read_all(&h), bytes_of("line one\nline two\nend"));
        }
        tarnfile_close(&h);
        EXPECT_EQ(h.pos, 0u);
    }
}

// 32-bit little-endian words, then text.
Bytes& put(Bytes& b, std::initializer_list<std::uint32_t> words, const std::string& text = "") {
    for (std::uint32_t v : words) tarn_test::put(b, v, 4);
    b.insert(b.end(), text.begin(), text.end());
    return b;
}
// Header, one entry record and its data; the pieces tests break one at a time.
Bytes archive_of(std::uint32_t count, std::uint32_t romsize, std::uint32_t name_length,
                 std::uint32_t offset) {
    Bytes b = bytes_of("TARN");
    put(b, {count, romsize, name_length, std::uint32_t(tarnfile_gethash("x.tga"))}, "x.tga");
    return put(b, {offset}, "DATA");
}

// One entry whose name is n bytes long, the rest of the archive sound.
Bytes name_of_length(std::uint32_t n) {
    const std::string name(n, 'a');
    const std::uint32_t data_at = 12 + 12 + n;
    Bytes b = bytes_of("TARN");
    put(b, {1, data_at + 4, n, std::uint32_t(tarnfile_gethash(name.c_str()))}, name);
    return put(b, {data_at}, "DATA");
}

TEST_F(Archive, TruncatedOrInconsistentTablesAreRefusedAndLeaveNothingMounted) {
    const Bytes good = archive_of(1, 33, 5, 29);
    ASSERT_EQ(good.size(), 33u);
    dir.write("good", good);
    ASSERT_EQ(tarnfile_mountimage((dir / "good").c_str(), 0), 1);
    TarnFileHandle h;
    ASSERT_EQ(tarnfile_open("x.tga", &h, 0), 1);
    EXPECT_EQ(tarn_test::read_all(&h), bytes_of("DATA"));
    // The longest name a path holds is still a name, to the mount and to the archive tool.
    tarnfile_closeimage();
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
    Bytes backwards = bytes_of("TARN");
    put(backwards, {2, 40});
    for (std::uint32_t offset : {38u, 36u}) put(put(backwards, {1, 'a'}, "a"), {offset});
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
        tarnpack::Located located;
        std::string error;
        EXPECT_FALSE(tarnpack::locate(bytes, &located, &error)) << what;
        dir.write("bad", bytes);
        EXPECT_EQ(tarnfile_mountimage((dir / "bad").c_str(), 0), 0) << what;
        EXPECT_EQ(tarnfile_image.numfiles, 0u) << what;
        EXPECT_EQ(tarnfile_image.source, nullptr) << what;
        EXPECT_EQ(tarnfile_localpath, nullptr) << what;
        EXPECT_EQ(tarnfile_open("x.tga", &h, 0), 0) << what;
        EXPECT_EQ(g_mem_in_use.load(), in_use) << what;
    }

    // An executable whose trailer points nowhere fails as a bad magic does, silently; one
    // missing altogether says so; an unknown kind says nothing more.
    Bytes program = bytes_of(std::string(64, 'p'));
    dir.write("program", put(program, {1u << 30}));
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

TEST_F(Archive, TheCurrentPathChangesLikeAShellsAndRefusesWhatDoesNotFit) {
    mount(k_shipped, TARNFILE_ARCHIVE);
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
    testing::internal::GetCapturedStdout();

    // Whole-file loads go below the current path.
    tarnfile_chdir("/");
    std::uint32_t size = 0;
    const lsr::Counted<std::uint8_t> leds(tarnfile_loadbuffer("leds.tga", &size),
                                          lsr::CountedRelease{"test", __LINE__});
    ASSERT_TRUE(leds);
    EXPECT_EQ(Bytes(leds.get(), leds.get() + size), k_shipped.at("leds.tga"));
    EXPECT_EQ(tarnfile_loadbuffer(std::string(300, 'n').c_str()), nullptr);

    // Read by its own name, a whole file ignores the current path, and its block goes back to
    // the allocator with its owner.
    tarnfile_chdir("gfx");
    const std::uint32_t in_use = g_mem_in_use.load();
    {
        std::uint32_t n = 0;
        const lsr::Counted<std::uint8_t> whole = tarnfile_readall("leds.tga", "test", __LINE__, &n);
        ASSERT_TRUE(whole);
        EXPECT_EQ(Bytes(whole.get(), whole.get() + n), k_shipped.at("leds.tga"));
        EXPECT_GT(g_mem_in_use.load(), in_use);
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
        tarnfile_closeimage();
        mount({{"a.tga", bytes_of("aaaa")},
               {"b.wav", bytes_of("bb")},
               {"sub/c.tga", bytes_of("ccc")},
               {"sub/deep/d.tga", bytes_of("d")}},
              kind);
        ASSERT_EQ(tarnfile_image.numfiles, 4u);
        EXPECT_STREQ(tarnfile_image.names[2], "sub/c.tga");
        EXPECT_STREQ(tarnfile_image.names[3], "sub/deep/d.tga");
        // Rows of name, path, size (known in archives only) and whether a directory.
        const auto listing = [](const char* pattern) {
            testing::internal::CaptureStdout();
            tarnfile_readdir(pattern);
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
        EXPECT_EQ(listing(("*." + std::string(20, 'w')).c_str()), "[..]|..|0|1 ")
            << "a pattern too long for its buffer changes nothing";
        tarnfile_chdir("/");
    }
}

// Links in a mounted directory: one that leads round to a directory walked already, or out of the
// tree, is not followed; file links inside the tree stay. Each file is listed once.
TEST_F(Archive, DirectoryMountsWalkEachDirectoryOnceAndNeverLeaveTheTree) {
    namespace fs = std::filesystem;
    struct Link {
        const char* at;
        const char* to; // relative to the link's own directory
    };
    struct Case {
        const char* what;
        std::vector<Link> links;
        std::vector<std::string> names;
    };
    const std::vector<std::string> plain = {"a.txt", "sub/b.txt"};
    const Case cases[] = {
        {"a link back up", {{"sub/loop", ".."}}, plain},
        {"a link to the folder around the tree", {{"up", ".."}}, plain},
        {"a link to a directory walked before", {{"z", "sub"}}, plain},
        {"file links in, out and nowhere",
         {{"alias.txt", "sub/b.txt"}, {"leak.txt", "../outside.txt"}, {"broken", "nowhere"}},
         {"a.txt", "alias.txt", "sub/b.txt"}},
        {"two links back to the root", {{"self", "."}, {"sub/root", "../"}}, plain},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string base = "case" + std::to_string(n++) + "/";
        dir.write(base + "outside.txt", bytes_of("not ours"));
        for (const std::string& name : plain) dir.write(base + "tree/" + name, bytes_of(name));
        for (const Link& link : c.links)
            fs::create_symlink(link.to, dir / (base + "tree/" + link.at));
        testing::internal::CaptureStdout();
        const std::int32_t mounted = tarnfile_mountimage((dir / (base + "tree")).c_str(), 2);
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(mounted, 1);
        std::vector<std::string> names(tarnfile_image.names,
                                       tarnfile_image.names + tarnfile_image.numfiles);
        EXPECT_EQ(names, c.names);
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
