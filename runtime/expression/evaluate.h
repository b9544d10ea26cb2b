// The expression evaluator: reads a text such as "SCH:Date>=TODAY() AND SCH:Date<TODAY()+7" or
// "AGE(DATE(5,17,1970),TODAY())" and computes its value.
//
// What an expression may hold: numbers (12, 9.5), texts in single quotes ('It''s'), bound names
// (SCH:Date), calls of the functions in functions.cpp, brackets, and the operators
// + - * / % ^ & = <> ~= < <= =< > >= => ~< ~> AND OR XOR NOT ~ (precedence in parser.h).
// Comparisons and logic give 1 or 0. AND and OR stop once the left side decides.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "runtime/expression/bindings.h"
#include "runtime/expression/value.h"

namespace vx {

struct ParsedExpression;

// What an evaluation gives: a value, or the reason the expression could not be read or
// computed (syntax, an unbound name, an unknown function or a wrong argument count, division
// by zero, a number out of range, a text over 64 KiB, nesting or length past the limits).
struct ExpressionResult {
  bool ok = false;
  ExprValue value;
  std::string error;

  explicit operator bool() const { return ok; }
  std::string text() const { return value.AsText(); }
  ExprNumber number() const { return value.AsNumber(); }
  bool IsTrue() const { return ok && value.IsTrue(); }
};

// An expression read once and evaluated as often as needed (a browse filter, once per record).
// Names are looked up in the bindings when the text is read and their getters are called at
// every evaluation; the bindings must outlive the expression.
class Expression {
 public:
  Expression(std::string_view text, const ExpressionBindings& bindings);
  // An expression over constants and functions only: every name is unknown.
  explicit Expression(std::string_view text);

  bool ok() const;
  const std::string& error() const;
  ExpressionResult Evaluate() const;

 private:
  std::shared_ptr<const ParsedExpression> parsed_;
  const ExpressionBindings* bindings_;
};

// Reads and evaluates a text in one step. It never runs a command or reads a file, and it sees
// no program state beyond the names bound.
ExpressionResult EvaluateExpression(std::string_view text, const ExpressionBindings& bindings);
ExpressionResult EvaluateExpression(std::string_view text);

}  // namespace vx
