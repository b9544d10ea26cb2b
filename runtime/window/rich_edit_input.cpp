#include "runtime/window/rich_edit_input.h"

#include <charconv>

namespace vx {

std::string WriteRichEditInput(const RichEditInput& input) {
  return std::to_string(input.start) + " " + std::to_string(input.end) + "\n" + input.rtf;
}

bool ReadRichEditInput(std::string_view text, RichEditInput& input) {
  const std::size_t line = text.find('\n');
  if (line == std::string_view::npos) return false;
  const char* p = text.data();
  const char* end = text.data() + line;
  long start = 0, stop = 0;
  auto first = std::from_chars(p, end, start);
  if (first.ec != std::errc() || first.ptr == end || *first.ptr != ' ') return false;
  auto second = std::from_chars(first.ptr + 1, end, stop);
  if (second.ec != std::errc() || second.ptr != end || start < 0 || stop < 0) return false;
  input.start = start;
  input.end = stop;
  input.rtf = std::string(text.substr(line + 1));
  return true;
}

}  // namespace vx
