#include "framework/process_window.h"

#include <algorithm>

#include "framework/window_position.h"
#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

constexpr std::string_view kPositionFile = ".\\POSITION.INI";
// How long records are done between two looks at the window's events.
constexpr auto kEventInterval = std::chrono::milliseconds(50);
// The window's timer (hundredths): its tick marks the end of the events waiting.
constexpr long kTick = 1;

}  // namespace

ProcessWindow::ProcessWindow(std::string_view procedure, std::string_view title)
    : procedure_(procedure), title_(title) {}

ProcessWindow::~ProcessWindow() {
  if (window_) SavePlaceAndClose();
}

void ProcessWindow::Open(std::size_t records) {
  if (window_ || THREAD() == 0) return;
  records_ = records;
  done_ = 0;
  shown_percent_ = 0;
  window_ = std::make_unique<Window>(title_);
  window_->String(caption_);
  // A bar without a range is one that only shows work going on.
  bar_ = uncounted_ ? &window_->Progress(0, 0) : &window_->Progress(0, 100);
  bar_->Value("0");
  percent_ = &window_->String(uncounted_ ? "" : "0% Completed");
  if (cancellable_) {
    cancel_ = window_->Button("Cancel").Icon("cancel.ico");
    window_->SetCancelButton(cancel_);
  }
  window_->Timer(kTick);
  // Its thread only looks at events between records: a front end must not take that look for
  // the end of the action that started the pass.
  window_->Working(true);
  FetchWindowPlace(IniFile(kPositionFile), procedure_, *window_);
  window_->Open();
  TakeEvents();
}

void ProcessWindow::OpenUncounted() {
  if (window_ || THREAD() == 0) return;
  uncounted_ = true;
  Open(0);
}

void ProcessWindow::Report(std::string_view text) {
  if (window_ && window_->IsOpen()) percent_->SetText(text);
}

bool ProcessWindow::Advance() { return AdvanceTo(done_ + 1); }

bool ProcessWindow::AdvanceTo(std::size_t done) {
  if (!window_) return !cancelled_;
  done_ = done;
  // More records than counted (rows added meanwhile) stay at 100%.
  if (!uncounted_)
    ShowPercent(records_ == 0 ? 100
                              : static_cast<long>(std::min(done_, records_) * 100 / records_));
  if (std::chrono::steady_clock::now() - last_events_ >= kEventInterval) TakeEvents();
  return !cancelled_;
}

void ProcessWindow::Close() {
  if (!window_) return;
  if (!uncounted_) ShowPercent(100);
  TakeEvents();
  SavePlaceAndClose();
}

void ProcessWindow::ShowPercent(long percent) {
  if (percent == shown_percent_ || !window_->IsOpen()) return;
  shown_percent_ = percent;
  bar_->Value(std::to_string(percent));
  percent_->SetText(std::to_string(percent) + "% Completed");
}

// Takes every event that came since the last look: the timer ticks only when no other event
// waits, so its tick ends them. Other runtime threads get a turn first.
void ProcessWindow::TakeEvents() {
  last_events_ = std::chrono::steady_clock::now();
  if (!window_->IsOpen()) return;  // closed down: the pass goes on without its window
  YIELD();
  while (window_->Accept()) {
    if (EVENT() == EVENT_Timer) break;
    if (cancellable_ && !cancelled_) {
      // Cancel (Esc presses it), the close box, or the program closing down stop the pass.
      const int event = EVENT();
      cancelled_ = event == EVENT_CloseDown || event == EVENT_CloseWindow ||
                   (event == EVENT_Accepted && FIELD() == cancel_);
    }
    if (EVENT() == EVENT_CloseWindow) window_->Cycle();  // the pass itself closes the window
  }
  last_events_ = std::chrono::steady_clock::now();
}

void ProcessWindow::SavePlaceAndClose() {
  IniFile positions(kPositionFile);
  SaveWindowPlace(positions, procedure_, *window_);
  window_->Close();
  window_.reset();
  bar_ = percent_ = nullptr;
}

}  // namespace vx
