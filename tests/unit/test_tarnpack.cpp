// The archive tool's commands on real files: create, list, extract, append and their refusals.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "pack.h"
#include "test_tarnfile_util.h"

namespace {

namespace fs = std::filesystem;
using tarn_test::Bytes;
using tarn_test::bytes_of;
using tarn_test::read_file;

// Runs the tool's command line from inside a directory, as a user would.
class Tarnpack : public ::testing::Test {
  protected:
    void SetUp() override { fs::current_path(dir.path()); }
    void TearDown() override { fs::current_path(old_); }

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
    // An archive of one entry, built by the tool's own logic.
    void write_archive(const std::string& path, const std::string& name) {
        Bytes archive;
        std::string error;
        ASSERT_TRUE(tarnpack::build({{name, bytes_of("!")}}, 0, &archive, &error)) << error;
        dir.write(path, archive);
    }

    tarn_test::TempDir dir;
    std::string out, err;

  private:
    fs::path old_ = fs::current_path();
};

TEST_F(Tarnpack, CreateListExtractRoundTripsWithLowerCaseNamesInByteOrder) {
    const Bytes a = bytes_of("aaaa"), b = bytes_of("bb"), zed = bytes_of("zzz");
    dir.write("gfx/Zed.TGA", zed);
    dir.write("B.wav", b);
    dir.write("a.tga", a);
    ASSERT_EQ(run({"create", "res.tarn", "a.tga", "./B.wav", "gfx"}), 0) << err;
    ASSERT_EQ(run({"list", "res.tarn"}), 0) << err;
    // Header 12, records 12 + name each: 12 + 17 + 17 + 23 = 69.
    EXPECT_EQ(out, "a.tga          4         69\n"
                   "b.wav          2         73\n"
                   "gfx/zed.tga          3         75\n");
    ASSERT_EQ(run({"extract", "res.tarn", "out"}), 0) << err;
    EXPECT_EQ(std::vector<Bytes>({read_file(dir / "out/a.tga"), read_file(dir / "out/b.wav"),
                                  read_file(dir / "out/gfx/zed.tga")}),
              std::vector<Bytes>({a, b, zed}));
    // The same files give the same bytes: the build step relies on that.
    ASSERT_EQ(run({"create", "again.tarn", "gfx", "B.wav", "a.tga"}), 0) << err;
    EXPECT_EQ(read_file(dir / "again.tarn"), read_file(dir / "res.tarn"));

    // An executable with the archive appended lists the same entries at its own offsets, and
    // ends with the position of the archive's header.
    dir.write("program", bytes_of("ELF....."));
    ASSERT_EQ(run({"append", "program", "res.tarn"}), 0) << err;
    ASSERT_EQ(run({"list", "program"}), 0) << err;
    EXPECT_EQ(out, "a.tga          4         77\n"
                   "b.wav          2         81\n"
                   "gfx/zed.tga          3         83\n");
    const Bytes program = read_file(dir / "program");
    ASSERT_EQ(program.size(), 8u + 78u + 4u);
    EXPECT_EQ(Bytes(program.end() - 4, program.end()), Bytes({8, 0, 0, 0}));
}

TEST_F(Tarnpack, FailuresSayWhatFailedExitNonZeroAndLeaveFilesAsTheyWere) {
    dir.write("a.tga", bytes_of("aaaa"));
    dir.write("upper/A.TGA", bytes_of("1"));
    dir.write("UPPER/a.tga", bytes_of("2"));
    dir.write("program", bytes_of("ELF....."));
    fs::create_directory(dir / "empty");
    // Hostile entry names in archives from elsewhere.
    write_archive("escape.tarn", "../escaped");
    write_archive("cut.tarn", std::string("cut\0short", 9));
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
        {{"extract", "escape.tarn", "out"}, 1, ""},
        {{"extract", "cut.tarn", "out"}, 1, ""},
        {{}, 2, "usage: tarnpack"},
        {{"pack", "x"}, 2, "unknown command or wrong arguments: pack"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        EXPECT_EQ(run(c.args), c.status);
        EXPECT_NE(err.find(c.said), std::string::npos) << err;
    }
    EXPECT_FALSE(fs::exists(dir / "res.tarn"));
    EXPECT_EQ(read_file(dir / "program"), bytes_of("ELF....."));
    EXPECT_FALSE(fs::exists(dir / "escaped"));
    EXPECT_FALSE(fs::exists(dir / "out/cut"));

    // Names of up to 255 characters are stored; a 256th has no room beside the closing zero.
    std::string error;
    EXPECT_EQ(tarnpack::stored_name(std::string(255, 'n'), &error).size(), 255u) << error;
    EXPECT_EQ(tarnpack::stored_name(std::string(256, 'n'), &error), "");
    EXPECT_NE(error.find("names hold at most 255 characters"), std::string::npos) << error;
}

// Writing goes only where it should: nothing planted beside the target is written through, the
// target keeps its mode, a link keeps pointing at the new content, and extracting follows no
// link found in the folder.
TEST_F(Tarnpack, WritesKeepModesGoThroughTheTargetsLinkOnlyAndNeverOutOfTheFolder) {
    write_archive("a.tarn", "a.tga");
    write_archive("b.tarn", "b.tga");
    write_archive("below.tarn", "link/x");
    // A link planted at the name a temporary once had is left alone, and so is its target.
    dir.write("victim", bytes_of("keep me"));
    dir.write("program", bytes_of("ELF....."));
    fs::create_symlink("victim", dir / "program.tarnpack-new");
    fs::permissions(dir / "program", fs::perms(0750));
    ASSERT_EQ(run({"append", "program", "a.tarn"}), 0) << err;
    EXPECT_EQ(read_file(dir / "victim"), bytes_of("keep me"));
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

    // Entries that would land below or on a link already in the folder are refused.
    fs::create_directories(dir / "outside");
    fs::create_directories(dir / "out");
    fs::create_directory_symlink("../outside", dir / "out/link");
    fs::create_symlink("../victim", dir / "out/b.tga");
    EXPECT_EQ(run({"extract", "below.tarn", "out"}), 1);
    EXPECT_EQ(err, "tarnpack: refusing to extract \"link/x\": \"out/link\" is a link or not a "
                   "directory\n");
    EXPECT_EQ(run({"extract", "b.tarn", "out"}), 1);
    EXPECT_EQ(err, "tarnpack: refusing to extract \"b.tga\": \"out/b.tga\" is a link\n");
    EXPECT_FALSE(fs::exists(dir / "outside/x"));
    EXPECT_EQ(read_file(dir / "victim"), bytes_of("keep me"));

    // Renaming over a file needs only the directory's permission: the file's own is asked for.
    if (geteuid() == 0) return; // a privileged user may write any file
    fs::permissions(dir / "program", fs::perms(0444));
    EXPECT_EQ(run({"append", "program", "a.tarn"}), 1);
    EXPECT_EQ(err, "tarnpack: cannot write \"program\": Permission denied\n");
}

} // namespace
