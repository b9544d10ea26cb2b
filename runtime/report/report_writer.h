// Lays a report's bands out into pages (the page engine).
//
// A run makes one writer over its layout, calls PrintDetail once per record (with the record
// in the buffers the layout's items read) and End once at the end, which answers the pages:
//
//   ReportWriter writer(layout);
//   for (view.Reset(1); view.Next();) writer.PrintDetail();
//   PageImageQueue pages = writer.End();
//
// A page begins when the first band goes on it: the page header first, then bands top to
// bottom until the next band would reach the page footer; the footer is put at the foot of the
// page when the page is finished. A band that does not fit the rest of a page starts a new
// page; one with a memo fills the page and goes on over the next ones (its other items print
// with its first part). PrintDetail first prints the group breaks: when a group's key differs
// from the last record's, the footers of that group and of the groups inside it (innermost
// first), then their headers (outermost first; a group marked new_page starts a page unless
// the page holds nothing yet). A footer reads the buffers as they are, the record that broke
// the group: a footer total is a value the caller keeps.
//
// Every value is read when its band is printed. Texts are measured with the TextMeasure given
// (the installed one by default).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "runtime/report/page_image.h"
#include "runtime/report/report_layout.h"
#include "runtime/report/text_measure.h"

namespace vx::report {

class ReportWriter {
 public:
  explicit ReportWriter(const ReportLayout& layout,
                        const TextMeasure& measure = CurrentTextMeasure());

  // The group breaks the record in the buffers brings, then its detail band.
  void PrintDetail();
  // Any band, printed now (a total line, a band of the caller's).
  void Print(const Band& band);
  // The next band starts a new page (nothing happens on a page that holds nothing yet).
  void NewPage();
  // The footers of the open groups, the closing band (unless it is empty), the last page
  // finished: every page of the run. The writer then starts again from an empty run.
  PageImageQueue End();

  // The number of the page being filled (the next one when none is open).
  int PageNumber() const { return static_cast<int>(pages_.size()) + 1; }
  std::size_t PagesFinished() const { return pages_.size(); }
  long Records() const { return records_; }

 private:
  struct Laid {  // one band's items, ready to place below a given top
    std::vector<PageItem> fixed;
    struct MemoLines {
      PageItem model;  // font, x, width, first line's y
      std::vector<std::string> lines;
    };
    std::vector<MemoLines> memos;
    long height = 0;
  };
  Laid Lay(const Band& band) const;
  void Place(const Band& band);
  void PlaceAt(const Band& band, long top);  // a band that never breaks (header, footer)
  void StartPage();
  void FinishPage();
  bool PageHoldsBands() const { return page_ && y_ > body_top_; }
  long LineHeight(const ReportFont& font) const { return measure_.LineHeight(font); }

  const ReportLayout& layout_;
  const TextMeasure& measure_;
  std::vector<PageImage> pages_;
  std::optional<PageImage> page_;
  long y_ = 0;            // where the next band goes on the open page
  long body_top_ = 0;     // below the page header
  long body_bottom_ = 0;  // above the page footer
  bool break_before_next_ = false;
  std::vector<std::string> keys_;  // the groups' keys of the last record
  long records_ = 0;
};

}  // namespace vx::report
