// The lines of a text file as a list shows them, with a search over them: what the event log
// viewer reads its file into.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/window/control.h"

namespace vx {

class TextFileLines final : public ListSource {
 public:
  // Each line is cut to this many bytes (never inside a character).
  explicit TextFileLines(std::size_t line_width = 255) : line_width_(line_width) {}

  // Reads the file; false (and no lines) when it cannot be read.
  bool Load(const std::filesystem::path& file);
  const std::vector<std::string>& Lines() const { return lines_; }

  // The first line (from 1) after line `after` that holds `text`, with or without regard to
  // letter case; 0 when none does. An empty text finds nothing.
  long Find(std::string_view text, long after, bool match_case) const;

  std::size_t Records() const override { return lines_.size(); }
  std::vector<std::string> Fields(std::size_t row) const override { return {lines_[row]}; }

 private:
  std::size_t line_width_;
  std::vector<std::string> lines_;
};

}  // namespace vx
