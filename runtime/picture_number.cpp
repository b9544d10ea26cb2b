// Number pictures @N: plain decimal text to display text and back.
#include <cctype>

#include "runtime/picture.h"

namespace vx {
namespace {

// A number taken apart: sign, whole digits and fraction digits, as decimal text.
struct Digits {
  bool negative = false;
  std::string whole;
  std::string fraction;
};

// Reads "[-+]digits[.digits]" with blanks around; nothing else is accepted.
bool ReadPlain(std::string_view s, Digits& out) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    out.negative = s.front() == '-';
    s.remove_prefix(1);
  }
  bool point = false;
  for (char c : s) {
    if (c == '.' && !point) {
      point = true;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      (point ? out.fraction : out.whole) += c;
    } else {
      return false;
    }
  }
  return !out.whole.empty() || !out.fraction.empty();
}

// Rounds to `places` decimals, half away from zero, on the digits themselves.
void Round(Digits& d, int places) {
  const auto keep = static_cast<std::size_t>(places);
  const bool up = d.fraction.size() > keep && d.fraction[keep] >= '5';
  d.fraction.resize(keep, '0');
  if (!up) return;
  std::string all = d.whole + d.fraction;
  std::size_t i = all.size();
  while (i > 0 && all[i - 1] == '9') all[--i] = '0';
  if (i == 0) {
    all.insert(all.begin(), '1');
  } else {
    ++all[i - 1];
  }
  d.whole = all.substr(0, all.size() - keep);
  d.fraction = all.substr(all.size() - keep);
}

void StripLeadingZeros(std::string& whole) {
  const std::size_t first = whole.find_first_not_of('0');
  whole.erase(0, first == std::string::npos ? whole.size() : first);
  if (whole.empty()) whole = "0";
}

std::string Grouped(const std::string& whole, char grouping) {
  if (grouping == 0) return whole;
  std::string out;
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) out += grouping;
    out += whole[i];
  }
  return out;
}

}  // namespace

std::string FormatNumberValue(std::string_view plain_number, const Picture& p) {
  Digits d;
  if (!ReadPlain(plain_number, d)) d = Digits{false, "0", ""};
  Round(d, p.decimals);
  StripLeadingZeros(d.whole);
  if (d.whole == "0" && d.fraction.find_first_not_of('0') == std::string::npos) {
    if (p.blank_zero) return "";
    d.negative = false;  // no "-0"
  }

  std::string prefix, suffix;
  if (d.negative) {
    if (p.sign == PictureSign::Trailing) {
      suffix = "-";
    } else if (p.sign == PictureSign::Parentheses) {
      prefix = "(";
      suffix = ")";
    } else {
      prefix = "-";  // a picture without a sign still shows that the value is negative
    }
  } else if (p.sign == PictureSign::Trailing) {
    suffix = " ";  // keeps positive and negative values aligned in a column
  } else if (p.sign == PictureSign::Parentheses) {
    prefix = " ";
    suffix = " ";
  }
  if (p.currency) prefix += '$';

  std::string digits = Grouped(d.whole, p.grouping);
  if (p.decimals > 0) {
    digits += p.decimal_point;
    digits += d.fraction;
  }
  const std::size_t length = prefix.size() + digits.size() + suffix.size();
  const auto width = static_cast<std::size_t>(p.width);
  if (width == 0) return prefix + digits + suffix;
  if (length > width) return std::string(width, '#');
  if (p.fill == '0') return prefix + std::string(width - length, '0') + digits + suffix;
  return std::string(width - length, p.fill) + prefix + digits + suffix;
}

std::string DeformatNumberText(std::string_view text, const Picture& p) {
  // Drop what the picture adds around the digits: blanks, fill, currency and grouping.
  std::string kept;
  for (char c : text) {
    const bool grouping = c != p.decimal_point && (c == p.grouping || c == ',' || c == '.');
    if (c == ' ' || c == '\t' || c == '$' || c == '*' || grouping) continue;
    kept += c == p.decimal_point ? '.' : c;
  }
  std::string_view s = kept;
  bool negative = false;
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
    negative = true;
    s = s.substr(1, s.size() - 2);
  } else if (!s.empty() && s.back() == '-') {
    negative = true;
    s.remove_suffix(1);
  }
  Digits d;
  if (!ReadPlain(s, d)) return "0";
  if (negative && d.negative) return "0";  // "--5" or "(-5)"
  negative = negative || d.negative;
  StripLeadingZeros(d.whole);
  while (!d.fraction.empty() && d.fraction.back() == '0') d.fraction.pop_back();
  std::string out = negative && (d.whole != "0" || !d.fraction.empty()) ? "-" : "";
  out += d.whole;
  if (!d.fraction.empty()) out += "." + d.fraction;
  return out;
}

}  // namespace vx
