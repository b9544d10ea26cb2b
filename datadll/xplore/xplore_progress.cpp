#include "datadll/xplore/xplore_progress.h"

#include <algorithm>

#include "runtime/events.h"
#include "runtime/message_box.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

// How long rows are done between two looks at the window's events.
constexpr auto kLookInterval = std::chrono::milliseconds(50);
// The window's timer (hundredths): its tick marks the end of the events waiting.
constexpr long kTick = 1;

}  // namespace

XploreProgress::XploreProgress(std::string question) : question_(std::move(question)) {}

XploreProgress::~XploreProgress() { Close(); }

void XploreProgress::Open(std::size_t total) {
  if (window_ || THREAD() == 0) return;
  total_ = total;
  done_ = 0;
  shown_ = 0;
  stopped_ = false;
  window_ = std::make_unique<Window>("Progress...");
  Window& w = *window_;
  bar_ = w.Progress(0, 100);
  w[bar_].Value("0");
  const int cancel = w.Button("Cancel").Icon("cancel.ico");
  w.SetCancelButton(cancel);
  w.Timer(kTick);
  // The list's thread looks at this window's events between rows only: it is busy, not idle.
  w.Working(true);
  w.Open();
  TakeEvents();
}

bool XploreProgress::Step() {
  if (!window_ || stopped_) return !stopped_;
  ++done_;
  const long percent =
      total_ == 0 ? 100 : static_cast<long>(std::min(done_, total_) * 100 / total_);
  if (percent != shown_ && window_->IsOpen()) {
    shown_ = percent;
    (*window_)[bar_].Value(std::to_string(percent));
  }
  if (std::chrono::steady_clock::now() - last_look_ >= kLookInterval) TakeEvents();
  return !stopped_;
}

void XploreProgress::Close() {
  if (!window_) return;
  window_->Close();
  window_.reset();
}

// Takes every event that came since the last look; the timer ticks only when no other event
// waits, so its tick ends them. Other runtime threads get a turn first.
void XploreProgress::TakeEvents() {
  last_look_ = std::chrono::steady_clock::now();
  if (!window_->IsOpen()) return;
  YIELD();
  while (!stopped_ && window_->Accept()) {
    const int event = EVENT();
    if (event == EVENT_Timer) break;
    if (event == EVENT_CloseDown) {
      stopped_ = true;  // the program closes: no question
      break;
    }
    if (event == EVENT_CloseWindow) {
      window_->Cycle();
      AskToStop();
    } else if (event == EVENT_Accepted && FIELD() != 0) {
      AskToStop();  // Cancel, or Escape, which the window turns into Cancel
    }
  }
  last_look_ = std::chrono::steady_clock::now();
}

void XploreProgress::AskToStop() {
  if (question_.empty() || MESSAGE(question_, "Xplore", MessageIcon::Question,
                                   BUTTON_YES | BUTTON_NO, BUTTON_NO) == BUTTON_YES) {
    stopped_ = true;
  }
}

}  // namespace vx
