// Reads an expression text into a tree of operations, resolving names and functions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/expression/bindings.h"
#include "runtime/expression/functions.h"
#include "runtime/expression/value.h"

namespace vx {

// Longest expression text read, and deepest nesting of operations, brackets and calls. Both
// keep the recursive reader and evaluator far from the end of any thread's stack.
inline constexpr std::size_t kExprMaxLength = 16384;
inline constexpr int kExprMaxDepth = 200;

enum class ExprOp {
  kLiteral,
  kName,
  kCall,
  kNegate,
  kNot,
  kAdd,
  kSubtract,
  kMultiply,
  kDivide,
  kModulo,
  kPower,
  kConcat,
  kEqual,
  kNotEqual,
  kLess,
  kLessEqual,
  kGreater,
  kGreaterEqual,
  kAnd,
  kOr,
  kXor,
};

struct ExprNode {
  ExprOp op = ExprOp::kLiteral;
  ExprValue literal;                       // kLiteral
  int slot = -1;                           // kName: slot in the bindings
  const ExprFunction* function = nullptr;  // kCall
  std::vector<int> operands;               // indexes of operand or argument nodes
  int depth = 1;                           // height of the subtree
};

struct ParsedExpression {
  std::vector<ExprNode> nodes;
  int root = -1;
  std::string error;  // empty when the text was read
};

// Precedence, loosest first: OR XOR; AND; NOT ~; comparisons; &; + -; * / %; ^ (right to
// left); unary - +. Keywords and names match without regard to case; a name must be bound.
ParsedExpression ParseExpression(std::string_view text, const ExpressionBindings& bindings);

}  // namespace vx
