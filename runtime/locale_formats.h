// The user's short and long date and time layouts, which the @D17, @D18, @T7 and @T8 pictures
// follow. Read once from the environment's LC_TIME; tests install their own.
#pragma once

#include <memory>
#include <string>

namespace vx {

// Layouts in strftime notation. Supported: %d %e %m %y %Y %b %h %B %a %A %H %I %M %S %p %D %F
// %T %R %r %n %t %% and the flags '-' (no padding), '_' (blank padding), '0' (zero padding).
// Names are English whatever the locale, as the other date pictures show them.
struct LocaleFormats {
  std::string short_date = "%m/%d/%Y";
  std::string long_date = "%A, %B %-d, %Y";
  std::string short_time = "%H:%M";
  std::string long_time = "%H:%M:%S";

  // The layouts of the locale named by LC_ALL, LC_TIME or LANG. The C and POSIX locales, and a
  // locale that cannot be loaded, give the defaults above. glibc has no long-date layout, so
  // the long date is built from the short date's order of day, month and year.
  static LocaleFormats FromEnvironment();
  // The same from given short date and time layouts (as nl_langinfo's D_FMT and T_FMT give them).
  static LocaleFormats FromLayouts(const std::string& date_layout, const std::string& time_layout);
};

// The layouts pictures use now (read from the environment on first use).
std::shared_ptr<const LocaleFormats> CurrentLocaleFormats();
void SetLocaleFormats(const LocaleFormats& formats);

// Installs layouts for the life of a scope, restoring the previous ones after.
class ScopedLocaleFormats {
 public:
  explicit ScopedLocaleFormats(const LocaleFormats& formats);
  ~ScopedLocaleFormats();
  ScopedLocaleFormats(const ScopedLocaleFormats&) = delete;
  ScopedLocaleFormats& operator=(const ScopedLocaleFormats&) = delete;

 private:
  std::shared_ptr<const LocaleFormats> previous_;
};

// Fills a layout for one moment: year/month/day/weekday (weekday 0 = Sunday) and the time of day.
// Parts a layout does not use may be left 0.
struct Moment {
  int year = 0, month = 0, day = 0, weekday = 0;
  int hours = 0, minutes = 0, seconds = 0;
};
std::string ExpandLayout(const std::string& layout, const Moment& moment);

// The order in which a date layout shows day, month and year, e.g. "dmy", "mdy", "ymd"; fields
// it does not show are left out.
std::string LayoutFieldOrder(const std::string& layout);

}  // namespace vx
