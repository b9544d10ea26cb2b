#include "datadll/utility/window_link.h"

#include <gtest/gtest.h>

#include <thread>

#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

TEST(WindowLink, TheCurrentWindowsLinkPostsToThatWindow) {
  std::vector<int> taken;
  RunProgram([&] {
    EXPECT_FALSE(CurrentWindowLink().post) << "no window open: nowhere to post";
    Window w("Frame");
    w.Open();
    const WindowLink link = CurrentWindowLink();
    // Posted from another thread, as the hot-key listener does.
    std::thread poster([&] { link.Post(EVENT_HotKeyPressed); });
    poster.join();
    while (w.Accept()) {
      taken.push_back(EVENT());
      if (EVENT() == EVENT_HotKeyPressed) break;
    }
  });
  ASSERT_FALSE(taken.empty());
  EXPECT_EQ(taken.back(), EVENT_HotKeyPressed);
}

TEST(WindowLink, AnInstalledSourceWins) {
  int posted = 0;
  SetCurrentWindowLinkSource([&] {
    WindowLink link;
    link.post = [&](int event) { posted = event; };
    return link;
  });
  CurrentWindowLink().Post(EVENT_EndSession);
  SetCurrentWindowLinkSource(nullptr);
  EXPECT_EQ(posted, EVENT_EndSession);
}

}  // namespace
}  // namespace vx
