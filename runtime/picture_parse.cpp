// Reading picture tokens ("@D01-b", "d17", "@n-10.2b", "@S20") into Picture.
#include <cctype>

#include "runtime/picture.h"

namespace vx {
namespace {

constexpr int kMaxWidth = 65535;  // keeps a mistyped width from asking for a huge text

// Reads up to five digits; -1 when there are none.
int ReadNumber(std::string_view s, std::size_t& i) {
  if (i >= s.size() || !std::isdigit(static_cast<unsigned char>(s[i]))) return -1;
  int value = 0;
  for (int n = 0; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && n < 6;
       ++i, ++n) {
    value = value * 10 + (s[i] - '0');
  }
  return value;
}

char SeparatorFor(char c) {
  switch (c) {
    case '.':
      return '.';
    case '-':
      return '-';
    case '_':
      return ' ';
    case '\'':
      return ',';
    default:
      return 0;
  }
}

// @Dn / @Tn with the 0, separator and b modifiers.
std::optional<Picture> ParseDateTime(Picture p, std::string_view s, int max_style) {
  std::size_t i = 0;
  if (s.size() > 1 && s[0] == '0' && std::isdigit(static_cast<unsigned char>(s[1]))) {
    p.zero_pad = true;
    ++i;
  }
  p.style = ReadNumber(s, i);
  if (p.style < 1 || p.style > max_style) return std::nullopt;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if ((c == 'b' || c == 'B') && !p.blank_zero) {
      p.blank_zero = true;
    } else if (SeparatorFor(c) != 0 && p.separator == 0) {
      p.separator = SeparatorFor(c);
    } else {
      return std::nullopt;
    }
  }
  return p;
}

std::optional<Picture> ParseNumber(Picture p, std::string_view s) {
  std::size_t i = 0;
  const auto peek = [&](std::size_t ahead = 0) {
    return i + ahead < s.size() ? s[i + ahead] : '\0';
  };
  const auto digit_at = [&](std::size_t ahead) {
    return std::isdigit(static_cast<unsigned char>(peek(ahead))) != 0;
  };
  // The currency sign may stand before or after the leading sign.
  for (int n = 0; n < 2; ++n) {
    if (peek() == '$' && !p.currency) {
      p.currency = true;
      ++i;
    } else if (peek() == '-' && p.sign == PictureSign::None) {
      p.sign = PictureSign::Leading;
      ++i;
    } else if (peek() == '(' && p.sign == PictureSign::None) {
      p.sign = PictureSign::Parentheses;
      ++i;
    }
  }
  if (peek() == '0' || peek() == '_') {
    p.fill = peek() == '0' ? '0' : ' ';
    p.grouping = 0;
    ++i;
  } else if (peek() == '*') {
    p.fill = '*';
    ++i;
  }
  if (digit_at(0)) {
    p.width = ReadNumber(s, i);
    if (p.width > kMaxWidth) return std::nullopt;
  }
  // A grouping character follows the width; '.' or ',' followed by digits is the decimal point.
  if (peek() == '_') {
    p.grouping = ' ';
    ++i;
  } else if ((peek() == '.' || peek() == ',') && !digit_at(1)) {
    p.grouping = peek();
    if (p.grouping == '.') p.decimal_point = ',';
    ++i;
  }
  if ((peek() == '.' || peek() == ',') && digit_at(1)) {
    p.decimal_point = peek();
    if (p.grouping == p.decimal_point) p.grouping = p.decimal_point == ',' ? '.' : ',';
    ++i;
    p.decimals = ReadNumber(s, i);
    if (p.decimals > 30) return std::nullopt;
  }
  if (peek() == '-' && p.sign == PictureSign::None) {
    p.sign = PictureSign::Trailing;
    ++i;
  } else if (peek() == ')') {
    if (p.sign != PictureSign::Parentheses) return std::nullopt;
    ++i;
  } else if (p.sign == PictureSign::Parentheses) {
    return std::nullopt;
  }
  if (peek() == 'b' || peek() == 'B') {
    p.blank_zero = true;
    ++i;
  }
  if (i != s.size()) return std::nullopt;
  return p;
}

}  // namespace

std::optional<Picture> ParsePicture(std::string_view token) {
  while (!token.empty() && token.front() == ' ') token.remove_prefix(1);
  if (!token.empty() && token.front() == '@') token.remove_prefix(1);
  token = token.substr(0, token.find('@'));  // the rest of a list-column format
  while (!token.empty() && token.back() == ' ') token.remove_suffix(1);
  if (token.empty()) return std::nullopt;
  Picture p;
  const std::string_view rest = token.substr(1);
  switch (std::toupper(static_cast<unsigned char>(token.front()))) {
    case 'D':
      p.kind = PictureKind::Date;
      return ParseDateTime(p, rest, 18);
    case 'T':
      p.kind = PictureKind::Time;
      return ParseDateTime(p, rest, 8);
    case 'N':
      p.kind = PictureKind::Number;
      return ParseNumber(p, rest);
    case 'S': {
      p.kind = PictureKind::String;
      std::size_t i = 0;
      if (!rest.empty()) {
        p.width = ReadNumber(rest, i);
        if (p.width < 0 || p.width > kMaxWidth || i != rest.size()) return std::nullopt;
      }
      return p;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace vx
