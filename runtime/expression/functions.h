// The built-in functions an expression may call (dates, texts, numbers), looked up by name.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "runtime/expression/value.h"

namespace vx {

// The longest text an expression may build; a longer result is an evaluation error.
inline constexpr std::size_t kExprMaxTextBytes = 65536;

struct ExprFunction {
  const char* name;
  int min_args;
  int max_args;
  // Computes the result from the evaluated arguments, or sets *error and returns anything.
  ExprValue (*call)(std::span<const ExprValue> args, std::string* error);
};

// The function of that name (any case), or nullptr. None of them reads a file, runs a command
// or touches program state; TODAY() and CLOCK() read the installed clock source.
const ExprFunction* FindExprFunction(std::string_view name);

}  // namespace vx
