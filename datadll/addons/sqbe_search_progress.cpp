// The progress of a search that finds one match (Edit and Find Next): the framework's progress
// window, uncounted, as a view's length is not known before it is read.
#include <chrono>

#include "datadll/addons/sqbe_search_class.h"
#include "framework/process_window.h"

namespace vx::SQBE {
namespace {

// How often the spinner is shown turning: each record read turns it, but telling the screen of
// every one would cost a long search more than its reading.
constexpr auto kSpinInterval = std::chrono::milliseconds(50);

}  // namespace

std::string_view Spinner(long step) {
  static constexpr std::string_view kSpin[] = {"|", "/", "--", "\\"};
  return kSpin[(step % 4 + 4) % 4];
}

std::string SearchProgressText(long step, long matches) {
  return std::string(Spinner(step)) + "  " + std::to_string(matches) + " Found";
}

int SEARCHCLASS0::FindMatchShown() {
  ProcessWindow progress("SQBE_ProgressWindow", "Searching for Matching Records");
  progress.Caption("Searching for Matching Records");
  progress.Cancellable();
  progress.OpenUncounted();
  progress.Report(SearchProgressText(read_, matches_));
  auto shown = std::chrono::steady_clock::now();
  const bool found = FindMatch([&] {
    if (const auto now = std::chrono::steady_clock::now(); now - shown >= kSpinInterval) {
      shown = now;
      progress.Report(SearchProgressText(read_, matches_));
    }
    return progress.Advance();
  });
  if (found) progress.Report(SearchProgressText(read_, matches_));
  const bool cancelled = progress.Cancelled();
  progress.Close();
  return cancelled ? -1 : found ? 1 : 0;
}

}  // namespace vx::SQBE
