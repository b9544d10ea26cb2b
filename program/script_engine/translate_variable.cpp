#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "datadll/dictionary/global_queues.h"
#include "program/script_engine/builtin_sources.h"
#include "program/script_engine/script_trace.h"
#include "program/script_engine/script_variables.h"
#include "runtime/dates.h"
#include "runtime/expression/evaluate.h"
#include "runtime/fixed_string.h"
#include "runtime/pictures.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

constexpr std::size_t kValueSize = 255;
constexpr std::size_t kFocusTitleSize = 254;

std::string WithoutHyphens(std::string text) {
  std::erase(text, '-');
  return text;
}

// Year, month and day as eight digits: 20261210.
std::string EightDigitDate(std::int32_t date) { return FORMAT(date, "@D12"); }

struct BuiltinName {
  std::string_view name;
  std::string (*value)();
};

// The names that answer without a stored variable, matched in upper case.
constexpr std::array kBuiltins = {
    BuiltinName{"YYYY-MM-DD", [] { return FORMAT(TODAY(), "@D10-"); }},
    BuiltinName{"DD-MM-YY", [] { return FORMAT(TODAY(), "@D05-"); }},
    BuiltinName{"MM-DD-YY", [] { return FORMAT(TODAY(), "@D01-"); }},
    BuiltinName{"DDMMYY", [] { return WithoutHyphens(FORMAT(TODAY(), "@D05-")); }},
    BuiltinName{"MMDDYY", [] { return WithoutHyphens(FORMAT(TODAY(), "@D01-")); }},
    BuiltinName{"DATE", [] { return EightDigitDate(TODAY()); }},
    BuiltinName{"DATE-1", [] { return EightDigitDate(TODAY() - 1); }},
    BuiltinName{"DATE+1", [] { return EightDigitDate(TODAY() + 1); }},
    BuiltinName{"TODAY", [] { return ScriptFormatDate(TODAY()); }},
    BuiltinName{"YESTERDAY", [] { return ScriptFormatDate(TODAY() - 1); }},
    BuiltinName{"TOMORROW", [] { return ScriptFormatDate(TODAY() + 1); }},
    BuiltinName{"TIME", [] { return FORMAT(CLOCK(), "@T05"); }},
    BuiltinName{"NOW", [] { return FORMAT(CLOCK(), "@T7"); }},
    BuiltinName{"FOCUS",
                [] { return std::string(CutUtf8(ScriptActiveWindow().Title(), kFocusTitleSize)); }},
};

std::string Cut(std::string text) {
  text.resize(CutUtf8(text, kValueSize).size());
  return text;
}

}  // namespace

std::string TranslateVariable(std::string_view Name) {
  ScriptTrace(Name, "TranslateVariable");
  const std::string upper = UPPER(ClipView(Name));
  for (const BuiltinName& builtin : kBuiltins) {
    if (upper == builtin.name) return Cut(builtin.value());
  }
  if (!Name.empty() && Name.front() == '=') {
    const std::string_view expression = Name.substr(1);
    ScriptTrace(expression, "Evaluation");
    const ExpressionResult result = EvaluateExpression(expression);
    const std::string text = result.ok ? result.text() : std::string();
    ScriptTrace("Result:  " + text, "Evaluation");
    if (!ClipView(text).empty()) return Cut(text);
  }
  VAR.NAME = upper;
  if (VARQ.GetBy(&VARQ_RECORD::NAME) != 0) return {};
  return VAR.STRINGVALUE.str();
}

}  // namespace vx
