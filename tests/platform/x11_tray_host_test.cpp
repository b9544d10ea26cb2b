#include "platform/x11_tray_host.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/platform/tray_host_helpers.h"
#include "tests/platform/x11_test_display.h"

namespace vx::platform {
namespace {

TEST(X11TrayHost, TheAnnouncementOfATrayHostIsNoticed) {
  VX_REQUIRE_DISPLAY();
  test::Inbox<int> started;
  auto watch = WatchTrayHost([&] { started.Put(1); });
  ASSERT_TRUE(watch);
  ASSERT_TRUE(test::AnnounceTrayHost());
  EXPECT_GE(started.WaitFor(1, std::chrono::seconds(5)).size(), 1u) << "others may announce too";
}

TEST(X11TrayHost, ARealTrayHostStartingIsNoticed) {
  VX_REQUIRE_DISPLAY();
  test::Inbox<int> started;
  auto watch = WatchTrayHost([&] { started.Put(1); });
  ASSERT_TRUE(watch);
  test::Trayer trayer;
  if (!trayer.started()) GTEST_SKIP() << "trayer is not installed";
  // Tests in other processes may announce hosts of their own meanwhile: wait for trayer to
  // hold the tray, then for its announcement.
  bool present = false;
  for (int i = 0; i < 100 && !present; ++i) {
    present = TrayHostPresent();
    if (!present) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_TRUE(present);
  EXPECT_GE(started.WaitFor(1, std::chrono::seconds(5)).size(), 1u) << "trayer's announcement";
}

}  // namespace
}  // namespace vx::platform
