// FORMAT and DEFORMAT: picks the formatter for a picture and converts the value to suit it.
#include "runtime/pictures.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "runtime/fixed_string.h"
#include "runtime/picture.h"

namespace vx {
namespace {

std::int32_t ToLong(std::int64_t value) {
  constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value < lo ? lo : value > hi ? hi : value);
}

// Formats a value given as plain decimal text and as its whole part.
std::string FormatPlain(const std::string& plain, std::int64_t whole, const Picture& p) {
  switch (p.kind) {
    case PictureKind::Date:
      return FormatDateValue(ToLong(whole), p);
    case PictureKind::Time:
      return FormatTimeValue(ToLong(whole), p);
    case PictureKind::Number:
      return FormatNumberValue(plain, p);
    case PictureKind::String:
      return FormatStringValue(plain, p);
  }
  return plain;
}

std::string FormatPlain(const std::string& plain, std::int64_t whole, std::string_view picture) {
  const std::optional<Picture> p = ParsePicture(picture);
  return p ? FormatPlain(plain, whole, *p) : plain;
}

std::string PlainDouble(double value) {
  if (!std::isfinite(value)) return "0";
  char buffer[400];  // the longest double in fixed notation is about 330 characters
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (result.ec != std::errc{}) return "0";
  return std::string(buffer, result.ptr);
}

std::int64_t WholePart(double value) {
  if (!std::isfinite(value)) return 0;
  if (value >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
  if (value <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

// The number a text starts with, as the runtime reads a text used as a number: blanks, an
// optional sign, digits and a decimal point; anything after is ignored; no number reads as 0.
std::string LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  std::string out;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) out += text[i++];
  bool point = false, digit = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c != '.' || point) {
      break;
    } else {
      point = true;
    }
    out += c;
  }
  return digit ? out : "0";
}

std::optional<Picture> PictureOfKind(std::string_view picture, PictureKind kind) {
  std::optional<Picture> p = ParsePicture(picture);
  if (p && p->kind != kind) p.reset();
  return p;
}

}  // namespace

std::string FormatStringValue(std::string_view text, const Picture& picture) {
  if (picture.width == 0) return std::string(text);
  const auto width = static_cast<std::size_t>(picture.width);
  const std::string_view cut = CutUtf8(text, width);
  std::string out;
  out.reserve(width);
  out.append(cut);
  out.append(width - cut.size(), ' ');
  return out;
}

std::string FormatInteger(std::int64_t value, std::string_view picture) {
  return FormatPlain(std::to_string(value), value, picture);
}

std::string FORMAT(double value, std::string_view picture) {
  return FormatPlain(PlainDouble(value), WholePart(value), picture);
}

std::string FORMAT(const Decimal& value, std::string_view picture) {
  std::int64_t whole = value.units();
  for (int i = 0; i < value.places(); ++i) whole /= 10;
  return FormatPlain(value.ToString(), whole, picture);
}

namespace {

// The whole number a text holds when it is one, as a list's date and time fields are: blanks,
// an optional sign and up to 15 digits, with no decimal point after them (so the digits are its
// whole part, and a double holds them exactly). Anything else is read by LeadingNumber.
bool PlainWholeNumber(std::string_view text, std::int64_t& whole) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const std::size_t first = i;
  std::int64_t n = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - first < 15) {
    n = n * 10 + (text[i] - '0');
    ++i;
  }
  if (i == first) return false;
  if (i < text.size() && ((text[i] >= '0' && text[i] <= '9') || text[i] == '.')) return false;
  whole = negative ? -n : n;
  return true;
}

std::string FormatTextUnder(std::string_view text, const Picture& p) {
  if (p.kind == PictureKind::String) return FormatStringValue(text, p);
  if (std::int64_t whole = 0; p.kind != PictureKind::Number && PlainWholeNumber(text, whole)) {
    return p.kind == PictureKind::Date ? FormatDateValue(ToLong(whole), p)
                                       : FormatTimeValue(ToLong(whole), p);
  }
  const std::string plain = LeadingNumber(text);
  if (p.kind == PictureKind::Number) return FormatNumberValue(plain, p);
  double whole = 0;
  std::from_chars(plain.data() + (plain[0] == '+' ? 1 : 0), plain.data() + plain.size(), whole);
  return FormatPlain(plain, WholePart(whole), p);
}

}  // namespace

std::string FORMAT(std::string_view text, std::string_view picture) {
  const std::optional<Picture> p = ParsePicture(picture);
  return p ? FormatTextUnder(text, *p) : std::string(text);
}

TextPicture::TextPicture(std::string_view picture) {
  if (const std::optional<Picture> p = ParsePicture(picture))
    parsed_ = std::make_unique<Picture>(*p);
}
TextPicture::~TextPicture() = default;
TextPicture::TextPicture(TextPicture&&) noexcept = default;
TextPicture& TextPicture::operator=(TextPicture&&) noexcept = default;

std::string TextPicture::Format(std::string_view text) const {
  return parsed_ ? FormatTextUnder(text, *parsed_) : std::string(text);
}

std::string DEFORMAT(std::string_view text, std::string_view picture) {
  const std::optional<Picture> p = ParsePicture(picture);
  if (!p) return std::string(text);
  switch (p->kind) {
    case PictureKind::Date:
      return std::to_string(DeformatDateText(text, *p));
    case PictureKind::Time:
      return std::to_string(DeformatTimeText(text, *p));
    case PictureKind::Number:
      return DeformatNumberText(text, *p);
    case PictureKind::String:
      return std::string(p->width == 0 ? text : CutUtf8(text, static_cast<std::size_t>(p->width)));
  }
  return std::string(text);
}

std::int32_t DeformatDate(std::string_view text, std::string_view picture) {
  const auto p = PictureOfKind(picture, PictureKind::Date);
  return p ? DeformatDateText(text, *p) : 0;
}

std::int32_t DeformatTime(std::string_view text, std::string_view picture) {
  const auto p = PictureOfKind(picture, PictureKind::Time);
  return p ? DeformatTimeText(text, *p) : 0;
}

double DeformatNumber(std::string_view text, std::string_view picture) {
  const auto p = PictureOfKind(picture, PictureKind::Number);
  if (!p) return 0;
  const std::string plain = DeformatNumberText(text, *p);
  double value = 0;
  std::from_chars(plain.data(), plain.data() + plain.size(), value);
  return value;
}

Decimal DeformatDecimal(std::string_view text, std::string_view picture) {
  const auto p = PictureOfKind(picture, PictureKind::Number);
  const int places = p ? p->decimals : 0;
  if (!p) return Decimal::FromUnits(0, places);
  return Decimal::Parse(DeformatNumberText(text, *p), places)
      .value_or(Decimal::FromUnits(0, places));
}

}  // namespace vx
