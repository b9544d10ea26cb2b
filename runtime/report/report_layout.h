// A report described as a table of bands: what each band prints and where.
//
// A ReportLayout holds the paper, its margins and the bands: the page header (atop every page),
// the page footer (at the foot of every page), the group breaks (outermost first, each with a
// header printed when its key changes and a footer printed before), the detail band (once per
// record) and the closing band (once, after the last record). ReportWriter
// (runtime/report/report_writer.h) lays them out into pages.
//
// A band holds items, each placed from the band's top left corner (x from the left margin, y
// from the band's top) in report units (thousandths of an inch):
//   Text        a constant text
//   String      a value shown under a display picture (runtime/pictures.h), read when the band
//               prints: a variable (any use-variable of a window: String<N>, integers, Decimal
//               ...) or a function giving the value as text
//   Memo        a text wrapped into the item's width; it grows its band, and a band whose memo
//               does not fit the page goes on over the next pages
//   Check       a check box, ticked when its value is neither empty nor "0", with its caption
//   Line, Box   a line between two points, a rectangle's outline
//   PageNumber  the number of the page being printed, under a picture ("@n3"; a text that is
//               not a picture, as "<<<#", shows the plain digits)
// Items take the band's font as it was when they were made (Band::Font). A band is as high as
// its height, or as its lowest item when that lies lower.
//
//   ReportLayout layout;
//   layout.page_header.Font({.size = 14, .bold = true}).Text("Schedule", 0, 0, 7500,
//   Align::Center); layout.page_header.Font({}).Text("Date", 0, 300).Text("Description", 1500,
//   300); layout.detail.String(SCH.Date, "@d3", 0, 0, 1400).String(SCH.Description, "@s40", 1500,
//   0, 4000); layout.page_footer.Text("Page", 0, 0).PageNumber("<<<#", 450, 0, 500);
//   layout.SetDatePictures(GLO_DATEFORMAT.str());  // every date column in the user's picture
//
// A layout refers to the variables it shows; they must outlive the report's run.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/report/page_image.h"
#include "runtime/window/binding.h"

namespace vx::report {

struct BandItem {
  enum class Kind { Text, String, Memo, Check, Line, Box, PageNumber };
  Kind kind = Kind::Text;
  long x = 0, y = 0, width = 0, height = 0;  // Line: the second point is (x+width, y+height)
  ReportFont font;
  Align align = Align::Left;
  std::string text;                    // Text: the text; Check: the caption
  std::string picture;                 // String, PageNumber
  std::function<std::string()> value;  // String, Memo, Check: the value as text
};

class Band {
 public:
  Band() = default;
  explicit Band(long height) : height(height) {}

  // The font of the items made after this call.
  Band& Font(ReportFont font);
  Band& Text(std::string_view text, long x, long y, long width = 0, Align align = Align::Left);
  Band& String(Binding value, std::string_view picture, long x, long y, long width,
               Align align = Align::Left);
  Band& String(std::function<std::string()> value, std::string_view picture, long x, long y,
               long width, Align align = Align::Left);
  Band& Memo(Binding value, long x, long y, long width);
  Band& Memo(std::function<std::string()> value, long x, long y, long width);
  Band& Check(std::string_view caption, Binding value, long x, long y);
  Band& Line(long x1, long y1, long x2, long y2);
  Band& Box(long x, long y, long width, long height);
  Band& PageNumber(std::string_view picture, long x, long y, long width, Align align = Align::Left);

  bool empty() const { return items.empty() && height == 0; }

  long height = 0;
  std::vector<BandItem> items;

 private:
  BandItem& Add(BandItem::Kind kind, long x, long y, long width, long height);
  ReportFont font_;
};

struct GroupBreak {
  std::function<std::string()> key;  // the group's value for the record in the buffers
  Band header;                       // printed when the key changes (and for the first record)
  Band footer;                       // printed before the next group's header and at the end
  bool new_page = false;             // every group after the first starts a new page
};

struct ReportLayout {
  std::string title;  // the print job's name
  long paper_width = 8500, paper_height = 11000;
  long left = 500, top = 500, right = 500, bottom = 500;
  Band page_header, page_footer, detail, closing;
  std::vector<GroupBreak> groups;  // outermost first

  long BodyWidth() const { return paper_width - left - right; }
  // Every String item whose picture is a date picture ("@d...", "d...") takes `picture`.
  void SetDatePictures(std::string_view picture);
};

}  // namespace vx::report
