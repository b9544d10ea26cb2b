// libFuzzer entry for the expression evaluator: any input text gives a value or an error with a
// message, twice the same, and never a crash, a sanitizer finding or a hang.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "runtime/dates.h"
#include "runtime/decimal.h"
#include "runtime/expression/evaluate.h"
#include "runtime/fixed_string.h"
#include "tests/support/fixed_clock.h"

namespace {

struct Record {
  vx::test::FixedClock clock{vx::DATE(6, 15, 2026), vx::MakeTime(14, 30)};
  std::int32_t date = vx::DATE(6, 15, 2026);
  vx::String<20> category{"Work"};
  std::uint8_t disabled = 1;
  vx::Decimal price = vx::Decimal::FromUnits(1250, 2);
  vx::ExpressionBindings bindings;
  Record() {
    vx::SetClockSource(&clock);
    bindings.BindInteger("SCH:Date", &date);
    bindings.BindText("SCH:Category", &category);
    bindings.BindInteger("SCH:Disabled", &disabled);
    bindings.BindDecimal("Price", &price);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Record record;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vx::Expression expression(text, record.bindings);
  const vx::ExpressionResult first = expression.Evaluate();
  const vx::ExpressionResult second = expression.Evaluate();
  if (first.ok ? first.error.size() != 0 : first.error.empty()) std::abort();
  if (first.ok != second.ok || first.text() != second.text() || first.error != second.error)
    std::abort();
  return 0;
}
