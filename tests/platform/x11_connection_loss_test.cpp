// A connection to an X server that dies: the call that meets the loss fails and so does every
// later one, on any thread, instead of Xlib ending the whole process.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "platform/x11_display.h"
#include "platform/x11_listener.h"
#include "support/private_x_server.h"

namespace vx::platform {
namespace {

using namespace std::chrono_literals;

bool LostWithin(Display* display, std::chrono::milliseconds limit) {
  for (auto until = std::chrono::steady_clock::now() + limit;
       std::chrono::steady_clock::now() < until;) {
    if (X11ConnectionLost(display)) return true;
    std::this_thread::sleep_for(20ms);
  }
  return X11ConnectionLost(display);
}

TEST(X11ConnectionLoss, TheServerDyingFailsCallsOnEveryThreadAndEndsNothing) {
  test::PrivateXServer server;
  if (!server.ok()) GTEST_SKIP() << "Xvfb could not be started";
  // A listener thread that waits on its connection, as the hot keys and the tray watch do.
  auto listener = X11Listener::Open(server.name());
  ASSERT_NE(listener, nullptr);
  listener->Start([](const XEvent&) {});
  Display* own = OpenX11Display(server.name());
  ASSERT_NE(own, nullptr);
  EXPECT_FALSE(X11ConnectionLost(own));

  server.Crash();

  // The listener's thread meets the loss first; a call from this thread then returns too,
  // though Xlib held the display for the thread that met it.
  ASSERT_TRUE(LostWithin(listener->display(), 5s));
  {
    const std::lock_guard lock(listener->lock());
    XSync(listener->display(), False);
  }
  XSync(own, False);
  EXPECT_TRUE(X11ConnectionLost(own));
  XCloseDisplay(own);
  listener.reset();  // its thread stops (and did not spin on the dead connection meanwhile)
}

}  // namespace
}  // namespace vx::platform
