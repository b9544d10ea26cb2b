#include <string>
#include <string_view>

#include "datadll/dictionary/global_queues.h"
#include "program/script_engine/script_variables.h"
#include "runtime/expression/evaluate.h"
#include "runtime/text_functions.h"

namespace vx {

Decimal ScriptNumber(std::string_view text) {
  return Decimal::Parse(text, 2).value_or(Decimal::FromUnits(0, 2));
}

void SetScriptVariable(std::string_view Value, std::string_view Name) {
  std::string value = ExpandVariables(Value);
  if (!value.empty() && value.front() == '=') {
    // An expression the evaluator cannot read keeps the expanded text, "=" and all, so the
    // user sees in the value what went wrong.
    const ExpressionResult result = EvaluateExpression(std::string_view(value).substr(1));
    if (result.ok) value = result.text();
  }
  VAR.NAME = UPPER(Name);
  if (VARQ.GetBy(&VARQ_RECORD::NAME) == 0) {
    VAR.STRINGVALUE = value;
    VAR.VALUE = ScriptNumber(VAR.STRINGVALUE.view());
    VARQ.Put();
    return;
  }
  VAR.NAME = UPPER(Name);
  VAR.STRINGVALUE = value;
  VAR.VALUE = ScriptNumber(VAR.STRINGVALUE.view());
  VARQ.AddBy(&VARQ_RECORD::NAME);
}

}  // namespace vx
