// A test with an X server of its own and a client connection to it, for tests that change
// what every client of a display sees (the focus, the root's properties, the keyboard), and one
// with a focused window of that server that reads what is typed into it.
#pragma once

#include <gtest/gtest.h>
// After gtest: Xlib's macros None and Bool would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/private_x_server.h"

namespace vx::test {

// display_ is null after SetUp when the test was skipped (no Xvfb) or failed to connect.
class PrivateDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!server_.ok()) GTEST_SKIP() << "Xvfb could not be started";
    display_ = XOpenDisplay(server_.name().c_str());
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_ != nullptr) XCloseDisplay(display_);
  }

  PrivateXServer server_;
  Display* display_ = nullptr;
};

// A window of the private server that fills part of the screen, has the focus, and reads what
// is typed and clicked into it.
class FocusedWindowTest : public PrivateDisplayTest {
 protected:
  void SetUp() override {
    PrivateDisplayTest::SetUp();
    if (display_ == nullptr) return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 320, 240, 0, 0, 0);
    XSelectInput(display_, window_, KeyPressMask | ButtonPressMask | StructureNotifyMask);
    XMapWindow(display_, window_);
    for (XEvent e; XNextEvent(display_, &e), e.type != MapNotify;) {
    }
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    XSync(display_, False);
  }

  // The text the window receives until `count` characters arrived or a second passed; a mouse
  // button reads "<button N>".
  std::string Received(std::size_t count) {
    std::string text;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (text.size() < count && std::chrono::steady_clock::now() < until) {
      if (XPending(display_) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        continue;
      }
      XEvent e;
      XNextEvent(display_, &e);
      if (e.type == ButtonPress) text += "<button " + std::to_string(e.xbutton.button) + ">";
      if (e.type != KeyPress) continue;
      char buffer[16];
      KeySym keysym = 0;
      const int n = XLookupString(&e.xkey, buffer, sizeof buffer, &keysym, nullptr);
      text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
  }

  Window window_ = 0;
};

}  // namespace vx::test
