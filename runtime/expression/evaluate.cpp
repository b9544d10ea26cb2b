#include "runtime/expression/evaluate.h"

#include <utility>
#include <vector>

#include "runtime/expression/parser.h"

namespace vx {
namespace {

const ExpressionBindings& NoBindings() {
  static const ExpressionBindings none;
  return none;
}

// Thrown inside the evaluator only; Evaluate turns it into the error text.
struct EvalFailure {
  std::string message;
};

class Evaluator {
 public:
  Evaluator(const ParsedExpression& parsed, const ExpressionBindings& bindings)
      : nodes_(parsed.nodes), bindings_(bindings) {}

  // The tree's height is bounded when it is read, so this recursion is too.
  ExprValue Eval(int index) const {
    const ExprNode& n = nodes_[static_cast<std::size_t>(index)];
    switch (n.op) {
      case ExprOp::kLiteral:
        return n.literal;
      case ExprOp::kName:
        return bindings_.Read(n.slot);
      case ExprOp::kCall:
        return Call(n);
      case ExprOp::kNegate:
        return Checked(-Eval(n.operands[0]).AsNumber());
      case ExprOp::kNot:
        return Truth(!Eval(n.operands[0]).IsTrue());
      case ExprOp::kAnd:
        return Truth(Eval(n.operands[0]).IsTrue() && Eval(n.operands[1]).IsTrue());
      case ExprOp::kOr:
        return Truth(Eval(n.operands[0]).IsTrue() || Eval(n.operands[1]).IsTrue());
      case ExprOp::kXor: {
        const bool a = Eval(n.operands[0]).IsTrue();
        return Truth(a != Eval(n.operands[1]).IsTrue());
      }
      case ExprOp::kConcat: {
        std::string text = Eval(n.operands[0]).AsText();
        text += Eval(n.operands[1]).AsText();
        return Text(std::move(text));
      }
      default:
        break;
    }
    const ExprValue a = Eval(n.operands[0]);
    const ExprValue b = Eval(n.operands[1]);
    switch (n.op) {
      case ExprOp::kEqual:
        return Truth(CompareValues(a, b) == 0);
      case ExprOp::kNotEqual: {
        const auto c = CompareValues(a, b);
        return Truth(c < 0 || c > 0);
      }
      case ExprOp::kLess:
        return Truth(CompareValues(a, b) < 0);
      case ExprOp::kLessEqual:
        return Truth(CompareValues(a, b) <= 0);
      case ExprOp::kGreater:
        return Truth(CompareValues(a, b) > 0);
      case ExprOp::kGreaterEqual:
        return Truth(CompareValues(a, b) >= 0);
      case ExprOp::kAdd:
        return Checked(a.AsNumber() + b.AsNumber());
      case ExprOp::kSubtract:
        return Checked(a.AsNumber() - b.AsNumber());
      case ExprOp::kMultiply:
        return Checked(a.AsNumber() * b.AsNumber());
      case ExprOp::kDivide:
        return Checked(ExprNumber::Divide(a.AsNumber(), b.AsNumber()), "division by zero");
      case ExprOp::kModulo:
        return Checked(ExprNumber::Modulo(a.AsNumber(), b.AsNumber()), "division by zero");
      case ExprOp::kPower:
        return Checked(ExprNumber::Power(a.AsNumber(), b.AsNumber()),
                       "0 raised to a negative power");
      default:
        break;
    }
    throw EvalFailure{"unsupported operation"};
  }

 private:
  static ExprValue Truth(bool b) { return ExprValue::Integer(b ? 1 : 0); }

  static ExprValue Checked(const ExprNumber& n) {
    if (!n.finite()) throw EvalFailure{"number out of range"};
    return ExprValue::Number(n);
  }
  static ExprValue Checked(const std::optional<ExprNumber>& n, const char* why) {
    if (!n) throw EvalFailure{why};
    return Checked(*n);
  }
  static ExprValue Text(std::string text) {
    if (text.size() > kExprMaxTextBytes) throw EvalFailure{"text longer than 65536 bytes"};
    return ExprValue::Text(std::move(text));
  }

  ExprValue Call(const ExprNode& n) const {
    std::vector<ExprValue> args;
    args.reserve(n.operands.size());
    for (int operand : n.operands) args.push_back(Eval(operand));
    std::string error;
    ExprValue result = n.function->call(args, &error);
    if (!error.empty()) throw EvalFailure{std::move(error)};
    if (result.is_text()) return Text(result.text());
    return Checked(result.AsNumber());
  }

  const std::vector<ExprNode>& nodes_;
  const ExpressionBindings& bindings_;
};

}  // namespace

Expression::Expression(std::string_view text, const ExpressionBindings& bindings)
    : parsed_(std::make_shared<ParsedExpression>(ParseExpression(text, bindings))),
      bindings_(&bindings) {}

Expression::Expression(std::string_view text) : Expression(text, NoBindings()) {}

bool Expression::ok() const { return parsed_->error.empty(); }
const std::string& Expression::error() const { return parsed_->error; }

ExpressionResult Expression::Evaluate() const {
  ExpressionResult result;
  if (!ok()) {
    result.error = parsed_->error;
    return result;
  }
  try {
    result.value = Evaluator(*parsed_, *bindings_).Eval(parsed_->root);
    result.ok = true;
  } catch (const EvalFailure& failure) {
    result.error = failure.message;
  }
  return result;
}

ExpressionResult EvaluateExpression(std::string_view text, const ExpressionBindings& bindings) {
  return Expression(text, bindings).Evaluate();
}

ExpressionResult EvaluateExpression(std::string_view text) { return Expression(text).Evaluate(); }

}  // namespace vx
