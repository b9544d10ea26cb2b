#include "program/script_engine/script_text_tokens.h"

#include <limits>

#include "runtime/fixed_string.h"

namespace vx {
namespace {

// Where the argument that starts text[0] ends: the first blank or comma outside quotes and
// brackets, or npos. Brackets inside quotes do not count, so a quoted value holding a lone "["
// cannot swallow the rest of the line. *open_bracket tells whether a "[" was left open.
std::size_t ArgumentEnd(std::string_view text, bool* open_bracket = nullptr) {
  bool in_quotes = false;
  bool in_brackets = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      in_quotes = !in_quotes;
    } else if (!in_quotes && c == '[') {
      in_brackets = true;
    } else if (!in_quotes && c == ']') {
      in_brackets = false;
    } else if (!in_quotes && !in_brackets && (c == ' ' || c == ',')) {
      return i;
    }
  }
  if (open_bracket) *open_bracket = in_brackets;
  return std::string_view::npos;
}

std::int32_t Clamp(long long value) {
  if (value > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

// Reads an optional sign and digits from text[pos]; sets pos past them. Returns false when no
// digit follows the sign.
bool ReadSignedDigits(std::string_view text, std::size_t& pos, long long& value) {
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  const std::size_t first = pos;
  long long v = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    if (v < 10'000'000'000LL) v = v * 10 + (text[pos] - '0');  // held past the LONG range
    ++pos;
  }
  value = negative ? -v : v;
  return pos > first;
}

}  // namespace

std::string_view TrimLeadingBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? text.substr(text.size()) : text.substr(first);
}

std::string_view TrimBlanks(std::string_view text) { return ClipView(TrimLeadingBlanks(text)); }

std::string UnquoteArgument(std::string_view text) {
  if (text == "\"\"") return {};
  const std::string_view clipped = ClipView(text);
  if (!clipped.empty() && clipped.front() == '"' && clipped.back() == '"') {
    if (clipped.size() < 2) return {};
    return std::string(clipped.substr(1, clipped.size() - 2));
  }
  return std::string(text);
}

void ScriptArguments::AddArgument(std::string_view token) {
  args_.push_back(UnquoteArgument(token));
}

std::string ScriptArguments::GetArgument(std::size_t n) const {
  if (n == 0 || n > args_.size()) return {};
  return std::string(ClipView(args_[n - 1]));
}

ScriptArguments TokeniseArguments(std::string_view text) {
  ScriptArguments args;
  text = TrimLeadingBlanks(text);
  for (;;) {
    const std::size_t end = ArgumentEnd(text);
    if (end == std::string_view::npos) break;
    args.AddArgument(text.substr(0, end));
    text = TrimLeadingBlanks(text.substr(end + 1));
  }
  if (!text.empty()) args.AddArgument(text);
  return args;
}

std::string QuoteArgument(std::string_view text) {
  const std::string unquoted = UnquoteArgument(text);
  const std::string_view clipped = ClipView(unquoted);
  if (clipped.empty()) return "\"\"";
  bool open_bracket = false;
  const bool splits = ArgumentEnd(clipped, &open_bracket) != std::string_view::npos;
  // A blank, a comma or an unclosed "[" would end or swallow the argument when read back; a
  // slash or backslash marks a path or switch. All are quoted, blanks also inside brackets.
  if (splits || open_bracket || clipped.find_first_of(" /\\") != std::string_view::npos) {
    return "\"" + std::string(TrimBlanks(clipped)) + "\"";
  }
  return std::string(clipped);
}

std::string JoinArguments(std::span<const std::optional<std::string>> texts) {
  std::string line;
  for (const std::optional<std::string>& text : texts) {
    if (!text) continue;
    line += ' ';
    line += QuoteArgument(*text);
  }
  return std::string(TrimBlanks(line));
}

std::string RemoveTrailingEmptyArguments(std::string_view line) {
  line = ClipView(line);
  while (line.size() >= 3 && line.substr(line.size() - 3) == " \"\"")
    line = ClipView(line.substr(0, line.size() - 3));
  return std::string(line);
}

std::int32_t ReadWholeNumber(std::string_view text) {
  text = TrimBlanks(text);
  std::size_t pos = 0;
  long long value = 0;
  const bool has_digits = ReadSignedDigits(text, pos, value);
  if (pos < text.size() && text[pos] == '.') {
    // A decimal part is allowed but dropped; "5." and ".5" are numbers too.
    std::size_t frac = ++pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
    if (!has_digits && pos == frac) return 0;
  } else if (!has_digits) {
    return 0;
  }
  return pos == text.size() ? Clamp(value) : 0;
}

std::int32_t ReadLeadingNumber(std::string_view text) {
  std::size_t pos = 0;
  long long value = 0;
  return ReadSignedDigits(text, pos, value) ? Clamp(value) : 0;
}

}  // namespace vx
