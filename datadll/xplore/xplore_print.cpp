// Printing a list: the columns shown, fitted to a landscape page, every row or the rows in view,
// with the totals of the columns that have them.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "datadll/dictionary/globals.h"
#include "datadll/xplore/xplore_class.h"
#include "datadll/xplore/xplore_progress.h"
#include "framework/report/report_manager.h"
#include "runtime/dates.h"
#include "runtime/decimal.h"
#include "runtime/pictures.h"
#include "runtime/report/print_pages.h"
#include "runtime/report/report_layout.h"
#include "runtime/report/report_writer.h"
#include "runtime/report/text_measure.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

// A landscape US letter page; the columns share the width between its margins.
constexpr long kPaperWidth = 11000, kPaperHeight = 8500;
constexpr long kSideMargin = 600;
constexpr long kPrintWidth = kPaperWidth - 2 * kSideMargin;  // 9800
constexpr long kColumnGap = 100;  // between a column's text and the next column
// Every cell is measured once at this size; other sizes scale from it.
constexpr double kMeasureSize = 10;
// The columns that do not fit at this size are left out, before the size is chosen.
constexpr int kFitSize = 8;

// The exact sum of a column's stored values. Each is read as a decimal number (one that is not a
// number adds nothing) and kept in units of the most decimals seen so far.
class ColumnTotal {
 public:
  void Add(std::string_view stored) {
    const std::string text = CLIP(LEFT(stored));
    const std::size_t dot = text.find('.');
    const int places =
        dot == std::string::npos
            ? 0
            : static_cast<int>(std::min<std::size_t>(text.size() - dot - 1, Decimal::kMaxPlaces));
    const std::optional<Decimal> value = Decimal::Parse(text, std::max(places, places_));
    if (!value) return;
    if (value->places() > places_) {
      units_ = Decimal::FromUnits(units_, places_).Rescaled(value->places()).units();
      places_ = value->places();
    }
    units_ += value->units();
  }
  // The sum as a stored value would hold it ("-3.50"), for the column's picture to show.
  std::string Text() const { return Decimal::FromUnits(units_, places_).ToString(); }

 private:
  std::int64_t units_ = 0;
  int places_ = 0;
};

report::Align AlignOf(char just) {
  switch (just) {
    case 'C':
      return report::Align::Center;
    case 'R':
    case 'D':
      return report::Align::Right;
    default:
      return report::Align::Left;
  }
}

// A column of the printout: the list's column, its width at kMeasureSize and where it prints.
struct PrintColumn {
  const XPGQ* column = nullptr;
  long measured = 0;
  long x = 0, width = 0;
};

long WidthAt(const std::vector<PrintColumn>& columns, double size) {
  long sum = 0;
  for (const PrintColumn& c : columns)
    sum += std::lround(static_cast<double>(c.measured) * size / kMeasureSize) + kColumnGap;
  return sum;
}

std::string DateText(std::int32_t date) {
  const std::string picture = CLIP(GLO_DATEFORMAT.view());
  return CLIP(LEFT(FORMAT(date, picture.empty() ? std::string("@d17") : picture)));
}

}  // namespace

bool XPLORECLASS::MYPREVIEWER(report::PageImageQueue& /*pages*/) {
  MESSAGE("This should not be executed - the VIRTUAL in the Procedure should be executed instead",
          "Xplore.MyPreview Base Method", MessageIcon::Exclamation);
  return false;
}

