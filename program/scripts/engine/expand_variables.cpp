#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "program/scripts/engine/script_variables.h"
#include "runtime/fixed_string.h"

namespace vx {
namespace {

constexpr std::size_t kWorkBufferSize = 16384;
// Scanning steps one bracket may take before it is given up: a value that names itself would
// otherwise be inserted and resolved for ever.
constexpr int kStepLimit = 5000;

void KeepWithinBuffer(std::string& text) { text.resize(CutUtf8(text, kWorkBufferSize).size()); }

}  // namespace

std::string ExpandVariables(std::string_view /*Label*/, std::string_view Text) { return ExpandVariables(Text); }

std::string ExpandVariables(std::string_view Text) {
  std::string buffer(CutUtf8(Text, kWorkBufferSize));
  const auto length = [&buffer] { return ClipView(buffer).size(); };

  // p is 0-based; a "[" in the last place cannot open anything, so the scan stops before it.
  std::size_t p = 0;
  while (p + 1 < length()) {
    if (buffer[p] != '[') {
      ++p;
      continue;
    }
    if (buffer[p + 1] == '[' || buffer[p + 1] == ']') {  // "[[" and "[]": the second one stays
      buffer.erase(p, 1);
      ++p;
      continue;
    }
    // One bracket and those nested in it. Each "]" resolves the innermost open name; when an
    // outer bracket is still open the scan goes back over the inserted value, so the value can
    // complete the outer name (and may itself hold brackets).
    std::vector<std::size_t> openings{p};
    int steps = 0;
    while (true) {
      ++p;
      ++steps;
      if (p >= length()) break;  // never closed: the rest stays as it is
      if (steps > kStepLimit) return std::string(ClipView(buffer));
      if (buffer[p] == '[') {
        openings.push_back(p);
      } else if (buffer[p] == ']') {
        const std::size_t open = openings.back();
        openings.pop_back();
        const std::string value(ClipView(TranslateVariable(std::string_view(buffer).substr(open + 1, p - open - 1))));
        buffer.replace(open, p - open + 1, value);
        KeepWithinBuffer(buffer);
        if (openings.empty()) {
          p = open + value.size();  // the outermost value is not scanned again
          break;
        }
        p = open - 1;  // the next step lands on the value's first character
      }
    }
  }
  return std::string(ClipView(buffer));
}

}  // namespace vx
