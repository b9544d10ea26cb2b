#include "runtime/locale_formats.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace vx {
namespace {

TEST(LocaleFormats, DerivedFromTheLocaleLayouts) {
  struct Row {
    const char* date_layout;
    const char* time_layout;
    const char* long_date;
    const char* short_time;
    const char* long_time;
  };
  const Row rows[] = {
      {"%m/%d/%Y", "%r", "%A, %B %-d, %Y", "%I:%M %p", "%I:%M:%S %p"},
      {"%d/%m/%y", "%T", "%A, %-d %B %Y", "%H:%M", "%H:%M:%S"},
      {"%d.%m.%Y", "%H:%M:%S", "%A, %-d %B %Y", "%H:%M", "%H:%M:%S"},
      {"%F", "%H.%M.%S", "%A, %Y %B %-d", "%H.%M", "%H.%M.%S"},
      {"%Y年%m月%d日", "%H時%M分%S秒", "%A, %Y %B %-d", "%H時%M分", "%H時%M分%S秒"},
  };
  for (const auto& r : rows) {
    const LocaleFormats f = LocaleFormats::FromLayouts(r.date_layout, r.time_layout);
    EXPECT_EQ(f.short_date, r.date_layout);
    EXPECT_EQ(f.long_date, r.long_date) << r.date_layout;
    EXPECT_EQ(f.short_time, r.short_time) << r.time_layout;
    EXPECT_EQ(f.long_time, r.long_time) << r.time_layout;
  }
  EXPECT_EQ(LayoutFieldOrder("%D"), "mdy");
  EXPECT_EQ(LayoutFieldOrder("%e. %B %Y"), "dmy");
}

TEST(LocaleFormats, CLocaleGivesTheDefaults) {
  const char* saved = std::getenv("LC_ALL");
  const std::optional<std::string> previous =
      saved ? std::optional<std::string>(saved) : std::nullopt;
  setenv("LC_ALL", "C", 1);
  const LocaleFormats c = LocaleFormats::FromEnvironment();
  setenv("LC_ALL", "no_SUCH.locale", 1);
  const LocaleFormats missing = LocaleFormats::FromEnvironment();
  if (previous) {
    setenv("LC_ALL", previous->c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
  const LocaleFormats defaults;
  for (const LocaleFormats& f : {c, missing}) {
    EXPECT_EQ(f.short_date, defaults.short_date);
    EXPECT_EQ(f.long_date, defaults.long_date);
    EXPECT_EQ(f.short_time, defaults.short_time);
    EXPECT_EQ(f.long_time, defaults.long_time);
  }
}

TEST(LocaleFormats, ExpandLayout) {
  Moment m;
  m.year = 2007;
  m.month = 1;
  m.day = 5;
  m.weekday = 5;
  m.hours = 0;
  m.minutes = 7;
  m.seconds = 3;
  EXPECT_EQ(ExpandLayout("%d|%e|%-d|%m|%_m|%y|%Y|%b|%B|%a|%A", m),
            "05| 5|5|01| 1|07|2007|Jan|January|Fri|Friday");
  EXPECT_EQ(ExpandLayout("%H|%I|%-I|%M|%S|%p|%T|%r|%R|%%|%Q", m),
            "00|12|12|07|03|AM|00:07:03|12:07:03 AM|00:07|%|%Q");
  EXPECT_EQ(ExpandLayout("%D %F", m), "01/05/07 2007-01-05");
  EXPECT_EQ(ExpandLayout("trailing %", m), "trailing %");
}

TEST(LocaleFormats, ScopedSettingIsRestored) {
  const auto before = CurrentLocaleFormats();
  {
    LocaleFormats f;
    f.short_date = "%Y";
    ScopedLocaleFormats pin(f);
    EXPECT_EQ(CurrentLocaleFormats()->short_date, "%Y");
  }
  EXPECT_EQ(CurrentLocaleFormats(), before);
}

}  // namespace
}  // namespace vx
