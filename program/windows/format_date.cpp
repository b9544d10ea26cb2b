#include "program/windows/format_date.h"

#include "datadll/dictionary/globals.h"
#include "runtime/fixed_string.h"
#include "runtime/picture.h"
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
  // Lists format a date for every row they read (their locators): the picture is read again
  // only when the date format has changed since this thread's last date.
  struct Memo {
    String<6> token;
    Picture picture;
    bool read = false;
  };
  thread_local Memo memo;
  if (!memo.read || memo.token.view() != GLO_DATEFORMAT.view()) {
    memo.picture = ParsePicture(DatePicture()).value_or(Picture{});
    memo.token = GLO_DATEFORMAT.view();
    memo.read = true;
  }
  return FormatDateValue(date, memo.picture);
}

}  // namespace vx
