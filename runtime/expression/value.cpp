#include "runtime/expression/value.h"

#include "runtime/fixed_string.h"

namespace vx {

ExprNumber ExprValue::AsNumber() const {
  if (!is_text_) return number_;
  return ExprNumber::Parse(text_).value_or(ExprNumber());
}

bool ExprValue::IsTrue() const {
  if (is_text_) return !ClipView(text_).empty();
  return !number_.IsZero();
}

std::partial_ordering CompareValues(const ExprValue& a, const ExprValue& b) {
  if (a.is_text() && b.is_text()) return CompareClipped(a.text(), b.text());
  if (!a.is_text() && !b.is_text()) return a.AsNumber() <=> b.AsNumber();
  const ExprValue& text = a.is_text() ? a : b;
  const bool numeric = ClipView(text.text()).empty() || ExprNumber::Parse(text.text()).has_value();
  if (numeric) return a.AsNumber() <=> b.AsNumber();
  return CompareClipped(a.AsText(), b.AsText());
}

}  // namespace vx
