// The progress window of a pass over records: its title, "Processing Records", a progress bar
// and "N% Completed", following the records as they are done.
//
// The pass runs on the calling thread; the window belongs to that thread too. Every so often
// (and once before the first record, so that it shows) the window takes the events that came
// meanwhile and lets other runtime threads run, so a long pass neither freezes its window nor
// holds up the others. It opens where the user last left it and remembers its place in
// ".\POSITION.INI" under the procedure's name when it closes. The pass has no Cancel unless
// WithCancel asked for one (a report's pass): then Cancel, Esc and the close box set
// Cancelled(), which the pass looks at after each record; otherwise the close box is ignored
// until it ends. Off a runtime thread (a tool or a test calling a routine
// directly) nothing is shown and the calls do nothing.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace vx {

class Window;
class Control;

class ProcessWindow {
 public:
  ProcessWindow(std::string_view procedure, std::string_view title);
  ~ProcessWindow();
  ProcessWindow(const ProcessWindow&) = delete;
  ProcessWindow& operator=(const ProcessWindow&) = delete;

  // Gives the window a Cancel button (before Open).
  void WithCancel() { with_cancel_ = true; }
  bool Cancelled() const { return cancelled_; }
  // Opens the window for a pass over `records` records and lets it show.
  void Open(std::size_t records);
  // One record done.
  void Advance();
  // Shows the pass complete, takes the events still waiting, saves the place and closes.
  void Close();

 private:
  void ShowPercent(long percent);
  void TakeEvents();
  void SavePlaceAndClose();

  std::string procedure_;
  std::string title_;
  std::unique_ptr<Window> window_;
  Control* percent_ = nullptr;
  Control* bar_ = nullptr;
  int cancel_ = 0;
  bool with_cancel_ = false;
  bool cancelled_ = false;
  std::size_t records_ = 0;
  std::size_t done_ = 0;
  long shown_percent_ = -1;
  std::chrono::steady_clock::time_point last_events_{};
};

}  // namespace vx
