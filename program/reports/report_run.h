// The run of a report that prints from its own progress loop: the preview question, a progress
// window that prints a batch of records on each of its timer ticks, Cancel with the partial
// preview, and the end every report shares (FinishReport: the previewer, then the printer).
//
//   report::ReportLayout layout = ...;        // the report's bands, bound to the buffers
//   ReportRun run("PrintScheduleBrief", layout);
//   run.RecordsPerTick = 25;
//   run.Run(view, 1, records, take, prepare);  // GLOBALRESPONSE: 1 printed, 2 not
//
// The texts of its boxes and window come from the reports' INI file (report_display_strings.h),
// read when the run is made. "Do you wish to PREVIEW this Report?": Yes previews, No prints
// straight, Cancel ends the run before anything is read. Run asks it first, unless the report
// asked it already (AskPreview) because it has more to ask before it reads anything. The progress
// window ("Generating Report" or "Printing Report") reads the view in `order`; each record `take`
// lets through (all without it) gets `prepare` (a status text the layout shows) and its detail
// band. A tick of the window's timer prints batches of RecordsPerTick records for up to kTickWork,
// then the thread waits for its next tick, so the runtime's other threads (Main's one-second tick
// among them) run between batches however long the report is; a Cancel waiting ends the tick's work
// at the end of its batch.
//
// The window's Cancel (Esc and the close box press it) asks "Are you sure you want to CANCEL
// this Report?". No goes on. Yes, while previewing with a record printed, asks whether to
// preview what was made so far: Yes previews those pages, No cancels, Ignore goes on at one
// record a tick (a second Cancel asks again). Otherwise Yes cancels: nothing is previewed or
// printed, and the run answers cancelled.
//
// Every run that is not cancelled ends with a closing band holding one blank, so a selection
// without records still previews one page with the report's header and footer.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "framework/browse_class.h"
#include "program/reports/report_display_strings.h"
#include "runtime/report/report_layout.h"
#include "runtime/report/report_writer.h"

namespace vx {

// How long a timer tick of a report run prints before the thread waits again.
inline constexpr std::chrono::milliseconds kTickWork{20};

class ReportRun {
 public:
  // Reads the display strings; the layout gets its closing blank band.
  ReportRun(std::string_view procedure, report::ReportLayout& layout);

  long RecordsPerTick = 25;
  int Copies = 1;
  bool Collate = false;

  // Steps through the run; answers RequestCompleted when the pages were printed, else
  // RequestCancelled, and leaves it in GLOBALRESPONSE.
  long Run(BrowseView& view, int order, std::size_t records, const std::function<bool()>& take = {},
           const std::function<void()>& prepare = {});

  // Asks the preview question now; Run then asks it no more. False after Cancel (the report
  // ends: Run reads nothing), with RequestCancelled in GLOBALRESPONSE.
  bool AskPreview();

  const ReportDisplayStrings& Strings() const { return strings_; }
  // Whether the user chose to preview (after Run).
  bool Previewed() const { return preview_; }

 private:
  enum class Outcome { GoOn, Completed, Partial, Cancelled };
  Outcome Generate(BrowseView& view, int order, std::size_t records,
                   const std::function<bool()>& take, const std::function<void()>& prepare);
  Outcome AskCancel(long& batch);

  std::string procedure_;
  ReportDisplayStrings strings_;
  report::ReportWriter writer_;
  bool preview_ = false;
  std::optional<bool> go_on_;  // the preview question's answer: anything but Cancel
};

}  // namespace vx
