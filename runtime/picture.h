// A display picture taken apart, and the per-kind formatters behind FORMAT and DEFORMAT.
//
// A picture token names how a stored value is shown: "@D3" a date, "@T7" a time, "@N-10.2" a
// number, "@S20" a text. The leading '@' is optional and case does not matter, so the token kept
// in a settings field ("d17", "D3    ") works as it is. Text after a second '@' (the rest of a
// list-column format) is ignored.
//
// Date pictures @Dn[modifiers], n = 1..18:
//   1 mm/dd/yy   2 mm/dd/yyyy   3 MMM dd,yyyy ("OCT 31,1959")   4 Month d, yyyy ("October 31,
//   1959") 5 dd/mm/yy   6 dd/mm/yyyy   7 dd MMM yy    8 dd MMM yyyy    9 yy/mm/dd   10 yyyy/mm/dd
//  11 yymmdd    12 yyyymmdd    13 mm/yy       14 mm/yyyy       15 yy/mm     16 yyyy/mm
//  17 the locale's short date  18 the locale's long date (see runtime/locale_formats.h)
// Time pictures @Tn[modifiers], n = 1..8:
//   1 hh:mm  2 hhmm  3 hh:mmXM  4 hh:mm:ss  5 hhmmss  6 hh:mm:ssXM  7 locale short  8 locale long
// Modifiers of dates and times:
//   - a 0 before the number (@D01, @T03) pads every month, day and hour with zeros. Without it the
//     month, day or hour that opens the text is padded with a blank instead (" 1/05/59",
//     " 9:05"), so columns of values line up; every later field is zero-padded ("10/05/59"),
//     and the digit-only pictures (D11, D12, T2, T5) are always zero-padded. D4 never pads.
//   - a separator after the number replaces '/' (dates), the blanks of D7/D8, or ':' (times):
//     '.' period, '-' hyphen, '_' blank, '\'' comma.
//   - a trailing 'b' shows the value 0 (no date, no time) as empty text.
// Number pictures @N[$][-|(][$][0|_|*][width][grouping][.decimals|,decimals][-|)][b]:
//   - '-' before the width puts a leading minus on negatives; '-' after the decimals a trailing
//     minus (a blank on positives); '(' ... ')' encloses negatives in parentheses. A negative
//     shown in a picture without a sign still gets a leading minus: a sign is never dropped.
//   - fill: none pads with blanks on the left; '0' pads with zeros after the sign; '*' pads with
//     asterisks; '0' and '_' also turn off digit grouping.
//   - width: the whole text, sign, grouping and currency included; 0 or absent means as wide as
//     needed. A value that does not fit shows as width '#' characters.
//   - grouping: thousands are grouped with ',' by default; a grouping character after the width
//     chooses another: '.' (the decimal point then is ','), '_' a blank, ',' explicitly a comma.
//   - decimals: ".n" (or ",n" after '.' grouping) shows n decimals, rounded half away from zero.
//   - '$' before the number puts a currency sign in front of the digits; trailing 'b' shows zero
//     (after rounding) as empty text.
// Text pictures @Sn: the text cut to n bytes without splitting a UTF-8 character and
// blank-padded to n bytes; "@S" alone leaves the text as it is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

enum class PictureKind : std::uint8_t { Date, Time, Number, String };

enum class PictureSign : std::uint8_t { None, Leading, Trailing, Parentheses };

// One parsed picture token.
struct Picture {
  PictureKind kind = PictureKind::String;
  int style = 0;            // D: 1..18, T: 1..8
  int width = 0;            // N: total width, S: bytes; 0 = unlimited
  bool blank_zero = false;  // trailing 'b'
  // Dates and times.
  bool zero_pad = false;  // '0' before the style number
  char separator = 0;     // replaces the picture's own separator; 0 = keep it
  // Numbers.
  int decimals = 0;
  char fill = ' ';      // ' ', '0' or '*'
  char grouping = ',';  // 0 = none, ',', '.' or ' '
  char decimal_point = '.';
  PictureSign sign = PictureSign::None;
  bool currency = false;  // '$' before the digits
};

// Reads a picture token; nothing when the token is not a picture this runtime knows.
std::optional<Picture> ParsePicture(std::string_view token);

// Formatting and deformatting by kind, for callers that parse a picture once and use it often.
std::string FormatDateValue(std::int32_t date, const Picture& picture);
std::int32_t DeformatDateText(std::string_view text, const Picture& picture);  // 0 = not a date
std::string FormatTimeValue(std::int32_t time, const Picture& picture);
std::int32_t DeformatTimeText(std::string_view text, const Picture& picture);  // 0 = not a time
// Numbers travel as plain decimal text ("-1234.5"), so that LONG, REAL and DECIMAL values all go
// through one exact path. A plain text that is not a number formats as 0.
std::string FormatNumberValue(std::string_view plain_number, const Picture& picture);
// The number in text shown under the picture, as plain decimal text; "0" when it is not one.
std::string DeformatNumberText(std::string_view text, const Picture& picture);
std::string FormatStringValue(std::string_view text, const Picture& picture);

}  // namespace vx
