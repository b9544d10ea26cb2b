#include "runtime/calendar_names.h"

#include <array>

namespace vx {
namespace {

constexpr std::array<std::string_view, 12> kMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when word is the name or a prefix of it at least three letters long, in any case.
bool NamesIt(std::string_view word, std::string_view name) {
  if (word.size() < 3 || word.size() > name.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (Lower(word[i]) != Lower(name[i])) return false;
  }
  return true;
}

}  // namespace

std::string_view MonthName(int month) {
  return month >= 1 && month <= 12 ? kMonths[month - 1] : "";
}
std::string_view MonthAbbrev(int month) { return MonthName(month).substr(0, 3); }
std::string_view WeekdayName(int weekday) {
  return weekday >= 0 && weekday <= 6 ? kWeekdays[weekday] : "";
}
std::string_view WeekdayAbbrev(int weekday) { return WeekdayName(weekday).substr(0, 3); }

int MonthFromName(std::string_view word) {
  for (int m = 1; m <= 12; ++m) {
    if (NamesIt(word, kMonths[m - 1])) return m;
  }
  return 0;
}

int WeekdayFromName(std::string_view word) {
  for (int d = 0; d < 7; ++d) {
    if (NamesIt(word, kWeekdays[d])) return d;
  }
  return -1;
}

}  // namespace vx
