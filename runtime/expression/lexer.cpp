#include "runtime/expression/lexer.h"

namespace vx {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameChar(char c) { return IsLetter(c) || IsDigit(c) || c == ':'; }

}  // namespace

LexResult Tokenize(std::string_view text) {
  LexResult out;
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto peek = [&](std::size_t k) { return i + k < n ? text[i + k] : '\0'; };
  auto add = [&](TokenKind kind, std::size_t start, std::size_t length) {
    out.tokens.push_back({kind, std::string(text.substr(start, length)), start});
    i = start + length;
  };
  while (i < n) {
    const char c = text[i];
    const std::size_t start = i;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (IsDigit(c) || (c == '.' && IsDigit(peek(1)))) {
      std::size_t j = i;
      while (j < n && IsDigit(text[j])) ++j;
      if (j < n && text[j] == '.') {
        ++j;
        while (j < n && IsDigit(text[j])) ++j;
      }
      if (j < n && (IsLetter(text[j]) || text[j] == '.')) {
        out.error = "unexpected character after a number at position " + std::to_string(j + 1);
        return out;
      }
      add(TokenKind::kNumber, start, j - start);
      continue;
    }
    if (IsLetter(c)) {
      std::size_t j = i;
      while (j < n && IsNameChar(text[j])) ++j;
      add(TokenKind::kName, start, j - start);
      continue;
    }
    if (c == '\'') {
      std::string value;
      std::size_t j = i + 1;
      bool closed = false;
      while (j < n) {
        if (text[j] == '\'') {
          if (j + 1 < n && text[j + 1] == '\'') {
            value += '\'';
            j += 2;
            continue;
          }
          closed = true;
          ++j;
          break;
        }
        value += text[j++];
      }
      if (!closed) {
        out.error =
            "text starting at position " + std::to_string(start + 1) + " has no closing quote";
        return out;
      }
      out.tokens.push_back({TokenKind::kText, std::move(value), start});
      i = j;
      continue;
    }
    const char d = peek(1);
    switch (c) {
      case '(':
        add(TokenKind::kLeft, start, 1);
        continue;
      case ')':
        add(TokenKind::kRight, start, 1);
        continue;
      case ',':
        add(TokenKind::kComma, start, 1);
        continue;
      case '+':
        add(TokenKind::kPlus, start, 1);
        continue;
      case '-':
        add(TokenKind::kMinus, start, 1);
        continue;
      case '*':
        add(TokenKind::kStar, start, 1);
        continue;
      case '/':
        add(TokenKind::kSlash, start, 1);
        continue;
      case '%':
        add(TokenKind::kPercent, start, 1);
        continue;
      case '^':
        add(TokenKind::kCaret, start, 1);
        continue;
      case '&':
        add(TokenKind::kAmpersand, start, 1);
        continue;
      case '=':
        if (d == '<') {
          add(TokenKind::kLessEqual, start, 2);
          continue;
        }
        if (d == '>') {
          add(TokenKind::kGreaterEqual, start, 2);
          continue;
        }
        add(TokenKind::kEqual, start, 1);
        continue;
      case '<':
        if (d == '>') {
          add(TokenKind::kNotEqual, start, 2);
          continue;
        }
        if (d == '=') {
          add(TokenKind::kLessEqual, start, 2);
          continue;
        }
        add(TokenKind::kLess, start, 1);
        continue;
      case '>':
        if (d == '=') {
          add(TokenKind::kGreaterEqual, start, 2);
          continue;
        }
        add(TokenKind::kGreater, start, 1);
        continue;
      case '~':
        if (d == '=') {
          add(TokenKind::kNotEqual, start, 2);
          continue;
        }
        if (d == '<') {
          add(TokenKind::kGreaterEqual, start, 2);
          continue;
        }
        if (d == '>') {
          add(TokenKind::kLessEqual, start, 2);
          continue;
        }
        add(TokenKind::kTilde, start, 1);
        continue;
      default:
        out.error = "unexpected character at position " + std::to_string(start + 1);
        return out;
    }
  }
  out.tokens.push_back({TokenKind::kEnd, std::string(), n});
  return out;
}

}  // namespace vx
