// The real program's sound output: silence at 44100 Hz, 16-bit stereo, for as long as it runs,
// and a program that runs on without any audio device.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "harness.h"

namespace {

constexpr const char* k_title = "MeggyJr interperter - Zephyrine (2010) , by: Quillmark";

long file_size(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

void close_promptly(e2e::XServer& server, Window window, e2e::Program& program) {
    const double before = e2e::now_ms();
    e2e::send_close(server.display(), window);
    EXPECT_EQ(program.wait_exit(2000), 0);
    EXPECT_LT(e2e::now_ms() - before, 200.0);
}

TEST(AudioE2E, DiskDriverReceivesZeroSamplesAtTheOutputRate) {
    const std::string path = "/tmp/zephyrine-audio-" + std::to_string(::getpid()) + ".raw";
    std::remove(path.c_str());
    e2e::XServer server;
    ASSERT_TRUE(server.ok()) << "no X server";
    e2e::RunOptions options;
    options.environment = {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", path}};
    e2e::Program program(server, options);
    const Window window = e2e::wait_for_window(server.display(), k_title, 10000);
    ASSERT_NE(window, 0u) << program.output();
    ASSERT_TRUE(program.wait_for_output("soundsystem bufferlength", 5000)) << program.output();
    EXPECT_NE(program.output().find("AUDIO: opening audio device succesful!\n"), std::string::npos);

    // Let the output settle, then measure the growth over a few seconds.
    e2e::sleep_ms(500);
    const long size0 = file_size(path);
    const double t0 = e2e::now_ms();
    e2e::sleep_ms(3000);
    const long size1 = file_size(path);
    const double seconds = (e2e::now_ms() - t0) / 1000.0;
    ASSERT_GE(size0, 0) << program.output();
    const double rate = static_cast<double>(size1 - size0) / seconds;
    std::printf("audio stream: %.0f bytes per second (44100 Hz stereo 16-bit is 176400)\n", rate);
    EXPECT_GT(rate, 176400 * 0.8);
    EXPECT_LT(rate, 176400 * 1.2);

    close_promptly(server, window, program);

    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_GE(bytes.size(), static_cast<std::size_t>(size1));
    EXPECT_EQ(bytes.size() % 4, 0u) << "whole stereo 16-bit frames";
    std::size_t nonzero = 0;
    for (char b : bytes) nonzero += b != 0;
    EXPECT_EQ(nonzero, 0u) << "the empty table of sounds mixes to silence";
    std::remove(path.c_str());
}

TEST(AudioE2E, WithoutAnAudioDeviceTheProgramRunsAndClosesPromptly) {
    e2e::XServer server;
    ASSERT_TRUE(server.ok()) << "no X server";
    e2e::RunOptions options;
    options.environment = {{"SDL_AUDIODRIVER", "no-such-driver"}};
    e2e::Program program(server, options);
    const Window window = e2e::wait_for_window(server.display(), k_title, 10000);
    ASSERT_NE(window, 0u) << program.output();
    ASSERT_TRUE(program.wait_for_output("- Loading sounds\n", 5000)) << program.output();
    EXPECT_EQ(program.output().find("succesful"), std::string::npos) << program.output();
    e2e::sleep_ms(1500); // well into the splash: the game goes on without sound
    EXPECT_TRUE(program.running());
    close_promptly(server, window, program);
}

} // namespace
