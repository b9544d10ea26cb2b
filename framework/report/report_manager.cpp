#include "framework/report/report_manager.h"

#include "framework/process_window.h"
#include "framework/report/print_preview.h"
#include "framework/request_globals.h"
#include "runtime/report/print_pages.h"
#include "runtime/window/dialogs.h"

namespace vx {

long FinishReport(const report::PageImageQueue& pages, bool preview, short zoom) {
  if (pages.empty()) {
    MESSAGE("Nothing to Print.", "NOTE...", MessageIcon::Exclamation);
    return RequestCancelled;
  }
  if (preview && PRINTPREVIEW(pages, zoom) != 1) return RequestCancelled;
  return report::PrintPages(pages) ? RequestCompleted : RequestCancelled;
}

ReportManager::ReportManager(std::string_view procedure, const report::ReportLayout& layout)
    : procedure_(procedure), writer_(layout) {}

long ReportManager::Run(BrowseView& view, int order, std::size_t records,
                        const std::function<bool()>& take, const std::function<void()>& prepare) {
  ProcessWindow progress(procedure_, "Report Progress...");
  progress.Cancellable();
  progress.Open(records);
  view.Reset(order);
  while (!progress.Cancelled() && view.Next()) {
    if (!take || take()) {
      if (prepare) prepare();
      writer_.PrintDetail();
    }
    progress.Advance();
  }
  const bool cancelled = progress.Cancelled();
  progress.Close();
  report::PageImageQueue pages = writer_.End();
  long response = RequestCancelled;
  if (!cancelled) {
    HANDLECOPIES(pages, Copies);
    pages.collate = Collate;
    response = FinishReport(pages, Preview, Zoom);
  }
  SetCurrentResponse(response);
  return response;
}

}  // namespace vx
