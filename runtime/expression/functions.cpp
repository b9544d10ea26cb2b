#include "runtime/expression/functions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime/dates.h"
#include "runtime/expression/text_case.h"
#include "runtime/fixed_string.h"

namespace vx {
namespace {

using Args = std::span<const ExprValue>;

int ToInt(const ExprValue& v) {
  const std::int64_t n = v.AsNumber().Truncated();
  return static_cast<int>(std::clamp<std::int64_t>(n, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Moves a byte offset forward to the start of a character, so a cut never begins mid-character.
std::size_t CharStart(std::string_view s, std::size_t offset) {
  while (offset < s.size() && IsContinuation(s[offset])) ++offset;
  return offset;
}

ExprValue Today(Args, std::string*) { return ExprValue::Integer(TODAY()); }
ExprValue Clock(Args, std::string*) { return ExprValue::Integer(CLOCK()); }

ExprValue Date(Args a, std::string*) {
  return ExprValue::Integer(DATE(ToInt(a[0]), ToInt(a[1]), ToInt(a[2])));
}
ExprValue Day(Args a, std::string*) { return ExprValue::Integer(DAY(ToInt(a[0]))); }
ExprValue Month(Args a, std::string*) { return ExprValue::Integer(MONTH(ToInt(a[0]))); }
ExprValue Year(Args a, std::string*) { return ExprValue::Integer(YEAR(ToInt(a[0]))); }

// Age from a birth date to a base date (today when omitted), in the unit that suits its size:
// up to 60 days in days, then whole weeks below 14 weeks, whole months below two years, and
// whole years after. A missing date or a base before the birth gives a blank text.
ExprValue Age(Args a, std::string*) {
  const int birth = ToInt(a[0]);
  const int base = a.size() > 1 ? ToInt(a[1]) : TODAY();
  const YearMonthDay b = SplitDate(birth), t = SplitDate(base);
  if (b.year == 0 || t.year == 0 || base < birth) return ExprValue::Text("");
  const int days = base - birth;
  if (days <= 60) return ExprValue::Text(std::to_string(days) + " DAYS");
  if (days < 14 * 7) return ExprValue::Text(std::to_string(days / 7) + " WKS");
  const int months = (t.year - b.year) * 12 + (t.month - b.month) - (t.day < b.day ? 1 : 0);
  if (months < 24) return ExprValue::Text(std::to_string(months) + " MOS");
  return ExprValue::Text(std::to_string(months / 12) + " YRS");
}

ExprValue Upper(Args a, std::string*) { return ExprValue::Text(AsciiUpper(a[0].AsText())); }
ExprValue Lower(Args a, std::string*) { return ExprValue::Text(AsciiLower(a[0].AsText())); }
ExprValue Clip(Args a, std::string*) {
  return ExprValue::Text(std::string(ClipView(a[0].AsText())));
}
ExprValue Len(Args a, std::string*) {
  return ExprValue::Integer(static_cast<std::int64_t>(a[0].AsText().size()));
}

// SUB(text, start [, length]): length bytes from start (1 = first; -1 = the last byte), or to
// the end. The part of the range outside the text is dropped.
ExprValue Sub(Args a, std::string*) {
  const std::string s = a[0].AsText();
  const std::int64_t size = static_cast<std::int64_t>(s.size());
  // Held far from the 64-bit limits so that the sums below cannot overflow.
  constexpr std::int64_t kFar = std::int64_t{1} << 40;
  std::int64_t start = std::clamp<std::int64_t>(a[1].AsNumber().Truncated(), -kFar, kFar);
  if (start < 0) start = size + start + 1;
  std::int64_t end = size;  // last position, inclusive
  if (a.size() > 2) {
    const std::int64_t length = std::min(a[2].AsNumber().Truncated(), kFar);
    if (length <= 0) return ExprValue::Text("");
    end = start > size - length ? size : start + length - 1;
  }
  start = std::max<std::int64_t>(start, 1);
  if (start > end || start > size) return ExprValue::Text("");
  const std::size_t from = CharStart(s, static_cast<std::size_t>(start - 1));
  const std::size_t to = static_cast<std::size_t>(end);
  if (from >= to) return ExprValue::Text("");
  return ExprValue::Text(std::string(CutUtf8(std::string_view(s).substr(from), to - from)));
}

bool WidthArgument(Args a, std::size_t* width, std::string* error) {
  const std::int64_t n = a[1].AsNumber().Truncated();
  if (n < 0 || static_cast<std::uint64_t>(n) > kExprMaxTextBytes) {
    *error = "text width out of range";
    return false;
  }
  *width = static_cast<std::size_t>(n);
  return true;
}

// LEFT(text [, width]): the text with its leading blanks moved to the end, in width bytes.
ExprValue Left(Args a, std::string* error) {
  const std::string s = a[0].AsText();
  std::size_t width = s.size();
  if (a.size() > 1 && !WidthArgument(a, &width, error)) return {};
  std::string out(std::string_view(s).substr(std::min(s.find_first_not_of(' '), s.size())));
  out = std::string(CutUtf8(out, width));
  out.resize(width, ' ');
  return ExprValue::Text(std::move(out));
}

// RIGHT(text [, width]): the text with its trailing blanks moved to the front, in width bytes;
// a text longer than width keeps its last bytes (so RIGHT(name, 3) is how a name ends).
ExprValue Right(Args a, std::string* error) {
  const std::string s = a[0].AsText();
  std::size_t width = s.size();
  if (a.size() > 1 && !WidthArgument(a, &width, error)) return {};
  const std::string_view clipped = ClipView(s);
  if (clipped.size() >= width) {
    return ExprValue::Text(std::string(clipped.substr(CharStart(clipped, clipped.size() - width))));
  }
  return ExprValue::Text(std::string(width - clipped.size(), ' ') + std::string(clipped));
}

// INSTRING(sought, text [, step [, start]]): where sought first occurs in text, looking at
// start, start + step, ... With step 1 the result is the byte position; with a larger step it
// counts steps (the entry number in a text of step-wide entries). 0 when not found.
ExprValue InString(Args a, std::string* error) {
  const std::string sought = a[0].AsText();
  const std::string text = a[1].AsText();
  const std::int64_t step = a.size() > 2 ? a[2].AsNumber().Truncated() : 1;
  std::int64_t start = a.size() > 3 ? a[3].AsNumber().Truncated() : 1;
  if (step < 1) {
    *error = "INSTRING needs a step of 1 or more";
    return {};
  }
  if (sought.empty()) return ExprValue::Integer(0);
  start = std::max<std::int64_t>(start, 1);
  std::size_t from = static_cast<std::size_t>(
      std::min<std::int64_t>(start - 1, static_cast<std::int64_t>(text.size())));
  while (true) {
    const std::size_t at = text.find(sought, from);
    if (at == std::string::npos) return ExprValue::Integer(0);
    const std::int64_t offset = static_cast<std::int64_t>(at) - (start - 1);
    if (offset % step == 0) return ExprValue::Integer(static_cast<std::int64_t>(at) / step + 1);
    from = at + 1;
  }
}

ExprValue Int(Args a, std::string*) {
  const ExprNumber n = a[0].AsNumber();
  if (n.exact()) return ExprValue::Integer(n.Truncated());
  return ExprValue::Number(ExprNumber::FromDouble(std::trunc(n.ToDouble())));
}

ExprValue Abs(Args a, std::string*) {
  const ExprNumber n = a[0].AsNumber();
  return ExprValue::Number(n < ExprNumber() ? -n : n);
}

// ROUND(value [, order]): value to the nearest multiple of order (1, .1, .01 ...; default 1),
// halves away from zero.
ExprValue Round(Args a, std::string* error) {
  const ExprNumber value = a[0].AsNumber();
  const ExprNumber order = a.size() > 1 ? a[1].AsNumber() : ExprNumber::FromInt(1);
  if (!(order > ExprNumber())) {
    *error = "ROUND needs an order above 0";
    return {};
  }
  const ExprNumber steps = ExprNumber::Divide(value, order)->Rounded(0);
  return ExprValue::Number(steps * order);
}

// CHOOSE(n, value1, value2 ...): the n-th value; the last one when n is out of range.
ExprValue Choose(Args a, std::string*) {
  const std::int64_t n = a[0].AsNumber().Truncated();
  const std::int64_t count = static_cast<std::int64_t>(a.size()) - 1;
  return a[static_cast<std::size_t>(n >= 1 && n <= count ? n : count)];
}

// INLIST(sought, value1, value2 ...): the number of the first value equal to sought, or 0.
ExprValue InList(Args a, std::string*) {
  for (std::size_t i = 1; i < a.size(); ++i) {
    if (CompareValues(a[0], a[i]) == 0) return ExprValue::Integer(static_cast<std::int64_t>(i));
  }
  return ExprValue::Integer(0);
}

constexpr int kMany = 255;

const ExprFunction kFunctions[] = {
    {"TODAY", 0, 0, Today},       {"CLOCK", 0, 0, Clock},       {"DATE", 3, 3, Date},
    {"DAY", 1, 1, Day},           {"MONTH", 1, 1, Month},       {"YEAR", 1, 1, Year},
    {"AGE", 1, 2, Age},           {"UPPER", 1, 1, Upper},       {"LOWER", 1, 1, Lower},
    {"CLIP", 1, 1, Clip},         {"LEN", 1, 1, Len},           {"SUB", 2, 3, Sub},
    {"LEFT", 1, 2, Left},         {"RIGHT", 1, 2, Right},       {"INSTRING", 2, 4, InString},
    {"INT", 1, 1, Int},           {"ABS", 1, 1, Abs},           {"ROUND", 1, 2, Round},
    {"CHOOSE", 2, kMany, Choose}, {"INLIST", 2, kMany, InList},
};

}  // namespace

const ExprFunction* FindExprFunction(std::string_view name) {
  const std::string upper = AsciiUpper(name);
  for (const ExprFunction& f : kFunctions) {
    if (upper == f.name) return &f;
  }
  return nullptr;
}

}  // namespace vx
