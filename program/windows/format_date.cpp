#include "program/windows/format_date.h"

#include "datadll/dictionary/globals.h"
#include "runtime/pictures.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

// The picture number of a date-format token; 0 when the characters are not a number.
int PictureNumber(std::string_view token) {
  const std::string digits = CLIP(SUB(token, 2, 2));
  if (digits.empty()) return 0;
  int n = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

std::string DatePicture() {
  const int n = PictureNumber(GLO_DATEFORMAT.view());
  return "@D" + std::to_string(n >= 1 && n <= 18 ? n : 3);
}

std::string FormatDate(std::int32_t date) {
  if (date == 0) return {};
  return FORMAT(date, DatePicture());
}

}  // namespace vx
