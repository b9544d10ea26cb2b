// Splitting typed dates and times into runs of digits and runs of letters, for reading them back.
#pragma once

#include <string_view>
#include <vector>

namespace vx {

struct TextToken {
  bool word = false;  // letters (bytes of multi-byte characters count as letters); else digits
  std::string_view text;
};

// Everything that is neither digit nor letter only separates tokens.
std::vector<TextToken> SplitDigitsAndWords(std::string_view text);

// The value of a run of at most nine digits.
int DigitsValue(std::string_view digits);

}  // namespace vx
