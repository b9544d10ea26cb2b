// Values of the expression evaluator: a number or a text, each readable as the other.
#pragma once

#include <compare>
#include <string>
#include <utility>

#include "runtime/expression/number.h"

namespace vx {

// One value of an expression. Operators read it as the type they need: a text that reads as a
// number counts as that number (any other text as 0), a number reads as its plain decimal text.
class ExprValue {
 public:
  ExprValue() = default;
  static ExprValue Number(ExprNumber n) {
    ExprValue v;
    v.number_ = n;
    return v;
  }
  static ExprValue Integer(std::int64_t n) { return Number(ExprNumber::FromInt(n)); }
  static ExprValue Text(std::string text) {
    ExprValue v;
    v.is_text_ = true;
    v.text_ = std::move(text);
    return v;
  }

  bool is_text() const { return is_text_; }
  ExprNumber AsNumber() const;
  std::string AsText() const { return is_text_ ? text_ : number_.ToText(); }
  // The text itself without a copy; only for text values.
  const std::string& text() const { return text_; }
  // A condition holds for a nonzero number and for a text with a non-blank character.
  bool IsTrue() const;

 private:
  bool is_text_ = false;
  ExprNumber number_;
  std::string text_;
};

// How = < > and the rest compare two values: two numbers by value; two texts byte by byte
// (case counts) with trailing blanks ignored; a number and a text by value when the text reads
// as a number or is blank, otherwise as texts.
std::partial_ordering CompareValues(const ExprValue& a, const ExprValue& b);

}  // namespace vx
