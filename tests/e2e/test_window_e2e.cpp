// The real program's window: its title and client size, and how promptly closing it ends it.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

constexpr const char* k_title = "MeggyJr interperter - Zephyrine (2010) , by: Quillmark";

TEST(WindowE2E, TitledWindowWithThePageSizedClientClosesPromptly) {
    e2e::XServer server;
    ASSERT_TRUE(server.ok()) << "no X server";
    e2e::Program program(server);
    const Window window = e2e::wait_for_window(server.display(), k_title, 10000);
    ASSERT_NE(window, 0u) << program.output();

    int w = 0, h = 0;
    for (int i = 0; i < 100 && !(w == 640 && h == 480); ++i) {
        e2e::client_size(server.display(), window, &w, &h);
        e2e::sleep_ms(20);
    }
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);

    // Let it run a while on its own, then close it mid-splash (inside a game delay).
    const double cpu0 = program.cpu_seconds();
    const double t0 = e2e::now_ms();
    e2e::sleep_ms(2000);
    const double share = (program.cpu_seconds() - cpu0) / ((e2e::now_ms() - t0) / 1000.0);
    std::printf("CPU use during the splash: %.1f%% of one core\n", share * 100.0);
    EXPECT_LT(share, e2e::k_cpu_limit);

    ASSERT_TRUE(program.running());
    const double before = e2e::now_ms();
    e2e::send_close(server.display(), window);
    const int status = program.wait_exit(2000);
    const double took = e2e::now_ms() - before;
    std::printf("closed in %.1f ms\n", took);
    EXPECT_EQ(status, 0);
    EXPECT_LT(took, 200.0);
    EXPECT_NE(program.output().find("closing windows\n"), std::string::npos) << program.output();
}

} // namespace
