// A ShellTest that drives windows: its test driver ends any run a failed test left open before
// the data library is unloaded.
#pragma once

#include <memory>
#include <string_view>

#include "support/popup_menu.h"
#include "support/test_driver.h"
#include "tests/program/shell_fixture.h"

namespace vx::test {

class WindowTest : public ShellTest {
 protected:
  void TearDown() override {
    driver_.reset();
    ShellTest::TearDown();
  }

  // The window's n-th list (from 1), for lists that no prompt names.
  static DriverControl NthList(const DriverWindow& window, int n) {
    for (int control = 1;; ++control) {
      const DriverControl c = window.ControlNumber(control);  // throws past the last control
      if (c.Kind() == ControlType::List && --n == 0) return c;
    }
  }

  std::unique_ptr<TestDriver> driver_ = std::make_unique<TestDriver>();
  TestDriver& ui_ = *driver_;
};

}  // namespace vx::test
