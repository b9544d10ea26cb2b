// A test with an X server of its own and a client connection to it, for tests that change
// what every client of a display sees (the focus, the root's properties, the keyboard).
#pragma once

#include <gtest/gtest.h>
// After gtest: Xlib's macros None and Bool would break its headers.
#include <X11/Xlib.h>

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

}  // namespace vx::test
