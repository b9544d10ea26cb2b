// A fixed moment, fixed locale layouts, a fake focused window, a captured event log and an empty
// VARQ for the script-variable tests.
#pragma once

#include <gtest/gtest.h>
#include <optional>

#include <string>
#include <utility>
#include <vector>

#include "datadll/dictionary/global_queues.h"
#include "datadll/dictionary/globals.h"
#include "platform/active_window.h"
#include "program/common/program_services.h"
#include "program/common/task_log.h"
#include "program/script_engine/builtin_sources.h"
#include "runtime/dates.h"
#include "runtime/locale_formats.h"
#include "tests/support/fake_active_window.h"
#include "tests/support/fixed_clock.h"

namespace vx {

// One row of a table of cases: a text in and the text expected out.
struct TextCase {
  std::string in;
  std::string expected;
};

// Checks that fn turns every row's text into its expected text, naming the row that does not.
template <class Fn>
void ExpectEach(const std::vector<TextCase>& cases, Fn fn) {
  for (const TextCase& c : cases) EXPECT_EQ(fn(c.in), c.expected) << "for: " << c.in;
}

class ScriptFixture : public ::testing::Test {
 protected:
  // Thursday 23 April 2026, 09:05:07.42: day and month differ and both want a leading zero.
  ScriptFixture() {
    clock_.Set(DATE(4, 23, 2026), MakeTime(9, 5, 7, 42));
    ProgramServices services = CurrentProgramServices();
    services.script_front = &window_;
    services.task_log = [this](std::string_view text, std::string_view label) {
      log_.emplace_back(std::string(label), std::string(text));
    };
    installed_.emplace(std::move(services));
    VARQ.Free();
    DEBUGMODE = 0;
  }
  ~ScriptFixture() override {
    VARQ.Free();
    DEBUGMODE = 0;
    installed_.reset();
  }

  static LocaleFormats Layouts() {
    LocaleFormats f;
    f.short_date = "%m/%d/%Y";
    f.short_time = "%H:%M";
    return f;
  }

  test::FixedClock clock_{0, 0};
  test::ScopedClock scoped_clock_{clock_};
  ScopedLocaleFormats scoped_locale_{Layouts()};
  test::FakeActiveWindow window_{"Inbox - Mail"};
  std::vector<std::pair<std::string, std::string>> log_;  // (label, text)
  std::optional<ScopedProgramServices> installed_;
};

}  // namespace vx
