#include "runtime/picture_tokens.h"

#include <cctype>

namespace vx {
namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool IsLetter(char c) {
  const auto u = static_cast<unsigned char>(c);
  return std::isalpha(u) != 0 || u >= 0x80;
}

}  // namespace

std::vector<TextToken> SplitDigitsAndWords(std::string_view text) {
  std::vector<TextToken> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    const bool digit = IsDigit(text[i]);
    if (!digit && !IsLetter(text[i])) {
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    while (j < text.size() && (digit ? IsDigit(text[j]) : IsLetter(text[j]))) ++j;
    tokens.push_back({!digit, text.substr(i, j - i)});
    i = j;
  }
  return tokens;
}

int DigitsValue(std::string_view digits) {
  int v = 0;
  for (char c : digits) v = v * 10 + (c - '0');
  return v;
}

}  // namespace vx
