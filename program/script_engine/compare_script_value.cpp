#include <array>
#include <compare>
#include <string>
#include <string_view>

#include "program/script_engine/script_variables.h"
#include "runtime/decimal.h"
#include "runtime/fixed_string.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

// Names whose values are numbers even when they read as 0 (a missing file, an empty size).
constexpr std::array<std::string_view, 6> kNumericNames = {"FILEEXISTS", "FILESIZE", "FILEDATE",
                                                           "DATE",       "FILETIME", "TIME"};

bool IsNumericName(std::string_view name) {
  if (name.find('#') != std::string_view::npos) return true;
  const std::string upper = UPPER(ClipView(name));
  for (std::string_view numeric : kNumericNames) {
    if (upper == numeric) return true;
  }
  return false;
}

std::strong_ordering CompareDecimals(const Decimal& a, const Decimal& b) {
  if (a < b) return std::strong_ordering::less;
  if (b < a) return std::strong_ordering::greater;
  return std::strong_ordering::equal;
}

}  // namespace

bool CompareScriptValue(std::string_view CompareTo, std::string_view Operator,
                        std::string_view Name) {
  const bool numeric = IsNumericName(Name);
  const std::string left = TranslateVariable(Name);
  const std::string right = !CompareTo.empty() && CompareTo.front() == '['
                                ? ExpandVariables(CompareTo)
                                : std::string(CompareTo);
  const Decimal left_number = ScriptNumber(left);
  const Decimal right_number = ScriptNumber(right);

  std::strong_ordering order = std::strong_ordering::equal;
  if (numeric || left_number.units() != 0 || right_number.units() != 0) {
    order = CompareDecimals(left_number, right_number);
  } else {
    // As 255-character fields: cut at 255, trailing blanks do not count, case does.
    order = String<255>(left) <=> String<255>(right).view();
  }

  const std::string_view op = ClipView(Operator);
  if (op == "=") return order == 0;
  if (op == "<>") return order != 0;
  if (op == "<") return order < 0;
  if (op == "<=") return order <= 0;
  if (op == ">") return order > 0;
  if (op == "=>") return order >= 0;
  return false;
}

}  // namespace vx
