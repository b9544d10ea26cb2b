// Date pictures @D1..@D18: day numbers to text and back.
#include <charconv>
#include <vector>

#include "runtime/calendar_names.h"
#include "runtime/dates.h"
#include "runtime/locale_formats.h"
#include "runtime/picture.h"
#include "runtime/picture_tokens.h"

namespace vx {
namespace {

// Fields of each numbered picture: m month, d day, y two-digit year, Y four-digit year,
// M upper-case month abbreviation, L month name, e day padded to two places with a blank,
// n day without padding. '/' and (in D7, D8) ' ' are the separators a modifier replaces.
constexpr std::string_view kLayouts[] = {"",      "m/d/y", "m/d/Y", "M e,Y", "L n, Y", "d/m/y",
                                         "d/m/Y", "d M y", "d M Y", "y/m/d", "Y/m/d",  "ymd",
                                         "Ymd",   "m/y",   "m/Y",   "y/m",   "Y/m"};

// The order in which each numbered picture shows day, month and year.
constexpr std::string_view kOrders[] = {"",    "mdy", "mdy", "mdy", "mdy", "dmy",
                                        "dmy", "dmy", "dmy", "ymd", "ymd", "ymd",
                                        "ymd", "my",  "my",  "ym",  "ym"};

const std::string& LocaleLayout(const LocaleFormats& f, int style) {
  return style == 17 ? f.short_date : f.long_date;
}

// A date's text, made in place: the longest layout ("September 30, 1959") is far shorter.
class DateText {
 public:
  void Put(char c) {
    if (size_ < sizeof text_) text_[size_++] = c;
  }
  void Put(std::string_view part) {
    for (char c : part) Put(c);
  }
  void Number(int value) {
    char digits[12];
    Put(std::string_view(digits, std::to_chars(digits, digits + sizeof digits, value).ptr));
  }
  void Padded(int value, char pad) {
    if (value < 10 && pad != 0) Put(pad);
    Number(value);
  }
  std::string str() const { return std::string(text_, size_); }

 private:
  char text_[48];
  std::size_t size_ = 0;
};

// Day numbers 0..3 lie in December 1800, before the calendar's first full year.
YearMonthDay PartsOf(std::int32_t date) {
  if (date >= 0 && date < 4) return {1800, 12, 28 + date};
  return SplitDate(date);
}

// A two-digit year lies in the hundred years from 80 years before this year.
int ExpandYear(std::string_view digits) {
  const int value = DigitsValue(digits);
  if (digits.size() > 2) return value;
  int this_year = YEAR(TODAY());
  if (this_year == 0) this_year = 2000;
  const int first = this_year - 80;
  return first + (value - first % 100 + 100) % 100;
}

std::string Without(std::string_view order, char field) {
  std::string out;
  for (char c : order) {
    if (c != field) out += c;
  }
  return out;
}

}  // namespace

std::string FormatDateValue(std::int32_t date, const Picture& p) {
  if (date == 0 && p.blank_zero) return "";
  if (date < 0) return "";
  const YearMonthDay ymd = PartsOf(date);
  if (ymd.year == 0) return "";
  if (p.style >= 17) {
    Moment m;
    m.year = ymd.year;
    m.month = ymd.month;
    m.day = ymd.day;
    m.weekday = static_cast<int>(date % 7);
    return ExpandLayout(LocaleLayout(*CurrentLocaleFormats(), p.style), m);
  }
  const std::string_view layout = kLayouts[p.style];
  const bool digits_only = p.style == 11 || p.style == 12;
  const bool blank_is_separator = p.style == 7 || p.style == 8;
  DateText out;
  for (std::size_t i = 0; i < layout.size(); ++i) {
    const char c = layout[i];
    // The month or day that opens the text is blank-padded unless the picture asks for zeros.
    const char lead_pad = p.zero_pad || digits_only ? '0' : i == 0 ? ' ' : '0';
    switch (c) {
      case 'm':
        out.Padded(ymd.month, lead_pad);
        break;
      case 'd':
        out.Padded(ymd.day, lead_pad);
        break;
      case 'e':
        out.Padded(ymd.day, p.zero_pad ? '0' : ' ');
        break;
      case 'n':
        out.Padded(ymd.day, p.zero_pad ? '0' : 0);
        break;
      case 'y':
        out.Padded(ymd.year % 100, '0');
        break;
      case 'Y':
        out.Number(ymd.year);
        break;
      case 'M':
        // The abbreviations are plain letters: upper case needs no locale.
        for (char ch : MonthAbbrev(ymd.month))
          out.Put(ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch);
        break;
      case 'L':
        out.Put(MonthName(ymd.month));
        break;
      case '/':
        out.Put(p.separator != 0 ? p.separator : '/');
        break;
      case ' ':
        out.Put(blank_is_separator && p.separator != 0 ? p.separator : ' ');
        break;
      default:
        out.Put(c);
    }
  }
  return out.str();
}

std::int32_t DeformatDateText(std::string_view text, const Picture& p) {
  std::string order;
  if (p.style >= 17) {
    order = LayoutFieldOrder(LocaleLayout(*CurrentLocaleFormats(), p.style));
    if (order.find('y') == std::string::npos || order.find('m') == std::string::npos) order = "mdy";
  } else {
    order = kOrders[p.style];
  }
  const bool has_day = order.find('d') != std::string::npos;

  int month_by_name = 0;
  std::vector<std::string_view> numbers;
  for (const TextToken& t : SplitDigitsAndWords(text)) {
    if (!t.word) {
      if (t.text.size() > 8) return 0;
      numbers.push_back(t.text);
      continue;
    }
    if (const int m = MonthFromName(t.text); m != 0 && month_by_name == 0) {
      month_by_name = m;
    } else if (WeekdayFromName(t.text) < 0) {
      return 0;  // a word that is no month or weekday: not a date
    }
  }

  std::string_view year_text, month_text, day_text;
  const auto assign = [&](std::string_view fields) {
    if (fields.size() != numbers.size()) return false;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      (fields[i] == 'y' ? year_text : fields[i] == 'm' ? month_text : day_text) = numbers[i];
    }
    return true;
  };