void XPLORECLASS::PRINTBROWSE(std::string_view mode) {
  const bool every_row = mode == "View";
  if (!every_row && mode != "Page") return;
  BrowseClass* browse = Browse();
  Control* list = ListBox();
  if (!browse || !list) return;
  GETCOLUMNINFO();
  if (SQ.empty()) return;

  // The rows: all the browse holds, or those in view as the front end last reported them (all
  // when it never did).
  const std::size_t records = browse->Records();
  std::size_t first = 0;
  std::size_t count = records;
  if (!every_row && list->GetNumber(Prop::TopRow) >= 1 && list->GetNumber(Prop::Items) >= 1) {
    first = std::min(static_cast<std::size_t>(list->GetNumber(Prop::TopRow) - 1), records);
    count = std::min(static_cast<std::size_t>(list->GetNumber(Prop::Items)), records - first);
  }

  // The list's weight and slant; the headers' weight is HEADERSTYLE.
  const long style = PARS.STYLE > 0 ? PARS.STYLE : 400;
  report::ReportFont cell_font{
      .size = kMeasureSize, .bold = style % 0x1000 >= 700, .italic = (style & 0x1000) != 0};
  report::ReportFont header_font{.size = kMeasureSize, .bold = HEADERSTYLE >= 700};

  // Each column as wide as its header or its widest cell, whichever is wider.
  const report::TextMeasure& measure = report::CurrentTextMeasure();
  std::vector<PrintColumn> columns;
  for (const XPGQ& column : SQ) {
    PrintColumn c;
    c.column = &column;
    c.measured = measure.Width(header_font, PlainHeader(column));
    for (std::size_t r = first; r < first + count; ++r)
      c.measured = std::max(c.measured, measure.Width(cell_font, CellText(r, column)));
    columns.push_back(c);
  }
  const int fit_size = std::clamp(kFitSize, MINFONTSIZE, MAXFONTSIZE);
  while (columns.size() > 1 && WidthAt(columns, fit_size) > kPrintWidth) columns.pop_back();
  int size = MAXFONTSIZE;
  while (size > MINFONTSIZE && WidthAt(columns, size) > kPrintWidth) --size;
  cell_font.size = header_font.size = size;
  // What is left of the width is shared out equally.
  const long spare = std::max(0L, kPrintWidth - WidthAt(columns, size));
  long x = 0;
  for (PrintColumn& c : columns) {
    c.x = x;
    c.width = std::lround(static_cast<double>(c.measured) * size / kMeasureSize) + kColumnGap +
              spare / static_cast<long>(columns.size());
    c.width = std::min(c.width, kPrintWidth - x);
    x += c.width;
  }

  report::ReportLayout layout;
  layout.title = CLIP(list->OwnerWindow().Title());
  layout.paper_width = kPaperWidth;
  layout.paper_height = kPaperHeight;
  layout.left = layout.right = kSideMargin;

  std::string order;
  for (const XPGQ& column : SQ) {
    if (QNOS != 0 && column.QNOS == QNOS && !SortedField().empty())
      order = PlainHeader(column) + (SortedDescending() ? " (descending)" : "");
  }
  std::string face = CLIP(PARS.FONT);
  if (face.empty() || face == "MS Sans Serif") face = "Arial";
  report::Band& header = layout.page_header;
  header.Font({.size = 14, .bold = true}).Text(layout.title, 0, 0, 8000);
  header.Font({.size = 9}).Text("Page", 8600, 40).PageNumber("<<<#", 9000, 40, 800);
  header.Text("Report Date", 0, 330)
      .Text("Date:", 1300, 330)
      .Text(DateText(TODAY()), 1750, 330)
      .Text("Time:", 3100, 330)
      .Text(CLIP(LEFT(FORMAT(CLOCK(), "@t1"))), 3550, 330)
      .Text("Font:", 4600, 330)
      .Text(face, 5050, 330)
      .Text("Size:", 6800, 330)
      .Text(PARS.POINT > 0 ? std::to_string(PARS.POINT) : std::string(), 7250, 330);
  if (!every_row) header.Text(std::to_string(count) + " Records", 8600, 330);
  header.Text("Order:", 0, 500).Text(order, 600, 500, 3900);
  header.Text("Filter:", 4600, 500).Text(FilterExpression(), 5200, 500, 4600);
  const long line = measure.LineHeight(cell_font);
  const long captions = 780;
  header.Font(header_font);
  for (const PrintColumn& c : columns) {
    header.Text(PlainHeader(*c.column), c.x, captions, c.width - kColumnGap,
                AlignOf(c.column->HJUST));
  }
  header.Line(0, captions + line + 20, x, captions + line + 20);
  header.height = captions + line + 80;

  // One detail per row: each cell as the list shows it, a line where the column has a border.
  std::size_t row = first;
  layout.detail.Font(cell_font);
  for (const PrintColumn& c : columns) {
    const XPGQ& column = *c.column;
    layout.detail.String([this, &row, &column] { return CellText(row, column); }, "", c.x, 0,
                         c.width - kColumnGap, AlignOf(column.FJUST));
    if (column.BORDER)
      layout.detail.Line(c.x + c.width - kColumnGap / 2, 0, c.x + c.width - kColumnGap / 2, line);
  }

  // The totals, under their columns after the last row.
  std::map<int, ColumnTotal> totals;  // by the column's field in the browse's rows
  for (const PrintColumn& c : columns) {
    if (c.column->TOTALOK && c.column->QNOS > 0) totals[c.column->QNOS];
  }
  if (every_row && !totals.empty()) {
    report::Band& closing = layout.closing;
    closing.Font(cell_font).Line(0, 40, x, 40);
    if (!columns.front().column->TOTALOK) closing.Text("Total", 0, 80);
    for (const PrintColumn& c : columns) {
      const XPGQ& column = *c.column;
      auto total = totals.find(column.QNOS);
      if (!column.TOTALOK || total == totals.end()) continue;
      const ColumnTotal& sum = total->second;
      closing.String(
          [&sum, &column] {
            return CLIP(
                LEFT(column.PICTURE.empty() ? sum.Text() : FORMAT(sum.Text(), column.PICTURE)));
          },
          "", c.x, 80, c.width - kColumnGap, AlignOf(column.FJUST));
    }
  }

  report::ReportWriter writer(layout, measure);
  XploreProgress progress;
  if (every_row) progress.Open(count);
  for (; row < first + count; ++row) {
    writer.PrintDetail();
    const std::vector<std::string> fields = browse->Fields(row);
    for (auto& [qnos, sum] : totals) {
      if (static_cast<std::size_t>(qnos) <= fields.size())
        sum.Add(fields[static_cast<std::size_t>(qnos - 1)]);
    }
    if (every_row && !progress.Step()) return;  // cancelled: nothing is printed
  }
  progress.Close();
  report::PageImageQueue pages = writer.End();

  const int preview = every_row ? ALLPREVIEW : PAGEPREVIEW;
  if (pages.empty() || preview != 1) {
    FinishReport(pages, false);
  } else if (MYPREVIEWER(pages)) {
    report::PrintPages(pages);
  }
}

}  // namespace vx
