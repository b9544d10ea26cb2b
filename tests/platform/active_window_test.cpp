#include "platform/active_window.h"

#include <gtest/gtest.h>
// After gtest: Xlib's macros None and Bool would break its headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>

#include "private_display_test.h"

namespace vx::platform {
namespace {

// A client that makes windows and plays the window manager's part of naming the active one.
class X11ActiveWindowTest : public test::PrivateDisplayTest {
 protected:
  void SetUp() override {
    PrivateDisplayTest::SetUp();
    reader_ = MakeX11ActiveWindow(server_.name());
  }

  Window MakeWindow() {
    return XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 50, 50, 0, 0, 0);
  }
  void SetNetName(Window w, const std::string& title) {
    XChangeProperty(display_, w, XInternAtom(display_, "_NET_WM_NAME", False),
                    XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
  }
  void SetActive(Window w) {
    const unsigned long value = w;
    XChangeProperty(display_, DefaultRootWindow(display_),
                    XInternAtom(display_, "_NET_ACTIVE_WINDOW", False), XA_WINDOW, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&value), 1);
    XSync(display_, False);
  }

  std::unique_ptr<ActiveWindow> reader_;
};

TEST_F(X11ActiveWindowTest, ReadsTheUtf8TitleOfTheActiveWindow) {
  const Window w = MakeWindow();
  SetNetName(w, "Rechnung – Übersicht");
  XStoreName(display_, w, "plain name");
  SetActive(w);
  EXPECT_EQ(reader_->Title(), "Rechnung – Übersicht");
}

TEST_F(X11ActiveWindowTest, FallsBackToWmNameAndFollowsTheActiveWindow) {
  const Window first = MakeWindow();
  const Window second = MakeWindow();
  XStoreName(display_, first, "Notes - editor");
  SetNetName(second, "Terminal");
  SetActive(first);
  EXPECT_EQ(reader_->Title(), "Notes - editor");
  SetActive(second);
  EXPECT_EQ(reader_->Title(), "Terminal");
  XStoreName(display_, first, "Caf\xe9 menu");  // WM_NAME of type STRING is Latin-1
  SetActive(first);
  EXPECT_EQ(reader_->Title(), "Café menu");
}

TEST_F(X11ActiveWindowTest, NoActiveWindowAnUntitledOneOrAClosedOneGiveEmpty) {
  EXPECT_EQ(reader_->Title(), "");  // the root carries no _NET_ACTIVE_WINDOW yet
  const Window untitled = MakeWindow();
  SetActive(untitled);
  EXPECT_EQ(reader_->Title(), "");
  const Window closed = MakeWindow();
  SetNetName(closed, "Gone");
  SetActive(closed);
  XDestroyWindow(display_, closed);
  XSync(display_, False);
  EXPECT_EQ(reader_->Title(), "");  // BadWindow is absorbed, not fatal
  SetActive(None);
  EXPECT_EQ(reader_->Title(), "");
}

TEST(X11ActiveWindow, AnUnreachableDisplayGivesEmpty) {
  EXPECT_EQ(MakeX11ActiveWindow(":987")->Title(), "");
}

}  // namespace
}  // namespace vx::platform