  if (month_by_name != 0) {
    const std::string rest = Without(order, 'm');
    if (numbers.size() == 2 && has_day) {
      // A number of three or more digits is the year wherever it stands.
      if (numbers[0].size() >= 3) {
        year_text = numbers[0];
        day_text = numbers[1];
      } else if (numbers[1].size() >= 3) {
        day_text = numbers[0];
        year_text = numbers[1];
      } else {
        assign(rest);
      }
    } else if (numbers.size() == 1 && has_day && numbers[0].size() <= 2) {
      day_text = numbers[0];  // the year left out: this year
    } else if (!assign(rest)) {
      return 0;
    }
  } else if (numbers.size() == 1 && numbers[0].size() >= 4 && numbers[0].size() % 2 == 0) {
    // One run of digits ("591031", "103159"): two places a field, the year two or four.
    const std::string_view run = numbers[0];
    const std::size_t year_width = run.size() - 2 * (order.size() - 1);
    if (year_width != 2 && year_width != 4) return 0;
    std::size_t at = 0;
    for (char f : order) {
      const std::size_t w = f == 'y' ? year_width : 2;
      (f == 'y' ? year_text : f == 'm' ? month_text : day_text) = run.substr(at, w);
      at += w;
    }
  } else if (numbers.size() == order.size()) {
    if (has_day && order[0] != 'y' && numbers[0].size() == 4) {
      assign("ymd");  // a year typed first ("1959-10-31") is read year, month, day
    } else {
      assign(order);
    }
  } else if (has_day && numbers.size() + 1 == order.size()) {
    assign(Without(order, 'y'));
  } else {
    return 0;
  }

  const int year = year_text.empty() ? YEAR(TODAY()) : ExpandYear(year_text);
  const int month = month_by_name != 0 ? month_by_name : DigitsValue(month_text);
  const int day = has_day ? DigitsValue(day_text) : 1;
  if (year < MIN_YEAR || year > MAX_YEAR || month < 1 || month > 12) return 0;
  if (day < 1 || day > DaysInMonth(month, year)) return 0;
  return DATE(month, day, year);
}

}  // namespace vx
