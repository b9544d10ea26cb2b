// Pins what pictures depend on: today's date (two-digit years, a missing year) and the locale's
// date and time layouts (@D17, @D18, @T7, @T8).
#pragma once

#include <gtest/gtest.h>

#include "runtime/dates.h"
#include "runtime/locale_formats.h"
#include "tests/support/fixed_clock.h"

namespace vx {

inline LocaleFormats UsLayouts() {
  LocaleFormats f;
  f.short_date = "%m/%d/%Y";
  f.long_date = "%A, %B %-d, %Y";
  f.short_time = "%H:%M";
  f.long_time = "%H:%M:%S";
  return f;
}

class PictureTest : public ::testing::Test {
 protected:
  test::FixedClock clock_{DATE(12, 10, 2026), MakeTime(14, 0)};
  test::ScopedClock scoped_clock_{clock_};
  ScopedLocaleFormats scoped_locale_{UsLayouts()};
};

}  // namespace vx
