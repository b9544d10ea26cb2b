// Upper- and lower-casing of the ASCII letters, as names and the UPPER/LOWER functions use it.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// Only A-Z and a-z change; other bytes, UTF-8 sequences included, are kept as they are.
inline std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

inline std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace vx
