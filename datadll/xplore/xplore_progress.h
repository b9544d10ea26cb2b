// The progress window of the list extension's passes over a list (export, graph counting):
// "Progress...", a bar and a "Cancel" button. The pass runs on the list's thread; between rows
// the window takes the events that came meanwhile, so Cancel, Escape and the close box stop the
// pass, after a question when the pass has one. Off a runtime thread nothing is shown and the
// pass runs to its end.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

namespace vx {

class Window;

class XploreProgress {
 public:
  // `question`: asked (Yes/No, No the default) before the pass is stopped; empty: the pass
  // stops at once.
  explicit XploreProgress(std::string question = {});
  ~XploreProgress();
  XploreProgress(const XploreProgress&) = delete;
  XploreProgress& operator=(const XploreProgress&) = delete;

  // Opens the window for a pass over `total` rows and lets it show.
  void Open(std::size_t total);
  // One row done: the bar moves. False once the user has stopped the pass.
  bool Step();
  bool Stopped() const { return stopped_; }
  void Close();

 private:
  void TakeEvents();
  void AskToStop();

  std::string question_;
  std::unique_ptr<Window> window_;
  int bar_ = 0;
  std::size_t total_ = 0;
  std::size_t done_ = 0;
  long shown_ = -1;
  bool stopped_ = false;
  std::chrono::steady_clock::time_point last_look_{};
};

}  // namespace vx
