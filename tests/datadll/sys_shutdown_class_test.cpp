#include "datadll/utility/sys_shutdown_class.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <map>

#include "platform/session_end.h"
#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "tests/platform/x11_test_display.h"

namespace vx {
namespace {

struct FakeWindow {
  test::Inbox<int> posted;
  std::map<int, long> properties;
  WindowLink Link() {
    WindowLink link;
    link.post = [this](int event) { posted.Put(event); };
    link.set_property = [this](int property, long value) { properties[property] = value; };
    return link;
  }
};

TEST(ShutdownClass, TheSessionManagersRequestPosts1041Then1046AndGetsTheAnswers) {
  FakeWindow window;
  SYSSHUTDOWNCLASS shutdown;
  shutdown.INIT(window.Link(), 1, 1);
  EXPECT_EQ(window.properties[31850], 1);
  EXPECT_TRUE(platform::SessionQueryEnd());
  platform::SessionEnd();
  EXPECT_EQ(window.posted.WaitFor(2, std::chrono::seconds(1)),
            (std::vector<int>{EVENT_QueryEndSession, EVENT_EndSession}));

  shutdown.INIT(window.Link(), 0, 1);
  EXPECT_FALSE(platform::SessionQueryEnd()) << "a query answer of 0 refuses";
  shutdown.KILL();
  EXPECT_TRUE(platform::SessionQueryEnd());
  EXPECT_EQ(window.posted.WaitFor(4, std::chrono::milliseconds(50)).size(), 3u) << "nothing after KILL";
}

TEST(ShutdownClass, SigtermReachesTheWindowsEventLoopAs1041And1046) {
  std::vector<int> taken;
  RunProgram([&] {
    Window frame("Frame");
    frame.Open();
    SYSSHUTDOWNCLASS shutdown;
    shutdown.INIT(1, 1);  // the current window
    raise(SIGTERM);
    while (frame.Accept()) {
      if (EVENT() == EVENT_QueryEndSession || EVENT() == EVENT_EndSession) taken.push_back(EVENT());
      if (EVENT() == EVENT_EndSession) break;
    }
    shutdown.KILL();
  });
  EXPECT_EQ(taken, (std::vector<int>{EVENT_QueryEndSession, EVENT_EndSession}));
}

}  // namespace
}  // namespace vx
