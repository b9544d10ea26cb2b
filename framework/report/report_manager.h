// The framework's report: a pass over a view that prints one detail band per record under the
// progress window "Report Progress...", then previews the pages and prints them when asked.
//
//   ReportLayout layout = ...;                    // runtime/report/report_layout.h
//   TableView view(*SCHEDULE_FILE, {&SCH_KEYDATE});
//   ReportManager report("Print:SCH:AllDateOrder", layout);
//   report.Run(view, 1, records);                // GLOBALRESPONSE: 1 printed, 2 not
//
// The pass runs on the calling thread; Cancel (or Esc, or the close box) of the progress
// window stops it and nothing is previewed or printed. `take`, when given, answers for each
// record whether it is printed (a filter or range the view does not hold itself); `prepare`
// runs before each printed record's detail (a status text the layout shows). FinishReport is
// the end every report run shares, this one and the reports with a progress loop of their own.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "framework/browse_class.h"
#include "runtime/report/report_layout.h"
#include "runtime/report/report_writer.h"

namespace vx {

// What becomes of a run's pages: with `preview`, PRINTPREVIEW shows them and they print when the
// user presses Print; without, they print at once. No pages: "Nothing to Print." Answers
// RequestCompleted exactly when the pages were printed (or written as the PDF file offered
// when there is no printer), RequestCancelled otherwise.
long FinishReport(const report::PageImageQueue& pages, bool preview, short zoom = 0);

class ReportManager {
 public:
  ReportManager(std::string_view procedure, const report::ReportLayout& layout);

  bool Preview = true;  // false: print straight
  short Zoom = 0;       // the preview's first zoom (0: the whole page)
  int Copies = 1;
  bool Collate = false;

  // The pass over the records `view` walks in `order` (`records` of them, for the progress);
  // answers RequestCompleted or RequestCancelled and leaves it in GLOBALRESPONSE.
  long Run(BrowseView& view, int order, std::size_t records, const std::function<bool()>& take = {},
           const std::function<void()>& prepare = {});
  // The writer of the pass, for a band printed out of turn (from `prepare`).
  report::ReportWriter& Writer() { return writer_; }

 private:
  std::string procedure_;
  report::ReportWriter writer_;
};

}  // namespace vx
