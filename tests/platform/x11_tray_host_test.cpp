#include "platform/x11_tray_host.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include "tests/platform/x11_test_display.h"

extern char** environ;

namespace vx::platform {
namespace {

TEST(X11TrayHost, AStartingTrayHostIsNoticed) {
  VX_REQUIRE_DISPLAY();
  test::Inbox<int> started;
  auto watch = WatchTrayHost([&] { started.Put(1); });
  ASSERT_TRUE(watch);

  pid_t trayer = 0;
  char arg0[] = "trayer";
  char* argv[] = {arg0, nullptr};
  if (posix_spawnp(&trayer, "trayer", nullptr, nullptr, argv, environ) != 0) GTEST_SKIP() << "trayer is not installed";
  EXPECT_EQ(started.WaitFor(1, std::chrono::seconds(10)).size(), 1u) << "the tray host's announcement";
  EXPECT_TRUE(TrayHostPresent());
  kill(trayer, SIGTERM);
  waitpid(trayer, nullptr, 0);
}

}  // namespace
}  // namespace vx::platform
