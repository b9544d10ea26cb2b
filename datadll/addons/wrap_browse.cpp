#include "datadll/addons/wrap_browse.h"

#include "runtime/report/text_measure.h"
#include "runtime/text_functions.h"
#include "runtime/window/control.h"

namespace vx::MH {
namespace {

report::ReportFont ListFont(const Control& list) {
  report::ReportFont font;
  if (!list.Get(Prop::FontName).empty()) font.face = list.Get(Prop::FontName);
  if (list.GetNumber(Prop::FontSize) > 0)
    font.size = static_cast<double>(list.GetNumber(Prop::FontSize));
  const long style = list.GetNumber(Prop::FontStyle);
  font.bold = (style & 0xFFF) >= 700;
  font.italic = (style & 0x1000) != 0;
  font.underline = (style & 0x2000) != 0;
  return font;
}

}  // namespace

void WRAPBROWSE::INIT(Control& list) {
  list_ = &list;
  rows_.clear();
}

void WRAPBROWSE::ADDROW(int column, std::string& field) {
  if (!list_) return;
  long offset = 0;
  const auto& columns = list_->Columns();
  if (column >= 1 && column <= static_cast<int>(columns.size())) {
    const ListColumn& c = columns[static_cast<std::size_t>(column - 1)];
    if (c.justify == 'L' || c.justify == 'R') offset = c.indent;
  }
  rows_.push_back({column, offset, &field});
}

void WRAPBROWSE::WRAP(std::string_view text) {
  if (!list_) return;
  std::string clipped = CLIP(text);
  std::string_view rest = clipped;
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  const report::ReportFont font = ListFont(*list_);
  const report::TextMeasure& measure = report::CurrentTextMeasure();
  // Dialog units are a quarter of the font's average letter: the cell's width in the measure's
  // units follows from the width of the alphabet.
  static constexpr std::string_view kLetters =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const double letter =
      static_cast<double>(measure.Width(font, kLetters)) / static_cast<double>(kLetters.size());
  const auto& columns = list_->Columns();
  std::size_t consumed = 0;
  std::vector<std::string> lines;
  for (const Row& row : rows_) {
    long cell = 0;
    if (row.column >= 1 && row.column <= static_cast<int>(columns.size()))
      cell = columns[static_cast<std::size_t>(row.column - 1)].width;
    const long width = static_cast<long>((cell - row.offset) * letter / 4.0);
    std::string line;
    if (!rest.empty() && width > 0) {
      // The first line that fits this row's width; the rest goes on to the next row.
      const std::vector<std::string> wrapped = report::WrapText(rest, width, font, measure);
      if (!wrapped.empty()) line = wrapped.front();
      consumed = line.size();
      rest.remove_prefix(std::min(consumed, rest.size()));
      // What ended the line: a line break (CR, LF or CR LF) or the blanks before the next word.
      if (!rest.empty() && rest.front() == '\r') rest.remove_prefix(1);
      if (!rest.empty() && rest.front() == '\n') rest.remove_prefix(1);
      while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    }
    *row.field = line;
  }
}

}  // namespace vx::MH
