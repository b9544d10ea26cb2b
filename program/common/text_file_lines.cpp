#include "program/common/text_file_lines.h"

#include <fstream>

#include "runtime/fixed_string.h"
#include "runtime/text_functions.h"

namespace vx {

bool TextFileLines::Load(const std::filesystem::path& file) {
  lines_.clear();
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.emplace_back(CutUtf8(line, line_width_));
  }
  return true;
}

long TextFileLines::Find(std::string_view text, long after, bool match_case) const {
  if (text.empty()) return 0;
  const std::string wanted = match_case ? std::string(text) : UPPER(text);
  for (std::size_t row = after < 0 ? 0 : static_cast<std::size_t>(after); row < lines_.size();
       ++row) {
    const std::string line = match_case ? lines_[row] : UPPER(lines_[row]);
    if (line.find(wanted) != std::string::npos) return static_cast<long>(row) + 1;
  }
  return 0;
}

}  // namespace vx
