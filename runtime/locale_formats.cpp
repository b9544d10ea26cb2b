#include "runtime/locale_formats.h"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cstdlib>
#include <mutex>

#include "runtime/calendar_names.h"

namespace vx {
namespace {

std::mutex g_mutex;
std::shared_ptr<const LocaleFormats> g_formats;  // null until first use

// Replaces the composite codes by their parts, so later steps see only simple codes.
std::string Simplify(const std::string& layout) {
  std::string out;
  for (std::size_t i = 0; i < layout.size(); ++i) {
    if (layout[i] != '%' || i + 1 >= layout.size()) {
      out += layout[i];
      continue;
    }
    const char c = layout[++i];
    switch (c) {
      case 'D':
        out += "%m/%d/%y";
        break;
      case 'F':
        out += "%Y-%m-%d";
        break;
      case 'T':
        out += "%H:%M:%S";
        break;
      case 'R':
        out += "%H:%M";
        break;
      case 'r':
        out += "%I:%M:%S %p";
        break;
      default:
        out += '%';
        out += c;
    }
  }
  return out;
}

// The time layout without its seconds: "%H:%M:%S" loses ":%S"; where the seconds carry a unit
// after them instead ("%H時%M分%S秒"), the unit goes with them. Multi-byte text is never split.
std::string WithoutSeconds(const std::string& layout) {
  std::string out = layout;
  const std::size_t s = out.find("%S");
  if (s == std::string::npos) return out;
  const auto separator = [&](std::size_t i) {
    const auto c = static_cast<unsigned char>(out[i]);
    return c < 0x80 && std::ispunct(c) != 0 && c != '%' && !(i > 0 && out[i - 1] == '%');
  };
  std::size_t from = s;
  while (from > 0 && separator(from - 1)) --from;
  std::size_t to = s + 2;
  if (from == s) {
    while (to < out.size() && out[to] != '%' && out[to] != ' ') ++to;
  }
  out.erase(from, to - from);
  return out;
}

}  // namespace

std::string LayoutFieldOrder(const std::string& date_layout) {
  const std::string layout = Simplify(date_layout);
  std::string order;
  for (std::size_t i = 0; i + 1 < layout.size(); ++i) {
    if (layout[i] != '%') continue;
    std::size_t j = i + 1;
    if (layout[j] == '-' || layout[j] == '_' || layout[j] == '0') ++j;
    if (j >= layout.size()) break;
    char field = 0;
    switch (layout[j]) {
      case 'd':
      case 'e':
        field = 'd';
        break;
      case 'm':
      case 'b':
      case 'h':
      case 'B':
        field = 'm';
        break;
      case 'y':
      case 'Y':
        field = 'y';
        break;
      default:
        break;
    }
    if (field != 0 && order.find(field) == std::string::npos) order += field;
    i = j;
  }
  return order;
}

namespace {

void AppendNumber(std::string& out, int value, int width, char pad) {
  const std::string digits = std::to_string(value);
  for (std::size_t n = digits.size(); pad != 0 && n < static_cast<std::size_t>(width); ++n)
    out += pad;
  out += digits;
}

}  // namespace

LocaleFormats LocaleFormats::FromLayouts(const std::string& date_layout,
                                         const std::string& time_layout) {
  LocaleFormats f;
  if (!date_layout.empty()) {
    f.short_date = date_layout;
    const std::string order = LayoutFieldOrder(date_layout);
    if (order.rfind("d", 0) == 0) {
      f.long_date = "%A, %-d %B %Y";
    } else if (order.rfind("y", 0) == 0) {
      f.long_date = "%A, %Y %B %-d";
    }
  }
  if (!time_layout.empty()) {
    f.long_time = Simplify(time_layout);
    f.short_time = WithoutSeconds(f.long_time);
  }
  return f;
}

LocaleFormats LocaleFormats::FromEnvironment() {
  const char* name = nullptr;
  for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(var);
    if (value != nullptr && *value != '\0') {
      name = value;
      break;
    }
  }
  const std::string locale_name = name == nullptr ? "" : name;
  if (locale_name.empty() || locale_name == "C" || locale_name == "POSIX" ||
      locale_name.rfind("C.", 0) == 0) {
    return LocaleFormats{};
  }
  locale_t loc = newlocale(LC_TIME_MASK, locale_name.c_str(), static_cast<locale_t>(nullptr));
  if (loc == static_cast<locale_t>(nullptr)) return LocaleFormats{};
  const std::string date_layout = nl_langinfo_l(D_FMT, loc);
  const std::string time_layout = nl_langinfo_l(T_FMT, loc);
  freelocale(loc);
  return FromLayouts(date_layout, time_layout);
}

std::shared_ptr<const LocaleFormats> CurrentLocaleFormats() {
  std::lock_guard lock(g_mutex);
  if (!g_formats)
    g_formats = std::make_shared<const LocaleFormats>(LocaleFormats::FromEnvironment());
  return g_formats;
}

void SetLocaleFormats(const LocaleFormats& formats) {
  auto next = std::make_shared<const LocaleFormats>(formats);
  std::lock_guard lock(g_mutex);
  g_formats = std::move(next);
}

ScopedLocaleFormats::ScopedLocaleFormats(const LocaleFormats& formats)
    : previous_(CurrentLocaleFormats()) {
  SetLocaleFormats(formats);
}

ScopedLocaleFormats::~ScopedLocaleFormats() {
  std::lock_guard lock(g_mutex);
  g_formats = previous_;
}

std::string ExpandLayout(const std::string& layout, const Moment& m) {
  const std::string simple = Simplify(layout);
  std::string out;
  for (std::size_t i = 0; i < simple.size(); ++i) {
    if (simple[i] != '%' || i + 1 >= simple.size()) {
      out += simple[i];
      continue;
    }
    char pad = 0;  // 0 = the code's own padding
    char c = simple[++i];
    if ((c == '-' || c == '_' || c == '0') && i + 1 < simple.size()) {
      pad = c == '-' ? '\1' : c == '_' ? ' ' : '0';
      c = simple[++i];
    }
    const auto number = [&](int value, int width, char own_pad) {
      const char p = pad == 0 ? own_pad : pad == '\1' ? 0 : pad;
      AppendNumber(out, value, width, p);
    };
    const int hour12 = m.hours % 12 == 0 ? 12 : m.hours % 12;
    switch (c) {
      case 'd':
        number(m.day, 2, '0');
        break;
      case 'e':
        number(m.day, 2, ' ');
        break;
      case 'm':
        number(m.month, 2, '0');
        break;
      case 'y':
        number(m.year % 100, 2, '0');
        break;
      case 'Y':
        number(m.year, 4, 0);
        break;
      case 'b':
      case 'h':
        out += MonthAbbrev(m.month);
        break;
      case 'B':
        out += MonthName(m.month);
        break;
      case 'a':
        out += WeekdayAbbrev(m.weekday);
        break;
      case 'A':
        out += WeekdayName(m.weekday);
        break;
      case 'H':
        number(m.hours, 2, '0');
        break;
      case 'I':
        number(hour12, 2, '0');
        break;
      case 'M':
        number(m.minutes, 2, '0');
        break;
      case 'S':
        number(m.seconds, 2, '0');
        break;
      case 'p':
        out += m.hours < 12 ? "AM" : "PM";
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case '%':
        out += '%';
        break;
      default:
        out += '%';
        out += c;  // unknown codes stay as written
    }
  }
  return out;
}

}  // namespace vx
