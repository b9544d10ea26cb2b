// The argument syntax of the script text form: splitting a line's arguments, removing and adding
// the double quotes around one argument, joining arguments into a line, and reading numbers.
//
// Arguments are separated by a blank or a comma; inside double quotes, and inside square
// brackets outside quotes, neither separates. One pair of surrounding quotes is removed from
// each argument. There is no escape for a double quote inside an argument.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// The argument list of one script line, in the order the arguments stand.
class ScriptArguments {
 public:
  // Unquotes one token (UnquoteArgument) and appends it.
  void AddArgument(std::string_view token);
  // The n-th argument (from 1), without trailing blanks; "" when there are fewer than n.
  std::string GetArgument(std::size_t n) const;
  std::size_t Count() const { return args_.size(); }
  void Clear() { args_.clear(); }

 private:
  std::vector<std::string> args_;
};

// Splits an argument text into its arguments.
ScriptArguments TokeniseArguments(std::string_view text);

// "" becomes empty; a text whose first character and last non-blank character are both double
// quotes loses those two quotes; anything else is returned unchanged.
std::string UnquoteArgument(std::string_view text);

// The text written as one argument that reads back as the same text (apart from leading and
// trailing blanks): quoted when it holds an inner blank, a "/" or "\", a comma or a "[" that no
// "]" closes; "" when it is empty.
std::string QuoteArgument(std::string_view text);

// Each present text, quoted, after one blank; the line has no leading or trailing blanks. An
// empty text that is present is written as "".
std::string JoinArguments(std::span<const std::optional<std::string>> texts);

// Drops empty arguments ("" standing alone) from the end of a written line.
std::string RemoveTrailingEmptyArguments(std::string_view line);

// A whole number written in decimal: the text, without surrounding blanks, is an optional sign
// and digits (a decimal part is dropped); anything else reads as 0. Out-of-range values are
// held at the LONG limits.
std::int32_t ReadWholeNumber(std::string_view text);

// The digits (after an optional sign) that begin the text; 0 when it does not begin with one.
std::int32_t ReadLeadingNumber(std::string_view text);

// Blanks and tabs are different: only a blank (space) separates or is trimmed.
std::string_view TrimLeadingBlanks(std::string_view text);
std::string_view TrimBlanks(std::string_view text);

}  // namespace vx
