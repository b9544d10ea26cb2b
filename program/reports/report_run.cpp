#include "program/reports/report_run.h"

#include <algorithm>

#include "framework/report/print_preview.h"
#include "framework/report/report_manager.h"
#include "framework/request_globals.h"
#include "framework/window_position.h"
#include "runtime/event_queue.h"
#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr std::string_view kPositionFile = ".\\POSITION.INI";
// The progress window's timer (hundredths); a tick's work runs longer, so ticks follow each
// other with the thread's wait for events in between.
constexpr long kTimer = 1;
// The previewer opens a report run's pages at their real size.
constexpr short kPreviewZoom = 100;

// The blank band after the last record: a run without records still makes its one page.
report::ReportLayout& WithClosingBlank(report::ReportLayout& layout) {
  layout.closing = report::Band(10);
  layout.closing.Text(" ", 0, 0);
  return layout;
}

}  // namespace

ReportRun::ReportRun(std::string_view procedure, report::ReportLayout& layout)
    : procedure_(procedure),
      strings_(LoadReportDisplayStrings()),
      writer_(WithClosingBlank(layout)) {}

long ReportRun::Run(BrowseView& view, int order, std::size_t records,
                    const std::function<bool()>& take, const std::function<void()>& prepare) {
  long response = RequestCancelled;
  if (go_on_ ? *go_on_ : AskPreview()) {
    const Outcome outcome = Generate(view, order, records, take, prepare);
    report::PageImageQueue pages = writer_.End();
    if (outcome != Outcome::Cancelled) {
      HANDLECOPIES(pages, Copies);
      pages.collate = Collate;
      response = FinishReport(pages, preview_, kPreviewZoom);
    }
  }
  SetCurrentResponse(response);
  return response;
}

bool ReportRun::AskPreview() {
  const unsigned asked =
      MESSAGE(ReportBoxText(strings_.AskPrvwDialogText), strings_.AskPrvwDialogTitle,
              MessageIcon::Question, BUTTON_YES | BUTTON_NO | BUTTON_CANCEL, BUTTON_YES);
  preview_ = asked == BUTTON_YES;
  go_on_ = asked != BUTTON_CANCEL;
  if (!*go_on_) SetCurrentResponse(RequestCancelled);
  return *go_on_;
}

ReportRun::Outcome ReportRun::Generate(BrowseView& view, int order, std::size_t records,
                                       const std::function<bool()>& take,
                                       const std::function<void()>& prepare) {
  Window window(preview_ ? strings_.ProgWinTitlePrvw : strings_.ProgWinTitlePrnt);
  if (!strings_.ProgWinUsrText.empty()) window.String(strings_.ProgWinUsrText);
  Control& bar = window.Progress(0, 100);
  bar.Value("0");
  Control& percent = window.String("0" + strings_.ProgWinPctText);
  const int cancel = window.Button("Cancel").Icon("cancel.ico").Number();
  window.SetCancelButton(cancel);
  window.Timer(kTimer);
  // The thread prints between its looks at the window: a wait there is not the end of an input.
  window.Working(true);
  FetchWindowPlace(IniFile(kPositionFile), procedure_, window);
  window.Open();

  std::size_t done = 0;
  long shown = 0;
  auto next = [&] {
    while (view.Next()) {
      if (!take || take()) return true;
    }
    return false;
  };
  // Cancel, Esc or the close box waiting: the tick's work stops at the end of its batch.
  auto asked_to_stop = [&window] {
    const EventQueue* queue = CurrentEventQueue();
    if (!queue) return false;
    for (int event : {EVENT_Accepted, EVENT_CloseWindow, EVENT_CloseDown}) {
      if (queue->Pending(event, window.Id()) || queue->Pending(event, 0)) return true;
    }
    return false;
  };
  view.Reset(order);
  bool more = next();
  long batch = std::max(RecordsPerTick, 1L);
  bool cancel_requested = false;
  Outcome outcome = more ? Outcome::GoOn : Outcome::Completed;
  while (outcome == Outcome::GoOn) {
    YIELD();
    if (!window.Accept()) {
      outcome = Outcome::Cancelled;  // closed down
      break;
    }
    const int event = EVENT();
    if (event == EVENT_Timer) {
      // Batches until the tick's time is spent; after a cancel that was taken back, one
      // record a tick, so the user sees the report slow down and may cancel again.
      const auto until = std::chrono::steady_clock::now() + kTickWork;
      do {
        for (long i = 0; i < batch && more; ++i) {
          if (prepare) prepare();
          writer_.PrintDetail();
          ++done;
          more = next();
        }
      } while (more && !cancel_requested && std::chrono::steady_clock::now() < until &&
               !asked_to_stop());
      const long now_percent =
          records == 0 ? 100 : static_cast<long>(std::min(done, records) * 100 / records);
      if (now_percent != shown) {
        shown = now_percent;
        bar.Value(std::to_string(shown));
        percent.SetText(std::to_string(shown) + strings_.ProgWinPctText);
      }
      if (!more) outcome = Outcome::Completed;
    } else if (event == EVENT_CloseDown) {
      outcome = Outcome::Cancelled;
    } else if ((event == EVENT_Accepted && FIELD() == cancel) || event == EVENT_CloseWindow) {
      if (event == EVENT_CloseWindow) window.Cycle();
      outcome = AskCancel(batch);
      cancel_requested = batch == 1;
    }
  }
  if (window.IsOpen()) {
    IniFile positions(kPositionFile);
    SaveWindowPlace(positions, procedure_, window);
    window.Close();
  }
  return outcome;
}

ReportRun::Outcome ReportRun::AskCancel(long& batch) {
  if (MESSAGE(ReportBoxText(strings_.CancelAreYouSureText), strings_.CancelAreYouSureTitle,
              MessageIcon::Question, BUTTON_YES | BUTTON_NO, BUTTON_NO) != BUTTON_YES) {
    return Outcome::GoOn;
  }
  batch = 1;
  if (!preview_ || writer_.Records() == 0) return Outcome::Cancelled;
  switch (MESSAGE(ReportBoxText(strings_.CancelPrvwPartialText), strings_.CancelPrvwPartialTitle,
                  MessageIcon::Question, BUTTON_YES | BUTTON_NO | BUTTON_IGNORE, BUTTON_YES)) {
    case BUTTON_YES:
      return Outcome::Partial;
    case BUTTON_IGNORE:
      return Outcome::GoOn;
    default:
      return Outcome::Cancelled;
  }
}

}  // namespace vx
