#include "datadll/utility/window_link.h"

#include <gtest/gtest.h>

#include <thread>

#include "runtime/events.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "support/test_driver.h"

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

TEST(WindowLink, TheCurrentWindowsLinkKeepsNumberedPropertiesAndBringsItToTheFront) {
  TestDriver ui;
  long kept = 0;
  ui.Start([&] {
    Window w("Frame");
    w.Open();
    const WindowLink link = CurrentWindowLink();
    link.SetProperty(31850, 1);
    kept = w.NumberedProperty(31850);
    link.ToFront();
    while (w.Accept()) {
    }
  });
  DriverWindow frame = ui.WaitWindow("Frame");
  EXPECT_EQ(frame.TimesBroughtToFront(), 1);
  frame.Close();
  ui.Finish();
  EXPECT_EQ(kept, 1);
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
