// FORMAT and DEFORMAT: stored values to display text under a picture and back.
//
// The picture grammar is described in runtime/picture.h. A token that is not a known picture
// formats the value as plain text and deformats the text unchanged. Blank-when-zero pictures
// give empty text for zero.
#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/decimal.h"

namespace vx {

// A whole number under any picture: a day number under @D, a time under @T.
std::string FormatInteger(std::int64_t value, std::string_view picture);

template <std::integral T>
std::string FORMAT(T value, std::string_view picture) {
  return FormatInteger(static_cast<std::int64_t>(value), picture);
}
// A REAL: @N shows it rounded to the picture's decimals; @D/@T use its whole part.
std::string FORMAT(double value, std::string_view picture);
std::string FORMAT(const Decimal& value, std::string_view picture);
// A text: shown under @S; under @D/@T/@N it is read as a number first (not a number reads as 0).
std::string FORMAT(std::string_view text, std::string_view picture);
inline std::string FORMAT(const char* text, std::string_view picture) {
  return FORMAT(std::string_view(text), picture);
}

// A picture read once, for formatting many texts under it (the cells of a list's column): each
// gives what FORMAT(text, picture) gives.
struct Picture;
class TextPicture {
 public:
  explicit TextPicture(std::string_view picture);
  ~TextPicture();
  TextPicture(TextPicture&&) noexcept;
  TextPicture& operator=(TextPicture&&) noexcept;
  std::string Format(std::string_view text) const;

 private:
  std::unique_ptr<Picture> parsed_;  // none for a token that is not a picture
};

// The stored value behind a display text, as text: a day number or time as digits, a number as
// plain decimal text ("-1234.5"), a text cut to an @Sn width. Text that does not read under the
// picture gives "0" for dates, times and numbers.
std::string DEFORMAT(std::string_view text, std::string_view picture);

// Typed deformatting. Each gives 0 for text that is not a value of the picture's kind, and for a
// picture of another kind.
std::int32_t DeformatDate(std::string_view text, std::string_view picture);
std::int32_t DeformatTime(std::string_view text, std::string_view picture);
double DeformatNumber(std::string_view text, std::string_view picture);
// At the picture's decimal places; 0 also when the value does not fit a Decimal.
Decimal DeformatDecimal(std::string_view text, std::string_view picture);

}  // namespace vx
