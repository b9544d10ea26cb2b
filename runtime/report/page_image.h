// A printed page as a display list, and the queue of pages a report makes.
//
// Everything on a page is placed in report units, thousandths of an inch, from the paper's top
// left corner. A page is what a report run makes of its bands (runtime/report/report_writer.h)
// and what every output draws: the previewer's page control, a PDF file, the printer. The
// page's text form (PageImageText) is how the page travels to a front end in a control's value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx::report {

inline constexpr long kUnitsPerInch = 1000;

// Points (1/72 inch) in report units.
constexpr long PointsToUnits(double points) {
  return static_cast<long>(points * kUnitsPerInch / 72 + 0.5);
}

struct ReportFont {
  std::string face = "Arial";
  double size = 10;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool operator==(const ReportFont&) const = default;
};

enum class Align : std::uint8_t { Left, Center, Right };

struct PageItem {
  enum class Kind : std::uint8_t {
    Text,   // `text` in `font` within x..x+width (aligned there), its top at y
    Line,   // from (x, y) to (x + width, y + height)
    Box,    // a rectangle's outline
    Check,  // a check box of `height` square at (x, y), ticked when `checked`, `text` beside it
  };
  Kind kind = Kind::Text;
  long x = 0, y = 0, width = 0, height = 0;
  std::string text;
  ReportFont font;
  Align align = Align::Left;
  bool checked = false;
  bool operator==(const PageItem&) const = default;
};

struct PageImage {
  long width = 8500;  // the paper: US letter unless the layout says otherwise
  long height = 11000;
  std::vector<PageItem> items;

  // The texts of the page top to bottom, left to right, for a quick look in tests and logs.
  std::vector<std::string> Texts() const;
  bool operator==(const PageImage&) const = default;
};

// The pages of one report run and how they are to be printed. Copies and collation are the
// printer's business only: the pages are kept once.
struct PageImageQueue {
  std::string title;  // the print job's name
  std::vector<PageImage> pages;
  int copies = 1;
  bool collate = false;

  bool empty() const { return pages.empty(); }
  std::size_t size() const { return pages.size(); }
};

// The order in which the sheets of `pages` pages leave the printer for `copies` copies (page
// indexes from 0): collated 0 1 2 0 1 2, else 0 0 1 1 2 2.
std::vector<std::size_t> SheetOrder(std::size_t pages, int copies, bool collate);

// One line per item, fields separated by tabs, the text last with tab, line break and
// backslash escaped; the first line holds the paper's size. ReadPageImageText reads it back,
// nothing when the text is not a page.
std::string PageImageText(const PageImage& page);
std::optional<PageImage> ReadPageImageText(std::string_view text);

}  // namespace vx::report
