// The archive tool's commands on real files: create, list, extract, append and their refusals.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "pack.h"
#include "test_tarnfile_util.h"

namespace {

using tarn_test::Bytes;
using tarn_test::bytes_of;
using tarn_test::read_file;

// Runs the tool's command line from inside a directory, as a user would.
class Tarnpack : public ::testing::Test {
  protected:
    void SetUp() override {
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
    }
    void TearDown() override { std::filesystem::current_path(old_); }

    int run(std::vector<const char*> args) {
        args.insert(args.begin(), "tarnpack");
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int status = tarnpack::run(static_cast<int>(args.size()), args.data());
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
        return status;
    }

    tarn_test::TempDir dir;
    std::string out, err;

  private:
    std::filesystem::path old_;
};

TEST_F(Tarnpack, CreateListExtractRoundTripsWithLowerCaseNamesInByteOrder) {
    dir.write("gfx/Zed.TGA", bytes_of("zzz"));
    dir.write("B.wav", bytes_of("bb"));
    dir.write("a.tga", bytes_of("aaaa"));
    ASSERT_EQ(run({"create", "res.tarn", "a.tga", "./B.wav", "gfx"}), 0) << err;

    ASSERT_EQ(run({"list", "res.tarn"}), 0) << err;
    // Header 12, records 12 + name each: 12 + 17 + 17 + 23 = 69.
    EXPECT_EQ(out, "a.tga          4         69\n"
                   "b.wav          2         73\n"
                   "gfx/zed.tga          3         75\n");

    ASSERT_EQ(run({"extract", "res.tarn", "out"}), 0) << err;
    EXPECT_EQ(read_file(dir / "out/a.tga"), bytes_of("aaaa"));
    EXPECT_EQ(read_file(dir / "out/b.wav"), bytes_of("bb"));
    EXPECT_EQ(read_file(dir / "out/gfx/zed.tga"), bytes_of("zzz"));

    // The same files give the same bytes: the build step relies on that.
    ASSERT_EQ(run({"create", "again.tarn", "gfx", "B.wav", "a.tga"}), 0) << err;
    EXPECT_EQ(read_file(dir / "again.tarn"), read_file(dir / "res.tarn"));

    // An executable with the archive appended lists the same entries at its own offsets.
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

    EXPECT_EQ(run({"create", "res.tarn", "a.tga", "missing.tga"}), 1);
    EXPECT_EQ(err, "tarnpack: cannot open \"missing.tga\"\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "res.tarn"));

    // An absolute name, one above the root, and an existing directory reached from outside the
    // root (empty, so that no file inside it is refused).
    std::filesystem::create_directory(dir / "empty");
    const std::string outside =
        "empty/../../" + std::filesystem::path(dir.path()).filename().string() + "/empty";
    for (const std::string& name : {dir / "a.tga", std::string("../x"), outside}) {
        EXPECT_EQ(run({"create", "res.tarn", name.c_str()}), 1) << name;
        EXPECT_NE(err.find("relative to the archive's root"), std::string::npos) << err;
    }
    EXPECT_EQ(run({"create", "res.tarn", "upper", "UPPER"}), 1);
    EXPECT_EQ(err, "tarnpack: two files are stored as \"upper/a.tga\"\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "res.tarn"));

    // Names of up to 255 characters are stored; a 256th has no room beside the closing zero.
    std::string error;
    EXPECT_EQ(tarnpack::stored_name(std::string(255, 'n'), &error).size(), 255u) << error;
    EXPECT_EQ(tarnpack::stored_name(std::string(256, 'n'), &error), "");
    EXPECT_NE(error.find("names hold at most 255 characters"), std::string::npos) << error;

    EXPECT_EQ(run({"list", "a.tga"}), 1);
    EXPECT_NE(err.find("no archive found"), std::string::npos) << err;

    // Appending something that is no archive leaves the program alone.
    dir.write("program", bytes_of("ELF....."));
    EXPECT_EQ(run({"append", "program", "a.tga"}), 1);
    EXPECT_EQ(read_file(dir / "program"), bytes_of("ELF....."));

    // A hostile entry name in an archive from elsewhere never writes outside the directory, nor
    // under a name other than its own.
    for (const std::string& name : {std::string("../escaped"), std::string("cut\0short", 9)}) {
        Bytes hostile;
        std::string error;
        ASSERT_TRUE(tarnpack::build({{name, bytes_of("!")}}, 0, &hostile, &error));
        dir.write("hostile.tarn", hostile);
        EXPECT_EQ(run({"extract", "hostile.tarn", "out"}), 1);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "escaped"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out/cut"));

    EXPECT_EQ(run({}), 2);
    EXPECT_NE(err.find("usage: tarnpack"), std::string::npos);
    EXPECT_EQ(run({"pack", "x"}), 2);
    EXPECT_NE(err.find("unknown command or wrong arguments: pack"), std::string::npos) << err;
}

// Writing goes only where it should: nothing planted beside the target is written through, the
// target keeps its mode, a link keeps pointing at the new content, and extracting follows no
// link found in the folder.
TEST_F(Tarnpack, WritesKeepModesGoThroughTheTargetsLinkOnlyAndNeverOutOfTheFolder) {
    namespace fs = std::filesystem;
    dir.write("a.tga", bytes_of("aaaa"));
    dir.write("b.tga", bytes_of("bb"));
    ASSERT_EQ(run({"create", "a.tarn", "a.tga"}), 0) << err;
    ASSERT_EQ(run({"create", "b.tarn", "b.tga"}), 0) << err;

    // A link planted at the name a temporary once had is left alone, and so is its target.
    dir.write("victim", bytes_of("keep me"));
    dir.write("program", bytes_of("ELF....."));
    fs::create_symlink("victim", dir / "program.tarnpack-new");
    fs::permissions(dir / "program", fs::perms(0750));
    ASSERT_EQ(run({"append", "program", "a.tarn"}), 0) << err;
    EXPECT_EQ(read_file(dir / "victim"), bytes_of("keep me"));
    EXPECT_FALSE(fs::is_symlink(fs::symlink_status(dir / "program")));
    EXPECT_EQ(fs::status(dir / "program").permissions(), fs::perms(0750));

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
    Bytes below;
    std::string error;
    ASSERT_TRUE(tarnpack::build({{"link/x", bytes_of("!")}}, 0, &below, &error));
    dir.write("below.tarn", below);
    const struct {
        const char* archive;
        const char* message;
    } refused[] = {
        {"below.tarn", "tarnpack: refusing to extract \"link/x\": \"out/link\" is a link or not a "
                       "directory\n"},
        {"b.tarn", "tarnpack: refusing to extract \"b.tga\": \"out/b.tga\" is a link\n"},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(run({"extract", r.archive, "out"}), 1) << r.archive;
        EXPECT_EQ(err, r.message);
    }
    EXPECT_FALSE(fs::exists(dir / "outside/x"));
    EXPECT_EQ(read_file(dir / "victim"), bytes_of("keep me"));
}

// Renaming over a file needs only the directory's permission: the file's own is asked for.
TEST_F(Tarnpack, AppendRefusesAFileTheUserMayNotWrite) {
    if (geteuid() == 0) GTEST_SKIP() << "a privileged user may write any file";
    dir.write("a.tga", bytes_of("aaaa"));
    ASSERT_EQ(run({"create", "a.tarn", "a.tga"}), 0) << err;
    dir.write("program", bytes_of("ELF....."));
    std::filesystem::permissions(dir / "program", std::filesystem::perms(0444));
    EXPECT_EQ(run({"append", "program", "a.tarn"}), 1);
    EXPECT_EQ(err, "tarnpack: cannot write \"program\": Permission denied\n");
    EXPECT_EQ(read_file(dir / "program"), bytes_of("ELF....."));
}

} // namespace
