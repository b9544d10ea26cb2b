// How wide a text is and how high its lines are in a report font, in report units.
//
// The page engine measures every text through the installed TextMeasure, so that columns and
// wrapped memo lines come out as the output will draw them. The Qt front end installs one that
// asks the font's real metrics; with none installed (headless tests and tools) a fixed metric
// answers: every character half the font's size wide, every line 1.2 times its size high.
// Install once at start-up, before any report runs; measuring may happen on any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/report/page_image.h"

namespace vx::report {

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  virtual long Width(const ReportFont& font, std::string_view text) const = 0;
  virtual long LineHeight(const ReportFont& font) const = 0;
};

class FixedTextMeasure final : public TextMeasure {
 public:
  long Width(const ReportFont& font, std::string_view text) const override;
  long LineHeight(const ReportFont& font) const override;
};

// The installed measure, else the fixed one. Installing nullptr puts the fixed one back.
const TextMeasure& CurrentTextMeasure();
void SetTextMeasure(const TextMeasure* measure);

// Breaks a text into lines no wider than `width`: at line breaks ("\r\n", "\n" or "\r"), else
// after the last blank that keeps the line within the width; a word wider than a line is cut
// between characters (never inside a UTF-8 character). Blanks at a break are dropped. An empty
// text is no lines.
std::vector<std::string> WrapText(std::string_view text, long width, const ReportFont& font,
                                  const TextMeasure& measure);

}  // namespace vx::report
