// Time pictures @T1..@T8: times of day (hundredths from 1 = midnight) to text and back.
#include <cctype>
#include <charconv>
#include <vector>

#include "runtime/dates.h"
#include "runtime/locale_formats.h"
#include "runtime/picture.h"
#include "runtime/picture_tokens.h"

namespace vx {
namespace {

// Fields of each numbered picture: h hour (24), i hour (12), m minutes, s seconds, X AM/PM;
// ':' is the separator a modifier replaces.
constexpr std::string_view kLayouts[] = {"", "h:m", "hm", "i:mX", "h:m:s", "hms", "i:m:sX"};

// A time's text, made in place: the longest layout ("hh:mm:ssXM") is far shorter.
class TimeText {
 public:
  void Put(char c) {
    if (size_ < sizeof text_) text_[size_++] = c;
  }
  void Padded(int value, char pad) {
    if (value < 10) Put(pad);
    char digits[12];
    const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    for (const char* d = digits; d != end; ++d) Put(*d);
  }
  std::string str() const { return std::string(text_, size_); }

 private:
  char text_[32];
  std::size_t size_ = 0;
};

bool IsWord(std::string_view word, std::string_view lower) {
  if (word.size() != lower.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(word[i])) != lower[i]) return false;
  }
  return true;
}

}  // namespace

std::string FormatTimeValue(std::int32_t time, const Picture& p) {
  if (time == 0 && p.blank_zero) return "";
  if (time < 0) return "";
  const TimeParts t = SplitTime(time);
  if (p.style >= 7) {
    Moment m;
    m.hours = t.hours;
    m.minutes = t.minutes;
    m.seconds = t.seconds;
    const auto formats = CurrentLocaleFormats();
    return ExpandLayout(p.style == 7 ? formats->short_time : formats->long_time, m);
  }
  const std::string_view layout = kLayouts[p.style];
  const bool digits_only = p.style == 2 || p.style == 5;
  TimeText out;
  for (std::size_t i = 0; i < layout.size(); ++i) {
    // The hour that opens the text is blank-padded unless the picture asks for zeros.
    const char pad = p.zero_pad || digits_only || i > 0 ? '0' : ' ';
    switch (layout[i]) {
      case 'h':
        out.Padded(t.hours, pad);
        break;
      case 'i':
        out.Padded(t.hours % 12 == 0 ? 12 : t.hours % 12, pad);
        break;
      case 'm':
        out.Padded(t.minutes, '0');
        break;
      case 's':
        out.Padded(t.seconds, '0');
        break;
      case 'X':
        out.Put(t.hours < 12 ? 'A' : 'P');
        out.Put('M');
        break;
      case ':':
        out.Put(p.separator != 0 ? p.separator : ':');
        break;
      default:
        break;
    }
  }
  return out.str();
}

std::int32_t DeformatTimeText(std::string_view text, const Picture& /*picture*/) {
  // Any layout reads back: hours, minutes, seconds and hundredths in that order, separated by
  // anything but digits and letters, or one run of digits (9, 930, 0930, 093015), with an
  // optional AM/PM.
  std::vector<std::string_view> numbers;
  int half = 0;  // 0 none, 1 AM, 2 PM
  for (const TextToken& t : SplitDigitsAndWords(text)) {
    const std::string_view token = t.text;
    if (!t.word) {
      if (numbers.size() == 4 || token.size() > 6) return 0;
      numbers.push_back(token);
    } else if (half == 0 && (IsWord(token, "am") || IsWord(token, "a"))) {
      half = 1;
    } else if (half == 0 && (IsWord(token, "pm") || IsWord(token, "p"))) {
      half = 2;
    } else if (half != 0 && IsWord(token, "m")) {
      // the "m" of "a.m." / "p.m."
    } else {
      return 0;
    }
  }
  if (numbers.empty()) return 0;

  int hours = 0, minutes = 0, seconds = 0, hundredths = 0;
  if (numbers.size() == 1 && numbers[0].size() > 2) {
    const std::string_view run = numbers[0];
    if (run.size() == 5 || run.size() == 6) {
      hours = DigitsValue(run.substr(0, run.size() - 4));
      minutes = DigitsValue(run.substr(run.size() - 4, 2));
      seconds = DigitsValue(run.substr(run.size() - 2));
    } else {
      hours = DigitsValue(run.substr(0, run.size() - 2));
      minutes = DigitsValue(run.substr(run.size() - 2));
    }
  } else {
    for (std::size_t n = 0; n < numbers.size(); ++n) {
      if (numbers[n].size() > 2) return 0;
    }
    hours = DigitsValue(numbers[0]);
    if (numbers.size() > 1) minutes = DigitsValue(numbers[1]);
    if (numbers.size() > 2) seconds = DigitsValue(numbers[2]);
    if (numbers.size() > 3)
      hundredths = DigitsValue(numbers[3]) * (numbers[3].size() == 1 ? 10 : 1);
  }
  if (half != 0) {
    if (hours < 1 || hours > 12) return 0;
    hours = hours % 12 + (half == 2 ? 12 : 0);
  }
  if (hours > 23 || minutes > 59 || seconds > 59) return 0;
  return MakeTime(hours, minutes, seconds, hundredths);
}

}  // namespace vx
