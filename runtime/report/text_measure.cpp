#include "runtime/report/text_measure.h"

#include <atomic>

namespace vx::report {
namespace {

std::atomic<const TextMeasure*> g_measure{nullptr};

std::size_t Characters(std::string_view text) {
  std::size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

// The length of the UTF-8 character that starts at text[at].
std::size_t CharacterLength(std::string_view text, std::size_t at) {
  std::size_t end = at + 1;
  while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  return end - at;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

// Breaks one paragraph (no line breaks in it) into lines within the width.
void WrapParagraph(std::string_view text, long width, const ReportFont& font,
                   const TextMeasure& measure, std::vector<std::string>& lines) {
  text = TrimBlanks(text);
  if (text.empty()) {
    lines.emplace_back();
    return;
  }
  while (!text.empty()) {
    if (measure.Width(font, text) <= width) {
      lines.emplace_back(text);
      return;
    }
    // The longest run of whole characters that fits, then back to its last blank if any.
    std::size_t fits = 0;
    while (fits < text.size()) {
      const std::size_t next = fits + CharacterLength(text, fits);
      if (measure.Width(font, text.substr(0, next)) > width) break;
      fits = next;
    }
    if (fits == 0) fits = CharacterLength(text, 0);  // not even one character fits: take one
    std::size_t cut = fits;
    if (text[fits] != ' ') {
      const std::size_t blank = text.substr(0, fits).rfind(' ');
      if (blank != std::string_view::npos && blank > 0) cut = blank;
    }
    lines.emplace_back(TrimBlanks(text.substr(0, cut)));
    text = TrimBlanks(text.substr(cut));
  }
}

}  // namespace

long FixedTextMeasure::Width(const ReportFont& font, std::string_view text) const {
  return static_cast<long>(Characters(text)) * PointsToUnits(font.size / 2);
}

long FixedTextMeasure::LineHeight(const ReportFont& font) const {
  return PointsToUnits(font.size * 1.2);
}

const TextMeasure& CurrentTextMeasure() {
  static const FixedTextMeasure fixed;
  const TextMeasure* installed = g_measure.load();
  return installed ? *installed : fixed;
}

void SetTextMeasure(const TextMeasure* measure) { g_measure.store(measure); }

std::vector<std::string> WrapText(std::string_view text, long width, const ReportFont& font,
                                  const TextMeasure& measure) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  while (true) {
    const std::size_t at = text.find_first_of("\r\n");
    WrapParagraph(text.substr(0, at), width, font, measure, lines);
    if (at == std::string_view::npos) break;
    const std::size_t skip = text.compare(at, 2, "\r\n") == 0 ? 2 : 1;
    text.remove_prefix(at + skip);
    if (text.empty()) break;  // a closing line break starts no further line
  }
  return lines;
}

}  // namespace vx::report
