// Splits an expression text into tokens: numbers, quoted texts, names, operators and brackets.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

enum class TokenKind {
  kNumber,  // digits with an optional fraction: 12, 9.5, .5
  kText,    // 'text' with '' standing for one quote, the only escape (< and { are plain
            // characters, so a value pasted between quotes keeps them); `text` is the value
  kName,    // a letter or "_", then letters, digits, "_" and ":" (SCH:Date); keywords too
  kLeft,
  kRight,
  kComma,
  kPlus,
  kMinus,
  kStar,
  kSlash,
  kPercent,
  kCaret,
  kAmpersand,
  kEqual,
  kNotEqual,
  kLess,
  kLessEqual,
  kGreater,
  kGreaterEqual,
  kTilde,  // ~ on its own: logical NOT
  kEnd,
};

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string text;        // the number's digits, the text's value or the name as written
  std::size_t offset = 0;  // where the token starts, for messages
};

struct LexResult {
  std::vector<Token> tokens;  // always ends with kEnd when error is empty
  std::string error;
};

// Blanks, tabs and line breaks separate tokens. Comparisons may be written = <> ~= < <= =<
// > >= =>, and ~< (not less) and ~> (not greater) as well.
LexResult Tokenize(std::string_view text);

}  // namespace vx
